#include "exchange/workbook_writer.h"

#include <xlsxwriter.h>

#include "exchange/xml_scanner.h"

namespace {

// Excel's limits for one sheet.
constexpr unsigned kMaxRows = 1048576;
constexpr unsigned kMaxTextCharacters = 32767;

// Characters as Excel counts them (UTF-16 code units are close enough here:
// the library itself counts code points).
std::size_t CountCharacters(std::string_view utf8) {
    std::size_t count = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++count;
    }
    return count;
}

std::string ColumnName(unsigned column) {
    std::string name;
    for (unsigned c = column + 1; c > 0; c = (c - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return name;
}

}  // namespace

std::string NumberFormatWithDecimals(int decimals) {
    if (decimals <= 0) return "0";
    return "0." + std::string(static_cast<std::size_t>(decimals), '0');
}

WorkbookWriter::WorkbookWriter(const std::string& path) {
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    workbook_ = workbook_new_opt(path.c_str(), &options);
    if (!workbook_) {
        error_ = "无法建立工作簿：" + path;
        return;
    }
    headerFormat_ = workbook_add_format(workbook_);
    format_set_bold(headerFormat_);
}

// A workbook never closed is dropped unwritten.
WorkbookWriter::~WorkbookWriter() {
    if (workbook_) lxw_workbook_free(workbook_);
}

bool WorkbookWriter::Check(int result) {
    if (result == LXW_NO_ERROR || !error_.empty()) return error_.empty();
    error_ = "工作表“" + sheetName_ + "”第 " + std::to_string(row_ + 1) + " 行 " +
             ColumnName(column_) + " 列无法写出：" + lxw_strerror(static_cast<lxw_error>(result));
    return false;
}

lxw_format* WorkbookWriter::Format(const std::string& numberFormat) {
    if (numberFormat.empty()) return nullptr;
    auto found = formats_.find(numberFormat);
    if (found != formats_.end()) return found->second;
    lxw_format* format = workbook_add_format(workbook_);
    format_set_num_format(format, numberFormat.c_str());
    formats_.emplace(numberFormat, format);
    return format;
}

void WorkbookWriter::AddSheet(const std::string& name, const std::vector<SheetColumn>& columns) {
    if (!error_.empty()) return;
    sheetName_ = name;
    sheet_ = workbook_add_worksheet(workbook_, name.c_str());
    if (!sheet_) {
        error_ = "无法建立工作表“" + name + "”";
        return;
    }
    row_ = 0;
    column_ = 0;
    for (const SheetColumn& column : columns) {
        if (!Check(worksheet_set_column(sheet_, column_, column_, column.width, nullptr))) return;
        if (!Check(
                worksheet_write_string(sheet_, 0, column_, column.header.c_str(), headerFormat_))) {
            return;
        }
        ++column_;
    }
    worksheet_freeze_panes(sheet_, 1, 0);
    EndRow();
}

void WorkbookWriter::WriteText(std::string_view utf8) {
    if (!error_.empty() || !sheet_) return;
    if (CountCharacters(utf8) > kMaxTextCharacters) {
        error_ = "工作表“" + sheetName_ + "”第 " + std::to_string(row_ + 1) + " 行 " +
                 ColumnName(column_) + " 列的文字超过一个单元格能放的 32767 个字符";
        return;
    }
    if (!utf8.empty()) {
        // The library writes control characters as _xHHHH_ escapes itself;
        // a text that holds such an escape literally must not read back as
        // the character.
        const std::string text = EscapeLiteralSheetEscapes(utf8);
        if (!Check(worksheet_write_string(sheet_, row_, column_, text.c_str(), nullptr))) return;
    }
    ++column_;
}

void WorkbookWriter::WriteNumber(double value, const std::string& numberFormat) {
    if (!error_.empty() || !sheet_) return;
    if (!Check(worksheet_write_number(sheet_, row_, column_, value, Format(numberFormat)))) return;
    ++column_;
}

void WorkbookWriter::SkipCell() { ++column_; }

void WorkbookWriter::EndRow() {
    if (!error_.empty()) return;
    ++row_;
    column_ = 0;
    if (row_ >= kMaxRows) {
        error_ = "工作表“" + sheetName_ + "”超过了 Excel 的 1048576 行";
    }
}

bool WorkbookWriter::Close(std::string& error) {
    if (closed_) {
        error = error_;
        return error_.empty();
    }
    closed_ = true;
    if (!workbook_) {
        error = error_;
        return false;
    }
    if (!error_.empty()) {
        lxw_workbook_free(workbook_);  // a failed workbook is not written at all
        workbook_ = nullptr;
        error = error_;
        return false;
    }
    const lxw_error result = workbook_close(workbook_);
    workbook_ = nullptr;
    if (error_.empty() && result != LXW_NO_ERROR) {
        error_ = std::string("无法写出工作簿：") + lxw_strerror(result);
    }
    error = error_;
    return error_.empty();
}
