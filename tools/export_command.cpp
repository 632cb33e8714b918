// tallovar-admin export: the orders as a sheet for Excel and WPS, an .xlsx
// workbook or a CSV file. The rows are those the main window lists for the
// same search texts and filter: the statements come from
// BuildOrderStatements and run through the program's own connection layer,
// and every value becomes text by the same rules. The sheet's layout is the
// one the window's export writes too (exchange/order_sheet.h). No export
// replaces an existing file unless --force says so, and none ever writes over
// the ledger or another ledger file.

#include <cstdio>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "exchange/ledger_guard.h"
#include "exchange/order_sheet.h"
#include "exchange/sheet_encoding.h"
#include "platform/program_files.h"
#include "platform/whole_file.h"
#include "store/database.h"
#include "store/ledger_schema.h"
#include "store/order_statements.h"
#include "store/order_words.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/tool_paths.h"

namespace {

// The search options in the order of the nine search texts.
constexpr const char* kSearchOptions[] = {
    "--seller",           "--order-no",       "--express",  "--waybill", "--goods",
    "--purchase-account", "--purchase-order", "--delivery", "--remark",
};

int Usage() {
    std::fprintf(
        stderr,
        "用法 / usage: tallovar-admin export [--xlsx | --gbk [--gb18030]] [--force]\n"
        "    [--output FILE|-] [--seller X] [--order-no X] [--express X] [--waybill X]\n"
        "    [--goods X] [--purchase-account X] [--purchase-order X] [--delivery X]\n"
        "    [--remark X] [--waiting | --problem]\n"
        "默认 CSV（UTF-8 带 BOM）；--xlsx 或文件名以 .xlsx 结尾时为 Excel 工作簿；--gbk 为 "
        "GBK，--gb18030 允许 GBK 以外的字符；--force 覆盖已有文件\n"
        "CSV in UTF-8 with a byte-order mark by default; an Excel workbook with --xlsx or "
        "a FILE ending .xlsx; GBK with --gbk (--gb18030 allows characters GBK lacks); "
        "--force replaces an existing file\n");
    return kExitUsage;
}

struct ExportOptions {
    OrderSearchTexts inputs;  // GBK
    std::string filter;       // GBK keyword or empty
    bool xlsx = false;
    bool gbk = false;
    bool gb18030 = false;
    bool force = false;
    std::string output;  // UTF-8 path, "-" for standard output
};

bool ParseFlag(const std::string& option, ExportOptions& options) {
    const std::pair<const char*, bool ExportOptions::*> flags[] = {
        {"--xlsx", &ExportOptions::xlsx},
        {"--gbk", &ExportOptions::gbk},
        {"--gb18030", &ExportOptions::gb18030},
        {"--force", &ExportOptions::force},
    };
    for (const auto& [name, member] : flags) {
        if (option != name) continue;
        options.*member = true;
        return true;
    }
    return false;
}

bool ParseOptions(const std::vector<std::string>& arguments, ExportOptions& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (ParseFlag(option, options)) continue;
        if (option == "--waiting" || option == "--problem") {
            if (!options.filter.empty()) return false;
            options.filter = Gbk(option == "--waiting" ? kWaitingFilter : kProblemFilter);
            continue;
        }
        if (i + 1 >= arguments.size() || !IsValidUtf8(arguments[i + 1])) return false;
        const std::string& value = arguments[++i];
        if (option == "--output") {
            if (value.empty()) return false;
            options.output = value;
            continue;
        }
        bool known = false;
        for (std::size_t s = 0; s < std::size(kSearchOptions); ++s) {
            if (option != kSearchOptions[s]) continue;
            options.inputs[s] = Gbk(value);
            known = true;
        }
        if (!known) return false;
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

// Reads the list and its totals in one read transaction, so the totals agree
// with the rows even while the program stores orders.
bool ReadSheet(DatabaseConnection& db, const ExportOptions& options, OrderSheetExport& sheet,
               OrderTotals& totals) {
    const OrderStatements statements = BuildOrderStatements(options.inputs, options.filter);
    if (!db.ExecuteSql("begin")) return false;
    const std::int32_t list = db.OpenTable(statements.list);
    const bool read = list != 0 && ReadOrderTotals(db, statements, totals);
    db.ExecuteSql("rollback");
    if (!read) return false;

    const auto& columns = OrderListColumns();
    std::vector<std::string> cells(columns.size());
    for (db.MoveFirst(list); !db.IsEOF(list); db.MoveNext(list)) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            cells[c] = ValueToText(db.ReadColByName(list, columns[c].name));
        }
        sheet.AddOrder(cells);
    }
    return true;
}

bool WriteAll(std::FILE* file, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// The complete file under its name: over an existing one only when forced.
int Place(FileReplacement& file, const ExportOptions& options) {
    bool taken = false;
    const Status placed = options.force ? file.Replace() : file.PlaceNew(taken);
    if (placed.ok()) return kExitOk;
    if (taken) {
        return Fail("文件已存在，未导出：" + options.output + "（用 --force 覆盖）",
                    "the file already exists; nothing was exported (--force replaces it)");
    }
    return Fail(placed);
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

int RunExport(const std::vector<std::string>& given) {
    std::vector<std::string> arguments = given;
    std::string server;
    ExportOptions options;
    if (!TakeConnectOption(arguments, server) || !ParseOptions(arguments, options)) return Usage();
    // A team ledger's export goes to the current directory.
    const std::string ledger = server.empty() ? ExistingLedgerHere() : PathIn(".", kLedgerFileName);
    if (ledger.empty()) return kExitFailed;
    if (options.output.empty()) {
        options.output = DirectoryOf(ledger) + "/tallovar-orders-" + TimeStamp() +
                         (options.xlsx ? ".xlsx" : ".csv");
    }
    const bool toFile = options.output != "-";
    const std::string problem = toFile ? LedgerOverwriteProblem(options.output, ledger) : "";
    if (!problem.empty()) return Fail(problem + "；未导出", "refused to write over a ledger");
    if (toFile && !options.force && PathExists(options.output)) {
        return Fail("文件已存在，未导出：" + options.output + "（用 --force 覆盖）",
                    "the file already exists; nothing was exported (--force replaces it)");
    }

    // Unplaced, the file's temporary version is removed when this ends.
    FileReplacement file(options.output);
    if (toFile) {
        if (Status opened = file.Open(); !opened.ok()) return Fail(opened);
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
    if (toFile && Place(file, options) != kExitOk) return kExitFailed;
    std::fprintf(stderr, "已导出 %d 张订单：%s（%s）\n%d orders exported: %s (%s)\n",
                 sheet.Orders(), options.output.c_str(), FormatName(format), sheet.Orders(),
                 options.output.c_str(), FormatName(format));
    return kExitOk;
}
