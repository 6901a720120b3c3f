// Fonts and colours.
#include "graphics/Graphics.h"

#include <gtest/gtest.h>

namespace {

TEST(Font, HeightAndPointSizeAt96Dpi) {
  const std::pair<int, int> heights_to_points[] = {{-11, 8}, {-9, 7}, {-12, 9}, {-13, 10}};
  for (auto [height, points] : heights_to_points) {
    TFont font;
    font.SetHeight(height);
    EXPECT_EQ(font.Size(), points) << height;
  }
  TFont font;
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -13);
  font.SetStyle({fsBold});
  EXPECT_EQ(changes, 2);
}

TEST(Colors, SystemColoursResolveThroughThePalette) {
  EXPECT_TRUE(IsSystemColor(clBtnFace));
  EXPECT_FALSE(IsSystemColor(15395562));
  EXPECT_FALSE(IsSystemColor(ColorToRGB(clBtnFace)));
  EXPECT_EQ(ColorToRGB(15395562), 15395562);
  EXPECT_EQ(GetRValue(15395562), 234);
  EXPECT_EQ(GetGValue(15395562), 234);
  EXPECT_EQ(GetBValue(15395562), 234);
}

}  // namespace
