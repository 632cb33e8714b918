// The connection object: connection string and file location, opening and
// reopening, handles, the result-set limit, failures and their diagnostics.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "ledger_fixture.h"
#include "store/database.h"
#include "store/database_error.h"
#include "store/order_statements.h"
#include "store/snapshot.h"

namespace {

const std::string kDriverPart = ";Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;";

TEST(ConnectionString, IsBuiltPieceByPiece) {
    struct Case {
        std::string path, expected;
    };
    const std::vector<Case> cases = {
        {"/home/ledger/tallovar.mdb",
         "ODBC;DBQ=/home/ledger/tallovar.mdb;DefaultDir=/home/ledger" + kDriverPart},
        // Current directory "/": two separators in a row, DefaultDir "/".
        {"//tallovar.mdb", "ODBC;DBQ=//tallovar.mdb;DefaultDir=/" + kDriverPart},
        // No separator: no DefaultDir element.
        {"tallovar.mdb", "ODBC;DBQ=tallovar.mdb" + kDriverPart},
        {Gbk("/账本/二〇二四/tallovar.mdb"), "ODBC;DBQ=" + Gbk("/账本/二〇二四/tallovar.mdb") +
                                                 ";DefaultDir=" + Gbk("/账本/二〇二四") +
                                                 kDriverPart},
        // A lead byte at the very end takes no separator with it.
        {"/a/b\x81", "ODBC;DBQ=/a/b\x81;DefaultDir=/a" + kDriverPart},
    };
    for (const Case& c : cases) EXPECT_EQ(BuildConnectionString(c.path), c.expected) << c.path;
}

TEST(ConnectionString, DatabasePathFollowsTheCurrentDirectory) {
    char saved[PATH_MAX];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(DatabasePath(), "//tallovar.mdb");
    ASSERT_EQ(chdir("/tmp"), 0);
    EXPECT_EQ(DatabasePath(), "/tmp/tallovar.mdb");
    ASSERT_EQ(chdir(saved), 0);
}

TEST(QuoteTextTest, DoublesEverySingleQuote) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"abc", "abc"},
        {"it's", "it''s"},
        {"''", "''''"},
        {Gbk("王'小'二"), Gbk("王''小''二")},
    };
    for (const auto& [text, quoted] : cases) EXPECT_EQ(QuoteText(text), quoted);
}

class Connection : public LedgerTest {};

TEST_F(Connection, WithoutConnectionEverythingIsEmpty) {
    DatabaseConnection db;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.OpenTable("select * from sysuser"), 0);
    EXPECT_FALSE(db.LastError().empty());
    EXPECT_FALSE(db.ExecuteSql("delete from sysuser"));
    EXPECT_TRUE(db.IsEOF(0));
    EXPECT_EQ(db.ReadColByIndex(0, 1).kind, ValueKind::Text);
    EXPECT_EQ(db.ReadColByName(0, "ID").text, "");
}

TEST_F(Connection, ReopenInvalidatesEarlierHandles) {
    const std::string path = MakeLedger();
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(path));
    const std::int32_t before = db.OpenTable("select * from sysuser");
    ASSERT_NE(before, 0);
    ASSERT_FALSE(db.IsEOF(before));

    ASSERT_TRUE(db.OpenMdbFile(path));
    EXPECT_TRUE(db.IsEOF(before));
    const DatabaseValue stale = db.ReadColByName(before, "ID");
    EXPECT_EQ(stale.kind, ValueKind::Text);
    EXPECT_EQ(stale.text, "");
    // Handles are never reused, so the old number names nothing new either.
    const std::int32_t after = db.OpenTable("select * from sysuser");
    EXPECT_NE(after, 0);
    EXPECT_NE(after, before);
    EXPECT_TRUE(db.IsEOF(before));
}

TEST_F(Connection, FailedOpenKeepsTheOldConnection) {
    const std::string path = MakeLedger();
    const std::string notADatabase = directory_ + "/notes.mdb";
    std::ofstream(notADatabase) << "this is no ledger, just some text that is long enough\n";

    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(path));
    const std::int32_t handle = db.OpenTable("select * from sysuser");
    ASSERT_NE(handle, 0);

    for (const std::string& bad : {directory_ + "/missing.mdb", notADatabase}) {
        EXPECT_FALSE(db.OpenMdbFile(Gbk(bad))) << bad;
        EXPECT_FALSE(db.LastError().empty()) << bad;
        EXPECT_TRUE(db.IsOpen());
        EXPECT_EQ(db.ReadColByName(handle, "username").text, "admin");
    }
    EXPECT_NE(db.LastError().find("not a database"), std::string::npos) << db.LastError();
    // A missing file is not created (NoCreat).
    EXPECT_FALSE(std::filesystem::exists(directory_ + "/missing.mdb"));

    EXPECT_TRUE(db.OpenMdbFile(path));
    EXPECT_EQ(db.LastError(), "");
}

