// The server stops as a crash would in the middle of work: the program keeps
// running, tells the user in Chinese, keeps what was typed, and the same
// click works once the server is back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "../admin/admin_run.h"
#include "app/process_end.h"
#include "common/text_encoding.h"
#include "cutting_relay.h"
#include "editor_fixture.h"
#include "own_test_server.h"
#include "store/database.h"
#include "ui/orders/fill_order_list.h"
#include "ui/orders/order_list.h"

namespace {

class ServerFaultTest : public EditorTest {
  public:
    // For the cases below.
    using EditorTest::Click;
    using EditorTest::ledger_;
    using EditorTest::Open;
    using EditorTest::SetText;
    using EditorTest::StoredOrder;

    // A query as the main window runs it; the rows listed.
    int Query() {
        OrderListModel list;
        OrderListDisplay display{connection_, [](const std::string&) {}, list};
        QueryOrders(display, {}, "");
        return list.ItemCount();
    }
    int queried_ = -1;

  protected:
    static void SetUpTestSuite() { server_ = new OwnTestServer; }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_FALSE(server_->Connection().empty()) << "the test's own server did not start";
        setenv("TALLOVAR_TEST_SERVER", server_->Connection().c_str(), 1);
        setenv("TALLOVAR_TEST_LEDGER", "server", 1);
        EditorTest::SetUp();
        SetProcessEndForTesting([this](int code) { exitCodes_.push_back(code); });
    }
    void TearDown() override {
        SetProcessEndForTesting({});
        EditorTest::TearDown();
        unsetenv("TALLOVAR_TEST_LEDGER");
    }

    static OwnTestServer* server_;
    DatabaseConnection connection_;
    std::vector<int> exitCodes_;
};

OwnTestServer* ServerFaultTest::server_ = nullptr;

struct FaultCase {
    const char* label;
    std::function<void(ServerFaultTest&, int id)> prepare;  // before the server stops
    std::function<void(ServerFaultTest&, int id)> act;      // the click, done twice
    const char* done;                                       // the message of success
    std::function<bool(ServerFaultTest&, int id)> stored;
};

TEST_F(ServerFaultTest, WorkGoesOnAndTheSameClickWorksWhenTheServerIsBack) {
    const FaultCase cases[] = {
        {"add",
         [](ServerFaultTest& t, int) {
             t.Open("添加", 0);
             t.SetText("编辑框3", "真丝围巾");
         },
         [](ServerFaultTest& t, int) { t.Click("按钮1"); }, "添加成功",
         [](ServerFaultTest& t, int) {
             return t.ledger_->Rows(
                        "select count(*) from 订单列表 where 商品名称='真丝围巾'")[0][0] == "1";
         }},
        {"modify",
         [](ServerFaultTest& t, int id) {
             t.Open("修改", id);
             t.SetText("编辑框3", "丝巾");
         },
         [](ServerFaultTest& t, int) { t.Click("按钮3"); }, "修改成功！",
         [](ServerFaultTest& t, int id) { return t.StoredOrder(id)[5] == "丝巾"; }},
        {"query", [](ServerFaultTest&, int) {},
         [](ServerFaultTest& t, int) { t.queried_ = t.Query(); }, nullptr,
         [](ServerFaultTest& t, int) { return t.queried_ == 1; }},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.label);
        ledger_->Exec("delete from 订单列表");
        const int id = StoreOrder(SampleOrder());
        c.prepare(*this, id);
        messages_.clear();
        ASSERT_TRUE(server_->Halt());
        c.act(*this, id);
        ASSERT_FALSE(messages_.empty());
        const std::string& told = messages_.back().text;
        EXPECT_NE(told.find("数据库服务器 127.0.0.1"), std::string::npos) << told;
        EXPECT_TRUE(exitCodes_.empty());
        if (c.done) {
            EXPECT_EQ(FindEditor(), editor_) << "the editor stays open";
            EXPECT_NE(Text("编辑框3"), "") << "what was typed is kept";
        }
        ASSERT_TRUE(server_->Resume());
        messages_.clear();
        c.act(*this, id);
        if (c.done) {
            ASSERT_FALSE(messages_.empty());
            EXPECT_EQ(messages_.back().text, c.done);
        } else {
            EXPECT_TRUE(messages_.empty()) << messages_.front().text;
        }
        EXPECT_TRUE(c.stored(*this, id)) << (messages_.empty() ? "" : messages_.back().text);
        if (EditorWindow* open = FindEditor()) open->close();
        DeleteClosedWindows();
    }
}

}  // namespace

namespace {

// The main window deletes on the connection its last query opened. When the
// server went away and came back since, the first click works all the same.
TEST_F(ServerFaultTest, DeleteAfterTheServerCameBackWorksAtOnce) {
    const int id = StoreOrder(SampleOrder());
    ASSERT_EQ(Query(), 1);
    ASSERT_TRUE(server_->Halt());
    ASSERT_TRUE(server_->Resume());
    const bool deleted =
        connection_.ExecuteSql(Gbk("delete from 订单列表 where id=") + std::to_string(id));
    EXPECT_TRUE(deleted) << GbkToUtf8(connection_.LastError());
    EXPECT_EQ(Query(), 0);
}

}  // namespace

