// The drawing control: the points of each kind, reading DrawData, fitting, rotation, centring, the pen inset and
// the polygon it records.
#include "ReportTestSupport.h"

#include "core/Definitions.h"

#include <gtest/gtest.h>

namespace {

TRect BoundsOf(const TRLPointList& points) {
  TRect b{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const TPoint& p : points) {
    b.Left = std::min(b.Left, p.X);
    b.Top = std::min(b.Top, p.Y);
    b.Right = std::max(b.Right, p.X);
    b.Bottom = std::max(b.Bottom, p.Y);
  }
  return b;
}

}  // namespace

TEST(Draw, HeadingBoxOfTheClientReportRecordsItsPolygon) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand4");
  band->SetBandType(btColumnHeader);
  band->SetHeight(52);
  TRLDraw* draw = rig.Add<TRLDraw>(band, "RLDraw6");
  draw->SetBounds(10, 8, 741, 39);
  draw->Brush().SetColor(15395562);
  rig.Generating();
  ASSERT_TRUE(band->CanPrint());
  band->PrintWithState();

  auto polygons = Recorded<TRLPolygonObject>(band->Surface());
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0]->Points(), (TRLMetaPointArray{{10, 8}, {750, 8}, {750, 46}, {10, 46}}));
  EXPECT_EQ(polygons[0]->Brush().Color(), (TRLMetaColor{234, 234, 234}));
  EXPECT_EQ(polygons[0]->Pen().Color(), (TRLMetaColor{0, 0, 0}));
  EXPECT_EQ(polygons[0]->Pen().Width(), 1);
  EXPECT_EQ(band->Surface().ObjectCount(), 1) << "transparent and without borders: the polygon alone";
}

