// "导出到 Excel…" of the order list's pop-up menu: after a separator below
// the five designed items, it writes exactly the rows the list shows, in its
// order, with the totals of the last search; openpyxl reads the workbook.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "exchange/csv.h"
#include "exchange/sheet_encoding.h"
#include "test_ledger.h"
#include "tests/admin/admin_run.h"
#include "tests/settings/temp_directory.h"
#include "ui/exchange/export_order_list.h"
#include "ui/orders/order_list.h"
#include "ui/orders/orders_window.h"
#include "ui/save_file_dialog.h"
#include "window_parts.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every cell of a sheet file as text: a workbook's first sheet as openpyxl
// reads it (numbers as the digits it shows), or a CSV file's records.
Rows SheetRows(const std::string& path) {
    Rows rows;
    if (path.ends_with(".csv")) {
        for (const CsvRecord& record : ReadCsvRecords(DecodeSheet(ReadBytes(path)).utf8)) {
            rows.push_back(record.cells);
        }
        return rows;
    }
    const AdminRun run =
        RunShell(std::string(TALLOVAR_PYTHON) +
                 " " TALLOVAR_SOURCE_DIR "/tests/exchange/workbook_cells.py '" + path + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const QJsonObject book =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.output)).object();
    for (const QJsonValue& sheet : book["sheets"].toArray()) {
        for (const QJsonValue& row : sheet.toArray()) {
            std::vector<std::string> cells;
            for (const QJsonValue& cell : row.toArray()) {
                const QJsonValue value = cell.toArray()[0];
                cells.push_back(value.isDouble() ? QString::number(value.toDouble(), 'f', 2)
                                                       .remove(QRegularExpression("\\.?0+$"))
                                                       .toStdString()
                                                 : value.toString().toStdString());
            }
            rows.push_back(cells);
        }
    }
    return rows;
}

class ExportWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        SetMessageBoxForTesting([this](const std::string& text, int, const std::string&) {
            boxes.push_back(GbkToUtf8(text));
            return kAnswerOk;
        });
        ledger.AddOrder({{"卖家账号", "店甲"},
                         {"订单号", "3856123456789012345"},
                         {"订单日期", "2016-3-1"},
                         {"售价", "150.50"},
                         {"运单号", "000123"},
                         {"快递公司", "顺丰"}});
        ledger.AddOrder({{"卖家账号", "店乙"}, {"订单日期", "2016-2-1"}, {"售价", "10"}});
        ledger.AddOrder({{"卖家账号", "店丙"}, {"订单日期", "2016-1-1"}, {"售价", "1299"}});
        OpenMainWindow();
        window = MainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        CloseAllWindows();
        SetMessageBoxForTesting({});
        SetSaveFileDialogForTesting({});
    }

    TestLedger ledger;
    OrdersWindow* window = nullptr;
    std::vector<std::string> boxes;
};

TEST_F(ExportWindowTest, ExportWritesTheRowsTheListShowsWithTheirTotals) {
    const QList<QAction*> items = Named<QMenu>(window, "菜单")->actions();
    ASSERT_GE(items.size(), 7);
    EXPECT_TRUE(items[5]->isSeparator());
    EXPECT_EQ(items[6], Named<QAction>(window, "导出到 Excel…"));
    EXPECT_EQ(items[6]->text(), QString::fromUtf8("导出到 Excel…"));

    // The waiting filter lists the two unshipped orders, newest first.
    QTest::mouseClick(Named<QPushButton>(window, "按钮2"), Qt::LeftButton);
    ASSERT_EQ(Named<OrderListView>(window, "信息列表框")->List()->ItemCount(), 2);
    struct Case {
        const char* chosen;  // what the user types in the save dialog
        const char* written;
    };
    const Case cases[] = {{"shown", "shown.xlsx"}, {"shown.csv", "shown.csv"}};
    for (const Case& c : cases) {
        SetSaveFileDialogForTesting([&](const QString&) {
            return QString::fromStdString(ledger.Directory() + "/" + c.chosen);
        });
        boxes.clear();
        Named<QAction>(window, "导出到 Excel…")->trigger();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].starts_with("已导出 2 张订单")) << boxes[0];

        // Customers' names and addresses: for the owner only.
        EXPECT_EQ(std::filesystem::status(ledger.Directory() + "/" + c.written).permissions() &
                      std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        const Rows rows = SheetRows(ledger.Directory() + "/" + c.written);
        ASSERT_GE(rows.size(), 3u) << c.written;
        for (int r = 0; r < 2; ++r) {
            for (int column : {1, 2, 4, 6}) {
                EXPECT_EQ(
                    rows[r + 1][column],
                    GbkToUtf8(
                        Named<OrderListView>(window, "信息列表框")->List()->ItemText(r, column)))
                    << c.written << " row " << r << " column " << column;
            }
        }
        // The totals: the count and 总售价 of the filtered list, 10 + 1299.
        const std::string all = [&] {
            std::string text;
            for (std::size_t r = 3; r < rows.size(); ++r) {
                for (const std::string& cell : rows[r]) text += cell + "|";
            }
            return text;
        }();
        EXPECT_NE(all.find("1309"), std::string::npos) << c.written << ": " << all;
        EXPECT_EQ(all.find("150.5"), std::string::npos) << all;
    }

    // The dialog asked about "shown", not about the "shown.xlsx" it becomes:
    // that one is kept.
    const std::string written = ReadBytes(ledger.Directory() + "/shown.xlsx");
    SetSaveFileDialogForTesting(
        [&](const QString&) { return QString::fromStdString(ledger.Directory() + "/shown"); });
    boxes.clear();
    Named<QAction>(window, "导出到 Excel…")->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("已存在"), std::string::npos) << boxes[0];
    EXPECT_EQ(ReadBytes(ledger.Directory() + "/shown.xlsx"), written);

    // Cancelling the dialog writes nothing and says nothing; the ledger, under
    // any name, is never written over.
    SetSaveFileDialogForTesting([](const QString&) { return QString(); });
    boxes.clear();
    Named<QAction>(window, "导出到 Excel…")->trigger();
    EXPECT_TRUE(boxes.empty());
    const std::string before = ReadBytes(ledger.DatabaseFile());
    const std::string link = ledger.Directory() + "/ledger.xlsx";
    ASSERT_EQ(symlink(ledger.DatabaseFile().c_str(), link.c_str()), 0);
    SetSaveFileDialogForTesting([&](const QString&) { return QString::fromStdString(link); });
    Named<QAction>(window, "导出到 Excel…")->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("账本本身"), std::string::npos) << boxes[0];
    EXPECT_EQ(ReadBytes(ledger.DatabaseFile()), before);
}

}  // namespace
