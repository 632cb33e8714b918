#include "store/recycle_bin.h"

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database.h"
#include "store/ledger_schema.h"
#include "store/server_ledger.h"

namespace {

// Deleted orders, newest first: 编号, 删除时间, ID, then the fourteen texts.
const std::string& RecycleBinList() {
    static const std::string list =
        Gbk("select 编号,删除时间,ID," + OrderTextColumns() + " from 回收站 order by 编号 desc");
    return list;
}

// The two statements that bring a bin entry back into the order list: the
// order keeps its ID when that ID is free and gets a new one otherwise.
std::string RestoreFromBinInsert(long long number) {
    return Gbk("insert into 订单列表(ID," + OrderTextColumns() +
               ") select case when exists(select 1 from 订单列表 o where o.ID=b.ID) then null "
               "else b.ID end," +
               OrderTextColumns() + " from 回收站 b where b.编号=" + std::to_string(number));
}

std::string RemoveFromBin(long long number) {
    return Gbk("delete from 回收站 where 编号=" + std::to_string(number));
}

// onServer: as PostgreSQL spells the local time so many days ago.
std::string PurgeBinStatement(long long olderThanDays, bool onServer) {
    std::string sql = Gbk("delete from 回收站");
    if (olderThanDays <= 0) return sql;
    const std::string days = std::to_string(olderThanDays);
    return sql + Gbk(" where 删除时间 < ") +
           (onServer
                ? "to_char(localtimestamp - interval '" + days + " days', 'YYYY-MM-DD HH24:MI:SS')"
                : "strftime('%Y-%m-%d %H:%M:%S','now','localtime','-" + days + " days')");
}

// A ledger file's write lock taken at the start, so that the restore never
// waits for it halfway; on a team ledger the same: readers go on, other
// writers of orders and the bin wait.
bool BeginWriting(DatabaseConnection& db) {
    if (!db.OnServer()) return db.ExecuteSql("begin immediate");
    return db.ExecuteSql("begin") && db.ExecuteSql(Gbk(LockOrdersStatement()));
}

Status Failure(const DatabaseConnection& db) {
    return Status::Untranslated(StatusKind::Io, GbkToUtf8(db.LastError()));
}

}  // namespace

std::string RecycleBinExistsQuery() {
    return std::string("select count(*) from sqlite_master where type='table' and name='") +
           kRecycleBinTable + "'";
}

Status HasRecycleBin(DatabaseConnection& db, bool& present) {
    present = false;
    // A team ledger answers this from a view of its own tables.
    const std::int32_t set = db.OpenTable(Gbk(RecycleBinExistsQuery()));
    if (set == 0) return Failure(db);
    present = NumberToInteger(db.ReadColByIndex(set, 1)) != 0;
    return Status::Ok();
}

Status ReadRecycleBin(DatabaseConnection& db, std::vector<std::vector<std::string>>& entries) {
    entries.clear();
    const std::int32_t set = db.OpenTable(RecycleBinList());
    if (set == 0) return Failure(db);
    const int columns = db.ColumnCount(set);
    for (db.MoveFirst(set); !db.IsEOF(set); db.MoveNext(set)) {
        std::vector<std::string>& entry = entries.emplace_back();
        for (int column = 1; column <= columns; ++column) {
            entry.push_back(ValueToText(db.ReadColByIndex(set, column)));
        }
    }
    return Status::Ok();
}

Status RestoreFromRecycleBin(DatabaseConnection& db, long long number, std::string& id) {
    id.clear();
    if (!BeginWriting(db)) return Failure(db);
    const auto undo = [&db](const Status& failure) {
        db.ExecuteSql("rollback");
        return failure;
    };
    if (!db.ExecuteSql(RestoreFromBinInsert(number))) return undo(Failure(db));
    if (db.RowsAffected() == 0) {
        return undo(Status::Failure(StatusKind::NotFound,
                                    "回收站中没有编号 " + std::to_string(number),
                                    "the bin holds no entry " + std::to_string(number)));
    }
    const std::int32_t restored = db.OpenTable("select last_insert_rowid()");
    if (restored == 0 || !db.ExecuteSql(RemoveFromBin(number)) || !db.ExecuteSql("commit")) {
        return undo(Failure(db));
    }
    id = ValueToText(db.ReadColByIndex(restored, 1));
    return Status::Ok();
}

Status RemoveFromRecycleBin(DatabaseConnection& db, long long number) {
    return db.ExecuteSql(RemoveFromBin(number)) ? Status::Ok() : Failure(db);
}

Status PurgeRecycleBin(DatabaseConnection& db, long long olderThanDays, std::int64_t& removed) {
    removed = 0;
    if (!db.ExecuteSql(PurgeBinStatement(olderThanDays, db.OnServer()))) return Failure(db);
    removed = db.RowsAffected();
    return Status::Ok();
}
