// The editor's three buttons: store a new order, store the changes of the
// loaded order (also how an order is shipped), and empty the fields.
#include <QComboBox>
#include <QPushButton>
#include <initializer_list>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database_error.h"
#include "store/ledger.h"
#include "ui/busy_cursor.h"
#include "ui/editor/content_edit.h"
#include "ui/editor/editor_parts.h"
#include "ui_editor.h"

namespace {

// Opens the ledger and runs one statement; a failure is told to the user with
// the driver's diagnostic and the caller keeps everything as it was.
bool RunStatement(EditorWindow& window, const std::string& statement) {
    DatabaseConnection& db = window.外部数据库1;
    const bool done = WhileBusy([&] { return OpenLedger(db) && db.ExecuteSql(statement); });
    if (!done) ShowDatabaseError(DatabaseErrorDetail(db.LastError()));
    return done;
}

// A field the user left as loaded gives the stored text, byte for byte.
std::string TextToStore(const EditorWindow& window, const QWidget* field) {
    std::string text = FieldText(field);
    const auto loaded = window.loaded.find(field);
    if (loaded != window.loaded.end() && loaded->second.shown == text) return loaded->second.stored;
    return text;
}

}  // namespace

std::array<QWidget*, 14> FieldsInColumnOrder(const Ui::EditorForm& ui) {
    return {ui.组合框1, ui.编辑框5, ui.组合框2, ui.编辑框2, ui.编辑框7,  ui.编辑框3,  ui.组合框3,
            ui.编辑框4, ui.编辑框8, ui.编辑框6, ui.编辑框9, ui.编辑框10, ui.编辑框11, ui.编辑框1};
}

OrderTexts ReadOrderFields(const EditorWindow& window) {
    OrderTexts values;
    const auto fields = FieldsInColumnOrder(*window.ui);
    for (std::size_t i = 0; i < fields.size(); ++i) values[i] = TextToStore(window, fields[i]);
    return values;
}

void StoreNewOrder(EditorWindow& window) {
    if (ShowMessage(Gbk("确定提交吗？"), kMbYesNo, Gbk("提示")) != kAnswerYes) return;
    // What was typed stays in the form until the ledger has taken it.
    if (!RunStatement(window, InsertOrderStatement(ReadOrderFields(window)))) return;
    ShowMessage(Gbk("添加成功"));
    EmptyFields(window);
}

void StoreChanges(EditorWindow& window) {
    if (ShowMessage(Gbk("确定修改吗？"), kMbYesNo, Gbk("提示")) != kAnswerYes) return;
    Ui::EditorForm& ui = *window.ui;
    const std::string company = FieldText(ui.组合框2);
    const std::string waybill = FieldText(ui.编辑框2);
    // Shipped without an express company: both columns carry the ship marker.
    const bool marked = window.mode == EditorMode::Ship && company.empty();
    if (marked) {
        SetFieldText(ui.组合框2, Gbk("已发货"));
        SetFieldText(ui.编辑框2, Gbk("已发货"));
    }
    const bool stored =
        RunStatement(window, UpdateOrderStatement(ReadOrderFields(window), window.orderId));
    // An update that met no row: the order was deleted since it was loaded.
    const bool missing = stored && window.外部数据库1.RowsAffected() == 0;
    if (!stored || missing) {
        // Nothing was stored: the form shows again what the user had entered.
        if (marked) {
            SetFieldText(ui.组合框2, company);
            SetFieldText(ui.编辑框2, waybill);
        }
        if (missing) ShowOrderMissing(window);
        return;
    }
    ShowMessage(Gbk("修改成功！"));
    window.close();
}

void EmptyFields(EditorWindow& window) {
    Ui::EditorForm& ui = *window.ui;
    // The combo boxes keep their list items. The price fields are emptied
    // before the profit field, which therefore ends empty too.
    for (QWidget* field :
         std::initializer_list<QWidget*>{ui.组合框1, ui.组合框2, ui.组合框3, ui.编辑框1, ui.编辑框2,
                                         ui.编辑框3, ui.编辑框4, ui.编辑框5, ui.编辑框6, ui.编辑框7,
                                         ui.编辑框8, ui.编辑框9, ui.编辑框10, ui.编辑框11}) {
        SetFieldText(field, "");
    }
}
