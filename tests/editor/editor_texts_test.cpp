// What the editor does with the texts it loads and stores: each one travels
// back unchanged, the one text limit holds, long texts open quickly, and an
// order deleted meanwhile or a ledger that fails is told as such.
#include <sqlite3.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>

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

struct Took {
    double seconds;     // on the clock
    double cpuSeconds;  // of the processor: what a busy test machine does not inflate
};

// What the editor takes to open on an order, the window shown and painted.
template <typename Open>
Took TimeToOpen(Open open) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    QWidget* window = open();
    if (window) window->grab();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

using EditorTextsTest = EditorTest;

TEST_F(EditorTextsTest, FieldsLeftAsLoadedStoreBackWhatTheLedgerHeld) {
    struct Row {
        const char* name;
        const char* mode;
        int column;
        std::string stored;
        const char* typed;  // typed over the field first, when not null
        std::string after;  // what the ledger then holds
    };
    const std::string longLine = Repeat("中", 40000);
    const Row rows[] = {
        {"收货信息 of 40,000 characters", "修改", kAddress, longLine, nullptr, longLine},
        {"remark with CR LF, modified", "修改", kRemark, "一\r\n二\r\n", nullptr, "一\r\n二\r\n"},
        {"remark with CR LF, shipped", "发货", kRemark, "一\r\n二", nullptr, "一\r\n二"},
        {"remark with LF alone", "修改", kRemark, "一\n二", nullptr, "一\n二"},
        {"remark with CR alone", "修改", kRemark, "一\r二", nullptr, "一\r二"},
        {"line break typed in the remark", "修改", kRemark, "旧", "一\n二", "一\r\n二"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OrderRow order = SampleOrder();
        order[2] = order[3] = "";  // not shipped
        order[row.column] = row.stored;
        const int id = StoreOrder(order);
        ASSERT_NE(Open(row.mode, id), nullptr);
        QWidget* field = FieldsInColumnOrder(*editor_->ui)[row.column];
        if (row.typed) {
            auto* remark = qobject_cast<QPlainTextEdit*>(field);
            remark->selectAll();
            remark->insertPlainText(QString::fromUtf8(row.typed));
        }
        Click("按钮3");
        EXPECT_EQ(messages_.back().text, "修改成功！");
        EXPECT_TRUE(StoredOrder(id)[row.column] == row.after)
            << StoredOrder(id)[row.column].size() << " bytes stored";
        DeleteClosedWindows();
    }
}

TEST_F(EditorTextsTest, AnOrderDeletedMeanwhileIsToldMissingAndTheFormStays) {
    for (const char* mode : {"修改", "发货"}) {
        SCOPED_TRACE(mode);
        OrderRow order = SampleOrder();
        order[2] = order[3] = "";
        const long long id = StoreOrder(order);
        ASSERT_NE(Open(mode, id), nullptr);
        SetText("编辑框2", "SF1");
        ledger_->Exec("delete from 订单列表 where ID=" + std::to_string(id));
        messages_.clear();
        Click("按钮3");

        ASSERT_EQ(messages_.size(), 2u);
        EXPECT_EQ(messages_[1].text, "订单不存在或无法读取");
        DeleteClosedWindows();
        EXPECT_EQ(FindEditor(), editor_) << "the editor stays open";
        EXPECT_EQ(Text("编辑框3"), "羊毛围巾");
        EXPECT_EQ(Text("编辑框2"), "SF1");
        EXPECT_FALSE(Control<QPushButton>("按钮3")->isEnabled());
        EXPECT_TRUE(ledger_->Rows("select ID from 订单列表").empty());
        editor_->close();
        DeleteClosedWindows();
    }
}

// Every text up to the limit opens whole and quickly, with or without line
// breaks; a longer one (written by another tool) opens cut, with a notice,
// and the order cannot be modified.
TEST_F(EditorTextsTest, TextsUpToTheLimitOpenWholeAndLongerOnesOpenCut) {
    struct Row {
        const char* name;
        const char* mode;
        int column;
        std::string stored;  // UTF-8
        bool cut;
    };
    const std::size_t limit = kFieldTextLimit;
    const Row rows[] = {
        {"1 MiB on one line in the remark", "修改", kRemark, std::string(limit, 'a'), false},
        {"1 MiB on one line in 收货信息", "修改", kAddress, std::string(limit, 'a'), false},
        {"1 MiB of Chinese in the remark", "修改", kRemark, Repeat("汉", limit / 2), false},
        {"1 MiB of short lines in the remark", "修改", kRemark, Repeat("一行\r\n", limit / 6),
         false},
        {"8 MiB on one line in the remark", "修改", kRemark, std::string(8 * limit, 'a'), true},
        {"2 MiB in 收货信息, viewed", "查看", kAddress, std::string(2 * limit, 'b'), true},
        {"2 MiB in the remark, shipped", "发货", kRemark, std::string(2 * limit, 'c'), true},
    };
    std::cout << "opening the editor on long texts:" << std::endl;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OrderRow order = SampleOrder();
        order[2] = order[3] = "";
        order[row.column] = row.stored;
        const int id = StoreOrder(order);
        messages_.clear();
        const Took took = TimeToOpen([&] { return Open(row.mode, id); });
        std::cout << "  " << row.name << ": " << took.seconds << " s (processor " << took.cpuSeconds
                  << " s)" << std::endl;
        // Under a second on an idle machine; the bound leaves room for
        // sanitizers and a busy test machine, and still catches a freeze.
        EXPECT_LT(took.seconds, 10.0);
        ASSERT_NE(editor_, nullptr);
        const std::string shown =
            Text(FieldsInColumnOrder(*editor_->ui)[row.column]->objectName().toStdString());
        if (row.cut) {
            EXPECT_EQ(shown.size(), limit);
            EXPECT_EQ(shown, row.stored.substr(0, limit));
            ASSERT_EQ(messages_.size(), 1u);
            EXPECT_NE(messages_[0].text.find(row.column == kRemark ? "备注" : "收货信息"),
                      std::string::npos);
            EXPECT_FALSE(Control<QPushButton>("按钮3")->isEnabled());
        } else {
            EXPECT_TRUE(shown == row.stored) << shown.size() << " bytes shown";
            EXPECT_TRUE(messages_.empty());
            EXPECT_TRUE(Control<QPushButton>("按钮3")->isEnabled());
        }
        editor_->close();
        DeleteClosedWindows();
    }
}

