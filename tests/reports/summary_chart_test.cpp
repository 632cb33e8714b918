// What the 统计 chart draws for a summary: every caption in full and apart
// from its neighbours, whole numbers on the value axis, a point of 总售价 for
// each group; and the total
// row's label, which owns up to the orders without a readable date.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSet>
#include <cmath>

#include "common/text_encoding.h"
#include "store/order_summary.h"
#include "ui/summary/summary_chart.h"

namespace {

SummaryRow Group(const char* label, double sales, double profit) {
    SummaryRow row{Gbk(label), 1, {}};
    row.sums[0] = sales;
    row.sums[3] = profit;
    return row;
}

// The texts the chart draws: captions, axis labels, legend.
QStringList DrawnTexts(SummaryChartView* view) {
    QStringList texts;
    for (const SummaryChartView::Text& text : view->DrawnTexts()) texts << text.text;
    return texts;
}

// The first two captions found to overlap or to leave the widget, or empty.
QString CaptionClash(SummaryChartView* view) {
    std::vector<SummaryChartView::Text> captions;
    for (const SummaryChartView::Text& text : view->DrawnTexts()) {
        if (!text.caption) continue;
        if (!view->rect().contains(text.box)) return text.text + " outside";
        for (const SummaryChartView::Text& other : captions) {
            if (other.box.intersects(text.box)) return other.text + " / " + text.text;
        }
        captions.push_back(text);
    }
    return {};
}

// The value axis's labels: the drawn texts that are numbers.
QStringList ValueLabels(const QStringList& texts) {
    QStringList numbers;
    for (const QString& text : texts) {
        bool number = false;
        text.toDouble(&number);
        if (number) numbers << text;
    }
    return numbers;
}

// Days of January with money, then the group of unreadable dates.
std::vector<SummaryRow> Days(int count) {
    std::vector<SummaryRow> days;
    for (int day = 1; day <= count; ++day) {
        const std::string label =
            "2026-01-" + std::string(day < 10 ? "0" : "") + std::to_string(day);
        days.push_back(Group(label.c_str(), day * 10.5, day * 1.5 - 4));
    }
    days.push_back(Group("日期无法识别", 17, 19));
    return days;
}

// Pixels of a colour inside the plot (the legend shows each series' colour too).
int PlotPixelsOf(SummaryChartView* view, QColor colour) {
    const QImage image = view->grab().toImage();
    const QRect plot = view->PlotArea();
    int count = 0;
    for (int y = plot.top(); y <= plot.bottom(); ++y) {
        for (int x = plot.left(); x <= plot.right(); ++x) {
            count += image.valid(x, y) && image.pixelColor(x, y) == colour;
        }
    }
    return count;
}

TEST(SummaryChartTest, DrawsEveryCaptionWholeTicksAndEachSalesPoint) {
    const QColor kSalesColour(21, 101, 192);
    const struct {
        const char* what;
        std::vector<SummaryRow> groups;
    } cases[] = {
        {"days with unreadable dates", Days(11)},
        {"a few days with unreadable dates", Days(5)},
        {"four years of months", Days(47)},
        {"empty range", {}},
        {"one group", {Group("2026-02", 250, 40)}},
        {"sums below one", {Group("2026-01", 0.4, 0.2), Group("2026-02", 0.3, 0.1)}},
    };
    for (const auto& c : cases) {
        QWidget area;
        area.resize(800, 400);
        auto* view = static_cast<SummaryChartView*>(MakeSummaryChart(&area));
        area.show();
        Summary summary;
        summary.groups = c.groups;
        ShowSummaryChart(view, summary);
        QApplication::processEvents();
        const QStringList texts = DrawnTexts(view);

        for (const SummaryRow& group : c.groups) {
            EXPECT_TRUE(texts.contains(QString::fromStdString(GbkToUtf8(group.label))))
                << c.what << ": caption " << GbkToUtf8(group.label) << " in "
                << texts.join('|').toStdString();
        }
        EXPECT_EQ(CaptionClash(view), QString()) << c.what;
        const QStringList values = ValueLabels(texts);
        EXPECT_GE(values.size(), 2) << c.what;
        EXPECT_EQ(QSet<QString>(values.begin(), values.end()).size(), values.size())
            << c.what << ": value labels repeat: " << values.join(',').toStdString();
        for (const QString& value : values) {
            EXPECT_EQ(value.toDouble(), std::round(value.toDouble())) << c.what;
        }
        if (!c.groups.empty()) {
            EXPECT_GT(PlotPixelsOf(view, kSalesColour), 0) << c.what << ": 总售价 not drawn";
        }
    }
}

TEST(SummaryChartTest, TotalRowSaysHowManyOrdersHaveNoReadableDate) {
    const auto source = [](int date, std::int64_t count) {
        SummarySource s;
        s.date = date;
        s.count = count;
        return s;
    };
    const struct {
        const char* what;
        std::vector<SummarySource> sources;
        const char* total;
    } cases[] = {
        {"all dates read", {source(20260203, 2), source(20260110, 1)}, "合计"},
        {"some unreadable",
         {source(20260203, 2), source(0, 3), source(0, 2)},
         "合计（含日期无法识别 5 单）"},
        {"only unreadable", {source(0, 1)}, "合计（含日期无法识别 1 单）"},
        {"none", {}, "合计"},
    };
    for (const auto& c : cases) {
        const Summary summary = Summarise(c.sources, SummaryGrouping::Month, {20260201, 20260228});
        EXPECT_EQ(GbkToUtf8(summary.total.label), c.total) << c.what;
    }
}

}  // namespace
