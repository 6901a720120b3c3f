// A custom control paints through its canvas on its widget, and measures without one.
#include "core/Exceptions.h"
#include "graphics/Canvas.h"
#include "widgets/Controls.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class PaintedControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int paints = 0;

protected:
  void Paint() override {
    ++paints;
    Canvas().Brush().SetColor(clRed);
    Canvas().FillRect({0, 0, 5, 5});
    Canvas().Pen().SetColor(clBlue);
    Canvas().MoveTo(0, 8);
    Canvas().LineTo(10, 8);
  }
};

class WidgetlessControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  QWidget* CreateWidget(QWidget*) override { return nullptr; }
};

TEST(CustomControlPainting, PaintDrawsOnTheWidgetThroughTheCanvas) {
  PaintedControl control(nullptr);
  control.SetBounds(0, 0, 20, 12);
  control.HandleNeeded();
  ASSERT_NE(control.Widget(), nullptr);
  QImage shot = control.Widget()->grab().toImage();
  EXPECT_GE(control.paints, 1);
  EXPECT_EQ(shot.pixel(2, 2), 0xFFFF0000u);
  EXPECT_EQ(shot.pixel(5, 8), 0xFF0000FFu);
  // Outside the paint event the canvas has no device.
  EXPECT_THROW(control.Canvas().FillRect({0, 0, 1, 1}), EInvalidOperation);
}

TEST(CustomControlPainting, AControlWithoutAWidgetStillMeasures) {
  WidgetlessControl control(nullptr);
  control.HandleNeeded();
  EXPECT_EQ(control.Widget(), nullptr);
  EXPECT_GT(control.Canvas().TextWidth("abc"), 0);
}

}  // namespace
