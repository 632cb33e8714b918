#pragma once
// The skinning library's entry points. The library is loaded the first time
// one of them is asked for, from the regular file beside the program only;
// each function is looked up once and kept. When the library cannot be loaded or lacks the
// function, the fatal error box ends the process and the lookup gives null.

#include "skin/skinh_el.h"

inline constexpr char kSkinLibraryFileName[] = "SkinH_EL.dll";

using SkinSetAeroFunction = int32_t(SKINH_CALL*)(int32_t on);
using SkinAttachResFunction = int32_t(SKINH_CALL*)(const unsigned char* data, int32_t size,
                                                   const char* text, int32_t reserved1,
                                                   int32_t reserved2, int32_t reserved3);

SkinSetAeroFunction SkinSetAeroEntry();
SkinAttachResFunction SkinAttachResEntry();
