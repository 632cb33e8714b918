#include "exchange/sheet_source.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "exchange/csv.h"
#include "exchange/workbook_reader.h"
#include "platform/utf8_paths.h"

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
    std::ifstream in(FileSystemPath(path), std::ios::binary);
    char head[4] = {};
    return in.read(head, 4) && std::string_view(head, 4) == "PK\x03\x04";
}

// What a file that is no sheet at all is, when it can be told; Ok for
// text. No text holds a NUL byte; a file that decodes neither way and is
// full of control bytes is no text either.
Status NotTextProblem(std::string_view bytes, const DecodedSheet& decoded) {
    if (bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        return Status::Failure(
            StatusKind::Refused,
            std::string("这是旧的 Excel 97-2003 工作簿（.xls）：") + kOldExcelAdvice,
            "this is an old .xls workbook; save it as .xlsx or CSV");
    }
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return Status::Ok();
    const std::string_view head = bytes.substr(0, 1 << 16);
    const auto controls = std::count_if(head.begin(), head.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n';
    });
    const bool nul = bytes.find('\0') != std::string_view::npos;
    if (nul || (!decoded.ok() && controls * 100 > static_cast<long>(head.size()))) {
        return Status::Failure(
            StatusKind::Refused,
            "文件既不是 CSV 文本，也不是 Excel 工作簿（.xlsx）：可能是别的程序的文件，或已损坏",
            "the file is neither CSV text nor an .xlsx workbook");
    }
    return Status::Ok();
}

}  // namespace

Status ReadFailure(const SheetSource& source) {
    // The readers keep their reason as the Chinese line, a line break and
    // the English one.
    const std::string& lines = source.Error();
    const std::size_t split = lines.find('\n');
    return Status::Failure(lines.substr(0, split),
                           split == std::string::npos ? lines : lines.substr(split + 1));
}

std::unique_ptr<SheetSource> OpenSheetSource(const std::string& path, Status& status) {
    status = Status::Ok();
    // The path reaches the system as UTF-8 (wide on Windows), as libzip takes
    // a workbook's.
    const std::filesystem::path file = FileSystemPath(path);
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(file, error);
    const std::uintmax_t size = regular ? std::filesystem::file_size(file, error) : 0;
    if (!regular || error) {
        status = Status::Failure(StatusKind::NotFound, "无法打开文件：" + path,
                                 "cannot open the file: " + path);
        return nullptr;
    }
    if (LooksLikeZip(path)) {
        auto source = std::make_unique<WorkbookSource>();
        if (source->Open(path)) return source;
        status =
            Status::Failure(StatusKind::Refused, source->Error(), "the workbook cannot be read");
        return nullptr;
    }
    if (size > kMaxCsvBytes) {
        status = Status::Failure(StatusKind::Refused,
                                 "文件超过 512 MB，不像是订单表：请分成几个文件导入",
                                 "the file is larger than 512 MB; split it");
        return nullptr;
    }
    std::ifstream in(file, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) {
        status = Status::Failure(StatusKind::Io, "无法读取文件：" + path,
                                 "cannot read the file: " + path);
        return nullptr;
    }
    DecodedSheet sheet = DecodeSheet(bytes);
    if (status = NotTextProblem(bytes, sheet); !status.ok()) return nullptr;
    if (!sheet.ok()) {
        status = sheet.status;
        return nullptr;
    }
    return std::make_unique<CsvSource>(std::move(sheet));
}
