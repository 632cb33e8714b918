// Spreadsheet exchange through tallovar-admin, checked with clients nobody
// here wrote: openpyxl reads every exported workbook and writes the import
// fixtures, LibreOffice Calc opens an export and saves it again. Order
// numbers and waybills must come back with every digit, money as the same
// number, and damage must be refused instead of stored.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "common/text_limit.h"
#include "store/database.h"
#include "store/ledger_file.h"
#include "store/order_statements.h"
#include "test_ledger.h"
#include "tests/admin/admin_run.h"
#include "tests/settings/temp_directory.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::string kPython = TALLOVAR_PYTHON;
const std::string kHere = TALLOVAR_SOURCE_DIR "/tests/exchange/";

const char* const kColumns =
    "卖家账号,订单号,快递公司,运单号,订单日期,商品名称,购买账号,购买订单号,收货信息,售价,进价,"
    "佣金,利润,备注";

QJsonObject ReadWorkbook(const std::string& path) {
    const AdminRun run = RunShell(kPython + " " + kHere + "workbook_cells.py '" + path + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.output)).object();
}

void MakeWorkbook(const std::string& path, const std::string& json,
                  const std::string& options = "") {
    WriteBytes(path + ".json", json);
    const AdminRun run = RunShell(kPython + " " + kHere + "make_workbook.py '" + path + "' " +
                                  options + " < '" + path + ".json'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
}

void MakeDamagedWorkbook(const std::string& path, const std::string& kind) {
    const AdminRun run =
        RunShell(kPython + " " + kHere + "damaged_workbook.py " + kind + " '" + path + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
}

// A cell as openpyxl reads it: value as text, type ('s' text, 'n' number), format.
struct ReadCell {
    std::string value;
    std::string type;
    std::string format;
};

ReadCell CellAt(const QJsonObject& book, int sheet, int row, int column) {
    const QJsonArray cell = book["sheets"][sheet][row][column].toArray();
    const QJsonValue value = cell[0];
    std::string text = value.isString()   ? value.toString().toStdString()
                       : value.isDouble() ? QString::number(value.toDouble(), 'g', 17).toStdString()
                                          : "";
    return {text, cell[1].toString().toStdString(), cell[2].toString().toStdString()};
}

class Exchange : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "admin", "pw").ok()); }
    AdminRun Run(const std::string& arguments) { return RunAdmin(ledger.Directory(), arguments); }
    std::string Path(const std::string& name) const { return ledger.Directory() + "/" + name; }

    // Imports a file into a new, empty ledger; its orders in ID order.
    static AdminRun ImportIntoNewLedger(const std::string& file, Rows& orders,
                                        const std::string& options = "") {
        TestLedger target(false);
        EXPECT_TRUE(CreateLedger(target.DatabaseFile(), "a", "b").ok());
        const AdminRun run = RunAdmin(target.Directory(), "import '" + file + "' " + options);
        orders = target.Rows(std::string("select ") + kColumns + " from 订单列表 order by ID");
        return run;
    }

    // Writes a file to import: a workbook from JSON rows ("[...]") or of a
    // damaged_workbook.py kind when the name ends in .xlsx, else the bytes
    // given; imports it into a new ledger and checks that the output says
    // each of says.
    AdminRun ImportSheet(const std::string& name, const std::string& content, Rows& stored,
                         const std::vector<const char*>& says, const std::string& options = "") {
        const std::string file = Path(name);
        if (name.ends_with(".xlsx") && content.starts_with('[')) {
            MakeWorkbook(file, content);
        } else if (name.ends_with(".xlsx")) {
            MakeDamagedWorkbook(file, content);
        } else {
            WriteBytes(file, content);
        }
        const AdminRun run = ImportIntoNewLedger(file, stored, options);
        for (const char* text : says) {
            EXPECT_TRUE(Mentions(run, text)) << name << " should say " << text << ":\n"
                                             << run.output;
        }
        return run;
    }

    TestLedger ledger{false};
};

