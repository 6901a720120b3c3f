#include "graphics/Bitmap.h"
#include "graphics/Canvas.h"
#include "graphics/TextMetrics.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;

QImage WhiteImage(int width = 16, int height = 12) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// The image as text, one character per pixel, for failure messages.
std::string Art(const QImage& image) {
  std::string art = "\n";
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      QRgb p = image.pixel(x, y);
      art += p == kWhite ? '.' : p == kBlack ? '#' : p == kRed ? 'r' : 'o';
    }
    art += '\n';
  }
  return art;
}

// Every pixel that is not white.
std::vector<QPoint> Painted(const QImage& image) {
  std::vector<QPoint> points;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != kWhite) points.emplace_back(x, y);
  return points;
}

QRect BoundsOf(const std::vector<QPoint>& points) {
  QRect bounds;
  for (QPoint p : points) bounds |= QRect(p, QSize(1, 1));
  return bounds;
}

// Draws on a fresh white image and hands back the result.
QImage Drawn(const std::function<void(TCanvas&)>& draw, int width = 16, int height = 12) {
  QImage image = WhiteImage(width, height);
  {
    TCanvas canvas(&image);
    draw(canvas);
  }
  return image;
}

TEST(CanvasRectangle, PenInsideTheBoundsAndBrushInside) {
  QImage image = Drawn([](TCanvas& c) {
    c.Brush().SetColor(clRed);
    c.Rectangle(2, 2, 6, 5);
  });
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      bool inside = x >= 2 && x <= 5 && y >= 2 && y <= 4;
      bool border = inside && (x == 2 || x == 5 || y == 2 || y == 4);
      QRgb expected = border ? kBlack : inside ? kRed : kWhite;
      ASSERT_EQ(image.pixel(x, y), expected) << "at " << x << "," << y << Art(image);
    }
  }
}

TEST(CanvasRectangle, CoverageByPenWidthAndStyle) {
  struct Case {
    const char* name;
    int width;
    TPenStyle style;
    QRect painted;  // every non-white pixel lies here, and it is all covered
    QPoint red;     // a pixel of the interior
    QPoint black;   // a pixel of the outline (-1: none)
  };
  const Case cases[] = {
      {"one unit", 1, psSolid, QRect(1, 1, 10, 8), {5, 5}, {1, 1}},
      {"three units inside the bounds", 3, psSolid, QRect(1, 1, 10, 8), {5, 5}, {3, 3}},
      {"inside frame", 2, psInsideFrame, QRect(1, 1, 10, 8), {5, 5}, {2, 2}},
      {"no pen leaves the last column and row out", 1, psClear, QRect(1, 1, 9, 7), {9, 7}, {-1, -1}},
  };
  for (const Case& k : cases) {
    QImage image = Drawn([&](TCanvas& c) {
      c.Pen().SetWidth(k.width);
      c.Pen().SetStyle(k.style);
      c.Brush().SetColor(clRed);
      c.Rectangle(1, 1, 11, 9);
    });
    auto painted = Painted(image);
    EXPECT_EQ(BoundsOf(painted), k.painted) << k.name << Art(image);
    EXPECT_EQ(painted.size(), static_cast<std::size_t>(k.painted.width() * k.painted.height())) << k.name;
    EXPECT_EQ(image.pixel(k.red), kRed) << k.name << Art(image);
    if (k.black.x() >= 0) {
      EXPECT_EQ(image.pixel(k.black), kBlack) << k.name << Art(image);
      // The outline is exactly `width` units thick.
      EXPECT_EQ(image.pixel(1 + k.width, 5), kRed) << k.name << Art(image);
      EXPECT_EQ(image.pixel(k.width, 5), kBlack) << k.name << Art(image);
    }
  }
}

TEST(CanvasFillRect, CoversLeftTopUpToRightBottomExclusive) {
  struct Case {
    TRect rect;
    QRect painted;
  };
  const Case cases[] = {
      {{2, 3, 7, 5}, QRect(2, 3, 5, 2)},
      {{0, 0, 1, 1}, QRect(0, 0, 1, 1)},
      {{5, 5, 5, 9}, QRect()},  // no width
      {{6, 4, 3, 8}, QRect()},  // right before left
      {{-4, -4, 2, 2}, QRect(0, 0, 2, 2)},
  };
  for (const Case& k : cases) {
    QImage image = Drawn([&](TCanvas& c) {
      c.Brush().SetColor(clBlack);
      c.Pen().SetMode(pmXor);  // the pen mode does not apply to fills
      c.FillRect(k.rect);
    });
    auto painted = Painted(image);
    EXPECT_EQ(BoundsOf(painted), k.painted) << Art(image);
    EXPECT_EQ(painted.size(), static_cast<std::size_t>(k.painted.width() * k.painted.height())) << Art(image);
    for (QPoint p : painted) EXPECT_EQ(image.pixel(p), kBlack);
  }
  QImage clear = Drawn([](TCanvas& c) {
    c.Brush().SetStyle(bsClear);
    c.FillRect({0, 0, 8, 8});
  });
  EXPECT_TRUE(Painted(clear).empty()) << Art(clear);
}

