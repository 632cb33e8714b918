// Test entry: one QApplication for the whole run (offscreen unless a display
// is asked for), so window tests and value tests share one main.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/window_frame.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ApplyDefaultGuiFont();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
