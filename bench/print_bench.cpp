// How long tallovar-admin print takes to write 1,000 packing slips (A4, six
// a page, each with its order number's barcode, some with a waybill's) as a
// PDF, as a user runs it: the whole command, start-up and reading the ledger
// included. Repeated; the median is the figure to quote.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/ledger_file.h"

namespace {

namespace fs = std::filesystem;

fs::path PrintDirectory(long orders) {
    const fs::path directory =
        fs::temp_directory_path() / ("tallovar-print-bench-" + std::to_string(orders));
    fs::create_directories(directory);
    if (!fs::exists(directory / "tallovar.mdb") &&
        !CreateLedger((directory / "tallovar.mdb").string(), "admin", "admin", orders).ok()) {
        std::abort();
    }
    return directory;
}

void BM_PrintPackingSlips(benchmark::State& state) {
    const fs::path directory = PrintDirectory(state.range(0));
    const std::string command = "cd '" + directory.string() +
                                "' && env -u DISPLAY '" TALLOVAR_ADMIN
                                "' print --form 发货单 --force --output slips.pdf >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("print failed");
    }
    state.counters["slips"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_PrintPackingSlips)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