TEST(CanvasLine, PaintsTheStartAndNotTheEnd) {
  struct Case {
    TPoint from, to;
    std::vector<QPoint> painted;
  };
  const Case cases[] = {
      {{1, 2}, {5, 2}, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
      {{5, 2}, {1, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
      {{3, 1}, {3, 4}, {{3, 1}, {3, 2}, {3, 3}}},
      {{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
      {{4, 4}, {4, 4}, {}},
  };
  for (const Case& k : cases) {
    QImage image = Drawn([&](TCanvas& c) {
      c.MoveTo(k.from.X, k.from.Y);
      c.LineTo(k.to.X, k.to.Y);
      EXPECT_EQ(c.PenPos(), k.to);
    });
    auto painted = Painted(image);
    std::sort(painted.begin(), painted.end(),
              [](QPoint a, QPoint b) { return a.x() + 100 * a.y() < b.x() + 100 * b.y(); });
    auto expected = k.painted;
    std::sort(expected.begin(), expected.end(),
              [](QPoint a, QPoint b) { return a.x() + 100 * a.y() < b.x() + 100 * b.y(); });
    EXPECT_EQ(painted, expected) << Art(image);
  }
}

TEST(CanvasLine, WidePenCoversItsWidthAndStopsBeforeTheEnd) {
  QImage image = Drawn([](TCanvas& c) {
    c.Pen().SetWidth(3);
    c.MoveTo(2, 5);
    c.LineTo(10, 5);
  });
  EXPECT_EQ(BoundsOf(Painted(image)), QRect(2, 4, 8, 3)) << Art(image);
}

TEST(CanvasLine, PolylineLeavesOnlyTheLastPointOut) {
  const TPoint points[] = {{1, 1}, {6, 1}, {6, 6}, {2, 6}};
  QImage image = Drawn([&](TCanvas& c) {
    c.MoveTo(9, 9);
    c.Polyline(points);
    EXPECT_EQ(c.PenPos(), (TPoint{9, 9}));
  });
  EXPECT_EQ(image.pixel(1, 1), kBlack) << Art(image);
  EXPECT_EQ(image.pixel(6, 1), kBlack) << Art(image);
  EXPECT_EQ(image.pixel(6, 6), kBlack) << Art(image);
  EXPECT_EQ(image.pixel(3, 6), kBlack) << Art(image);
  EXPECT_EQ(image.pixel(2, 6), kWhite) << Art(image);
  EXPECT_EQ(Painted(image).size(), 5u + 5u + 4u) << Art(image);
}

TEST(CanvasLine, StyledPensLeaveGapsOnlyWhenOneUnitWide) {
  struct Case {
    TPenStyle style;
    int width;
    bool gaps;
  };
  const Case cases[] = {
      {psSolid, 1, false},     {psDash, 1, true},         {psDot, 1, true},   {psDashDot, 1, true},
      {psDashDotDot, 1, true}, {psInsideFrame, 1, false}, {psDash, 2, false},
  };
  for (const Case& k : cases) {
    QImage image = Drawn(
        [&](TCanvas& c) {
          c.Pen().SetStyle(k.style);
          c.Pen().SetWidth(k.width);
          c.MoveTo(0, 5);
          c.LineTo(60, 5);
        },
        64, 12);
    int gaps = 0;
    for (int x = 0; x < 60; ++x) gaps += image.pixel(x, 5) == kWhite;
    EXPECT_EQ(gaps > 0, k.gaps) << "style " << k.style << " width " << k.width << Art(image);
    EXPECT_EQ(image.pixel(0, 5), kBlack) << "style " << k.style;
  }
  QImage clear = Drawn([](TCanvas& c) {
    c.Pen().SetStyle(psClear);
    c.MoveTo(0, 5);
    c.LineTo(10, 5);
    c.Rectangle(1, 1, 8, 8);
  });
  for (QPoint p : Painted(clear)) EXPECT_NE(p.y(), 5) << "a clear pen drew" << Art(clear);
}

// A one-unit line laid out only where it can show must still show exactly the units of the whole line: the same
// polyline on a small image and, shifted, well inside a large one.
TEST(CanvasLine, LinesRunningOffTheDeviceShowTheSameUnits) {
  struct Case {
    std::vector<TPoint> points;
    TPenStyle style;
    bool clip;
  };
  const Case cases[] = {
      {{{-90, 3}, {150, 14}}, psSolid, false},
      {{{150, 14}, {-90, 3}}, psDashDot, false},
      {{{7, -60}, {12, 190}, {-80, -70}}, psDash, false},
      {{{190, 190}, {-10, -17}, {190, 5}}, psDashDotDot, false},
      {{{-99, 9}, {5, 9}, {5, 199}}, psDot, true},
      {{{-13, -77}, {33, 100}}, psSolid, true},
  };
  constexpr int kShift = 100;
  for (const Case& k : cases) {
    auto draw = [&](TCanvas& c, int shift) {
      c.Pen().SetStyle(k.style);
      if (k.clip) c.SetClipRect({shift + 3, shift + 2, shift + 15, shift + 11});
      std::vector<TPoint> points;
      for (TPoint p : k.points) points.push_back({p.X + shift, p.Y + shift});
      c.Polyline(points);
    };
    QImage small = Drawn([&](TCanvas& c) { draw(c, 0); }, 20, 16);
    QImage large = Drawn([&](TCanvas& c) { draw(c, kShift); }, 300, 300);
    EXPECT_FALSE(Painted(small).empty()) << "style " << k.style << Art(small);
    EXPECT_EQ(small, large.copy(kShift, kShift, 20, 16))
        << "style " << k.style << Art(small) << Art(large.copy(kShift, kShift, 20, 16));
  }
}

// Coordinates at the ends of the integer range cost no more than the device's size.
TEST(CanvasLine, ExtremeCoordinatesDrawTheVisibleUnits) {
  const TPoint triangle[] = {{2, 2}, {INT_MAX, 2}, {2, INT_MAX}};
  const TPoint diagonal[] = {{INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}};
  const TPoint across[] = {{INT_MIN, 25}, {INT_MAX, 25}};
  QImage image = Drawn(
      [&](TCanvas& c) {
        c.Brush().SetColor(clRed);
        c.Polygon(triangle);
        c.Polyline(diagonal);
        c.Pen().SetStyle(psDot);
        c.Polyline(across);
      },
      40, 30);
  for (int x = 2; x < 40; ++x) EXPECT_EQ(image.pixel(x, 2), kBlack) << x << Art(image);
  for (int y = 2; y < 30; ++y) EXPECT_EQ(image.pixel(2, y), kBlack) << y << Art(image);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(image.pixel(i, i), kBlack) << i << Art(image);
  EXPECT_EQ(image.pixel(20, 10), kRed) << Art(image);
  EXPECT_EQ(image.pixel(1, 0), kWhite) << Art(image);
  int dots = 0, gaps = 0;
  for (int x = 3; x < 40; ++x) {
    if (x == 25) continue;
    (image.pixel(x, 25) == kBlack ? dots : gaps) += 1;
  }
  EXPECT_GT(dots, 10) << Art(image);
  EXPECT_GT(gaps, 10) << Art(image);
}

// A pen about as wide as the coordinate range (damaged data) covers the whole rectangle, outline and inside.
TEST(CanvasRectangle, PenWiderThanHalfTheRangeCoversEverything) {
  const struct {
    int width;
    TRect bounds;
    QRect covered;
  } cases[] = {
      {1233493556, {-10, -10, INT_MAX, INT_MAX}, QRect(0, 0, 16, 12)},
      {INT_MAX, {INT_MIN, 2, 8, INT_MAX}, QRect(0, 2, 8, 10)},
  };
  for (const auto& k : cases) {
    QImage image = Drawn([&](TCanvas& c) {
      c.Pen().SetWidth(k.width);
      c.Brush().SetColor(clRed);
      c.Rectangle(k.bounds);
    });
    const std::vector<QPoint> painted = Painted(image);
    EXPECT_EQ(BoundsOf(painted), k.covered) << Art(image);
    EXPECT_EQ(painted.size(), static_cast<std::size_t>(k.covered.width() * k.covered.height())) << Art(image);
    for (QPoint p : painted) EXPECT_EQ(image.pixel(p), kBlack) << Art(image);
  }
}

// Rectangles whose corners lie further apart than an int reaches fill the part of them on the image.
TEST(CanvasFillRect, CornersAtBothEndsOfTheRangeFillTheVisiblePart) {
  QImage image = Drawn([](TCanvas& c) {
    c.Brush().SetColor(clRed);
    c.FillRect({INT_MIN, 2, INT_MAX, 5});
    c.Rectangle(INT_MIN, 7, INT_MAX, INT_MAX);
  });
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(image.pixel(x, 3), kRed) << Art(image);
    EXPECT_EQ(image.pixel(x, 7), kBlack) << Art(image);
    EXPECT_EQ(image.pixel(x, 9), kRed) << Art(image);
  }
}

// Each pen mode against the bitwise combination it stands for, per colour channel.
TEST(CanvasPenMode, CombinesPenAndDeviceBitwise) {
  const TColor pen = RGBColor(0x3C, 0xA5, 0x0F);
  const QRgb device = qRgb(0x55, 0x0F, 0xF0);
  struct Case {
    TPenMode mode;
    std::function<int(int, int)> op;  // (pen, device) -> result, per channel
  };
  const Case cases[] = {
      {pmBlack, [](int, int) { return 0; }},
      {pmWhite, [](int, int) { return 255; }},
      {pmNop, [](int, int d) { return d; }},
      {pmNot, [](int, int d) { return ~d; }},
      {pmCopy, [](int p, int) { return p; }},
      {pmNotCopy, [](int p, int) { return ~p; }},
      {pmMergePenNot, [](int p, int d) { return p | ~d; }},
      {pmMaskPenNot, [](int p, int d) { return p & ~d; }},
      {pmMergeNotPen, [](int p, int d) { return ~p | d; }},
      {pmMaskNotPen, [](int p, int d) { return ~p & d; }},
      {pmMerge, [](int p, int d) { return p | d; }},
      {pmNotMerge, [](int p, int d) { return ~(p | d); }},
      {pmMask, [](int p, int d) { return p & d; }},
      {pmNotMask, [](int p, int d) { return ~(p & d); }},
      {pmXor, [](int p, int d) { return p ^ d; }},
      {pmNotXor, [](int p, int d) { return ~(p ^ d); }},
  };
  for (const Case& k : cases) {
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(device);
    {
      TCanvas c(&image);
      c.Pen().SetColor(pen);
      c.Pen().SetMode(k.mode);
      c.MoveTo(1, 1);
      c.LineTo(6, 1);
    }
    QRgb got = image.pixel(3, 1);
    QRgb expected = qRgb(k.op(GetRValue(pen), qRed(device)) & 0xFF, k.op(GetGValue(pen), qGreen(device)) & 0xFF,
                         k.op(GetBValue(pen), qBlue(device)) & 0xFF);
    EXPECT_EQ(got, expected) << "mode " << k.mode << std::hex << " got " << got << " expected " << expected;
    EXPECT_EQ(image.pixel(3, 2), device) << "mode " << k.mode;
  }
}

TEST(CanvasPenMode, XorTwiceRestoresTheImage) {
  QImage image = WhiteImage(24, 20);
  {
    TCanvas c(&image);
    c.Brush().SetColor(clRed);
    c.FillRect({0, 0, 12, 20});
  }
  const QImage before = image.copy();
  {
    TCanvas c(&image);
    c.Pen().SetMode(pmXor);
    c.Pen().SetColor(RGBColor(0x12, 0x80, 0xF0));
    c.Brush().SetColor(RGBColor(0x40, 0x40, 0x40));
    for (int round = 0; round < 2; ++round) {
      const TPoint star[] = {{2, 2}, {20, 4}, {4, 16}, {18, 18}};
      c.MoveTo(1, 1);
      c.LineTo(22, 17);
      c.Rectangle(3, 3, 15, 12);
      c.Polyline(star);
      if (round == 0) {
        EXPECT_NE(image, before);
      }
    }
  }
  EXPECT_EQ(image, before) << Art(image);
}

TEST(CanvasClip, CutsReplacesNarrowsAndRemoves) {
  struct Case {
    const char* name;
    std::function<void(TCanvas&)> clip;
    QRect painted;
  };
  const Case cases[] = {
      {"none", [](TCanvas&) {}, QRect(0, 0, 16, 12)},
      {"set",
       [](TCanvas& c) {
         c.SetClipRect({2, 3, 6, 8});
       },
       QRect(2, 3, 4, 5)},
      {"set replaces",
       [](TCanvas& c) {
         c.SetClipRect({0, 0, 3, 3});
         c.SetClipRect({5, 5, 7, 9});
       },
       QRect(5, 5, 2, 4)},
      {"intersect narrows",
       [](TCanvas& c) {
         c.SetClipRect({2, 2, 10, 10});
         c.IntersectClipRect({6, 0, 14, 4});
       },
       QRect(6, 2, 4, 2)},
      {"intersect without a clip",
       [](TCanvas& c) {
         c.IntersectClipRect({1, 1, 3, 2});
       },
       QRect(1, 1, 2, 1)},
      {"removed",
       [](TCanvas& c) {
         c.SetClipRect({2, 2, 4, 4});
         c.RemoveClip();
       },
       QRect(0, 0, 16, 12)},
      {"empty clips everything",
       [](TCanvas& c) {
         c.SetClipRect({4, 4, 4, 9});
       },
       QRect()},
      {"disjoint intersection clips everything",
       [](TCanvas& c) {
         c.SetClipRect({0, 0, 3, 3});
         c.IntersectClipRect({5, 5, 8, 8});
       },
       QRect()},
      // Inverted by more than the int range spans (damaged data): still empty.
      {"inverted across the range",
       [](TCanvas& c) {
         c.SetClipRect({INT_MAX - 200, 0, -49329, 12});
       },
       QRect()},
      {"inverted across the range upwards",
       [](TCanvas& c) {
         c.SetClipRect({0, INT_MAX, 16, INT_MIN + 5});
       },
       QRect()},
  };
  for (const Case& k : cases) {
    QImage image = Drawn([&](TCanvas& c) {
      c.Brush().SetColor(clBlack);
      k.clip(c);
      c.FillRect({0, 0, 16, 12});
    });
    auto painted = Painted(image);
    EXPECT_EQ(BoundsOf(painted), k.painted) << k.name << Art(image);
    EXPECT_EQ(painted.size(), static_cast<std::size_t>(k.painted.width() * k.painted.height())) << k.name;
  }
}

TEST(CanvasClip, SurvivesEndPaint) {
  QImage image = WhiteImage();
  TCanvas c(&image);
  c.Brush().SetColor(clBlack);
  c.SetClipRect({1, 1, 3, 3});
  c.FillRect({0, 0, 16, 12});
  c.EndPaint();
  c.FillRect({0, 0, 16, 12});
  c.EndPaint();
  EXPECT_EQ(BoundsOf(Painted(image)), QRect(1, 1, 2, 2)) << Art(image);
}

TEST(CanvasClip, EachDrawingUsesTheClipInForceWhenItIsMade) {
  QImage image = Drawn([](TCanvas& c) {
    c.Brush().SetColor(clBlack);
    c.SetClipRect({0, 0, 4, 4});
    c.FillRect({0, 0, 16, 12});
    // Replaced twice and removed before the next drawing: only the last state counts.
    c.SetClipRect({10, 0, 12, 2});
    c.RemoveClip();
    c.SetClipRect({6, 6, 9, 8});
    c.Brush().SetColor(clRed);
    c.FillRect({0, 0, 16, 12});
    // A text cut by its own rectangle and by the canvas clip leaves the canvas clip as it was.
    c.Brush().SetStyle(bsClear);
    c.TextRect({0, 0, 8, 12}, 0, 0, "WW");
    c.Brush().SetStyle(bsSolid);
    c.FillRect({0, 0, 16, 12});
    c.RemoveClip();
    c.SetPixels(15, 11, clBlack);
  });
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      QRgb expected = (x < 4 && y < 4) || (x == 15 && y == 11) ? kBlack
                      : x >= 6 && x < 9 && y >= 6 && y < 8     ? kRed
                                                               : kWhite;
      ASSERT_EQ(image.pixel(x, y), expected) << "at " << x << "," << y << Art(image);
    }
  }
}

TEST(CanvasClip, TextsInsideTheClipLeaveItInForce) {
  const TRect before{0, 0, 30, 20}, after{10, 0, 60, 30};
  QImage image = Drawn(
      [&](TCanvas& c) {
        c.Brush().SetColor(clRed);
        c.SetClipRect(before);
        c.FillRect({0, 0, 60, 30});
        c.SetClipRect(after);
        c.Brush().SetStyle(bsClear);
        c.TextRect(after, 12, 2, "Ab");  // inside both clips
        c.TextRect(after, 35, 2, "Ab");  // inside the new clip only
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(clBlack);
        c.FillRect({0, 0, 60, 30});
      },
      60, 30);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      QRgb expected = x >= after.Left ? kBlack : y < before.Bottom ? kRed : kWhite;
      ASSERT_EQ(image.pixel(x, y), expected) << "at " << x << "," << y << Art(image);
    }
  }
}

