#pragma once
// The team ledger's schema on PostgreSQL: the same two tables with the same
// columns as the ledger file, made to answer the program's statements as the
// file does. Everything lies in the schema tallovar, which every connection
// puts first on its search path. Texts are UTF-8.

#include <string>
#include <vector>

// Makes the schema; run inside a transaction.
std::string ServerLedgerSchema();

// Answers a count other than 0 when the database already holds a ledger.
std::string ServerLedgerExistsQuery();

// After orders or users were stored with their ids: the next id follows the
// largest one, table by table.
std::vector<std::string> AdvanceServerIdStatements();

class ServerSession;

// True when the database already holds a ledger (the schema tallovar).
// exists is set; false when the question itself failed.
bool ServerLedgerExists(ServerSession& session, bool& exists);

// Makes the schema, inside the caller's transaction.
bool CreateServerSchema(ServerSession& session);

// After orders or users were stored with their ids: the next id follows the
// largest one.
bool AdvanceServerIds(ServerSession& session);
