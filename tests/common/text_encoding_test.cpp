#include <gtest/gtest.h>

#include <QString>

#include "common/text_encoding.h"

TEST(TextEncoding, GbkBytesOfChineseText) {
    EXPECT_EQ(Gbk("信息："), std::string("\xD0\xC5\xCF\xA2\xA3\xBA"));
    EXPECT_EQ(GbkToUtf8("\xD0\xC5\xCF\xA2\xA3\xBA"), "信息：");
}

TEST(TextEncoding, CharactersOutsideGbkSurviveTheRoundTrip) {
    const QString text = QString::fromUtf8("𠀀 😀 €");
    EXPECT_EQ(GbkToQString(QStringToGbk(text)), text);
}

namespace {

// What the codec makes of a UTF-8 text: the reference for the table path.
std::string ThroughCodec(std::string_view utf8) {
    return QStringToGbk(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace

TEST(TextEncoding, TablePathAgreesWithTheCodecOnEveryBasicPlaneCharacter) {
    int mismatches = 0;
    for (char32_t c = 1; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const QString one = QString(QChar(static_cast<char16_t>(c)));
        const QByteArray utf8 = one.toUtf8();
        // Between ASCII neighbours, as cells hold them.
        const std::string text = "a" + utf8.toStdString() + "z";
        std::string gbk;
        AppendGbk(text, gbk);
        if (gbk != QStringToGbk("a" + one + "z") && ++mismatches <= 5) {
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(TextEncoding, TablePathLeavesUnusualTextsToTheCodec) {
    const std::string cases[] = {
        "",
        "plain ascii 123",
        "订单列表 ID 利润：12.5",
        "𠀀 beyond the basic plane 😀",     // four bytes in both encodings
        "\xC2\x80 \xC2\xB5 \xEF\xBF\xBF",  // written as four GB18030 bytes
        "\x80 lone continuation",
        "cut short \xE4\xBD",
        "\xE4\xBD cut inside",
        "overlong \xC0\x80 \xE0\x80\x80",
        "surrogate \xED\xA0\x80",
        "\xF8\x88\x80\x80\x80 five bytes",
        "信\xFF息",
    };
    for (const std::string& text : cases) {
        std::string out = "kept ";
        AppendGbk(text, out);
        EXPECT_EQ(out, "kept " + ThroughCodec(text)) << text;
        EXPECT_EQ(Gbk(text), ThroughCodec(text)) << text;
    }
}

#include "common/gb18030.h"

// The codecs are kept between calls: a call that met an invalid text must
// not make the next ones report errors, nor leave half a character for them.
TEST(Gb18030Codec, EachConversionStandsAloneAfterAnError) {
    struct Step {
        bool decode;        // decode bytes as GB18030, else encode text as GBK
        std::string input;  // bytes to decode, or UTF-8 text to encode
        bool ok;
        std::string output;  // UTF-8 text decoded, or GBK bytes encoded
    };
    const Step steps[] = {
        {true, "\xB5\xEA", true, "店"},  {true, "\x81\x20", false, "\xEF\xBF\xBD "},
        {true, "\xB5\xEA", true, "店"},  {true, "\xB5", false, ""},
        {true, "\xEA", false, ""},       {true, "\xB5\xEA", true, "店"},
        {false, "店", true, "\xB5\xEA"}, {false, "𠀀", false, "?"},
        {false, "店", true, "\xB5\xEA"},
    };
    for (const Step& step : steps) {
        if (step.decode) {
            QString text;
            EXPECT_EQ(DecodeGb18030(step.input, text), step.ok) << step.input;
            EXPECT_EQ(text.toStdString(), step.output) << step.input;
        } else {
            QByteArray bytes;
            EXPECT_EQ(EncodeGbk(QString::fromStdString(step.input), bytes), step.ok) << step.input;
            EXPECT_EQ(bytes.toStdString(), step.output) << step.input;
        }
    }
}
