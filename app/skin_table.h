#pragma once
// The 33 skins the program carries, each a skin block as the skinning library
// reads it. Generated at build time; SkinTable[0] is skin 1.

#include <cstdint>

struct SkinData {
    const unsigned char* data;
    std::int32_t size;
};

inline constexpr int kSkinCount = 33;

extern const SkinData SkinTable[kSkinCount];
