#pragma once
// A window's controls as a user finds them: by their designer names
// (编辑框1, 信息列表框, 修改), whatever the window's class keeps private.

#include <QApplication>
#include <QString>
#include <QWidget>

// The control of a window with a designer name (UTF-8), or null.
template <typename T = QWidget>
T* Named(const QObject* window, const char* name) {
    return window ? window->findChild<T*>(QString::fromUtf8(name)) : nullptr;
}

template <typename T = QWidget>
T* Named(const QObject& window, const char* name) {
    return Named<T>(&window, name);
}

// The top-level window of a class that exists now, or null.
template <typename Window>
Window* TopLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget)) return window;
    }
    return nullptr;
}
