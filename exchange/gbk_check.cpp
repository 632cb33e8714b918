#include "exchange/gbk_check.h"

#include <QString>
#include <algorithm>
#include <bitset>

#include "common/gb18030.h"
#include "common/text_encoding.h"

namespace {

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastByte = 0xFE;
constexpr unsigned kFirstTrail = 0x40;

unsigned Code(unsigned char lead, unsigned char trail) { return lead << 8 | trail; }

// € in GB18030, and in code page 936.
constexpr std::string_view kEuro = "\xA2\xE3";
constexpr char kCodePageEuro = '\x80';

// Bytes of the character that starts at text[i]: one, two, or four.
std::size_t CharacterBytes(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead <= 0x80) return 1;
    const auto trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    return trail >= '0' && trail <= '9' ? 4 : 2;
}

// text with every whole character from replaced by to.
std::string ReplaceCharacter(std::string_view text, std::string_view from, std::string_view to) {
    if (text.find(from) == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t bytes = std::min(CharacterBytes(text, i), text.size() - i);
        const std::string_view character = text.substr(i, bytes);
        out += character == from ? to : character;
        i += bytes;
    }
    return out;
}

// Every two-byte GB18030 code whose character the GBK codec writes with the
// same two bytes. Built once from the two codecs, so it cannot disagree
// with them.
class GbkCodes {
  public:
    GbkCodes() {
        for (unsigned lead = kFirstLead; lead <= kLastByte; ++lead) {
            for (unsigned trail = kFirstTrail; trail <= kLastByte; ++trail) {
                if (trail == 0x7F) continue;
                const char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
                QString character;
                if (!DecodeGb18030(std::string_view(bytes, 2), character) ||
                    character.size() != 1) {
                    continue;
                }
                QByteArray back;
                if (EncodeGbk(character, back) && back == QByteArrayView(bytes, 2)) {
                    known_.set(Code(lead, trail));
                }
            }
        }
    }
    bool Has(unsigned code) const { return known_.test(code); }

  private:
    std::bitset<0x10000> known_;
};

const GbkCodes& Codes() {
    static const GbkCodes codes;
    return codes;
}

}  // namespace

std::string FirstCharacterOutsideGbk(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const auto trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (trail >= '0' && trail <= '9') return GbkToUtf8(text.substr(i, 4));
        if (!Codes().Has(Code(lead, trail)) && text.substr(i, 2) != kEuro) {
            return GbkToUtf8(text.substr(i, 2));
        }
        i += 2;
    }
    return {};
}

std::string ToGbkFile(std::string_view gb18030) {
    return ReplaceCharacter(gb18030, kEuro, std::string_view(&kCodePageEuro, 1));
}

std::string FromGbkFile(std::string_view gbk) {
    return ReplaceCharacter(gbk, std::string_view(&kCodePageEuro, 1), kEuro);
}
