#include "exchange/workbook_reader.h"

#include <zip.h>

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QXmlStreamReader>
#include <cmath>
#include <map>

namespace {

// Excel's limits for one sheet.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
// The parts read whole: no workbook holds more in them.
constexpr zip_uint64_t kMaxPartBytes = 64ull << 20;
constexpr zip_uint64_t kMaxSharedStringBytes = 256ull << 20;
constexpr zip_uint64_t kChunkBytes = 256 << 10;
// Far beyond the field limit, which import then reports with the column;
// a cell longer than this is read no further.
constexpr qsizetype kMaxCellCharacters = 4 * 1024 * 1024;

std::string ToUtf8(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The value of the attribute whose local name is name, whatever its prefix.
QStringView Attribute(const QXmlStreamAttributes& attributes, QStringView name) {
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.name() == name) return attribute.value();
    }
    return {};
}

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
int ColumnOfReference(QStringView reference) {
    int column = 0;
    int letters = 0;
    for (QChar c : reference) {
        if (c < u'A' || c > u'Z') break;
        column = column * 26 + (c.unicode() - u'A' + 1);
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

class ZipArchive {
  public:
    ~ZipArchive() {
        if (file_) zip_fclose(file_);
        if (archive_) zip_discard(archive_);
    }

    bool Open(const std::string& path) {
        int code = 0;
        archive_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
        return archive_ != nullptr;
    }

    bool Has(const std::string& name) const {
        return zip_name_locate(archive_, name.c_str(), 0) >= 0;
    }

    // A whole part, if it is no larger than limit; false otherwise.
    bool ReadWhole(const std::string& name, zip_uint64_t limit, QByteArray& bytes) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(archive_, name.c_str(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
            stat.size > limit) {
            return false;
        }
        zip_file_t* file = zip_fopen(archive_, name.c_str(), 0);
        if (!file) return false;
        bytes.resize(static_cast<qsizetype>(stat.size));
        const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        return read == static_cast<zip_int64_t>(stat.size);
    }

    bool OpenStream(const std::string& name) {
        file_ = zip_fopen(archive_, name.c_str(), 0);
        return file_ != nullptr;
    }

    // The next piece of the open stream; empty at its end, false on error.
    bool ReadChunk(QByteArray& chunk) {
        chunk.resize(kChunkBytes);
        const zip_int64_t read = zip_fread(file_, chunk.data(), kChunkBytes);
        if (read < 0) return false;
        chunk.resize(static_cast<qsizetype>(read));
        return true;
    }

  private:
    zip_t* archive_ = nullptr;
    zip_file_t* file_ = nullptr;
};

// "worksheets/sheet1.xml" beside xl/workbook.xml, or an absolute "/xl/...".
std::string PartPath(QStringView target) {
    if (target.startsWith(u'/')) return ToUtf8(target.mid(1));
    return "xl/" + ToUtf8(target);
}

}  // namespace

struct WorkbookReader::Parts {
    ZipArchive zip;
    std::vector<std::string> sharedStrings;
    std::vector<NumberStyle> styles;  // by cell style index
    bool date1904 = false;
    QXmlStreamReader sheet;
    bool sheetEnded = false;
    int lastRow = 0;
    std::string error;

    bool ReadWorkbook(std::string& sheetPath, std::string& sharedPath, std::string& stylesPath);
    bool ReadSharedStrings(const std::string& path);
    bool ReadStyles(const std::string& path);
    bool Fail(std::string text) {
        error = std::move(text);
        return false;
    }
    // Next token of the sheet, feeding the stream reader as it runs dry.
    QXmlStreamReader::TokenType NextToken();
    bool ReadCell(std::vector<SheetCell>& cells);
    SheetCell MakeCell(QStringView type, int styleIndex, const QString& value, bool hasValue);
};

bool WorkbookReader::Parts::ReadWorkbook(std::string& sheetPath, std::string& sharedPath,
                                         std::string& stylesPath) {
    QByteArray bytes;
    if (!zip.ReadWhole("xl/workbook.xml", kMaxPartBytes, bytes)) {
        return Fail("文件不是 Excel 工作簿（.xlsx）：缺少 xl/workbook.xml");
    }
    QString sheetId;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"workbookPr") {
            const QString flag = Attribute(xml.attributes(), u"date1904").toString();
            date1904 = flag == u"1" || flag == u"true";
        } else if (xml.name() == u"sheet" && sheetId.isEmpty()) {
            sheetId = Attribute(xml.attributes(), u"id").toString();
        }
    }
    if (xml.hasError() || sheetId.isEmpty()) return Fail("工作簿中没有工作表");

    sheetPath = "xl/worksheets/sheet1.xml";
    sharedPath = "xl/sharedStrings.xml";
    stylesPath = "xl/styles.xml";
    if (!zip.ReadWhole("xl/_rels/workbook.xml.rels", kMaxPartBytes, bytes)) return true;
    QXmlStreamReader rels(bytes);
    while (!rels.atEnd()) {
        if (rels.readNext() != QXmlStreamReader::StartElement) continue;
        if (rels.name() != u"Relationship") continue;
        const QString type = Attribute(rels.attributes(), u"Type").toString();
        const std::string target = PartPath(Attribute(rels.attributes(), u"Target"));
        if (Attribute(rels.attributes(), u"Id") == sheetId) sheetPath = target;
        if (type.endsWith(u"/sharedStrings")) sharedPath = target;
        if (type.endsWith(u"/styles")) stylesPath = target;
    }
    return true;
}

