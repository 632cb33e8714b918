#pragma once
// Reads the first sheet of an .xlsx workbook as Excel, WPS or LibreOffice
// save it, row after row: shared and inline strings, numbers with the
// decimals their format shows, truth values, error values, and dates (number
// cells with a date format, in the 1900 or the 1904 system) as
// year-month-day texts. The first sheet is the first worksheet: chart sheets
// before it are passed over. The container is opened with libzip and every
// part is read to its end, so a part whose checksum does not match is
// refused; the XML is read with XmlScanner, in one pass over its bytes.
//
// Memory stays bounded, whatever the workbook: the sheet is read as a
// stream, one row at a time, and the shared texts, a row, a cell and the
// decompressed size of each part have limits that are checked before the
// memory is taken, so that reading any workbook takes less than 300 MB.
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
    // sheet cannot be read on. A cell whose formula has no saved result is
    // CellKind::UnsavedFormula.
    bool NextRow(int& rowNumber, std::vector<SheetCell>& cells);

    // Chinese text; empty when nothing failed.
    const std::string& Error() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
