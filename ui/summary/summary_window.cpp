#include "ui/summary/summary_window.h"

#include <QDate>
#include <QHeaderView>
#include <QPointer>

#include "common/date_parts.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "platform/files.h"
#include "store/ledger.h"
#include "ui/save_file_dialog.h"
#include "ui/summary/summary_chart.h"
#include "ui/summary/summary_export.h"
#include "ui/window_frame.h"
#include "ui_summary.h"

namespace {

constexpr int kGroupColumns = 6;

QDate Today() {
    const DateTimeParts now = SplitDateTime(CurrentDateTime());
    return QDate(now.year, now.month, now.day);
}

int DayNumber(const QDate& date) { return date.year() * 10000 + date.month() * 100 + date.day(); }

QDate DateOf(int day) { return QDate(day / 10000, day / 100 % 100, day % 100); }

// The first and last day of this month (0), last month (-1) and so on.
DateRange MonthOf(int monthsFromNow) {
    const QDate today = Today();
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(monthsFromNow);
    return {DayNumber(first), DayNumber(first.addMonths(1).addDays(-1))};
}

QPointer<SummaryWindow>& OpenWindow() {
    static QPointer<SummaryWindow> window;
    return window;
}

QString GroupHeader(int grouping) {
    static const char* const kHeaders[] = {"月份", "日期", "卖家账号", "快递公司"};
    return QString::fromUtf8(kHeaders[grouping]);
}

}  // namespace

SummaryWindow::SummaryWindow() : ui_(std::make_unique<Ui::SummaryWindow>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    chart_ = MakeSummaryChart(ui_->图表区);
    for (QDateEdit* edit : {ui_->开始日期, ui_->结束日期}) {
        edit->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));  // every readable date
    }
    ui_->统计表->setColumnCount(kGroupColumns);
    ui_->统计表->verticalHeader()->hide();

    connect(ui_->本月按钮, &QPushButton::clicked, this, &SummaryWindow::ThisMonthClicked);
    connect(ui_->上月按钮, &QPushButton::clicked, this, &SummaryWindow::LastMonthClicked);
    connect(ui_->今年按钮, &QPushButton::clicked, this, &SummaryWindow::ThisYearClicked);
    connect(ui_->全部按钮, &QPushButton::clicked, this, &SummaryWindow::WholeRangeClicked);
    connect(ui_->开始日期, &QDateEdit::dateChanged, this, &SummaryWindow::Refresh);
    connect(ui_->结束日期, &QDateEdit::dateChanged, this, &SummaryWindow::Refresh);
    connect(ui_->分组框, &QComboBox::currentIndexChanged, this, &SummaryWindow::Refresh);
    connect(ui_->导出按钮, &QPushButton::clicked, this, &SummaryWindow::ExportClicked);
}

SummaryWindow::~SummaryWindow() = default;

bool SummaryWindow::Load(const OrderSearchTexts& inputs, const std::string& filter) {
    const std::string path = DatabasePath();
    if (TeamLedgerConnection().empty() && !PathExists(path)) {
        ShowMessage(Gbk("数据库不存在"), kMbOk, Gbk("警告"));
        return false;
    }
    inputs_ = inputs;
    filter_ = filter;
    if (!OpenLedger(外部数据库1)) {
        ShowDatabaseError(外部数据库1.LastError());
        return false;
    }
    const bool byName = ui_->分组框->currentIndex() >= static_cast<int>(SummaryGrouping::Seller);
    if (!ReadSources(byName ? SummaryDetail::DatesAndNames : SummaryDetail::DatesOnly)) {
        return false;
    }
    ShowThisMonth();
    WholeRangeClicked();
    return true;
}

// Grouping by month or day needs the dates only; the names are read the
// first time a grouping by them is chosen.
bool SummaryWindow::ReadSources(SummaryDetail detail) {
    if (!ReadSummarySources(外部数据库1, inputs_, filter_, detail, sources_)) {
        sources_.clear();
        ShowDatabaseError(外部数据库1.LastError());
        return false;
    }
    namesRead_ = detail == SummaryDetail::DatesAndNames;
    return true;
}

void SummaryWindow::ThisMonthClicked() {
    const DateRange month = MonthOf(0);
    SetRange(month.from, month.to);
}

void SummaryWindow::LastMonthClicked() {
    const DateRange month = MonthOf(-1);
    SetRange(month.from, month.to);
}

void SummaryWindow::ThisYearClicked() {
    const int year = Today().year();
    SetRange(year * 10000 + 101, year * 10000 + 1231);
}

