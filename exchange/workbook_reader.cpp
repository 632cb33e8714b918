#include "exchange/workbook_reader.h"

#include <zip.h>

#include <QDate>
#include <QString>
#include <charconv>
#include <cmath>
#include <map>

#include "exchange/sheet_encoding.h"
#include "exchange/xml_scanner.h"

namespace {

// Excel's limits for one sheet.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
// What the reading of a workbook may hold at once, checked before the memory
// is taken: the shared texts (their bytes and their count), one row, one
// cell. Together with the buffers they keep an import of any workbook under
// 300 MB; a workbook beyond them is no order sheet.
constexpr std::size_t kMaxSharedTextBytes = 160u << 20;
constexpr std::size_t kMaxSharedStrings = 16u << 20;
constexpr std::size_t kMaxRowBytes = 32u << 20;
// Beyond the field limit however its characters are written; import reports
// longer texts up to here with their column.
constexpr std::size_t kMaxCellBytes = 2u << 20;
// The decompressed size of a part: the small parts are read as a whole, the
// shared texts and the sheet as a stream, whose size bounds only the time.
constexpr zip_uint64_t kMaxSmallPartBytes = 16u << 20;
constexpr zip_uint64_t kMaxSharedPartBytes = 1ull << 30;
constexpr zip_uint64_t kMaxSheetPartBytes = 8ull << 30;
constexpr zip_uint64_t kChunkBytes = 256 << 10;

// How the number format of a style shows a number.
struct NumberStyle {
    bool date = false;
    int decimals = -1;  // -1: General
};

bool IsBuiltInDate(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

NumberStyle StyleOfBuiltIn(int id) {
    NumberStyle style;
    style.date = IsBuiltInDate(id);
    if (id == 1 || id == 3 || id == 37 || id == 38) style.decimals = 0;
    if (id == 2 || id == 4 || id == 39 || id == 40) style.decimals = 2;
    return style;
}

// A custom format code: its first section decides. Quoted texts, escaped
// characters and bracketed parts (colours, conditions, locales) say nothing
// about the number.
NumberStyle StyleOfCode(const QString& code) {
    QString bare;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u';') break;
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            i = close < 0 ? code.size() : close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            i = close < 0 ? code.size() : close;
        } else {
            bare += c.toLower();
        }
    }
    NumberStyle style;
    if (bare == u"general" || bare == u"@") return style;
    for (QChar c : bare) {
        if (c == u'y' || c == u'm' || c == u'd' || c == u'h' || c == u's') style.date = true;
    }
    // Dates, percentages, scientific notation and fractions: no plain decimals.
    if (style.date || bare.contains(u'%') || bare.contains(u'e') || bare.contains(u'/')) {
        return style;
    }
    const qsizetype point = bare.indexOf(u'.');
    style.decimals = 0;
    for (qsizetype i = point + 1; point >= 0 && i < bare.size(); ++i) {
        if (bare[i] == u'0' || bare[i] == u'#' || bare[i] == u'?') ++style.decimals;
    }
    return style;
}

// "B12" -> column 1; -1 when the reference holds no column letters.
int ColumnOfReference(std::string_view reference) {
    int column = 0;
    int letters = 0;
    for (char c : reference) {
        if (c < 'A' || c > 'Z') break;
        column = column * 26 + (c - 'A' + 1);
        if (++letters > 3) return kMaxColumns;
    }
    return letters == 0 ? -1 : column - 1;
}

std::string DateText(double serial, bool date1904) {
    const qint64 days = static_cast<qint64>(std::floor(serial));
    QDate date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(days);
    } else if (days < 61) {
        // Excel counts a 29 February 1900 that never was; before it, day 1 is
        // 1 January 1900.
        date = QDate(1899, 12, 31).addDays(days);
    } else {
        date = QDate(1899, 12, 30).addDays(days);
    }
    if (!date.isValid()) return "#VALUE!";
    return std::to_string(date.year()) + "-" + std::to_string(date.month()) + "-" +
           std::to_string(date.day());
}

