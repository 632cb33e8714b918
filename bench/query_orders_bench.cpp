// How long QueryOrders takes to fill the list with every order of a large
// ledger, beside the sqlite3 shell running the same three statements, and how
// much memory the process holding the filled list takes at its peak; how much
// of the time the snapshot of the order list alone takes; and the month
// summary over 100,000 and 1,000,000 orders.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "platform/child_process.h"
#include "platform/files.h"
#include "store/database.h"
#include "store/demo_orders.h"
#include "store/ledger_file.h"
#include "store/order_statements.h"
#include "store/order_summary.h"
#include "store/server_dump.h"
#include "ui/orders/fill_order_list.h"
#include "ui/orders/order_list.h"

namespace {

// The argument that makes the benchmark a child which fills the list once.
constexpr const char* kHoldList = "--hold-list";

// What the demo generator makes: a digest of its first orders, so a ledger
// made by an older generator is made anew.
std::string GeneratorVersion() {
    std::uint64_t digest = 14695981039346656037ull;  // FNV-1a
    DemoOrderGenerator generator;
    for (int i = 0; i < 256; ++i) {
        for (const std::string& field : generator.Next()) {
            for (const char c : field + '\x1f') {
                digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            }
        }
    }
    std::ostringstream text;
    text << std::hex << digest;
    return text.str();
}

// A ledger of n demo orders, made once per size and generator and kept
// between runs under the user's cache folder (a million orders take a while).
std::string LedgerDirectory(int orders) {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::filesystem::path base = cache && *cache
                                           ? std::filesystem::path(cache)
                                           : std::filesystem::path(std::getenv("HOME")) / ".cache";
    const std::filesystem::path directory =
        base / "tallovar" / "bench" / ("orders-" + std::to_string(orders));
    const std::filesystem::path stamp = directory / "generator";
    static const std::string version = GeneratorVersion();
    std::string made;
    std::getline(std::ifstream(stamp), made);
    if (made != version || !std::filesystem::exists(directory / "tallovar.mdb")) {
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
        if (!CreateLedger((directory / "tallovar.mdb").string(), "admin", "admin", orders).ok()) {
            std::abort();
        }
        std::ofstream(stamp) << version << "\n";
    }
    return directory.string();
}

// Runs a program to its end under /usr/bin/time, which forks it from a small
// process: a child spawned from this one would count this process's memory
// in its peak. False when it could not run or failed; its peak resident
// memory (with the children it waited for) goes to peakBytes.
bool RunChild(const std::vector<std::string>& command, long& peakBytes) {
    const std::string report = std::filesystem::temp_directory_path() /
                               ("tallovar-bench-peak-" + std::to_string(getpid()));
    std::vector<std::string> words = {"/usr/bin/time", "-q", "-f", "%M", "-o", report};
    words.insert(words.end(), command.begin(), command.end());
    const bool succeeded = RunProgram(words);
    long kilobytes = -1;
    std::ifstream(report) >> kilobytes;
    std::filesystem::remove(report);
    peakBytes = kilobytes * 1024;
    return succeeded;
}

// The peak resident memory of a process that fills the list with every order
// of the ledger twice and holds it; measured once per size in a child, since
// a process's own peak only grows.
long PeakOfHoldingTheList(const std::string& directory) {
    static std::map<std::string, long> measured;
    if (!measured.count(directory)) {
        long peak = 0;
        if (!RunChild({std::filesystem::read_symlink("/proc/self/exe"), kHoldList, directory},
                      peak))
            peak = -1;
        measured[directory] = peak;
    }
    return measured[directory];
}

// The child's part: fill the list, then fill it again as a second 查询 does
// (the peak of a process that refills its list is what a user meets);
// exit status 0 when every order is listed.
int HoldList(const std::string& directory) {
    std::filesystem::current_path(directory);
    DatabaseConnection connection;
    OrderListModel list;
    std::int32_t count = -1;
    OrderListDisplay display{connection, [](const std::string&) {}, list,
                             [&](const OrderTotals& totals) { count = totals.count; }};
    QueryOrders(display, {}, "");
    QueryOrders(display, {}, "");
    return count > 0 && list.ItemCount() == count ? 0 : 1;
}

// QueryOrders with every input empty, run in the current directory.
void TimeQueryOrders(benchmark::State& state) {
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

void BM_QueryOrders(benchmark::State& state) {
    const std::string directory = LedgerDirectory(static_cast<int>(state.range(0)));
    std::filesystem::current_path(directory);
    TimeQueryOrders(state);
    state.counters["peak_MB"] = static_cast<double>(PeakOfHoldingTheList(directory)) / 1e6;
}
BENCHMARK(BM_QueryOrders)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
    long peak = 0;
    for (auto _ : state) {
        if (!RunChild({"/bin/sh", "-c", command}, peak)) state.SkipWithError("sqlite3 failed");
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}
BENCHMARK(BM_Sqlite3Shell)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    TimeQueryOrders(state);
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
    if (argc == 3 && std::strcmp(argv[1], kHoldList) == 0) return HoldList(argv[2]);
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
