#pragma once
// The skinning library's interface: two functions the program calls by name
// after loading SkinH_EL.dll, plus one query that tests use to see what the
// library was handed.

#include <stdint.h>

// The calling convention of the two entry points: stdcall (the callee removes
// the arguments) where the platform has one, the default elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define SKINH_CALL __stdcall
#else
#define SKINH_CALL
#endif

#if defined(SKINH_BUILDING_LIBRARY)
#if defined(_WIN32)
#define SKINH_API __declspec(dllexport)
#else
#define SKINH_API __attribute__((visibility("default")))
#endif
#else
#define SKINH_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// 1 turns the Aero variant of the look on, 0 turns it off; the choice holds
// for the skin attached now and for every skin attached later. Returns 1.
SKINH_API int32_t SKINH_CALL SkinH_SetAero(int32_t on);

// Draws every window of the process, present and future, in the skin block
// `data` of `size` bytes. A null pointer, a size of 0 or less, or a block the
// library cannot read puts back the look the system draws. The text and the
// three numbers are accepted and not used. Returns 1 when a skin was applied.
SKINH_API int32_t SKINH_CALL SkinH_AttachRes(const unsigned char* data, int32_t size,
                                             const char* text, int32_t reserved1, int32_t reserved2,
                                             int32_t reserved3);

// What the library was last handed, for tests. Sequence numbers count every
// call to either entry point, so tests can tell their order.
typedef struct SkinH_CallRecord {
    int32_t aeroCalls;
    int32_t aeroValue;
    int32_t aeroSequence;
    int32_t attachCalls;
    int32_t attachSequence;
    int32_t attachHadData;             // the pointer was not null
    int32_t attachSize;                // the size argument as given
    const unsigned char* attachBytes;  // a copy of the bytes, attachSize of them
    int32_t attachHadText;             // the text pointer was not null
    const char* attachText;            // a copy of the text ("" for a null pointer)
    int32_t attachNumbers[3];
    int32_t skinApplied;  // the last block was read and applied
} SkinH_CallRecord;

SKINH_API const SkinH_CallRecord* SkinH_LastCallsForTesting(void);

#ifdef __cplusplus
}
#endif
