#pragma once
// Reading a result's rows into a snapshot, and reading a ledger file fast
// (through a memory map) while a list is read. For the store's own
// connection files only.

#include <optional>
#include <string>
#include <vector>

#include "common/database_value.h"
#include "platform/mapped_reads.h"
#include "platform/odbc_api.h"
#include "store/odbc_statement.h"
#include "store/snapshot.h"

namespace odbc {

ValueKind KindOfSqlType(SQLSMALLINT type);
// False while the tests read without the memory map.
bool MappedReadsAllowed();

// Piece size for a long text whose length the driver does not announce.
constexpr SQLLEN kPieceSize = 64 * 1024;

// While it lives, SQLite reads the connection's file through a memory map
// (up to 1 GiB, about four million orders): a page then costs no system call,
// and the list, which walks the table in date order through the date index,
// reads about a fifth faster than through read calls. The mapped pages are
// those the system caches anyway, but they count as the program's memory
// while mapped. A file that another program empties, cuts short or copies
// over (a copy empties it first) while it is read would stop the program with
// a bus error: MappedReads has the pages beyond its end read as zeros
// instead, which SQLite answers as a damaged ledger ("database disk image is
// malformed"). The map is dropped after the read: SQLite reads the header
// through it when the next statement begins. Where reads cannot be guarded
// so, SQLite reads with read calls into a page cache of up to 1 GiB for the
// read (the default is 2 MB), so each page is read once; the pages are given
// back after it. Nothing is written through the map. The settings are a
// matter of speed only, so a refusal is let be. A 32-bit program has 2 to
// 4 GiB of address space for everything it holds, so there the map or cache
// is capped at a quarter GiB (about a million orders; a longer ledger is read
// through it in turns).
class FastReading {
  public:
    static constexpr long long kReadBytes = sizeof(void*) >= 8 ? 1LL << 30 : 1LL << 28;

    FastReading(SQLHDBC connection, bool wanted)
        : connection_(wanted ? connection : SQL_NULL_HDBC),
          mapped_(wanted && MappedReadsAllowed() && CanGuardMappedReads()) {
        if (mapped_) guard_.emplace();
        Set(mapped_ ? "pragma mmap_size=" + std::to_string(kReadBytes)
                    : "pragma cache_size=-" + std::to_string(kReadBytes / 1024));
    }
    ~FastReading() { Set(mapped_ ? "pragma mmap_size=0" : "pragma cache_size=-2000"); }
    FastReading(const FastReading&) = delete;
    FastReading& operator=(const FastReading&) = delete;

  private:
    void Set(std::string text) const {
        if (connection_ == SQL_NULL_HDBC) return;
        Statement statement(connection_);
        if (statement.get() != SQL_NULL_HSTMT) {
            SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
        }
    }

    SQLHDBC connection_;
    bool mapped_;
    std::optional<MappedReads> guard_;  // kept until the map is dropped
};

// Reads every row of a result into a snapshot. Every column is bound to a
// buffer, so the driver fills a whole row in one call instead of one call per
// cell; a text longer than its buffer is then read whole with SQLGetData.
// (Blocks of rows per call saved little more, and reading a long text from
// inside a block needs SQLSetPos, which this driver allows on static cursors
// only.)
class RowReader {
  public:
    RowReader(SQLHSTMT statement, Snapshot& set) : statement_(statement), set_(set) {}

    // Fetches every row into the snapshot; false on a driver failure.
    bool ReadAll() {
        if (!Bind()) return false;
        SQLRETURN rc;
        while (SQL_SUCCEEDED(rc = SQLFetch(statement_))) {
            if (!AppendRow()) return false;
        }
        return rc == SQL_NO_DATA;
    }

  private:
    // Bytes of a text buffer, the terminator included. The driver pads every
    // text it hands out to the whole buffer, so a column's buffer starts
    // small (names, numbers, dates fit) and grows to what its longest text so
    // far needed (an address), up to kLargestTextWidth.
    static constexpr SQLLEN kTextWidth = 32;
    static constexpr SQLLEN kLargestTextWidth = 4096;
    // The first piece of a text longer than its buffer.
    static constexpr SQLLEN kFirstPieceWidth = 256;

    struct BoundColumn {
        ValueKind kind;
        SQLSMALLINT cType;
        std::vector<char> data;
        SQLLEN indicator = 0;
    };

    // The C type a kind is read as, and its size.
    static SQLSMALLINT CTypeOf(ValueKind kind, std::size_t& width) {
        switch (kind) {
            case ValueKind::Int32:
                // Read whole: an id written by another tool may pass 32 bits.
                width = sizeof(SQLBIGINT);
                return SQL_C_SBIGINT;
            case ValueKind::Int16:
                width = sizeof(SQLSMALLINT);
                return SQL_C_SSHORT;
            case ValueKind::UInt8:
                width = sizeof(SQLCHAR);
                return SQL_C_UTINYINT;
            case ValueKind::Boolean:
                width = sizeof(SQLCHAR);
                return SQL_C_BIT;
            case ValueKind::Single:
                width = sizeof(SQLREAL);
                return SQL_C_FLOAT;
            case ValueKind::Double:
                width = sizeof(SQLDOUBLE);
                return SQL_C_DOUBLE;
            default:
                width = kTextWidth;
                return SQL_C_CHAR;
        }
    }

