#pragma once
// What the fuzz targets share: a property check that ends the run (libFuzzer
// keeps the input as a crash), and small helpers for their messages and
// inputs.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition, ...)                                                             \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: %s does not hold: ", __FILE__, __LINE__, #condition); \
            std::fprintf(stderr, __VA_ARGS__);                                                 \
            std::fprintf(stderr, "\n");                                                        \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// Bytes as hexadecimal digits, for messages.
inline std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// White space as the C library's isspace has it in the C locale.
inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The same text typed with a Chinese input method: printable ASCII as the
// full-width forms of GBK row A3, the space as the ideographic space.
inline std::string FullWidth(std::string_view text) {
    std::string wide;
    for (char c : text) {
        if (c > ' ' && c < 0x7F) {
            wide += '\xA3';
            wide += static_cast<char>(static_cast<unsigned char>(c) + 0x80);
        } else if (c == ' ') {
            wide += "\xA1\xA1";
        } else {
            wide += c;
        }
    }
    return wide;
}
