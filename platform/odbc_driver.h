#pragma once
// Which ODBC driver the program's calls reach. On Linux, and for the Windows
// program under Wine (whose odbc32 hands every call to this machine's
// unixODBC), it is the SQLite driver registered under the Access driver's
// name: it takes UTF-8 texts and knows the ledger by "Database=<its path
// here>". On Windows itself it is Windows' own driver, which takes the ANSI
// code page's bytes (GBK) and reads the ledger's path from "DBQ".

#include <string>

bool DriverIsHostSqlite();

// A GBK path as that SQLite driver opens it (under Wine, the Unix path of a
// Windows one).
std::string HostDriverPath(const std::string& path);
