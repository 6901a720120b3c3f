// Site layout: alignment of children by kind and order, automatic size of sites, anchors, degrade and background.
#include "ReportTestSupport.h"

#include "graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace {

// A bare site of the given client size (no margins, no borders) on a form that owns its children.
struct SiteRig {
  TForm form{nullptr};
  TRLCustomSite* site;

  SiteRig(int width, int height) {
    RegisterReportClasses();
    site = new TRLCustomSite(&form);
    site->SetName("Site");
    site->SetBounds(0, 0, width, height);
  }
  // While loading, the site leaves its children where they are put; Placed() aligns them once, as a loaded
  // definition does.
  void Loading() { site->SetComponentStateFlag(csLoading, true); }
  void Placed() {
    site->SetComponentStateFlag(csLoading, false);
    site->Realign();
  }
  TRLLabel* Child(const std::string& name, TRLControlAlign align, TRect bounds) {
    auto* label = new TRLLabel(&form);
    label->SetName(name);
    label->SetAutoSize(false);
    label->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    label->SetParent(site);
    label->SetAlign(align);
    return label;
  }
};

std::vector<int> Reds(const TRLGraphicSurface& surface) {
  std::vector<int> reds;
  for (auto* fill : Recorded<TRLFillRectObject>(surface)) reds.push_back(fill->Brush().Color().Red);
  return reds;
}

}  // namespace

TEST(Layout, ChildrenComeInTheOrderTheirOwnersTookThem) {
  auto names = [](const TWinControl& parent) {
    std::string out;
    for (TControl* c : ChildrenInCreationOrder(parent)) out += c->Name().empty() ? "?" : c->Name();
    return out;
  };
  SiteRig rig(100, 100);
  TRLLabel* a = rig.Child("A", faNone, {0, 0, 10, 10});
  rig.Child("B", faNone, {0, 0, 10, 10});
  rig.Child("C", faNone, {0, 0, 10, 10});
  EXPECT_EQ(names(*rig.site), "ABC");
  // Taken again by its owner, a child goes to the end of the owner's list.
  rig.form.RemoveComponent(a);
  rig.form.InsertComponent(a);
  EXPECT_EQ(names(*rig.site), "BCA");
  // With children of other owners, each is placed by its position in its own owner; the unowned go last.
  TForm other(nullptr);
  auto* d = new TRLLabel(&other);
  d->SetName("D");
  d->SetParent(rig.site);
  auto* unowned = new TRLLabel(nullptr);
  unowned->SetParent(rig.site);
  EXPECT_EQ(names(*rig.site), "DBCA?");
  delete unowned;
  delete d;
  EXPECT_EQ(names(*rig.site), "BCA");
}

TEST(Layout, ClientChildrenShareTheWidthLastTakesTheRest) {
  SiteRig rig(101, 40);
  rig.Loading();
  TRLLabel* right = rig.Child("Right", faClient, {60, 0, 70, 10});
  TRLLabel* left = rig.Child("Left", faClient, {5, 0, 15, 10});
  rig.Placed();
  EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 50, 40})) << "smaller Left first";
  EXPECT_EQ(right->BoundsRect(), (TRect{50, 0, 101, 40}));
}

TEST(Layout, TopBandsStackByTypeGroupIndexAndTop) {
  ReportRig rig;
  struct Spec {
    const char* name;
    TRLBandType type;
    int group_index;
    int height;
    int expected_top;
  } specs[] = {
      {"Detail", btDetail, 0, 10, 69},
      {"Header", btHeader, 0, 20, 19},
      {"ColumnHeader", btColumnHeader, 0, 30, 39},
      {"SecondDetail", btDetail, 2, 7, 86},
      {"FirstDetail", btDetail, 1, 7, 79},
  };
  std::vector<TRLBand*> bands;
  for (const Spec& s : specs) {
    TRLBand* band = rig.Add<TRLBand>(rig.report, s.name);
    band->SetBandType(s.type);
    band->SetGroupIndex(s.group_index);
    band->SetHeight(s.height);
    bands.push_back(band);
  }
  for (std::size_t i = 0; i < bands.size(); ++i) {
    SCOPED_TRACE(specs[i].name);
    EXPECT_EQ(bands[i]->Top(), specs[i].expected_top);
    EXPECT_EQ(bands[i]->Left(), 19);
    EXPECT_EQ(bands[i]->Width(), 756);
  }
}

