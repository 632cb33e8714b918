// "打印…" from the order list's pop-up menu: the preview of what the list
// shows in the form chosen at the top, and the PDF saved from it.

#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "../reports/reports_fixture.h"
#include "pdf_readers.h"
#include "ui/save_file_dialog.h"

namespace {

class PrintWindowTest : public ReportsTest {
  protected:
    void SetUp() override {
        ReportsTest::SetUp();
        // Fourteen orders, the first nine waiting, 19-digit numbers.
        for (int i = 0; i < 14; ++i) {
            ledger.AddOrder({{"卖家账号", i % 2 ? "店铺甲" : "店铺乙"},
                             {"订单号", std::to_string(6200000000000000000LL + i * 1009)},
                             {"快递公司", i < 9 ? "" : "韵达"},
                             {"运单号", i < 9 ? "" : "YD" + std::to_string(880000 + i)},
                             {"商品名称", i % 3 ? "人字拖 男款" : "一次性纸杯"},
                             {"进价", "2"}});
        }
    }
    void TearDown() override {
        SetSaveFileDialogForTesting({});
        ReportsTest::TearDown();
    }

    QWidget* OpenPrint(OrdersWindow* orders) {
        Named<QAction>(orders, "打印…")->trigger();
        QWidget* window = TopLevel("PrintWindow");
        EXPECT_NE(window, nullptr);
        return window;
    }

    // The order numbers as the list shows them, top down.
    static std::vector<std::string> ListedNumbers(OrdersWindow* orders) {
        const OrderListModel* list = Named<OrderListView>(orders, "信息列表框")->List();
        std::vector<std::string> numbers;
        for (int row = 0; row < list->ItemCount(); ++row) {
            numbers.push_back(GbkToUtf8(list->ItemText(row, 2)));
        }
        return numbers;
    }
};

TEST_F(PrintWindowTest, PreviewShowsTheListedOrdersInTheChosenForm) {
    OrdersWindow* orders = OpenOrders();
    Named<QPushButton>(orders, "按钮2")->click();  // 等待收货: nine orders
    QWidget* window = OpenPrint(orders);
    ASSERT_NE(window, nullptr);
    struct Case {
        int form, paper;
        bool paperChoice;  // the paper can be chosen
        const char* pages;
    } cases[] = {
        {0, 0, false, "9 张订单，共 1 页"}, {1, 0, false, "9 张订单，共 1 页"},
        {2, 0, true, "9 张订单，共 2 页"},  {2, 1, true, "9 张订单，共 9 页"},
        {1, 1, false, "9 张订单，共 1 页"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pages);
        Named<QComboBox>(window, "表单选择")->setCurrentIndex(c.form);
        Named<QComboBox>(window, "纸张选择")->setCurrentIndex(c.paper);
        EXPECT_EQ(Named<QComboBox>(window, "纸张选择")->isEnabled(), c.paperChoice);
        EXPECT_EQ(Named<QLabel>(window, "页数标签")->text().toStdString(), c.pages);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PrintWindowTest, SavedPdfHoldsTheListedOrdersInTheListsOrder) {
    OrdersWindow* orders = OpenOrders();
    const std::vector<std::string> listed = ListedNumbers(orders);
    ASSERT_EQ(listed.size(), 14u);
    QWidget* window = OpenPrint(orders);
    ASSERT_NE(window, nullptr);
    Named<QComboBox>(window, "表单选择")->setCurrentIndex(2);
    const std::string pdf = ledger.Directory() + "/发货单.pdf";
    QString suggested;
    SetSaveFileDialogForTesting([&](const QString& name) {
        suggested = name;
        return QString::fromStdString(pdf);
    });
    Named<QPushButton>(window, "保存按钮")->click();
    EXPECT_TRUE(suggested.endsWith(".pdf")) << suggested.toStdString();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "已保存到 " + pdf);
    struct stat info {};
    ASSERT_EQ(stat(pdf.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(PdfPages(pdf), 3);
    const std::string text = PdfText(pdf);
    std::size_t at = 0;
    for (const std::string& number : listed) {
        const std::size_t found = text.find(number, at);
        EXPECT_NE(found, std::string::npos) << number << " after position " << at;
        if (found != std::string::npos) at = found;
    }

    // Never over the ledger, even when the dialog was answered with it.
    const auto ledgerSize = std::filesystem::file_size(ledger.DatabaseFile());
    SetSaveFileDialogForTesting(
        [&](const QString&) { return QString::fromStdString(ledger.DatabaseFile()); });
    Named<QPushButton>(window, "保存按钮")->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].rfind("保存失败：", 0), 0u) << messages[1];
    EXPECT_EQ(std::filesystem::file_size(ledger.DatabaseFile()), ledgerSize);
}

// The next print opens on the form and paper chosen last, as kept in
// config.ini; a value the window does not know opens the order list.
TEST_F(PrintWindowTest, OpensOnTheFormAndPaperChosenLast) {
    OrdersWindow* orders = OpenOrders();
    QWidget* window = OpenPrint(orders);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Named<QComboBox>(window, "表单选择")->currentText(), "订单列表");
    Named<QComboBox>(window, "表单选择")->setCurrentIndex(2);
    Named<QComboBox>(window, "纸张选择")->setCurrentIndex(1);
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    window = OpenPrint(orders);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Named<QComboBox>(window, "表单选择")->currentText(), "发货单");
    EXPECT_EQ(Named<QLabel>(window, "页数标签")->text(), "14 张订单，共 14 页");
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ledger.WriteConfig(Gbk("[打印]\r\n表单=收据\r\n纸张=a5\r\n"));
    window = OpenPrint(orders);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Named<QComboBox>(window, "表单选择")->currentText(), "订单列表");
    EXPECT_EQ(Named<QLabel>(window, "页数标签")->text(), "14 张订单，共 1 页");
}

// More orders than a preview draws in a moment: the user is told to narrow
// the search, and no window opens.
TEST_F(PrintWindowTest, TooManyListedOrdersAreRefusedWithAReason) {
    ledger.Exec(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 9987) "
        "insert into 订单列表(订单号) select i from n");
    OrdersWindow* orders = OpenOrders();
    Named<QAction>(orders, "打印…")->trigger();
    EXPECT_EQ(TopLevel("PrintWindow"), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "列表中有 10001 张订单，一次最多打印 10000 张。请先用查询条件缩小范围。");
}

}  // namespace
