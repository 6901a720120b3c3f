// The preview window: tool bar, zoom and page boxes, keyboard, repeat of Prior and Next, divided screen, find.
#include "output/RLPreviewForm.h"

#include "OutputTestSupport.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "output/PreviewFixture.h"
#include "output/RLOutlinePanel.h"
#include "pages/RLConsts.h"

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

using namespace previewtest;

class PreviewForm : public testing::Test {
protected:
  void SetUp() override {
    previous_handler_ = SetMessageBoxHandler(
        [this](const std::string& text, const std::string&, TMsgDlgType) { messages_.push_back(text); });
  }
  void TearDown() override {
    form_.reset();
    SetMessageBoxHandler(previous_handler_);
  }
  TRLPreviewForm& Make(int pages, int firstPageNumber = 1,
                       const std::function<void(int, TRLGraphicSurface&)>& extra = {}) {
    storage_ = MakePages(&owner_, pages, firstPageNumber, extra);
    form_ = std::make_unique<TRLPreviewForm>();
    form_->Previews(0)->SetPages(storage_);
    return *form_;
  }
  TRLPreview& Active() { return *form_->ActivePreview(); }
  void TypeZoom(const std::string& text, int item = -1) {
    form_->ComboBoxZoom->SetText(text);
    if (item >= 0) form_->ComboBoxZoom->SetItemIndex(item);
    form_->ComboBoxZoomChange(form_->ComboBoxZoom);
  }
  void TypePage(const std::string& text) {
    form_->EditPageNo->SetText(text);
    form_->EditPageNoChange(form_->EditPageNo);
  }
  int Press(int key, TShiftState shift = {}) {
    form_->FormKeyDown(form_.get(), key, shift);
    return key;
  }

  TComponent owner_{nullptr};
  TRLGraphicStorage* storage_ = nullptr;
  std::unique_ptr<TRLPreviewForm> form_;
  std::vector<std::string> messages_;
  TMessageBoxHandler previous_handler_;
};

TEST_F(PreviewForm, TheToolBarHoldsItsControlsInPlace) {
  // A mail opener on PATH, so that Send shows its own tip.
  TempFolder bin;
  std::filesystem::create_symlink("/bin/true", bin.path() / "xdg-email");
  ScopedEnv path("PATH", bin.path().string());
  TRLPreviewForm& form = Make(3);
  const TRLEngineMessages& m = EngineMessages();
  struct Button {
    TSpeedButton* button;
    int left, width;
    std::string hint;
  } buttons[] = {
      {form.SpeedButtonPrint, 1, 50, m.msgPrint},
      {form.SpeedButtonSave, 51, 50, m.msgSaveToFile},
      {form.SpeedButtonSend, 101, 50, m.msgSendTo},
      {form.SpeedButtonSetup, 162, 22, m.msgConfigurePrinter},
      {form.SpeedButtonFirst, 195, 22, m.msgFirstPage},
      {form.SpeedButtonPrior, 217, 22, m.msgPriorPage},
      {form.SpeedButtonNext, 378, 22, m.msgNextPage},
      {form.SpeedButtonLast, 400, 22, m.msgLastPage},
      {form.SpeedButtonZoomDown, 433, 22, ""},
      {form.SpeedButtonZoomUp, 455, 22, ""},
      {form.SpeedButtonViews, 632, 22, m.msgDivideScreen},
      {form.SpeedButtonEdit, 663, 22, m.msgEdit},
      {form.SpeedButtonClose, 695, 49, m.msgClose},
  };
  for (const Button& b : buttons) {
    SCOPED_TRACE(b.button->Name());
    EXPECT_EQ(b.button->Left(), b.left);
    EXPECT_EQ(b.button->Top(), 1);
    EXPECT_EQ(b.button->Width(), b.width);
    EXPECT_EQ(b.button->Height(), 22);
    EXPECT_EQ(b.button->Hint(), b.hint);
    EXPECT_TRUE(b.button->Flat());
    // Picture buttons have a 16 x 16 glyph at twice the screen's density; the others a caption.
    if (b.button->Caption() == " ") {
      EXPECT_EQ(b.button->Glyph().Width() / b.button->GlyphScale(), 16);
      EXPECT_EQ(b.button->Glyph().Height() / b.button->GlyphScale(), 16);
    }
  }
  EXPECT_TRUE(form.SpeedButtonSend->Enabled());
  EXPECT_EQ(form.SpeedButtonEdit->GroupIndex(), 1);
  EXPECT_TRUE(form.SpeedButtonEdit->AllowAllUp());
  EXPECT_EQ(form.SpeedButtonCopyright->Hint(), "ZozozoRavivi 0.6");
  EXPECT_EQ(form.EditPageNo->Parent(), form.PanelPages);
  EXPECT_EQ(form.PanelPageCount->Left(), 96);
  EXPECT_EQ(form.ComboBoxZoom->Parent(), form.PanelZoom);
  EXPECT_EQ(form.ComboBoxZoom->DropDownCount(), 11);
  const std::vector<std::string> items = {"500%",
                                          "200%",
                                          "150%",
                                          "100%",
                                          "75%",
                                          "50%",
                                          "25%",
                                          "10%",
                                          m.msgEntireWidth,
                                          m.msgEntirePage,
                                          m.msgMultiplePages};
  EXPECT_EQ(form.ComboBoxZoom->Items().Lines(), items);
  EXPECT_EQ(form.TimerRepeat->Interval(), 100);
  EXPECT_EQ(form.Caption(), m.msgPreview);
  EXPECT_TRUE(form.KeyPreview());
  // The tool bar along the top, the previews below it, the copyright at the tool bar's right end.
  EXPECT_EQ(form.PanelTools->Width(), form.Width());
  EXPECT_EQ(form.PanelContainer->Top(), 23);
  EXPECT_EQ(form.PanelContainer->Height(), form.Height() - 23);
  EXPECT_EQ(form.PanelCopyright->Left() + form.PanelCopyright->Width(), form.PanelTools->Width() - 1);
  EXPECT_EQ(form.Previews(0)->Width(), form.PanelContainer->Width() - 2);
}

