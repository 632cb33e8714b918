#pragma once
// How values become text and typed texts become numbers. All texts are GBK.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/database_value.h"

std::string ValueToText(const DatabaseValue& value);
std::string IntegerToText(std::int64_t value);
std::string SingleToText(float value);   // RoundToSixDigits, then "%.6g"
std::string DoubleToText(double value);  // "%.13g"
// "2015年1月9日" followed by "13时5分7秒", "13时5分" or "13时" as far as the time
// of day is not zero.
std::string DateTimeToText(double dateTime);

// "%.<precision>g" with the exponent written with at least three digits (1e+013).
std::string FormatGeneral(double value, int precision);

// x rounded to six significant decimal digits, halves away from zero,
// computed in extended precision.
double RoundToSixDigits(float x);

// Reads a decimal number from the start of a text after full-width
// normalisation; 0 when the text does not begin with one.
double TextToNumber(std::string_view text);
// Reads an optionally signed run of decimal digits, accumulated modulo 2^32.
std::int32_t TextToInteger(std::string_view text);
// The same reading accumulated modulo 2^64: an order id as the list shows it.
std::int64_t TextToInteger64(std::string_view text);
// Integers as they are (64-bit: low 32 bits); floating point truncated toward
// zero. A value that is no number (text, a failed read) gives 0.
std::int32_t NumberToInteger(const DatabaseValue& value);
