#pragma once
// tallovar-admin backup/restore --connect "…" on a team ledger: the server's
// own tools, pg_dump and pg_restore, in their custom format (the database
// stays consistent while others work; a restore runs as one transaction).

#include <string>
#include <vector>

// Appends to a pg_dump/pg_restore/psql command line the host, port, user and
// database of an ODBC connection string (UTF-8), and puts its password and
// SSL mode into this process's environment for them. False when the string
// names no database.
bool ServerToolArguments(const std::string& connection, std::vector<std::string>& arguments);

// arguments: [FILE]; the exit code.
int BackupServerLedger(const std::string& connection, const std::vector<std::string>& arguments);
// arguments: FILE; the exit code.
int RestoreServerLedger(const std::string& connection, const std::vector<std::string>& arguments);
