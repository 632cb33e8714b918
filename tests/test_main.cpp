// Test entry: one QApplication for the whole run (offscreen unless a display
// is asked for), so window tests and value tests share one main.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "common/message_box.h"
#include "test_ledger.h"
#include "ui/message_box_window.h"
#include "ui/window_frame.h"

namespace {

// Cases registered to run against a team ledger are skipped when no test
// server was started (ctest run by hand).
class NeedsTestServer : public testing::Environment {
  public:
    void SetUp() override {
        const char* server = std::getenv("TALLOVAR_TEST_SERVER");
        if (TestLedger::OnServer() && !(server && *server)) {
            GTEST_SKIP() << "no test server (scripts/test.sh starts one)";
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ApplyDefaultGuiFont();
    InstallMessageBox(ShowMessageBoxWindow);
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new NeedsTestServer);
    return RUN_ALL_TESTS();
}
