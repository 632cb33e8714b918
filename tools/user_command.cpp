// tallovar-admin user add|passwd|remove|list: the user table sysuser, which
// the program only reads at sign-in. Names and passwords are stored as typed,
// UTF-8 like every text in the file; names compare as the sign-in compares
// them, by the table's collation (without regard to letter case on ledgers
// made or upgraded by this tool). Each change is one transaction.

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "exchange/sheet_encoding.h"
#include "store/admin_statements.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/hidden_typing.h"
#include "tools/server_session.h"
#include "tools/sqlite_handle.h"

namespace {

// One line from standard input; on a terminal without echo.
bool ReadLine(const char* prompt, std::string& line) {
    const bool terminal = isatty(STDIN_FILENO);
    if (terminal) std::fprintf(stderr, "%s", prompt);
    bool read = false;
    {
        const HiddenTyping hidden;
        read = static_cast<bool>(std::getline(std::cin, line));
    }
    if (terminal) std::fprintf(stderr, "\n");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return read;
}

// The password from the command line, or typed twice on a terminal, or one
// line of standard input.
bool GetPassword(const std::vector<std::string>& arguments, std::string& password) {
    if (arguments.size() == 3) {
        password = arguments[2];
        return true;
    }
    std::string again;
    if (!ReadLine("密码 / password: ", password) ||
        (isatty(STDIN_FILENO) && !ReadLine("再输一次 / again: ", again))) {
        Fail("没有读到密码，未做任何改动", "no password was read; nothing was changed");
        return false;
    }
    if (!isatty(STDIN_FILENO) || again == password) return true;
    Fail("两次输入的密码不一致，未做任何改动", "the two passwords differ; nothing was changed");
    return false;
}

int List(SqliteDatabase& db) {
    SqliteStatement users(db, UserListQuery());
    if (!users.Prepared()) return Fail("无法读取用户表：" + db.Error(), db.Error());
    std::printf("ID\t用户名 / user\n");
    int rc;
    while ((rc = users.Step()) == SQLITE_ROW) {
        std::printf("%lld\t%s\n", users.Integer(0), users.Text(1).c_str());
    }
    if (rc != SQLITE_DONE) return Fail("无法读取用户表：" + db.Error(), db.Error());
    return kExitOk;
}

long long CountUsers(SqliteDatabase& db, const std::string& name) {
    SqliteStatement count(db, UserCountQuery());
    count.Bind(1, name);
    return count.Prepared() && count.Step() == SQLITE_ROW ? count.Integer(0) : -1;
}

// Runs one statement with the name and, if given, the password; the number
// of rows it changed, or -1.
long long Change(SqliteDatabase& db, const std::string& sql, const std::string& name,
                 const std::string* password = nullptr) {
    SqliteStatement change(db, sql);
    change.Bind(1, name);
    if (password) change.Bind(2, *password);
    if (!change.Prepared() || change.Step() != SQLITE_DONE) return -1;
    return sqlite3_changes(db.get());
}

void Report(const std::string& action, const std::string& name) {
    if (action == "add") {
        std::printf("已添加用户 %s\nuser %s added\n", name.c_str(), name.c_str());
    } else if (action == "passwd") {
        std::printf("已修改用户 %s 的密码\npassword of %s changed\n", name.c_str(), name.c_str());
    } else {
        std::printf("已删除用户 %s\nuser %s removed\n", name.c_str(), name.c_str());
    }
}

int Modify(SqliteDatabase& db, const std::string& action, const std::string& name,
           const std::string& password) {
    if (!db.Exec("begin immediate")) return Fail("账本正忙或无法写入：" + db.Error(), db.Error());
    const long long existing = CountUsers(db, name);
    long long changed = -1;
    if (existing < 0) {
        // fall through to the database error below
    } else if (action == "add") {
        if (existing > 0) {
            return Fail("用户已存在，未做任何改动：" + name,
                        "the user already exists; nothing was changed: " + name);
        }
        changed = Change(db, AddUserStatement(), name, &password);
    } else if (existing == 0) {
        return Fail("没有这个用户，未做任何改动：" + name,
                    "there is no such user; nothing was changed: " + name);
    } else if (action == "passwd") {
        changed = Change(db, ChangePasswordStatement(), name, &password);
    } else {
        changed = Change(db, RemoveUserStatement(), name);
    }
    if (changed < 0 || !db.Exec("commit")) {
        const std::string error = db.Error();
        return Fail("无法修改用户表，未做任何改动：" + error,
                    "cannot change the user table; nothing was changed: " + error);
    }
    Report(action, name);
    return kExitOk;
}

// The same on a team ledger: one transaction that locks the user table, so
// two administrators cannot add the same name at once.
int ChangeOnServer(const std::string& server, const std::string& action, const std::string& name,
                   const std::string& password) {
    ServerSession db;
    std::vector<std::vector<std::string>> rows;
    if (!db.Open(server)) return Fail("无法打开团队账本：" + db.Error(), db.Error());
    if (action == "list") {
        if (!db.Rows(ServerUserListQuery(), rows)) {
            return Fail("无法读取用户表：" + db.Error(), db.Error());
        }
        std::printf("ID\t用户名 / user\n");
        for (const auto& row : rows) std::printf("%s\t%s\n", row[0].c_str(), row[1].c_str());
        return kExitOk;
    }
    if (!db.Exec("begin") || !db.Exec(LockUsersStatement()) ||
        !db.Rows(WithServerLiterals(UserCountQuery(), {name}), rows)) {
        return Fail("账本正忙或无法写入：" + db.Error(), db.Error());
    }
    const bool existing = rows[0][0] != "0";
    if (action == "add" && existing) {
        return Fail("用户已存在，未做任何改动：" + name,
                    "the user already exists; nothing was changed: " + name);
    }
    if (action != "add" && !existing) {
        return Fail("没有这个用户，未做任何改动：" + name,
                    "there is no such user; nothing was changed: " + name);
    }
    const std::string change = WithServerLiterals(action == "add"      ? AddUserStatement()
                                                  : action == "passwd" ? ChangePasswordStatement()
                                                                       : RemoveUserStatement(),
                                                  {name, password});
    if (!db.Exec(change) || !db.Exec("commit")) {
        const std::string error = db.Error();
        return Fail("无法修改用户表，未做任何改动：" + error,
                    "cannot change the user table; nothing was changed: " + error);
    }
    Report(action, name);
    return kExitOk;
}

}  // namespace

