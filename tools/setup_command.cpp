// tallovar-admin setup [FOLDER]: the first run from the desktop. When FOLDER
// (by default the current directory, the launcher gives its ledger folder)
// has no ledger and config.ini names no team ledger, the window "新建账本"
// makes one. Exit code 0 when the program can start now, 1 when the user
// cancelled.

#include <QDialog>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/program_files.h"
#include "platform/utf8_paths.h"
#include "store/ledger_file.h"
#include "store/program_settings.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/tool_window.h"
#include "ui/firstrun/first_run_window.h"

namespace {

int ShowWindow(const std::string& folder, const std::string& settingsPath) {
    FirstRunWindow window(folder, settingsPath);
    if (window.exec() != QDialog::Accepted) {
        std::fprintf(stderr, "已取消，没有建立账本 / cancelled, no ledger made\n");
        return kExitFailed;
    }
    std::printf("已建立账本 / ledger made\n");
    return kExitOk;
}

}  // namespace

int RunSetup(const CommandLine& line) {
    const std::vector<std::string>& arguments = line.Operands();
    if (arguments.size() > 1) return kExitUsage;
    std::string folder = arguments.empty() ? "" : arguments[0];
    if (folder.empty()) {
        std::string ledger;
        if (const Status here = LedgerPathHere(ledger); !here.ok()) {
            return Fail(here);
        }
        folder = Utf8DirectoryOf(ledger);
    }
    const std::string settingsPath = ProgramSettingsPath();
    if (const std::string ledger = PathIn(folder, kLedgerFileName); Utf8PathExists(ledger)) {
        std::printf("已有账本 / there is a ledger: %s\n", ledger.c_str());
        return kExitOk;
    }
    if (TeamLedgerConfigured(settingsPath)) {
        std::printf("已配置团队账本 / a team ledger is configured in %s\n", settingsPath.c_str());
        return kExitOk;
    }
    // Without a desktop Qt could only abort; a terminal user gets the way round.
    if (!CanOpenWindow()) {
        return Fail(
            "没有图形桌面，无法打开“新建账本”窗口。请在账本文件夹中运行：tallovar-admin "
            "init 用户名 密码",
            "no graphical desktop for the first-run window; in the ledger folder run: "
            "tallovar-admin init USER PASSWORD");
    }
    return RunInToolWindow([&] { return ShowWindow(folder, settingsPath); });
}
