#pragma once
// The subcommands of tallovar-admin. Each lives in a file of its own and is
// listed once in admin_main.cpp. Texts here are UTF-8: the tool talks to a
// terminal and to SQLite directly, not through the program's GBK texts.

#include <string>
#include <vector>

struct AdminCommand {
    const char* name;
    const char* usage;  // the arguments after the name
    const char* summary;
    // Arguments after the subcommand name; the result is the exit code.
    int (*run)(const std::vector<std::string>& arguments);
};

// Exit codes shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int RunInit(const std::vector<std::string>& arguments);
int RunUser(const std::vector<std::string>& arguments);
int RunBackup(const std::vector<std::string>& arguments);
int RunDailyBackup();
int RunRestore(const std::vector<std::string>& arguments);
int RunExport(const std::vector<std::string>& arguments);
int RunImport(const std::vector<std::string>& arguments);
int RunUpgrade(const std::vector<std::string>& arguments);
int RunTrash(const std::vector<std::string>& arguments);
int RunLists(const std::vector<std::string>& arguments);
int RunSetup(const std::vector<std::string>& arguments);
int RunNotice(const std::vector<std::string>& arguments);