// The orders every round trip carries: marketplace order numbers of 16 to
// 20 digits, waybills with leading zeros, money with and without decimals.
void AddHardOrders(const TestLedger& ledger) {
    ledger.AddOrder({{"卖家账号", "晴天小店"},
                     {"订单号", "3856123456789012345"},
                     {"运单号", "000123456789"},
                     {"订单日期", "2024-3-5"},
                     {"购买订单号", "0012345678901234"},
                     {"售价", "150.50"},
                     {"进价", "1299"},
                     {"佣金", "0.5"},
                     {"利润", "-30"},
                     {"备注", "=SUM(A1)"}});
    ledger.AddOrder({{"卖家账号", "0001"},
                     {"订单号", "12345678901234567890"},
                     {"运单号", "SF0001"},
                     {"售价", "abc"},
                     {"收货信息", "张三，\n深圳"}});
}

TEST_F(Exchange, ExportedWorkbookKeepsTextsAsTextAndMoneyAsNumbers) {
    AddHardOrders(ledger);
    for (const char* options : {"--output a.xlsx", "--xlsx --output b.XLSX"}) {
        const AdminRun run = Run(std::string("export ") + options);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const QJsonObject book =
            ReadWorkbook(Path(std::string(options).ends_with("a.xlsx") ? "a.xlsx" : "b.XLSX"));
        EXPECT_EQ(book["names"].toArray(), QJsonArray({"订单列表", "合计"}));
        EXPECT_EQ(book["frozen"][0].toString(), "A2");
        // Rows come as the list shows them: newest order date first.
        struct Expected {
            int row, column;
            ReadCell cell;
        };
        const Expected cells[] = {
            {0, 2, {"订单号", "s", "General"}},
            {1, 2, {"3856123456789012345", "s", "General"}},
            {1, 4, {"000123456789", "s", "General"}},
            {1, 12, {"0012345678901234", "s", "General"}},
            {1, 10, {"2024-3-5", "s", "General"}},
            {1, 14, {"=SUM(A1)", "s", "General"}},
            {1, 6, {"150.5", "n", "0.00"}},
            {1, 7, {"1299", "n", "0"}},
            {1, 8, {"0.5", "n", "0.0"}},
            {1, 9, {"-30", "n", "0"}},
            {2, 1, {"0001", "s", "General"}},
            {2, 2, {"12345678901234567890", "s", "General"}},
            {2, 6, {"abc", "s", "General"}},
            {2, 13, {"张三，\n深圳", "s", "General"}},
        };
        for (const Expected& e : cells) {
            const ReadCell cell = CellAt(book, 0, e.row, e.column);
            EXPECT_EQ(cell.value, e.cell.value) << options << " " << e.row << "," << e.column;
            EXPECT_EQ(cell.type, e.cell.type) << e.cell.value;
            EXPECT_EQ(cell.format, e.cell.format) << e.cell.value;
        }
        EXPECT_EQ(book["sheets"][0].toArray().size(), 3);  // no totals row among the orders
        // The totals sheet: the count, then the four sums as numbers.
        const std::vector<std::string> totals = {"2", "150.5", "1299", "0.5", "-30"};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(CellAt(book, 1, i + 1, 1).value, totals[i]) << i;
            EXPECT_EQ(CellAt(book, 1, i + 1, 1).type, "n") << i;
        }
    }
}

