#include "store/order_import.h"

#include <map>
#include <unordered_map>
#include <unordered_set>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database.h"
#include "store/database_error.h"
#include "store/ship_batch.h"

namespace {

constexpr std::size_t kOrderNumber = 1;
constexpr std::size_t kCourier = 2;
constexpr std::size_t kWaybill = 3;
// Rows stored by one insert, and the text at which an insert is sent sooner:
// one statement per row would spend most of an import parsing statements.
constexpr std::size_t kRowsPerInsert = 200;
constexpr std::size_t kInsertBytes = std::size_t{1} << 20;

using Texts = std::array<std::string, kOrderTextColumnCount>;

// The fourteen texts as one key, each with its length first.
std::string KeyOf(const Texts& texts) {
    std::string key;
    for (const std::string& text : texts) {
        key += std::to_string(text.size());
        key += ':';
        key += text;
    }
    return key;
}

struct LedgerOrder {
    std::int64_t id = 0;
    bool shipped = false;
    int sameNumber = 0;  // orders with this number
};

std::string OrdersQuery() {
    return Gbk("select ID," + OrderTextColumns() + " from " + kOrderTable);
}

std::string InsertHead() {
    return Gbk("insert into " + std::string(kOrderTable) + " (" + OrderTextColumns() + ") values ");
}

}  // namespace

const char* ImportVerdictName(ImportVerdict verdict) {
    switch (verdict) {
        case ImportVerdict::SameAsLedger:
            return "与已有订单相同，跳过";
        case ImportVerdict::NumberExists:
            return "订单号已存在，跳过";
        case ImportVerdict::FillWaybill:
            return "订单号已存在，补充运单号";
        case ImportVerdict::RepeatedInFile:
            return "本文件重复";
        case ImportVerdict::Refused:
            return "无法导入";
        case ImportVerdict::New:
            break;
    }
    return "新订单";
}

Status JudgeImportOrders(DatabaseConnection& db, const std::vector<ImportOrder>& orders,
                         const ImportRules& rules, std::vector<ImportJudgement>& judgements) {
    std::unordered_map<std::string, std::int64_t> ledgerKeys;
    std::unordered_map<std::string, LedgerOrder> ledgerNumbers;
    const std::int32_t set = db.OpenTable(OrdersQuery());
    if (set == 0)
        return DatabaseFailure(db.LastError(), "无法读取订单：", "cannot read the orders: ");
    Texts texts;
    for (db.MoveFirst(set); !db.IsEOF(set); db.MoveNext(set)) {
        const std::int64_t id = TextToInteger64(ValueToText(db.ReadColByIndex(set, 1)));
        for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
            texts[c] = ValueToText(db.ReadColByIndex(set, static_cast<int>(c) + 2));
        }
        ledgerKeys.emplace(KeyOf(texts), id);
        if (rules.byOrderNumber && !texts[kOrderNumber].empty()) {
            LedgerOrder& order = ledgerNumbers[texts[kOrderNumber]];
            order.id = id;
            order.shipped = !texts[kCourier].empty() || !texts[kWaybill].empty();
            ++order.sameNumber;
        }
    }
    db.CloseResultSets();

    judgements.assign(orders.size(), {});
    std::unordered_set<std::string> fileKeys;
    std::unordered_set<std::string> fileNumbers;
    for (std::size_t i = 0; i < orders.size(); ++i) {
        const ImportOrder& order = orders[i];
        ImportJudgement& judgement = judgements[i];
        const std::string& number = order.texts[kOrderNumber];
        if (!order.problem.empty()) {
            judgement.verdict = ImportVerdict::Refused;
            continue;
        }
        std::string key = KeyOf(order.texts);
        if (const auto same = ledgerKeys.find(key); same != ledgerKeys.end()) {
            judgement = {ImportVerdict::SameAsLedger, same->second};
            continue;
        }
        if (rules.byOrderNumber && !number.empty()) {
            if (const auto held = ledgerNumbers.find(number); held != ledgerNumbers.end()) {
                const LedgerOrder& ledger = held->second;
                const bool fills = rules.fillWaybills && ledger.sameNumber == 1 &&
                                   !ledger.shipped && !order.texts[kWaybill].empty() &&
                                   !order.texts[kCourier].empty() &&
                                   fileNumbers.insert(number).second;
                judgement = {fills ? ImportVerdict::FillWaybill : ImportVerdict::NumberExists,
                             ledger.id};
                continue;
            }
        }
        const bool repeated =
            !fileKeys.insert(std::move(key)).second ||
            (rules.byOrderNumber && !number.empty() && !fileNumbers.insert(number).second);
        judgement.verdict = repeated ? ImportVerdict::RepeatedInFile : ImportVerdict::New;
    }
    return Status::Ok();
}

