// A snapshot gives back every cell as it was stored, however the rows fall
// across its blocks of memory: short rows filling many blocks, a cell larger
// than any block at the start and in the middle of a row, empty cells.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "store/snapshot.h"

namespace {

struct StoredRow {
    std::int64_t id;
    std::string text;
    std::string other;
};

void Fill(Snapshot& set, const std::vector<StoredRow>& rows) {
    for (const StoredRow& row : rows) {
        set.BeginRow();
        set.CellBytes(8).append(reinterpret_cast<const char*>(&row.id), 8);
        ASSERT_TRUE(set.EndCell(0));
        set.CellBytes(row.text.size()) += row.text;
        ASSERT_TRUE(set.EndCell(1));
        set.CellBytes(row.other.size()) += row.other;
        ASSERT_TRUE(set.EndCell(2));
    }
}

TEST(SnapshotTest, EveryCellComesBackAcrossBlocks) {
    Snapshot set;
    set.columns = {{"ID", ValueKind::Int32}, {"a", ValueKind::Text}, {"b", ValueKind::Text}};
    std::vector<StoredRow> rows;
    for (int i = 0; i < 20000; ++i) {
        rows.push_back({i, std::string(i % 97, static_cast<char>('a' + i % 26)),
                        i % 5 == 0 ? "" : std::to_string(i * 7)});
    }
    rows[3].text = std::string(3 * 1024 * 1024, 'L');  // larger than a block, mid-row
    rows[5000].other = std::string(2 * 1024 * 1024, 'M');
    rows[5001].text = std::string(1024 * 1024 + 1, 'N');  // right after a large row
    Fill(set, rows);

    ASSERT_EQ(set.RowCount(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        set.position = r;
        const DatabaseValue id = set.Current(0);
        ASSERT_EQ(id.kind, ValueKind::Int32);
        ASSERT_EQ(id.integer, rows[r].id);
        ASSERT_TRUE(set.Current(1).text == rows[r].text) << "row " << r;
        ASSERT_TRUE(set.Current(2).text == rows[r].other) << "row " << r;
    }
    set.position = rows.size();
    EXPECT_EQ(set.Current(0).kind, ValueKind::Int32);
    EXPECT_EQ(set.Current(0).integer, 0);
}

TEST(SnapshotTest, NamesAreFoundInAnyOrderByExactBytes) {
    Snapshot set;
    set.columns = {{"ID", ValueKind::Int32}, {"a", ValueKind::Text}, {"b", ValueKind::Text}};
    const char* const asked[] = {"ID", "a", "b", "b", "a", "ID", "ID", "b"};
    const int expected[] = {0, 1, 2, 2, 1, 0, 0, 2};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(set.ColumnNamed(asked[i]), expected[i]) << i;
    EXPECT_EQ(set.ColumnNamed("id"), -1);
    EXPECT_EQ(set.ColumnNamed(""), -1);
    EXPECT_EQ(set.ColumnNamed("a"), 1);
}

}  // namespace
