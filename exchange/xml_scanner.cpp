#include "exchange/xml_scanner.h"

#include <algorithm>

namespace {

// No tag of a workbook comes near this; a longer one is refused before the
// buffer grows further.
constexpr std::size_t kMaxTagBytes = 1 << 20;
// "&#x10FFFF;" is the longest reference a part can hold.
constexpr std::size_t kMaxReferenceBytes = 12;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view LocalName(std::string_view name) {
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character of a reference without its & and ;. False when it is none.
bool AppendReference(std::string_view reference, std::string& out) {
    static const struct {
        std::string_view name;
        char character;
    } kNamed[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& named : kNamed) {
        if (reference == named.name) {
            out += named.character;
            return true;
        }
    }
    if (reference.size() < 2 || reference[0] != '#') return false;
    const bool hex = reference[1] == 'x';
    const std::string_view digits = reference.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    char32_t code = 0;
    for (char c : digits) {
        const int digit = hex ? HexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0) return false;
        code = code * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (code > 0x10FFFF) return false;
    }
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return false;
    AppendUtf8(code, out);
    return true;
}

// Where the plain characters from pos end: at '<', '&', CR or the end.
std::size_t TextEnd(const std::string& text, std::size_t pos) {
    const char* data = text.data();
    const std::size_t size = text.size();
    while (pos < size && data[pos] != '<' && data[pos] != '&' && data[pos] != '\r') ++pos;
    return pos;
}

// Line ends as XML gives them to an application: CR LF and a lone CR as LF.
void AppendNormalised(std::string_view piece, std::string& out) {
    for (std::size_t i = 0; i < piece.size();) {
        const std::size_t cr = piece.find('\r', i);
        if (cr == std::string_view::npos) {
            out.append(piece.substr(i));
            return;
        }
        out.append(piece.substr(i, cr - i));
        out += '\n';
        i = cr + 1;
        if (i < piece.size() && piece[i] == '\n') ++i;
    }
}

// "_xHHHH_" at pos: the UTF-16 unit, or -1.
long EscapeAt(std::string_view text, std::size_t pos) {
    if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_') {
        return -1;
    }
    long unit = 0;
    for (std::size_t i = pos + 2; i < pos + 6; ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0) return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

}  // namespace

XmlScanner::XmlScanner(Feed feed) : feed_(std::move(feed)) {}

bool XmlScanner::More() {
    if (ended_) return false;
    buffer_.erase(0, pos_);
    pos_ = 0;
    const std::size_t before = buffer_.size();
    if (!feed_(buffer_)) {
        ended_ = true;
        error_ = "无法读完";
        return false;
    }
    if (buffer_.size() == before) ended_ = true;
    return !ended_;
}

bool XmlScanner::Ensure(std::size_t bytes) {
    while (buffer_.size() - pos_ < bytes) {
        if (!More()) return false;
    }
    return true;
}

XmlScanner::Token XmlScanner::Fail(std::string text) {
    if (error_.empty()) error_ = std::move(text);
    return Token::Error;
}

XmlScanner::Token XmlScanner::Next() {
    text_.clear();
    if (!error_.empty()) return Token::Error;
    if (pendingEnd_) {
        pendingEnd_ = false;
        if (--depth_ == 0) rootClosed_ = true;
        return Token::End;
    }
    if (inCdata_) return ReadCdata();
    for (;;) {
        if (pos_ >= buffer_.size() && !More()) {
            if (!error_.empty()) return Token::Error;
            if (!started_) return Fail("是空的");
            if (!rootClosed_) return Fail("不完整，在文件中途就结束了");
            return Token::EndOfDocument;
        }
        if (!started_) {
            started_ = true;
            Ensure(3);
            const std::string_view head(buffer_.data() + pos_,
                                        std::min<std::size_t>(3, buffer_.size() - pos_));
            if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
                return Fail("不是 UTF-8 编码的 XML");
            }
            if (head == "\xEF\xBB\xBF") pos_ += 3;
            continue;
        }
        const char c = buffer_[pos_];
        if (c == '<') {
            const Token token = ReadMarkup();
            if (token == Token::Text && text_.empty() && error_.empty()) continue;  // skipped
            return token;
        }
        if (depth_ > 0) return ReadText();
        if (!IsSpace(c)) return Fail("不是 XML");
        ++pos_;
    }
}

