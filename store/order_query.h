#pragma once
// The statements that select orders: the list, the count and the totals,
// built from the nine search texts and a filter keyword. The order window and
// the export of the maintenance tool both use them.

#include <array>
#include <string>

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

// The order list's columns: header (also the field read), width in pixels.
struct OrderColumn {
    std::string name;  // GBK
    int width;
};
const std::array<OrderColumn, 15>& OrderListColumns();