TEST_F(PreviewForm, CaptionedButtonsGetAcceleratorsInTurn) {
  TRLPreviewForm& form = Make(1);
  // The English texts: Print, Close, Save, Send.
  if (EngineMessages().msgPrint != "Print") GTEST_SKIP() << "the engine's texts are not in English here";
  EXPECT_EQ(form.SpeedButtonPrint->Caption(), "&Print");
  EXPECT_EQ(form.SpeedButtonClose->Caption(), "&Close");
  EXPECT_EQ(form.SpeedButtonSave->Caption(), "&Save");
  EXPECT_EQ(form.SpeedButtonSend->Caption(), "S&end");
}

TEST_F(PreviewForm, TheZoomBoxReadsWhatTheUserTypesOrChooses) {
  Make(3);
  const TRLEngineMessages& m = EngineMessages();
  struct Case {
    std::string text;
    int item;
    double zoom;
    int boxes;
  } cases[] = {
      {"150,5%", -1, 150.5, 1}, {"5", -1, 150.5, 1},  {"80", -1, 80, 1},    {"abc", -1, 80, 1},
      {"500%", -1, 500, 1},     {"200%", -1, 200, 1}, {"150%", -1, 150, 1}, {"100%", -1, 100, 1},
      {"75%", -1, 75, 1},       {"50%", -1, 50, 1},   {"25%", -1, 25, 1},   {"10%", -1, 10, 1},
      {"42.25", -1, 42.25, 1},  {"9", -1, 42.25, 1},  {"x", 1, 200, 1},
  };
  for (const Case& c : cases) {
    TypeZoom(c.text, c.item);
    EXPECT_EQ(Active().ZoomFactor(), c.zoom) << c.text;
    EXPECT_EQ(Active().VisibleBoxes(), c.boxes) << c.text;
  }
  TypeZoom(m.msgMultiplePages);
  EXPECT_EQ(Active().VisibleBoxes(), 3);
  EXPECT_EQ(Active().ZoomFactor(), Active().MultiplePagesZoom(3));
  TypeZoom(m.msgEntireWidth);
  EXPECT_EQ(Active().VisibleBoxes(), 1);
  EXPECT_EQ(Active().ZoomFactor(), Active().FullWidthZoom());
  TypeZoom(AnsiUpperCase(m.msgEntirePage));
  EXPECT_EQ(Active().ZoomFactor(), Active().FullPageZoom());
}

