// The texts the editor loads and stores: each travels back unchanged, the one
// text limit holds, and a missing order or a failing ledger is told as such.
#include <sqlite3.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <tuple>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/text_limit.h"
#include "editor_fixture.h"
#include "store/database.h"

namespace {

constexpr int kAddress = 8;  // 收货信息
constexpr int kRemark = 13;  // 备注

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class EditorTextsTest : public EditorTest {
  protected:
    // An unshipped sample order with one column replaced; its id.
    int StoreWith(int column, const std::string& text) {
        OrderRow order = SampleOrder();
        order[2] = order[3] = "";
        order[column] = text;
        return StoreOrder(order);
    }
    // The text of the field that shows 收货信息 or 备注.
    std::string Shown(int column) const { return Text(column == kAddress ? "编辑框8" : "编辑框1"); }
    void Close() {
        editor_->close();
        DeleteClosedWindows();
    }
};

TEST_F(EditorTextsTest, FieldsLeftAsLoadedStoreBackWhatTheLedgerHeld) {
    struct Row {
        const char* mode;
        int column;
        std::string stored;
        const char* typed;  // typed over the field first, when not null
        std::string after;  // what the ledger then holds
    };
    const std::string longLine = Repeat("中", 40000);
    const Row rows[] = {
        {"修改", kAddress, longLine, nullptr, longLine},
        {"修改", kRemark, "一\r\n二\r\n", nullptr, "一\r\n二\r\n"},
        {"发货", kRemark, "一\r\n二", nullptr, "一\r\n二"},
        {"修改", kRemark, "一\n二", nullptr, "一\n二"},
        {"修改", kRemark, "一\r二", nullptr, "一\r二"},
        {"修改", kRemark, "旧", "一\n二", "一\r\n二"},  // typed: CR LF, as Windows writes it
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.after.substr(0, 20));
        const int id = StoreWith(row.column, row.stored);
        ASSERT_NE(Open(row.mode, id), nullptr);
        if (row.typed) {
            Control<QPlainTextEdit>("编辑框1")->selectAll();
            Control<QPlainTextEdit>("编辑框1")->insertPlainText(QString::fromUtf8(row.typed));
        }
        Click("按钮3");
        EXPECT_EQ(messages_.back().text, "修改成功！");
        EXPECT_TRUE(StoredOrder(id)[row.column] == row.after) << StoredOrder(id)[row.column].size();
        DeleteClosedWindows();
    }
}

TEST_F(EditorTextsTest, AnOrderDeletedMeanwhileIsToldMissingAndTheFormStays) {
    for (const char* mode : {"修改", "发货"}) {
        SCOPED_TRACE(mode);
        const int id = StoreWith(kAddress, "北京");
        ASSERT_NE(Open(mode, id), nullptr);
        SetText("编辑框2", "SF1");
        ledger_->Exec("delete from 订单列表 where ID=" + std::to_string(id));
        messages_.clear();
        Click("按钮3");
        ASSERT_EQ(messages_.size(), 2u);
        EXPECT_EQ(messages_[1].text, "订单不存在或无法读取");
        DeleteClosedWindows();
        ASSERT_EQ(FindEditor(), editor_) << "the editor stays open";
        EXPECT_EQ(Text("编辑框3"), "羊毛围巾");
        EXPECT_EQ(Text("编辑框2"), "SF1");
        EXPECT_FALSE(Control<QPushButton>("按钮3")->isEnabled());
        Close();
    }
}

