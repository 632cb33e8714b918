#include "platform/private_profile.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "platform/whole_file.h"

// The file is handled as bytes, line by line. A line ends at CR LF, at LF or
// at CR alone. Lines whose first non-blank byte is '[' open a section, lines
// starting with ';' are comments, any other non-blank line is an entry
// "key=value" (a line without '=' is a key without value). Entries before the
// first section belong to no section. When a section or key appears twice,
// the first one counts, for reading and for writing alike.
//
// Texts are GBK: a byte of 0x80 or more starts a double-byte character, whose
// second byte may look like ']' or an ASCII letter, so scanning and case
// folding step over such characters whole. A file saved as UTF-8 by an
// editor, with the byte order mark or without it (then all of it valid UTF-8
// and holding at least one non-ASCII byte), is read as UTF-8 instead: the
// names asked for are turned into UTF-8 to find their lines, and a value read
// is turned into GBK. A write to such a file keeps the mark, if any, and
// stores the new line in UTF-8, so the file stays one encoding and its other
// values readable. Any other file is GBK.
//
// A written value that would not read back as it is (blanks at either end, or
// a pair of matching quotes around it) is put between double quotes, which a
// read removes again.

namespace {

// Larger files are no settings file: they read as empty and are not rewritten.
constexpr std::size_t kMaxFileBytes = 64u << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Bytes taken by the character at position i. A GBK second byte is 0x40 or
// more, so a first byte before '=', a quote or a blank stands alone.
std::size_t CharLength(std::string_view text, std::size_t i, bool gbk) {
    return gbk && static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x40
               ? 2
               : 1;
}

std::size_t FindChar(std::string_view text, char wanted, bool gbk) {
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i, gbk)) {
        if (text[i] == wanted) return i;
    }
    return std::string_view::npos;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal without regard to the case of ASCII letters; bytes of double-byte
// characters compare exactly.
bool NamesEqual(std::string_view a, std::string_view b, bool gbk) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t length = CharLength(a, i, gbk);
        if (length == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += length;
    }
    return true;
}

struct Line {
    std::size_t begin;  // first byte of the text
    std::size_t end;    // one past the text, where the line end starts
    std::size_t next;   // one past the line end: the next line's begin
};

std::vector<Line> SplitLines(std::string_view bytes, std::size_t start) {
    std::vector<Line> lines;
    std::size_t begin = start;
    while (begin < bytes.size()) {
        std::size_t end = begin;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        std::size_t next = end;
        if (next < bytes.size()) {
            next +=
                bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n' ? 2 : 1;
        }
        lines.push_back({begin, end, next});
        begin = next;
    }
    return lines;
}

enum class LineKind { kBlank, kComment, kSection, kEntry };

struct ParsedLine {
    LineKind kind;
    std::string_view name;   // section name or key
    std::string_view value;  // of an entry, blanks dropped, quotes kept
};