TEST(CanvasShapes, StayInsideTheirBoundsAndFill) {
  struct Case {
    const char* name;
    std::function<void(TCanvas&)> draw;
    QRect bounds;  // the painted pixels span exactly this
    QPoint red;    // inside, filled with the brush
    QPoint white;  // inside the bounds yet left alone (-1: none)
  };
  const TPoint triangle[] = {{2, 2}, {13, 2}, {2, 10}};
  const Case cases[] = {
      {"ellipse", [](TCanvas& c) { c.Ellipse(2, 1, 14, 11); }, QRect(2, 1, 12, 10), {8, 6}, {2, 1}},
      {"wide ellipse",
       [](TCanvas& c) {
         c.Pen().SetWidth(3);
         c.Ellipse(2, 1, 14, 11);
       },
       QRect(2, 1, 12, 10),
       {8, 6},
       {2, 1}},
      {"round rectangle", [](TCanvas& c) { c.RoundRect(1, 1, 15, 11, 8, 8); }, QRect(1, 1, 14, 10), {8, 6}, {1, 1}},
      {"polygon", [&](TCanvas& c) { c.Polygon(triangle); }, QRect(2, 2, 12, 9), {4, 4}, {12, 9}},
  };
  for (const Case& k : cases) {
    QImage image = Drawn([&](TCanvas& c) {
      c.Brush().SetColor(clRed);
      k.draw(c);
    });
    EXPECT_EQ(BoundsOf(Painted(image)), k.bounds) << k.name << Art(image);
    EXPECT_EQ(image.pixel(k.red), kRed) << k.name << Art(image);
    if (k.white.x() >= 0) {
      EXPECT_EQ(image.pixel(k.white), kWhite) << k.name << Art(image);
    }
  }
}

