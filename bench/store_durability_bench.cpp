// What one acknowledged store costs: the program's own connection (ODBC, the
// driver, synchronous=EXTRA with the rollback journal) beside plain SQLite
// connections at each synchronous level, all inserting one order per
// transaction into a fresh ledger in the temporary directory.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "common/text_encoding.h"
#include "store/database.h"
#include "store/ledger_file.h"

namespace {

constexpr const char* kInsert =
    "insert into 订单列表(卖家账号,商品名称,售价) values('店','货','9')";

std::string FreshLedger() {
    const auto directory = std::filesystem::temp_directory_path() / "tallovar-bench-store";
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    const std::string path = (directory / "tallovar.mdb").string();
    if (!CreateLedger(path, "admin", "admin").ok()) std::abort();
    return path;
}

void BM_ProgramStore(benchmark::State& state) {
    DatabaseConnection db;
    if (!db.OpenMdbFile(Gbk(FreshLedger()))) std::abort();
    const std::string statement = Gbk(kInsert);
    for (auto _ : state) {
        if (!db.ExecuteSql(statement)) state.SkipWithError("store failed");
    }
}
BENCHMARK(BM_ProgramStore)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0): 1 NORMAL (the driver's default), 2 FULL, 3 EXTRA.
void BM_SqliteStore(benchmark::State& state) {
    static const char* const kLevels[] = {"off", "normal", "full", "extra"};
    sqlite3* db = nullptr;
    sqlite3_open(FreshLedger().c_str(), &db);
    const std::string pragma = std::string("pragma synchronous=") + kLevels[state.range(0)];
    sqlite3_exec(db, pragma.c_str(), nullptr, nullptr, nullptr);
    for (auto _ : state) {
        if (sqlite3_exec(db, kInsert, nullptr, nullptr, nullptr) != SQLITE_OK) {
            state.SkipWithError("store failed");
        }
    }
    sqlite3_close(db);
    state.SetLabel(kLevels[state.range(0)]);
}
BENCHMARK(BM_SqliteStore)->DenseRange(1, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
