#pragma once
// The team ledger's schema (store/server_schema.h) run through the tool's
// session on the server.

#include <string>

class ServerSession;

// True when the database already holds a ledger (the schema tallovar).
// exists is set; false when the question itself failed.
bool ServerLedgerExists(ServerSession& session, bool& exists);

// Makes the schema, inside the caller's transaction.
bool CreateServerSchema(ServerSession& session);

// After orders or users were stored with their ids: the next id follows the
// largest one.
bool AdvanceServerIds(ServerSession& session);
