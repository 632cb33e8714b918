// Sign-in against a real ledger file and a real config.ini.
#include <gtest/gtest.h>

#include <QFile>
#include <QPointer>

#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "login_test_support.h"
#include "store/settings.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"

namespace {

// Every id at least 1: a statement that an injected quote turns into one that
// returns every row reads the first of them and signs in, so the injection
// cases can fail. The users below 1 are only in the ledgers of their cases.
const std::vector<LedgerUser> kUsers = {
    {1, "张三", "secret"},
    {2, "o'neil", "it's"},
};
const std::vector<LedgerUser> kUsersBelowOne = {
    {0, "zero", "pw"},
    {-3, "negative", "pw"},
};

const QByteArray kOldConfig = "[sysuser]\r\nusername=old\r\npassword=oldpw\r\n";

const char kRefused[] = "登录失败！用户名或密码错误！";
const char kEmpty[] = "用户名或密码为空！";

struct SignInCase {
    const char* label;
    const char* name;
    const char* password;
    const char* message;    // nullptr: signed in
    bool remembered;        // the typed pair is in config.ini afterwards
    int signedInAs = 0;     // the user's ID when signed in
    bool belowOne = false;  // the ledger holds users with an id below 1
};

const SignInCase kCases[] = {
    {"match", "张三", "secret", nullptr, true, 1},
    {"quotes_looked_up_as_themselves", "o'neil", "it's", nullptr, true, 2},
    {"wrong_password", "张三", "wrong", kRefused, true},
    {"quote_injection", "' or '1'='1", "' or '1'='1", kRefused, true},
    {"injection_in_password_only", "张三", "' or '1'='1", kRefused, true},
    {"trailing_space_is_sent", "张三 ", "secret", kRefused, true},
    {"blank_name_is_not_empty", " ", "secret", kRefused, true},
    {"first_column_zero", "zero", "pw", kRefused, true, 0, true},
    {"first_column_negative", "negative", "pw", kRefused, true, 0, true},
    {"empty_name", "", "secret", kEmpty, false},
    {"empty_password", "张三", "", kEmpty, false},
};

void PrintTo(const SignInCase& c, std::ostream* os) { *os << c.label; }

class SignInFlowTest : public LoginTestBase, public testing::WithParamInterface<SignInCase> {};

TEST_P(SignInFlowTest, DecidesAndRemembers) {
    const SignInCase& c = GetParam();
    std::vector<LedgerUser> users = kUsers;
    if (c.belowOne) users.insert(users.end(), kUsersBelowOne.begin(), kUsersBelowOne.end());
    MakeLedger(users);
    WriteConfigBytes(kOldConfig);
    QPointer<LoginWindow> window = OpenLogin();
    ASSERT_TRUE(window);

    SignIn(window, c.name, c.password);

    EXPECT_TRUE(exitCodes_.empty());
    if (c.message) {
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].text, Gbk(c.message));
        EXPECT_EQ(messages_[0].title, Gbk("信息提示"));
        EXPECT_EQ(messages_[0].flags & 0xFF, kMbOk);
        ASSERT_TRUE(window) << "a refused sign-in keeps the window";
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Edit(window, "编辑框1")->text(), QString::fromUtf8(c.name));
        EXPECT_EQ(Edit(window, "编辑框2")->text(), QString::fromUtf8(c.password));
        EXPECT_LT(signInResult, 1);
    } else {
        EXPECT_TRUE(messages_.empty());
        EXPECT_NE(signInRecordset, 0);
        EXPECT_EQ(signInResult, c.signedInAs);
        EXPECT_FALSE(window) << "the login window is destroyed after a sign-in";
        EXPECT_NE(MainWindow(), nullptr) << "the main window is open";
    }
    if (c.remembered) {
        EXPECT_EQ(ReadSetting(ConfigPath(), "sysuser", "username"), Gbk(c.name));
        EXPECT_EQ(ReadSetting(ConfigPath(), "sysuser", "password"), Gbk(c.password));
    } else {
        EXPECT_EQ(ConfigBytes(), kOldConfig);
    }
}

