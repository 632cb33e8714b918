#pragma once
// Every statement the program sends about orders and users, built here and
// nowhere else: the sign-in, the order list with its count and totals (from
// the nine search texts and a filter keyword), loading one order, storing a
// new one, storing changes, deleting one, and the month summary's. The
// windows and tallovar-admin call these. Texts are GBK.

#include <array>
#include <cstdint>
#include <string>

class DatabaseConnection;

// The sign-in's question: a row for the name and password typed (quotes
// doubled, so each is looked up as itself).
std::string SignInQuery(const std::string& name, const std::string& password);

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

// The search's orders grouped by date text, with their count and the totals
// of the four money columns; with names, by seller account and express
// company too.
std::string SummaryQuery(const OrderSearchTexts& inputs, const std::string& filter, bool withNames);

// The fourteen order texts in storage order (store/ledger_schema.h).
using OrderTexts = std::array<std::string, 14>;

std::string LoadOrderQuery(std::int64_t id);
std::string InsertOrderStatement(const OrderTexts& values);
std::string UpdateOrderStatement(const OrderTexts& values, std::int64_t id);
// The id as the order list shows it (digits only).
std::string DeleteOrderStatement(const std::string& shownId);

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

// Runs the list statement into listSet and reads the count and totals. On
// the file ledger, under this machine's SQLite driver, the two run on a
// second connection to the file while the list's rows are read, so the list
// does not wait for them; elsewhere, and should that fail, they run on db
// after the list, so a failure is db's LastError(). False when the database
// rejects any of the three.
bool ReadOrdersAndTotals(DatabaseConnection& db, const OrderStatements& statements,
                         std::int32_t& listSet, OrderTotals& totals);

// The totals line as the main window shows it in 标签10:
// "记录：当前有<count>单  总售价：<sum>元  总进价：..." (GBK).
std::string OrderTotalsLine(const OrderTotals& totals);
