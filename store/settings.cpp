#include "store/settings.h"

#include <cstddef>
#include <string_view>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "platform/private_profile.h"
#include "platform/program_files.h"

namespace {

// A value is read into a buffer of this many bytes; one is the terminator's.
constexpr std::size_t kSettingBufferBytes = 10240;

std::string_view SkipLeadingControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
    return text;
}

}  // namespace

std::string SettingsPath() {
    const std::string directory = ProgramDirectory();
    // Without a known program directory there is no settings file: reads give
    // empty texts and writes go nowhere, instead of into the root directory.
    if (directory.empty()) return {};
    return PathIn(directory, kSettingsFileName);
}

std::string ReadSetting(const std::string& path, const std::string& section,
                        const std::string& key) {
    const std::string_view file = SkipLeadingControls(path);
    const std::string_view sectionName = SkipLeadingControls(section);
    const std::string_view keyName = SkipLeadingControls(key);
    if (file.empty() || sectionName.empty() || keyName.empty()) return {};
    return GetPrivateProfileString(std::string(sectionName), std::string(keyName),
                                   std::string(file), kSettingBufferBytes);
}

void WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& path) {
    WritePrivateProfileString(section, key, value, path);
}

std::string ReadSetting(const std::string& path, SettingKey key) {
    return ReadSetting(path, Gbk(key.section), Gbk(key.key));
}

void WriteSetting(SettingKey key, const std::string& value, const std::string& path) {
    WriteSetting(Gbk(key.section), Gbk(key.key), value, path);
}

std::vector<std::string> ReadListSetting(const std::string& path, const ListSetting& list) {
    return SplitList(ReadSetting(path, list.key), list.delimiter);
}

std::vector<std::string> SplitList(const std::string& value, const std::string& delimiter) {
    std::vector<std::string> pieces;
    if (value.empty()) return pieces;
    // An empty delimiter would match everywhere and split nothing apart.
    if (delimiter.empty()) return {value};
    std::size_t pieceStart = 0;
    std::size_t i = 0;
    while (i < value.size()) {
        if (value.compare(i, delimiter.size(), delimiter) == 0) {
            pieces.push_back(value.substr(pieceStart, i - pieceStart));
            i += delimiter.size();
            pieceStart = i;
        } else if (static_cast<unsigned char>(value[i]) >= 0x80) {
            // The first byte of a GBK double-byte character: its second byte
            // may equal a delimiter byte and must not split the character.
            i += 2;
        } else {
            ++i;
        }
    }
    if (pieceStart < value.size()) pieces.push_back(value.substr(pieceStart));
    return pieces;
}