TEST(CanvasShapes, PolygonOutlineTouchesEveryVertex) {
  const TPoint triangle[] = {{2, 2}, {13, 2}, {2, 10}};
  QImage image = Drawn([&](TCanvas& c) {
    c.Brush().SetStyle(bsClear);
    c.Polygon(triangle);
  });
  for (TPoint p : triangle) EXPECT_EQ(image.pixel(p.X, p.Y), kBlack) << p.X << "," << p.Y << Art(image);
  EXPECT_EQ(image.pixel(4, 4), kWhite) << "a clear brush filled" << Art(image);
}

TEST(CanvasBrush, HatchesLeaveGapsAndSolidDoesNot) {
  struct Case {
    TBrushStyle style;
    bool gaps;
  };
  const Case cases[] = {{bsSolid, false},    {bsHorizontal, true}, {bsVertical, true}, {bsFDiagonal, true},
                        {bsBDiagonal, true}, {bsCross, true},      {bsDiagCross, true}};
  for (const Case& k : cases) {
    QImage image = Drawn([&](TCanvas& c) {
      c.Brush().SetColor(clBlack);
      c.Brush().SetStyle(k.style);
      c.FillRect({0, 0, 16, 12});
    });
    auto painted = Painted(image);
    EXPECT_FALSE(painted.empty()) << "style " << k.style;
    EXPECT_EQ(painted.size() < 16u * 12u, k.gaps) << "style " << k.style << Art(image);
  }
  QImage horizontal = Drawn([](TCanvas& c) {
    c.Brush().SetColor(clBlack);
    c.Brush().SetStyle(bsHorizontal);
    c.FillRect({0, 0, 16, 12});
  });
  for (QPoint p : Painted(horizontal)) {
    for (int x = 0; x < 16; ++x) EXPECT_EQ(horizontal.pixel(x, p.y()), kBlack) << "horizontal hatch is not a row";
  }
}

