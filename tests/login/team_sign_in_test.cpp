// Signing in to a team ledger whose server cannot be used: the message names
// the server and says why, and the program ends as it does without a ledger
// file. Wrong password and unknown database need the test server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "common/text_encoding.h"
#include "login_test_support.h"

namespace {

struct StartFailure {
    const char* label;
    const char* change;   // regex in the test server's connection string
    const char* replace;  // its replacement
    const char* says;     // UTF-8, in the message
};

const StartFailure kFailures[] = {
    {"server_gone", "Port=[0-9]+", "Port=1",
     "无法连接数据库服务器 127.0.0.1:1 上的数据库 tallovar"},
    {"wrong_password", "Pwd=[^;]*", "Pwd=wrong", "数据库用户名或密码错误"},
    {"unknown_database", "Database=[^;]*", "Database=nosuchledger", "nosuchledger"},
};

void PrintTo(const StartFailure& failure, std::ostream* os) { *os << failure.label; }

class TeamSignInTest : public LoginTestBase, public testing::WithParamInterface<StartFailure> {};

TEST_P(TeamSignInTest, UnusableServerIsNamedAndTheProgramEnds) {
    const char* server = std::getenv("TALLOVAR_TEST_SERVER");
    if (!server || !*server) GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
    const std::string connection =
        std::regex_replace(server, std::regex(GetParam().change), GetParam().replace);
    WriteConfigBytes(QByteArray::fromStdString(Gbk("[数据库]\r\n连接=") + Gbk(connection)));

    LoginWindow* window = OpenLogin();
    SignIn(window, "张三", "secret");

    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(GbkToUtf8(messages_[0].text).find(GetParam().says), std::string::npos)
        << GbkToUtf8(messages_[0].text);
    EXPECT_EQ(messages_[0].title, Gbk("警告"));
    EXPECT_EQ(exitCodes_, std::vector<int>{0});
}

INSTANTIATE_TEST_SUITE_P(Login, TeamSignInTest, testing::ValuesIn(kFailures),
                         [](const testing::TestParamInfo<StartFailure>& info) {
                             return std::string(info.param.label);
                         });

}  // namespace
