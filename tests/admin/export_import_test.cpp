// tallovar-admin export and import: an export holds exactly what the main
// window lists for the same search, with its totals line; export then import
// gives back every text; import maps headers, detects encodings and refuses
// bad rows with their line numbers, all or nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "admin_run.h"
#include "app/process_end.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "exchange/csv.h"
#include "exchange/sheet_encoding.h"
#include "store/database.h"
#include "store/ledger_file.h"
#include "store/ledger_schema.h"
#include "test_ledger.h"
#include "tests/settings/temp_directory.h"
#include "ui/orders/fill_order_list.h"
#include "ui/orders/order_list.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The cells of every record of a sheet file, decoded as import decodes it.
Rows ReadSheet(const std::string& path, SheetEncoding expected) {
    const DecodedSheet sheet = DecodeSheet(ReadBytes(path));
    EXPECT_TRUE(sheet.ok()) << sheet.status.english;
    EXPECT_EQ(sheet.encoding, expected);
    Rows rows;
    for (const CsvRecord& record : ReadCsvRecords(sheet.utf8)) {
        EXPECT_EQ(record.error, "");
        rows.push_back(record.cells);
    }
    return rows;
}

class ExportImport : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "admin", "pw", 400).ok());
    }
    AdminRun Run(const std::string& arguments) { return RunAdmin(ledger.Directory(), arguments); }
    static Rows Orders(const TestLedger& of) {
        Rows rows = of.Rows("select " + OrderTextColumns() + " from 订单列表");
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    std::string Path(const std::string& name) const { return ledger.Directory() + "/" + name; }

    TestLedger ledger{false};
};

struct WindowView {
    Rows rows;  // header first, as the export writes it
    std::string totalsLine;
};

// What the main window shows for a search: its list and its totals line.
WindowView QueryLikeTheWindow(const OrderSearchTexts& utf8Inputs, const std::string& filter) {
    DatabaseConnection connection;
    OrderListModel list;
    WindowView view;
    OrderListDisplay display{
        connection, [&](const std::string& line) { view.totalsLine = GbkToUtf8(line); }, list};
    OrderSearchTexts inputs;
    for (std::size_t i = 0; i < inputs.size(); ++i) inputs[i] = Gbk(utf8Inputs[i]);
    QueryOrders(display, inputs, Gbk(filter));
    std::vector<std::string> header;
    for (const OrderColumn& column : OrderListColumns()) header.push_back(GbkToUtf8(column.name));
    view.rows.push_back(header);
    for (int r = 0; r < list.ItemCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < OrderListModel::kColumns; ++c) {
            row.push_back(GbkToUtf8(list.ItemText(r, c)));
        }
        view.rows.push_back(row);
    }
    return view;
}

TEST_F(ExportImport, ExportHoldsWhatTheMainWindowListsForTheSameSearch) {
    ledger.AddOrder({{"卖家账号", "it's 晴天"}, {"售价", "-30"}, {"备注", "问题：破损"}});
    struct Case {
        const char* options;
        OrderSearchTexts inputs;
        const char* filter;
    };
    const Case cases[] = {
        {"", {}, ""},
        {"--seller 晴天", {"晴天"}, ""},
        {"--express 顺丰 --goods 保温杯", {"", "", "顺丰", "", "保温杯"}, ""},
        {"--order-no 12 --waybill SF --purchase-order 29", {"", "12", "", "SF", "", "", "29"}, ""},
        {"--purchase-account 小号 --delivery 深圳 --remark 催",
         {"", "", "", "", "", "小号", "", "深圳", "催"},
         ""},
        {"--waiting", {}, "等待收货"},
        {"--problem --seller 阿福", {"阿福"}, "问题单"},
        {"--seller \"it's\"", {"it's"}, ""},
        {"--seller 没有这个卖家", {"没有这个卖家"}, ""},
    };
    for (const Case& c : cases) {
        const WindowView window = QueryLikeTheWindow(c.inputs, c.filter);
        const AdminRun run = Run(std::string("export --force --output out.csv ") + c.options);
        ASSERT_EQ(run.exitCode, 0) << c.options << ": " << run.output;
        Rows sheet = ReadSheet(Path("out.csv"), SheetEncoding::Utf8WithBom);
        ASSERT_FALSE(sheet.empty());
        const std::vector<std::string> totals = sheet.back();
        sheet.pop_back();
        EXPECT_EQ(sheet, window.rows) << c.options;
        ASSERT_EQ(totals.size(), 15u);
        EXPECT_EQ(totals[0], window.totalsLine) << c.options;
        // The four sums stand under their columns, as the totals line has them.
        const std::string sums = "总售价：" + totals[6] + "元  总进价：" + totals[7] +
                                 "元  总佣金：" + totals[8] + "元  总利润：" + totals[9] + "元";
        EXPECT_TRUE(window.totalsLine.ends_with(sums)) << window.totalsLine;
    }
    EXPECT_GT(QueryLikeTheWindow({"晴天"}, "").rows.size(), 10u);  // the searches do select
    EXPECT_EQ(QueryLikeTheWindow({"it's"}, "").rows.size(), 2u);
}

