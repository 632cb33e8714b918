// How long tallovar-admin takes to export a large ledger as an .xlsx
// workbook and to import that workbook into an empty ledger, as a user runs
// it (the whole command, start-up included).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/ledger_file.h"

namespace {

namespace fs = std::filesystem;

fs::path ExchangeDirectory(long orders) {
    const fs::path directory =
        fs::temp_directory_path() / ("tallovar-exchange-bench-" + std::to_string(orders));
    fs::create_directories(directory / "import");
    if (!fs::exists(directory / "tallovar.mdb") &&
        !CreateLedger((directory / "tallovar.mdb").string(), "admin", "admin", orders).ok()) {
        std::abort();
    }
    return directory;
}

// CPU seconds (user and system) of every child waited for so far: on a
// machine shared with other work, the command's own cost.
double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool Admin(const fs::path& directory, const std::string& arguments) {
    const std::string command =
        "cd '" + directory.string() + "' && '" TALLOVAR_ADMIN "' " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

void BM_ExportXlsx(benchmark::State& state) {
    const fs::path directory = ExchangeDirectory(state.range(0));
    const double cpu = ChildCpuSeconds();
    for (auto _ : state) {
        if (!Admin(directory, "export --xlsx --force --output orders.xlsx")) {
            state.SkipWithError("export failed");
        }
    }
    state.counters["orders"] = static_cast<double>(state.range(0));
    state.counters["cpu_s"] = (ChildCpuSeconds() - cpu) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ExportXlsx)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportXlsx(benchmark::State& state) {
    const fs::path directory = ExchangeDirectory(state.range(0));
    if (!Admin(directory, "export --xlsx --force --output orders.xlsx")) {
        state.SkipWithError("export failed");
    }
    const fs::path target = directory / "import" / "tallovar.mdb";
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(target);
        if (!CreateLedger(target.string(), "admin", "admin").ok()) {
            state.SkipWithError("no empty ledger");
        }
        state.ResumeTiming();
        const double before = ChildCpuSeconds();
        if (!Admin(directory / "import", "import ../orders.xlsx")) {
            state.SkipWithError("import failed");
        }
        cpu += ChildCpuSeconds() - before;
    }
    state.counters["orders"] = static_cast<double>(state.range(0));
    state.counters["cpu_s"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ImportXlsx)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
