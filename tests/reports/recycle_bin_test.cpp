// The recycle bin: an order deleted through the main window is kept by the
// ledger and comes back whole; a purge leaves nothing; a ledger without the
// bin says how to get one.
#include <QPushButton>

#include "reports_fixture.h"
#include "tests/admin/admin_run.h"

namespace {

const std::map<std::string, std::string> kOrder = {
    {"卖家账号", "店铺'甲"},
    {"订单号", "NO-1"},
    {"快递公司", ""},
    {"运单号", ""},
    {"订单日期", "2026-1-9"},
    {"商品名称", "保温杯 500ml×2"},
    {"购买账号", "买家\"乙\""},
    {"购买订单号", "0012"},
    {"收货信息", "张三，北京市\n海淀区"},
    {"售价", "１２.5"},
    {"进价", "abc"},
    {"佣金", ""},
    {"利润", "-0"},
    {"备注", "问题：退货%_"},
};

class RecycleBinTest : public ReportsTest {
  protected:
    std::vector<std::vector<std::string>> Order(long long id) {
        return ledger.Rows("select * from 订单列表 where ID=" + std::to_string(id));
    }
    // Deletes an order as a user does: select it, 删除, answer yes.
    void DeleteThroughWindow(OrdersWindow* orders, long long id) {
        OrderListModel* list = Named<OrderListView>(orders, "信息列表框")->List();
        for (int row = 0; row < list->ItemCount(); ++row) {
            if (list->ItemText(row, 0) == std::to_string(id))
                Named<OrderListView>(orders, "信息列表框")->selectRow(row);
        }
        answer = kAnswerYes;
        Named<QAction>(orders, "删除")->trigger();
    }
    QWidget* OpenBin(OrdersWindow* orders) {
        Named<QAction>(orders, "回收站…")->trigger();
        return TopLevel("RecycleWindow");
    }
    static QTableWidget* List(QWidget* bin) {
        return bin->findChild<QTableWidget*>(QString::fromUtf8("回收列表"));
    }
    static void Click(QWidget* bin, const char* button) {
        bin->findChild<QPushButton*>(QString::fromUtf8(button))->click();
    }
};

TEST_F(RecycleBinTest, DeletedOrderComesBackWithEveryText) {
    const long long kept = ledger.AddOrder({{"订单号", "other"}});
    const long long id = ledger.AddOrder(kOrder);
    const auto before = Order(id);
    OrdersWindow* orders = OpenOrders();
    DeleteThroughWindow(orders, id);
    ASSERT_TRUE(Order(id).empty());
    EXPECT_EQ(Named<OrderListView>(orders, "信息列表框")->List()->ItemCount(), 1);

    QWidget* bin = OpenBin(orders);
    ASSERT_NE(bin, nullptr) << (messages.empty() ? "" : messages.back());
    ASSERT_EQ(List(bin)->rowCount(), 1);
    EXPECT_EQ(List(bin)->item(0, 2)->text(), QString::number(id));
    List(bin)->selectRow(0);
    Click(bin, "恢复按钮");

    EXPECT_EQ(Order(id), before) << "the same ID and every text";
    EXPECT_EQ(List(bin)->rowCount(), 0);
    EXPECT_EQ(Named<OrderListView>(orders, "信息列表框")->List()->ItemCount(), 2)
        << "the list shows it again";
    EXPECT_EQ(messages.back(), "订单已恢复，ID：" + std::to_string(id));

    // The same from the command line, by the bin number that list shows first.
    DeleteThroughWindow(orders, id);
    const std::string number = ledger.Rows("select 编号 from 回收站")[0][0];
    const AdminRun restored = RunAdmin(ledger.Directory(), "trash restore " + number);
    EXPECT_EQ(restored.exitCode, 0) << restored.output;
    EXPECT_EQ(Order(id), before);

    // When its ID has been taken meanwhile, the order comes back under a new one.
    DeleteThroughWindow(orders, kept);
    ledger.Exec("insert into 订单列表(ID,订单号) values(" + std::to_string(kept) + ",'taker')");
    bin = OpenBin(orders);
    List(bin)->selectRow(0);
    Click(bin, "恢复按钮");
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表 where 订单号='other' and ID>" +
                          std::to_string(id))[0][0],
              "1");
    EXPECT_EQ(ledger.Rows("select 订单号 from 订单列表 where ID=" + std::to_string(kept))[0][0],
              "taker");
}

