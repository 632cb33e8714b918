#include "store/database.h"

#include "platform/odbc_api.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "platform/mapped_reads.h"
#include "platform/odbc_driver.h"
#include "platform/program_files.h"
#include "store/connection_string.h"
#include "store/odbc_statement.h"
#include "store/row_reader.h"
#include "store/server_ledger.h"
#include "store/snapshot.h"
#include "store/sqlite_engine.h"

using namespace odbc;  // the layer below this connection, store/odbc_statement.h

namespace {

// Handles are never reused, by any connection object, so a handle kept from
// before a reopen can never name a newer result set. Connections on two
// threads draw from it at once.
std::atomic<std::int32_t> g_lastHandle = 0;

}  // namespace

struct DatabaseConnection::State {
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC connection = SQL_NULL_HDBC;
    std::vector<std::shared_ptr<Snapshot>> sets;
    std::string lastError;
    std::string path;            // of the file connected to
    std::string server;          // the connection string of a team ledger; empty for a file
    bool lost = false;           // the server dropped the connection
    bool inTransaction = false;  // a "begin" was sent and not yet ended
    bool observed = true;
    std::int64_t rowsAffected = 0;
    // On a server: the transaction begun, as the server numbers it (empty
    // when it could not be asked), and what the caller said proves its commit.
    UnansweredCommit begun;
    CommitFate commitFate = CommitFate::Answered;
    UnansweredCommit unanswered;

    ~State() {
        Close();
        if (environment != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, environment);
    }

    void Close() {
        sets.clear();
        if (connection != SQL_NULL_HDBC) {
            SQLDisconnect(connection);
            SQLFreeHandle(SQL_HANDLE_DBC, connection);
            connection = SQL_NULL_HDBC;
        }
    }

