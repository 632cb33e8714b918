// The editor's created handler: the mode chosen from the hand-off variables,
// and each mode's set-up: title, buttons, pick lists, today's date, the order
// loaded from the ledger, and the locks of viewing and shipping.
#include <QComboBox>
#include <QPlainTextEdit>
#include <initializer_list>
#include <utility>
#include <vector>

#include "app/program_state.h"
#include "common/message_box.h"
#include "common/order_date.h"
#include "common/text_cut.h"
#include "common/text_encoding.h"
#include "common/text_limit.h"
#include "common/value_text.h"
#include "store/database_error.h"
#include "store/ledger.h"
#include "store/order_statements.h"
#include "store/settings.h"
#include "ui/busy_cursor.h"
#include "ui/editor/content_edit.h"
#include "ui/editor/editor_parts.h"
#include "ui/pick_list.h"
#include "ui_editor.h"

namespace {

using ColumnFields = std::vector<std::pair<const char*, QWidget*>>;

// Column (UTF-8 name) to control, in the order the columns are read.
ColumnFields ColumnsToLoad(Ui::EditorForm& ui, bool forShipping) {
    ColumnFields load = {
        {"卖家账号", ui.组合框1}, {"订单号", ui.编辑框5},     {"快递公司", ui.组合框2},
        {"运单号", ui.编辑框2},   {"商品名称", ui.编辑框3},   {"订单日期", ui.编辑框7},
        {"购买账号", ui.组合框3}, {"购买订单号", ui.编辑框4}, {"收货信息", ui.编辑框8},
        {"售价", ui.编辑框6},     {"进价", ui.编辑框9},       {"佣金", ui.编辑框10},
        {"利润", ui.编辑框11},    {"备注", ui.编辑框1}};
    // Shipping asks for a new express company: the stored one is not shown.
    if (forShipping) load.erase(load.begin() + 2);
    return load;
}

void SetTitle(QWidget& window, const char* utf8) { window.setWindowTitle(GbkToQString(Gbk(utf8))); }

void FillExpressList(Ui::EditorForm& ui) { AppendPickList(kExpressCompanies, {ui.组合框2}); }

void FillPickLists(Ui::EditorForm& ui) {
    AppendPickList(kSellerAccounts, {ui.组合框3, ui.组合框1});
    FillExpressList(ui);
}

// Year-month-day of the local clock, without leading zeros: 2015-1-9.
void PutTodaysDate(Ui::EditorForm& ui) { SetFieldText(ui.编辑框7, TodaysOrderDate()); }

}  // namespace

// Sets a stored text into its field. A text past the limit of a field (put
// there by another tool) is shown cut; false then.
bool EditorWindow::ShowStoredText(QWidget* field, const std::string& stored) {
    const std::string_view shown = WholeCharactersWithin(stored, kFieldTextLimit);
    SetFieldText(field, std::string(shown));
    if (shown.size() < stored.size()) return false;
    loaded_[field] = {stored, FieldText(field)};
    return true;
}

// Reads the order into the fields. Missing: the ledger has no row for it
// (deleted meanwhile). Failed: the ledger could not be read at all (locked,
// gone, damaged); the driver's diagnostic has been shown then. Cut: a text
// too long to show whole; the user has been told.
EditorWindow::LoadOutcome EditorWindow::LoadStoredOrder(bool forShipping) {
    DatabaseConnection& db = 外部数据库1;
    const bool read = WhileBusy([&] {
        if (!OpenLedger(db)) return false;
        editorRecordset = db.OpenTable(LoadOrderQuery(orderId_));
        return editorRecordset != 0;
    });
    if (!read) {
        ShowDatabaseError(DatabaseErrorDetail(db.LastError()));
        return LoadOutcome::Failed;
    }
    if (db.IsEOF(editorRecordset)) return LoadOutcome::Missing;
    std::string cutColumns;
    for (const auto& [column, field] : ColumnsToLoad(*ui_, forShipping)) {
        const std::string stored = ValueToText(db.ReadColByName(editorRecordset, Gbk(column)));
        if (!ShowStoredText(field, stored))
            cutColumns += (cutColumns.empty() ? "" : Gbk("、")) + Gbk(column);
    }
    if (cutColumns.empty()) return LoadOutcome::Loaded;
    ShowMessage(Gbk("此订单的“") + cutColumns +
                Gbk("”超过一栏的上限（1048576 字节），这里只显示开头部分；为免保存时截断，"
                    "此订单不能在这里修改。"));
    return LoadOutcome::Cut;
}

