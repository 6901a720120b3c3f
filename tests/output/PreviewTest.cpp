// The preview control: zoom factors, navigation, layout, box painting, search, editing handles, copying.
#include "output/RLPreview.h"

#include "output/PreviewFixture.h"
#include "pages/RLUtils.h"
#include "widgets/Clipbrd.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace previewtest;

class Preview : public testing::Test {
protected:
  // `pages` pages in a control of width x height.
  TRLPreview& Make(int pages, int width = 800, int height = 600, int firstPageNumber = 1,
                   const std::function<void(int, TRLGraphicSurface&)>& extra = {}) {
    storage_ = MakePages(&owner_, pages, firstPageNumber, extra);
    preview_ = std::make_unique<TRLPreview>(nullptr);
    preview_->SetBounds(0, 0, width, height);
    preview_->SetPages(storage_);
    return *preview_;
  }
  std::vector<int> ShownPageNumbers() const {
    std::vector<int> numbers;
    for (int k = 0; k < preview_->VisibleBoxes(); ++k) numbers.push_back(preview_->Boxes(k)->PageNumber());
    return numbers;
  }

  TComponent owner_{nullptr};
  TRLGraphicStorage* storage_ = nullptr;
  std::unique_ptr<TRLPreview> preview_;
};

TEST_F(Preview, ZoomFactorsFollowTheControlAndThePaper) {
  struct Case {
    int width, height;
    int orientation;  // 1 portrait, 2 landscape, 0 no collection
    double full_width, full_page, multiple;
  } cases[] = {
      {800, 600, 1, 100, 53, 32},
      {1200, 900, 2, 106, 106, 34},
      {1607, 2300, 1, 202, 202, 66},
      {800, 600, 0, 100, 100, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " orientation " << c.orientation);
    TRLPreview& preview = Make(4, c.width, c.height);
    if (c.orientation == 0) preview.SetPages(nullptr);
    else storage_->SetOrientation(c.orientation);
    preview.ZoomFullWidth();
    EXPECT_EQ(preview.ZoomFactor(), c.full_width);
    EXPECT_EQ(preview.VisibleBoxes(), 1);
    preview.ZoomFullPage();
    EXPECT_EQ(preview.ZoomFactor(), c.full_page);
    preview.ZoomMultiplePages();
    EXPECT_EQ(preview.ZoomFactor(), c.multiple);
    EXPECT_EQ(preview.VisibleBoxes(), 3);
    EXPECT_TRUE(preview.Boxes(2)->Visible());
    // The three pages fit the control side by side: the last one is not cut.
    EXPECT_LE(preview.Boxes(2)->Left() + preview.Boxes(2)->Width(), c.width);
    EXPECT_GE(preview.Boxes(0)->Left(), 0);
  }
}

TEST_F(Preview, ZoomFactorsBelowTenAreIgnored) {
  TRLPreview& preview = Make(2, 60, 60);
  preview.SetZoomFactor(75);
  preview.ZoomFullPage();  // (6000 - 700) / 1123 rounds to 5
  EXPECT_EQ(preview.ZoomFactor(), 75);
  preview.SetZoomFactor(9.9);
  EXPECT_EQ(preview.ZoomFactor(), 75);
  preview.SetZoomFactor(10);
  EXPECT_EQ(preview.ZoomFactor(), 10);
}

