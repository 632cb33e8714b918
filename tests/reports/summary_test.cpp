// "统计…": the summary of the main window's search, read from a ledger with
// dates and money texts as users type them.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "common/date_parts.h"
#include "reports_fixture.h"
#include "tests/admin/admin_run.h"
#include "tests/settings/temp_directory.h"
#include "ui/save_file_dialog.h"
#include "ui/summary/summary_chart.h"

namespace {

class SummaryTest : public ReportsTest {
  protected:
    void SetUp() override {
        ReportsTest::SetUp();
        SetClockForTesting([] { return MakeDateTime(2026, 2, 15, 10, 0, 0); });
        // date, seller, 售价, 进价, 佣金, 利润, 备注
        const std::vector<std::vector<std::string>> orders = {
            {"2026-1-9", "店铺甲", "12.5", "10", "0.3", "2.2", ""},
            {"2026-01-09", "店铺乙", " 7", "5.5", "", "1.5", "问题件"},
            {"2026/1/9", "店铺甲", "1e2", "80", "1", "19", ""},
            {"2026年1月31日", "店铺甲", "3,000", "2", "x", "0.98", ""},
            {" 2026-2-3 10:15", "店铺乙", "-4.25", "abc", "0.1", "-0.35", "问题"},
            {"2025-12-31", "店铺甲", "0.1", "0.2", "0.3", "0.7", ""},
            {"2026-2-30", "店铺甲", "１２", "1", "", "11", ""},
            {"0150-3-1", "店铺乙", "0", "0", "0", "0", ""},
            {"昨天", "店铺乙", "5", "", "", "5", "问题"},
            {"", "店铺甲", "0x10", "3", "", "3", ""},
        };
        for (const auto& o : orders) {
            ledger.AddOrder({{"订单日期", o[0]},
                             {"卖家账号", o[1]},
                             {"售价", o[2]},
                             {"进价", o[3]},
                             {"佣金", o[4]},
                             {"利润", o[5]},
                             {"备注", o[6]}});
        }
    }
    void TearDown() override {
        SetClockForTesting({});
        ReportsTest::TearDown();
    }

    QWidget* OpenSummary(OrdersWindow* orders) {
        Named<QAction>(orders, "统计…")->trigger();
        QWidget* window = TopLevel("SummaryWindow");
        EXPECT_NE(window, nullptr);
        return window;
    }
    static QTableWidget* Table(QWidget* window) {
        return window->findChild<QTableWidget*>(QString::fromUtf8("统计表"));
    }
    static void Click(QWidget* window, const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(QString::fromUtf8(button)),
                          Qt::LeftButton);
    }
    static void Group(QWidget* window, int by) {
        window->findChild<QComboBox*>(QString::fromUtf8("分组框"))->setCurrentIndex(by);
    }
};

// Label and 单数 of each row, the total row last.
std::vector<std::pair<QString, QString>> Counts(QTableWidget* table) {
    std::vector<std::pair<QString, QString>> counts;
    for (int row = 0; row < table->rowCount(); ++row) {
        counts.emplace_back(table->item(row, 0)->text(), table->item(row, 1)->text());
    }
    return counts;
}

