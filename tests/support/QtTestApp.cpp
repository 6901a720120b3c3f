// Every test binary gets one QApplication (on the offscreen platform unless told otherwise), created before the
// first test: fonts, widgets and painting need it.
#include <gtest/gtest.h>
#include <QApplication>

#include <cstdlib>
#include <memory>

namespace {

class QtTestApp : public testing::Environment {
public:
  void SetUp() override {
    if (QApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "relclientes-tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

private:
  std::unique_ptr<QApplication> app_;
};

const testing::Environment* const registered = testing::AddGlobalTestEnvironment(new QtTestApp);

}  // namespace
