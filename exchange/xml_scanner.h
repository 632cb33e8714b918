#pragma once
// A pull scanner for the XML parts of a workbook, fed piece by piece from a
// stream, so that a part of any size is read in one pass over its bytes and
// in the memory of one tag:
//  - start and end tags come with their local name (any prefix dropped); an
//    empty-element tag gives a start and then an end;
//  - text and CDATA come in pieces, entities and character references
//    decoded and line ends normalised to LF as every XML reader does, so a
//    caller that keeps only what it needs never holds a long text twice;
//  - comments and processing instructions are skipped as they stream by;
//  - a document type declaration is refused (no workbook has one, and its
//    entities are the classic way to make a small part expand).
// The parts of a workbook are UTF-8; a part in another encoding, or that is
// not XML at all, is refused with Error() saying so.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class XmlScanner {
  public:
    // Appends the next piece of the part to chunk; leaves it unchanged at
    // the end; false when the part cannot be read on (error says why).
    using Feed = std::function<bool(std::string& chunk)>;

    enum class Token { Start, End, Text, EndOfDocument, Error };

    explicit XmlScanner(Feed feed);

    Token Next();
    // Start and End: the local name. Valid until the next call of Next.
    std::string_view Name() const { return name_; }
    // Start: the decoded value of the attribute with this local name, or
    // empty when the tag has none.
    std::string Attribute(std::string_view localName) const;
    // Text: the decoded piece.
    std::string_view Text() const { return text_; }
    // Elements open around the current token (a start tag counts itself).
    int Depth() const { return depth_; }
    // Chinese; set when Next gave Error.
    const std::string& Error() const { return error_; }

  private:
    enum class Skip { None, Comment, Instruction, Cdata };

    bool More();
    bool Ensure(std::size_t bytes);
    Token Fail(std::string text);
    Token ReadMarkup();
    Token ReadTag();
    Token ReadText();
    Token ReadCdata();
    bool SkipUntil(std::string_view end);
    bool DecodeEntity(std::string& out);

    Feed feed_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool ended_ = false;  // the feed has nothing more
    bool started_ = false;
    bool inCdata_ = false;
    bool pendingEnd_ = false;  // an empty-element tag still owes its end
    int depth_ = 0;
    bool rootClosed_ = false;
    std::string_view name_;
    std::vector<std::pair<std::string_view, std::string_view>> attributes_;
    std::string text_;
    std::string error_;
};

// Decodes the escapes a workbook writes for characters XML cannot carry
// (_x000D_ for a carriage return, _x005F_ for a literal underscore that
// would otherwise start such an escape).
std::string DecodeSheetEscapes(std::string_view text);
// Whether text holds such an escape ("_x" four hex digits "_") at pos: a
// writer escapes the underscore of one that is meant literally.
bool IsSheetEscapeAt(std::string_view text, std::size_t pos);