namespace {

// The port of a connection string's Port= key.
int PortOf(const std::string& connection) {
    const std::size_t at = connection.find("Port=");
    return at == std::string::npos ? 0 : std::atoi(connection.c_str() + at + 5);
}

// An add whose commit the connection loses. The program asks the server what
// became of it before it says anything, and the order is stored once
// whatever the user then does: a second click after a lost answer either
// finds the order stored or stores it for the first time.
TEST_F(ServerFaultTest, AnAddWhoseAnswerIsLostIsStoredOnce) {
    using Cut = CuttingRelay::Cut;
    struct LostAnswer {
        const char* label;
        Cut cut;
        // The relay goes down with the cut, and the server restarts (as after
        // pg_ctl stop -m immediate) before the second click.
        bool serverGone;
        const char* firstTold;  // a piece of what the first click tells
        int storedByFirst;
        const char* secondTold;  // the second click's message; none when the form was emptied
    };
    const LostAnswer cases[] = {
        {"answer lost after the server stored it", Cut::AfterCommitAnswer, false, "这张订单已保存",
         1, nullptr},
        {"commit lost before the server had it", Cut::BeforeCommit, false, "没有保存", 0,
         "添加成功"},
        {"answer lost and the server gone", Cut::AfterCommitAnswer, true, "无法查明", 1,
         "上次提交的订单已保存，没有再存一次"},
        {"commit lost and the server gone", Cut::BeforeCommit, true, "无法查明", 0, "添加成功"},
    };
    const std::string direct = ledger_->ServerConnection();
    CuttingRelay relay(PortOf(direct));
    ASSERT_NE(relay.Port(), 0);
    // The windows reach the ledger through the relay.
    const std::string config = ledger_->Directory() + "/config.ini";
    std::string settings;
    {
        std::ifstream in(config, std::ios::binary);
        settings.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::size_t at = settings.find(direct);
    ASSERT_NE(at, std::string::npos);
    settings.replace(at, direct.size(),
                     WithConnectionKey(direct, "Port", std::to_string(relay.Port())));
    std::ofstream(config, std::ios::binary) << settings;

    const std::string stored = "select count(*) from 订单列表 where 商品名称='真丝围巾'";
    for (const LostAnswer& c : cases) {
        SCOPED_TRACE(c.label);
        ledger_->Exec("delete from 订单列表");
        Open("添加", 0);
        SetText("编辑框3", "真丝围巾");
        messages_.clear();
        relay.CutNextCommit(c.cut, c.serverGone);
        Click("按钮1");
        EXPECT_EQ(relay.Cuts(), &c - cases + 1);
        ASSERT_FALSE(messages_.empty());
        const std::string first = messages_.back().text;
        EXPECT_NE(first.find(c.firstTold), std::string::npos) << first;
        EXPECT_TRUE(exitCodes_.empty());
        EXPECT_EQ(ledger_->Rows(stored)[0][0], std::to_string(c.storedByFirst));
        EXPECT_EQ(Text("编辑框3"), c.secondTold ? "真丝围巾" : "") << "kept until stored";
        if (c.serverGone) {
            ASSERT_TRUE(server_->Halt());
            ASSERT_TRUE(server_->Resume());
            relay.SetDown(false);
        }
        if (c.secondTold) {
            messages_.clear();
            Click("按钮1");
            ASSERT_FALSE(messages_.empty());
            EXPECT_EQ(messages_.back().text, c.secondTold);
            EXPECT_EQ(Text("编辑框3"), "");
        }
        EXPECT_EQ(ledger_->Rows(stored)[0][0], "1");
        if (EditorWindow* open = FindEditor()) open->close();
        DeleteClosedWindows();
    }
}

}  // namespace

namespace {

// The maintenance tool's import on a team ledger whose commit the connection
// loses: it asks the server before it says anything, and tells what became of
// the orders; when the server cannot be asked, a second import stores none of
// them again.
TEST_F(ServerFaultTest, AnImportWhoseCommitIsCutTellsWhatWasStored) {
    using Cut = CuttingRelay::Cut;
    struct CutImport {
        const char* label;
        Cut cut;
        bool serverGone;
        int exitCode;
        const char* told;
        int stored;
    };
    const CutImport cases[] = {
        {"answer lost after the server stored them", Cut::AfterCommitAnswer, false, 0,
         "已导入 2 张订单", 2},
        {"commit lost before the server had it", Cut::BeforeCommit, false, 1, "没有保存", 0},
        {"answer lost and the server gone", Cut::AfterCommitAnswer, true, 1, "无法查明", 2},
    };
    const std::string direct = ledger_->ServerConnection();
    CuttingRelay relay(PortOf(direct));
    ASSERT_NE(relay.Port(), 0);
    const std::string import = "import --connect '" +
                               WithConnectionKey(direct, "Port", std::to_string(relay.Port())) +
                               "' orders.csv";
    std::ofstream(ledger_->Directory() + "/orders.csv")
        << "卖家账号,商品名称\n店一,围巾\n店二,手套\n";
    const std::string stored = "select count(*) from 订单列表";
    for (const CutImport& c : cases) {
        SCOPED_TRACE(c.label);
        ledger_->Exec("delete from 订单列表");
        relay.CutNextCommit(c.cut, c.serverGone);
        const AdminRun run = RunAdmin(ledger_->Directory(), import);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_NE(run.output.find(c.told), std::string::npos) << run.output;
        EXPECT_EQ(ledger_->Rows(stored)[0][0], std::to_string(c.stored));
        if (c.serverGone) {
            ASSERT_TRUE(server_->Halt());
            ASSERT_TRUE(server_->Resume());
            relay.SetDown(false);
            const AdminRun again = RunAdmin(ledger_->Directory(), import);
            EXPECT_NE(again.output.find("跳过 2 张与账本中完全相同的订单"), std::string::npos)
                << again.output;
            EXPECT_EQ(ledger_->Rows(stored)[0][0], "2");
        }
    }
}

}  // namespace