TEST(CanvasObjects, ChangesTakeEffectAtTheNextOperation) {
  QImage image = WhiteImage();
  TCanvas c(&image);
  c.MoveTo(0, 1);
  c.LineTo(5, 1);
  c.Pen().SetColor(clRed);
  c.MoveTo(0, 2);
  c.LineTo(5, 2);
  TBrush brush;
  brush.SetColor(clBlack);
  c.SetBrush(brush);
  c.FillRect({0, 4, 3, 5});
  c.EndPaint();
  EXPECT_EQ(image.pixel(2, 1), kBlack);
  EXPECT_EQ(image.pixel(2, 2), kRed);
  EXPECT_EQ(image.pixel(1, 4), kBlack);
}

TEST(CanvasPixels, ReadAndWriteOneUnit) {
  QImage image = WhiteImage();
  TCanvas c(&image);
  c.SetPixels(3, 4, RGBColor(10, 20, 30));
  EXPECT_EQ(c.Pixels(3, 4), RGBColor(10, 20, 30));
  EXPECT_EQ(c.Pixels(4, 4), clWhite);
  EXPECT_EQ(c.Pixels(-1, 0), clNone);
  EXPECT_EQ(c.Pixels(16, 0), clNone);
  c.EndPaint();
  EXPECT_EQ(Painted(image), std::vector<QPoint>{QPoint(3, 4)});
}

