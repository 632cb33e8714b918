#include "exchange/cell_rules.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "common/text_encoding.h"
#include "common/text_limit.h"

namespace {

constexpr std::string_view kMoneyColumns[] = {"售价", "进价", "佣金", "利润"};

// What Excel keeps of a number: 15 significant digits.
constexpr int kSpreadsheetDigits = 15;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from pos on; returns how many.
std::size_t SkipDigits(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    return pos - start;
}

// [sign] digits [. digits] with at least one digit, from pos on.
bool SkipDecimal(std::string_view text, std::size_t& pos) {
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    std::size_t digits = SkipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        digits += SkipDigits(text, pos);
    }
    return digits > 0;
}

bool SkipExponent(std::string_view text, std::size_t& pos) {
    if (pos >= text.size() || (text[pos] != 'e' && text[pos] != 'E')) return false;
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    return SkipDigits(text, pos) > 0;
}

bool IsScientific(std::string_view text) {
    std::size_t pos = 0;
    return SkipDecimal(text, pos) && SkipExponent(text, pos) && pos == text.size();
}

// Significant digits of a number as a file writes it ("3.85E+18", "0012.50").
int SignificantDigits(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c == 'e' || c == 'E') break;
        if (IsDigit(c)) digits += c;
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    const std::size_t point = text.find('.');
    std::size_t last = digits.size();
    // Zeros after the last other digit count only before a decimal point.
    if (point != std::string_view::npos) last = digits.find_last_not_of('0') + 1;
    return static_cast<int>(last - first);
}

// Full-width digits, signs, point and comma as their ASCII forms; currency
// signs, "元" and blanks left out.
std::string MoneyCharacters(std::string_view utf8) {
    static const struct {
        std::string_view from;
        std::string_view to;
    } kReplacements[] = {
        {"．", "."}, {"，", ","}, {"－", "-"}, {"＋", "+"}, {"¥", ""}, {"￥", ""},
        {"＄", ""},  {"$", ""},   {"元", ""},  {"　", ""},  {" ", ""},
    };
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        // Full-width digits are U+FF10 to U+FF19: EF BC 90 to EF BC 99.
        if (utf8.compare(i, 2, "\xEF\xBC") == 0 && i + 2 < utf8.size() &&
            static_cast<unsigned char>(utf8[i + 2]) >= 0x90 &&
            static_cast<unsigned char>(utf8[i + 2]) <= 0x99) {
            out += static_cast<char>('0' + (static_cast<unsigned char>(utf8[i + 2]) - 0x90));
            i += 3;
            continue;
        }
        bool replaced = false;
        for (const auto& r : kReplacements) {
            if (utf8.substr(i, r.from.size()) != r.from) continue;
            out += r.to;
            i += r.from.size();
            replaced = true;
            break;
        }
        if (!replaced) out += utf8[i++];
    }
    return out;
}

// Takes thousands separators out of "1,299.00" (groups of three digits
// after the first); empty when the commas are not thousands separators.
std::string WithoutThousands(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) out += text[pos++];
    const std::size_t start = pos;
    const std::size_t lead = SkipDigits(text, pos);
    if (lead == 0 || lead > 3) return {};
    out.append(text.substr(start, lead));
    while (pos < text.size() && text[pos] == ',') {
        ++pos;
        const std::size_t group = pos;
        if (SkipDigits(text, pos) != 3) return {};
        out.append(text.substr(group, 3));
    }
    out.append(text.substr(pos));
    return out;
}

std::string NormalisedMoney(std::string_view utf8) {
    std::string text = MoneyCharacters(utf8);
    if (text.find(',') != std::string::npos) text = WithoutThousands(text);
    return IsNumberText(text) ? text : std::string();
}

CellOutcome Refused(std::string problem) {
    CellOutcome outcome;
    outcome.problem = std::move(problem);
    return outcome;
}

CellOutcome Accepted(std::string text, CellOutcome::Note note = CellOutcome::Note::None) {
    CellOutcome outcome;
    outcome.ok = true;
    outcome.text = std::move(text);
    outcome.note = note;
    return outcome;
}

constexpr const char* kUnsavedFormula =
    "是没有保存结果的公式：请在表格程序中打开并保存该文件后再导入";

