// The Windows side of common/gb18030.h: code page 54936 is GB18030, code
// page 936 is GBK.
#include <windows.h>

#include "common/gb18030.h"

namespace {

constexpr UINT kGb18030 = 54936;
constexpr UINT kGbk = 936;

// A system without code page 54936 (Wine has none) converts nothing in it;
// GBK, which holds every text the program itself writes, stands in there.
UINT Gb18030CodePage() {
    static const UINT page = IsValidCodePage(kGb18030) ? kGb18030 : kGbk;
    return page;
}

// The text of bytes in code page; false when a byte sequence is invalid.
bool Decode(UINT codePage, std::string_view bytes, QString& text) {
    text.clear();
    if (bytes.empty()) return true;
    const int size = static_cast<int>(bytes.size());
    int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    const bool valid = length > 0;
    const DWORD flags = valid ? MB_ERR_INVALID_CHARS : 0;
    if (!valid) length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    text.resize(length);
    MultiByteToWideChar(codePage, flags, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(text.data()), length);
    return valid;
}

// The bytes of text in code page; false when a character has none there.
bool Encode(UINT codePage, const QString& text, QByteArray& bytes) {
    bytes.clear();
    if (text.isEmpty()) return true;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int size = static_cast<int>(text.size());
    // Code page 54936 takes neither a default character nor the flag that
    // reports its use: every character has bytes there.
    BOOL lossy = FALSE;
    BOOL* reportLoss = codePage == kGb18030 ? nullptr : &lossy;
    const int length =
        WideCharToMultiByte(codePage, 0, wide, size, nullptr, 0, nullptr, reportLoss);
    if (length <= 0) return false;
    bytes.resize(length);
    WideCharToMultiByte(codePage, 0, wide, size, bytes.data(), length, nullptr, reportLoss);
    return !lossy;
}

}  // namespace

bool DecodeGb18030(std::string_view bytes, QString& text) {
    return Decode(Gb18030CodePage(), bytes, text);
}

QByteArray EncodeGb18030(const QString& text) {
    QByteArray bytes;
    Encode(Gb18030CodePage(), text, bytes);
    return bytes;
}

bool EncodeGbk(const QString& text, QByteArray& bytes) { return Encode(kGbk, text, bytes); }