TEST(CanvasPictures, DrawAndStretchDrawPlaceEveryPixel) {
  TBitmap bitmap(2, 2);
  bitmap.Canvas().SetPixels(0, 0, clBlack);
  bitmap.Canvas().SetPixels(1, 1, clRed);
  QImage image = Drawn([&](TCanvas& c) {
    c.Draw(3, 4, bitmap);
    c.StretchDraw({8, 2, 12, 6}, bitmap);
  });
  EXPECT_EQ(image.pixel(3, 4), kBlack) << Art(image);
  EXPECT_EQ(image.pixel(4, 5), kRed) << Art(image);
  EXPECT_EQ(image.pixel(4, 4), kWhite) << Art(image);
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      EXPECT_EQ(image.pixel(8 + dx, 2 + dy), kBlack) << Art(image);
      EXPECT_EQ(image.pixel(10 + dx, 4 + dy), kRed) << Art(image);
    }
  }
  EXPECT_EQ(BoundsOf(Painted(image)), QRect(3, 2, 9, 4)) << Art(image);
}

TEST(CanvasPictures, TransparentBitmapLeavesItsKeyColourOut) {
  TBitmap bitmap(3, 3);
  bitmap.Canvas().Brush().SetColor(clRed);
  bitmap.Canvas().FillRect({0, 0, 3, 3});
  bitmap.Canvas().SetPixels(1, 1, clBlack);
  bitmap.SetTransparent(true);  // key: the bottom-left pixel, red
  QImage image = Drawn([&](TCanvas& c) { c.Draw(1, 1, bitmap); });
  EXPECT_EQ(Painted(image), std::vector<QPoint>{QPoint(2, 2)}) << Art(image);
}

// A one-unit pen draws a solid line on a screen scaled up as on one that is not: every device pixel along it, no dots.
TEST(CanvasPens, AOneUnitPenIsSolidOnAScaledScreen) {
  for (double ratio : {1.0, 2.0, 3.0}) {
    SCOPED_TRACE(ratio);
    QImage image = WhiteImage(static_cast<int>(20 * ratio), static_cast<int>(14 * ratio));
    image.setDevicePixelRatio(ratio);
    {
      TCanvas canvas(&image);
      canvas.Brush().SetStyle(bsClear);
      canvas.Rectangle(2, 3, 15, 11);
    }
    // The top edge: a row of the frame's device pixels from its left to its right, without a gap.
    const int top = static_cast<int>(3 * ratio), left = static_cast<int>(2 * ratio),
              right = static_cast<int>(15 * ratio);
    for (int x = left; x < right; ++x) EXPECT_EQ(image.pixel(x, top), kBlack) << x << Art(image);
    // And no thicker than one unit.
    EXPECT_EQ(image.pixel(left + 4, static_cast<int>(4 * ratio)), kWhite) << Art(image);
  }
}

TEST(CanvasText, TopLeftPlacementInsideTheMeasuredCell) {
  for (int height : {-11, -16, -24}) {
    TRect cell;
    QImage image = Drawn(
        [&](TCanvas& c) {
          c.Font().SetName("Verdana");
          c.Font().SetHeight(height);
          c.Font().SetColor(clBlack);
          c.Brush().SetStyle(bsClear);
          c.TextOut(5, 7, "HEH");
          cell = {5, 7, 5 + c.TextWidth("HEH"), 7 + c.TextHeight("HEH")};
          EXPECT_EQ(c.PenPos(), (TPoint{cell.Right, 7}));
        },
        80, 50);
    auto painted = Painted(image);
    ASSERT_FALSE(painted.empty()) << height;
    QRect ink = BoundsOf(painted);
    EXPECT_GE(ink.top(), cell.Top) << height << Art(image);
    EXPECT_GE(ink.left(), cell.Left) << height << Art(image);
    EXPECT_LT(ink.bottom(), cell.Bottom) << height << Art(image);
    EXPECT_LT(ink.right(), cell.Right) << height << Art(image);
    // Capitals reach from near the top of the cell to the baseline, well inside it.
    EXPECT_GT(ink.height(), -height / 2) << height;
  }
}

TEST(CanvasText, OpaqueBrushFillsTheCell) {
  TSize extent;
  QImage image = Drawn(
      [&](TCanvas& c) {
        c.Brush().SetColor(clRed);
        c.Font().SetColor(clBlack);
        c.TextOut(3, 2, "Ab");
        extent = c.TextExtent("Ab");
      },
      40, 30);
  EXPECT_EQ(BoundsOf(Painted(image)), QRect(3, 2, extent.cx, extent.cy)) << Art(image);
  EXPECT_EQ(image.pixel(3, 2), kRed) << Art(image);
}

