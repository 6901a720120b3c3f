// Element tree and geometry: friendly names, navigation, borders, rectangles, natural size, holders, expansion of
// the enclosing site and saved bounds.
#include "ReportTestSupport.h"

#include "graphics/Canvas.h"
#include "pages/RLConsts.h"

#include <gtest/gtest.h>

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A text whose measured width (with one blank) in `font` is odd, or even.
std::string TextOfParity(const TFont& font, bool odd) {
  TCanvas canvas;
  canvas.SetFont(font);
  for (std::string text = "i"; text.size() < 40; text += text.size() % 2 ? "m" : "i") {
    if ((canvas.TextWidth(text + " ") % 2 == 1) == odd) return text;
  }
  ADD_FAILURE() << "no text of that parity";
  return "x";
}

int Measure(const TFont& font, const std::string& text) {
  TCanvas canvas;
  canvas.SetFont(font);
  return canvas.TextWidth(text + " ");
}

}  // namespace

TEST(FriendlyName, AcceptsClearsAndRefusesWithTheEngineMessages) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  TRLLabel* first = rig.Add<TRLLabel>(band, "RLLabel1");
  TRLLabel* other = rig.Add<TRLLabel>(band, "RLLabel2");
  other->SetFriendlyName("Total");
  const auto& m = EngineMessages();
  struct Case {
    std::string value;
    std::string error;     // empty: accepted
    std::string expected;  // the friendly name afterwards
  } cases[] = {
      {"Subtotal", "", "Subtotal"},
      {"total", m.msgNameInUse + " " + Quoted("total"), "Subtotal"},
      {"rllabel2", m.msgNameInUse + " " + Quoted("rllabel2"), "Subtotal"},
      {"9lives", m.msgInvalidName + " " + Quoted("9lives"), "Subtotal"},
      {"two words", m.msgInvalidName + " " + Quoted("two words"), "Subtotal"},
      {"RLLabel1", "", ""},
      {"Again", "", "Again"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    if (c.error.empty()) {
      first->SetFriendlyName(c.value);
    } else {
      try {
        first->SetFriendlyName(c.value);
        ADD_FAILURE() << "accepted";
      } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), c.error);
      }
    }
    EXPECT_EQ(first->FriendlyName(), c.expected);
    EXPECT_EQ(first->DisplayName(), c.expected.empty() ? "RLLabel1" : c.expected);
  }

  // While a definition loads, an invalid name is dropped without a word.
  first->SetFriendlyName("Kept");
  first->SetComponentStateFlag(csLoading, true);
  EXPECT_NO_THROW(first->SetFriendlyName("not valid"));
  EXPECT_EQ(first->FriendlyName(), "");
}

TEST(Navigation, FindsAncestorsAndRaisesWithTheElementsName) {
  ReportRig rig;
  TRLGroup* group = rig.Add<TRLGroup>(rig.report, "RLGroup1");
  auto* inner = rig.Add<TRLCustomSkipper>(group, "Inner");
  TRLBand* band = rig.Add<TRLBand>(inner, "RLBand1");
  TRLLabel* label = rig.Add<TRLLabel>(band, "RLLabel1");

  EXPECT_EQ(label->ParentSite(), band);
  EXPECT_EQ(label->ParentBand(), band);
  EXPECT_EQ(label->ParentPager(), inner);
  EXPECT_EQ(label->ParentGroup(), nullptr) << "a pager that is no group comes first";
  EXPECT_EQ(inner->ParentGroup(), group);
  EXPECT_EQ(label->ParentSkipper(), inner);
  EXPECT_EQ(inner->ParentSkipper(), inner) << "starts at the element itself";
  EXPECT_EQ(label->ParentReport(), rig.report);
  EXPECT_EQ(rig.report->ParentReport(), rig.report);

  // The master report is the first of the chain.
  TRLReport* first = rig.Add<TRLReport>(&rig.form, "First");
  first->SetNextReport(rig.report);
  EXPECT_EQ(rig.report->PriorReport(), first);
  EXPECT_EQ(label->MasterReport(), first);
  first->SetNextReport(first);
  EXPECT_EQ(first->NextReport(), rig.report) << "a report is never its own next report";
  // Linking the last report back to the first would make a loop, and the master report a walk without end.
  TRLReport* last = rig.Add<TRLReport>(&rig.form, "Last");
  rig.report->SetNextReport(last);
  last->SetNextReport(first);
  EXPECT_EQ(last->NextReport(), nullptr) << "a report before it in the chain is refused";
  EXPECT_EQ(first->PriorReport(), nullptr);
  EXPECT_TRUE(last->ChainIsSound());
  EXPECT_EQ(last->MasterReport(), first);
  delete last;
  delete first;
  EXPECT_EQ(rig.report->PriorReport(), nullptr);
  EXPECT_EQ(label->MasterReport(), rig.report);

  TRLLabel loose(nullptr);
  loose.SetName("Loose");
  const std::string prefix = EngineMessages().msgNotFound + ": Loose.";
  struct Case {
    const char* what;
    std::function<void()> call;
  } cases[] = {
      {"ParentPager", [&] { loose.RequestParentPager(); }},
      {"ParentSkipper", [&] { loose.RequestParentSkipper(); }},
      {"ParentReport", [&] { loose.RequestParentReport(); }},
      {"ParentSurface", [&] { loose.GetPrintSurface(); }},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << " did not raise";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), prefix + c.what);
    }
  }
  EXPECT_EQ(band->RequestParentPager(), inner);
}

