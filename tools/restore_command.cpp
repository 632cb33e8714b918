// tallovar-admin restore FILE: puts a backup's orders and users in the
// ledger of the current directory. The backup must pass SQLite's integrity
// check and hold both tables with every column the program reads. The ledger
// as it was is kept beside it as tallovar.mdb.replaced-<date>-<time>, and the
// restore is one transaction in the ledger itself, so tallovar.mdb is always
// a whole ledger, also for programs that have it open meanwhile.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
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
    const Status checked = CheckLedger(db);
    problem = checked.Lines();
    return checked.ok();
}

// Asks again every millisecond, and not after ever longer pauses as SQLite's
// own wait does: programs storing one order after another leave the ledger
// unlocked only for moments, and a slow asker would miss them all.
int RetryEachMillisecond(void*, int tries) {
    if (tries >= kLockWaitMilliseconds) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 1;
}

// Waits out other connections' locks on the ledger while the backup step
// answers busy; the step's own result otherwise.
int StepWaiting(sqlite3_backup* backup, int pages) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kLockWaitMilliseconds);
    int rc;
    while ((rc = sqlite3_backup_step(backup, pages)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (Clock::now() > deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return rc;
}

// Writes the ledger's file, as it stands on disk, to a new file named kept.
// It is read through the connection's own file handle: opening and closing
// the file once more would drop every lock this process holds on it.
bool KeepLedgerFile(SqliteDatabase& live, const std::string& ledger, const std::string& kept,
                    std::string& error) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(live.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr) {
        error = "cannot read the ledger";
        return false;
    }
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) {
        error = "cannot read the ledger";
        return false;
    }
    const std::string temporary = MakeTemporaryBeside(ledger, "replaced", error);
    if (temporary.empty()) return false;
    const int out = OpenTemporaryForWriting(temporary);
    std::vector<char> piece(1 << 20);
    bool copied = out >= 0;
    for (sqlite3_int64 at = 0; copied && at < size;) {
        const int length = static_cast<int>(std::min<sqlite3_int64>(size - at, piece.size()));
        copied = file->pMethods->xRead(file, piece.data(), length, at) == SQLITE_OK &&
                 write(out, piece.data(), static_cast<std::size_t>(length)) == length;
        at += length;
    }
    if (out >= 0) copied = FlushAndClose(out) && copied;
    if (!copied) {
        error = std::strerror(errno ? errno : EIO);
        unlink(temporary.c_str());
        return false;
    }
    switch (PlaceWithoutReplacing(temporary, kept, error)) {
        case PlaceResult::Placed:
            return true;
        case PlaceResult::AlreadyExists:
            error = kept + ": " + std::strerror(EEXIST);
            return false;
        case PlaceResult::Failed:
            return false;
    }
    return false;
}

// Writes the checked copy into the live ledger with SQLite's backup, under
// the ledger's own locks and in one transaction of its own. Every
// connection still open on the ledger (a running program, an import) reads
// the restored orders next time, and none of them can write into a file
// that has left the ledger's name. Once the first page is written the
// backup holds the ledger's write lock, so no other connection can commit:
// the file as it then stands is kept, and only after that are the other
// pages written and the whole committed.
bool RestoreInPlace(const std::string& ledger, const std::string& copy, const std::string& kept,
                    std::string& error) {
    if (PathExists(ledger + "-wal")) {
        error =
            "账本有未并入的预写日志（-wal 文件），请先关闭程序\n"
            "the ledger has a write-ahead log (-wal file); close the program first";
        return false;
    }
    SqliteDatabase live;
    SqliteDatabase source;
    if (!live.Open(ledger) || !source.Open(copy, SQLITE_OPEN_READONLY)) {
        error = live.Error() + "; " + source.Error();
        return false;
    }
    sqlite3_busy_handler(live.get(), RetryEachMillisecond, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(live.get(), "main", source.get(), "main");
    if (!backup) {
        error = live.Error();
        return false;
    }
    int rc = StepWaiting(backup, 1);
    // A ledger has several pages, so one step cannot have finished it.
    const bool keptPlaced = rc == SQLITE_OK && KeepLedgerFile(live, ledger, kept, error);
    if (keptPlaced) rc = StepWaiting(backup, -1);
    // Finishing an unfinished backup rolls the ledger back to what it was.
    const bool restored = sqlite3_backup_finish(backup) == SQLITE_OK && rc == SQLITE_DONE;
    if (restored) return true;
    if (keptPlaced) unlink(kept.c_str());
    if (error.empty()) {
        error = rc == SQLITE_BUSY || rc == SQLITE_LOCKED
                    ? "账本一直被占用，请稍后再试\nthe ledger stayed locked; try again later"
                    : live.Error();
    }
    return false;
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
    const bool restored = RestoreInPlace(ledger, copy, kept, error);
    unlink(copy.c_str());
    if (!restored) return Refuse("无法恢复账本：" + error, "cannot restore the ledger");
    std::printf(
        "已从 %s 恢复账本 %s；原来的账本保存为 %s\n"
        "ledger %s restored from %s; the replaced one is kept as %s\n",
        backup.c_str(), ledger.c_str(), kept.c_str(), ledger.c_str(), backup.c_str(), kept.c_str());
    return kExitOk;
}