    bool EnsureEnvironment() {
        if (environment != SQL_NULL_HENV) return true;
        PrepareSqliteEngine();
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) {
            environment = SQL_NULL_HENV;
            lastError = Gbk("无法初始化 ODBC 环境");
            return false;
        }
        SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return true;
    }

    Snapshot* Find(std::int32_t handle) {
        if (handle == 0) return nullptr;
        for (auto& set : sets) {
            if (set->handle == handle) return set.get();
        }
        return nullptr;
    }

    // Sends one statement; on failure records the driver's diagnostic.
    bool Send(const Statement& statement, const std::string& text) {
        if (statement.get() == SQL_NULL_HSTMT) {
            lastError = Diagnostic(SQL_HANDLE_DBC, connection);
            return false;
        }
        if (const auto& observer = StatementObserver(); observer && observed) observer(text);
        if (server.empty() && !StepsThroughRows(text)) {
            SQLSetStmtAttr(statement.get(), SQL_ATTR_CURSOR_TYPE,
                           reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0);
        }
        std::string utf8 = ToDriverText(text);
        const SQLRETURN rc = SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(utf8.data()),
                                           static_cast<SQLINTEGER>(utf8.size()));
        // An update or delete that meets no row answers SQL_NO_DATA.
        if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return true;
        if (!server.empty()) {
            NoteServerFailure(SQL_HANDLE_STMT, statement.get());
            return false;
        }
        // A file deleted or replaced under an open connection gives odd
        // answers ("attempt to write a readonly database"); say what became
        // of it.
        lastError = Diagnostic(SQL_HANDLE_STMT, statement.get()) + FileProblem(path);
        return false;
    }

    // A statement the server refused: its Chinese text, and whether the
    // connection has to be made anew.
    void NoteServerFailure(SQLSMALLINT handleType, SQLHANDLE handle) {
        std::string sqlState;
        const std::string message = Diagnostic(handleType, handle, &sqlState);
        lost = IsConnectionLost(sqlState, message);
        lastError = ServerProblem(server, sqlState, message, false);
    }

    // Before a statement on a server connection that was dropped: connects
    // again, keeping the snapshots already read. Not inside a transaction
    // the caller began: it died with the connection, and what follows must
    // fail rather than run outside it.
    bool Reconnect() {
        if (server.empty() || !lost) return true;
        if (inTransaction) return false;
        SQLHDBC fresh = SQL_NULL_HDBC;
        if (!ConnectServer(server, fresh)) return false;
        SQLDisconnect(connection);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        connection = fresh;
        lost = false;
        return true;
    }

    // A new connection to a server with the ledger's session settings; on
    // failure lastError says why, naming the server.
    bool ConnectServer(const std::string& connectionString, SQLHDBC& made) {
        if (!EnsureEnvironment()) return false;
        SQLHDBC fresh = SQL_NULL_HDBC;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment, &fresh))) {
            lastError = Diagnostic(SQL_HANDLE_ENV, environment);
            return false;
        }
        std::string text = ServerDriverString(connectionString);
        SQLSMALLINT outLength = 0;
        SQLRETURN rc = SQLDriverConnect(fresh, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                        static_cast<SQLSMALLINT>(text.size()), nullptr, 0,
                                        &outLength, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            std::string sqlState;
            const std::string message = Diagnostic(SQL_HANDLE_DBC, fresh, &sqlState);
            lastError = ServerProblem(connectionString, sqlState, message, true);
            SQLFreeHandle(SQL_HANDLE_DBC, fresh);
            return false;
        }
        {
            Statement session(fresh);
            std::string setup = ServerSessionStatement();
            rc = session.get() == SQL_NULL_HSTMT
                     ? SQL_ERROR
                     : SQLExecDirect(session.get(), reinterpret_cast<SQLCHAR*>(setup.data()),
                                     SQL_NTS);
            if (!SQL_SUCCEEDED(rc)) {
                std::string sqlState;
                const std::string message =
                    session.get() == SQL_NULL_HSTMT
                        ? Diagnostic(SQL_HANDLE_DBC, fresh, &sqlState)
                        : Diagnostic(SQL_HANDLE_STMT, session.get(), &sqlState);
                lastError = ServerProblem(connectionString, sqlState, message, true);
            }
        }
        if (!SQL_SUCCEEDED(rc)) {
            SQLDisconnect(fresh);
            SQLFreeHandle(SQL_HANDLE_DBC, fresh);
            return false;
        }
        made = fresh;
        return true;
    }

    // Sends a statement on a new statement handle of the connection. On a
    // server, a statement that met a dropped connection (the server was
    // restarted since the last one) is sent once more on a new connection,
    // unless it inserts: an insert the server took just before the
    // connection broke would then be stored twice.
    std::unique_ptr<Statement> SendStatement(const std::string& text) {
        for (int attempt = 0;; ++attempt) {
            if (!Reconnect()) return nullptr;
            auto sql = std::make_unique<Statement>(connection);
            if (Send(*sql, text)) {
                NoteTransaction(text);
                return sql;
            }
            if (attempt > 0 || !lost || inTransaction || StartsWithWord(text, "insert")) {
                return nullptr;
            }
        }
    }

    // A query of the program's own (GBK), on the connection as it is: the
    // texts of its first row (ASCII). False when it fails or has no row;
    // lastError and lost then say why.
    bool AskServer(const std::string& query, std::vector<std::string>& texts) {
        texts.clear();
        Statement statement(connection);
        if (statement.get() == SQL_NULL_HSTMT) {
            NoteServerFailure(SQL_HANDLE_DBC, connection);
            return false;
        }
        std::string text = ToDriverText(query);
        if (!SQL_SUCCEEDED(SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(text.data()),
                                         static_cast<SQLINTEGER>(text.size())))) {
            NoteServerFailure(SQL_HANDLE_STMT, statement.get());
            return false;
        }
        SQLSMALLINT columns = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(statement.get(), &columns)) ||
            !SQL_SUCCEEDED(SQLFetch(statement.get()))) {
            NoteServerFailure(SQL_HANDLE_STMT, statement.get());
            return false;
        }
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
            char buffer[256];
            SQLLEN indicator = 0;
            if (!SQL_SUCCEEDED(SQLGetData(statement.get(), c, SQL_C_CHAR, buffer, sizeof buffer,
                                          &indicator))) {
                NoteServerFailure(SQL_HANDLE_STMT, statement.get());
                return false;
            }
            texts.emplace_back(indicator == SQL_NULL_DATA ? "" : buffer);
        }
        return true;
    }

    // After a "begin" on a server: the transaction's number and the server's
    // start, asked before anything is stored in it.
    void NoteTransactionNumber() {
        begun = {};
        std::vector<std::string> row;
        const std::string error = lastError;
        if (AskServer("select txid_current()::text, pg_postmaster_start_time()::text", row)) {
            begun.number = row[0];
            begun.serverStart = row[1];
        }
        lastError = error;
    }

    // A commit or rollback on a connection that broke during the transaction
    // or while the commit was sent. The transaction is over either way: the
    // server undoes one whose commit it never took. sent: the commit was sent.
    bool EndBrokenTransaction(bool commits, bool sent) {
        inTransaction = false;
        const UnansweredCommit noted = std::exchange(begun, {});
        if (!commits) {
            lastError.clear();
            return true;
        }
        commitFate = sent ? AskCommit(noted) : CommitFate::NotStored;
        if (commitFate == CommitFate::Stored) {
            lastError.clear();
            return true;
        }
        if (commitFate == CommitFate::Unknown) unanswered = noted;
        if (sent) lastError = LostCommitProblem(server, commitFate == CommitFate::NotStored);
        return false;
    }

    // Asks the server, connecting again while it does not answer, for about
    // 5 s at most.
    CommitFate AskCommit(const UnansweredCommit& commit) {
        if (commit.empty()) return CommitFate::Unknown;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (int attempt = 0;; ++attempt) {
            if (attempt > 0) {
                if (std::chrono::steady_clock::now() + std::chrono::seconds(1) > deadline) break;
                std::this_thread::sleep_for(std::chrono::seconds(1));
            }
            if (!Reconnect()) continue;
            std::vector<std::string> row;
            if (!AskServer("select txid_status(" + commit.number +
                               ")::text, pg_postmaster_start_time()::text",
                           row)) {
                // A number the server has not given yet: it restarted and
                // never heard of the transaction.
                if (lastError.find("in the future") != std::string::npos) {
                    return CommitFate::NotStored;
                }
                continue;
            }
            if (row[0] == "aborted") return CommitFate::NotStored;
            if (row[0] != "committed") continue;  // still in progress
            if (row[1] == commit.serverStart) return CommitFate::Stored;
            if (commit.proof.empty()) return CommitFate::Unknown;
            if (!AskServer(commit.proof, row)) continue;
            return row[0] != "0" ? CommitFate::Stored : CommitFate::NotStored;
        }
        return CommitFate::Unknown;
    }

    void NoteTransaction(const std::string& text) {
        if (StartsWithWord(text, "begin")) inTransaction = true;
        if (StartsWithWord(text, "commit") || StartsWithWord(text, "rollback")) {
            inTransaction = false;
        }
    }

    bool DescribeColumns(SQLHSTMT statement, Snapshot& set) {
        SQLSMALLINT count = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &count))) return false;
        std::vector<SQLCHAR> name(256);
        for (SQLUSMALLINT c = 1; c <= count; ++c) {
            SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            SQLRETURN rc =
                SQLDescribeCol(statement, c, name.data(), static_cast<SQLSMALLINT>(name.size()),
                               &nameLength, &type, &size, &digits, &nullable);
            if (SQL_SUCCEEDED(rc) && nameLength >= static_cast<SQLSMALLINT>(name.size())) {
                name.resize(static_cast<std::size_t>(nameLength) + 1);
                rc =
                    SQLDescribeCol(statement, c, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                   &nameLength, &type, &size, &digits, &nullable);
            }
            if (!SQL_SUCCEEDED(rc)) return false;
            set.columns.push_back(
                {FromDriverText(std::string_view(reinterpret_cast<const char*>(name.data()),
                                                 static_cast<std::size_t>(nameLength))),
                 KindOfSqlType(type)});
        }
        return true;
    }
};

