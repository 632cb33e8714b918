// tallovar-admin import FILE: orders from a sheet, an .xlsx workbook (its
// first sheet) or a CSV file saved by Excel, WPS or LibreOffice, or written
// by export. The Chinese headers of the order list name the columns (ID is
// ignored: the ledger numbers new orders itself).
//
// Rows are read and stored one at a time inside one transaction, so a sheet
// of any length takes the memory of one row. Each cell goes through the
// exchange rules (exchange/cell_rules.h): a cell a spreadsheet has damaged,
// a money text that is no number or a text over the field limit refuses its
// row, with the row, the column and what to do. A refused row stops the whole
// import unless --skip-bad is given; an unknown header stops it unless
// --ignore-unknown is given; an order identical in all fourteen texts to one
// already in the ledger is reported and left out unless --allow-duplicates.
// Either way nothing is half-stored. With --connect the same rows go to a
// team ledger, checked and stored by the same code.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/text_encoding.h"
#include "exchange/cell_rules.h"
#include "exchange/sheet_source.h"
#include "store/admin_statements.h"
#include "store/ledger_schema.h"
#include "store/order_statements.h"
#include "store/order_words.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/admin_store.h"

namespace {

// Refused rows reported one by one; beyond these only counted.
constexpr int kReportedRows = 200;

struct ImportOptions {
    std::string file;
    bool skipBad = false;
    bool ignoreUnknown = false;
    bool allowDuplicates = false;
};

bool ParseOptions(const CommandLine& line, ImportOptions& options) {
    if (line.Operands().size() != 1 || line.Operands()[0].empty()) return false;
    options.file = line.Operands()[0];
    options.skipBad = line.Has("--skip-bad");
    options.ignoreUnknown = line.Has("--ignore-unknown");
    options.allowDuplicates = line.Has("--allow-duplicates");
    return true;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The fourteen order columns in the order of the list (UTF-8).
std::vector<std::string> OrderColumnNames() {
    std::vector<std::string> names;
    const auto& columns = OrderListColumns();
    for (std::size_t c = 1; c < columns.size(); ++c) names.push_back(GbkToUtf8(columns[c].name));
    return names;
}

// Which order column each cell of a row goes to.
struct HeaderMap {
    std::size_t cells = 0;
    std::vector<std::string> names;                   // the fourteen order columns
    std::vector<std::optional<std::size_t>> sources;  // the cell of each, if any
    std::optional<std::size_t> idCell;                // the ignored ID column
    std::vector<std::size_t> unnamed;                 // cells under an empty header
};

bool MapHeader(const SheetRow& header, bool ignoreUnknown, HeaderMap& map) {
    if (!header.error.empty()) {
        Fail("表头（第 1 行）无法读取：" + header.error, "the header line cannot be read");
        return false;
    }
    map.cells = header.cells.size();
    map.names = OrderColumnNames();
    map.sources.assign(map.names.size(), std::nullopt);
    std::string unknown;
    bool any = false;
    for (std::size_t cell = 0; cell < header.cells.size(); ++cell) {
        const std::string name = Trimmed(header.cells[cell].text);
        if (name.empty()) {
            map.unnamed.push_back(cell);
        } else if (name == "ID" || name == "id" || name == "Id") {
            map.idCell = cell;
        } else {
            std::size_t c = 0;
            while (c < map.names.size() && map.names[c] != name) ++c;
            if (c == map.names.size()) {
                unknown += " \"" + name + "\"";
            } else if (map.sources[c]) {
                Fail("表头中“" + name + "”出现了两次，未导入任何订单",
                     "the header \"" + name + "\" appears twice; nothing was imported");
                return false;
            } else {
                map.sources[c] = cell;
                any = true;
            }
        }
    }
    if (!unknown.empty() && ignoreUnknown) {
        std::fprintf(stderr, "忽略不认识的列 / ignoring unknown columns:%s\n", unknown.c_str());
    } else if (!unknown.empty()) {
        std::string known;
        for (const std::string& name : map.names) known += " " + name;
        Fail("不认识的列：" + unknown + "；未导入任何订单（可用的列：ID" + known +
                 "；用 --ignore-unknown 忽略这些列）",
             "unknown columns:" + unknown +
                 "; nothing was imported (use --ignore-unknown to leave them out)");
        return false;
    }
    if (!any) {
        Fail("表头中没有订单列表的列，这不是订单表", "no header names an order column");
        return false;
    }
    return true;
}

const std::string& CellText(const SheetRow& row, std::size_t cell) {
    static const std::string empty;
    return cell < row.cells.size() ? row.cells[cell].text : empty;
}

bool IsBlank(const SheetRow& row) {
    for (const SheetCell& cell : row.cells) {
        if (!cell.text.empty()) return false;
    }
    return true;
}

// Cells outside the named columns: under an empty header, or (in a
// workbook) right of the header.
bool FillsUnnamedCell(const SheetRow& row, const HeaderMap& map) {
    for (std::size_t cell : map.unnamed) {
        if (!CellText(row, cell).empty()) return true;
    }
    for (std::size_t cell = map.cells; cell < row.cells.size(); ++cell) {
        if (!row.cells[cell].text.empty()) return true;
    }
    return false;
}

// The totals row of a CSV export: the totals line in the ID column and
// nothing but the four sums beside it.
bool LooksLikeTotalsRow(const SheetRow& row, const HeaderMap& map) {
    if (!map.idCell || !CellText(row, *map.idCell).starts_with(kTotalsLineStart)) return false;
    for (std::size_t c = 0; c < map.names.size(); ++c) {
        if (!map.sources[c] || RuleOfColumn(map.names[c]) == ColumnRule::Money) continue;
        if (!CellText(row, *map.sources[c]).empty()) return false;
    }
    return true;
}

// An order's fourteen texts as one key, each text with its length first.
std::string OrderKey(const std::vector<std::string>& texts) {
    std::string key;
    for (const std::string& text : texts) key += std::to_string(text.size()) + ":" + text;
    return key;
}

class Importer {
  public:
    Importer(const ImportOptions& options, const HeaderMap& map, AdminStore& db)
        : options_(options), map_(map), db_(db), insert_(InsertOrderTextsStatement(map.names)) {}

    bool LoadLedgerOrders();
    // False when the ledger refuses to store.
    bool Take(const SheetRow& row);
    void Report() const;
    bool StoppedByRefusals() const { return refused_ > 0 && !options_.skipBad; }
    int Refused() const { return refused_; }

    int stored = 0;
    int totalsRows = 0;

  private:
    void Refuse(int row, const std::string& chinese, const std::string& english);
    bool Convert(const SheetRow& row, std::vector<std::string>& texts);

    const ImportOptions& options_;
    const HeaderMap& map_;
    AdminStore& db_;
    const std::string insert_;
    std::unordered_set<std::string> ledgerOrders_;
    int refused_ = 0;
    int duplicates_ = 0;
    int numbersAsText_ = 0;
    int normalised_ = 0;
};

bool Importer::LoadLedgerOrders() {
    if (options_.allowDuplicates) return true;
    return db_.EachRow(OrderTextsQuery(map_.names), [this](const AdminStore::Row& texts) {
        ledgerOrders_.insert(OrderKey(texts));
    });
}

void Importer::Refuse(int row, const std::string& chinese, const std::string& english) {
    if (++refused_ <= kReportedRows) {
        std::fprintf(stderr, "第 %d 行：%s / line %d: %s\n", row, chinese.c_str(), row,
                     english.c_str());
    }
}

bool Importer::Convert(const SheetRow& row, std::vector<std::string>& texts) {
    std::string problems;
    int numbersAsText = 0;
    int normalised = 0;
    for (std::size_t c = 0; c < map_.names.size(); ++c) {
        if (!map_.sources[c] || *map_.sources[c] >= row.cells.size()) continue;
        CellOutcome outcome = ConvertCell(row.cells[*map_.sources[c]], RuleOfColumn(map_.names[c]));
        if (!outcome.ok) {
            problems += (problems.empty() ? "“" : "；“") + map_.names[c] + "”列" + outcome.problem;
            continue;
        }
        numbersAsText += outcome.note == CellOutcome::Note::NumberAsText;
        normalised += outcome.note == CellOutcome::Note::Normalised;
        texts[c] = std::move(outcome.text);
    }
    if (!problems.empty()) {
        Refuse(row.number, problems, "a cell is refused (see the Chinese text)");
        return false;
    }
    numbersAsText_ += numbersAsText;
    normalised_ += normalised;
    return true;
}

bool Importer::Take(const SheetRow& row) {
    if (!row.error.empty()) {
        const std::size_t split = row.error.find('\n');
        Refuse(row.number, row.error.substr(0, split), row.error.substr(split + 1));
        return true;
    }
    if (!options_.ignoreUnknown && FillsUnnamedCell(row, map_)) {
        Refuse(row.number, "没有表头的列中有内容（用 --ignore-unknown 忽略）",
               "a cell under an empty header holds data (--ignore-unknown leaves it out)");
        return true;
    }
    std::vector<std::string> texts(map_.names.size());
    if (!Convert(row, texts)) return true;
    if (!options_.allowDuplicates && ledgerOrders_.contains(OrderKey(texts))) {
        ++duplicates_;
        std::fprintf(stderr,
                     "第 %d 行与账本中已有的一张订单完全相同，未导入（用 --allow-duplicates "
                     "导入）/ line %d: the same order is already in the ledger; left out\n",
                     row.number, row.number);
        return true;
    }
    if (StoppedByRefusals()) return true;  // nothing will be stored anyway
    const bool done = db_.Run(insert_, texts);
    stored += done;
    return done;
}

void Importer::Report() const {
    if (refused_ > kReportedRows) {
        std::fprintf(stderr, "……另有 %d 行有问题 / ... and %d more refused rows\n",
                     refused_ - kReportedRows, refused_ - kReportedRows);
    }
    if (numbersAsText_ > 0) {
        std::fprintf(stderr,
                     "注意：文本列中有 %d 个单元格是数字，已按显示的数字导入；前导零可能已丢失，"
                     "请核对（把这些列设为文本可避免）\n"
                     "note: %d cells of text columns were numbers and were taken as the number "
                     "they show; leading zeros may have been lost\n",
                     numbersAsText_, numbersAsText_);
    }
    if (normalised_ > 0) {
        std::fprintf(stderr,
                     "注意：%d 个金额去掉了千位分隔符、货币符号或全角数字\n"
                     "note: %d money texts lost thousands separators, currency signs or "
                     "full-width digits\n",
                     normalised_, normalised_);
    }
    if (duplicates_ > 0) {
        std::fprintf(stderr, "跳过 %d 张与账本中完全相同的订单 / %d duplicate orders left out\n",
                     duplicates_, duplicates_);
    }
    if (StoppedByRefusals()) {
        Fail("有 " + std::to_string(refused_) +
                 " 行无法导入，未导入任何订单（用 --skip-bad 只导入其余的行）",
             std::to_string(refused_) +
                 " rows refused; nothing was imported (--skip-bad stores the others)");
    }
}

// Reads every row after the header into the importer. The totals row of a
// CSV export is held back until it proves to be the last row.
bool ImportRows(SheetSource& source, const HeaderMap& map, Importer& importer) {
    SheetRow row;
    std::optional<SheetRow> totals;
    while (source.Next(row)) {
        if (row.error.empty() && IsBlank(row)) continue;
        if (totals && !importer.Take(*totals)) return false;
        totals.reset();
        if (row.error.empty() && source.CellsMatchHeader() && row.cells.size() != map.cells) {
            const std::string count = std::to_string(row.cells.size());
            const std::string wanted = std::to_string(map.cells);
            row.error = "有 " + count + " 个单元格，表头有 " + wanted + " 列\n" + count +
                        " cells, the header has " + wanted;
        }
        if (row.error.empty() && LooksLikeTotalsRow(row, map)) {
            totals = row;
        } else if (!importer.Take(row)) {
            return false;
        }
    }
    importer.totalsRows = totals ? 1 : 0;
    return true;
}

}  // namespace

int RunImport(const CommandLine& line) {
    std::string server;
    ImportOptions options;
    if (!ConnectOption(line, server) || !ParseOptions(line, options)) return kExitUsage;
    const std::unique_ptr<AdminStore> db = OpenAdminStore(server);
    if (!db) return kExitFailed;

    std::string error;
    const std::unique_ptr<SheetSource> source = OpenSheetSource(options.file, error);
    if (!source) {
        const std::size_t split = error.find('\n');
        return Fail(error.substr(0, split) + "；未导入任何订单", error.substr(split + 1));
    }
    SheetRow header;
    if (!source->Next(header)) {
        return Fail(source->Error().empty() ? "文件是空的" : source->Error(), "the file is empty");
    }
    HeaderMap map;
    if (!MapHeader(header, options.ignoreUnknown, map)) return kExitFailed;

    if (!db->BeginWriting()) {
        return Fail("无法写入账本，未导入任何订单：" + db->Error(), "cannot write the ledger");
    }
    Importer importer(options, map, *db);
    if (!importer.LoadLedgerOrders() || !ImportRows(*source, map, importer)) {
        return Fail("无法写入账本，未导入任何订单：" + db->Error(),
                    "cannot write the ledger; nothing was imported: " + db->Error());
    }
    if (!source->Error().empty()) {
        return Fail(source->Error() + "；未导入任何订单", "the sheet cannot be read to its end");
    }
    importer.Report();
    // Closing the connection without commit rolls everything back.
    if (importer.StoppedByRefusals()) return kExitFailed;
    if (!db->Exec("commit")) {
        return Fail("无法写入账本，未导入任何订单：" + db->Error(),
                    "cannot write the ledger; nothing was imported: " + db->Error());
    }
    const std::string kind = source->Kind();
    std::printf(
        "已导入 %d 张订单（%s），跳过 %d 个有问题的行、%d 个合计行\n"
        "%d orders imported (%s); %d refused rows and %d totals rows skipped\n",
        importer.stored, kind.c_str(), importer.Refused(), importer.totalsRows, importer.stored,
        kind.c_str(), importer.Refused(), importer.totalsRows);
    return kExitOk;
}
