#include "exchange/import_mapping.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "exchange/cell_rules.h"
#include "exchange/ship_lines.h"
#include "platform/files.h"
#include "platform/native_path.h"
#include "platform/whole_file.h"

namespace {

constexpr std::string_view kNameWord = "名称";
constexpr std::string_view kKeysWord = "识别";
constexpr std::string_view kCleanWord = "清理";
constexpr std::string_view kSellerAccount = "卖家账号";
constexpr std::string_view kOrderDate = "订单日期";
// A mapping file is a few lines; anything larger is no mapping.
constexpr std::size_t kMaxMappingBytes = 64 * 1024;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

// Splits at each separator that stands outside double quotes, so that a
// fixed text may hold "+" and "|".
std::vector<std::string_view> SplitOutsideQuotes(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '"') quoted = !quoted;
        if (text[at] == separator && !quoted) {
            parts.push_back(text.substr(start, at - start));
            start = at + 1;
        }
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    for (std::string_view word : Split(Trim(text), " ")) {
        if (!Trim(word).empty()) words.emplace_back(Trim(word));
    }
    return words;
}

std::optional<std::size_t> OrderColumnIndex(std::string_view name) {
    for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
        if (name == kOrderTextColumnNames[c]) return c;
    }
    return std::nullopt;
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "2026", "02" as a number; the digits only, at most four.
int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

MappingParts PartsOfText(std::string_view text) {
    MappingParts parts;
    if (Trim(text).empty()) return parts;
    for (std::string_view part : SplitOutsideQuotes(text, '+')) {
        std::vector<MappingTerm> alternatives;
        for (std::string_view alternative : SplitOutsideQuotes(part, '|')) {
            alternative = Trim(alternative);
            if (alternative.empty()) continue;
            if (alternative.size() >= 2 && alternative.front() == '"' &&
                alternative.back() == '"') {
                alternatives.push_back(
                    {true, std::string(alternative.substr(1, alternative.size() - 2))});
            } else {
                alternatives.push_back({false, std::string(alternative)});
            }
        }
        if (!alternatives.empty()) parts.push_back(std::move(alternatives));
    }
    return parts;
}

std::string PartsText(const MappingParts& parts) {
    std::string text;
    for (const auto& alternatives : parts) {
        if (!text.empty()) text += " + ";
        for (std::size_t a = 0; a < alternatives.size(); ++a) {
            if (a > 0) text += "|";
            const MappingTerm& term = alternatives[a];
            text += term.fixed ? "\"" + term.text + "\"" : term.text;
        }
    }
    return text;
}

Status ImportMapping::Parse(std::string_view text, ImportMapping& mapping) {
    mapping = {};
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    int number = 0;
    for (std::string_view line : Split(text, "\n")) {
        ++number;
        line = Trim(line);
        if (line.empty() || line.front() == '#') continue;
        const std::size_t equals = line.find('=');
        const std::string_view word = Trim(line.substr(0, std::min(line.find(' '), equals)));
        if (word == kNameWord) {
            mapping.name = Trim(line.substr(kNameWord.size()));
        } else if (word == kKeysWord) {
            mapping.keyColumns = Words(line.substr(kKeysWord.size()));
        } else if (line == kCleanWord) {
            mapping.clean = true;
        } else if (const auto column = OrderColumnIndex(Trim(line.substr(0, equals)));
                   equals != std::string_view::npos && column) {
            mapping.columns[*column] = PartsOfText(line.substr(equals + 1));
        } else {
            const std::string shown(line.substr(0, 60));
            return Status::Failure("第 " + std::to_string(number) + " 行看不懂：“" + shown +
                                       "”（应为“订单列 = 表格的列”）",
                                   "line " + std::to_string(number) + " is no mapping line");
        }
    }
    if (mapping.name.empty()) {
        return Status::Failure("缺少“名称”一行", "the mapping has no 名称 line");
    }
    return Status::Ok();
}

std::string ImportMapping::Text() const {
    std::string text = std::string(kNameWord) + " " + name + "\n";
    if (!keyColumns.empty()) {
        text += kKeysWord;
        for (const std::string& key : keyColumns) text += " " + key;
        text += "\n";
    }
    if (clean) text += std::string(kCleanWord) + "\n";
    for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
        if (!columns[c].empty()) {
            text += std::string(kOrderTextColumnNames[c]) + " = " + PartsText(columns[c]) + "\n";
        }
    }
    return text;
}

bool ImportMapping::Recognises(const std::vector<std::string>& header) const {
    if (keyColumns.empty()) return false;
    return std::all_of(keyColumns.begin(), keyColumns.end(), [&](const std::string& key) {
        return std::any_of(header.begin(), header.end(),
                           [&](const std::string& cell) { return CleanCellText(cell) == key; });
    });
}

ImportMapping MappingOfHeader(const std::vector<std::string>& header, std::string name) {
    ImportMapping mapping;
    mapping.name = std::move(name);
    for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
        for (const std::string& cell : header) {
            if (cell == kOrderTextColumnNames[c]) mapping.columns[c] = {{{false, cell}}};
        }
    }
    return mapping;
}

std::string PresetFolder() { return ProgramDirectory() + "/import_presets"; }

std::string SavedMappingFolder() { return ProgramDirectory() + "/导入映射"; }

