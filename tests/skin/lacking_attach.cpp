// A library that calls itself SkinH_EL.dll but offers only SkinH_SetAero.
#include <stdint.h>

extern "C" __attribute__((visibility("default"))) int32_t SkinH_SetAero(int32_t) { return 1; }
