#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/process_end.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "store/database.h"
#include "store/ledger.h"
#include "store/order_statements.h"
#include "test_ledger.h"
#include "ui/orders/fill_order_list.h"
#include "ui/orders/order_list.h"

namespace {

struct Message {
    std::string text;
    std::string title;
};

// A main window without the window: its connection, totals line and list.
class QueryOrdersTest : public testing::Test {
  protected:
    void SetUp() override {
        SetMessageBoxForTesting([this](const std::string& text, int, const std::string& title) {
            messages.push_back({GbkToUtf8(text), GbkToUtf8(title)});
            return kAnswerOk;
        });
        SetProcessEndForTesting([this](int code) { exitCodes.push_back(code); });
        SetStatementObserverForTesting(
            [this](const std::string& statement) { sent.push_back(GbkToUtf8(statement)); });
    }
    void TearDown() override {
        SetMessageBoxForTesting({});
        SetProcessEndForTesting({});
        SetStatementObserverForTesting({});
    }

    void Query(const OrderSearchTexts& utf8Inputs = {}, const std::string& filter = "") {
        OrderSearchTexts inputs;
        for (size_t i = 0; i < inputs.size(); ++i) inputs[i] = Gbk(utf8Inputs[i]);
        OrderListDisplay display{connection,
                                 [this](const std::string& t) { totals = GbkToUtf8(t); }, list};
        QueryOrders(display, inputs, Gbk(filter));
    }

    std::string Cell(int row, int column) const { return GbkToUtf8(list.ItemText(row, column)); }

    DatabaseConnection connection;
    OrderListModel list;
    std::string totals = "记录：";
    std::vector<Message> messages;
    std::vector<int> exitCodes;
    std::vector<std::string> sent;
};

const std::string kList = "select * from 订单列表 where 1=1 ";
const std::string kCount = "select count(*) from 订单列表 where 1=1";
const std::string kTotals =
    "select sum(售价),sum(进价),sum(佣金),sum(利润) from 订单列表 where 1=1";
const std::string kOrder = " order by 订单日期 desc";

struct StatementCase {
    const char* name;
    OrderSearchTexts inputs;
    std::string filter;
    std::string conditions;
};

}  // namespace

TEST(OrderStatements, AreBuiltByteForByte) {
    const StatementCase cases[] = {
        {"nothing", {}, "", ""},
        {"seller", {"abc"}, "", " and 卖家账号 like '%abc%'"},
        {"waiting", {}, "等待收货", " and 快递公司 =''and 运单号 ='' "},
        {"problem and seller",
         {"abc"},
         "问题单",
         " and 备注 like '%问题%'  and 卖家账号 like '%abc%'"},
        {"unknown filter", {"", "", "", "", "x"}, "等待发货", " and 商品名称 like '%x%'"},
        {"a space is a condition", {"", " "}, "", " and 订单号 like '% %'"},
        {"append order puts delivery before purchase",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9"},
         "",
         " and 卖家账号 like '%1%' and 订单号 like '%2%' and 快递公司 like '%3%' and 运单号 like "
         "'%4%' and 商品名称 like '%5%' and 收货信息 like '%8%' and 购买账号 like '%6%' and "
         "购买订单号 like '%7%' and 备注 like '%9%'"},
        {"quotes doubled", {"O'Neil"}, "", " and 卖家账号 like '%O''Neil%'"},
    };
    for (const StatementCase& c : cases) {
        OrderSearchTexts inputs;
        for (size_t i = 0; i < inputs.size(); ++i) inputs[i] = Gbk(c.inputs[i]);
        const OrderStatements s = BuildOrderStatements(inputs, Gbk(c.filter));
        EXPECT_EQ(GbkToUtf8(s.list), kList + c.conditions + kOrder) << c.name;
        EXPECT_EQ(GbkToUtf8(s.count), kCount + c.conditions) << c.name;
        EXPECT_EQ(GbkToUtf8(s.totals), kTotals + c.conditions) << c.name;
    }
}

TEST_F(QueryOrdersTest, FillsTotalsAndListNewestDateFirstByText) {
    TestLedger ledger;
    ledger.AddOrder({{"卖家账号", "店铺甲"},
                     {"订单日期", "2015-1-10"},
                     {"售价", "19.9"},
                     {"进价", "15.8"},
                     {"佣金", "0"},
                     {"利润", "4.1"},
                     {"备注", "好评"}});
    ledger.AddOrder({{"卖家账号", "店铺乙"},
                     {"订单日期", "2015-1-9"},
                     {"售价", "100"},
                     {"进价", "80"},
                     {"佣金", "5.5"},
                     {"利润", "25.5"},
                     {"快递公司", "顺丰速运"}});

    Query();

    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], kList + kOrder);
    EXPECT_EQ(sent[1], kCount);
    EXPECT_EQ(sent[2], kTotals);
    EXPECT_EQ(totals,
              "记录：当前有2单  总售价：119.9元  总进价：95.8元  总佣金：5.5元  总利润：29.6元");
    ASSERT_EQ(list.ItemCount(), 2);
    // Text order: "2015-1-9" sorts after "2015-1-10", so it comes first when descending.
    EXPECT_EQ(Cell(0, 10), "2015-1-9");
    EXPECT_EQ(Cell(0, 1), "店铺乙");
    EXPECT_EQ(Cell(0, 0), "2");
    EXPECT_EQ(Cell(0, 3), "顺丰速运");
    EXPECT_EQ(Cell(1, 0), "1");
    EXPECT_EQ(Cell(1, 9), "4.1");
    EXPECT_EQ(Cell(1, 14), "好评");
    EXPECT_TRUE(messages.empty());
}

