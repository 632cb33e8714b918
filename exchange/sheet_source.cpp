#include "exchange/sheet_source.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "exchange/csv.h"
#include "exchange/workbook_reader.h"

namespace {

class CsvSource : public SheetSource {
  public:
    explicit CsvSource(DecodedSheet sheet)
        : sheet_(std::move(sheet)), reader_(sheet_.utf8, kMaxCsvCells) {}

    bool Next(SheetRow& row) override {
        if (!reader_.Next(record_)) return false;
        row.number = record_.line;
        row.error = record_.error;
        row.cells.resize(record_.cells.size());
        for (std::size_t c = 0; c < record_.cells.size(); ++c) {
            SheetCell& cell = row.cells[c];
            cell.kind = record_.cells[c].empty() ? CellKind::Empty : CellKind::Text;
            cell.text = std::move(record_.cells[c]);
        }
        return true;
    }
    const std::string& Error() const override { return error_; }
    bool CellsMatchHeader() const override { return true; }
    std::string Kind() const override { return EncodingName(sheet_.encoding); }

  private:
    DecodedSheet sheet_;
    CsvReader reader_;
    CsvRecord record_;
    std::string error_;
};

class WorkbookSource : public SheetSource {
  public:
    bool Open(const std::string& path) { return reader_.Open(path); }
    bool Next(SheetRow& row) override {
        row.error.clear();
        return reader_.NextRow(row.number, row.cells);
    }
    const std::string& Error() const override { return reader_.Error(); }
    bool CellsMatchHeader() const override { return false; }
    std::string Kind() const override { return "Excel .xlsx"; }

  private:
    WorkbookReader reader_;
};

// A zip container (every .xlsx is one) starts with a local file header.
bool LooksLikeZip(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[4] = {};
    return in.read(head, 4) && std::string_view(head, 4) == "PK\x03\x04";
}

}  // namespace

std::unique_ptr<SheetSource> OpenSheetSource(const std::string& path, std::string& error) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "无法打开文件：" + path + "\ncannot open the file: " + path;
        return nullptr;
    }
    if (LooksLikeZip(path)) {
        auto source = std::make_unique<WorkbookSource>();
        if (source->Open(path)) return source;
        error = source->Error() + "\nthe workbook cannot be read";
        return nullptr;
    }
    if (static_cast<std::size_t>(info.st_size) > kMaxCsvBytes) {
        error =
            "文件超过 512 MB，不像是订单表：请分成几个文件导入\n"
            "the file is larger than 512 MB; split it";
        return nullptr;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) {
        error = "无法读取文件：" + path + "\ncannot read the file: " + path;
        return nullptr;
    }
    DecodedSheet sheet = DecodeSheet(bytes);
    if (!sheet.ok) {
        error = sheet.error;
        return nullptr;
    }
    return std::make_unique<CsvSource>(std::move(sheet));
}
