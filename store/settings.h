#pragma once
// The settings file config.ini in the program's own directory. Texts are GBK.

#include <string>
#include <vector>

// The program's directory followed by "/config.ini".
std::string SettingsPath();
// The value of a key; empty when the file, section or key is missing.
std::string ReadSetting(const std::string& path, const std::string& section,
                        const std::string& key);
// Failures are not reported.
void WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& path);
// Splits a pick list at its delimiter, stepping over GBK double-byte characters.
std::vector<std::string> SplitList(const std::string& value, const std::string& delimiter);
