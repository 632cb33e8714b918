// The message seam: which box a message reaches, and what a program without
// windows answers.
#include <gtest/gtest.h>

#include <string>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "ui/message_box_window.h"

namespace {

std::string installedSaw;

int InstalledBox(const std::string& text, int flags, const std::string& title) {
    installedSaw = GbkToUtf8(title) + "|" + std::to_string(flags) + "|" + GbkToUtf8(text);
    return kAnswerYes;
}

class MessageBoxSeamTest : public testing::Test {
  protected:
    void SetUp() override { installedSaw.clear(); }
    // The test main's box, as every other test expects it.
    void TearDown() override {
        SetMessageBoxForTesting({});
        InstallMessageBox(ShowMessageBoxWindow);
    }
};

TEST_F(MessageBoxSeamTest, WithoutABoxTheMessageIsWrittenOutAndNothingIsConfirmed) {
    InstallMessageBox(nullptr);
    testing::internal::CaptureStderr();
    const int answer = ShowMessage(Gbk("确定提交吗？"), kMbYesNo, Gbk("提示"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "提示: 确定提交吗？\n");
    EXPECT_EQ(answer, kAnswerOk);
}

TEST_F(MessageBoxSeamTest, TheInstalledBoxShowsWhatNoTestReplaces) {
    InstallMessageBox(InstalledBox);
    SetMessageBoxForTesting([](const std::string&, int, const std::string&) { return kAnswerNo; });
    EXPECT_EQ(ShowMessage(Gbk("添加成功")), kAnswerNo);
    EXPECT_EQ(installedSaw, "");

    SetMessageBoxForTesting({});
    EXPECT_EQ(ShowMessage(Gbk("添加成功")), kAnswerYes);
    EXPECT_EQ(installedSaw, "信息：|" + std::to_string(kMbTaskModal) + "|添加成功");
}

}  // namespace
