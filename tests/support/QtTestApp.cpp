// Every test binary gets one QApplication (on the offscreen platform unless told otherwise), created before the
// first test: fonts, widgets and painting need it.
#include <gtest/gtest.h>
#include <QApplication>

#include <cstdlib>

namespace {

// The application of the run. A death test's child process ends inside a test, with the application still
// there: Qt cannot be taken down by the exit handlers of a forked process, so the exit leaves it to the system.
QApplication* application = nullptr;

class QtTestApp : public testing::Environment {
public:
  void SetUp() override {
    if (QApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "relclientes-tests";
    static char* argv[] = {name, nullptr};
    application = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete application;
    application = nullptr;
  }
};

const testing::Environment* const registered = testing::AddGlobalTestEnvironment(new QtTestApp);

}  // namespace