TEST_F(PreviewForm, TheZoomBoxShowsTheZoomWithoutAnItem) {
  TRLPreviewForm& form = Make(3);
  Active().SetZoomFactor(150);
  EXPECT_EQ(form.ComboBoxZoom->GetText(), "150%");
  EXPECT_EQ(form.ComboBoxZoom->ItemIndex(), -1);
  form.SpeedButtonZoomUpClick(nullptr);
  EXPECT_EQ(Active().ZoomFactor(), 160);
  EXPECT_EQ(form.ComboBoxZoom->GetText(), "160%");
  // Typing leaves the box as typed while its own change is applied.
  TypeZoom("12,5 %");
  EXPECT_EQ(Active().ZoomFactor(), 12.5);
  EXPECT_EQ(form.ComboBoxZoom->GetText(), "12,5 %");
  struct Down {
    double from, to;
  } downs[] = {{15, 10}, {10, 10}, {55, 45}};
  for (const Down& d : downs) {
    Active().SetZoomFactor(d.from);
    form.SpeedButtonZoomDownClick(nullptr);
    EXPECT_EQ(Active().ZoomFactor(), d.to) << d.from;
  }
}

// In a window narrower than the tool bar (a screen scaled up) the tool bar wraps: every control stays whole, in
// order, left of the about button, none over another; widened again, it is one row in its places.
TEST_F(PreviewForm, TheToolBarWrapsInANarrowWindow) {
  TRLPreviewForm& form = Make(3);
  for (int width : {640, 400, 815}) {
    SCOPED_TRACE(width);
    form.SetClientWidth(width);
    std::vector<TControl*> tools;
    for (int i = 0; i < form.PanelTools->ControlCount(); ++i) {
      TControl* control = form.PanelTools->Controls(i);
      if (control != form.PanelCopyright && !dynamic_cast<TBevel*>(control)) tools.push_back(control);
    }
    std::sort(tools.begin(), tools.end(),
              [](TControl* a, TControl* b) { return std::pair(a->Top(), a->Left()) < std::pair(b->Top(), b->Left()); });
    int rows = 1;
    for (std::size_t i = 0; i < tools.size(); ++i) {
      EXPECT_LE(tools[i]->Left() + tools[i]->Width(), width - form.PanelCopyright->Width()) << tools[i]->Name();
      EXPECT_LE(tools[i]->Top() + tools[i]->Height(), form.PanelTools->Height()) << tools[i]->Name();
      if (i == 0) continue;
      if (tools[i]->Top() == tools[i - 1]->Top()) {
        EXPECT_GE(tools[i]->Left(), tools[i - 1]->Left() + tools[i - 1]->Width()) << tools[i]->Name();
      } else {
        ++rows;
      }
    }
    EXPECT_EQ(rows > 1, width < 744);
    if (width == 815) {
      EXPECT_EQ(form.SpeedButtonClose->Left(), 695);
    }
  }
}

// Restored from maximized, the window shows the page whole at 100% where the screen has room for it.
TEST_F(PreviewForm, TheRestoredSizeHoldsThePageAtFullSizeWithinTheScreen) {
  const TScopedValueRollback<TRLOutlinePanelSettings> outline_settings(OutlinePanelSettings(), {});
  struct Case {
    const char* what;
    double paperWidth, paperHeight;  // mm
    bool outline;
    bool fits;  // the screen of the offscreen platform holds the page at 100%
  };
  const Case cases[] = {
      {"a small page", 80, 50, false, true},
      {"a small page beside the outline", 80, 50, true, true},
      {"a landscape page", 120, 70, false, true},
      {"A4, taller than the screen", 210, 297, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TRLPreviewForm& form = Make(2);
    storage_->SetPaperWidth(c.paperWidth);
    storage_->SetPaperHeight(c.paperHeight);
    if (c.outline) storage_->AddOutlineEntry({"Belém", 0, 0, 40});
    form.Previews(0)->SetPages(nullptr);
    form.Previews(0)->SetPages(storage_);
    form.SizeToPage();
    form.Show();
    QApplication::processEvents();
    TRLPreview& preview = *form.Previews(0);
    EXPECT_EQ(form.PanelOutline->Visible(), c.outline);
    EXPECT_EQ(form.PanelTools->Height(), 23) << "the tool bar on one row";
    const QRect screen = form.Widget()->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(form.Widget()->frameGeometry()))
        << form.Widget()->frameGeometry().width() << "x" << form.Widget()->frameGeometry().height();
    if (c.fits) {
      // Not a pixel more than the page needs in the direction that limits it.
      EXPECT_EQ(preview.FullPageZoom(), 100) << preview.Width() << "x" << preview.Height();
      EXPECT_GE(preview.FullWidthZoom(), 100);
    } else {
      EXPECT_LT(preview.FullPageZoom(), 100);
    }
    form_.reset();
  }
}

