#include "exchange/ledger_guard.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace {

// Every SQLite 3 database file, and so every ledger, starts with these bytes.
constexpr char kSqliteHeader[] = "SQLite format 3";

bool StartsLikeLedger(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char head[sizeof kSqliteHeader] = {};
    const bool read = std::fread(head, 1, sizeof head, file) == sizeof head;
    std::fclose(file);
    return read && std::memcmp(head, kSqliteHeader, sizeof head) == 0;
}

}  // namespace

std::string LedgerOverwriteProblem(const std::string& path, const std::string& ledgerPath) {
    struct stat target;
    if (stat(path.c_str(), &target) != 0) return {};
    if (IsSameFile(path, ledgerPath)) {
        return "“" + Utf8OfNativePath(path) + "”就是账本本身，不能写到它上面：请另选一个文件名";
    }
    if (S_ISREG(target.st_mode) && StartsLikeLedger(path)) {
        return "“" + Utf8OfNativePath(path) + "”是一个账本文件，不能写到它上面：请另选一个文件名";
    }
    return {};
}
