#include "platform/whole_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Closes a descriptor when the reading or writing routine leaves.
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0) close(fd);
    }
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a write must replace: a symbolic link is followed to its target,
// so the link stays and the file it points at gets the new contents.
std::string WriteTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Flushes the directory entry of a rename to disk; failure only costs
// durability, never the new contents, so it is not reported.
void SyncDirectory(const std::string& directory) {
    FileDescriptor dir{open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0) fsync(dir.fd);
}

constexpr std::string_view kTemporaryMark = ".tmp";

std::string TemporaryName(const std::string& directory, const std::string& base, unsigned n) {
    return (directory == "/" ? std::string() : directory) + "/." + base +
           std::string(kTemporaryMark) + std::to_string(getpid()) + "-" + std::to_string(n);
}

// Reads the decimal number at the front of text and drops it; false when
// there is none.
bool TakeNumber(std::string_view& text, long long& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data()) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

// What SQLite adds beside a database it writes: a temporary file that was
// written as a database by its name has these too.
constexpr std::string_view kSideFileSuffixes[] = {"-journal", "-wal", "-shm"};

// The process id in a temporary name made for one of names (or a side file
// of it), or 0.
pid_t OwnerOfTemporary(std::string_view entry, std::initializer_list<std::string_view> names) {
    if (!entry.starts_with('.')) return 0;
    for (std::string_view suffix : kSideFileSuffixes) {
        if (entry.ends_with(suffix)) {
            entry.remove_suffix(suffix.size());
            break;
        }
    }
    const std::size_t mark = entry.rfind(kTemporaryMark);
    if (mark == std::string_view::npos || mark < 1) return 0;
    const std::string base(entry.substr(1, mark - 1));
    std::string_view rest = entry.substr(mark + kTemporaryMark.size());
    long long pid = 0;
    long long counter = 0;
    if (!TakeNumber(rest, pid) || !rest.starts_with('-')) return 0;
    rest.remove_prefix(1);
    if (!TakeNumber(rest, counter) || !rest.empty() || pid <= 0 || pid > INT32_MAX) return 0;
    for (std::string_view name : names) {
        if (fnmatch(std::string(name).c_str(), base.c_str(), 0) == 0) {
            return static_cast<pid_t>(pid);
        }
    }
    return 0;
}

// Why a write failed, from errno, as the callers report it.
Status WriteFailure() {
    const std::string reason = std::strerror(errno);
    return Status::Failure(StatusKindOfErrno(errno), "无法写出文件：" + reason,
                           "cannot write the file: " + reason);
}

bool ProcessRuns(pid_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

}  // namespace

WholeFileRead ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    if (path.empty()) return WholeFileRead::kMissing;
    // O_NONBLOCK: opening a named pipe must not wait for a writer.
    FileDescriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? WholeFileRead::kMissing
                                                   : WholeFileRead::kFailed;
    }
    struct stat info {};
    if (fstat(file.fd, &info) != 0) return WholeFileRead::kFailed;
    if (!S_ISREG(info.st_mode)) return WholeFileRead::kNotAFile;
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) return WholeFileRead::kTooLarge;

    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    for (;;) {
        // Room for one byte more than expected tells a file that grew meanwhile.
        if (filled == bytes.size()) {
            if (bytes.size() >= maxBytes + 1) break;
            bytes.resize(std::min(maxBytes + 1, bytes.size() + 4096));
        }
        const ssize_t got = read(file.fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            bytes.clear();
            return WholeFileRead::kFailed;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    if (filled > maxBytes) {
        bytes.clear();
        return WholeFileRead::kTooLarge;
    }
    return WholeFileRead::kOk;
}

FileReplacement::FileReplacement(std::string path) : path_(std::move(path)) {}

FileReplacement::~FileReplacement() { Discard(); }

void FileReplacement::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}

Status FileReplacement::Open(unsigned permissions) {
    Discard();
    if (path_.empty()) {
        errno = ENOENT;
        return WriteFailure();
    }
    const std::string directory = DirectoryOf(path_);
    const std::string base = path_.substr(path_.find_last_of('/') + 1);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = TemporaryName(directory, base, counter++);
        // For the owner only until it is complete: settings hold a remembered
        // password, exports customers' names and addresses, and a temporary
        // file left by a crash must not show them to anyone else.
        fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        const Status failure = WriteFailure();
        temporary_.clear();
        return failure;
    }
    permissions_ = permissions;
    return Status::Ok();
}

Status FileReplacement::Write(std::string_view bytes) {
    if (fd_ < 0) {
        errno = EBADF;
        return WriteFailure();
    }
    if (!WriteAll(fd_, bytes)) {
        const Status failure = WriteFailure();
        Discard();
        return failure;
    }
    return Status::Ok();
}

// Gives the file its permission bits and flushes it to disk, by name, so that
// what a library wrote into the file through its own handle is flushed too.
Status FileReplacement::Finish() {
    if (fd_ < 0) {
        errno = EBADF;
        return WriteFailure();
    }
    FileDescriptor written{open(temporary_.c_str(), O_RDONLY | O_CLOEXEC)};
    const bool synced = written.fd >= 0 &&
                        (permissions_ == 0600 || fchmod(written.fd, permissions_) == 0) &&
                        fsync(written.fd) == 0;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    if (synced && closed) return Status::Ok();
    const Status failure = WriteFailure();
    Discard();
    return failure;
}

Status FileReplacement::Replace() {
    if (Status finished = Finish(); !finished.ok()) return finished;
    if (rename(temporary_.c_str(), path_.c_str()) != 0) {
        const Status failure = WriteFailure();
        Discard();
        return failure;
    }
    temporary_.clear();
    SyncDirectory(DirectoryOf(path_));
    return Status::Ok();
}

// A hard link fails when the name is taken. File systems without hard links
// fall back to a rename after a last look.
Status FileReplacement::PlaceNew() {
    if (Status finished = Finish(); !finished.ok()) return finished;
    if (link(temporary_.c_str(), path_.c_str()) != 0) {
        struct stat info {};
        if (errno == EEXIST || lstat(path_.c_str(), &info) == 0) {
            Discard();
            return Status::Failure(StatusKind::Exists, "文件已存在：" + path_,
                                   "the file exists: " + path_);
        }
        if (rename(temporary_.c_str(), path_.c_str()) != 0) {
            const Status failure = WriteFailure();
            Discard();
            return failure;
        }
        temporary_.clear();
    }
    Discard();  // the temporary name of a linked file
    SyncDirectory(DirectoryOf(path_));
    return Status::Ok();
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string target = WriteTarget(path);

    struct stat old {};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || access(target.c_str(), W_OK) != 0)) return false;

    // A replaced file keeps its permission bits.
    FileReplacement file(target);
    return file.Open(exists ? old.st_mode & 07777 : 0600).ok() && file.Write(bytes).ok() &&
           file.Replace().ok();
}

int RemoveAbandonedReplacements(const std::string& directory,
                                std::initializer_list<std::string_view> names) {
    DIR* listing = opendir(directory.c_str());
    if (!listing) return 0;
    int removed = 0;
    while (const dirent* entry = readdir(listing)) {
        const pid_t owner = OwnerOfTemporary(entry->d_name, names);
        if (owner == 0 || owner == getpid() || ProcessRuns(owner)) continue;
        const std::string path =
            (directory == "/" ? std::string() : directory) + "/" + entry->d_name;
        struct stat info {};
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && unlink(path.c_str()) == 0) {
            ++removed;
        }
    }
    closedir(listing);
    return removed;
}
