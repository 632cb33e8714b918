#pragma once
// How a sheet cell becomes the text of an order column, and which cells a
// spreadsheet program has certainly damaged. Shared by every import.
//
// Text columns (order numbers, waybills, accounts, ...): a number written in
// scientific notation, or a number cell of more than 15 significant digits,
// has lost digits inside the spreadsheet program and is refused; any other
// number cell becomes the text it shows without a format (12345, 12.5), and
// is flagged, since a leading zero may have been lost on the way.
//
// Money columns (售价, 进价, 佣金, 利润): a number cell becomes its plain
// number text with the decimals its format shows (1299 shown as 1,299.00
// gives 1299.00); a text with thousands separators, a currency sign or
// full-width digits is stored as the plain number it shows (and flagged); a
// text that is no number is refused. Every text is held to kFieldTextLimit.

#include <string>
#include <string_view>

#include "exchange/sheet_cell.h"

enum class ColumnRule { Text, Money };

// The rule of an order column by its header (UTF-8).
ColumnRule RuleOfColumn(std::string_view header);

struct CellOutcome {
    enum class Note { None, NumberAsText, Normalised };
    bool ok = false;
    std::string text;  // UTF-8, the text to store when ok
    Note note = Note::None;
    std::string problem;  // Chinese, when not ok: what is wrong and what to do
};

CellOutcome ConvertCell(const SheetCell& cell, ColumnRule rule);

// A plain decimal number (an optional sign, digits, at most one point) or the
// same with an exponent ("1e3"); what a money column stores unchanged.
bool IsNumberText(std::string_view text);
// The text of a number as a spreadsheet shows it with the given decimals,
// or without a format (-1): never with an exponent.
std::string NumberText(double value, int decimals);
