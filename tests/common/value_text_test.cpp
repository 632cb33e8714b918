#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/date_parts.h"
#include "common/text_encoding.h"
#include "common/value_text.h"

namespace {

template <typename In, typename Out>
struct Case {
    In in;
    Out out;
};

DatabaseValue Number(ValueKind kind, double x) { return DatabaseValue::FromNumber(kind, x); }
DatabaseValue Integer(ValueKind kind, std::int64_t i) {
    return DatabaseValue::FromInteger(kind, i);
}

}  // namespace

TEST(ValueToText, Integers) {
    const Case<DatabaseValue, std::string> cases[] = {
        {Integer(ValueKind::Int32, -5), "-5"},
        {Integer(ValueKind::Int32, 0), "0"},
        {Integer(ValueKind::Int32, 2015), "2015"},
        {Integer(ValueKind::UInt8, 255), "255"},
        {Integer(ValueKind::Int64, -9223372036854775807LL - 1), "-9223372036854775808"},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueToText(c.in), c.out) << c.out;
}

TEST(ValueToText, DoublesAsThirteenDigitGeneralNumbers) {
    const Case<double, std::string> cases[] = {
        {3.0, "3"},
        {2.5, "2.5"},
        {0.1 + 0.2, "0.3"},
        {1234567.0, "1234567"},
        {1e13, "1e+013"},
        {0.00001, "1e-005"},
        {0.0001, "0.0001"},
        {12345678901234.0, "1.234567890123e+013"},
        {0.0, "0"},
        {-0.0, "0"},
        {1.5e-5, "1.5e-005"},
        {-2.5e-300, "-2.5e-300"},
        {9999999999999.9, "1e+013"},  // rounding carries into the next power of ten
        {std::numeric_limits<double>::max(), "1.797693134862e+308"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValueToText(Number(ValueKind::Double, c.in)), c.out) << c.out;
    }
}

TEST(ValueToText, SinglesRoundedToSixDigits) {
    const Case<float, std::string> cases[] = {
        {4.1f, "4.1"},
        {123456.7f, "123457"},
        {999999.5f, "1e+006"},
        {1000000.0f, "1e+006"},
        {-2.5f, "-2.5"},
        {0.0f, "0"},
        {0.00001f, "1e-005"},
        {9.9999995e-5f, "0.0001"},
        {12.345649f, "12.3456"},
        {-0.000123456789f, "-0.000123457"},
        // Subnormal singles: their exponent bits understate how small they are.
        {7.00649232e-45f, "7.00649e-045"},
        {std::numeric_limits<float>::denorm_min(), "1.4013e-045"},
        {-1.17549421e-38f, "-1.17549e-038"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValueToText(Number(ValueKind::Single, c.in)), c.out) << c.out;
    }
}

