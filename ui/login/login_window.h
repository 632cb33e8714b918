#pragma once

// Opens the login window, the program's start-up window.
void OpenLoginWindow();
