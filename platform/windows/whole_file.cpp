// The Windows side of platform/whole_file.h: the replacement is written,
// flushed with FlushFileBuffers and moved over the old file by MoveFileEx
// with write-through, which returns only once the move is on disk.
#include "platform/whole_file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>

namespace {

// Closes a handle when the reading or writing routine leaves.
struct FileHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

constexpr char kTemporaryMark[] = ".tmp";

// The folder part of a path, with its separator ("C:\dir\"), or empty; GBK
// aware, as a second byte may be 0x5C.
std::size_t NameStart(const std::string& path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (static_cast<unsigned char>(path[i]) >= 0x80) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/' || path[i] == ':') {
            start = i + 1;
        }
    }
    return start;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Attributes the replacement takes over from the file it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

}  // namespace

WholeFileRead ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    if (path.empty()) return WholeFileRead::kMissing;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? WholeFileRead::kMissing
                   : WholeFileRead::kFailed;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return WholeFileRead::kNotAFile;
    FileHandle file{CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) return WholeFileRead::kFailed;
    if (GetFileType(file.handle) != FILE_TYPE_DISK) return WholeFileRead::kNotAFile;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.handle, &size)) return WholeFileRead::kFailed;
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return WholeFileRead::kTooLarge;

    // Room for one byte more than expected tells a file that grew meanwhile.
    bytes.resize(static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD got = 0;
        const DWORD piece =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1u << 30));
        if (!ReadFile(file.handle, bytes.data() + filled, piece, &got, nullptr)) {
            bytes.clear();
            return WholeFileRead::kFailed;
        }
        if (got == 0) break;
        filled += got;
        if (filled == bytes.size() && bytes.size() <= maxBytes) {
            bytes.resize(std::min(maxBytes + 1, bytes.size() + 4096));
        }
    }
    const bool grewTooLarge = filled > maxBytes;
    bytes.resize(grewTooLarge ? 0 : filled);
    return grewTooLarge ? WholeFileRead::kTooLarge : WholeFileRead::kOk;
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const DWORD old = GetFileAttributesA(path.c_str());
    const bool exists = old != INVALID_FILE_ATTRIBUTES;
    if (exists && (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) return false;

    const std::size_t nameStart = NameStart(path);
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    FileHandle file;
    for (int attempt = 0; attempt < 100 && file.handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = path.substr(0, nameStart) + "." + path.substr(nameStart) + kTemporaryMark +
                    std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
        // Shared with nobody while it is written: RemoveAbandonedReplacements
        // of another process cannot delete it meanwhile.
        file.handle = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file.handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    if (file.handle == INVALID_HANDLE_VALUE) return false;

    bool written = WriteAll(file.handle, bytes) && FlushFileBuffers(file.handle);
    written = CloseHandle(file.handle) && written;
    file.handle = INVALID_HANDLE_VALUE;
    if (written && exists) {
        written =
            SetFileAttributesA(temporary.c_str(), (old & kKeptAttributes) ? old & kKeptAttributes
                                                                          : FILE_ATTRIBUTE_NORMAL);
    }
    if (!written || !MoveFileExA(temporary.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

// A writer keeps its temporary file open, unshared, until it has written all
// of it; so every one of them that can be deleted was left by a process that
// ended (or is in its last step, whose move then fails and leaves the old
// file as it was).
int RemoveAbandonedReplacements(const std::string& directory,
                                std::initializer_list<std::string_view> names) {
    int removed = 0;
    const std::string folder =
        directory.empty() || directory.back() == '\\' || directory.back() == '/' ? directory
                                                                                 : directory + "\\";
    for (std::string_view name : names) {
        const std::string pattern = folder + "." + std::string(name) + kTemporaryMark + "*-*";
        WIN32_FIND_DATAA found{};
        const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            if (DeleteFileA((folder + found.cFileName).c_str())) ++removed;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return removed;
}

namespace {

Status WriteFailure(const std::string& path) {
    return Status::Failure("无法写出文件：" + path, "cannot write the file: " + path);
}

}  // namespace

FileReplacement::FileReplacement(std::string path) : path_(std::move(path)) {}

FileReplacement::~FileReplacement() { Discard(); }

void FileReplacement::Discard() {
    if (fd_ >= 0) _close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) DeleteFileA(temporary_.c_str());
    temporary_.clear();
}

// Permission bits have no meaning here: the file takes its folder's rights.
Status FileReplacement::Open(unsigned permissions) {
    permissions_ = permissions;
    static std::atomic<unsigned> counter{0};
    const std::size_t nameStart = NameStart(path_);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = path_.substr(0, nameStart) + "." + path_.substr(nameStart) + kTemporaryMark +
                     std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
        fd_ = _open(temporary_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        temporary_.clear();
        return WriteFailure(path_);
    }
    return Status::Ok();
}

Status FileReplacement::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const int piece = static_cast<int>(std::min<std::size_t>(bytes.size(), 1u << 30));
        const int written = _write(fd_, bytes.data(), static_cast<unsigned>(piece));
        if (written <= 0) return WriteFailure(path_);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return Status::Ok();
}

Status FileReplacement::Finish() {
    const bool synced = _commit(fd_) == 0;
    const bool closed = _close(fd_) == 0;
    fd_ = -1;
    if (synced && closed) return Status::Ok();
    const Status failure = WriteFailure(path_);
    Discard();
    return failure;
}

Status FileReplacement::Replace() {
    if (Status finished = Finish(); !finished.ok()) return finished;
    if (!MoveFileExA(temporary_.c_str(), path_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Discard();
        return WriteFailure(path_);
    }
    temporary_.clear();
    return Status::Ok();
}

Status FileReplacement::PlaceNew() {
    if (Status finished = Finish(); !finished.ok()) return finished;
    if (!MoveFileExA(temporary_.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        Discard();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            return Status::Failure(StatusKind::Exists, "文件已存在：" + path_,
                                   "the file exists: " + path_);
        }
        return WriteFailure(path_);
    }
    temporary_.clear();
    return Status::Ok();
}
