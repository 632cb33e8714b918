// The Windows side of platform/odbc_driver.h. Wine marks itself by the
// functions it adds to ntdll and kernel32.
#include "platform/odbc_driver.h"

#include <windows.h>

#include <vector>

#include "common/text_encoding.h"

namespace {

using UnixFileNameFunction = char*(CDECL*)(const WCHAR*);

UnixFileNameFunction WineUnixFileName() {
    static const auto function = reinterpret_cast<UnixFileNameFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    return function;
}

}  // namespace

bool DriverIsHostSqlite() {
    static const bool wine =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr &&
        WineUnixFileName() != nullptr;
    return wine;
}

bool DriverChosenByLedgerFile() { return true; }

std::string HostDriverPath(const std::string& path) {
    if (!DriverIsHostSqlite() || path.empty()) return path;
    const int length =
        MultiByteToWideChar(936, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (length <= 0) return path;
    std::vector<WCHAR> wide(static_cast<std::size_t>(length) + 1, 0);
    MultiByteToWideChar(936, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
    char* unixPath = WineUnixFileName()(wide.data());
    if (unixPath == nullptr) return path;
    std::string result = Gbk(unixPath);  // Wine answers in UTF-8
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}