std::string ImportCountsText(const std::vector<ImportJudgement>& judgements) {
    std::map<ImportVerdict, int> counts;
    for (const ImportJudgement& judgement : judgements) ++counts[judgement.verdict];
    std::string text = "共 " + std::to_string(judgements.size()) + " 行";
    const char* separator = "：";
    for (const auto& [verdict, count] : counts) {
        text += separator + std::string(ImportVerdictName(verdict)) + " " + std::to_string(count) +
                " 行";
        separator = "，";
    }
    return text;
}

Status StoreImportOrders(DatabaseConnection& db, const std::vector<ImportOrder>& orders,
                         const std::vector<ImportJudgement>& judgements, int& added, int& filled) {
    added = 0;
    filled = 0;
    std::vector<ShipOrder> fills;
    for (std::size_t i = 0; i < orders.size() && i < judgements.size(); ++i) {
        if (judgements[i].verdict == ImportVerdict::FillWaybill) {
            fills.push_back({orders[i].row, judgements[i].ledgerId, orders[i].texts[kCourier],
                             orders[i].texts[kWaybill]});
        }
    }
    if (!db.ExecuteSql("begin")) {
        return DatabaseFailure(db.LastError(), "无法写入账本：", "cannot write the ledger: ");
    }
    const std::string head = InsertHead();
    std::string insert;
    std::size_t rows = 0;
    const auto send = [&]() {
        if (rows == 0) return true;
        const bool sent = db.ExecuteSql(insert);
        insert.clear();
        rows = 0;
        return sent;
    };
    bool stored = true;
    for (std::size_t i = 0; stored && i < orders.size() && i < judgements.size(); ++i) {
        if (judgements[i].verdict != ImportVerdict::New) continue;
        insert += rows == 0 ? head : ",";
        for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
            insert += c == 0 ? "('" : ",'";
            insert += QuoteText(orders[i].texts[c]);
            insert += '\'';
        }
        insert += ')';
        ++added;
        if (++rows == kRowsPerInsert || insert.size() > kInsertBytes) stored = send();
    }
    stored = stored && send();
    if (!stored) {
        Status failed = DatabaseFailure(db.LastError(), "无法写入账本，未导入任何订单：",
                                        "cannot write the ledger; nothing was imported: ");
        db.ExecuteSql("rollback");
        added = 0;
        return failed;
    }
    std::vector<int> refused;
    if (Status shipped = ShipOrdersWithin(db, fills, ShipDate(), refused); !shipped.ok()) {
        db.ExecuteSql("rollback");
        added = 0;
        return Status::Failure(shipped.chinese + "；未导入任何订单",
                               shipped.english + "; nothing was imported");
    }
    if (!db.ExecuteSql("commit") && db.LastCommitFate() != CommitFate::Stored) {
        added = 0;
        return DatabaseFailure(db.LastError(), "导入未能保存：", "the import was not stored: ");
    }
    filled = static_cast<int>(fills.size());
    return Status::Ok();
}
