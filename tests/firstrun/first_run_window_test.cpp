// The window "新建账本" as a new user meets it: what it makes the program
// signs into and shows in its pick lists; what it refuses leaves nothing
// behind (no ledger, no folder, config.ini byte for byte, no remembered
// folder).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <string>
#include <vector>

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "test_ledger.h"
#include "tests/settings/temp_directory.h"
#include "ui/firstrun/first_run_window.h"
#include "ui/login/login_window.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"

namespace fs = std::filesystem;

namespace {

// config.ini as a user may have it: GBK, lines the program does not know.
const std::string kConfig =
    Gbk("; 我的设置\r\n[sysuser]\r\nusername=\r\n[zhanghaoinfo]\r\nzhanghao=旧店\r\n"
        "[其他]\r\n键=值\r\n");

struct Typed {
    std::string folder;  // under the scratch directory
    std::string user, password, again, sellers, companies;
};

class FirstRunTest : public testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (scratch_.Directory() + "/config").c_str(), 1);
        WriteBytes(Settings(), kConfig);
        ResetProgramState();
        SetMessageBoxForTesting([this](const std::string& text, int, const std::string&) {
            messages_.push_back(GbkToUtf8(text));
            return kAnswerYes;
        });
        SetProcessEndForTesting([](int) {});
    }
    void TearDown() override {
        CloseAllWindows();
        SetMessageBoxForTesting(nullptr);
        SetProcessEndForTesting(nullptr);
        unsetenv("XDG_CONFIG_HOME");
    }

    std::string Settings() const { return scratch_.Directory() + "/config.ini"; }
    std::string Path(const std::string& name) const { return scratch_.Directory() + "/" + name; }

    // Fills the window and clicks 确定; true when it was accepted.
    bool Submit(const Typed& typed) {
        FirstRunWindow window(Path("Tallovar"), Settings());
        shownSellers_ = Plain(window, "编辑框5")->toPlainText();
        Edit(window, "编辑框1")->setText(QString::fromStdString(Path(typed.folder)));
        Edit(window, "编辑框2")->setText(QString::fromStdString(typed.user));
        Edit(window, "编辑框3")->setText(QString::fromStdString(typed.password));
        Edit(window, "编辑框4")->setText(QString::fromStdString(typed.again));
        Plain(window, "编辑框5")->setPlainText(QString::fromStdString(typed.sellers));
        Plain(window, "编辑框6")->setPlainText(QString::fromStdString(typed.companies));
        window.findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
        return window.result() == QDialog::Accepted;
    }

    static QLineEdit* Edit(QWidget& window, const char* name) {
        return window.findChild<QLineEdit*>(QString::fromUtf8(name));
    }
    static QPlainTextEdit* Plain(QWidget& window, const char* name) {
        return window.findChild<QPlainTextEdit*>(QString::fromUtf8(name));
    }

    TestLedger scratch_{false};
    std::vector<std::string> messages_;
    QString shownSellers_;  // as the window opened
};

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items.append(box->itemText(i));
    return items;
}

TEST_F(FirstRunTest, MakesALedgerThatTheProgramSignsIntoWithThePickListsChosen) {
    ASSERT_TRUE(
        Submit({"我的账本", "老板", "密 码", "密 码", "旧店\n  店铺甲 \n\n", "顺丰\n中通"}));
    EXPECT_TRUE(messages_.empty()) << messages_.front();
    EXPECT_EQ(shownSellers_, QStringLiteral("旧店"));
    EXPECT_EQ(ReadBytes(Path("config/tallovar/ledger-folder")), Path("我的账本") + "\n");
    const std::string config = ReadBytes(Settings());
    for (const char* kept : {"; 我的设置\r\n", "[其他]\r\n键=值\r\n"}) {
        EXPECT_NE(config.find(Gbk(kept)), std::string::npos) << kept;
    }

    // The program, started in the chosen folder, signs in and offers the lists.
    ASSERT_EQ(chdir(Path("我的账本").c_str()), 0);
    OpenLoginWindow();
    LoginWindow* login = TopLevel<LoginWindow>();
    ASSERT_NE(login, nullptr);
    login->findChild<QLineEdit*>(QStringLiteral("编辑框1"))->setText(QStringLiteral("老板"));
    login->findChild<QLineEdit*>(QStringLiteral("编辑框2"))->setText(QStringLiteral("密 码"));
    Named<QPushButton>(login, "按钮2")->click();
    EXPECT_TRUE(messages_.empty()) << messages_.front();
    OrdersWindow* main = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<OrdersWindow*>(widget)) main = window;
    }
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Items(Named<QComboBox>(main, "组合框1")),
              QStringList({QStringLiteral("旧店"), QStringLiteral("店铺甲")}));
    EXPECT_EQ(Items(Named<QComboBox>(main, "组合框2")),
              QStringList({QStringLiteral("顺丰"), QStringLiteral("中通")}));
}

TEST_F(FirstRunTest, RefusesAndLeavesNothingBehind) {
    WriteBytes(Path("a file"), "x");
    fs::create_directories(Path("有账本"));
    WriteBytes(Path("有账本/tallovar.mdb"), "ledger");
    struct Case {
        Typed typed;
        const char* told;
    };
    const std::vector<Case> cases = {
        {{"新", "老板", "一", "二", "", ""}, "两次输入的密码不一样"},
        {{"新", "", "一", "一", "", ""}, "用户名和密码都不能为空"},
        {{"新", "老板", "", "", "", ""}, "用户名和密码都不能为空"},
        {{"新", "老板", "一", "一", "店|铺", ""}, "含有分隔符“|”"},
        {{"新", "老板", "一", "一", "", "顺丰#"}, "含有分隔符“#”"},
        {{"新", "老板", "一", "一", "😀", ""}, "GBK 编码没有的字符"},
        {{"a file/新", "老板", "一", "一", "", ""}, "无法建立文件夹"},
        {{"有账本", "老板", "一", "一", "", ""}, "已有账本"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        messages_.clear();
        EXPECT_FALSE(Submit(c.typed));
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].find(c.told), std::string::npos) << messages_[0];
        EXPECT_FALSE(fs::exists(Path("新")));
        EXPECT_EQ(ReadBytes(Path("有账本/tallovar.mdb")), "ledger");
        EXPECT_EQ(ReadBytes(Settings()), kConfig);
        EXPECT_FALSE(fs::exists(Path("config")));
    }
}

TEST_F(FirstRunTest, TakesEverythingBackWhenALaterStepFails) {
    // A folder where config.ini must be written, or a file where the folder
    // of the remembered ledger folder must be made.
    struct Case {
        bool settingsBlocked;
        const char* told;
    };
    for (const Case& c : {Case{true, "无法写入配置文件"}, Case{false, "无法记住账本文件夹"}}) {
        SCOPED_TRACE(c.told);
        fs::remove(Settings());
        if (c.settingsBlocked) {
            fs::create_directory(Settings());
        } else {
            WriteBytes(Settings(), kConfig);
            WriteBytes(Path("config"), "");
        }
        messages_.clear();
        EXPECT_FALSE(Submit({"新/账本", "老板", "一", "一", "店铺甲", ""}));
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].find(c.told), std::string::npos) << messages_[0];
        EXPECT_FALSE(fs::exists(Path("新")));
        if (!c.settingsBlocked) EXPECT_EQ(ReadBytes(Settings()), kConfig);
    }
}

}  // namespace
