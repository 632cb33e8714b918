// Shipping many orders at once on a real ledger (the file, and a team
// ledger in the server run): each line finds its one order or says why not,
// and a batch stores exactly what the editor's ship mode stores, all of it or
// nothing, also when another user ships an order meanwhile.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/date_parts.h"
#include "common/text_encoding.h"
#include "store/database.h"
#include "store/ledger.h"
#include "store/ship_batch.h"
#include "test_ledger.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class ShipBatchTest : public testing::Test {
  protected:
    void SetUp() override {
        SetClockForTesting([] { return MakeDateTime(2027, 3, 5, 9, 0, 0); });
        ASSERT_TRUE(OpenLedger(db)) << db.LastError();
    }
    void TearDown() override { SetClockForTesting({}); }

    long long Add(const char* number, const char* purchase, const char* courier = "",
                  const char* waybill = "") {
        return ledger.AddOrder({{"订单号", number},
                                {"购买订单号", purchase},
                                {"快递公司", courier},
                                {"运单号", waybill},
                                {"订单日期", "2027-1-2"},
                                {"商品名称", "保温杯"},
                                {"售价", "12.5"}});
    }
    static ShipLine Line(int number, const char* key, const char* waybill, const char* courier) {
        return {number, Gbk(key), Gbk(waybill), Gbk(courier), false};
    }
    Rows Ledger() {
        return ledger.Rows(
            "select ID,卖家账号,订单号,快递公司,运单号,订单日期,商品名称,购买账号,购买订单号,"
            "收货信息,售价,进价,佣金,利润,备注 from 订单列表 order by ID");
    }

    TestLedger ledger;
    DatabaseConnection db;
};

TEST_F(ShipBatchTest, EachLineFindsItsOneOrderOrSaysWhyNot) {
    const long long byNumber = Add("N1", "P1");
    const long long byPurchase = Add("N2", "P2");
    Add("K", "X3");  // K is this order's number and the next one's purchase number
    Add("N4", "K");
    Add("N5", "X5");
    Add("N5", "X6");
    Add("N6", "X7", "中通", "");  // a courier alone marks it shipped
    const long long waybillOnly = Add("N7", "X8", "", "已发货");
    const long long same = Add("S", "S");
    const long long quoted = Add("O'9", "X9");
    const long long noCourier = Add("N8", "X10");

    struct Case {
        ShipLine line;
        ShipState state;
        long long order;
    } cases[] = {
        {Line(1, "N1", "SF1", "顺丰"), ShipState::Ready, byNumber},
        {Line(2, "P2", "YT2", "圆通"), ShipState::Ready, byPurchase},
        {Line(3, "K", "W3", "中通"), ShipState::SeveralOrders, 0},
        {Line(4, "N5", "W4", "中通"), ShipState::SeveralOrders, 0},
        {Line(5, "N6", "W5", "中通"), ShipState::AlreadyShipped, 0},
        {Line(6, "N7", "W6", "中通"), ShipState::AlreadyShipped, waybillOnly},
        {Line(7, "N2", "W7", "中通"), ShipState::Repeated, byPurchase},
        {Line(8, "ZZ", "W8", "中通"), ShipState::NotFound, 0},
        {Line(9, "S", "W9", "中通"), ShipState::Ready, same},
        {Line(10, "O'9", "W10", "申通"), ShipState::Ready, quoted},
        {Line(11, "N8", "", "中通"), ShipState::NoWaybill, noCourier},
        {Line(12, "N8", "W12", ""), ShipState::NoCourier, noCourier},
        {{13, "N1", "W13", "中通", true}, ShipState::Unreadable, byNumber},
    };
    std::vector<ShipLine> lines;
    for (const Case& c : cases) lines.push_back(c.line);
    std::vector<ShipMatch> matches;
    ASSERT_TRUE(MatchShipLines(db, lines, matches).ok());
    ASSERT_EQ(matches.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(ShipStateName(matches[i].state), std::string(ShipStateName(cases[i].state)))
            << "line " << lines[i].number;
        if (cases[i].order != 0) {
            EXPECT_EQ(matches[i].order.id, cases[i].order) << "line " << lines[i].number;
        }
    }
    EXPECT_EQ(GbkToUtf8(matches[5].order.waybill), "已发货") << "shown with what it has";
}

TEST_F(ShipBatchTest, ABatchStoresWhatTheShipModeStoresAndNothingElse) {
    const long long first = Add("N1", "P1");
    const long long second = Add("N2", "P2");
    Add("N3", "P3");
    const std::vector<ShipLine> lines = {Line(1, "N1", "SF1", "顺丰"),
                                         Line(2, "P2", "Y'T2", "圆通")};
    std::vector<ShipMatch> matches;
    ASSERT_TRUE(MatchShipLines(db, lines, matches).ok());
    Rows expected = Ledger();
    expected[0][3] = "顺丰", expected[0][4] = "SF1", expected[0][5] = "2027-3-5";
    expected[1][3] = "圆通", expected[1][4] = "Y'T2", expected[1][5] = "2027-3-5";

    std::vector<int> refused;
    const std::vector<ShipOrder> orders = ReadyOrders(lines, matches);
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(orders[0].id, first);
    EXPECT_EQ(orders[1].id, second);
    const Status shipped = ShipOrders(db, orders, ShipDate(), refused);
    ASSERT_TRUE(shipped.ok()) << shipped.Lines();
    EXPECT_EQ(Ledger(), expected);

    // Once shipped, the same lines find the orders shipped.
    ASSERT_TRUE(MatchShipLines(db, lines, matches).ok());
    EXPECT_EQ(matches[0].state, ShipState::AlreadyShipped);
    EXPECT_EQ(matches[1].state, ShipState::AlreadyShipped);
}

// Between the preview and 全部发货 another user ships one order and deletes
// another: the batch names both lines and stores nothing.
TEST_F(ShipBatchTest, AnOrderShippedOrDeletedMeanwhileRefusesTheWholeBatch) {
    Add("N1", "P1");
    const long long taken = Add("N2", "P2");
    const long long deleted = Add("N3", "P3");
    const std::vector<ShipLine> lines = {Line(1, "N1", "SF1", "顺丰"), Line(2, "N2", "SF2", "顺丰"),
                                         Line(3, "N3", "SF3", "顺丰")};
    std::vector<ShipMatch> matches;
    ASSERT_TRUE(MatchShipLines(db, lines, matches).ok());
    ASSERT_EQ(ReadyOrders(lines, matches).size(), 3u);

    ledger.Exec("update 订单列表 set 快递公司='中通',运单号='ZT9' where ID=" +
                std::to_string(taken));
    ledger.Exec("delete from 订单列表 where ID=" + std::to_string(deleted));
    const Rows before = Ledger();

    std::vector<int> refused;
    const Status shipped = ShipOrders(db, ReadyOrders(lines, matches), ShipDate(), refused);
    EXPECT_FALSE(shipped.ok());
    EXPECT_EQ(refused, (std::vector<int>{2, 3}));
    EXPECT_NE(shipped.chinese.find("第 2、3 行"), std::string::npos) << shipped.chinese;
    EXPECT_EQ(Ledger(), before) << "nothing stored, not even line 1";
    EXPECT_EQ(ledger.Rows("select 运单号 from 订单列表 where ID=" + std::to_string(taken))[0][0],
              "ZT9")
        << "the other user's waybill stays";
}

}  // namespace
