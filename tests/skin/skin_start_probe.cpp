// Starts the way the login window does: the skin library beside this program,
// Aero on, skin 10. Message boxes are answered at once and written to stdout
// as "box <title>|<flags>|<text>", so a test can read them; the process ends
// the way the program would.
#include <QApplication>
#include <cstdio>

#include "app/skin_setup.h"
#include "common/message_box.h"
#include "common/text_encoding.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetMessageBoxForTesting([](const std::string& text, int flags, const std::string& title) {
        std::printf("box %s|%d|%s\n", GbkToUtf8(title).c_str(), flags, GbkToUtf8(text).c_str());
        std::fflush(stdout);
        return kAnswerOk;
    });
    EnableSkinAero();
    AttachSkin(10);
    std::printf("skinned %d\n", app.styleSheet().isEmpty() ? 0 : 1);
    return 0;
}
