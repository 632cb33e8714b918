// tallovar-admin import of the marketplaces' exports, run for real: each
// export recognised by its header without an option, its order numbers
// stored whole, the preview's verdicts, 补充运单号, and the same file
// imported twice adding nothing. The files are written here: GBK and
// UTF-8-with-BOM CSV, and a workbook by openpyxl.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "test_ledger.h"
#include "tests/admin/admin_run.h"
#include "tests/settings/temp_directory.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

const char kTaobaoHeader[] =
    "订单编号,买家会员名,买家实际支付金额,订单状态,收货人姓名,收货地址,联系电话,联系手机,"
    "订单创建时间,宝贝标题,物流单号,物流公司,订单备注,店铺名称\r\n";

class ImportCommandTest : public testing::Test {
  protected:
    AdminRun Import(const std::string& arguments) {
        std::string connect;
        if (TestLedger::OnServer()) connect = " --connect '" + ledger.ServerConnection() + "'";
        return RunAdmin(ledger.Directory(), "import" + connect + " " + arguments);
    }
    std::string File(const std::string& name, const std::string& bytes) {
        const std::string path = ledger.Directory() + "/" + name;
        WriteBytes(path, bytes);
        return "'" + path + "'";
    }
    std::string Workbook(const std::string& name, const std::string& json) {
        const std::string path = ledger.Directory() + "/" + name;
        const AdminRun made = RunShell("printf '%s' '" + json +
                                       "' | " TALLOVAR_PYTHON " " TALLOVAR_SOURCE_DIR
                                       "/tests/exchange/make_workbook.py '" +
                                       path + "'");
        EXPECT_EQ(made.exitCode, 0) << made.output;
        return "'" + path + "'";
    }
    Rows Orders() {
        return ledger.Rows(
            "select 卖家账号,订单号,快递公司,运单号,订单日期,商品名称,收货信息,售价,备注 from "
            "订单列表 order by 订单号");
    }

    TestLedger ledger;
};

TEST_F(ImportCommandTest, EachMarketplaceExportIsRecognisedStoredWholeAndImportedOnce) {
    struct Case {
        const char* preset;
        std::string file;
        const char* options;
        Rows stored;
    } cases[] = {
        {"淘宝",
         File(
             "ExportOrderList202611.csv",
             Gbk(std::string(kTaobaoHeader) +
                 "=\"3856123456789012345\",tb***1,\"￥1,299.00\",交易成功,张*,浙江省杭州市西湖区,,"
                 "138****1234,2026-11-02 13:45:01,保温杯,SF1234567890,顺丰速运,送礼,小杯子店\r\n")),
         "",
         {{"小杯子店", "3856123456789012345", "顺丰速运", "SF1234567890", "2026-11-2", "保温杯",
           "张* 138****1234 浙江省杭州市西湖区", "1299.00", "送礼 交易成功"}}},
        {"拼多多",
         File("orders_export1.csv",
              "\xEF\xBB\xBF商品,订单号,订单状态,商品总价(元),用户实付金额(元),快递单号,快递公司,"
              "订单成交时间,售后状态\n"
              "\"\t杯子\",\"\t261102-123456789012345\",\"\t已发货\",\"\t20.00\",\"\t18.50\","
              "\"\tYT0000000001\",\"\t圆通快递\",\"\t2026-11-02 10:00:00\",\"\t无售后\"\n"),
         "--account 拼店",
         {{"拼店", "261102-123456789012345", "圆通快递", "YT0000000001", "2026-11-2", "杯子", "",
           "18.50", "已发货 无售后"}}},
        {"抖店",
         Workbook("douyin.xlsx",
                  "[[\"主订单编号\",\"选购商品\",\"商品金额\",\"订单提交时间\",\"订单状态\"],"
                  "[\"6919000000000000001\",\"马克杯\",{\"number\":99,\"format\":\"0.00\"},"
                  "\"2026/11/05 08:00:00\",\"待发货\"]]"),
         "",
         {{"", "6919000000000000001", "", "", "2026-11-5", "马克杯", "", "99.00", "待发货"}}},
    };
    for (const Case& c : cases) {
        ledger.Exec("delete from 订单列表");
        const AdminRun first = Import(c.file + " " + c.options);
        EXPECT_EQ(first.exitCode, 0) << c.preset << "\n" << first.output;
        EXPECT_TRUE(Mentions(first, std::string("按“") + c.preset + "”的表头导入")) << first.output;
        EXPECT_EQ(Orders(), c.stored) << c.preset;
        const AdminRun again = Import(c.file + " " + c.options);
        EXPECT_EQ(again.exitCode, 0) << again.output;
        EXPECT_TRUE(Mentions(again, "与已有订单相同，跳过 1 行")) << again.output;
        EXPECT_EQ(Orders(), c.stored) << c.preset << ": the second import adds nothing";
        const AdminRun forced = Import(c.file + " " + c.options + " --allow-duplicates");
        EXPECT_EQ(forced.exitCode, 2) << forced.output;
        EXPECT_TRUE(Mentions(forced, "不能用 --allow-duplicates")) << forced.output;
        EXPECT_EQ(Orders(), c.stored) << c.preset << ": a refused option stores nothing";
    }
}