bool WorkbookReader::Parts::ReadSharedStrings(const std::string& path) {
    if (!zip.Has(path)) return true;
    QByteArray bytes;
    if (!zip.ReadWhole(path, kMaxSharedStringBytes, bytes)) {
        return Fail("工作簿的共享文字部分过大或已损坏");
    }
    QXmlStreamReader xml(bytes);
    bytes.clear();
    QString text;
    int phonetic = 0;  // inside <rPh>: a reading aid, not part of the text
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
            case QXmlStreamReader::StartElement:
                if (xml.name() == u"si") text.clear();
                if (xml.name() == u"rPh") ++phonetic;
                if (xml.name() == u"t" && phonetic == 0) text += xml.readElementText();
                break;
            case QXmlStreamReader::EndElement:
                if (xml.name() == u"rPh") --phonetic;
                if (xml.name() == u"si") sharedStrings.push_back(ToUtf8(text));
                break;
            default:
                break;
        }
    }
    if (xml.hasError()) return Fail("工作簿的共享文字部分已损坏");
    return true;
}

bool WorkbookReader::Parts::ReadStyles(const std::string& path) {
    if (!zip.Has(path)) return true;
    QByteArray bytes;
    if (!zip.ReadWhole(path, kMaxPartBytes, bytes)) return Fail("工作簿的样式部分过大或已损坏");
    std::map<int, QString> codes;
    bool inCellFormats = false;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs") {
            inCellFormats = false;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"numFmt") {
            codes[Attribute(xml.attributes(), u"numFmtId").toInt()] =
                Attribute(xml.attributes(), u"formatCode").toString();
        } else if (xml.name() == u"cellXfs") {
            inCellFormats = true;
        } else if (xml.name() == u"xf" && inCellFormats) {
            const int id = Attribute(xml.attributes(), u"numFmtId").toInt();
            const auto custom = codes.find(id);
            styles.push_back(custom == codes.end() ? StyleOfBuiltIn(id)
                                                   : StyleOfCode(custom->second));
        }
    }
    if (xml.hasError()) return Fail("工作簿的样式部分已损坏");
    return true;
}

QXmlStreamReader::TokenType WorkbookReader::Parts::NextToken() {
    for (;;) {
        const auto token = sheet.readNext();
        if (sheet.error() != QXmlStreamReader::PrematureEndOfDocumentError) return token;
        QByteArray chunk;
        if (!zip.ReadChunk(chunk)) {
            Fail("工作表已损坏，无法读完");
            return QXmlStreamReader::Invalid;
        }
        if (chunk.isEmpty()) {
            Fail("工作表不完整");
            return QXmlStreamReader::Invalid;
        }
        sheet.addData(chunk);
    }
}

