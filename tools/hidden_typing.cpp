#include "tools/hidden_typing.h"

#include <termios.h>
#include <unistd.h>

struct HiddenTyping::Saved {
    termios settings{};
};

HiddenTyping::HiddenTyping() {
    if (!isatty(STDIN_FILENO)) return;
    saved_ = std::make_unique<Saved>();
    tcgetattr(STDIN_FILENO, &saved_->settings);
    termios quiet = saved_->settings;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
}

HiddenTyping::~HiddenTyping() {
    if (saved_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_->settings);
}
