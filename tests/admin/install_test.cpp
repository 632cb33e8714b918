// cmake --install into a fresh prefix: one program folder with the program,
// tallovar-admin and the skin library; launchers on the PATH; a desktop entry
// naming the installed launcher and icon. The launcher starts the program in
// the user's ledger folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "admin_run.h"
#include "store/ledger_file.h"
#include "test_ledger.h"
#include "tests/settings/temp_directory.h"

namespace fs = std::filesystem;

namespace {

std::string Text(const fs::path& path) { return ReadBytes(path.string()); }

bool Executable(const fs::path& path) { return access(path.c_str(), X_OK) == 0; }

class Installation : public testing::Test {
  protected:
    void SetUp() override {
        const AdminRun install =
            RunShell("'" TALLOVAR_CMAKE_COMMAND "' --install '" TALLOVAR_BINARY_DIR "' --prefix '" +
                     prefix.string() + "'");
        ASSERT_EQ(install.exitCode, 0) << install.output;
    }

    TestLedger scratch{false};
    fs::path prefix = fs::path(scratch.Directory()) / "prefix dir";
};

TEST_F(Installation, PutsProgramAdminAndSkinInOneFolderWithLaunchersAndADesktopEntry) {
    const fs::path program = prefix / "lib/tallovar";
    for (const char* name : {"tallovar", "tallovar-admin", "register_odbc_driver.sh"}) {
        EXPECT_TRUE(Executable(program / name)) << name;
    }
    EXPECT_TRUE(fs::is_regular_file(program / "SkinH_EL.dll"));
    EXPECT_NE(Text(program / "couriers.txt").find("顺丰 letters SF"), std::string::npos)
        << "批量发货's courier rules beside the program";
    EXPECT_NE(Text(program / "import_presets/taobao.txt").find("识别 订单编号 宝贝标题"),
              std::string::npos)
        << "从表格导入's presets beside the program";
    EXPECT_TRUE(Executable(prefix / "bin/tallovar"));

    const AdminRun help = RunShell("'" + (prefix / "bin/tallovar-admin").string() + "' help");
    EXPECT_EQ(help.exitCode, 0) << help.output;
    EXPECT_NE(help.output.find("restore"), std::string::npos);

    const fs::path icon = prefix / "share/icons/hicolor/scalable/apps/tallovar.svg";
    EXPECT_NE(Text(icon).find("<svg"), std::string::npos);
    const std::string entry = Text(prefix / "share/applications/tallovar.desktop");
    for (const std::string& line : std::vector<std::string>{
             "[Desktop Entry]\n", "\nType=Application\n", "\nName=Tallovar Order Ledger\n",
             "\nName[zh_CN]=Tallovar 订单账本\n",
             "\nExec=\"" + (prefix / "bin/tallovar").string() + "\"\n",
             "\nIcon=" + icon.string() + "\n"}) {
        EXPECT_NE(entry.find(line), std::string::npos) << line << "\n" << entry;
    }
}

TEST_F(Installation, LauncherStartsTheProgramInTheLedgerFolder) {
    // The program stands in for itself: it tells where it runs from and in.
    // The first-run window stands in too: it tells its folder, and makes a
    // ledger in $MAKE_IN and remembers that folder, or is cancelled; the daily
    // backup it answers with success.
    const fs::path program = prefix / "lib/tallovar/tallovar";
    const fs::path admin = prefix / "lib/tallovar/tallovar-admin";
    fs::remove(program);
    fs::remove(admin);
    std::ofstream(program) << "#!/bin/sh\necho \"$0\"\npwd\n";
    std::ofstream(admin)
        << "#!/bin/sh\n[ \"$1\" != backup ] || exit 0\necho \"$*\"\n[ -n \"$MAKE_IN\" ] || exit 1\n"
           "mkdir -p \"$MAKE_IN\" ~/.config/tallovar && touch \"$MAKE_IN/tallovar.mdb\"\n"
           "echo \"$MAKE_IN\" >~/.config/tallovar/ledger-folder\n";
    fs::permissions(program, fs::perms::owner_all);
    fs::permissions(admin, fs::perms::owner_all);

    const std::string home = scratch.Directory() + "/home";
    const std::string environment =
        "env -u XDG_CONFIG_HOME -u TALLOVAR_LEDGER_DIR HOME='" + home + "' ";
    const std::string bin = "'" + (prefix / "bin/tallovar").string() + "'";
    const std::string launcher = environment + bin;
    const std::string started = program.string() + "\n";
    AdminRun run = RunShell(launcher);  // the first run, cancelled
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(fs::is_directory(home + "/Tallovar"));
    EXPECT_NE(run.output.find("setup " + home + "/Tallovar\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(started), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("tallovar-admin init"), std::string::npos);

    run = RunShell("MAKE_IN='" + home + "/账本' " + launcher);  // another folder chosen
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(started + home + "/账本\n"), std::string::npos) << run.output;

    run = RunShell(launcher);  // afterwards: no window, the chosen folder
    EXPECT_EQ(run.output, started + home + "/账本\n");

    fs::create_directories(home + "/其他");
    std::ofstream(home + "/其他/tallovar.mdb");
    run = RunShell(environment + "TALLOVAR_LEDGER_DIR='" + home + "/其他' " + bin);
    EXPECT_EQ(run.output, started + home + "/其他\n");
}

TEST_F(Installation, LauncherRunsAUserCopyWhenTheProgramFolderIsReadOnly) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes to every folder";
    const fs::path folder = prefix / "lib/tallovar";
    fs::remove(folder / "tallovar");
    std::ofstream(folder / "tallovar") << "#!/bin/sh\necho \"$0\"\n";
    fs::permissions(folder / "tallovar", fs::perms::owner_all);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);

