#include "tools/server_backup.h"

#include <cstdio>
#include <cstdlib>

#include "common/text_encoding.h"
#include "platform/child_process.h"
#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/server_dump.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

namespace {

int NoServerKeys() {
    return Fail("连接字符串中需写明 Servername、Port、Database、Uid 和 Pwd（不能只写 DSN）",
                "the connection string must name Servername, Port, Database, Uid and Pwd (a DSN "
                "alone is not enough)");
}

}  // namespace

int BackupServerLedger(const std::string& connection, const std::vector<std::string>& arguments) {
    if (arguments.size() > 1) return kExitUsage;
    const std::string target =
        arguments.empty() ? "tallovar-" + TimeStamp() + ".dump" : arguments[0];
    if (Utf8PathExists(target)) {
        return Fail("文件已存在，未做备份：" + target,
                    "the file already exists; no backup was made: " + target);
    }
    // pg_dump writes the temporary file by its name.
    FileReplacement file(NativePathOfUtf8(target));
    if (const Status opened = file.Open(); !opened.ok()) {
        return Fail("无法写出备份：" + opened.chinese,
                    "cannot write the backup: " + opened.english);
    }
    std::vector<std::string> command = {"pg_dump", "--format=custom", "--file",
                                        Utf8OfNativePath(file.TemporaryPath())};
    if (!ServerToolArguments(connection, command)) return NoServerKeys();
    std::printf(
        "用 pg_dump（自定义格式）备份团队账本……\nbacking up the team ledger with pg_dump "
        "(custom format)...\n");
    std::fflush(stdout);
    if (!RunProgram(command)) {
        return Fail("pg_dump 没有完成备份（见上面的说明）",
                    "pg_dump did not finish the backup (see above)");
    }
    if (const Status placed = file.PlaceNew(); !placed.ok()) {
        return Fail("无法写出备份：" + target + " " + placed.chinese,
                    "cannot write the backup: " + target);
    }
    std::printf("已备份到 %s\nbacked up to %s\n", target.c_str(), target.c_str());
    return kExitOk;
}

int RestoreServerLedger(const std::string& connection, const std::vector<std::string>& arguments) {
    if (arguments.size() != 1 || arguments[0].empty()) return kExitUsage;
    // First a look at the file, so a wrong file changes nothing.
    if (!RunProgram({"pg_restore", "--list", "--file", "/dev/null", arguments[0]})) {
        return Fail("这不是 pg_dump 自定义格式的备份：" + arguments[0],
                    "this is no backup in pg_dump's custom format: " + arguments[0]);
    }
    std::vector<std::string> command = {"pg_restore", "--clean", "--if-exists",
                                        "--single-transaction", "--exit-on-error"};
    if (!ServerToolArguments(connection, command)) return NoServerKeys();
    command.push_back(arguments[0]);
    std::printf(
        "用 pg_restore（自定义格式）恢复团队账本，请先让所有人关闭程序……\n"
        "restoring the team ledger with pg_restore (custom format); everyone should close "
        "the program first...\n");
    std::fflush(stdout);
    if (!RunProgram(command)) {
        return Fail("pg_restore 没有完成恢复，账本未被改动（见上面的说明）",
                    "pg_restore did not finish; the ledger was not changed (see above)");
    }
    std::printf("已从 %s 恢复团队账本\nteam ledger restored from %s\n", arguments[0].c_str(),
                arguments[0].c_str());
    return kExitOk;
}
