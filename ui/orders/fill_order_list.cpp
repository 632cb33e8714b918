#include "ui/orders/fill_order_list.h"

#include <array>

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "platform/files.h"
#include "store/database.h"
#include "store/database_error.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "store/order_words.h"
#include "ui/busy_cursor.h"
#include "ui/orders/order_list.h"

namespace {

// The database answered with an error: the list is left empty, the totals
// line shows its design caption, and the user is told why.
void ShowQueryFailure(OrderListDisplay& display) {
    const std::string diagnostic = display.connection.LastError();
    display.setTotalsLine(Gbk(kTotalsCaption));
    display.list.DeleteAllItems();
    if (display.keepTotals) display.keepTotals(OrderTotals());
    ShowDatabaseError(DatabaseErrorDetail(diagnostic));
}

// The rows of the list result, one item each, shown where the connection's
// snapshot holds them: the list shares the rows instead of copying them.
void FillList(DatabaseConnection& db, OrderListModel& list) {
    const auto& columns = OrderListColumns();
    std::array<int, OrderListModel::kColumns> sources;
    for (int c = 0; c < OrderListModel::kColumns; ++c) {
        sources[c] = db.ColumnPosition(listRecordset, columns[c].name);
    }
    list.BeginFill();
    list.DeleteAllItems();
    list.ShowRows(db.SharedRows(listRecordset), sources);
    listRowIndex = list.ItemCount();
    list.EndFill();
}

// Runs the three statements and fills the totals line and the list; false
// when the database failed, with nothing shown yet.
bool ShowOrders(OrderListDisplay& display, const OrderStatements& statements) {
    DatabaseConnection& db = display.connection;
    if (!OpenLedger(db)) return false;
    // The rows shown so far are let go before the new ones are read, so a
    // large list is never held twice. Nothing is painted while this runs,
    // and a failure leaves the list empty either way.
    display.list.DeleteAllItems();
    OrderTotals totals;
    if (!ReadOrdersAndTotals(db, statements, listRecordset, totals)) return false;
    // The label is updated before the list is cleared.
    display.setTotalsLine(OrderTotalsLine(totals));
    if (display.keepTotals) display.keepTotals(totals);
    FillList(db, display.list);
    return true;
}

}  // namespace

void QueryOrders(OrderListDisplay& display, const OrderSearchTexts& inputs,
                 const std::string& filter) {
    // A team ledger whose server cannot be reached is a failure like any
    // other during work: told, and the program goes on.
    if (TeamLedgerConnection().empty() && !PathExists(DatabasePath())) {
        ShowMessage(Gbk("数据库不存在"), kMbOk, Gbk("警告"));
        EndProcess(0);
        return;
    }
    const OrderStatements statements = BuildOrderStatements(inputs, filter);
    if (!WhileBusy([&] { return ShowOrders(display, statements); })) ShowQueryFailure(display);
}
