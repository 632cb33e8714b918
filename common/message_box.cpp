#include "common/message_box.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include "common/text_encoding.h"

namespace {

MessageBoxFunction& Override() {
    static MessageBoxFunction function;
    return function;
}

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

int ShowQtBox(const std::string& text, int flags, const std::string& title) {
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

}  // namespace

void SetMessageBoxForTesting(MessageBoxFunction function) { Override() = std::move(function); }

int ShowMessageBox(const std::string& text, int flags, const std::string& title) {
    if (Override()) return Override()(text, flags, title);
    return ShowQtBox(text, flags, title);
}

int ShowMessage(const std::string& text, int flags, const std::optional<std::string>& title) {
    static const std::string defaultTitle = Gbk("信息：");
    if (!(flags & kMbSystemModal)) flags |= kMbTaskModal;
    return ShowMessageBox(text, flags, title ? *title : defaultTitle);
}

void ShowDatabaseError(const std::string& diagnostic) {
    ShowMessage(Gbk("数据库操作失败：") + diagnostic, kMbOk, Gbk("错误"));
}
