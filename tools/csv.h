#pragma once
// CSV as Excel and WPS write and read it (RFC 4180): cells separated by
// commas, records ended by CR LF, a cell in double quotes when it holds a
// comma, a quote or a line break, quotes inside doubled.
//
// Cells are also guarded against being taken for formulas: a cell that starts
// with = + - @, a tab or a carriage return (after any run of apostrophes) gets
// one apostrophe in front, except a plain decimal number such as -30 or +5.5,
// which a spreadsheet reads as a number and never as a formula. Reading takes
// that apostrophe away again, so writing and reading give back every text.
// The writer works on bytes and is safe for GBK as well as UTF-8: no byte of
// a GBK double-byte character is a comma, a quote or a line break.

#include <string>
#include <string_view>
#include <vector>

std::string GuardFormula(std::string_view cell);
std::string UnguardFormula(std::string_view cell);

// Appends one record: the cells, guarded and quoted, and CR LF.
void AppendCsvRecord(std::string& out, const std::vector<std::string>& cells);

struct CsvRecord {
    int line = 0;                    // the line on which the record starts, from 1
    std::vector<std::string> cells;  // as written, formula guard removed
    std::string error;               // why the record cannot be read (Chinese / English)
};

// Every record of a text; a line end may be CR LF, LF or CR. A record whose
// quotes do not close ends the text.
std::vector<CsvRecord> ReadCsvRecords(std::string_view text);
