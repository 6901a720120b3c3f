// Pagination and the data loop: small reports over rows in memory, generated with Prepare, compared page by page
// with the texts each page recorded.
#include "ReportTestSupport.h"

#include "core/ScopeGuard.h"
#include "pages/RLConsts.h"
#include "report/RLParser.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace {

// A report over rows of ("g", "n") with a column header band "CH".
struct PagedRig : ReportRig {
  TRowsDataSet* data;
  TDataSource* source;
  TRLBand* column_header;

  explicit PagedRig(std::vector<std::vector<std::string>> rows) {
    data = new TRowsDataSet(&form, {"g", "n"}, std::move(rows));
    source = new TDataSource(&form);
    source->SetDataSet(data);
    report->SetDataSource(source);
    column_header = AddBand(report, "ColumnHeader", btColumnHeader, 16);
    AddLabel(column_header, "CH", 0);
  }
  TRLBand* AddBand(TWinControl* parent, const std::string& name, TRLBandType type, int height) {
    auto* band = Add<TRLBand>(parent, name);
    band->SetBandType(type);
    band->SetHeight(height);
    return band;
  }
  TRLLabel* AddLabel(TRLBand* band, const std::string& caption, int top) {
    auto* label = Add<TRLLabel>(band, band->Name() + "Label" + std::to_string(band->ComponentCount() + top));
    label->SetBounds(0, top, 40, 14);
    label->SetCaption(caption);
    return label;
  }
  TRLDBText* AddField(TRLBand* band, const std::string& field, int left = 50) {
    auto* text = Add<TRLDBText>(band, band->Name() + "Field" + field);
    text->SetBounds(left, 0, 40, 14);
    text->SetDataSource(source);
    text->SetDataField(field);
    return text;
  }
  TRLSystemInfo* AddInfo(TRLBand* band, TRLInfoType info, int left) {
    auto* text = Add<TRLSystemInfo>(band, band->Name() + "Info" + std::to_string(left));
    text->SetBounds(left, 0, 40, 14);
    text->SetInfo(info);
    return text;
  }
  // Detail band with the "n" field.
  TRLBand* AddDetail(TWinControl* parent, int height = 16) {
    TRLBand* band = AddBand(parent, parent->Name() + "Detail", btDetail, height);
    AddField(band, "n");
    return band;
  }
};

// Each page as its texts in recording order, blank ones as "_", with "@row" when asked.
std::vector<std::string> PageTexts(TRLCustomReport& report, bool rows = false) {
  std::vector<std::string> pages;
  for (int i = 0; i < report.Pages().PageCount(); ++i) {
    TRLPageRef page = report.Pages().Pages(i);
    std::ostringstream out;
    for (auto* text : Recorded<TRLTextObject>(*page)) {
      if (out.tellp() > 0) out << ' ';
      out << (text->Text().empty() ? "_" : text->Text());
      if (rows) out << '@' << text->BoundsRect().Top;
    }
    pages.push_back(out.str());
  }
  return pages;
}

std::vector<std::vector<std::string>> Rows(const std::string& group, int first, int count) {
  std::vector<std::vector<std::string>> rows;
  for (int i = first; i < first + count; ++i) rows.push_back({group, std::to_string(i)});
  return rows;
}

