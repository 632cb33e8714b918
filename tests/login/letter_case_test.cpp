// Names and passwords match without regard to letter case, on a ledger made
// by tallovar-admin init and on an old ledger after tallovar-admin upgrade.
#include <gtest/gtest.h>

#include <QPointer>

#include "login_test_support.h"
#include "store/ledger_file.h"
#include "tests/admin/admin_run.h"
#include "ui/orders/orders_window.h"

namespace {

class LetterCaseTest : public LoginTestBase, public testing::WithParamInterface<const char*> {
  protected:
    void MakeLedgerAs(const std::string& how) {
        const std::string directory = workDirectory_.toStdString();
        if (how == "init") {
            ASSERT_TRUE(CreateLedger(directory + "/tallovar.mdb", "admin", "Secret").ok());
            return;
        }
        MakeLedger({{1, "admin", "Secret"}});
        const AdminRun upgrade = RunAdmin(directory, "upgrade");
        ASSERT_EQ(upgrade.exitCode, 0) << upgrade.output;
    }
};

TEST_P(LetterCaseTest, SignsInWhateverTheCase) {
    MakeLedgerAs(GetParam());
    const struct {
        const char* name;
        const char* password;
        bool signedIn;
    } attempts[] = {
        {"Admin", "secret", true},   {"ADMIN", "SECRET", true},  {"admin", "Secret", true},
        {"ADMIN", "Secret ", false}, {"adm1n", "secret", false},
    };
    for (const auto& attempt : attempts) {
        messages_.clear();
        QPointer<LoginWindow> window = OpenLogin();
        SignIn(window, attempt.name, attempt.password);
        EXPECT_EQ(window.isNull(), attempt.signedIn) << attempt.name << "/" << attempt.password;
        EXPECT_EQ(messages_.empty(), attempt.signedIn) << attempt.name << "/" << attempt.password;
        if (window) window->close();
        if (MainWindow()) MainWindow()->close();
        Settle();
    }
}

INSTANTIATE_TEST_SUITE_P(Login, LetterCaseTest, testing::Values("init", "upgrade"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

}  // namespace
