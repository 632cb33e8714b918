// tallovar-admin export: the orders as a sheet for Excel and WPS, an .xlsx
// workbook or a CSV file. The rows are those the main window lists for the
// same search texts and filter: the statements come from
// BuildOrderStatements and run through the program's own connection layer,
// and every value becomes text by the same rules. The sheet's layout is the
// one the window's export writes too (exchange/order_sheet.h). No export
// replaces an existing file unless --force says so, and then only a regular
// file, never the ledger or another ledger file (exchange/customer_file.h).

#include <cstdio>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "exchange/customer_file.h"
#include "exchange/order_sheet.h"
#include "exchange/sheet_encoding.h"
#include "platform/program_files.h"
#include "platform/utf8_paths.h"
#include "store/database.h"
#include "store/ledger_schema.h"
#include "store/order_statements.h"
#include "store/order_words.h"
#include "store/searched_orders.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

namespace {

// The search options in the order of the nine search texts.
constexpr const char* kSearchOptions[] = {
    "--seller",           "--order-no",       "--express",  "--waybill", "--goods",
    "--purchase-account", "--purchase-order", "--delivery", "--remark",
};

struct ExportOptions {
    OrderSearchTexts inputs;  // GBK
    std::string filter;       // GBK keyword or empty
    bool xlsx = false;
    bool gbk = false;
    bool gb18030 = false;
    bool force = false;
    std::string output;  // UTF-8 path, "-" for standard output
};

bool ParseOptions(const CommandLine& line, ExportOptions& options) {
    if (!line.Operands().empty()) return false;
    options.xlsx = line.Has("--xlsx");
    options.gbk = line.Has("--gbk");
    options.gb18030 = line.Has("--gb18030");
    options.force = line.Has("--force");
    if (line.Has("--waiting") && line.Has("--problem")) return false;
    if (line.Has("--waiting")) options.filter = Gbk(kWaitingFilter);
    if (line.Has("--problem")) options.filter = Gbk(kProblemFilter);
    if (line.Has("--output")) {
        options.output = line.Value("--output");
        if (options.output.empty() || !IsValidUtf8(options.output)) return false;
    }
    for (std::size_t s = 0; s < std::size(kSearchOptions); ++s) {
        const std::string value = line.Value(kSearchOptions[s]);
        if (!IsValidUtf8(value)) return false;
        options.inputs[s] = Gbk(value);
    }
    // A workbook is GBK-free by nature, and it is no stream.
    return !(options.xlsx && (options.gbk || options.gb18030 || options.output == "-"));
}

SheetFormat FormatOf(const ExportOptions& options) {
    if (options.gb18030) return SheetFormat::CsvGb18030;
    if (options.gbk) return SheetFormat::CsvGbk;
    if (options.xlsx) return SheetFormat::Xlsx;
    return FormatOfFileName(options.output);
}

// Reads the list and its totals exactly as the main window reads them, so an
// export and the window agree for the same search.
bool ReadSheet(DatabaseConnection& db, const ExportOptions& options, OrderSheetExport& sheet,
               OrderTotals& totals) {
    return ReadSearchedOrders(
               db, options.inputs, options.filter,
               [&sheet](const std::vector<std::string>& cells) { sheet.AddOrder(cells); }, totals)
        .ok();
}

bool WriteAll(std::FILE* file, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// Why nothing was exported, with the way round where there is one.
int NotExported(const Status& refused, const ExportOptions& options) {
    const bool exists = !options.force && Utf8PathExists(options.output);
    return Fail(
        refused.chinese + "；未导出" + (exists ? "（用 --force 覆盖）" : ""),
        refused.english + "; nothing was exported" + (exists ? " (--force replaces it)" : ""));
}

const char* FormatName(SheetFormat format) {
    switch (format) {
        case SheetFormat::Xlsx:
            return "Excel .xlsx";
        case SheetFormat::CsvUtf8:
            return "UTF-8 (BOM)";
        case SheetFormat::CsvGbk:
            return "GBK";
        case SheetFormat::CsvGb18030:
            return "GB18030";
    }
    return "";
}

}  // namespace

int RunExport(const CommandLine& line) {
    std::string server;
    ExportOptions options;
    if (!ConnectOption(line, server) || !ParseOptions(line, options)) return kExitUsage;
    // A team ledger's export goes to the current directory.
    const std::string ledger = server.empty() ? ExistingLedgerHere() : PathIn(".", kLedgerFileName);
    if (ledger.empty()) return kExitFailed;
    if (options.output.empty()) {
        options.output = Utf8DirectoryOf(ledger) + "/tallovar-orders-" + TimeStamp() +
                         (options.xlsx ? ".xlsx" : ".csv");
    }
    const bool toFile = options.output != "-";
    // Unplaced, the file's temporary version is removed when this ends.
    CustomerDataFile file(NativePathOfUtf8(options.output), NativePathOfUtf8(ledger),
                          options.force ? Existing::Replace : Existing::Keep);
    if (toFile) {
        if (Status opened = file.Open(); !opened.ok()) return NotExported(opened, options);
    }
    const SheetFormat format = FormatOf(options);
    DatabaseConnection db;
    OrderSheetExport sheet(format, file.TemporaryPath());
    OrderTotals totals;
    const bool opened = server.empty() ? db.OpenMdbFile(Gbk(ledger)) : db.OpenServer(Gbk(server));
    if (!opened || !ReadSheet(db, options, sheet, totals)) {
        const std::string reason = GbkToUtf8(db.LastError());
        return Fail("无法读取账本：" + reason, "cannot read the ledger: " + reason);
    }
    std::string error;
    bool written = sheet.Finish(totals, error);
    if (written && format != SheetFormat::Xlsx) {
        written = toFile ? file.Write(sheet.Bytes()).ok()
                         : WriteAll(stdout, sheet.Bytes()) && std::fflush(stdout) == 0;
        if (!written && toFile) error = "cannot write " + options.output;
    }
    if (!written) return Fail(error + "；未导出", "nothing was exported");
    if (toFile) {
        if (Status placed = file.Place(); !placed.ok()) return NotExported(placed, options);
    }
    std::fprintf(stderr, "已导出 %d 张订单：%s（%s）\n%d orders exported: %s (%s)\n",
                 sheet.Orders(), options.output.c_str(), FormatName(format), sheet.Orders(),
                 options.output.c_str(), FormatName(format));
    return kExitOk;
}
