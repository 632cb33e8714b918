// TextToNumber against the C library's strtod: for every ASCII text the
// number read is strtod's reading of the same leading number (with d as an
// exponent letter, no hex, inf or nan), and typing it in full-width forms
// reads the same number. It is never NaN.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/value_text.h"
#include "fuzz_support.h"

namespace {

// The leading number in the form strtod reads, or "0" when there is none.
std::string LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) number += text[i++], ++digits;
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && IsDigit(text[i])) number += text[i++], ++digits;
    }
    if (digits == 0) return "0";
    if (i + 1 < text.size() && std::strchr("eEdD", text[i]) && text[i] != '\0') {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (text[j] == '+' || text[j] == '-') exponent += text[j++];
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) exponent += text[j++];
            number += exponent;
        }
    }
    return number;
}

bool Same(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = TextToNumber(text);
    FUZZ_CHECK(!std::isnan(value), "NaN");
    for (unsigned char c : text) {
        if (c >= 0x80) return 0;
    }
    const std::string number = LeadingNumber(text);
    const double expected = std::strtod(number.c_str(), nullptr);
    FUZZ_CHECK(Same(value, expected), "read %.17g, strtod reads %.17g from %s", value, expected,
               number.c_str());
    if (text.find('\0') == std::string_view::npos) {
        const double wide = TextToNumber(FullWidth(text));
        FUZZ_CHECK(Same(wide, value), "full-width reads %.17g, ASCII %.17g", wide, value);
    }
    return 0;
}