TEST_F(PreviewForm, ThePageBoxTakesPageNumbersCountedFromOne) {
  struct Case {
    int first_page_number;
    std::string typed;
    int page_index;
    std::string shown;  // in the box afterwards: anything but a page of the report gives way to the page shown
  } cases[] = {
      {1, "abc", 0, "1"}, {1, "0", 0, "1"}, {1, "11", 0, "1"},    {1, "-2", 0, "1"}, {1, "3", 2, "3"},
      {1, "10", 9, "10"}, {5, "3", 2, "3"}, {5, " 7 ", 6, " 7 "}, {1, "3x", 0, "1"}, {1, "", 0, ""},
  };
  for (const Case& c : cases) {
    Make(10, c.first_page_number);
    TypePage(c.typed);
    EXPECT_EQ(Active().PageIndex(), c.page_index) << c.first_page_number << " '" << c.typed << "'";
    EXPECT_EQ(form_->EditPageNo->GetText(), c.shown) << c.first_page_number << " '" << c.typed << "'";
  }
  // Typed digit by digit: "9" shows page 9, "99" of 10 pages stays on it.
  Make(10);
  TypePage("9");
  TypePage("99");
  EXPECT_EQ(Active().PageIndex(), 8);
  EXPECT_EQ(form_->EditPageNo->GetText(), "9");
  // The box shows the position, the count panel the number of pages.
  TRLPreviewForm& form = Make(10, 5);
  Active().NextPage();
  EXPECT_EQ(form.EditPageNo->GetText(), "2");
  EXPECT_EQ(form.PanelPageCount->Caption(), "10");
}

TEST_F(PreviewForm, TheKeyboardTable) {
  struct Case {
    int key;
    bool ctrl;
    int page_number;           // after the key, from page 5
    int horizontal, vertical;  // scroll positions after the key, from (100, 100)
    bool handled;
  } cases[] = {
      {VK_PRIOR, false, 4, 0, 0, true},     {VK_PRIOR, true, 5, 100, 0, true},
      {VK_NEXT, false, 6, 0, 0, true},      {VK_NEXT, true, 5, 100, -1, true},
      {VK_HOME, false, 5, 0, 100, true},    {VK_HOME, true, 1, 0, 0, true},
      {VK_END, false, 5, -1, 100, true},    {VK_END, true, 10, 0, 0, true},
      {VK_LEFT, false, 5, 90, 100, true},   {VK_LEFT, true, 5, 0, 100, true},
      {VK_RIGHT, false, 5, 110, 100, true}, {VK_RIGHT, true, 5, -1, 100, true},
      {VK_UP, false, 5, 100, 90, true},     {VK_UP, true, 5, 100, 0, true},
      {VK_DOWN, false, 5, 100, 110, true},  {VK_DOWN, true, 5, 100, 100 + 300, true},
      {'F', false, 5, 100, 100, false},     {'A', true, 5, 100, 100, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key << (c.ctrl ? " with Ctrl" : ""));
    Make(10);
    TRLPreview& preview = Active();
    preview.SetAlign(alNone);
    preview.SetBounds(0, 0, 400, 300);
    preview.GotoPage(5);
    preview.HorzScrollBar().SetPosition(100);
    preview.VertScrollBar().SetPosition(100);
    int left = Press(c.key, c.ctrl ? TShiftState{ssCtrl} : TShiftState{});
    EXPECT_EQ(left == 0, c.handled);
    EXPECT_EQ(preview.CurrentPageNumber(), c.page_number);
    EXPECT_EQ(preview.HorzScrollBar().Position(),
              c.horizontal < 0 ? preview.HorzScrollBar().MaxPosition() : c.horizontal);
    EXPECT_EQ(preview.VertScrollBar().Position(), c.vertical < 0 ? preview.VertScrollBar().MaxPosition() : c.vertical);
  }
}