TEST_F(Exchange, LibreOfficeSavesAnExportAsXlsxAndCsvAndImportGivesBackEveryOrder) {
    std::filesystem::create_directory(Path("demo"));
    ASSERT_TRUE(CreateLedger(Path("demo/tallovar.mdb"), "a", "b", 40).ok());
    ASSERT_TRUE(std::filesystem::copy_file(Path("demo/tallovar.mdb"), Path("tallovar.mdb"),
                                           std::filesystem::copy_options::overwrite_existing));
    AddHardOrders(ledger);
    ledger.Exec("update 订单列表 set 售价='150.50' where 售价='abc'");  // every price a number
    const Rows original =
        ledger.Rows(std::string("select ") + kColumns + " from 订单列表 order by ID");
    ASSERT_EQ(Run("export --output orders.xlsx").exitCode, 0);

    TempDirectory profile;
    const std::string office = "soffice -env:UserInstallation=file://" + profile.path.string() +
                               " --headless --convert-to ";
    const auto start = std::chrono::steady_clock::now();
    for (const char* filter : {"xlsx", "'csv:Text - txt - csv (StarCalc):44,34,76,1'"}) {
        const AdminRun run = RunShell(office + filter + " --outdir '" + Path("saved") + "' '" +
                                      Path("orders.xlsx") + "'");
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("LibreOffice, two conversions: %.1f s\n", seconds);

    // Money columns 9 to 12 compare as numbers, every other column byte for byte.
    const auto comparable = [](Rows rows) {
        for (auto& row : rows) {
            for (std::size_t c = 9; c <= 12; ++c) {
                row[c] = std::to_string(std::strtod(row[c].c_str(), nullptr));
            }
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    for (const char* file : {"orders.xlsx", "saved/orders.xlsx", "saved/orders.csv"}) {
        Rows imported;
        const AdminRun run = ImportIntoNewLedger(Path(file), imported);
        ASSERT_EQ(run.exitCode, 0) << file << ": " << run.output;
        EXPECT_EQ(comparable(imported), comparable(original)) << file;
    }
}

TEST_F(Exchange, ImportRefusesDamageAndTakesWhatASpreadsheetShows) {
    struct Case {
        const char* name;
        std::string content;  // CSV bytes, or the JSON rows of a workbook (.xlsx)
        const char* options;
        bool imported;
        std::vector<const char*> says;
        Rows stored;  // 卖家账号, 订单号, 运单号, 订单日期, 售价, 进价, 佣金, 利润, 备注
    };
    const std::string header = "卖家账号,订单号,运单号,订单日期,售价,进价,佣金,利润,备注";
    const Case cases[] = {
        {"scientific.csv",
         header + "\r\n店,3.85612345678901E+018,,,10,,,,\r\n店,12,,,20,,,,\r\n",
         "",
         false,
         {"第 2 行", "“订单号”列", "请把该列设为文本后重新保存"},
         {}},
        {"long-number.xlsx",
         R"([["卖家账号","订单号"],["店",3856123456789012345]])",
         "",
         false,
         {"第 2 行", "“订单号”列", "超过 15 位", "请把该列设为文本后重新保存"},
         {}},
        {"shown.xlsx",
         R"([["卖家账号","订单号","运单号","订单日期","售价","进价","佣金","利润","备注"],
             ["店","161941644989792426",12345,{"date":"2024-03-05","format":"yyyy/m/d"},
              {"number":1299,"format":"#,##0.00"},{"number":150.5,"format":"0.00"},"¥1299",
              "１２９９",true]])",
         "",
         true,
         {"1 cells of text columns", "2 money texts"},
         {{"店", "161941644989792426", "12345", "2024-3-5", "1299.00", "150.50", "1299", "1299",
           "TRUE"}}},
        {"money.csv",
         "卖家账号,售价\r\n甲,\"1,299.00\"\r\n乙,¥1299\r\n丙,１２９９\r\n丁,一千\r\n",
         "",
         false,
         {"第 5 行", "“售价”列", "“一千”不是金额"},
         {}},
        {"money-skip.csv",
         "卖家账号,售价\r\n甲,\"1,299.00\"\r\n乙,¥1299\r\n丁,\"1,2,3\"\r\n",
         "--skip-bad",
         true,
         {"2 money texts", "第 4 行"},
         {{"甲", "", "", "", "1299.00", "", "", "", ""},
          {"乙", "", "", "", "1299", "", "", "", ""}}},
        {"remark.csv",
         "卖家账号,备注\r\n甲,记录：当前有3单\r\n",
         "",
         true,
         {},
         {{"甲", "", "", "", "", "", "", "", "记录：当前有3单"}}},
        {"long-text.csv",
         "卖家账号,备注\r\n甲," + std::string(kFieldTextLimit + 1, 'x') + "\r\n",
         "",
         false,
         {"第 2 行", "“备注”列", "上限"},
         {}},
    };
    for (const Case& c : cases) {
        Rows stored;
        const AdminRun run = ImportSheet(c.name, c.content, stored, c.says, c.options);
        EXPECT_EQ(run.exitCode == 0, c.imported) << c.name << ": " << run.output;
        Rows picked;
        for (const auto& order : stored) {
            picked.push_back({order[0], order[1], order[3], order[4], order[9], order[10],
                              order[11], order[12], order[13]});
        }
        EXPECT_EQ(picked, c.stored) << c.name;
    }
}

TEST_F(Exchange, NormalisedPricesGiveTheTotalsTheWindowShows) {
    WriteBytes(Path("prices.csv"),
               "卖家账号,售价\r\n甲,\"1,299.00\"\r\n乙,¥199.90\r\n丙,１４９\r\n");
    ASSERT_EQ(Run("import prices.csv").exitCode, 0);
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(Gbk(ledger.DatabaseFile())));
    OrderTotals totals;
    ASSERT_TRUE(ReadOrderTotals(db, BuildOrderStatements({}, ""), totals));
    EXPECT_EQ(totals.count, 3);
    EXPECT_EQ(totals.sums[0], "1647.9");
}

