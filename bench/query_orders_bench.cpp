// How long QueryOrders takes to fill the list with every order of a large
// ledger, beside the sqlite3 shell running the same three statements, and how
// much of it the snapshot of the order list alone takes; and the month
// summary over 100,000 and 1,000,000 orders.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "store/database.h"
#include "store/order_statements.h"
#include "store/order_summary.h"
#include "tools/server_backup.h"
#include "ui/orders/fill_order_list.h"
#include "ui/orders/order_list.h"

namespace {

// A ledger of n demo orders, made once per size by the maintenance tool.
std::string LedgerDirectory(int orders) {
    const std::string directory =
        (std::filesystem::temp_directory_path() / ("tallovar-bench-" + std::to_string(orders)))
            .string();
    if (!std::filesystem::exists(directory + "/tallovar.mdb")) {
        std::filesystem::create_directories(directory);
        const std::string command = "cd '" + directory +
                                    "' && '" TALLOVAR_ADMIN "' init admin admin --demo " +
                                    std::to_string(orders) + " >/dev/null";
        if (std::system(command.c_str()) != 0) std::abort();
    }
    return directory;
}

void BM_QueryOrders(benchmark::State& state) {
    const std::string directory = LedgerDirectory(static_cast<int>(state.range(0)));
    std::filesystem::current_path(directory);
    DatabaseConnection connection;
    OrderListModel list;
    std::string totals;
    OrderListDisplay display{connection, [&](const std::string& line) { totals = line; }, list};
    for (auto _ : state) {
        QueryOrders(display, {}, "");
        benchmark::DoNotOptimize(list.ItemCount());
    }
    if (list.ItemCount() != state.range(0)) state.SkipWithError("the list misses orders");
    state.counters["rows"] = list.ItemCount();
}
BENCHMARK(BM_QueryOrders)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SnapshotOfAllOrders(benchmark::State& state) {
    const std::string directory = LedgerDirectory(static_cast<int>(state.range(0)));
    const std::string path = Gbk(directory + "/tallovar.mdb");
    const std::string statement = BuildOrderStatements({}, "").list;
    DatabaseConnection db;
    for (auto _ : state) {
        db.OpenMdbFile(path);  // drops the previous snapshot
        const std::int32_t handle = db.OpenTable(statement);
        if (handle == 0) state.SkipWithError("the list statement failed");
        benchmark::DoNotOptimize(handle);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SnapshotOfAllOrders)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Sqlite3Shell(benchmark::State& state) {
    const std::string directory = LedgerDirectory(static_cast<int>(state.range(0)));
    const OrderStatements statements = BuildOrderStatements({}, "");
    const std::string script = directory + "/statements.sql";
    std::ofstream(script) << GbkToUtf8(statements.list) << ";\n"
                          << GbkToUtf8(statements.count) << ";\n"
                          << GbkToUtf8(statements.totals) << ";\n";
    const std::string command =
        "sqlite3 '" + directory + "/tallovar.mdb' < '" + script + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("sqlite3 failed");
    }
}
BENCHMARK(BM_Sqlite3Shell)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same on a team ledger: TALLOVAR_BENCH_SERVER names an empty database
// (ODBC connection string, every key spelt out), which gets the demo ledger
// of that size once; QueryOrders runs through config.ini as in the program,
// beside psql running the same three statements.
std::string ServerLedgerDirectory(int orders) {
    const std::string server = std::getenv("TALLOVAR_BENCH_SERVER");
    const std::string file = LedgerDirectory(orders);
    const std::string directory = file + "-server";
    if (!std::filesystem::exists(directory + "/config.ini")) {
        std::filesystem::create_directories(directory);
        const std::string command = "cd '" + file + "' && '" TALLOVAR_ADMIN "' init --connect '" +
                                    server + "' --from tallovar.mdb >/dev/null";
        if (std::system(command.c_str()) != 0) std::abort();
        std::ofstream(directory + "/config.ini") << Gbk("[数据库]\r\n连接=") << Gbk(server);
    }
    return directory;
}

void BM_QueryOrdersOnServer(benchmark::State& state) {
    const std::string directory = ServerLedgerDirectory(static_cast<int>(state.range(0)));
    std::filesystem::current_path(directory);
    SetProgramDirectoryForTesting(directory);
    BM_QueryOrders(state);
    SetProgramDirectoryForTesting("");
}

void BM_PsqlShell(benchmark::State& state) {
    const std::string directory = ServerLedgerDirectory(static_cast<int>(state.range(0)));
    const OrderStatements statements = BuildOrderStatements({}, "");
    const std::string script = directory + "/statements.sql";
    std::ofstream(script) << GbkToUtf8(statements.list) << ";\n"
                          << GbkToUtf8(statements.count) << ";\n"
                          << GbkToUtf8(statements.totals) << ";\n";
    std::vector<std::string> words = {"psql", "-X", "-q", "-v", "ON_ERROR_STOP=1"};
    if (!ServerToolArguments(std::getenv("TALLOVAR_BENCH_SERVER"), words)) std::abort();
    std::string command;
    for (const std::string& word : words) command += "'" + word + "' ";
    command += "-f '" + script + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("psql failed");
    }
}

// What "统计…" does when it opens on every order: connect, read the groups
// of date, seller and express company, and sum them by month.
void BM_MonthSummary(benchmark::State& state) {
    const std::string path =
        Gbk(LedgerDirectory(static_cast<int>(state.range(0))) + "/tallovar.mdb");
    std::int64_t orders = 0;
    for (auto _ : state) {
        DatabaseConnection db;
        std::vector<SummarySource> sources;
        if (!db.OpenMdbFile(path) ||
            !ReadSummarySources(db, {}, "", SummaryDetail::DatesOnly, sources)) {
            state.SkipWithError("the summary statement failed");
            break;
        }
        orders = Summarise(sources, SummaryGrouping::Month, {}).total.count;
    }
    if (orders != state.range(0)) state.SkipWithError("the summary misses orders");
}
BENCHMARK(BM_MonthSummary)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (std::getenv("TALLOVAR_BENCH_SERVER")) {
        benchmark::RegisterBenchmark("BM_QueryOrdersOnServer", BM_QueryOrdersOnServer)
            ->Arg(100000)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("BM_PsqlShell", BM_PsqlShell)
            ->Arg(100000)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
