#include "store/ship_batch.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "common/order_date.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database.h"
#include "store/database_error.h"
#include "store/ledger_schema.h"

namespace {

// Keys asked for in one statement. Neither number column has an index, so
// each statement reads the whole ledger once: a day's paste of waybills takes
// one read, and the statement (some 50 KB) stays far below any limit.
constexpr std::size_t kKeysPerQuery = 1000;

std::string KeyList(const std::vector<std::string>& keys, std::size_t from, std::size_t to) {
    std::string list;
    for (std::size_t k = from; k < to; ++k) {
        list += (k == from ? "'" : ",'") + QuoteText(keys[k]) + "'";
    }
    return list;
}

// The orders whose order number or purchase order number is one of the keys.
std::string FindOrdersQuery(const std::vector<std::string>& keys, std::size_t from,
                            std::size_t to) {
    const std::string list = KeyList(keys, from, to);
    return Gbk("select ID,订单号,购买订单号,快递公司,运单号 from ") + Gbk(kOrderTable) +
           Gbk(" where 订单号 in (") + list + Gbk(") or 购买订单号 in (") + list + ")";
}

// Holds only while the order has neither courier nor waybill, as the ship
// action's test in the order list.
std::string ShipUpdate(const ShipOrder& order, const std::string& date) {
    return Gbk("update ") + Gbk(kOrderTable) + Gbk(" set 快递公司='") + QuoteText(order.courier) +
           Gbk("',运单号='") + QuoteText(order.waybill) + Gbk("',订单日期='") + QuoteText(date) +
           Gbk("' where ID=") + IntegerToText(order.id) + Gbk(" and 快递公司='' and 运单号=''");
}

// Counts 1 once the first order of a batch is stored, for a team ledger
// asked after a commit whose answer was lost.
std::string ShipProof(const ShipOrder& order, const std::string& date) {
    return Gbk("select count(*) from ") + Gbk(kOrderTable) + Gbk(" where ID=") +
           IntegerToText(order.id) + Gbk(" and 快递公司='") + QuoteText(order.courier) +
           Gbk("' and 运单号='") + QuoteText(order.waybill) + Gbk("' and 订单日期='") +
           QuoteText(date) + "'";
}

void AddFound(std::vector<FoundOrder>& orders, const FoundOrder& order) {
    const bool known = std::any_of(orders.begin(), orders.end(),
                                   [&](const FoundOrder& o) { return o.id == order.id; });
    if (!known) orders.push_back(order);
}

std::string LineList(const std::vector<int>& lines, const char* separator) {
    std::string list;
    for (int line : lines) list += (list.empty() ? "" : separator) + std::to_string(line);
    return list;
}

}  // namespace

const char* ShipStateName(ShipState state) {
    switch (state) {
        case ShipState::Unreadable:
            return "无法读取";
        case ShipState::NotFound:
            return "找不到订单";
        case ShipState::SeveralOrders:
            return "对应多张订单";
        case ShipState::AlreadyShipped:
            return "已发货";
        case ShipState::Repeated:
            return "本批重复";
        case ShipState::NoWaybill:
            return "缺运单号";
        case ShipState::NoCourier:
            return "缺快递公司";
        case ShipState::Ready:
            break;
    }
    return "可发货";
}

Status FindShipOrders(DatabaseConnection& db, const std::vector<std::string>& keys,
                      ShipOrderIndex& index) {
    std::vector<std::string> missing;
    std::unordered_set<std::string> asked;
    for (const std::string& key : keys) {
        if (!key.empty() && !index.count(key) && asked.insert(key).second) missing.push_back(key);
    }
    for (std::size_t from = 0; from < missing.size(); from += kKeysPerQuery) {
        const std::size_t to = std::min(missing.size(), from + kKeysPerQuery);
        const std::int32_t set = db.OpenTable(FindOrdersQuery(missing, from, to));
        if (set == 0)
            return DatabaseFailure(db.LastError(), "无法读取订单：", "cannot read the orders: ");
        for (std::size_t k = from; k < to; ++k) index[missing[k]];
        for (db.MoveFirst(set); !db.IsEOF(set); db.MoveNext(set)) {
            FoundOrder order;
            order.id = TextToInteger64(ValueToText(db.ReadColByIndex(set, 1)));
            order.orderNumber = ValueToText(db.ReadColByIndex(set, 2));
            order.purchaseOrderNumber = ValueToText(db.ReadColByIndex(set, 3));
            order.courier = ValueToText(db.ReadColByIndex(set, 4));
            order.waybill = ValueToText(db.ReadColByIndex(set, 5));
            for (const std::string* number : {&order.orderNumber, &order.purchaseOrderNumber}) {
                if (const auto key = index.find(*number); key != index.end()) {
                    AddFound(key->second, order);
                }
            }
        }
        db.CloseResultSets();
    }
    return Status::Ok();
}

