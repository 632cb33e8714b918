// 从表格导入 over a marketplace export of 100,000 orders (a GBK CSV in the
// layout of the 淘宝 order report, order numbers wrapped as ="…"): the
// preview (the file read through its recognised preset and every row judged
// against the ledger) and the import that follows it (every order stored in
// one transaction into a new ledger); and the preview of the same file once
// the ledger holds its orders.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "exchange/import_mapping.h"
#include "exchange/mapped_sheet.h"
#include "store/database.h"
#include "store/ledger_file.h"
#include "store/order_import.h"

namespace {

constexpr int kRows = 100000;

const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tallovar-import-XXXXXX").string();
        return std::string(mkdtemp(pattern.data()));
    }();
    return folder;
}

// The export, written once a run.
const std::string& ExportFile() {
    static const std::string path = [] {
        std::string text =
            "订单编号,买家会员名,买家实际支付金额,订单状态,收货人姓名,收货地址,联系电话,"
            "联系手机,订单创建时间,订单付款时间,宝贝标题,物流单号,物流公司,订单备注,店铺名称\r\n";
        for (int n = 0; n < kRows; ++n) {
            const std::string number = std::to_string(3856000000000000000LL + n);
            text += "=\"" + number + "\",tb***" + std::to_string(n % 977) + ",\"￥1," +
                    std::to_string(100 + n % 900) + ".00\",交易成功,张*,浙江省杭州市西湖区文三路" +
                    std::to_string(n % 300) + "号,,138****" + std::to_string(1000 + n % 9000) +
                    ",2026-11-" + std::to_string(1 + n % 28) + " 13:45:01,2026-11-" +
                    std::to_string(1 + n % 28) + " 13:46:00,保温杯 500ml 不锈钢,SF" +
                    std::to_string(1000000000000LL + n) + ",顺丰速运,,小杯子店\r\n";
        }
        const std::string file = Folder() + "/ExportOrderList.csv";
        std::ofstream(file, std::ios::binary) << Gbk(text);
        return file;
    }();
    return path;
}

std::string NewLedger(const std::string& name) {
    const std::string file = Folder() + "/" + name + ".mdb";
    std::filesystem::remove(file);
    if (!CreateLedger(file, "admin", "admin", 0).ok()) std::abort();
    return file;
}

const std::vector<ImportMapping>& Presets() {
    static const std::vector<ImportMapping> presets = [] {
        std::string problems;
        return LoadMappings(TALLOVAR_SOURCE_DIR "/exchange/import_presets", problems);
    }();
    return presets;
}

// The preview: false with the run marked as failed.
bool Preview(DatabaseConnection& db, std::vector<ImportOrder>& orders,
             std::vector<ImportJudgement>& judgements, benchmark::State& state) {
    SheetHeader header;
    const ImportMapping* preset = nullptr;
    if (!ReadSheetHeader(ExportFile(), Presets(), header, preset).ok() || !preset ||
        !ReadMappedOrders(ExportFile(), header, *preset, "", orders).ok() ||
        !JudgeImportOrders(db, orders, {true, false}, judgements).ok()) {
        state.SkipWithError("the preview failed");
        return false;
    }
    return true;
}

void BM_Preview(benchmark::State& state) {
    DatabaseConnection db;
    if (!db.OpenMdbFile(Gbk(NewLedger("preview")))) state.SkipWithError("no ledger");
    for (auto _ : state) {
        std::vector<ImportOrder> orders;
        std::vector<ImportJudgement> judgements;
        if (!Preview(db, orders, judgements, state)) break;
        if (orders.size() != kRows) state.SkipWithError("rows lost");
    }
}
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_Import(benchmark::State& state) {
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DatabaseConnection db;
        if (!db.OpenMdbFile(Gbk(NewLedger("import" + std::to_string(run++))))) {
            state.SkipWithError("no ledger");
        }
        std::vector<ImportOrder> orders;
        std::vector<ImportJudgement> judgements;
        if (!Preview(db, orders, judgements, state)) break;
        state.ResumeTiming();
        int added = 0;
        int filled = 0;
        if (!StoreImportOrders(db, orders, judgements, added, filled).ok() || added != kRows) {
            state.SkipWithError("the import failed");
        }
    }
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

// The same export previewed again once the ledger holds its 100,000 orders:
// every row found the same as a stored order.
void BM_PreviewImportedAgain(benchmark::State& state) {
    DatabaseConnection db;
    if (!db.OpenMdbFile(Gbk(NewLedger("again")))) state.SkipWithError("no ledger");
    std::vector<ImportOrder> orders;
    std::vector<ImportJudgement> judgements;
    int added = 0;
    int filled = 0;
    if (!Preview(db, orders, judgements, state) ||
        !StoreImportOrders(db, orders, judgements, added, filled).ok()) {
        state.SkipWithError("the first import failed");
    }
    for (auto _ : state) {
        if (!Preview(db, orders, judgements, state)) break;
        if (judgements.back().verdict != ImportVerdict::SameAsLedger) {
            state.SkipWithError("a stored order was not recognised");
        }
    }
}
BENCHMARK(BM_PreviewImportedAgain)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
