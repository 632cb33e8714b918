#include "exchange/workbook_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "exchange/xml_scanner.h"
#include "exchange/zip_writer.h"

namespace {

// Excel's limits for one sheet.
constexpr unsigned kMaxRows = 1048576;
constexpr unsigned kMaxTextCharacters = 32767;
// The sheet's XML goes to the zip writer in pieces of about this size.
constexpr std::size_t kPieceBytes = 256 << 10;
// The header row's style (bold); number formats follow it.
constexpr int kHeaderStyle = 1;
constexpr int kFirstNumberStyle = 2;
// Excel adds this to a column's width in characters for the cell margins.
constexpr double kColumnPadding = 0.7109375;

constexpr std::string_view kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr std::string_view kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kPackageRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view kContentTypes =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.";

// Characters as Excel counts them (UTF-16 code units are close enough here).
std::size_t CountCharacters(std::string_view utf8) {
    std::size_t count = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++count;
    }
    return count;
}

std::string ColumnName(unsigned column) {
    std::string name;
    for (unsigned c = column + 1; c > 0; c = (c - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return name;
}

// A text as XML character data: markup characters as entities, control
// characters and a literal escape's underscore as _xHHHH_.
void AppendText(std::string& out, std::string_view text) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const char* entity = c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : nullptr;
        const bool control = c < 0x20 && c != '\t' && c != '\n';
        const bool underscore = c == '_' && IsSheetEscapeAt(text, i);
        if (!entity && !control && !underscore) continue;
        out.append(text.substr(run, i - run));
        run = i + 1;
        if (entity) {
            out += entity;
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            out += "_x00";
            out += kHex[(control ? c : 0x5F) >> 4];
            out += kHex[(control ? c : 0x5F) & 0xF];
            out += '_';
        }
    }
    out.append(text.substr(run));
}

std::string Escaped(std::string_view text) {
    std::string out;
    AppendText(out, text);
    return out;
}

bool NeedsSpacePreserved(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return !text.empty() && (blank(text.front()) || blank(text.back()));
}

void AppendNumber(std::string& out, double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value);
    out.append(text, end.ptr);
}

}  // namespace

std::string NumberFormatWithDecimals(int decimals) {
    if (decimals <= 0) return "0";
    return "0." + std::string(static_cast<std::size_t>(decimals), '0');
}

WorkbookWriter::WorkbookWriter(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        error_ = "无法建立工作簿：" + path + "（" + std::strerror(errno) + "）";
        return;
    }
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
    zip_ = std::make_unique<ZipWriter>(file_);
}

// A workbook never closed stays incomplete; the caller does not place it.
WorkbookWriter::~WorkbookWriter() {
    zip_.reset();
    if (file_) std::fclose(file_);
}

void WorkbookWriter::Fail(const std::string& why) {
    if (!error_.empty()) return;
    error_ = "工作表“" + sheetName_ + "”第 " + std::to_string(row_ + 1) + " 行 " +
             ColumnName(column_) + " 列" + why;
}

int WorkbookWriter::StyleOf(const std::string& numberFormat) {
    if (numberFormat.empty()) return 0;
    const auto [found, added] =
        formats_.emplace(numberFormat, kFirstNumberStyle + static_cast<int>(formatCodes_.size()));
    if (added) formatCodes_.push_back(numberFormat);
    return found->second;
}

void WorkbookWriter::Flush() {
    if (xml_.size() < kPieceBytes) return;
    if (!zip_->Write(xml_)) error_ = zip_->Error();
    xml_.clear();
}

void WorkbookWriter::EndSheet() {
    if (!inSheet_) return;
    if (rowOpen_) xml_ += "</row>";
    rowOpen_ = false;
    inSheet_ = false;
    xml_ +=
        "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
        "header=\"0.3\" footer=\"0.3\"/></worksheet>";
    if (error_.empty() && !(zip_->Write(xml_) && zip_->End())) error_ = zip_->Error();
    xml_.clear();
}

