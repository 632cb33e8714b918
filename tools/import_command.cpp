// tallovar-admin import FILE.csv: orders from a sheet saved by Excel or WPS,
// or written by export. The encoding is detected, the Chinese headers of the
// order list name the columns (ID is ignored: the ledger numbers new orders
// itself), and every accepted row is stored in one transaction. A refused row
// stops the whole import unless --skip-bad is given; an unknown header stops
// it unless --ignore-unknown is given; either way nothing is half-stored.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "store/order_query.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "exchange/csv.h"
#include "exchange/sheet_encoding.h"
#include "tools/sqlite_handle.h"

namespace {

// The first cell of the totals row that export writes last.
constexpr std::string_view kTotalsRowStart = "记录：当前有";

int Usage() {
    std::fprintf(stderr,
                 "用法 / usage: tallovar-admin import FILE.csv [--skip-bad] [--ignore-unknown]\n"
                 "  --skip-bad        跳过有问题的行，导入其余行 / store the good rows, skip the "
                 "refused ones\n"
                 "  --ignore-unknown  忽略不认识的列 / ignore columns with unknown headers\n");
    return kExitUsage;
}

struct ImportOptions {
    std::string file;
    bool skipBad = false;
    bool ignoreUnknown = false;
};

bool ParseOptions(const std::vector<std::string>& arguments, ImportOptions& options) {
    for (const std::string& argument : arguments) {
        if (argument == "--skip-bad") {
            options.skipBad = true;
        } else if (argument == "--ignore-unknown") {
            options.ignoreUnknown = true;
        } else if (options.file.empty() && !argument.empty()) {
            options.file = argument;
        } else {
            return false;
        }
    }
    return !options.file.empty();
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Which order column each cell of a row goes to.
struct HeaderMap {
    std::size_t cells = 0;
    std::vector<std::string> columns;   // UTF-8 column names, in the order stored
    std::vector<std::size_t> sources;   // the cell of each of those columns
    std::optional<std::size_t> idCell;  // the ignored ID column
    std::vector<std::size_t> unnamed;   // cells under an empty header
};

// False with the reason printed when the header cannot be used.
bool MapHeader(const CsvRecord& header, bool ignoreUnknown, HeaderMap& map) {
    if (!header.error.empty()) {
        Fail("表头（第 1 行）无法读取：" + header.error, "the header line cannot be read");
        return false;
    }
    map.cells = header.cells.size();
    const auto& listColumns = OrderListColumns();
    std::vector<std::string> unknown;
    for (std::size_t cell = 0; cell < header.cells.size(); ++cell) {
        const std::string name = Trimmed(header.cells[cell]);
        if (name.empty()) {
            map.unnamed.push_back(cell);
            continue;
        }
        if (name == "ID" || name == "id" || name == "Id") {
            map.idCell = cell;
            continue;
        }
        bool known = false;
        for (std::size_t c = 1; c < listColumns.size(); ++c) {
            if (name != GbkToUtf8(listColumns[c].name)) continue;
            for (const std::string& taken : map.columns) {
                if (taken == name) {
                    Fail("表头中“" + name + "”出现了两次，未导入任何订单",
                         "the header \"" + name + "\" appears twice; nothing was imported");
                    return false;
                }
            }
            map.columns.push_back(name);
            map.sources.push_back(cell);
            known = true;
        }
        if (!known) unknown.push_back(name);
    }
    std::string unknownList;
    for (const std::string& name : unknown) unknownList += " \"" + name + "\"";
    if (!unknown.empty() && ignoreUnknown) {
        std::fprintf(stderr, "忽略不认识的列 / ignoring unknown columns:%s\n", unknownList.c_str());
    } else if (!unknown.empty()) {
        std::string known;
        for (std::size_t c = 1; c < listColumns.size(); ++c) {
            known += " " + GbkToUtf8(listColumns[c].name);
        }
        Fail("不认识的列：" + unknownList + "；未导入任何订单（可用的列：ID" + known +
                 "；用 --ignore-unknown 忽略这些列）",
             "unknown columns:" + unknownList +
                 "; nothing was imported (use --ignore-unknown to leave them out)");
        return false;
    }
    if (map.columns.empty()) {
        Fail("表头中没有订单列表的列，这不是订单表", "no header names an order column");
        return false;
    }
    return true;
}

// Excel saves columns that were once touched with an empty header; they are
// left out as long as nothing stands in them.
bool FillsUnnamedCell(const CsvRecord& record, const HeaderMap& map) {
    for (std::size_t cell : map.unnamed) {
        if (!record.cells[cell].empty()) return true;
    }
    return false;
}

bool IsBlank(const CsvRecord& record) {
    for (const std::string& cell : record.cells) {
        if (!cell.empty()) return false;
    }
    return true;
}

bool IsTotalsRow(const CsvRecord& record, const HeaderMap& map) {
    const std::size_t cell = map.idCell.value_or(0);
    return cell < record.cells.size() && record.cells[cell].starts_with(kTotalsRowStart);
}

struct Refusal {
    int line;
    std::string reason;
};

bool StoreRows(const std::string& ledger, const HeaderMap& map,
               const std::vector<const CsvRecord*>& rows, std::string& error) {
    SqliteDatabase db;
    if (!db.Open(ledger) || !db.Exec("begin immediate")) {
        error = db.Error();
        return false;
    }
    std::string sql = "insert into 订单列表(";
    std::string values = ") values(";
    for (std::size_t i = 0; i < map.columns.size(); ++i) {
        sql += (i ? "," : "") + map.columns[i];
        values += (i ? ",?" : "?") + std::to_string(i + 1);
    }
    SqliteStatement insert(db, sql + values + ")");
    bool stored = insert.Prepared();
    for (std::size_t r = 0; stored && r < rows.size(); ++r) {
        for (std::size_t i = 0; i < map.sources.size(); ++i) {
            insert.Bind(static_cast<int>(i + 1), rows[r]->cells[map.sources[i]]);
        }
        stored = insert.Step() == SQLITE_DONE;
        insert.Reset();
    }
    if (!stored || !db.Exec("commit")) {
        error = db.Error();
        return false;  // closing the connection rolls the transaction back
    }
    return true;
}

}  // namespace

int RunImport(const std::vector<std::string>& arguments) {
    ImportOptions options;
    if (!ParseOptions(arguments, options)) return Usage();
    const std::string ledger = ExistingLedgerHere();
    if (ledger.empty()) return kExitFailed;

    std::ifstream in(options.file, std::ios::binary);
    if (!in) return Fail("无法打开文件：" + options.file, "cannot open the file: " + options.file);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const DecodedSheet sheet = DecodeSheet(bytes);
    if (!sheet.ok) return Fail(sheet.error + "；未导入任何订单", "nothing was imported");

    const std::vector<CsvRecord> records = ReadCsvRecords(sheet.utf8);
    if (records.empty()) return Fail("文件是空的", "the file is empty");
    HeaderMap map;
    if (!MapHeader(records[0], options.ignoreUnknown, map)) return kExitFailed;

    std::vector<const CsvRecord*> accepted;
    std::vector<Refusal> refused;
    int totalsRows = 0;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (!record.error.empty()) {
            refused.push_back({record.line, record.error});
        } else if (IsBlank(record)) {
            continue;
        } else if (IsTotalsRow(record, map)) {
            ++totalsRows;
        } else if (record.cells.size() != map.cells) {
            const std::string count = std::to_string(record.cells.size());
            const std::string wanted = std::to_string(map.cells);
            refused.push_back({record.line, "有 " + count + " 个单元格，表头有 " + wanted +
                                                " 列\n" + count + " cells, the header has " +
                                                wanted});
        } else if (FillsUnnamedCell(record, map) && !options.ignoreUnknown) {
            refused.push_back({record.line,
                               "没有表头的列中有内容（用 --ignore-unknown 忽略）\n"
                               "a cell under an empty header holds data "
                               "(--ignore-unknown leaves it out)"});
        } else {
            accepted.push_back(&record);
        }
    }

    for (const Refusal& refusal : refused) {
        const std::size_t split = refusal.reason.find('\n');
        std::fprintf(stderr, "第 %d 行：%s / line %d: %s\n", refusal.line,
                     refusal.reason.substr(0, split).c_str(), refusal.line,
                     refusal.reason.substr(split + 1).c_str());
    }
    if (!refused.empty() && !options.skipBad) {
        return Fail("有 " + std::to_string(refused.size()) +
                        " 行无法导入，未导入任何订单（用 --skip-bad 只导入其余的行）",
                    std::to_string(refused.size()) +
                        " rows refused; nothing was imported (--skip-bad stores the others)");
    }

    std::string error;
    if (!StoreRows(ledger, map, accepted, error)) {
        return Fail("无法写入账本，未导入任何订单：" + error,
                    "cannot write the ledger; nothing was imported: " + error);
    }
    std::printf(
        "已导入 %zu 张订单（%s），跳过 %zu 个有问题的行、%d 个合计行\n"
        "%zu orders imported (%s); %zu refused rows and %d totals rows skipped\n",
        accepted.size(), EncodingName(sheet.encoding), refused.size(), totalsRows, accepted.size(),
        EncodingName(sheet.encoding), refused.size(), totalsRows);
    return kExitOk;
}
