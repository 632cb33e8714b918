// tallovar-admin restore FILE: puts a backup's orders and users in the
// ledger of the current directory. The backup must pass SQLite's integrity
// check and hold both tables with every column the program reads. The ledger
// as it was is kept beside it as tallovar.mdb.replaced-<date>-<time>, and the
// restore is one transaction in the ledger itself, so tallovar.mdb is always
// a whole ledger, also for programs that have it open meanwhile.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/whole_file.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/database_copy.h"
#include "tools/ledger_file.h"
#include "tools/server_backup.h"
#include "tools/sqlite_handle.h"
#include "tools/tool_paths.h"

namespace {

int Refuse(const std::string& chinese, const std::string& english) {
    return Fail(chinese + "；账本未改动", english + "; the ledger was not changed");
}

Status CheckFile(const std::string& path) {
    SqliteDatabase db;
    if (!db.Open(path, SQLITE_OPEN_READONLY)) return Status::Untranslated(db.Error());
    return CheckLedger(db);
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
Status KeepLedgerFile(SqliteDatabase& live, const std::string& kept) {
    const Status unreadable = Status::Failure("无法读取账本", "cannot read the ledger");
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(live.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr) {
        return unreadable;
    }
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) return unreadable;
    FileReplacement copy(NativePathOfUtf8(kept));
    if (Status opened = copy.Open(); !opened.ok()) return opened;
    std::vector<char> piece(1 << 20);
    for (sqlite3_int64 at = 0; at < size;) {
        const int length = static_cast<int>(std::min<sqlite3_int64>(size - at, piece.size()));
        if (file->pMethods->xRead(file, piece.data(), length, at) != SQLITE_OK) return unreadable;
        if (Status written = copy.Write({piece.data(), static_cast<std::size_t>(length)});
            !written.ok()) {
            return written;
        }
        at += length;
    }
    return copy.PlaceNew();
}

// Writes the checked copy into the live ledger with SQLite's backup, under
// the ledger's own locks and in one transaction of its own. Every
// connection still open on the ledger (a running program, an import) reads
// the restored orders next time, and none of them can write into a file
// that has left the ledger's name. Once the first page is written the
// backup holds the ledger's write lock, so no other connection can commit:
// the file as it then stands is kept, and only after that are the other
// pages written and the whole committed.
Status RestoreInPlace(const std::string& ledger, const std::string& copy, const std::string& kept) {
    if (PathExists(ledger + "-wal")) {
        return Status::Failure("账本有未并入的预写日志（-wal 文件），请先关闭程序",
                               "the ledger has a write-ahead log (-wal file); close the program "
                               "first");
    }
    SqliteDatabase live;
    SqliteDatabase source;
    if (!live.Open(ledger) || !source.Open(copy, SQLITE_OPEN_READONLY)) {
        return Status::Untranslated(live.Error() + "; " + source.Error());
    }
    sqlite3_busy_handler(live.get(), RetryEachMillisecond, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(live.get(), "main", source.get(), "main");
    if (!backup) return Status::Untranslated(live.Error());
    int rc = StepWaiting(backup, 1);
    // A ledger has several pages, so one step cannot have finished it.
    Status keeping = Status::Ok();
    if (rc == SQLITE_OK) keeping = KeepLedgerFile(live, kept);
    const bool keptPlaced = rc == SQLITE_OK && keeping.ok();
    if (keptPlaced) rc = StepWaiting(backup, -1);
    // Finishing an unfinished backup rolls the ledger back to what it was.
    const bool restored = sqlite3_backup_finish(backup) == SQLITE_OK && rc == SQLITE_DONE;
    if (restored) return Status::Ok();
    if (keptPlaced) unlink(kept.c_str());
    if (!keeping.ok()) return keeping;
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        return Status::Failure("账本一直被占用，请稍后再试",
                               "the ledger stayed locked; try again later");
    }
    return Status::Untranslated(live.Error());
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
    if (!PathExists(backup)) return Refuse("找不到文件：" + backup, "no such file: " + backup);

    if (const Status checked = CheckFile(backup); !checked.ok()) {
        return Refuse("不能用 " + backup + " 恢复：" + checked.Lines(),
                      "cannot restore from " + backup);
    }
    // The checked copy: it becomes the ledger where there is none, and is
    // removed unplaced otherwise.
    FileReplacement file(NativePathOfUtf8(ledger));
    Status copied = CopyDatabaseInto(backup, SQLITE_OPEN_READONLY, file);
    const std::string copy = Utf8OfNativePath(file.TemporaryPath());
    if (copied.ok()) copied = CheckFile(copy);
    if (!copied.ok()) {
        return Refuse("无法复制备份：" + copied.chinese,
                      "cannot copy the backup: " + copied.english);
    }

    if (!PathExists(ledger)) {
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