DatabaseConnection::DatabaseConnection() : state_(std::make_unique<State>()) {}

DatabaseConnection::~DatabaseConnection() = default;

bool DatabaseConnection::OpenMdbFile(const std::string& path) {
    State& s = *state_;
    if (const std::string problem = PathProblem(path); !problem.empty()) {
        s.lastError = problem;
        return false;
    }
    if (!s.EnsureEnvironment()) return false;
    SQLHDBC connection = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, s.environment, &connection))) {
        s.lastError = Diagnostic(SQL_HANDLE_ENV, s.environment);
        return false;
    }
    std::string text = DriverConnectionString(path);
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnect(connection, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                    static_cast<SQLSMALLINT>(text.size()), nullptr, 0, &outLength,
                                    SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        s.lastError = Diagnostic(SQL_HANDLE_DBC, connection) + FileProblem(path);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        return false;
    }
    // SQLite reads the file only on the first statement, so a file that is
    // not a ledger at all would connect; read its schema page now, so that
    // such a file fails here and the old connection stays. Windows' own
    // driver reads the file on connecting and knows no sqlite_master.
    if (DriverIsHostSqlite()) {
        Statement probe(connection);
        std::string check = "select count(*) from sqlite_master";
        rc = probe.get() == SQL_NULL_HSTMT
                 ? SQL_ERROR
                 : SQLExecDirect(probe.get(), reinterpret_cast<SQLCHAR*>(check.data()), SQL_NTS);
        if (!SQL_SUCCEEDED(rc)) {
            s.lastError = probe.get() == SQL_NULL_HSTMT ? Diagnostic(SQL_HANDLE_DBC, connection)
                                                        : Diagnostic(SQL_HANDLE_STMT, probe.get());
        }
    }
    if (!SQL_SUCCEEDED(rc)) {
        SQLDisconnect(connection);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        return false;
    }
    s.Close();
    s.connection = connection;
    s.path = path;
    s.server.clear();
    s.lost = false;
    s.inTransaction = false;
    s.begun = {};
    s.lastError.clear();
    return true;
}