TEST(Layout, EdgeAndCornerKinds) {
  SiteRig rig(200, 100);
  struct Case {
    const char* name;
    TRLControlAlign align;
    TRect start, expected;
  } cases[] = {
      {"LeftMost", faLeftMost, {50, 50, 60, 60}, {0, 0, 10, 100}},
      {"Top", faTop, {50, 50, 60, 60}, {10, 0, 200, 10}},
      {"Bottom", faBottom, {50, 50, 60, 65}, {10, 85, 200, 100}},
      {"Right", faRight, {50, 50, 70, 60}, {180, 10, 200, 85}},
      {"LeftTop", faLeftTop, {90, 90, 110, 95}, {10, 10, 30, 15}},
      {"RightBottom", faRightBottom, {90, 90, 100, 98}, {170, 77, 180, 85}},
      {"ClientTop", faClientTop, {0, 0, 5, 6}, {30, 10, 180, 16}},
      {"ClientLeft", faClientLeft, {0, 0, 7, 5}, {10, 15, 17, 85}},
      {"WidthKind", faWidth, {0, 40, 5, 45}, {10, 40, 180, 45}},
      {"HeightKind", faHeight, {60, 0, 64, 5}, {60, 10, 64, 85}},
      {"RightOnly", faRightOnly, {60, 50, 70, 55}, {170, 50, 180, 55}},
      {"BottomOnly", faBottomOnly, {100, 0, 110, 6}, {100, 79, 110, 85}},
      {"CenterLeft", faCenterLeft, {0, 0, 8, 20}, {10, 37, 18, 57}},
      {"CenterBottom", faCenterBottom, {0, 0, 30, 4}, {80, 81, 110, 85}},
  };
  std::vector<TRLLabel*> children;
  for (const Case& c : cases) children.push_back(rig.Child(c.name, c.align, c.start));
  rig.site->Realign();
  for (std::size_t i = 0; i < children.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(children[i]->BoundsRect(), cases[i].expected);
  }
}

