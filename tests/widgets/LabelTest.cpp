#include "graphics/TextMetrics.h"
#include "widgets/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LabelSizeCase {
  const char* name;
  TAlignment alignment;
  bool auto_size;
  bool word_wrap;
  // The expected left edge and width, from the text's width w.
  int (*left)(int w);
  int (*width)(int w);
};

// A failing case is named, not dumped byte by byte.
void PrintTo(const LabelSizeCase& c, std::ostream* out) { *out << c.name; }

class LabelSize : public testing::TestWithParam<LabelSizeCase> {};

}  // namespace

// A label 300 wide at x 50 is given a new caption that fits on one line.
TEST_P(LabelSize, FollowsItsCaptionFromTheEdgeItsAlignmentKeeps) {
  const LabelSizeCase& c = GetParam();
  TLabel label(nullptr);
  label.SetAutoSize(false);
  label.SetBounds(50, 10, 300, 40);
  label.SetAlignment(c.alignment);
  label.SetWordWrap(c.word_wrap);
  label.SetAutoSize(c.auto_size);
  label.SetBounds(50, 10, 300, 40);
  const std::string text = "Página 14234";
  label.SetCaption(text);
  const TFontMeasure& measure = TFontMeasure::For(label.Font());
  const int w = measure.Width(text);
  EXPECT_EQ(label.Left(), c.left(w));
  EXPECT_EQ(label.Width(), c.width(w));
  EXPECT_EQ(label.Top(), 10);
  EXPECT_EQ(label.Height(), c.auto_size ? measure.Height() : 40);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelSize,
    testing::Values(LabelSizeCase{"LeftKeepsTheLeftEdge", taLeftJustify, true, false, [](int) { return 50; },
                                  [](int w) { return w; }},
                    LabelSizeCase{"RightKeepsTheRightEdge", taRightJustify, true, false, [](int w) { return 350 - w; },
                                  [](int w) { return w; }},
                    LabelSizeCase{"CentredKeepsTheCentre", taCenter, true, false,
                                  [](int w) { return 50 + (300 - w) / 2; }, [](int w) { return w; }},
                    LabelSizeCase{"WordWrapKeepsTheWidthOfOneLine", taLeftJustify, true, true, [](int) { return 50; },
                                  [](int) { return 300; }},
                    LabelSizeCase{"WithoutAutoSizeNothingMoves", taLeftJustify, false, false, [](int) { return 50; },
                                  [](int) { return 300; }}),
    [](const testing::TestParamInfo<LabelSizeCase>& info) { return std::string(info.param.name); });
