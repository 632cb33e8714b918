// Reading skin blocks: what the library accepts and what it turns away.
#include <gtest/gtest.h>

#include <cstring>

#include "skin/skin_block.h"

namespace {

SkinBlock Sample() {
    SkinBlock block;
    block.name = "蔚蓝 Azure";
    block.baseStyle = "Fusion";
    block.palette = "Window=#eef3f9\n";
    block.styleSheet = "QPushButton { color: red; }";
    block.aeroSheet = "QGroupBox { border: 1px solid blue; }";
    return block;
}

void PutNumber(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

TEST(SkinBlockTest, WhatIsWrittenReadsBackAndBeginsWithTheMark) {
    const std::vector<unsigned char> bytes = WriteSkinBlock(Sample());
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(std::memcmp(bytes.data(), ".SHE", 4), 0);

    const auto block = ReadSkinBlock(bytes.data(), bytes.size());
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->name, Sample().name);
    EXPECT_EQ(block->baseStyle, Sample().baseStyle);
    EXPECT_EQ(block->palette, Sample().palette);
    EXPECT_EQ(block->styleSheet, Sample().styleSheet);
    EXPECT_EQ(block->aeroSheet, Sample().aeroSheet);
}

TEST(SkinBlockTest, SectionsOfLaterKindsAreSkipped) {
    std::vector<unsigned char> bytes = WriteSkinBlock(Sample());
    const unsigned char extra[] = {'I', 'C', 'O', 'N', 2, 0, 0, 0, 0xAB, 0xCD};
    bytes.insert(bytes.end(), std::begin(extra), std::end(extra));
    PutNumber(bytes, 6, bytes[6] + 1u, 2);
    PutNumber(bytes, 8, static_cast<std::uint32_t>(bytes.size()), 4);

    const auto block = ReadSkinBlock(bytes.data(), bytes.size());
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->styleSheet, Sample().styleSheet);
}

TEST(SkinBlockTest, DamagedBlocksAreNotRead) {
    const std::vector<unsigned char> good = WriteSkinBlock(Sample());
    // The writer always writes the sheet section; take it out by hand.
    std::vector<unsigned char> noSheet;
    {
        SkinBlock nameOnly;
        nameOnly.name = "x";
        noSheet = WriteSkinBlock(nameOnly);  // NAME then an empty "QSS "
        noSheet.resize(noSheet.size() - 8);
        PutNumber(noSheet, 6, 1, 2);
        PutNumber(noSheet, 8, static_cast<std::uint32_t>(noSheet.size()), 4);
    }

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    std::vector<Case> cases;
    auto changed = [&](const char* what, auto change) {
        std::vector<unsigned char> bytes = good;
        change(bytes);
        cases.push_back({what, bytes});
    };
    changed("cut short", [](auto& b) { b.pop_back(); });
    changed("header only", [](auto& b) { b.resize(kSkinBlockHeaderSize); });
    changed("shorter than a header", [](auto& b) { b.resize(7); });
    changed("other mark", [](auto& b) {
        b[1] = 'S';
        b[2] = 'K';
    });
    changed("newer version", [](auto& b) { PutNumber(b, 4, kSkinBlockVersion + 1, 2); });
    changed("size field too large", [](auto& b) { PutNumber(b, 8, b.size() + 1, 4); });
    changed("trailing bytes", [](auto& b) {
        b.push_back(0);
        PutNumber(b, 8, b.size(), 4);
    });
    changed("one section too many", [](auto& b) { PutNumber(b, 6, b[6] + 1u, 2); });
    changed("section runs past the end",
            [](auto& b) { PutNumber(b, kSkinBlockHeaderSize + 4, 0xFFFFFFF0u, 4); });
    changed("a section twice", [](auto& b) {
        const unsigned char again[] = {'N', 'A', 'M', 'E', 1, 0, 0, 0, 'y'};
        b.insert(b.end(), std::begin(again), std::end(again));
        PutNumber(b, 6, b[6] + 1u, 2);
        PutNumber(b, 8, b.size(), 4);
    });
    cases.push_back({"no sheet section", noSheet});

    for (const Case& c : cases) {
        EXPECT_FALSE(ReadSkinBlock(c.bytes.data(), c.bytes.size()).has_value()) << c.what;
    }
    EXPECT_FALSE(ReadSkinBlock(nullptr, good.size()).has_value());
    EXPECT_FALSE(ReadSkinBlock(good.data(), 0).has_value());
    EXPECT_TRUE(ReadSkinBlock(good.data(), good.size()).has_value());
}

}  // namespace