SheetCell WorkbookReader::Parts::MakeCell(QStringView type, int styleIndex, const QString& value,
                                          bool hasValue) {
    SheetCell cell;
    if (!hasValue) return cell;
    cell.text = ToUtf8(value);
    if (type == u"s") {
        bool ok = false;
        const qsizetype index = value.toLongLong(&ok);
        if (ok && index >= 0 && static_cast<std::size_t>(index) < sharedStrings.size()) {
            cell.kind = CellKind::Text;
            cell.text = sharedStrings[static_cast<std::size_t>(index)];
        } else {
            cell.kind = CellKind::Error;
            cell.text = "#REF!";
        }
    } else if (type == u"str" || type == u"inlineStr") {
        cell.kind = CellKind::Text;
    } else if (type == u"b") {
        cell.kind = CellKind::Boolean;
        cell.text = value == u"1" || value == u"true" ? "TRUE" : "FALSE";
    } else if (type == u"e") {
        cell.kind = CellKind::Error;
    } else if (type == u"d") {
        const QDate date = QDate::fromString(value.left(10), Qt::ISODate);
        cell.kind = date.isValid() ? CellKind::Date : CellKind::Error;
        if (date.isValid()) {
            cell.text = std::to_string(date.year()) + "-" + std::to_string(date.month()) + "-" +
                        std::to_string(date.day());
        }
    } else {
        bool ok = false;
        cell.number = value.trimmed().toDouble(&ok);
        const bool known = styleIndex >= 0 && static_cast<std::size_t>(styleIndex) < styles.size();
        const NumberStyle style =
            known ? styles[static_cast<std::size_t>(styleIndex)] : NumberStyle{};
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
    const QXmlStreamAttributes attributes = sheet.attributes();
    const QStringView reference = Attribute(attributes, u"r");
    int column =
        reference.isEmpty() ? static_cast<int>(cells.size()) : ColumnOfReference(reference);
    if (column < 0) column = static_cast<int>(cells.size());
    if (column >= kMaxColumns) return Fail("第 " + std::to_string(lastRow) + " 行超出了 16384 列");
    const QString type = Attribute(attributes, u"t").toString();
    const QStringView style = Attribute(attributes, u"s");
    const int styleIndex = style.isEmpty() ? -1 : style.toInt();

    QString value;
    bool hasValue = false;
    int depth = 1;
    bool inText = false;
    int phonetic = 0;
    while (depth > 0) {
        const auto token = NextToken();
        if (token == QXmlStreamReader::Invalid) return Fail(error.empty() ? "工作表已损坏" : error);
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (sheet.name() == u"rPh") ++phonetic;
            inText = phonetic == 0 && (sheet.name() == u"v" || sheet.name() == u"t");
            if (inText) hasValue = true;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (sheet.name() == u"rPh") --phonetic;
            inText = false;
        } else if (token == QXmlStreamReader::Characters && inText) {
            if (value.size() + sheet.text().size() > kMaxCellCharacters) {
                return Fail("第 " + std::to_string(lastRow) + " 行有一个单元格长得不像订单的内容");
            }
            value += sheet.text();
        }
    }
    if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(column + 1);
    cells[static_cast<std::size_t>(column)] = MakeCell(type, styleIndex, value, hasValue);
    return true;
}

WorkbookReader::WorkbookReader() : parts_(std::make_unique<Parts>()) {}
WorkbookReader::~WorkbookReader() = default;

const std::string& WorkbookReader::Error() const { return parts_->error; }

bool WorkbookReader::Open(const std::string& path) {
    Parts& p = *parts_;
    if (!p.zip.Open(path)) return p.Fail("文件不是 Excel 工作簿（.xlsx），或无法打开：" + path);
    std::string sheetPath, sharedPath, stylesPath;
    if (!p.ReadWorkbook(sheetPath, sharedPath, stylesPath) || !p.ReadSharedStrings(sharedPath) ||
        !p.ReadStyles(stylesPath)) {
        return false;
    }
    if (!p.zip.OpenStream(sheetPath)) return p.Fail("工作簿中缺少第一张工作表：" + sheetPath);
    return true;
}

bool WorkbookReader::NextRow(int& rowNumber, std::vector<SheetCell>& cells) {
    Parts& p = *parts_;
    cells.clear();
    bool inRow = false;
    while (!p.sheetEnded) {
        const auto token = p.NextToken();
        if (token == QXmlStreamReader::Invalid) return false;
        if (token == QXmlStreamReader::EndDocument) p.sheetEnded = true;
        if (token == QXmlStreamReader::EndElement && p.sheet.name() == u"sheetData") {
            p.sheetEnded = true;
        }
        if (token == QXmlStreamReader::EndElement && inRow && p.sheet.name() == u"row") {
            if (cells.empty()) {
                inRow = false;
                continue;
            }
            rowNumber = p.lastRow;
            return true;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        if (p.sheet.name() == u"row") {
            const QXmlStreamAttributes attributes = p.sheet.attributes();
            const QStringView number = Attribute(attributes, u"r");
            p.lastRow = number.isEmpty() ? p.lastRow + 1 : number.toInt();
            if (p.lastRow <= 0 || p.lastRow > kMaxRows) {
                return p.Fail("工作表的行号超出了 1048576 行");
            }
            inRow = true;
        } else if (p.sheet.name() == u"c" && inRow) {
            if (!p.ReadCell(cells)) return false;
        }
    }
    return false;
}