// At a '<'. Comments and instructions are skipped and reported as an empty
// text, which Next passes over.
XmlScanner::Token XmlScanner::ReadMarkup() {
    if (!Ensure(2)) return Fail("不完整，在文件中途就结束了");
    const char second = buffer_[pos_ + 1];
    if (second == '?') {
        pos_ += 2;
        return SkipUntil("?>") ? Token::Text : Fail("不完整，在文件中途就结束了");
    }
    if (second == '!') {
        Ensure(9);
        const std::string_view head(buffer_.data() + pos_,
                                    std::min<std::size_t>(9, buffer_.size() - pos_));
        if (head.starts_with("<!--")) {
            pos_ += 4;
            return SkipUntil("-->") ? Token::Text : Fail("不完整，在文件中途就结束了");
        }
        if (head == "<![CDATA[" && depth_ > 0) {
            pos_ += 9;
            inCdata_ = true;
            return ReadCdata();
        }
        if (head.starts_with("<!DOCTYPE"))
            return Fail("含有文档类型声明（DOCTYPE），工作簿中不会有");
        return Fail("不是 XML");
    }
    return ReadTag();
}

bool XmlScanner::SkipUntil(std::string_view end) {
    for (;;) {
        const std::size_t found = buffer_.find(end, pos_);
        if (found != std::string::npos) {
            pos_ = found + end.size();
            return true;
        }
        // Keep what could be the start of the end mark.
        if (buffer_.size() - pos_ >= end.size()) pos_ = buffer_.size() - (end.size() - 1);
        if (!More()) return false;
    }
}

XmlScanner::Token XmlScanner::ReadTag() {
    // Finds the closing '>' outside quoted values, each byte looked at once
    // however often the buffer is refilled.
    std::size_t scanned = 1;
    char quote = 0;
    for (;;) {
        const char* data = buffer_.data() + pos_;
        const std::size_t size = buffer_.size() - pos_;
        while (scanned < size) {
            const char c = data[scanned];
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            } else if (c == '<') {
                return Fail("不是 XML：标签中出现了“<”");
            }
            ++scanned;
        }
        if (scanned < size) break;
        if (scanned > kMaxTagBytes) return Fail("有一个长得不像工作簿内容的标签");
        if (!More()) return Fail("不完整，在文件中途就结束了");
    }
    std::string_view tag(buffer_.data() + pos_ + 1, scanned - 1);
    pos_ += scanned + 1;
    if (tag.starts_with('/')) {
        tag.remove_prefix(1);
        while (!tag.empty() && IsSpace(tag.back())) tag.remove_suffix(1);
        name_ = LocalName(tag);
        if (depth_ == 0) return Fail("不是 XML：多了一个结束标签");
        if (--depth_ == 0) rootClosed_ = true;
        return Token::End;
    }
    if (rootClosed_) return Fail("不是 XML：根元素之后还有元素");
    const bool empty = tag.ends_with('/');
    if (empty) tag.remove_suffix(1);
    std::size_t i = 0;
    while (i < tag.size() && !IsSpace(tag[i])) ++i;
    if (i == 0) return Fail("不是 XML：标签没有名字");
    name_ = LocalName(tag.substr(0, i));
    attributes_.clear();
    for (;;) {
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size()) break;
        const std::size_t nameStart = i;
        while (i < tag.size() && tag[i] != '=' && !IsSpace(tag[i])) {
            if (tag[i] == '"' || tag[i] == '\'') return Fail("不是 XML：属性名中有引号");
            ++i;
        }
        const std::string_view name = tag.substr(nameStart, i - nameStart);
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != '=') return Fail("不是 XML：属性没有值");
        ++i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) {
            return Fail("不是 XML：属性值没有引号");
        }
        const std::size_t close = tag.find(tag[i], i + 1);
        if (close == std::string_view::npos) return Fail("不是 XML：属性值的引号没有闭合");
        attributes_.emplace_back(LocalName(name), tag.substr(i + 1, close - i - 1));
        i = close + 1;
    }
    ++depth_;
    pendingEnd_ = empty;
    return Token::Start;
}

