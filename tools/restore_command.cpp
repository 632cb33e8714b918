// tallovar-admin restore FILE: puts a backup's orders and users in the
// ledger of the current directory. The backup must pass SQLite's integrity
// check and hold both tables with every column the program reads. The ledger
// as it was is kept beside it as tallovar.mdb.replaced-<date>-<time>, and the
// restore is one transaction in the ledger itself, so tallovar.mdb is always
// a whole ledger, also for programs that have it open meanwhile.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/ledger_file.h"
#include "store/sqlite_copy.h"
#include "store/sqlite_restore.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/server_backup.h"

namespace {

int Refuse(const std::string& chinese, const std::string& english) {
    return Fail(chinese + "；账本未改动", english + "; the ledger was not changed");
}

}  // namespace

int RunRestore(const CommandLine& line) {
    const std::vector<std::string>& arguments = line.Operands();
    std::string server;
    if (!ConnectOption(line, server)) return kExitUsage;
    if (!server.empty()) return RestoreServerLedger(server, arguments);
    if (arguments.size() != 1 || arguments[0].empty()) return kExitUsage;
    const std::string& backup = arguments[0];
    std::string ledger;
    if (const Status here = LedgerPathHere(ledger); !here.ok()) {
        return Refuse(here.chinese, here.english);
    }
    if (!Utf8PathExists(backup)) return Refuse("找不到文件：" + backup, "no such file: " + backup);

    if (const Status checked = CheckLedgerFile(backup); !checked.ok()) {
        return Refuse("不能用 " + backup + " 恢复：" + checked.Lines(),
                      "cannot restore from " + backup);
    }
    // The checked copy: it becomes the ledger where there is none, and is
    // removed unplaced otherwise.
    FileReplacement file(NativePathOfUtf8(ledger));
    Status copied = CopyDatabaseInto(backup, CopyFrom::Backup, file);
    const std::string copy = Utf8OfNativePath(file.TemporaryPath());
    if (copied.ok()) copied = CheckLedgerFile(copy);
    if (!copied.ok()) {
        return Refuse("无法复制备份：" + copied.chinese,
                      "cannot copy the backup: " + copied.english);
    }

    if (!Utf8PathExists(ledger)) {
        if (const Status placed = file.PlaceNew(); !placed.ok()) {
            return Refuse("无法放置账本：" + placed.chinese,
                          "cannot place the ledger: " + placed.english);
        }
        std::printf("已从 %s 恢复账本 %s\nledger %s restored from %s\n", backup.c_str(),
                    ledger.c_str(), ledger.c_str(), backup.c_str());
        return kExitOk;
    }
    const std::string kept = ledger + ".replaced-" + TimeStamp();
    if (const Status restored = RestoreInPlace(ledger, copy, kept); !restored.ok()) {
        return Refuse("无法恢复账本：" + restored.chinese,
                      "cannot restore the ledger: " + restored.english);
    }
    std::printf(
        "已从 %s 恢复账本 %s；原来的账本保存为 %s\n"
        "ledger %s restored from %s; the replaced one is kept as %s\n",
        backup.c_str(), ledger.c_str(), kept.c_str(), ledger.c_str(), backup.c_str(), kept.c_str());
    return kExitOk;
}
