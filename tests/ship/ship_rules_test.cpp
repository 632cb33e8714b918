// How waybill lines are read and whose courier a waybill number is: the
// line separators a paste or a scanner gives, the cell dressing of sheets,
// the installed courier rules and the spelling of the user's pick list.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "exchange/courier_table.h"
#include "exchange/ship_lines.h"

namespace {

CourierTable InstalledRules() {
    std::ifstream file(TALLOVAR_SOURCE_DIR "/exchange/couriers.txt", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    CourierTable table;
    const Status parsed = CourierTable::Parse(text, table);
    EXPECT_TRUE(parsed.ok()) << parsed.Lines();
    return table;
}

TEST(CourierRulesTest, WaybillNumbersGiveTheirCourier) {
    const CourierTable table = InstalledRules();
    const std::vector<std::string> pickList = {"中通快递", "顺丰速运", "申通", "韵达快递"};
    struct Case {
        const char* waybill;
        const char* given;
        const char* courier;  // chosen for the line
        std::vector<std::string> candidates;
    } cases[] = {
        {"SF1234567890123", "", "顺丰速运", {"顺丰速运"}},  // sure, spelled as the pick list
        {"sf1234567890123", "", "顺丰速运", {"顺丰速运"}},  // a scanner in lower case
        {"YT7001234567890", "", "圆通", {"圆通"}},          // not in the pick list: the rule's name
        {"JT0001234567890", "", "极兔", {"极兔"}},
        {"JDVA01234567890", "", "", {}},  // JD then a letter: no rule fits
        {"JD0123456789012", "", "京东", {"京东"}},
        {"DPK123456789", "", "德邦", {"德邦"}},
        {"434567890123456", "", "", {"申通", "韵达快递"}},  // 15 digits from 43: either
        {"751234567890123", "", "", {}},                    // 15 digits from 75: nobody's
        {"75123456789012", "", "中通快递", {"中通快递"}},   // 14 digits from 75: only 中通
        {"SFX", "", "", {}},
        {"", "", "", {}},
        {"434567890123456", "极兔", "极兔", {}},  // a courier given wins over any guess
    };
    for (const Case& c : cases) {
        const CourierChoice choice = ChooseCourier(c.given, c.waybill, table, pickList);
        EXPECT_EQ(choice.courier, c.courier) << c.waybill;
        EXPECT_EQ(choice.candidates, c.candidates) << c.waybill;
    }
}

TEST(CourierRulesTest, AMistakenRuleFileNamesItsLine) {
    CourierTable table;
    const Status parsed = CourierTable::Parse("顺丰 letters SF\n中通 digits 十二 7\n", table);
    EXPECT_FALSE(parsed.ok());
    EXPECT_NE(parsed.chinese.find("第 2 行"), std::string::npos) << parsed.chinese;
    EXPECT_TRUE(table.empty()) << "no half-read rules";
}

TEST(WaybillLinesTest, LinesSplitAsPastedOrScanned) {
    struct Case {
        const char* line;
        const char* key;
        const char* waybill;
        const char* courier;
    } cases[] = {
        {"N1\tSF123\t顺丰", "N1", "SF123", "顺丰"},
        {"N1\t\t顺丰", "N1", "", "顺丰"},  // tabs keep an empty cell
        {"N1,SF123", "N1", "SF123", ""},
        {"N1，SF123，顺丰", "N1", "SF123", "顺丰"},
        {"  N1   SF123  顺丰 ", "N1", "SF123", "顺丰"},
        {"N1　SF123", "N1", "SF123", ""},  // an ideographic space
        {"N1 SF123\r", "N1", "SF123", ""},
        {"=\"0012\",'0034", "0012", "0034", ""},  // dressings that keep a number a text
        {"N1", "N1", "", ""},
    };
    for (const Case& c : cases) {
        const WaybillLine line = SplitWaybillLine(c.line);
        EXPECT_EQ(line.key, c.key) << c.line;
        EXPECT_EQ(line.waybill, c.waybill) << c.line;
        EXPECT_EQ(line.courier, c.courier) << c.line;
    }
}

TEST(WaybillLinesTest, GbkTextReadsAsUtf8AndBlankLinesKeepTheNumbering) {
    std::vector<WaybillLine> lines;
    const std::string bytes = Gbk("N1 SF1 顺丰\r\n\r\n  \r\nN2 YT2 圆通\r\n");
    ASSERT_TRUE(ReadWaybillText(bytes, lines).ok());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].courier, "顺丰");
    EXPECT_EQ(lines[1].number, 4);
    EXPECT_EQ(lines[1].courier, "圆通");
}

TEST(WaybillLinesTest, HeaderWordsNameTheColumns) {
    struct Case {
        const char* header;
        WaybillColumn column;
    } cases[] = {
        {"订单号", WaybillColumn::OrderNumber},
        {"订单编号", WaybillColumn::OrderNumber},
        {"购买订单号", WaybillColumn::PurchaseOrderNumber},
        {"运单号", WaybillColumn::Waybill},
        {"快递单号", WaybillColumn::Waybill},
        {" 物流单号 ", WaybillColumn::Waybill},
        {"快递公司", WaybillColumn::Courier},
        {"物流公司", WaybillColumn::Courier},
        {"商品名称", WaybillColumn::None},
        {"订单", WaybillColumn::None},
    };
    for (const Case& c : cases) EXPECT_EQ(WaybillColumnOf(c.header), c.column) << c.header;
}

}  // namespace
