#include "ui/window_frame.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

void ApplyDefaultGuiFont() {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(9);
    QApplication::setFont(font);
}

void InstallChineseQtTexts() {
    auto* texts = new QTranslator(QCoreApplication::instance());
    if (texts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(texts);
    }
}

void PlaceWindowCentred(QWidget* window, int outerWidth, int outerHeight, bool fixedSize) {
    // Before the window is shown the frame is unknown; where the platform draws
    // none (offscreen, X without a window manager) the window is the design size.
    const QMargins frame =
        window->isVisible()
            ? QMargins(window->geometry().left() - window->frameGeometry().left(),
                       window->geometry().top() - window->frameGeometry().top(),
                       window->frameGeometry().right() - window->geometry().right(),
                       window->frameGeometry().bottom() - window->geometry().bottom())
            : QMargins();
    const int width = outerWidth - frame.left() - frame.right();
    const int height = outerHeight - frame.top() - frame.bottom();
    if (fixedSize) {
        window->setFixedSize(width, height);
    } else {
        window->resize(width, height);
    }
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    window->move(area.left() + (area.width() - outerWidth) / 2,
                 area.top() + (area.height() - outerHeight) / 2);
}

void FitLabelsToCaptions(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        if (needed > label->width()) label->resize(needed, label->height());
    }
}
