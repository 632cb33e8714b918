// The server stops as a crash would in the middle of work: the program keeps
// running, tells the user in Chinese, keeps what was typed, and the same
// click works once the server is back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "app/process_end.h"
#include "common/text_encoding.h"
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
