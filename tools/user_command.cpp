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
#include "store/users.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/hidden_typing.h"

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

void Report(const std::string& action, const std::string& name) {
    if (action == "add") {
        std::printf("已添加用户 %s\nuser %s added\n", name.c_str(), name.c_str());
    } else if (action == "passwd") {
        std::printf("已修改用户 %s 的密码\npassword of %s changed\n", name.c_str(), name.c_str());
    } else {
        std::printf("已删除用户 %s\nuser %s removed\n", name.c_str(), name.c_str());
    }
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
    const std::string ledger = server.empty() ? path : "";
    if (action == "list") {
        std::vector<LedgerUser> users;
        if (const Status listed = ListUsers(server, ledger, users); !listed.ok()) {
            return Fail(listed);
        }
        std::printf("ID\t用户名 / user\n");
        for (const LedgerUser& user : users) {
            std::printf("%s\t%s\n", user.id.c_str(), user.name.c_str());
        }
        return kExitOk;
    }
    const UserChange change = action == "add"      ? UserChange::Add
                              : action == "passwd" ? UserChange::ChangePassword
                                                   : UserChange::Remove;
    if (const Status changed = ChangeUser(server, ledger, change, name, password); !changed.ok()) {
        return Fail(changed);
    }
    Report(action, name);
    return kExitOk;
}
