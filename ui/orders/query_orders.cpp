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

std::string TotalsLine(std::int32_t count, const std::string (&sums)[4]) {
    std::string line = Gbk("记录：当前有") + IntegerToText(count);
    static const char* const pieces[] = {"单  总售价：", "元  总进价：", "元  总佣金：",
                                         "元  总利润："};
    for (int i = 0; i < 4; ++i) line += Gbk(pieces[i]) + sums[i];
    return line + Gbk("元");
}

// The database answered with an error: the list is left empty, the totals
// line shows its design caption, and the user is told why.
void ShowQueryFailure(OrderListDisplay& display) {
    const std::string diagnostic = display.connection.LastError();
    display.setTotalsLine(Gbk("记录："));
    display.list.DeleteAllItems();
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

    const std::int32_t countSet = db.OpenTable(statements.count);
    if (countSet == 0) {
        ShowQueryFailure(display);
        return;
    }
    const std::int32_t count = NumberToInteger(db.ReadColByIndex(countSet, 1));

    const std::int32_t totalsSet = db.OpenTable(statements.totals);
    if (totalsSet == 0) {
        ShowQueryFailure(display);
        return;
    }
    std::string sums[4];
    for (int i = 0; i < 4; ++i) sums[i] = ValueToText(db.ReadColByIndex(totalsSet, i + 1));

    display.setTotalsLine(TotalsLine(count, sums));

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