int RunUser(const CommandLine& line) {
    const std::vector<std::string>& arguments = line.Operands();
    std::string server;
    if (!ConnectOption(line, server)) return kExitUsage;
    if (arguments.empty()) return kExitUsage;
    const std::string& action = arguments[0];
    const bool withPassword = action == "add" || action == "passwd";
    if (action == "list") {
        if (arguments.size() != 1) return kExitUsage;
    } else if (withPassword) {
        if (arguments.size() != 2 && arguments.size() != 3) return kExitUsage;
    } else if (action != "remove" || arguments.size() != 2) {
        return kExitUsage;
    }

    std::string name;
    if (action != "list") {
        name = arguments[1];
        if (name.empty()) return Fail("用户名不能为空", "the user name must not be empty");
        if (!IsValidUtf8(name)) {
            return Fail("用户名不是有效的 UTF-8 文本", "the user name is not valid UTF-8 text");
        }
    }
    const std::string path = server.empty() ? ExistingLedgerHere() : server;
    if (path.empty()) return kExitFailed;
    std::string password;
    if (withPassword) {
        if (!GetPassword(arguments, password)) return kExitFailed;
        if (!IsValidUtf8(password)) {
            return Fail("密码不是有效的 UTF-8 文本", "the password is not valid UTF-8 text");
        }
    }
    if (!server.empty()) return ChangeOnServer(server, action, name, password);

    SqliteDatabase db;
    if (!db.Open(path))
        return Fail("无法打开账本：" + db.Error(), "cannot open the ledger: " + db.Error());
    if (action == "list") return List(db);
    return Modify(db, action, name, password);
}
