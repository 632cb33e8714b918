#include "tools/file_placing.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace placing {

bool PathExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string MakeTemporaryBeside(const std::string& path, const char* purpose, std::string& error) {
    std::string temporary = DirectoryOf(path) + "/.tallovar-" + purpose + "-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return {};
    }
    // mkstemp makes the file private (0600), and it stays so: ledgers,
    // backups and exports hold customers' names, phones and addresses.
    close(fd);
    return temporary;
}

int OpenTemporaryForWriting(const std::string& temporary) {
    return open(temporary.c_str(), O_WRONLY | O_CLOEXEC);
}

bool FlushAndClose(int fd) {
    const bool flushed = fsync(fd) == 0;
    return close(fd) == 0 && flushed;
}

namespace {

// Flushes a new name in the directory to disk, so that a power loss right
// after a reported success does not take the file's name away again.
void SyncDirectoryOf(const std::string& path) {
    const int directory = open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) return;
    fsync(directory);
    close(directory);
}

}  // namespace

// A hard link fails when the name is taken. File systems without hard links
// fall back to a rename after a last look.
PlaceResult PlaceWithoutReplacing(const std::string& temporary, const std::string& path,
                                  std::string& error) {
    PlaceResult result = PlaceResult::Failed;
    if (link(temporary.c_str(), path.c_str()) == 0) {
        result = PlaceResult::Placed;
    } else if (errno == EEXIST || PathExists(path)) {
        result = PlaceResult::AlreadyExists;
    } else if (rename(temporary.c_str(), path.c_str()) == 0) {
        SyncDirectoryOf(path);
        return PlaceResult::Placed;
    } else {
        error = std::strerror(errno);
    }
    unlink(temporary.c_str());
    if (result == PlaceResult::Placed) SyncDirectoryOf(path);
    return result;
}

bool PlaceReplacing(const std::string& temporary, const std::string& path, std::string& error) {
    if (rename(temporary.c_str(), path.c_str()) == 0) {
        SyncDirectoryOf(path);
        return true;
    }
    error = std::strerror(errno);
    unlink(temporary.c_str());
    return false;
}

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace placing
