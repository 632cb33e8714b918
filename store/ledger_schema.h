#pragma once
// The ledger's schema in one place: the table names, the fourteen order
// columns in storage order, the order list's columns, every create
// statement and index, and the statements on the recycle bin that both the
// program and tallovar-admin run. A user's ledger, the test ledger and the
// team ledger on the server are all made from what stands here. Texts are
// UTF-8 (the program converts them with Gbk()), except where said.
//
// The bin 回收站 holds every deleted order: its number 编号 (newest highest),
// the time of deletion 删除时间 (local, "YYYY-MM-DD HH:MM:SS"), the order's ID
// and its fourteen texts. A trigger fills it in the same transaction as the
// delete, so the designed delete statement stays as it is.

#include <array>
#include <cstddef>
#include <functional>
#include <string>

inline constexpr const char* kUserTable = "sysuser";
inline constexpr const char* kOrderTable = "订单列表";
inline constexpr const char* kRecycleBinTable = "回收站";
inline constexpr const char* kRecycleBinTriggerName = "订单列表_放入回收站";

// The fourteen text columns of an order in storage order (after ID).
inline constexpr std::size_t kOrderTextColumnCount = 14;
inline constexpr std::array<const char*, kOrderTextColumnCount> kOrderTextColumnNames = {
    "卖家账号",   "订单号",   "快递公司", "运单号", "订单日期", "商品名称", "购买账号",
    "购买订单号", "收货信息", "售价",     "进价",   "佣金",     "利润",     "备注"};

// The fourteen names, each between before and after, separated by what
// separator answers for the index of the name it follows.
std::string JoinOrderColumns(const std::string& before, const std::string& after,
                             const std::function<std::string(std::size_t)>& separator);
// The fourteen names comma-separated: "卖家账号,订单号,...,备注".
const std::string& OrderTextColumns();

// The order list's columns: header (also the field read; GBK), width in
// pixels. ID first, then the texts in the list's own order.
struct OrderColumn {
    std::string name;
    int width;
};
const std::array<OrderColumn, kOrderTextColumnCount + 1>& OrderListColumns();

// Every table, index and trigger of a new ledger, in one script.
std::string LedgerSchema();
// sysuser with names and passwords compared without regard to ASCII letter
// case, as the sign-in's where clause compares them.
std::string UserTableSchema();
std::string OrderTableSchema();  // the table and its date index
std::string RecycleBinSchema();
std::string RecycleBinTrigger();
