#include "lookup/cxLookAndFeelPainters.h"

#include <algorithm>
#include <cstdlib>

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const long long product = static_cast<long long>(number) * numerator;
  const long long half = std::llabs(denominator) / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const long long magnitude = (std::llabs(product) + half) / std::llabs(denominator);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

TRect InflatedRect(const TRect& rect, int dx, int dy) {
  return {rect.Left - dx, rect.Top - dy, rect.Right + dx, rect.Bottom + dy};
}

void FrameRectColor(TCanvas& canvas, const TRect& rect, TColor color) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  canvas.FrameRect(rect);
}

void DrawEdgeRing(TCanvas& canvas, const TRect& rect, TColor top_left, TColor bottom_right) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(top_left);
  canvas.FillRect({rect.Left, rect.Top, rect.Right - 1, rect.Top + 1});
  canvas.FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1});
  canvas.Brush().SetColor(bottom_right);
  canvas.FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
  canvas.FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
}

void DrawArrow(TCanvas& canvas, const TRect& rect, int base, bool down, TColor color) {
  if (base <= 0) return;
  const int height = base / 2 + 1;
  const int left = rect.Left + (rect.Width() - base) / 2;
  const int top = rect.Top + (rect.Height() - height) / 2;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  for (int line = 0; line < height; ++line) {
    const int inset = down ? line : height - 1 - line;
    canvas.FillRect({left + inset, top + line, left + base - inset, top + line + 1});
  }
}

void DrawFocusDots(TCanvas& canvas, const TRect& rect, TColor color) {
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  for (int x = rect.Left; x < rect.Right; x += 2) {
    canvas.FillRect({x, rect.Top, x + 1, rect.Top + 1});
    canvas.FillRect({x, rect.Bottom - 1, x + 1, rect.Bottom});
  }
  for (int y = rect.Top; y < rect.Bottom; y += 2) {
    canvas.FillRect({rect.Left, y, rect.Left + 1, y + 1});
    canvas.FillRect({rect.Right - 1, y, rect.Right, y + 1});
  }
}

namespace {

TColor Blend(int a, int b, int c) {
  const TColor face = ColorToRGB(clBtnFace);
  const TColor highlight = ColorToRGB(clHighlight);
  if ((face & 0xFFFFFF) == 0 || (face & 0xFFFFFF) == 0xFFFFFF) return clHighlight;
  const TColor window = ColorToRGB(clWindow);
  auto part = [&](int (*get)(TColor)) {
    return std::clamp(MulDiv(get(face), a, 100) + MulDiv(get(highlight), b, 100) + MulDiv(get(window), c, 100), 0, 255);
  };
  // Every colour of a true-colour screen can be shown as it is.
  return RGBColor(part(GetRValue), part(GetGValue), part(GetBValue));
}

}  // namespace

TColor UltraFlatHotColor() { return Blend(-2, 30, 72); }
TColor UltraFlatPressedColor() { return Blend(14, 44, 40); }

// ---- headers ----

void TcxCustomLookAndFeelPainter::DrawHeader(TCanvas& canvas, const TRect& bounds, const std::string& text,
                                             TAlignment alignment, TcxDataSortOrder order, bool first,
                                             bool left_neighbour, bool right_neighbour) const {
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(HeaderFaceColor());
  canvas.FillRect(bounds);
  DrawHeaderFrame(canvas, bounds, first, left_neighbour, right_neighbour);
  const int frame = HeaderFrameWidth();
  const TRect content = InflatedRect(bounds, -frame, -frame);
  TRect text_area = InflatedRect(content, -2, -2);
  if (order != soNone) {
    TRect mark{text_area.Right - 16, text_area.Top, text_area.Right, text_area.Bottom};
    text_area.Right = mark.Left;
    const TSize extent = SortMarkExtent();
    const TRect mark_rect{mark.Left + (mark.Width() - extent.cx) / 2, mark.Top + (mark.Height() - extent.cy) / 2,
                          mark.Left + (mark.Width() - extent.cx) / 2 + extent.cx,
                          mark.Top + (mark.Height() - extent.cy) / 2 + extent.cy};
    DrawSortingMark(canvas, mark_rect, order == soAscending);
  }
  if (text_area.Width() <= 0 || text_area.Height() <= 0 || text.empty()) return;
  canvas.Font().SetColor(HeaderTextColor());
  canvas.Brush().SetStyle(bsClear);
  const TSize size = canvas.TextExtent(text);
  int x = text_area.Left;
  if (alignment == taRightJustify) x = text_area.Right - size.cx;
  else if (alignment == taCenter) x = text_area.Left + (text_area.Width() - size.cx) / 2;
  const int y = text_area.Top + (text_area.Height() - size.cy) / 2;
  canvas.TextRect(text_area, x, y, text);
  canvas.Brush().SetStyle(bsSolid);
}

