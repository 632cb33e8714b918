// tallovar-admin trash list | restore N | purge [--older-than DAYS]: the
// recycle bin from the command line, as the window "回收站…" shows it. N is
// the bin number that list shows first; a restored order keeps its ID when
// that ID is free.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "store/ledger_schema.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/sqlite_handle.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "用法 / usage:\n"
                 "  tallovar-admin trash list\n"
                 "  tallovar-admin trash restore N      (N: list 的第一列 / the first column of "
                 "list)\n"
                 "  tallovar-admin trash purge [--older-than DAYS]\n");
    return kExitUsage;
}

bool ParseWhole(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end && value >= 0;
}

int DatabaseFailure(SqliteDatabase& db) {
    return Fail("回收站操作失败，账本未改动：" + db.Error(),
                "the bin could not be changed; the ledger was not changed: " + db.Error());
}

int List(SqliteDatabase& db) {
    SqliteStatement rows(db, kRecycleBinList);
    if (!rows.Prepared()) return DatabaseFailure(db);
    std::string header = std::string("编号\t删除时间\tID\t") + kOrderTextColumns;
    std::replace(header.begin(), header.end(), ',', '\t');
    std::printf("%s\n", header.c_str());
    int rc;
    while ((rc = rows.Step()) == SQLITE_ROW) {
        std::string line = rows.Text(0);
        for (int column = 1; column < 17; ++column) line += "\t" + rows.Text(column);
        std::printf("%s\n", line.c_str());
    }
    return rc == SQLITE_DONE ? kExitOk : DatabaseFailure(db);
}

int Restore(SqliteDatabase& db, long long number) {
    if (!db.Exec("begin immediate")) return DatabaseFailure(db);
    if (!db.Exec(RestoreFromBinInsert(number))) {
        const int result = DatabaseFailure(db);
        db.Exec("rollback");
        return result;
    }
    if (sqlite3_changes(db.get()) == 0) {
        db.Exec("rollback");
        return Fail("回收站中没有编号 " + std::to_string(number),
                    "the bin holds no entry " + std::to_string(number));
    }
    const long long id = sqlite3_last_insert_rowid(db.get());
    if (!db.Exec(RemoveFromBin(number)) || !db.Exec("commit")) {
        const int result = DatabaseFailure(db);
        db.Exec("rollback");
        return result;
    }
    std::printf("已恢复订单，ID %lld\norder restored with ID %lld\n", id, id);
    return kExitOk;
}

int Purge(SqliteDatabase& db, long long olderThanDays) {
    std::string sql = "delete from 回收站";
    if (olderThanDays > 0) {
        sql += " where 删除时间 < strftime('%Y-%m-%d %H:%M:%S','now','localtime','-" +
               std::to_string(olderThanDays) + " days')";
    }
    if (!db.Exec(sql)) return DatabaseFailure(db);
    const int removed = sqlite3_changes(db.get());
    std::printf("已彻底删除 %d 张订单\n%d orders purged for good\n", removed, removed);
    return kExitOk;
}

}  // namespace

int RunTrash(const std::vector<std::string>& arguments) {
    const std::string action = arguments.empty() ? "" : arguments[0];
    long long value = 0;
    const bool valid =
        (action == "list" && arguments.size() == 1) ||
        (action == "restore" && arguments.size() == 2 && ParseWhole(arguments[1], value)) ||
        (action == "purge" && arguments.size() == 1) ||
        (action == "purge" && arguments.size() == 3 && arguments[1] == "--older-than" &&
         ParseWhole(arguments[2], value));
    if (!valid) return Usage();

    const std::string ledger = ExistingLedgerHere();
    if (ledger.empty()) return kExitFailed;
    SqliteDatabase db;
    if (!db.Open(ledger)) return DatabaseFailure(db);
    if (db.QueryText(std::string("select count(*) from sqlite_master where type='table' and "
                                 "name='") +
                     kRecycleBinTable + "'") != "1") {
        return Fail("这个账本还没有回收站；请先运行 tallovar-admin upgrade",
                    "this ledger has no recycle bin yet; run tallovar-admin upgrade first");
    }
    if (action == "list") return List(db);
    if (action == "restore") return Restore(db, value);
    return Purge(db, value);
}