std::vector<std::vector<std::string>> Concat(std::vector<std::vector<std::string>> a,
                                             const std::vector<std::vector<std::string>>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Numbers(int first, int last) {
  std::string out;
  for (int i = first; i <= last; ++i) out += (out.empty() ? "" : " ") + std::to_string(i);
  return out;
}

// A group on "g" with a header band "GH" (44 high, showing g) and a detail band `detail_height` high.
TRLGroup* AddGroup(PagedRig& rig, int detail_height) {
  auto* group = rig.Add<TRLGroup>(rig.report, "Group");
  group->SetDataFields("g");
  TRLBand* header = rig.AddBand(group, "GroupHeader", btHeader, 44);
  rig.AddField(header, "g", 0);
  rig.AddDetail(group, detail_height);
  return group;
}

// A footer "F" and, aligned to the bottom, a summary "S" and a column footer "CF", each 16 high, under details.
void AddBottomBands(PagedRig& rig) {
  rig.AddDetail(rig.report);
  rig.AddLabel(rig.AddBand(rig.report, "Footer", btFooter, 16), "F", 0);
  TRLBand* summary = rig.AddBand(rig.report, "Summary", btSummary, 16);
  rig.AddLabel(summary, "S", 0);
  summary->SetAlignToBottom(true);
  TRLBand* column_footer = rig.AddBand(rig.report, "ColumnFooter", btColumnFooter, 16);
  rig.AddLabel(column_footer, "CF", 0);
  column_footer->SetAlignToBottom(true);
}

// Details under a footer "F" designed 100 high that says, when measured, that it needs 30.
void AddMeasuredFooter(PagedRig& rig, TRLFooterMeasuring measuring) {
  rig.AddDetail(rig.report);
  TRLBand* footer = rig.AddBand(rig.report, "Footer", btFooter, 100);
  rig.AddLabel(footer, "F", 0);
  footer->OnMeasureHeight = [footer](TObject*) { footer->SetHeight(30); };
  rig.report->SetFooterMeasuring(measuring);
}

// A page of 192 x 240 pixels without margins: a column header "CH", details, a column footer "CF" and a footer
// "F", every band 20 high.
TRLBand* AddSmallPageWithColumnFooter(PagedRig& rig, bool column_footer_to_bottom) {
  rig.report->PageSetup().SetPaperSize(TRLPaperSize::fpCustom);
  rig.report->PageSetup().SetPaperWidth(50.8);
  rig.report->PageSetup().SetPaperHeight(63.5);
  for (auto set : {&TRLMargins::SetLeftMargin, &TRLMargins::SetTopMargin, &TRLMargins::SetRightMargin,
                   &TRLMargins::SetBottomMargin}) {
    (rig.report->Margins().*set)(0.0);
  }
  rig.column_header->SetHeight(20);
  rig.AddDetail(rig.report, 20);
  TRLBand* column_footer = rig.AddBand(rig.report, "ColumnFooter", btColumnFooter, 20);
  rig.AddLabel(column_footer, "CF", 0);
  column_footer->SetAlignToBottom(column_footer_to_bottom);
  rig.AddLabel(rig.AddBand(rig.report, "Footer", btFooter, 20), "F", 0);
  return column_footer;
}

// The texts of details `first` to `last` at their rows, from row 20.
std::string DetailsAt(int first, int last) {
  std::string out;
  for (int i = first; i <= last; ++i) out += " " + std::to_string(i) + "@" + std::to_string(20 * (i - first + 1));
  return out;
}

struct PaginationCase {
  const char* name;
  std::vector<std::vector<std::string>> rows;
  std::function<void(PagedRig&)> setup;
  std::vector<std::string> pages;
  bool rows_too = false;
};

// A failing case is named, not dumped byte by byte.
void PrintTo(const PaginationCase& c, std::ostream* out) { *out << c.name; }

class Pagination : public testing::TestWithParam<PaginationCase> {};

}  // namespace