TEST_F(PreviewForm, EscapeClosesAndControlFOpensTheFindDialog) {
  TRLPreviewForm& form = Make(3);
  EXPECT_EQ(Press('F'), 'F');
  EXPECT_EQ(form.FindDialog(), nullptr);
  EXPECT_EQ(Press('F', {ssCtrl}), 0);
  ASSERT_NE(form.FindDialog(), nullptr);
  TfrmRLFindDialog* dialog = form.FindDialog();
  EXPECT_EQ(Press(VK_F3, {ssCtrl}), 0);
  EXPECT_EQ(form.FindDialog(), dialog) << "made once, shown again";
  PreviewDefaults().WindowState = wsMaximized;
  form.SetWindowState(wsNormal);
  EXPECT_EQ(Press(VK_ESCAPE), 0);
  EXPECT_EQ(PreviewDefaults().WindowState, wsNormal) << "closing records the window state";
  PreviewDefaults().WindowState = wsMaximized;
}

TEST_F(PreviewForm, PriorAndNextRepeatWhileHeld) {
  TRLPreviewForm& form = Make(20);
  auto down = [&](TSpeedButton* b) { form.SpeedButtonPriorMouseDown(b, mbLeft, {ssLeft}, 5, 5); };
  auto up = [&](TSpeedButton* b) { form.SpeedButtonPriorMouseUp(b, mbLeft, {}, 5, 5); };
  // A quick click turns exactly one page.
  down(form.SpeedButtonNext);
  up(form.SpeedButtonNext);
  for (int tick = 0; tick < 10; ++tick) form.TimerRepeatTimer(form.TimerRepeat);
  EXPECT_EQ(Active().CurrentPageNumber(), 2);
  // Held: one page at once, then one more on every tick from the seventh on.
  down(form.SpeedButtonNext);
  EXPECT_EQ(Active().CurrentPageNumber(), 3);
  const int expected[] = {3, 3, 3, 3, 3, 3, 4, 5, 6};
  for (int page : expected) {
    form.TimerRepeatTimer(form.TimerRepeat);
    EXPECT_EQ(Active().CurrentPageNumber(), page);
  }
  up(form.SpeedButtonNext);
  form.TimerRepeatTimer(form.TimerRepeat);
  EXPECT_EQ(Active().CurrentPageNumber(), 6);
  // Prior the same way; both held, or another mouse button, does nothing.
  down(form.SpeedButtonPrior);
  EXPECT_EQ(Active().CurrentPageNumber(), 5);
  for (int tick = 0; tick < 7; ++tick) form.TimerRepeatTimer(form.TimerRepeat);
  EXPECT_EQ(Active().CurrentPageNumber(), 4);
  form.SpeedButtonNext->SetTag(1);
  form.TimerRepeatTimer(form.TimerRepeat);
  EXPECT_EQ(Active().CurrentPageNumber(), 4);
  form.SpeedButtonPriorMouseDown(form.SpeedButtonLast, mbRight, {}, 0, 0);
  EXPECT_EQ(Active().CurrentPageNumber(), 4);
}

