#pragma once
// Month summaries: the orders of a search, grouped by month, day, seller
// account or express company within a date range, with the count and the
// sums of 售价, 进价, 佣金 and 利润 per group and in total.
//
// Money texts are summed by the database, by the same rule as the totals
// line of the main window, so for the same orders the total equals it.
// Dates are read as the texts they are (common/order_date.h); an order whose
// date cannot be read is never dropped: it is counted in a group of its own,
// "日期无法识别", whatever the range. Texts are GBK.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/order_statements.h"

class DatabaseConnection;

// The label of the group of orders whose date cannot be read (UTF-8).
inline constexpr const char* kUnreadableDates = "日期无法识别";

enum class SummaryGrouping { Month, Day, Seller, Express };

// Orders that share one date text, and seller account and express company
// when they were asked for (empty otherwise).
struct SummarySource {
    int date = 0;  // by ReadOrderDate; 0 when it cannot be read
    std::string seller;
    std::string express;
    std::int64_t count = 0;
    std::array<double, 4> sums{};
};

// Whether the ledger tells seller accounts and express companies apart too
// (needed for grouping by them), or dates only, which is quicker.
enum class SummaryDetail { DatesOnly, DatesAndNames };

// Reads the ledger's answer for a search of the main window (its nine texts
// and filter keyword); false when the database rejects the statement.
bool ReadSummarySources(DatabaseConnection& db, const OrderSearchTexts& inputs,
                        const std::string& filter, SummaryDetail detail,
                        std::vector<SummarySource>& sources);

// Days as year*10000 + month*100 + day, both ends included; 0 leaves an end open.
struct DateRange {
    int from = 0;
    int to = 0;
};

// The earliest and the latest date that can be read; {0, 0} when none can.
DateRange DatesSpanned(const std::vector<SummarySource>& sources);

struct SummaryRow {
    std::string label;
    std::int64_t count = 0;
    std::array<double, 4> sums{};
};

struct Summary {
    std::vector<SummaryRow> groups;  // in date or name order, unreadable dates last
    SummaryRow total;  // "合计", or "合计（含日期无法识别 N 单）" when they are counted
};

Summary Summarise(const std::vector<SummarySource>& sources, SummaryGrouping grouping,
                  DateRange range);

// A sum as the totals line writes it; empty for a row without orders, as the
// database's sum over no rows.
std::string SummaryMoneyText(const SummaryRow& row, int sum);
