#include "tools/ledger_file.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/demo_orders.h"

namespace {

constexpr const char* kSchema = R"sql(
create table sysuser(
    ID integer primary key autoincrement,
    username text,
    password text);
create table 订单列表(
    ID integer primary key autoincrement,
    卖家账号 text not null default '',
    订单号 text not null default '',
    快递公司 text not null default '',
    运单号 text not null default '',
    订单日期 text not null default '',
    商品名称 text not null default '',
    购买账号 text not null default '',
    购买订单号 text not null default '',
    收货信息 text not null default '',
    售价 text not null default '',
    进价 text not null default '',
    佣金 text not null default '',
    利润 text not null default '',
    备注 text not null default '');
create index 订单列表_订单日期 on 订单列表(订单日期);
)sql";

constexpr const char* kInsertOrder =
    "insert into 订单列表(卖家账号,订单号,快递公司,运单号,订单日期,商品名称,购买账号,"
    "购买订单号,收货信息,售价,进价,佣金,利润,备注) "
    "values(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14)";

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class Database {
  public:
    ~Database() { sqlite3_close(db_); }
    bool Open(const std::string& path) {
        return sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    }
    bool Exec(const char* sql) {
        return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    bool Close() {
        const bool closed = sqlite3_close(db_) == SQLITE_OK;
        db_ = nullptr;
        return closed;
    }
    std::string Error() const { return db_ ? sqlite3_errmsg(db_) : "cannot open the database"; }
    sqlite3* get() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

class Prepared {
  public:
    Prepared(sqlite3* db, const char* sql) {
        sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    }
    ~Prepared() { sqlite3_finalize(statement_); }
    sqlite3_stmt* get() const { return statement_; }

  private:
    sqlite3_stmt* statement_ = nullptr;
};

bool InsertUser(Database& db, const std::string& user, const std::string& password) {
    Prepared insert(db.get(), "insert into sysuser(username,password) values(?1,?2)");
    if (!insert.get()) return false;
    sqlite3_bind_text(insert.get(), 1, user.data(), static_cast<int>(user.size()), SQLITE_STATIC);
    sqlite3_bind_text(insert.get(), 2, password.data(), static_cast<int>(password.size()),
                      SQLITE_STATIC);
    return sqlite3_step(insert.get()) == SQLITE_DONE;
}

bool InsertDemoOrders(Database& db, long count) {
    Prepared insert(db.get(), kInsertOrder);
    if (!insert.get()) return false;
    DemoOrderGenerator generator;
    for (long n = 0; n < count; ++n) {
        const DemoOrder order = generator.Next();
        for (int i = 0; i < kDemoOrderFields; ++i) {
            const std::string& field = order[static_cast<std::size_t>(i)];
            sqlite3_bind_text(insert.get(), i + 1, field.data(), static_cast<int>(field.size()),
                              SQLITE_STATIC);
        }
        if (sqlite3_step(insert.get()) != SQLITE_DONE) return false;
        sqlite3_reset(insert.get());
    }
    return true;
}

// Builds the whole ledger in an unnamed temporary file beside the target.
bool FillLedger(const std::string& path, const std::string& user, const std::string& password,
                long demoOrders, std::string& error) {
    Database db;
    if (!db.Open(path)) {
        error = db.Error();
        return false;
    }
    const bool filled = db.Exec("begin") && db.Exec(kSchema) && InsertUser(db, user, password) &&
                        InsertDemoOrders(db, demoOrders) && db.Exec("commit");
    if (!filled) {
        error = db.Error();
        return false;
    }
    if (!db.Close()) {
        error = "cannot close the database";
        return false;
    }
    return true;
}

// Gives the finished file its name without ever replacing another file: a
// hard link fails when the name is taken. File systems without hard links
// fall back to a rename after a last look.
LedgerResult PlaceFile(const std::string& temporary, const std::string& path, std::string& error) {
    if (link(temporary.c_str(), path.c_str()) == 0) return LedgerResult::Created;
    if (errno == EEXIST) return LedgerResult::AlreadyExists;
    if (Exists(path)) return LedgerResult::AlreadyExists;
    if (rename(temporary.c_str(), path.c_str()) == 0) return LedgerResult::Created;
    error = std::strerror(errno);
    return LedgerResult::Failed;
}

}  // namespace

LedgerOutcome CreateLedger(const std::string& path, const std::string& user,
                           const std::string& password, long demoOrders) {
    LedgerOutcome outcome;
    if (Exists(path)) {
        outcome.result = LedgerResult::AlreadyExists;
        return outcome;
    }
    std::string temporary = DirectoryOf(path) + "/.tallovar-new-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        outcome.error = std::strerror(errno);
        return outcome;
    }
    // mkstemp makes the file private; a ledger gets the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);

    if (FillLedger(temporary, user, password, demoOrders, outcome.error)) {
        outcome.result = PlaceFile(temporary, path, outcome.error);
    }
    unlink(temporary.c_str());
    return outcome;
}
