#pragma once
// The durability rule of every connection to a ledger file, the program's
// through the ODBC driver and the tool's through SQLite itself: synchronous
// EXTRA. With the rollback journal an acknowledged store survives a power
// loss only when the directory is flushed after the journal is deleted;
// otherwise the journal may come back after the power returns and roll the
// store back. FULL (and the driver's default NORMAL) skip that flush.

#include <string>

// The driver's connection key for it, "SyncPragma=EXTRA;".
std::string SynchronousConnectionKey();
// The statement a connection of SQLite's own runs for it.
std::string SynchronousStatement();