TEST_F(EditorTextsTest, PastingPastTheLimitIsRefusedWithAMessage) {
    const std::size_t limit = kFieldTextLimit;
    for (const char* name : {"编辑框8", "组合框1", "编辑框1"}) {
        SCOPED_TRACE(name);
        ASSERT_NE(Open("添加", 0), nullptr);
        const std::string before(limit - 2, 'x');
        SetText(name, before);
        QWidget* field = Control(name);
        const auto paste = [&](const char* text) {
            messages_.clear();
            QApplication::clipboard()->setText(QString::fromUtf8(text));
            if (auto* remark = qobject_cast<QPlainTextEdit*>(field)) {
                remark->moveCursor(QTextCursor::End);
                remark->paste();
            } else {
                QLineEdit* line = qobject_cast<QLineEdit*>(field);
                if (!line) line = field->findChild<QLineEdit*>();
                line->end(false);
                line->paste();
            }
        };
        paste("中a");  // three bytes: one too many
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].text.find("太长"), std::string::npos);
        EXPECT_TRUE(Text(name) == before) << Text(name).size() << " bytes kept";
        paste("中");  // exactly the limit
        EXPECT_TRUE(messages_.empty());
        EXPECT_EQ(Text(name).size(), limit + 1) << "UTF-8 of the limit's GBK bytes";
        editor_->close();
        DeleteClosedWindows();
    }
}

// A ledger that fails under a store: the user reads in Chinese what happened
// and what to do, then the driver's text; the cursor is busy while the
// program waits on the ledger and ordinary again for the message.
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
    struct Row {
        const char* name;
        std::function<void()> spoil;
        const char* said;    // the Chinese explanation
        const char* driver;  // the driver's text after it
    };
    const Row rows[] = {
        {"locked by another program",
         [&] {
             ASSERT_EQ(sqlite3_open(ledger_->DatabaseFile().c_str(), &holder), SQLITE_OK);
             ASSERT_EQ(sqlite3_exec(holder, "begin exclusive", nullptr, nullptr, nullptr),
                       SQLITE_OK);
         },
         "正被另一个程序使用", "database is locked"},
        {"not a ledger",
         [&] {
             std::ofstream(ledger_->DatabaseFile(), std::ios::binary) << std::string(4096, 'x');
         },
         "不是订单账本", "file is not a database"},
        {"file gone", [&] { std::filesystem::remove(ledger_->DatabaseFile()); }, "找不到账本文件",
         "No such file or directory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(ledger_->DatabaseFile());
        TestLedger::CreateFile(ledger_->DatabaseFile());
        const int id = StoreOrder(SampleOrder());
        ASSERT_NE(Open("修改", id), nullptr);
        row.spoil();
        messages_.clear();
        busyAtStatements.clear();
        busyAtMessages.clear();
        Click("按钮3");
        sqlite3_close(holder);  // a no-op without a holder
        holder = nullptr;

        ASSERT_EQ(messages_.size(), 2u);
        const std::string& said = messages_[1].text;
        EXPECT_EQ(said.rfind("数据库操作失败：", 0), 0u) << said;
        const std::size_t explained = said.find(row.said);
        EXPECT_NE(explained, std::string::npos) << said;
        EXPECT_NE(said.find(row.driver, explained), std::string::npos) << said;
        EXPECT_EQ(busyAtMessages, std::vector<bool>(2, false));
        EXPECT_EQ(busyAtStatements, std::vector<bool>(busyAtStatements.size(), true));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        editor_->close();
        DeleteClosedWindows();
    }
}

}  // namespace
