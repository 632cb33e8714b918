#include "store/admin_statements.h"

#include <cctype>

#include "store/database.h"
#include "store/ledger_schema.h"

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) text += (i ? "," : "") + names[i];
    return text;
}

const std::string& OrderIdAndTexts() {
    static const std::string columns = "ID," + OrderTextColumns();
    return columns;
}

}  // namespace

std::string UserListQuery() { return "select ID, username from sysuser order by ID"; }
std::string ServerUserListQuery() { return "select id, username from sysuser order by id"; }
std::string UserCountQuery() { return "select count(*) from sysuser where username = ?1"; }
std::string AddUserStatement() { return "insert into sysuser(username,password) values(?1,?2)"; }
std::string ChangePasswordStatement() {
    return "update sysuser set password = ?2 where username = ?1";
}
std::string RemoveUserStatement() { return "delete from sysuser where username = ?1"; }
std::string LockUsersStatement() { return "lock table sysuser in exclusive mode"; }

std::string InsertOrderTextsStatement(const std::vector<std::string>& columns) {
    std::string values;
    for (std::size_t i = 0; i < columns.size(); ++i)
        values += (i ? ",?" : "?") + std::to_string(i + 1);
    return std::string("insert into ") + kOrderTable + "(" + Joined(columns) + ") values(" +
           values + ")";
}

std::string OrderTextsQuery(const std::vector<std::string>& columns) {
    return "select " + Joined(columns) + " from " + kOrderTable;
}

std::string OrderCountQuery() { return std::string("select count(*) from ") + kOrderTable; }

std::string IntegrityCheckQuery() { return "pragma integrity_check"; }
std::string TableColumnsQuery() { return "select name from pragma_table_info(?1)"; }
std::string ObjectCountQuery() {
    return "select count(*) from sqlite_master where type=?1 and name=?2";
}
std::string RollbackJournalStatement() { return "pragma journal_mode=delete"; }

std::string NextUserIdQuery() { return "select seq from sqlite_sequence where name='sysuser'"; }
std::string RenameOldUsersStatement() { return "alter table sysuser rename to sysuser_old"; }
std::string CopyOldUsersStatement() {
    return "insert into sysuser(ID,username,password) select ID,username,password from "
           "sysuser_old";
}
std::string DropOldUsersStatement() { return "drop table sysuser_old"; }
std::string KeepNextUserIdStatement(const std::string& next) {
    return "update sqlite_sequence set seq=max(seq," + next + ") where name='sysuser'";
}

TableCopy UserTableCopy() {
    return {"select ID, username, password from sysuser order by ID",
            "insert into sysuser(id,username,password) values", 3};
}

TableCopy OrderTableCopy() {
    return {"select " + OrderIdAndTexts() + " from 订单列表 order by ID",
            "insert into 订单列表(" + OrderIdAndTexts() + ") values",
            static_cast<int>(kOrderTextColumnCount) + 1};
}

// Every entry under its number, with the time it was deleted.
TableCopy RecycleBinCopy() {
    const std::string columns = "编号,删除时间," + OrderIdAndTexts();
    return {"select " + columns + " from 回收站 order by 编号",
            "insert into 回收站(" + columns + ") values",
            static_cast<int>(kOrderTextColumnCount) + 3};
}

std::string LockOrdersStatement() {
    return "lock table 订单列表, 回收站 in share row exclusive mode";
}

std::string ReturningId(const std::string& insert) { return insert + " returning ID"; }

std::string ServerLiteral(const std::string& text) { return "'" + QuoteText(text) + "'"; }

std::string WithServerLiterals(const std::string& sql, const std::vector<std::string>& texts) {
    std::string out;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        std::size_t end = i + 1;
        while (sql[i] == '?' && end < sql.size() &&
               std::isdigit(static_cast<unsigned char>(sql[end])))
            ++end;
        const std::size_t n = end > i + 1 ? std::stoul(sql.substr(i + 1, end - i - 1)) : 0;
        if (n == 0 || n > texts.size()) {
            out += sql[i];
            continue;
        }
        out += ServerLiteral(texts[n - 1]);
        i = end - 1;
    }
    return out;
}
