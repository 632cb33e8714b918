#pragma once
// The connection object that each window owns as 外部数据库1: one ODBC
// connection to the ledger file and up to 30 result sets on it. Texts in and
// out are GBK; the driver manager is spoken to in UTF-8.
//
// Result sets are snapshots: OpenTable fetches every row at once and closes
// the cursor, so no read lock stays on the file.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/database_value.h"

class Snapshot;

inline constexpr int kMaxResultSets = 30;

// What became of a commit on a team ledger: Answered when the server answered
// it; when the connection broke before its answer came, what asking the
// server again found out.
enum class CommitFate { Answered, Stored, NotStored, Unknown };

// A transaction on a team ledger whose commit was sent but never answered, and
// whose fate could not be learnt then: the server's number for it, the time
// the server had started when it was begun, and the proof (a query counting
// what the transaction stored) that tells when the server has restarted
// since. Empty when there is none.
struct UnansweredCommit {
    std::string number;
    std::string serverStart;
    std::string proof;
    bool empty() const { return number.empty(); }
};

class DatabaseConnection {
  public:
    DatabaseConnection();
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    // Connects to the file; on success the old connection and all its result
    // sets are closed. On failure the old connection stays as it was.
    bool OpenMdbFile(const std::string& path);
    // Connects to a team ledger on a database server by an ODBC connection
    // string, with the same contract as OpenMdbFile. Against a server, reads
    // by name find a column regardless of ASCII letter case (the server
    // reports ID as id), failures read as Chinese texts that name the server,
    // and a connection the server dropped is made anew by the next statement.
    bool OpenServer(const std::string& connectionString);
    // A handle naming the snapshot, positioned on its first row; 0 when there
    // is no connection, the statement is rejected or 30 sets are held.
    std::int32_t OpenTable(const std::string& statement);
    // The same, calling whileReading once the statement is accepted and
    // before its rows are read, to start other work beside the reading.
    std::int32_t OpenTable(const std::string& statement, const std::function<void()>& whileReading);
    DatabaseValue ReadColByName(std::int32_t handle, const std::string& name);
    DatabaseValue ReadColByIndex(std::int32_t handle, int position);  // 1 = first column
    // The rows of a result set, shared: they stay readable by row and column
    // (Snapshot::At reads as ReadColByIndex does) after the connection lets
    // the set go, so a list shows them without a copy. Null for a handle not
    // held.
    std::shared_ptr<const Snapshot> SharedRows(std::int32_t handle);
    // The column, 0 for the first, that ReadColByName reads by that name; -1
    // when there is none.
    int ColumnPosition(std::int32_t handle, const std::string& name);
    void MoveFirst(std::int32_t handle);
    void MoveNext(std::int32_t handle);
    bool IsEOF(std::int32_t handle);
    // Runs a statement that returns no rows; false when there is no
    // connection or the statement is rejected.
    bool ExecuteSql(const std::string& statement);
    // How many rows the last ExecuteSql inserted, changed or deleted; 0 after
    // one that met no row (an update of an order deleted meanwhile) or failed.
    std::int64_t RowsAffected() const;

    // On a team ledger, "begin" notes the server's number for the transaction,
    // so that a "commit" whose answer is lost (the connection broke) is not
    // taken for a failure: ExecuteSql connects again and asks the server
    // whether the transaction was stored. It returns true when it was, false
    // with LastError saying what is known otherwise. The fate of the last
    // commit sent through ExecuteSql:
    CommitFate LastCommitFate() const;
    // The commit whose fate was Unknown, for AskCommit later; empty after any
    // other outcome.
    const UnansweredCommit& LastUnansweredCommit() const;
    // After "begin": a query whose first column counts the rows the
    // transaction's commit stores; it
    // decides when the server restarted between begin and the question (a
    // transaction the server never stored may then have left its number to
    // another). Without it a restart leaves the fate Unknown.
    void ProveCommitBy(const std::string& countQuery);
    // Asks the server what became of an unanswered commit: Stored, NotStored,
    // or Unknown while the server cannot tell or be reached (LastError then
    // says why). Waits about 5 s at most.
    CommitFate AskCommit(const UnansweredCommit& commit);
    // True when connected to a team ledger.
    bool OnServer() const;
    // On a team ledger, the id the last insert on this connection gave its
    // order; 0 when it cannot be asked. Not seen by the statement observer.
    std::int64_t LastInsertId();

    // The number of columns of a result set; 0 for a handle not held.
    int ColumnCount(std::int32_t handle);
    // Closes every result set while the connection stays (for tools that
    // read a set at once and run many queries on one connection).
    void CloseResultSets();

    void SetObservedForTesting(bool observed);

    bool IsOpen() const;
    // The ledger file connected to (GBK); empty for a server or none.
    const std::string& FilePath() const;
    // The driver's diagnostic (GBK) of the last operation that failed; empty
    // after one that worked.
    const std::string& LastError() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// "ODBC;DBQ=<path>;DefaultDir=<dir>;Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;"
std::string BuildConnectionString(const std::string& path);
// The ledger file: the current working directory followed by "/tallovar.mdb".
std::string DatabasePath();
// A text value for a statement: each single quote doubled.
std::string QuoteText(const std::string& text);

// Tests see every statement as it is sent (GBK, before conversion); an empty
// function stops the observation. A connection the tests use to look into a
// ledger themselves is left out with SetObservedForTesting(false).
void SetStatementObserverForTesting(std::function<void(const std::string&)> observer);
// false: lists are read with read calls into a large page cache instead of
// through a memory map, as where mapped reads cannot be guarded.
void SetMappedReadsForTesting(bool allowed);
