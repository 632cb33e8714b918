#include "ui/orders/totals_label.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// Below this the line would no longer be legible; it is cut instead.
constexpr int kSmallestPixelSize = 8;

}  // namespace

TotalsLabel::TotalsLabel(QWidget* parent) : QLabel(parent) {}

QFont TotalsLabel::FittedFont(int width) const {
    QFont fitted = font();
    const int designSize =
        fitted.pixelSize() > 0 ? fitted.pixelSize() : QFontInfo(fitted).pixelSize();
    for (int size = designSize; size >= kSmallestPixelSize; --size) {
        fitted.setPixelSize(size);
        if (QFontMetrics(fitted).horizontalAdvance(text()) <= width) break;
    }
    return fitted;
}

void TotalsLabel::paintEvent(QPaintEvent*) {
    const QRect area = contentsRect();
    QPainter painter(this);
    painter.setFont(FittedFont(area.width()));
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
}