void TcxStandardLookAndFeelPainter::DrawHeaderFrame(TCanvas& canvas, const TRect& rect, bool, bool left_neighbour,
                                                    bool right_neighbour) const {
  DrawEdgeRing(canvas, rect, clBtnHighlight, clBtnShadow);
  canvas.Brush().SetColor(clBtnFace);
  if (left_neighbour) canvas.FillRect({rect.Left, rect.Bottom - 1, rect.Left + 1, rect.Bottom});
  if (right_neighbour) canvas.FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Top + 1});
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderFrame(TCanvas& canvas, const TRect& rect, bool first, bool, bool) const {
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clBtnText);
  canvas.FillRect({rect.Left, rect.Top, rect.Right, rect.Top + 1});
  canvas.FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
  canvas.FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
  if (first) canvas.FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom});
}

void TcxStandardLookAndFeelPainter::DrawSortingMark(TCanvas& canvas, const TRect& rect, bool ascending) const {
  // A raised triangle: its light edges in the highlight colour, its dark ones in the shadow.
  DrawArrow(canvas, rect, rect.Width() - (rect.Width() % 2 == 0 ? 1 : 0), !ascending, clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::DrawSortingMark(TCanvas& canvas, const TRect& rect, bool ascending) const {
  DrawArrow(canvas, rect, rect.Width() - (rect.Width() % 2 == 0 ? 1 : 0), !ascending, clBtnText);
}

// ---- push button frames ----

void TcxStandardLookAndFeelPainter::DrawButtonFrame(TCanvas& canvas, const TRect& rect, TcxButtonState state) const {
  TRect r = rect;
  if (state == cxbsPressed) {
    FrameRectColor(canvas, r, clBlack);
    FrameRectColor(canvas, InflatedRect(r, -1, -1), clBtnShadow);
    return;
  }
  if (state == cxbsDefault) {
    FrameRectColor(canvas, r, clBlack);
    r = InflatedRect(r, -1, -1);
  }
  DrawEdgeRing(canvas, r, clBtnHighlight, cl3DDkShadow);
  DrawEdgeRing(canvas, InflatedRect(r, -1, -1), cl3DLight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawButtonFrame(TCanvas& canvas, const TRect& rect, TcxButtonState state) const {
  if (state == cxbsPressed) {
    DrawEdgeRing(canvas, rect, clBtnShadow, clBtnHighlight);
    return;
  }
  TRect r = rect;
  if (state == cxbsDefault) {
    FrameRectColor(canvas, r, clBlack);
    r = InflatedRect(r, -1, -1);
  }
  DrawEdgeRing(canvas, r, clBtnHighlight, clBtnShadow);
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonFaceColor(TcxButtonState state) const {
  if (state == cxbsHot) return UltraFlatHotColor();
  if (state == cxbsPressed) return UltraFlatPressedColor();
  return clBtnFace;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonCaptionColor(TcxButtonState state) const {
  return state == cxbsPressed ? clHighlightText : TcxCustomLookAndFeelPainter::ButtonCaptionColor(state);
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonFrame(TCanvas& canvas, const TRect& rect, TcxButtonState state) const {
  switch (state) {
    case cxbsDefault:
      FrameRectColor(canvas, rect, clWindowFrame);
      FrameRectColor(canvas, InflatedRect(rect, -1, -1), clWindowFrame);
      break;
    case cxbsNormal: FrameRectColor(canvas, rect, clBtnText); break;
    default: FrameRectColor(canvas, rect, clHighlight); break;
  }
}
