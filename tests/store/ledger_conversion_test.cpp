// Converting a ledger: what the program's connection reads from the old
// ledger lands in the new SQLite ledger with every ID and text, and the
// comparison finds any difference between the two.
#include "store/ledger_conversion.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "common/text_encoding.h"
#include "tests/support/test_ledger.h"

namespace {

// Changes the new ledger with the library directly, as another program would.
void Change(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

TEST(LedgerConversionTest, CopiesEveryUserAndOrderAndFindsEveryDifference) {
    TestLedger ledger;
    ledger.AddUser("管理员", "密码'1");
    ledger.AddUser("bob", "");
    ledger.Exec("delete from sysuser where username='bob'");  // IDs with a gap
    ledger.AddUser("小王", "x");
    ledger.AddOrder({{"卖家账号", "晴天杂货铺"},
                     {"订单日期", "2026-01-02"},
                     {"售价", "12.5"},
                     {"备注", "引号' 和 \"双引号\"，换行\n第二行"}});
    const long long gap = ledger.AddOrder({{"订单号", "A-1"}});
    ledger.AddOrder({{"订单日期", "日期不对"}, {"收货信息", "北京市 海淀区"}});
    ledger.Exec("delete from 订单列表 where ID=" + std::to_string(gap));

    LedgerContents contents;
    ASSERT_TRUE(ReadLedgerForConversion(Gbk(ledger.DatabaseFile()), contents).ok());
    ASSERT_EQ(contents.users.size(), 2u);
    ASSERT_EQ(contents.orders.size(), 2u);

    const struct {
        const char* what;
        const char* change;  // run on the new ledger before the comparison
        const char* difference;
    } cases[] = {
        {"the same", "", ""},
        {"a text changed", "update 订单列表 set 备注='别的' where 订单号=''",
         "新账本与原账本不一致：订单 ID"},
        {"an order missing", "delete from 订单列表 where 收货信息<>''",
         "新账本与原账本不一致：订单数"},
        {"an order more", "insert into 订单列表(订单号) values('多')",
         "新账本与原账本不一致：订单数"},
        {"a password changed", "update sysuser set password='y' where username='小王'",
         "新账本与原账本不一致：用户 小王"},
        {"a user renumbered", "update sysuser set ID=ID+10 where username='小王'",
         "新账本与原账本不一致：用户 小王"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string target = ledger.Directory() + "/new.mdb";
        std::filesystem::remove(target);
        ASSERT_TRUE(WriteConvertedLedger(target, contents).ok());
        if (*c.change) Change(target, c.change);
        const Status compared = CompareConvertedLedger(target, contents);
        EXPECT_EQ(compared.chinese.substr(0, std::string(c.difference).size()), c.difference);
        EXPECT_EQ(compared.ok(), *c.difference == '\0');
    }
}

}  // namespace
