#include "common/text_cut.h"

std::string_view WholeCharactersWithin(std::string_view gbk, std::size_t bytes) {
    if (gbk.size() <= bytes) return gbk;
    // A character is one byte below 0x80; otherwise a lead byte followed by a
    // trail byte, or by a digit that marks the four-byte form.
    std::size_t end = 0;
    while (end < gbk.size()) {
        std::size_t length = 1;
        if (static_cast<unsigned char>(gbk[end]) >= 0x80 && end + 1 < gbk.size()) {
            const char second = gbk[end + 1];
            length = second >= '0' && second <= '9' ? 4 : 2;
        }
        if (end + length > bytes) break;
        end += length;
    }
    return gbk.substr(0, end);
}
