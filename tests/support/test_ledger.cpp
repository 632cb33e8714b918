#include "test_ledger.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <unistd.h>
#include <QApplication>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "store/ledger_schema.h"
#include "store/server_ledger.h"
#include "store/server_schema.h"
#include "store/server_session.h"

namespace {

// Runs one statement on the test server's own database (creating and
// dropping the tests' databases).
void OnServerDatabase(const std::string& sql) {
    ServerSession admin;
    admin.Connection().SetObservedForTesting(false);
    ASSERT_TRUE(admin.Open(std::getenv("TALLOVAR_TEST_SERVER"))) << admin.Error();
    ASSERT_TRUE(admin.Exec(sql)) << admin.Error() << " in " << sql;
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

}  // namespace

std::string WithConnectionKey(const std::string& connection, const std::string& key,
                              const std::string& value) {
    std::string lowerKey = key;
    for (char& c : lowerKey) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string text;
    std::size_t start = 0;
    while (start < connection.size()) {
        std::size_t end = connection.find(';', start);
        if (end == std::string::npos) end = connection.size();
        const std::string pair = connection.substr(start, end - start);
        std::string name = pair.substr(0, pair.find('='));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!pair.empty() && name != lowerKey) text += pair + ";";
        start = end + 1;
    }
    return text + key + "=" + value + ";";
}

TestLedger::TestLedger(bool createFile) {
    char pattern[] = "/tmp/tallovar-test-XXXXXX";
    directory_ = mkdtemp(pattern);
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
    SetProgramDirectoryForTesting(directory_);
    if (createFile && OnServer()) {
        CreateServerLedger();
    } else if (createFile) {
        CreateFile(DatabaseFile());
    }
}

bool TestLedger::OnServer() {
    const char* kind = std::getenv("TALLOVAR_TEST_LEDGER");
    return kind && std::string(kind) == "server";
}

void TestLedger::CreateServerLedger() {
    static int made = 0;
    const char* server = std::getenv("TALLOVAR_TEST_SERVER");
    ASSERT_TRUE(server && *server) << "TALLOVAR_TEST_SERVER names no test server";
    serverDatabase_ = "ledger_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    OnServerDatabase("create database " + serverDatabase_);
    server_ = WithConnectionKey(server, "Database", serverDatabase_);
    ServerSession session;
    session.Connection().SetObservedForTesting(false);
    ASSERT_TRUE(session.Open(server_)) << session.Error();
    ASSERT_TRUE(CreateServerSchema(session)) << session.Error();
    WriteConfig("");
}

std::string TestLedger::ServerSection() const {
    if (server_.empty()) return {};
    return Gbk("\r\n[数据库]\r\n连接=") + Gbk(server_) + "\r\n";
}

void TestLedger::CreateFile(const std::string& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, LedgerSchema().c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TestLedger::~TestLedger() {
    SetProgramDirectoryForTesting("");
    std::filesystem::current_path(previousDirectory_);
    std::error_code ignored;
    std::filesystem::permissions(directory_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(directory_, ignored);
    if (!serverDatabase_.empty()) {
        OnServerDatabase("drop database if exists " + serverDatabase_ + " with (force)");
    }
}

void TestLedger::Exec(const std::string& sql) const {
    if (!server_.empty()) {
        ServerSession session;
        session.Connection().SetObservedForTesting(false);
        ASSERT_TRUE(session.Open(server_)) << session.Error();
        EXPECT_TRUE(session.Exec(sql)) << session.Error() << " in " << sql;
        return;
    }
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
    if (!server_.empty()) {
        ServerSession session;
        session.Connection().SetObservedForTesting(false);
        EXPECT_TRUE(session.Open(server_) && session.Rows(sql, rows))
            << session.Error() << " in " << sql;
        return rows;
    }
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
    std::ofstream(directory_ + "/config.ini", std::ios::binary) << bytes << ServerSection();
}

void CloseAllWindows() {
    for (QWidget* window : QApplication::topLevelWidgets()) window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
