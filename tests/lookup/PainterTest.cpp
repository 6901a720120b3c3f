// The look and feel: painters chosen by style, the editor's frame and button and the push button, pixel by pixel.
#include "graphics/Bitmap.h"
#include "widgets/Forms.h"
#include "widgets/Menus.h"
#include "lookup/cxButtons.h"
#include "lookup/cxDBLookupComboBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

TColor Rgb(TColor color) { return ColorToRGB(color); }

class Canvas : public testing::Test {
protected:
  void SetUp() override {
    bitmap_.SetSize(40, 21);
    bitmap_.Canvas().Brush().SetColor(clFuchsia);
    bitmap_.Canvas().FillRect({0, 0, 40, 21});
  }
  TColor At(int x, int y) { return bitmap_.Canvas().Pixels(x, y); }
  TCanvas& C() { return bitmap_.Canvas(); }
  TBitmap bitmap_;
};

TEST(LookAndFeel, UltraFlatUnlessAssignedAndListenersHearChanges) {
  TcxLookAndFeel master;
  TcxLookAndFeel lf(&master);
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
  EXPECT_STREQ(lf.Painter().Name(), "TcxUltraFlatLookAndFeelPainter");
  int heard = 0;
  lf.AddChangeListener([&] { ++heard; });
  master.SetKind(lfFlat);
  EXPECT_EQ(lf.Kind(), lfFlat);
  EXPECT_EQ(heard, 1);
  lf.SetKind(lfStandard);
  EXPECT_STREQ(lf.Painter().Name(), "TcxStandardLookAndFeelPainter");
  master.SetKind(lfUltraFlat);
  EXPECT_EQ(heard, 2) << "its own Kind hides the master's";
  lf.Reset();
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
  EXPECT_EQ(LookAndFeelPainter(lfFlat, true).Name(), std::string("TcxFlatLookAndFeelPainter")) << "no themes here";
}

TEST(LookAndFeel, PainterValues) {
  const TcxCustomLookAndFeelPainter& standard = LookAndFeelPainter(lfStandard, false);
  const TcxCustomLookAndFeelPainter& flat = LookAndFeelPainter(lfFlat, false);
  const TcxCustomLookAndFeelPainter& ultra = LookAndFeelPainter(lfUltraFlat, false);
  EXPECT_EQ(standard.ButtonFrameWidth(cxbsDefault), 3);
  EXPECT_EQ(flat.ButtonFrameWidth(cxbsNormal), 1);
  EXPECT_EQ(ultra.FocusRectInset(), 3);
  EXPECT_EQ(standard.PressedContentOffset(), 1);
  EXPECT_EQ(ultra.PressedContentOffset(), 0);
  EXPECT_EQ(ultra.SortMarkExtent(), (TSize{7, 8}));
  EXPECT_EQ(ultra.HeaderBandHeight(13), 19);
  EXPECT_EQ(ultra.ButtonCaptionColor(cxbsPressed), clHighlightText);
  EXPECT_EQ(standard.ButtonCaptionColor(cxbsDisabled), clBtnShadow);
  // The blends of the classic palette: face (212,208,200), highlight (10,36,106), window white.
  EXPECT_EQ(ultra.ButtonFaceColor(cxbsHot), RGBColor(183, 191, 212));
  EXPECT_EQ(ultra.ButtonFaceColor(cxbsPressed), RGBColor(136, 147, 177));
  EXPECT_EQ(MulDiv(212, -2, 100), -4);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
}

