#pragma once

// The painters of the visual styles: stateless sets of sizes, colours and drawings that the editors, the grid
// headers and the push buttons ask for.

#include "graphics/Canvas.h"
#include "lookup/cxCustomData.h"

#include <string>

enum TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };

// Round(number * numerator / denominator), halves away from zero.
int MulDiv(int number, int numerator, int denominator);

class TcxCustomLookAndFeelPainter {
public:
  virtual ~TcxCustomLookAndFeelPainter() = default;
  virtual const char* Name() const { return "TcxCustomLookAndFeelPainter"; }

  virtual int FrameWidth() const { return 0; }
  virtual int ButtonFrameWidth(TcxButtonState) const { return 0; }
  virtual TColor ButtonFaceColor(TcxButtonState) const { return clBtnFace; }
  virtual TColor ButtonCaptionColor(TcxButtonState state) const {
    return state == cxbsDisabled ? clBtnShadow : clBtnText;
  }
  virtual int PressedContentOffset() const { return 0; }
  virtual bool TracksHotButtons() const { return false; }
  virtual int FocusRectInset() const { return 4; }
  virtual int HeaderFrameWidth() const { return 0; }
  virtual TSize SortMarkExtent() const { return {0, 0}; }
  TColor HeaderFaceColor() const { return clBtnFace; }
  TColor HeaderTextColor() const { return clBtnText; }
  TColor SelectionFaceColor() const { return clHighlight; }
  TColor SelectionTextColor() const { return clHighlightText; }
  int HeaderBandHeight(int text_height) const { return 2 * HeaderFrameWidth() + text_height + 4; }

  virtual void DrawButtonFrame(TCanvas&, const TRect&, TcxButtonState) const {}
  // One header: frame, face, caption aligned and centred vertically, and the sorting mark when sorted. `first`:
  // the leftmost header; neighbours tell which sides touch another header.
  void DrawHeader(TCanvas& canvas, const TRect& bounds, const std::string& text, TAlignment alignment,
                  TcxDataSortOrder order, bool first, bool left_neighbour, bool right_neighbour) const;
  virtual void DrawHeaderFrame(TCanvas&, const TRect&, bool /*first*/, bool /*left_neighbour*/,
                               bool /*right_neighbour*/) const {}
  virtual void DrawSortingMark(TCanvas&, const TRect&, bool /*ascending*/) const {}
};

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  const char* Name() const override { return "TcxStandardLookAndFeelPainter"; }
  int FrameWidth() const override { return 2; }
  int ButtonFrameWidth(TcxButtonState state) const override { return state == cxbsDefault ? 3 : 2; }
  int PressedContentOffset() const override { return 1; }
  int HeaderFrameWidth() const override { return 1; }
  TSize SortMarkExtent() const override { return {8, 7}; }
  void DrawButtonFrame(TCanvas& canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawHeaderFrame(TCanvas& canvas, const TRect& rect, bool first, bool left_neighbour,
                       bool right_neighbour) const override;
  void DrawSortingMark(TCanvas& canvas, const TRect& rect, bool ascending) const override;
};

class TcxFlatLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
public:
  const char* Name() const override { return "TcxFlatLookAndFeelPainter"; }
  int FrameWidth() const override { return 1; }
  int ButtonFrameWidth(TcxButtonState state) const override { return state == cxbsDefault ? 2 : 1; }
  void DrawButtonFrame(TCanvas& canvas, const TRect& rect, TcxButtonState state) const override;
};

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  const char* Name() const override { return "TcxUltraFlatLookAndFeelPainter"; }
  int FrameWidth() const override { return 1; }
  int ButtonFrameWidth(TcxButtonState state) const override { return state == cxbsDefault ? 2 : 1; }
  TColor ButtonFaceColor(TcxButtonState state) const override;
  TColor ButtonCaptionColor(TcxButtonState state) const override;
  bool TracksHotButtons() const override { return true; }
  int FocusRectInset() const override { return 3; }
  int HeaderFrameWidth() const override { return 1; }
  TSize SortMarkExtent() const override { return {7, 8}; }
  void DrawButtonFrame(TCanvas& canvas, const TRect& rect, TcxButtonState state) const override;
  void DrawHeaderFrame(TCanvas& canvas, const TRect& rect, bool first, bool left_neighbour,
                       bool right_neighbour) const override;
  void DrawSortingMark(TCanvas& canvas, const TRect& rect, bool ascending) const override;
};

// Draws with the platform's themes; without them it is the standard painter.
class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
public:
  const char* Name() const override { return "TcxWinXPLookAndFeelPainter"; }
};

// The hot and pressed faces of the ultra-flat style: blends of the button face, the highlight and the window.
TColor UltraFlatHotColor();
TColor UltraFlatPressedColor();

// Drawing helpers shared by the painters and the editors.
// A 1-pixel rectangle outline of one colour.
void FrameRectColor(TCanvas& canvas, const TRect& rect, TColor color);
// A 1-pixel ring: top and left in one colour, bottom and right in another.
void DrawEdgeRing(TCanvas& canvas, const TRect& rect, TColor top_left, TColor bottom_right);
// A filled triangle pointing down (or up), centred in `rect`, with an odd base width `base`.
void DrawArrow(TCanvas& canvas, const TRect& rect, int base, bool down, TColor color);
TRect InflatedRect(const TRect& rect, int dx, int dy);
// The dotted rectangle that marks the keyboard focus: every other pixel of its outline.
void DrawFocusDots(TCanvas& canvas, const TRect& rect, TColor color);
