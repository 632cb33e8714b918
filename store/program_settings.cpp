#include "store/program_settings.h"

#include <unistd.h>

#include <cstdlib>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "platform/program_files.h"
#include "store/settings.h"

namespace {

// $variable if set and not empty, else $HOME/fallback. Windows keeps a
// user's settings in %APPDATA% and the per-user program in %LOCALAPPDATA%.
std::string UserFolder(const char* variable, const char* fallback) {
#ifdef _WIN32
    const bool data = std::string(variable) == "XDG_DATA_HOME";
    const char* windowsFolder = std::getenv(data ? "LOCALAPPDATA" : "APPDATA");
    if (windowsFolder && *windowsFolder) return windowsFolder;
#endif
    const char* value = std::getenv(variable);
    if (value && *value) return value;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/" + fallback;
}

}  // namespace

std::string ProgramSettingsPath() {
    const std::string installed = GbkToUtf8(ProgramDirectory());
    if (!installed.empty() && access(installed.c_str(), W_OK) == 0) {
        return PathIn(installed, kSettingsFileName);
    }
    return PathIn(UserFolder("XDG_DATA_HOME", ".local/share") + "/tallovar/program",
                  kSettingsFileName);
}

std::string RememberedFolderPath() {
    return UserFolder("XDG_CONFIG_HOME", ".config") + "/tallovar/ledger-folder";
}

bool TeamLedgerConfigured(const std::string& settingsPath) {
    return !ReadSetting(Gbk(settingsPath), kTeamLedger).empty();
}
