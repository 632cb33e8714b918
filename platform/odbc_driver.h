#pragma once
// Which ODBC driver the program's calls reach. On Linux it is the SQLite
// driver registered under the Access driver's name: it takes UTF-8 texts and
// knows the ledger by "Database=<its path here>". On Windows the ledger file
// chooses (store/ledger_driver.h) between Tallovar's own SQLite driver and
// Windows' own Access driver, which reads the ledger's path from "DBQ"; both
// take the ANSI code page's bytes (GBK): the driver manager hands the SQLite
// driver's wide functions the texts converted. Under Wine, whose odbc32 hands
// every call to this machine's unixODBC, both names lead to this machine's
// SQLite driver, with UTF-8 texts and the Unix path of the ledger.

#include <string>

bool DriverIsHostSqlite();

// True where the driver is chosen by the ledger file (store/ledger_driver.h):
// on Windows, also under Wine. Elsewhere every ledger goes to the SQLite
// driver registered under the Access driver's name.
bool DriverChosenByLedgerFile();

// A GBK path as that SQLite driver opens it (under Wine, the Unix path of a
// Windows one).
std::string HostDriverPath(const std::string& path);
