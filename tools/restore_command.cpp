// tallovar-admin restore FILE: puts a backup in the place of the ledger in
// the current directory. The backup must pass SQLite's integrity check and
// hold both tables with every column the program reads. The ledger it
// replaces is kept beside it as tallovar.mdb.replaced-<date>-<time>, and the
// replacement is one rename, so tallovar.mdb is always a whole ledger.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/database_copy.h"
#include "tools/file_placing.h"
#include "tools/ledger_file.h"
#include "tools/server_backup.h"
#include "tools/sqlite_handle.h"

namespace {

int Refuse(const std::string& chinese, const std::string& english) {
    return Fail(chinese + "；账本未改动", english + "; the ledger was not changed");
}

bool CheckFile(const std::string& path, std::string& problem) {
    SqliteDatabase db;
    if (!db.Open(path, SQLITE_OPEN_READONLY)) {
        problem = db.Error();
        return false;
    }
    return CheckLedger(db, problem);
}

// Keeps the current ledger under the name kept and puts the copy in its
// place, while holding the ledger's exclusive lock: no write of the program
// is cut in two, and a journal left by a broken write is rolled back into the
// old file first, never into the new one.
bool ReplaceLedger(const std::string& ledger, const std::string& copy, const std::string& kept,
                   std::string& error) {
    if (PathExists(ledger + "-wal")) {
        error =
            "账本有未并入的预写日志（-wal 文件），请先关闭程序\n"
            "the ledger has a write-ahead log (-wal file); close the program first";
        return false;
    }
    SqliteDatabase live;
    if (!live.Open(ledger) || !live.Exec("begin exclusive")) {
        error = "账本正在使用，请先关闭程序（" + live.Error() +
                "）\nthe ledger is in use; close the program first (" + live.Error() + ")";
        return false;
    }
    struct stat info;
    if (stat(ledger.c_str(), &info) == 0) chmod(copy.c_str(), info.st_mode & 07777);

    if (link(ledger.c_str(), kept.c_str()) != 0) {
        const int reason = errno;
        // Without hard links (some shared folders) the old file is moved
        // aside first; the ledger's name is missing for that moment only.
        if (reason == EEXIST || rename(ledger.c_str(), kept.c_str()) != 0) {
            error = kept + ": " + std::strerror(reason);
            return false;
        }
    }
    if (!PlaceReplacing(copy, ledger, error)) {
        if (!PathExists(ledger)) rename(kept.c_str(), ledger.c_str());
        unlink(kept.c_str());
        return false;
    }
    return true;
}

}  // namespace

int RunRestore(const std::vector<std::string>& given) {
    std::vector<std::string> arguments = given;
    std::string server;
    if (!TakeConnectOption(arguments, server)) return kExitUsage;
    if (!server.empty()) return RestoreServerLedger(server, arguments);
    if (arguments.size() != 1 || arguments[0].empty()) {
        std::fprintf(stderr, "用法 / usage: tallovar-admin restore FILE\n");
        return kExitUsage;
    }
    const std::string& backup = arguments[0];
    std::string error;
    const std::string ledger = LedgerPathHere(error);
    if (ledger.empty()) return Refuse("无法取得当前目录：" + error, error);
    if (!PathExists(backup)) return Refuse("找不到文件：" + backup, "no such file: " + backup);

    std::string problem;
    if (!CheckFile(backup, problem)) {
        return Refuse("不能用 " + backup + " 恢复：" + problem, "cannot restore from " + backup);
    }
    const std::string copy = MakeTemporaryBeside(ledger, "restore", error);
    if (copy.empty()) return Refuse("无法在账本目录中写文件：" + error, error);
    if (!CopyDatabase(backup, SQLITE_OPEN_READONLY, copy, error) || !CheckFile(copy, error)) {
        unlink(copy.c_str());
        return Refuse("无法复制备份：" + error, "cannot copy the backup: " + error);
    }

    if (!PathExists(ledger)) {
        if (PlaceWithoutReplacing(copy, ledger, error) != PlaceResult::Placed) {
            return Refuse("无法放置账本：" + error, "cannot place the ledger: " + error);
        }
        std::printf("已从 %s 恢复账本 %s\nledger %s restored from %s\n", backup.c_str(),
                    ledger.c_str(), ledger.c_str(), backup.c_str());
        return kExitOk;
    }
    const std::string kept = ledger + ".replaced-" + TimeStamp();
    if (!ReplaceLedger(ledger, copy, kept, error)) {
        unlink(copy.c_str());
        return Refuse("无法替换账本：" + error, "cannot replace the ledger");
    }
    std::printf(
        "已从 %s 恢复账本 %s；原来的账本保存为 %s\n"
        "ledger %s restored from %s; the replaced one is kept as %s\n",
        backup.c_str(), ledger.c_str(), kept.c_str(), ledger.c_str(), backup.c_str(), kept.c_str());
    return kExitOk;
}
