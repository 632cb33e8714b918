#pragma once
// Opens the "打印…" window (ui/print/print_window.h) on the orders the list
// shows and their totals, or brings the open one to the front with them. In
// a build without printing it tells the user so.

#include "store/order_statements.h"

class OrderListModel;

void OpenPrintWindow(const OrderListModel& list, const OrderTotals& totals);
