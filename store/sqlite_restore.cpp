#include "store/sqlite_restore.h"

#include <sqlite3.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/sqlite_file.h"

namespace {

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

}  // namespace

// Writes the checked copy into the live ledger with SQLite's backup, under
// the ledger's own locks and in one transaction of its own. Every
// connection still open on the ledger (a running program, an import) reads
// the restored orders next time, and none of them can write into a file
// that has left the ledger's name. Once the first page is written the
// backup holds the ledger's write lock, so no other connection can commit:
// the file as it then stands is kept, and only after that are the other
// pages written and the whole committed.
Status RestoreInPlace(const std::string& ledger, const std::string& copy, const std::string& kept) {
    if (Utf8PathExists(ledger + "-wal")) {
        return Status::Failure("账本有未并入的预写日志（-wal 文件），请先关闭程序",
                               "the ledger has a write-ahead log (-wal file); close the program "
                               "first");
    }
    SqliteDatabase live;
    SqliteDatabase source;
    if (!live.Open(ledger) || !source.Open(copy, SqliteOpen::ReadOnly)) {
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
        return Status::Failure(StatusKind::Busy, "账本一直被占用，请稍后再试",
                               "the ledger stayed locked; try again later");
    }
    return Status::Untranslated(live.Error());
}
