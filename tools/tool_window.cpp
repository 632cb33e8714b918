#include "tools/tool_window.h"

#include <QApplication>
#include <cstdlib>

#include "common/message_box.h"
#include "ui/message_box_window.h"
#include "ui/window_frame.h"

bool HasDesktop() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

bool CanOpenWindow() { return HasDesktop() || std::getenv("QT_QPA_PLATFORM"); }

int RunInToolWindow(const std::function<int()>& show) {
    char name[] = "tallovar-admin";
    char* argv[] = {name, nullptr};
    int argc = 1;
    QApplication application(argc, argv);
    ApplyDefaultGuiFont();
    InstallChineseQtTexts();
    InstallMessageBox(ShowMessageBoxWindow);
    return show();
}
