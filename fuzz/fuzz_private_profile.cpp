// The private-profile writer and reader on any file: after a write the key
// reads back as written, every other key reads as before, and a refused write
// leaves the file byte for byte as it was.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "platform/private_profile.h"

namespace {

// A directory of this run's own, on a memory file system when there is one
// (the writer syncs every file it replaces), removed when the run ends.
const std::string& Directory() {
    // Never destroyed: the exit handler that removes it runs after the
    // destructors of statics made later.
    static const std::string& directory = *new std::string([] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/tallovar-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        std::atexit([] { std::filesystem::remove_all(Directory()); });
        return pattern;
    }());
    return directory;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Trim(const std::string& text) {
    const char* blanks = " \t\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Fold(std::string text) {
    for (char& c : Trim(text) == text ? text : (text = Trim(text))) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Sections and keys named in the file, to read before and after the write.
std::vector<std::pair<std::string, std::string>> NamesIn(const std::string& bytes) {
    std::vector<std::string> sections{"s"}, keys{"k"};
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line) && sections.size() + keys.size() < 40) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.empty()) continue;
        if (trimmed[0] == '[') {
            sections.push_back(trimmed.substr(1, trimmed.find(']') - 1));
        } else if (trimmed.find('=') != std::string::npos) {
            keys.push_back(trimmed.substr(0, trimmed.find('=')));
        }
    }
    std::vector<std::pair<std::string, std::string>> names;
    for (const std::string& section : sections) {
        for (const std::string& key : keys) names.emplace_back(section, key);
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool addBom = input.ConsumeBool();
    std::string section = input.ConsumeRandomLengthString(12);
    std::string key = input.ConsumeRandomLengthString(12);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::string file = (addBom ? "\xEF\xBB\xBF" : "") + input.ConsumeRemainingBytesAsString();
    if (section.empty()) section = "s";
    if (key.empty()) key = "k";

    const std::string path = Directory() + "/config.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << file;
    const std::size_t buffer = 1 << 16;

    std::vector<std::pair<std::pair<std::string, std::string>, std::string>> before;
    for (const auto& [s, k] : NamesIn(file)) {
        if (Fold(s) == Fold(section) && Fold(k) == Fold(key)) continue;
        before.push_back({{s, k}, GetPrivateProfileString(s, k, path, buffer)});
    }

    const bool written = WritePrivateProfileString(section, key, value, path);
    if (!written) {
        FUZZ_CHECK(ReadFile(path) == file, "a refused write changed the file");
        return 0;
    }
    const std::string read = GetPrivateProfileString(section, key, path, buffer);
    FUZZ_CHECK(read == value, "wrote [%s] %s=%s into %s, read %s", Hex(section).c_str(),
               Hex(key).c_str(), Hex(value).c_str(), Hex(file).c_str(), Hex(read).c_str());
    for (const auto& [name, old] : before) {
        const std::string now = GetPrivateProfileString(name.first, name.second, path, buffer);
        FUZZ_CHECK(now == old, "[%s] %s was %s, is %s after writing [%s] %s=%s into %s",
                   Hex(name.first).c_str(), Hex(name.second).c_str(), Hex(old).c_str(),
                   Hex(now).c_str(), Hex(section).c_str(), Hex(key).c_str(), Hex(value).c_str(),
                   Hex(file).c_str());
    }
    return 0;
}
