// tallovar-admin import through a column mapping: a marketplace's export,
// recognised by its header among the installed presets, a preset or a
// mapping saved in the window named by --preset, a mapping file given by
// --mapping, or any sheet with --dry-run or --fill-waybills. Every row is
// previewed with its verdict from the store; with --dry-run nothing more, otherwise the new orders
// are stored (and with --fill-waybills existing unshipped orders shipped) in one transaction. Our
// own export and a plain sheet without these options go the plain way of import_command.cpp, texts
// byte for byte.

#include <cstdio>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "exchange/import_mapping.h"
#include "exchange/mapped_sheet.h"
#include "platform/native_path.h"
#include "platform/whole_file.h"
#include "store/database.h"
#include "store/order_import.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/mapped_import.h"

namespace {

constexpr std::size_t kMaxMappingBytes = 64 * 1024;
// Refused rows listed one by one without --dry-run; beyond these counted.
constexpr int kListedRefusals = 200;

struct MappedOptions {
    std::string file;
    std::string preset;
    std::string mappingFile;
    std::string account;
    bool dryRun = false;
    bool fillWaybills = false;
    bool skipBad = false;
};

void PrintPreview(const std::vector<ImportOrder>& orders,
                  const std::vector<ImportJudgement>& judgements) {
    std::printf("行\t结果\t订单号\t订单日期\t商品名称\t售价\t运单号\n");
    for (std::size_t i = 0; i < orders.size(); ++i) {
        const ImportOrder& order = orders[i];
        std::string verdict = ImportVerdictName(judgements[i].verdict);
        if (!order.problem.empty()) verdict += "（" + order.problem + "）";
        std::printf("%d\t%s\t%s\t%s\t%s\t%s\t%s\n", order.row, verdict.c_str(),
                    GbkToUtf8(order.texts[1]).c_str(), GbkToUtf8(order.texts[4]).c_str(),
                    GbkToUtf8(order.texts[5]).c_str(), GbkToUtf8(order.texts[9]).c_str(),
                    GbkToUtf8(order.texts[3]).c_str());
    }
}

int ListRefusals(const std::vector<ImportOrder>& orders) {
    int refused = 0;
    for (const ImportOrder& order : orders) {
        if (order.problem.empty()) continue;
        if (++refused <= kListedRefusals) {
            std::fprintf(stderr, "第 %d 行%s / line %d is refused\n", order.row,
                         order.problem.c_str(), order.row);
        }
    }
    return refused;
}

}  // namespace

