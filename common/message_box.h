#pragma once
// Every message of the program goes through ShowMessage: a box without owner
// window, modal to the whole program, with Chinese button captions. No widgets
// here: the box itself is installed from above.

#include <functional>
#include <optional>
#include <string>

// Windows MB_ flags the program uses.
inline constexpr int kMbOk = 0;
inline constexpr int kMbYesNo = 4;
inline constexpr int kMbIconError = 0x10;
inline constexpr int kMbSystemModal = 0x1000;
inline constexpr int kMbTaskModal = 0x2000;

// Answer codes returned by ShowMessage.
inline constexpr int kAnswerOk = 0;
inline constexpr int kAnswerCancel = 1;
inline constexpr int kAnswerAbort = 2;
inline constexpr int kAnswerRetry = 3;
inline constexpr int kAnswerIgnore = 4;
inline constexpr int kAnswerYes = 5;
inline constexpr int kAnswerNo = 6;

// text and title are GBK. Without a title the box is titled "信息：".
int ShowMessage(const std::string& text, int flags = kMbOk,
                const std::optional<std::string>& title = std::nullopt);

// "数据库操作失败：" followed by the driver's diagnostic, titled "错误".
void ShowDatabaseError(const std::string& diagnostic);

// The box as it is finally shown: text, flags (task-modal added) and title.
// The window layer draws it; every program with windows installs that box at
// start (ShowMessageBoxWindow of ui/message_box_window.h). Without one the
// message goes to standard error and the answer is kAnswerOk.
using MessageBoxShower = int (*)(const std::string& text, int flags, const std::string& title);
void InstallMessageBox(MessageBoxShower shower);

// Tests replace the box to read messages and script answers; an empty
// function restores the installed box.
using MessageBoxFunction =
    std::function<int(const std::string& text, int flags, const std::string& title)>;
void SetMessageBoxForTesting(MessageBoxFunction function);
// Shows a box exactly as given (no default title, no added flags).
int ShowMessageBox(const std::string& text, int flags, const std::string& title);
