// The Windows side of platform/utf8_paths.h. Paths are UTF-8 and reach the
// system's wide functions; the platform layer's file functions take the ANSI
// code page's bytes (GBK).
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/utf8_paths.h"
#include "platform/windows/wide_text.h"

bool Utf8PathExists(const std::string& path) {
    return GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Utf8DirectoryOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string::npos) return ".";
    // "C:\name" lies in "C:\", "\name" in "\".
    if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

std::string Utf8CurrentDirectory() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::wstring directory(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, directory.data());
    if (length == 0 || length >= needed) return {};
    directory.resize(length);
    return Utf8FromWide(directory);
}

bool Utf8PathWritable(const std::string& path) {
    return _waccess(WideFromUtf8(path).c_str(), 2) == 0;  // 2: may be written
}

std::string Utf8Environment(const char* name) {
    const wchar_t* value = _wgetenv(WideFromUtf8(name).c_str());
    return value ? Utf8FromWide(value) : std::string();
}

std::string TimeStamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return text;
}
