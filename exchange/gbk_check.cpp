#include "exchange/gbk_check.h"

#include <QString>
#include <bitset>

#include "common/gb18030.h"
#include "common/text_encoding.h"

namespace {

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastByte = 0xFE;
constexpr unsigned kFirstTrail = 0x40;

unsigned Code(unsigned char lead, unsigned char trail) { return lead << 8 | trail; }

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
        if (!Codes().Has(Code(lead, trail))) return GbkToUtf8(text.substr(i, 2));
        i += 2;
    }
    return {};
}
