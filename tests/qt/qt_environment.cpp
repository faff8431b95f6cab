// Every test of this suite runs with the Qt back end attached. Without a
// display the offscreen platform plugin stands in for the screen.
#include <gtest/gtest.h>

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
    }
    void TearDown() override { DetachQtBackend(); }
};

[[maybe_unused]] const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtBackendEnvironment);

}  // namespace
