#include "store/order_summary.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "common/order_date.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database.h"

namespace {

double NumberOf(const DatabaseValue& value) {
    switch (value.kind) {
        case ValueKind::Single:
        case ValueKind::Double:
            return value.number;
        case ValueKind::Text:
            return TextToNumber(value.text);
        default:
            return static_cast<double>(value.integer);
    }
}

std::string DateLabel(int date, bool withDay) {
    char text[16];
    if (withDay) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date / 10000, date / 100 % 100,
                      date % 100);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d", date / 10000, date / 100 % 100);
    }
    return text;
}

std::string GroupLabel(const SummarySource& source, SummaryGrouping grouping) {
    switch (grouping) {
        case SummaryGrouping::Month:
            return DateLabel(source.date, false);
        case SummaryGrouping::Day:
            return DateLabel(source.date, true);
        case SummaryGrouping::Seller:
            return source.seller.empty() ? Gbk("（空）") : source.seller;
        case SummaryGrouping::Express:
            break;
    }
    return source.express.empty() ? Gbk("（空）") : source.express;
}

void Add(SummaryRow& row, const SummarySource& source) {
    row.count += source.count;
    for (std::size_t i = 0; i < row.sums.size(); ++i) row.sums[i] += source.sums[i];
}

bool InRange(int date, DateRange range) {
    return (range.from == 0 || date >= range.from) && (range.to == 0 || date <= range.to);
}

}  // namespace

bool ReadSummarySources(DatabaseConnection& db, const OrderSearchTexts& inputs,
                        const std::string& filter, SummaryDetail detail,
                        std::vector<SummarySource>& sources) {
    const std::int32_t set =
        db.OpenTable(SummaryQuery(inputs, filter, detail == SummaryDetail::DatesAndNames));
    if (set == 0) return false;
    sources.clear();
    for (db.MoveFirst(set); !db.IsEOF(set); db.MoveNext(set)) {
        SummarySource source;
        source.date = ReadOrderDate(db.ReadColByIndex(set, 1).text);
        source.seller = db.ReadColByIndex(set, 2).text;
        source.express = db.ReadColByIndex(set, 3).text;
        source.count = NumberOf(db.ReadColByIndex(set, 4));
        for (int i = 0; i < 4; ++i) source.sums[i] = NumberOf(db.ReadColByIndex(set, 5 + i));
        sources.push_back(std::move(source));
    }
    return true;
}

DateRange DatesSpanned(const std::vector<SummarySource>& sources) {
    DateRange span;
    for (const SummarySource& source : sources) {
        if (source.date == 0) continue;
        if (span.from == 0 || source.date < span.from) span.from = source.date;
        span.to = std::max(span.to, source.date);
    }
    return span;
}

Summary Summarise(const std::vector<SummarySource>& sources, SummaryGrouping grouping,
                  DateRange range) {
    std::map<std::string, SummaryRow> groups;  // GBK order: dates in time, names by pinyin
    SummaryRow unreadable{Gbk(kUnreadableDates)};
    Summary summary;
    summary.total.label = Gbk("合计");
    for (const SummarySource& source : sources) {
        if (source.date == 0) {
            Add(unreadable, source);
        } else if (InRange(source.date, range)) {
            const std::string label = GroupLabel(source, grouping);
            SummaryRow& row = groups[label];
            row.label = label;
            Add(row, source);
        } else {
            continue;
        }
        Add(summary.total, source);
    }
    for (auto& [label, row] : groups) summary.groups.push_back(std::move(row));
    if (unreadable.count > 0) {
        // They are in every range's total, which would otherwise seem to
        // disagree with the same month's count elsewhere.
        summary.total.label = Gbk("合计（含" + std::string(kUnreadableDates) + " " +
                                  std::to_string(unreadable.count) + " 单）");
        summary.groups.push_back(std::move(unreadable));
    }
    return summary;
}

std::string SummaryMoneyText(const SummaryRow& row, int sum) {
    return row.count == 0 ? std::string() : DoubleToText(row.sums[static_cast<std::size_t>(sum)]);
}
