// tallovar-admin import FILE: orders from a sheet, an .xlsx workbook (its
// first sheet) or a CSV file saved by Excel, WPS or LibreOffice, or written
// by export. The Chinese headers of the order list name the columns (ID is
// ignored: the ledger numbers new orders itself).
//
// The header is the first of the first rows whose filled cells all name
// columns (a title above it is left out and named). Every row is read and
// checked first, without the ledger's write lock, the orders kept in a
// temporary file, so that a long sheet keeps no other writer waiting and a
// refused sheet never takes the lock; then they are stored inside one
// transaction. A sheet of any length takes the memory of one row. Each cell goes through
// the exchange rules (exchange/cell_rules.h): a cell a spreadsheet has damaged, a money text that
// is no number or a text over the field limit refuses its row, with the row, the column and what to
// do. A refused row stops the whole import unless --skip-bad is given; an unknown header stops it
// unless
// --ignore-unknown is given; an order identical in all fourteen texts to one
// already in the ledger is reported and left out unless --allow-duplicates.
// Either way nothing is half-stored. With --connect the same rows go to a
// team ledger, checked and stored by the same code.

#include <QTemporaryFile>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/text_encoding.h"
#include "exchange/cell_rules.h"
#include "exchange/sheet_source.h"
#include "store/admin_store.h"
#include "store/ledger_schema.h"
#include "store/order_statements.h"
#include "store/order_words.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/mapped_import.h"

namespace {

// Refused rows reported one by one; beyond these only counted.
constexpr int kReportedRows = 200;
// The header is looked for among this many rows at the top of the sheet.
constexpr int kHeaderSearchRows = 10;

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

bool IsIdHeader(const std::string& name) { return name == "ID" || name == "id" || name == "Id"; }

// A row whose filled cells all name columns, one at least.
bool NamesOnlyColumns(const SheetRow& row, const std::vector<std::string>& names) {
    if (!row.error.empty()) return false;
    bool any = false;
    for (const SheetCell& cell : row.cells) {
        const std::string name = Trimmed(cell.text);
        if (name.empty()) continue;
        if (!IsIdHeader(name) && std::find(names.begin(), names.end(), name) == names.end()) {
            return false;
        }
        any = true;
    }
    return any;
}

// A sheet with its header found: the rows after it come from Next.
class OrderSheet {
  public:
    // False with the error reported.
    bool Open(const std::string& path) {
        Status opened;
        source_ = OpenSheetSource(path, opened);
        if (!source_) {
            Fail(opened.chinese + "；未导入任何订单", opened.english);
            return false;
        }
        const std::vector<std::string> names = OrderColumnNames();
        SheetRow row;
        while (static_cast<int>(top_.size()) < kHeaderSearchRows && source_->Next(row)) {
            top_.push_back(row);
        }
        if (top_.empty()) {
            if (!source_->Error().empty()) {
                Fail(source_->Error() + "；未导入任何订单", "the sheet cannot be read");
            } else {
                Fail("文件是空的，没有表头和订单", "the file is empty");
            }
            return false;
        }
        // Without such a row the first row is the header, and says why not.
        std::size_t header = 0;
        while (header < top_.size() && !NamesOnlyColumns(top_[header], names)) ++header;
        if (header == top_.size()) header = 0;
        header_ = std::move(top_[header]);
        above_.assign(top_.begin(), top_.begin() + static_cast<std::ptrdiff_t>(header));
        top_.erase(top_.begin(), top_.begin() + static_cast<std::ptrdiff_t>(header) + 1);
        return true;
    }

    bool Next(SheetRow& row) {
        if (next_ < top_.size()) {
            row = std::move(top_[next_++]);
            return true;
        }
        return source_->Next(row);
    }

