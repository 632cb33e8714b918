#pragma once
// Which ledger the windows work on. Without a setting it is the file
// tallovar.mdb in the current directory, exactly as always. config.ini may
// name a team ledger instead, shared by several people on several machines:
// section [数据库], key 连接, an ODBC connection string to a PostgreSQL
// database. Every window then opens that database for every statement.

#include <string>

class DatabaseConnection;

// The configured connection string (GBK); empty for the file ledger.
std::string TeamLedgerConnection();

// Opens the connection on the ledger in use: OpenMdbFile on the file, or
// OpenServer on the configured database. Same result and LastError.
bool OpenLedger(DatabaseConnection& db);