TEST(CanvasText, TextRectClipsToItsRectangle) {
  const TRect box{10, 5, 30, 14};
  QImage image = Drawn(
      [&](TCanvas& c) {
        c.Font().SetHeight(-20);
        c.Brush().SetStyle(bsClear);
        c.TextRect(box, 4, 2, "WWWWWWWW");
        // The clip of TextRect is its own: later drawing is not cut.
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(clRed);
        c.FillRect({0, 28, 2, 30});
      },
      60, 30);
  auto painted = Painted(image);
  ASSERT_GT(painted.size(), 1u);
  for (QPoint p : painted) {
    if (p.y() >= 28) continue;
    EXPECT_TRUE(p.x() >= box.Left && p.x() < box.Right && p.y() >= box.Top && p.y() < box.Bottom)
        << p.x() << "," << p.y() << Art(image);
  }
  EXPECT_EQ(image.pixel(0, 29), kRed);
}

TEST(CanvasText, TextRectWithBrushFillsTheWholeRectangle) {
  QImage image = Drawn([](TCanvas& c) {
    c.Brush().SetColor(clRed);
    c.TextRect({2, 2, 12, 9}, 2, 2, "");
  });
  EXPECT_EQ(BoundsOf(Painted(image)), QRect(2, 2, 10, 7)) << Art(image);
}

