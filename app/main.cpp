// Start-up: the program-wide variables, the exit clean-up, the login window
// as start-up window, then the message loop until the last window is gone.
// The program reads no command line.
#include <QApplication>

#include "app/exit_cleanup.h"
#include "app/program_state.h"
#include "ui/login/login_window.h"
#include "ui/window_frame.h"

int main(int argc, char** argv) {
    ResetProgramState();
    RegisterExitCleanup();

    QApplication app(argc, argv);
    ApplyDefaultGuiFont();
    InstallChineseQtTexts();

    OpenLoginWindow();
    if (QApplication::topLevelWidgets().isEmpty()) return 0;
    return QApplication::exec();
}