TEST_F(Preview, NavigationInTheSingleAndTheMultipleView) {
  struct Step {
    const char* what;
    void (TRLPreview::*action)();
    std::vector<int> shown;
  } single[] = {
      {"next", &TRLPreview::NextPage, {2}},
      {"last", &TRLPreview::LastPage, {10}},
      {"next on the last", &TRLPreview::NextPage, {10}},
      {"prior", &TRLPreview::PriorPage, {9}},
      {"first", &TRLPreview::FirstPage, {1}},
      {"prior on the first", &TRLPreview::PriorPage, {1}},
  };
  TRLPreview& preview = Make(10);
  EXPECT_EQ(ShownPageNumbers(), std::vector<int>{1});
  for (const Step& step : single) {
    (preview.*step.action)();
    EXPECT_EQ(ShownPageNumbers(), step.shown) << step.what;
  }
  preview.ZoomMultiplePages();
  Step multiple[] = {
      {"next", &TRLPreview::NextPage, {4, 5, 6}},
      {"last", &TRLPreview::LastPage, {8, 9, 10}},
      {"prior", &TRLPreview::PriorPage, {5, 6, 7}},
      {"next", &TRLPreview::NextPage, {8, 9, 10}},
      {"next near the end", &TRLPreview::NextPage, {10, 11, 12}},
      {"first", &TRLPreview::FirstPage, {1, 2, 3}},
  };
  for (const Step& step : multiple) {
    (preview.*step.action)();
    EXPECT_EQ(ShownPageNumbers(), step.shown) << step.what;
  }
  preview.GotoPage(11);
  preview.GotoPage(0);
  EXPECT_EQ(preview.CurrentPageNumber(), 1);
}

TEST_F(Preview, PageNumbersStartAtTheCollectionsFirstPageNumber) {
  TRLPreview& preview = Make(10, 800, 600, 21);
  EXPECT_EQ(preview.CurrentPageNumber(), 21);
  preview.GotoPage(25);
  EXPECT_EQ(preview.PageIndex(), 4);
  preview.LastPage();
  EXPECT_EQ(preview.CurrentPageNumber(), 30);
  preview.SetPages(nullptr);
  EXPECT_EQ(preview.CurrentPageNumber(), 0);
  preview.NextPage();
  EXPECT_EQ(preview.CurrentPageNumber(), 0);
}

TEST_F(Preview, BoxesPastTheLastPageTakeTheCollectionsPageSize) {
  TRLPreview& preview = Make(10, 2600, 1000);
  preview.ZoomMultiplePages();
  EXPECT_EQ(preview.ZoomFactor(), 88);
  preview.GotoPage(10);
  const int zoomed_width = RoundToInt(kPageWidth * preview.ZoomFactor() / 100) + 7;
  for (int k = 0; k < 3; ++k) EXPECT_EQ(preview.Boxes(k)->Width(), zoomed_width) << k;
  // They touch each other, centred in the control.
  EXPECT_EQ(preview.Boxes(1)->Left(), preview.Boxes(0)->Left() + zoomed_width);
  EXPECT_EQ(preview.Boxes(0)->Left(), (2600 - 3 * zoomed_width) / 2);
}

TEST_F(Preview, NarrowerPagesAreCentredWiderOnesScroll) {
  TRLPreview& preview = Make(3, 2000, 1500);
  EXPECT_EQ(preview.Boxes(0)->Left(), (2000 - 801) / 2);
  EXPECT_EQ(preview.Boxes(0)->Top(), (1500 - 1130) / 2);
  preview.SetBounds(0, 0, 400, 300);
  EXPECT_EQ(preview.Boxes(0)->Left(), 0);
  EXPECT_EQ(preview.Boxes(0)->Top(), 0);
  preview.HorzScrollBar().SetPosition(100);
  preview.VertScrollBar().SetPosition(250);
  EXPECT_EQ(preview.Boxes(0)->Left(), -100);
  EXPECT_EQ(preview.Boxes(0)->Top(), -250);
  preview.ScrollRightEnd();
  EXPECT_EQ(preview.HorzScrollBar().Position(), 801 - 400);
  preview.ScrollBottom();
  EXPECT_EQ(preview.Boxes(0)->Top(), 300 - 1130);
  // At 40% the page fits across but not down: the horizontal position goes back to 0, the vertical one stays.
  preview.SetZoomFactor(40);
  EXPECT_EQ(preview.HorzScrollBar().Position(), 0);
  EXPECT_EQ(preview.Boxes(0)->Left(), (400 - 325) / 2);
  EXPECT_EQ(preview.Boxes(0)->Top(), 300 - 456);
  // Another page starts at the top left.
  preview.NextPage();
  EXPECT_EQ(preview.Boxes(0)->Top(), 0);
}

