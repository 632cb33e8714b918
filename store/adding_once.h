#pragma once
// Adding an order so that it is stored at most once. On a team ledger the
// answer to an add can be lost with the connection after the server stored
// the order; the add then asks the server what became of it instead of
// taking it for a failure, and when the server cannot be asked yet, the next
// add from the same form asks first. On the ledger file an add is one
// statement, answered or not run at all. Texts are GBK.

#include <cstdint>
#include <string>

#include "store/database.h"
#include "store/order_statements.h"

enum class AddOutcome {
    Stored,            // by this add
    StoredAnswerLost,  // by this add, whose answer the connection lost
    StoredBefore,      // by the earlier add whose fate was not known; not again
    NotStored,
    Unknown,  // the server could not be asked; the add is kept as pending
};

// The add of one form whose fate is not known yet.
struct PendingAdd {
    UnansweredCommit commit;
    OrderTexts values;
    bool empty() const { return commit.empty(); }
};

struct AddResult {
    AddOutcome outcome = AddOutcome::NotStored;
    std::string error;  // why, for NotStored and Unknown
};

// Stores the order on an open connection, unless pending names an earlier
// add that the server did store. pending is set when the fate stays Unknown
// and cleared when it is learnt.
AddResult AddOrderOnce(DatabaseConnection& db, const OrderTexts& values, PendingAdd& pending);

// Counts the order with that id and those texts in the list and in the
// recycle bin (an order deleted since it was added was stored all the same).
std::string StoredOrderCountQuery(std::int64_t id, const OrderTexts& values);
