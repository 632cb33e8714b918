#include "store/order_statements.h"

#include <thread>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "platform/odbc_driver.h"
#include "store/database.h"
#include "store/ledger_schema.h"
#include "store/order_words.h"

namespace {

struct SearchCondition {
    int input;  // index into the nine search texts
    const char* opening;
};

// The order in which the conditions are appended; delivery information comes
// before the two purchase fields.
constexpr SearchCondition kSearchConditions[] = {
    {0, " and 卖家账号 like '%"}, {1, " and 订单号 like '%"},     {2, " and 快递公司 like '%"},
    {3, " and 运单号 like '%"},   {4, " and 商品名称 like '%"},   {7, " and 收货信息 like '%"},
    {5, " and 购买账号 like '%"}, {6, " and 购买订单号 like '%"}, {8, " and 备注 like '%"},
};

// head, the order table, then tail (GBK).
std::string OnOrders(const char* head, const char* tail) {
    return Gbk(std::string(head) + kOrderTable + tail);
}

}  // namespace

std::string SignInQuery(const std::string& name, const std::string& password) {
    return std::string("select * from ") + kUserTable + " where username='" + QuoteText(name) +
           "' and password='" + QuoteText(password) + "'";
}

std::string OrderConditions(const OrderSearchTexts& inputs, const std::string& filter) {
    static const std::string waitingKeyword = Gbk(kWaitingFilter);
    static const std::string problemKeyword = Gbk(kProblemFilter);
    static const std::string waitingCondition = Gbk(" and 快递公司 =''and 运单号 ='' ");
    static const std::string problemCondition = Gbk(" and 备注 like '%问题%' ");

    std::string conditions;
    if (filter == waitingKeyword) {
        conditions += waitingCondition;
    } else if (filter == problemKeyword) {
        conditions += problemCondition;
    }
    for (const SearchCondition& condition : kSearchConditions) {
        const std::string& text = inputs[condition.input];
        if (text.empty()) continue;
        conditions += Gbk(condition.opening);
        conditions += QuoteText(text);
        conditions += "%'";
    }

    return conditions;
}

OrderStatements BuildOrderStatements(const OrderSearchTexts& inputs, const std::string& filter) {
    const std::string conditions = OrderConditions(inputs, filter);
    OrderStatements statements;
    statements.list =
        OnOrders("select * from ", " where 1=1 ") + conditions + Gbk(" order by 订单日期 desc");
    statements.count = OnOrders("select count(*) from ", " where 1=1") + conditions;
    statements.totals =
        OnOrders("select sum(售价),sum(进价),sum(佣金),sum(利润) from ", " where 1=1") + conditions;
    return statements;
}

// total() reads each text as sum() does and always answers a floating point
// number; the driver types a column by what it holds, and sum() would answer
// an integer for a group of whole amounts. The grouping never starts with the
// bare date, so the table is read in one pass instead of through the date
// index a row at a time; without the names, half as much is sorted.
std::string SummaryQuery(const OrderSearchTexts& inputs, const std::string& filter,
                         bool withNames) {
    return Gbk(withNames ? "select 订单日期,卖家账号,快递公司," : "select 订单日期,'','',") +
           OnOrders("count(*),total(售价),total(进价),total(佣金),total(利润) from ",
                    " where 1=1") +
           OrderConditions(inputs, filter) +
           Gbk(withNames ? " group by 卖家账号,快递公司,订单日期" : " group by 订单日期||''");
}

std::string LoadOrderQuery(std::int64_t id) {
    return OnOrders("select * from ", " where id=") + IntegerToText(id);
}

std::string InsertOrderStatement(const OrderTexts& values) {
    std::string statement =
        Gbk(std::string("insert into ") + kOrderTable + "(" + OrderTextColumns() + ") values('");
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) statement += "','";
        statement += QuoteText(values[i]);
    }
    return statement + "')";
}

std::string UpdateOrderStatement(const OrderTexts& values, std::int64_t id) {
    std::string statement = OnOrders("update ", " set ");
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) statement += "',";
        statement += Gbk(kOrderTextColumnNames[i]) + "='" + QuoteText(values[i]);
    }
    return statement + "' where id=" + IntegerToText(id);
}

std::string DeleteOrderStatement(const std::string& shownId) {
    return OnOrders("delete from ", " where id=") + shownId;
}

bool ReadOrderTotals(DatabaseConnection& db, const OrderStatements& statements,
                     OrderTotals& totals) {
    const std::int32_t countSet = db.OpenTable(statements.count);
    if (countSet == 0) return false;
    totals.count = NumberToInteger(db.ReadColByIndex(countSet, 1));

    const std::int32_t totalsSet = db.OpenTable(statements.totals);
    if (totalsSet == 0) return false;
    for (int i = 0; i < 4; ++i) totals.sums[i] = ValueToText(db.ReadColByIndex(totalsSet, i + 1));
    return true;
}

bool ReadOrdersAndTotals(DatabaseConnection& db, const OrderStatements& statements,
                         std::int32_t& listSet, OrderTotals& totals) {
    // Windows' own driver is left to one connection at a time.
    const std::string file = DriverIsHostSqlite() ? db.FilePath() : std::string();
    bool readBeside = false;
    std::thread beside;
    listSet = db.OpenTable(statements.list, [&] {
        if (file.empty()) return;
        beside = std::thread([&] {
            DatabaseConnection second;
            readBeside = second.OpenMdbFile(file) && ReadOrderTotals(second, statements, totals);
        });
    });
    if (beside.joinable()) beside.join();
    if (listSet == 0) return false;
    return readBeside || ReadOrderTotals(db, statements, totals);
}

std::string OrderTotalsLine(const OrderTotals& totals) {
    std::string line = Gbk(kTotalsLineStart) + IntegerToText(totals.count);
    static const char* const pieces[] = {"单  总售价：", "元  总进价：", "元  总佣金：",
                                         "元  总利润："};
    for (int i = 0; i < 4; ++i) line += Gbk(pieces[i]) + totals.sums[i];
    return line + Gbk("元");
}
