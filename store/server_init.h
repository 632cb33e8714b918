#pragma once
// A team ledger on an empty PostgreSQL database (tallovar-admin init
// --connect "…"), either new with its first user or moved from a ledger file
// with every user and every order under its id. All in one transaction.

#include <string>

#include "common/status.h"

// connection, user, password and fromFile are UTF-8; fromFile empty: a new
// ledger with that first user; otherwise user may be empty. users and orders:
// how many the new ledger holds. Exists when the database holds a ledger
// already; nothing changes on any failure.
Status InitServerLedger(const std::string& connection, const std::string& user,
                        const std::string& password, const std::string& fromFile, long& users,
                        long& orders);