// The window and the tool restore one way: an entry the tool restored after
// the window listed it is missing for the window, which says so, shows the
// bin anew and stores nothing twice.
TEST_F(RecycleBinTest, AnEntryRestoredElsewhereIsNotRestoredTwice) {
    const long long id = ledger.AddOrder(kOrder);
    OrdersWindow* orders = OpenOrders();
    DeleteThroughWindow(orders, id);
    QWidget* bin = OpenBin(orders);
    ASSERT_NE(bin, nullptr);
    ASSERT_EQ(List(bin)->rowCount(), 1);
    const std::string number = ledger.Rows("select 编号 from 回收站")[0][0];
    const AdminRun restored = RunAdmin(ledger.Directory(), "trash restore " + number);
    ASSERT_EQ(restored.exitCode, 0) << restored.output;
    const AdminRun again = RunAdmin(ledger.Directory(), "trash restore " + number);
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(Mentions(again, "回收站中没有编号 " + number)) << again.output;

    List(bin)->selectRow(0);
    Click(bin, "恢复按钮");
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.back().find("回收站中没有编号 " + number), std::string::npos)
        << messages.back();
    EXPECT_EQ(List(bin)->rowCount(), 0) << "the bin as it is now";
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表")[0][0], "1");
}

TEST_F(RecycleBinTest, PurgeLeavesNothing) {
    for (int n = 0; n < 3; ++n) ledger.AddOrder(kOrder);
    OrdersWindow* orders = OpenOrders();
    DeleteThroughWindow(orders, 1);
    DeleteThroughWindow(orders, 2);
    QWidget* bin = OpenBin(orders);
    ASSERT_NE(bin, nullptr);
    ASSERT_EQ(List(bin)->rowCount(), 2);
    EXPECT_EQ(List(bin)->item(0, 2)->text(), "2") << "newest first";

    List(bin)->selectRow(0);
    answer = kAnswerNo;
    Click(bin, "彻底删除按钮");
    EXPECT_EQ(List(bin)->rowCount(), 2) << "no purge without a yes";
    answer = kAnswerYes;
    Click(bin, "彻底删除按钮");
    EXPECT_EQ(ledger.Rows("select ID from 回收站"), (std::vector<std::vector<std::string>>{{"1"}}));

    // The command line: list, then purge all, and nothing of them is left.
    DeleteThroughWindow(orders, 3);
    EXPECT_TRUE(Mentions(RunAdmin(ledger.Directory(), "trash list"), "NO-1"));
    EXPECT_TRUE(Mentions(RunAdmin(ledger.Directory(), "trash purge --older-than 1"), "0"));
    EXPECT_EQ(ledger.Rows("select count(*) from 回收站")[0][0], "2");
    EXPECT_EQ(RunAdmin(ledger.Directory(), "trash purge").exitCode, 0);
    EXPECT_EQ(ledger.Rows("select count(*) from 回收站")[0][0], "0");
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表")[0][0], "0");
    EXPECT_EQ(ledger.Rows("select count(*) from sqlite_master where sql like '%NO-1%'")[0][0], "0");
}

TEST_F(RecycleBinTest, LedgerWithoutTheBinSaysHowToAddIt) {
    ledger.Exec("drop trigger 订单列表_放入回收站; drop table 回收站");
    OrdersWindow* orders = OpenOrders();
    EXPECT_EQ(OpenBin(orders), nullptr);
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.back().find("tallovar-admin upgrade"), std::string::npos);
    EXPECT_NE(RunAdmin(ledger.Directory(), "trash list").exitCode, 0);
    EXPECT_EQ(RunAdmin(ledger.Directory(), "upgrade").exitCode, 0);
    EXPECT_NE(OpenBin(orders), nullptr);
}

}  // namespace