// One part of the container, read as a stream: its decompressed bytes are
// counted against a limit (the size the directory claims is not trusted),
// and it is read to its very end, where libzip compares the checksum.
class PartStream {
  public:
    PartStream(zip_t* archive, std::string name, zip_uint64_t limit)
        : name_(std::move(name)), limit_(limit) {
        file_ = zip_fopen(archive, name_.c_str(), 0);
    }
    ~PartStream() {
        if (file_) zip_fclose(file_);
    }
    PartStream(const PartStream&) = delete;
    PartStream& operator=(const PartStream&) = delete;

    bool Opened() const { return file_ != nullptr; }

    // Appends the next piece; nothing at the end; false on any fault.
    bool Read(std::string& chunk) {
        if (!error_.empty()) return false;
        if (ended_) return true;
        const std::size_t before = chunk.size();
        chunk.resize(before + kChunkBytes);
        const zip_int64_t read = zip_fread(file_, chunk.data() + before, kChunkBytes);
        chunk.resize(before + static_cast<std::size_t>(std::max<zip_int64_t>(read, 0)));
        if (read < 0) {
            const int code = zip_error_code_zip(zip_file_get_error(file_));
            error_ = code == ZIP_ER_CRC ? "校验和不符，文件已损坏（内容被改动过或没有写完）"
                                        : std::string("无法解压：") +
                                              zip_error_strerror(zip_file_get_error(file_));
            return false;
        }
        if (read == 0) ended_ = true;
        total_ += static_cast<zip_uint64_t>(read);
        if (total_ > limit_) {
            error_ = "解压后超过 " + std::to_string(limit_ >> 20) + " MB，不像是订单表";
            return false;
        }
        return true;
    }

    // Reads what is left without looking at it, for the checksum.
    bool Drain() {
        std::string chunk;
        while (!ended_) {
            chunk.clear();
            if (!Read(chunk)) return false;
        }
        return true;
    }

    const std::string& Name() const { return name_; }
    const std::string& Error() const { return error_; }

  private:
    std::string name_;
    zip_uint64_t limit_;
    zip_file_t* file_ = nullptr;
    zip_uint64_t total_ = 0;
    bool ended_ = false;
    std::string error_;
};

// A part being read: its stream and the scanner over it.
struct PartReader {
    PartReader(zip_t* archive, const std::string& name, zip_uint64_t limit)
        : stream(archive, name, limit),
          xml([this](std::string& chunk) { return stream.Read(chunk); }) {}

    // What went wrong, naming the part.
    std::string Problem() const {
        const std::string& why = stream.Error().empty() ? xml.Error() : stream.Error();
        return "工作簿的“" + stream.Name() + "”部分" + why;
    }

    PartStream stream;
    XmlScanner xml;
};

// "worksheets/sheet1.xml" beside xl/workbook.xml, or an absolute "/xl/...".
std::string PartPath(std::string_view target) {
    if (target.starts_with('/')) return std::string(target.substr(1));
    return "xl/" + std::string(target);
}

bool IsValidText(std::string_view utf8) {
    for (char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) return IsValidUtf8(utf8);
    }
    return true;
}

int ToInt(std::string_view text, int fallback) {
    int value = fallback;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    return fault == std::errc() ? value : fallback;
}

}  // namespace

struct WorkbookReader::Parts {
    zip_t* archive = nullptr;
    // The shared texts one after another; each ends where ends[i] says.
    std::string sharedText;
    std::vector<std::uint32_t> sharedEnds;
    std::vector<NumberStyle> styles;  // by cell style index
    bool date1904 = false;
    std::unique_ptr<PartReader> sheet;
    bool sawSheetData = false;
    bool sheetEnded = false;
    int lastRow = 0;
    std::size_t rowBytes = 0;
    std::string error;