Status SaveMapping(const ImportMapping& mapping, const std::string& folder,
                   const std::string& presetFolder) {
    const std::string& name = mapping.name;
    if (Trim(name).empty() || name.find_first_of("/\\:*?\"<>|") != std::string::npos ||
        name.front() == '.') {
        return Status::Failure("映射的名称不能为空，也不能含有 / \\ : * ? \" < > | 这些字符",
                               "the name is empty or holds a character a file name cannot");
    }
    std::string problems;
    if (MappingNamed(LoadMappings(presetFolder, problems), name)) {
        return Status::Failure("“" + name + "”是预设的名称，请为这个映射另起一个名称。",
                               "a preset has that name");
    }
    if (!QDir().mkpath(QString::fromUtf8(folder))) {
        return Status::Failure("无法建立文件夹：" + folder, "cannot make the folder " + folder);
    }
    const std::string path = folder + "/" + name + ".txt";
    if (!ReplaceWholeFile(NativePathOfUtf8(path), mapping.Text())) {
        return Status::Failure("无法保存映射：" + path, "cannot save the mapping " + path);
    }
    return Status::Ok();
}

std::vector<ImportMapping> LoadMappings(const std::string& folder, std::string& problems) {
    std::vector<ImportMapping> mappings;
    const QDir dir(QString::fromUtf8(folder));
    QStringList names = dir.entryList({"*.txt"}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const std::string path = folder + "/" + name.toStdString();
        std::string bytes;
        ImportMapping mapping;
        Status parsed = Status::Failure("无法读取", "cannot be read");
        if (ReadWholeFile(NativePathOfUtf8(path), kMaxMappingBytes, bytes) == WholeFileRead::kOk) {
            parsed = ImportMapping::Parse(bytes, mapping);
        }
        if (parsed.ok()) {
            mappings.push_back(std::move(mapping));
        } else {
            problems += "导入映射 " + path + "：" + parsed.chinese + "\n";
        }
    }
    return mappings;
}

const ImportMapping* RecognisedMapping(const std::vector<ImportMapping>& mappings,
                                       const std::vector<std::string>& header) {
    for (const ImportMapping& mapping : mappings) {
        if (mapping.Recognises(header)) return &mapping;
    }
    return nullptr;
}

const ImportMapping* MappingNamed(const std::vector<ImportMapping>& mappings,
                                  const std::string& name) {
    for (const ImportMapping& mapping : mappings) {
        if (mapping.name == name) return &mapping;
    }
    return nullptr;
}

std::string DateOfDateTime(const std::string& text) {
    // Year, month and day separated by "-", "/" or ".", then nothing or a
    // blank (or "T") and the time.
    std::size_t end = text.find_first_of(" T");
    const std::string_view date = std::string_view(text).substr(0, end);
    std::vector<std::string_view> parts;
    for (std::string_view separator : {"-", "/", "."}) {
        if (date.find(separator) != std::string_view::npos) {
            parts = Split(date, separator);
            break;
        }
    }
    if (parts.size() != 3 || parts[0].size() != 4 || !IsDigits(parts[0]) || parts[1].size() > 2 ||
        !IsDigits(parts[1]) || parts[2].size() > 2 || !IsDigits(parts[2])) {
        return text;
    }
    const int month = Number(parts[1]);
    const int day = Number(parts[2]);
    if (month < 1 || month > 12 || day < 1 || day > 31) return text;
    return std::string(parts[0]) + "-" + std::to_string(month) + "-" + std::to_string(day);
}

BoundMapping::BoundMapping(const ImportMapping& mapping, const std::vector<std::string>& header,
                           std::string account)
    : clean_(mapping.clean), account_(std::move(account)) {
    for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
        for (const auto& alternatives : mapping.columns[c]) {
            std::vector<Term> terms;
            for (const MappingTerm& term : alternatives) {
                Term bound{term.fixed, term.text, std::nullopt};
                if (!term.fixed) {
                    for (std::size_t cell = 0; cell < header.size(); ++cell) {
                        const std::string name =
                            mapping.clean ? CleanCellText(header[cell]) : header[cell];
                        if (name == term.text || CleanCellText(name) == term.text) {
                            bound.cell = cell;
                            break;
                        }
                    }
                    if (!bound.cell &&
                        std::find(missing_.begin(), missing_.end(), term.text) == missing_.end()) {
                        missing_.push_back(term.text);
                    }
                }
                terms.push_back(std::move(bound));
            }
            columns_[c].push_back(std::move(terms));
        }
    }
}

std::string BoundMapping::Value(const Term& term, const std::vector<SheetCell>& cells,
                                std::size_t column, std::string& problem) const {
    if (term.fixed) return term.text;
    if (!term.cell || *term.cell >= cells.size()) return {};
    SheetCell cell = cells[*term.cell];
    const ColumnRule rule = RuleOfColumn(kOrderTextColumnNames[column]);
    if (clean_ && cell.kind == CellKind::Text) cell.text = CleanCellText(cell.text);
    if (cell.text.empty() && cell.kind != CellKind::UnsavedFormula) return {};
    const CellOutcome outcome = ConvertCell(cell, rule);
    if (!outcome.ok) {
        problem += (problem.empty() ? "“" : "；“") + std::string(kOrderTextColumnNames[column]) +
                   "”列（" + term.text + "）" + outcome.problem;
        return {};
    }
    if (clean_ && kOrderTextColumnNames[column] == kOrderDate) return DateOfDateTime(outcome.text);
    return outcome.text;
}

MappedRow BoundMapping::Apply(int number, const std::vector<SheetCell>& cells) const {
    MappedRow row;
    row.number = number;
    for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
        std::string& text = row.texts[c];
        for (const auto& alternatives : columns_[c]) {
            for (const Term& term : alternatives) {
                std::string value = Value(term, cells, c, row.problem);
                if (value.empty()) continue;
                if (!text.empty()) text += " ";
                text += value;
                break;
            }
        }
        if (text.empty() && kOrderTextColumnNames[c] == kSellerAccount) text = account_;
    }
    return row;
}