TEST(EditStyle, BorderAndButtonTablesOfStateAndStyle) {
  const TcxEditBorderStyle styles[] = {ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat};
  const TcxEditBorderStyle idle[] = {ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsSingle};
  const TcxEditBorderStyle lit[] = {ebsFlat, ebsThick, ebsThick, ebs3D, ebs3D, ebsSingle};
  const TcxEditButtonStyle idle_button[] = {btsSimple, btsHotFlat, bts3D, btsFlat, bts3D, btsUltraFlat};
  const TcxEditButtonStyle lit_button[] = {btsFlat, bts3D, bts3D, bts3D, bts3D, btsUltraFlat};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(EffectiveBorderStyle(styles[i], false, true), idle[i]) << i;
    EXPECT_EQ(EffectiveBorderStyle(styles[i], true, false), idle[i]) << i;
    EXPECT_EQ(EffectiveBorderStyle(styles[i], true, true), lit[i]) << i;
    EXPECT_EQ(EffectiveButtonStyle(btsDefault, styles[i], true, false), idle_button[i]) << i;
    EXPECT_EQ(EffectiveButtonStyle(btsDefault, styles[i], true, true), lit_button[i]) << i;
  }
  EXPECT_EQ(EffectiveButtonStyle(btsFlat, ebs3D, true, true), btsFlat);
  EXPECT_EQ(EffectivePopupBorderStyle(epbsDefault, ebs3D), epbsSingle);
  EXPECT_EQ(EffectivePopupBorderStyle(epbsDefault, ebsFlat), epbsFlat);
  TcxEditStyle style;
  EXPECT_EQ(style.BorderStyle(), ebsUltraFlat);
  style.LookAndFeel().SetKind(lfStandard);
  EXPECT_EQ(style.BorderStyle(), ebs3D);
}

TEST_F(Canvas, EditBordersFromTheOuterEdgeInwards) {
  struct Border {
    TcxEditBorderStyle style;
    TColor outer_top_left, outer_bottom_right, inner_top_left, inner_bottom_right;
  };
  const Border borders[] = {
      {ebs3D, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight},
      {ebsFlat, clBtnShadow, clBtnHighlight, clBtnFace, clBtnFace},
      {ebsSingle, clWindowFrame, clWindowFrame, clWindow, clWindow},
      {ebsThick, clWindowFrame, clWindowFrame, clWindowFrame, clWindowFrame},
      {ebsNone, clWindow, clWindow, clWindow, clWindow},
  };
  for (const Border& b : borders) {
    SCOPED_TRACE(b.style);
    DrawEditBorder(C(), {0, 0, 40, 21}, b.style, clWindowFrame, {bLeft, bTop, bRight, bBottom}, clWindow);
    EXPECT_EQ(At(0, 0), Rgb(b.outer_top_left));
    EXPECT_EQ(At(39, 20), Rgb(b.outer_bottom_right));
    EXPECT_EQ(At(1, 5), Rgb(b.inner_top_left));
    EXPECT_EQ(At(38, 19), Rgb(b.inner_bottom_right));
    EXPECT_EQ(At(20, 10), Rgb(clWindow));
  }
}

TEST_F(Canvas, The3DButtonInEachStateAndItsArrow) {
  // A button 17 x 17 whose content is 13 x 13 inside its rings: the arrow's base is 7 and its height 4.
  EXPECT_EQ(DropDownArrowBase(13), 7);
  struct State {
    TcxEditButtonState state;
    TColor corner, inner_corner, arrow;
  };
  const State states[] = {
      {ebsNormal, cl3DLight, clBtnHighlight, clBtnText},
      {ebsHot, cl3DLight, clBtnHighlight, clBtnText},
      {ebsPressed, clBtnShadow, clBtnFace, clBtnText},
      {ebsDisabled, cl3DLight, clBtnHighlight, clBtnShadow},
  };
  for (const State& s : states) {
    SCOPED_TRACE(s.state);
    DrawEditButton(C(), {20, 2, 37, 19}, bts3D, s.state, clBtnFace);
    EXPECT_EQ(At(20, 2), Rgb(s.corner));
    EXPECT_EQ(At(21, 3), Rgb(s.inner_corner));
    EXPECT_EQ(At(36, 18), Rgb(s.state == ebsPressed ? clBtnShadow : cl3DDkShadow));
    // The arrow: 7 wide at its top line, 1 at its tip, 4 lines, centred in the 13 x 13 square (pressed: 1 down and
    // 1 right).
    const int dx = s.state == ebsPressed ? 1 : 0;
    const TRect square = DropDownArrowRect({20, 2, 37, 19}, {22, 4, 35, 17}, s.state == ebsPressed);
    EXPECT_EQ(square, (TRect{22 + dx, 4 + dx, 35 + dx, 17 + dx}));
    const int top = square.Top + (13 - 4) / 2;
    const int left = square.Left + (13 - 7) / 2;
    EXPECT_EQ(At(left, top), Rgb(s.arrow));
    EXPECT_EQ(At(left + 6, top), Rgb(s.arrow));
    EXPECT_EQ(At(left + 3, top + 3), Rgb(s.arrow));
    EXPECT_EQ(At(left + 2, top + 3), Rgb(clBtnFace));
    EXPECT_EQ(At(left + 4, top + 4), Rgb(s.state == ebsDisabled ? clBtnHighlight : clBtnFace)) << "the embossed copy";
    EXPECT_EQ(At(left - 1, top), Rgb(clBtnFace));
  }
}

