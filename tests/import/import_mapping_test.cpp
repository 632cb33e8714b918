// Import mappings: the installed presets each recognise their marketplace's
// header and no other, a mapping's text reads back to the same mapping, and
// a row becomes the texts an order stores, cleaned for a marketplace and
// byte for byte otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/import_mapping.h"

namespace {

std::vector<ImportMapping> Presets() {
    std::string problems;
    std::vector<ImportMapping> presets =
        LoadMappings(TALLOVAR_SOURCE_DIR "/exchange/import_presets", problems);
    EXPECT_EQ(problems, "");
    return presets;
}

std::vector<SheetCell> TextCells(const std::vector<std::string>& texts) {
    std::vector<SheetCell> cells;
    for (const std::string& text : texts) cells.push_back({CellKind::Text, text});
    return cells;
}

std::string Column(const MappedRow& row, const std::string& name) {
    for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
        if (name == kOrderTextColumnNames[c]) return row.texts[c];
    }
    return "?";
}

TEST(ImportMappingTest, EachPresetRecognisesItsOwnHeaderOnly) {
    const std::vector<ImportMapping> presets = Presets();
    struct Case {
        std::vector<std::string> header;
        const char* preset;  // nullptr: none
    } cases[] = {
        {{"订单编号", "买家会员名", "买家实际支付金额", "宝贝标题", "店铺名称"}, "淘宝"},
        {{"\t订单编号", "宝贝标题"}, "淘宝"},
        {{"商品", "订单号", "订单状态", "用户实付金额(元)", "订单成交时间"}, "拼多多"},
        {{"主订单编号", "选购商品", "商品金额", "订单提交时间"}, "抖店"},
        {{"ID", "卖家账号", "订单号", "快递公司", "运单号", "订单日期", "商品名称", "购买账号",
          "购买订单号", "收货信息", "售价", "进价", "佣金", "利润", "备注"},
         "本软件导出"},
        {{"订单号", "商品名称", "售价"}, nullptr},
        {{"订单编号", "商品"}, nullptr},
    };
    for (const Case& c : cases) {
        const ImportMapping* found = RecognisedMapping(presets, c.header);
        EXPECT_EQ(found ? found->name : "", c.preset ? c.preset : "") << c.header.front();
    }
}

TEST(ImportMappingTest, AMappingsTextReadsBackTheSameAndABadLineIsNamed) {
    for (const ImportMapping& preset : Presets()) {
        ImportMapping again;
        ASSERT_TRUE(ImportMapping::Parse(preset.Text(), again).ok()) << preset.name;
        EXPECT_EQ(again.Text(), preset.Text());
    }
    ImportMapping fixed;
    ASSERT_TRUE(
        ImportMapping::Parse("名称 乙\n备注 = \"A+B | C\" + 订单状态|售后状态\n", fixed).ok());
    EXPECT_EQ(fixed.columns[13].size(), 2u) << "a fixed text keeps its + and |";
    EXPECT_EQ(fixed.columns[13][0][0].text, "A+B | C");
    EXPECT_EQ(fixed.columns[13][1].size(), 2u);
    ImportMapping again;
    ASSERT_TRUE(ImportMapping::Parse(fixed.Text(), again).ok());
    EXPECT_EQ(again.Text(), fixed.Text());
    ImportMapping mapping;
    const Status bad = ImportMapping::Parse("名称 甲\n订单号 = 订单编号\n运费 = 邮费\n", mapping);
    EXPECT_FALSE(bad.ok());
    EXPECT_NE(bad.chinese.find("第 3 行"), std::string::npos) << bad.chinese;
    EXPECT_FALSE(ImportMapping::Parse("订单号 = 订单编号\n", mapping).ok()) << "no name";
}

