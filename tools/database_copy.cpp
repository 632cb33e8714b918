#include "tools/database_copy.h"

#include <chrono>
#include <thread>

#include "store/admin_statements.h"
#include "tools/sqlite_handle.h"

bool CopyDatabase(const std::string& from, int fromFlags, const std::string& to,
                  std::string& error) {
    SqliteDatabase source;
    SqliteDatabase target;
    if (!source.Open(from, fromFlags)) {
        error = source.Error();
        return false;
    }
    if (!target.Open(to)) {
        error = target.Error();
        return false;
    }
    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
    if (!backup) {
        error = target.Error();
        return false;
    }
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
    if (rc != SQLITE_DONE) {
        error = rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? "the ledger stayed locked"
                                                         : sqlite3_errstr(rc);
        return false;
    }
    if (target.QueryText(RollbackJournalStatement()) != "delete" || !target.Close()) {
        error = target.Error();
        return false;
    }
    return true;
}
