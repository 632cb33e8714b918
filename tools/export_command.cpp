// tallovar-admin export: the orders as a CSV sheet for Excel and WPS. The
// rows are those the main window lists for the same search texts and filter:
// the statements come from BuildOrderStatements and run through the
// program's own connection layer, and every value becomes text by the same
// rules. Columns are the list's columns with its headers, ID first; a last
// row carries the totals line and the four sums under their columns.

#include <cstdio>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "store/database.h"
#include "store/order_query.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/csv.h"
#include "tools/file_placing.h"
#include "tools/sheet_encoding.h"

namespace {

// The search options in the order of the nine search texts.
constexpr const char* kSearchOptions[] = {
    "--seller",           "--order-no",       "--express",  "--waybill", "--goods",
    "--purchase-account", "--purchase-order", "--delivery", "--remark",
};

// List columns 6 to 9 hold 售价, 进价, 佣金 and 利润, the four summed columns.
constexpr int kFirstSumColumn = 6;

int Usage() {
    std::fprintf(stderr,
                 "用法 / usage: tallovar-admin export [--gbk] [--output FILE|-]\n"
                 "    [--seller X] [--order-no X] [--express X] [--waybill X] [--goods X]\n"
                 "    [--purchase-account X] [--purchase-order X] [--delivery X] [--remark X]\n"
                 "    [--waiting | --problem]\n"
                 "默认 UTF-8（带 BOM），--gbk 为 GBK；默认文件 tallovar-orders-日期-时间.csv\n"
                 "UTF-8 with a byte-order mark by default, GBK with --gbk; default file "
                 "tallovar-orders-DATE-TIME.csv\n");
    return kExitUsage;
}

struct ExportOptions {
    OrderSearchTexts inputs;  // GBK
    std::string filter;       // GBK keyword or empty
    bool gbk = false;
    std::string output;  // UTF-8 path, "-" for standard output
};

bool ParseOptions(const std::vector<std::string>& arguments, ExportOptions& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--gbk") {
            options.gbk = true;
            continue;
        }
        if (option == "--waiting" || option == "--problem") {
            if (!options.filter.empty()) return false;
            options.filter = Gbk(option == "--waiting" ? "等待收货" : "问题单");
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
    return true;
}

struct Sheet {
    std::string csv;  // GBK
    std::int32_t rows = 0;
};

// Reads the list and its totals in one read transaction, so the totals row
// agrees with the rows even while the program stores orders.
bool BuildSheet(DatabaseConnection& db, const ExportOptions& options, Sheet& sheet) {
    const OrderStatements statements = BuildOrderStatements(options.inputs, options.filter);
    if (!db.ExecuteSql("begin")) return false;
    const std::int32_t list = db.OpenTable(statements.list);
    OrderTotals totals;
    const bool read = list != 0 && ReadOrderTotals(db, statements, totals);
    db.ExecuteSql("rollback");
    if (!read) return false;

    const auto& columns = OrderListColumns();
    std::vector<std::string> cells(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) cells[c] = columns[c].name;
    AppendCsvRecord(sheet.csv, cells);
    for (db.MoveFirst(list); !db.IsEOF(list); db.MoveNext(list), ++sheet.rows) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            cells[c] = ValueToText(db.ReadColByName(list, columns[c].name));
        }
        AppendCsvRecord(sheet.csv, cells);
    }

    std::fill(cells.begin(), cells.end(), std::string());
    cells[0] = OrderTotalsLine(totals);
    for (int i = 0; i < 4; ++i) cells[kFirstSumColumn + i] = totals.sums[i];
    AppendCsvRecord(sheet.csv, cells);
    return true;
}

bool WriteAll(std::FILE* file, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool WriteOutput(const std::string& path, const std::string& bytes, std::string& error) {
    if (path == "-") {
        const bool written = WriteAll(stdout, bytes) && std::fflush(stdout) == 0;
        if (!written) error = "standard output";
        return written;
    }
    const std::string temporary = MakeTemporaryBeside(path, "export", error);
    if (temporary.empty()) return false;
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    const bool written = file && WriteAll(file, bytes);
    if (!file || std::fclose(file) != 0 || !written) {
        error = "cannot write " + temporary;
        std::remove(temporary.c_str());
        return false;
    }
    return PlaceReplacing(temporary, path, error);
}

}  // namespace

int RunExport(const std::vector<std::string>& given) {
    std::vector<std::string> arguments = given;
    std::string server;
    ExportOptions options;
    if (!TakeConnectOption(arguments, server) || !ParseOptions(arguments, options)) return Usage();
    // A team ledger's export goes to the current directory.
    const std::string path = server.empty() ? ExistingLedgerHere() : "./tallovar.mdb";
    if (path.empty()) return kExitFailed;
    if (options.output.empty()) {
        options.output = DirectoryOf(path) + "/tallovar-orders-" + TimeStamp() + ".csv";
    }

    DatabaseConnection db;
    Sheet sheet;
    const bool opened = server.empty() ? db.OpenMdbFile(Gbk(path)) : db.OpenServer(Gbk(server));
    if (!opened || !BuildSheet(db, options, sheet)) {
        const std::string error = GbkToUtf8(db.LastError());
        return Fail("无法读取账本：" + error, "cannot read the ledger: " + error);
    }
    const std::string bytes = options.gbk ? sheet.csv : "\xEF\xBB\xBF" + GbkToUtf8(sheet.csv);
    std::string error;
    if (!WriteOutput(options.output, bytes, error)) {
        return Fail("无法写出文件：" + error, "cannot write the file: " + error);
    }
    const char* encoding = options.gbk ? "GBK" : "UTF-8 (BOM)";
    std::fprintf(stderr, "已导出 %d 张订单：%s（%s）\n%d orders exported: %s (%s)\n", sheet.rows,
                 options.output.c_str(), encoding, sheet.rows, options.output.c_str(), encoding);
    return kExitOk;
}
