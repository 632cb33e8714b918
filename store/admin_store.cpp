#include "store/admin_store.h"

#include "store/ledger_schema.h"
#include "store/server_ledger.h"
#include "store/server_session.h"
#include "store/sqlite_file.h"

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) text += (i ? "," : "") + names[i];
    return text;
}

std::string ReturningId(const std::string& insert) { return insert + " returning ID"; }

class FileStore : public AdminStore {
  public:
    bool Open(const std::string& path) { return db_.Open(path); }
    bool BeginWriting() override { return db_.Exec("begin immediate"); }
    bool Exec(const std::string& sql) override { return db_.Exec(sql); }
    long long Changed() override { return db_.Changes(); }

    bool EachRow(const std::string& sql, const std::function<void(const Row&)>& each) override {
        SqliteStatement query(db_, sql);
        if (!query.Prepared()) return false;
        Row row(static_cast<std::size_t>(query.Columns()));
        SqliteStatement::Step step;
        while ((step = query.Next()) == SqliteStatement::Step::Row) {
            for (std::size_t c = 0; c < row.size(); ++c) row[c] = query.Text(static_cast<int>(c));
            each(row);
        }
        return step == SqliteStatement::Step::Done;
    }

    bool Run(const std::string& sql, const std::vector<std::string>& texts) override {
        if (!prepared_ || preparedSql_ != sql) {
            prepared_ = std::make_unique<SqliteStatement>(db_, sql);
            preparedSql_ = sql;
        }
        if (!prepared_->Prepared()) return false;
        for (std::size_t i = 0; i < texts.size(); ++i)
            prepared_->Bind(static_cast<int>(i + 1), texts[i]);
        const bool done = prepared_->Next() == SqliteStatement::Step::Done;
        prepared_->Reset();
        return done;
    }

    bool Insert(const std::string& sql, long long& id) override {
        if (!db_.Exec(sql)) return false;
        id = db_.Changes() == 0 ? 0 : db_.LastInsertId();
        return true;
    }

    bool OnServer() const override { return false; }
    std::string Error() const override { return db_.Error(); }

  private:
    SqliteDatabase db_;
    std::unique_ptr<SqliteStatement> prepared_;
    std::string preparedSql_;
};

class TeamStore : public AdminStore {
  public:
    // Work not committed is undone before the connection closes.
    ~TeamStore() override { db_.Exec("rollback"); }
    bool Open(const std::string& server) { return db_.Open(server); }
    // As a file ledger's write lock: readers go on, other writers wait.
    bool BeginWriting() override { return db_.Exec("begin") && db_.Exec(LockOrdersStatement()); }
    bool Exec(const std::string& sql) override { return db_.Exec(sql); }
    long long Changed() override { return db_.Connection().RowsAffected(); }

    bool EachRow(const std::string& sql, const std::function<void(const Row&)>& each) override {
        std::vector<Row> rows;
        if (!db_.Rows(sql, rows)) return false;
        for (const Row& row : rows) each(row);
        return true;
    }

    bool Run(const std::string& sql, const std::vector<std::string>& texts) override {
        return db_.Exec(WithServerLiterals(sql, texts));
    }

    bool Insert(const std::string& sql, long long& id) override {
        std::vector<Row> rows;
        if (!db_.Rows(ReturningId(sql), rows)) return false;
        id = rows.empty() ? 0 : std::stoll(rows[0][0]);
        return true;
    }

    bool CommitFateUnknown() override {
        return db_.Connection().LastCommitFate() == CommitFate::Unknown;
    }
    bool OnServer() const override { return true; }
    std::string Error() const override { return db_.Error(); }

  private:
    ServerSession db_;
};

}  // namespace

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

Status OpenAdminStore(const std::string& server, const std::string& ledgerPath,
                      std::unique_ptr<AdminStore>& store) {
    store.reset();
    if (!server.empty()) {
        auto team = std::make_unique<TeamStore>();
        if (!team->Open(server)) {
            return Status::Failure(StatusKind::Io, "无法打开团队账本：" + team->Error(),
                                   "cannot open the team ledger: " + team->Error());
        }
        store = std::move(team);
        return Status::Ok();
    }
    auto file = std::make_unique<FileStore>();
    if (!file->Open(ledgerPath)) {
        return Status::Failure(StatusKind::Io, "无法打开账本：" + file->Error(),
                               "cannot open the ledger: " + file->Error());
    }
    store = std::move(file);
    return Status::Ok();
}
