// The exit clean-up runs exactly once, whichever way the process ends.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "app/exit_cleanup.h"
#include "app/process_end.h"
#include "app/program_state.h"
#include "common/text_encoding.h"

namespace {

// Registered before the clean-up, so it runs after it and reports what it left.
void ReportCleanup() {
    std::fprintf(stderr, "cleanup runs=%d editorMode=%s\n", ExitCleanupRuns(),
                 editorMode.empty() ? "released" : "held");
}

void PrepareToEnd() {
    std::atexit(ReportCleanup);
    RegisterExitCleanup();
    RegisterExitCleanup();
    editorMode = Gbk("修改");
}

void EndByProcessEnd() {
    PrepareToEnd();
    SetProcessEndForTesting(nullptr);
    EndProcess(0);
}

// The message loop ends when its last window is destroyed, then the process ends.
void EndByLastWindow() {
    PrepareToEnd();
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QTimer::singleShot(0, window, &QWidget::close);
    std::exit(QApplication::exec());
}

TEST(ExitCleanupDeathTest, RunsOnceWhenTheProcessEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(EndByProcessEnd(), testing::ExitedWithCode(0),
                "cleanup runs=1 editorMode=released");
    EXPECT_EXIT(EndByLastWindow(), testing::ExitedWithCode(0),
                "cleanup runs=1 editorMode=released");
}

}  // namespace