int RunMappedImport(const CommandLine& line, bool& handled) {
    handled = false;
    MappedOptions options;
    std::string server;
    if (!ConnectOption(line, server) || line.Operands().size() != 1) return kExitUsage;
    options.file = line.Operands()[0];
    options.preset = line.Value("--preset");
    options.mappingFile = line.Value("--mapping");
    options.account = line.Value("--account");
    options.dryRun = line.Has("--dry-run");
    options.fillWaybills = line.Has("--fill-waybills");
    options.skipBad = line.Has("--skip-bad");
    if (IsOldExcelFile(options.file)) {
        handled = true;
        return Fail(OldExcelFailure());
    }

    std::string problems;
    std::vector<ImportMapping> mappings = LoadMappings(PresetFolder(), problems);
    if (!problems.empty()) std::fprintf(stderr, "%s", problems.c_str());
    if (!options.mappingFile.empty()) {
        std::string bytes;
        ImportMapping mapping;
        handled = true;
        if (ReadWholeFile(NativePathOfUtf8(options.mappingFile), kMaxMappingBytes, bytes) !=
            WholeFileRead::kOk) {
            return Fail("无法读取导入映射：" + options.mappingFile,
                        "cannot read the mapping " + options.mappingFile);
        }
        if (Status parsed = ImportMapping::Parse(bytes, mapping); !parsed.ok()) {
            return Fail("导入映射 " + options.mappingFile + " " + parsed.chinese, parsed.english);
        }
        mappings = {mapping};
    } else if (!options.preset.empty()) {
        handled = true;
        // The user's saved mappings are chosen by name as the presets are.
        for (ImportMapping& saved : LoadMappings(SavedMappingFolder(), problems)) {
            mappings.push_back(std::move(saved));
        }
        const ImportMapping* preset = MappingNamed(mappings, options.preset);
        if (!preset) {
            std::string names;
            for (const ImportMapping& mapping : mappings) names += " " + mapping.name;
            return Fail("没有名为“" + options.preset + "”的预设（有：" + names + "）",
                        "no preset of that name");
        }
        mappings = {*preset};
    }

    SheetHeader header;
    const ImportMapping* recognised = nullptr;
    Status read = ReadSheetHeader(options.file, mappings, header, recognised);
    const bool chosen = !options.preset.empty() || !options.mappingFile.empty();
    const bool marketplace = recognised && recognised->clean;
    if (!chosen && !marketplace && !options.dryRun && !options.fillWaybills) return kExitOk;
    handled = true;
    // Through a mapping an order already stored is known by its order number
    // (or all its texts) and always left out; storing it twice on request
    // belongs to our own export's way only. Said, not silently ignored.
    if (line.Has("--allow-duplicates")) {
        std::fprintf(
            stderr,
            "按映射导入时不能用 --allow-duplicates：账本中已有的订单总是跳过，未导入任何订单\n"
            "--allow-duplicates applies to our own export only; nothing was imported\n");
        return kExitUsage;
    }
    if (!read.ok()) return Fail(read.chinese + "；未导入任何订单", read.english);
    if (chosen && !recognised) recognised = &mappings.front();
    const ImportMapping mapping = recognised ? *recognised : MappingOfHeader(header.cells, "表头");
    if (recognised && !chosen) {
        std::fprintf(stderr, "按“%s”的表头导入（第 %d 行）/ recognised as %s\n",
                     mapping.name.c_str(), header.row, mapping.name.c_str());
    }

    std::vector<ImportOrder> orders;
    if (Status mapped = ReadMappedOrders(options.file, header, mapping, options.account, orders);
        !mapped.ok()) {
        return Fail(mapped.chinese + "；未导入任何订单", mapped.english);
    }
    const std::string ledger = server.empty() ? ExistingLedgerHere() : std::string();
    if (server.empty() && ledger.empty()) return kExitFailed;
    DatabaseConnection db;
    const bool opened = server.empty() ? db.OpenMdbFile(Gbk(ledger)) : db.OpenServer(Gbk(server));
    ImportRules rules;
    rules.byOrderNumber = mapping.clean;
    rules.fillWaybills = options.fillWaybills;
    std::vector<ImportJudgement> judgements;
    Status judged = opened ? JudgeImportOrders(db, orders, rules, judgements)
                           : Status::Untranslated(GbkToUtf8(db.LastError()));
    if (!judged.ok()) {
        return Fail("无法读取账本：" + judged.chinese, "cannot read the ledger: " + judged.english);
    }
    if (options.dryRun) {
        PrintPreview(orders, judgements);
        std::printf("%s\n试运行，未导入 / dry run, nothing was imported\n",
                    ImportCountsText(judgements).c_str());
        return kExitOk;
    }
    const int refused = ListRefusals(orders);
    if (refused > 0 && !options.skipBad) {
        return Fail("有 " + std::to_string(refused) +
                        " 行无法导入，未导入任何订单（用 --skip-bad 只导入其余的行）",
                    std::to_string(refused) +
                        " rows refused; nothing was imported (--skip-bad stores the others)");
    }
    int added = 0;
    int filled = 0;
    if (Status stored = StoreImportOrders(db, orders, judgements, added, filled); !stored.ok()) {
        return Fail(stored);
    }
    std::printf("%s\n已导入 %d 张订单，补充运单号 %d 张 / %d orders imported, %d waybills filled\n",
                ImportCountsText(judgements).c_str(), added, filled, added, filled);
    return kExitOk;
}
