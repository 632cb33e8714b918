// The Windows side of platform/private_profile.h: kernel32's own functions,
// on GBK bytes (the ANSI code page of a Chinese Windows).
#include "platform/private_profile.h"

#include <windows.h>

// windows.h names the ANSI functions by these macros; the functions below are
// the program's own, which call the ANSI ones.
#undef GetPrivateProfileString
#undef WritePrivateProfileString

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& path, std::size_t bufferSize) {
    if (bufferSize == 0 || path.empty()) return {};
    std::string value(bufferSize, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                                                  static_cast<DWORD>(bufferSize), path.c_str());
    value.resize(length);
    return value;
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    if (path.empty() || section.empty() || key.empty()) return false;
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
           0;
}
