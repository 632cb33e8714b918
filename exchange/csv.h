#pragma once
// CSV as Excel and WPS write and read it (RFC 4180): cells separated by
// commas, records ended by CR LF, a cell in double quotes when it holds a
// comma, a quote or a line break, quotes inside doubled.
//
// Cells are also guarded against being taken for formulas: a cell that starts
// with = + - or @ gets one apostrophe in front, except a plain decimal number
// such as -30 or +5.5, which a spreadsheet reads as a number and never as a
// formula; so does a cell that starts with an apostrophe followed by one of
// those or by another apostrophe. Reading takes one leading apostrophe away
// before those five characters only, and nothing else is added to a cell, so
// writing and reading give back every text.
// The writer works on bytes and is safe for GBK as well as UTF-8: no byte of
// a GBK double-byte character is a comma, a quote or a line break.

#include <string>
#include <string_view>
#include <vector>

std::string GuardFormula(std::string_view cell);
std::string UnguardFormula(std::string_view cell);

// Appends one record: the cells, guarded and quoted, and CR LF.
void AppendCsvRecord(std::string& out, const std::vector<std::string>& cells);

// Excel's widest sheet.
inline constexpr std::size_t kMaxCsvCells = 16384;

struct CsvRecord {
    int line = 0;                    // the line on which the record starts, from 1
    std::vector<std::string> cells;  // as written, formula guard removed
    std::string error;               // why the record cannot be read (Chinese / English)
};

// Reads the records of a text one at a time, so a sheet of any length takes
// the memory of one record. A line end may be CR LF, LF or CR. A record whose
// quotes do not close ends the text. A record with more than maxCells cells
// keeps only the first maxCells and is marked with an error, so a line of
// nothing but commas cannot take more memory than the cells asked for.
class CsvReader {
  public:
    explicit CsvReader(std::string_view text, std::size_t maxCells = kMaxCsvCells);
    // False at the end of the text.
    bool Next(CsvRecord& record);

  private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return text_[pos_]; }
    bool TakeLineEnd();
    void SkipLine();
    bool ReadQuoted(std::string& cell);
    void ReadCells(CsvRecord& record);

    std::string_view text_;
    std::size_t maxCells_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool unterminated_ = false;
};

// Every record of a text, read as CsvReader reads them.
std::vector<CsvRecord> ReadCsvRecords(std::string_view text);
