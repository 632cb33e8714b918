#include "store/ledger_driver.h"

#include <algorithm>
#include <array>
#include <fstream>

#include "platform/native_path.h"
#include "store/connection_string.h"
#include "store/database.h"

bool StartsAsSqliteDatabase(const std::string& path) {
    static constexpr std::array<char, 16> kHeader = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                                     'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    std::ifstream file(NativePath(path), std::ios::binary);
    std::array<char, 16> first{};
    if (!file.read(first.data(), first.size())) return false;
    return std::equal(first.begin(), first.end(), kHeader.begin());
}

std::string ChosenConnectionString(const std::string& path, const std::string& driverPath) {
    if (StartsAsSqliteDatabase(path)) {
        return "Driver={" + std::string(kOwnSqliteDriverName) + "};Database=" + driverPath + ";" +
               SqliteDriverKeys();
    }
    std::string text = BuildConnectionString(path);
    constexpr std::string_view kPrefix = "ODBC;";
    if (text.starts_with(kPrefix)) text.erase(0, kPrefix.size());
    return text;
}
