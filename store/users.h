#pragma once
// The user table sysuser, which the program only reads at sign-in, as
// tallovar-admin user lists and changes it, on a ledger file or a team
// ledger. Names and passwords are UTF-8 and stored as typed; names compare as
// the sign-in compares them, by the table's collation. Each change is one
// transaction that keeps other writers of the table out, so two
// administrators cannot add one name at once.

#include <string>
#include <vector>

#include "common/status.h"

struct LedgerUser {
    std::string id;
    std::string name;
};

enum class UserChange { Add, ChangePassword, Remove };

// The insert of one user, ?1 the name and ?2 the password, as a new ledger
// gets its first user too (store/ledger_file.cpp, store/server_init.cpp).
std::string AddUserStatement();

// The team ledger of the connection string server, or without one the ledger
// file at ledgerPath. Users oldest first.
Status ListUsers(const std::string& server, const std::string& ledgerPath,
                 std::vector<LedgerUser>& users);
// Exists when adding a name that is there, NotFound when changing or
// removing one that is not, Busy when the ledger could not be locked;
// nothing changes on any failure. password is read for Add and
// ChangePassword only.
Status ChangeUser(const std::string& server, const std::string& ledgerPath, UserChange change,
                  const std::string& name, const std::string& password);
