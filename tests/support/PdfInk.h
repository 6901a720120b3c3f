#pragma once

// The ink of PDF pages as poppler renders them, to compare pages of our writer with Qt's writer's as a reader sees
// them.

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

// The ink of a page rendered at `dpi` around each pixel: the darkness (0 for paper to 255 for black) averaged over
// the square of about one pixel of the page's canvas (96 per inch) on each side of it.
inline std::vector<int> InkAround(const QImage& image, int dpi) {
  const int w = image.width(), h = image.height(), reach = std::max(1, static_cast<int>(std::lround(dpi / 96.0)));
  const auto at = [w](int x, int y) { return static_cast<std::size_t>(y) * w + x; };
  std::vector<int> dark(static_cast<std::size_t>(w) * h), around(dark.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) dark[at(x, y)] = 255 - qGray(image.pixel(x, y));
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int sum = 0;
      for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx)
          sum += dark[at(std::clamp(x + dx, 0, w - 1), std::clamp(y + dy, 0, h - 1))];
      }
      around[at(x, y)] = sum / ((2 * reach + 1) * (2 * reach + 1));
    }
  }
  return around;
}

// How far apart two renderings of a page at `dpi` are: the largest difference of the ink around a pixel (0 to
// 255); -1 for pages of different sizes.
inline int InkDifference(const QImage& a, const QImage& b, int dpi) {
  if (a.isNull() || a.size() != b.size()) return -1;
  const std::vector<int> ink_a = InkAround(a, dpi), ink_b = InkAround(b, dpi);
  int largest = 0;
  for (std::size_t i = 0; i < ink_a.size(); ++i) largest = std::max(largest, std::abs(ink_a[i] - ink_b[i]));
  return largest;
}

// The bound of InkDifference for pages that read alike. Qt's writer embeds its own re-encoding of a face's outlines
// (to cubic curves and back), ours the face's own: the edges of glyphs move by a fraction of a pixel, and the ink
// around a pixel on an edge changes by up to 40 (seen at 150 dpi; 5 at 96). A glyph one canvas pixel off changes
// it by 85 or more, an accent missing by 48 or more (at 150 dpi; more at 96 and 300).
constexpr int kEdgeInk = 44;