TEST_F(Preview, ScrollingByLinesAndPagesStaysInRange) {
  TRLPreview& preview = Make(1, 300, 200);
  struct Case {
    void (TRLPreview::*action)();
    int horizontal, vertical;
  } cases[] = {
      {&TRLPreview::ScrollLineDown, 0, 10}, {&TRLPreview::ScrollLineRight, 10, 10}, {&TRLPreview::ScrollDown, 10, 210},
      {&TRLPreview::ScrollRight, 310, 210}, {&TRLPreview::ScrollLineUp, 310, 200},  {&TRLPreview::ScrollLeft, 10, 200},
      {&TRLPreview::ScrollUp, 10, 0},       {&TRLPreview::ScrollLineLeft, 0, 0},    {&TRLPreview::ScrollLineUp, 0, 0},
  };
  for (const Case& c : cases) {
    (preview.*c.action)();
    EXPECT_EQ(preview.HorzScrollBar().Position(), c.horizontal);
    EXPECT_EQ(preview.VertScrollBar().Position(), c.vertical);
  }
  preview.ScrollRightEnd();
  preview.ScrollBottom();
  EXPECT_EQ(preview.HorzScrollBar().Position(), 801 - 300);
  EXPECT_EQ(preview.VertScrollBar().Position(), 1130 - 200);
}

TEST_F(Preview, APaintedBoxHasItsFrameShadowAndPage) {
  TRLPreview& preview = Make(2, 900, 1200);
  preview.HandleNeeded();
  TRLPreviewBox& box = *preview.Boxes(0);
  const int right = box.Width() - 7, bottom = box.Height() - 7;
  for (bool active : {false, true}) {
    preview.SetIsActive(active);
    QImage image = Grab(box);
    SCOPED_TRACE(active ? "active" : "inactive");
    const TColor frame = active ? clBlack : clSilver;
    EXPECT_EQ(PixelAt(image, 0, 0), frame);
    EXPECT_EQ(PixelAt(image, right - 1, bottom - 1), frame);
    EXPECT_EQ(PixelAt(image, 400, bottom - 1), frame);
    EXPECT_EQ(PixelAt(image, 5, 700), clWhite);
    // The shadow: a strip right of the page from 5 pixels down, one below it from 5 pixels right.
    EXPECT_EQ(PixelAt(image, right + 2, 5), clGray);
    EXPECT_EQ(PixelAt(image, right + 4, bottom + 4), clGray);
    EXPECT_EQ(PixelAt(image, 5, bottom + 2), clGray);
    EXPECT_NE(PixelAt(image, right + 2, 2), clGray);
    EXPECT_NE(PixelAt(image, 2, bottom + 2), clGray);
  }
}

TEST_F(Preview, BoxesPastTheLastPageAreGrayAndCrossed) {
  TRLPreview& preview = Make(1, 2600, 1300);
  preview.ZoomMultiplePages();
  preview.HandleNeeded();
  TRLPreviewBox& box = *preview.Boxes(2);
  QImage image = Grab(box);
  const int inner_right = box.Width() - 8, inner_bottom = box.Height() - 8;
  EXPECT_EQ(PixelAt(image, 0, 0), clSilver);
  EXPECT_EQ(PixelAt(image, 1, 1), clSilver);                               // one diagonal starts at the top left
  EXPECT_EQ(PixelAt(image, inner_right - 1, inner_bottom - 1), clSilver);  // and ends at the bottom right
  EXPECT_EQ(PixelAt(image, inner_right - 1, 1), clSilver);                 // the other one crosses it
  EXPECT_EQ(PixelAt(image, 1, inner_bottom - 1), clSilver);
  EXPECT_EQ(PixelAt(image, 30, 5), clGray);
  EXPECT_EQ(PixelAt(image, box.Width() - 5, box.Height() / 2), clGray);
}

