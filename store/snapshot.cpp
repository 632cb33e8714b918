#include "store/snapshot.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kFirstBlock = 4 * 1024;
constexpr std::size_t kLargestBlock = 1024 * 1024;

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
               return lower(x) == lower(y);
           });
}

}  // namespace

int Snapshot::ColumnNamed(std::string_view name, bool ignoreAsciiCase) {
    const std::size_t count = columns.size();
    std::size_t c = nameHint_ < count ? nameHint_ : 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (ignoreAsciiCase ? SameIgnoringAsciiCase(columns[c].name, name)
                            : columns[c].name == name) {
            nameHint_ = c + 1;
            return static_cast<int>(c);
        }
        if (++c == count) c = 0;
    }
    return -1;
}

std::uint32_t Snapshot::CellEnd(const char* row, std::size_t column) const {
    std::uint32_t end;
    std::memcpy(&end, row + column * sizeof end, sizeof end);
    return end;
}

std::string_view Snapshot::Bytes(std::size_t row, std::size_t column) const {
    if (row >= RowCount()) return {};
    const RowPlace place = rows_[row];
    const char* cells = blocks_[place.block].data() + place.offset;
    const std::uint32_t begin = column == 0 ? 0 : CellEnd(cells, column - 1);
    return {cells + HeaderSize() + begin, CellEnd(cells, column) - begin};
}

DatabaseValue Snapshot::At(std::size_t row, std::size_t column) const {
    const ValueKind kind = columns[column].kind;
    const std::string_view bytes = Bytes(row, column);
    if (bytes.empty()) {
        const bool floating = kind == ValueKind::Double || kind == ValueKind::Single;
        if (floatingNullReadsAsText && floating) return DatabaseValue::FromText({});
        return DatabaseValue::Empty(kind);
    }
    switch (kind) {
        case ValueKind::Text:
            return DatabaseValue::FromText(std::string(bytes));
        case ValueKind::Single:
        case ValueKind::Double: {
            double number;
            std::memcpy(&number, bytes.data(), sizeof number);
            return DatabaseValue::FromNumber(kind, number);
        }
        default: {
            std::int64_t integer;
            std::memcpy(&integer, bytes.data(), sizeof integer);
            // An INTEGER column holds 64 bits; a value past 32 bits is read
            // as what it is, so an id is never shown or used cut short.
            if (kind == ValueKind::Int32 && (integer < INT32_MIN || integer > INT32_MAX))
                return DatabaseValue::FromInteger(ValueKind::Int64, integer);
            return DatabaseValue::FromInteger(kind, integer);
        }
    }
}

void Snapshot::StartBlock(std::size_t bytes) {
    const std::size_t grown =
        blocks_.empty() ? kFirstBlock : std::min(blocks_.back().capacity() * 2, kLargestBlock);
    blocks_.emplace_back().reserve(std::max(grown, bytes));
}

void Snapshot::BeginRow() {
    const std::size_t header = HeaderSize();
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < header) {
        StartBlock(header);
    }
    std::string& block = blocks_.back();
    rows_.push_back(
        {static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(block.size())});
    block.append(header, '\0');
}

std::string& Snapshot::MoveRowForCell(std::size_t bytes) {
    // The row so far moves to a new block with room for the cell; when it is
    // the block's only row, the block itself grows.
    std::string& block = blocks_.back();
    RowPlace& place = rows_.back();
    const std::size_t rowSoFar = block.size() - place.offset;
    if (place.offset == 0) {
        block.reserve(rowSoFar + bytes);
        return block;
    }
    StartBlock(rowSoFar + bytes);
    std::string& old = blocks_[blocks_.size() - 2];
    blocks_.back().append(old, place.offset, rowSoFar);
    old.resize(place.offset);
    place = {static_cast<std::uint32_t>(blocks_.size() - 1), 0};
    return blocks_.back();
}
