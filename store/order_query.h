#pragma once
// The statements that select orders: the list, the count and the totals,
// built from the nine search texts and a filter keyword. The order window and
// the export of the maintenance tool both use them.

#include <array>
#include <cstdint>
#include <string>

class DatabaseConnection;

struct OrderStatements {
    std::string list;
    std::string count;
    std::string totals;
};

// Inputs in their order: seller account, order number, express company,
// waybill number, goods name, purchase account, purchase order number,
// delivery information, remark. Filter "等待收货" or "问题单" (GBK).
using OrderSearchTexts = std::array<std::string, 9>;
OrderStatements BuildOrderStatements(const OrderSearchTexts& inputs, const std::string& filter);
// The where clause's conditions after "where 1=1" that those statements share.
std::string OrderConditions(const OrderSearchTexts& inputs, const std::string& filter);

// The order list's columns: header (also the field read), width in pixels.
struct OrderColumn {
    std::string name;  // GBK
    int width;
};
const std::array<OrderColumn, 15>& OrderListColumns();

// What the count and totals statements answer: the number of matching orders
// and the sums of 售价, 进价, 佣金 and 利润 as text (GBK, by ValueToText).
struct OrderTotals {
    std::int32_t count = 0;
    std::array<std::string, 4> sums;
};

// Runs the count and totals statements on an open connection; false when the
// database rejects either of them.
bool ReadOrderTotals(DatabaseConnection& db, const OrderStatements& statements,
                     OrderTotals& totals);

// The totals line as the main window shows it in 标签10:
// "记录：当前有<count>单  总售价：<sum>元  总进价：..." (GBK).
std::string OrderTotalsLine(const OrderTotals& totals);