// The list shows the rows where the query's result holds them: they stay
// when the connection lets its results go, and an item set or inserted
// afterwards changes that item alone.
TEST_F(QueryOrdersTest, ListedRowsOutliveTheirResultAndTakeEdits) {
    TestLedger ledger;
    ledger.AddOrder({{"订单日期", "2024-1-1"}, {"卖家账号", "店铺甲"}, {"商品名称", "毛毯"}});
    ledger.AddOrder({{"订单日期", "2024-1-2"}, {"卖家账号", "店铺乙"}, {"商品名称", "水杯"}});
    Query();
    ASSERT_TRUE(OpenLedger(connection)) << connection.LastError();
    ledger.Exec("delete from 订单列表");

    list.SetItemText(1, 5, Gbk("围巾"));
    list.InsertItem(1);
    list.SetItemText(1, 1, Gbk("新店"));
    const std::vector<std::vector<std::string>> expected = {
        {"2", "店铺乙", "水杯"}, {"", "新店", ""}, {"1", "店铺甲", "围巾"}};
    ASSERT_EQ(list.ItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ((std::vector<std::string>{Cell(row, 0), Cell(row, 1), Cell(row, 5)}),
                  expected[row])
            << row;
    }
}

TEST_F(QueryOrdersTest, FiltersAndNoMatches) {
    TestLedger ledger;
    ledger.AddOrder({{"卖家账号", "abc"}, {"备注", "有问题"}, {"售价", "10"}});
    ledger.AddOrder({{"卖家账号", "xyz"}, {"快递公司", "中通快递"}, {"售价", "20"}});

    Query({}, "等待收货");
    ASSERT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(Cell(0, 1), "abc");

    Query({}, "问题单");
    ASSERT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(Cell(0, 14), "有问题");

    Query({"b"});
    ASSERT_EQ(list.ItemCount(), 1);

    // With no rows the sums come back as NULL text and read as empty text.
    Query({"nobody"});
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(totals, "记录：当前有0单  总售价：元  总进价：元  总佣金：元  总利润：元");
    EXPECT_TRUE(messages.empty());
}

TEST_F(QueryOrdersTest, SearchTextWithQuoteFindsTheOrder) {
    TestLedger ledger;
    ledger.AddOrder({{"商品名称", "O'Neil 外套"}});
    ledger.AddOrder({{"商品名称", "Neil"}});
    Query({"", "", "", "", "O'Neil"});
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(Cell(0, 5), "O'Neil 外套");
}

TEST_F(QueryOrdersTest, MissingLedgerEndsTheProgramAfterItsMessage) {
    TestLedger noLedger(false);
    list.InsertItem(0);
    list.SetItemText(0, 1, "old");
    Query();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "数据库不存在");
    EXPECT_EQ(messages[0].title, "警告");
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(list.ItemCount(), 1);
}

TEST_F(QueryOrdersTest, UnusableLedgerIsReportedAndTheListLeftEmpty) {
    TestLedger ledger;
    ledger.AddOrder({});
    Query();
    ASSERT_EQ(list.ItemCount(), 1);

    ledger.Exec("drop table 订单列表");
    Query();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "错误");
    EXPECT_EQ(messages[0].text.rfind("数据库操作失败：", 0), 0u) << messages[0].text;
    EXPECT_GT(messages[0].text.size(), std::string("数据库操作失败：").size());
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(totals, "记录：");
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(QueryOrdersTest, FileThatIsNoDatabaseIsReported) {
    TestLedger ledger(false);
    ledger.WriteConfig("");
    {
        FILE* f = fopen("tallovar.mdb", "wb");
        fputs("this is not a database, just some text that fills a page of bytes", f);
        fclose(f);
    }
    Query();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "错误");
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_EQ(totals, "记录：");
}

TEST_F(QueryOrdersTest, LedgerInAFolderWithAChineseName) {
    TestLedger ledger(false);
    const std::string folder = ledger.Directory() + "/我的账本";
    std::filesystem::create_directory(folder);
    std::filesystem::current_path(folder);
    TestLedger::CreateFile(folder + "/tallovar.mdb");
    Query();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_EQ(totals, "记录：当前有0单  总售价：元  总进价：元  总佣金：元  总利润：元");
}
