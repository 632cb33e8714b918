#include "tools/ledger_file.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <set>

#include "platform/program_files.h"
#include "platform/whole_file.h"
#include "store/admin_statements.h"
#include "store/ledger_schema.h"
#include "tools/demo_orders.h"
#include "tools/sqlite_handle.h"
#include "tools/tool_paths.h"

namespace {

bool InsertUser(SqliteDatabase& db, const std::string& user, const std::string& password) {
    SqliteStatement insert(db, AddUserStatement());
    if (!insert.Prepared()) return false;
    insert.Bind(1, user);
    insert.Bind(2, password);
    return insert.Step() == SQLITE_DONE;
}

bool InsertDemoOrders(SqliteDatabase& db, long count) {
    SqliteStatement insert(db, InsertOrderTextsStatement(
                                   {kOrderTextColumnNames.begin(), kOrderTextColumnNames.end()}));
    if (!insert.Prepared()) return false;
    DemoOrderGenerator generator;
    for (long n = 0; n < count; ++n) {
        const DemoOrder order = generator.Next();
        for (int i = 0; i < kDemoOrderFields; ++i) {
            insert.Bind(i + 1, order[static_cast<std::size_t>(i)]);
        }
        if (insert.Step() != SQLITE_DONE) return false;
        insert.Reset();
    }
    return true;
}

// Builds the whole ledger in the unnamed temporary file beside the target.
Status FillLedger(const std::string& path, const std::string& user, const std::string& password,
                  long demoOrders) {
    SqliteDatabase db;
    const bool filled = db.Open(path) && db.Exec("begin") && db.Exec(LedgerSchema()) &&
                        InsertUser(db, user, password) && InsertDemoOrders(db, demoOrders) &&
                        db.Exec("commit");
    if (!filled) return Status::Untranslated(db.Error());
    if (!db.Close()) return Status::Failure("无法关闭数据库", "cannot close the database");
    return Status::Ok();
}

std::set<std::string> ColumnsOf(SqliteDatabase& db, const std::string& table) {
    std::set<std::string> columns;
    SqliteStatement info(db, TableColumnsQuery());
    info.Bind(1, table);
    while (info.Prepared() && info.Step() == SQLITE_ROW) columns.insert(info.Text(0));
    return columns;
}

}  // namespace

Status LedgerPathHere(std::string& path) {
    path.clear();
    char directory[PATH_MAX];
    if (!getcwd(directory, sizeof directory)) {
        const std::string reason = std::strerror(errno);
        return Status::Failure("无法取得当前目录：" + reason,
                               "cannot get the current directory: " + reason);
    }
    const std::string here = directory;
    path = PathIn(here == "/" ? "" : here, kLedgerFileName);
    return Status::Ok();
}

LedgerOutcome CreateLedger(const std::string& path, const std::string& user,
                           const std::string& password, long demoOrders) {
    LedgerOutcome outcome;
    if (PathExists(path)) {
        outcome.result = LedgerResult::AlreadyExists;
        return outcome;
    }
    FileReplacement file(NativePathOfUtf8(path));
    if (const Status opened = file.Open(); !opened.ok()) {
        outcome.error = opened.english;
        return outcome;
    }
    const Status filled =
        FillLedger(Utf8OfNativePath(file.TemporaryPath()), user, password, demoOrders);
    if (!filled.ok()) {
        outcome.error = filled.english;
        return outcome;
    }
    bool taken = false;
    const Status placed = file.PlaceNew(taken);
    if (placed.ok()) {
        outcome.result = LedgerResult::Created;
    } else if (taken) {
        outcome.result = LedgerResult::AlreadyExists;
    } else {
        outcome.error = placed.english;
    }
    return outcome;
}

Status CheckLedger(SqliteDatabase& db) {
    const std::string integrity = db.QueryText(IntegrityCheckQuery());
    if (integrity != "ok") {
        const std::string reason = integrity.empty() ? db.Error() : integrity;
        return Status::Failure("文件损坏或不是 SQLite 数据库（" + reason + "）",
                               "the file is damaged or not an SQLite database (" + reason + ")");
    }
    // The columns a ledger needs are those of a ledger made here.
    SqliteDatabase model;
    if (!model.Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY) ||
        !model.Exec(LedgerSchema())) {
        return Status::Untranslated(model.Error());
    }
    for (const char* table : {kUserTable, kOrderTable}) {
        const std::set<std::string> present = ColumnsOf(db, table);
        for (const std::string& column : ColumnsOf(model, table)) {
            if (present.count(column)) continue;
            const std::string what = present.empty()
                                         ? std::string("表 ") + table
                                         : "表 " + std::string(table) + " 的列 " + column;
            const std::string whatEn = present.empty() ? std::string("table ") + table
                                                       : "column " + column + " of table " + table;
            return Status::Failure("缺少" + what, whatEn + " is missing");
        }
    }
    return Status::Ok();
}

Status AccessLedgerClosed(const std::string& path) {
    if (!PathExists(DirectoryOf(path) + "/tallovar.ldb")) return Status::Ok();
    return Status::Failure(
        "Access 账本正在被使用（旁边有 tallovar.ldb）；请先关闭所有 Tallovar 窗口",
        "the Access ledger is in use (tallovar.ldb beside it); close every Tallovar window first");
}
