#pragma once
// Cutting a GBK (GB18030) text short without splitting a character.

#include <cstddef>
#include <string_view>

// The longest beginning of the text that holds whole characters only and is
// at most `bytes` long.
std::string_view WholeCharactersWithin(std::string_view gbk, std::size_t bytes);
