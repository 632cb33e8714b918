#include "test_ledger.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <unistd.h>
#include <QApplication>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/files.h"

namespace {

const char* const kSchema =
    "create table sysuser(ID INTEGER PRIMARY KEY AUTOINCREMENT, username TEXT, password TEXT);"
    "create table 订单列表(ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    " 卖家账号 TEXT NOT NULL DEFAULT '', 订单号 TEXT NOT NULL DEFAULT '',"
    " 快递公司 TEXT NOT NULL DEFAULT '', 运单号 TEXT NOT NULL DEFAULT '',"
    " 商品名称 TEXT NOT NULL DEFAULT '', 售价 TEXT NOT NULL DEFAULT '',"
    " 进价 TEXT NOT NULL DEFAULT '', 佣金 TEXT NOT NULL DEFAULT '',"
    " 利润 TEXT NOT NULL DEFAULT '', 订单日期 TEXT NOT NULL DEFAULT '',"
    " 购买账号 TEXT NOT NULL DEFAULT '', 购买订单号 TEXT NOT NULL DEFAULT '',"
    " 收货信息 TEXT NOT NULL DEFAULT '', 备注 TEXT NOT NULL DEFAULT '');"
    "create index 订单日期索引 on 订单列表(订单日期);";

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

}  // namespace

TestLedger::TestLedger(bool createFile) {
    char pattern[] = "/tmp/tallovar-test-XXXXXX";
    directory_ = mkdtemp(pattern);
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
    SetProgramDirectoryForTesting(directory_);
    if (createFile) CreateFile(DatabaseFile());
}

void TestLedger::CreateFile(const std::string& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TestLedger::~TestLedger() {
    SetProgramDirectoryForTesting("");
    std::filesystem::current_path(previousDirectory_);
    std::error_code ignored;
    std::filesystem::permissions(directory_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(directory_, ignored);
}

void TestLedger::Exec(const std::string& sql) const {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(DatabaseFile().c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "") << " in " << sql;
    sqlite3_free(error);
    sqlite3_close(db);
}

std::vector<std::vector<std::string>> TestLedger::Rows(const std::string& sql) const {
    std::vector<std::vector<std::string>> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(DatabaseFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << DatabaseFile();
        return rows;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
    } else {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto* text = sqlite3_column_text(statement, c);
                row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
            }
            rows.push_back(std::move(row));
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

void TestLedger::AddUser(const std::string& name, const std::string& password) const {
    Exec("insert into sysuser(username, password) values(" + Quote(name) + "," + Quote(password) +
         ")");
}

long long TestLedger::AddOrder(const std::map<std::string, std::string>& fields) const {
    std::string columns, values;
    for (const auto& [column, value] : fields) {
        columns += (columns.empty() ? "" : ",") + column;
        values += (values.empty() ? "" : ",") + Quote(value);
    }
    Exec(fields.empty() ? "insert into 订单列表 default values"
                        : "insert into 订单列表(" + columns + ") values(" + values + ")");
    const auto rows = Rows("select max(ID) from 订单列表");
    return rows.empty() ? 0 : std::atoll(rows[0][0].c_str());
}

void TestLedger::WriteConfig(const std::string& bytes) const {
    std::ofstream(directory_ + "/config.ini", std::ios::binary) << bytes;
}

void CloseAllWindows() {
    for (QWidget* window : QApplication::topLevelWidgets()) window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