ParsedLine ParseLine(std::string_view text, bool gbk) {
    text = Trim(text);
    if (text.empty()) return {LineKind::kBlank, {}, {}};
    if (text.front() == ';') return {LineKind::kComment, {}, {}};
    if (text.front() == '[') {
        text.remove_prefix(1);
        return {LineKind::kSection, Trim(text.substr(0, FindChar(text, ']', gbk))), {}};
    }
    const std::size_t equals = FindChar(text, '=', gbk);
    if (equals == std::string_view::npos) return {LineKind::kEntry, text, {}};
    return {LineKind::kEntry, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string QuoteIfNeeded(std::string_view value) {
    if (value.empty() || (!IsBlank(value.front()) && !IsBlank(value.back()) &&
                          Unquote(value).size() == value.size())) {
        return std::string(value);
    }
    return "\"" + std::string(value) + "\"";
}

// Where a section and a key stand in the file.
struct Place {
    bool sectionFound = false;
    bool keyFound = false;
    std::size_t keyLine = 0;
    std::size_t lastFilledLine = 0;  // last non-blank line of the section, its header at least
};

Place Locate(std::string_view bytes, const std::vector<Line>& lines, std::string_view section,
             std::string_view key, bool gbk) {
    Place place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine line =
            ParseLine(bytes.substr(lines[i].begin, lines[i].end - lines[i].begin), gbk);
        if (line.kind == LineKind::kSection) {
            if (place.sectionFound) break;
            if (NamesEqual(line.name, section, gbk)) {
                place.sectionFound = true;
                place.lastFilledLine = i;
            }
            continue;
        }
        if (!place.sectionFound || line.kind == LineKind::kBlank) continue;
        place.lastFilledLine = i;
        if (line.kind == LineKind::kEntry && NamesEqual(line.name, key, gbk)) {
            place.keyFound = true;
            place.keyLine = i;
            break;
        }
    }
    return place;
}

bool HasUtf8Bom(std::string_view bytes) { return bytes.starts_with(kUtf8ByteOrderMark); }

// The number of continuation bytes after a UTF-8 lead byte and the range
// its first continuation byte must lie in (which excludes overlong forms,
// surrogates and code points past U+10FFFF); 0 continuations for no lead.
struct Utf8Lead {
    int continuations;
    unsigned char low;
    unsigned char high;
};

Utf8Lead LeadOf(unsigned char c) {
    if (c >= 0xC2 && c <= 0xDF) return {1, 0x80, 0xBF};
    if (c == 0xE0) return {2, 0xA0, 0xBF};
    if (c == 0xED) return {2, 0x80, 0x9F};
    if (c >= 0xE1 && c <= 0xEF) return {2, 0x80, 0xBF};
    if (c == 0xF0) return {3, 0x90, 0xBF};
    if (c >= 0xF1 && c <= 0xF3) return {3, 0x80, 0xBF};
    if (c == 0xF4) return {3, 0x80, 0x8F};
    return {0, 0, 0};
}

// True for a text that is valid UTF-8 from end to end and holds at least one
// non-ASCII character. GBK text practically never passes: its second bytes
// reach below 0x80 and its first bytes are mostly no UTF-8 lead bytes.
bool IsNonAsciiUtf8(std::string_view bytes) {
    bool nonAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        // Runs of ASCII (most of a settings file) eight bytes at a time.
        std::uint64_t word = 0;
        if (bytes.size() - i >= sizeof word) {
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                i += sizeof word;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const Utf8Lead lead = LeadOf(c);
        if (lead.continuations == 0 || bytes.size() - i <= std::size_t(lead.continuations)) {
            return false;
        }
        for (int k = 1; k <= lead.continuations; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + std::size_t(k)]);
            const unsigned char low = k == 1 ? lead.low : 0x80;
            const unsigned char high = k == 1 ? lead.high : 0xBF;
            if (next < low || next > high) return false;
        }
        nonAscii = true;
        i += std::size_t(lead.continuations) + 1;
    }
    return nonAscii;
}

// Whether the file's lines are UTF-8 rather than GBK.
bool IsUtf8File(std::string_view bytes) { return HasUtf8Bom(bytes) || IsNonAsciiUtf8(bytes); }

bool SurvivesUtf8(std::string_view gbk) { return Gbk(GbkToUtf8(gbk)) == gbk; }

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// True when the text ends in the first byte of a double-byte character
// without its second byte: the byte written after it (the "]" closing a
// section name) would be read as that second byte.
bool EndsInHalfCharacter(std::string_view text) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i, true)) last = i;
    return !text.empty() && last == text.size() - 1 &&
           static_cast<unsigned char>(text[last]) >= 0x80;
}

