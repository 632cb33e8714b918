#pragma once
// The statements tallovar-admin runs beyond the program's own: the user
// table, storing and reading orders column by column (import, demo orders),
// a ledger file's checks and copies, the upgrade of an older ledger, and
// moving a ledger file onto a server. Texts are UTF-8. Statements with ?1,
// ?2, ... take their texts as parameters on a ledger file; a team ledger gets
// them as literals (WithServerLiterals).

#include <string>
#include <vector>

// Users, newest last: ID and name. The server spells the id in lower case.
std::string UserListQuery();
std::string ServerUserListQuery();
// ?1 the name, ?2 the password.
std::string UserCountQuery();
std::string AddUserStatement();
std::string ChangePasswordStatement();
std::string RemoveUserStatement();
// On a team ledger, keeps other administrators out of the user table until
// the transaction ends.
std::string LockUsersStatement();

// The order table's texts of the columns named, as parameters ?1, ?2, ... in
// that order, and all orders' texts of those columns.
std::string InsertOrderTextsStatement(const std::vector<std::string>& columns);
std::string OrderTextsQuery(const std::vector<std::string>& columns);
std::string OrderCountQuery();

// A ledger file's own checks: SQLite's integrity check answers "ok"; the
// column names of the table ?1.
std::string IntegrityCheckQuery();
std::string TableColumnsQuery();
// Whether the file has an object of type ?1 and name ?2 (a count).
std::string ObjectCountQuery();
// A copy that keeps a rollback journal (it answers "delete").
std::string RollbackJournalStatement();

// Remaking the user table of an older ledger with the same rows, IDs and
// next ID: the next ID first, then the steps (the new table's create
// statement between the rename and the copy), then the next ID kept.
std::string NextUserIdQuery();
std::string RenameOldUsersStatement();
std::string CopyOldUsersStatement();
std::string DropOldUsersStatement();
std::string KeepNextUserIdStatement(const std::string& next);

// Copying a ledger file onto a server with ids: the rows in id order, and the
// head of a multi-row insert ("... values") the rows follow.
struct TableCopy {
    std::string query;
    std::string insertHead;
    int columns;  // the id first, then texts
};
TableCopy UserTableCopy();
TableCopy OrderTableCopy();
TableCopy RecycleBinCopy();

// On a team ledger: a write transaction that keeps other writers of orders
// and the bin out while readers go on, and an insert that answers the row's
// id.
std::string LockOrdersStatement();
std::string ReturningId(const std::string& insert);

// A text as an SQL literal for the server: in single quotes, quotes doubled.
std::string ServerLiteral(const std::string& text);
// sql with each ?N standing for texts[N-1] replaced by that text as a literal.
std::string WithServerLiterals(const std::string& sql, const std::vector<std::string>& texts);