TEST_F(Exchange, ASheetImportedTwiceLeavesOutTheOrdersAlreadyThere) {
    WriteBytes(Path("twice.csv"), "卖家账号,订单号\r\n甲,1\r\n乙,2\r\n");
    ASSERT_EQ(Run("import twice.csv").exitCode, 0);
    const AdminRun again = Run("import twice.csv");
    EXPECT_EQ(again.exitCode, 0) << again.output;
    EXPECT_TRUE(Mentions(again, "2 duplicate orders left out")) << again.output;
    EXPECT_TRUE(Mentions(again, "0 orders imported")) << again.output;
    EXPECT_EQ(Run("import twice.csv --allow-duplicates").exitCode, 0);
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表"), (Rows{{"4"}}));
}

TEST_F(Exchange, GbkExportRefusesWhatGbkCannotHoldUnlessGb18030IsAsked) {
    struct Case {
        const char* remark;
        const char* outsideGbk;  // the character reported, or empty
    };
    const Case cases[] = {
        {"繁體中文 ok", ""}, {"价格 €5", ""}, {"表情 😀", "😀"}, {"罕见字 𠀀", "𠀀"}};
    for (const Case& c : cases) {
        ledger.Exec("delete from 订单列表");
        ledger.AddOrder({{"卖家账号", "店"}, {"备注", c.remark}});
        const AdminRun gbk = Run("export --force --gbk --output gbk.csv");
        const std::string outside = c.outsideGbk;
        EXPECT_EQ(gbk.exitCode == 0, outside.empty()) << c.remark << ": " << gbk.output;
        if (!outside.empty()) {
            EXPECT_TRUE(Mentions(gbk, "第 2 行“备注”列有 GBK 中没有的字符“" + outside + "”"))
                << gbk.output;
        }
        EXPECT_EQ(Run("export --force --gbk --gb18030 --output wide.csv").exitCode, 0);
        EXPECT_TRUE(ReadBytes(Path("wide.csv")).starts_with("\"ID\","));
    }
}

// Code page 936, as Excel on a Chinese system writes and reads it, has the
// euro sign as the single byte 0x80; every other character keeps its bytes.
TEST_F(Exchange, GbkFilesCarryTheEuroSignAsCodePage936Does) {
    ledger.AddOrder({{"卖家账号", "店"}, {"备注", "价格 €5，欧元"}});
    const AdminRun run = Run("export --gbk --output gbk.csv");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string bytes = ReadBytes(Path("gbk.csv"));
    EXPECT_NE(bytes.find("\xBC\xDB\xB8\xF1 \x80"
                         "5\xA3\xAC\xC5\xB7\xD4\xAA"),
              std::string::npos);
    Rows orders;
    const AdminRun back = ImportIntoNewLedger(Path("gbk.csv"), orders);
    ASSERT_EQ(back.exitCode, 0) << back.output;
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0][13], "价格 €5，欧元");
}

