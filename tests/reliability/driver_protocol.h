#pragma once
// What the ledger driver and the tests that run it say to each other: one
// line per event on the driver's standard output, words apart by single
// spaces, every text in it written as hexadecimal UTF-8 so that quotes,
// blanks and line breaks inside texts cannot break a line.

#include <string>
#include <string_view>
#include <vector>

inline std::string ToHex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2 + 1);
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    // An empty text still takes a word of its own.
    return hex.empty() ? "-" : hex;
}

inline std::string FromHex(std::string_view hex) {
    if (hex == "-") return {};
    const auto value = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(value(hex[i]) * 16 + value(hex[i + 1]));
    }
    return bytes;
}

inline std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t space = line.find(' ', start);
        const std::size_t end = space == std::string_view::npos ? line.size() : space;
        if (end > start) words.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
    return words;
}
