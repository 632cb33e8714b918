#include "common/message_box.h"

#include <cstdio>

#include "common/text_encoding.h"

namespace {

MessageBoxShower& Installed() {
    static MessageBoxShower shower = nullptr;
    return shower;
}

MessageBoxFunction& Override() {
    static MessageBoxFunction function;
    return function;
}

// A program without windows has no box to show: the message is written out,
// and nothing is confirmed.
int WriteMessage(const std::string& text, const std::string& title) {
    std::fprintf(stderr, "%s: %s\n", GbkToUtf8(title).c_str(), GbkToUtf8(text).c_str());
    return kAnswerOk;
}

}  // namespace

void InstallMessageBox(MessageBoxShower shower) { Installed() = shower; }

void SetMessageBoxForTesting(MessageBoxFunction function) { Override() = std::move(function); }

int ShowMessageBox(const std::string& text, int flags, const std::string& title) {
    if (Override()) return Override()(text, flags, title);
    if (Installed()) return Installed()(text, flags, title);
    return WriteMessage(text, title);
}

int ShowMessage(const std::string& text, int flags, const std::optional<std::string>& title) {
    static const std::string defaultTitle = Gbk("信息：");
    if (!(flags & kMbSystemModal)) flags |= kMbTaskModal;
    return ShowMessageBox(text, flags, title ? *title : defaultTitle);
}

void ShowDatabaseError(const std::string& diagnostic) {
    ShowMessage(Gbk("数据库操作失败：") + diagnostic, kMbOk, Gbk("错误"));
}