TEST(ValueToText, NonFiniteNumbersDoNotBreak) {
    EXPECT_EQ(DoubleToText(HUGE_VAL), "inf");
    EXPECT_EQ(DoubleToText(-HUGE_VAL), "-inf");
    EXPECT_EQ(SingleToText(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(SingleToText(std::numeric_limits<float>::quiet_NaN()), "nan");
}

TEST(ValueToText, BooleansBytesAndText) {
    EXPECT_EQ(ValueToText(Integer(ValueKind::Boolean, 1)), Gbk("真"));
    EXPECT_EQ(ValueToText(Integer(ValueKind::Boolean, 0)), Gbk("假"));

    DatabaseValue bytes = DatabaseValue::FromText(std::string("ab\0cd", 5));
    bytes.kind = ValueKind::Bytes;
    EXPECT_EQ(ValueToText(bytes), "ab");
    EXPECT_EQ(ValueToText(DatabaseValue::FromText(Gbk("订单"))), Gbk("订单"));
}

TEST(ValueToText, DateTimes) {
    const Case<double, const char*> cases[] = {
        {MakeDateTime(2015, 1, 9), "2015年1月9日"},
        {MakeDateTime(2015, 1, 9, 13, 5, 0), "2015年1月9日13时5分"},
        {MakeDateTime(2015, 1, 9, 13, 0, 7), "2015年1月9日13时0分7秒"},
        {MakeDateTime(2015, 1, 9, 0, 0, 7), "2015年1月9日0时0分7秒"},
        {-1.25, "1899年12月29日6时"},
        {-1e9, "100年1月1日"},
        {2958465.75, "9999年12月31日"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValueToText(Number(ValueKind::DateTime, c.in)), Gbk(c.out)) << c.out;
    }
}

TEST(TextToNumber, ReadsTheLeadingNumber) {
    const Case<std::string, double> cases[] = {
        {"12.5", 12.5},   {Gbk("１２．５"), 12.5},
        {"12abc", 12},    {"abc", 0},
        {"", 0},          {" 7", 7},
        {"\t\r\n-7", -7}, {"1e3", 1000},
        {"1d3", 1000},    {"1D-2", 0.01},
        {Gbk("－3"), -3}, {Gbk("＋３ｅ２"), 300},
        {Gbk("　8"), 8},  {"1,234", 1},
        {".5", 0.5},      {"1.2.3", 1.2},
        {"1e+", 1},       {"+-1", 0},
        {"0x1A", 0},      {"inf", 0},
        {"nan", 0},       {"1e-400", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToNumber(c.in), c.out) << GbkToUtf8(c.in);
}

TEST(TextToNumber, OverflowGivesSignedHugeValue) {
    EXPECT_EQ(TextToNumber("1e400"), HUGE_VAL);
    EXPECT_EQ(TextToNumber("-1d99999999999999999999"), -HUGE_VAL);
    // A long mantissa moves the magnitude as well as the exponent does.
    EXPECT_EQ(TextToNumber("1" + std::string(400, '0') + "e-50"), HUGE_VAL);
    EXPECT_EQ(TextToNumber("0." + std::string(400, '0') + "1e50"), 0);
}

TEST(TextToNumber, DoubleByteCharactersAreKeptWhole) {
    // Second bytes that look like ASCII ('1', 'e', '9'), and a pair A3 B1 ("１")
    // that straddles two characters, must not be read.
    EXPECT_EQ(TextToNumber("\x81\x31"), 0);
    EXPECT_EQ(TextToNumber(std::string("5\x81\x65") + "3"), 5);
    EXPECT_EQ(TextToNumber("\xB0\xA3\xB1"), 0);
    EXPECT_EQ(TextToInteger("\x81\x39"), 0);
    EXPECT_EQ(TextToNumber("9\xA3"), 9);  // a lone lead byte at the end
}

TEST(TextToInteger, ReadsSignedDigitsModulo2To32) {
    const Case<std::string, std::int32_t> cases[] = {
        {"123", 123},
        {"12.9", 12},
        {"-7x", -7},
        {"", 0},
        {Gbk("４２"), 42},
        {"4294967297", 1},
        {"2147483648", -2147483647 - 1},
        {" +15", 15},
        {"1e3", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToInteger(c.in), c.out) << GbkToUtf8(c.in);
}

TEST(NumberToInteger, TruncatesAndKeepsTheLow32Bits) {
    const Case<DatabaseValue, std::int32_t> cases[] = {
        {Number(ValueKind::Double, 2.9), 2},          {Number(ValueKind::Double, -2.9), -2},
        {Number(ValueKind::Double, 4294967297.5), 1}, {Number(ValueKind::Double, 1e300), 0},
        {Number(ValueKind::Double, std::nan("")), 0}, {Integer(ValueKind::Int64, 4294967297LL), 1},
        {Integer(ValueKind::UInt8, 200), 200},        {DatabaseValue::FromText("12"), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberToInteger(c.in), c.out) << ValueToText(c.in);
}
