// Stand-in for the platform's file pieces, used by the skin tests only while
// the platform library does not provide them yet.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/files.h"

namespace {
std::string& OverrideDirectory() {
    static std::string directory;
    return directory;
}

std::string HiddenListOf(const std::string& path, std::string& name) {
    const std::size_t slash = path.rfind('/');
    name = path.substr(slash + 1);
    return path.substr(0, slash) + "/.hidden";
}
}  // namespace

std::string ProgramDirectory() {
    if (!OverrideDirectory().empty()) return OverrideDirectory();
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return ".";
    const std::string program(buffer, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/'));
}

void SetProgramDirectoryForTesting(const std::string& directory) {
    OverrideDirectory() = directory;
}

std::string CurrentDirectory() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

bool PathExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool SetFileHidden(const std::string& path) {
    std::string name;
    std::ofstream list(HiddenListOf(path, name), std::ios::app);
    list << name << "\n";
    return static_cast<bool>(list);
}

bool IsFileHidden(const std::string& path) {
    std::string name;
    std::ifstream list(HiddenListOf(path, name));
    for (std::string line; std::getline(list, line);)
        if (line == name) return true;
    return false;
}