TEST(Geometry, BandSitsInsideTheReportsMarginsOnA4) {
  ReportRig rig;
  EXPECT_EQ(rig.report->Width(), 794);
  EXPECT_EQ(rig.report->Height(), 1123);
  rig.report->SetBounds(424, 129, 100, 100);
  EXPECT_EQ(rig.report->Width(), 794) << "the paper locks the size";
  EXPECT_EQ(rig.report->Left(), 424);
  EXPECT_EQ(rig.report->GetClientRect(), (TRect{19, 19, 775, 1104}));

  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand4");
  band->SetHeight(52);
  EXPECT_EQ(band->BoundsRect(), (TRect{19, 19, 775, 71}));

  rig.report->PageSetup().SetOrientation(TRLPageOrientation::poLandscape);
  EXPECT_EQ(rig.report->Width(), 1123);
  EXPECT_EQ(rig.report->Height(), 794);
  EXPECT_EQ(band->Width(), 1123 - 38);

  // The report's own margins start at 10 mm.
  TRLReport fresh(nullptr);
  EXPECT_EQ(fresh.Margins().LeftMargin(), 10.0);
  EXPECT_EQ(fresh.GetMarginPixels(), (TRect{38, 38, 38, 38}));
}

TEST(Geometry, BordersTakeTheirWidthOffTheRectangles) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  band->SetHeight(40);
  TRLLabel* label = rig.Add<TRLLabel>(band, "RLLabel1");
  label->SetAutoSize(false);
  label->SetBounds(10, 5, 100, 20);
  label->Borders().SetSides(sdAll);
  label->Borders().SetWidth(2);
  EXPECT_EQ(label->GetClientRect(), (TRect{3, 3, 97, 17})) << "screen: width + 1 per side";
  EXPECT_EQ(label->GetPrintClientRect(), (TRect{12, 7, 108, 23})) << "print: the width alone";
  EXPECT_EQ(label->GetFrameSizes(), (TRect{2, 2, 2, 2}));

  label->Borders().SetWidth(0);
  EXPECT_EQ(label->GetClientRect(), (TRect{0, 0, 100, 20}));
  EXPECT_EQ(label->GetPrintClientRect(), (TRect{10, 5, 110, 25}));
  label->Borders().SetWidth(-3);
  EXPECT_EQ(label->Borders().Width(), 0) << "negative widths are ignored";

  // With fixed-only quality a side prints only when it is fixed.
  label->Borders().SetWidth(1);
  rig.report->SetPrintQuality(pqFixedOnly);
  label->Borders().SetFixedTop(true);
  EXPECT_EQ(label->GetFrameSizes(), (TRect{0, 1, 0, 0}));
  // Outside a report only fixed sides print too.
  TRLLabel loose(nullptr);
  loose.Borders().SetSides(sdAll);
  EXPECT_FALSE(loose.Borders().CanDrawLeft());
  loose.Borders().SetFixedLeft(true);
  EXPECT_TRUE(loose.Borders().CanDrawLeft());
}

