#pragma once
// "导出到 Excel…" of the order list's pop-up menu: asks where to save, then
// writes exactly the rows the list shows now, in its order, with the count
// and sums of the last search, as an .xlsx workbook (or as CSV when the
// chosen name ends in .csv). The sheet is the one tallovar-admin export
// writes (exchange/order_sheet.h). The file appears under its name only when
// complete, and never over the ledger or another ledger file.

#include "store/order_statements.h"

class OrderListModel;
class QWidget;

void ExportOrderList(QWidget* parent, const OrderListModel& list, const OrderTotals& totals);
