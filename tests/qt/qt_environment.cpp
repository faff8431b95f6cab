// Every test of this suite runs with the Qt back end attached. Without a
// display the offscreen platform plugin stands in for the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/qt/qt_backend.h"

namespace {

class QtBackendEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "test_qt";
        static char* argv[] = {name, nullptr};
        AttachQtBackend(argc, argv);
        // A blinking caret changes a window's pixels with the clock: on a
        // busy machine two pictures of one window taken a blink apart would
        // differ though nothing was drawn. The caret stays on.
        QApplication::setCursorFlashTime(0);
    }
    void TearDown() override { DetachQtBackend(); }
};

[[maybe_unused]] const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtBackendEnvironment);

}  // namespace