// Texts up to the limit open whole and quickly, with or without line breaks;
// longer ones (another tool's) open cut with a notice and cannot be stored;
// pasting past the limit is refused; emptying a long field is quick.
TEST_F(EditorTextsTest, TheOneTextLimitHoldsOnLoadingAndPasting) {
    struct Row {
        const char* mode;
        int column;
        std::string stored;  // UTF-8
        bool cut;
    };
    const std::size_t limit = kFieldTextLimit;
    const Row rows[] = {
        {"修改", kRemark, std::string(limit, 'a'), false},
        {"修改", kAddress, std::string(limit, 'a'), false},
        {"修改", kRemark, Repeat("汉", limit / 2), false},
        {"修改", kRemark, Repeat("一行\r\n", limit / 6), false},
        {"修改", kRemark, std::string(8 * limit, 'a'), true},
        {"查看", kAddress, std::string(2 * limit, 'b'), true},
        {"发货", kRemark, std::string(2 * limit, 'c'), true},
    };
    // Under a second on an idle machine; the time is shown, not bounded: a
    // freeze (a layout that grows with the square of the text) never ends.
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.mode) + " " + std::to_string(row.stored.size()));
        const int id = StoreWith(row.column, row.stored);
        messages_.clear();
        const auto start = std::chrono::steady_clock::now();
        ASSERT_NE(Open(row.mode, id), nullptr);
        editor_->grab();
        std::cout << "  opened on " << row.stored.size() << " bytes: " << SecondsSince(start)
                  << " s" << std::endl;
        const std::string whole = row.cut ? row.stored.substr(0, limit) : row.stored;
        EXPECT_TRUE(Shown(row.column) == whole) << Shown(row.column).size();
        EXPECT_EQ(messages_.size(), row.cut ? 1u : 0u);
        const bool storable = !row.cut && std::string(row.mode) != "查看";
        EXPECT_EQ(Control<QPushButton>("按钮3")->isEnabled(), storable);
        Close();
    }
    ASSERT_NE(Open("添加", 0), nullptr);
    for (const char* name : {"编辑框8", "组合框1", "编辑框1"}) {
        SCOPED_TRACE(name);
        const std::string before(limit - 2, 'x');
        SetText(name, before);
        QWidget* field = Control(name);
        auto* line = qobject_cast<QLineEdit*>(field);
        if (!line) line = field->findChild<QLineEdit*>();
        for (const char* pasted : {"中a", "中"}) {  // one byte too many, then the limit
            messages_.clear();
            QApplication::clipboard()->setText(QString::fromUtf8(pasted));
            if (line) {
                line->end(false);
                line->paste();
            } else {
                Control<QPlainTextEdit>(name)->moveCursor(QTextCursor::End);
                Control<QPlainTextEdit>(name)->paste();
            }
            const bool refused = std::string(pasted) == "中a";
            EXPECT_EQ(messages_.size(), refused ? 1u : 0u);
            EXPECT_EQ(Text(name).size(), refused ? before.size() : limit + 1);  // UTF-8 of 中
        }
        Click("按钮2");
    }
}

// The user reads in Chinese what happened and what to do, then the driver's
// text; the cursor is busy while the program waits, ordinary for messages.
TEST_F(EditorTextsTest, LedgerFaultsAreExplainedWithTheBusyCursorWhileWaiting) {
    const auto busy = [] {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor && cursor->shape() == Qt::WaitCursor;
    };
    std::vector<bool> busyAtStatements, busyAtMessages;
    SetStatementObserverForTesting([&](const std::string&) { busyAtStatements.push_back(busy()); });
    SetMessageBoxForTesting([&](const std::string& text, int flags, const std::string& title) {
        busyAtMessages.push_back(busy());
        messages_.push_back({GbkToUtf8(text), flags, GbkToUtf8(title)});
        return (flags & 0xF) == kMbYesNo ? kAnswerYes : kAnswerOk;
    });
    sqlite3* holder = nullptr;
    const std::string file = ledger_->DatabaseFile();
    const std::tuple<std::function<void()>, const char*, const char*> rows[] = {
        {[&] {
             sqlite3_open(file.c_str(), &holder);
             sqlite3_exec(holder, "begin exclusive", nullptr, nullptr, nullptr);
         },
         "正被另一个程序使用", "database is locked"},
        {[&] { std::ofstream(file, std::ios::binary) << std::string(4096, 'x'); }, "不是订单账本",
         "file is not a database"},
        {[&] { std::filesystem::remove(file); }, "找不到账本文件", "No such file or directory"},
    };
    for (const auto& [spoil, explained, driver] : rows) {
        SCOPED_TRACE(driver);
        std::filesystem::remove(file);
        TestLedger::CreateFile(file);
        ASSERT_NE(Open("修改", StoreOrder(SampleOrder())), nullptr);
        spoil();
        messages_.clear();
        busyAtStatements.clear();
        busyAtMessages.clear();
        Click("按钮3");
        sqlite3_close(holder);
        holder = nullptr;

        ASSERT_EQ(messages_.size(), 2u);
        const std::string& said = messages_[1].text;
        EXPECT_EQ(said.rfind("数据库操作失败：", 0), 0u) << said;
        EXPECT_LT(said.find(explained), said.find(driver)) << said;
        EXPECT_NE(said.find(driver), std::string::npos) << said;
        EXPECT_EQ(busyAtMessages, std::vector<bool>(2, false));
        EXPECT_EQ(busyAtStatements, std::vector<bool>(busyAtStatements.size(), true));
        Close();
    }
}

}  // namespace