    ~Parts() {
        sheet.reset();
        if (archive) zip_discard(archive);
    }
    bool Has(const std::string& name) const {
        return zip_name_locate(archive, name.c_str(), 0) >= 0;
    }
    bool ReadWorkbook(std::string& sheetPath, std::string& sharedPath, std::string& stylesPath);
    bool ReadSharedStrings(const std::string& path);
    bool ReadStyles(const std::string& path);
    bool Fail(std::string text) {
        if (error.empty()) error = std::move(text);
        return false;
    }
    bool ReadCell(std::vector<SheetCell>& cells);
    bool EndSheet();
    SheetCell MakeCell(std::string_view type, int styleIndex, std::string& value);
};

bool WorkbookReader::Parts::ReadWorkbook(std::string& sheetPath, std::string& sharedPath,
                                         std::string& stylesPath) {
    if (!Has("xl/workbook.xml"))
        return Fail("文件不是 Excel 工作簿（.xlsx）：缺少 xl/workbook.xml");
    std::vector<std::string> sheetIds;
    {
        PartReader part(archive, "xl/workbook.xml", kMaxSmallPartBytes);
        for (auto token = part.xml.Next(); token != XmlScanner::Token::EndOfDocument;
             token = part.xml.Next()) {
            if (token == XmlScanner::Token::Error) return Fail(part.Problem());
            if (token != XmlScanner::Token::Start) continue;
            if (part.xml.Name() == "workbookPr") {
                const std::string flag = part.xml.Attribute("date1904");
                date1904 = flag == "1" || flag == "true";
            } else if (part.xml.Name() == "sheet") {
                sheetIds.push_back(part.xml.Attribute("id"));
            }
        }
    }
    if (sheetIds.empty()) return Fail("工作簿中没有工作表");

    sheetPath = "xl/worksheets/sheet1.xml";
    sharedPath = "xl/sharedStrings.xml";
    stylesPath = "xl/styles.xml";
    const std::string relations = "xl/_rels/workbook.xml.rels";
    if (!Has(relations)) return true;
    // Each sheet's part and whether it is a worksheet (and not a chart).
    std::map<std::string, std::pair<std::string, bool>> targets;
    PartReader part(archive, relations, kMaxSmallPartBytes);
    for (auto token = part.xml.Next(); token != XmlScanner::Token::EndOfDocument;
         token = part.xml.Next()) {
        if (token == XmlScanner::Token::Error) return Fail(part.Problem());
        if (token != XmlScanner::Token::Start || part.xml.Name() != "Relationship") continue;
        const std::string type = part.xml.Attribute("Type");
        const std::string target = PartPath(part.xml.Attribute("Target"));
        targets[part.xml.Attribute("Id")] = {target, type.ends_with("/worksheet")};
        if (type.ends_with("/sharedStrings")) sharedPath = target;
        if (type.ends_with("/styles")) stylesPath = target;
    }
    for (const std::string& id : sheetIds) {
        const auto found = targets.find(id);
        if (found != targets.end() && found->second.second) {
            sheetPath = found->second.first;
            return true;
        }
    }
    return Fail("工作簿中只有图表或其他工作表，没有普通的工作表");
}

