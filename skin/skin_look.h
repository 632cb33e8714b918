#pragma once
// The look of the whole application: the attached skin, with or without its
// Aero variant, or the look the system draws when no skin is attached.
// Everything goes through the application (style, palette, style sheet), so
// windows and message boxes opened later get the same look.

#include <cstddef>

// Reads the block and applies it. Null data, size 0 or a block that cannot be
// read drops any skin attached before and puts back the system's look.
// Returns true when a skin is now applied.
bool AttachSkinBlock(const unsigned char* data, std::size_t size);

// Switches the Aero variant for the current skin and every later one.
void SetAeroLook(bool on);
