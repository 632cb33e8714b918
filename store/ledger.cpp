#include "store/ledger.h"

#include "common/text_encoding.h"
#include "store/database.h"
#include "store/settings.h"

std::string TeamLedgerConnection() {
    return ReadSetting(SettingsPath(), Gbk("数据库"), Gbk("连接"));
}

bool OpenLedger(DatabaseConnection& db) {
    const std::string server = TeamLedgerConnection();
    if (server.empty()) return db.OpenMdbFile(DatabasePath());
    return db.OpenServer(server);
}
