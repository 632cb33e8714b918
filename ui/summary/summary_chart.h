#pragma once
// The picture of a summary: a bar of 总利润 and a point of a line of 总售价 for
// each group, in the table's order.

#include "store/order_summary.h"

class QWidget;

// At most this many groups are drawn, the last ones; the table has them all.
inline constexpr int kMostChartGroups = 60;

// The chart, named "图表", filling the window's chart area.
QWidget* MakeSummaryChart(QWidget* area);
// Replaces what the chart shows.
void ShowSummaryChart(QWidget* chart, const Summary& summary);
