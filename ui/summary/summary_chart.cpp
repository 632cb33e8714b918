#include "ui/summary/summary_chart.h"

#include <QFontMetrics>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "common/text_encoding.h"

namespace {

constexpr int kProfit = 3;
constexpr int kSales = 0;
const QColor kProfitColour(46, 125, 50);
const QColor kSalesColour(21, 101, 192);
constexpr int kMargin = 10;
constexpr int kMarkerSize = 5;

// The value axis from low to high in about five whole steps of 1, 2 or 5
// times a power of ten, a tick on each: sums are labelled without decimals,
// and a tick between two whole numbers would repeat one of them.
struct Steps {
    double from = 0;
    double to = 1;
    double step = 1;
};
Steps WholeSteps(double low, double high) {
    if (high <= low) high = low + 1;
    double step = std::pow(10.0, std::floor(std::log10((high - low) / 5)));
    for (double times : {1.0, 2.0, 5.0, 10.0}) {
        if ((high - low) / (step * times) <= 6) {
            step *= times;
            break;
        }
    }
    step = std::max(step, 1.0);
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

}  // namespace

// Where everything goes at the widget's size now: painting and DrawnTexts
// both read it, so what a caller is told is what is drawn.
struct SummaryChartView::Layout {
    QRect plot;
    Steps steps;
    QFont captionFont;
    bool upright = false;
    std::vector<Text> texts;
    QRect profitKey, salesKey;  // the legend's colour samples

    // The y of a value in the plot.
    double Y(double value) const {
        return plot.bottom() - (value - steps.from) / (steps.to - steps.from) * plot.height();
    }
    // The x of the middle of group i's slot.
    double X(std::size_t i, std::size_t count) const {
        return plot.left() + (static_cast<double>(i) + 0.5) * plot.width() / count;
    }
};

SummaryChartView::SummaryChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("图表"));
    setMinimumHeight(320);  // room for upright month labels under the bars
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

void SummaryChartView::Show(const Summary& summary) {
    const auto& groups = summary.groups;
    const std::size_t first =
        groups.size() > kMostChartGroups ? groups.size() - kMostChartGroups : 0;
    groups_.clear();
    for (std::size_t i = first; i < groups.size(); ++i) {
        groups_.push_back(
            {GbkToQString(groups[i].label), groups[i].sums[kProfit], groups[i].sums[kSales]});
    }
    title_ = first > 0 ? QStringLiteral("最近 %1 组").arg(kMostChartGroups) : QString();
    update();
}

SummaryChartView::Layout SummaryChartView::Arrange() const {
    Layout layout;
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    double low = 0, high = 0;
    for (const Group& g : groups_) {
        low = std::min({low, g.profit, g.sales});
        high = std::max({high, g.profit, g.sales});
    }
    layout.steps = WholeSteps(low, high + (high - low) * 0.05);  // the top point whole in sight
    const Steps& s = layout.steps;
    const int ticks = static_cast<int>(std::lround((s.to - s.from) / s.step)) + 1;
    QStringList values;
    int valueWidth = 0;
    for (int i = 0; i < ticks; ++i) {
        values << QString::number(s.from + i * s.step, 'f', 0);
        valueWidth = std::max(valueWidth, metrics.horizontalAdvance(values.back()));
    }

    // The legend: a sample and a name for each series, side by side,
    // centred under everything.
    const QString profitName = QStringLiteral("总利润"), salesName = QStringLiteral("总售价");
    const int legendWidth = 2 * (line + 4) + metrics.horizontalAdvance(profitName) +
                            metrics.horizontalAdvance(salesName) + 3 * line;
    const int legendTop = height() - kMargin - line;
    int x = (width() - legendWidth) / 2;
    layout.profitKey = QRect(x, legendTop + 2, line - 4, line - 4);
    x += line + 4;
    layout.texts.push_back(
        {profitName, QRect(x, legendTop, metrics.horizontalAdvance(profitName), line)});
    x += metrics.horizontalAdvance(profitName) + 3 * line;
    layout.salesKey = QRect(x, legendTop + 2, line - 4, line - 4);
    x += line + 4;
    layout.texts.push_back(
        {salesName, QRect(x, legendTop, metrics.horizontalAdvance(salesName), line)});

    // Captions under the bars: side by side when they fit, else upright,
    // smaller when there are many, and small enough for a line to fit its
    // bar's slot, so that none is hidden or overlaps its neighbour.
    QFont captionFont = font();
    if (groups_.size() > 12) captionFont.setPointSizeF(7);
    const int plotLeft = kMargin + valueWidth + 6;
    const int plotWidth = std::max(1, width() - plotLeft - 2 * kMargin);
    const int count = std::max<int>(1, static_cast<int>(groups_.size()));
    int widest = 0;
    for (const Group& g : groups_) {
        widest = std::max(widest, QFontMetrics(captionFont).horizontalAdvance(g.label));
    }
    layout.upright = (widest + 8) * count > plotWidth;
    const int slot = plotWidth / count;
    while (layout.upright && captionFont.pointSizeF() > 5 &&
           QFontMetrics(captionFont).height() + 2 > slot) {
        captionFont.setPointSizeF(captionFont.pointSizeF() - 0.5);
    }
    layout.captionFont = captionFont;
    const QFontMetrics captionMetrics(captionFont);
    widest = 0;
    for (const Group& g : groups_)
        widest = std::max(widest, captionMetrics.horizontalAdvance(g.label));
    const int captionHeight = layout.upright ? widest : captionMetrics.height();

    const int top = kMargin + (title_.isEmpty() ? line / 2 : line + 6);
    const int bottom = legendTop - kMargin - captionHeight - 4;
    layout.plot =
        QRect(QPoint(plotLeft, top), QPoint(plotLeft + plotWidth - 1, std::max(top + 1, bottom)));
    if (!title_.isEmpty()) {
        const int w = metrics.horizontalAdvance(title_);
        layout.texts.push_back({title_, QRect((width() - w) / 2, kMargin, w, line)});
    }
    for (int i = 0; i < ticks; ++i) {
        const int y = static_cast<int>(std::lround(layout.Y(s.from + i * s.step)));
        const int w = metrics.horizontalAdvance(values[i]);
        layout.texts.push_back({values[i], QRect(plotLeft - 6 - w, y - line / 2, w, line)});
    }
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        const int middle = static_cast<int>(std::lround(layout.X(i, groups_.size())));
        const int w = captionMetrics.horizontalAdvance(groups_[i].label);
        const int h = captionMetrics.height();
        const int y = layout.plot.bottom() + 4;
        layout.texts.push_back(
            layout.upright ? Text{groups_[i].label, QRect(middle - h / 2, y, h, w), true, true}
                           : Text{groups_[i].label, QRect(middle - w / 2, y, w, h), false, true});
    }
    return layout;
}

