#pragma once
// Shipping many orders at once from lines of (key, waybill, courier): the key
// is an order number or a purchase order number. Each line is matched to the
// ledger's orders and judged; the lines judged ready are then shipped in one
// transaction, storing for each order what the editor's ship mode stores
// (快递公司, 运单号, and today's date as 订单日期), by an update that holds
// only while the order is still unshipped. Either every line changes its one
// order or nothing is stored. The file ledger and a team ledger alike.
// Texts are GBK.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/status.h"

class DatabaseConnection;

// What a line can do, in the order a line is judged.
enum class ShipState {
    Unreadable,      // the sheet damaged one of its cells
    NotFound,        // no order has the key
    SeveralOrders,   // the key names more than one order
    AlreadyShipped,  // the order has a courier or a waybill already
    NoWaybill,
    Repeated,  // an earlier line of the batch with a waybill names the same order
    NoCourier,
    Ready,
};

// The state as the user reads it (UTF-8): "可发货", "已发货", ...
const char* ShipStateName(ShipState state);

struct ShipLine {
    int number = 0;   // the line's number in what the user gave, from 1
    std::string key;  // order number or purchase order number
    std::string waybill;
    std::string courier;  // empty while not known for sure
    bool unreadable = false;
};

// An order a key found: its ID, its two numbers and what it is shipped with.
struct FoundOrder {
    std::int64_t id = 0;
    std::string orderNumber;
    std::string purchaseOrderNumber;
    std::string courier;
    std::string waybill;
};

// The orders found so far by key, a key with none included, so that lines
// arriving one by one look up only keys not seen before.
using ShipOrderIndex = std::unordered_map<std::string, std::vector<FoundOrder>>;

// Looks up the keys the index lacks, in 订单号 and in 购买订单号.
Status FindShipOrders(DatabaseConnection& db, const std::vector<std::string>& keys,
                      ShipOrderIndex& index);

struct ShipMatch {
    ShipState state = ShipState::NotFound;
    FoundOrder order;  // id 0 unless the key found exactly one order
};

// Judges every line from the index (no database); one match a line.
std::vector<ShipMatch> JudgeShipLines(const std::vector<ShipLine>& lines,
                                      const ShipOrderIndex& index);

// FindShipOrders for every line's key, then JudgeShipLines.
Status MatchShipLines(DatabaseConnection& db, const std::vector<ShipLine>& lines,
                      std::vector<ShipMatch>& matches);

struct ShipOrder {
    int line = 0;
    std::int64_t id = 0;
    std::string courier;
    std::string waybill;
};

// The lines judged Ready, as orders to ship.
std::vector<ShipOrder> ReadyOrders(const std::vector<ShipLine>& lines,
                                   const std::vector<ShipMatch>& matches);

// "共 N 行：可发货 27 行，找不到订单 2 行，…" (UTF-8), the ready lines first.
std::string ShipCountsText(const std::vector<ShipMatch>& matches);

// Today as the ship mode writes 订单日期: year-month-day without leading zeros.
std::string ShipDate();

// Ships the orders in one transaction with date as 订单日期. When an order is
// no longer unshipped (or gone), nothing is stored and refusedLines names
// every such line; the failure says which.
Status ShipOrders(DatabaseConnection& db, const std::vector<ShipOrder>& orders,
                  const std::string& date, std::vector<int>& refusedLines);

// The updates of ShipOrders inside a transaction the caller began and ends
// (an import that also stores new orders): on failure the caller rolls back.
Status ShipOrdersWithin(DatabaseConnection& db, const std::vector<ShipOrder>& orders,
                        const std::string& date, std::vector<int>& refusedLines);
