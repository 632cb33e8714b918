#include "store/ledger_upgrade.h"

#include <string>
#include <vector>

#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/ledger_schema.h"
#include "store/sqlite_copy.h"
#include "store/sqlite_file.h"

namespace {

// Whether the file has an object of type ?1 and name ?2 (a count).
std::string ObjectCountQuery() {
    return "select count(*) from sqlite_master where type=?1 and name=?2";
}

// Remaking the user table of an older ledger with the same rows, IDs and
// next ID: the next ID first, then the steps (the new table's create
// statement between the rename and the copy), then the next ID kept.
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

bool UsersCompareWithoutCase(SqliteDatabase& db) {
    return db.ColumnIgnoresCase("sysuser", "username") &&
           db.ColumnIgnoresCase("sysuser", "password");
}

// A column's collation cannot be altered: the table is made anew with the
// same rows, IDs and next ID.
bool MakeUsersCompareWithoutCase(SqliteDatabase& db) {
    const std::string next = db.QueryText(NextUserIdQuery());
    return db.Exec(RenameOldUsersStatement()) && db.Exec(UserTableSchema()) &&
           db.Exec(CopyOldUsersStatement()) && db.Exec(DropOldUsersStatement()) &&
           (next.empty() || db.Exec(KeepNextUserIdStatement(next)));
}

bool HasObject(SqliteDatabase& db, const std::string& type, const std::string& name) {
    SqliteStatement query(db, ObjectCountQuery());
    query.Bind(1, type);
    query.Bind(2, name);
    return query.Prepared() && query.Next() == SqliteStatement::Step::Row && query.Integer(0) > 0;
}

bool HasBinTable(SqliteDatabase& db) { return HasObject(db, "table", kRecycleBinTable); }
bool MakeRecycleBin(SqliteDatabase& db) { return db.Exec(RecycleBinSchema()); }
bool HasBinTrigger(SqliteDatabase& db) { return HasObject(db, "trigger", kRecycleBinTriggerName); }
bool MakeBinTrigger(SqliteDatabase& db) { return db.Exec(RecycleBinTrigger()); }

struct UpgradeStep {
    const char* what;  // Chinese / English
    bool (*done)(SqliteDatabase&);
    bool (*apply)(SqliteDatabase&);
};

// In the order they were added to the schema.
constexpr UpgradeStep kSteps[] = {
    {"登录时用户名和密码不区分大小写 / sign-in ignores letter case", UsersCompareWithoutCase,
     MakeUsersCompareWithoutCase},
    {"回收站 / the recycle bin", HasBinTable, MakeRecycleBin},
    {"删除的订单放入回收站 / deleted orders go to the bin", HasBinTrigger, MakeBinTrigger},
};

// A consistent copy of the ledger under the name kept, never replacing a file.
Status KeepCopy(const std::string& ledger, const std::string& kept) {
    FileReplacement file(NativePathOfUtf8(kept));
    if (Status copied = CopyDatabaseInto(ledger, CopyFrom::Ledger, file); !copied.ok()) {
        return copied;
    }
    return file.PlaceNew();
}

}  // namespace

Status UpgradeLedger(const std::string& ledger, LedgerUpgrade& upgrade) {
    upgrade = {};
    SqliteDatabase db;
    if (!db.Open(ledger) || !db.Exec("begin immediate")) {
        return Status::Failure("无法打开账本：" + db.Error(),
                               "cannot open the ledger: " + db.Error());
    }
    std::vector<const UpgradeStep*> missing;
    for (const UpgradeStep& step : kSteps) {
        if (!step.done(db)) missing.push_back(&step);
    }
    if (missing.empty()) return Status::Ok();
    const std::string kept = ledger + ".before-upgrade-" + TimeStamp();
    if (const Status copied = KeepCopy(ledger, kept); !copied.ok()) {
        return copied.After("无法在升级前备份账本，未做改动：",
                            "cannot keep a copy before the upgrade; nothing was changed: ");
    }
    for (const UpgradeStep* step : missing) {
        if (!step->apply(db)) {
            const std::string reason = db.Error();
            db.Exec("rollback");
            return Status::Failure(
                "升级失败，账本未改动（" + std::string(step->what) + "）：" + reason,
                "the upgrade failed; the ledger was not changed: " + reason);
        }
    }
    if (!db.Exec("commit")) {
        return Status::Failure("升级失败，账本未改动：" + db.Error(),
                               "the upgrade failed; the ledger was not changed: " + db.Error());
    }
    for (const UpgradeStep* step : missing) upgrade.added.push_back(step->what);
    upgrade.kept = kept;
    return Status::Ok();
}
