// The two entry points of SkinH_EL.dll and the call record tests read.
#include "skin/skinh_el.h"

#include <string>
#include <vector>

#include "skin/skin_look.h"

namespace {

struct CallLog {
    SkinH_CallRecord record{};
    std::int32_t sequence = 0;
    std::vector<unsigned char> bytes;
    std::string text;
};

CallLog& Log() {
    static CallLog log;
    return log;
}

}  // namespace

extern "C" {

SKINH_API int32_t SKINH_CALL SkinH_SetAero(int32_t on) {
    CallLog& log = Log();
    log.record.aeroCalls++;
    log.record.aeroValue = on;
    log.record.aeroSequence = ++log.sequence;
    SetAeroLook(on != 0);
    return 1;
}

SKINH_API int32_t SKINH_CALL SkinH_AttachRes(const unsigned char* data, int32_t size,
                                             const char* text, int32_t reserved1, int32_t reserved2,
                                             int32_t reserved3) {
    const bool hasBytes = data != nullptr && size > 0;
    CallLog& log = Log();
    log.bytes.assign(data, hasBytes ? data + size : data);
    log.text = text != nullptr ? text : "";
    SkinH_CallRecord& record = log.record;
    record.attachCalls++;
    record.attachSequence = ++log.sequence;
    record.attachHadData = data != nullptr;
    record.attachSize = size;
    record.attachBytes = log.bytes.data();
    record.attachHadText = text != nullptr;
    record.attachText = log.text.c_str();
    record.attachNumbers[0] = reserved1;
    record.attachNumbers[1] = reserved2;
    record.attachNumbers[2] = reserved3;
    record.skinApplied =
        AttachSkinBlock(hasBytes ? data : nullptr, hasBytes ? static_cast<std::size_t>(size) : 0);
    return record.skinApplied;
}

SKINH_API const SkinH_CallRecord* SkinH_LastCallsForTesting(void) { return &Log().record; }

}  // extern "C"