    bool Bind() {
        bound_.resize(set_.columns.size());
        for (std::size_t c = 0; c < bound_.size(); ++c) {
            BoundColumn& b = bound_[c];
            std::size_t width = 0;
            b.kind = set_.columns[c].kind;
            b.cType = CTypeOf(b.kind, width);
            if (!BindColumn(c, width)) return false;
        }
        return true;
    }

    bool BindColumn(std::size_t column, std::size_t width) {
        BoundColumn& b = bound_[column];
        b.data.resize(width);
        return SQL_SUCCEEDED(SQLBindCol(statement_, static_cast<SQLUSMALLINT>(column + 1), b.cType,
                                        b.data.data(), static_cast<SQLLEN>(width), &b.indicator));
    }

    // After a text of `length` bytes did not fit: the column's buffer grows
    // for the rows still to come.
    bool WidenTextColumn(std::size_t column, std::size_t length) {
        std::size_t width = bound_[column].data.size();
        if (width >= static_cast<std::size_t>(kLargestTextWidth)) return true;
        while (width <= length && width < static_cast<std::size_t>(kLargestTextWidth)) width *= 2;
        return BindColumn(column, width);
    }

    bool AppendRow() {
        set_.BeginRow();
        for (std::size_t c = 0; c < bound_.size(); ++c) {
            if (!AppendCell(c) || !set_.EndCell(c)) return false;
        }
        return true;
    }

    // A NULL keeps no bytes; integers and booleans are kept as int64, both
    // floats as double, texts as GBK.
    bool AppendCell(std::size_t column) {
        const BoundColumn& b = bound_[column];
        if (b.indicator == SQL_NULL_DATA) return true;
        switch (b.kind) {
            case ValueKind::Int32:
                return AppendFixed<SQLBIGINT, std::int64_t>(b);
            case ValueKind::Int16:
                return AppendFixed<SQLSMALLINT, std::int64_t>(b);
            case ValueKind::UInt8:
            case ValueKind::Boolean:
                return AppendFixed<SQLCHAR, std::int64_t>(b);
            case ValueKind::Single:
                return AppendFixed<SQLREAL, double>(b);
            case ValueKind::Double:
                return AppendFixed<SQLDOUBLE, double>(b);
            default:
                if (b.indicator >= 0 && static_cast<std::size_t>(b.indicator) < b.data.size()) {
                    const auto length = static_cast<std::size_t>(b.indicator);
                    AppendDriverText(std::string_view(b.data.data(), length),
                                     set_.CellBytes(length));
                    return true;
                }
                return ReadLongText(static_cast<SQLUSMALLINT>(column + 1)) &&
                       WidenTextColumn(column, utf8_.size());
        }
    }

    template <typename T, typename Stored>
    bool AppendFixed(const BoundColumn& b) {
        T value;
        std::memcpy(&value, b.data.data(), sizeof value);
        const Stored stored = static_cast<Stored>(value);
        set_.CellBytes(sizeof stored).append(reinterpret_cast<const char*>(&stored), sizeof stored);
        return true;
    }

    // A text that did not fit its buffer, read again from its start. The
    // first piece is small (the driver pads each piece to the whole buffer);
    // the rest follows in one piece of the length the driver announces.
    bool ReadLongText(SQLUSMALLINT column) {
        utf8_.clear();
        char first[kFirstPieceWidth];
        char* buffer = first;
        SQLLEN capacity = sizeof first;
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc =
                SQLGetData(statement_, column, SQL_C_CHAR, buffer, capacity, &indicator);
            if (rc == SQL_NO_DATA) break;  // every piece read
            if (!SQL_SUCCEEDED(rc)) return false;
            if (indicator == SQL_NULL_DATA) return true;
            if (rc == SQL_SUCCESS) {
                utf8_.append(buffer, static_cast<std::size_t>(indicator));
                break;
            }
            // Truncated: the piece holds capacity - 1 bytes and a terminator.
            utf8_.append(buffer, static_cast<std::size_t>(capacity - 1));
            const SQLLEN rest = indicator == SQL_NO_TOTAL ? kPieceSize : indicator - capacity + 2;
            largePiece_.resize(static_cast<std::size_t>(rest));
            buffer = largePiece_.data();
            capacity = rest;
        }
        AppendDriverText(utf8_, set_.CellBytes(utf8_.size()));
        return true;
    }

    SQLHSTMT statement_;
    Snapshot& set_;
    std::vector<BoundColumn> bound_;
    std::vector<char> largePiece_;
    std::string utf8_;
};

}  // namespace odbc
