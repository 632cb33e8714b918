#pragma once
// One result set held in memory: every row of a query, read at once so that
// no cursor stays open on the ledger, kept compactly for 100,000 orders.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/database_value.h"

struct ResultColumn {
    std::string name;  // GBK, as the driver reports it
    ValueKind kind;
};

// Rows lie in blocks of memory that are filled one after the other and never
// moved as the set grows. A row is the end of each of its cells (relative to
// the row's first cell byte), then the cells' bytes: GBK text, or the 8 bytes
// of an integer (int64) or a floating-point number (double). A cell of no
// bytes is a NULL or an empty text; both read as the kind's empty value.
class Snapshot {
  public:
    std::int32_t handle = 0;
    std::vector<ResultColumn> columns;
    std::size_t position = 0;  // the current row; RowCount() is past the last
    // A server reports a floating-point NULL where the file ledger's driver
    // reports an empty text (a sum() over no rows); set, such a NULL reads as
    // empty text, as on the file ledger, and not as 0.
    bool floatingNullReadsAsText = false;

    std::size_t RowCount() const { return rows_.size(); }

    // The column of that name (compared byte for byte, or without regard to
    // ASCII letter case), or -1. Readers ask for the columns of each row in
    // the same order, so the search starts after the column found last.
    int ColumnNamed(std::string_view name, bool ignoreAsciiCase = false);
    // A column of the current row; the kind's empty value past the last row.
    DatabaseValue Current(std::size_t column) const { return At(position, column); }
    // A column of any row, read as Current reads it; the kind's empty value
    // past the last row.
    DatabaseValue At(std::size_t row, std::size_t column) const;
    // The bytes a cell holds: GBK for a text (empty for NULL), else the 8
    // bytes of the number. Empty past the last row.
    std::string_view Bytes(std::size_t row, std::size_t column) const;

    // Filling: BeginRow, then for each column in order the cell's bytes
    // appended to CellBytes and EndCell. EndCell is false when a row would
    // outgrow what its cell ends can count (4 GiB).
    void BeginRow();
    // The buffer to append the next cell's bytes to, with room for at least
    // `bytes` more without moving (more may be appended; it then grows).
    std::string& CellBytes(std::size_t bytes) {
        std::string& block = blocks_.back();
        return block.capacity() - block.size() >= bytes ? block : MoveRowForCell(bytes);
    }
    bool EndCell(std::size_t column) {
        std::string& block = blocks_.back();
        const RowPlace place = rows_.back();
        const std::size_t length = block.size() - place.offset - HeaderSize();
        if (length > UINT32_MAX) return false;
        const auto end = static_cast<std::uint32_t>(length);
        std::memcpy(block.data() + place.offset + column * sizeof end, &end, sizeof end);
        return true;
    }

  private:
    struct RowPlace {
        std::uint32_t block;
        std::uint32_t offset;  // of the row's cell ends within the block
    };

    std::size_t HeaderSize() const { return columns.size() * sizeof(std::uint32_t); }
    std::uint32_t CellEnd(const char* row, std::size_t column) const;
    // A new block with room for `bytes`, sizes doubling from small up to a
    // limit, so a one-row result takes little.
    void StartBlock(std::size_t bytes);
    // CellBytes when the current block has no room left for the cell.
    std::string& MoveRowForCell(std::size_t bytes);

    std::vector<std::string> blocks_;
    std::vector<RowPlace> rows_;
    std::size_t nameHint_ = 0;
};
