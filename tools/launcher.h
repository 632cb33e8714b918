#pragma once
// What the Windows Start-menu entry does before the program starts, step for
// step as the Linux launcher (tools/install/tallovar-launcher.sh): find the
// ledger folder (the one chosen at the first run, remembered per user, or
// the default), open "新建账本" through `tallovar-admin setup` when it holds
// no ledger, take the day's backup through `tallovar-admin backup --daily`,
// and start the program in that folder; a failed backup is told and the
// program starts anyway. Paths are UTF-8. The steps that reach the system
// are given by the caller.

#include <functional>
#include <string>
#include <vector>

struct LauncherSteps {
    // Runs tallovar-admin with these arguments in folder and waits: its exit
    // code, and what it wrote to standard error in errors.
    std::function<int(const std::vector<std::string>& arguments, const std::string& folder,
                      std::string& errors)>
        runAdmin;
    // Starts the program in folder without waiting; false when it could not.
    std::function<bool(const std::string& folder)> startProgram;
    // Tells the user something (after the program has started, where it can).
    std::function<void(const std::string& message)> tell;
};

// Where the ledger folder is looked for, all UTF-8.
struct LauncherFolders {
    std::string chosen;      // TALLOVAR_LEDGER_DIR, or empty
    std::string remembered;  // the file holding the folder chosen at the first run
    std::string fallback;    // the default ledger folder
};

// The ledger folder: the chosen one when given, else the first line of the
// remembered file when there is one, else the default.
std::string LauncherLedgerFolder(const LauncherFolders& folders);

// The whole start; the exit code of the launcher (0 when the program started).
int Launch(const LauncherFolders& folders, const LauncherSteps& steps);
