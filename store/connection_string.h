#pragma once
// The connection string of a ledger file as the driver manager takes it, and
// why a path cannot be given to the driver. For the store's own connection
// files only; BuildConnectionString, DatabasePath and QuoteText are in
// store/database.h.

#include <string>

// The keys the program gives the SQLite driver besides the database's path
// (see the definition).
std::string SqliteDriverKeys();

namespace odbc {

// Why the driver could not be given the path, or empty.
std::string PathProblem(const std::string& path);
// The connection string as the driver manager wants it (see the definition).
std::string DriverConnectionString(const std::string& path);

}  // namespace odbc
