// tallovar-admin backup and restore: a backup taken while orders are being
// stored restores to a consistent ledger; restore checks before it replaces
// anything and keeps what it replaced.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "admin_run.h"
#include "store/ledger_file.h"
#include "test_ledger.h"
#include "tests/settings/temp_directory.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class BackupRestore : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "admin", "pw", 30).ok());
    }
    long long Orders(const TestLedger& of) const {
        return std::stoll(of.Rows("select count(*) from 订单列表")[0][0]);
    }

    TestLedger ledger{false};
};

// Stores orders two at a time, each pair in one transaction with one order
// number, a pair every millisecond, until told to stop.
class OrderStream {
  public:
    explicit OrderStream(const std::string& path)
        : thread_([this, path] {
              sqlite3* db = nullptr;
              sqlite3_open(path.c_str(), &db);
              sqlite3_busy_timeout(db, 5000);
              for (long n = 0; !stop_; ++n) {
                  const std::string number = "S" + std::to_string(n);
                  const std::string sql = "begin immediate; insert into 订单列表(订单号) values('" +
                                          number + "'); insert into 订单列表(订单号) values('" +
                                          number + "'); commit;";
                  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) {
                      ++pairs_;
                  } else {
                      sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
              sqlite3_close(db);
          }) {}
    ~OrderStream() {
        stop_ = true;
        thread_.join();
    }
    long pairs() const { return pairs_; }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<long> pairs_{0};
    std::thread thread_;
};

TEST_F(BackupRestore, BackupTakenWhileOrdersAreStoredRestoresConsistently) {
    std::vector<std::string> backups;
    {
        OrderStream stream(ledger.DatabaseFile());
        while (stream.pairs() < 20) std::this_thread::yield();
        // The launcher's daily copy is taken the same way, into 备份/.
        for (const std::string name : {"during-0.mdb", "--daily", "during-2.mdb"}) {
            const AdminRun run = RunAdmin(ledger.Directory(), "backup " + name);
            ASSERT_EQ(run.exitCode, 0) << run.output;
            const std::string daily = ledger.Directory() + "/备份";
            backups.push_back(name != "--daily" ? ledger.Directory() + "/" + name
                                                : daily + "/" + Names(daily).at(0));
        }
        EXPECT_GT(stream.pairs(), 20);
    }
    long long previous = 0;
    for (const std::string& backup : backups) {
        TestLedger target(false);
        const AdminRun run = RunAdmin(target.Directory(), "restore '" + backup + "'");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(target.Rows("pragma integrity_check")[0][0], "ok");
        // Every pair whole: each streamed order number twice, never once.
        EXPECT_TRUE(target
                        .Rows("select 订单号 from 订单列表 where 订单号 like 'S%' "
                              "group by 订单号 having count(*) <> 2")
                        .empty());
        const long long orders = Orders(target);
        EXPECT_EQ((orders - 30) % 2, 0);
        EXPECT_GE(orders, previous);
        previous = orders;
    }
    EXPECT_GT(previous, 30);
}

TEST_F(BackupRestore, RestoreReplacesTheLedgerAndKeepsTheReplacedOne) {
    const AdminRun backup = RunAdmin(ledger.Directory(), "backup");
    ASSERT_EQ(backup.exitCode, 0) << backup.output;
    const std::vector<std::string> made = Names(ledger.Directory());
    ASSERT_EQ(made.size(), 2u);
    EXPECT_TRUE(std::regex_match(made[0], std::regex(R"(tallovar-\d{8}-\d{6}\.mdb)"))) << made[0];
    const std::string backupName = made[0];

    ledger.AddOrder({{"卖家账号", "备份之后"}});
    const std::string later = ReadBytes(ledger.DatabaseFile());
    const AdminRun again = RunAdmin(ledger.Directory(), "backup " + backupName);
    EXPECT_NE(again.exitCode, 0);  // never replaces a file
    EXPECT_TRUE(Mentions(again, "已存在")) << again.output;

    const AdminRun restore = RunAdmin(ledger.Directory(), "restore " + backupName);
    ASSERT_EQ(restore.exitCode, 0) << restore.output;
    EXPECT_EQ(Orders(ledger), 30);
    const std::vector<std::string> after = Names(ledger.Directory());
    ASSERT_EQ(after.size(), 3u);
    EXPECT_TRUE(std::regex_match(after[2], std::regex(R"(tallovar\.mdb\.replaced-\d{8}-\d{6})")))
        << after[2];
    EXPECT_EQ(ReadBytes(ledger.Directory() + "/" + after[2]), later);
}

TEST_F(BackupRestore, RestoreRefusesWhatIsNoSoundLedgerAndChangesNothing) {
    const std::string dir = ledger.Directory();
    std::ofstream(dir + "/text.mdb") << "ID,卖家账号\n1,a\n";
    std::ofstream(dir + "/empty.mdb");
    auto makeLedger = [&](const std::string& name, const std::string& change) {
        ASSERT_TRUE(CreateLedger(dir + "/" + name, "a", "b", 2000).ok());
        sqlite3* db = nullptr;
        sqlite3_open((dir + "/" + name).c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, change.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    makeLedger("no-orders.mdb", "drop table 订单列表");
    makeLedger("no-column.mdb",
               "drop trigger 订单列表_放入回收站; alter table 订单列表 drop column 备注");
    makeLedger("damaged.mdb", "");
    {
        // Scramble the header of a page in the middle of the file.
        std::fstream file(dir + "/damaged.mdb", std::ios::in | std::ios::out | std::ios::binary);
        const auto middle = fs::file_size(dir + "/damaged.mdb") / 2 / 4096 * 4096;
        file.seekp(static_cast<std::streamoff>(middle));
        file << std::string(300, '\x5A');
    }
    struct Case {
        const char* file;
        const char* says;
    };
    const Case cases[] = {
        {"missing.mdb", "找不到文件"},   {"text.mdb", "不是 SQLite 数据库"},
        {"empty.mdb", "缺少表 sysuser"}, {"no-orders.mdb", "缺少表 订单列表"},
        {"no-column.mdb", "备注"},       {"damaged.mdb", "损坏"},
    };
    const std::string before = ReadBytes(ledger.DatabaseFile());
    const std::vector<std::string> names = Names(dir);
    for (const Case& c : cases) {
        const AdminRun run = RunAdmin(dir, std::string("restore ") + c.file);
        EXPECT_NE(run.exitCode, 0) << c.file;
        EXPECT_TRUE(Mentions(run, c.says)) << c.file << ": " << run.output;
        EXPECT_TRUE(Mentions(run, "the ledger was not changed")) << c.file;
    }
    EXPECT_EQ(ReadBytes(ledger.DatabaseFile()), before);
    EXPECT_EQ(Names(dir), names);  // no kept file, no temporary file left
}

TEST_F(BackupRestore, RestoreIntoAnEmptyFolderPlacesTheLedger) {
    TestLedger target(false);
    const AdminRun run = RunAdmin(target.Directory(), "restore '" + ledger.DatabaseFile() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Orders(target), 30);
    EXPECT_EQ(Names(target.Directory()), std::vector<std::string>{"tallovar.mdb"});
}

// A program storing through its own connection, in a process of its own; what
// it acknowledged goes to a file.
class WriterProcess {
  public:
    WriterProcess(const std::string& ledger, const std::string& tag, const std::string& acks)
        : acks_(acks) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, acks.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        const char* argv[] = {TALLOVAR_LEDGER_WRITER, ledger.c_str(), tag.c_str(), nullptr};
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) !=
            0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~WriterProcess() { Stop(); }
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    // The order numbers acknowledged so far (whole lines only).
    std::vector<std::string> Acknowledged() const {
        std::istringstream lines(ReadBytes(acks_));
        std::vector<std::string> numbers;
        std::string line;
        while (std::getline(lines, line)) {
            if (!lines.eof()) numbers.push_back(line);
        }
        return numbers;
    }

  private:
    std::string acks_;
    pid_t pid_ = -1;
};

std::set<std::string> OrderNumbers(const std::string& path, std::string& integrity) {
    sqlite3* db = nullptr;
    std::set<std::string> numbers;
    // Read-write: a store cut short by stopping its program leaves a journal
    // that is rolled back first, as the next program would.
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "pragma integrity_check", -1, &statement, nullptr);
    integrity = sqlite3_step(statement) == SQLITE_ROW
                    ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))
                    : sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(db, "select 订单号 from 订单列表", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        numbers.insert(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return numbers;
}

// Two programs keep storing while the ledger is restored twenty times. Each
// restore succeeds, the kept ledger and the live one are both sound, and
// every order a program was told was stored is in one of them.
TEST_F(BackupRestore, RestoresWhileTwoProgramsStoreKeepEveryAcknowledgedOrder) {
    const std::string dir = ledger.Directory();
    ASSERT_EQ(RunAdmin(dir, "backup start.mdb").exitCode, 0);
    WriterProcess first(ledger.DatabaseFile(), "A", dir + "/a.txt");
    WriterProcess second(ledger.DatabaseFile(), "B", dir + "/b.txt");
    constexpr int kTrials = 20;
    for (int trial = 0; trial < kTrials; ++trial) {
        SCOPED_TRACE("restore " + std::to_string(trial));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (first.Acknowledged().size() + second.Acknowledged().size() < 6u * (trial + 1)) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the programs stopped storing";
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const AdminRun run = RunAdmin(dir, "restore start.mdb");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        // The kept file's name has the second in it; give it a name of its own.
        for (const std::string& name : Names(dir)) {
            if (name.starts_with("tallovar.mdb.replaced-")) {
                fs::rename(dir + "/" + name, dir + "/kept-" + std::to_string(trial));
            }
        }
    }
    first.Stop();
    second.Stop();

    std::string integrity;
    std::set<std::string> found = OrderNumbers(ledger.DatabaseFile(), integrity);
    EXPECT_EQ(integrity, "ok") << "the live ledger";
    for (int trial = 0; trial < kTrials; ++trial) {
        const std::set<std::string> kept =
            OrderNumbers(dir + "/kept-" + std::to_string(trial), integrity);
        EXPECT_EQ(integrity, "ok") << "kept ledger " << trial;
        found.insert(kept.begin(), kept.end());
    }
    std::size_t acknowledged = 0;
    for (const WriterProcess* writer : {&first, &second}) {
        for (const std::string& number : writer->Acknowledged()) {
            ++acknowledged;
            EXPECT_TRUE(found.count(number)) << number << " was acknowledged and is lost";
        }
    }
    EXPECT_GT(acknowledged, 6u * kTrials);
}

}  // namespace
