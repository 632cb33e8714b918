// The Windows side of tools/file_placing.h. Paths are UTF-8 and reach the
// system's wide functions; MoveFileEx with write-through returns only once
// the new name is on disk.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <random>

#include "tools/file_placing.h"
#include "tools/windows/wide_text.h"

namespace placing {

namespace {

// The system's words for the last error, as UTF-8.
std::string LastErrorText() {
    const DWORD error = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string utf8;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                             nullptr, nullptr);
        utf8.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr,
                            nullptr);
    }
    LocalFree(text);
    while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r')) utf8.pop_back();
    return utf8.empty() ? "error " + std::to_string(error) : utf8;
}

bool Move(const std::string& from, const std::string& to, DWORD flags) {
    return MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                       flags | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

bool PathExists(const std::string& path) {
    return GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string::npos) return ".";
    // "C:\name" lies in "C:\", "\name" in "\".
    if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

std::string MakeTemporaryBeside(const std::string& path, const char* purpose, std::string& error) {
    std::string directory = DirectoryOf(path);
    if (directory.back() != '\\' && directory.back() != '/') directory += '\\';
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%06x", random() & 0xFFFFFFu);
        const std::string temporary = directory + ".tallovar-" + purpose + "-" + suffix;
        const HANDLE file = CreateFileW(WideFromUtf8(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return temporary;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    error = LastErrorText();
    return {};
}

int OpenTemporaryForWriting(const std::string& temporary) {
    return _wopen(WideFromUtf8(temporary).c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}

bool FlushAndClose(int fd) {
    const bool flushed = _commit(fd) == 0;
    return _close(fd) == 0 && flushed;
}

PlaceResult PlaceWithoutReplacing(const std::string& temporary, const std::string& path,
                                  std::string& error) {
    if (Move(temporary, path, 0)) return PlaceResult::Placed;
    const DWORD code = GetLastError();
    PlaceResult result = PlaceResult::Failed;
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) {
        result = PlaceResult::AlreadyExists;
    } else {
        error = LastErrorText();
    }
    DeleteFileW(WideFromUtf8(temporary).c_str());
    return result;
}

bool PlaceReplacing(const std::string& temporary, const std::string& path, std::string& error) {
    if (Move(temporary, path, MOVEFILE_REPLACE_EXISTING)) return true;
    error = LastErrorText();
    DeleteFileW(WideFromUtf8(temporary).c_str());
    return false;
}

std::string TimeStamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return text;
}

}  // namespace placing
