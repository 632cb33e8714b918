// The editor's created handler: the mode chosen from the hand-off variables,
// and each mode's set-up: title, buttons, pick lists, today's date, the order
// loaded from the ledger, and the locks of viewing and shipping.
#include <QComboBox>
#include <QPlainTextEdit>
#include <initializer_list>
#include <utility>
#include <vector>

#include "app/program_state.h"
#include "common/date_parts.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/ledger.h"
#include "store/settings.h"
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

void SetTitle(EditorWindow& window, const char* utf8) {
    window.setWindowTitle(GbkToQString(Gbk(utf8)));
}

void FillExpressList(Ui::EditorForm& ui) {
    const std::string list = ReadSetting(SettingsPath(), "kuaidiinfo", "kuaidi");
    for (const std::string& item : SplitList(list, "#")) AppendPickItem(ui.组合框2, item);
}

void FillPickLists(Ui::EditorForm& ui) {
    const std::string accounts = ReadSetting(SettingsPath(), "zhanghaoinfo", "zhanghao");
    for (const std::string& item : SplitList(accounts, "|")) {
        AppendPickItem(ui.组合框3, item);
        AppendPickItem(ui.组合框1, item);
    }
    FillExpressList(ui);
}

// Year-month-day of the local clock, without leading zeros: 2015-1-9.
void PutTodaysDate(Ui::EditorForm& ui) {
    const double now = CurrentDateTime();
    SetFieldText(ui.编辑框7, IntegerToText(YearOf(now)) + "-" + IntegerToText(MonthOf(now)) + "-" +
                                 IntegerToText(DayOf(now)));
}

enum class LoadOutcome { Loaded, Missing, Failed };

// Reads the order into the fields. Missing: the ledger has no row for it
// (deleted meanwhile). Failed: the ledger could not be read at all (locked,
// gone, damaged); the driver's diagnostic has been shown then.
LoadOutcome LoadStoredOrder(EditorWindow& window, bool forShipping) {
    DatabaseConnection& db = window.外部数据库1;
    if (!OpenLedger(db)) {
        ShowDatabaseError(db.LastError());
        return LoadOutcome::Failed;
    }
    editorRecordset =
        db.OpenTable(Gbk("select * from 订单列表 where id=") + IntegerToText(window.orderId));
    if (editorRecordset == 0) {
        ShowDatabaseError(db.LastError());
        return LoadOutcome::Failed;
    }
    if (db.IsEOF(editorRecordset)) return LoadOutcome::Missing;
    for (const auto& [column, field] : ColumnsToLoad(*window.ui, forShipping)) {
        SetFieldText(field, ValueToText(db.ReadColByName(editorRecordset, Gbk(column))));
    }
    return LoadOutcome::Loaded;
}

// Modify and ship write every column back; with nothing loaded they would
// write empty texts over the stored order, so storing is turned off.
void LoadOrderToChange(EditorWindow& window, bool forShipping) {
    const LoadOutcome outcome = LoadStoredOrder(window, forShipping);
    if (outcome == LoadOutcome::Loaded) return;
    if (outcome == LoadOutcome::Missing)
        ShowMessage(Gbk("订单不存在或无法读取"), kMbOk, Gbk("错误"));
    window.ui->按钮3->setEnabled(false);
}

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

EditorMode ChooseEditorMode(const std::string& word, std::int32_t id) {
    if (word.empty() || word == Gbk("添加")) return EditorMode::Add;
    if (id != 0) {
        if (word == Gbk("修改")) return EditorMode::Modify;
        if (word == Gbk("查看")) return EditorMode::View;
        if (word == Gbk("发货")) return EditorMode::Ship;
    }
    return EditorMode::Designed;
}

void RunEditorCreated(EditorWindow& window) {
    window.mode = ChooseEditorMode(editorMode, currentOrderId);
    window.orderId = currentOrderId;
    Ui::EditorForm& ui = *window.ui;
    switch (window.mode) {
        case EditorMode::Add:
            SetTitle(window, "添加订单");
            Disable({ui.按钮3});
            FillPickLists(ui);
            PutTodaysDate(ui);
            break;
        case EditorMode::Modify:
            SetTitle(window, "修改订单");
            FillPickLists(ui);
            PutTodaysDate(ui);
            Disable({ui.按钮1, ui.按钮2});
            LoadOrderToChange(window, false);
            break;
        case EditorMode::View:
            SetTitle(window, "查看订单");
            Disable({ui.按钮1, ui.按钮2, ui.按钮3});
            LoadStoredOrder(window, false);
            LockForViewing(ui);
            break;
        case EditorMode::Ship:
            SetTitle(window, "订单发货");
            Disable({ui.按钮1, ui.按钮2});
            LoadOrderToChange(window, true);
            FillExpressList(ui);
            PutTodaysDate(ui);
            LockForShipping(ui);
            break;
        case EditorMode::Designed:
            break;
    }
}
