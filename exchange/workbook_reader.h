#pragma once
// Reads the first sheet of an .xlsx workbook as Excel, WPS or LibreOffice
// save it, row after row: shared and inline strings, numbers with the
// decimals their format shows, truth values, error values, and dates (number
// cells with a date format, in the 1900 or the 1904 system) as
// year-month-day texts. The container is opened with libzip and the parts
// are read with Qt's XML stream reader.
//
// Memory stays bounded: the sheet itself is read as a stream, one row at a
// time, and the other parts are refused before they are read when they are
// larger than any real workbook's (a compressed bomb cannot take the memory).
// Rows and columns beyond Excel's limits are refused too.

#include <memory>
#include <string>
#include <vector>

#include "exchange/sheet_cell.h"

class WorkbookReader {
  public:
    WorkbookReader();
    ~WorkbookReader();
    WorkbookReader(const WorkbookReader&) = delete;
    WorkbookReader& operator=(const WorkbookReader&) = delete;

    // path is UTF-8. False with Error() set when the file is no workbook.
    bool Open(const std::string& path);

    // The next row that has a cell, its number as the spreadsheet shows it
    // (from 1) and its cells from column A on (empty cells where the sheet
    // has none). False at the end of the sheet, or with Error() set when the
    // sheet cannot be read on.
    bool NextRow(int& rowNumber, std::vector<SheetCell>& cells);

    // Chinese text; empty when nothing failed.
    const std::string& Error() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
