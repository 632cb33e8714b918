#pragma once
// The orders of a search as the order list shows them, for what works on
// the same orders outside the main window (tallovar-admin print and export).

#include <functional>
#include <string>
#include <vector>

#include "common/status.h"
#include "store/order_statements.h"

class DatabaseConnection;

// Reads the search's list, count and totals as the main window reads them
// (ReadOrdersAndTotals), so what is printed or exported agrees with the
// window for the same search. order is
// called for every row in the list's order with its fifteen columns (ID
// first) as GBK texts by ValueToText. On a failure, the database's reason.
Status ReadSearchedOrders(DatabaseConnection& db, const OrderSearchTexts& inputs,
                          const std::string& filter,
                          const std::function<void(const std::vector<std::string>&)>& order,
                          OrderTotals& totals);
