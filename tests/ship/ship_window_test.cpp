// The 批量发货… window driven as a user drives it: a scanner typing lines,
// a supplier's sheet read, a courier picked in the preview, 全部发货 answered;
// and another user shipping an order between the preview and 全部发货.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "common/date_parts.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "test_ledger.h"
#include "tests/admin/admin_run.h"
#include "tests/settings/temp_directory.h"
#include "ui/open_file_dialog.h"
#include "ui/orders/orders_window.h"
#include "ui/ship/ship_window.h"
#include "window_parts.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class ShipWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        SetClockForTesting([] { return MakeDateTime(2027, 3, 5, 9, 0, 0); });
        SetMessageBoxForTesting([this](const std::string& text, int, const std::string&) {
            messages.push_back(GbkToUtf8(text));
            return answer;
        });
        SetShipBeepForTesting([this] { ++beeps; });
        std::filesystem::copy_file(TALLOVAR_SOURCE_DIR "/exchange/couriers.txt",
                                   ledger.Directory() + "/couriers.txt");
        ledger.WriteConfig(Gbk("[kuaidiinfo]\r\nkuaidi=中通快递#韵达快递\r\n"));
        for (const char* number : {"N1", "N2", "N3", "N4"}) {
            ledger.AddOrder({{"订单号", number},
                             {"购买订单号", std::string("P") + (number + 1)},
                             {"订单日期", "2020-1-1"}});
        }
    }
    void TearDown() override {
        CloseAllWindows();
        SetClockForTesting({});
        SetMessageBoxForTesting({});
        SetShipBeepForTesting({});
        SetOpenFileDialogForTesting({});
    }

    // Opens the window from the order list's pop-up menu.
    QWidget* Open() {
        OpenMainWindow();
        Named<QAction>(MainWindow(), "批量发货…")->trigger();
        window = TopLevel<ShipWindow>();
        return window;
    }
    QPlainTextEdit* Text() { return Named<QPlainTextEdit>(window, "运单文本"); }
    QTableWidget* Preview() { return Named<QTableWidget>(window, "预览列表"); }
    QString Cell(int row, int column) { return Preview()->item(row, column)->text(); }
    void Click(const char* button) { Named<QPushButton>(window, button)->click(); }
    Rows Shipped() {
        return ledger.Rows(
            "select 订单号,快递公司,运单号,订单日期 from 订单列表 where 运单号<>'' order by "
            "订单号");
    }
    Rows Ledger() { return ledger.Rows("select * from 订单列表 order by ID"); }

    TestLedger ledger;
    QWidget* window = nullptr;
    std::vector<std::string> messages;
    int answer = kAnswerYes;
    int beeps = 0;
};

TEST_F(ShipWindowTest, AScannersEnterMatchesItsLineAtOnceAndAWrongOneBeeps) {
    ASSERT_NE(Open(), nullptr);
    struct Case {
        const char* typed;
        const char* state;
        int beeps;
    } cases[] = {
        {"N1\tSF100", "可发货", 0},
        {"ZZ\tSF200", "找不到订单", 1},
        {"P2 YT300", "可发货", 1},
        {"N1 SF400", "本批重复", 2},
        {"N3 434567890123456", "缺快递公司", 3},
    };
    int row = 0;
    for (const Case& c : cases) {
        QTest::keyClicks(Text(), QString::fromUtf8(c.typed));
        QTest::keyClick(Text(), Qt::Key_Return);
        ASSERT_EQ(Preview()->rowCount(), row + 1) << c.typed << "matched without waiting";
        EXPECT_EQ(Cell(row, 4).toStdString(), c.state) << c.typed;
        EXPECT_EQ(beeps, c.beeps) << c.typed;
        ++row;
    }
    EXPECT_EQ(Cell(0, 5).toStdString(), "顺丰");
    EXPECT_EQ(Cell(4, 5).toStdString(), "？申通 / 韵达快递")
        << "the guesses, as the list spells them";
    EXPECT_EQ(Shipped(), Rows{}) << "nothing stored before 全部发货";
}