TEST(Layout, ClientKindsBetweenCornersAdvanceBySlotWhateverSizeTheChildTook) {
  // The first child cannot grow past 20 along the run; the second still starts at the half and takes the rest.
  struct Case {
    const char* name;
    TRLControlAlign align;
    TRect first_start, second_start, first_expected, second_expected;
  } cases[] = {
      {"ClientTop", faClientTop, {0, 0, 5, 6}, {10, 0, 15, 7}, {0, 0, 20, 6}, {100, 0, 200, 7}},
      {"ClientBottom", faClientBottom, {10, 0, 15, 6}, {0, 0, 5, 7}, {0, 94, 20, 100}, {100, 93, 200, 100}},
      {"ClientLeft", faClientLeft, {0, 0, 7, 5}, {0, 10, 8, 15}, {0, 0, 7, 20}, {0, 50, 8, 100}},
      {"ClientRight", faClientRight, {0, 0, 7, 5}, {0, 10, 8, 15}, {193, 0, 200, 20}, {192, 50, 200, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SiteRig rig(200, 100);
    rig.Loading();
    TRLLabel* first = rig.Child("First", c.align, c.first_start);
    TRLLabel* second = rig.Child("Second", c.align, c.second_start);
    first->Constraints().SetMaxWidth(c.align == faClientTop || c.align == faClientBottom ? 20 : 0);
    first->Constraints().SetMaxHeight(c.align == faClientLeft || c.align == faClientRight ? 20 : 0);
    rig.Placed();
    EXPECT_EQ(first->BoundsRect(), c.first_expected);
    EXPECT_EQ(second->BoundsRect(), c.second_expected);
  }
}

TEST(Layout, CenterGroupStartsAtTheMiddle) {
  SiteRig rig(200, 100);
  rig.Loading();
  TRLLabel* second = rig.Child("Second", faCenter, {50, 0, 70, 30});
  TRLLabel* first = rig.Child("First", faCenter, {0, 0, 40, 10});
  rig.Placed();
  EXPECT_EQ(first->BoundsRect(), (TRect{70, 30, 110, 40}));
  EXPECT_EQ(second->BoundsRect(), (TRect{110, 30, 130, 60}));
}

TEST(Layout, AnchorsFollowTheSitesNewSize) {
  SiteRig rig(200, 100);
  struct Case {
    const char* name;
    TRLControlAnchors anchors;
    TRect expected;  // after the site grew to 250 x 140
  } cases[] = {
      // Left without top or bottom also moves the top in proportion, and top without left or right the left.
      {"Stretch", {fkLeft, fkRight}, {10, 28, 90, 48}},
      {"MoveRight", {fkRight}, {60, 20, 90, 40}},
      {"StretchDown", {fkTop, fkBottom}, {12, 20, 42, 80}},
      {"MoveDown", {fkBottom}, {10, 60, 40, 80}},
      {"LeftOnly", {fkLeft}, {10, 28, 40, 48}},
      {"TopOnly", {fkTop}, {12, 20, 42, 40}},
      {"Nothing", {}, {10, 20, 40, 40}},
  };
  std::vector<TRLLabel*> children;
  for (const Case& c : cases) {
    TRLLabel* child = rig.Child(c.name, faNone, {10, 20, 40, 40});
    child->SetAnchors(c.anchors);
    children.push_back(child);
  }
  rig.site->Realign();
  rig.site->SetBounds(0, 0, 250, 140);
  for (std::size_t i = 0; i < children.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(children[i]->BoundsRect(), cases[i].expected);
  }
}

TEST(Layout, AutomaticSizeOfASiteComesFromItsChildren) {
  SiteRig rig(300, 300);
  rig.Child("A", faLeft, {0, 0, 30, 10});
  rig.Child("B", faLeft, {0, 0, 40, 10});
  rig.Child("Free", faNone, {10, 5, 30, 55});
  rig.site->SetAutoSize(true);
  EXPECT_EQ(rig.site->Width(), 70) << "the summed widths of the width-free kinds";
  EXPECT_EQ(rig.site->Height(), 55) << "the lowest bottom of the unaligned ones";

  // A site whose own alignment imposes its width keeps it.
  rig.site->SetAlign(faTop);
  rig.site->SetBounds(0, 0, 300, 10);
  rig.site->AdjustBounds();
  EXPECT_EQ(rig.site->Width(), 300);
}

TEST(Layout, ChangingBetweenAlignmentClassesRestoresTheNaturalSize) {
  SiteRig rig(200, 100);
  auto* label = new TRLLabel(&rig.form);
  label->SetName("Label");
  label->SetParent(rig.site);
  label->SetCaption("Texto");
  const int natural = label->Width();
  label->SetAlign(faTop);
  EXPECT_EQ(label->Width(), 200);
  label->SetAlign(faLeft);
  EXPECT_EQ(label->Height(), 100);
  EXPECT_EQ(label->Width(), natural) << "moving from a width-imposing kind to a height-imposing one";
}

TEST(Background, DegradeStepsFromColorToOppositeColor) {
  SiteRig rig(100, 100);
  rig.site->SetColor(clBlack);
  rig.site->Degrade().SetOppositeColor(clWhite);
  rig.site->Degrade().SetDirection(ddHorizontal);
  TRLGraphicSurface surface;
  rig.site->DrawBackground(surface, {5, 0, 15, 20});
  EXPECT_EQ(Reds(surface), (std::vector<int>{0, 26, 51, 76, 102, 128, 153, 178, 204, 230}));
  auto fills = Recorded<TRLFillRectObject>(surface);
  ASSERT_EQ(fills.size(), 10u);
  EXPECT_EQ(fills[3]->BoundsRect(), (TRect{8, 0, 9, 20}));

  // Vertical strips three rows high, the last one cut at the rect's end.
  TRLGraphicSurface vertical;
  rig.site->Degrade().SetDirection(ddVertical);
  rig.site->Degrade().SetGranularity(3);
  rig.site->DrawBackground(vertical, {0, 0, 4, 10});
  fills = Recorded<TRLFillRectObject>(vertical);
  ASSERT_EQ(fills.size(), 4u);
  EXPECT_EQ(fills[3]->BoundsRect(), (TRect{0, 9, 4, 10}));
  EXPECT_EQ(Reds(vertical), (std::vector<int>{0, 64, 128, 191}));
  rig.site->Degrade().SetGranularity(0);
  EXPECT_EQ(rig.site->Degrade().Granularity(), 1) << "a strip is at least one pixel wide";
}

TEST(Background, TransparentSiteRecordsOnlyItsBorders) {
  SiteRig rig(100, 100);
  TRLGraphicSurface plain;
  rig.site->DrawBackground(plain, {0, 0, 50, 20});
  EXPECT_EQ(plain.ObjectCount(), 0);

  rig.site->Borders().SetSides(sdAll);
  rig.site->Borders().SetFixedLeft(true);  // outside a report only fixed sides print
  TRLGraphicSurface bordered;
  rig.site->DrawBackground(bordered, {0, 0, 50, 20});
  auto rectangles = Recorded<TRLRectangleObject>(bordered);
  ASSERT_EQ(rectangles.size(), 1u);
  EXPECT_EQ(rectangles[0]->BoundsRect(), (TRect{0, 0, 1, 20}));
  EXPECT_EQ(bordered.ObjectCount(), 1);

  rig.site->SetTransparent(false);
  rig.site->SetColor(clRed);
  TRLGraphicSurface filled;
  rig.site->DrawBackground(filled, {0, 0, 50, 20});
  ASSERT_EQ(Recorded<TRLFillRectObject>(filled).size(), 1u);
  EXPECT_EQ(Recorded<TRLFillRectObject>(filled)[0]->Brush().Color().Red, 255);
}

TEST(Background, PictureIsPlacedByArrangeAndAlign) {
  SiteRig rig(100, 100);
  TBitmap picture(10, 8);
  rig.site->Background().SetGraphic(&picture);
  EXPECT_EQ(rig.site->Background().Width(), 10) << "automatic size takes the picture's";
  struct Case {
    TRLImageArrange arrange;
    TRLControlAlign align;
    std::vector<TRect> expected;
  } cases[] = {
      {baAligned, faRightBottom, {{90, 42, 100, 50}}},
      {baAligned, faCenter, {{45, 21, 55, 29}}},
      {baAligned, faBottom, {{0, 42, 10, 50}}},
      {baCenter, faNone, {{45, 21, 55, 29}}},
      {baSidebySide, faNone, {{0, 0, 10, 8}, {10, 0, 20, 8}, {0, 8, 10, 16}, {10, 8, 20, 16}}},
      {baDistributed, faNone, {{0, 0, 10, 8}, {10, 0, 20, 8}, {-5, 8, 5, 16}, {5, 8, 15, 16}, {15, 8, 25, 16}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.arrange) * 100 + c.align);
    rig.site->Background().SetArrange(c.arrange);
    rig.site->Background().SetAlign(c.align);
    TRLGraphicSurface surface;
    const bool tiles = c.arrange == baSidebySide || c.arrange == baDistributed;
    rig.site->DrawBackground(surface, tiles ? TRect{0, 0, 20, 16} : TRect{0, 0, 100, 50});
    std::vector<TRect> placed;
    for (auto* image : Recorded<TRLImageObject>(surface)) placed.push_back(image->BoundsRect());
    EXPECT_EQ(placed, c.expected);
  }
  // Stretched, an aligned picture fills its destination.
  rig.site->Background().SetArrange(baAligned);
  rig.site->Background().SetAlign(faTop);
  rig.site->Background().SetStretch(true);
  TRLGraphicSurface surface;
  rig.site->DrawBackground(surface, {0, 0, 100, 50});
  ASSERT_EQ(Recorded<TRLImageObject>(surface).size(), 1u);
  EXPECT_EQ(Recorded<TRLImageObject>(surface)[0]->BoundsRect(), (TRect{0, 0, 100, 8}));
}