TEST_F(Connection, OpensAFileInADirectoryWithAChineseName) {
    std::filesystem::create_directory(directory_ + "/账本 2024");
    const std::string path = MakeLedger(0, "账本 2024/tallovar.mdb");
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(path)) << db.LastError();
    EXPECT_EQ(db.ReadColByIndex(db.OpenTable("select count(*) from sysuser"), 1).integer, 1);
}

// The driver reads each value of the connection string up to the next ';'.
// Whatever a folder is called, the connection opens the ledger inside it or
// refuses with the folder named, and never opens another file. A decoy
// ledger waits where a cut-short or smuggled path would lead.
TEST_F(Connection, NoFolderNameOpensAnotherFile) {
    const std::string decoy = directory_ + "/decoy";
    std::filesystem::create_directories(decoy + "/work");
    ASSERT_TRUE(CreateLedger(decoy + "/tallovar.mdb", "decoy", "x").ok());
    std::filesystem::copy_file(decoy + "/tallovar.mdb", directory_ + "/shop");
    // Folder paths below the test directory; a '/' makes a folder in a folder.
    const std::string folders[] = {
        "shop;2024",
        "店铺;2024",
        "x;Database=..",
        "y;DBQ=" + decoy,
        "z;Database=" + decoy,
        "n;NoCreat=0;",
        "{a;b}",
        "a{b}c",
        "}c",
        "k=v",
        " blank ",
        "t;Timeout=1",
    };
    char saved[PATH_MAX];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    // A relative path smuggled in would be taken from here.
    ASSERT_EQ(chdir((decoy + "/work").c_str()), 0);
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        const std::string inside = directory_ + "/" + folder;
        std::filesystem::create_directories(inside);
        ASSERT_TRUE(CreateLedger(inside + "/tallovar.mdb", "inside", "x").ok());
        DatabaseConnection db;
        if (db.OpenMdbFile(Gbk(inside + "/tallovar.mdb"))) {
            EXPECT_EQ(folder.find(';'), std::string::npos);
            EXPECT_EQ(db.ReadColByIndex(db.OpenTable("select username from sysuser"), 1).text,
                      "inside");
        } else {
            EXPECT_NE(db.LastError().find(Gbk("“" + inside + "”")), std::string::npos)
                << db.LastError();
            EXPECT_NE(db.LastError().find(Gbk("分号")), std::string::npos) << db.LastError();
        }
    }
    ASSERT_EQ(chdir(saved), 0);
}

TEST_F(Connection, HoldsAtMostThirtyResultSets) {
    const std::string path = MakeLedger();
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(path));
    std::vector<std::int32_t> handles;
    for (int i = 0; i < kMaxResultSets; ++i) {
        handles.push_back(db.OpenTable("select * from sysuser"));
        ASSERT_NE(handles.back(), 0) << i;
    }
    int statementsSent = 0;
    SetStatementObserverForTesting([&](const std::string&) { ++statementsSent; });
    EXPECT_EQ(db.OpenTable("select * from sysuser"), 0);
    SetStatementObserverForTesting({});
    EXPECT_EQ(statementsSent, 0);
    EXPECT_FALSE(db.LastError().empty());
    for (std::int32_t h : handles) EXPECT_EQ(db.ReadColByIndex(h, 1).integer, 1);
    // Statements that return no rows are not limited.
    EXPECT_TRUE(db.ExecuteSql("update sysuser set password='x' where 1=0"));

    ASSERT_TRUE(db.OpenMdbFile(path));
    EXPECT_NE(db.OpenTable("select * from sysuser"), 0);
}

TEST_F(Connection, RejectedStatementsSetTheDiagnosticAndSuccessClearsIt) {
    const std::string path = MakeLedger();
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(path));

    // A search text with a single quote, put in as typed.
    EXPECT_EQ(db.OpenTable(Gbk("select * from 订单列表 where 1=1  and 卖家账号 like '%o'k%'")), 0);
    EXPECT_NE(db.LastError().find("syntax error"), std::string::npos) << db.LastError();
    EXPECT_NE(db.OpenTable("select * from sysuser"), 0);
    EXPECT_EQ(db.LastError(), "");

    EXPECT_FALSE(db.ExecuteSql(Gbk("insert into 没有的表(a) values('1')")));
    EXPECT_NE(db.LastError().find("no such table"), std::string::npos) << db.LastError();
    // The diagnostic is GBK: the table name comes back as it was sent.
    EXPECT_NE(db.LastError().find(Gbk("没有的表")), std::string::npos);
    EXPECT_TRUE(db.ExecuteSql(Gbk("delete from 订单列表 where id=12345")));
    EXPECT_EQ(db.LastError(), "");
}

