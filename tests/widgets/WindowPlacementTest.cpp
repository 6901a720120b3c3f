#include "widgets/Forms.h"

#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// A window the program opens lies wholly on the screen, frame included, whatever bounds it was given: moved in
// from an edge, and shrunk where it is larger than the screen; one that fits stays as it was.
TEST(WindowPlacement, AWindowIsAlwaysWhollyOnTheScreen) {
  auto application = MakeTestApplication();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    TRect bounds;  // left, top, right, bottom
    TPosition position;
    bool kept;
  };
  const Case cases[] = {
      {{area.right() - 300, 220, area.right() - 300 + 815, 220 + 375}, poDesigned, false},
      {{-50, -30, 150, 70}, poDesigned, false},
      {{100, 100, 100 + area.width() + 200, 100 + area.height() + 100}, poDesigned, false},
      {{100, 100, 100 + area.width() + 200, 100 + 50}, poScreenCenter, false},
      {{20, 30, 220, 130}, poDesigned, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.bounds.Left) + "," + std::to_string(c.bounds.Top));
    TForm form(nullptr);
    form.SetPosition(c.position);
    form.SetBounds(c.bounds.Left, c.bounds.Top, c.bounds.Right - c.bounds.Left, c.bounds.Bottom - c.bounds.Top);
    form.Show();
    const QRect shown = form.Widget()->frameGeometry();
    EXPECT_TRUE(area.contains(shown)) << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height()
                                      << " on " << area.width() << "x" << area.height();
    EXPECT_EQ(form.BoundsRect() == c.bounds, c.kept);
    EXPECT_EQ(form.Widget()->width(), form.Width());
    form.Hide();
  }
}

}  // namespace
