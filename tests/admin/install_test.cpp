// cmake --install into a fresh prefix: one program folder with the program,
// tallovar-admin and the skin library; launchers on the PATH; a desktop entry
// naming the installed launcher and icon. The launcher starts the program in
// the user's ledger folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "admin_run.h"
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
    const fs::path program = prefix / "lib/tallovar/tallovar";
    fs::remove(program);
    std::ofstream(program) << "#!/bin/sh\necho \"$0\"\npwd\n";
    fs::permissions(program, fs::perms::owner_all);

    const std::string home = scratch.Directory() + "/home";
    const std::string launcher = "'" + (prefix / "bin/tallovar").string() + "'";
    AdminRun run = RunShell("env -u TALLOVAR_LEDGER_DIR HOME='" + home + "' " + launcher);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(fs::is_directory(home + "/Tallovar"));
    EXPECT_NE(run.output.find(program.string() + "\n" + home + "/Tallovar\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("tallovar-admin init"), std::string::npos);  // no ledger there yet

    std::ofstream(home + "/Tallovar/tallovar.mdb");
    run = RunShell("env -u TALLOVAR_LEDGER_DIR HOME='" + home + "' " + launcher);
    EXPECT_EQ(run.output, program.string() + "\n" + home + "/Tallovar\n");

    run = RunShell("HOME='" + home + "' TALLOVAR_LEDGER_DIR='" + home + "/其他' " + launcher);
    EXPECT_NE(run.output.find(home + "/其他\n"), std::string::npos) << run.output;
}

TEST_F(Installation, LauncherRunsAUserCopyWhenTheProgramFolderIsReadOnly) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes to every folder";
    const fs::path folder = prefix / "lib/tallovar";
    fs::remove(folder / "tallovar");
    std::ofstream(folder / "tallovar") << "#!/bin/sh\necho \"$0\"\n";
    fs::permissions(folder / "tallovar", fs::perms::owner_all);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);

    const std::string home = scratch.Directory() + "/home";
    const AdminRun run = RunShell("env -u XDG_DATA_HOME HOME='" + home + "' '" +
                                  (prefix / "bin/tallovar").string() + "'");
    fs::permissions(folder, fs::perms::owner_all);
    const std::string copy = home + "/.local/share/tallovar/program";
    EXPECT_EQ(run.output.substr(0, run.output.find('\n')), copy + "/tallovar") << run.output;
    EXPECT_TRUE(fs::is_regular_file(copy + "/SkinH_EL.dll"));
}

}  // namespace