TEST_F(Connection, ObserverSeesEachStatementAsGbk) {
    const std::string path = MakeLedger();
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(path));
    std::vector<std::string> seen;
    SetStatementObserverForTesting([&](const std::string& s) { seen.push_back(s); });
    db.OpenTable(Gbk("select count(*) from 订单列表 where 1=1"));
    db.ExecuteSql(Gbk("delete from 订单列表 where id=1"));
    db.OpenTable("select nonsense");
    SetStatementObserverForTesting({});
    db.ExecuteSql("delete from sysuser where 1=0");
    EXPECT_EQ(seen, (std::vector<std::string>{Gbk("select count(*) from 订单列表 where 1=1"),
                                              Gbk("delete from 订单列表 where id=1"),
                                              "select nonsense"}));
}

TEST_F(Connection, TwoConnectionsOnOneFileInterleave) {
    const std::string path = MakeLedger(20);
    DatabaseConnection list, editor;
    ASSERT_TRUE(list.OpenMdbFile(path));
    ASSERT_TRUE(editor.OpenMdbFile(path));
    const std::string count = Gbk("select count(*) from 订单列表 where 1=1");
    const std::int32_t all = list.OpenTable(Gbk("select * from 订单列表 where 1=1 "));
    ASSERT_NE(all, 0);
    EXPECT_EQ(list.ReadColByIndex(list.OpenTable(count), 1).integer, 20);

    // While the list holds its snapshots, the editor writes at once.
    ASSERT_TRUE(editor.ExecuteSql(Gbk("insert into 订单列表(卖家账号) values('新店')")))
        << editor.LastError();
    ASSERT_TRUE(editor.ExecuteSql(Gbk("update 订单列表 set 备注='改过' where id=1")))
        << editor.LastError();
    EXPECT_EQ(list.ReadColByName(all, Gbk("备注")).text, "");  // the snapshot stays as it was
    EXPECT_EQ(list.ReadColByIndex(list.OpenTable(count), 1).integer, 21);
    EXPECT_TRUE(list.ExecuteSql(Gbk("delete from 订单列表 where id=2"))) << list.LastError();
    EXPECT_EQ(editor.ReadColByIndex(editor.OpenTable(count), 1).integer, 20);
}

TEST_F(Connection, GivesUpOnAFileLockedElsewhereWithinFiveSeconds) {
    const std::string path = MakeLedger();
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(path));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(db.ExecuteSql("update sysuser set password='x'"));
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(db.LastError().find("locked"), std::string::npos) << db.LastError();
    EXPECT_GT(waited, 1.0);
    EXPECT_LT(waited, 6.0);
    sqlite3_exec(other, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_TRUE(db.ExecuteSql("update sysuser set password='x'")) << db.LastError();
}

TEST_F(Connection, WalksEveryRowOnce) {
    const std::string path = MakeLedger(25);
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(path));
    const std::int32_t h = db.OpenTable(Gbk("select * from 订单列表 where 1=1  order by id"));
    ASSERT_NE(h, 0);
    for (int pass = 0; pass < 2; ++pass) {
        db.MoveFirst(h);
        std::int64_t expected = 1;
        while (!db.IsEOF(h)) {
            EXPECT_EQ(db.ReadColByName(h, "ID").integer, expected++);
            db.MoveNext(h);
        }
        EXPECT_EQ(expected, 26);
        db.MoveNext(h);  // stays past the end
        EXPECT_TRUE(db.IsEOF(h));
    }
}

// SQLite's own file system with one change: once armed, the next reads of a
// file (through read calls or a memory map alike) count down, and at zero
// another program damages the ledger, as if the user had run truncate or cp
// just then, in the middle of reading the list's rows.
struct DamageWhileReading {
    static inline sqlite3_vfs* real = nullptr;
    static inline sqlite3_vfs wrapped;
    static inline const sqlite3_io_methods* realMethods = nullptr;
    static inline sqlite3_io_methods methods;
    static inline int readsLeft = -1;
    static inline std::function<void()> damage;

