#pragma once
// tallovar-admin init --connect "…": a team ledger on an empty PostgreSQL
// database, either new with its first user or moved from a ledger file with
// every user and every order under its id. All in one transaction.

#include <string>

// connection, user, password and fromFile are UTF-8; fromFile empty: a new
// ledger with that first user; otherwise user may be empty. The exit code.
int InitServerLedger(const std::string& connection, const std::string& user,
                     const std::string& password, const std::string& fromFile);
