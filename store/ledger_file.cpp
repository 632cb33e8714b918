#include "store/ledger_file.h"

#include <set>

#include "platform/program_files.h"
#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/admin_store.h"
#include "store/demo_orders.h"
#include "store/ledger_schema.h"
#include "store/sqlite_file.h"
#include "store/users.h"

namespace {

std::string OrderCountQuery() { return std::string("select count(*) from ") + kOrderTable; }
// SQLite's own check answers "ok"; the column names of the table ?1.
std::string IntegrityCheckQuery() { return "pragma integrity_check"; }
std::string TableColumnsQuery() { return "select name from pragma_table_info(?1)"; }

bool InsertUser(SqliteDatabase& db, const std::string& user, const std::string& password) {
    SqliteStatement insert(db, AddUserStatement());
    if (!insert.Prepared()) return false;
    insert.Bind(1, user);
    insert.Bind(2, password);
    return insert.Next() == SqliteStatement::Step::Done;
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
        if (insert.Next() != SqliteStatement::Step::Done) return false;
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
    if (!filled) return db.Failure();
    if (!db.Close()) return Status::Failure("无法关闭数据库", "cannot close the database");
    return Status::Ok();
}

std::set<std::string> ColumnsOf(SqliteDatabase& db, const std::string& table) {
    std::set<std::string> columns;
    SqliteStatement info(db, TableColumnsQuery());
    info.Bind(1, table);
    while (info.Prepared() && info.Next() == SqliteStatement::Step::Row)
        columns.insert(info.Text(0));
    return columns;
}

}  // namespace

Status LedgerPathHere(std::string& path) {
    path.clear();
    const std::string here = Utf8CurrentDirectory();
    if (here.empty())
        return Status::Failure("无法取得当前目录", "cannot get the current directory");
    path = PathIn(here == "/" ? "" : here, kLedgerFileName);
    return Status::Ok();
}

Status CreateLedger(const std::string& path, const std::string& user, const std::string& password,
                    long demoOrders) {
    // The callers say themselves that the ledger exists; the other reasons
    // they show in the system's or SQLite's own words.
    const auto inWords = [](const Status& failure) {
        return Status::Untranslated(failure.kind, failure.english);
    };
    const Status exists =
        Status::Failure(StatusKind::Exists, "账本已存在：" + path, "the ledger exists: " + path);
    if (Utf8PathExists(path)) return exists;
    FileReplacement file(NativePathOfUtf8(path));
    if (const Status opened = file.Open(); !opened.ok()) return inWords(opened);
    const Status filled =
        FillLedger(Utf8OfNativePath(file.TemporaryPath()), user, password, demoOrders);
    if (!filled.ok()) return inWords(filled);
    const Status placed = file.PlaceNew();
    if (placed.Is(StatusKind::Exists)) return exists;
    return placed.ok() ? placed : inWords(placed);
}

Status CheckLedgerFile(const std::string& path, long long* orders) {
    SqliteDatabase db;
    if (!db.Open(path, SqliteOpen::ReadOnly)) return Status::Untranslated(db.Error());
    if (Status checked = CheckLedger(db); !checked.ok()) return checked;
    if (orders) *orders = std::stoll("0" + db.QueryText(OrderCountQuery()));
    return Status::Ok();
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
    if (!model.Open(":memory:", SqliteOpen::InMemory) || !model.Exec(LedgerSchema())) {
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
    if (!Utf8PathExists(Utf8DirectoryOf(path) + "/tallovar.ldb")) return Status::Ok();
    return Status::Failure(
        "Access 账本正在被使用（旁边有 tallovar.ldb）；请先关闭所有 Tallovar 窗口",
        "the Access ledger is in use (tallovar.ldb beside it); close every Tallovar window first");
}