TEST_F(Preview, FindWalksTheTextsForwardAndBackward) {
  // "Agulha" on pages 3 and 7 (indexes 2 and 6); "AGULHA no palheiro" also on page 7.
  int first_on_seven = -1, second_on_seven = -1, on_three = -1;
  TRLPreview& preview = Make(10, 800, 600, 1, [&](int index, TRLGraphicSurface& page) {
    if (index == 2) on_three = AddText(page, {100, 400, 300, 420}, "uma Agulha");
    if (index == 6) {
      first_on_seven = AddText(page, {100, 300, 300, 320}, "Agulha");
      second_on_seven = AddText(page, {100, 500, 300, 520}, "AGULHA no palheiro");
    }
  });
  struct Search {
    const char* text;
    bool backward, match_case;
    bool found;
    int page_index, object_index;
  } searches[] = {
      {"agulha", false, false, true, 2, on_three},
      {"agulha", false, false, true, 6, first_on_seven},
      {"agulha", false, false, true, 6, second_on_seven},
      {"agulha", false, false, false, -1, -1},
      {"agulha", true, false, true, 6, second_on_seven},
      {"agulha", true, false, true, 6, first_on_seven},
      {"agulha", true, false, true, 2, on_three},
      {"agulha", true, false, false, -1, -1},
      {"Agulha", false, true, true, 2, on_three},
      {"Agulha", false, true, true, 6, first_on_seven},
      {"Agulha", false, true, false, -1, -1},
      {"agulha", false, true, false, -1, -1},
  };
  int step = 0;
  for (const Search& s : searches) {
    SCOPED_TRACE(testing::Message() << "search " << ++step);
    EXPECT_EQ(preview.Find(s.text, s.backward, s.match_case), s.found);
    EXPECT_EQ(preview.LastFind().Found, s.found);
    EXPECT_EQ(preview.LastFind().PageIndex, s.page_index);
    EXPECT_EQ(preview.LastFind().ObjectIndex, s.object_index);
    if (s.found) {
      EXPECT_EQ(preview.PageIndex(), s.page_index);
    }
  }
  EXPECT_FALSE(preview.Find("nada disso", false, false));
}

TEST_F(Preview, ASecondSearchForATextFoundOnceReturnsFalseAndClearsTheHit) {
  TRLPreview& preview = Make(10, 800, 600, 1, [](int index, TRLGraphicSurface& page) {
    if (index == 2) AddText(page, {100, 400, 300, 420}, "Único");
  });
  ASSERT_TRUE(preview.Find("único", false, false));
  EXPECT_EQ(preview.CurrentPageNumber(), 3);
  EXPECT_FALSE(preview.Find("único", false, false));
  EXPECT_FALSE(preview.LastFind().Found);
  EXPECT_EQ(preview.LastFind().PageIndex, -1);
  // The next search starts over from the page shown.
  EXPECT_TRUE(preview.Find("único", false, false));
}

TEST_F(Preview, TheHitIsOutlinedInExclusiveOr) {
  int hit = -1;
  TRLPreview& preview = Make(2, 900, 1200, 1, [&](int index, TRLGraphicSurface& page) {
    if (index == 1) hit = AddText(page, {200, 600, 400, 620}, "destaque");
  });
  preview.HandleNeeded();
  preview.NextPage();
  TRLPreviewBox& box = *preview.Boxes(0);
  QImage before = Grab(box);
  ASSERT_TRUE(preview.Find("destaque", false, false));
  ASSERT_EQ(preview.LastFind().ObjectIndex, hit);
  QImage after = Grab(box);
  // The three-pixel outline three pixels around the bounds turns the white page black.
  for (TPoint p : {TPoint{198, 598}, TPoint{197, 610}, TPoint{402, 622}, TPoint{300, 597}}) {
    EXPECT_EQ(PixelAt(before, p.X, p.Y), clWhite) << p.X << "," << p.Y;
    EXPECT_EQ(PixelAt(after, p.X, p.Y), clBlack) << p.X << "," << p.Y;
  }
  EXPECT_EQ(PixelAt(after, 196, 610), clWhite);
  EXPECT_EQ(PixelAt(after, 300, 610), PixelAt(before, 300, 610));
}

