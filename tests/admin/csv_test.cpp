// CSV cells as Excel and WPS get them: quoting, the formula guard and its
// removal; and the encodings a sheet may come in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/csv.h"
#include "exchange/sheet_encoding.h"

namespace {

std::string Written(const std::string& cell) {
    std::string out;
    AppendCsvRecord(out, {cell});
    return out.substr(0, out.size() - 2);  // without CR LF
}

TEST(CsvCells, AreGuardedAndQuotedAndReadBackUnchanged) {
    struct Case {
        std::string cell, written;
    };
    const Case cases[] = {
        {"plain 文本", "plain 文本"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1+1", "'+1+1"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "\tx"},
        {"-", "'-"},
        // Plain numbers are numbers, never formulas.
        {"-30", "-30"},
        {"+5.5", "+5.5"},
        {"-0.05", "-0.05"},
        {"19.90", "19.90"},
        // A leading apostrophe before a trigger gets one more, so reading
        // gives the text back exactly.
        {"'=x", "''=x"},
        {"'-30", "''-30"},
        {"'abc", "'abc"},
        {"''x", "'''x"},
        {"'@x", "''@x"},
        {"'", "'"},
        {"a=b", "a=b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Written(c.cell), c.written) << c.cell;
        const auto records = ReadCsvRecords(Written(c.cell) + "\r\n");
        ASSERT_EQ(records.size(), 1u) << c.cell;
        EXPECT_EQ(records[0].cells, std::vector<std::string>{c.cell}) << c.cell;
    }
}

// A file written elsewhere: one apostrophe goes, and only before one of the
// characters the writer guards.
TEST(CsvCells, ReadingTakesAnApostropheOnlyBeforeAGuardedCharacter) {
    struct Case {
        std::string written, cell;
    };
    const Case cases[] = {
        {"'=notformula", "=notformula"},
        {"''=x", "'=x"},
        {"''x", "'x"},
        {"'-5", "-5"},
        {"'+1", "+1"},
        {"'@a", "@a"},
        {"'\tx", "'\tx"},
        {"'x", "'x"},
        {"'", "'"},
        {"'5", "'5"},
    };
    for (const Case& c : cases) {
        const auto records = ReadCsvRecords(c.written + "\r\n");
        ASSERT_EQ(records.size(), 1u) << c.written;
        EXPECT_EQ(records[0].cells, std::vector<std::string>{c.cell}) << c.written;
    }
}

TEST(SheetEncoding, TellsBomUtf8AndGbkApartAndRefusesTheRest) {
    const std::string utf8 = "卖家账号\n";
    const std::string gbk = "\xC2\xF4\xBC\xD2\xD5\xCB\xBA\xC5\n";  // the same text in GBK
    struct Case {
        std::string bytes;
        bool ok;
        SheetEncoding encoding;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF" + utf8, true, SheetEncoding::Utf8WithBom},
        {utf8, true, SheetEncoding::Utf8},
        {gbk, true, SheetEncoding::Gbk},
        {"\xFF\xFE"
         "a\0",
         false, SheetEncoding::Utf8},
        {"\xEF\xBB\xBF" + gbk, false, SheetEncoding::Utf8WithBom},
        {"\x81\x20", false, SheetEncoding::Gbk},
    };
    for (const Case& c : cases) {
        const DecodedSheet sheet = DecodeSheet(c.bytes);
        EXPECT_EQ(sheet.ok(), c.ok) << c.bytes;
        if (c.ok) {
            EXPECT_EQ(sheet.utf8, utf8);
            EXPECT_EQ(sheet.encoding, c.encoding);
        } else {
            EXPECT_EQ(sheet.status.kind, StatusKind::Refused);
            EXPECT_FALSE(sheet.status.chinese.empty());
            EXPECT_FALSE(sheet.status.english.empty());
        }
    }
}

}  // namespace
