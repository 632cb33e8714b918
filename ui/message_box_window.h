#pragma once
// The message box as a window: what ShowMessage shows in every program with
// windows, installed at start with InstallMessageBox(ShowMessageBoxWindow).

#include <string>

// A QMessageBox without owner, modal to the application, with Chinese button
// captions; text and title are GBK, flags the kMb values of
// common/message_box.h. Answers kAnswerYes, kAnswerNo or kAnswerOk.
int ShowMessageBoxWindow(const std::string& text, int flags, const std::string& title);
