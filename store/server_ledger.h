#pragma once
// What is particular to a team ledger on a PostgreSQL server reached through
// psqlODBC: the connection string as handed to the driver, the session every
// connection starts with, and the Chinese texts for what a server can answer
// (unreachable, wrong password, no such database, a lock held too long, the
// connection lost). Texts in and out are GBK unless said otherwise.

#include <string>
#include <vector>

// How long a statement waits for a lock another user holds before it gives up.
inline constexpr int kServerLockWaitSeconds = 5;

// The value of a key of an ODBC connection string (keys without regard to
// ASCII letter case, a value in braces without them); empty when absent.
std::string ConnectionKey(const std::string& connectionString, const std::string& key);

// The string for SQLDriverConnect (UTF-8): the configured one, plus the
// driver settings the program relies on where it does not set them itself,
// and a bound of 10 s on waiting for the server while connecting whatever
// libpq settings (pqopt) it holds.
std::string ServerDriverString(const std::string& connectionString);

// One statement run right after connecting: the ledger's schema first on the
// search path (its like, sum() and tables), and the lock wait.
std::string ServerSessionStatement();

// The server as the user knows it: "主机:端口 上的数据库 名" or "数据源 名".
std::string ServerLabel(const std::string& connectionString);

// True when the diagnostic says the connection to the server is gone, so the
// next statement has to connect again.
bool IsConnectionLost(const std::string& sqlState, const std::string& message);

// The Chinese text for a failure. connecting: the failure was in making the
// connection. message is the driver's diagnostic (GBK), kept at the end for
// the rarer cases.
std::string ServerProblem(const std::string& connectionString, const std::string& sqlState,
                          const std::string& message, bool connecting);

// The Chinese text for a commit whose answer the broken connection took:
// asked again, the server said it was not stored (notStored), or it could not
// be asked.
// A text as an SQL literal for the server: in single quotes, quotes doubled.
std::string ServerLiteral(const std::string& text);
// sql with each ?N standing for texts[N-1] replaced by that text as a literal
// (the tool's statements take ?1, ?2, ... as parameters on a ledger file).
std::string WithServerLiterals(const std::string& sql, const std::vector<std::string>& texts);
// Inside a transaction: keeps other writers of orders and the bin out while
// readers go on, as a ledger file's write lock does.
std::string LockOrdersStatement();

std::string LostCommitProblem(const std::string& connectionString, bool notStored);
