#include "store/sqlite_engine.h"

#include <sqlite3.h>

void PrepareSqliteEngine() {
    static const bool prepared = [] {
        // Multi-thread mode: SQLite stays safe for threads that each use
        // their own connections, and drops the lock around every call on
        // one connection.
        sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)prepared;
}
