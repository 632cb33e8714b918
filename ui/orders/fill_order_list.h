#pragma once
// The one routine that fills the main window: the totals line 标签10 and the
// order list 信息列表框, from nine search texts and a filter keyword.

#include <functional>
#include <string>

#include "store/order_statements.h"

class DatabaseConnection;
class OrderListModel;

// The parts of the main window that the query works on.
struct OrderListDisplay {
    DatabaseConnection& connection;  // the main window's 外部数据库1, left open
    std::function<void(const std::string&)> setTotalsLine;  // caption of 标签10 (GBK)
    OrderListModel& list;
    // Told the count and sums the totals line shows, if set (empty after a failure).
    std::function<void(const OrderTotals&)> keepTotals = {};
};

// Texts are GBK. A missing ledger ends the program after its message.
void QueryOrders(OrderListDisplay& display, const OrderSearchTexts& inputs,
                 const std::string& filter);