bool DatabaseConnection::OpenServer(const std::string& connectionString) {
    State& s = *state_;
    SQLHDBC connection = SQL_NULL_HDBC;
    if (!s.ConnectServer(connectionString, connection)) return false;
    s.Close();
    s.connection = connection;
    s.path.clear();
    s.server = connectionString;
    s.lost = false;
    s.inTransaction = false;
    s.begun = {};
    s.lastError.clear();
    return true;
}

std::int32_t DatabaseConnection::OpenTable(const std::string& statement) {
    return OpenTable(statement, {});
}

std::int32_t DatabaseConnection::OpenTable(const std::string& statement,
                                           const std::function<void()>& whileReading) {
    State& s = *state_;
    if (s.connection == SQL_NULL_HDBC) {
        s.lastError = Gbk("数据库没有打开");
        return 0;
    }
    if (s.sets.size() >= static_cast<std::size_t>(kMaxResultSets)) {
        s.lastError = Gbk("已打开 30 个结果集，不能再打开新的结果集");
        return 0;
    }
    if (g_lastHandle == INT32_MAX) {
        s.lastError = Gbk("结果集编号已用完");
        return 0;
    }
    auto set = std::make_shared<Snapshot>();
    set->floatingNullReadsAsText = !s.server.empty();
    {
        const FastReading fast(
            s.connection, s.server.empty() && DriverIsHostSqlite() && StepsThroughRows(statement));
        const std::unique_ptr<Statement> sql = s.SendStatement(statement);
        if (!sql) return 0;
        if (!s.DescribeColumns(sql->get(), *set)) {
            s.lastError = Diagnostic(SQL_HANDLE_STMT, sql->get());
            return 0;
        }
        if (whileReading) whileReading();
        if (!set->columns.empty()) {
            RowReader reader(sql->get(), *set);
            if (!reader.ReadAll()) {
                s.lastError = Diagnostic(SQL_HANDLE_STMT, sql->get());
                return 0;
            }
        }
    }  // the cursor closes here, before any row is read by the caller
    set->handle = ++g_lastHandle;
    s.sets.push_back(std::move(set));
    s.lastError.clear();
    return s.sets.back()->handle;
}

DatabaseValue DatabaseConnection::ReadColByIndex(std::int32_t handle, int position) {
    const Snapshot* set = state_->Find(handle);
    if (!set || position < 1 || static_cast<std::size_t>(position) > set->columns.size()) {
        return DatabaseValue::FromText({});
    }
    return set->Current(static_cast<std::size_t>(position - 1));
}

DatabaseValue DatabaseConnection::ReadColByName(std::int32_t handle, const std::string& name) {
    Snapshot* set = state_->Find(handle);
    const int column = set ? set->ColumnNamed(name, !state_->server.empty()) : -1;
    if (column < 0) return DatabaseValue::FromText({});
    return set->Current(static_cast<std::size_t>(column));
}

