#pragma once
// A sheet read through an import mapping: its header found among the top
// rows, every row after it turned into an order for the store to judge
// (store/order_import.h). Blank rows and the totals row of our own CSV export
// are left out. Paths and texts UTF-8 unless said.

#include <string>
#include <vector>

#include "common/status.h"
#include "exchange/import_mapping.h"
#include "store/order_import.h"

struct SheetHeader {
    int row = 0;  // from 1
    std::vector<std::string> cells;
    std::string kind;  // "Excel .xlsx", "GBK", ...
};

// The header of a sheet: the first of the top rows that one of the mappings
// recognises, else the first row that is not blank. recognised is the
// mapping (null for none).
Status ReadSheetHeader(const std::string& path, const std::vector<ImportMapping>& mappings,
                       SheetHeader& header, const ImportMapping*& recognised);

// Every order of the sheet below the header row through the mapping (texts
// GBK, as the store takes them); a row the mapping refuses keeps its
// problem, with the row. account fills 卖家账号 where the mapping leaves it empty.
Status ReadMappedOrders(const std::string& path, const SheetHeader& header,
                        const ImportMapping& mapping, const std::string& account,
                        std::vector<ImportOrder>& orders);

// An .xls file, which the readers cannot open: the user is told to save it
// as .xlsx or .csv first (ends in ".xls", any letter case).
bool IsOldExcelFile(const std::string& path);
// Why an .xls file is not read, with kOldExcelAdvice.
Status OldExcelFailure();
