#include "ui/message_box_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include "common/message_box.h"
#include "common/text_encoding.h"

namespace {

// The window manager draws the title in the frame, and the box sizes itself for
// its message only: a short message cut the title ("信… 示"). A spacer as wide
// as the title, the frame's icon and its three buttons keeps it whole, as a
// Windows message box is.
void LeaveRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 120;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

int ShowMessageBoxWindow(const std::string& text, int flags, const std::string& title) {
    QMessageBox box;
    box.setWindowTitle(GbkToQString(title));
    box.setText(GbkToQString(text));
    box.setWindowModality(Qt::ApplicationModal);
    if (flags & kMbIconError) box.setIcon(QMessageBox::Critical);
    LeaveRoomForTitle(box);
    if ((flags & 0xF) == kMbYesNo) {
        QPushButton* yes = box.addButton(QString::fromUtf8("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QString::fromUtf8("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        if (box.clickedButton() == yes) return kAnswerYes;
        if (box.clickedButton() == no) return kAnswerNo;
        return kAnswerOk;
    }
    QPushButton* ok = box.addButton(QString::fromUtf8("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return kAnswerOk;
}
