#pragma once
// What the summary and recycle bin tests share: a ledger made as
// tallovar-admin init makes it, the main window open on it, message boxes
// recorded and answered, and the windows that the pop-up menu opens.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <map>
#include <string>
#include <vector>

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "store/ledger_file.h"
#include "test_ledger.h"
#include "ui/orders/order_list.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"

class ReportsTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        SetMessageBoxForTesting([this](const std::string& text, int, const std::string&) {
            messages.push_back(GbkToUtf8(text));
            return answer;
        });
        SetProcessEndForTesting([](int) {});
        ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "admin", "admin").ok());
    }
    void TearDown() override {
        CloseAllWindows();
        SetMessageBoxForTesting({});
        SetProcessEndForTesting({});
    }

    OrdersWindow* OpenOrders() {
        OpenMainWindow();
        Named<QPushButton>(MainWindow(), "查询按钮")->click();
        return MainWindow();
    }

    // The open top-level window of that object name, or null.
    static QWidget* TopLevel(const char* name) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QString::fromUtf8(name) && widget->isVisible()) {
                return widget;
            }
        }
        return nullptr;
    }

    static std::vector<QStringList> Cells(const QTableWidget* table) {
        std::vector<QStringList> rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column) {
                cells << (table->item(row, column) ? table->item(row, column)->text() : "");
            }
            rows.push_back(cells);
        }
        return rows;
    }

    TestLedger ledger{false};
    std::vector<std::string> messages;
    int answer = kAnswerOk;
};
