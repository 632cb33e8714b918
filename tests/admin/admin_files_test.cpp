// What tallovar-admin writes to disk, run in a folder with a Chinese name as
// a user would: every command finds the ledger there, and every file it makes
// (ledger, backup, export, the kept ledger of a restore) is its owner's only,
// since each holds customers' names, phones and addresses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <string>

#include "admin_run.h"
#include "tests/store/ledger_fixture.h"

namespace {

class AdminFiles : public LedgerTest {};

TEST_F(AdminFiles, WorkInAChineseFolderAndMakeOwnerOnlyFiles) {
    const std::string folder = directory_ + "/账本";
    std::filesystem::create_directory(folder);
    struct Step {
        const char* arguments;
        const char* made;  // a pattern for the name of the file it makes, or ""
    };
    const Step steps[] = {
        {"init 老板 密码 --demo 5", R"(tallovar\.mdb)"},
        {"user list", ""},
        {"user add 小王 pw", ""},
        {"backup 备份.mdb", R"(备份\.mdb)"},
        {"export --output 订单.csv", R"(订单\.csv)"},
        {"restore 备份.mdb", R"(tallovar\.mdb\.replaced-.*)"},
    };
    const mode_t mask = umask(022);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.arguments);
        const AdminRun run = RunAdmin(folder, step.arguments);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        if (*step.made == '\0') continue;
        int found = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            // Files are written under a hidden temporary name first.
            EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
            if (!std::regex_match(entry.path().filename().string(), std::regex(step.made)))
                continue;
            ++found;
            struct stat info {};
            ASSERT_EQ(stat(entry.path().c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0600u) << entry.path();
        }
        EXPECT_EQ(found, 1);
    }
    umask(mask);
    EXPECT_TRUE(Mentions(RunAdmin(folder, "user list"), "1\t老板\n2\t小王\n"));
}

}  // namespace
