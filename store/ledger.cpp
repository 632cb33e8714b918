#include "store/ledger.h"

#include "store/database.h"
#include "store/settings.h"

std::string TeamLedgerConnection() { return ReadSetting(SettingsPath(), kTeamLedger); }

bool OpenLedger(DatabaseConnection& db) {
    const std::string server = TeamLedgerConnection();
    if (server.empty()) return db.OpenMdbFile(DatabasePath());
    return db.OpenServer(server);
}
