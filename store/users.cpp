#include "store/users.h"

#include "store/server_ledger.h"
#include "store/server_session.h"
#include "store/sqlite_file.h"

namespace {

// Users, newest last: ID and name. The server spells the id in lower case.
std::string UserListQuery() { return "select ID, username from sysuser order by ID"; }
std::string ServerUserListQuery() { return "select id, username from sysuser order by id"; }
// ?1 the name, ?2 the password.
std::string UserCountQuery() { return "select count(*) from sysuser where username = ?1"; }
std::string ChangePasswordStatement() {
    return "update sysuser set password = ?2 where username = ?1";
}
std::string RemoveUserStatement() { return "delete from sysuser where username = ?1"; }
// On a team ledger, keeps other administrators out of the user table until
// the transaction ends.
std::string LockUsersStatement() { return "lock table sysuser in exclusive mode"; }

Status ReadFailure(const std::string& error) {
    return Status::Failure(StatusKind::Io, "无法读取用户表：" + error, error);
}

Status BusyFailure(const std::string& error) {
    return Status::Failure(StatusKind::Busy, "账本正忙或无法写入：" + error, error);
}

Status ChangeFailure(const std::string& error) {
    return Status::Failure(StatusKind::Io, "无法修改用户表，未做任何改动：" + error,
                           "cannot change the user table; nothing was changed: " + error);
}

// Whether the change fits the users there are: a name added must be new, a
// name changed or removed must be there.
Status Fits(UserChange change, bool existing, const std::string& name) {
    if (change == UserChange::Add && existing) {
        return Status::Failure(StatusKind::Exists, "用户已存在，未做任何改动：" + name,
                               "the user already exists; nothing was changed: " + name);
    }
    if (change != UserChange::Add && !existing) {
        return Status::Failure(StatusKind::NotFound, "没有这个用户，未做任何改动：" + name,
                               "there is no such user; nothing was changed: " + name);
    }
    return Status::Ok();
}

const std::string& ChangeStatement(UserChange change) {
    static const std::string add = AddUserStatement();
    static const std::string password = ChangePasswordStatement();
    static const std::string remove = RemoveUserStatement();
    return change == UserChange::Add              ? add
           : change == UserChange::ChangePassword ? password
                                                  : remove;
}

Status OpenFile(SqliteDatabase& db, const std::string& path) {
    if (db.Open(path)) return Status::Ok();
    return Status::Failure(StatusKind::Io, "无法打开账本：" + db.Error(),
                           "cannot open the ledger: " + db.Error());
}

Status OpenServer(ServerSession& db, const std::string& server) {
    if (db.Open(server)) return Status::Ok();
    return Status::Failure(StatusKind::Io, "无法打开团队账本：" + db.Error(), db.Error());
}

long long CountUsers(SqliteDatabase& db, const std::string& name) {
    SqliteStatement count(db, UserCountQuery());
    count.Bind(1, name);
    return count.Prepared() && count.Next() == SqliteStatement::Step::Row ? count.Integer(0) : -1;
}

// Runs one statement with the name and, if given, the password; the number
// of rows it changed, or -1.
long long Change(SqliteDatabase& db, const std::string& sql, const std::string& name,
                 const std::string* password) {
    SqliteStatement change(db, sql);
    change.Bind(1, name);
    if (password) change.Bind(2, *password);
    if (!change.Prepared() || change.Next() != SqliteStatement::Step::Done) return -1;
    return db.Changes();
}

// Closing the file without commit rolls the transaction back.
Status ChangeInFile(SqliteDatabase& db, UserChange change, const std::string& name,
                    const std::string& password) {
    if (!db.Exec("begin immediate")) return BusyFailure(db.Error());
    const long long existing = CountUsers(db, name);
    if (existing >= 0) {
        if (Status fits = Fits(change, existing > 0, name); !fits.ok()) return fits;
    }
    const long long changed = existing < 0
                                  ? -1
                                  : Change(db, ChangeStatement(change), name,
                                           change == UserChange::Remove ? nullptr : &password);
    if (changed < 0 || !db.Exec("commit")) return ChangeFailure(db.Error());
    return Status::Ok();
}

// A session closed without commit rolls the transaction back.
Status ChangeOnServer(ServerSession& db, UserChange change, const std::string& name,
                      const std::string& password) {
    std::vector<std::vector<std::string>> rows;
    if (!db.Exec("begin") || !db.Exec(LockUsersStatement()) ||
        !db.Rows(WithServerLiterals(UserCountQuery(), {name}), rows)) {
        return BusyFailure(db.Error());
    }
    if (Status fits = Fits(change, rows[0][0] != "0", name); !fits.ok()) return fits;
    if (!db.Exec(WithServerLiterals(ChangeStatement(change), {name, password})) ||
        !db.Exec("commit")) {
        return ChangeFailure(db.Error());
    }
    return Status::Ok();
}

}  // namespace

std::string AddUserStatement() { return "insert into sysuser(username,password) values(?1,?2)"; }

Status ListUsers(const std::string& server, const std::string& ledgerPath,
                 std::vector<LedgerUser>& users) {
    users.clear();
    if (!server.empty()) {
        ServerSession db;
        if (Status opened = OpenServer(db, server); !opened.ok()) return opened;
        std::vector<std::vector<std::string>> rows;
        if (!db.Rows(ServerUserListQuery(), rows)) return ReadFailure(db.Error());
        for (const auto& row : rows) users.push_back({row[0], row[1]});
        return Status::Ok();
    }
    SqliteDatabase db;
    if (Status opened = OpenFile(db, ledgerPath); !opened.ok()) return opened;
    SqliteStatement list(db, UserListQuery());
    if (!list.Prepared()) return ReadFailure(db.Error());
    SqliteStatement::Step step;
    while ((step = list.Next()) == SqliteStatement::Step::Row) {
        users.push_back({std::to_string(list.Integer(0)), list.Text(1)});
    }
    if (step != SqliteStatement::Step::Done) return ReadFailure(db.Error());
    return Status::Ok();
}

Status ChangeUser(const std::string& server, const std::string& ledgerPath, UserChange change,
                  const std::string& name, const std::string& password) {
    if (!server.empty()) {
        ServerSession db;
        if (Status opened = OpenServer(db, server); !opened.ok()) return opened;
        return ChangeOnServer(db, change, name, password);
    }
    SqliteDatabase db;
    if (Status opened = OpenFile(db, ledgerPath); !opened.ok()) return opened;
    return ChangeInFile(db, change, name, password);
}
