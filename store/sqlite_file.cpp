#include "store/sqlite_file.h"

#include <sqlite3.h>

#include "store/durability.h"

namespace {

int Flags(SqliteOpen how) {
    switch (how) {
        case SqliteOpen::ReadOnly:
            return SQLITE_OPEN_READONLY;
        case SqliteOpen::InMemory:
            return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY;
        case SqliteOpen::Create:
            return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        case SqliteOpen::ReadWrite:
            break;
    }
    return SQLITE_OPEN_READWRITE;
}

}  // namespace

SqliteDatabase::~SqliteDatabase() { sqlite3_close(db_); }

bool SqliteDatabase::Open(const std::string& path, SqliteOpen how) {
    if (sqlite3_open_v2(path.c_str(), &db_, Flags(how), nullptr) != SQLITE_OK) return false;
    sqlite3_busy_timeout(db_, kLockWaitMilliseconds);
    // As the program's connections (store/durability.h). A file that is no
    // database refuses the setting; the first statement on it says why.
    Exec(SynchronousStatement());
    return true;
}

bool SqliteDatabase::Exec(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string SqliteDatabase::QueryText(const std::string& sql) {
    SqliteStatement query(*this, sql);
    return query.Prepared() && query.Next() == SqliteStatement::Step::Row ? query.Text(0)
                                                                          : std::string();
}

bool SqliteDatabase::Close() {
    const bool closed = sqlite3_close(db_) == SQLITE_OK;
    db_ = nullptr;
    return closed;
}

std::string SqliteDatabase::Error() const {
    return db_ ? sqlite3_errmsg(db_) : "cannot open the database";
}

Status SqliteDatabase::Failure() const {
    StatusKind kind = StatusKind::Failed;
    switch (db_ ? sqlite3_errcode(db_) & 0xff : SQLITE_CANTOPEN) {
        case SQLITE_FULL:
            kind = StatusKind::Full;
            break;
        case SQLITE_PERM:
        case SQLITE_READONLY:
        case SQLITE_AUTH:
            kind = StatusKind::Refused;
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            kind = StatusKind::Busy;
            break;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            kind = StatusKind::NotALedger;
            break;
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
            kind = StatusKind::Io;
            break;
        default:
            break;
    }
    return Status::Untranslated(kind, Error());
}

long long SqliteDatabase::Changes() const { return sqlite3_changes(db_); }

long long SqliteDatabase::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

bool SqliteDatabase::ColumnIgnoresCase(const std::string& table, const std::string& column) const {
    const char* collation = nullptr;
    return sqlite3_table_column_metadata(db_, "main", table.c_str(), column.c_str(), nullptr,
                                         &collation, nullptr, nullptr, nullptr) == SQLITE_OK &&
           collation && sqlite3_stricmp(collation, "NOCASE") == 0;
}

SqliteStatement::SqliteStatement(const SqliteDatabase& db, const std::string& sql) {
    sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement_, nullptr);
}

void SqliteStatement::Bind(int position, const std::string& text) {
    sqlite3_bind_text(statement_, position, text.data(), static_cast<int>(text.size()),
                      SQLITE_STATIC);
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    if (!text) return {};
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

SqliteStatement::Step SqliteStatement::Next() {
    switch (sqlite3_step(statement_)) {
        case SQLITE_ROW:
            return Step::Row;
        case SQLITE_DONE:
            return Step::Done;
        default:
            return Step::Failed;
    }
}

void SqliteStatement::Reset() { sqlite3_reset(statement_); }

long long SqliteStatement::Integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

int SqliteStatement::Columns() const { return sqlite3_column_count(statement_); }
