#pragma once
// The tool's UTF-8 texts as the wide texts of Windows' own functions.

#include <string>

std::wstring WideFromUtf8(const std::string& utf8);
