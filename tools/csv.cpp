#include "tools/csv.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign, digits with at most one decimal point, at least one digit.
bool IsPlainNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            digit = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

bool NeedsGuard(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of('\'');
    if (first == std::string_view::npos) return false;
    const char c = cell[first];
    const bool trigger = c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
    return trigger && !IsPlainNumber(cell);
}

bool NeedsQuotes(std::string_view cell) {
    return cell.find_first_of(",\"\r\n") != std::string_view::npos;
}

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::vector<CsvRecord> ReadAll() {
        std::vector<CsvRecord> records;
        while (pos_ < text_.size()) {
            records.push_back(ReadRecord());
            if (unterminated_) break;
        }
        return records;
    }

  private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return text_[pos_]; }

    // Consumes a line end (CR LF, LF or CR) if one is here.
    bool TakeLineEnd() {
        if (AtEnd()) return false;
        if (Peek() == '\r') {
            ++pos_;
            if (!AtEnd() && Peek() == '\n') ++pos_;
        } else if (Peek() == '\n') {
            ++pos_;
        } else {
            return false;
        }
        ++line_;
        return true;
    }

    // After a fault the rest of the physical line belongs to the bad record.
    void SkipLine() {
        while (!AtEnd() && !TakeLineEnd()) ++pos_;
    }

    CsvRecord ReadRecord() {
        CsvRecord record;
        record.line = line_;
        for (;;) {
            std::string cell;
            if (!AtEnd() && Peek() == '"') {
                if (!ReadQuoted(cell)) {
                    unterminated_ = true;
                    record.error = "引号未闭合（从第 " + std::to_string(record.line) +
                                   " 行到文件末尾）\nunterminated quote (from this line to the "
                                   "end of the file)";
                    return record;
                }
                if (!AtEnd() && Peek() != ',' && Peek() != '\r' && Peek() != '\n') {
                    record.error = "右引号后面还有字符\ncharacters after a closing quote";
                    SkipLine();
                    return record;
                }
            } else {
                while (!AtEnd() && Peek() != ',' && Peek() != '\r' && Peek() != '\n') {
                    cell += Peek();
                    ++pos_;
                }
            }
            record.cells.push_back(UnguardFormula(cell));
            if (!AtEnd() && Peek() == ',') {
                ++pos_;
                continue;
            }
            TakeLineEnd();
            return record;
        }
    }

    // From the opening quote to the closing one; false at the end of the text.
    bool ReadQuoted(std::string& cell) {
        ++pos_;
        while (!AtEnd()) {
            const char c = Peek();
            if (c == '"') {
                ++pos_;
                if (AtEnd() || Peek() != '"') return true;
                cell += '"';
                ++pos_;
            } else if (c == '\r' || c == '\n') {
                const std::size_t start = pos_;
                TakeLineEnd();
                cell.append(text_.substr(start, pos_ - start));
            } else {
                cell += c;
                ++pos_;
            }
        }
        return false;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool unterminated_ = false;
};

}  // namespace

std::string GuardFormula(std::string_view cell) {
    return NeedsGuard(cell) ? "'" + std::string(cell) : std::string(cell);
}

std::string UnguardFormula(std::string_view cell) {
    if (cell.starts_with('\'') && NeedsGuard(cell.substr(1))) return std::string(cell.substr(1));
    return std::string(cell);
}

void AppendCsvRecord(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += ',';
        const std::string cell = GuardFormula(cells[i]);
        if (!NeedsQuotes(cell)) {
            out += cell;
            continue;
        }
        out += '"';
        for (char c : cell) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
}

std::vector<CsvRecord> ReadCsvRecords(std::string_view text) { return Reader(text).ReadAll(); }
