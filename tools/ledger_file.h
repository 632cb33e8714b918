#pragma once
// Making a new ledger file: both tables, the index on the order date, the
// first user and, if asked, demo orders, all in one transaction. The file
// appears under its name only once it is complete, and never replaces an
// existing file.

#include <string>

enum class LedgerResult { Created, AlreadyExists, Failed };

struct LedgerOutcome {
    LedgerResult result = LedgerResult::Failed;
    std::string error;  // UTF-8, set when the result is Failed
};

// path, user and password are UTF-8 (the file system's and SQLite's texts).
LedgerOutcome CreateLedger(const std::string& path, const std::string& user,
                           const std::string& password, long demoOrders = 0);
