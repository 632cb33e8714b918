// The team ledger answers the program's statements as the ledger file does:
// the same orders in the same order, the same count and totals, for the same
// searches. The test server orders texts by a Chinese collation by default,
// so a column that is not ordered by bytes shows here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "store/database.h"
#include "test_ledger.h"
#include "ui/orders/fill_order_list.h"
#include "ui/orders/order_list.h"

namespace {

using Order = std::map<std::string, std::string>;

// Distinct dates (ties have no order on either ledger), texts that a byte
// order and a Chinese order sort differently, letter case, and money texts
// that are not plain numbers.
const std::vector<Order> kOrders = {
    {{"订单日期", "2015-1-9"}, {"卖家账号", "ABC店"}, {"售价", "12abc"}, {"进价", " 3"}},
    {{"订单日期", "2015-1-10"}, {"卖家账号", "abc店"}, {"售价", "1e3"}, {"进价", ".5"}},
    {{"订单日期", "2015-12-1"}, {"卖家账号", "Äbc"}, {"售价", "-2"}, {"佣金", "abc"}},
    {{"订单日期", "2015-1-9B"}, {"商品名称", "50%棉"}, {"售价", "+7."}, {"利润", "0x10"}},
    {{"订单日期", "2015-1-9a"}, {"商品名称", "a_b"}, {"售价", "19.9"}, {"备注", "有问题"}},
    {{"订单日期", "二〇一五年"}, {"收货信息", "C:\\路"}, {"售价", "1e400"}, {"快递公司", "顺丰"}},
    {{"订单日期", "啊"}, {"卖家账号", "o'neil"}, {"售价", "100"}, {"运单号", "SF1"}},
    {{"订单日期", "中"}, {"备注", "问题单 Abc"}, {"售价", "0.1"}, {"进价", "0.2"}},
};

struct Search {
    const char* label;
    int input;  // of the nine search texts; -1 for none
    const char* text;
    const char* filter;
};

const Search kSearches[] = {
    {"everything", -1, "", ""},
    {"ascii_case_ignored", 0, "aBc", ""},
    {"other_letters_keep_case", 0, "äbc", ""},
    {"percent_inside", 4, "50%", ""},
    {"underscore_is_any_character", 4, "a_", ""},
    {"backslash_is_plain", 7, "C:\\", ""},
    {"trailing_backslash", 7, "\\", ""},
    {"quote", 0, "o'n", ""},
    {"no_match", 0, "zzz", ""},
    {"waiting", -1, "", "等待收货"},
    {"problem", -1, "", "问题单"},
    {"problem_and_case", 8, "abc", "问题单"},
};

// What the main window shows for each search: the totals line, then every
// cell of every row.
std::map<std::string, std::vector<std::string>> ListEverySearch(const TestLedger& ledger) {
    for (const Order& order : kOrders) ledger.AddOrder(order);
    std::map<std::string, std::vector<std::string>> shown;
    DatabaseConnection connection;
    for (const Search& search : kSearches) {
        OrderListModel list;
        std::vector<std::string>& lines = shown[search.label];
        lines.emplace_back();
        OrderListDisplay display{connection, [&](const std::string& t) { lines[0] = GbkToUtf8(t); },
                                 list};
        OrderSearchTexts inputs;
        if (search.input >= 0) inputs[static_cast<std::size_t>(search.input)] = Gbk(search.text);
        QueryOrders(display, inputs, Gbk(search.filter));
        for (int row = 0; row < list.ItemCount(); ++row) {
            std::string cells;
            for (int c = 0; c < OrderListModel::kColumns; ++c) {
                cells += GbkToUtf8(list.ItemText(row, c)) + "|";
            }
            lines.push_back(cells);
        }
    }
    return shown;
}

class SameAnswersTest : public testing::Test {
  protected:
    void SetUp() override {
        SetMessageBoxForTesting([this](const std::string& text, int, const std::string&) {
            messages_.push_back(GbkToUtf8(text));
            return kAnswerOk;
        });
    }
    void TearDown() override {
        SetMessageBoxForTesting({});
        unsetenv("TALLOVAR_TEST_LEDGER");
    }
    std::vector<std::string> messages_;
};

TEST_F(SameAnswersTest, FileAndServerListTheSameForEverySearch) {
    const char* server = std::getenv("TALLOVAR_TEST_SERVER");
    if (!server || !*server) GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    unsetenv("TALLOVAR_TEST_LEDGER");
    std::map<std::string, std::vector<std::string>> onFile;
    {
        TestLedger file;
        onFile = ListEverySearch(file);
    }
    setenv("TALLOVAR_TEST_LEDGER", "server", 1);
    TestLedger team;
    ASSERT_FALSE(team.ServerConnection().empty());
    const auto onServer = ListEverySearch(team);
    EXPECT_TRUE(messages_.empty()) << messages_.front();
    for (const Search& search : kSearches) {
        EXPECT_EQ(onServer.at(search.label), onFile.at(search.label)) << search.label;
    }
    EXPECT_EQ(onFile.at("everything").size(), kOrders.size() + 1);
}

}  // namespace