TEST_F(ImportCommandTest, ThePreviewJudgesEveryRowAndFillWaybillsShipsTheUnshippedOrder) {
    ledger.AddOrder({{"订单号", "A100"}, {"商品名称", "旧杯"}, {"订单日期", "2020-1-1"}});
    ledger.AddOrder(
        {{"订单号", "A300"}, {"快递公司", "圆通"}, {"运单号", "YT9"}, {"订单日期", "2020-1-1"}});
    const std::string file =
        File("ExportOrderList.csv",
             Gbk(std::string(kTaobaoHeader) +
                 "=\"A100\",b,10,已付款,王*,上海,,,2026-11-01 08:00:00,杯,SF1,顺丰速运,,店\r\n"
                 "=\"A200\",b,20,已付款,王*,上海,,,2026-11-01 08:00:00,杯,,,,店\r\n"
                 "=\"A200\",b,20,已付款,王*,上海,,,2026-11-01 08:00:00,杯,,,,店\r\n"
                 "=\"A300\",b,30,已付款,王*,上海,,,2026-11-01 08:00:00,杯,SF3,顺丰速运,,店\r\n"
                 "=\"A400\",b,面议,已付款,王*,上海,,,2026-11-01 08:00:00,杯,,,,店\r\n"));
    struct Case {
        const char* options;
        std::vector<const char*> lines;
    } cases[] = {
        {"--dry-run",
         {"2\t订单号已存在，跳过\tA100", "3\t新订单\tA200", "4\t本文件重复\tA200",
          "5\t订单号已存在，跳过\tA300", "6\t无法导入（“售价”列"}},
        {"--dry-run --fill-waybills",
         {"2\t订单号已存在，补充运单号\tA100", "5\t订单号已存在，跳过\tA300"}},
    };
    for (const Case& c : cases) {
        const AdminRun run = Import(file + " " + c.options);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        for (const char* line : c.lines) EXPECT_TRUE(Mentions(run, line)) << line << run.output;
    }
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表"), Rows{{"2"}})
        << "a preview stores nothing";

    const AdminRun refused = Import(file + " --fill-waybills");
    EXPECT_EQ(refused.exitCode, 1) << refused.output;
    EXPECT_TRUE(Mentions(refused, "第 6 行“售价”列")) << refused.output;
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表"), Rows{{"2"}});

    const AdminRun stored = Import(file + " --fill-waybills --skip-bad");
    EXPECT_EQ(stored.exitCode, 0) << stored.output;
    EXPECT_EQ(ledger.Rows("select 订单号,快递公司,运单号,订单日期<>'2020-1-1' from 订单列表 "
                          "order by 订单号"),
              (Rows{{"A100", "顺丰速运", "SF1", "1"},
                    {"A200", "", "", "1"},
                    {"A300", "圆通", "YT9", "0"}}));
    const AdminRun again = Import(file + " --fill-waybills --skip-bad");
    EXPECT_TRUE(Mentions(again, "已导入 0 张订单，补充运单号 0 张")) << again.output;
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表"), Rows{{"3"}});
}

TEST_F(ImportCommandTest, ASavedMappingIsChosenByNameAndAMappingFileByPath) {
    const std::string sheet = File("shop.csv", "单号,名称,金额\r\n S1,茶, 12 \r\n");
    const std::string mapping =
        "名称 我的店\n订单号 = 单号\n商品名称 = 名称\n售价 = 金额\n卖家账号 = \"自营\"\n";
    // A copy of the tool with its presets and the user's saved mapping
    // beside it, as the window saves one.
    const std::string program = ledger.Directory() + "/program";
    std::filesystem::create_directories(program + "/导入映射");
    std::filesystem::copy_file(TALLOVAR_BINARY_DIR "/tallovar-admin", program + "/tallovar-admin");
    std::filesystem::copy(TALLOVAR_SOURCE_DIR "/exchange/import_presets",
                          program + "/import_presets");
    WriteBytes(program + "/导入映射/我的店.txt", mapping);
    std::string connect;
    if (TestLedger::OnServer()) connect = " --connect '" + ledger.ServerConnection() + "'";
    const AdminRun byName =
        RunShell("cd '" + ledger.Directory() + "' && '" + program + "/tallovar-admin' import" +
                 connect + " " + sheet + " --preset 我的店 --dry-run");
    EXPECT_EQ(byName.exitCode, 0) << byName.output;
    EXPECT_TRUE(Mentions(byName, "2\t新订单\t S1\t\t茶\t12\t"))
        << "texts kept as they are" << byName.output;
    const AdminRun byPath = Import(sheet + " --mapping " + File("m.txt", mapping));
    EXPECT_EQ(byPath.exitCode, 0) << byPath.output;
    EXPECT_EQ(ledger.Rows("select 卖家账号,订单号,商品名称,售价 from 订单列表"),
              (Rows{{"自营", " S1", "茶", "12"}}));
    const AdminRun unknown = Import(sheet + " --preset 我的店");
    EXPECT_EQ(unknown.exitCode, 1) << "saved beside another copy of the tool";
    EXPECT_TRUE(Mentions(unknown, "没有名为“我的店”的预设")) << unknown.output;
}

TEST_F(ImportCommandTest, AnOldExcelFileIsSentBackAndOurOwnExportKeepsItsTexts) {
    const AdminRun old = Import(File("orders.xls", "\xD0\xCF\x11\xE0"));
    EXPECT_EQ(old.exitCode, 1);
    EXPECT_TRUE(Mentions(old, "请在表格程序中另存为 .xlsx 或 .csv 后再导入")) << old.output;
    // Our own layout with an order number the way a spreadsheet user wrote
    // it: kept byte for byte, as before the presets.
    const AdminRun plain = Import(File("own.csv", "订单号,售价\r\n=\"0012\",5\r\n"));
    EXPECT_EQ(plain.exitCode, 0) << plain.output;
    EXPECT_EQ(ledger.Rows("select 订单号,售价 from 订单列表"), (Rows{{"=\"0012\"", "5"}}));
}

}  // namespace
