#pragma once
// A team ledger as the server's own tools (pg_dump, pg_restore, psql) reach
// it.

#include <string>
#include <vector>

// Appends to a pg_dump/pg_restore/psql command line the host, port, user and
// database of an ODBC connection string (UTF-8), and puts its password and
// SSL mode into this process's environment for them. False when the string
// names no database.
bool ServerToolArguments(const std::string& connection, std::vector<std::string>& arguments);