    // Names the rows above the header, which are not imported.
    void NoteRowsAbove() const {
        if (above_.empty()) return;
        std::string rows;
        for (const SheetRow& row : above_) {
            std::string first;
            for (const SheetCell& cell : row.cells) {
                if (!cell.text.empty()) {
                    first = cell.text.size() > 60 ? "（长文字）" : cell.text;
                    break;
                }
            }
            rows += (rows.empty() ? "第 " : "、第 ") + std::to_string(row.number) + " 行" +
                    (first.empty() ? "" : "“" + first + "”");
        }
        std::fprintf(stderr,
                     "注意：表头在第 %d 行，上面的%s不是订单，未导入\n"
                     "note: the header is row %d; the %zu rows above it were left out\n",
                     header_.number, rows.c_str(), header_.number, above_.size());
    }

    const SheetRow& Header() const { return header_; }
    SheetSource& Source() { return *source_; }

  private:
    std::unique_ptr<SheetSource> source_;
    SheetRow header_;
    std::vector<SheetRow> above_;
    std::vector<SheetRow> top_;  // rows read while looking for the header
    std::size_t next_ = 0;
};

bool MapHeader(const SheetRow& header, bool ignoreUnknown, HeaderMap& map) {
    if (!header.error.empty()) {
        Fail("表头（第 " + std::to_string(header.number) + " 行）无法读取：" + header.error,
             "the header line cannot be read");
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
        } else if (IsIdHeader(name)) {
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

// A formula without a saved result holds no text but is no blank.
bool IsFilled(const SheetCell& cell) {
    return !cell.text.empty() || cell.kind == CellKind::UnsavedFormula;
}

bool IsBlank(const SheetRow& row) {
    for (const SheetCell& cell : row.cells) {
        if (IsFilled(cell)) return false;
    }
    return true;
}

// Cells outside the named columns: under an empty header, or (in a
// workbook) right of the header.
bool FillsUnnamedCell(const SheetRow& row, const HeaderMap& map) {
    for (std::size_t cell : map.unnamed) {
        if (cell < row.cells.size() && IsFilled(row.cells[cell])) return true;
    }
    for (std::size_t cell = map.cells; cell < row.cells.size(); ++cell) {
        if (IsFilled(row.cells[cell])) return true;
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

// Takes the rows of a sheet either to check them (every refusal reported,
// nothing written) or to store them (refusals only counted, as the check
// has reported them).
// The checked orders, kept in a temporary file between reading the sheet and
// storing them, so that the ledger is locked only while they are written
// into it, and a sheet of any length takes the memory of one order.
class OrderSpool {
  public:
    bool Open() { return file_.open(); }

    bool Add(int row, const std::vector<std::string>& texts) {
        Append(static_cast<std::uint32_t>(row));
        for (const std::string& text : texts) {
            Append(static_cast<std::uint32_t>(text.size()));
            buffer_ += text;
        }
        return buffer_.size() < kPieceBytes || Flush();
    }

    // After the last Add: back to the first order.
    bool Rewind() {
        if (!Flush() || !file_.seek(0)) return false;
        buffer_.clear();
        pos_ = 0;
        return true;
    }

    // The next order; false at the end or when the file cannot be read
    // (Failed() tells).
    bool Next(int& row, std::vector<std::string>& texts) {
        std::uint32_t value = 0;
        if (!Take(value)) return false;
        row = static_cast<int>(value);
        for (std::string& text : texts) {
            if (!Take(value) || !Ensure(value)) return Broken();
            text.assign(buffer_, pos_, value);
            pos_ += value;
        }
        return true;
    }
    bool Failed() const { return failed_; }

  private:
    static constexpr std::size_t kPieceBytes = 1 << 20;

    void Append(std::uint32_t value) {
        buffer_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    bool Flush() {
        const auto size = static_cast<qint64>(buffer_.size());
        if (file_.write(buffer_.data(), size) != size) return Broken();
        buffer_.clear();
        return true;
    }
    bool Broken() {
        failed_ = true;
        return false;
    }
    // At least bytes unread bytes in the buffer; false at the end.
    bool Ensure(std::size_t bytes) {
        if (buffer_.size() - pos_ >= bytes) return true;
        buffer_.erase(0, pos_);
        pos_ = 0;
        while (buffer_.size() < bytes) {
            const std::size_t had = buffer_.size();
            buffer_.resize(had + std::max(bytes - had, kPieceBytes));
            const qint64 read =
                file_.read(buffer_.data() + had, static_cast<qint64>(buffer_.size() - had));
            buffer_.resize(had + static_cast<std::size_t>(std::max<qint64>(read, 0)));
            if (read < 0) return Broken();
            if (read == 0) return false;
        }
        return true;
    }
    bool Take(std::uint32_t& value) {
        if (!Ensure(sizeof value)) return false;
        std::memcpy(&value, buffer_.data() + pos_, sizeof value);
        pos_ += sizeof value;
        return true;
    }

    QTemporaryFile file_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

// Takes the rows of a sheet: checks each (every refusal reported) and keeps
// the orders; once every row is read, stores them in the ledger.
class Importer {
  public:
    Importer(const ImportOptions& options, const HeaderMap& map, AdminStore& db)
        : options_(options), map_(map), db_(db), insert_(InsertOrderTextsStatement(map.names)) {}

    bool OpenSpool() { return spool_.Open(); }
    // False when the order cannot be kept.
    bool Take(const SheetRow& row);
    void ReportRefusals() const;
    bool StoppedByRefusals() const { return refused_ > 0 && !options_.skipBad; }
    int Refused() const { return refused_; }

    // With the ledger locked. False when the ledger refuses to store, or
    // spoolFailed when the kept orders cannot be read back.
    bool Store(bool& spoolFailed);
    void ReportStored() const;

    int stored = 0;
    int totalsRows = 0;

  private:
    void Refuse(int row, const std::string& chinese, const std::string& english);
    bool Convert(const SheetRow& row, std::vector<std::string>& texts);

    const ImportOptions& options_;
    const HeaderMap& map_;
    AdminStore& db_;
    const std::string insert_;
    OrderSpool spool_;
    int refused_ = 0;
    int duplicates_ = 0;
    int numbersAsText_ = 0;
    int normalised_ = 0;
};

void Importer::Refuse(int row, const std::string& chinese, const std::string& english) {
    if (++refused_ <= kReportedRows) {
        std::fprintf(stderr, "第 %d 行%s / line %d: %s\n", row, chinese.c_str(), row,
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
    if (!Convert(row, texts) || StoppedByRefusals()) return true;  // nothing will be stored
    return spool_.Add(row.number, texts);
}

bool Importer::Store(bool& spoolFailed) {
    std::unordered_set<std::string> ledgerOrders;
    if (!options_.allowDuplicates &&
        !db_.EachRow(OrderTextsQuery(map_.names),
                     [&](const AdminStore::Row& texts) { ledgerOrders.insert(OrderKey(texts)); })) {
        return false;
    }
    spoolFailed = !spool_.Rewind();
    int row = 0;
    std::vector<std::string> texts(map_.names.size());
    while (!spoolFailed && spool_.Next(row, texts)) {
        if (!options_.allowDuplicates && ledgerOrders.contains(OrderKey(texts))) {
            ++duplicates_;
            std::fprintf(stderr,
                         "第 %d 行与账本中已有的一张订单完全相同，未导入（用 --allow-duplicates "
                         "导入）/ line %d: the same order is already in the ledger; left out\n",
                         row, row);
            continue;
        }
        if (!db_.Run(insert_, texts)) return false;
        ++stored;
    }
    spoolFailed = spoolFailed || spool_.Failed();
    return !spoolFailed;
}

void Importer::ReportRefusals() const {
    if (refused_ > kReportedRows) {
        std::fprintf(stderr, "……另有 %d 行有问题 / ... and %d more refused rows\n",
                     refused_ - kReportedRows, refused_ - kReportedRows);
    }
    if (StoppedByRefusals()) {
        Fail("有 " + std::to_string(refused_) +
                 " 行无法导入，未导入任何订单（用 --skip-bad 只导入其余的行）",
             std::to_string(refused_) +
                 " rows refused; nothing was imported (--skip-bad stores the others)");
    }
}

void Importer::ReportStored() const {
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
}

// Reads every row after the header into the importer. The totals row of a
// CSV export is held back until it proves to be the last row.
bool ImportRows(OrderSheet& sheet, const HeaderMap& map, Importer& importer) {
    SheetRow row;
    std::optional<SheetRow> totals;
    SheetSource& source = sheet.Source();
    while (sheet.Next(row)) {
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
    bool mapped = false;
    if (const int done = RunMappedImport(line, mapped); mapped || done == kExitUsage) return done;
    std::string server;
    ImportOptions options;
    if (!ConnectOption(line, server) || !ParseOptions(line, options)) return kExitUsage;
    const std::string ledger = server.empty() ? ExistingLedgerHere() : "";
    if (server.empty() && ledger.empty()) return kExitFailed;
    std::unique_ptr<AdminStore> db;
    if (const Status opened = OpenAdminStore(server, ledger, db); !opened.ok()) return Fail(opened);

    // Every row read and checked before the ledger is locked; the sheet is
    // let go before, so that a CSV file is not held meanwhile.
    HeaderMap map;
    std::unique_ptr<Importer> importer;
    std::string kind;
    {
        OrderSheet sheet;
        if (!sheet.Open(options.file)) return kExitFailed;
        if (!MapHeader(sheet.Header(), options.ignoreUnknown, map)) return kExitFailed;
        sheet.NoteRowsAbove();
        kind = sheet.Source().Kind();
        importer = std::make_unique<Importer>(options, map, *db);
        if (!importer->OpenSpool() || !ImportRows(sheet, map, *importer)) {
            return Fail("无法写入临时文件，未导入任何订单：请检查临时文件夹的空间",
                        "cannot write a temporary file; nothing was imported");
        }
        if (!sheet.Source().Error().empty()) {
            return Fail(sheet.Source().Error() + "；未导入任何订单",
                        "the sheet cannot be read to its end");
        }
    }
    importer->ReportRefusals();
    if (importer->StoppedByRefusals()) return kExitFailed;

    if (!db->BeginWriting()) {
        return Fail("无法写入账本，未导入任何订单：" + db->Error(), "cannot write the ledger");
    }
    bool spoolFailed = false;
    if (!importer->Store(spoolFailed)) {
        if (spoolFailed) {
            return Fail("无法读回临时文件，未导入任何订单", "cannot read a temporary file back");
        }
        return Fail("无法写入账本，未导入任何订单：" + db->Error(),
                    "cannot write the ledger; nothing was imported: " + db->Error());
    }
    importer->ReportStored();
    // Closing the connection without commit rolls everything back.
    if (!db->Commit()) {
        if (db->CommitFateUnknown()) {
            return Fail(db->Error() +
                            "。服务器恢复后再导入一次（不加 --allow-duplicates）：已导入的订单与"
                            "账本中的完全相同，会被跳过",
                        "the connection broke while committing and the server cannot be asked "
                        "whether the orders were stored; import again without --allow-duplicates "
                        "once it is back: orders already stored are left out");
        }
        return Fail("无法写入账本，未导入任何订单：" + db->Error(),
                    "cannot write the ledger; nothing was imported: " + db->Error());
    }
    std::printf(
        "已导入 %d 张订单（%s），跳过 %d 个有问题的行、%d 个合计行\n"
        "%d orders imported (%s); %d refused rows and %d totals rows skipped\n",
        importer->stored, kind.c_str(), importer->Refused(), importer->totalsRows, importer->stored,
        kind.c_str(), importer->Refused(), importer->totalsRows);
    return kExitOk;
}