bool WorkbookReader::Parts::ReadSharedStrings(const std::string& path) {
    if (!Has(path)) return true;
    // Room for as much as the part can hold, within the limits: memory that
    // is only reserved is not taken until it is used, while growing the
    // block step by step would hold it twice for a moment.
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, path.c_str(), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
        const std::size_t bytes = std::min<zip_uint64_t>(stat.size, kMaxSharedPartBytes);
        sharedText.reserve(std::min(bytes, kMaxSharedTextBytes));
        sharedEnds.reserve(
            std::min(bytes / std::string_view("<si></si>").size() + 1, kMaxSharedStrings));
    }
    PartReader part(archive, path, kMaxSharedPartBytes);
    std::string text;
    bool inText = false;
    int phonetic = 0;  // inside <rPh>: a reading aid, not part of the text
    for (auto token = part.xml.Next(); token != XmlScanner::Token::EndOfDocument;
         token = part.xml.Next()) {
        switch (token) {
            case XmlScanner::Token::Error:
                return Fail(part.Problem());
            case XmlScanner::Token::Start: {
                const std::string_view name = part.xml.Name();
                if (name == "si") {
                    text.clear();
                } else if (name == "rPh") {
                    ++phonetic;
                }
                inText = name == "t" && phonetic == 0;
                break;
            }
            case XmlScanner::Token::End:
                inText = false;
                if (part.xml.Name() == "rPh") --phonetic;
                if (part.xml.Name() != "si") break;
                if (sharedEnds.size() >= kMaxSharedStrings) {
                    return Fail("工作簿的共享文字超过 " +
                                std::to_string(kMaxSharedStrings / 10000) + " 万条，不像是订单表");
                }
                text = DecodeSheetEscapes(text);
                if (sharedText.size() + text.size() > kMaxSharedTextBytes) {
                    return Fail("工作簿的共享文字超过 " +
                                std::to_string(kMaxSharedTextBytes >> 20) + " MB，不像是订单表");
                }
                if (!IsValidText(text)) return Fail(part.Problem() + "含有无效的 UTF-8 文字");
                sharedText += text;
                sharedEnds.push_back(static_cast<std::uint32_t>(sharedText.size()));
                break;
            case XmlScanner::Token::Text:
                if (!inText) break;
                if (text.size() + part.xml.Text().size() > kMaxCellBytes) {
                    return Fail("工作簿的共享文字中有一条超过 " +
                                std::to_string(kMaxCellBytes >> 20) + " MB，不像是订单的内容");
                }
                text += part.xml.Text();
                break;
            case XmlScanner::Token::EndOfDocument:
                break;
        }
    }
    if (!part.stream.Drain()) return Fail(part.Problem());
    return true;
}

bool WorkbookReader::Parts::ReadStyles(const std::string& path) {
    if (!Has(path)) return true;
    PartReader part(archive, path, kMaxSmallPartBytes);
    std::map<int, QString> codes;
    bool inCellFormats = false;
    for (auto token = part.xml.Next(); token != XmlScanner::Token::EndOfDocument;
         token = part.xml.Next()) {
        if (token == XmlScanner::Token::Error) return Fail(part.Problem());
        if (token == XmlScanner::Token::End && part.xml.Name() == "cellXfs") inCellFormats = false;
        if (token != XmlScanner::Token::Start) continue;
        const std::string_view name = part.xml.Name();
        if (name == "numFmt") {
            codes[ToInt(part.xml.Attribute("numFmtId"), 0)] =
                QString::fromStdString(part.xml.Attribute("formatCode"));
        } else if (name == "cellXfs") {
            inCellFormats = true;
        } else if (name == "xf" && inCellFormats) {
            const int id = ToInt(part.xml.Attribute("numFmtId"), 0);
            const auto custom = codes.find(id);
            styles.push_back(custom == codes.end() ? StyleOfBuiltIn(id)
                                                   : StyleOfCode(custom->second));
        }
    }
    if (!part.stream.Drain()) return Fail(part.Problem());
    return true;
}

