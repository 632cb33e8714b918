#include "ui/summary/summary_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "common/text_encoding.h"

namespace {

constexpr int kProfit = 3;
constexpr int kSales = 0;

}  // namespace

QWidget* MakeSummaryChart(QWidget* area) {
    auto* view = new QChartView(area);
    view->setObjectName(QStringLiteral("图表"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(320);  // room for upright month labels under the bars
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
    sales->setColor(QColor(21, 101, 192));
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
    if (labels.size() > 12) {  // upright and full-sized they would be cut
        categories->setLabelsAngle(-90);
        categories->setTruncateLabels(false);
        QFont small = categories->labelsFont();
        small.setPointSizeF(7);
        categories->setLabelsFont(small);
    }
    auto* values = new QValueAxis;
    values->setRange(low, high > low ? high * 1.05 : low + 1);
    values->setLabelFormat(QStringLiteral("%.0f"));
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
}
