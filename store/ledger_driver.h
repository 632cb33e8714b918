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

// True when the file at path (GBK) begins with SQLite's 16-byte header
// "SQLite format 3\0"; false for any other, a short or a missing file.
bool StartsAsSqliteDatabase(const std::string& path);

// The connection string (without the "ODBC;" of the database class) for the
// ledger at path, chosen by its first bytes. driverPath is the path as the
// SQLite driver opens it.
std::string ChosenConnectionString(const std::string& path, const std::string& driverPath);