TEST_F(PreviewForm, TheDividedScreenShowsTheReportTwiceEachHalfOnItsOwn) {
  TRLPreviewForm& form = Make(10);
  form.SetBounds(0, 0, 815, 623);
  form.SpeedButtonViewsClick(nullptr);
  ASSERT_EQ(form.PreviewCount(), 2);
  TRLPreview* top = form.Previews(0);
  TRLPreview* bottom = form.Previews(1);
  EXPECT_EQ(bottom->Pages(), top->Pages());
  EXPECT_EQ(top->Height(), 623 / 2);
  EXPECT_EQ(form.Splitters(0)->Top(), top->Top() + top->Height());
  EXPECT_EQ(form.Splitters(0)->Height(), 3);
  EXPECT_TRUE(form.Splitters(0)->Visible());
  EXPECT_FALSE(form.Splitters(1)->Visible());
  EXPECT_EQ(bottom->Top(), form.Splitters(0)->Top() + 3);
  EXPECT_EQ(bottom->Top() + bottom->Height(), form.PanelContainer->Height() - 1);

  // The toolbar follows the half clicked last.
  EXPECT_EQ(form.ActivePreview(), top);
  bottom->MouseDown(mbLeft, {}, 10, 10);
  EXPECT_EQ(form.ActivePreview(), bottom);
  EXPECT_TRUE(bottom->IsActive());
  EXPECT_FALSE(top->IsActive());
  form.SpeedButtonLastClick(nullptr);
  TypeZoom("50%");
  EXPECT_EQ(bottom->CurrentPageNumber(), 10);
  EXPECT_EQ(bottom->ZoomFactor(), 50);
  EXPECT_EQ(top->CurrentPageNumber(), 1);
  EXPECT_EQ(top->ZoomFactor(), 100);
  EXPECT_EQ(form.EditPageNo->GetText(), "10");
  top->Boxes(0)->MouseDown(mbLeft, {}, 10, 10);
  EXPECT_EQ(form.EditPageNo->GetText(), "1");
  EXPECT_EQ(form.ComboBoxZoom->GetText(), "100%");

  // Dragging the splitter shares the room anew.
  form.Splitters(0)->MoveBy(40);
  EXPECT_EQ(top->Height(), 623 / 2 + 40);
  EXPECT_EQ(bottom->Top(), form.Splitters(0)->Top() + 3);

  // Back to one: the bottom half was active, so the top one becomes it.
  bottom->MouseDown(mbLeft, {}, 10, 10);
  form.SpeedButtonViewsClick(nullptr);
  ASSERT_EQ(form.PreviewCount(), 1);
  EXPECT_EQ(form.ActivePreview(), top);
  EXPECT_TRUE(top->IsActive());
  EXPECT_EQ(top->Align(), alClient);
  EXPECT_EQ(storage_->LinkCount(), 1);
}

// Scrolled both ways, each half of the divided screen shows the square between its scroll bars, not the page that
// lies beneath it.
TEST_F(PreviewForm, TheSquareBetweenTheScrollBarsCoversThePage) {
  TRLPreviewForm& form = Make(2, 1, [](int, TRLGraphicSurface& page) {
    for (int y = 0; y < kPageHeight; y += 10) AddText(page, {0, y, kPageWidth, y + 14}, std::string(90, 'M'));
  });
  form.SetBounds(0, 0, 815, 623);
  form.SpeedButtonViewsClick(nullptr);
  ASSERT_EQ(form.PreviewCount(), 2);
  form.Show();
  for (int i = 0; i < 2; ++i) {
    TRLPreview& preview = *form.Previews(i);
    preview.SetZoomFactor(200);
    preview.HorzScrollBar().SetPosition(300);
    preview.VertScrollBar().SetPosition(300 + 100 * i);
  }
  QApplication::processEvents();
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    TRLPreview& preview = *form.Previews(i);
    ASSERT_TRUE(preview.HorzScrollBar().IsScrollBarVisible() && preview.VertScrollBar().IsScrollBarVisible());
    QWidget* widget = preview.Widget();
    const int extent = widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
    const QImage image = Grab(preview);
    const QRect corner(image.width() - extent, image.height() - extent, extent, extent);
    const QRgb face = widget->palette().color(QPalette::Window).rgb();
    int page_ink_above = 0, not_face = 0;
    for (int x = corner.left(); x <= corner.right(); ++x) {
      // Just above the square the page shows, with its text.
      for (int y = corner.top() - extent; y < corner.top(); ++y)
        page_ink_above += qGray(image.pixel(x - extent, y)) < 128;
      for (int y = corner.top(); y <= corner.bottom(); ++y)
        not_face += (image.pixel(x, y) & 0xffffff) != (face & 0xffffff);
    }
    EXPECT_GT(page_ink_above, 0) << "no page text near the corner: the test shows nothing";
    EXPECT_EQ(not_face, 0) << "pixels of the square that are not the window's colour";
  }
}

TEST_F(PreviewForm, EditModeTogglesOnTheActivePreview) {
  TRLPreviewForm& form = Make(2);
  form.SpeedButtonEdit->Click();
  EXPECT_TRUE(Active().Editing());
  EXPECT_TRUE(form.SpeedButtonEdit->Down());
  form.SpeedButtonEdit->Click();
  EXPECT_FALSE(Active().Editing());
  EXPECT_FALSE(form.SpeedButtonEdit->Down());
}

