#include "store/adding_once.h"

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/ledger_schema.h"

namespace {

AddResult Failed(AddOutcome outcome, const DatabaseConnection& db) {
    return {outcome, db.LastError()};
}

}  // namespace

std::string StoredOrderCountQuery(std::int64_t id, const OrderTexts& values) {
    std::string conditions = " where id=" + IntegerToText(id);
    for (std::size_t i = 0; i < values.size(); ++i) {
        conditions += " and " + Gbk(kOrderTextColumnNames[i]) + "='" + QuoteText(values[i]) + "'";
    }
    return "select (select count(*) from " + Gbk(kOrderTable) + conditions +
           ") + (select count(*) from " + Gbk(kRecycleBinTable) + conditions + ")";
}

AddResult AddOrderOnce(DatabaseConnection& db, const OrderTexts& values, PendingAdd& pending) {
    if (!pending.empty()) {
        switch (db.AskCommit(pending.commit)) {
            case CommitFate::Stored:
                pending = {};
                return {AddOutcome::StoredBefore, {}};
            case CommitFate::NotStored:
                pending = {};
                break;
            default:
                return Failed(AddOutcome::Unknown, db);
        }
    }
    const std::string insert = InsertOrderStatement(values);
    if (!db.OnServer()) {
        if (!db.ExecuteSql(insert)) return Failed(AddOutcome::NotStored, db);
        return {AddOutcome::Stored, {}};
    }
    // A transaction of its own, whose number the server keeps with its fate.
    if (!db.ExecuteSql("begin")) return Failed(AddOutcome::NotStored, db);
    if (!db.ExecuteSql(insert)) {
        AddResult result = Failed(AddOutcome::NotStored, db);
        db.ExecuteSql("rollback");
        return result;
    }
    if (const std::int64_t id = db.LastInsertId(); id != 0) {
        db.ProveCommitBy(StoredOrderCountQuery(id, values));
    }
    if (db.ExecuteSql("commit")) {
        return {db.LastCommitFate() == CommitFate::Stored ? AddOutcome::StoredAnswerLost
                                                          : AddOutcome::Stored,
                {}};
    }
    if (db.LastCommitFate() == CommitFate::Unknown) {
        pending = {db.LastUnansweredCommit(), values};
        return Failed(AddOutcome::Unknown, db);
    }
    return Failed(AddOutcome::NotStored, db);
}