TEST(Borders, SidesAndFlagsFollowEachOther) {
  TRLBorders b(nullptr);
  b.SetSides(sdAll);
  EXPECT_TRUE(b.DrawLeft() && b.DrawTop() && b.DrawRight() && b.DrawBottom());
  b.SetDrawTop(true);
  EXPECT_EQ(b.Sides(), sdAll) << "all four drawn keeps sdAll";
  b.SetFixedRight(true);
  b.SetDrawRight(false);
  EXPECT_EQ(b.Sides(), sdCustom);
  EXPECT_FALSE(b.FixedRight()) << "clearing a side clears its fixed flag";
  EXPECT_TRUE(b.IsDrawStored());
  b.SetSides(sdNone);
  EXPECT_FALSE(b.DrawLeft() || b.DrawTop() || b.DrawRight() || b.DrawBottom());
  b.SetFixedBottom(true);
  EXPECT_TRUE(b.DrawBottom()) << "fixing a side draws it";
  EXPECT_EQ(b.Sides(), sdCustom);
  EXPECT_FALSE(b.DrawLeft());
}

TEST(AdjustBounds, AutosizedLabelKeepsTheEdgeItsAlignmentNames) {
  struct Case {
    TRLTextAlignment alignment;
    bool odd;
  } cases[] = {{TRLTextAlignment::taCenter, true},
               {TRLTextAlignment::taCenter, false},
               {TRLTextAlignment::taLeftJustify, true},
               {TRLTextAlignment::taRightJustify, true},
               {TRLTextAlignment::taJustify, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.alignment) * 10 + c.odd);
    TRLLabel label(nullptr);
    label.SetName("RLLabel1");
    label.SetBounds(100, 10, 80, 17);
    label.SetAlignment(c.alignment);
    const std::string text = TextOfParity(label.Font(), c.odd);
    const int measured = Measure(label.Font(), text);
    label.SetCaption(text);
    switch (c.alignment) {
      case TRLTextAlignment::taCenter: {
        // An odd width grows by one so that it centres on the old centre: 41 becomes 42.
        const int w = measured + (measured % 2);
        EXPECT_EQ(label.Width(), w);
        EXPECT_EQ(label.Left(), 100 + (80 - w) / 2);
        break;
      }
      case TRLTextAlignment::taRightJustify:
        EXPECT_EQ(label.Width(), measured);
        EXPECT_EQ(label.Left() + label.Width(), 180) << "keeps its right edge";
        break;
      default: EXPECT_EQ(label.Width(), measured); EXPECT_EQ(label.Left(), 100);
    }
  }
}

TEST(AdjustBounds, ConstraintsAndVerticalLayoutApply) {
  TRLLabel label(nullptr);
  label.SetName("RLLabel1");
  label.SetBounds(0, 100, 80, 40);
  label.SetLayout(tlBottom);
  label.SetCaption("Texto");
  EXPECT_EQ(label.Top() + label.Height(), 140) << "bottom layout keeps the bottom edge";
  label.Constraints().SetMaxWidth(20);
  label.SetCaption("Um texto bem mais comprido");
  EXPECT_EQ(label.Width(), 20);
  label.Constraints().SetMinWidth(300);
  label.SetCaption("Curto");
  EXPECT_EQ(label.Width(), 300);
}

