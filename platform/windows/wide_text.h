#pragma once
// The tool's UTF-8 texts as the wide texts of Windows' own functions.

#include <string>

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);

// One argument of a command line as the C runtime of the child splits it
// again: in quotes, a quote escaped, and backslashes before a quote doubled.
std::wstring QuotedArgument(const std::wstring& word);
