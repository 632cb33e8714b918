#include "store/program_settings.h"

#include "common/text_encoding.h"
#include "platform/files.h"
#include "platform/program_files.h"
#include "platform/utf8_paths.h"
#include "store/settings.h"

namespace {

// $variable if set and not empty, else $HOME/fallback. Windows keeps a
// user's settings in %APPDATA% and the per-user program in %LOCALAPPDATA%.
// All of them UTF-8, as a Chinese user name is there too.
std::string UserFolder(const char* variable, const char* fallback) {
#ifdef _WIN32
    const bool data = std::string(variable) == "XDG_DATA_HOME";
    const std::string windowsFolder = Utf8Environment(data ? "LOCALAPPDATA" : "APPDATA");
    if (!windowsFolder.empty()) return windowsFolder;
#endif
    const std::string value = Utf8Environment(variable);
    if (!value.empty()) return value;
    return Utf8Environment("HOME") + "/" + fallback;
}

}  // namespace

std::string ProgramSettingsPath() {
    const std::string installed = GbkToUtf8(ProgramDirectory());
    if (!installed.empty() && Utf8PathWritable(installed)) {
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
