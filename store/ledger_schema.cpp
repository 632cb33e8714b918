#include "store/ledger_schema.h"

#define ORDER_TEXT_COLUMNS                                                                                               \
    "卖家账号,订单号,快递公司,运单号,订单日期,商品名称,购买账号,购买订单号,收货信息," \
    "售价,进价,佣金,利润,备注"

// The same columns with their types, for the order table and the bin.
#define ORDER_TEXT_COLUMN_DEFINITIONS                                                  \
    "卖家账号 text not null default '', 订单号 text not null default '',"       \
    "快递公司 text not null default '', 运单号 text not null default '',"       \
    "订单日期 text not null default '', 商品名称 text not null default '',"    \
    "购买账号 text not null default '', 购买订单号 text not null default ''," \
    "收货信息 text not null default '', 售价 text not null default '',"          \
    "进价 text not null default '', 佣金 text not null default '',"                \
    "利润 text not null default '', 备注 text not null default ''"

const char* const kOrderTextColumns = ORDER_TEXT_COLUMNS;

const char* const kUserTableSchema = R"sql(
create table sysuser(
    ID integer primary key autoincrement,
    username text collate nocase,
    password text collate nocase);
)sql";

const char* const kOrderTableSchema = R"sql(
create table 订单列表(
    ID integer primary key autoincrement,
)sql" ORDER_TEXT_COLUMN_DEFINITIONS R"sql();
create index 订单列表_订单日期 on 订单列表(订单日期);
)sql";

const char* const kRecycleBinSchema = R"sql(
create table 回收站(
    编号 integer primary key autoincrement,
    删除时间 text not null default '',
    ID integer,
)sql" ORDER_TEXT_COLUMN_DEFINITIONS R"sql();
)sql";

// Plain SQL on purpose: one insert of the old row's values, easy to mirror on
// another engine.
const char* const kRecycleBinTrigger = R"sql(
create trigger 订单列表_放入回收站 after delete on 订单列表
begin
    insert into 回收站(删除时间,ID,)sql" ORDER_TEXT_COLUMNS R"sql()
    values(strftime('%Y-%m-%d %H:%M:%S','now','localtime'),old.ID,
        old.卖家账号,old.订单号,old.快递公司,old.运单号,old.订单日期,old.商品名称,
        old.购买账号,old.购买订单号,old.收货信息,old.售价,old.进价,old.佣金,old.利润,old.备注);
end;
)sql";

const char* const kRecycleBinTable = "回收站";
const char* const kRecycleBinTriggerName = "订单列表_放入回收站";

const char* const kRecycleBinList =
    "select 编号,删除时间,ID," ORDER_TEXT_COLUMNS " from 回收站 order by 编号 desc";

std::string RestoreFromBinInsert(long long number) {
    return "insert into 订单列表(ID," ORDER_TEXT_COLUMNS
           ") select case when exists(select 1 from 订单列表 o where o.ID=b.ID) then null "
           "else b.ID end," ORDER_TEXT_COLUMNS " from 回收站 b where b.编号=" +
           std::to_string(number);
}

std::string RemoveFromBin(long long number) {
    return "delete from 回收站 where 编号=" + std::to_string(number);
}
