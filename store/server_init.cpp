#include "store/server_init.h"

#include <string>
#include <vector>

#include "store/ledger_file.h"
#include "store/ledger_schema.h"
#include "store/recycle_bin.h"
#include "store/server_ledger.h"
#include "store/server_schema.h"
#include "store/server_session.h"
#include "store/sqlite_file.h"
#include "store/table_copy.h"
#include "store/users.h"

namespace {

// Rows sent in one insert statement: few round trips, statements of a
// modest size.
constexpr int kRowsPerInsert = 200;

// Copies every row of a query on the file into a table of the server, ids
// included: the first column is the id, the others are texts.
Status CopyRows(SqliteDatabase& file, ServerSession& server, const TableCopy& table, long& copied) {
    SqliteStatement rows(file, table.query);
    if (!rows.Prepared()) return Status::Untranslated(file.Error());
    std::string values;
    int pending = 0;
    const auto flush = [&]() {
        if (pending == 0) return true;
        const bool stored = server.Exec(table.insertHead + values);
        values.clear();
        pending = 0;
        return stored;
    };
    SqliteStatement::Step step;
    while ((step = rows.Next()) == SqliteStatement::Step::Row) {
        values += pending == 0 ? "(" : ",(";
        values += std::to_string(rows.Integer(0));
        for (int c = 1; c < table.columns; ++c) values += "," + ServerLiteral(rows.Text(c));
        values += ")";
        ++copied;
        if (++pending == kRowsPerInsert && !flush()) return Status::Untranslated(server.Error());
    }
    if (step != SqliteStatement::Step::Done) return Status::Untranslated(file.Error());
    return flush() ? Status::Ok() : Status::Untranslated(server.Error());
}

// The recycle bin of a file that has one, every entry under its number.
Status CopyBin(SqliteDatabase& file, ServerSession& server) {
    if (file.QueryText(RecycleBinExistsQuery()) != "1") return Status::Ok();
    long entries = 0;
    return CopyRows(file, server, RecycleBinCopy(), entries);
}

// Users and orders of a checked ledger file, onto the server.
Status MoveFileLedger(const std::string& path, ServerSession& server, long& users, long& orders) {
    SqliteDatabase file;
    if (!file.Open(path, SqliteOpen::ReadOnly)) return Status::Untranslated(file.Error());
    if (const Status checked = CheckLedger(file); !checked.ok())
        return Status::Untranslated(checked.Lines());
    // One read transaction: users and orders of the same moment.
    if (!file.Exec("begin")) return Status::Untranslated(file.Error());
    Status moved = CopyRows(file, server, UserTableCopy(), users);
    if (moved.ok()) moved = CopyRows(file, server, OrderTableCopy(), orders);
    if (moved.ok()) moved = CopyBin(file, server);
    return moved;
}

Status Refuse(const std::string& what, const std::string& error) {
    return Status::Failure("无法建立团队账本，未做任何改动：" + what + error,
                           "could not make the team ledger; nothing was changed: " + what + error);
}

}  // namespace

Status InitServerLedger(const std::string& connection, const std::string& user,
                        const std::string& password, const std::string& fromFile, long& users,
                        long& orders) {
    users = 0;
    orders = 0;
    ServerSession server;
    if (!server.Open(connection)) return Refuse("", server.Error());
    bool exists = false;
    if (!ServerLedgerExists(server, exists)) return Refuse("", server.Error());
    if (exists) {
        return Status::Failure(StatusKind::Exists, "这个数据库中已有账本，未做任何改动",
                               "this database already holds a ledger; nothing was changed");
    }
    std::string error;
    if (!server.Exec("begin") || !CreateServerSchema(server)) return Refuse("", server.Error());
    if (!fromFile.empty()) {
        if (const Status moved = MoveFileLedger(fromFile, server, users, orders); !moved.ok()) {
            server.Exec("rollback");
            return Refuse(fromFile + "：", moved.english);
        }
    }
    if (!user.empty() && !server.Exec(WithServerLiterals(AddUserStatement(), {user, password}))) {
        error = server.Error();
        server.Exec("rollback");
        return Refuse("", error);
    }
    users += user.empty() ? 0 : 1;
    if (!AdvanceServerIds(server) || !server.Exec("commit")) {
        error = server.Error();
        server.Exec("rollback");
        return Refuse("", error);
    }
    return Status::Ok();
}
