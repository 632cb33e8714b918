#include "ui/double_click.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace {

// Qt pairs two presses into a double click by time and distance alone, and
// does not hand the second press to the widget when it does. So a double
// click on "登录" would end as a double click in the main window that opens
// under the mouse. The filter remembers the window of each press and turns a
// double click in any other window back into the press it was.
class DoubleClickFilter : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!receiver->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(receiver);
        if (event->type() == QEvent::MouseButtonPress) {
            pressedIn_ = widget->window();
            return false;
        }
        if (event->type() != QEvent::MouseButtonDblClick || widget->window() == pressedIn_) {
            return false;
        }
        const auto* click = static_cast<QMouseEvent*>(event);
        QMouseEvent press(QEvent::MouseButtonPress, click->position(), click->scenePosition(),
                          click->globalPosition(), click->button(), click->buttons(),
                          click->modifiers(), click->pointingDevice());
        QCoreApplication::sendEvent(widget, &press);
        return true;
    }

  private:
    QPointer<QWidget> pressedIn_;  // gone with its window
};

}  // namespace

void KeepDoubleClicksInOneWindow() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app) app->installEventFilter(new DoubleClickFilter(app));
}
