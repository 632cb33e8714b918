#pragma once
// The complete file SkinH_EL.dll as the build produced it, carried inside the
// program and written beside it at start-up. Generated at build time.

#include <cstddef>

extern const unsigned char kSkinLibraryImage[];
extern const std::size_t kSkinLibraryImageSize;
