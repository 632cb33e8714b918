#pragma once
// What the three printed forms share: lengths in millimetres on the device,
// the font, texts wrapped or cut to their room, rows placed down pages under
// a repeated head, and the page number at the foot.

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <string_view>
#include <vector>

class QPainter;
class QPaintDevice;

// What marks a text cut short for want of room.
inline constexpr const char* kCutMark = "…（未完）";

// Device units (the painter's, after it started) for a length in millimetres.
double Mm(const QPaintDevice& device, double mm);

// The printed font at a size in points: one that holds every Chinese
// character and whose glyphs read back, from the PDF, as the characters
// printed.
QFont PrintFont(double points, bool bold = false);

QString PrintedText(std::string_view gbk);

// text broken into lines no wider than width, at most maxLines of them; when
// it needed more, the last line ends in kCutMark. Line breaks in the text
// start new lines. An empty text is one empty line.
QStringList WrapText(const QString& text, const QFont& font, const QPaintDevice& device,
                     double width, int maxLines);

// Height of n lines of font on device.
double LinesHeight(const QFont& font, const QPaintDevice& device, int n);

// Draws lines from top left corner at, one under the other.
void DrawLines(QPainter& painter, const QFont& font, QPointF at, const QStringList& lines);

// "第 N 页 / 共 M 页" centred under the body.
void DrawPageNumber(QPainter& painter, const QRectF& page, int number, int pages);
// The room kept at a page's foot for its number.
double PageFootHeight(const QPaintDevice& device);

// A row of a table that pages: its height and how to draw it in its box.
struct PagedRow {
    double height;
    std::function<void(QPainter&, const QRectF&)> paint;
};

// Places rows down pages under a head (drawn on top of every page, height
// headHeight) and numbers the pages; a row never splits. newPage starts the
// next page and answers false when the device could not. Answers the number
// of pages drawn.
int PaintRowPages(QPainter& painter, const QRectF& page, double headHeight,
                  const std::function<void(QPainter&, const QRectF&)>& head,
                  const std::vector<PagedRow>& rows, const std::function<bool()>& newPage);
