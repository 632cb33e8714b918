// The Windows side of tools/hidden_typing.h: the console's echo mode.
#include <windows.h>

#include "tools/hidden_typing.h"

struct HiddenTyping::Saved {
    HANDLE input = INVALID_HANDLE_VALUE;
    DWORD mode = 0;
};

HiddenTyping::HiddenTyping() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) return;
    saved_ = std::make_unique<Saved>(Saved{input, mode});
    SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
}

HiddenTyping::~HiddenTyping() {
    if (saved_) SetConsoleMode(saved_->input, saved_->mode);
}
