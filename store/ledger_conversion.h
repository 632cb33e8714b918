#pragma once
// Turning a ledger of the Access driver into one of Tallovar's own SQLite
// ledgers (tallovar-admin convert on Windows). The Access ledger is read
// through the program's connection with the designed statements; the new
// ledger is written with the SQLite library in the schema of a new ledger,
// every user and order keeping its ID; then it is read back and compared
// with what was read, count for count and text for text.

#include <array>
#include <string>
#include <vector>

#include "common/status.h"
#include "store/ledger_schema.h"

struct ConvertedUser {
    long long id = 0;
    std::string name;  // UTF-8
    std::string password;
};
struct ConvertedOrder {
    long long id = 0;
    std::array<std::string, kOrderTextColumnCount> texts;  // UTF-8, storage order
};
struct LedgerContents {
    std::vector<ConvertedUser> users;
    std::vector<ConvertedOrder> orders;
};

// Every user and order of the ledger at path (GBK), as the program's
// connection reads it.
Status ReadLedgerForConversion(const std::string& path, LedgerContents& contents);

// Writes contents into the new, empty file at path (UTF-8, as the SQLite
// library takes it) in the schema of a new ledger, in one transaction.
Status WriteConvertedLedger(const std::string& path, const LedgerContents& contents);

// Reads the ledger at path (UTF-8) back with the SQLite library: fails, naming the first
// difference, unless it holds exactly the users and orders of contents.
Status CompareConvertedLedger(const std::string& path, const LedgerContents& contents);
