// The order list and its totals as the main window and the export read them:
// the count and totals read beside the list on a second connection, or on
// the list's own connection when the second cannot be had; and the list read
// through a memory map or without one gives the same rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "ledger_fixture.h"
#include "store/database.h"
#include "store/order_statements.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows ReadRows(DatabaseConnection& db, std::int32_t set) {
    Rows rows;
    const int columns = db.ColumnCount(set);
    for (db.MoveFirst(set); !db.IsEOF(set); db.MoveNext(set)) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int c = 1; c <= columns; ++c) row.push_back(ValueToText(db.ReadColByIndex(set, c)));
    }
    return rows;
}

// The list and totals of every order, and of a search that meets some.
struct Search {
    const char* name;
    OrderSearchTexts inputs;
};

std::vector<Search> Searches() {
    OrderSearchTexts some;
    some[0] = Gbk("店");  // seller
    return {{"every order", {}}, {"a search", some}};
}

class ListReadingTest : public LedgerTest {};

TEST_F(ListReadingTest, TotalsComeFromTheListsConnectionWhenNoSecondOneOpens) {
    const std::string path = MakeLedger(300);
    for (const Search& search : Searches()) {
        SCOPED_TRACE(search.name);
        const OrderStatements statements = BuildOrderStatements(search.inputs, "");
        OrderTotals expected;
        {
            DatabaseConnection alone;
            ASSERT_TRUE(alone.OpenMdbFile(path)) << alone.LastError();
            ASSERT_TRUE(ReadOrderTotals(alone, statements, expected)) << alone.LastError();
        }
        DatabaseConnection db;
        ASSERT_TRUE(db.OpenMdbFile(path)) << db.LastError();
        // The file leaves its name: the open connection reads on, a second one
        // finds nothing to open (a ledger file is never made anew).
        const std::string moved = directory_ + "/moved.mdb";
        std::filesystem::rename(GbkToUtf8(path), moved);
        std::int32_t list = 0;
        OrderTotals totals;
        const bool read = ReadOrdersAndTotals(db, statements, list, totals);
        std::filesystem::rename(moved, GbkToUtf8(path));
        ASSERT_TRUE(read) << db.LastError();
        EXPECT_EQ(totals.count, expected.count);
        EXPECT_EQ(totals.sums, expected.sums);
        EXPECT_EQ(static_cast<std::int32_t>(ReadRows(db, list).size()), expected.count);
        EXPECT_GT(expected.count, 0);
    }
}

TEST_F(ListReadingTest, ListReadThroughAMapEqualsTheListReadWithout) {
    const std::string path = MakeLedger(3000);
    for (const Search& search : Searches()) {
        SCOPED_TRACE(search.name);
        const OrderStatements statements = BuildOrderStatements(search.inputs, "");
        Rows listed[2];
        OrderTotals totals[2];
        for (int mapped = 0; mapped < 2; ++mapped) {
            SetMappedReadsForTesting(mapped == 1);
            DatabaseConnection db;
            ASSERT_TRUE(db.OpenMdbFile(path)) << db.LastError();
            std::int32_t list = 0;
            ASSERT_TRUE(ReadOrdersAndTotals(db, statements, list, totals[mapped]))
                << db.LastError();
            listed[mapped] = ReadRows(db, list);
        }
        SetMappedReadsForTesting(true);
        EXPECT_FALSE(listed[0].empty());
        EXPECT_EQ(listed[0], listed[1]);
        EXPECT_EQ(totals[0].count, totals[1].count);
        EXPECT_EQ(totals[0].sums, totals[1].sums);
    }
}

}  // namespace
