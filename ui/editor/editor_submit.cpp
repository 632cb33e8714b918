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

std::string BuildInsertStatement(const OrderTexts& values) {
    std::string statement =
        Gbk("insert into 订单列表(卖家账号,订单号,快递公司,运单号,订单日期,商品名称,购买账号,"
            "购买订单号,收货信息,售价,进价,佣金,利润,备注) values('");
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) statement += "','";
        statement += QuoteText(values[i]);
    }
    return statement + "')";
}

std::string BuildUpdateStatement(const OrderTexts& values, std::int64_t id) {
    static const char* const kColumns[] = {
        "卖家账号",   "订单号",   "快递公司", "运单号", "订单日期", "商品名称", "购买账号",
        "购买订单号", "收货信息", "售价",     "进价",   "佣金",     "利润",     "备注"};
    std::string statement = Gbk("update 订单列表 set ");
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) statement += "',";
        statement += Gbk(kColumns[i]) + "='" + QuoteText(values[i]);
    }
    return statement + "' where id=" + IntegerToText(id);
}

void EditorWindow::StoreNewOrder() {
    if (ShowMessage(Gbk("确定提交吗？"), kMbYesNo, Gbk("提示")) != kAnswerYes) return;
    // What was typed stays in the form until the ledger has taken it.
    if (!RunStatement(BuildInsertStatement(ReadOrderFields()))) return;
    ShowMessage(Gbk("添加成功"));
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
    const bool stored = RunStatement(BuildUpdateStatement(ReadOrderFields(), orderId_));
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
