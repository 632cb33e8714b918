#pragma once
// The skin block format, version 1. All numbers little-endian.
//
//   offset 0   4 bytes  ".SHE"
//          4   2 bytes  format version (1)
//          6   2 bytes  number of sections
//          8   4 bytes  size of the whole block in bytes, these 12 included
//         12   sections, back to back, filling the block exactly:
//                4 bytes  tag (ASCII)
//                4 bytes  length of the payload
//                payload
//
// Sections (payloads are UTF-8 texts):
//   "NAME"  the skin's name, for people
//   "BASE"  the Qt widget style drawn under the sheet, e.g. "Fusion"
//   "PALT"  palette lines "Role=#rrggbb" or "Group:Role=#aarrggbb", with Qt's
//           QPalette role and group names; other lines are ignored
//   "QSS "  the application style sheet (required)
//   "AERO"  a sheet added after "QSS " while the Aero variant is on
//   "RCC "  images the sheets use, as a Qt resource collection in the binary
//           form rcc writes; the sheets name them url(:/...)
// A reader skips sections with other tags; a block with a section twice, a
// newer version or a size that does not add up is not read at all.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr std::uint16_t kSkinBlockVersion = 1;
inline constexpr std::size_t kSkinBlockHeaderSize = 12;

struct SkinBlock {
    std::string name;
    std::string baseStyle;
    std::string palette;
    std::string styleSheet;
    std::string aeroSheet;
    std::string resources;
};

// Never reads outside data[0, size). Null data or size 0 gives nothing.
std::optional<SkinBlock> ReadSkinBlock(const unsigned char* data, std::size_t size);
std::vector<unsigned char> WriteSkinBlock(const SkinBlock& block);
