// The editor's three buttons: store a new order, store the changes of the
// loaded order (also how an order is shipped), and empty the fields.
#include <QComboBox>
#include <QPushButton>
#include <initializer_list>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/adding_once.h"
#include "store/database_error.h"
#include "store/ledger.h"
#include "ui/busy_cursor.h"
#include "ui/editor/content_edit.h"
#include "ui/editor/editor_parts.h"
#include "ui_editor.h"

// Opens the ledger and runs one statement; a failure is told to the user with
// the driver's diagnostic and the caller keeps everything as it was.
bool EditorWindow::RunStatement(const std::string& statement) {
    DatabaseConnection& db = 外部数据库1;
    const bool done = WhileBusy([&] { return OpenLedger(db) && db.ExecuteSql(statement); });
    if (!done) ShowDatabaseError(DatabaseErrorDetail(db.LastError()));
    return done;
}

// A field the user left as loaded gives the stored text, byte for byte.
std::string EditorWindow::TextToStore(const QWidget* field) const {
    std::string text = FieldText(field);
    const auto loaded = loaded_.find(field);
    if (loaded != loaded_.end() && loaded->second.shown == text) return loaded->second.stored;
    return text;
}

std::array<QWidget*, 14> FieldsInColumnOrder(const Ui::EditorForm& ui) {
    return {ui.组合框1, ui.编辑框5, ui.组合框2, ui.编辑框2, ui.编辑框7,  ui.编辑框3,  ui.组合框3,
            ui.编辑框4, ui.编辑框8, ui.编辑框6, ui.编辑框9, ui.编辑框10, ui.编辑框11, ui.编辑框1};
}

OrderTexts EditorWindow::ReadOrderFields() const {
    OrderTexts values;
    const auto fields = FieldsInColumnOrder(*ui_);
    for (std::size_t i = 0; i < fields.size(); ++i) values[i] = TextToStore(fields[i]);
    return values;
}

void EditorWindow::StoreNewOrder() {
    if (ShowMessage(Gbk("确定提交吗？"), kMbYesNo, Gbk("提示")) != kAnswerYes) return;
    // What was typed stays in the form until the ledger has taken it. An add
    // whose answer a broken connection took is stored at most once: the
    // server is asked what became of it, now or at the next click.
    DatabaseConnection& db = 外部数据库1;
    const OrderTexts values = ReadOrderFields();
    const PendingAdd earlier = pendingAdd_;
    AddResult result;
    if (!WhileBusy([&] {
            if (!OpenLedger(db)) return false;
            result = AddOrderOnce(db, values, pendingAdd_);
            return true;
        })) {
        ShowDatabaseError(DatabaseErrorDetail(db.LastError()));
        return;
    }
    switch (result.outcome) {
        case AddOutcome::Stored:
            ShowMessage(Gbk("添加成功"));
            break;
        case AddOutcome::StoredAnswerLost:
            ShowMessage(Gbk("与数据库服务器的连接在保存时断开；重新连接后查明：这张订单已保存"));
            break;
        case AddOutcome::StoredBefore:
            ShowMessage(Gbk("上次提交的订单已保存，没有再存一次"));
            // The form was changed since: what it holds now is no order yet.
            if (values != earlier.values) return;
            break;
        case AddOutcome::NotStored:
        case AddOutcome::Unknown:
            ShowDatabaseError(DatabaseErrorDetail(result.error) +
                              (result.outcome == AddOutcome::Unknown
                                   ? Gbk("\n服务器恢复后再点“提交”：这张订单已保存的，不会再存一次")
                                   : ""));
            return;
    }
    EmptyFields();
}

void EditorWindow::StoreChanges() {
    if (ShowMessage(Gbk("确定修改吗？"), kMbYesNo, Gbk("提示")) != kAnswerYes) return;
    Ui::EditorForm& ui = *ui_;
    const std::string company = FieldText(ui.组合框2);
    const std::string waybill = FieldText(ui.编辑框2);
    // Shipped without an express company: both columns carry the ship marker.
    const bool marked = mode_ == EditorMode::Ship && company.empty();
    if (marked) {
        SetFieldText(ui.组合框2, Gbk("已发货"));
        SetFieldText(ui.编辑框2, Gbk("已发货"));
    }
    const bool stored = RunStatement(UpdateOrderStatement(ReadOrderFields(), orderId_));
    // An update that met no row: the order was deleted since it was loaded.
    const bool missing = stored && 外部数据库1.RowsAffected() == 0;
    if (!stored || missing) {
        // Nothing was stored: the form shows again what the user had entered.
        if (marked) {
            SetFieldText(ui.组合框2, company);
            SetFieldText(ui.编辑框2, waybill);
        }
        if (missing) ShowOrderMissing();
        return;
    }
    ShowMessage(Gbk("修改成功！"));
    close();
}

void EditorWindow::EmptyFields() {
    Ui::EditorForm& ui = *ui_;
    // The combo boxes keep their list items. The price fields are emptied
    // before the profit field, which therefore ends empty too.
    for (QWidget* field :
         std::initializer_list<QWidget*>{ui.组合框1, ui.组合框2, ui.组合框3, ui.编辑框1, ui.编辑框2,
                                         ui.编辑框3, ui.编辑框4, ui.编辑框5, ui.编辑框6, ui.编辑框7,
                                         ui.编辑框8, ui.编辑框9, ui.编辑框10, ui.编辑框11}) {
        SetFieldText(field, "");
    }
}
