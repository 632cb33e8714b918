// 订单列表: the list's columns on A4 landscape, a cell wrapping within its
// column up to a few lines, the header row on top of every page, the totals
// line after the last order.

#include <QPainter>
#include <algorithm>

#include "print/forms.h"
#include "print/page_parts.h"
#include "store/ledger_schema.h"

namespace {

// Widths of the printed columns in millimetres, in the list's order (ID is
// not printed); together the width of A4 landscape within its margins, and
// shared out in these proportions where a printer leaves less. The number
// columns hold a 19-digit number on one line.
constexpr double kColumnWidths[] = {17, 29, 13, 27, 34, 12, 12, 11, 11, 17, 15, 25, 36, 18};
constexpr double kTableWidth = 277;
constexpr int kFirstColumn = 1;
constexpr int kCellLines = 6;  // a cell's most lines; more is cut with the mark
constexpr double kCellPadding = 0.7;
constexpr double kCellPoints = 7;

struct Cells {
    std::vector<QStringList> lines;  // a column's lines
    int most = 1;
};

// A column's width on the page, in device units.
double ColumnWidth(const QPaintDevice& device, std::size_t c) {
    return std::min(Mm(device, kColumnWidths[c]), device.width() * kColumnWidths[c] / kTableWidth);
}

Cells LayOut(const std::vector<QString>& texts, const QFont& font, const QPaintDevice& device,
             int maxLines) {
    Cells cells;
    for (std::size_t c = 0; c < texts.size(); ++c) {
        const double width = ColumnWidth(device, c) - Mm(device, 2 * kCellPadding);
        cells.lines.push_back(WrapText(texts[c], font, device, width, maxLines));
        cells.most = std::max(cells.most, int(cells.lines.back().size()));
    }
    return cells;
}

void DrawCells(QPainter& painter, const QFont& font, const Cells& cells, const QRectF& box) {
    const QPaintDevice& device = *painter.device();
    painter.setPen(QPen(Qt::gray, Mm(device, 0.1)));
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.setPen(Qt::black);
    double x = box.left();
    for (std::size_t c = 0; c < cells.lines.size(); ++c) {
        DrawLines(painter, font, QPointF(x + Mm(device, kCellPadding), box.top() + Mm(device, 0.5)),
                  cells.lines[c]);
        x += ColumnWidth(device, c);
    }
}

PagedRow CellRow(std::vector<QString> texts, const QFont& font, const QPaintDevice& device,
                 int maxLines) {
    auto cells = std::make_shared<Cells>(LayOut(texts, font, device, maxLines));
    const double height = LinesHeight(font, device, cells->most) + Mm(device, 1);
    return {height, [cells, font](QPainter& painter, const QRectF& box) {
                DrawCells(painter, font, *cells, box);
            }};
}

}  // namespace

int PaintOrderList(const PrintJob& job, QPainter& painter, const std::function<bool()>& newPage) {
    const QPaintDevice& device = *painter.device();
    const QRectF page(0, 0, device.width(), device.height());
    const QFont font = PrintFont(kCellPoints);
    const QFont titleFont = PrintFont(11, true);

    std::vector<QString> headers;
    const auto& columns = OrderListColumns();
    for (std::size_t c = kFirstColumn; c < columns.size(); ++c) {
        headers.push_back(PrintedText(columns[c].name));
    }
    const PagedRow header = CellRow(headers, PrintFont(kCellPoints, true), device, 2);
    const QString title = QString::fromUtf8("订单列表    共 %1 单    %2")
                              .arg(job.orders.size())
                              .arg(job.printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    const double titleHeight = LinesHeight(titleFont, device, 1) + Mm(device, 2);

    std::vector<PagedRow> rows;
    rows.reserve(job.orders.size() + 1);
    std::vector<QString> texts(std::size(kColumnWidths));
    for (const PrintedOrder& order : job.orders) {
        for (std::size_t c = 0; c < texts.size(); ++c)
            texts[c] = PrintedText(order[c + kFirstColumn]);
        rows.push_back(CellRow(texts, font, device, kCellLines));
    }
    const QStringList totals = WrapText(PrintedText(OrderTotalsLine(job.totals)),
                                        PrintFont(9, true), device, page.width(), 3);
    rows.push_back({LinesHeight(PrintFont(9, true), device, int(totals.size())) + Mm(device, 2),
                    [totals](QPainter& painter, const QRectF& box) {
                        DrawLines(painter, PrintFont(9, true),
                                  box.topLeft() + QPointF(0, Mm(*painter.device(), 2)), totals);
                    }});

    const auto head = [&](QPainter& painter, const QRectF& box) {
        DrawLines(painter, titleFont, box.topLeft(), {title});
        QRectF headerBox(box.left(), box.top() + titleHeight, box.width(), header.height);
        painter.fillRect(headerBox, QColor(230, 230, 230));
        header.paint(painter, headerBox);
    };
    return PaintRowPages(painter, page, titleHeight + header.height, head, rows, newPage);
}