std::shared_ptr<const Snapshot> DatabaseConnection::SharedRows(std::int32_t handle) {
    for (const auto& set : state_->sets) {
        if (handle != 0 && set->handle == handle) return set;
    }
    return nullptr;
}

int DatabaseConnection::ColumnPosition(std::int32_t handle, const std::string& name) {
    Snapshot* set = state_->Find(handle);
    return set ? set->ColumnNamed(name, !state_->server.empty()) : -1;
}

void DatabaseConnection::MoveFirst(std::int32_t handle) {
    if (Snapshot* set = state_->Find(handle)) set->position = 0;
}

void DatabaseConnection::MoveNext(std::int32_t handle) {
    Snapshot* set = state_->Find(handle);
    if (set && set->position < set->RowCount()) ++set->position;
}

bool DatabaseConnection::IsEOF(std::int32_t handle) {
    const Snapshot* set = state_->Find(handle);
    return !set || set->position >= set->RowCount();
}

bool DatabaseConnection::ExecuteSql(const std::string& statement) {
    State& s = *state_;
    if (s.connection == SQL_NULL_HDBC) {
        s.lastError = Gbk("数据库没有打开");
        return false;
    }
    s.rowsAffected = 0;
    const bool ends =
        !s.server.empty() && s.inTransaction &&
        (StartsWithWord(statement, "commit") || StartsWithWord(statement, "rollback"));
    const bool commits = ends && StartsWithWord(statement, "commit");
    if (commits) {
        s.commitFate = CommitFate::Answered;
        s.unanswered = {};
    }
    if (ends && s.lost) return s.EndBrokenTransaction(commits, false);
    const std::unique_ptr<Statement> sql = s.SendStatement(statement);
    if (!sql && ends && s.lost) return s.EndBrokenTransaction(commits, true);
    if (!sql) return false;
    if (!s.server.empty() && StartsWithWord(statement, "begin")) s.NoteTransactionNumber();
    if (ends) s.begun = {};
    SQLLEN rows = 0;
    if (SQL_SUCCEEDED(SQLRowCount(sql->get(), &rows)) && rows > 0) s.rowsAffected = rows;
    s.lastError.clear();
    return true;
}

CommitFate DatabaseConnection::LastCommitFate() const { return state_->commitFate; }

const UnansweredCommit& DatabaseConnection::LastUnansweredCommit() const {
    return state_->unanswered;
}

void DatabaseConnection::ProveCommitBy(const std::string& countQuery) {
    state_->begun.proof = countQuery;
}

CommitFate DatabaseConnection::AskCommit(const UnansweredCommit& commit) {
    State& s = *state_;
    if (s.server.empty() || s.connection == SQL_NULL_HDBC) {
        s.lastError = Gbk("数据库没有打开");
        return CommitFate::Unknown;
    }
    const CommitFate fate = s.AskCommit(commit);
    if (fate == CommitFate::Unknown) {
        s.lastError = LostCommitProblem(s.server, false);
    } else {
        s.lastError.clear();
    }
    return fate;
}

bool DatabaseConnection::OnServer() const { return !state_->server.empty(); }

std::int64_t DatabaseConnection::LastInsertId() {
    State& s = *state_;
    std::vector<std::string> row;
    const std::string error = s.lastError;
    const bool asked = !s.server.empty() && s.connection != SQL_NULL_HDBC &&
                       s.AskServer("select tallovar.last_insert_rowid()::text", row);
    s.lastError = error;
    return asked ? std::strtoll(row[0].c_str(), nullptr, 10) : 0;
}

int DatabaseConnection::ColumnCount(std::int32_t handle) {
    const Snapshot* set = state_->Find(handle);
    return set ? static_cast<int>(set->columns.size()) : 0;
}

void DatabaseConnection::SetObservedForTesting(bool observed) { state_->observed = observed; }

void DatabaseConnection::CloseResultSets() { state_->sets.clear(); }

std::int64_t DatabaseConnection::RowsAffected() const { return state_->rowsAffected; }

bool DatabaseConnection::IsOpen() const { return state_->connection != SQL_NULL_HDBC; }

const std::string& DatabaseConnection::FilePath() const { return state_->path; }

const std::string& DatabaseConnection::LastError() const { return state_->lastError; }