SheetCell WorkbookReader::Parts::MakeCell(std::string_view type, int styleIndex,
                                          std::string& value) {
    SheetCell cell;
    if (type == "s") {
        const int index = ToInt(value, -1);
        if (index >= 0 && static_cast<std::size_t>(index) < sharedEnds.size()) {
            const std::size_t i = static_cast<std::size_t>(index);
            const std::size_t start = i == 0 ? 0 : sharedEnds[i - 1];
            cell.kind = CellKind::Text;
            cell.text.assign(sharedText, start, sharedEnds[i] - start);
        } else {
            cell.kind = CellKind::Error;
            cell.text = "#REF!";
        }
    } else if (type == "inlineStr") {
        cell.kind = CellKind::Text;
        cell.text = DecodeSheetEscapes(value);
    } else if (type == "str") {
        cell.kind = CellKind::Text;
        cell.text = std::move(value);
    } else if (type == "b") {
        cell.kind = CellKind::Boolean;
        cell.text = value == "1" || value == "true" ? "TRUE" : "FALSE";
    } else if (type == "e") {
        cell.kind = CellKind::Error;
        cell.text = std::move(value);
    } else if (type == "d") {
        const QDate date =
            QDate::fromString(QString::fromStdString(value.substr(0, 10)), Qt::ISODate);
        cell.kind = date.isValid() ? CellKind::Date : CellKind::Error;
        cell.text = date.isValid()
                        ? std::to_string(date.year()) + "-" + std::to_string(date.month()) + "-" +
                              std::to_string(date.day())
                        : std::move(value);
    } else {
        std::size_t first = value.find_first_not_of(" \t\n");
        std::size_t last = value.find_last_not_of(" \t\n");
        const std::string_view number =
            first == std::string::npos ? std::string_view()
                                       : std::string_view(value).substr(first, last - first + 1);
        const auto [end, fault] =
            std::from_chars(number.data(), number.data() + number.size(), cell.number);
        const bool ok =
            !number.empty() && fault == std::errc() && end == number.data() + number.size();
        const bool known = styleIndex >= 0 && static_cast<std::size_t>(styleIndex) < styles.size();
        const NumberStyle style =
            known ? styles[static_cast<std::size_t>(styleIndex)] : NumberStyle{};
        cell.text = std::move(value);
        if (!ok || !std::isfinite(cell.number)) {
            cell.kind = CellKind::Error;
        } else if (style.date) {
            cell.kind = CellKind::Date;
            cell.text = DateText(cell.number, date1904);
        } else {
            cell.kind = CellKind::Number;
            cell.decimals = style.decimals;
        }
    }
    return cell;
}

// At the start of a <c>: reads up to its end and puts the cell in its place.
bool WorkbookReader::Parts::ReadCell(std::vector<SheetCell>& cells) {
    XmlScanner& xml = sheet->xml;
    const std::string reference = xml.Attribute("r");
    int column = reference.empty() ? static_cast<int>(cells.size()) : ColumnOfReference(reference);
    if (column < 0) column = static_cast<int>(cells.size());
    if (column >= kMaxColumns) return Fail("第 " + std::to_string(lastRow) + " 行超出了 16384 列");
    const std::string type = xml.Attribute("t");
    const std::string style = xml.Attribute("s");
    const int styleIndex = style.empty() ? -1 : ToInt(style, -1);

    std::string value;
    bool hasValue = false;
    bool hasFormula = false;
    bool inText = false;
    int phonetic = 0;
    for (int depth = 1; depth > 0;) {
        switch (xml.Next()) {
            case XmlScanner::Token::Start:
                ++depth;
                if (xml.Name() == "rPh") ++phonetic;
                if (xml.Name() == "f") hasFormula = true;
                inText = phonetic == 0 && (xml.Name() == "v" || xml.Name() == "t");
                hasValue = hasValue || inText;
                break;
            case XmlScanner::Token::End:
                --depth;
                if (xml.Name() == "rPh") --phonetic;
                inText = false;
                break;
            case XmlScanner::Token::Text:
                if (!inText) break;
                if (value.size() + xml.Text().size() > kMaxCellBytes) {
                    return Fail("第 " + std::to_string(lastRow) + " 行有一个单元格超过 " +
                                std::to_string(kMaxCellBytes >> 20) + " MB，不像是订单的内容");
                }
                rowBytes += xml.Text().size();
                if (rowBytes > kMaxRowBytes) {
                    return Fail("第 " + std::to_string(lastRow) + " 行的内容超过 " +
                                std::to_string(kMaxRowBytes >> 20) + " MB，不像是订单");
                }
                value += xml.Text();
                break;
            case XmlScanner::Token::EndOfDocument:
            case XmlScanner::Token::Error:
                return Fail(sheet->Problem());
        }
    }
    if (!IsValidText(value)) return Fail(sheet->Problem() + "含有无效的 UTF-8 文字");
    if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(column + 1);
    SheetCell& cell = cells[static_cast<std::size_t>(column)];
    // A program that writes formulas without calculating them leaves the
    // value out or empty; only a text result can be empty.
    if (hasFormula && value.empty() && type != "str" && type != "inlineStr") {
        cell = SheetCell{CellKind::UnsavedFormula, {}};
    } else if (hasValue) {
        cell = MakeCell(type, styleIndex, value);
    } else {
        cell = SheetCell{};
    }
    return true;
}