TEST_F(Canvas, OtherButtonStylesLightUpWhenHot) {
  DrawEditButton(C(), {20, 2, 37, 19}, btsUltraFlat, ebsNormal, clBtnFace);
  EXPECT_EQ(At(20, 2), Rgb(clBtnFace));
  DrawEditButton(C(), {20, 2, 37, 19}, btsUltraFlat, ebsHot, clBtnFace);
  EXPECT_EQ(At(20, 2), Rgb(clHighlight));
  EXPECT_EQ(At(22, 4), UltraFlatHotColor());
  DrawEditButton(C(), {20, 2, 37, 19}, btsFlat, ebsNormal, clBtnFace);
  EXPECT_EQ(At(20, 10), Rgb(clBtnFace)) << "the separator";
  EXPECT_EQ(At(21, 2), Rgb(clBtnHighlight));
  EXPECT_EQ(At(36, 18), Rgb(clBtnShadow));
  DrawEditButton(C(), {20, 2, 37, 19}, btsFlat, ebsPressed, clBtnFace);
  EXPECT_EQ(At(21, 2), Rgb(clBtnShadow));
}

// The push button on a shown form, read back from its window.
class Button : public testing::Test {
protected:
  void SetUp() override {
    RegisterLookupClasses();
    form_.SetBounds(40, 40, 200, 100);
    button_ = new TcxButton(&form_);
    button_->SetParent(&form_);
    button_->SetBounds(10, 10, 75, 25);
    button_->SetCaption("Sair");
    other_ = new TcxButton(&form_);
    other_->SetParent(&form_);
    other_->SetBounds(100, 10, 75, 25);
    form_.Show();
    QApplication::setActiveWindow(form_.Widget());
    other_->SetFocus();
    QApplication::processEvents();
  }
  QImage Shot() { return button_->Widget()->grab().toImage(); }
  TColor At(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return RGBColor(c.red(), c.green(), c.blue());
  }
  TForm form_{nullptr};
  TcxButton* button_ = nullptr;
  TcxButton* other_ = nullptr;
};