TEST_F(ShipWindowTest, ACourierPickedInThePreviewMakesTheLineReady) {
    ASSERT_NE(Open(), nullptr);
    Text()->setPlainText("N3 434567890123456\n");
    ASSERT_EQ(Cell(0, 4).toStdString(), "缺快递公司");
    Preview()->edit(Preview()->model()->index(0, 5));
    auto* box = Preview()->viewport()->findChild<QComboBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->itemText(0).toStdString(), "申通") << "the guesses first";
    EXPECT_EQ(box->itemText(1).toStdString(), "韵达快递");
    box->setCurrentIndex(1);
    emit box->activated(1);  // as a click on the item in the list
    QApplication::processEvents();
    EXPECT_EQ(Cell(0, 4).toStdString(), "可发货");
    EXPECT_EQ(Cell(0, 5).toStdString(), "韵达快递");

    // A courier typed into the cell, then Enter.
    Text()->setPlainText("N3 434567890123456\nN4 434567890123457\n");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed editor
    Preview()->edit(Preview()->model()->index(1, 5));
    box = Preview()->viewport()->findChild<QComboBox*>();
    ASSERT_NE(box, nullptr);
    box->lineEdit()->setText(QString::fromUtf8("百世快递"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    for (int round = 0; round < 3; ++round) QApplication::processEvents();
    EXPECT_EQ(Cell(1, 4).toStdString(), "可发货");
    EXPECT_EQ(Cell(1, 5).toStdString(), "百世快递") << "a courier of no list";
    EXPECT_EQ(Cell(0, 5).toStdString(), "韵达快递") << "the first line keeps its choice";
}

TEST_F(ShipWindowTest, ASupplierSheetShipsInFiveActions) {
    TempDirectory folder;
    WriteBytes(folder / "发货.csv",
               "订单编号,快递单号,物流公司\r\nN1,SF1,顺丰\r\nP2,YT2,\r\nN3,JT3,极兔\r\n");
    int actions = 0;
    SetOpenFileDialogForTesting([&] {
        ++actions;  // the file chosen
        return QString::fromStdString(folder / "发货.csv");
    });
    ASSERT_NE(Open(), nullptr);
    ++actions;  // the menu
    Click("从表格读取按钮");
    ++actions;
    ASSERT_EQ(Preview()->rowCount(), 3);
    Click("全部发货按钮");
    actions += 2;  // 全部发货, 是
    EXPECT_EQ(actions, 5);
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2], "确定发货 3 张订单吗？");
    EXPECT_EQ(messages.back(), "已发货 3 张订单；在主窗口点“查询”或“等待发货”可看到变化。");
    EXPECT_EQ(Shipped(), (Rows{{"N1", "顺丰", "SF1", "2027-3-5"},
                               {"N2", "圆通", "YT2", "2027-3-5"},
                               {"N3", "极兔", "JT3", "2027-3-5"}}));
    EXPECT_EQ(Cell(0, 4).toStdString(), "已发货") << "the preview shows what the ledger holds";
}

TEST_F(ShipWindowTest, ASheetCellTheSpreadsheetDamagedIsRefusedAndNamed) {
    TempDirectory folder;
    const std::string path = folder / "supplier.xlsx";
    const AdminRun made = RunShell(
        "printf '%s' '[[\"供应商发货单\"],[\"订单号\",\"运单号\"],[\"N1\",\"SF1\"],"
        "[\"N2\",{\"number\":1.23456789012345e17,\"format\":\"0.00E+00\"}]]' | " TALLOVAR_PYTHON
        " " TALLOVAR_SOURCE_DIR "/tests/exchange/make_workbook.py '" +
        path + "'");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    SetOpenFileDialogForTesting([&] { return QString::fromStdString(path); });
    ASSERT_NE(Open(), nullptr);
    Click("从表格读取按钮");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("这些行的单元格被表格程序改坏了，没有读入：\n第 4 行：", 0), 0u)
        << messages[0];
    ASSERT_EQ(Preview()->rowCount(), 1);
    EXPECT_EQ(Cell(0, 1).toStdString(), "N1");

    SetOpenFileDialogForTesting([] { return QString(); });  // cancelled
    Click("从表格读取按钮");
    EXPECT_EQ(Preview()->rowCount(), 1);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(ShipWindowTest, AnOrderShippedMeanwhileStoresNothing) {
    ASSERT_NE(Open(), nullptr);
    Text()->setPlainText("N1 SF1\nN2 SF2\nN3 SF3\n");
    ASSERT_EQ(Cell(1, 4).toStdString(), "可发货");
    ledger.Exec("update 订单列表 set 快递公司='中通',运单号='ZT9' where 订单号='N2'");
    const Rows before = Ledger();

    Click("全部发货按钮");
    EXPECT_EQ(Ledger(), before) << "neither N1 nor N3";
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.back().find("第 2 行"), std::string::npos) << messages.back();
    EXPECT_EQ(Cell(1, 4).toStdString(), "已发货") << "the preview read anew";
    EXPECT_EQ(Cell(1, 6).toStdString(), "ZT9");

    answer = kAnswerNo;
    Click("全部发货按钮");
    EXPECT_EQ(messages.back(), "确定发货 2 张订单吗？");
    EXPECT_EQ(Ledger(), before) << "no ship without a yes";
}

}  // namespace
