#include "exchange/mapped_sheet.h"

#include <algorithm>

#include "common/text_encoding.h"
#include "exchange/sheet_source.h"
#include "exchange/ship_lines.h"
#include "store/order_words.h"

namespace {

// The header is looked for among this many rows at the top of the sheet.
constexpr int kHeaderSearchRows = 10;

std::vector<std::string> Texts(const SheetRow& row) {
    std::vector<std::string> texts;
    for (const SheetCell& cell : row.cells) texts.push_back(cell.text);
    return texts;
}

bool IsBlank(const SheetRow& row) {
    return row.error.empty() &&
           std::all_of(row.cells.begin(), row.cells.end(), [](const SheetCell& cell) {
               return cell.kind != CellKind::UnsavedFormula && CleanCellText(cell.text).empty();
           });
}

// The totals row our own CSV export ends with, in its ID column.
bool IsTotalsRow(const SheetRow& row, const std::vector<std::string>& header) {
    for (std::size_t c = 0; c < header.size() && c < row.cells.size(); ++c) {
        if (header[c] == "ID") return row.cells[c].text.starts_with(kTotalsLineStart);
    }
    return false;
}

}  // namespace

bool IsOldExcelFile(const std::string& path) {
    std::string end = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".xls";
}

Status OldExcelFailure() {
    return Status::Failure(
        std::string("Excel 97-2003 工作簿（.xls）不能直接导入：") + kOldExcelAdvice,
        "an .xls workbook cannot be imported; save it as .xlsx or .csv first");
}

Status ReadSheetHeader(const std::string& path, const std::vector<ImportMapping>& mappings,
                       SheetHeader& header, const ImportMapping*& recognised) {
    recognised = nullptr;
    header = {};
    if (IsOldExcelFile(path)) return OldExcelFailure();
    Status opened;
    const std::unique_ptr<SheetSource> source = OpenSheetSource(path, opened);
    if (!source) return opened;
    header.kind = source->Kind();
    SheetRow row;
    bool first = true;
    for (int read = 0; read < kHeaderSearchRows && source->Next(row); ++read) {
        if (IsBlank(row) || !row.error.empty()) continue;
        const std::vector<std::string> cells = Texts(row);
        if (first) {
            header.row = row.number;
            header.cells = cells;
            first = false;
        }
        if (const ImportMapping* mapping = RecognisedMapping(mappings, cells)) {
            header.row = row.number;
            header.cells = cells;
            recognised = mapping;
            break;
        }
    }
    if (first) {
        if (!source->Error().empty()) return ReadFailure(*source);
        return Status::Failure("文件是空的，没有表头和订单", "the file is empty");
    }
    return Status::Ok();
}

Status ReadMappedOrders(const std::string& path, const SheetHeader& header,
                        const ImportMapping& mapping, const std::string& account,
                        std::vector<ImportOrder>& orders) {
    orders.clear();
    Status opened;
    const std::unique_ptr<SheetSource> source = OpenSheetSource(path, opened);
    if (!source) return opened;
    const BoundMapping bound(mapping, header.cells, account);
    SheetRow row;
    while (source->Next(row)) {
        if (row.number <= header.row || IsBlank(row) || IsTotalsRow(row, header.cells)) continue;
        ImportOrder order;
        order.row = row.number;
        if (!row.error.empty()) {
            order.problem = row.error.substr(0, row.error.find('\n'));
        } else {
            MappedRow mapped = bound.Apply(row.number, row.cells);
            order.problem = std::move(mapped.problem);
            for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
                AppendGbk(mapped.texts[c], order.texts[c]);
            }
        }
        orders.push_back(std::move(order));
    }
    if (!source->Error().empty()) return ReadFailure(*source);
    return Status::Ok();
}
