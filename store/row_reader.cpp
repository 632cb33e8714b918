#include "store/row_reader.h"

#include <atomic>

#include "store/database.h"

namespace {

// Tests read a list once with the memory map and once without.
std::atomic<bool> g_mappedReadsAllowed = true;

}  // namespace

namespace odbc {

ValueKind KindOfSqlType(SQLSMALLINT type) {
    switch (type) {
        case SQL_INTEGER:
            return ValueKind::Int32;
        case SQL_SMALLINT:
            return ValueKind::Int16;
        case SQL_TINYINT:
            return ValueKind::UInt8;
        case SQL_REAL:
            return ValueKind::Single;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return ValueKind::Double;
        case SQL_BIT:
            return ValueKind::Boolean;
        default:
            return ValueKind::Text;  // character, exact numeric, BIGINT and the rest
    }
}

bool MappedReadsAllowed() { return g_mappedReadsAllowed; }

}  // namespace odbc

void SetMappedReadsForTesting(bool allowed) { g_mappedReadsAllowed = allowed; }