// Modify and ship write every column back; with nothing loaded they would
// write empty texts over the stored order, and with a text cut short they
// would cut it in the ledger, so storing is turned off.
void EditorWindow::LoadOrderToChange(bool forShipping) {
    const LoadOutcome outcome = LoadStoredOrder(forShipping);
    if (outcome == LoadOutcome::Missing) {
        ShowOrderMissing();
    } else if (outcome != LoadOutcome::Loaded) {
        ui_->按钮3->setEnabled(false);
    }
}

namespace {

void Disable(std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls) control->setEnabled(false);
}

// Read-only boxes still show their text and let it be selected and copied.
void SetReadOnly(std::initializer_list<QWidget*> fields) {
    for (QWidget* field : fields) {
        if (auto* line = qobject_cast<QLineEdit*>(field)) line->setReadOnly(true);
        if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) plain->setReadOnly(true);
    }
}

void LockForViewing(Ui::EditorForm& ui) {
    Disable({ui.组合框1, ui.组合框2, ui.组合框3});
    SetReadOnly({ui.编辑框1, ui.编辑框2, ui.编辑框3, ui.编辑框4, ui.编辑框5, ui.编辑框6, ui.编辑框7,
                 ui.编辑框8, ui.编辑框9, ui.编辑框10, ui.编辑框11});
}

// Only the express company and the waybill number stay open to change.
void LockForShipping(Ui::EditorForm& ui) {
    Disable({ui.组合框1, ui.组合框3});
    SetReadOnly({ui.编辑框1, ui.编辑框3, ui.编辑框4, ui.编辑框5, ui.编辑框6, ui.编辑框7, ui.编辑框8,
                 ui.编辑框9, ui.编辑框10, ui.编辑框11});
}

}  // namespace

void EditorWindow::ShowOrderMissing() {
    ShowMessage(Gbk("订单不存在或无法读取"), kMbOk, Gbk("错误"));
    ui_->按钮3->setEnabled(false);
}

EditorMode ChooseEditorMode(const std::string& word, std::int64_t id) {
    if (word.empty() || word == Gbk("添加")) return EditorMode::Add;
    if (id != 0) {
        if (word == Gbk("修改")) return EditorMode::Modify;
        if (word == Gbk("查看")) return EditorMode::View;
        if (word == Gbk("发货")) return EditorMode::Ship;
    }
    return EditorMode::Designed;
}

void EditorWindow::Created() {
    mode_ = ChooseEditorMode(editorMode, currentOrderId);
    orderId_ = currentOrderId;
    Ui::EditorForm& ui = *ui_;
    switch (mode_) {
        case EditorMode::Add:
            SetTitle(*this, "添加订单");
            Disable({ui.按钮3});
            FillPickLists(ui);
            PutTodaysDate(ui);
            break;
        case EditorMode::Modify:
            SetTitle(*this, "修改订单");
            FillPickLists(ui);
            PutTodaysDate(ui);
            Disable({ui.按钮1, ui.按钮2});
            LoadOrderToChange(false);
            break;
        case EditorMode::View:
            SetTitle(*this, "查看订单");
            Disable({ui.按钮1, ui.按钮2, ui.按钮3});
            LoadStoredOrder(false);
            LockForViewing(ui);
            break;
        case EditorMode::Ship:
            SetTitle(*this, "订单发货");
            Disable({ui.按钮1, ui.按钮2});
            LoadOrderToChange(true);
            FillExpressList(ui);
            PutTodaysDate(ui);
            LockForShipping(ui);
            break;
        case EditorMode::Designed:
            break;
    }
}