std::vector<ShipMatch> JudgeShipLines(const std::vector<ShipLine>& lines,
                                      const ShipOrderIndex& index) {
    std::vector<ShipMatch> matches;
    matches.reserve(lines.size());
    std::unordered_set<std::int64_t> named;  // orders an earlier line names
    for (const ShipLine& line : lines) {
        ShipMatch match;
        const auto found = index.find(line.key);
        const std::size_t orders = found == index.end() ? 0 : found->second.size();
        if (orders == 1) match.order = found->second.front();
        if (line.unreadable) {
            match.state = ShipState::Unreadable;
        } else if (orders == 0) {
            match.state = ShipState::NotFound;
        } else if (orders > 1) {
            match.state = ShipState::SeveralOrders;
        } else if (!match.order.courier.empty() || !match.order.waybill.empty()) {
            match.state = ShipState::AlreadyShipped;
        } else if (line.waybill.empty()) {
            // A line without a waybill claims no order, so a later line may.
            match.state = ShipState::NoWaybill;
        } else if (!named.insert(match.order.id).second) {
            match.state = ShipState::Repeated;
        } else if (line.courier.empty()) {
            match.state = ShipState::NoCourier;
        } else {
            match.state = ShipState::Ready;
        }
        matches.push_back(std::move(match));
    }
    return matches;
}

Status MatchShipLines(DatabaseConnection& db, const std::vector<ShipLine>& lines,
                      std::vector<ShipMatch>& matches) {
    std::vector<std::string> keys;
    keys.reserve(lines.size());
    for (const ShipLine& line : lines) keys.push_back(line.key);
    ShipOrderIndex index;
    if (Status found = FindShipOrders(db, keys, index); !found.ok()) return found;
    matches = JudgeShipLines(lines, index);
    return Status::Ok();
}

std::vector<ShipOrder> ReadyOrders(const std::vector<ShipLine>& lines,
                                   const std::vector<ShipMatch>& matches) {
    std::vector<ShipOrder> orders;
    for (std::size_t i = 0; i < lines.size() && i < matches.size(); ++i) {
        if (matches[i].state != ShipState::Ready) continue;
        orders.push_back(
            {lines[i].number, matches[i].order.id, lines[i].courier, lines[i].waybill});
    }
    return orders;
}

std::string ShipCountsText(const std::vector<ShipMatch>& matches) {
    std::map<ShipState, int> counts;
    for (const ShipMatch& match : matches) ++counts[match.state];
    std::string text = "共 " + std::to_string(matches.size()) + " 行";
    const char* separator = "：";
    for (auto state = counts.rbegin(); state != counts.rend(); ++state) {
        text += separator + std::string(ShipStateName(state->first)) + " " +
                std::to_string(state->second) + " 行";
        separator = "，";
    }
    return text;
}

std::string ShipDate() { return TodaysOrderDate(); }

Status ShipOrdersWithin(DatabaseConnection& db, const std::vector<ShipOrder>& orders,
                        const std::string& date, std::vector<int>& refusedLines) {
    refusedLines.clear();
    for (const ShipOrder& order : orders) {
        if (!db.ExecuteSql(ShipUpdate(order, date))) {
            return DatabaseFailure(db.LastError(), "无法发货，全部未发货：",
                                   "cannot ship, nothing was shipped: ");
        }
        if (db.RowsAffected() != 1) refusedLines.push_back(order.line);
    }
    if (refusedLines.empty()) return Status::Ok();
    return Status::Failure(
        "第 " + LineList(refusedLines, "、") + " 行的订单已经发货或已被删除，全部未发货",
        "the orders of lines " + LineList(refusedLines, ", ") +
            " were shipped or deleted meanwhile; nothing was shipped");
}

Status ShipOrders(DatabaseConnection& db, const std::vector<ShipOrder>& orders,
                  const std::string& date, std::vector<int>& refusedLines) {
    refusedLines.clear();
    if (orders.empty()) return Status::Ok();
    if (!db.ExecuteSql("begin"))
        return DatabaseFailure(db.LastError(), "无法发货：", "cannot ship: ");
    if (db.OnServer()) db.ProveCommitBy(ShipProof(orders.front(), date));
    if (Status shipped = ShipOrdersWithin(db, orders, date, refusedLines); !shipped.ok()) {
        db.ExecuteSql("rollback");
        return shipped;
    }
    if (!db.ExecuteSql("commit") && db.LastCommitFate() != CommitFate::Stored) {
        return DatabaseFailure(db.LastError(), "发货未能保存：", "the shipment was not stored: ");
    }
    return Status::Ok();
}
