// The grid tests need a Qt application; the shared support main brings one,
// and until a test program has it this environment does.
#include <QApplication>
#include <gtest/gtest.h>

namespace {

class GridQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance()) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_grids";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GridQtEnvironment);

}  // namespace