TEST(ImportMappingTest, MarketplaceCellsAreCleanedAndPlainOnesKeptByteForByte) {
    const std::vector<std::string> header = {"订单编号",   "订单创建时间", "买家实际支付金额",
                                             "收货人姓名", "联系电话",     "联系手机",
                                             "收货地址",   "订单状态",     "宝贝标题"};
    ImportMapping market;
    ASSERT_TRUE(ImportMapping::Parse("名称 甲\n清理\n"
                                     "订单号 = 订单编号\n订单日期 = 订单创建时间\n"
                                     "售价 = 买家实际支付金额\n"
                                     "收货信息 = 收货人姓名 + 联系手机|联系电话 + 收货地址\n"
                                     "备注 = 订单备注 + 订单状态\n商品名称 = 宝贝标题\n",
                                     market)
                    .ok());
    ImportMapping plain = market;
    plain.clean = false;
    struct Case {
        const char* what;
        std::vector<std::string> cells;
        std::vector<std::pair<std::string, std::string>> market;  // column, text
        std::vector<std::pair<std::string, std::string>> plain;
    } cases[] = {
        {"wrapped number, date-time, money with sign and separators, masked phone",
         {"=\"3856123456789012345\"", "2026-11-02 13:45:01", "¥1,299.00", "张*", "", "138****1234",
          "浙江省 杭州市", "交易成功", " 保温杯 "},
         {{"订单号", "3856123456789012345"},
          {"订单日期", "2026-11-2"},
          {"售价", "1299.00"},
          {"收货信息", "张* 138****1234 浙江省 杭州市"},
          {"备注", "交易成功"},
          {"商品名称", "保温杯"}},
         {{"订单号", "=\"3856123456789012345\""},
          {"订单日期", "2026-11-02 13:45:01"},
          {"商品名称", " 保温杯 "}}},
        {"tab padding and an apostrophe; the landline where no mobile",
         {"\t3856000000000000001\t", "2026/1/9", "'88.5", "李四", "0571-88888888", "", "", "",
          "杯"},
         {{"订单号", "3856000000000000001"},
          {"订单日期", "2026-1-9"},
          {"售价", "88.5"},
          {"收货信息", "李四 0571-88888888"},
          {"备注", ""}},
         {{"订单号", "\t3856000000000000001\t"}, {"订单日期", "2026/1/9"}}},
    };
    for (const Case& c : cases) {
        const MappedRow cleaned = BoundMapping(market, header).Apply(2, TextCells(c.cells));
        EXPECT_EQ(cleaned.problem, "") << c.what;
        for (const auto& [column, text] : c.market) {
            EXPECT_EQ(Column(cleaned, column), text) << c.what << " / " << column;
        }
        const MappedRow kept = BoundMapping(plain, header).Apply(2, TextCells(c.cells));
        for (const auto& [column, text] : c.plain) {
            EXPECT_EQ(Column(kept, column), text) << c.what << " / plain " << column;
        }
    }
}

TEST(ImportMappingTest, ARowIsRefusedWithItsColumnAndAFileWithoutTheShopTakesTheAccount) {
    ImportMapping mapping;
    ASSERT_TRUE(ImportMapping::Parse("名称 甲\n清理\n卖家账号 = 店铺名称\n售价 = 实付\n"
                                     "快递公司 = \"顺丰速运\"\n",
                                     mapping)
                    .ok());
    const BoundMapping bound(mapping, {"实付"}, "我的小店");
    EXPECT_EQ(bound.Missing(), std::vector<std::string>{"店铺名称"});
    const MappedRow bad = bound.Apply(7, TextCells({"面议"}));
    EXPECT_NE(bad.problem.find("“售价”列"), std::string::npos) << bad.problem;
    const MappedRow good = bound.Apply(8, TextCells({"１２"}));
    EXPECT_EQ(good.problem, "");
    EXPECT_EQ(Column(good, "售价"), "12");
    EXPECT_EQ(Column(good, "卖家账号"), "我的小店");
    EXPECT_EQ(Column(good, "快递公司"), "顺丰速运");
}

}  // namespace
