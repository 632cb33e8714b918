#include "exchange/ship_lines.h"

#include <array>
#include <optional>

#include "common/text_encoding.h"
#include "exchange/cell_rules.h"
#include "exchange/sheet_encoding.h"
#include "exchange/sheet_source.h"

namespace {

// The header is looked for among this many rows at the top of a sheet.
constexpr int kHeaderSearchRows = 10;

constexpr std::string_view kFullWidthComma = "，";
constexpr std::string_view kIdeographicSpace = "　";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    while (text.substr(0, kIdeographicSpace.size()) == kIdeographicSpace) {
        text.remove_prefix(kIdeographicSpace.size());
    }
    while (text.size() >= kIdeographicSpace.size() &&
           text.substr(text.size() - kIdeographicSpace.size()) == kIdeographicSpace) {
        text.remove_suffix(kIdeographicSpace.size());
    }
    return text;
}

// Splits at every separator; a run of them counts as one when collapse.
std::vector<std::string_view> SplitAt(std::string_view line,
                                      std::initializer_list<std::string_view> separators,
                                      bool collapse) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos <= line.size()) {
        std::size_t width = 0;
        for (std::string_view separator : separators) {
            if (line.substr(pos, separator.size()) == separator) width = separator.size();
        }
        if (width == 0 && pos < line.size()) {
            ++pos;
            continue;
        }
        if (!collapse || pos > start) parts.push_back(line.substr(start, pos - start));
        pos += width == 0 ? 1 : width;
        start = pos;
    }
    return parts;
}

std::string EndOfLower(const std::string& path, std::size_t size) {
    std::string end = path.size() >= size ? path.substr(path.size() - size) : path;
    for (char& c : end) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return end;
}

using ColumnCells = std::array<std::optional<std::size_t>, 5>;  // by WaybillColumn

ColumnCells MapHeader(const SheetRow& row) {
    ColumnCells cells;
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
        auto& cell = cells[static_cast<std::size_t>(WaybillColumnOf(row.cells[c].text))];
        if (!cell) cell = c;
    }
    return cells;
}

bool IsHeader(const ColumnCells& cells) {
    return (cells[static_cast<std::size_t>(WaybillColumn::OrderNumber)] ||
            cells[static_cast<std::size_t>(WaybillColumn::PurchaseOrderNumber)]) &&
           cells[static_cast<std::size_t>(WaybillColumn::Waybill)];
}

// The cleaned text of a row's cell in a column, or the problem with it.
std::string CellText(const SheetRow& row, const ColumnCells& cells, WaybillColumn column,
                     std::string& problem) {
    const auto& cell = cells[static_cast<std::size_t>(column)];
    if (!cell || *cell >= row.cells.size()) return {};
    const CellOutcome outcome = ConvertCell(row.cells[*cell], ColumnRule::Text);
    if (!outcome.ok) {
        if (problem.empty()) problem = outcome.problem;
        return {};
    }
    return CleanCellText(outcome.text);
}

WaybillLine LineOfRow(const SheetRow& row, const ColumnCells& cells) {
    WaybillLine line;
    line.number = row.number;
    line.problem = row.error.substr(0, row.error.find('\n'));
    line.key = CellText(row, cells, WaybillColumn::OrderNumber, line.problem);
    const std::string purchase =
        CellText(row, cells, WaybillColumn::PurchaseOrderNumber, line.problem);
    if (line.key.empty()) line.key = purchase;
    line.waybill = CellText(row, cells, WaybillColumn::Waybill, line.problem);
    line.courier = CellText(row, cells, WaybillColumn::Courier, line.problem);
    return line;
}

bool IsEmptyRow(const SheetRow& row) {
    for (const SheetCell& cell : row.cells) {
        if (!CleanCellText(cell.text).empty()) return false;
    }
    return row.error.empty();
}

}  // namespace

std::string CleanCellText(std::string_view text) {
    std::string_view clean = Trim(text);
    if (clean.size() >= 3 && clean.substr(0, 2) == "=\"" && clean.back() == '"') {
        clean = Trim(clean.substr(2, clean.size() - 3));
    }
    if (!clean.empty() && clean.front() == '\'') clean = Trim(clean.substr(1));
    std::string out;
    for (char c : clean) {
        if (c != '\t') out += c;
    }
    return out;
}

WaybillColumn WaybillColumnOf(std::string_view header) {
    const std::string word = CleanCellText(header);
    for (const WaybillHeader& known : kWaybillHeaders) {
        if (known.word == word) return known.column;
    }
    return WaybillColumn::None;
}

WaybillLine SplitWaybillLine(std::string_view line) {
    std::vector<std::string_view> parts;
    if (line.find('\t') != std::string_view::npos) {
        parts = SplitAt(line, {"\t"}, false);
    } else if (line.find(',') != std::string_view::npos ||
               line.find(kFullWidthComma) != std::string_view::npos) {
        parts = SplitAt(line, {",", kFullWidthComma}, false);
    } else {
        parts = SplitAt(Trim(line), {" ", kIdeographicSpace}, true);
    }
    WaybillLine split;
    if (parts.size() > 0) split.key = CleanCellText(parts[0]);
    if (parts.size() > 1) split.waybill = CleanCellText(parts[1]);
    if (parts.size() > 2) split.courier = CleanCellText(parts[2]);
    return split;
}

Status ReadWaybillText(std::string_view bytes, std::vector<WaybillLine>& lines) {
    const DecodedSheet text = DecodeSheet(bytes);
    if (!text.ok()) return text.status;
    lines.clear();
    int number = 0;
    for (std::string_view line : SplitAt(text.utf8, {"\n"}, false)) {
        ++number;
        if (Trim(line).empty()) continue;
        WaybillLine split = SplitWaybillLine(line);
        split.number = number;
        lines.push_back(std::move(split));
    }
    return Status::Ok();
}

bool IsWaybillSheetPath(const std::string& path) {
    return EndOfLower(path, 5) == ".xlsx" || EndOfLower(path, 4) == ".csv";
}

Status ReadWaybillSheet(const std::string& path, std::vector<WaybillLine>& lines) {
    Status opened;
    const std::unique_ptr<SheetSource> source = OpenSheetSource(path, opened);
    if (!source) return opened;
    lines.clear();
    std::vector<SheetRow> top;
    SheetRow row;
    std::optional<ColumnCells> header;
    while (!header && static_cast<int>(top.size()) < kHeaderSearchRows && source->Next(row)) {
        const ColumnCells cells = MapHeader(row);
        if (IsHeader(cells)) header = cells;
        top.push_back(std::move(row));
    }
    if (!header) {
        if (!source->Error().empty()) return ReadFailure(*source);
        return Status::Failure(
            "表格前 10 行中找不到表头：需要“订单号”（或“购买订单号”）和“运单号”两列",
            "no header in the first 10 rows: an order number column and a "
            "waybill column are needed");
    }
    while (source->Next(row)) {
        if (!IsEmptyRow(row)) lines.push_back(LineOfRow(row, *header));
    }
    if (!source->Error().empty()) return ReadFailure(*source);
    return Status::Ok();
}

ShipLine ShipLineOf(const WaybillLine& line, const CourierTable& table,
                    const std::vector<std::string>& pickList,
                    std::vector<std::string>& candidates) {
    CourierChoice choice = ChooseCourier(line.courier, line.waybill, table, pickList);
    candidates = std::move(choice.candidates);
    return {line.number, Gbk(line.key), Gbk(line.waybill), Gbk(choice.courier),
            !line.problem.empty()};
}