TEST_F(PreviewForm, OutputButtonsRunTheirActionOrSayItIsNotAvailable) {
  // Whatever output an earlier test of this process installed is put aside, and back afterwards.
  TScopedValueRollback<TRLPreviewOutputActions> installed(PreviewOutputActions());
  PreviewOutputActions() = {};
  TRLPreviewForm& form = Make(2);
  form.SpeedButtonPrintClick(nullptr);
  form.SpeedButtonSaveClick(nullptr);
  form.SpeedButtonSetupClick(nullptr);
  ASSERT_EQ(messages_.size(), 3u);
  for (const std::string& text : messages_) EXPECT_NE(text.find("não está disponível"), std::string::npos) << text;
  int printed = 0;
  PreviewOutputActions().Print = [&](TRLPreviewForm& f) {
    EXPECT_EQ(&f, &form);
    ++printed;
  };
  form.SpeedButtonPrintClick(nullptr);
  EXPECT_EQ(printed, 1);
  EXPECT_EQ(messages_.size(), 3u);
}

TEST_F(PreviewForm, TheFindDialogSearchesTheActivePreview) {
  TRLPreviewForm& form = Make(6, 1, [](int index, TRLGraphicSurface& page) {
    if (index == 1 || index == 4) AddText(page, {100, 500, 300, 520}, "Ponta Grossa");
  });
  form.OpenFindDialog();
  TfrmRLFindDialog& dialog = *form.FindDialog();
  dialog.EditTextToFind->SetText("ponta");
  // Enter clicks the default button.
  int enter = VK_RETURN;
  EXPECT_TRUE(dialog.PreviewKey(enter, {}, false));
  EXPECT_EQ(Active().CurrentPageNumber(), 2);
  dialog.BitBtnFindNextClick(nullptr);
  EXPECT_EQ(Active().CurrentPageNumber(), 5);
  dialog.BitBtnFindNextClick(nullptr);
  EXPECT_EQ(messages_, std::vector<std::string>{EngineMessages().msgNotFound});
  // Upward, matching case.
  dialog.RadioGroupDirection->SetItemIndex(0);
  dialog.CheckBoxMatchCase->SetChecked(true);
  EXPECT_EQ(dialog.Options(), foUp | foMatchCase);
  Active().LastPage();
  dialog.BitBtnFindNextClick(nullptr);
  EXPECT_EQ(messages_.size(), 2u) << "'ponta' is written with a capital";
  dialog.EditTextToFind->SetText("Ponta");
  dialog.BitBtnFindNextClick(nullptr);
  EXPECT_EQ(Active().CurrentPageNumber(), 5);
  dialog.BitBtnFindNextClick(nullptr);
  EXPECT_EQ(Active().CurrentPageNumber(), 2);
  EXPECT_EQ(messages_.size(), 2u);
}

// Enter searches wherever the focus is in the find dialog, and the dialog's own "not found" message, which takes
// the focus while it is up, leaves the dialog open.
TEST_F(PreviewForm, TheFindDialogSearchesOnEnterAndOutlivesItsNotFoundMessage) {
  TRLPreviewForm& form = Make(6, 1, [](int index, TRLGraphicSurface& page) {
    if (index == 1 || index == 4) AddText(page, {100, 500, 300, 520}, "Ponta Grossa");
  });
  form.Show();
  form.OpenFindDialog();
  TfrmRLFindDialog& dialog = *form.FindDialog();
  dialog.EditTextToFind->SetText("ponta");
  dialog.Widget()->activateWindow();
  QApplication::processEvents();
  const QList<QRadioButton*> directions = dialog.RadioGroupDirection->Widget()->findChildren<QRadioButton*>();
  ASSERT_EQ(directions.size(), 2);
  auto enter_on = [&](QWidget* focus) {
    focus->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), focus);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(focus, &press);
  };
  struct Case {
    const char* what;
    QWidget* focus;
    int page;
  };
  const Case cases[] = {
      {"the chosen direction", directions[1], 2},
      {"a check box", dialog.CheckBoxWholeWords->Widget(), 5},
  };
  ASSERT_TRUE(directions[1]->isChecked()) << "downward";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    enter_on(c.focus);
    EXPECT_EQ(Active().CurrentPageNumber(), c.page);
    EXPECT_TRUE(directions[1]->isChecked()) << "Enter chose nothing";
  }

  EXPECT_TRUE(messages_.empty());

  // Nothing after page 5, from the direction not chosen: the real message box, answered once it is up.
  SetMessageBoxHandler({});
  QString said;
  bool dialog_active_under_box = true;
  outputtest::WhenModal([&](QWidget* box) {
    said = box->findChild<QLabel*>("qt_msgbox_label") ? box->findChild<QLabel*>("qt_msgbox_label")->text() : "";
    // The box is modal at once and active a little later, once the platform has handed it the focus.
    QElapsedTimer waited;
    waited.start();
    while (!box->isActiveWindow() && waited.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    dialog_active_under_box = dialog.Widget()->isActiveWindow();
    static_cast<QDialog*>(box)->accept();
  });
  enter_on(directions[0]);
  QApplication::processEvents();
  EXPECT_EQ(said.toStdString(), EngineMessages().msgNotFound);
  EXPECT_FALSE(dialog_active_under_box) << "the message took the focus";
  EXPECT_TRUE(dialog.Visible());
  EXPECT_TRUE(dialog.Widget()->isVisible());
}

