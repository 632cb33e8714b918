#include "common/value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "common/date_parts.h"
#include "common/text_encoding.h"

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Full-width forms typed with a Chinese input method read as their ASCII
// counterparts. Every other double-byte character is copied whole, so its
// second byte is never taken for an ASCII character.
std::string NormaliseFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || i + 1 == text.size() || text[i + 1] == '\0') {
            out += text[i];
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out += static_cast<char>(trail - 0x80);
        } else if (lead == 0xA1 && trail == 0xA1) {
            out += ' ';
        } else if (lead == 0xA1 && trail == 0xAB) {
            out += '~';
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out += '*';
        } else {
            out += text.substr(i - 1, 2);
        }
    }
    return out;
}

// Skips leading white space and an optional sign; returns the position after them.
std::size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
    std::size_t i = std::min(text.find_first_not_of(kWhiteSpace), text.size());
    negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    return i;
}

// Drops trailing zeros after a decimal point, and the point when nothing follows it.
void TrimFraction(std::string& digits) {
    if (digits.find('.') == std::string::npos) return;
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.back() == '.') digits.pop_back();
}

}  // namespace

std::string IntegerToText(std::int64_t value) { return std::to_string(value); }

std::string FormatGeneral(double value, int precision) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0) return "0";
    const int p = std::max(precision, 1);

    // Rounded to p significant digits: "-d.ddde+x".
    std::string scientific(static_cast<std::size_t>(p) + 16, '\0');
    char* end = std::to_chars(scientific.data(), scientific.data() + scientific.size(), value,
                              std::chars_format::scientific, p - 1)
                    .ptr;
    scientific.resize(static_cast<std::size_t>(end - scientific.data()));
    const std::size_t e = scientific.find('e');
    int exponent = 0;
    std::from_chars(scientific.data() + e + 2, end, exponent);
    if (scientific[e + 1] == '-') exponent = -exponent;
    std::string digits;  // the p significant digits
    std::copy_if(scientific.begin(), scientific.begin() + static_cast<std::ptrdiff_t>(e),
                 std::back_inserter(digits), IsDigit);

    // Plain notation for -4 <= exponent < p, else one digit before the point and an exponent.
    const bool plain = exponent >= -4 && exponent < p;
    std::string number =
        plain && exponent < 0
            ? "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits
            : digits.insert(plain ? static_cast<std::size_t>(exponent) + 1 : 1, 1, '.');
    TrimFraction(number);
    std::string text = (value < 0 ? "-" : "") + number;
    if (!plain) {
        const std::string power = std::to_string(std::abs(exponent));
        text += (exponent < 0 ? "e-" : "e+") +
                std::string(3 - std::min<std::size_t>(power.size(), 3), '0') + power;
    }
    return text;
}

double RoundToSixDigits(float x) {
    if (x == 0) return 0;
    if (!std::isfinite(x)) return x;
    constexpr long double kLog10Of2 = 0.301029995663981195213738894724493027L;
    const auto pow10 = [](int n) { return std::pow(10.0L, static_cast<long double>(n)); };

    // The binary exponent; for a subnormal x lower than its exponent bits say.
    const int e2 = std::ilogb(x);
    int d = static_cast<int>(e2 * kLog10Of2);  // truncated toward zero
    long double m = std::fabs(static_cast<long double>(x));
    m = d > 0 ? m / pow10(d) : m * pow10(-d);
    long double scaled;  // m with six digits before the point
    if (m >= 10) {
        ++d;
        scaled = m * 10000;
    } else if (m < 1) {
        --d;
        scaled = m * 1000000;
    } else {
        scaled = m * 100000;
    }
    long double n = std::trunc(scaled);
    if (scaled - n >= 0.5L) n += 1;
    const long double rounded = n * pow10(d - 5);
    return static_cast<double>(x < 0 ? -rounded : rounded);
}

std::string SingleToText(float value) { return FormatGeneral(RoundToSixDigits(value), 6); }

std::string DoubleToText(double value) { return FormatGeneral(value, 13); }

std::string DateTimeToText(double dateTime) {
    const DateTimeParts p = SplitDateTime(dateTime);
    std::string text = std::to_string(p.year) + "年" + std::to_string(p.month) + "月" +
                       std::to_string(p.day) + "日";
    if (p.hour != 0 || p.minute != 0 || p.second != 0) text += std::to_string(p.hour) + "时";
    if (p.minute != 0 || p.second != 0) text += std::to_string(p.minute) + "分";
    if (p.second != 0) text += std::to_string(p.second) + "秒";
    return Gbk(text);
}