    const std::string home = scratch.Directory() + "/home";
    fs::create_directories(home + "/Tallovar");
    std::ofstream(home + "/Tallovar/tallovar.mdb");  // no first-run window
    const AdminRun run = RunShell("env -u XDG_DATA_HOME HOME='" + home + "' '" +
                                  (prefix / "bin/tallovar").string() + "'");
    fs::permissions(folder, fs::perms::owner_all);
    const std::string copy = home + "/.local/share/tallovar/program";
    EXPECT_EQ(run.output.substr(0, run.output.find('\n')), copy + "/tallovar") << run.output;
    EXPECT_TRUE(fs::is_regular_file(copy + "/SkinH_EL.dll"));
    EXPECT_TRUE(fs::is_regular_file(copy + "/couriers.txt"));
    EXPECT_TRUE(fs::is_regular_file(copy + "/import_presets/pinduoduo.txt"));
}

// Before each start the launcher keeps the day's copy in 备份/ and thins the
// old ones; when that fails the user is told and the program starts anyway.
TEST_F(Installation, LauncherKeepsDailyBackupsAndStartsWhenOneFails) {
    const fs::path program = prefix / "lib/tallovar/tallovar";
    fs::remove(program);
    std::ofstream(program) << "#!/bin/sh\necho started\n";
    fs::permissions(program, fs::perms::owner_all);
    const std::string ledgers = scratch.Directory() + "/账本";
    fs::create_directories(ledgers + "/备份");
    ASSERT_TRUE(CreateLedger(ledgers + "/tallovar.mdb", "admin", "pw", 25).ok());

    // Sixty earlier days of copies, and files that are not daily copies.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::chrono::sys_days today{std::chrono::year{local.tm_year + 1900} / (local.tm_mon + 1) /
                                      local.tm_mday};
    auto name = [](std::chrono::sys_days day) {
        const std::chrono::year_month_day d{day};
        char text[32];
        std::snprintf(text, sizeof text, "tallovar-%04d%02u%02u.mdb", int(d.year()),
                      unsigned(d.month()), unsigned(d.day()));
        return std::string(text);
    };
    for (int back = 2; back <= 61; ++back) {
        std::ofstream(ledgers + "/备份/" + name(today - std::chrono::days(back))) << "old";
    }
    for (const char* other : {"notes.txt", "tallovar-19990101-120000.mdb"}) {
        std::ofstream(ledgers + "/备份/" + other) << "keep";
    }

    const std::string launch =
        "TALLOVAR_LEDGER_DIR='" + ledgers + "' '" + (prefix / "bin/tallovar").string() + "' 2>&1";
    AdminRun run = RunShell(launch);
    EXPECT_EQ(run.output, "started\n");
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(ledgers + "/备份")) {
        kept.push_back(entry.path().filename().string());
    }
    std::sort(kept.begin(), kept.end(), std::greater<>());
    ASSERT_EQ(kept.size(), 7u + 4 + 2) << run.output;  // 7 daily, 4 weekly, the two others
    EXPECT_EQ(kept[11], "tallovar-19990101-120000.mdb");
    EXPECT_EQ(kept[12], "notes.txt");
    EXPECT_EQ(kept[0], name(today));
    EXPECT_EQ(kept[6], name(today - std::chrono::days(7)));  // yesterday was missing
    const fs::path newest = fs::path(ledgers) / "备份" / kept[0];
    TestLedger reader(false);
    fs::copy_file(newest, reader.DatabaseFile());
    EXPECT_EQ(reader.Rows("select count(*) from 订单列表")[0][0], "25");
    std::set<std::chrono::sys_days> weeks;
    for (std::size_t i = 7; i < 11; ++i) {
        const int y = std::stoi(kept[i].substr(9, 4));
        const unsigned m = std::stoi(kept[i].substr(13, 2)), d = std::stoi(kept[i].substr(15, 2));
        const std::chrono::sys_days day{std::chrono::year{y} / m / d};
        weeks.insert(day - (std::chrono::weekday{day} - std::chrono::Monday));
    }
    EXPECT_EQ(weeks.size(), 4u) << "one copy a week";

    // A second start on the same day adds nothing; a failing one says so.
    run = RunShell(launch);
    EXPECT_EQ(run.output, "started\n");
    fs::remove_all(ledgers + "/备份");
    std::ofstream(ledgers + "/备份") << "a file in the way";
    run = RunShell(launch);
    EXPECT_NE(run.output.find("自动备份没有完成"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("started\n"), std::string::npos) << run.output;
}

}  // namespace
