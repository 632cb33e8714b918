#include "ui/window_frame.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>
#include <QWindow>

namespace {

// The frame the platform reports around a window; none before it is shown.
QMargins FrameOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle && window->isVisible() ? handle->frameMargins() : QMargins();
}

void Place(QWidget* window, QSize outer, bool fixedSize, QMargins frame) {
    const QSize inner = outer.shrunkBy(frame);
    if (fixedSize) {
        window->setFixedSize(inner);
    } else {
        window->resize(inner);
    }
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // A top-level window's position is that of its outer frame.
    const QRect area = screen->geometry();
    window->move(area.left() + (area.width() - outer.width()) / 2,
                 area.top() + (area.height() - outer.height()) / 2);
}

// Watches a shown window until its frame is known, and places it again for
// every frame reported until then. Once the frame is in place the window is
// the user's to move and resize, so the watcher goes.
class FrameFit : public QObject {
  public:
    FrameFit(QWidget* window, QSize outer, bool fixedSize)
        : QObject(window), window_(window), outer_(outer), fixedSize_(fixedSize) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show) return false;
        if (window_->windowState() != Qt::WindowNoState) return false;
        const QMargins frame = FrameOf(window_);
        if (frame != placedFor_) {
            placedFor_ = frame;
            Place(window_, outer_, fixedSize_, frame);
        }
        if (!frame.isNull()) deleteLater();
        return false;
    }

  private:
    QWidget* window_;
    QSize outer_;
    bool fixedSize_;
    QMargins placedFor_;
};

}  // namespace

void ApplyDefaultGuiFont() {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(9);
    QApplication::setFont(font);
}

void InstallChineseQtTexts() {
    // The names of days and months (the calendar of a date box), dates and
    // sizes in the file dialog come from the locale, not from translations.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // A desktop's own file dialogs speak the desktop's language; Qt's own
    // read Chinese with the translations below.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    auto* texts = new QTranslator(QCoreApplication::instance());
    if (texts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(texts);
    }
}

void ShowInDesignFrame(QWidget* window, int outerWidth, int outerHeight, bool fixedSize) {
    const QSize outer(outerWidth, outerHeight);
    Place(window, outer, fixedSize, QMargins());
    new FrameFit(window, outer, fixedSize);
    window->show();
}

void ShowLabelsAsStaticText(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        if (needed > label->width()) label->resize(needed, label->height());
    }
}
