// Values become texts and are read back: a single-precision number gives
// back the float rounded to six significant digits (halves away from zero),
// a double the number rounded to 13 digits, an integer its low 32 bits.
// Every other kind becomes some text without a fault.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/value_text.h"
#include "fuzz_support.h"

namespace {

// x rounded to `digits` significant decimal digits, from its exact decimal
// expansion (every float and double has one): down (towards zero) and up,
// the nearest of the two with halves away from zero, and whether x lies on a
// half or within 1e-12 of one, where the extended-precision steps of
// RoundToSixDigits may go either way.
struct Rounded {
    double down, up, nearest;
    bool nearHalf;
};

Rounded RoundedExactly(double x, int digits) {
    char exact[1100];
    std::snprintf(exact, sizeof exact, "%.800e", std::fabs(x));  // all digits of any double
    std::string mantissa;
    const char* p = exact;
    for (; *p != 'e'; ++p) {
        if (*p != '.') mantissa += *p;
    }
    const int exponent = std::atoi(p + 1);
    const auto n = static_cast<std::size_t>(digits);
    std::string kept = mantissa.substr(0, n);
    std::string up = kept;
    int upExponent = exponent;
    int i = digits - 1;
    for (; i >= 0 && up[static_cast<std::size_t>(i)] == '9'; --i)
        up[static_cast<std::size_t>(i)] = '0';
    if (i >= 0) {
        ++up[static_cast<std::size_t>(i)];
    } else {
        up.insert(up.begin(), '1');
        up.pop_back();
        ++upExponent;
    }
    const auto value = [x](const std::string& d, int e) {
        const std::string text = d.substr(0, 1) + "." + d.substr(1) + "e" + std::to_string(e);
        const double v = std::strtod(text.c_str(), nullptr);
        return x < 0 ? -v : v;
    };
    const std::string tail = mantissa.substr(n, 12);
    Rounded r{value(kept, exponent), value(up, upExponent), 0,
              tail.starts_with("499999999999") || tail.starts_with("500000000000")};
    r.nearest = mantissa[n] >= '5' ? r.up : r.down;
    return r;
}

// The significant digits of a %g text (sign, point and exponent left out).
int SignificantDigits(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == 'e') break;
        if (c >= '0' && c <= '9') digits += c;
    }
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? 0 : static_cast<int>(digits.size() - first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto kind = static_cast<ValueKind>(input.ConsumeIntegralInRange<int>(0, 9));
    const std::int64_t integer = input.ConsumeIntegral<std::int64_t>();
    // From raw bits, so that subnormal numbers, infinities and NaNs come too.
    const auto single = std::bit_cast<float>(input.ConsumeIntegral<std::uint32_t>());
    const auto number = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());

    // Every kind becomes a text, whatever its value.
    DatabaseValue value = DatabaseValue::FromInteger(kind, integer);
    value.number = kind == ValueKind::Single ? single : number;
    value.text = input.ConsumeRemainingBytesAsString();
    const std::string text = ValueToText(value);
    FUZZ_CHECK(NumberToInteger(value) == NumberToInteger(value), "NumberToInteger");

    const std::string integerText = IntegerToText(integer);
    FUZZ_CHECK(TextToInteger(integerText) ==
                   static_cast<std::int32_t>(static_cast<std::uint32_t>(integer)),
               "%s", integerText.c_str());

    if (std::isfinite(single)) {
        const std::string shown = SingleToText(single);
        const double read = TextToNumber(shown);
        const Rounded expected = RoundedExactly(single, 6);
        FUZZ_CHECK(read == expected.nearest || (expected.nearHalf && read == expected.down),
                   "float %.9g shows as %s, reads %.17g, rounded %.17g", single, shown.c_str(),
                   read, expected.nearest);
        FUZZ_CHECK(SignificantDigits(shown) <= 6, "%s", shown.c_str());
    }
    if (std::isfinite(number)) {
        const std::string shown = DoubleToText(number);
        const double read = TextToNumber(shown);
        char reference[64];
        std::snprintf(reference, sizeof reference, "%.12e", number);
        const double expected = std::strtod(reference, nullptr);
        FUZZ_CHECK(read == expected, "double %.17g shows as %s, reads %.17g, not %.17g", number,
                   shown.c_str(), read, expected);
        FUZZ_CHECK(SignificantDigits(shown) <= 13, "%s", shown.c_str());
        // The exponent, when there is one, has at least three digits.
        const std::size_t e = shown.find('e');
        FUZZ_CHECK(e == std::string::npos || shown.size() - e - 2 >= 3, "%s", shown.c_str());
    }
    return 0;
}
