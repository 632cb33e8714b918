#pragma once
// The subcommands of tallovar-admin. Each lives in a file of its own; what
// each offers is described once in admin_usage.cpp and the names lead to
// these functions in admin_main.cpp. Texts here are UTF-8: the tool talks to
// a terminal and to SQLite directly, not through the program's GBK texts.

#include "tools/command_line.h"

// Exit codes shared by the subcommands. A command that answers kExitUsage
// gets its usage printed after whatever it said.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Each takes the arguments after the subcommand's name, already split into
// the options it declares and its operands; the result is the exit code.
int RunInit(const CommandLine& line);
int RunUser(const CommandLine& line);
int RunBackup(const CommandLine& line);
int RunDailyBackup();
int RunRestore(const CommandLine& line);
int RunExport(const CommandLine& line);
int RunPrint(const CommandLine& line);
int RunImport(const CommandLine& line);
int RunUpgrade(const CommandLine& line);
int RunTrash(const CommandLine& line);
int RunLists(const CommandLine& line);
int RunSetup(const CommandLine& line);
int RunNotice(const CommandLine& line);
int RunShip(const CommandLine& line);
int RunConvert(const CommandLine& line);
