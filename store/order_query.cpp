#include "store/order_query.h"

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database.h"
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

}  // namespace

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
        Gbk("select * from 订单列表 where 1=1 ") + conditions + Gbk(" order by 订单日期 desc");
    statements.count = Gbk("select count(*) from 订单列表 where 1=1") + conditions;
    statements.totals =
        Gbk("select sum(售价),sum(进价),sum(佣金),sum(利润) from 订单列表 where 1=1") + conditions;
    return statements;
}

const std::array<OrderColumn, 15>& OrderListColumns() {
    static const std::array<OrderColumn, 15> columns = {{
        {"ID", 1},
        {Gbk("卖家账号"), 72},
        {Gbk("订单号"), 57},
        {Gbk("快递公司"), 72},
        {Gbk("运单号"), 57},
        {Gbk("商品名称"), 72},
        {Gbk("售价"), 45},
        {Gbk("进价"), 45},
        {Gbk("佣金"), 45},
        {Gbk("利润"), 45},
        {Gbk("订单日期"), 70},
        {Gbk("购买账号"), 72},
        {Gbk("购买订单号"), 72},
        {Gbk("收货信息"), 72},
        {Gbk("备注"), 45},
    }};
    return columns;
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

std::string OrderTotalsLine(const OrderTotals& totals) {
    std::string line = Gbk(kTotalsLineStart) + IntegerToText(totals.count);
    static const char* const pieces[] = {"单  总售价：", "元  总进价：", "元  总佣金：",
                                         "元  总利润："};
    for (int i = 0; i < 4; ++i) line += Gbk(pieces[i]) + totals.sums[i];
    return line + Gbk("元");
}
