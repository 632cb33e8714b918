#pragma once
// The skinning library: carried inside the program, written beside it when
// missing, loaded on first use, and asked to draw every window in one skin.

#include <cstdint>

void EnsureSkinLibrary();
void EnableSkinAero();
void AttachSkin(std::int32_t skinNumber);
