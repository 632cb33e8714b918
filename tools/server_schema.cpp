#include "tools/server_schema.h"

#include <vector>

#include "store/server_schema.h"
#include "tools/server_session.h"

bool ServerLedgerExists(ServerSession& session, bool& exists) {
    std::vector<std::vector<std::string>> rows;
    if (!session.Rows(ServerLedgerExistsQuery(), rows)) return false;
    exists = !rows.empty() && rows[0][0] != "0";
    return true;
}

bool CreateServerSchema(ServerSession& session) { return session.Exec(ServerLedgerSchema()); }

bool AdvanceServerIds(ServerSession& session) {
    for (const std::string& statement : AdvanceServerIdStatements()) {
        if (!session.Exec(statement)) return false;
    }
    return true;
}