void SummaryWindow::WholeRangeClicked() {
    const DateRange span = DatesSpanned(sources_);
    const int today = DayNumber(Today());
    SetRange(span.from ? span.from : today, span.to ? span.to : today);
}

void SummaryWindow::SetRange(int from, int to) {
    {
        const QSignalBlocker blockFrom(ui_->开始日期);
        const QSignalBlocker blockTo(ui_->结束日期);
        ui_->开始日期->setDate(DateOf(from));
        ui_->结束日期->setDate(DateOf(to));
    }
    Refresh();
}

void SummaryWindow::Refresh() {
    const int grouping = ui_->分组框->currentIndex();
    if (grouping >= static_cast<int>(SummaryGrouping::Seller) && !namesRead_ &&
        !ReadSources(SummaryDetail::DatesAndNames)) {
        return;
    }
    const Summary summary =
        Summarise(sources_, static_cast<SummaryGrouping>(grouping),
                  {DayNumber(ui_->开始日期->date()), DayNumber(ui_->结束日期->date())});
    ui_->统计表->setHorizontalHeaderLabels({GroupHeader(grouping), QStringLiteral("单数"),
                                            QStringLiteral("总售价"), QStringLiteral("总进价"),
                                            QStringLiteral("总佣金"), QStringLiteral("总利润")});
    FillTable(summary);
    ShowSummaryChart(chart_, summary);
    shown_ = summary;
}

void SummaryWindow::ExportClicked() {
    const QString suggested =
        QStringLiteral("统计-%1.xlsx").arg(Today().toString(QStringLiteral("yyyyMMdd")));
    const QString path = AskSaveFileName(this, QStringLiteral("导出统计"), suggested,
                                         QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (path.isEmpty()) return;
    // The dialog asked before a file of that name is replaced.
    CustomerDataFile file(NativePathOfUtf8(path.toStdString()), NativePath(DatabasePath()),
                          Existing::Replace);
    std::string error;
    const std::string header = GroupHeader(ui_->分组框->currentIndex()).toStdString();
    if (!WriteSummaryWorkbook(shown_, header, file, error)) {
        ShowMessage(Gbk("导出失败：") + Gbk(error), kMbOk, Gbk("错误"));  // error is UTF-8
        return;
    }
    ShowMessage(Gbk("已导出到 ") + QStringToGbk(path), kMbOk, Gbk("统计"));
}

void SummaryWindow::FillTable(const Summary& summary) {
    QTableWidget* table = ui_->统计表;
    table->setRowCount(static_cast<int>(summary.groups.size()) + 1);
    auto fillRow = [table](int row, const SummaryRow& values) {
        QStringList cells = {GbkToQString(values.label), GbkToQString(IntegerToText(values.count))};
        for (int sum = 0; sum < 4; ++sum) cells << GbkToQString(SummaryMoneyText(values, sum));
        for (int column = 0; column < kGroupColumns; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    };
    int row = 0;
    for (const SummaryRow& group : summary.groups) fillRow(row++, group);
    fillRow(row, summary.total);
    QFont bold = table->font();
    bold.setBold(true);
    for (int column = 0; column < kGroupColumns; ++column) table->item(row, column)->setFont(bold);
    table->horizontalHeader()->setMinimumSectionSize(90);
    table->resizeColumnsToContents();
}

// This month's profit stays in sight whatever range is chosen; orders whose
// date cannot be read are not this month's.
void SummaryWindow::ShowThisMonth() {
    const Summary month = Summarise(sources_, SummaryGrouping::Month, MonthOf(0));
    SummaryRow row;
    if (!month.groups.empty() && month.groups.front().label != Gbk(kUnreadableDates)) {
        row = month.groups.front();
    }
    ui_->本月利润->setText(QStringLiteral("本月（%1）：%2 单，总利润 %3 元")
                               .arg(Today().toString(QStringLiteral("yyyy-MM")))
                               .arg(row.count)
                               .arg(GbkToQString(DoubleToText(row.sums[3]))));
}

void OpenSummaryWindow(const OrderSearchTexts& inputs, const std::string& filter) {
    QPointer<SummaryWindow>& window = OpenWindow();
    if (!window) window = new SummaryWindow;
    if (!window->Load(inputs, filter)) {
        window->close();
        return;
    }
    if (!window->isVisible()) ShowInDesignFrame(window, 820, 620, false);
    window->raise();
    window->activateWindow();
}
