#include "skin/skin_block.h"

#include <array>
#include <cstring>
#include <string_view>

namespace {

using Tag = std::array<char, 4>;

constexpr Tag kNameTag{'N', 'A', 'M', 'E'};
constexpr Tag kBaseTag{'B', 'A', 'S', 'E'};
constexpr Tag kPaletteTag{'P', 'A', 'L', 'T'};
constexpr Tag kSheetTag{'Q', 'S', 'S', ' '};
constexpr Tag kAeroTag{'A', 'E', 'R', 'O'};
constexpr Tag kResourcesTag{'R', 'C', 'C', ' '};

std::uint32_t ReadNumber(const unsigned char* at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

void AppendNumber(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void AppendSection(std::vector<unsigned char>& out, const Tag& tag, const std::string& payload) {
    out.insert(out.end(), tag.begin(), tag.end());
    AppendNumber(out, static_cast<std::uint32_t>(payload.size()), 4);
    out.insert(out.end(), payload.begin(), payload.end());
}

}  // namespace

std::optional<SkinBlock> ReadSkinBlock(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size < kSkinBlockHeaderSize) return std::nullopt;
    if (std::memcmp(data, ".SHE", 4) != 0) return std::nullopt;
    if (ReadNumber(data + 4, 2) != kSkinBlockVersion) return std::nullopt;
    const std::uint32_t sectionCount = ReadNumber(data + 6, 2);
    if (ReadNumber(data + 8, 4) != size) return std::nullopt;

    SkinBlock block;
    bool seenName = false, seenBase = false, seenPalette = false, seenSheet = false,
         seenAero = false, seenResources = false;
    std::size_t at = kSkinBlockHeaderSize;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        if (size - at < 8) return std::nullopt;
        Tag tag;
        std::memcpy(tag.data(), data + at, 4);
        const std::size_t length = ReadNumber(data + at + 4, 4);
        at += 8;
        if (size - at < length) return std::nullopt;
        const std::string payload(reinterpret_cast<const char*>(data + at), length);
        at += length;

        auto take = [&](bool& seen, std::string& field) {
            if (seen) return false;
            seen = true;
            field = payload;
            return true;
        };
        bool fine = true;
        if (tag == kNameTag)
            fine = take(seenName, block.name);
        else if (tag == kBaseTag)
            fine = take(seenBase, block.baseStyle);
        else if (tag == kPaletteTag)
            fine = take(seenPalette, block.palette);
        else if (tag == kSheetTag)
            fine = take(seenSheet, block.styleSheet);
        else if (tag == kAeroTag)
            fine = take(seenAero, block.aeroSheet);
        else if (tag == kResourcesTag)
            fine = take(seenResources, block.resources);
        if (!fine) return std::nullopt;
    }
    if (at != size || !seenSheet) return std::nullopt;
    return block;
}

std::vector<unsigned char> WriteSkinBlock(const SkinBlock& block) {
    std::vector<unsigned char> body;
    std::uint32_t sections = 0;
    auto add = [&](const Tag& tag, const std::string& payload, bool always) {
        if (payload.empty() && !always) return;
        AppendSection(body, tag, payload);
        ++sections;
    };
    add(kNameTag, block.name, false);
    add(kBaseTag, block.baseStyle, false);
    add(kPaletteTag, block.palette, false);
    add(kSheetTag, block.styleSheet, true);
    add(kAeroTag, block.aeroSheet, false);
    add(kResourcesTag, block.resources, false);

    std::vector<unsigned char> out{'.', 'S', 'H', 'E'};
    AppendNumber(out, kSkinBlockVersion, 2);
    AppendNumber(out, sections, 2);
    AppendNumber(out, static_cast<std::uint32_t>(kSkinBlockHeaderSize + body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}
