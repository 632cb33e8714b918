// tallovar-admin init: the real binary makes a ledger the program can use and
// refuses to touch an existing file; the demo orders look like a real ledger.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "admin_run.h"
#include "common/text_encoding.h"
#include "store/database.h"
#include "store/demo_orders.h"
#include "tests/store/ledger_fixture.h"

namespace {

class AdminTool : public LedgerTest {};

TEST_F(AdminTool, InitMakesALedgerAndRefusesAnExistingFile) {
    const AdminRun made = RunAdmin(directory_, "init boss 'pa ss' --demo 40");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const std::string path = directory_ + "/tallovar.mdb";
    ASSERT_TRUE(std::filesystem::exists(path));

    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(Gbk(path))) << db.LastError();
    const std::int32_t user = db.OpenTable("select * from sysuser where username='boss'");
    EXPECT_EQ(db.ReadColByIndex(user, 1).integer, 1);
    EXPECT_EQ(db.ReadColByName(user, "password").text, "pa ss");
    EXPECT_EQ(db.ReadColByIndex(db.OpenTable(Gbk("select count(*) from 订单列表")), 1).integer, 40);

    const auto size = std::filesystem::file_size(path);
    const AdminRun refused = RunAdmin(directory_, "init other other");
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.output.find("已存在"), std::string::npos) << refused.output;
    EXPECT_NE(refused.output.find("already exists"), std::string::npos) << refused.output;
    EXPECT_EQ(std::filesystem::file_size(path), size);
    EXPECT_EQ(db.ReadColByIndex(db.OpenTable("select count(*) from sysuser"), 1).integer, 1);

    // Nothing but the ledger is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(AdminTool, BadArgumentsChangeNothing) {
    for (const char* arguments : {"", "init", "init onlyuser", "init u p --demo",
                                  "init u p --demo -3", "init u p --demo 12x", "frobnicate"}) {
        const AdminRun run = RunAdmin(directory_, arguments);
        EXPECT_NE(run.exitCode, 0) << arguments;
        EXPECT_FALSE(run.output.empty()) << arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(directory_ + "/tallovar.mdb"));
}

TEST_F(AdminTool, DemoOrdersLookLikeARealLedger) {
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(MakeLedger(3000)));
    auto count = [&](const std::string& condition) {
        return db
            .ReadColByIndex(
                db.OpenTable(Gbk("select count(*) from 订单列表 where 1=1") + condition), 1)
            .integer;
    };
    const std::int64_t unshipped = count(Gbk(" and 快递公司 =''and 运单号 ='' "));
    EXPECT_GT(unshipped, 800);
    EXPECT_LT(unshipped, 1200);
    EXPECT_EQ(count(Gbk(" and (快递公司 ='' or 运单号 ='')")), unshipped);  // both or neither
    EXPECT_GT(count(Gbk(" and 备注 like '%问题%' ")), 0);
    EXPECT_GT(count(Gbk(" and 快递公司 like '%顺丰速运%'")), 0);
    EXPECT_EQ(count(Gbk(" and 订单日期 like '%-0%'")), 0);  // no leading zeros
    EXPECT_GT(count(Gbk(" and 订单日期 like '2021-%'")), 0);
    EXPECT_GT(count(Gbk(" and 订单日期 like '2024-%'")), 0);

    // The profit is the sale price minus the purchase price plus the commission.
    const std::int32_t h = db.OpenTable(Gbk("select * from 订单列表 where 1=1 "));
    int checked = 0;
    for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h), ++checked) {
        auto number = [&](const char* column) {
            return std::stod(db.ReadColByName(h, Gbk(column)).text);
        };
        EXPECT_NEAR(number("利润"), number("售价") - number("进价") + number("佣金"), 0.001);
    }
    EXPECT_EQ(checked, 3000);
}

TEST(DemoOrders, SameSeedSameOrdersAndTextsAsTheEditorWritesThem) {
    DemoOrderGenerator a, b;
    for (int i = 0; i < 100; ++i) EXPECT_EQ(a.Next(), b.Next());
    EXPECT_NE(DemoOrderGenerator(1).Next(), DemoOrderGenerator(2).Next());

    EXPECT_EQ(PriceText(1990), "19.90");
    EXPECT_EQ(PriceText(5), "0.05");
    EXPECT_EQ(ProfitText(2550), "25.5");
    EXPECT_EQ(ProfitText(-3000), "-30");
    EXPECT_EQ(ProfitText(-5), "-0.05");
    EXPECT_EQ(ProfitText(0), "0");
    EXPECT_EQ(DateText(18628), "2021-1-1");
    EXPECT_EQ(DateText(19731), "2024-1-9");
    EXPECT_EQ(DateText(19782), "2024-2-29");
}

}  // namespace