TEST_F(Exchange, ExportAndBackupNeverWriteOverTheLedgerNorAFileWithoutForce) {
    ledger.AddOrder({{"卖家账号", "店"}});
    ASSERT_EQ(Run("backup copy.mdb").exitCode, 0);
    WriteBytes(Path("old.csv"), "old");
    std::filesystem::create_symlink(Path("tallovar.mdb"), Path("link.csv"));
    const std::string before = ReadBytes(ledger.DatabaseFile());
    struct Case {
        const char* arguments;
        bool done;
    };
    const Case cases[] = {
        {"export --output tallovar.mdb", false},
        {"export --force --output tallovar.mdb", false},
        {"export --force --output link.csv", false},
        {"export --force --xlsx --output copy.mdb", false},
        {"export --output old.csv", false},
        {"backup old.csv", false},
        {"backup tallovar.mdb --force", false},
        {"backup copy.mdb --force", false},
        {"export --force --output old.csv", true},
        {"backup old.csv --force", true},
    };
    for (const Case& c : cases) {
        const AdminRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode == 0, c.done) << c.arguments << ": " << run.output;
    }
    EXPECT_EQ(ReadBytes(ledger.DatabaseFile()), before);
    EXPECT_TRUE(ReadBytes(Path("copy.mdb")).starts_with("SQLite format 3"));
}

TEST_F(Exchange, ImportOfAHugeLineIsRefusedWithinBoundedMemory) {
    WriteBytes(Path("commas.csv"), "卖家账号\n" + std::string(50'000'000, ',') + "\n");
    WriteBytes(Path("header.csv"), std::string(50'000'000, ',') + "\n");
    for (const char* file : {"commas.csv", "header.csv"}) {
        const AdminRun run = Run(std::string("import ") + file);
        EXPECT_EQ(run.exitCode, 1) << file << ": " << run.output;
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 1024 * 1024) << "peak kilobytes of a child";
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表"), (Rows{{"0"}}));
}

// Texts with line breaks and control characters, which a workbook writes
// as _xHHHH_ escapes, and texts that hold such an escape literally.
TEST_F(Exchange, EveryTextComesBackFromAWorkbookToImportAndToOpenpyxl) {
    const std::vector<std::string> remarks = {
        "第一行\r\n第二行",  "只有\r回车",       "换行\n",
        "响铃\x07",          "控制\x01\x1F\x0B", "制表\t符",
        "字面 _x000D_ 转义", "_x005F_",          "a_x0041_b_X0041__x00",
        "_x000D__x000A_",    "  前后空格  ",     "<a & b>\"'",
        "\t制表开头\n",
    };
    for (const std::string& remark : remarks) {
        ledger.AddOrder({{"卖家账号", "店"}, {"订单号", "1"}, {"备注", remark}});
    }
    ASSERT_EQ(Run("export --xlsx --output orders.xlsx").exitCode, 0);

    Rows orders;
    const AdminRun run = ImportIntoNewLedger(Path("orders.xlsx"), orders);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::vector<std::string> imported;
    for (const auto& order : orders) imported.push_back(order[13]);
    std::vector<std::string> expected = remarks;
    std::sort(imported.begin(), imported.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(imported, expected);

    // The same orders again are recognised as the ones already there.
    const AdminRun again = Run("import orders.xlsx");
    EXPECT_TRUE(Mentions(again, std::to_string(remarks.size()) + " duplicate orders left out"))
        << again.output;

    std::vector<std::string> read;
    const QJsonObject book = ReadWorkbook(Path("orders.xlsx"));
    const auto rows = static_cast<int>(book["sheets"][0].toArray().size());
    for (int row = 1; row < rows; ++row) read.push_back(CellAt(book, 0, row, 14).value);
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, expected);
}

