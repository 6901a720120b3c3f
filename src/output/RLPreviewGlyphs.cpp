#include "output/RLPreviewGlyphs.h"

#include "graphics/Bitmap.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace {

constexpr int kUnits = 16;
constexpr TColor kInk = RGBColor(28, 56, 112);
constexpr TColor kOutline = RGBColor(48, 48, 48);
constexpr TColor kPaper = clWhite;
constexpr TColor kBody = RGBColor(176, 180, 188);
constexpr TColor kLens = RGBColor(214, 232, 248);
constexpr TColor kTransparent = RGBColor(255, 0, 255);

// Draws in glyph units of kGlyphScale device pixels; half units are whole device pixels.
class TGlyphPen {
public:
  explicit TGlyphPen(TCanvas& canvas) : canvas_(canvas) {}

  // Filled rectangle over units [x1, x2) x [y1, y2), in half units.
  void Fill(double x1, double y1, double x2, double y2, TColor color) {
    canvas_.Brush().SetStyle(bsSolid);
    canvas_.Brush().SetColor(color);
    canvas_.FillRect({D(x1), D(y1), D(x2), D(y2)});
  }
  // A box with a one-unit outline.
  void Box(double x1, double y1, double x2, double y2, TColor fill, TColor outline) {
    Fill(x1, y1, x2, y2, outline);
    Fill(x1 + 1, y1 + 1, x2 - 1, y2 - 1, fill);
  }
  void Polygon(std::initializer_list<std::pair<double, double>> points, TColor color) {
    std::vector<TPoint> device;
    for (auto [x, y] : points) device.push_back({D(x), D(y)});
    canvas_.Pen().SetStyle(psSolid);
    canvas_.Pen().SetColor(color);
    canvas_.Pen().SetWidth(1);
    canvas_.Brush().SetStyle(bsSolid);
    canvas_.Brush().SetColor(color);
    canvas_.Polygon(device);
  }
  void Ring(double x1, double y1, double x2, double y2, TColor fill, TColor outline) {
    canvas_.Pen().SetStyle(psSolid);
    canvas_.Pen().SetColor(outline);
    canvas_.Pen().SetWidth(kGlyphScale + 1);
    canvas_.Brush().SetStyle(bsSolid);
    canvas_.Brush().SetColor(fill);
    canvas_.Ellipse(D(x1), D(y1), D(x2), D(y2));
    canvas_.Pen().SetWidth(1);
  }

private:
  static int D(double units) { return static_cast<int>(units * kGlyphScale); }
  TCanvas& canvas_;
};

void DrawArrow(TGlyphPen& pen, bool left, bool bar) {
  // A triangle 6 units wide and 10 high, with a bar beside its point for the first and last page.
  double tip = left ? 4 : 12, base = left ? 10 : 6;
  if (bar) {
    tip += left ? 2 : -2;
    base += left ? 2 : -2;
    double bx = left ? 3 : 11;
    pen.Fill(bx, 3, bx + 2, 13, kInk);
  }
  pen.Polygon({{base, 3}, {base, 13}, {tip, 8}}, kInk);
}

void DrawMagnifier(TGlyphPen& pen, bool plus) {
  pen.Polygon({{9.5, 10.5}, {10.5, 9.5}, {15, 14}, {14, 15}}, kOutline);
  pen.Ring(1, 1, 12, 12, kLens, kOutline);
  pen.Fill(4, 6, 9, 7, kInk);
  if (plus) pen.Fill(6, 4, 7, 9, kInk);
}

}  // namespace

void DrawPreviewGlyph(TBitmap& bitmap, TRLPreviewGlyph glyph) {
  bitmap.SetSize(kUnits * kGlyphScale, kUnits * kGlyphScale);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(kTransparent);
  canvas.FillRect({0, 0, bitmap.Width(), bitmap.Height()});
  TGlyphPen pen(canvas);
  switch (glyph) {
    case TRLPreviewGlyph::Setup:
      pen.Box(4, 1, 12, 7, kPaper, kOutline);
      pen.Box(1, 6, 15, 12, kBody, kOutline);
      pen.Fill(12, 8, 14, 9, RGBColor(40, 160, 60));
      pen.Box(4, 10, 12, 15, kPaper, kOutline);
      pen.Fill(6, 12, 10, 13, kBody);
      break;
    case TRLPreviewGlyph::First: DrawArrow(pen, true, true); break;
    case TRLPreviewGlyph::Prior: DrawArrow(pen, true, false); break;
    case TRLPreviewGlyph::Next: DrawArrow(pen, false, false); break;
    case TRLPreviewGlyph::Last: DrawArrow(pen, false, true); break;
    case TRLPreviewGlyph::ZoomDown: DrawMagnifier(pen, false); break;
    case TRLPreviewGlyph::ZoomUp: DrawMagnifier(pen, true); break;
    case TRLPreviewGlyph::Outline:
      // A list whose inner lines are indented.
      for (auto [left, top] : {std::pair(1, 2), std::pair(4, 6), std::pair(4, 10), std::pair(1, 14)}) {
        pen.Fill(left, top - 1, left + 2, top + 1, kInk);
        pen.Fill(left + 3, top - 1, 15, top + 1, kOutline);
      }
      break;
    case TRLPreviewGlyph::Views:
      // The window divided in two, one page in each half.
      pen.Box(1, 1, 15, 8, kPaper, kOutline);
      pen.Box(1, 8, 15, 15, kPaper, kOutline);
      for (double y : {3.0, 5.0, 10.0, 12.0}) pen.Fill(3, y, 13, y + 1, kBody);
      break;
    case TRLPreviewGlyph::Edit:
      // A pencil from the top right to its point at the bottom left.
      pen.Polygon({{11, 1}, {15, 5}, {6, 14}, {2, 10}}, RGBColor(232, 184, 48));
      pen.Polygon({{11, 1}, {15, 5}, {13.5, 6.5}, {9.5, 2.5}}, RGBColor(200, 80, 80));
      pen.Polygon({{2, 10}, {6, 14}, {1, 15}}, RGBColor(240, 216, 176));
      pen.Polygon({{1, 13.5}, {2.5, 15}, {1, 15}}, kOutline);
      break;
    case TRLPreviewGlyph::About:
      pen.Ring(1, 1, 15, 15, kInk, kInk);
      pen.Fill(7, 4, 9, 6, kPaper);
      pen.Fill(7, 7, 9, 12, kPaper);
      break;
  }
  canvas.EndPaint();
  bitmap.SetTransparentColor(kTransparent);
  bitmap.SetTransparent(true);
}
