#pragma once
// Orders brought in from a sheet, judged against the ledger before anything
// is stored, then stored in one transaction. A row is a new order, an order
// the ledger already holds in all fourteen texts (left out, so that the same
// file imported twice adds nothing), an order whose number the ledger holds
// (a marketplace file: left out, or its courier and waybill given to the
// ledger's still unshipped order by the ship operation of 批量发货), a repeat
// of an earlier row of the same file, or refused. Texts are GBK.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/status.h"
#include "store/ledger_schema.h"

class DatabaseConnection;

struct ImportOrder {
    int row = 0;                                           // the sheet's row, from 1
    std::array<std::string, kOrderTextColumnCount> texts;  // storage order
    std::string problem;  // UTF-8: the columns refused and why; empty when readable
};

enum class ImportVerdict { New, SameAsLedger, NumberExists, FillWaybill, RepeatedInFile, Refused };

// As the preview shows it (UTF-8): "新订单", "与已有订单相同，跳过", ...
const char* ImportVerdictName(ImportVerdict verdict);

struct ImportRules {
    // A marketplace file: an order number the ledger or an earlier row holds
    // is the same order.
    bool byOrderNumber = false;
    // With byOrderNumber: the ledger's unshipped order of that number gets
    // the row's courier and waybill.
    bool fillWaybills = false;
};

struct ImportJudgement {
    ImportVerdict verdict = ImportVerdict::New;
    std::int64_t ledgerId = 0;  // the ledger's order a row is the same as or fills
};

// Reads the ledger's orders once and judges every row.
Status JudgeImportOrders(DatabaseConnection& db, const std::vector<ImportOrder>& orders,
                         const ImportRules& rules, std::vector<ImportJudgement>& judgements);

// "共 N 行：新订单 97 行，与已有订单相同，跳过 3 行" (UTF-8).
std::string ImportCountsText(const std::vector<ImportJudgement>& judgements);

// Stores the New rows and fills the FillWaybill ones in one transaction:
// all or nothing. added and filled count them.
Status StoreImportOrders(DatabaseConnection& db, const std::vector<ImportOrder>& orders,
                         const std::vector<ImportJudgement>& judgements, int& added, int& filled);
