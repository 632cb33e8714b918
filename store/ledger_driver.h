#pragma once
// Which ODBC driver a ledger file is opened through where the program
// chooses by the file (Windows). A file that begins as an SQLite database
// does is one of Tallovar's own ledgers: it goes to the SQLite driver the
// installer registers, with the keys the program gives that driver on Linux.
// Any other file is a ledger of the Access driver, reached through the
// designed connection string exactly as built.

#include <string>
#include <string_view>

// The name the installer registers the SQLite driver under on Windows.
inline constexpr std::string_view kOwnSqliteDriverName = "Tallovar SQLite3 ODBC Driver";

// NoCreat: a file that has vanished is not made anew. Timeout: how long the
// driver waits for a lock another connection holds; it waits that long twice
// for one statement (measured), so 2.5 s bounds the wait at 5 s.
// The default rollback journal is kept (no JournalMode=WAL): snapshots close
// their cursors before OpenTable returns and every call runs to its end on
// the one thread, so the program's own connections never wait for each
// other; WAL would put -wal and -shm files beside the ledger for good and
// does not work on network shares.
// SyncPragma=EXTRA: with the rollback journal an acknowledged store survives
// a power loss only when the directory is flushed after the journal is
// deleted; otherwise the journal may come back after the power returns and
// roll the store back. FULL (and the driver's default NORMAL) skip that flush.
// StepAPI=1: the driver may step through the rows of a forward-only cursor
// instead of first copying the whole result as texts (see StepsThroughRows).
inline constexpr std::string_view kSqliteDriverKeys =
    "NoCreat=1;Timeout=2500;SyncPragma=EXTRA;StepAPI=1;";

// True when the file at path (GBK) begins with SQLite's 16-byte header
// "SQLite format 3\0"; false for any other, a short or a missing file.
bool StartsAsSqliteDatabase(const std::string& path);

// The connection string (without the "ODBC;" of the database class) for the
// ledger at path, chosen by its first bytes. driverPath is the path as the
// SQLite driver opens it.
std::string ChosenConnectionString(const std::string& path, const std::string& driverPath);