TEST(Draw, PointsOfEachKind) {
  struct Case {
    TRLDrawKind kind;
    TRLPointList expected;
  } cases[] = {
      {dkRectangle, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
      {dkLine, {{0, 0}, {1, 0}}},
      {dkTriangle, {{0, 87}, {50, 0}, {100, 87}}},
      {dkArrow, {{0, 2}, {5, 2}, {5, 0}, {8, 3}, {5, 6}, {5, 4}, {0, 4}}},
  };
  for (const Case& c : cases) EXPECT_EQ(DrawKindPoints(c.kind, "9 9"), c.expected) << c.kind;

  const TRLPointList ellipse = DrawKindPoints(dkElipse, "");
  ASSERT_EQ(ellipse.size(), 36u);
  EXPECT_EQ(ellipse[0], (TPoint{2000, 1000}));
  EXPECT_EQ(ellipse[1], (TPoint{1985, 1174}));
  EXPECT_EQ(ellipse[9], (TPoint{1000, 2000}));
  EXPECT_EQ(ellipse[18], (TPoint{0, 1000}));
  EXPECT_EQ(ellipse[27], (TPoint{1000, 0}));
  EXPECT_EQ(DrawKindPoints(dkCustom, "3 4 5 6"), (TRLPointList{{3, 4}, {5, 6}}));
}

TEST(Draw, DrawDataIsReadAsPairsOfUnsignedNumbers) {
  struct Case {
    const char* data;
    TRLPointList expected;
  } cases[] = {
      {"10 10 20x30", {{10, 10}}},
      {"0 87\r50 0\r100 87", {{0, 87}, {50, 0}, {100, 87}}},
      {"\x1A\t1\n2  ", {{1, 2}}},
      {"5 -6 7 8", {}},
      {"4 5 6", {{4, 5}}},
      {"", {}},
      {"99999999999999999999 1", {{INT32_MAX, 1}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDrawData(c.data), c.expected) << c.data;
}

TEST(Draw, KindAndDataReplaceEachOther) {
  TRLDraw draw(nullptr);
  draw.SetDrawKind(dkTriangle);
  EXPECT_EQ(draw.DrawData().Lines(), (std::vector<std::string>{"0 87", "50 0", "100 87"}));
  draw.SetDrawKind(dkCustom);
  EXPECT_EQ(draw.DrawData().Count(), 3) << "switching to custom keeps the points";
  TStrings same;
  same.SetText("0 87\r50 0\r100 87");
  draw.SetDrawKind(dkArrow);
  draw.SetDrawData(same);
  EXPECT_EQ(draw.DrawKind(), dkCustom);
  draw.SetDrawKind(dkLine);
  draw.SetDrawData(draw.DrawData());
  EXPECT_EQ(draw.DrawKind(), dkLine) << "the same text changes nothing";
  draw.DrawData().Add("7 7");
  EXPECT_EQ(draw.DrawKind(), dkCustom);
}

TEST(Draw, FittingRotationCentringAndPenInset) {
  struct Case {
    const char* name;
    TRLDrawKind kind;
    TRect rect;
    double angle;
    TRLDrawOptions options;
    int pen_width, draw_width;
    TRLPointList expected;
  } cases[] = {
      {"line across mid-height", dkLine, {0, 0, 100, 20}, 0, {}, 1, 0, {{0, 9}, {99, 9}}},
      {"line turned upright", dkLine, {0, 0, 100, 20}, 90, {}, 1, 0, {{49, 19}, {49, 0}}},
      {"wide pen", dkRectangle, {0, 0, 100, 50}, 0, {}, 5, 0, {{2, 2}, {97, 2}, {97, 47}, {2, 47}}},
      {"draw width", dkRectangle, {0, 0, 100, 50}, 0, {}, 1, 30, {{34, 0}, {64, 0}, {64, 49}, {34, 49}}},
      {"square", dkRectangle, {0, 0, 100, 50}, 0, {doKeepVisible}, 1, 0, {{25, 0}, {74, 0}, {74, 49}, {25, 49}}},
      {"offset rect", dkTriangle, {10, 20, 61, 38}, 0, {}, 1, 0, {{10, 37}, {35, 20}, {60, 37}}},
      {"kept size", dkLine, {0, 0, 100, 20}, 90, {doKeepSize}, 1, 0, {{49, 59}, {49, -40}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRLDraw draw(nullptr);
    draw.SetDrawKind(c.kind);
    draw.SetAngle(c.angle);
    draw.SetOptions(c.options);
    draw.Pen().SetWidth(c.pen_width);
    draw.SetDrawWidth(c.draw_width);
    EXPECT_EQ(draw.FigurePoints(c.rect), c.expected);
  }

  // A circle with its aspect kept is 49 pixels across, centred horizontally.
  TRLDraw circle(nullptr);
  circle.SetDrawKind(dkElipse);
  circle.SetOptions({doKeepAspectRatio});
  EXPECT_EQ(BoundsOf(circle.FigurePoints({0, 0, 100, 50})), (TRect{25, 0, 74, 49}));
}

TEST(Draw, LegacyKindIsReadNeverWritten) {
  RegisterReportClasses();
  struct Case {
    const char* kind;
    TRLDrawKind draw_kind;
    TRLDrawOptions options;
    std::vector<std::string> data;  // for custom kinds
    double angle;
  } cases[] = {
      {"dkRectangle", dkRectangle, {doKeepSize}, {}, 0},
      {"dkLine", dkCustom, {doKeepSize}, {"0 0 1 1"}, 0},
      {"dkTriangle", dkTriangle, {doKeepSize}, {}, 0},
      {"dkElipse", dkElipse, {doKeepSize}, {}, 0},
      {"dkArrow", dkArrow, {doKeepSize}, {}, 0},
      {"dkCircle", dkElipse, {doKeepAspectRatio}, {}, 0},
      {"dkHorzLine", dkLine, {doKeepSize}, {}, 0},
      {"DKVERTLINE", dkLine, {doKeepSize, doKeepVisible}, {}, 120},
      {"dkReverseLine", dkCustom, {doKeepSize}, {"1 0 0 1"}, 0},
      {"dkStar", dkRectangle, {}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    TForm form(nullptr);
    ReadDefinition(
        form, std::string("TForm Form1 {\n  TRLDraw RLDraw1 {\n    Angle: 30.0\n    Kind: ") + c.kind + "\n  }\n}\n");
    auto* draw = dynamic_cast<TRLDraw*>(form.FindComponent("RLDraw1"));
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->DrawKind(), c.draw_kind);
    EXPECT_EQ(draw->Options(), c.options);
    EXPECT_EQ(draw->Angle(), c.angle == 0 ? 30.0 : c.angle);
    if (!c.data.empty()) {
      EXPECT_EQ(draw->DrawData().Lines(), c.data);
    }
    EXPECT_EQ(WriteDefinition(form).find(" Kind:"), std::string::npos);
  }
}
