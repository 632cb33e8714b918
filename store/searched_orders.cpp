#include "store/searched_orders.h"

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database.h"
#include "store/ledger_schema.h"

Status ReadSearchedOrders(DatabaseConnection& db, const OrderSearchTexts& inputs,
                          const std::string& filter,
                          const std::function<void(const std::vector<std::string>&)>& order,
                          OrderTotals& totals) {
    const OrderStatements statements = BuildOrderStatements(inputs, filter);
    std::int32_t list = 0;
    if (!ReadOrdersAndTotals(db, statements, list, totals)) {
        const std::string reason = GbkToUtf8(db.LastError());
        return Status::Failure("无法读取账本：" + reason, "cannot read the ledger: " + reason);
    }

    const auto& columns = OrderListColumns();
    std::vector<std::string> cells(columns.size());
    for (db.MoveFirst(list); !db.IsEOF(list); db.MoveNext(list)) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            cells[c] = ValueToText(db.ReadColByName(list, columns[c].name));
        }
        order(cells);
    }
    return Status::Ok();
}
