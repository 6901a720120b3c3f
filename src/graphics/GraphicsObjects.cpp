#include "graphics/GraphicsObjects.h"

TPen::TPen(const TPen& other)
    : TPersistent(), color_(other.color_), width_(other.width_), style_(other.style_), mode_(other.mode_) {}

TPen& TPen::operator=(const TPen& other) {
  Assign(other);
  return *this;
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0) width = 0;
  if (width == width_) return;
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  Changed();
}

void TPen::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TPen*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (*other == *this) return;
  color_ = other->color_;
  width_ = other->width_;
  style_ = other->style_;
  mode_ = other->mode_;
  Changed();
}

bool TPen::operator==(const TPen& other) const {
  return color_ == other.color_ && width_ == other.width_ && style_ == other.style_ && mode_ == other.mode_;
}

void TPen::Changed() {
  if (OnChange) OnChange(this);
}

TBrush::TBrush(const TBrush& other)
    : TPersistent(), color_(other.color_), style_(other.style_), bitmap_(other.bitmap_) {}

TBrush& TBrush::operator=(const TBrush& other) {
  Assign(other);
  return *this;
}

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  // Choosing a colour for a clear brush makes it solid again, as on the platform.
  if (style_ == bsClear) style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  if (bitmap == bitmap_) return;
  bitmap_ = bitmap;
  Changed();
}

void TBrush::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TBrush*>(&source);
  if (!other) return TPersistent::Assign(source);
  if (*other == *this) return;
  color_ = other->color_;
  style_ = other->style_;
  bitmap_ = other->bitmap_;
  Changed();
}

bool TBrush::operator==(const TBrush& other) const {
  return color_ == other.color_ && style_ == other.style_ && bitmap_ == other.bitmap_;
}

void TBrush::Changed() {
  if (OnChange) OnChange(this);
}