CellOutcome TextColumnCell(const SheetCell& cell) {
    constexpr const char* kSaveAsText = "：请把该列设为文本后重新保存";
    switch (cell.kind) {
        case CellKind::Text:
            if (IsScientific(cell.text)) {
                return Refused("“" + cell.text + "”是科学计数法的数字，表格软件已丢掉了后面的数字" +
                               kSaveAsText);
            }
            return Accepted(cell.text);
        case CellKind::Number:
            if (SignificantDigits(cell.text) > kSpreadsheetDigits ||
                std::fabs(cell.number) >= 1e15) {
                return Refused("数字 " + cell.text + " 超过 15 位，表格软件只保留 15 位有效数字" +
                               kSaveAsText);
            }
            return Accepted(NumberText(cell.number, -1), CellOutcome::Note::NumberAsText);
        case CellKind::Boolean:
        case CellKind::Date:
            return Accepted(cell.text);
        case CellKind::Error:
            return Refused("是错误值 " + cell.text + "：请改正后重新保存");
        case CellKind::UnsavedFormula:
            return Refused(kUnsavedFormula);
        case CellKind::Empty:
            break;
    }
    return Accepted({});
}

CellOutcome MoneyColumnCell(const SheetCell& cell) {
    switch (cell.kind) {
        case CellKind::Number:
            return Accepted(NumberText(cell.number, cell.decimals));
        case CellKind::Text: {
            if (IsNumberText(cell.text)) return Accepted(cell.text);
            std::string plain = NormalisedMoney(cell.text);
            if (!plain.empty()) return Accepted(std::move(plain), CellOutcome::Note::Normalised);
            return Refused("“" + cell.text + "”不是金额：请改为数字，如 1299.00");
        }
        case CellKind::Boolean:
        case CellKind::Date:
        case CellKind::Error:
            return Refused("“" + cell.text + "”不是金额：请改为数字，如 1299.00");
        case CellKind::UnsavedFormula:
            return Refused(kUnsavedFormula);
        case CellKind::Empty:
            break;
    }
    return Accepted({});
}

// The limit holds for the GBK form; no character takes more than twice its
// UTF-8 bytes there, so most texts need no conversion to be measured.
bool TooLong(std::string_view utf8) {
    if (utf8.size() <= kFieldTextLimit / 2) return false;
    return Gbk(utf8).size() > kFieldTextLimit;
}

}  // namespace

ColumnRule RuleOfColumn(std::string_view header) {
    for (std::string_view money : kMoneyColumns) {
        if (header == money) return ColumnRule::Money;
    }
    return ColumnRule::Text;
}

bool IsNumberText(std::string_view text) {
    std::size_t pos = 0;
    if (!SkipDecimal(text, pos)) return false;
    if (pos < text.size()) SkipExponent(text, pos);
    return pos == text.size();
}

std::string NumberText(double value, int decimals) {
    // to_chars gives what printf's %f and %g give, without the locale.
    char text[400];
    if (decimals >= 0) {
        const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                       decimals > 30 ? 30 : decimals);
        return std::string(text, end.ptr);
    }
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    const std::string_view general(text, static_cast<std::size_t>(end.ptr - text));
    if (general.find('e') == std::string_view::npos) return std::string(general);
    // Beyond the general format's reach: the 15 digits in fixed notation.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int places = exponent >= kSpreadsheetDigits ? 0 : kSpreadsheetDigits - 1 - exponent;
    std::snprintf(text, sizeof text, "%.*f", places > 340 ? 340 : places, value);
    std::string fixed = text;
    if (fixed.find('.') != std::string::npos) {
        fixed.erase(fixed.find_last_not_of('0') + 1);
        if (fixed.back() == '.') fixed.pop_back();
    }
    return fixed;
}

CellOutcome ConvertCell(const SheetCell& cell, ColumnRule rule) {
    if (TooLong(cell.text)) {
        return Refused("文字长达 " + std::to_string(cell.text.size()) + " 字节，超过了 " +
                       std::to_string(kFieldTextLimit) + " 字节的上限：请缩短后重新保存");
    }
    return rule == ColumnRule::Money ? MoneyColumnCell(cell) : TextColumnCell(cell);
}