TEST_F(SummaryTest, TotalRowEqualsTheTotalsLineForTheSameOrders) {
    OrdersWindow* orders = OpenOrders();
    const struct {
        const char* label;
        const char* seller;  // typed into the main window's 卖家账号
        const char* button;  // then clicked there
        const char* total;   // the total row's label
    } searches[] = {
        {"all", "", "查询按钮", "合计（含日期无法识别 3 单）"},
        {"seller", "店铺甲", "查询按钮", "合计（含日期无法识别 2 单）"},
        {"problem filter", "", "按钮3", "合计（含日期无法识别 1 单）"},
    };
    for (const auto& search : searches) {
        Named<QComboBox>(orders, "组合框1")->setCurrentText(QString::fromUtf8(search.seller));
        Click(orders, search.button);
        QWidget* window = OpenSummary(orders);
        ASSERT_NE(window, nullptr) << search.label;
        Click(window, "全部按钮");
        const QStringList total = Cells(Table(window)).back();
        EXPECT_EQ(total[0].toStdString(), search.total) << search.label;
        const QString line = QStringLiteral(
                                 "记录：当前有%1单  总售价：%2元  总进价：%3元  "
                                 "总佣金：%4元  总利润：%5元")
                                 .arg(total[1], total[2], total[3], total[4], total[5]);
        EXPECT_EQ(line, Named<QLabel>(orders, "标签10")->text()) << search.label;
        window->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SummaryTest, GroupsByMonthDaySellerWithinTheRangeAndKeepsUnreadableDates) {
    // Every range's total holds the three orders whose date cannot be read.
    const char* const kTotal = "合计（含日期无法识别 3 单）";
    QWidget* window = OpenSummary(OpenOrders());
    ASSERT_NE(window, nullptr);
    using Rows = std::vector<std::pair<QString, QString>>;
    auto row = [](const char* label, const char* count) {
        return std::make_pair(QString::fromUtf8(label), QString::fromUtf8(count));
    };
    const struct {
        const char* button;
        int grouping;
        Rows expected;
    } cases[] = {
        {"全部按钮",
         0,
         {row("0150-03", "1"), row("2025-12", "1"), row("2026-01", "4"), row("2026-02", "1"),
          row("日期无法识别", "3"), row(kTotal, "10")}},
        {"全部按钮",
         1,
         {row("0150-03-01", "1"), row("2025-12-31", "1"), row("2026-01-09", "3"),
          row("2026-01-31", "1"), row("2026-02-03", "1"), row("日期无法识别", "3"),
          row(kTotal, "10")}},
        {"本月按钮", 0, {row("2026-02", "1"), row("日期无法识别", "3"), row(kTotal, "4")}},
        {"上月按钮",
         2,
         {row("店铺甲", "3"), row("店铺乙", "1"), row("日期无法识别", "3"), row(kTotal, "7")}},
        {"今年按钮",
         0,
         {row("2026-01", "4"), row("2026-02", "1"), row("日期无法识别", "3"), row(kTotal, "8")}},
    };
    for (const auto& c : cases) {
        Group(window, c.grouping);
        Click(window, c.button);
        EXPECT_EQ(Counts(Table(window)), c.expected) << c.button << " " << c.grouping;
    }
    // January's money by the totals line's rule: " 7" is 7, "1e2" 100, "3,000" 3.
    Group(window, 0);
    Click(window, "上月按钮");
    EXPECT_EQ(Cells(Table(window)).front(),
              QStringList({"2026-01", "4", "122.5", "97.5", "1.3", "23.68"}));
    EXPECT_NE(window->findChild<QLabel*>(QString::fromUtf8("本月利润"))->text().indexOf("-0.35"),
              -1);
}

TEST_F(SummaryTest, ChartDrawsABarOfProfitPerGroup) {
    QWidget* window = OpenSummary(OpenOrders());
    ASSERT_NE(window, nullptr);
    window->resize(820, 620);
    Click(window, "全部按钮");
    QApplication::processEvents();
    auto* view = window->findChild<SummaryChartView*>(QString::fromUtf8("图表"));
    ASSERT_NE(view, nullptr);
    const QImage image = view->grab().toImage();
    if (qEnvironmentVariableIsSet("TALLOVAR_SHOT")) window->grab().save(qgetenv("TALLOVAR_SHOT"));
    // Bars are solid rectangles of their colour; count the columns they cover.
    int barColumns = 0;
    for (int x = 0; x < image.width(); ++x) {
        int run = 0;
        for (int y = 0; y < image.height() && run < 4; ++y) {
            run = image.pixelColor(x, y) == QColor(46, 125, 50) ? run + 1 : 0;
        }
        if (run >= 4) ++barColumns;
    }
    EXPECT_GT(barColumns, 20) << "the bars of four groups";
}

// The exported workbook holds what the table shows, as a spreadsheet reader
// reads it back: texts as texts, counts and sums as numbers.
TEST_F(SummaryTest, ExportWritesTheTableToAWorkbook) {
    QWidget* window = OpenSummary(OpenOrders());
    ASSERT_NE(window, nullptr);
    Group(window, 2);
    Click(window, "全部按钮");
    const std::string path = ledger.Directory() + "/统计.xlsx";
    QString suggested;
    SetSaveFileDialogForTesting([&](const QString& name) {
        suggested = name;
        return QString::fromStdString(path);
    });
    Click(window, "导出按钮");
    SetSaveFileDialogForTesting({});
    EXPECT_EQ(suggested, QStringLiteral("统计-20260215.xlsx"));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "已导出到 " + path);
    // Sellers' names: for the owner only, as every export.
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    const AdminRun read = RunShell(
        // The Debian package python3-openpyxl, for the system interpreter.
        "/usr/bin/python3 -c \"import openpyxl, sys\n"
        "for row in openpyxl.load_workbook(sys.argv[1]).active.iter_rows(values_only=True):\n"
        "    print('|'.join('' if v is None else v if isinstance(v, str) else '%.13g' % v "
        "for v in row))\" '" +
        path + "'");
    ASSERT_EQ(read.exitCode, 0) << read.output;
    QString expected = QStringLiteral("卖家账号|单数|总售价|总进价|总佣金|总利润\n");
    for (const QStringList& row : Cells(Table(window))) expected += row.join('|') + "\n";
    EXPECT_EQ(QString::fromStdString(read.output), expected);

    // The ledger itself is never written over, whatever name is chosen.
    const std::string ledgerBytes = ReadBytes(ledger.DatabaseFile());
    SetSaveFileDialogForTesting(
        [&](const QString&) { return QString::fromStdString(ledger.DatabaseFile()); });
    Click(window, "导出按钮");
    SetSaveFileDialogForTesting({});
    EXPECT_EQ(ReadBytes(ledger.DatabaseFile()), ledgerBytes);
    EXPECT_EQ(messages.back().rfind("导出失败：", 0), 0u) << messages.back();
}

}  // namespace
