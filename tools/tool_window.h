#pragma once
// What the subcommands that open a window share: whether there is a desktop
// to open it on, and a Qt application dressed as the program's.

#include <functional>

// Whether there is a desktop someone sees: an X or a Wayland display.
bool HasDesktop();
// Whether a window can be opened: on a desktop, or on the platform Qt is
// told to use (offscreen in the tests). Without either Qt could only abort.
bool CanOpenWindow();

// Runs show (which opens the window and answers the exit code) inside a Qt
// application with the program's font, Chinese Qt texts and message box.
int RunInToolWindow(const std::function<int()>& show);