TEST_F(Button, UltraFlatFramesAndFacesInEachState) {
  struct Case {
    const char* name;
    std::function<void()> enter;
    TcxButtonState state;
    TColor frame, second_ring, face;
  };
  const Case cases[] = {
      {"normal", [] {}, cxbsNormal, clBtnText, clBtnFace, clBtnFace},
      {"hot",
       [this] {
         QEvent enter(QEvent::Enter);
         QApplication::sendEvent(button_->Widget(), &enter);
       },
       cxbsHot, clHighlight, UltraFlatHotColor(), UltraFlatHotColor()},
      {"pressed", [this] { QTest::mousePress(button_->Widget(), Qt::LeftButton, {}, QPoint(5, 5)); }, cxbsPressed,
       clHighlight, UltraFlatPressedColor(), UltraFlatPressedColor()},
      {"focused",
       [this] {
         QTest::mouseRelease(button_->Widget(), Qt::LeftButton, {}, QPoint(-50, 5));
         QEvent leave(QEvent::Leave);
         QApplication::sendEvent(button_->Widget(), &leave);
         button_->SetFocus();
       },
       cxbsDefault, clWindowFrame, clWindowFrame, clBtnFace},
      {"disabled", [this] { button_->SetEnabled(false); }, cxbsDisabled, clHighlight, clBtnFace, clBtnFace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.enter();
    QApplication::processEvents();
    EXPECT_EQ(button_->State(), c.state);
    const QImage image = Shot();
    EXPECT_EQ(At(image, 0, 0), Rgb(c.frame));
    EXPECT_EQ(At(image, 74, 24), Rgb(c.frame));
    EXPECT_EQ(At(image, 1, 12), c.second_ring == UltraFlatHotColor() || c.second_ring == UltraFlatPressedColor()
                                    ? c.second_ring
                                    : Rgb(c.second_ring));
    const TColor face = c.face == UltraFlatHotColor() || c.face == UltraFlatPressedColor() ? c.face : Rgb(c.face);
    EXPECT_EQ(At(image, 4, 12), face);
  }
  // Disabled, the caption is embossed: shadow-coloured strokes with highlight ones beside them (text is smoothed, so
  // the highlight shows as pixels lighter than the face).
  const QImage image = Shot();
  bool shadow = false, highlight = false;
  for (int y = 0; y < 25; ++y) {
    for (int x = 0; x < 75; ++x) {
      shadow |= At(image, x, y) == Rgb(clBtnShadow);
      const QColor c = image.pixelColor(x, y);
      highlight |= x > 1 && x < 73 && y > 1 && y < 23 && c.red() > 220 && c.green() > 220 && c.blue() > 220;
    }
  }
  EXPECT_TRUE(shadow);
  EXPECT_TRUE(highlight);
}

TEST_F(Button, StandardFramesAndThePlatformsOwnButton) {
  button_->LookAndFeel().SetKind(lfStandard);
  EXPECT_TRUE(button_->PlatformDrawn());
  button_->SetUseSystemPaint(false);
  EXPECT_FALSE(button_->PlatformDrawn());
  QApplication::processEvents();
  QImage image = Shot();
  EXPECT_EQ(At(image, 0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(At(image, 74, 24), Rgb(cl3DDkShadow));
  EXPECT_EQ(At(image, 73, 23), Rgb(clBtnShadow));
  button_->LookAndFeel().SetKind(lfFlat);
  QApplication::processEvents();
  image = Shot();
  EXPECT_EQ(At(image, 0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(At(image, 74, 24), Rgb(clBtnShadow));
  EXPECT_EQ(At(image, 1, 1), Rgb(clBtnFace));
}

TEST_F(Button, ClicksByMouseAndSpaceBar) {
  int clicks = 0;
  button_->OnClick = [&](TObject*) { ++clicks; };
  QTest::mouseClick(button_->Widget(), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks, 1);
  QTest::mousePress(button_->Widget(), Qt::LeftButton, {}, QPoint(10, 10), 500);
  QTest::mouseRelease(button_->Widget(), Qt::LeftButton, {}, QPoint(150, 10));
  EXPECT_EQ(clicks, 1) << "released outside";
  button_->SetFocus();
  QTest::keyClick(button_->Widget(), Qt::Key_Space);
  EXPECT_EQ(clicks, 2);
}

// A menu that records where it was opened instead of showing.
class TRecordingMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  std::vector<TPoint> opened;
  void Popup(int x, int y) override { opened.push_back({x, y}); }
};

// A drop-down button opens its menu under itself instead of clicking; a split one only from its arrow strip.
TEST_F(Button, DropDownKindsOpenTheirMenuUnderTheButton) {
  auto* menu = new TRecordingMenu(&form_);
  button_->SetDropDownMenu(menu);
  button_->LookAndFeel().SetKind(lfUltraFlat);
  int clicks = 0;
  button_->OnClick = [&](TObject*) { ++clicks; };
  const QPoint below = button_->Widget()->mapToGlobal(QPoint(0, 25));
  struct Case {
    TcxButtonKind kind;
    QPoint at;
    int clicks, menus;
  } cases[] = {
      {cxbkStandard, {70, 12}, 1, 0},
      {cxbkDropDown, {10, 12}, 0, 1},
      {cxbkDropDown, {70, 12}, 0, 1},
      {cxbkDropDownButton, {10, 12}, 1, 0},
      {cxbkDropDownButton, {70, 12}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " at " << c.at.x());
    button_->SetKind(c.kind);
    clicks = 0;
    menu->opened.clear();
    QTest::mouseClick(button_->Widget(), Qt::LeftButton, {}, c.at, 500);
    EXPECT_EQ(clicks, c.clicks);
    ASSERT_EQ(static_cast<int>(menu->opened.size()), c.menus);
    if (c.menus) {
      EXPECT_EQ(menu->opened[0], (TPoint{below.x(), below.y()}));
      EXPECT_EQ(menu->PopupComponent(), button_);
    }
  }
  // The arrow is painted in the strip; the standard kind has none there.
  auto dark_in_strip = [&] {
    const QImage image = Shot();
    int dark = 0;
    for (int x = 62; x < 73; ++x) {
      for (int y = 6; y < 19; ++y) dark += At(image, x, y) == Rgb(clBtnText);
    }
    return dark;
  };
  button_->SetKind(cxbkStandard);
  button_->SetCaption("");
  const int none = dark_in_strip();
  button_->SetKind(cxbkDropDownButton);
  EXPECT_GT(dark_in_strip(), none + 4);
}

TEST(EditorPaint, TheDialogsEditorKeepsItsSunkenFrameAndItsButtonIs3D) {
  RegisterLookupClasses();
  TForm form(nullptr);
  form.SetBounds(40, 40, 320, 80);
  form.Font().SetName("Verdana");
  auto* edit = new TcxLookupComboBox(&form);
  edit->SetParent(&form);
  edit->SetBounds(10, 10, 281, 40);
  edit->Style().SetBorderStyle(ebs3D);
  form.Show();
  QApplication::processEvents();
  // The height follows the font: "Zg", 4 pixels, and 2 for each of the hot-tracked frame's sides.
  edit->Canvas().SetFont(edit->Font());
  const int height = edit->Canvas().TextHeight("Zg") + 4 + 2 * 2;
  EXPECT_EQ(edit->Height(), height);
  for (bool hot : {false, true}) {
    QEvent event(hot ? QEvent::Enter : QEvent::Leave);
    QApplication::sendEvent(edit->Widget(), &event);
    const QImage image = edit->Widget()->grab().toImage();
    auto at = [&](int x, int y) {
      const QColor c = image.pixelColor(x, y);
      return RGBColor(c.red(), c.green(), c.blue());
    };
    EXPECT_EQ(at(0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(at(1, 1), Rgb(cl3DDkShadow));
    EXPECT_EQ(at(280, height - 1), Rgb(clBtnHighlight));
    EXPECT_EQ(at(279, height - 2), Rgb(cl3DLight));
    const TRect b = edit->ButtonRect();
    EXPECT_EQ(b, (TRect{262, 2, 279, height - 2}));
    EXPECT_EQ(at(b.Right - 1, b.Bottom - 1), Rgb(cl3DDkShadow));
    EXPECT_EQ(at(b.Left + 1, b.Top + 1), Rgb(clBtnHighlight));
  }

  // A button glyph takes the arrow's place, centred on the face.
  const TRect b = edit->ButtonRect();
  auto centre_colours = [&] {
    const QImage image = edit->Widget()->grab().toImage();
    std::set<TColor> colours;
    for (int dx = -1; dx <= 1; ++dx) {
      for (int dy = -1; dy <= 1; ++dy) {
        const QColor c = image.pixelColor((b.Left + b.Right) / 2 + dx, (b.Top + b.Bottom) / 2 + dy);
        colours.insert(RGBColor(c.red(), c.green(), c.blue()));
      }
    }
    return colours;
  };
  EXPECT_EQ(centre_colours().count(Rgb(clBtnText)), 1u) << "the arrow";
  TBitmap& glyph = edit->Properties().ButtonGlyph();
  glyph.SetSize(5, 5);
  glyph.Canvas().Brush().SetColor(clRed);
  glyph.Canvas().FillRect({0, 0, 5, 5});
  edit->Invalidate();
  QApplication::processEvents();
  EXPECT_EQ(centre_colours(), std::set<TColor>{Rgb(clRed)});
}

}  // namespace

namespace {

TEST(LookAndFeel, ADependentOutlivingItsMasterFallsBackToTheRoot) {
  auto master = std::make_unique<TcxLookAndFeel>();
  TcxLookAndFeel dependent(master.get());
  master->SetKind(lfFlat);
  EXPECT_EQ(dependent.Kind(), lfFlat);
  master.reset();
  EXPECT_EQ(dependent.Kind(), lfUltraFlat);
  EXPECT_EQ(dependent.MasterLookAndFeel(), nullptr);
}

}  // namespace
