#pragma once
// Windows private-profile (INI) files on bytes: section and key names match
// without regard to ASCII case, blanks around keys and values are dropped, a
// value in matching quotes loses them, whatever is missing reads as empty.
// A write keeps every other line as it was and replaces the file atomically.

#include <cstddef>
#include <string>

// At most bufferSize - 1 bytes of the value are returned.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& path, std::size_t bufferSize);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);
