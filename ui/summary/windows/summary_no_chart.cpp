// The Windows build draws no chart: Qt Charts is not built for Windows here.
// The statistics window keeps its table and export; the chart area says why
// it stays empty.
#include <QLabel>
#include <QVBoxLayout>

#include "ui/summary/summary_chart.h"

QWidget* MakeSummaryChart(QWidget* area) {
    auto* note = new QLabel(QStringLiteral("此 Windows 版本不画图表（缺少图表组件 Qt Charts）；"
                                           "统计表和“导出…”照常可用。"),
                            area);
    note->setObjectName(QStringLiteral("图表"));
    note->setAlignment(Qt::AlignCenter);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(note);
    return note;
}

void ShowSummaryChart(QWidget*, const Summary&) {}
