#pragma once
// Where lines to ship come from: text pasted, typed by a barcode scanner or
// in a file (a key, then the waybill, optionally the courier), or a supplier's
// .xlsx or .csv sheet read by its header row. The header names a sheet's
// columns by the words of kWaybillHeaders, which other imports of waybills
// share. Texts are UTF-8.

#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"
#include "exchange/courier_table.h"
#include "store/ship_batch.h"

// What a column of a sheet of waybills holds.
enum class WaybillColumn { None, OrderNumber, PurchaseOrderNumber, Waybill, Courier };

struct WaybillHeader {
    std::string_view word;
    WaybillColumn column;
};

inline constexpr WaybillHeader kWaybillHeaders[] = {
    {"订单号", WaybillColumn::OrderNumber},
    {"订单编号", WaybillColumn::OrderNumber},
    {"购买订单号", WaybillColumn::PurchaseOrderNumber},
    {"运单号", WaybillColumn::Waybill},
    {"快递单号", WaybillColumn::Waybill},
    {"物流单号", WaybillColumn::Waybill},
    {"快递公司", WaybillColumn::Courier},
    {"物流公司", WaybillColumn::Courier},
};

// The column a header cell names (its text cleaned as any cell); None for
// other headers.
WaybillColumn WaybillColumnOf(std::string_view header);

// A cell's text without what a spreadsheet user adds to keep a number a text:
// the ="…" of a formula, tabs, a leading apostrophe, and blanks around it.
std::string CleanCellText(std::string_view text);

struct WaybillLine {
    int number = 0;  // line of the text or row of the sheet, from 1
    std::string key;
    std::string waybill;
    std::string courier;
    std::string problem;  // Chinese: why a cell of it cannot be used
};

// One line split at tabs, else at commas (also "，"), else at runs of
// blanks (also "　"), each part cleaned.
WaybillLine SplitWaybillLine(std::string_view line);

// Text in UTF-8 or GBK (told apart as a sheet's), one line a waybill; blank
// lines are left out but counted.
Status ReadWaybillText(std::string_view bytes, std::vector<WaybillLine>& lines);

// True for a path that ReadWaybillSheet reads: ending .xlsx or .csv.
bool IsWaybillSheetPath(const std::string& path);

// An .xlsx or .csv sheet (path UTF-8): the header is the first of the top
// rows naming a key column (订单号 or 购买订单号) and a waybill column; the
// key is the order number, or where that cell is empty the purchase order
// number. A number cell a spreadsheet damaged gives its line a problem.
Status ReadWaybillSheet(const std::string& path, std::vector<WaybillLine>& lines);

// A line as the store matches it (GBK): its courier the one given or the
// table's sure guess, spelled as the pick list (UTF-8) spells it; the
// candidates of a guess that is not sure go to candidates (UTF-8).
ShipLine ShipLineOf(const WaybillLine& line, const CourierTable& table,
                    const std::vector<std::string>& pickList, std::vector<std::string>& candidates);
