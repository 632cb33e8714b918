#pragma once
// Where the installed program keeps config.ini as the launcher runs it, and
// the ledger folder the launcher starts it in. Paths are UTF-8.

#include <string>

// Beside the program when its folder is writable; otherwise in the per-user
// copy the launcher runs: $XDG_DATA_HOME (or ~/.local/share)/tallovar/program.
std::string ProgramSettingsPath();

// The file in which the launcher finds a ledger folder other than its
// default: $XDG_CONFIG_HOME (or ~/.config)/tallovar/ledger-folder, one line.
std::string RememberedFolderPath();

// True when config.ini names a team ledger ([数据库] 连接 not empty): the
// program then uses no ledger file.
bool TeamLedgerConfigured(const std::string& settingsPath);
