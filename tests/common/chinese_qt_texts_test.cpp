// Texts that Qt draws itself, on a system whose language is not Chinese
// (ctest runs this program with LC_ALL=C): after the start-up step that every
// program with windows takes, the date box's calendar and the file dialog
// read Chinese.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QFileDialog>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>

#include "ui/window_frame.h"

namespace {

// The day names over the calendar's columns, as drawn from left to right.
QString CalendarDays(QCalendarWidget* calendar) {
    auto* view = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    if (!view) return QStringLiteral("(no calendar view)");
    const QAbstractItemModel* model = view->model();
    QStringList days;
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString day = model->data(model->index(0, column)).toString();
        if (!day.isEmpty()) days << day;  // the week numbers' column has none
    }
    return days.join(' ');
}

QString FileDialogColumn(int column) {
    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);  // as the application asks, below
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view) return QStringLiteral("(no list)");
    return view->model()->headerData(column, Qt::Horizontal).toString();
}

TEST(ChineseQtTexts, CalendarAndFileDialogReadChineseOnAnEnglishSystem) {
    ASSERT_NE(QLocale::system().language(), QLocale::Chinese) << "run with LC_ALL=C, as ctest does";
    InstallChineseQtTexts();

    QDateEdit edit(QDate(2026, 2, 15));
    edit.setCalendarPopup(true);
    QCalendarWidget* calendar = edit.calendarWidget();
    ASSERT_NE(calendar, nullptr);
    auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);

    const struct {
        const char* what;
        QString shown;
        const char* expected;
    } cases[] = {
        // A Chinese calendar's week starts on Sunday.
        {"calendar's days", CalendarDays(calendar), "周日 周一 周二 周三 周四 周五 周六"},
        {"month of the date box", month->text(), "二月"},
        // A desktop's own dialog (GTK's, KDE's, Windows') would speak its
        // language: every file dialog is Qt's.
        {"file dialogs",
         QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs) ? "Qt's" : "the desktop's",
         "Qt's"},
        {"file dialog: name column", FileDialogColumn(0), "名称"},
        {"file dialog: size column", FileDialogColumn(1), "体积"},
        {"file dialog: date column", FileDialogColumn(3), "修改日期"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.shown.toStdString(), c.expected) << c.what;
    }
}

}  // namespace
