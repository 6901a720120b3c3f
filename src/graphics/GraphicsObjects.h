#pragma once

#include "graphics/Graphics.h"

class TBitmap;

// Pen styles, modes and brush styles keep the platform's order: stored pages record their ordinals.
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// How the pen's colour combines with what is already on the device ("Pen" is the pen colour, "Not" negates).
// Only copy and the constant modes are honoured on every device; the others need a raster device (an image, a
// widget); on a printer or a PDF writer they draw as pmCopy.
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// The outline drawing object of a canvas. Width is in canvas units; 0 draws as 1.
class TPen : public TPersistent {
public:
  TPen() = default;
  TPen(const TPen& other);
  TPen& operator=(const TPen& other);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

  void Assign(const TPersistent& source) override;
  bool operator==(const TPen& other) const;

  TNotifyEvent OnChange;

private:
  void Changed();

  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

// The fill drawing object of a canvas. A brush with a Bitmap tiles it instead of using Color and Style; the
// brush does not own the bitmap, which must outlive its use.
class TBrush : public TPersistent {
public:
  TBrush() = default;
  TBrush(const TBrush& other);
  TBrush& operator=(const TBrush& other);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);

  void Assign(const TPersistent& source) override;
  bool operator==(const TBrush& other) const;

  TNotifyEvent OnChange;

private:
  void Changed();

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
};
