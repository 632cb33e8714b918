#include "store/table_copy.h"

#include "store/ledger_schema.h"

namespace {

const std::string& OrderIdAndTexts() {
    static const std::string columns = "ID," + OrderTextColumns();
    return columns;
}

}  // namespace

TableCopy UserTableCopy() {
    return {"select ID, username, password from sysuser order by ID",
            "insert into sysuser(id,username,password) values", 3};
}

TableCopy OrderTableCopy() {
    return {"select " + OrderIdAndTexts() + " from 订单列表 order by ID",
            "insert into 订单列表(" + OrderIdAndTexts() + ") values",
            static_cast<int>(kOrderTextColumnCount) + 1};
}

TableCopy RecycleBinCopy() {
    const std::string columns = "编号,删除时间," + OrderIdAndTexts();
    return {"select " + columns + " from 回收站 order by 编号",
            "insert into 回收站(" + columns + ") values",
            static_cast<int>(kOrderTextColumnCount) + 3};
}