TEST_F(Preview, EditingPicksTheSmallestObjectAndMarksItsGroup) {
  int big = -1, small = -1, lone = -1, ungrouped = -1;
  TRLPreview& preview = Make(1, 900, 1200, 1, [&](int, TRLGraphicSurface& page) {
    big = AddText(page, {300, 300, 500, 400}, "grande", 7);
    small = AddText(page, {350, 320, 400, 340}, "pequeno", 7);
    lone = AddText(page, {300, 600, 400, 640}, "sozinho", 9);
    ungrouped = AddText(page, {300, 700, 400, 740}, "sem grupo", 0);
  });
  preview.HandleNeeded();
  TRLPreviewBox& box = *preview.Boxes(0);
  struct Pick {
    int x, y;
    int selected;
  } picks[] = {{360, 330, small}, {320, 380, big}, {500, 400, big}, {300, 640, lone}, {100, 900, -1}};
  for (const Pick& p : picks) EXPECT_EQ(box.ObjectAt(p.x, p.y), p.selected) << p.x << "," << p.y;

  box.MouseDown(mbLeft, {}, 360, 330);
  EXPECT_EQ(box.Selected(), -1) << "picking needs the editing mode";
  preview.SetEditing(true);
  box.MouseDown(mbRight, {}, 360, 330);
  EXPECT_EQ(box.Selected(), small);
  QImage group = Grab(box);
  // Two objects in the group: silver handles with a white outline at both objects' corners and edge middles.
  for (TPoint corner : {TPoint{300, 300}, TPoint{500, 350}, TPoint{350, 320}, TPoint{375, 340}}) {
    EXPECT_EQ(PixelAt(group, corner.X, corner.Y), clSilver) << corner.X << "," << corner.Y;
    EXPECT_EQ(PixelAt(group, corner.X - 3, corner.Y - 3), clWhite) << corner.X << "," << corner.Y;
  }
  box.MouseDown(mbLeft, {}, 350, 620);
  EXPECT_EQ(box.Selected(), lone);
  QImage single = Grab(box);
  EXPECT_EQ(PixelAt(single, 300, 600), clBlack);
  EXPECT_EQ(PixelAt(single, 400, 640), clBlack);
  EXPECT_EQ(PixelAt(single, 300, 300), clWhite);
  // An object outside every group shows no handles.
  box.MouseDown(mbLeft, {}, 350, 720);
  EXPECT_EQ(box.Selected(), ungrouped);
  EXPECT_EQ(PixelAt(Grab(box), 300, 700), clWhite);
  preview.SetEditing(false);
  EXPECT_EQ(box.Selected(), -1);
}

TEST_F(Preview, PickingConvertsTheZoom) {
  int target = -1;
  TRLPreview& preview = Make(1, 900, 1200, 1, [&](int, TRLGraphicSurface& page) {
    target = AddText(page, {400, 400, 420, 420}, "alvo");
  });
  preview.SetZoomFactor(50);
  EXPECT_EQ(preview.Boxes(0)->ObjectAt(205, 205), target);
  preview.SetZoomFactor(200);
  EXPECT_EQ(preview.Boxes(0)->ObjectAt(820, 820), target);
  EXPECT_EQ(preview.Boxes(0)->ObjectAt(10, 10), -1);
}

