#pragma once
// The encodings of sheets that Excel and WPS save on a Chinese system: UTF-8
// with a byte-order mark ("CSV UTF-8"), UTF-8 without one, or GBK (plain
// "CSV" on code page 936), read with the GB18030 codec like every GBK text of
// the program.

#include <string>
#include <string_view>

#include "common/status.h"

bool IsValidUtf8(std::string_view text);

enum class SheetEncoding { Utf8WithBom, Utf8, Gbk };

struct DecodedSheet {
    Status status;  // why the bytes are no text of either encoding
    SheetEncoding encoding = SheetEncoding::Utf8;
    std::string utf8;  // the text without the byte-order mark
    bool ok() const { return status.ok(); }
};

// A byte-order mark decides; otherwise valid UTF-8 is taken as UTF-8 and
// anything else as GBK, which must then decode without error.
DecodedSheet DecodeSheet(std::string_view bytes);

const char* EncodingName(SheetEncoding encoding);
