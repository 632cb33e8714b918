// tallovar-admin on a team ledger, run as a user runs it: a ledger file moves
// onto an empty database with every text and id equal; a backup taken with
// pg_dump brings the ledger back after it was changed; a sheet imports as on
// a file; the recycle bin works from the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "../admin/admin_run.h"
#include "store/ledger_schema.h"
#include "store/server_session.h"
#include "test_ledger.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::string kEveryColumn = "select ID," + OrderTextColumns() + " from 订单列表 order by ID";

// An empty database on the test server; its connection string.
std::string EmptyDatabase(const std::string& name) {
    ServerSession admin;
    const std::string server = std::getenv("TALLOVAR_TEST_SERVER");
    EXPECT_TRUE(admin.Open(server)) << admin.Error();
    admin.Exec("drop database if exists " + name + " with (force)");
    EXPECT_TRUE(admin.Exec("create database " + name)) << admin.Error();
    std::string connection = server;
    const std::size_t at = connection.find("Database=");
    const std::size_t end = connection.find(';', at);
    return connection.replace(at, end - at, "Database=" + name);
}

Rows OnServer(const std::string& connection, const std::string& sql) {
    ServerSession session;
    Rows rows;
    EXPECT_TRUE(session.Open(connection) && session.Rows(sql, rows)) << session.Error();
    return rows;
}

class TeamAdminTest : public testing::Test {
  protected:
    void SetUp() override {
        const char* server = std::getenv("TALLOVAR_TEST_SERVER");
        if (!server || !*server) GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    }
};

TEST_F(TeamAdminTest, LedgerFileMovesWithEveryTextAndId) {
    TestLedger file(false);
    ASSERT_EQ(RunAdmin(file.Directory(), "init 老板 pw --demo 10000").exitCode, 0);
    // Texts that a careless move would change, and gaps in the ids.
    for (const char* text :
         {"o'neil", "C:\\路\\", "a?b {fn now()} $1", "", " 前后空格 ", "1e400"}) {
        file.AddOrder({{"备注", text}, {"收货信息", text}, {"售价", text}});
    }
    file.Exec("delete from 订单列表 where ID in (2, 3, 5000)");
    file.AddUser("小王", "It's");
    const std::string team = EmptyDatabase("moved_ledger");

    const AdminRun moved =
        RunAdmin(file.Directory(), "init --connect '" + team + "' --from tallovar.mdb");
    ASSERT_EQ(moved.exitCode, 0) << moved.output;
    EXPECT_TRUE(Mentions(moved, "订单 10003 张")) << moved.output;

    const Rows fileOrders = file.Rows(kEveryColumn);
    ASSERT_EQ(fileOrders.size(), 10003u);
    EXPECT_EQ(OnServer(team, kEveryColumn), fileOrders);
    EXPECT_EQ(OnServer(team, "select ID, username, password from sysuser order by ID"),
              file.Rows("select ID, username, password from sysuser order by ID"));
    // The bin, filled by the deletes above, moved entry for entry; and
    // the sign-in's comparison ignores ASCII letter case on both.
    const char* const kBin = "select 编号,删除时间,ID,备注 from 回收站 order by 编号";
    ASSERT_EQ(file.Rows(kBin).size(), 3u);
    EXPECT_EQ(OnServer(team, kBin), file.Rows(kBin));
    const char* const kSignIn =
        "select count(*) from sysuser where username='老板' and password='PW'";
    EXPECT_EQ(OnServer(team, kSignIn), file.Rows(kSignIn));
    // New orders follow the largest id, never reuse one.
    ServerSession session;
    ASSERT_TRUE(session.Open(team));
    ASSERT_TRUE(session.Exec("insert into 订单列表(备注) values('新')"));
    EXPECT_EQ(OnServer(team, "select max(ID) from 订单列表")[0][0], "10007");
    ASSERT_TRUE(session.Exec("delete from 订单列表 where id=10007"));
    EXPECT_EQ(OnServer(team, "select max(编号), max(ID) from 回收站"), (Rows{{"4", "10007"}}));

    const AdminRun again =
        RunAdmin(file.Directory(), "init --connect '" + team + "' --from tallovar.mdb");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(Mentions(again, "已有账本")) << again.output;
}