TEST_F(ExportImport, FilteredExportReadsAsTheSameChineseTextInBothEncodings) {
    ASSERT_EQ(Run("export --problem --output utf8.csv").exitCode, 0);
    ASSERT_EQ(Run("export --problem --gbk --output gbk.csv").exitCode, 0);
    const std::string utf8 = ReadBytes(Path("utf8.csv"));
    const std::string gbk = ReadBytes(Path("gbk.csv"));
    EXPECT_TRUE(
        utf8.starts_with("\xEF\xBB\xBF"
                         "ID,卖家账号,订单号,"));
    EXPECT_TRUE(gbk.starts_with("\"ID\"," + Gbk("卖家账号,订单号,")));
    EXPECT_FALSE(IsValidUtf8(gbk));  // so a reader cannot take it for UTF-8
    const Rows rows = ReadSheet(Path("utf8.csv"), SheetEncoding::Utf8WithBom);
    EXPECT_EQ(ReadSheet(Path("gbk.csv"), SheetEncoding::Gbk), rows);
    EXPECT_GT(rows.size(), 5u);
    for (std::size_t r = 1; r + 1 < rows.size(); ++r) {
        EXPECT_NE(rows[r][14].find("问题"), std::string::npos) << rows[r][14];
    }
}

TEST_F(ExportImport, ExportThenImportGivesBackEveryText) {
    ledger.AddOrder({{"卖家账号", "=HYPERLINK(\"http://x\",\"点我\")"},
                     {"订单号", "+86 138"},
                     {"快递公司", "@快递"},
                     {"运单号", "'=已转义"},
                     {"商品名称", "毛毯, 1.5\"×2米"},
                     {"收货信息", "张三\r\n深圳市\n南山区"},
                     {"售价", "-30"},
                     {"购买账号", "-"},
                     {"购买订单号", "\t-5"},
                     {"备注", "表情 😀 和 繁體"}});
    ledger.AddOrder({});
    const Rows original = Orders(ledger);
    for (const char* encoding : {"", "--gbk --gb18030"}) {
        ASSERT_EQ(Run(std::string("export --force --output out.csv ") + encoding).exitCode, 0);
        TestLedger target(false);
        ASSERT_TRUE(CreateLedger(target.DatabaseFile(), "a", "b").ok());
        const AdminRun run = RunAdmin(target.Directory(), "import '" + Path("out.csv") + "'");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_TRUE(Mentions(run, "402 orders imported")) << run.output;
        EXPECT_TRUE(Mentions(run, "1 totals rows skipped")) << run.output;
        EXPECT_EQ(Orders(target), original) << encoding;
    }
}

