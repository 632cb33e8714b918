// tallovar-admin on a team ledger, run as a user runs it: a ledger file moves
// onto an empty database with every text and id equal; a backup taken with
// pg_dump brings the ledger back after it was changed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../admin/admin_run.h"
#include "test_ledger.h"
#include "tools/server_session.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

const char* const kEveryColumn =
    "select ID,卖家账号,订单号,快递公司,运单号,订单日期,商品名称,购买账号,购买订单号,收货信息,"
    "售价,进价,佣金,利润,备注 from 订单列表 order by ID";

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

}  // namespace
