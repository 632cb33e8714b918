// 发货单: one slip an order, in the order given; on A4 two columns of three
// slips with dashed lines to cut along, on a 76×130 mm label one slip a page.
// Top down: seller account, order number and its barcode, goods name; the
// waybill with its barcode at the foot when there is one; the delivery
// details and the remark share what room is left, cut with the mark when
// they need more.

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "print/barcode.h"
#include "print/forms.h"
#include "print/page_parts.h"

namespace {

struct SlipStyle {
    int columns, rows;
    double padding;        // mm
    double points;         // the texts' size
    double barcodeHeight;  // mm
    int goodsLines;
};

constexpr SlipStyle kA4Slips{2, 3, 3, 9, 10, 2};
constexpr SlipStyle kLabelSlip{1, 1, 1, 9, 12, 3};

// Narrower modules than this are read badly by handheld scanners; wider than
// the largest makes nothing easier to read.
constexpr double kSmallestModule = 0.3;  // mm
constexpr double kLargestModule = 0.5;

// Draws text's barcode from the top left of room and answers the height it
// took; when it cannot, a line saying why instead.
double DrawBarcode(QPainter& painter, std::string_view text, const QRectF& room, double heightMm,
                   const char* what) {
    const QPaintDevice& device = *painter.device();
    Barcode barcode;
    Status made = MakeCode128(text, barcode);
    const double module = barcode.modules > 0
                              ? std::min(Mm(device, kLargestModule), room.width() / barcode.modules)
                              : 0;
    if (made.ok() && module < Mm(device, kSmallestModule)) {
        made = Status::Failure("太长，印不下", "too long for the slip");
    }
    if (!made.ok()) {
        const QFont font = PrintFont(7);
        const QStringList note =
            WrapText(QString::fromUtf8("（%1无条码：%2）")
                         .arg(QString::fromUtf8(what), QString::fromStdString(made.chinese)),
                     font, device, room.width(), 2);
        DrawLines(painter, font, room.topLeft(), note);
        return LinesHeight(font, device, int(note.size()));
    }
    const double height = Mm(device, heightMm);
    for (const BarcodeBar& bar : barcode.bars) {
        painter.fillRect(
            QRectF(room.left() + bar.x * module, room.top(), bar.width * module, height),
            Qt::black);
    }
    return height;
}

// The lines two texts get of room lines: both whole where they fit, else the
// second at most a third unless the first needs less.
std::pair<int, int> ShareLines(int first, int second, int room) {
    if (first + second <= room) return {first, second};
    if (room <= 0) return {0, 0};
    int secondShare = std::min(second, std::max(1, room / 3));
    if (first < room - secondShare) secondShare = room - first;
    return {std::max(0, room - secondShare), secondShare};
}

void DrawSlip(QPainter& painter, const PrintedOrder& order, const QRectF& box,
              const SlipStyle& style) {
    const QPaintDevice& device = *painter.device();
    const QRectF inner = box.adjusted(Mm(device, style.padding), Mm(device, style.padding),
                                      -Mm(device, style.padding), -Mm(device, style.padding));
    const double width = inner.width();
    const double gap = Mm(device, 1);
    const QFont font = PrintFont(style.points);
    const QFont bold = PrintFont(style.points + 1, true);
    const auto text = [](const char* label, const std::string& gbk) {
        return QString::fromUtf8(label) + PrintedText(gbk);
    };
    double y = inner.top();
    const auto lines = [&](const QFont& f, const QStringList& shown) {
        DrawLines(painter, f, QPointF(inner.left(), y), shown);
        y += LinesHeight(f, device, int(shown.size()));
    };

    lines(font, WrapText(text("卖家账号：", order[kSellerColumn]), font, device, width, 1));
    lines(bold, WrapText(text("订单号：", order[kOrderNumberColumn]), bold, device, width, 2));
    y += DrawBarcode(painter, order[kOrderNumberColumn], QRectF(inner.left(), y, width, 0),
                     style.barcodeHeight, "订单号") +
         gap;
    lines(font,
          WrapText(text("商品名称：", order[kGoodsColumn]), font, device, width, style.goodsLines));

    // The waybill at the foot: its line and barcode.
    double bottom = inner.bottom();
    const std::string& waybill = order[kWaybillColumn];
    if (!waybill.empty()) {
        const QString express = PrintedText(order[kExpressColumn]);
        const QStringList waybillLine =
            WrapText(QString::fromUtf8("运单号：") +
                         (express.isEmpty() ? QString() : express + u' ') + PrintedText(waybill),
                     bold, device, width, 2);
        const double barcodeTop = bottom - Mm(device, style.barcodeHeight);
        const double top = barcodeTop - LinesHeight(bold, device, int(waybillLine.size()));
        if (top > y) {
            DrawLines(painter, bold, QPointF(inner.left(), top), waybillLine);
            DrawBarcode(painter, waybill, QRectF(inner.left(), barcodeTop, width, 0),
                        style.barcodeHeight, "运单号");
            bottom = top - gap;
        }
    }

    const int room = std::max(0, int(std::floor((bottom - y) / LinesHeight(font, device, 1))));
    const QString delivery = text("收货信息：", order[kDeliveryColumn]);
    const QString remark = text("备注：", order[kRemarkColumn]);
    const auto [deliveryLines, remarkLines] =
        ShareLines(int(WrapText(delivery, font, device, width, room + 1).size()),
                   int(WrapText(remark, font, device, width, room + 1).size()), room);
    if (deliveryLines > 0) lines(font, WrapText(delivery, font, device, width, deliveryLines));
    if (remarkLines > 0) lines(font, WrapText(remark, font, device, width, remarkLines));
}

void DrawCutLines(QPainter& painter, const QRectF& box) {
    QPen pen(Qt::gray, Mm(*painter.device(), 0.15), Qt::DashLine);
    painter.setPen(pen);
    painter.drawRect(box);
    painter.setPen(Qt::black);
}

}  // namespace

int PaintPackingSlips(const PrintJob& job, QPainter& painter,
                      const std::function<bool()>& newPage) {
    const QPaintDevice& device = *painter.device();
    const QRectF page(0, 0, device.width(), device.height());
    const bool label = job.paper == PrintPaper::Label76x130;
    const SlipStyle& style = label ? kLabelSlip : kA4Slips;
    const int perPage = style.columns * style.rows;
    const int pages = std::max<int>(1, (int(job.orders.size()) + perPage - 1) / perPage);
    const double slipWidth = page.width() / style.columns;
    const double slipHeight = (page.height() - PageFootHeight(device)) / style.rows;
    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !newPage()) return p;
        for (int s = 0; s < perPage; ++s) {
            const std::size_t o = std::size_t(p) * perPage + s;
            if (o >= job.orders.size()) break;
            const QRectF box(page.left() + (s % style.columns) * slipWidth,
                             page.top() + (s / style.columns) * slipHeight, slipWidth, slipHeight);
            if (!label) DrawCutLines(painter, box);
            DrawSlip(painter, job.orders[o], box, style);
        }
        DrawPageNumber(painter, page, p + 1, pages);
    }
    return pages;
}
