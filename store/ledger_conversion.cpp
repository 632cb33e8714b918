#include "store/ledger_conversion.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/admin_statements.h"
#include "store/database.h"

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

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinishStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinishStatement>;

Status SqliteFailure(sqlite3* db, const std::string& what) {
    const std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
    return Status::Failure(what + "：" + reason, what + ": " + reason);
}

Status Open(const std::string& path, int flags, Database& db) {
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    db.reset(handle);
    if (rc != SQLITE_OK) return SqliteFailure(handle, "无法打开新账本 " + path);
    sqlite3_busy_timeout(handle, 2500);
    return Status::Ok();
}

Status Prepare(sqlite3* db, const std::string& text, Statement& statement) {
    sqlite3_stmt* handle = nullptr;
    if (sqlite3_prepare_v2(db, text.c_str(), -1, &handle, nullptr) != SQLITE_OK) {
        return SqliteFailure(db, "新账本的语句出错");
    }
    statement.reset(handle);
    return Status::Ok();
}

std::string Column(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                : std::string();
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
    Database db;
    if (Status opened = Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, db); !opened.ok()) {
        return opened;
    }
    const std::string script =
        "pragma journal_mode=delete; pragma synchronous=extra; begin;" + LedgerSchema();
    if (sqlite3_exec(db.get(), script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        return SqliteFailure(db.get(), "无法建立新账本");
    }
    Statement user, order;
    if (Status s = Prepare(db.get(), InsertStatement(UserTableCopy()), user); !s.ok()) return s;
    if (Status s = Prepare(db.get(), InsertStatement(OrderTableCopy()), order); !s.ok()) return s;
    for (const ConvertedUser& u : contents.users) {
        sqlite3_reset(user.get());
        sqlite3_bind_int64(user.get(), 1, u.id);
        sqlite3_bind_text(user.get(), 2, u.name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(user.get(), 3, u.password.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(user.get()) != SQLITE_DONE) {
            return SqliteFailure(db.get(), "无法写入用户 " + u.name);
        }
    }
    for (const ConvertedOrder& o : contents.orders) {
        sqlite3_reset(order.get());
        sqlite3_bind_int64(order.get(), 1, o.id);
        for (std::size_t i = 0; i < kOrderTextColumnCount; ++i) {
            sqlite3_bind_text(order.get(), static_cast<int>(i) + 2, o.texts[i].c_str(), -1,
                              SQLITE_TRANSIENT);
        }
        if (sqlite3_step(order.get()) != SQLITE_DONE) {
            return SqliteFailure(db.get(), "无法写入订单 " + std::to_string(o.id));
        }
    }
    user.reset();
    order.reset();
    if (sqlite3_exec(db.get(), "commit", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return SqliteFailure(db.get(), "无法保存新账本");
    }
    return Status::Ok();
}

Status CompareConvertedLedger(const std::string& path, const LedgerContents& contents) {
    Database db;
    if (Status opened = Open(path, SQLITE_OPEN_READONLY, db); !opened.ok()) return opened;
    // The old ledger's rows in ID order, as the new one is read.
    std::vector<const ConvertedUser*> users;
    for (const ConvertedUser& u : contents.users) users.push_back(&u);
    std::sort(users.begin(), users.end(), [](auto* a, auto* b) { return a->id < b->id; });
    std::vector<const ConvertedOrder*> orders;
    for (const ConvertedOrder& o : contents.orders) orders.push_back(&o);
    std::sort(orders.begin(), orders.end(), [](auto* a, auto* b) { return a->id < b->id; });

    Statement read;
    if (Status s = Prepare(db.get(), UserTableCopy().query, read); !s.ok()) return s;
    std::size_t count = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
        if (count >= users.size()) return Difference("用户数", "the number of users");
        const ConvertedUser& u = *users[count++];
        if (sqlite3_column_int64(read.get(), 0) != u.id || Column(read.get(), 1) != u.name ||
            Column(read.get(), 2) != u.password) {
            return Difference("用户 " + u.name, "user " + u.name);
        }
    }
    if (rc != SQLITE_DONE) return SqliteFailure(db.get(), "无法读取新账本");
    if (count != users.size()) return Difference("用户数", "the number of users");
    if (Status s = Prepare(db.get(), OrderTableCopy().query, read); !s.ok()) return s;
    count = 0;
    while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
        if (count >= orders.size()) return Difference("订单数", "the number of orders");
        const ConvertedOrder& o = *orders[count++];
        bool same = sqlite3_column_int64(read.get(), 0) == o.id;
        for (std::size_t i = 0; same && i < kOrderTextColumnCount; ++i) {
            same = Column(read.get(), static_cast<int>(i) + 1) == o.texts[i];
        }
        if (!same) {
            return Difference("订单 ID " + std::to_string(o.id),
                              "order ID " + std::to_string(o.id));
        }
    }
    if (rc != SQLITE_DONE) return SqliteFailure(db.get(), "无法读取新账本");
    if (count != orders.size()) return Difference("订单数", "the number of orders");
    return Status::Ok();
}