// TextRect draws what TextOut draws, cut to the rectangle: whether the text lies well inside, touches an edge or
// overflows a side by a little or a lot, whatever the font, the characters and the scale of the device.
TEST(CanvasText, TextRectIsTextOutCutToItsRectangle) {
  struct Font {
    const char* name;
    int height;
    TFontStyles style;
  };
  const Font fonts[] = {{"Verdana", -9, {}},
                        {"Verdana", -12, {fsBold}},
                        {"Verdana", -16, {fsItalic}},
                        {"Verdana", -11, {fsUnderline}},
                        {"Times New Roman", -15, {fsItalic}},
                        {"Courier New", -13, {}}};
  const char* const texts[] = {"Agropecuária Lima", "ÁÉÇÃÔ Ñ", "gjpqy_|", "fi fl ffi", "WAVE//", "Ελλάδα 日本", ""};
  const char* const sides[] = {"left", "top", "right", "bottom"};
  for (double scale : {1.0, 4.0}) {
    for (const Font& font : fonts) {
      for (const char* text : texts) {
        auto setup = [&](TCanvas& c) {
          c.Font().SetName(font.name);
          c.Font().SetHeight(font.height);
          c.Font().SetStyle(font.style);
          c.Font().SetColor(clBlack);
          c.Brush().SetStyle(bsClear);
        };
        TCanvas probe;
        setup(probe);
        const int x = 6, y = 5, width = probe.TextWidth(text), height = probe.TextHeight(text);
        const TRect cell{x, y, x + width, y + height};
        auto image = [&](const std::function<void(TCanvas&)>& draw) {
          QImage device = WhiteImage(static_cast<int>((width + 12) * scale), static_cast<int>((height + 10) * scale));
          TCanvas c(&device, scale);
          setup(c);
          draw(c);
          EXPECT_EQ(c.PenPos(), (TPoint{x + width, y}));
          c.EndPaint();
          return device;
        };
        const QImage whole = image([&](TCanvas& c) { c.TextOut(x, y, text); });
        // Each side in turn from three units outside the cell to three units inside it; the others well away.
        for (int side = 0; side < 4; ++side) {
          for (int d = -3; d <= 3; ++d) {
            TRect rect{cell.Left - 3, cell.Top - 3, cell.Right + 3, cell.Bottom + 3};
            int* edge[] = {&rect.Left, &rect.Top, &rect.Right, &rect.Bottom};
            *edge[side] = side < 2 ? (&cell.Left)[side] - d : (&cell.Left)[side] + d;
            QImage expected = whole;
            {
              QPainter cut(&expected);
              cut.scale(scale, scale);
              QRegion outside = QRegion(0, 0, width + 12, height + 10) -
                                QRegion(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
              for (const QRect& r : outside) cut.fillRect(r, Qt::white);
            }
            EXPECT_EQ(image([&](TCanvas& c) { c.TextRect(rect, x, y, text); }), expected)
                << "\"" << text << "\" in " << font.name << " at " << font.height << " px, scale " << scale << ", "
                << sides[side] << " edge " << d << " units outside the cell";
          }
        }
      }
    }
  }
}

// One canvas drawing texts in turn, fonts changing between them and clipped texts among them, draws what a new
// canvas for each text draws.
TEST(CanvasText, EachTextUsesTheFontInForce) {
  struct Step {
    int height;
    bool clipped;
    int y;
  };
  const Step steps[] = {{-9, false, 2}, {-16, true, 14}, {-16, false, 34},
                        {-9, true, 54}, {-9, false, 66}, {-16, false, 78}};
  auto draw = [](TCanvas& c, const Step& step) {
    c.Font().SetHeight(step.height);
    c.Font().SetColor(clBlack);
    c.Brush().SetStyle(bsClear);
    // The clipped ones are cut in the middle, so that they cannot be drawn without their clip.
    if (step.clipped) c.TextRect({0, step.y, 20, step.y + 30}, 2, step.y, "Wide");
    else c.TextOut(2, step.y, "Wide");
  };
  QImage together = WhiteImage(80, 100), apart = WhiteImage(80, 100);
  {
    TCanvas c(&together);
    for (const Step& step : steps) draw(c, step);
  }
  for (const Step& step : steps) {
    TCanvas c(&apart);
    draw(c, step);
  }
  EXPECT_EQ(together, apart) << Art(together) << Art(apart);
}

// A canvas shapes each text once for its width and its glyphs, and keeps the texts it drew lately: what it draws is
// what a painter draws given the characters, and the width is the one measured, for any script, for characters
// that break lines or are not drawn, on images at one and at many pixels a unit, first and again later.
TEST(CanvasText, DrawsWhatThePainterDrawsForTheCharacters) {
  const char* const texts[] = {
      "Agropecuária Lima ",  "  two  spaces  ", "fi fl ffi",   "Ελλάδα 日本",         "שלום עולם", "مرحبا بالعالم",
      "e\xCC\x81 a\xCC\x8A", "tab\there",       "line\nbreak", "line\xE2\x80\xA8sep", "\x01\x7F",  ""};
  for (double scale : {1.0, 6.25}) {
    for (TFontStyles style : {TFontStyles{}, TFontStyles{fsBold, fsUnderline}}) {
      TFont font;
      font.SetName("Verdana");
      font.SetHeight(-12);
      font.SetStyle(style);
      font.SetColor(clBlack);
      const TFontMeasure& measure = TFontMeasure::For(font);
      const int x = 3, y = 2;
      auto blank = [&] { return WhiteImage(static_cast<int>(150 * scale), static_cast<int>(20 * scale)); };
      QImage again = blank();
      TCanvas repeated(&again, scale);
      for (const char* text : texts) {
        QImage expected = blank();
        {
          QPainter painter(&expected);
          painter.scale(scale, scale);
          painter.setFont(measure.Font());
          painter.setPen(Qt::black);
          painter.drawText(QPointF(x, y + measure.Ascent()), QString::fromUtf8(text));
        }
        auto draw = [&](TCanvas& c) {
          c.SetFont(font);
          c.Brush().SetStyle(bsClear);
          c.TextOut(x, y, text);
          EXPECT_EQ(c.PenPos(), (TPoint{x + measure.Width(text), y})) << text;
          EXPECT_EQ(c.TextWidth(text), measure.Width(text)) << text;
        };
        QImage drawn = blank();
        {
          TCanvas c(&drawn, scale);
          draw(c);
        }
        EXPECT_EQ(drawn, expected) << "\"" << text << "\" at scale " << scale;
        // The same canvas draws it again after many other texts, more than it keeps.
        for (int i = 0; i < 1100; ++i) repeated.TextWidth(std::to_string(i));
        for (int i = 0; i < 1100; ++i) repeated.TextOut(-500, -500, std::to_string(i));
        repeated.Brush().SetColor(clWhite);
        repeated.Brush().SetStyle(bsSolid);
        repeated.FillRect({0, 0, 150, 20});
        draw(repeated);
        repeated.EndPaint();
        EXPECT_EQ(again, expected) << "\"" << text << "\" drawn again at scale " << scale;
      }
    }
  }
}

TEST(CanvasScale, UnitsCoverScaledDevicePixels) {
  QImage image = WhiteImage(40, 30);
  {
    TCanvas c(&image, 2.5);
    EXPECT_EQ(c.Font().PixelsPerInch(), 96);
    c.Brush().SetColor(clBlack);
    c.FillRect({2, 2, 6, 4});   // device [5, 15) x [5, 10)
    c.Rectangle(8, 6, 14, 10);  // device [20, 35) x [15, 25)
  }
  auto painted = Painted(image);
  EXPECT_EQ(BoundsOf(painted), QRect(5, 5, 30, 20)) << Art(image);
  EXPECT_EQ(image.pixel(5, 5), kBlack);
  EXPECT_EQ(image.pixel(14, 9), kBlack);
  EXPECT_EQ(image.pixel(15, 9), kWhite);
  // The outline is one unit, so 2.5 device pixels, thick.
  EXPECT_EQ(image.pixel(21, 20), kBlack) << Art(image);
  EXPECT_EQ(image.pixel(24, 20), kBlack) << Art(image);  // brush, black too
}

TEST(CanvasDevice, DrawingWithoutADeviceIsRefusedButMeasuringWorks) {
  TCanvas c;
  EXPECT_GT(c.TextWidth("abc"), 0);
  EXPECT_THROW(c.FillRect({0, 0, 2, 2}), EInvalidOperation);
  EXPECT_THROW(c.TextOut(0, 0, "x"), EInvalidOperation);
}

TEST(CanvasDevice, EmptyBitmapIgnoresDrawing) {
  TBitmap bitmap;
  // Unlike a canvas without any device (above), an empty bitmap's canvas takes drawing and drops it.
  bitmap.Canvas().Rectangle(0, 0, 5, 5);
  bitmap.Canvas().TextOut(0, 0, "x");
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
  // Once it has a size, the same calls paint.
  bitmap.SetSize(5, 5);
  bitmap.Canvas().Brush().SetColor(clRed);
  bitmap.Canvas().FillRect({0, 0, 5, 5});
  EXPECT_EQ(bitmap.Canvas().Pixels(2, 2), clRed);
}

}  // namespace