TEST(Holders, HeldControlsFollowTheirHolder) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  band->SetHeight(100);
  TRLLabel* holder = rig.Add<TRLLabel>(band, "Holder");
  holder->SetAutoSize(false);
  holder->SetBounds(50, 10, 120, 20);
  struct Case {
    TRLHoldStyle style;
    TRect expected;  // after the holder moved to (80, 30) and became 150 wide
  } cases[] = {
      {hsAsColumn, {80, 60, 230, 75}},   {hsHorizontally, {90, 60, 190, 75}}, {hsVertically, {60, 80, 160, 95}},
      {hsRelatively, {90, 80, 190, 95}}, {hsCopyWidth, {60, 60, 210, 75}},    {hsCopyHeight, {60, 60, 160, 80}},
      {hsCopySize, {60, 60, 210, 80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    holder->SetBounds(50, 10, 120, 20);
    auto* held = rig.Add<TRLLabel>(band, "Held");
    held->SetAutoSize(false);
    held->SetBounds(60, 60, 100, 15);
    held->SetHoldStyle(c.style);
    held->SetHolder(holder);
    holder->SetBounds(80, 30, 150, 20);
    EXPECT_EQ(held->BoundsRect(), c.expected);
    delete held;
  }
  // A control never holds on to itself.
  holder->SetHolder(holder);
  EXPECT_EQ(holder->Holder(), nullptr);
  // A destroyed holder is forgotten.
  auto* held = rig.Add<TRLLabel>(band, "Held");
  held->SetHolder(holder);
  delete holder;
  EXPECT_EQ(held->Holder(), nullptr);
}

TEST(Expansion, SiteExpandersGrowTheirBandAndBoundsComeBack) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  band->SetHeight(30);
  TRLLabel* grower = rig.Add<TRLLabel>(band, "Grower");
  grower->SetAutoSize(false);
  grower->SetBounds(0, 0, 50, 20);
  TRLLabel* plain = rig.Add<TRLLabel>(band, "Plain");
  plain->SetAutoSize(false);
  plain->SetBounds(0, 0, 50, 20);

  plain->SetHeight(35);
  EXPECT_EQ(band->Height(), 30) << "only a site expander grows the band";

  band->SaveBounds();
  grower->SetBehavior({beSiteExpander});
  grower->SetHeight(32);
  EXPECT_EQ(band->Height(), 42);
  band->RestoreBounds();
  EXPECT_EQ(band->Height(), 30);
  EXPECT_EQ(grower->Height(), 20);
  EXPECT_EQ(plain->Height(), 35) << "saved before the print, restored after it";

  // An automatically sized band takes the height its children need.
  band->SetAutoSize(true);
  plain->SetHeight(60);
  EXPECT_EQ(band->Height(), 60);
}

TEST(Band, CarbonCopiesAndGroupIndexAreSharedAndBounded) {
  ReportRig rig;
  TRLBand* a = rig.Add<TRLBand>(rig.report, "A");
  TRLBand* b = rig.Add<TRLBand>(rig.report, "B");
  TRLBand* c = rig.Add<TRLBand>(rig.report, "C");
  a->SetGroupIndex(1);
  a->SetCarbonCopies(3);
  b->SetGroupIndex(1);
  EXPECT_EQ(b->CarbonCopies(), 3) << "a new index takes the copies of the first band with it";
  b->SetCarbonCopies(2);
  EXPECT_EQ(a->CarbonCopies(), 2) << "the bands of one index share their copies";
  EXPECT_EQ(c->CarbonCopies(), 1);
  c->SetCarbonCopies(0);
  c->SetGroupIndex(-4);
  EXPECT_EQ(c->CarbonCopies(), 1);
  EXPECT_EQ(c->GroupIndex(), 0);
}

TEST(Band, SortedListsFollowTopAndKeepTheOrderOfEqualTops) {
  ReportRig rig;
  TRLGroup* group = rig.Add<TRLGroup>(rig.report, "Group");
  std::vector<TRLBand*> bands;
  for (const char* name : {"D1", "D2", "D3"}) bands.push_back(rig.Add<TRLBand>(rig.report, name));
  TRLBand* inner = rig.Add<TRLBand>(group, "Inner");
  TRLBand* header = rig.Add<TRLBand>(rig.report, "Header");
  header->SetBandType(btHeader);
  // Alignment stacks them; put two at the same Top by hand to see that the earlier one stays first.
  rig.report->SetComponentStateFlag(csLoading, true);
  bands[0]->SetTop(300);
  bands[1]->SetTop(100);
  bands[2]->SetTop(100);
  rig.report->RegisterBands();
  EXPECT_EQ(rig.report->SortedBands().List(btDetail), (std::vector<TRLCustomBand*>{bands[1], bands[2], bands[0]}));
  EXPECT_EQ(rig.report->SortedBands().List(btHeader), (std::vector<TRLCustomBand*>{header}));
  EXPECT_EQ(group->SortedBands().List(btDetail), (std::vector<TRLCustomBand*>{inner}))
      << "nested pagers keep their own";

  rig.report->SortedBands().SetPrinted(btTitle, true);
  rig.report->SortedBands().SetPrinted(btHeader, true);
  rig.report->SortedBands().ResetPage();
  EXPECT_TRUE(rig.report->SortedBands().Printed(btTitle)) << "a new page keeps the title's flag";
  EXPECT_FALSE(rig.report->SortedBands().Printed(btHeader));
  rig.report->SetComponentStateFlag(csLoading, false);
}
