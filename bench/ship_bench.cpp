// 批量发货 over a ledger of 100,000 demo orders: 1,000 lines matched and the
// window's preview filled with them, as a paste of a supplier's list does; a
// scanner's 1,000th line; and 1,000 orders shipped in one transaction, as
// 全部发货 then does.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QTableWidget>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "exchange/courier_table.h"
#include "exchange/ship_lines.h"
#include "store/database.h"
#include "store/ledger_file.h"
#include "store/ship_batch.h"
#include "ui/ship/ship_preview.h"

namespace {

constexpr int kOrders = 100000;
constexpr int kLines = 1000;

// A ledger of the demo orders in a temporary folder, made once a run.
const std::string& Ledger() {
    static const std::string path = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tallovar-ship-XXXXXX").string();
        const std::string directory = mkdtemp(pattern.data());
        const std::string file = directory + "/tallovar.mdb";
        if (!CreateLedger(file, "admin", "admin", kOrders).ok()) {
            std::abort();
        }
        return file;
    }();
    return path;
}

void Open(DatabaseConnection& db, benchmark::State& state) {
    if (!db.OpenMdbFile(Gbk(Ledger()))) state.SkipWithError("the ledger does not open");
}

// Lines naming orders spread over the ledger, every other one by its
// purchase order number, each with an SF waybill and no courier.
std::vector<WaybillLine> PastedLines(DatabaseConnection& db) {
    const int step = kOrders / kLines;
    const std::int32_t set =
        db.OpenTable(Gbk("select 订单号,购买订单号 from 订单列表 where ID % " +
                         std::to_string(step) + " = 0 limit " + std::to_string(kLines)));
    std::vector<WaybillLine> lines;
    for (db.MoveFirst(set); !db.IsEOF(set); db.MoveNext(set)) {
        const int n = static_cast<int>(lines.size()) + 1;
        const std::string key = GbkToUtf8(db.ReadColByIndex(set, n % 2 ? 1 : 2).text);
        lines.push_back({n, key, "SF" + std::to_string(1000000000000 + n), "", ""});
    }
    db.CloseResultSets();
    return lines;
}

void BM_MatchAndPreview(benchmark::State& state) {
    DatabaseConnection db;
    Open(db, state);
    const std::vector<WaybillLine> given = PastedLines(db);
    Status loaded;
    const CourierTable couriers = CourierTable::LoadInstalled(loaded);
    const std::vector<std::string> pickList = {"中通快递", "顺丰速运"};
    QTableWidget table;
    SetUpPreview(&table, pickList, [](int, const std::string&) {});
    for (auto _ : state) {
        std::vector<ShipLine> lines;
        std::vector<std::vector<std::string>> candidates(given.size());
        for (std::size_t i = 0; i < given.size(); ++i) {
            lines.push_back(ShipLineOf(given[i], couriers, pickList, candidates[i]));
        }
        std::vector<ShipMatch> matches;
        if (!MatchShipLines(db, lines, matches).ok()) state.SkipWithError("no match");
        std::vector<PreviewRow> rows;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            rows.push_back({&given[i], &lines[i], &matches[i], &candidates[i]});
        }
        FillPreview(&table, rows);
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.counters["lines"] = static_cast<double>(given.size());
}
BENCHMARK(BM_MatchAndPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

// A scanner's Enter after 999 lines: the new line's key looked up (one read
// of the ledger), every line judged and the preview filled again.
void BM_ScannedLineAfter999(benchmark::State& state) {
    DatabaseConnection db;
    Open(db, state);
    const std::vector<WaybillLine> given = PastedLines(db);
    std::vector<ShipLine> lines;
    std::vector<std::string> keys;
    const std::vector<std::string> none;
    for (const WaybillLine& line : given) {
        lines.push_back({line.number, Gbk(line.key), Gbk(line.waybill), Gbk("顺丰"), false});
        keys.push_back(lines.back().key);
    }
    ShipOrderIndex known;
    if (!FindShipOrders(db, keys, known).ok()) state.SkipWithError("no match");
    known.erase(keys.back());
    QTableWidget table;
    SetUpPreview(&table, {}, [](int, const std::string&) {});
    for (auto _ : state) {
        state.PauseTiming();
        ShipOrderIndex index = known;
        state.ResumeTiming();
        if (!FindShipOrders(db, keys, index).ok()) state.SkipWithError("no match");
        const std::vector<ShipMatch> matches = JudgeShipLines(lines, index);
        std::vector<PreviewRow> rows;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            rows.push_back({&given[i], &lines[i], &matches[i], &none});
        }
        FillPreview(&table, rows);
    }
}
BENCHMARK(BM_ScannedLineAfter999)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShipInOneTransaction(benchmark::State& state) {
    DatabaseConnection db;
    Open(db, state);
    std::vector<ShipOrder> orders;
    for (int n = 1; n <= kLines; ++n) {
        orders.push_back({n, n * (kOrders / kLines), Gbk("顺丰速运"), "SF" + std::to_string(n)});
    }
    const std::string reset = Gbk("update 订单列表 set 快递公司='',运单号='' where ID % " +
                                  std::to_string(kOrders / kLines) + " = 0");
    for (auto _ : state) {
        state.PauseTiming();
        if (!db.ExecuteSql(reset)) state.SkipWithError("the orders cannot be made waiting");
        state.ResumeTiming();
        std::vector<int> refused;
        if (!ShipOrders(db, orders, ShipDate(), refused).ok()) state.SkipWithError("not shipped");
    }
    state.counters["orders"] = static_cast<double>(orders.size());
}
BENCHMARK(BM_ShipInOneTransaction)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(std::filesystem::path(Ledger()).parent_path());
    return 0;
}
