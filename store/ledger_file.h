#pragma once
// The ledger file tallovar.mdb as the maintenance tool knows it: where it is,
// making a new one (both tables, the index on the order date, the first user
// and, if asked, demo orders, all in one transaction; the file appears under
// its name only once it is complete and never replaces an existing file), and
// checking that a file is a sound ledger.

#include <string>

#include "common/status.h"

class SqliteDatabase;

// tallovar.mdb in the current directory, where the program looks for it, in
// path; a failure when the current directory cannot be had.
Status LedgerPathHere(std::string& path);

// path, user and password are UTF-8 (the file system's and SQLite's texts).
// A failure of kind Exists when a file has the name (then nothing changed);
// otherwise the system's or SQLite's reason, in English in both lines, of
// the kind it tells (Full, Refused, ...).
Status CreateLedger(const std::string& path, const std::string& user, const std::string& password,
                    long demoOrders = 0);

// The same for the file at path, opened to read only; orders, when asked
// for, is set to the number of orders of a sound ledger.
Status CheckLedgerFile(const std::string& path, long long* orders = nullptr);

// Ok unless the ledger at path (UTF-8) is a ledger of Windows' Access driver
// that a program has open: the driver keeps tallovar.ldb beside it then.
Status AccessLedgerClosed(const std::string& path);

// Ok when integrity_check answers ok and both tables are there with every
// column the program reads; otherwise what is wrong.
Status CheckLedger(SqliteDatabase& db);