void WorkbookWriter::AddSheet(const std::string& name, const std::vector<SheetColumn>& columns) {
    if (!error_.empty()) return;
    EndSheet();
    sheetName_ = name;
    sheetNames_.push_back(name);
    if (!zip_->Begin("xl/worksheets/sheet" + std::to_string(sheetNames_.size()) + ".xml")) {
        error_ = zip_->Error();
        return;
    }
    inSheet_ = true;
    row_ = 0;
    column_ = 0;
    xml_ = kXmlDeclaration;
    xml_ += "<worksheet xmlns=\"" + std::string(kMain) + "\" xmlns:r=\"" +
            std::string(kRelationships) + "\"><sheetViews><sheetView ";
    if (sheetNames_.size() == 1) xml_ += "tabSelected=\"1\" ";
    xml_ +=
        "workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
        "state=\"frozen\"/><selection pane=\"bottomLeft\"/></sheetView></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"15\"/>";
    if (!columns.empty()) {
        xml_ += "<cols>";
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string number = std::to_string(c + 1);
            xml_ += "<col min=\"" + number + "\" max=\"" + number + "\" width=\"";
            AppendNumber(xml_, columns[c].width + kColumnPadding);
            xml_ += "\" customWidth=\"1\"/>";
        }
        xml_ += "</cols>";
    }
    xml_ += "<sheetData>";
    for (const SheetColumn& column : columns) {
        StartCell();
        xml_ += " s=\"" + std::to_string(kHeaderStyle) + "\" t=\"inlineStr\"><is><t>";
        AppendText(xml_, column.header);
        xml_ += "</t></is></c>";
        ++column_;
    }
    EndRow();
}

// Opens the row if needed and writes "<c r=\"B2\"", for the caller to go on.
void WorkbookWriter::StartCell() {
    char number[16];
    const auto end = std::to_chars(number, number + sizeof number, row_ + 1);
    const std::string_view row(number, static_cast<std::size_t>(end.ptr - number));
    if (!rowOpen_) {
        xml_ += "<row r=\"";
        xml_ += row;
        xml_ += "\">";
        rowOpen_ = true;
    }
    if (columnNames_.size() <= column_) {
        for (unsigned c = static_cast<unsigned>(columnNames_.size()); c <= column_; ++c) {
            columnNames_.push_back(ColumnName(c));
        }
    }
    xml_ += "<c r=\"";
    xml_ += columnNames_[column_];
    xml_ += row;
    xml_ += '"';
}

void WorkbookWriter::WriteText(std::string_view utf8) {
    if (!error_.empty() || !inSheet_) return;
    if (CountCharacters(utf8) > kMaxTextCharacters) {
        Fail("的文字超过一个单元格能放的 32767 个字符");
        return;
    }
    if (!utf8.empty()) {
        StartCell();
        xml_ += NeedsSpacePreserved(utf8) ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">"
                                          : " t=\"inlineStr\"><is><t>";
        AppendText(xml_, utf8);
        xml_ += "</t></is></c>";
        Flush();
    }
    ++column_;
}

void WorkbookWriter::WriteNumber(double value, const std::string& numberFormat) {
    if (!error_.empty() || !inSheet_) return;
    if (!std::isfinite(value)) {
        Fail("的数字超出了表格能存的范围");
        return;
    }
    const int style = StyleOf(numberFormat);
    StartCell();
    if (style != 0) xml_ += " s=\"" + std::to_string(style) + "\"";
    xml_ += "><v>";
    AppendNumber(xml_, value);
    xml_ += "</v></c>";
    ++column_;
    Flush();
}

void WorkbookWriter::SkipCell() { ++column_; }

void WorkbookWriter::EndRow() {
    if (!error_.empty()) return;
    if (rowOpen_) xml_ += "</row>";
    rowOpen_ = false;
    ++row_;
    column_ = 0;
    if (row_ >= kMaxRows) {
        error_ = "工作表“" + sheetName_ + "”超过了 Excel 的 1048576 行";
    }
}

