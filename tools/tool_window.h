#pragma once
// What the subcommands that open a window share: whether there is a desktop
// to open it on, and a Qt application dressed as the program's.

#include <functional>

// Whether a window can be opened: without a desktop Qt could only abort.
bool HasDesktop();

// Runs show (which opens the window and answers the exit code) inside a Qt
// application with the program's font, Chinese Qt texts and message box.
int RunInToolWindow(const std::function<int()>& show);
