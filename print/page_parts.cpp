#include "print/page_parts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "common/text_encoding.h"

double Mm(const QPaintDevice& device, double mm) { return mm * device.logicalDpiY() / 25.4; }

namespace {

// The fonts in the fonts folder beside the program, added to the
// application's own once. The Windows build ships WenQuanYi Micro Hei there
// (scripts/windows/deploy.sh): a Windows PC has none, and its Chinese fonts
// may share glyphs with the Kangxi radicals as Noto does. On Linux the folder
// is not there and the system's font is used. Each is added from its bytes:
// added by its file name, Wine hung when the program ended.
void AddFontsBesideProgram() {
    static const bool added = [] {
        const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
        for (const QString& name :
             folder.entryList({QStringLiteral("*.ttc"), QStringLiteral("*.ttf")}, QDir::Files)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                QFontDatabase::addApplicationFontFromData(file.readAll());
        }
        return true;
    }();
    (void)added;
}

}  // namespace

QFont PrintFont(double points, bool bold) {
    AddFontsBesideProgram();
    QFont font;
    // Qt's PDF writer tells a reader which character a glyph stands for by
    // the lowest one the font maps to it; Noto Sans CJK shares its glyphs
    // between ideographs and the Kangxi radicals (一 would read back as ⼀),
    // WenQuanYi Micro Hei does not. One font for every character: glyphs a
    // second font fills in may read back as nothing. Windows' own come last,
    // for a program without its fonts folder.
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString PrintedText(std::string_view gbk) { return GbkToQString(gbk); }

namespace {

// One paragraph's lines, at most room of them; true when all fitted.
bool WrapParagraph(const QString& text, const QFont& font, const QPaintDevice& device, double width,
                   int room, QStringList& lines) {
    if (text.isEmpty()) {
        if (room <= 0) return false;
        lines.append(QString());
        return true;
    }
    QTextLayout layout(text, font, const_cast<QPaintDevice*>(&device));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    bool whole = true;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        if (room-- <= 0) {
            whole = false;
            break;
        }
        line.setLineWidth(width);
        lines.append(text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    return whole;
}

// The last line shortened until it holds the cut mark too.
void MarkCut(QStringList& lines, const QFont& font, const QPaintDevice& device, double width) {
    const QString mark = QString::fromUtf8(kCutMark);
    const QFontMetricsF metrics(font, const_cast<QPaintDevice*>(&device));
    QString last = lines.isEmpty() ? QString() : lines.takeLast();
    while (!last.isEmpty() && metrics.horizontalAdvance(last + mark) > width) {
        last.chop(last.size() >= 2 && last.at(last.size() - 1).isLowSurrogate() ? 2 : 1);
    }
    lines.append(last + mark);
}

}  // namespace

QStringList WrapText(const QString& text, const QFont& font, const QPaintDevice& device,
                     double width, int maxLines) {
    QStringList lines;
    const QStringList paragraphs =
        QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        if (!WrapParagraph(paragraph, font, device, width, maxLines - int(lines.size()), lines)) {
            MarkCut(lines, font, device, width);
            break;
        }
    }
    return lines;
}

double LinesHeight(const QFont& font, const QPaintDevice& device, int n) {
    return QFontMetricsF(font, const_cast<QPaintDevice*>(&device)).lineSpacing() * n;
}

void DrawLines(QPainter& painter, const QFont& font, QPointF at, const QStringList& lines) {
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    double baseline = at.y() + metrics.ascent();
    for (const QString& line : lines) {
        painter.drawText(QPointF(at.x(), baseline), line);
        baseline += metrics.lineSpacing();
    }
}

double PageFootHeight(const QPaintDevice& device) { return Mm(device, 6); }

void DrawPageNumber(QPainter& painter, const QRectF& page, int number, int pages) {
    painter.setFont(PrintFont(7));
    const QRectF foot(page.left(), page.bottom() - PageFootHeight(*painter.device()), page.width(),
                      PageFootHeight(*painter.device()));
    painter.drawText(foot, Qt::AlignHCenter | Qt::AlignBottom,
                     QString::fromUtf8("第 %1 页 / 共 %2 页").arg(number).arg(pages));
}

int PaintRowPages(QPainter& painter, const QRectF& page, double headHeight,
                  const std::function<void(QPainter&, const QRectF&)>& head,
                  const std::vector<PagedRow>& rows, const std::function<bool()>& newPage) {
    const double foot = page.bottom() - PageFootHeight(*painter.device());
    // First where each page starts, so that every page knows their number.
    std::vector<std::size_t> starts{0};
    double y = page.top() + headHeight;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (y + rows[r].height > foot && r > starts.back()) {
            starts.push_back(r);
            y = page.top() + headHeight;
        }
        y += rows[r].height;
    }
    const int pages = static_cast<int>(starts.size());
    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !newPage()) return p;
        head(painter, QRectF(page.left(), page.top(), page.width(), headHeight));
        const std::size_t end = p + 1 < pages ? starts[p + 1] : rows.size();
        double top = page.top() + headHeight;
        for (std::size_t r = starts[p]; r < end; ++r) {
            rows[r].paint(painter, QRectF(page.left(), top, page.width(), rows[r].height));
            top += rows[r].height;
        }
        DrawPageNumber(painter, page, p + 1, pages);
    }
    return pages;
}
