#pragma once
// The picture of a summary: a bar of 总利润 and a point of a line of 总售价 for
// each group, in the table's order, drawn with Qt's own painting (the same
// on every platform; no chart library).

#include <QRect>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "store/order_summary.h"

// At most this many groups are drawn, the last ones; the table has them all.
inline constexpr int kMostChartGroups = 60;

class SummaryChartView : public QWidget {
  public:
    explicit SummaryChartView(QWidget* parent = nullptr);

    // Replaces what the chart shows.
    void Show(const Summary& summary);

    // A text the chart draws at its size now, where, and how it stands.
    struct Text {
        QString text;
        QRect box;  // the room it takes, in the widget
        bool upright = false;
        bool caption = false;  // a group's caption under its bar
    };
    // Every text drawn (captions, value labels, title, legend).
    std::vector<Text> DrawnTexts() const;
    // The rectangle the bars and the line are drawn in.
    QRect PlotArea() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Group {
        QString label;
        double profit = 0;
        double sales = 0;
    };
    struct Layout;
    Layout Arrange() const;

    std::vector<Group> groups_;
    QString title_;
};

// The chart, named "图表", filling the window's chart area.
QWidget* MakeSummaryChart(QWidget* area);
// Replaces what the chart shows.
void ShowSummaryChart(QWidget* chart, const Summary& summary);
