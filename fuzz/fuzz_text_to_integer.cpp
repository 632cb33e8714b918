// TextToInteger: an optionally signed run of decimal digits after white
// space, modulo 2^32. Checked against strtoll where the digits fit, and
// against the full-width forms of the same text.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/value_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int32_t value = TextToInteger(text);
    for (unsigned char c : text) {
        if (c >= 0x80) return 0;
    }
    // The leading integer, as strtoll reads it when it has at most 18 digits.
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) number += text[i++], ++digits;
    if (digits > 0 && digits <= 18) {
        const long long full = std::strtoll(number.c_str(), nullptr, 10);
        const auto expected = static_cast<std::int32_t>(static_cast<std::uint32_t>(full));
        FUZZ_CHECK(value == expected, "read %d, expected %d from %s", value, expected,
                   number.c_str());
    } else if (digits == 0) {
        FUZZ_CHECK(value == 0, "read %d without digits", value);
    }
    if (text.find('\0') == std::string_view::npos) {
        const std::int32_t wide = TextToInteger(FullWidth(text));
        FUZZ_CHECK(wide == value, "full-width reads %d, ASCII %d", wide, value);
    }
    return 0;
}
