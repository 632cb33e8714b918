#pragma once
// Owning handles for the SQLite library as the maintenance tool uses it: a
// connection that waits for the program's locks instead of failing at once,
// and a prepared statement with text binding and reading. Texts are UTF-8.

#include <sqlite3.h>

#include <string>

#include "common/status.h"

// How long a subcommand waits for a lock the program holds before it gives up.
inline constexpr int kLockWaitMilliseconds = 10'000;

class SqliteDatabase {
  public:
    SqliteDatabase() = default;
    ~SqliteDatabase() { sqlite3_close(db_); }
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // flags: SQLITE_OPEN_READONLY or SQLITE_OPEN_READWRITE; never creates.
    bool Open(const std::string& path, int flags = SQLITE_OPEN_READWRITE);
    bool Exec(const std::string& sql);
    // The first column of the first row of a query, empty if there is none.
    std::string QueryText(const std::string& sql);
    bool Close();
    std::string Error() const;
    // The last failure as SQLite words it, of the kind its error code tells.
    Status Failure() const;
    sqlite3* get() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

class SqliteStatement {
  public:
    SqliteStatement(const SqliteDatabase& db, const std::string& sql);
    ~SqliteStatement() { sqlite3_finalize(statement_); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Prepared() const { return statement_ != nullptr; }
    // The text must live until the next Step.
    void Bind(int position, const std::string& text);  // 1 = first parameter
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return sqlite3_step(statement_); }
    void Reset() { sqlite3_reset(statement_); }
    std::string Text(int column) const;  // 0 = first column; "" for NULL
    long long Integer(int column) const { return sqlite3_column_int64(statement_, column); }
    int Columns() const { return sqlite3_column_count(statement_); }

  private:
    sqlite3_stmt* statement_ = nullptr;
};
