#include "store/ledger_schema.h"

#include "common/text_encoding.h"

namespace {

std::string Comma(std::size_t) { return ","; }

// The column definitions shared by the order table and the bin; every text
// is stored, never NULL.
std::string OrderColumnDefinitions() {
    return JoinOrderColumns("", " text not null default ''",
                            [](std::size_t i) { return i % 2 == 0 ? ", " : ","; });
}

}  // namespace

std::string JoinOrderColumns(const std::string& before, const std::string& after,
                             const std::function<std::string(std::size_t)>& separator) {
    std::string text;
    for (std::size_t i = 0; i < kOrderTextColumnCount; ++i) {
        if (i > 0) text += separator(i - 1);
        text += before + kOrderTextColumnNames[i] + after;
    }
    return text;
}

const std::string& OrderTextColumns() {
    static const std::string columns = JoinOrderColumns("", "", Comma);
    return columns;
}

const std::array<OrderColumn, kOrderTextColumnCount + 1>& OrderListColumns() {
    // The list shows the money columns before the date and the purchase.
    struct Shown {
        const char* name;
        int width;
    };
    static constexpr Shown kShown[] = {
        {"ID", 1},        {"卖家账号", 72}, {"订单号", 57},     {"快递公司", 72}, {"运单号", 57},
        {"商品名称", 72}, {"售价", 45},     {"进价", 45},       {"佣金", 45},     {"利润", 45},
        {"订单日期", 70}, {"购买账号", 72}, {"购买订单号", 72}, {"收货信息", 72}, {"备注", 45},
    };
    static const std::array<OrderColumn, kOrderTextColumnCount + 1> columns = [] {
        std::array<OrderColumn, kOrderTextColumnCount + 1> made;
        for (std::size_t c = 0; c < made.size(); ++c)
            made[c] = {Gbk(kShown[c].name), kShown[c].width};
        return made;
    }();
    return columns;
}

std::string UserTableSchema() {
    return "\ncreate table sysuser(\n"
           "    ID integer primary key autoincrement,\n"
           "    username text collate nocase,\n"
           "    password text collate nocase);\n";
}

std::string OrderTableSchema() {
    return "\ncreate table 订单列表(\n"
           "    ID integer primary key autoincrement,\n" +
           OrderColumnDefinitions() +
           ");\n"
           "create index 订单列表_订单日期 on 订单列表(订单日期);\n";
}

std::string RecycleBinSchema() {
    return "\ncreate table 回收站(\n"
           "    编号 integer primary key autoincrement,\n"
           "    删除时间 text not null default '',\n"
           "    ID integer,\n" +
           OrderColumnDefinitions() + ");\n";
}

// Plain SQL on purpose: one insert of the old row's values, easy to mirror on
// another engine.
std::string RecycleBinTrigger() {
    const auto oldValues = JoinOrderColumns("old.", "", [](std::size_t i) {
        return i == 5 ? std::string(",\n        ") : std::string(",");
    });
    return "\ncreate trigger 订单列表_放入回收站 after delete on 订单列表\n"
           "begin\n"
           "    insert into 回收站(删除时间,ID," +
           OrderTextColumns() +
           ")\n"
           "    values(strftime('%Y-%m-%d %H:%M:%S','now','localtime'),old.ID,\n        " +
           oldValues + ");\nend;\n";
}

std::string LedgerSchema() {
    return UserTableSchema() + OrderTableSchema() + RecycleBinSchema() + RecycleBinTrigger();
}
