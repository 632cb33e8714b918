// The XML scanner of workbook parts on any input, fed in pieces of any
// sizes: nothing faults, every input ends (in the document's end or an
// error), and the pieces change nothing: the same elements, attributes and
// texts come out as when the whole input is given at once.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/xml_scanner.h"
#include "fuzz_support.h"

namespace {

// What the scanner gives, texts joined, as one string to compare.
std::string Tokens(const std::string& document, const std::vector<std::size_t>& pieces) {
    std::size_t fed = 0;
    std::size_t next = 0;
    XmlScanner xml([&](std::string& chunk) {
        const std::size_t piece = pieces.empty() ? document.size() : pieces[next++ % pieces.size()];
        chunk.append(document, fed, piece);
        fed += std::min(piece, document.size() - fed);
        return true;
    });
    std::string tokens;
    bool inText = false;
    for (std::size_t steps = 0;; ++steps) {
        FUZZ_CHECK(steps <= 4 * document.size() + 8, "no end after %zu tokens", steps);
        const XmlScanner::Token token = xml.Next();
        if (token != XmlScanner::Token::Text) inText = false;
        switch (token) {
            case XmlScanner::Token::Start:
                tokens += "\x01" + std::string(xml.Name()) + "\x02" + xml.Attribute("r");
                break;
            case XmlScanner::Token::End:
                tokens += "\x03" + std::string(xml.Name());
                break;
            case XmlScanner::Token::Text:
                if (!inText) tokens += "\x04";
                inText = true;
                tokens += xml.Text();
                break;
            case XmlScanner::Token::EndOfDocument:
                return tokens + "\x05";
            case XmlScanner::Token::Error:
                return tokens + "\x06";
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<std::size_t> pieces(input.ConsumeIntegralInRange<std::size_t>(1, 8));
    for (std::size_t& piece : pieces) piece = input.ConsumeIntegralInRange<std::size_t>(1, 16);
    const std::string document = input.ConsumeRemainingBytesAsString();
    const std::string whole = Tokens(document, {});
    const std::string pieced = Tokens(document, pieces);
    FUZZ_CHECK(whole == pieced, "%s whole: %s, in pieces: %s", Hex(document).c_str(),
               Hex(whole).c_str(), Hex(pieced).c_str());
    return 0;
}
