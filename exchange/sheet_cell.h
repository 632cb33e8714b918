#pragma once
// One cell of a sheet as a reader hands it on: what kind of value the
// spreadsheet held and the text or number of it. A CSV file knows texts
// only; a workbook also knows numbers, truth values, dates and error values,
// and formulas whose result was never saved (a file written by a program that
// does not calculate), which hold nothing that could be imported.

#include <string>

enum class CellKind { Empty, Text, Number, Boolean, Date, Error, UnsavedFormula };

struct SheetCell {
    CellKind kind = CellKind::Empty;
    // UTF-8. Text: the text. Number: the value as the file writes it
    // ("3856123456789012345", "1.5E+18"), before any format. Boolean: "TRUE"
    // or "FALSE". Date: year-month-day without leading zeros ("2024-3-5").
    // Error: the error value ("#N/A").
    std::string text;
    double number = 0;  // Number and Date: the value
    int decimals = -1;  // Number: the decimals its format shows; -1 for General
};