TEST_F(Preview, CopyPutsThePageAtScaleOneOnTheClipboard) {
  TRLPreview& preview = Make(3);
  preview.SetZoomFactor(50);
  preview.NextPage();
  Clipboard().Clear();
  preview.Boxes(0)->CopyToClipboard();
  std::unique_ptr<TBitmap> copied = Clipboard().Bitmap();
  ASSERT_TRUE(copied);
  TRLPageRef page = storage_->Pages(1);
  std::unique_ptr<TBitmap> expected = RenderPageToImage(*page, 1.0);
  ASSERT_EQ(copied->Width(), kPageWidth);
  ASSERT_EQ(copied->Height(), kPageHeight);
  EXPECT_EQ(copied->Image().convertToFormat(QImage::Format_RGB32),
            expected->Image().convertToFormat(QImage::Format_RGB32));

  // The popup's Copy acts on the box it was opened on; Ctrl+C on the control copies the first box.
  preview.ZoomMultiplePages();
  preview.FirstPage();
  preview.Popup()->SetPopupComponent(preview.Boxes(2));
  preview.Popup()->Items(0)->Click();
  page = storage_->Pages(2);
  EXPECT_EQ(Clipboard().Bitmap()->Image().convertToFormat(QImage::Format_RGB32),
            RenderPageToImage(*page, 1.0)->Image().convertToFormat(QImage::Format_RGB32));
  page.Release();
  int key = 'C';
  EXPECT_TRUE(preview.KeyDown(key, {ssCtrl}));
  page = storage_->Pages(0);
  EXPECT_EQ(Clipboard().Bitmap()->Image().convertToFormat(QImage::Format_RGB32),
            RenderPageToImage(*page, 1.0)->Image().convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(preview.Popup()->Items(0)->ShortCut(), ShortCut('C', {ssCtrl}));
}

TEST_F(Preview, DoubleClickSwitchesBetweenFullWidthAndMultiplePages) {
  TRLPreview& preview = Make(10, 1200, 900);
  preview.ZoomMultiplePages();
  preview.Boxes(1)->DblClick();
  EXPECT_EQ(preview.VisibleBoxes(), 1);
  EXPECT_EQ(preview.CurrentPageNumber(), 2);
  EXPECT_EQ(preview.ZoomFactor(), preview.FullWidthZoom());
  preview.Boxes(0)->DblClick();
  EXPECT_EQ(preview.VisibleBoxes(), 3);
  EXPECT_EQ(preview.CurrentPageNumber(), 2);
}

TEST_F(Preview, ControlWheelZoomsAroundTheMouse) {
  TRLPreview& preview = Make(2, 400, 300);
  preview.HorzScrollBar().SetPosition(200);
  preview.VertScrollBar().SetPosition(300);
  // The page point under (100, 100) is (300, 400) at 100%.
  EXPECT_TRUE(preview.DoMouseWheel({ssCtrl}, 120, {100, 100}));
  EXPECT_EQ(preview.ZoomFactor(), 110);
  EXPECT_EQ(preview.Boxes(0)->Left() + 330, 100);
  EXPECT_EQ(preview.Boxes(0)->Top() + 440, 100);
  EXPECT_TRUE(preview.DoMouseWheel({ssCtrl}, -240, {100, 100}));
  EXPECT_EQ(preview.ZoomFactor(), 90);
  // Without Ctrl the wheel scrolls.
  int top = preview.VertScrollBar().Position();
  EXPECT_TRUE(preview.DoMouseWheel({}, -120, {100, 100}));
  EXPECT_EQ(preview.VertScrollBar().Position(), top + 60);
}

TEST_F(Preview, OnChangeViewFollowsEveryLayout) {
  TRLPreview& preview = Make(5);
  int changes = 0;
  preview.OnChangeView = [&](TObject*) { ++changes; };
  preview.NextPage();
  preview.SetZoomFactor(80);
  preview.SetBounds(0, 0, 700, 500);
  preview.SetBounds(10, 10, 700, 500);  // moved, same size: no new layout
  EXPECT_EQ(changes, 3);
}

TEST_F(Preview, AFreedCollectionLeavesThePreviewEmpty) {
  TRLPreview& preview = Make(3);
  delete storage_;
  EXPECT_EQ(preview.Pages(), nullptr);
  EXPECT_EQ(preview.PageCount(), 0);
  EXPECT_FALSE(preview.Find("Linha", false, false));
  // An ownerless collection lives as long as someone links it.
  auto* shared = MakePages(nullptr, 2);
  preview.SetPages(shared);
  TRLPreview second(nullptr);
  second.SetPages(shared);
  EXPECT_EQ(shared->LinkCount(), 2);
  preview.SetPages(nullptr);
  EXPECT_EQ(shared->LinkCount(), 1);
}

}  // namespace