std::vector<SummaryChartView::Text> SummaryChartView::DrawnTexts() const { return Arrange().texts; }

QRect SummaryChartView::PlotArea() const { return Arrange().plot; }

void SummaryChartView::paintEvent(QPaintEvent*) {
    const Layout layout = Arrange();
    QPainter painter(this);
    const QRect& plot = layout.plot;
    const std::size_t count = groups_.size();

    // Grid lines at the ticks, the zero line darker.
    const Steps& s = layout.steps;
    for (double v = s.from; v <= s.to + s.step / 2; v += s.step) {
        const int y = static_cast<int>(std::lround(layout.Y(v)));
        painter.setPen(v == 0 ? QColor(120, 120, 120) : QColor(225, 225, 225));
        painter.drawLine(plot.left(), y, plot.right(), y);
    }

    // Bars from zero, solid: their colour is exact, no smoothing at the edges.
    const double zero = layout.Y(std::clamp(0.0, s.from, s.to));
    for (std::size_t i = 0; count > 0 && i < count; ++i) {
        const double slot = static_cast<double>(plot.width()) / count;
        const double barWidth = std::max(1.0, slot * 0.6);
        const double y = layout.Y(groups_[i].profit);
        painter.fillRect(QRectF(layout.X(i, count) - barWidth / 2, std::min(y, zero), barWidth,
                                std::max(1.0, std::abs(zero - y))),
                         kProfitColour);
    }

    // The line of 总售价, smooth, with a point on each group: a single group
    // has a point and no line, drawn large enough to be seen on its own.
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen salesPen(kSalesColour);
    salesPen.setWidthF(2);
    painter.setPen(salesPen);
    for (std::size_t i = 1; i < count; ++i) {
        painter.drawLine(QPointF(layout.X(i - 1, count), layout.Y(groups_[i - 1].sales)),
                         QPointF(layout.X(i, count), layout.Y(groups_[i].sales)));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSalesColour);
    for (std::size_t i = 0; i < count; ++i) {
        const QPoint centre(static_cast<int>(std::lround(layout.X(i, count))),
                            static_cast<int>(std::lround(layout.Y(groups_[i].sales))));
        painter.drawEllipse(centre, kMarkerSize / 2 + 1, kMarkerSize / 2 + 1);
    }

    // The legend's samples, then every text.
    painter.fillRect(layout.profitKey, kProfitColour);
    painter.fillRect(layout.salesKey.adjusted(0, layout.salesKey.height() / 2 - 1, 0,
                                              -(layout.salesKey.height() / 2 - 1)),
                     kSalesColour);
    painter.setPen(palette().color(QPalette::WindowText));
    for (const Text& text : layout.texts) {
        painter.setFont(text.caption ? layout.captionFont : font());
        if (text.upright) {
            painter.save();
            // Reading from the bottom up, its end at the axis.
            painter.translate(text.box.left(), text.box.top());
            painter.rotate(-90);
            painter.drawText(QRect(-text.box.height(), 0, text.box.height(), text.box.width()),
                             Qt::AlignRight | Qt::AlignVCenter, text.text);
            painter.restore();
        } else {
            painter.drawText(text.box, Qt::AlignCenter, text.text);
        }
    }
}

QWidget* MakeSummaryChart(QWidget* area) {
    auto* view = new SummaryChartView(area);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    return view;
}

void ShowSummaryChart(QWidget* chart, const Summary& summary) {
    static_cast<SummaryChartView*>(chart)->Show(summary);
}