TEST_F(Exchange, ImportFindsTheHeaderBelowATitleAndRefusesFormulasWithoutAResult) {
    struct Case {
        const char* name;
        std::string content;  // CSV bytes, or the JSON rows of a workbook (.xlsx)
        bool imported;
        std::vector<const char*> says;
        Rows stored;  // 卖家账号, 订单号, 备注
    };
    const Case cases[] = {
        {"title.xlsx",
         R"([["2024年3月订单"],[],["卖家账号","订单号","备注"],["店","1","x"]])",
         true,
         {"表头在第 3 行", "第 1 行“2024年3月订单”"},
         {{"店", "1", "x"}}},
        {"title.csv",
         "订单导出,\r\n,\r\nID,卖家账号\r\n1,店\r\n",
         true,
         {"表头在第 3 行", "第 1 行“订单导出”、第 2 行"},
         {{"店", "", ""}}},
        {"no-header.xlsx",
         R"([["订单"],["卖家账号","店名"],["店","x"]])",
         false,
         {"不认识的列"},
         {}},
        {"formula-money.xlsx",
         R"([["卖家账号","利润"],["店",{"formula":"=1+1"}]])",
         false,
         {"第 2 行“利润”列是没有保存结果的公式：请在表格程序中打开并保存该文件后再导入"},
         {}},
        {"formula-text.xlsx",
         R"([["卖家账号","备注"],["店",{"formula":"=A1"}]])",
         false,
         {"第 2 行", "“备注”列是没有保存结果的公式"},
         {}},
        {"formula-alone.xlsx",
         R"([["卖家账号","备注"],["店","x"],[null,{"formula":"=A2"}]])",
         false,
         {"第 3 行", "“备注”列是没有保存结果的公式"},
         {}},
    };
    for (const Case& c : cases) {
        Rows stored;
        const AdminRun run = ImportSheet(c.name, c.content, stored, c.says);
        EXPECT_EQ(run.exitCode == 0, c.imported) << c.name << ": " << run.output;
        Rows picked;
        for (const auto& order : stored) picked.push_back({order[0], order[1], order[13]});
        EXPECT_EQ(picked, c.stored) << c.name;
    }
}

// Files no spreadsheet program writes: each is refused saying what is wrong,
// in bounded memory, or read when only its form is unusual.
TEST_F(Exchange, ImportNamesWhatIsWrongWithAFileThatIsNoOrderSheet) {
    std::string noise(100000, '\0');
    std::mt19937 random(7);
    for (char& c : noise) c = static_cast<char>(random());
    struct Case {
        const char* name;
        std::string kind;  // damaged_workbook.py's, or the bytes of a file
        bool imported;
        const char* says;
    };
    const Case cases[] = {
        {"not-xml.xlsx", "not-xml", false, "“xl/worksheets/sheet1.xml”部分不是 XML"},
        {"changed.xlsx", "changed", false, "“xl/worksheets/sheet1.xml”部分校验和不符"},
        {"cut.xlsx", "cut", false, "工作簿已损坏或不完整"},
        {"shared-bomb.xlsx", "shared-bomb", false, "共享文字超过"},
        {"long-cell.xlsx", "long-cell", false, "第 2 行有一个单元格超过 2 MB"},
        {"wide-row.xlsx", "wide-row", false, "第 2 行的内容超过 32 MB"},
        {"comment.xlsx", "comment", true, "2 orders imported"},
        {"noise.csv", noise, false, "既不是 CSV 文本，也不是 Excel 工作簿"},
        {"old.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + noise, false,
         "Excel 97-2003 工作簿（.xls）"},
    };
    for (const Case& c : cases) {
        Rows stored;
        const AdminRun run = ImportSheet(c.name, c.kind, stored, {c.says});
        EXPECT_EQ(run.exitCode == 0, c.imported) << c.name << ": " << run.output;
        EXPECT_EQ(stored.size(), c.imported ? 2u : 0u) << c.name;
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 300 * 1024) << "peak kilobytes of a child";

    // A chart sheet before the orders is passed over.
    MakeWorkbook(Path("chart.xlsx"), R"([["卖家账号"],["店"]])", "--chart-first");
    Rows stored;
    const AdminRun run = ImportIntoNewLedger(Path("chart.xlsx"), stored);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(stored.size(), 1u);
}

// Rows are checked before the ledger is locked: a sheet with a refused row
// says so while another program is writing, and keeps no writer waiting.
TEST_F(Exchange, ARefusedSheetIsReportedWithoutTakingTheLedgerLock) {
    DatabaseConnection writer;
    ASSERT_TRUE(writer.OpenMdbFile(Gbk(ledger.DatabaseFile())));
    ASSERT_TRUE(writer.ExecuteSql("begin immediate"));
    WriteBytes(Path("bad.csv"), "卖家账号,售价\r\n甲,一千\r\n");
    const AdminRun run = Run("import bad.csv");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Mentions(run, "“一千”不是金额")) << run.output;
    EXPECT_FALSE(Mentions(run, "无法写入账本")) << run.output;
    EXPECT_TRUE(writer.ExecuteSql("rollback"));
}

}  // namespace
