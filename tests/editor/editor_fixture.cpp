#include "editor_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <map>

#include "store/database.h"

#include "app/program_state.h"
#include "common/date_parts.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "ui/editor/content_edit.h"
#include "ui/editor/editor_window.h"

namespace {

const char* const kColumns[] = {"卖家账号", "订单号",   "快递公司",   "运单号",   "订单日期",
                                "商品名称", "购买账号", "购买订单号", "收货信息", "售价",
                                "进价",     "佣金",     "利润",       "备注"};

}  // namespace

OrderRow SampleOrder() {
    return {"店铺甲", "T1001",       "中通", "ZT778", "2014-12-3", "羊毛围巾", "店铺乙",
            "B2002",  "北京某路1号", "99.5", "60",    "3",         "50",       "老客户"};
}

void EditorTest::SetUp() {
    ledger_ = std::make_unique<TestLedger>();
    ledger_->WriteConfig(Gbk(
        "[zhanghaoinfo]\r\nzhanghao=店铺甲|店铺乙|店铺丙\r\n[kuaidiinfo]\r\nkuaidi=顺丰#圆通\r\n"));
    ResetProgramState();
    SetClockForTesting([] { return MakeDateTime(2015, 1, 9, 10, 30, 0); });
    SetMessageBoxForTesting([this](const std::string& text, int flags, const std::string& title) {
        messages_.push_back({GbkToUtf8(text), flags, GbkToUtf8(title)});
        if (!answers_.empty()) {
            const int answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        return (flags & 0xF) == kMbYesNo ? kAnswerYes : kAnswerOk;
    });
    SetStatementObserverForTesting(
        [this](const std::string& statement) { statements_.push_back(GbkToUtf8(statement)); });
}

void EditorTest::TearDown() {
    if (EditorWindow* open = FindEditor()) open->close();
    DeleteClosedWindows();
    SetStatementObserverForTesting({});
    SetMessageBoxForTesting({});
    SetClockForTesting({});
    ResetProgramState();
    ledger_.reset();
}

EditorWindow* EditorTest::Open(const std::string& mode, long long id) {
    currentOrderId = id;
    editorMode = Gbk(mode);
    OpenEditorWindow();
    editor_ = FindEditor();
    return editor_;
}

EditorWindow* EditorTest::FindEditor() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* editor = dynamic_cast<EditorWindow*>(widget);
        if (editor && editor->isVisible()) return editor;
    }
    return nullptr;
}

void EditorTest::DeleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::string EditorTest::Text(const std::string& name) const {
    return GbkToUtf8(FieldText(Control(name)));
}

void EditorTest::SetText(const std::string& name, const std::string& text) {
    SetFieldText(Control(name), Gbk(text));
}

std::vector<std::string> EditorTest::Items(const std::string& name) const {
    std::vector<std::string> items;
    auto* combo = Control<QComboBox>(name);
    for (int i = 0; combo && i < combo->count(); ++i)
        items.push_back(combo->itemText(i).toStdString());
    return items;
}

void EditorTest::Click(const std::string& button) { Control<QPushButton>(button)->click(); }

int EditorTest::StoreOrder(const OrderRow& row) const {
    std::map<std::string, std::string> fields;
    for (std::size_t i = 0; i < row.size(); ++i) fields[kColumns[i]] = row[i];
    return static_cast<int>(ledger_->AddOrder(fields));
}

OrderRow EditorTest::StoredOrder(int id) const {
    std::string columns;
    for (const char* column : kColumns)
        columns += (columns.empty() ? "" : ",") + std::string(column);
    const auto rows =
        ledger_->Rows("select " + columns + " from 订单列表 where ID=" + std::to_string(id));
    OrderRow row;
    if (rows.size() == 1) std::copy(rows[0].begin(), rows[0].end(), row.begin());
    return row;
}

std::vector<std::string> EditorTest::Sent(const std::string& word) const {
    std::vector<std::string> sent;
    for (const std::string& statement : statements_) {
        if (statement.rfind(word, 0) == 0) sent.push_back(statement);
    }
    return sent;
}
