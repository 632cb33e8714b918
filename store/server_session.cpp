#include "store/server_session.h"

#include "common/text_encoding.h"
#include "common/value_text.h"

bool ServerSession::Open(const std::string& connectionString) {
    connection_ = Gbk(connectionString);
    return db_.OpenServer(connection_);
}

bool ServerSession::Exec(const std::string& sql) { return db_.ExecuteSql(Gbk(sql)); }

bool ServerSession::Rows(const std::string& sql, std::vector<std::vector<std::string>>& rows) {
    rows.clear();
    // A connection holds at most 30 result sets; the tool reads each one
    // at once, so it keeps none.
    db_.CloseResultSets();
    const std::int32_t set = db_.OpenTable(Gbk(sql));
    if (set == 0) return false;
    const int columns = db_.ColumnCount(set);
    for (db_.MoveFirst(set); !db_.IsEOF(set); db_.MoveNext(set)) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int c = 1; c <= columns; ++c) {
            row.push_back(GbkToUtf8(ValueToText(db_.ReadColByIndex(set, c))));
        }
    }
    return true;
}

std::string ServerSession::Error() const { return GbkToUtf8(db_.LastError()); }
