// Three programs on one team ledger add, modify, ship and delete at once:
// every acknowledged store is there afterwards, every deleted order is gone,
// and a statement that had to be tried again was told in Chinese. 300
// rounds in all by default (each store opens its own connection, as the
// windows do, which costs tens of milliseconds); TALLOVAR_TEAM_ROUNDS asks
// for more.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "driver_protocol.h"
#include "store/database.h"
#include "store/ledger.h"
#include "store/server_session.h"
#include "test_ledger.h"

namespace {

constexpr int kWriters = 3;

TEST(ManyWritersTest, EveryAcknowledgedStoreIsThereAfterwards) {
    const char* server = std::getenv("TALLOVAR_TEST_SERVER");
    if (!server || !*server) GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    setenv("TALLOVAR_TEST_LEDGER", "server", 1);
    TestLedger ledger;
    unsetenv("TALLOVAR_TEST_LEDGER");
    const char* asked = std::getenv("TALLOVAR_TEAM_ROUNDS");
    const int rounds = (asked ? std::atoi(asked) : 300) / kWriters + 1;

    std::vector<FILE*> writers;
    for (int w = 0; w < kWriters; ++w) {
        const std::string command = std::string(TALLOVAR_TEAM_WRITER) + " w" + std::to_string(w) +
                                    " " + std::to_string(rounds);
        writers.push_back(popen(command.c_str(), "r"));
        ASSERT_NE(writers.back(), nullptr);
    }
    std::map<std::string, std::string> kept;  // order number -> "remark waybill"
    std::vector<std::string> gone, busy;
    for (FILE* writer : writers) {
        char line[4096];
        while (std::fgets(line, sizeof line, writer)) {
            char word[5], number[64], remark[64], waybill[64], text[4000];
            if (std::sscanf(line, "KEEP %63s %63s %63s", number, remark, waybill) == 3) {
                kept[number] = std::string(remark) + " " + waybill;
            } else if (std::sscanf(line, "GONE %63s", number) == 1) {
                gone.push_back(number);
            } else if (std::sscanf(line, "%4s %3999s", word, text) == 2) {
                busy.push_back(FromHex(text));
            }
        }
        EXPECT_EQ(pclose(writer), 0) << "a writer gave up";
    }
    EXPECT_EQ(kept.size() + gone.size(), static_cast<std::size_t>(kWriters * rounds));

    std::map<std::string, std::string> stored;
    for (const auto& row : ledger.Rows("select 订单号, 备注, 运单号 from 订单列表")) {
        EXPECT_TRUE(stored.emplace(row[0], row[1] + " " + row[2]).second) << "twice: " << row[0];
    }
    EXPECT_EQ(stored, kept);
    for (const std::string& message : busy) {
        EXPECT_NE(message.find("秒仍未轮到"), std::string::npos) << message;
    }
    std::printf("%zu kept, %zu deleted, %zu statements tried again\n", kept.size(), gone.size(),
                busy.size());
}

// Someone holds an order (a transaction left open): a change to it waits at
// most 5 s, then says so in Chinese and changes nothing; other orders are free.
TEST(ManyWritersTest, LockHeldByAnotherIsWaitedForAtMostFiveSeconds) {
    const char* server = std::getenv("TALLOVAR_TEST_SERVER");
    if (!server || !*server) GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    setenv("TALLOVAR_TEST_LEDGER", "server", 1);
    TestLedger ledger;
    unsetenv("TALLOVAR_TEST_LEDGER");
    const long long held = ledger.AddOrder({{"备注", "旧"}});
    const long long free = ledger.AddOrder({{"备注", "旧"}});
    ServerSession other;
    ASSERT_TRUE(other.Open(ledger.ServerConnection()));
    ASSERT_TRUE(other.Exec("begin"));
    ASSERT_TRUE(other.Exec("update 订单列表 set 备注='别人的' where id=" + std::to_string(held)));

    const struct {
        long long id;
        bool waits;
    } cases[] = {{held, true}, {free, false}};
    for (const auto& c : cases) {
        DatabaseConnection db;
        ASSERT_TRUE(OpenLedger(db)) << GbkToUtf8(db.LastError());
        const auto start = std::chrono::steady_clock::now();
        const bool stored =
            db.ExecuteSql(Gbk("update 订单列表 set 备注='新' where id=") + std::to_string(c.id));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(stored, !c.waits) << c.id;
        if (c.waits) {
            EXPECT_GE(seconds, 4.5);
            EXPECT_LT(seconds, 7.0);
            EXPECT_NE(GbkToUtf8(db.LastError()).find("等了 5 秒仍未轮到"), std::string::npos)
                << GbkToUtf8(db.LastError());
        }
    }
    ASSERT_TRUE(other.Exec("commit"));
    EXPECT_EQ(ledger.Rows("select 备注 from 订单列表 order by id"),
              (std::vector<std::vector<std::string>>{{"别人的"}, {"新"}}));
}

}  // namespace
