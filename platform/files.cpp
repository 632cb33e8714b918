#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/text_encoding.h"
#include "platform/utf8_paths.h"
#include "platform/whole_file.h"

namespace {

// A ".hidden" list longer than this is not a list this program wrote to.
constexpr std::size_t kMaxHiddenListBytes = 16u << 20;

std::string& ProgramDirectoryOverride() {
    static std::string directory;
    return directory;
}

// The directory part of a path and its last name. Trailing separators are
// dropped first, so "a/b/" names b in a. The directory of "/x" is "/".
struct PathParts {
    std::string directory;
    std::string name;
};

PathParts SplitPath(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string HiddenListPath(const std::string& directory) {
    return (directory == "/" ? std::string() : directory) + "/.hidden";
}

// Whether a name is on the list; a line may end in CR LF when the list was
// edited elsewhere.
bool ListHolds(std::string_view list, std::string_view name) {
    while (!list.empty()) {
        const std::size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line == name) return true;
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}

bool ListableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name != "/" &&
           name.find('\n') == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace

const char kPathSeparator = '/';

std::string ProgramDirectory() {
    if (!ProgramDirectoryOverride().empty()) return ProgramDirectoryOverride();
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < buffer.size()) {
            const std::string exe(buffer.data(), static_cast<std::size_t>(length));
            const std::size_t slash = exe.find_last_of('/');
            if (slash == std::string::npos) return {};
            // The root keeps its separator, as "/" joined with "/name" still
            // names the file in the root.
            return FromNativePath(slash == 0 ? "/" : exe.substr(0, slash));
        }
        buffer.resize(buffer.size() * 2);
    }
}

void SetProgramDirectoryForTesting(const std::string& directory) {
    ProgramDirectoryOverride() = directory;
}

std::string CurrentDirectory() {
    const std::string directory = Utf8CurrentDirectory();
    return directory.empty() ? directory : FromNativePath(directory);
}

std::string FileOpenProblem(const std::string& path) {
    const std::string native = NativePath(path);
    struct stat info {};
    std::string problem;
    if (stat(native.c_str(), &info) != 0) {
        problem = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        problem = std::strerror(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        problem = "not a regular file";
    } else if (const int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC); fd < 0) {
        problem = std::strerror(errno);
    } else {
        close(fd);
    }
    return Gbk(problem);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(NativePath(path).c_str(), &info) == 0;
}

bool IsSameFile(const std::string& nativeA, const std::string& nativeB) {
    struct stat a {};
    struct stat b {};
    return stat(nativeA.c_str(), &a) == 0 && stat(nativeB.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string NativePath(const std::string& path) { return GbkToUtf8(path); }

std::string FromNativePath(const std::string& nativePath) { return Gbk(nativePath); }

std::string NativePathOfUtf8(const std::string& utf8) { return utf8; }

std::string Utf8OfNativePath(const std::string& nativePath) { return nativePath; }

bool SetFileHidden(const std::string& path) {
    if (!PathExists(path)) return false;
    const PathParts parts = SplitPath(NativePath(path));
    if (!ListableName(parts.name)) return false;
    const std::string listPath = HiddenListPath(parts.directory);
    std::string list;
    const WholeFileRead read = ReadWholeFile(listPath, kMaxHiddenListBytes, list);
    if (read != WholeFileRead::kOk && read != WholeFileRead::kMissing) return false;
    if (ListHolds(list, parts.name)) return true;
    if (!list.empty() && list.back() != '\n') list += '\n';
    list += parts.name + '\n';
    return ReplaceWholeFile(listPath, list);
}

bool IsFileHidden(const std::string& path) {
    if (path.empty()) return false;
    const PathParts parts = SplitPath(NativePath(path));
    if (!ListableName(parts.name)) return false;
    std::string list;
    return ReadWholeFile(HiddenListPath(parts.directory), kMaxHiddenListBytes, list) ==
               WholeFileRead::kOk &&
           ListHolds(list, parts.name);
}
