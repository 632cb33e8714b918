// The main window's connection and the editor's, both open on one ledger:
// list queries, inserts, updates and deletes interleave through the windows'
// own buttons and menu, and not one of them meets a busy ledger.
#include <gtest/gtest.h>

#include <QPushButton>
#include <chrono>
#include <iostream>
#include <map>
#include <random>

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "store/database.h"
#include "test_ledger.h"
#include "ui/editor/content_edit.h"
#include "ui/editor/editor_window.h"
#include "ui/orders/order_list.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"
#include "window_steps.h"

namespace {

constexpr int kRounds = 1000;

TEST(TwoConnections, InterleaveAThousandRoundsWithoutABusyLedger) {
    TestLedger ledger;
    ResetProgramState();
    std::vector<std::string> errors;
    SetMessageBoxForTesting([&](const std::string& text, int flags, const std::string&) {
        if (GbkToUtf8(text).starts_with("数据库")) errors.push_back(GbkToUtf8(text));
        return (flags & 0xF) == kMbYesNo ? kAnswerYes : kAnswerOk;
    });
    SetProcessEndForTesting([](int) { ADD_FAILURE() << "the program ended"; });
    std::map<std::string, int> statements;
    SetStatementObserverForTesting([&](const std::string& statement) {
        ++statements[statement.substr(0, statement.find(' '))];
    });

    OpenMainWindow();
    OrdersWindow* window = MainWindow();
    ASSERT_NE(window, nullptr);
    std::mt19937 random(11);
    std::map<std::string, std::string> stored;  // id -> goods, as the ledger should hold them
    const auto start = std::chrono::steady_clock::now();
    int updates = 0, deletes = 0;
    for (int round = 0; round < kRounds && errors.empty(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // A new order through the add editor, whose connection stays open.
        EditorWindow* editor = OpenEditor();
        if (!editor || editor->windowTitle() != QStringLiteral("添加订单"))
            editor = OpenEditorFor("添加", 0);
        ASSERT_NE(editor, nullptr);
        const std::string goods = "商品" + std::to_string(round);
        SetFieldText(Named<QWidget>(editor, "编辑框3"), Gbk(goods));
        SetFieldText(Named<QWidget>(editor, "编辑框7"), "2015-1-" + std::to_string(round % 28 + 1));
        Named<QPushButton>(editor, "按钮1")->click();

        // The main window lists, on its own connection.
        Named<QPushButton>(window, "查询按钮")->click();
        OrderListModel* list = Named<OrderListView>(window, "信息列表框")->List();
        ASSERT_EQ(static_cast<std::size_t>(list->ItemCount()), stored.size() + 1);
        std::string newest;
        for (int row = 0; row < list->ItemCount(); ++row) {
            if (!stored.count(list->ItemText(row, 0))) newest = list->ItemText(row, 0);
        }
        ASSERT_FALSE(newest.empty());
        stored[newest] = goods;

        // Every other round an order changes through a modify editor; the
        // list keeps its connection open meanwhile.
        if (round % 2 == 0) {
            auto it = stored.begin();
            std::advance(it,
                         std::uniform_int_distribution<std::size_t>(0, stored.size() - 1)(random));
            editor = OpenEditorFor("修改", std::stoi(it->first));
            ASSERT_NE(editor, nullptr);
            ASSERT_EQ(GbkToUtf8(FieldText(Named<QWidget>(editor, "编辑框3"))), it->second);
            it->second += "改";
            SetFieldText(Named<QWidget>(editor, "编辑框3"), Gbk(it->second));
            Named<QPushButton>(editor, "按钮3")->click();
            ++updates;
        }
        // Once twenty orders are listed, one goes each round, deleted through
        // the main window's connection as the last list left it.
        if (stored.size() > 20) {
            Named<QPushButton>(window, "查询按钮")->click();
            auto it = stored.begin();
            std::advance(it,
                         std::uniform_int_distribution<std::size_t>(0, stored.size() - 1)(random));
            const int row = ListedRow(*window, it->first);
            ASSERT_GE(row, 0);
            Named<OrderListView>(window, "信息列表框")->selectRow(row);
            Named<QAction>(window, "删除")->trigger();
            stored.erase(it);
            ++deletes;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(errors.empty()) << errors.size() << " errors, the first: " << errors[0];

    // What the ledger holds in the end is what the rounds left.
    const auto rows = ledger.Rows("select ID, 商品名称 from 订单列表");
    std::map<std::string, std::string> inFile;
    for (const auto& row : rows) inFile[row[0]] = row[1];
    EXPECT_EQ(inFile, stored);

    int total = 0;
    for (const auto& [word, count] : statements) total += count;
    std::cout << kRounds << " rounds in " << seconds << " s: " << total << " statements ("
              << statements["select"] << " select, " << statements["insert"] << " insert, "
              << statements["update"] << " update, " << statements["delete"]
              << " delete) on two connections, " << errors.size() << " busy or other errors"
              << std::endl;
    RecordProperty("busy_errors", static_cast<int>(errors.size()));

    CloseAllWindows();
    SetStatementObserverForTesting({});
    SetMessageBoxForTesting({});
    SetProcessEndForTesting({});
}

}  // namespace
