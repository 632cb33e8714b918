// The Windows side of platform/files.h: the system's own ANSI functions,
// whose code page on a Chinese Windows (936) is GBK, so paths pass as they are.
#include "platform/files.h"

#include <windows.h>

#include <vector>

#include "common/text_encoding.h"

namespace {

std::string& ProgramDirectoryOverride() {
    static std::string directory;
    return directory;
}

// The last '\' or '/' of a GBK path, walking by characters: the second byte
// of a double-byte character may be 0x5C and is no separator.
std::size_t LastSeparator(const std::string& path) {
    std::size_t separator = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (static_cast<unsigned char>(path[i]) >= 0x80) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            separator = i;
        }
    }
    return separator;
}

DWORD AttributesOf(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

// The volume and the number of the file on it; false when it cannot be opened.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& information) {
    // No access asked for: also a file that another program keeps open.
    // Folders open only with backup semantics.
    const HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return known;
}

}  // namespace

const char kPathSeparator = '\\';

std::string NativePath(const std::string& path) { return path; }

std::string FromNativePath(const std::string& nativePath) { return nativePath; }

std::string NativePathOfUtf8(const std::string& utf8) { return Gbk(utf8); }

std::string Utf8OfNativePath(const std::string& nativePath) { return GbkToUtf8(nativePath); }

std::string ProgramDirectory() {
    if (!ProgramDirectoryOverride().empty()) return ProgramDirectoryOverride();
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            const std::string exe(buffer.data(), length);
            const std::size_t separator = LastSeparator(exe);
            return separator == std::string::npos ? std::string() : exe.substr(0, separator);
        }
        buffer.resize(buffer.size() * 2);
    }
}

void SetProgramDirectoryForTesting(const std::string& directory) {
    ProgramDirectoryOverride() = directory;
}

std::string CurrentDirectory() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return {};
    std::vector<char> buffer(needed);
    const DWORD length = GetCurrentDirectoryA(needed, buffer.data());
    return length == 0 || length >= needed ? std::string() : std::string(buffer.data(), length);
}

// The system's own words, in the ANSI code page (GBK on a Chinese Windows).
std::string FileOpenProblem(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    DWORD error = ERROR_SUCCESS;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = GetLastError();
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = ERROR_DIRECTORY;
    } else {
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = GetLastError();
        } else {
            CloseHandle(file);
        }
    }
    if (error == ERROR_SUCCESS) return {};
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string problem = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!problem.empty() && (problem.back() == '\n' || problem.back() == '\r' ||
                                problem.back() == ' ' || problem.back() == '.')) {
        problem.pop_back();
    }
    return problem;
}

bool PathExists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

// The C library's stat gives every file the number 0 here, so the file
// numbers come from the handles.
bool IsSameFile(const std::string& nativeA, const std::string& nativeB) {
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return FileIdentity(nativeA, a) && FileIdentity(nativeB, b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool SetFileHidden(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & FILE_ATTRIBUTE_HIDDEN) != 0 ||
           SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN) != 0;
}

bool IsFileHidden(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}
