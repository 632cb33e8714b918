#pragma once
// The rows of a sheet file to import, one at a time, whatever its kind: an
// .xlsx workbook (its first sheet) or a CSV file in UTF-8 or GBK. A CSV
// file is read whole, so files beyond kMaxCsvBytes are refused before any
// memory is taken; a workbook is read as a stream.

#include <memory>
#include <string>
#include <vector>

#include "exchange/sheet_cell.h"
#include "exchange/sheet_encoding.h"

inline constexpr std::size_t kMaxCsvBytes = std::size_t{512} << 20;

// What the user of an old .xls workbook, which no reader here opens, is told
// to do.
inline constexpr const char* kOldExcelAdvice = "请在表格程序中另存为 .xlsx 或 .csv 后再导入";

struct SheetRow {
    int number = 0;                // line of a CSV file, row of a workbook, from 1
    std::vector<SheetCell> cells;  // a CSV file's cells are all texts (or empty)
    std::string error;             // why the row cannot be read (Chinese\nEnglish)
};

class SheetSource {
  public:
    virtual ~SheetSource() = default;
    // False at the end, or with Error() set when the rest cannot be read.
    virtual bool Next(SheetRow& row) = 0;
    virtual const std::string& Error() const = 0;
    // CSV rows must have as many cells as the header; a workbook's rows end
    // where their last filled cell is.
    virtual bool CellsMatchHeader() const = 0;
    // "Excel .xlsx", "UTF-8", "GBK", ...
    virtual std::string Kind() const = 0;
};

// Why the rest of a source cannot be read (its Error()), as a Status.
Status ReadFailure(const SheetSource& source);

// null with status saying why when the file cannot be read. path is UTF-8.
std::unique_ptr<SheetSource> OpenSheetSource(const std::string& path, Status& status);
