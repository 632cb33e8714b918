#include "exchange/order_sheet.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdlib>

#include "common/gb18030.h"
#include "common/text_encoding.h"
#include "exchange/cell_rules.h"
#include "exchange/csv.h"
#include "exchange/gbk_check.h"
#include "exchange/workbook_writer.h"
#include "store/ledger_schema.h"

namespace {

// List columns 6 to 9 hold 售价, 进价, 佣金 and 利润, the four summed columns.
constexpr std::size_t kFirstSumColumn = 6;
constexpr std::size_t kSumColumns = 4;
constexpr std::size_t kDateColumn = 10;
constexpr int kMaxSheetDigits = 15;

bool IsSumColumn(std::size_t column) {
    return column >= kFirstSumColumn && column < kFirstSumColumn + kSumColumns;
}

// Room for a 20-digit marketplace order number in the text columns; the
// free-text columns wider, ID and the money columns narrower.
double ColumnWidth(std::size_t column) {
    if (column == 0) return 8;
    if (IsSumColumn(column)) return 11;
    if (column == kDateColumn) return 11;
    if (column == 5 || column == 13 || column == 14) return 30;
    return 22;
}

std::vector<SheetColumn> OrderColumns() {
    std::vector<SheetColumn> columns;
    const auto& list = OrderListColumns();
    for (std::size_t c = 0; c < list.size(); ++c) {
        columns.push_back({GbkToUtf8(list[c].name), ColumnWidth(c)});
    }
    return columns;
}

int DecimalsOf(std::string_view number) {
    const std::size_t point = number.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(number.size() - point - 1);
}

// A stored money text that a number cell shows unchanged: plain decimal
// notation within the 15 digits a spreadsheet keeps.
bool FitsNumberCell(std::string_view text) {
    if (!IsNumberText(text) || text.find_first_of("eE") != std::string_view::npos) return false;
    const auto digits =
        std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits <= kMaxSheetDigits;
}

void WriteMoney(WorkbookWriter& writer, const std::string& text) {
    if (FitsNumberCell(text)) {
        writer.WriteNumber(std::strtod(text.c_str(), nullptr),
                           NumberFormatWithDecimals(DecimalsOf(text)));
    } else {
        writer.WriteText(text);
    }
}

std::string RowAndColumn(int row, std::size_t column) {
    return "第 " + std::to_string(row) + " 行“" + GbkToUtf8(OrderListColumns()[column].name) +
           "”列";
}

}  // namespace

class OrderSheetExport::Workbook {
  public:
    explicit Workbook(const std::string& path) : writer(path) {
        writer.AddSheet("订单列表", OrderColumns());
    }
    // GbkToUtf8 into one buffer for every cell.
    const std::string& Utf8(const std::string& gbk) {
        if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return (c & 0x80) == 0; })) {
            return gbk;
        }
        QString decoded;
        DecodeGb18030(gbk, decoded);
        const QByteArray utf8 = decoded.toUtf8();
        text.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        return text;
    }
    WorkbookWriter writer;

  private:
    std::string text;
};

SheetFormat FormatOfFileName(const std::string& path) {
    std::string end = path.size() >= 5 ? path.substr(path.size() - 5) : path;
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".xlsx" ? SheetFormat::Xlsx : SheetFormat::CsvUtf8;
}

OrderSheetExport::OrderSheetExport(SheetFormat format, const std::string& xlsxPath)
    : format_(format) {
    if (format_ == SheetFormat::Xlsx) {
        workbook_ = std::make_unique<Workbook>(xlsxPath);
        return;
    }
    std::vector<std::string> header;
    for (const OrderColumn& column : OrderListColumns()) header.push_back(column.name);
    AppendCsvRecord(bytes_, header);
}

OrderSheetExport::~OrderSheetExport() = default;

void OrderSheetExport::AddCsvRecord(const std::vector<std::string>& cells) {
    if (format_ == SheetFormat::CsvGbk && error_.empty()) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const std::string outside = FirstCharacterOutsideGbk(cells[c]);
            if (outside.empty()) continue;
            error_ = RowAndColumn(orders_ + 2, c) + "有 GBK 中没有的字符“" + outside +
                     "”：请改用 UTF-8，或用 --gb18030 导出";
            break;
        }
    }
    AppendCsvRecord(bytes_, cells);
}

void OrderSheetExport::AddOrder(const std::vector<std::string>& cells) {
    if (format_ != SheetFormat::Xlsx) {
        AddCsvRecord(cells);
        ++orders_;
        return;
    }
    ++orders_;
    WorkbookWriter& writer = workbook_->writer;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::string& text = workbook_->Utf8(cells[c]);
        if (c == 0 || IsSumColumn(c)) {
            WriteMoney(writer, text);
        } else {
            writer.WriteText(text);
        }
    }
    writer.EndRow();
}

bool OrderSheetExport::Finish(const OrderTotals& totals, std::string& error) {
    if (format_ == SheetFormat::Xlsx) {
        WorkbookWriter& writer = workbook_->writer;
        writer.AddSheet("合计", {{"项目", 10}, {"合计", 16}});
        static const char* const kNames[] = {"总售价", "总进价", "总佣金", "总利润"};
        writer.WriteText("记录数");
        writer.WriteNumber(totals.count);
        writer.EndRow();
        for (std::size_t i = 0; i < kSumColumns; ++i) {
            writer.WriteText(kNames[i]);
            WriteMoney(writer, GbkToUtf8(totals.sums[i]));
            writer.EndRow();
        }
        return writer.Close(error);
    }
    std::vector<std::string> cells(OrderListColumns().size());
    cells[0] = OrderTotalsLine(totals);
    for (std::size_t i = 0; i < kSumColumns; ++i) cells[kFirstSumColumn + i] = totals.sums[i];
    AddCsvRecord(cells);
    if (!error_.empty()) {
        error = error_;
        return false;
    }
    if (format_ == SheetFormat::CsvUtf8) {
        bytes_ = std::string(kUtf8ByteOrderMark) + GbkToUtf8(bytes_);
    } else if (format_ == SheetFormat::CsvGbk) {
        bytes_ = ToGbkFile(bytes_);
    }
    if (format_ != SheetFormat::CsvUtf8 && bytes_.starts_with("ID,")) {
        // A text file that begins with "ID" is taken by Excel for a SYLK
        // file; in quotes it is the same cell and plainly CSV.
        bytes_.replace(0, 2, "\"ID\"");
    }
    return true;
}
