#include "store/sqlite_copy.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/sqlite_file.h"

namespace {

// A copy that keeps a rollback journal answers "delete".
std::string RollbackJournalStatement() { return "pragma journal_mode=delete"; }

}  // namespace

Status CopyDatabase(const std::string& from, CopyFrom what, const std::string& to) {
    SqliteDatabase source;
    SqliteDatabase target;
    if (!source.Open(from, what == CopyFrom::Ledger ? SqliteOpen::ReadWrite : SqliteOpen::ReadOnly))
        return Status::Untranslated(source.Error());
    if (!target.Open(to)) return Status::Untranslated(target.Error());
    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
    if (!backup) return Status::Untranslated(target.Error());
    // All pages in one step: one read lock over the whole copy. A writer that
    // holds the file makes the step answer busy; wait and start again.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kLockWaitMilliseconds);
    int rc;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (Clock::now() > deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    sqlite3_backup_finish(backup);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        return Status::Failure(StatusKind::Busy, "账本一直被占用", "the ledger stayed locked");
    }
    if (rc != SQLITE_DONE) return Status::Untranslated(sqlite3_errstr(rc));
    if (target.QueryText(RollbackJournalStatement()) != "delete" || !target.Close()) {
        return Status::Untranslated(target.Error());
    }
    return Status::Ok();
}

Status CopyDatabaseInto(const std::string& from, CopyFrom what, FileReplacement& file) {
    if (Status opened = file.Open(); !opened.ok()) return opened;
    return CopyDatabase(from, what, Utf8OfNativePath(file.TemporaryPath()));
}