TEST_F(TeamAdminTest, BackupBringsTheLedgerBack) {
    TestLedger here(false);
    const std::string team = EmptyDatabase("backed_up_ledger");
    const std::string connect = "--connect '" + team + "' ";
    ASSERT_EQ(RunAdmin(here.Directory(), "init " + connect + "老板 pw").exitCode, 0);
    ASSERT_EQ(RunAdmin(here.Directory(), "user " + connect + "add 小王 pw1").exitCode, 0);
    const AdminRun backup = RunAdmin(here.Directory(), "backup " + connect + "before.dump");
    ASSERT_EQ(backup.exitCode, 0) << backup.output;
    EXPECT_TRUE(Mentions(backup, "pg_dump"));

    ASSERT_EQ(RunAdmin(here.Directory(), "user " + connect + "remove 小王").exitCode, 0);
    EXPECT_EQ(RunAdmin(here.Directory(), "backup " + connect + "before.dump").exitCode, 1)
        << "a backup never replaces a file";
    const AdminRun restore = RunAdmin(here.Directory(), "restore " + connect + "before.dump");
    ASSERT_EQ(restore.exitCode, 0) << restore.output;
    EXPECT_TRUE(Mentions(restore, "pg_restore"));
    EXPECT_EQ(OnServer(team, "select username, password from sysuser order by ID"),
              (Rows{{"老板", "pw"}, {"小王", "pw1"}}));
}

TEST_F(TeamAdminTest, ImportStoresWhatItStoresInALedgerFile) {
    TestLedger file(false);
    ASSERT_EQ(RunAdmin(file.Directory(), "init 老板 pw").exitCode, 0);
    const std::string team = EmptyDatabase("imported_ledger");
    const std::string connect = "--connect '" + team + "' ";
    ASSERT_EQ(RunAdmin(file.Directory(), "init " + connect + "老板 pw").exitCode, 0);
    // Texts a statement built carelessly would change, and a character
    // beyond GBK; then a sheet with one refused row.
    std::ofstream(file.Directory() + "/good.csv")
        << "卖家账号,收货信息,售价,备注\n"
           "店一,\"o'neil ?1 $1 C:\\路\\\n第二行 𠀀\",\"1,299.50\", 前后空格 \n"
           "店二,,0012,{fn now()}\n";
    std::ofstream(file.Directory() + "/bad.csv") << "卖家账号,售价\n店三,3\n店四,abc\n";

    for (const std::string& where : {std::string(), connect}) {
        const AdminRun good = RunAdmin(file.Directory(), "import " + where + "good.csv");
        EXPECT_EQ(good.exitCode, 0) << good.output;
        EXPECT_TRUE(Mentions(good, "已导入 2 张订单")) << good.output;
        const AdminRun again = RunAdmin(file.Directory(), "import " + where + "good.csv");
        EXPECT_TRUE(Mentions(again, "跳过 2 张与账本中完全相同的订单")) << again.output;
        EXPECT_EQ(RunAdmin(file.Directory(), "import " + where + "bad.csv").exitCode, 1);
    }
    const Rows stored = file.Rows(kEveryColumn);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][9], "o'neil ?1 $1 C:\\路\\\n第二行 𠀀");
    EXPECT_EQ(OnServer(team, kEveryColumn), stored);
}

TEST_F(TeamAdminTest, DeletedOrdersComeBackOrGoForGood) {
    TestLedger here(false);
    const std::string team = EmptyDatabase("bin_ledger");
    const std::string connect = " --connect '" + team + "'";
    ASSERT_EQ(RunAdmin(here.Directory(), "init" + connect + " 老板 pw").exitCode, 0);
    ServerSession session;
    ASSERT_TRUE(session.Open(team));
    ASSERT_TRUE(session.Exec("insert into 订单列表(备注) values('一'),('二'),('三')"));
    ASSERT_TRUE(session.Exec("delete from 订单列表 where ID in (1, 2)"));

    const AdminRun listed = RunAdmin(here.Directory(), "trash list" + connect);
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    EXPECT_EQ(std::count(listed.output.begin(), listed.output.end(), '\n'), 3) << listed.output;
    const AdminRun restored = RunAdmin(here.Directory(), "trash restore 1" + connect);
    EXPECT_TRUE(Mentions(restored, "已恢复订单，ID 1")) << restored.output;
    EXPECT_EQ(RunAdmin(here.Directory(), "trash restore 1" + connect).exitCode, 1);
    // Deleted moments ago: not older than a day.
    EXPECT_TRUE(
        Mentions(RunAdmin(here.Directory(), "trash purge --older-than 1" + connect), "删除 0 张"));
    EXPECT_TRUE(Mentions(RunAdmin(here.Directory(), "trash purge" + connect), "删除 1 张"));
    EXPECT_EQ(OnServer(team, "select count(*) from 回收站"), (Rows{{"0"}}));
    EXPECT_EQ(OnServer(team, "select ID from 订单列表 order by ID"), (Rows{{"1"}, {"3"}}));
}

}  // namespace