bool WorkbookWriter::Close(std::string& error) {
    if (closed_ || !zip_) {
        error = error_;
        return error_.empty() && closed_;
    }
    closed_ = true;
    EndSheet();
    const auto part = [this](const std::string& name, const std::string& xml) {
        if (error_.empty() && !(zip_->Begin(name) && zip_->Write(kXmlDeclaration) &&
                                zip_->Write(xml) && zip_->End())) {
            error_ = zip_->Error();
        }
    };
    std::string sheets, relations, overrides;
    for (std::size_t i = 0; i < sheetNames_.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        sheets += "<sheet name=\"" + Escaped(sheetNames_[i]) + "\" sheetId=\"" + number +
                  "\" r:id=\"rId" + number + "\"/>";
        relations += "<Relationship Id=\"rId" + number + "\" Type=\"" +
                     std::string(kRelationships) + "/worksheet\" Target=\"worksheets/sheet" +
                     number + ".xml\"/>";
        overrides += "<Override PartName=\"/xl/worksheets/sheet" + number +
                     ".xml\" ContentType=\"" + std::string(kContentTypes) + "worksheet+xml\"/>";
    }
    const std::string stylesId = "rId" + std::to_string(sheetNames_.size() + 1);
    part("xl/workbook.xml",
         "<workbook xmlns=\"" + std::string(kMain) + "\" xmlns:r=\"" + std::string(kRelationships) +
             "\"><bookViews><workbookView/></bookViews><sheets>" + sheets + "</sheets></workbook>");
    part("xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"" + std::string(kPackageRelationships) + "\">" + relations +
             "<Relationship Id=\"" + stylesId + "\" Type=\"" + std::string(kRelationships) +
             "/styles\" Target=\"styles.xml\"/></Relationships>");
    std::string formats, cellFormats;
    for (std::size_t i = 0; i < formatCodes_.size(); ++i) {
        const std::string id = std::to_string(164 + i);
        formats +=
            "<numFmt numFmtId=\"" + id + "\" formatCode=\"" + Escaped(formatCodes_[i]) + "\"/>";
        cellFormats += "<xf numFmtId=\"" + id +
                       "\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
                       "applyNumberFormat=\"1\"/>";
    }
    const std::string font = "<sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/>";
    part("xl/styles.xml",
         "<styleSheet xmlns=\"" + std::string(kMain) + "\">" +
             (formats.empty() ? ""
                              : "<numFmts count=\"" + std::to_string(formatCodes_.size()) + "\">" +
                                    formats + "</numFmts>") +
             "<fonts count=\"2\"><font>" + font + "</font><font><b/>" + font +
             "</font></fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
             "<fill><patternFill patternType=\"gray125\"/></fill></fills><borders count=\"1\">"
             "<border><left/><right/><top/><bottom/><diagonal/></border></borders>"
             "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"" +
             std::to_string(kFirstNumberStyle + formatCodes_.size()) +
             "\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
             "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
             "applyFont=\"1\"/>" +
             cellFormats +
             "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
             "builtinId=\"0\"/></cellStyles></styleSheet>");
    part("_rels/.rels", "<Relationships xmlns=\"" + std::string(kPackageRelationships) +
                            "\"><Relationship Id=\"rId1\" Type=\"" + std::string(kRelationships) +
                            "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    part("[Content_Types].xml",
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/"
         "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
         "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
         "ContentType=\"" +
             std::string(kContentTypes) +
             "sheet.main+xml\"/><Override PartName=\"/xl/styles.xml\" "
             "ContentType=\"" +
             std::string(kContentTypes) + "styles+xml\"/>" + overrides + "</Types>");
    if (error_.empty() && !zip_->Finish()) error_ = zip_->Error();
    zip_.reset();
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    std::fclose(file_);
    file_ = nullptr;
    if (error_.empty() && !flushed) error_ = "无法写出工作簿：" + ZipWriter::WriteProblem(errno);
    error = error_;
    return error_.empty();
}
