#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>

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

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string target = WriteTarget(path);

    struct stat old {};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || access(target.c_str(), W_OK) != 0)) return false;

    const std::string directory = DirectoryOf(target);
    const std::string base = target.substr(target.find_last_of('/') + 1);
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    FileDescriptor file;
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temporary = (directory == "/" ? std::string() : directory) + "/." + base + ".tmp" +
                    std::to_string(getpid()) + "-" + std::to_string(counter++);
        // 0666 under the umask, as a newly created file would get.
        file.fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd < 0 && errno != EEXIST) return false;
    }
    if (file.fd < 0) return false;

    bool written = (!exists || fchmod(file.fd, old.st_mode & 07777) == 0) &&
                   WriteAll(file.fd, bytes) && fsync(file.fd) == 0;
    written = close(file.fd) == 0 && written;
    file.fd = -1;
    if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    SyncDirectory(directory);
    return true;
}
