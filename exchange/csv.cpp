#include "exchange/csv.h"

#include <utility>

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

bool IsFormulaStart(char c) { return c == '=' || c == '+' || c == '-' || c == '@'; }

// An apostrophe that a reader takes away: one before a formula character or
// before another apostrophe.
bool StartsWithGuard(std::string_view cell) {
    return cell.size() >= 2 && cell[0] == '\'' && (IsFormulaStart(cell[1]) || cell[1] == '\'');
}

// A text a spreadsheet would run as a formula (a plain number such as -30
// it reads as a number), or one whose own first apostrophe a reader would
// take for the guard.
bool NeedsGuard(std::string_view cell) {
    if (cell.empty()) return false;
    if (IsFormulaStart(cell[0])) return !IsPlainNumber(cell);
    return StartsWithGuard(cell);
}

bool NeedsQuotes(std::string_view cell) {
    return cell.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

CsvReader::CsvReader(std::string_view text, std::size_t maxCells)
    : text_(text), maxCells_(maxCells) {}

bool CsvReader::Next(CsvRecord& record) {
    record = CsvRecord();
    if (AtEnd() || unterminated_) return false;
    record.line = line_;
    ReadCells(record);
    return true;
}

// Consumes a line end (CR LF, LF or CR) if one is here.
bool CsvReader::TakeLineEnd() {
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
void CsvReader::SkipLine() {
    while (!AtEnd() && !TakeLineEnd()) ++pos_;
}

void CsvReader::ReadCells(CsvRecord& record) {
    std::size_t count = 0;
    std::string cell;
    for (;;) {
        cell.clear();
        if (!AtEnd() && Peek() == '"') {
            if (!ReadQuoted(cell)) {
                unterminated_ = true;
                record.error = "引号未闭合（从第 " + std::to_string(record.line) +
                               " 行到文件末尾）\nunterminated quote (from this line to the "
                               "end of the file)";
                return;
            }
            if (!AtEnd() && Peek() != ',' && Peek() != '\r' && Peek() != '\n') {
                record.error = "右引号后面还有字符\ncharacters after a closing quote";
                SkipLine();
                return;
            }
        } else {
            const std::size_t end = text_.find_first_of(",\r\n", pos_);
            const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
            cell.assign(text_.substr(pos_, stop - pos_));
            pos_ = stop;
        }
        if (++count <= maxCells_) record.cells.push_back(UnguardFormula(cell));
        if (!AtEnd() && Peek() == ',') {
            ++pos_;
            continue;
        }
        TakeLineEnd();
        if (count > maxCells_) {
            record.error = "有 " + std::to_string(count) + " 个单元格，超过了 " +
                           std::to_string(maxCells_) + " 个\n" + std::to_string(count) +
                           " cells, more than " + std::to_string(maxCells_);
        }
        return;
    }
}

// From the opening quote to the closing one; false at the end of the text.
bool CsvReader::ReadQuoted(std::string& cell) {
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

std::string GuardFormula(std::string_view cell) {
    return NeedsGuard(cell) ? "'" + std::string(cell) : std::string(cell);
}

std::string UnguardFormula(std::string_view cell) {
    if (StartsWithGuard(cell)) return std::string(cell.substr(1));
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

std::vector<CsvRecord> ReadCsvRecords(std::string_view text) {
    std::vector<CsvRecord> records;
    CsvReader reader(text);
    CsvRecord record;
    while (reader.Next(record)) records.push_back(std::move(record));
    return records;
}
