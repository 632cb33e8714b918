// How long a full snapshot of a large ledger takes: every order, every column,
// as the order list reads it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>
#include <string>

#include "common/text_encoding.h"
#include "store/database.h"
#include "tools/ledger_file.h"

namespace {

std::string LedgerWithOrders(long orders) {
    char directory[] = "/tmp/tallovar-bench-XXXXXX";
    if (!mkdtemp(directory)) std::abort();
    const std::string path = std::string(directory) + "/tallovar.mdb";
    if (CreateLedger(path, "admin", "admin", orders).result != LedgerResult::Created) std::abort();
    return path;
}

void BM_SnapshotOfAllOrders(benchmark::State& state) {
    const long orders = state.range(0);
    const std::string path = LedgerWithOrders(orders);
    DatabaseConnection db;
    if (!db.OpenMdbFile(Gbk(path))) std::abort();
    const std::string statement = Gbk("select * from 订单列表 where 1=1  order by 订单日期 desc");
    for (auto _ : state) {
        db.OpenMdbFile(Gbk(path));  // drops the previous snapshot
        const std::int32_t handle = db.OpenTable(statement);
        if (handle == 0) std::abort();
        benchmark::DoNotOptimize(handle);
    }
    state.SetItemsProcessed(state.iterations() * orders);
    std::remove(path.c_str());
    rmdir(path.substr(0, path.rfind('/')).c_str());
}
BENCHMARK(BM_SnapshotOfAllOrders)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
