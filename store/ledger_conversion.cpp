#include "store/ledger_conversion.h"

#include <algorithm>
#include <memory>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database.h"
#include "store/sqlite_file.h"
#include "store/table_copy.h"

namespace {

// The designed statements of the program: the users and the order list
// without conditions.
std::string AllUsersStatement() { return std::string("select * from ") + kUserTable; }
std::string AllOrdersStatement() {
    return Gbk(std::string("select * from ") + kOrderTable + " where 1=1  order by 订单日期 desc");
}

// The new ledger's rows are written and read back as a copy onto a server
// writes and reads them: with their IDs, in ID order.
std::string InsertStatement(const TableCopy& copy) {
    std::string marks;
    for (int i = 1; i <= copy.columns; ++i) marks += (i > 1 ? ",?" : "(?") + std::to_string(i);
    return copy.insertHead + marks + ")";
}

Status Failure(const SqliteDatabase& db, const std::string& what) {
    const std::string reason = db.Error();
    return Status::Failure(what + "：" + reason, what + ": " + reason);
}

Status Difference(const std::string& chinese, const std::string& english) {
    return Status::Failure("新账本与原账本不一致：" + chinese,
                           "the new ledger differs from the old one: " + english);
}

}  // namespace

Status ReadLedgerForConversion(const std::string& path, LedgerContents& contents) {
    DatabaseConnection db;
    if (!db.OpenMdbFile(path)) {
        return Status::Failure("无法打开原账本：" + GbkToUtf8(db.LastError()),
                               "cannot open the old ledger: " + GbkToUtf8(db.LastError()));
    }
    const auto readFailure = [&](const char* what) {
        return Status::Failure(
            std::string("无法读取原账本的") + what + "：" + GbkToUtf8(db.LastError()),
            std::string("cannot read the old ledger's ") + what + ": " + GbkToUtf8(db.LastError()));
    };
    contents = {};
    const std::int32_t users = db.OpenTable(AllUsersStatement());
    if (users == 0) return readFailure("用户");
    for (db.MoveFirst(users); !db.IsEOF(users); db.MoveNext(users)) {
        ConvertedUser user;
        user.id = std::stoll("0" + ValueToText(db.ReadColByName(users, "ID")));
        user.name = GbkToUtf8(ValueToText(db.ReadColByName(users, "username")));
        user.password = GbkToUtf8(ValueToText(db.ReadColByName(users, "password")));
        contents.users.push_back(std::move(user));
    }
    const std::int32_t orders = db.OpenTable(AllOrdersStatement());
    if (orders == 0) return readFailure("订单");
    for (db.MoveFirst(orders); !db.IsEOF(orders); db.MoveNext(orders)) {
        ConvertedOrder order;
        order.id = std::stoll("0" + ValueToText(db.ReadColByName(orders, "ID")));
        for (std::size_t i = 0; i < kOrderTextColumnCount; ++i) {
            order.texts[i] =
                GbkToUtf8(ValueToText(db.ReadColByName(orders, Gbk(kOrderTextColumnNames[i]))));
        }
        contents.orders.push_back(std::move(order));
    }
    return Status::Ok();
}

Status WriteConvertedLedger(const std::string& path, const LedgerContents& contents) {
    SqliteDatabase db;
    if (!db.Open(path, SqliteOpen::Create)) return Failure(db, "无法打开新账本 " + path);
    if (!db.Exec("pragma journal_mode=delete; begin;" + LedgerSchema())) {
        return Failure(db, "无法建立新账本");
    }
    {
        SqliteStatement user(db, InsertStatement(UserTableCopy()));
        SqliteStatement order(db, InsertStatement(OrderTableCopy()));
        if (!user.Prepared() || !order.Prepared()) return Failure(db, "新账本的语句出错");
        for (const ConvertedUser& u : contents.users) {
            const std::string id = std::to_string(u.id);
            user.Reset();
            user.Bind(1, id);
            user.Bind(2, u.name);
            user.Bind(3, u.password);
            if (user.Next() != SqliteStatement::Step::Done) {
                return Failure(db, "无法写入用户 " + u.name);
            }
        }
        for (const ConvertedOrder& o : contents.orders) {
            const std::string id = std::to_string(o.id);
            order.Reset();
            order.Bind(1, id);
            for (std::size_t i = 0; i < kOrderTextColumnCount; ++i) {
                order.Bind(static_cast<int>(i) + 2, o.texts[i]);
            }
            if (order.Next() != SqliteStatement::Step::Done) {
                return Failure(db, "无法写入订单 " + id);
            }
        }
    }
    if (!db.Exec("commit")) return Failure(db, "无法保存新账本");
    return Status::Ok();
}

Status CompareConvertedLedger(const std::string& path, const LedgerContents& contents) {
    SqliteDatabase db;
    if (!db.Open(path, SqliteOpen::ReadOnly)) return Failure(db, "无法打开新账本 " + path);
    // The old ledger's rows in ID order, as the new one is read.
    std::vector<const ConvertedUser*> users;
    for (const ConvertedUser& u : contents.users) users.push_back(&u);
    std::sort(users.begin(), users.end(), [](auto* a, auto* b) { return a->id < b->id; });
    std::vector<const ConvertedOrder*> orders;
    for (const ConvertedOrder& o : contents.orders) orders.push_back(&o);
    std::sort(orders.begin(), orders.end(), [](auto* a, auto* b) { return a->id < b->id; });

    SqliteStatement userRows(db, UserTableCopy().query);
    if (!userRows.Prepared()) return Failure(db, "无法读取新账本");
    std::size_t count = 0;
    SqliteStatement::Step step;
    while ((step = userRows.Next()) == SqliteStatement::Step::Row) {
        if (count >= users.size()) return Difference("用户数", "the number of users");
        const ConvertedUser& u = *users[count++];
        if (userRows.Integer(0) != u.id || userRows.Text(1) != u.name ||
            userRows.Text(2) != u.password) {
            return Difference("用户 " + u.name, "user " + u.name);
        }
    }
    if (step != SqliteStatement::Step::Done) return Failure(db, "无法读取新账本");
    if (count != users.size()) return Difference("用户数", "the number of users");
    SqliteStatement orderRows(db, OrderTableCopy().query);
    if (!orderRows.Prepared()) return Failure(db, "无法读取新账本");
    count = 0;
    while ((step = orderRows.Next()) == SqliteStatement::Step::Row) {
        if (count >= orders.size()) return Difference("订单数", "the number of orders");
        const ConvertedOrder& o = *orders[count++];
        bool same = orderRows.Integer(0) == o.id;
        for (std::size_t i = 0; same && i < kOrderTextColumnCount; ++i) {
            same = orderRows.Text(static_cast<int>(i) + 1) == o.texts[i];
        }
        if (!same) {
            return Difference("订单 ID " + std::to_string(o.id),
                              "order ID " + std::to_string(o.id));
        }
    }
    if (step != SqliteStatement::Step::Done) return Failure(db, "无法读取新账本");
    if (count != orders.size()) return Difference("订单数", "the number of orders");
    return Status::Ok();
}