TEST(FindDialog, ItsControlsAndOptions) {
  TfrmRLFindDialog dialog;
  const TRLEngineMessages& m = EngineMessages();
  EXPECT_EQ(dialog.Caption(), m.msgFind);
  EXPECT_EQ(dialog.ClientWidth(), 367);
  EXPECT_EQ(dialog.ClientHeight(), 94);
  EXPECT_EQ(dialog.BorderStyle(), bsDialog);
  EXPECT_EQ(dialog.LabelTextToFind->Caption(), m.msgFindText + ":");
  EXPECT_TRUE(dialog.BitBtnFindNext->Default());
  EXPECT_TRUE(dialog.BitBtnCancel->Cancel());
  EXPECT_EQ(dialog.DefaultButton(), dialog.BitBtnFindNext);
  EXPECT_EQ(dialog.CancelButton(), dialog.BitBtnCancel);
  EXPECT_EQ(dialog.RadioGroupDirection->Caption(), " " + m.msgDirection + " ");
  EXPECT_EQ(dialog.RadioGroupDirection->Items().Lines(), (std::vector<std::string>{m.msgUp, m.msgDown}));
  EXPECT_EQ(dialog.Options(), 0) << "down, any case, any part of a word";
  dialog.CheckBoxWholeWords->SetChecked(true);
  EXPECT_EQ(dialog.Options(), foWholeWords);

  std::vector<std::string> messages;
  TMessageBoxHandler previous =
      SetMessageBoxHandler([&](const std::string& text, const std::string&, TMsgDlgType) { messages.push_back(text); });
  dialog.BitBtnFindNextClick(nullptr);  // no target
  int options = -1;
  dialog.SetFindTarget([&](TfrmRLFindDialog*, const std::string& text, bool& found, int o) {
    options = o;
    found = text == "sim";
  });
  dialog.EditTextToFind->SetText("sim");
  dialog.BitBtnFindNextClick(nullptr);
  EXPECT_EQ(options, foWholeWords);
  SetMessageBoxHandler(previous);
  EXPECT_EQ(messages, std::vector<std::string>{m.msgNotFound});

  // Esc cancels: the dialog hides and keeps what was typed.
  dialog.Show();
  int escape = VK_ESCAPE;
  EXPECT_TRUE(dialog.PreviewKey(escape, {}, false));
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(dialog.EditTextToFind->GetText(), "sim");
  dialog.Show();
  dialog.FormDeactivate(&dialog);
  EXPECT_FALSE(dialog.Visible());
}

TEST(PreviewFileName, TheTitleCleanedAndMadeAFullPath) {
  const std::filesystem::path here = std::filesystem::current_path();
  struct Case {
    std::string title, name;
  } cases[] = {
      {"  Clientes por Cidade  ", "Clientes por Cidade"},
      {"a/b\\c:d*e?f\"g<h>i|j", "abcdefghij"},
      {std::string("tab\there\x7f") + "\x01", "tabhere"},
      {"São Paulo 2026", "São Paulo 2026"},
  };
  for (const Case& c : cases) EXPECT_EQ(PreviewFileName(c.title), (here / c.name).string()) << c.title;
  // A report without a title (the client report has none) proposes no name.
  for (const char* nothing : {"", "   ", "/:?*"}) EXPECT_EQ(PreviewFileName(nothing), "") << nothing;
}

}  // namespace
