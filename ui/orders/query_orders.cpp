#include "ui/orders/query_orders.h"

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "platform/files.h"
#include "store/database.h"
#include "ui/orders/order_list.h"

namespace {

// The database answered with an error: the list is left empty, the totals
// line shows its design caption, and the user is told why.
void ShowQueryFailure(OrderListDisplay& display) {
    const std::string diagnostic = display.connection.LastError();
    display.setTotalsLine(Gbk("记录："));
    display.list.DeleteAllItems();
    if (display.keepTotals) display.keepTotals(OrderTotals());
    ShowDatabaseError(diagnostic);
}

}  // namespace

void QueryOrders(OrderListDisplay& display, const OrderSearchTexts& inputs,
                 const std::string& filter) {
    DatabaseConnection& db = display.connection;
    const std::string path = DatabasePath();
    if (!PathExists(path)) {
        ShowMessage(Gbk("数据库不存在"), kMbOk, Gbk("警告"));
        EndProcess(0);
        return;
    }
    if (!db.OpenMdbFile(path)) {
        ShowQueryFailure(display);
        return;
    }

    const OrderStatements statements = BuildOrderStatements(inputs, filter);
    listRecordset = db.OpenTable(statements.list);
    if (listRecordset == 0) {
        ShowQueryFailure(display);
        return;
    }

    OrderTotals totals;
    if (!ReadOrderTotals(db, statements, totals)) {
        ShowQueryFailure(display);
        return;
    }
    display.setTotalsLine(OrderTotalsLine(totals));
    if (display.keepTotals) display.keepTotals(totals);

    const auto& columns = OrderListColumns();
    OrderListModel& list = display.list;
    list.BeginFill();
    list.DeleteAllItems();
    listRowIndex = 0;
    db.MoveFirst(listRecordset);
    while (!db.IsEOF(listRecordset)) {
        list.InsertItem(listRowIndex);
        for (int c = 0; c < OrderListModel::kColumns; ++c) {
            DatabaseValue value = db.ReadColByName(listRecordset, columns[c].name);
            if (value.kind == ValueKind::Text) {
                list.SetItemText(listRowIndex, c, value.text);
            } else {
                list.SetItemText(listRowIndex, c, ValueToText(value));
            }
        }
        db.MoveNext(listRecordset);
        ++listRowIndex;
    }
    list.EndFill();
}
