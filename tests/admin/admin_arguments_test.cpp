// tallovar-admin's arguments as a user types them: every command answers
// --help and -h with its usage and does nothing else; an argument starting
// with "-" is never taken for a file name unless it follows "--"; options may
// stand on either side of the file; the manual page and the bash completion
// offer what --help offers.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "admin_run.h"
#include "store/ledger_file.h"
#include "test_ledger.h"
#include "tests/settings/temp_directory.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kCommands = {"init",   "user",   "backup",  "restore",
                                            "export", "import", "upgrade", "trash",
                                            "lists",  "setup",  "ship",    "convert"};

// What the folder holds: every name with its bytes.
std::string Contents(const std::string& directory) {
    std::string all;
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    for (const std::string& name : names) all += name + "\n" + ReadBytes(directory + "/" + name);
    return all;
}

// Standard output only.
AdminRun RunForOutput(const std::string& directory, const std::string& arguments) {
    return RunShell("(cd '" + directory + "' && '" TALLOVAR_BINARY_DIR "/tallovar-admin' " +
                    arguments + " 2>/dev/null)");
}

// The options a command's --help lists.
std::set<std::string> HelpOptions(const std::string& help) {
    std::set<std::string> options;
    const std::regex option(R"(\n  (--[a-z0-9-]+))");
    for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) {
        options.insert((*it)[1]);
    }
    return options;
}

class AdminArguments : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "admin", "pw", 5).ok());
    }
    TestLedger ledger{false};
};

TEST_F(AdminArguments, HelpAnywhereShowsTheUsageAndChangesNothing) {
    const std::string before = Contents(ledger.Directory());
    for (const std::string& command : kCommands) {
        for (const char* tail : {"--help", "-h", "x.mdb --help", "--force -h"}) {
            const std::string arguments = command + " " + std::string(tail);
            SCOPED_TRACE(arguments);
            const AdminRun run = RunForOutput(ledger.Directory(), arguments);
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_TRUE(Mentions(run, "用法 / usage: tallovar-admin " + command)) << run.output;
            EXPECT_EQ(Contents(ledger.Directory()), before);
        }
    }
    const AdminRun version = RunForOutput(ledger.Directory(), "--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(std::regex_match(version.output, std::regex("tallovar-admin [0-9.]+\n")))
        << version.output;
}

// convert changes a folder only when it turns an Access ledger into an
// SQLite one; an SQLite ledger, or a file no driver here reads, stays as it
// was, with nothing left beside it.
TEST_F(AdminArguments, ConvertLeavesWhatItCannotOrNeedNotConvert) {
    const struct {
        const char* what;
        const char* ledgerBytes;  // nullptr: the SQLite ledger of SetUp
        const char* extra;        // a file put beside the ledger first
        int exitCode;
        const char* said;
    } cases[] = {
        {"SQLite ledger", nullptr, nullptr, 0, "不需要转换"},
        {"not a ledger", "Standard Jet DB, or so it says", nullptr, 1, "没有转换"},
        {"open Access ledger", "Standard Jet DB", "tallovar.ldb", 1, "正在被使用"},
        {"extra operand", nullptr, nullptr, 2, "用法"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.ledgerBytes) WriteBytes(ledger.DatabaseFile(), c.ledgerBytes);
        if (c.extra) WriteBytes(ledger.Directory() + "/" + c.extra, "");
        const std::string before = Contents(ledger.Directory());
        const AdminRun run = RunAdmin(ledger.Directory(),
                                      std::string("convert") + (c.exitCode == 2 ? " x.mdb" : ""));
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_TRUE(Mentions(run, c.said)) << run.output;
        EXPECT_EQ(Contents(ledger.Directory()), before);
    }
}

TEST_F(AdminArguments, DashesAreOptionsUnlessAfterADoubleDash) {
    struct Case {
        const char* arguments;
        int exitCode;
        const char* said;     // in the output
        const char* written;  // a file that must then exist, or ""
    };
    const Case cases[] = {
        {"backup --bogus", 2, "unknown option: --bogus", ""},
        {"backup -x.mdb", 2, "unknown option: -x.mdb", ""},
        {"restore --force", 2, "unknown option: --force", ""},
        {"import --skip", 2, "unknown option: --skip", ""},
        {"export --output", 2, "--output", ""},
        {"--bogus", 2, "unknown option: --bogus", ""},
        {"backup -- -x.mdb", 0, "-x.mdb", "-x.mdb"},
        {"backup --force 前.mdb", 0, "前.mdb", "前.mdb"},
        {"backup 后.mdb --force", 0, "后.mdb", "后.mdb"},
        {"export --output=a.csv --seller 店", 0, "a.csv", "a.csv"},
        {"import a.csv --allow-duplicates", 0, "已导入", ""},
        {"import --allow-duplicates a.csv", 0, "已导入", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const AdminRun run = RunAdmin(ledger.Directory(), c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_TRUE(Mentions(run, c.said)) << run.output;
        if (*c.written) {
            EXPECT_TRUE(fs::exists(ledger.Directory() + "/" + c.written));
        }
    }
    for (const char* name : {"--bogus", "--force", "--help"}) {
        EXPECT_FALSE(fs::exists(ledger.Directory() + "/" + name)) << name;
    }
    // A lone "-" is standard output.
    const AdminRun toOutput = RunForOutput(ledger.Directory(), "export --output -");
    EXPECT_EQ(toOutput.exitCode, 0);
    EXPECT_TRUE(Mentions(toOutput, "卖家账号")) << toOutput.output;
}

// Every option --help lists is in the manual page and offered by the bash
// completion after the command's name.
TEST_F(AdminArguments, ManualPageAndCompletionOfferWhatHelpOffers) {
    const std::string page = ReadBytes(TALLOVAR_BINARY_DIR "/tools/install/tallovar-admin.1");
    const std::string completion = TALLOVAR_BINARY_DIR "/tools/install/tallovar-admin.bash";
    ASSERT_TRUE(fs::exists(completion));
    for (const std::string& command : kCommands) {
        SCOPED_TRACE(command);
        const std::string help = RunForOutput(ledger.Directory(), command + " --help").output;
        EXPECT_NE(page.find("\n\\fB" + command + "\\fR"), std::string::npos);
        const AdminRun offered = RunShell(
            "bash -c 'source \"" + completion + "\"; COMP_WORDS=(tallovar-admin " + command +
            " --); COMP_CWORD=2; _tallovar_admin; printf \"%s\\n\" " + "\"${COMPREPLY[@]}\"'");
        for (const std::string& option : HelpOptions(help)) {
            std::string roff;
            for (char c : option) roff += c == '-' ? std::string("\\-") : std::string(1, c);
            EXPECT_NE(page.find("\\fB" + roff + "\\fR"), std::string::npos) << option;
            EXPECT_TRUE(Mentions(offered, option + "\n")) << option << "\n" << offered.output;
        }
    }
    const AdminRun names = RunShell("bash -c 'source \"" + completion +
                                    "\"; COMP_WORDS=(tallovar-admin \"\"); COMP_CWORD=1; "
                                    "_tallovar_admin; echo \"${COMPREPLY[*]}\"'");
    for (const std::string& command : kCommands) EXPECT_TRUE(Mentions(names, command));
}

}  // namespace
