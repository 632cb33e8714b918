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
#include "store/ledger_driver.h"
#include "store/server_ledger.h"
#include "store/snapshot.h"
#include "store/sqlite_engine.h"

namespace {

// Piece size for a long text whose length the driver does not announce.
constexpr SQLLEN kPieceSize = 64 * 1024;

std::function<void(const std::string&)>& StatementObserver() {
    static std::function<void(const std::string&)> observer;
    return observer;
}

// Texts cross to the driver in the encoding it takes (platform/odbc_driver.h):
// UTF-8 for the SQLite driver, GBK as it is for Windows' own.
std::string ToDriverText(std::string_view gbk) {
    return DriverIsHostSqlite() ? GbkToUtf8(gbk) : std::string(gbk);
}

void AppendDriverText(std::string_view text, std::string& gbk) {
    if (DriverIsHostSqlite()) {
        AppendGbk(text, gbk);
    } else {
        gbk.append(text);
    }
}

std::string FromDriverText(std::string_view text) {
    return DriverIsHostSqlite() ? Gbk(text) : std::string(text);
}

// Handles are never reused, by any connection object, so a handle kept from
// before a reopen can never name a newer result set. Connections on two
// threads draw from it at once.
std::atomic<std::int32_t> g_lastHandle = 0;

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

// Every diagnostic record of a handle, joined, as GBK; the SQLSTATE of the
// first record goes to firstState when asked for.
std::string Diagnostic(SQLSMALLINT handleType, SQLHANDLE handle,
                       std::string* firstState = nullptr) {
    std::string all;
    SQLCHAR state[6];
    SQLINTEGER nativeError = 0;
    std::vector<SQLCHAR> message(1024);
    for (SQLSMALLINT record = 1;; ++record) {
        SQLSMALLINT length = 0;
        SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, record, state, &nativeError, message.data(),
                          static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(static_cast<std::size_t>(length) + 1);
            rc = SQLGetDiagRec(handleType, handle, record, state, &nativeError, message.data(),
                               static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc)) break;
        if (firstState && record == 1) firstState->assign(reinterpret_cast<const char*>(state), 5);
        if (!all.empty()) all += "; ";
        all += reinterpret_cast<const char*>(message.data());
    }
    if (all.empty()) all = "ODBC error";
    return FromDriverText(all);
}

// Why the file at path cannot be opened, as the system tells it; empty when
// it can. The driver answers only "connect failed" whatever the reason.
std::string FileProblem(const std::string& path) {
    const std::string problem = FileOpenProblem(path);
    if (problem.empty()) return {};
    return Gbk("（") + path + Gbk("：") + problem + Gbk("）");
}

// Why the driver could not be given the path, or empty. It reads every
// value up to the next ';' and honours no quoting, so a folder name holding
// one would cut the path short and could name another file.
std::string PathProblem(const std::string& path) {
    if (path.find(';') == std::string::npos) return {};
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? path : path.substr(0, slash);
    return Gbk("账本所在文件夹的路径“") + folder +
           Gbk("”中有分号“;"
               "”，数据库驱动无法打开其中的账本；请给文件夹改名，或把账本移到别的文件夹");
}

// The connection string as the driver manager wants it: without the leading
// "ODBC;" of the database class; for the SQLite driver with the keys it
// reads, UTF-8; for Windows' own driver exactly as built. Where the driver is
// chosen by the ledger file (Windows), see store/ledger_driver.h.
std::string DriverConnectionString(const std::string& path) {
    if (DriverChosenByLedgerFile()) {
        const std::string text = ChosenConnectionString(path, HostDriverPath(path));
        return DriverIsHostSqlite() ? GbkToUtf8(text) : text;
    }
    std::string text = BuildConnectionString(path);
    constexpr std::string_view kPrefix = "ODBC;";
    if (text.starts_with(kPrefix)) text.erase(0, kPrefix.size());
    if (!DriverIsHostSqlite()) return text;
    text += "Database=" + HostDriverPath(path) + ";";
    text += kSqliteDriverKeys;
    return GbkToUtf8(text);
}

// True when the statement's first word is that one (ASCII letters in any case).
bool StartsWithWord(std::string_view text, std::string_view word) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                             text.front() == '\r')) {
        text.remove_prefix(1);
    }
    if (text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != word[i]) return false;
    }
    return text.size() == word.size() ||
           !std::isalnum(static_cast<unsigned char>(text[word.size()]));
}

// True for a select of whole rows ("select * from ..."), which the driver
// steps through row by row, so a large list is not held a second time as the
// driver's texts. Such columns are typed by their declarations either way;
// a computed column (count(*), sum()) is typed by its first value only when
// the driver copies the result first, so every other statement keeps that
// (static) cursor.
bool StepsThroughRows(std::string_view text) {
    if (!StartsWithWord(text, "select")) return false;
    text.remove_prefix(text.find_first_of("sS") + 6);
    const std::size_t star = text.find_first_not_of(" \t\r\n");
    return star != std::string_view::npos && text[star] == '*' &&
           StartsWithWord(text.substr(star + 1), "from");
}

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
          mapped_(wanted && CanGuardMappedReads()) {
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

std::string BuildConnectionString(const std::string& path) {
    // The last separator, walking by characters: a byte of 0x80 or more starts
    // a double-byte character whose second byte is skipped.
    std::size_t separator = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (static_cast<unsigned char>(path[i]) >= 0x80) {
            ++i;
        } else if (path[i] == kPathSeparator) {
            separator = i;
        }
    }
    std::string text = "ODBC;DBQ=" + path;
    if (separator != std::string::npos) text += ";DefaultDir=" + path.substr(0, separator);
    text += ";Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access";
    text += ";";
    return text;
}

std::string DatabasePath() { return PathIn(CurrentDirectory(), kLedgerFileName); }

std::string QuoteText(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size());
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted;
}

void SetStatementObserverForTesting(std::function<void(const std::string&)> observer) {
    StatementObserver() = std::move(observer);
}
