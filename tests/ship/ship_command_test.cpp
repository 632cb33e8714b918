// tallovar-admin ship run for real on the file ledger and, in the server
// run, with --connect on a team ledger: what it previews, what it stores
// and the exit code, for pasted lines, GBK input and a supplier's sheets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "test_ledger.h"
#include "tests/admin/admin_run.h"
#include "tests/settings/temp_directory.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class ShipCommandTest : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* number : {"N1", "N2", "N3"}) {
            ledger.AddOrder({{"订单号", number},
                             {"购买订单号", std::string("P") + (number + 1)},
                             {"订单日期", "2020-1-1"}});
        }
        ledger.AddOrder({{"订单号", "12345678"}, {"订单日期", "2020-1-1"}});
    }
    AdminRun Ship(const std::string& arguments, const std::string& input = "") {
        std::string connect;
        if (TestLedger::OnServer()) connect = " --connect '" + ledger.ServerConnection() + "'";
        return RunAdmin(ledger.Directory(), "ship" + connect + " " + arguments, input);
    }
    // The shipped orders: number, courier, waybill, whether dated today.
    Rows Shipped() {
        return ledger.Rows(
            "select 订单号,快递公司,运单号,订单日期<>'2020-1-1' from 订单列表 where 运单号<>'' "
            "order by 订单号");
    }
    std::string File(const std::string& name, const std::string& bytes) {
        const std::string path = ledger.Directory() + "/" + name;
        WriteBytes(path, bytes);
        return "'" + path + "'";
    }

    TestLedger ledger;
};

TEST_F(ShipCommandTest, ShipsOnlyWhatWasAskedAndSaysSo) {
    const std::string lines = "N1 SF11 顺丰\nP2\tYT22\nZZ SF33\n";
    struct Case {
        const char* options;
        int exitCode;
        Rows shipped;
        const char* says;
    } cases[] = {
        {"--dry-run", 0, {}, "找不到订单 1 行"},
        {"", 1, {}, "第 3 行不能发货，全部未发货"},
        {"--skip-bad",
         0,
         {{"N1", "顺丰", "SF11", "1"}, {"N2", "圆通", "YT22", "1"}},
         "跳过第 3 行"},
        {"--skip-bad",
         1,
         {{"N1", "顺丰", "SF11", "1"}, {"N2", "圆通", "YT22", "1"}},
         "没有可发货的行"},
    };
    const std::string file = File("lines.txt", lines);
    for (const Case& c : cases) {
        const AdminRun run = Ship(std::string(c.options) + " " + file);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.options << "\n" << run.output;
        EXPECT_EQ(Shipped(), c.shipped) << c.options;
        EXPECT_TRUE(Mentions(run, c.says)) << c.options << "\n" << run.output;
    }
    const AdminRun second = Ship(file);
    EXPECT_TRUE(Mentions(second, "1\tN1\t1\t已发货\t顺丰\tSF11")) << second.output;
}

TEST_F(ShipCommandTest, ReadsGbkLinesAndSupplierSheets) {
    struct Case {
        const char* what;
        std::string file;
        Rows shipped;
    } cases[] = {
        {"GBK lines",
         File("gbk.txt", Gbk("N1,SF11,顺丰\r\nN2,JT22,极兔\r\n")),
         {{"N1", "顺丰", "SF11", "1"}, {"N2", "极兔", "JT22", "1"}}},
        {"a CSV sheet with a title above its header",
         File("supplier.csv",
              "\xEF\xBB\xBF"
              "发货单 12月8日,,\n物流公司,商品名称,订单编号,快递单号\n"
              "韵达,杯子,=\"N3\",'434567890123456\n,,,\n申通,碗,12345678,\t77123456789012\n"),
         {{"12345678", "申通", "77123456789012", "1"}, {"N3", "韵达", "434567890123456", "1"}}},
    };
    for (const Case& c : cases) {
        const AdminRun run = Ship(c.file);
        EXPECT_EQ(run.exitCode, 0) << c.what << "\n" << run.output;
        EXPECT_EQ(Shipped(), c.shipped) << c.what;
        ledger.Exec("update 订单列表 set 快递公司='',运单号=''");
    }
}

TEST_F(ShipCommandTest, AWorkbookNumberTheSpreadsheetDamagedShipsNothing) {
    const std::string path = ledger.Directory() + "/supplier.xlsx";
    const AdminRun made = RunShell(
        "printf '%s' '[[\"订单号\",\"运单号\",\"快递公司\"],[12345678,\"SF1\",\"顺丰\"],"
        "[{\"number\":1.23456789012345e17,\"format\":\"0.00E+00\"},\"SF2\",\"顺丰\"]]' "
        "| " TALLOVAR_PYTHON " " TALLOVAR_SOURCE_DIR "/tests/exchange/make_workbook.py '" +
        path + "'");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const AdminRun run = Ship("'" + path + "'");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(Mentions(run, "2\t12345678\t4\t可发货"))
        << "row 2: a number cell of an order number";
    EXPECT_TRUE(Mentions(run, "无法读取")) << run.output;
    EXPECT_EQ(Shipped(), Rows{});
}

TEST_F(ShipCommandTest, AGuessThatIsNotSureNamesTheCandidates) {
    const AdminRun run = Ship("-", "N1 434567890123456");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(Mentions(run, "缺快递公司（可能是 申通、韵达）")) << run.output;
    EXPECT_EQ(Ship("").exitCode, 2);
    EXPECT_EQ(Shipped(), Rows{});
}

}  // namespace
