// What the order list's pop-up menu, its double click and the hidden add
// button do: hand an order to the editor, or delete it.
#include <QCursor>
#include <QMenu>

#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database_error.h"
#include "store/order_statements.h"
#include "ui/busy_cursor.h"
#include "ui/editor/editor_window.h"
#include "ui/import/import_window.h"
#include "ui/orders/orders_window.h"
#include "ui/recycle/recycle_window.h"
#include "ui/ship/ship_window.h"
#include "ui/summary/summary_window.h"
#include "ui_orders.h"

namespace {
// Column numbers of the model, whatever order the header shows them in.
constexpr int kIdColumn = 0;
constexpr int kExpressColumn = 3;
constexpr int kWaybillColumn = 4;
}  // namespace

void OrdersWindow::ShowPopupMenu() { 菜单->exec(QCursor::pos() + QPoint(3, 3)); }

bool OrdersWindow::SelectionMissing(const char* message) {
    if (!ui_->信息列表框->SelectedText(kIdColumn).empty()) return false;
    ShowMessage(Gbk(message));
    return true;
}

void OrdersWindow::AddOrder() {
    editorMode = Gbk("添加");
    OpenEditorWindow();
}

void OrdersWindow::ModifyOrder() {
    if (SelectionMissing("请选择修改的数据！")) return;
    currentOrderId = TextToInteger64(ui_->信息列表框->SelectedText(kIdColumn));
    editorMode = Gbk("修改");
    OpenEditorWindow();
}

void OrdersWindow::ViewOrder() {
    if (SelectionMissing("请选择查看的数据！")) return;
    currentOrderId = TextToInteger64(ui_->信息列表框->SelectedText(kIdColumn));
    editorMode = Gbk("查看");
    OpenEditorWindow();
}

void OrdersWindow::ShipOrder() {
    if (SelectionMissing("请选择修改的数据！")) return;
    // Shipped once either the express company or the waybill holds a text.
    if (!ui_->信息列表框->SelectedText(kExpressColumn).empty() ||
        !ui_->信息列表框->SelectedText(kWaybillColumn).empty()) {
        ShowMessage(Gbk("该订单已发货，请选择未发货的订单！"));
        return;
    }
    currentOrderId = TextToInteger64(ui_->信息列表框->SelectedText(kIdColumn));
    editorMode = Gbk("发货");
    OpenEditorWindow();
}

void OrdersWindow::DeleteOrder() {
    if (SelectionMissing("请选择处理的数据！")) return;
    if (ShowMessage(Gbk("确定提交吗？"), kMbYesNo, Gbk("提示")) != kAnswerYes) return;
    // The id goes in as the list shows it; the list only ever shows the
    // integer ID, so it holds digits alone.
    const std::string statement = DeleteOrderStatement(ui_->信息列表框->SelectedText(kIdColumn));
    if (!WhileBusy([&] { return 外部数据库1.ExecuteSql(statement); }))
        ShowDatabaseError(DatabaseErrorDetail(外部数据库1.LastError()));
    RunQuery({}, "");
}

void OrdersWindow::ImportFromSheet() { OpenImportWindow(); }

void OrdersWindow::ShipInBulk() { OpenShipWindow(); }

void OrdersWindow::OpenSummary() { OpenSummaryWindow(lastInputs_, lastFilter_); }

void OrdersWindow::OpenRecycleBin() { OpenRecycleWindow(); }
