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
