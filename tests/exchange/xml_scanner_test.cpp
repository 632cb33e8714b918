// The XML of a workbook's parts read in pieces of every size: whatever the
// pieces, the scanner must give the same elements and texts as a reader of
// the whole document, and refuse what is no XML.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/xml_scanner.h"

namespace {

// The document as "<name", ">", "text" lines, or "error" at the end when it
// is refused; fed in pieces of the given size.
std::vector<std::string> Scan(const std::string& document, std::size_t piece) {
    std::size_t fed = 0;
    XmlScanner xml([&](std::string& chunk) {
        chunk.append(document, fed, piece);
        fed += std::min(piece, document.size() - fed);
        return true;
    });
    std::vector<std::string> tokens;
    std::string text;
    for (;;) {
        const XmlScanner::Token token = xml.Next();
        if (token != XmlScanner::Token::Text && !text.empty()) {
            tokens.push_back(text);  // a text in pieces counts as one
            text.clear();
        }
        switch (token) {
            case XmlScanner::Token::Start:
                tokens.push_back("<" + std::string(xml.Name()) + " " + xml.Attribute("r"));
                break;
            case XmlScanner::Token::End:
                tokens.push_back(">");
                break;
            case XmlScanner::Token::Text:
                text += xml.Text();
                break;
            case XmlScanner::Token::EndOfDocument:
                return tokens;
            case XmlScanner::Token::Error:
                tokens.push_back("error");
                return tokens;
        }
    }
}

TEST(XmlScanner, GivesTheSameTokensWhateverThePiecesAreAndRefusesWhatIsNoXml) {
    struct Case {
        std::string document;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<x:c r='A&amp;1'><v>1&lt;2 "
         "&#x4E2D;&#25991;</v></x:c>",
         {"<c A&1", "<v ", "1<2 中文", ">", ">"}},
        {"<t>a\r\nb\rc\r</t>", {"<t ", "a\nb\nc\n", ">"}},
        {"<t><![CDATA[<&>\r\n]]]]><![CDATA[>]]></t>", {"<t ", "<&>\n]]>", ">"}},
        {"<!-- a -- - > --><row r=\"2\"/><!---->", {"<row 2", ">"}},
        {"<a b=\"x>y\" r=\"1\">t</a>", {"<a 1", "t", ">"}},
        {"<t>_x000D_</t>", {"<t ", "_x000D_", ">"}},
        {"", {"error"}},
        {"not xml", {"error"}},
        {"<a><b></a>", {"<a ", "<b ", ">", "error"}},
        {"<a>text", {"<a ", "text", "error"}},
        {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", {"error"}},
        {"<a>&unknown;</a>", {"<a ", "error"}},
        {"<a>text &bad</a>", {"<a ", "text ", "error"}},
        {"<a x\"y=\" z>", {"error"}},
        {"<a/><b/>", {"<a ", ">", "error"}},
        {"\xFF\xFE<\0a\0", {"error"}},
    };
    for (const Case& c : cases) {
        for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                                  std::size_t{1} << 20}) {
            EXPECT_EQ(Scan(c.document, piece), c.tokens) << c.document << " in pieces of " << piece;
        }
    }
}

TEST(SheetEscapes, DecodeToTheCharactersAndLeaveTheRestAsWritten) {
    struct Case {
        std::string written, text;
    };
    const Case cases[] = {
        {"a_x000D__x000A_b", "a\r\nb"},
        {"_x0007_", "\x07"},
        {"_x005F_x000D_", "_x000D_"},
        {"_xD83D__xDE00_", "😀"},
        {"_xD83D_", "_xD83D_"},
        {"_X000D_ _x00d_ _x000g_ _x000D", "_X000D_ _x00d_ _x000g_ _x000D"},
        {"_x4e2d_", "中"},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeSheetEscapes(c.written), c.text) << c.written;
}

}  // namespace
