// tallovar-admin user: the user table changes as asked, and a refused change
// leaves it exactly as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "admin_run.h"
#include "store/ledger_file.h"
#include "test_ledger.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class UserCommand : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "老板", "初始").ok()); }
    Rows Users() const { return ledger.Rows("select username, password from sysuser order by ID"); }
    AdminRun Run(const std::string& arguments, const std::string& input = "") {
        return RunAdmin(ledger.Directory(), arguments, input);
    }

    TestLedger ledger{false};
};

TEST_F(UserCommand, AddsChangesListsAndRemovesUsersByTheirExactNames) {
    EXPECT_EQ(Run("user add 小王 'pass word'").exitCode, 0);
    EXPECT_EQ(Run("user add Wang", "从标准输入\n").exitCode, 0);  // password from a pipe
    EXPECT_EQ(Run("user passwd 小王 新密码").exitCode, 0);
    EXPECT_EQ(Users(), (Rows{{"老板", "初始"}, {"小王", "新密码"}, {"Wang", "从标准输入"}}));

    const AdminRun list = Run("user list");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(Mentions(list, "1\t老板\n2\t小王\n3\tWang\n")) << list.output;
    EXPECT_FALSE(Mentions(list, "新密码"));

    EXPECT_EQ(Run("user remove 小王").exitCode, 0);
    EXPECT_EQ(Users(), (Rows{{"老板", "初始"}, {"Wang", "从标准输入"}}));
}

TEST_F(UserCommand, RefusesDuplicateAndUnknownNamesAndBadArgumentsWithoutChangingAnything) {
    struct Case {
        const char* arguments;
        const char* says;  // part of the message, Chinese and English
    };
    const Case cases[] = {
        {"user add 老板 x", "用户已存在"},
        {"user add 老板 x", "already exists"},
        {"user passwd 老 x", "没有这个用户"},
        {"user remove 'wong'", "no such user"},
        {"user add WANG x", "already exists"},  // names compare as the sign-in: case folded
        {"user add '' x", "不能为空"},
        {"user add \"$(printf '\\377\\376')\" x", "UTF-8"},
        {"user", "usage"},
        {"user add", "usage"},
        {"user add a b c", "usage"},
        {"user delete 老板", "usage"},
    };
    ledger.AddUser("Wang", "w");
    const Rows before = Users();
    for (const Case& c : cases) {
        const AdminRun run = RunAdmin(ledger.Directory(), c.arguments);
        EXPECT_NE(run.exitCode, 0) << c.arguments;
        EXPECT_TRUE(Mentions(run, c.says)) << c.arguments << ": " << run.output;
    }
    EXPECT_EQ(Users(), before);
}

TEST(UserCommandWithoutLedger, SaysWhereItLooked) {
    TestLedger empty(false);
    const AdminRun run = RunAdmin(empty.Directory(), "user list");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(Mentions(run, "没有账本")) << run.output;
    EXPECT_TRUE(Mentions(run, empty.DatabaseFile())) << run.output;
}

}  // namespace