std::string XmlScanner::Attribute(std::string_view localName) const {
    for (const auto& [name, raw] : attributes_) {
        if (name != localName) continue;
        if (raw.find('&') == std::string_view::npos) return std::string(raw);
        std::string value;
        for (std::size_t i = 0; i < raw.size();) {
            const std::size_t amp = raw.find('&', i);
            const std::size_t semicolon = amp == std::string_view::npos ? amp : raw.find(';', amp);
            if (semicolon == std::string_view::npos) {
                value.append(raw.substr(i));
                break;
            }
            value.append(raw.substr(i, amp - i));
            if (!AppendReference(raw.substr(amp + 1, semicolon - amp - 1), value)) {
                value.append(raw.substr(amp, semicolon - amp + 1));
            }
            i = semicolon + 1;
        }
        return value;
    }
    return {};
}

// Text up to the next '<', or to the end of what is buffered.
XmlScanner::Token XmlScanner::ReadText() {
    for (;;) {
        const std::size_t end = TextEnd(buffer_, pos_);
        const std::size_t stop = end == buffer_.size() ? std::string::npos : end;
        text_.append(buffer_, pos_, end - pos_);
        pos_ = end;
        if (stop == std::string::npos || buffer_[stop] == '<') {
            if (!text_.empty()) return Token::Text;
            if (buffer_.size() > pos_) return Next();
            if (!More()) return Fail("不完整，在文件中途就结束了");
            continue;
        }
        if (buffer_[stop] == '\r') {
            if (stop + 1 >= buffer_.size() && !ended_) {
                if (!text_.empty()) return Token::Text;
                if (!More()) {
                    if (!error_.empty()) return Token::Error;
                }
                continue;
            }
            text_ += '\n';
            pos_ = stop + 1;
            if (pos_ < buffer_.size() && buffer_[pos_] == '\n') ++pos_;
            continue;
        }
        // An entity: its whole reference must be in the buffer.
        std::size_t semicolon = buffer_.find(';', pos_);
        if ((semicolon == std::string::npos || semicolon - pos_ > kMaxReferenceBytes) &&
            buffer_.size() - pos_ <= kMaxReferenceBytes && !ended_) {
            if (!text_.empty()) return Token::Text;
            More();
            continue;
        }
        if (semicolon == std::string::npos || semicolon - pos_ > kMaxReferenceBytes ||
            !AppendReference(std::string_view(buffer_).substr(pos_ + 1, semicolon - pos_ - 1),
                             text_)) {
            // The text before the fault is given first, as when it came in
            // a piece of its own; the error follows.
            if (!text_.empty()) {
                error_ = "不是 XML：“&”后面不是字符引用";
                return Token::Text;
            }
            return Fail("不是 XML：“&”后面不是字符引用");
        }
        pos_ = semicolon + 1;
    }
}

XmlScanner::Token XmlScanner::ReadCdata() {
    for (;;) {
        const std::size_t found = buffer_.find("]]>", pos_);
        if (found != std::string::npos) {
            AppendNormalised(std::string_view(buffer_).substr(pos_, found - pos_), text_);
            pos_ = found + 3;
            inCdata_ = false;
            return Token::Text;
        }
        // Keep what could start "]]>" and a CR whose LF may follow.
        std::size_t keep = buffer_.size() >= pos_ + 3 ? buffer_.size() - 3 : pos_;
        if (keep > pos_ && buffer_[keep - 1] == '\r') --keep;
        if (keep > pos_) {
            AppendNormalised(std::string_view(buffer_).substr(pos_, keep - pos_), text_);
            pos_ = keep;
            return Token::Text;
        }
        if (!More()) return Fail("不完整，在文件中途就结束了");
    }
}

std::string DecodeSheetEscapes(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const long unit = EscapeAt(text, i);
        if (unit < 0) {
            out += text[i++];
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const long low = EscapeAt(text, i + 7);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
                i += 14;
                continue;
            }
        }
        if ((unit >= 0xD800 && unit <= 0xDFFF) || unit == 0) {
            out += text[i++];  // no character of its own: left as written
            continue;
        }
        AppendUtf8(static_cast<char32_t>(unit), out);
        i += 7;
    }
    return out;
}

bool IsSheetEscapeAt(std::string_view text, std::size_t pos) { return EscapeAt(text, pos) >= 0; }