std::string ValueToText(const DatabaseValue& value) {
    switch (value.kind) {
        case ValueKind::Text:
            return value.text;
        case ValueKind::UInt8:
            return IntegerToText(static_cast<std::uint8_t>(value.integer));
        case ValueKind::Int16:
            return IntegerToText(static_cast<std::int16_t>(value.integer));
        case ValueKind::Int32:
            return IntegerToText(static_cast<std::int32_t>(value.integer));
        case ValueKind::Int64:
            return IntegerToText(value.integer);
        case ValueKind::Single:
            return SingleToText(static_cast<float>(value.number));
        case ValueKind::Double:
            return DoubleToText(value.number);
        case ValueKind::Boolean:
            return Gbk(value.integer != 0 ? "真" : "假");
        case ValueKind::DateTime:
            return DateTimeToText(value.number);
        case ValueKind::Bytes:
            return value.text.substr(0, value.text.find('\0'));
    }
    return {};
}

double TextToNumber(std::string_view text) {
    const std::string normal = NormaliseFullWidth(text);
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(normal, negative);

    // The number is rebuilt in the form std::from_chars reads, which knows no
    // "+" and no "d" exponent and never looks at the C locale.
    std::string number = negative ? "-" : "";
    bool point = false, digits = false, nonZero = false;
    long long leadExponent = 0;  // decimal exponent of the first non-zero digit
    for (; i < normal.size(); ++i) {
        const char c = normal[i];
        if (c == '.' && !point) {
            point = true;
        } else if (IsDigit(c)) {
            digits = true;
            if (point && !nonZero) --leadExponent;
            if (!point && nonZero) ++leadExponent;
            nonZero = nonZero || c != '0';
        } else {
            break;
        }
        number += c;
    }
    if (!digits) return 0;

    long long exponent = 0;
    if (i < normal.size() && std::string_view("eEdD").find(normal[i]) != std::string_view::npos) {
        bool negativeExponent = false;
        std::size_t j = i + 1;
        if (j < normal.size() && (normal[j] == '+' || normal[j] == '-')) {
            negativeExponent = normal[j++] == '-';
        }
        if (j < normal.size() && IsDigit(normal[j])) {  // else the letter is not part of it
            number += negativeExponent ? "e-" : "e";
            for (; j < normal.size() && IsDigit(normal[j]); ++j) {
                number += normal[j];
                exponent = std::min(exponent * 10 + (normal[j] - '0'), 1'000'000'000LL);
            }
            if (negativeExponent) exponent = -exponent;
        }
    }

    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: overflow gives HUGE_VAL, underflow 0, as strtod does.
        value = leadExponent + exponent > 0 ? HUGE_VAL : 0.0;
        if (negative) value = -value;
    }
    return value;
}

namespace {

// The digits after blanks and a sign, accumulated modulo 2^bits of Unsigned.
template <typename Unsigned>
Unsigned ReadDigits(std::string_view text, bool& negative) {
    const std::string normal = NormaliseFullWidth(text);
    negative = false;
    Unsigned value = 0;
    for (std::size_t i = SkipBlanksAndSign(normal, negative);
         i < normal.size() && IsDigit(normal[i]); ++i) {
        value = static_cast<Unsigned>(value * 10 + static_cast<Unsigned>(normal[i] - '0'));
    }
    return negative ? static_cast<Unsigned>(0u - value) : value;
}

}  // namespace

std::int32_t TextToInteger(std::string_view text) {
    bool negative = false;
    return static_cast<std::int32_t>(ReadDigits<std::uint32_t>(text, negative));
}

std::int64_t TextToInteger64(std::string_view text) {
    bool negative = false;
    return static_cast<std::int64_t>(ReadDigits<std::uint64_t>(text, negative));
}

std::int32_t NumberToInteger(const DatabaseValue& value) {
    switch (value.kind) {
        case ValueKind::UInt8:
            return static_cast<std::uint8_t>(value.integer);
        case ValueKind::Int16:
            return static_cast<std::int16_t>(value.integer);
        case ValueKind::Int32:
        case ValueKind::Int64:
            return static_cast<std::int32_t>(value.integer);  // the low 32 bits
        case ValueKind::Single:
        case ValueKind::Double: {
            // Truncated toward zero to 64 bits, then the low 32 bits; NaN,
            // infinity and values beyond 64 bits have no integer and give 0.
            constexpr double kLimit = 9223372036854775808.0;  // 2^63
            const double x = value.number;
            if (!(x >= -kLimit && x < kLimit)) return 0;
            return static_cast<std::int32_t>(static_cast<std::int64_t>(x));
        }
        case ValueKind::Text:
        case ValueKind::Boolean:
        case ValueKind::DateTime:
        case ValueKind::Bytes:
            return 0;
    }
    return 0;
}
