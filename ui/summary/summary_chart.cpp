#include "ui/summary/summary_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "common/text_encoding.h"

namespace {

constexpr int kProfit = 3;
constexpr int kSales = 0;

// The value axis from low to high in about five whole steps of 1, 2 or 5
// times a power of ten, a tick on each: sums are labelled without decimals,
// and a tick between two whole numbers would repeat one of them.
void ShowWholeSteps(QValueAxis* axis, double low, double high) {
    if (high <= low) high = low + 1;
    double step = std::pow(10.0, std::floor(std::log10((high - low) / 5)));
    for (double times : {1.0, 2.0, 5.0, 10.0}) {
        if ((high - low) / (step * times) <= 6) {
            step *= times;
            break;
        }
    }
    step = std::max(step, 1.0);
    const double from = std::floor(low / step) * step;
    const double to = std::ceil(high / step) * step;
    axis->setRange(from, to);
    axis->setTickCount(static_cast<int>(std::lround((to - from) / step)) + 1);
    axis->setLabelFormat(QStringLiteral("%.0f"));
}

// Captions cut to fit their bars can be cut to nothing: when they do not fit
// side by side in the plot (the view less the value axis and the margins),
// they stand upright instead, smaller when there are many.
void FitCaptions(QChartView* view) {
    QChart* chart = view->chart();
    const QList<QAbstractAxis*> axes =
        chart ? chart->axes(Qt::Horizontal) : QList<QAbstractAxis*>();
    auto* categories = axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis*>(axes.front());
    if (!categories) return;
    const QStringList labels = categories->categories();
    if (labels.isEmpty()) return;
    QFont font = categories->labelsFont();
    if (labels.size() > 12) font.setPointSizeF(7);
    int widest = 0;
    for (const QString& label : labels)
        widest = std::max(widest, QFontMetrics(font).horizontalAdvance(label));
    const int plotWidth = view->width() - 140;
    const bool sideBySide = (widest + 8) * labels.size() <= plotWidth;
    // Qt Charts hides the caption of the first and the last bar when an
    // upright caption is wider than its bar's slot: the font is made small
    // enough for a line to fit the slot.
    const int slot = plotWidth / static_cast<int>(labels.size());
    while (!sideBySide && font.pointSizeF() > 5 && QFontMetrics(font).height() + 2 > slot)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    categories->setTruncateLabels(false);
    if (font != categories->labelsFont()) categories->setLabelsFont(font);
    categories->setLabelsAngle(sideBySide ? 0 : -90);
}

// Fits the captions again whenever the view is resized.
class CaptionFit : public QObject {
  public:
    explicit CaptionFit(QChartView* view) : QObject(view), view_(view) {
        view->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) FitCaptions(view_);
        return false;
    }

  private:
    QChartView* view_;
};

}  // namespace

QWidget* MakeSummaryChart(QWidget* area) {
    auto* view = new QChartView(area);
    view->setObjectName(QStringLiteral("图表"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(320);  // room for upright month labels under the bars
    new CaptionFit(view);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    return view;
}

void ShowSummaryChart(QWidget* chartWidget, const Summary& summary) {
    auto* view = static_cast<QChartView*>(chartWidget);
    const auto& groups = summary.groups;
    const std::size_t first =
        groups.size() > kMostChartGroups ? groups.size() - kMostChartGroups : 0;

    auto* profit = new QBarSet(QStringLiteral("总利润"));
    profit->setColor(QColor(46, 125, 50));
    auto* sales = new QLineSeries;
    sales->setName(QStringLiteral("总售价"));
    // A single group has a point and no line: each point is drawn large
    // enough to be seen on its own.
    QPen salesPen(QColor(21, 101, 192));
    salesPen.setWidthF(2);
    sales->setPen(salesPen);
    sales->setMarkerSize(5);
    sales->setPointsVisible(true);
    QStringList labels;
    double low = 0, high = 0;
    for (std::size_t i = first; i < groups.size(); ++i) {
        const double p = groups[i].sums[kProfit], s = groups[i].sums[kSales];
        *profit << p;
        sales->append(static_cast<double>(i - first), s);
        labels << GbkToQString(groups[i].label);
        low = std::min({low, p, s});
        high = std::max({high, p, s});
    }
    auto* bars = new QBarSeries;
    bars->append(profit);

    auto* chart = new QChart;
    chart->addSeries(bars);
    chart->addSeries(sales);
    chart->setTitle(first > 0 ? QStringLiteral("最近 %1 组").arg(kMostChartGroups) : QString());
    auto* categories = new QBarCategoryAxis;
    categories->append(labels);
    auto* values = new QValueAxis;
    ShowWholeSteps(values, low, high + (high - low) * 0.05);  // the top point whole in sight
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(bars), static_cast<QAbstractSeries*>(sales)}) {
        series->attachAxis(categories);
        series->attachAxis(values);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);

    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
    FitCaptions(view);
}
