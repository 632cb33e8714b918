// The Start-menu launcher's steps: which tallovar-admin commands it runs in
// which folder, where the program starts, and what the user is told.
#include "tools/launcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/test_ledger.h"

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

TEST(LauncherTest, MakesTheLedgerBacksUpAndStartsInTheLedgerFolder) {
    struct Case {
        const char* what;
        bool ledgerThere;
        // setup: "cancel", "here" (a ledger in the folder), "elsewhere" (a
        // ledger in another folder, remembered), "team" (none, team ledger)
        const char* setup;
        bool backupFails;
        bool programStarts;
        std::vector<std::string> commands;  // "<command> in <folder name>"
        const char* startedIn;              // folder name, or "" when not started
        std::string told;                   // the start of what the user is told
        int exitCode;
    };
    const Case cases[] = {
        {"ledger there", true, "", false, true, {"backup --daily in 账本"}, "账本", "", 0},
        {"backup fails",
         true,
         "",
         true,
         true,
         {"backup --daily in 账本"},
         "账本",
         "今天的自动备份没有完成，程序照常启动。\n磁盘已满",
         0},
        {"first run here",
         false,
         "here",
         false,
         true,
         {"setup in 账本", "backup --daily in 账本"},
         "账本",
         "",
         0},
        {"first run in another folder",
         false,
         "elsewhere",
         false,
         true,
         {"setup in 账本", "backup --daily in 别处"},
         "别处",
         "",
         0},
        {"first run cancelled",
         false,
         "cancel",
         false,
         true,
         {"setup in 账本"},
         "",
         "没有建立账本",
         1},
        {"team ledger", false, "team", false, true, {"setup in 账本"}, "账本", "", 0},
        {"program missing",
         true,
         "",
         true,
         false,
         {"backup --daily in 账本"},
         "",
         "无法启动 Tallovar",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestLedger home(false);
        const fs::path root = home.Directory();
        const fs::path folder = root / "账本", elsewhere = root / "别处";
        const std::string remembered = (root / "config" / "ledger-folder").string();
        if (c.ledgerThere) Touch(folder / "tallovar.mdb");

        std::vector<std::string> commands;
        std::string startedIn, told;
        LauncherSteps steps;
        steps.runAdmin = [&](const std::vector<std::string>& arguments, const std::string& in,
                             std::string& errors) {
            std::string line;
            for (const std::string& a : arguments) line += (line.empty() ? "" : " ") + a;
            commands.push_back(line + " in " + fs::path(in).filename().string());
            if (arguments.front() == "setup") {
                const std::string how = c.setup;
                if (how == "cancel") return 1;
                if (how == "here") Touch(fs::path(in) / "tallovar.mdb");
                if (how == "elsewhere") {
                    Touch(elsewhere / "tallovar.mdb");
                    Touch(remembered);
                    std::ofstream(remembered) << elsewhere.string() << "\n";
                }
                return 0;
            }
            if (c.backupFails) {
                errors = "磁盘已满";
                return 1;
            }
            return 0;
        };
        steps.startProgram = [&](const std::string& in) {
            if (!c.programStarts) return false;
            startedIn = fs::path(in).filename().string();
            return true;
        };
        steps.tell = [&](const std::string& message) { told += message; };

        EXPECT_EQ(Launch({"", remembered, folder.string()}, steps), c.exitCode);
        EXPECT_EQ(commands, c.commands);
        EXPECT_EQ(startedIn, c.startedIn);
        EXPECT_EQ(told.substr(0, c.told.size()), c.told);
        if (c.told.empty()) EXPECT_EQ(told, "");
        EXPECT_TRUE(fs::is_directory(folder)) << "the default folder is made";
    }
}

TEST(LauncherTest, LedgerFolderIsTheChosenTheRememberedOrTheDefault) {
    TestLedger home(false);
    const std::string remembered = home.Directory() + "/ledger-folder";
    EXPECT_EQ(LauncherLedgerFolder({"", remembered, "默认"}), "默认");
    std::ofstream(remembered) << "\n";
    EXPECT_EQ(LauncherLedgerFolder({"", remembered, "默认"}), "默认") << "an empty line";
    std::ofstream(remembered) << "D:\\账本\r\n第二行\n";
    EXPECT_EQ(LauncherLedgerFolder({"", remembered, "默认"}), "D:\\账本");
    EXPECT_EQ(LauncherLedgerFolder({"/tmp/给定", remembered, "默认"}), "/tmp/给定");
}

}  // namespace