INSTANTIATE_TEST_SUITE_P(Login, SignInFlowTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SignInCase>& info) {
                             return std::string(info.param.label);
                         });

class SignInTest : public LoginTestBase {};

TEST_F(SignInTest, RememberedPairComesBackAtTheNextStart) {
    MakeLedger(kUsers);
    SignIn(OpenLogin(), "张三", "secret");
    ASSERT_EQ(TopLevel<LoginWindow>(), nullptr);
    LoginWindow* next = OpenLogin();
    EXPECT_EQ(Edit(next, "编辑框1")->text(), QString::fromUtf8("张三"));
    EXPECT_EQ(Edit(next, "编辑框2")->text(), QStringLiteral("secret"));
}

TEST_F(SignInTest, BoxesFilledFromTheProgramDirectoryNotTheCurrentOne) {
    WriteConfigBytes("[SysUser]\r\n username = \"ab c\" \r\npassword=p w\r\n");
    QFile stray(workDirectory_ + QStringLiteral("/config.ini"));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("[sysuser]\r\nusername=stray\r\npassword=stray\r\n");
    stray.close();
    LoginWindow* window = OpenLogin();
    EXPECT_EQ(Edit(window, "编辑框1")->text(), QStringLiteral("ab c"));
    EXPECT_EQ(Edit(window, "编辑框2")->text(), QStringLiteral("p w"));
}

TEST_F(SignInTest, NoSettingsFileGivesEmptyBoxes) {
    LoginWindow* window = OpenLogin();
    EXPECT_TRUE(Edit(window, "编辑框1")->text().isEmpty());
    EXPECT_TRUE(Edit(window, "编辑框2")->text().isEmpty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(ConfigPath())));
}

TEST_F(SignInTest, MissingDatabaseEndsTheProgramAfterTheMessage) {
    WriteConfigBytes(kOldConfig);
    QPointer<LoginWindow> window = OpenLogin();
    SignIn(window, "张三", "secret");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, Gbk("数据库不存在，无法使用！"));
    EXPECT_EQ(messages_[0].title, Gbk("警告"));
    EXPECT_EQ(messages_[0].flags & 0xFF, kMbOk);
    EXPECT_EQ(exitCodes_, std::vector<int>{0});
    EXPECT_EQ(ConfigBytes(), kOldConfig);
}

// A ledger the driver cannot read is a database fault, not a wrong password:
// the user sees the diagnostic and the window stays for another try.
class BrokenLedgerTest : public SignInTest, public testing::WithParamInterface<const char*> {
  protected:
    void MakeBroken(const std::string& kind) {
        if (kind == "not_a_database") {
            WriteLedgerBytes(QByteArray("this is a text file, not a ledger\n").repeated(200));
        } else {
            WriteLedgerBytes({});  // an empty file is a database without tables
        }
    }
};

TEST_P(BrokenLedgerTest, ShowsTheDatabaseFaultAndKeepsTheWindow) {
    MakeBroken(GetParam());
    QPointer<LoginWindow> window = OpenLogin();
    SignIn(window, "张三", "secret");
    ASSERT_EQ(messages_.size(), 1u);
    const std::string prefix = Gbk("数据库操作失败：");
    EXPECT_EQ(messages_[0].text.substr(0, prefix.size()), prefix);
    EXPECT_GT(messages_[0].text.size(), prefix.size()) << "the driver's diagnostic follows";
    EXPECT_EQ(messages_[0].title, Gbk("错误"));
    EXPECT_TRUE(exitCodes_.empty());
    EXPECT_TRUE(window);
    EXPECT_EQ(signInRecordset, 0);
    EXPECT_EQ(ReadSetting(ConfigPath(), "sysuser", "username"), Gbk("张三"));
}

INSTANTIATE_TEST_SUITE_P(Login, BrokenLedgerTest,
                         testing::Values("not_a_database", "no_user_table"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

}  // namespace