// Names and values that the file could not hold as one line, or that a read
// would never find again, are refused.
bool CanWrite(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || key.empty()) return false;
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) {
        return false;
    }
    if (FindChar(section, ']', true) != std::string_view::npos || EndsInHalfCharacter(section)) {
        return false;
    }
    return key.front() != '[' && key.front() != ';' &&
           FindChar(key, '=', true) == std::string_view::npos;
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& path, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::string bytes;
    if (ReadWholeFile(NativePath(path), kMaxFileBytes, bytes) != WholeFileRead::kOk) return {};

    const bool utf8 = IsUtf8File(bytes);
    const std::string sectionName = utf8 ? GbkToUtf8(Trim(section)) : std::string(Trim(section));
    const std::string keyName = utf8 ? GbkToUtf8(Trim(key)) : std::string(Trim(key));
    if (sectionName.empty() || keyName.empty()) return {};

    const std::size_t start = HasUtf8Bom(bytes) ? kUtf8ByteOrderMark.size() : 0;
    const std::vector<Line> lines = SplitLines(bytes, start);
    const Place place = Locate(bytes, lines, sectionName, keyName, !utf8);
    if (!place.keyFound) return {};

    const Line& line = lines[place.keyLine];
    std::string_view value = Unquote(
        ParseLine(std::string_view(bytes).substr(line.begin, line.end - line.begin), !utf8).value);
    // A caller's buffer ends at the first NUL byte.
    value = value.substr(0, value.find('\0'));
    std::string result = utf8 ? Gbk(value) : std::string(value);
    if (result.size() > bufferSize - 1) result.resize(bufferSize - 1);
    return result;
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    if (path.empty() || !CanWrite(Trim(section), Trim(key), value)) return false;
    std::string bytes;
    const WholeFileRead read = ReadWholeFile(NativePath(path), kMaxFileBytes, bytes);
    if (read != WholeFileRead::kOk && read != WholeFileRead::kMissing) return false;

    const bool utf8 = IsUtf8File(bytes);
    // A text that is no valid GBK would change on its way into UTF-8 and
    // could then name or overwrite another key.
    if (utf8 && !(SurvivesUtf8(Trim(section)) && SurvivesUtf8(Trim(key)) && SurvivesUtf8(value))) {
        return false;
    }
    const std::string sectionName = utf8 ? GbkToUtf8(Trim(section)) : std::string(Trim(section));
    const std::string keyName = utf8 ? GbkToUtf8(Trim(key)) : std::string(Trim(key));
    const std::string entry =
        keyName + "=" + QuoteIfNeeded(utf8 ? GbkToUtf8(value) : value) + "\r\n";

    const std::size_t start = HasUtf8Bom(bytes) ? kUtf8ByteOrderMark.size() : 0;
    const std::vector<Line> lines = SplitLines(bytes, start);
    const Place place = Locate(bytes, lines, sectionName, keyName, !utf8);

    std::string result;
    if (place.keyFound) {
        const Line& line = lines[place.keyLine];
        result = bytes.substr(0, line.begin) + entry + bytes.substr(line.next);
    } else if (place.sectionFound) {
        const Line& after = lines[place.lastFilledLine];
        // The last line of a file may lack its line end; it gets one first.
        const std::string lineEnd = after.next == after.end ? "\r\n" : "";
        result = bytes.substr(0, after.next) + lineEnd + entry + bytes.substr(after.next);
    } else {
        result = bytes;
        if (!lines.empty()) {
            const Line& last = lines.back();
            if (last.next == last.end) result += "\r\n";
            // A blank line keeps the new section apart from the one before.
            if (!Trim(std::string_view(bytes).substr(last.begin, last.end - last.begin)).empty()) {
                result += "\r\n";
            }
        }
        result += "[" + sectionName + "]\r\n" + entry;
    }
    // GBK texts can happen to be valid UTF-8 as well ("鸢啊" is): such a file
    // would be read back as UTF-8 and its texts changed. It is written as
    // UTF-8 with the byte order mark instead, which no reader mistakes; a
    // file that cannot be turned into UTF-8 whole is left as it was.
    if (!utf8 && IsNonAsciiUtf8(result)) {
        if (!SurvivesUtf8(result)) return false;
        result = std::string(kUtf8ByteOrderMark) + GbkToUtf8(result);
    }
    if (read == WholeFileRead::kOk && result == bytes) return true;
    return ReplaceWholeFile(NativePath(path), result);
}