TEST_F(ExportImport, ImportReadsEachEncodingAndMapsHeadersByName) {
    // Columns in another order, ID and empty trailing columns left out,
    // a blank row, missing columns stored empty, a totals row skipped.
    const std::string sheet =
        "备注,售价,ID,卖家账号,,\r\n"
        "\"加急,周末\",19.90,7,小鹿家居,,\r\n"
        ",,,,,\r\n"
        "-,\"1,299.00\",8,木子,,\r\n"
        ",100,记录：当前有2单  总售价：100元,,,\r\n";
    const Rows expected = {
        {"小鹿家居", "", "", "", "", "", "", "", "", "19.90", "", "", "", "加急,周末"},
        {"木子", "", "", "", "", "", "", "", "", "1299.00", "", "", "", "-"},
    };
    const std::string files[][2] = {
        {"bom.csv", "\xEF\xBB\xBF" + sheet},
        {"utf8.csv", sheet},
        {"gbk.csv", Gbk(sheet)},
    };
    const Rows before = Orders(ledger);
    for (const auto& [name, bytes] : files) {
        TestLedger target(false);
        ASSERT_TRUE(CreateLedger(target.DatabaseFile(), "a", "b").ok());
        WriteBytes(target.Directory() + "/" + name, bytes);
        const AdminRun run = RunAdmin(target.Directory(), "import " + name);
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.output;
        EXPECT_EQ(Orders(target), expected) << name;
    }

    WriteBytes(Path("utf16.csv"), std::string("\xFF\xFE"
                                              "I\0D\0",
                                              6));
    WriteBytes(Path("unknown.csv"), "卖家账号,颜色\n晴天,红\n");
    WriteBytes(Path("stray.csv"), "卖家账号,\n雨天,红\n");
    struct Refused {
        const char* arguments;
        const char* says;
    };
    const Refused refused[] = {
        {"import utf16.csv", "UTF-16"},
        {"import unknown.csv", "颜色"},
        {"import stray.csv", "empty header"},
        {"import missing.csv", "无法打开文件"},
        {"import", "usage"},
    };
    for (const Refused& r : refused) {
        const AdminRun run = Run(r.arguments);
        EXPECT_NE(run.exitCode, 0) << r.arguments;
        EXPECT_TRUE(Mentions(run, r.says)) << r.arguments << ": " << run.output;
    }
    EXPECT_EQ(Orders(ledger), before);
    EXPECT_EQ(Run("import unknown.csv --ignore-unknown").exitCode, 0);
    EXPECT_EQ(Run("import stray.csv --ignore-unknown").exitCode, 0);
    EXPECT_EQ(Orders(ledger).size(), before.size() + 2);
}

TEST_F(ExportImport, RefusedRowsAreReportedByLineAndNothingIsStoredUnlessAsked) {
    WriteBytes(Path("bad.csv"),
               "卖家账号,收货信息,售价\n"  // 1
               "好,\"两行\n地址\",10\n"    // 2-3
               "少一格,20\n"               // 4
               "好,\"x\"y,30\n"            // 5
               "多,一,格,了\n"             // 6
               "好,a \"b\" c,40\r"         // 7: a bare quote stays; CR ends a line
               "坏,\"没有闭合,50\n"        // 8
               "吞,掉,60\n");
    const Rows before = Orders(ledger);
    const AdminRun run = Run("import bad.csv");
    EXPECT_NE(run.exitCode, 0);
    for (const char* line : {"line 4: 2 cells, the header has 3", "line 5: characters after",
                             "line 6: 4 cells", "line 8: unterminated quote"}) {
        EXPECT_TRUE(Mentions(run, line)) << line << "\n" << run.output;
    }
    EXPECT_FALSE(Mentions(run, "line 2:"));
    EXPECT_FALSE(Mentions(run, "line 7:"));
    EXPECT_TRUE(Mentions(run, "nothing was imported")) << run.output;
    EXPECT_EQ(Orders(ledger), before);

    const AdminRun skipping = Run("import bad.csv --skip-bad");
    EXPECT_EQ(skipping.exitCode, 0) << skipping.output;
    EXPECT_TRUE(Mentions(skipping, "2 orders imported")) << skipping.output;
    EXPECT_EQ(ledger.Rows("select 收货信息, 售价 from 订单列表 where ID > 400 order by ID"),
              (Rows{{"两行\n地址", "10"}, {"a \"b\" c", "40"}}));
}

}  // namespace
