#pragma once
// The settings file config.ini in the program's own directory. Texts are GBK.

#include <string>
#include <vector>

// A key of config.ini: its section and name as this source spells them
// (UTF-8); the file holds them in GBK.
struct SettingKey {
    const char* section;
    const char* key;
};
// The user name and password the login window remembers.
inline constexpr SettingKey kRememberedUser{"sysuser", "username"};
inline constexpr SettingKey kRememberedPassword{"sysuser", "password"};
// A team ledger's ODBC connection string; absent or empty: the ledger file.
inline constexpr SettingKey kTeamLedger{"数据库", "连接"};

// A pick list of the combo boxes: one value, the items joined by delimiter.
struct ListSetting {
    SettingKey key;
    const char* delimiter;
};
// Seller accounts, also offered as purchase accounts, and express companies.
inline constexpr ListSetting kSellerAccounts{{"zhanghaoinfo", "zhanghao"}, "|"};
inline constexpr ListSetting kExpressCompanies{{"kuaidiinfo", "kuaidi"}, "#"};

// The program's directory followed by "/config.ini".
std::string SettingsPath();
// The value of a key; empty when the file, section or key is missing.
std::string ReadSetting(const std::string& path, const std::string& section,
                        const std::string& key);
// Failures are not reported.
void WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& path);
// The same for a key of the program's own.
std::string ReadSetting(const std::string& path, SettingKey key);
void WriteSetting(SettingKey key, const std::string& value, const std::string& path);
// A pick list's items as the windows offer them (GBK).
std::vector<std::string> ReadListSetting(const std::string& path, const ListSetting& list);
// Splits a pick list at its delimiter, stepping over GBK double-byte characters.
std::vector<std::string> SplitList(const std::string& value, const std::string& delimiter);