// After the last row: the rest of the part is read for its checksum.
bool WorkbookReader::Parts::EndSheet() {
    sheetEnded = true;
    if (!sawSheetData) return Fail("工作簿的“" + sheet->stream.Name() + "”部分不是工作表");
    if (!sheet->stream.Drain()) return Fail(sheet->Problem());
    return true;
}

WorkbookReader::WorkbookReader() : parts_(std::make_unique<Parts>()) {}
WorkbookReader::~WorkbookReader() = default;

const std::string& WorkbookReader::Error() const { return parts_->error; }

bool WorkbookReader::Open(const std::string& path) {
    Parts& p = *parts_;
    int code = 0;
    p.archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!p.archive) {
        // A workbook is a zip container; one cut short has lost its directory.
        if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS) {
            return p.Fail("工作簿已损坏或不完整（zip 目录缺失或不一致），可能没有完整复制：" +
                          path);
        }
        return p.Fail("文件不是 Excel 工作簿（.xlsx），或无法打开：" + path);
    }
    std::string sheetPath, sharedPath, stylesPath;
    if (!p.ReadWorkbook(sheetPath, sharedPath, stylesPath) || !p.ReadSharedStrings(sharedPath) ||
        !p.ReadStyles(stylesPath)) {
        return false;
    }
    if (!p.Has(sheetPath)) return p.Fail("工作簿中缺少第一张工作表：" + sheetPath);
    p.sheet = std::make_unique<PartReader>(p.archive, sheetPath, kMaxSheetPartBytes);
    if (!p.sheet->stream.Opened()) return p.Fail("无法打开工作簿中的工作表：" + sheetPath);
    return true;
}

bool WorkbookReader::NextRow(int& rowNumber, std::vector<SheetCell>& cells) {
    Parts& p = *parts_;
    cells.clear();
    bool inRow = false;
    while (!p.sheetEnded && p.error.empty()) {
        XmlScanner& xml = p.sheet->xml;
        const auto token = xml.Next();
        if (token == XmlScanner::Token::Error) return p.Fail(p.sheet->Problem());
        if (token == XmlScanner::Token::EndOfDocument ||
            (token == XmlScanner::Token::End && xml.Name() == "sheetData")) {
            p.EndSheet();
            return false;
        }
        if (token == XmlScanner::Token::End && inRow && xml.Name() == "row") {
            inRow = false;
            if (cells.empty()) continue;
            rowNumber = p.lastRow;
            return true;
        }
        if (token != XmlScanner::Token::Start) continue;
        if (xml.Name() == "sheetData") {
            p.sawSheetData = true;
        } else if (xml.Name() == "row") {
            const std::string number = xml.Attribute("r");
            p.lastRow = number.empty() ? p.lastRow + 1 : ToInt(number, 0);
            if (p.lastRow <= 0 || p.lastRow > kMaxRows) {
                return p.Fail("工作表的行号超出了 1048576 行");
            }
            p.rowBytes = 0;
            inRow = true;
        } else if (xml.Name() == "c" && inRow) {
            if (!p.ReadCell(cells)) return false;
        }
    }
    return false;
}