    static void Count() {
        if (readsLeft > 0 && --readsLeft == 0) damage();
    }
    static int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
        Count();
        return realMethods->xRead(file, buffer, amount, offset);
    }
    static int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** page) {
        Count();
        return realMethods->xFetch(file, offset, amount, page);
    }
    static int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags,
                    int* outFlags) {
        const int rc = real->xOpen(real, name, file, flags, outFlags);
        if (rc == SQLITE_OK && file->pMethods && (flags & SQLITE_OPEN_MAIN_DB)) {
            realMethods = file->pMethods;
            methods = *realMethods;
            methods.xRead = Read;
            methods.xFetch = Fetch;
            file->pMethods = &methods;
        }
        return rc;
    }
    // Becomes the default file system of this process.
    static void Install() {
        real = sqlite3_vfs_find(nullptr);
        wrapped = *real;
        wrapped.zName = "damage-while-reading";
        wrapped.xOpen = Open;
        sqlite3_vfs_register(&wrapped, 1);
    }
};

// Another program empties the ledger, cuts it short or copies another ledger
// over it (a copy empties the file first) while the list's rows are read. The
// read answers with what the file then holds: a damaged ledger, or the other
// ledger's orders; and the next 查询, which opens the file anew, lists every
// order once the file is whole again. Each case runs in a child, so that a bus
// error fails the case instead of ending the suite.
TEST_F(Connection, LedgerCutWhileTheListIsReadAnswersWithWhatTheFileHolds) {
    const std::string path = MakeLedger(3000);
    const std::string file = directory_ + "/tallovar.mdb";
    const std::string whole = directory_ + "/whole.mdb";
    const std::string other = directory_ + "/other.mdb";
    std::filesystem::copy_file(file, whole);
    MakeLedger(0, "other.mdb");
    const auto size = static_cast<off_t>(std::filesystem::file_size(whole));
    const std::string list = BuildOrderStatements({}, "").list;
    const auto overwrite = std::filesystem::copy_options::overwrite_existing;

    struct Damage {
        const char* label;
        std::function<void()> apply;
        bool damaged;  // else the read lists what it met of the other ledger
    };
    const Damage damages[] = {
        {"emptied", [&] { truncate(file.c_str(), 0); }, true},
        {"cut to a tenth", [&] { truncate(file.c_str(), size / 10); }, true},
        {"another ledger copied over it",
         [&] { std::filesystem::copy_file(other, file, overwrite); }, false},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.label);
        std::filesystem::copy_file(whole, file, overwrite);
        EXPECT_EXIT(
            {
                DamageWhileReading::Install();
                DamageWhileReading::damage = damage.apply;
                DatabaseConnection db;
                if (!db.OpenMdbFile(path)) std::exit(3);
                // A few pages into the rows.
                const std::int32_t cut =
                    db.OpenTable(list, [] { DamageWhileReading::readsLeft = 20; });
                const DatabaseProblem problem = ClassifyDatabaseError(db.LastError());
                const std::size_t listed = cut ? db.SharedRows(cut)->RowCount() : 0;
                std::cerr << "read: " << listed << " " << GbkToUtf8(db.LastError()) << std::endl;
                std::filesystem::copy_file(whole, file, overwrite);
                const bool reopened = db.OpenMdbFile(path);
                const std::int32_t again = db.OpenTable(list);
                const std::size_t rows = again ? db.SharedRows(again)->RowCount() : 0;
                std::cerr << "again: " << rows << " " << GbkToUtf8(db.LastError()) << std::endl;
                const bool answered =
                    damage.damaged
                        ? cut == 0 && problem == DatabaseProblem::NotALedger
                        : (cut == 0 && problem == DatabaseProblem::NotALedger) || listed < 3000;
                std::exit(answered && reopened && rows == 3000 ? 0 : 1);
            },
            testing::ExitedWithCode(0), "");
    }
}

// Read-only and full disks cannot be brought about everywhere (root writes
// any file): the causes are read from SQLite's own texts.
TEST(DatabaseErrorTest, CausesAreToldBySQLitesOwnTexts) {
    for (const auto& [code, problem] : {std::pair{SQLITE_READONLY, DatabaseProblem::ReadOnly},
                                        {SQLITE_FULL, DatabaseProblem::DiskFull},
                                        {SQLITE_CORRUPT, DatabaseProblem::NotALedger},
                                        {SQLITE_IOERR, DatabaseProblem::NotALedger},
                                        {SQLITE_MISMATCH, DatabaseProblem::Other}}) {
        const std::string diagnostic = "[SQLite]" + std::string(sqlite3_errstr(code)) + " (1)";
        EXPECT_EQ(ClassifyDatabaseError(diagnostic), problem) << diagnostic;
        EXPECT_EQ(DatabaseErrorDetail(diagnostic) == diagnostic, problem == DatabaseProblem::Other);
    }
}

}  // namespace
