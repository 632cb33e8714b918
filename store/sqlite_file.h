#pragma once
// Owning handles for SQLite's own library, for what the ODBC driver cannot
// do (online backup, restore in place, building a ledger before it is
// placed): a connection that waits for the program's locks instead of
// failing at once, and a prepared statement with text binding and reading.
// Texts are UTF-8. The library's own calls stay in the store/sqlite_* files.

#include <string>

#include "common/status.h"

struct sqlite3;
struct sqlite3_stmt;

// How long a subcommand waits for a lock the program holds before it gives up.
inline constexpr int kLockWaitMilliseconds = 10'000;

// How a file is opened; none creates a file, a database in memory aside.
// Create: a new file where there is none.
enum class SqliteOpen { ReadWrite, ReadOnly, InMemory, Create };

class SqliteDatabase {
  public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    bool Open(const std::string& path, SqliteOpen how = SqliteOpen::ReadWrite);
    bool Exec(const std::string& sql);
    // The first column of the first row of a query, empty if there is none.
    std::string QueryText(const std::string& sql);
    bool Close();
    std::string Error() const;
    // The last failure as SQLite words it, of the kind its error code tells.
    Status Failure() const;
    // Rows the last insert, update or delete changed, and the row ID the
    // last insert gave.
    long long Changes() const;
    long long LastInsertId() const;
    // True when the column of the table compares without regard to ASCII
    // letter case (collation NOCASE).
    bool ColumnIgnoresCase(const std::string& table, const std::string& column) const;
    sqlite3* get() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

class SqliteStatement {
  public:
    enum class Step { Row, Done, Failed };

    SqliteStatement(const SqliteDatabase& db, const std::string& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Prepared() const { return statement_ != nullptr; }
    // The text must live until the next Next.
    void Bind(int position, const std::string& text);  // 1 = first parameter
    // Runs the statement on to its next row, or to its end.
    Step Next();
    void Reset();
    std::string Text(int column) const;  // 0 = first column; "" for NULL
    long long Integer(int column) const;
    int Columns() const;

  private:
    sqlite3_stmt* statement_ = nullptr;
};
