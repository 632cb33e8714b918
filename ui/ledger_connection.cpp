#include "ui/ledger_connection.h"

#include "common/message_box.h"
#include "store/database.h"
#include "store/ledger.h"

bool ConnectedOrTold(DatabaseConnection& db) {
    if (db.IsOpen() || OpenLedger(db)) return true;
    ShowDatabaseError(db.LastError());
    return false;
}
