#pragma once
// The ODBC statement below DatabaseConnection (store/database.h): texts to
// and from the driver, the driver's diagnostics, the statement's first word,
// and a statement handle freed on every way out. For the store's own
// connection files only.

#include <functional>
#include <string>
#include <string_view>

#include "platform/odbc_api.h"

namespace odbc {

// Every statement as it is sent, for the tests (store/database.h).
std::function<void(const std::string&)>& StatementObserver();

// Texts cross to the driver in the encoding it takes (platform/odbc_driver.h):
// UTF-8 for the SQLite driver, GBK as it is for Windows' own.
std::string ToDriverText(std::string_view gbk);
void AppendDriverText(std::string_view text, std::string& gbk);
std::string FromDriverText(std::string_view text);

// Every diagnostic record of a handle, joined, as GBK; the SQLSTATE of the
// first record goes to firstState when asked for.
std::string Diagnostic(SQLSMALLINT handleType, SQLHANDLE handle, std::string* firstState = nullptr);
// Why the file at path cannot be opened, as the system tells it; empty when
// it can. The driver answers only "connect failed" whatever the reason.
std::string FileProblem(const std::string& path);

// True when the statement's first word is that one (ASCII letters in any case).
bool StartsWithWord(std::string_view text, std::string_view word);
// True for a select of whole rows ("select * from ..."), which the driver
// steps through row by row (see the definition).
bool StepsThroughRows(std::string_view text);

// Frees a statement handle (and so closes its cursor) on every way out.
class Statement {
  public:
    explicit Statement(SQLHDBC connection) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
            handle_ = SQL_NULL_HSTMT;
        }
    }
    ~Statement() {
        if (handle_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, handle_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    SQLHSTMT get() const { return handle_; }

  private:
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

}  // namespace odbc
