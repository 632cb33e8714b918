#pragma once
// Writes an .xlsx workbook, sheet after sheet and row after row, straight
// into its zip container (ZipWriter): a sheet of a million rows takes no
// more memory than one row, and no temporary file. Every sheet starts with a
// header row that stays in view when scrolling (frozen) and has its column
// widths set.
//
// Texts are UTF-8 and always become text cells, so a spreadsheet program
// keeps every digit and leading zero of an order number and never runs a
// text as a formula. Numbers become number cells with the number format
// given, for instance NumberFormatWithDecimals(2) so that 150.5 shows 150.50.
//
// Control characters, which XML cannot carry, are written as the format's
// _xHHHH_ escapes, and a literal "_xHHHH_" with its underscore escaped, so
// that every text reads back as written.
//
// Errors are remembered, not thrown: the first one stops further writing and
// Close reports it (Chinese text for the user), with the sheet, row and
// column it happened at; a workbook with an error, or destroyed without
// Close, is left incomplete, for the caller not to place.

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ZipWriter;

struct SheetColumn {
    std::string header;  // UTF-8
    double width;        // in characters of the default font
};

// "0" for no decimals, "0.00" for two, and so on.
std::string NumberFormatWithDecimals(int decimals);

class WorkbookWriter {
  public:
    // path is the file system's (UTF-8) name of the file to write.
    explicit WorkbookWriter(const std::string& path);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Starts a new sheet and writes its header row; the rows that follow
    // belong to it. Sheet names are at most 31 characters.
    void AddSheet(const std::string& name, const std::vector<SheetColumn>& columns);

    // The next cell of the current row.
    void WriteText(std::string_view utf8);
    void WriteNumber(double value, const std::string& numberFormat = {});
    void SkipCell();
    // Ends the current row; the next cell starts the next row.
    void EndRow();

    // Writes the file. False with error set (Chinese) when anything failed.
    bool Close(std::string& error);

  private:
    void Fail(const std::string& why);
    void StartCell();
    void EndSheet();
    void Flush();
    int StyleOf(const std::string& numberFormat);

    std::FILE* file_ = nullptr;
    std::unique_ptr<ZipWriter> zip_;
    std::vector<std::string> sheetNames_;
    std::string sheetName_;
    bool inSheet_ = false;
    bool rowOpen_ = false;
    std::string xml_;                     // the sheet's XML not yet given to the zip writer
    std::map<std::string, int> formats_;  // number format -> its place among the styles
    std::vector<std::string> formatCodes_;
    std::vector<std::string> columnNames_;  // "A", "B", ... as far as used
    unsigned row_ = 0;
    unsigned short column_ = 0;
    std::string error_;
    bool closed_ = false;
};