TEST_P(Pagination, PagesHoldTheExpectedBands) {
  const PaginationCase& c = GetParam();
  PagedRig rig(c.rows);
  rig.data->Open();
  c.setup(rig);
  ASSERT_TRUE(rig.report->Prepare()) << rig.report->PrepareErrorText();
  EXPECT_EQ(rig.report->Phase(), rpReady);
  EXPECT_EQ(PageTexts(*rig.report, c.rows_too), c.pages);
  EXPECT_EQ(rig.report->Pages().LastPageNumber(), static_cast<int>(c.pages.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Pagination,
    testing::Values(
        PaginationCase{"CarbonCopiesRepeatEachDetail",
                       Rows("A", 1, 2),
                       [](PagedRig& rig) {
                         TRLBand* detail = rig.AddDetail(rig.report);
                         rig.AddInfo(detail, itCarbonCopy, 100);
                         detail->SetCarbonCopies(2);
                       },
                       {"CH 1 1 1 2 2 1 2 2"}},
        PaginationCase{"PageBreakAfterPrintStartsEachNextDetailOnANewPage",
                       Rows("A", 1, 3),
                       [](PagedRig& rig) { rig.AddDetail(rig.report)->SetPageBreaking(pbAfterPrint); },
                       {"CH 1", "CH 2", "CH 3"}},
        PaginationCase{"MaxBandsTenPerPage",
                       Rows("A", 1, 23),
                       [](PagedRig& rig) {
                         rig.AddDetail(rig.report);
                         rig.report->SetMaxBands(10);
                       },
                       {"CH " + Numbers(1, 10), "CH " + Numbers(11, 20), "CH " + Numbers(21, 23)}},
        PaginationCase{"CompletionToMaxBandsAddsBlankDetails",
                       Rows("A", 1, 7),
                       [](PagedRig& rig) {
                         rig.AddDetail(rig.report)->SetCompletion(ctMaxBands);
                         rig.report->SetMaxBands(20);
                       },
                       {"CH " + Numbers(1, 7) + " _ _ _ _ _ _ _ _ _ _ _ _ _"}},
        PaginationCase{"PrintEmptyGivesOnePageWithTheHeaders",
                       {},
                       [](PagedRig& rig) {
                         rig.AddLabel(rig.AddBand(rig.report, "Header", btHeader, 16), "H", 0);
                         rig.AddDetail(rig.report);
                       },
                       {"H CH"}},
        PaginationCase{"NextFiveRecordsFromTheCurrentOne",
                       Rows("A", 1, 10),
                       [](PagedRig& rig) {
                         rig.AddDetail(rig.report);
                         rig.data->Next();
                         rig.data->Next();
                         rig.report->SetRecordRange(rrNextN);
                         rig.report->SetRangeCount(5);
                       },
                       {"CH " + Numbers(3, 7)}},
        PaginationCase{"CurrentRecordOnly",
                       Rows("A", 1, 10),
                       [](PagedRig& rig) {
                         rig.AddDetail(rig.report);
                         rig.data->Next();
                         rig.report->SetRecordRange(rrCurrentOnly);
                       },
                       {"CH 2"}},
        PaginationCase{"IgnoredAndRetainedRecords",
                       Rows("A", 1, 3),
                       [](PagedRig& rig) {
                         TRLBand* detail = rig.AddDetail(rig.report);
                         rig.AddInfo(detail, itCarbonCopy, 100);
                         rig.report->OnDataRecord = [&rig](TObject*, int, int copy, bool&, TRLRecordAction& action) {
                           const std::string n = rig.data->FieldByName("n")->AsString();
                           if (n == "2") action = raIgnoreIt;
                           if (n == "3" && copy < 3) action = raUseAndRetain;
                         };
                       },
                       {"CH 1 1 3 1 3 1 3 1"}},
        PaginationCase{"GroupThatCannotStartAtTheBottomMovesWhole",
                       Concat(Rows("A", 1, 10), Rows("B", 11, 2)),
                       [](PagedRig& rig) { AddGroup(rig, 100); },
                       {"CH A " + Numbers(1, 10), "CH B 11 12"}},
        PaginationCase{"GroupHeaderRepeatsWhenItsFirstDetailDoesNotFit",
                       Concat(Rows("A", 1, 9), Rows("B", 10, 2)),
                       [](PagedRig& rig) { AddGroup(rig, 100); },
                       {"CH A " + Numbers(1, 9) + " B", "CH B 10 11"}},
        PaginationCase{"SplitBandIsCutAboveTheTextThatWouldBeCut",
                       Rows("A", 1, 1),
                       [](PagedRig& rig) {
                         rig.column_header->SetHeight(1060);
                         TRLBand* detail = rig.AddBand(rig.report, "Split", btDetail, 40);
                         detail->SetIntegralHeight(false);
                         rig.AddLabel(detail, "top", 0);
                         rig.AddLabel(detail, "bottom", 20);
                       },
                       {"CH@19 top@1079", "CH@19 bottom@1079"},
                       true},
        PaginationCase{"IntegralBandMovesWhole",
                       Rows("A", 1, 1),
                       [](PagedRig& rig) {
                         rig.column_header->SetHeight(1060);
                         TRLBand* detail = rig.AddBand(rig.report, "Whole", btDetail, 40);
                         rig.AddLabel(detail, "top", 0);
                         rig.AddLabel(detail, "bottom", 20);
                       },
                       {"CH@19", "CH@19 top@1079 bottom@1099"},
                       true},
        PaginationCase{"FooterEndsEveryPageAtTheBottom",
                       Rows("A", 1, 66),
                       [](PagedRig& rig) {
                         rig.AddDetail(rig.report);
                         rig.AddInfo(rig.AddBand(rig.report, "Footer", btFooter, 16), itPageNumber, 0);
                       },
                       {"CH " + Numbers(1, 65) + " 1", "CH 66 2"}},
        PaginationCase{"BottomAlignedColumnFooterAndSummaryStackAboveTheFooter",
                       Rows("A", 1, 2),
                       AddBottomBands,
                       {"CH@19 1@35 2@51 CF@1056 S@1072 F@1088"},
                       true},
        PaginationCase{"BottomAlignedColumnFooterClosesEveryPageAboveTheSummarysPlace",
                       Rows("A", 1, 65),
                       AddBottomBands,
                       {"CH " + Numbers(1, 63) + " CF F", "CH 64 65 CF S F"}},
        PaginationCase{"BottomAlignedSummaryBelowItsLimitGoesToTheNextPageAndTheFooterStays",
                       Rows("A", 1, 65),
                       [](PagedRig& rig) {
                         AddBottomBands(rig);
                         dynamic_cast<TRLBand*>(rig.form.FindComponent("ColumnFooter"))->SetVisible(false);
                       },
                       {"CH " + Numbers(1, 65) + " F", "CH S F"}},
        PaginationCase{"DetailsLeaveRoomForTheColumnFooterThatClosesThePage",
                       Rows("A", 1, 25),
                       [](PagedRig& rig) { AddSmallPageWithColumnFooter(rig, false); },
                       {"CH@0" + DetailsAt(1, 9) + " CF@200 F@220", "CH@0" + DetailsAt(10, 18) + " CF@200 F@220",
                        "CH@0" + DetailsAt(19, 25) + " CF@160 F@220"},
                       true},
        PaginationCase{"DetailsLeaveRoomForTheBottomAlignedColumnFooter",
                       Rows("A", 1, 25),
                       [](PagedRig& rig) { AddSmallPageWithColumnFooter(rig, true); },
                       {"CH@0" + DetailsAt(1, 9) + " CF@200 F@220", "CH@0" + DetailsAt(10, 18) + " CF@200 F@220",
                        "CH@0" + DetailsAt(19, 25) + " CF@200 F@220"},
                       true},
        PaginationCase{"ASummaryMovedToANewPageIsNotFollowedByTheColumnFooterAgain",
                       Rows("A", 1, 9),
                       [](PagedRig& rig) {
                         AddSmallPageWithColumnFooter(rig, false);
                         rig.AddLabel(rig.AddBand(rig.report, "Summary", btSummary, 20), "S", 0);
                       },
                       {"CH@0" + DetailsAt(1, 9) + " CF@200 F@220", "CH@0 S@20 F@220"},
                       true},
        PaginationCase{"UnmeasuredFooterReservesItsDesignHeight",
                       Rows("A", 1, 61),
                       [](PagedRig& rig) { AddMeasuredFooter(rig, fmNone); },
                       {"CH " + Numbers(1, 60) + " F", "CH 61 F"}},
        PaginationCase{"FooterMeasuredAfterTheHeadersReservesItsMeasuredHeight",
                       Rows("A", 1, 65),
                       [](PagedRig& rig) { AddMeasuredFooter(rig, fmAfterHeader); },
                       {"CH " + Numbers(1, 64) + " F", "CH 65 F"}},
        PaginationCase{"FooterMeasuredBeforeEachDetail",
                       Rows("A", 1, 65),
                       [](PagedRig& rig) { AddMeasuredFooter(rig, fmBeforeDetail); },
                       {"CH " + Numbers(1, 64) + " F", "CH 65 F"}},
        PaginationCase{"GroupBreakingBeforePrintStartsEachLaterGroupOnANewPage",
                       Concat(Rows("A", 1, 2), Rows("B", 3, 2)),
                       [](PagedRig& rig) { AddGroup(rig, 16)->SetPageBreaking(pbBeforePrint); },
                       {"CH A 1 2", "CH B 3 4"}}),
    [](const testing::TestParamInfo<PaginationCase>& info) { return std::string(info.param.name); });

TEST(ReportRun, AChainAddsItsPagesAfterTheMasterAndContinuesTheNumbers) {
  PagedRig rig(Rows("A", 1, 2));
  rig.data->Open();
  rig.AddDetail(rig.report);
  rig.AddInfo(rig.column_header, itPageNumber, 100);
  rig.report->SetMaxBands(1);

  auto* second = rig.Add<TRLReport>(&rig.form, "Second");
  second->SetDataSource(rig.source);
  TRLBand* second_header = rig.AddBand(second, "SecondHeader", btHeader, 16);
  rig.AddLabel(second_header, "B", 0);
  rig.AddInfo(second_header, itPageNumber, 100);
  rig.AddDetail(second);
  second->SetMaxBands(1);
  rig.report->SetNextReport(second);

  ASSERT_TRUE(rig.report->Prepare()) << rig.report->PrepareErrorText();
  EXPECT_EQ(PageTexts(*rig.report), (std::vector<std::string>{"CH 1 1", "CH 2 2", "B 3 1", "B 4 2"}));
  EXPECT_EQ(rig.report->Pages().FirstPageNumber(), 1);
  EXPECT_EQ(rig.report->Pages().LastPageNumber(), 4);
  EXPECT_EQ(second->Pages().PageCount(), 4) << "the chain shares the master's collection";
}

// A closed surface keeps what it drew until it opens again: a group closed by a page break still holds its part of
// the page in the report's page-ending event, and the report's surface holds the last page once the run is over.
TEST(ReportRun, ASurfaceClosedByTheRunStillHoldsWhatItDrew) {
  PagedRig rig(Rows("A", 1, 5));
  rig.data->Open();
  TRLGroup* group = AddGroup(rig, 16);
  group->SetMaxBands(2);
  std::vector<std::vector<std::string>> group_at_page_end;
  rig.report->OnPageEnding = [&](TObject*) { group_at_page_end.push_back(RecordedTexts(group->Surface())); };

  ASSERT_TRUE(rig.report->Prepare()) << rig.report->PrepareErrorText();
  EXPECT_EQ(PageTexts(*rig.report), (std::vector<std::string>{"CH A 1 2", "CH A 3 4", "CH A 5"}));
  EXPECT_EQ(group_at_page_end, (std::vector<std::vector<std::string>>{{"A", "1", "2"}, {"A", "3", "4"}, {"A", "5"}}));
  const std::vector<std::string> last_page = RecordedTexts(*rig.report->Pages().Pages(2));
  EXPECT_EQ(RecordedTexts(rig.report->Surface()), last_page);
}

TEST(ReportRun, AMissingGroupFieldFailsWithTheMessageAndLeavesNoPages) {
  PagedRig rig(Rows("A", 1, 3));
  rig.data->Open();
  TRLGroup* group = AddGroup(rig, 16);
  group->SetDataFields("cidade");

  EXPECT_FALSE(rig.report->Prepare());
  EXPECT_EQ(rig.report->Phase(), rpIdle);
  EXPECT_EQ(rig.report->Pages().PageCount(), 0);
  const std::string& m = EngineMessages().msgNotFound;
  EXPECT_EQ(rig.report->PrepareErrorText(),
            "RLReport2: " + EngineMessages().msgPrepareError + "\n" + m + ": Group.DataField \"cidade\"");

  // The next generation starts clean.
  group->SetDataFields("g");
  ASSERT_TRUE(rig.report->Prepare()) << rig.report->PrepareErrorText();
  EXPECT_EQ(PageTexts(*rig.report), (std::vector<std::string>{"CH A 1 2 3"}));
}

namespace {

// Stands in for the progress window: counts steps and presses Cancel at a chosen step.
struct FakeProgress : TRLReportProgress {
  int* steps;
  int cancel_at;
  std::function<void()> cancel;
  void SetMax(int) override {}
  void StepIt() override {
    if (++*steps == cancel_at) cancel();
  }
  void NextBar() override {}
  void SetStepName(const std::string&) override {}
};

}  // namespace

TEST(ReportRun, CancelStopsAtTheNextRecordAndFails) {
  PagedRig rig(Rows("A", 1, 50));
  rig.data->Open();
  int steps = 0;
  int details = 0;
  rig.AddDetail(rig.report)->AfterPrint = [&](TObject*) { ++details; };
  // The factory is process-wide: it goes back however the test ends.
  TScopeExit default_progress([] { SetReportProgressFactory(nullptr); });
  SetReportProgressFactory([&](const std::string& caption, int stages, std::function<void()> cancel) {
    EXPECT_EQ(caption, EngineMessages().msgPreparingReport);
    EXPECT_EQ(stages, 1);
    auto progress = std::make_unique<FakeProgress>();
    progress->steps = &steps;
    progress->cancel_at = 5;
    progress->cancel = std::move(cancel);
    return progress;
  });
  const bool prepared = rig.report->Prepare();
  EXPECT_FALSE(prepared);
  EXPECT_EQ(rig.report->Phase(), rpIdle);
  EXPECT_EQ(details, 5);
  EXPECT_TRUE(rig.report->PrepareErrorText().empty()) << "a cancel is no error";
}

namespace {

// The objects of a page by group number.
std::map<int, std::vector<const TRLGraphicObject*>> ObjectsByGroup(const TRLGraphicSurface& page) {
  std::map<int, std::vector<const TRLGraphicObject*>> groups;
  for (int i = 0; i < page.ObjectCount(); ++i) groups[page.Objects(i)->GroupId()].push_back(page.Objects(i));
  return groups;
}

const TRLTextObject* TextNamed(const TRLGraphicSurface& page, const std::string& text) {
  for (auto* object : Recorded<TRLTextObject>(page)) {
    if (object->Text() == text) return object;
  }
  return nullptr;
}

}  // namespace

TEST(ReportRun, EachPrintOfAControlRecordsUnderAGroupNumberOfItsOwn) {
  PagedRig rig(Rows("A", 1, 3));
  rig.data->Open();
  TRLBand* detail = rig.AddDetail(rig.report);
  detail->SetTransparent(false);
  rig.column_header->SetHeight(40);
  TRLLabel* boxed = rig.AddLabel(rig.column_header, "Boxed", 1);
  boxed->SetLeft(60);
  boxed->SetTransparent(false);
  boxed->Borders().SetSides(sdAll);
  auto* draw = rig.Add<TRLDraw>(rig.column_header, "Box");
  draw->SetBounds(120, 0, 40, 14);
  draw->SetTransparent(false);
  rig.report->SetTransparent(false);

  ASSERT_TRUE(rig.report->Prepare()) << rig.report->PrepareErrorText();
  ASSERT_EQ(rig.report->Pages().PageCount(), 1);
  TRLPageRef page = rig.report->Pages().Pages(0);
  const auto groups = ObjectsByGroup(*page);
  EXPECT_EQ(groups.count(0), 0u) << "no object is left out of a group";

  // The boxed label: its background, four borders and text, and nothing else.
  const TRLTextObject* boxed_text = TextNamed(*page, "Boxed");
  ASSERT_NE(boxed_text, nullptr);
  const auto& boxed_group = groups.at(boxed_text->GroupId());
  EXPECT_EQ(boxed_group.size(), 6u);
  const TRect inside = boxed_text->BoundsRect();  // the label less its borders
  for (const TRLGraphicObject* object : boxed_group) {
    const TRect& r = object->BoundsRect();
    EXPECT_TRUE(r.Left >= inside.Left - 1 && r.Top >= inside.Top - 1 && r.Right <= inside.Right + 1 &&
                r.Bottom <= inside.Bottom + 1)
        << "an object of type " << int(object->TypeCode()) << " outside the label";
  }
  EXPECT_EQ(groups.at(page->Objects(0)->GroupId()).size(), 1u) << "the page background";

  // Every text, the figure with its background, and each detail band's background are apart.
  std::set<int> seen;
  for (auto* text : Recorded<TRLTextObject>(*page)) EXPECT_TRUE(seen.insert(text->GroupId()).second) << text->Text();
  const auto figures = Recorded<TRLPolygonObject>(*page);
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_TRUE(seen.insert(figures[0]->GroupId()).second);
  EXPECT_EQ(groups.at(figures[0]->GroupId()).size(), 2u) << "the figure and its background";
  int band_backgrounds = 0;
  for (auto* fill : Recorded<TRLFillRectObject>(*page)) {
    if (fill->BoundsRect().Width() != detail->Width()) continue;
    ++band_backgrounds;
    EXPECT_TRUE(seen.insert(fill->GroupId()).second)
        << "the background of the detail at row " << fill->BoundsRect().Top;
  }
  EXPECT_EQ(band_backgrounds, 3);
}

namespace {

// An outline entry as "text/level/page", with "@top" when asked.
std::vector<std::string> OutlineOf(const TRLCustomReport& report, bool tops = false) {
  std::vector<std::string> out;
  for (const TRLOutlineEntry& e : const_cast<TRLCustomReport&>(report).Pages().Outline()) {
    out.push_back(e.Text + "/" + std::to_string(e.Level) + "/" + std::to_string(e.PageIndex) +
                  (tops ? "@" + std::to_string(e.Top) : ""));
  }
  return out;
}

struct OutlineCase {
  const char* name;
  std::vector<std::vector<std::string>> rows;
  std::function<void(PagedRig&)> setup;
  std::vector<std::string> outline;
};

void PrintTo(const OutlineCase& c, std::ostream* out) { *out << c.name; }

class Outline : public testing::TestWithParam<OutlineCase> {};

// Groups on "g" and, inside it, on "n", the outer one with a header showing its key when asked; the inner one's
// header shows n, its details too.
void AddNestedGroups(PagedRig& rig, bool outer_header) {
  auto* outer = rig.Add<TRLGroup>(rig.report, "Outer");
  outer->SetDataFields("g");
  if (outer_header) rig.AddField(rig.AddBand(outer, "OuterHeader", btHeader, 20), "g", 0);
  auto* inner = rig.Add<TRLGroup>(outer, "Inner");
  inner->SetDataFields("n");
  rig.AddField(rig.AddBand(inner, "InnerHeader", btHeader, 20), "n", 0);
  rig.AddDetail(inner);
}

}  // namespace

TEST_P(Outline, EachGroupThatStartsMakesOneEntry) {
  const OutlineCase& c = GetParam();
  PagedRig rig(c.rows);
  rig.data->Open();
  c.setup(rig);
  ASSERT_TRUE(rig.report->Prepare()) << rig.report->PrepareErrorText();
  EXPECT_EQ(OutlineOf(*rig.report), c.outline);
}

INSTANTIATE_TEST_SUITE_P(
    ReportRun, Outline,
    testing::Values(
        OutlineCase{"NoGroupsNoEntries", Rows("A", 1, 3), [](PagedRig& rig) { rig.AddDetail(rig.report); }, {}},
        // 70 details of 16 do not fit one page: "A" goes on with its header repeated, which adds no entry.
        OutlineCase{"AGroupContinuedOnTheNextPageKeepsItsFirstPage",
                    Concat(Concat(Rows("A", 1, 70), Rows("B", 71, 1)), Rows("C", 72, 1)),
                    [](PagedRig& rig) { AddGroup(rig, 16); },
                    {"A/0/0", "B/0/1", "C/0/1"}},
        OutlineCase{"NestedGroupsNest",
                    Concat(Rows("A", 1, 2), Rows("B", 3, 1)),
                    [](PagedRig& rig) { AddNestedGroups(rig, true); },
                    {"A/0/0", "1/1/0", "2/1/0", "B/0/0", "3/1/0"}},
        OutlineCase{"AnInnerGroupUnderAnOuterOneWithoutHeaderHangsAtTheTop",
                    Concat(Rows("A", 1, 1), Rows("B", 2, 1)),
                    [](PagedRig& rig) { AddNestedGroups(rig, false); },
                    {"1/0/0", "2/0/0"}},
        OutlineCase{"SwitchedOffRecordsNothing",
                    Rows("A", 1, 2),
                    [](PagedRig& rig) {
                      AddGroup(rig, 16);
                      rig.report->SetOutline(false);
                    },
                    {}},
        // The header's first line names the group; the captions below it do not.
        OutlineCase{"TheHeadersFirstLineLeftToRight",
                    Concat(Rows("A", 1, 1), Rows("B", 2, 1)),
                    [](PagedRig& rig) {
                      auto* group = rig.Add<TRLGroup>(rig.report, "Group");
                      group->SetDataFields("g");
                      TRLBand* header = rig.AddBand(group, "GroupHeader", btHeader, 44);
                      rig.AddField(header, "g", 60);
                      rig.AddLabel(header, "Cidade", 0);
                      rig.AddLabel(header, "Codigo", 20);
                      rig.AddDetail(group, 16);
                    },
                    {"Cidade A/0/0", "Cidade B/0/0"}},
        OutlineCase{"AFormulaNamesTheEntry",
                    Concat(Rows("A", 1, 1), Rows("B", 2, 1)),
                    [](PagedRig& rig) {
                      rig.report->SetExpressionParser(new TRLExpressionParser(&rig.form));
                      AddGroup(rig, 16)->SetOutlineText("'Grupo ' + g + ' desde ' + n");
                    },
                    {"Grupo A desde 1/0/0", "Grupo B desde 2/0/0"}}),
    [](const testing::TestParamInfo<OutlineCase>& info) { return std::string(info.param.name); });

TEST(ReportRun, AnOutlineEntryPointsAtItsHeadersRowAndANewRunStartsAnew) {
  PagedRig rig(Concat(Rows("A", 1, 70), Rows("B", 71, 1)));
  rig.data->Open();
  AddGroup(rig, 16);
  ASSERT_TRUE(rig.report->Prepare()) << rig.report->PrepareErrorText();
  const std::vector<std::string> first = OutlineOf(*rig.report, true);
  ASSERT_EQ(first.size(), 2u);
  // Each entry's row is where its header's text was recorded on its page.
  for (const TRLOutlineEntry& entry : rig.report->Pages().Outline()) {
    TRLPageRef page = rig.report->Pages().Pages(entry.PageIndex);
    bool found = false;
    for (auto* text : Recorded<TRLTextObject>(*page)) {
      if (text->Text() == entry.Text && text->BoundsRect().Top == entry.Top) found = true;
    }
    EXPECT_TRUE(found) << entry.Text << " at row " << entry.Top << " of page " << entry.PageIndex + 1;
  }
  ASSERT_TRUE(rig.report->Prepare());
  EXPECT_EQ(OutlineOf(*rig.report, true), first) << "a second run replaces the outline, it does not add to it";
}
