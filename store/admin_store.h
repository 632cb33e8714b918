#pragma once
// The ledger a subcommand changes, be it the file tallovar.mdb here or a team
// ledger on a server: the same statements run on either, and only what the
// two databases spell differently lives behind this interface (how a write
// transaction keeps other writers out, parameters, the id an insert gave). Texts in and out are
// UTF-8; NULL reads as "".

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/status.h"

class AdminStore {
  public:
    using Row = std::vector<std::string>;

    virtual ~AdminStore() = default;
    // A transaction in which no one else stores or deletes orders; closing
    // the store without Exec("commit") rolls it back.
    virtual bool BeginWriting() = 0;
    virtual bool Exec(const std::string& sql) = 0;
    // Ends the transaction BeginWriting began, keeping what it stored.
    bool Commit() { return Exec("commit"); }
    // Rows the last Exec or Run inserted, changed or deleted.
    virtual long long Changed() = 0;
    // Calls each with every row of a query, in order.
    virtual bool EachRow(const std::string& sql, const std::function<void(const Row&)>& each) = 0;
    // Runs sql with ?1, ?2, ... standing for texts[0], texts[1], ...; the
    // same sql again reuses what was prepared.
    virtual bool Run(const std::string& sql, const std::vector<std::string>& texts) = 0;
    // Runs an insert of one row; id is the row's ID, 0 when nothing was
    // inserted.
    virtual bool Insert(const std::string& sql, long long& id) = 0;
    // True after an Exec("commit") on a team ledger whose answer the broken
    // connection took and whose fate the server could not be asked about.
    virtual bool CommitFateUnknown() { return false; }
    // True for a team ledger, whose statements are spelt for PostgreSQL.
    virtual bool OnServer() const = 0;
    virtual std::string Error() const = 0;
};

// The order table's texts of the columns named, as parameters ?1, ?2, ... in
// that order (also for the demo orders of a new ledger), and all orders'
// texts of those columns.
std::string InsertOrderTextsStatement(const std::vector<std::string>& columns);
std::string OrderTextsQuery(const std::vector<std::string>& columns);

// The team ledger of the connection string, or without one the ledger file
// at ledgerPath (UTF-8), in store.
Status OpenAdminStore(const std::string& server, const std::string& ledgerPath,
                      std::unique_ptr<AdminStore>& store);
