#include "common/text_encoding.h"

#include <QString>
#include <cstdint>
#include <cstring>

#include "common/gb18030.h"

namespace {

// How many bytes the text starts with below 0x80, looked at eight at a time.
std::size_t AsciiPrefixLength(std::string_view text) {
    std::size_t at = 0;
    for (std::uint64_t word; at + sizeof word <= text.size(); at += sizeof word) {
        std::memcpy(&word, text.data() + at, sizeof word);
        if (word & 0x8080808080808080u) break;
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) ++at;
    return at;
}

bool IsAscii(std::string_view text) { return AsciiPrefixLength(text) == text.size(); }

std::string ToStd(const QByteArray& bytes) { return std::string(bytes.constData(), bytes.size()); }

// The GB18030 bytes of every code point of the basic plane that the codec
// writes as two bytes (lead byte high, trail byte low); 0 for the code points
// it writes as four bytes, for the surrogates, and for ASCII (one byte, never
// looked up). Filled once from the codec itself, so the two cannot disagree.
class TwoByteTable {
  public:
    TwoByteTable() {
        QString all;
        all.reserve(0x10000);
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (!IsSurrogate(c)) all.append(QChar(static_cast<char16_t>(c)));
        }
        const QByteArray bytes = EncodeGb18030(all);
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
        const qsizetype size = bytes.size();
        qsizetype at = 0;
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (IsSurrogate(c)) continue;
            // Lead bytes are 0x81-0xFE; a second byte of 0x30-0x39 marks the
            // four-byte form.
            if (at + 1 >= size || b[at] < 0x81 || b[at] == 0xFF) {
                std::memset(code_, 0, sizeof code_);  // not the expected shape
                return;
            }
            if (b[at + 1] >= 0x30 && b[at + 1] <= 0x39) {
                at += 4;
            } else {
                code_[c] = static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
                at += 2;
            }
        }
        if (at != size) std::memset(code_, 0, sizeof code_);
    }

    std::uint16_t operator[](char32_t c) const { return code_[c]; }

  private:
    static bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

    std::uint16_t code_[0x10000] = {};
};

const TwoByteTable& GbkTable() {
    static const TwoByteTable table;
    return table;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The table path: ASCII copied, two- and three-byte UTF-8 sequences looked
// up. False, with out partly written, for anything else (a four-byte form in
// either encoding, a malformed sequence), which the codec then handles.
bool AppendThroughTable(std::string_view utf8, std::string& out) {
    const TwoByteTable* table = nullptr;  // made at the first character beyond ASCII
    const std::size_t start = out.size();
    // No character grows: one byte stays one, two and three become two.
    out.resize(start + utf8.size());
    char* to = out.data() + start;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        if (*p < 0x80) {  // cells are short: a plain copy beats a call per run
            *to++ = static_cast<char>(*p++);
            continue;
        }
        const unsigned lead = *p;
        char32_t c;
        if (lead >= 0xE0 && lead <= 0xEF && end - p >= 3 && IsContinuation(p[1]) &&
            IsContinuation(p[2])) {  // most Chinese characters
            c = static_cast<char32_t>((lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
            if (c < 0x800) return false;  // overlong
            p += 3;
        } else if (lead >= 0xC2 && lead <= 0xDF && end - p >= 2 && IsContinuation(p[1])) {
            c = static_cast<char32_t>((lead & 0x1F) << 6 | (p[1] & 0x3F));
            p += 2;
        } else {
            return false;
        }
        if (!table) table = &GbkTable();
        const std::uint16_t code = (*table)[c];  // 0 also for the surrogates
        if (code == 0) return false;
        *to++ = static_cast<char>(code >> 8);
        *to++ = static_cast<char>(code & 0xFF);
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return true;
}

}  // namespace

QString GbkToQString(std::string_view gbk) {
    if (IsAscii(gbk)) return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
    QString text;
    DecodeGb18030(gbk, text);
    return text;
}

std::string QStringToGbk(const QString& text) { return ToStd(EncodeGb18030(text)); }

void AppendGbk(std::string_view utf8, std::string& out) {
    const std::size_t start = out.size();
    // Most cells (numbers, dates, waybills) are ASCII, the same bytes in GBK.
    const std::size_t ascii = AsciiPrefixLength(utf8);
    out.append(utf8.data(), ascii);
    if (ascii == utf8.size() || AppendThroughTable(utf8.substr(ascii), out)) return;
    // The codec takes the whole text: it reads a byte-order mark at the
    // start of what it is given differently from one inside it.
    out.resize(start);
    out += QStringToGbk(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string Gbk(std::string_view utf8) {
    std::string gbk;
    AppendGbk(utf8, gbk);
    return gbk;
}

std::string GbkToUtf8(std::string_view gbk) {
    if (IsAscii(gbk)) return std::string(gbk);
    return ToStd(GbkToQString(gbk).toUtf8());
}
