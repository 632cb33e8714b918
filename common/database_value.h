#pragma once
// One value read from a result column, together with its kind.

#include <cstdint>
#include <string>

enum class ValueKind { Text, UInt8, Int16, Int32, Int64, Single, Double, Boolean, DateTime, Bytes };

struct DatabaseValue {
    ValueKind kind = ValueKind::Text;
    std::string text;          // Text (GBK) and Bytes
    std::int64_t integer = 0;  // UInt8, Int16, Int32, Int64; Boolean as 0 or 1
    double number = 0;         // Single (exactly the float), Double, DateTime (OLE days)

    static DatabaseValue FromText(std::string t) {
        DatabaseValue v;
        v.text = std::move(t);
        return v;
    }
    static DatabaseValue FromInteger(ValueKind k, std::int64_t i) {
        DatabaseValue v;
        v.kind = k;
        v.integer = i;
        return v;
    }
    static DatabaseValue FromNumber(ValueKind k, double d) {
        DatabaseValue v;
        v.kind = k;
        v.number = d;
        return v;
    }
    // The empty value of a kind: empty text, or zero.
    static DatabaseValue Empty(ValueKind k) {
        DatabaseValue v;
        v.kind = k;
        return v;
    }
};
