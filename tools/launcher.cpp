#include "tools/launcher.h"

#include <filesystem>
#include <fstream>

#include "platform/program_files.h"

namespace fs = std::filesystem;

namespace {

bool HasLedger(const std::string& folder) {
    std::error_code error;
    return fs::exists(fs::u8path(folder) / kLedgerFileName, error);
}

}  // namespace

std::string LauncherLedgerFolder(const LauncherFolders& folders) {
    if (!folders.chosen.empty()) return folders.chosen;
    std::ifstream remembered(fs::u8path(folders.remembered));
    std::string line;
    if (std::getline(remembered, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) return line;
    }
    return folders.fallback;
}

int Launch(const LauncherFolders& folders, const LauncherSteps& steps) {
    std::string folder = LauncherLedgerFolder(folders);
    std::error_code ignored;
    fs::create_directories(fs::u8path(folder), ignored);
    std::string errors;
    // First run: no ledger yet (and no team ledger in config.ini), so the
    // window "新建账本" makes one, perhaps in another folder; cancelled,
    // nothing starts.
    if (!HasLedger(folder)) {
        if (steps.runAdmin({"setup"}, folder, errors) != 0) {
            steps.tell("没有建立账本，程序未启动。\n" + errors);
            return 1;
        }
        folder = LauncherLedgerFolder(folders);
    }
    std::string backupProblem;
    if (HasLedger(folder) && steps.runAdmin({"backup", "--daily"}, folder, errors) != 0) {
        backupProblem = "今天的自动备份没有完成，程序照常启动。\n" + errors;
    }
    if (!steps.startProgram(folder)) {
        steps.tell("无法启动 Tallovar（tallovar.exe）。" +
                   (backupProblem.empty() ? std::string() : "\n\n" + backupProblem));
        return 1;
    }
    if (!backupProblem.empty()) steps.tell(backupProblem);
    return 0;
}
