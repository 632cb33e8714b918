// Start-up: the program-wide variables, the exit clean-up, the login window
// as start-up window, then the message loop until the last window is gone.
// The program reads no command line.
#include <QApplication>

#include "app/exit_cleanup.h"
#include "app/program_state.h"
#include "app/skin_library.h"
#include "common/message_box.h"
#include "platform/files.h"
#include "platform/program_files.h"
#include "platform/whole_file.h"
#include "ui/double_click.h"
#include "ui/login/login_window.h"
#include "ui/message_box_window.h"
#include "ui/window_frame.h"

int main(int argc, char** argv) {
    ResetProgramState();
    RegisterExitCleanup();
    // What an earlier start killed mid-write left beside the program (the
    // config.ini one holds the password).
    if (const std::string directory = ProgramDirectory(); !directory.empty()) {
        RemoveAbandonedReplacements(NativePath(directory),
                                    {kSettingsFileName, kSkinLibraryFileName, ".hidden"});
    }

    // Qt reads its own options from the command line (-style, -stylesheet,
    // -reverse, -qwindowgeometry, …), and they would change the designed
    // windows: Qt is given the program's name only, and nothing else reads it.
    char programName[] = "tallovar";
    char* qtArguments[] = {argc > 0 && argv[0] != nullptr ? argv[0] : programName, nullptr};
    int qtArgumentCount = 1;
    QApplication app(qtArgumentCount, qtArguments);
    ApplyDefaultGuiFont();
    KeepDoubleClicksInOneWindow();
    InstallChineseQtTexts();
    InstallMessageBox(ShowMessageBoxWindow);

    OpenLoginWindow();
    if (QApplication::topLevelWidgets().isEmpty()) return 0;
    return QApplication::exec();
}
