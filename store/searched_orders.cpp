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
    const auto failed = [&db] {
        const std::string reason = GbkToUtf8(db.LastError());
        return Status::Failure("无法读取账本：" + reason, "cannot read the ledger: " + reason);
    };
    if (!db.ExecuteSql("begin")) return failed();
    const std::int32_t list = db.OpenTable(statements.list);
    const bool read = list != 0 && ReadOrderTotals(db, statements, totals);
    const Status status = read ? Status::Ok() : failed();
    db.ExecuteSql("rollback");
    if (!status.ok()) return status;

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
