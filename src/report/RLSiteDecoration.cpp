// The decoration of a site: its margins, its background picture and its colour gradient.

#include "report/RLCustomSite.h"

#include "core/Text.h"
#include "graphics/Canvas.h"
#include "pages/RLMetaFile.h"
#include "pages/RLTypes.h"
#include "report/RLReport.h"

#include <algorithm>

// ---- TRLMargins ---------------------------------------------------------------------------------------------

TRLMargins::TRLMargins(TRLCustomControl* owner, double default_value) : owner_(owner) {
  std::fill(std::begin(values_), std::end(values_), default_value);
  std::fill(std::begin(defaults_), std::end(defaults_), default_value);
}

void TRLMargins::ResetDefaults(double value) {
  std::fill(std::begin(defaults_), std::end(defaults_), value);
  for (int side = 0; side < 4; ++side) Set(side, value);
}

void TRLMargins::Set(int side, double value) {
  if (values_[side] == value) return;
  values_[side] = value;
  pixels_.reset();
  if (auto* site = ComponentCast<TRLCustomSite>(owner_)) site->MarginsChanged();
}

TRect TRLMargins::Pixels() const {
  if (!pixels_)
    pixels_ = TRect{MMToPixels(values_[0]), MMToPixels(values_[1]), MMToPixels(values_[2]), MMToPixels(values_[3])};
  return *pixels_;
}

void TRLMargins::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLMargins*>(&source);
  if (!other) return TPersistent::Assign(source);
  SetLeftMargin(other->LeftMargin());
  SetTopMargin(other->TopMargin());
  SetRightMargin(other->RightMargin());
  SetBottomMargin(other->BottomMargin());
}

// ---- TRLBackground ------------------------------------------------------------------------------------------

TRLBackground::TRLBackground(TRLCustomControl* owner) : owner_(owner) {}

void TRLBackground::SetAutoSize(bool value) {
  auto_size_ = value;
  if (auto_size_ && picture_.Graphic()) {
    width_ = picture_.Width();
    height_ = picture_.Height();
  }
  Changed();
}

void TRLBackground::SetGraphic(const TGraphic* graphic) {
  picture_.SetGraphic(graphic);
  if (auto_size_ && picture_.Graphic()) {
    width_ = picture_.Width();
    height_ = picture_.Height();
  }
  Changed();
}

void TRLBackground::Changed() {
  if (owner_) owner_->Invalidate();
}

void TRLBackground::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLBackground*>(&source);
  if (!other) return TPersistent::Assign(source);
  align_ = other->align_;
  arrange_ = other->arrange_;
  auto_size_ = other->auto_size_;
  height_ = other->height_;
  width_ = other->width_;
  stretch_ = other->stretch_;
  picture_.Assign(other->picture_);
  Changed();
}

TRect TRLBackground::AlignedRect(const TRect& r) const {
  const int w = width_, h = height_;
  const int cx = (r.Left + r.Right - w) / 2, cy = (r.Top + r.Bottom - h) / 2;
  switch (align_) {
    case faNone:
    case faLeftTop: return {r.Left, r.Top, r.Left + w, r.Top + h};
    case faLeft:
    case faLeftMost: return {r.Left, r.Top, r.Left + w, r.Bottom};
    case faTop: return {r.Left, r.Top, r.Right, r.Top + h};
    case faRight:
    case faRightMost: return {r.Right - w, r.Top, r.Right, r.Bottom};
    case faBottom: return {r.Left, r.Bottom - h, r.Right, r.Bottom};
    case faClient: return r;
    case faRightTop: return {r.Right - w, r.Top, r.Right, r.Top + h};
    case faLeftBottom: return {r.Left, r.Bottom - h, r.Left + w, r.Bottom};
    case faRightBottom: return {r.Right - w, r.Bottom - h, r.Right, r.Bottom};
    case faCenter: return {cx, cy, cx + w, cy + h};
    case faCenterLeft:
    case faClientLeft:
    case faLeftOnly: return {r.Left, cy, r.Left + w, cy + h};
    case faCenterTop:
    case faClientTop:
    case faTopOnly: return {cx, r.Top, cx + w, r.Top + h};
    case faCenterRight:
    case faClientRight:
    case faRightOnly: return {r.Right - w, cy, r.Right, cy + h};
    case faHeight: return {cx, r.Top, cx + w, r.Bottom};
    case faWidth: return {r.Left, cy, r.Right, cy + h};
    case faCenterBottom:
    case faClientBottom:
    case faBottomOnly: return {cx, r.Bottom - h, cx + w, r.Bottom};
  }
  return r;
}

void TRLBackground::PaintTo(TRLGraphicSurface& surface, const TRect& rect) const {
  const TGraphic* graphic = picture_.Graphic();
  if (!graphic || graphic->Empty()) return;
  const int pw = graphic->Width(), ph = graphic->Height();
  switch (arrange_) {
    case baAligned: {
      TRect dest = AlignedRect(rect);
      if (!stretch_) dest = {dest.Left, dest.Top, dest.Left + pw, dest.Top + ph};
      surface.StretchDraw(dest, graphic);
      break;
    }
    case baCenter: {
      const int x = (rect.Left + rect.Right - pw) / 2, y = (rect.Top + rect.Bottom - ph) / 2;
      surface.StretchDraw({x, y, x + pw, y + ph}, graphic);
      break;
    }
    case baSidebySide:
    case baDistributed: {
      const int tw = stretch_ ? width_ : pw, th = stretch_ ? height_ : ph;
      if (tw <= 0 || th <= 0) return;
      int row = 0;
      for (int y = rect.Top; y < rect.Bottom; y += th, ++row) {
        const int shift = (arrange_ == baDistributed && row % 2 == 1) ? tw / 2 : 0;
        for (int x = rect.Left - shift; x < rect.Right; x += tw) surface.StretchDraw({x, y, x + tw, y + th}, graphic);
      }
      break;
    }
  }
}

// ---- TRLDegradeEffect ---------------------------------------------------------------------------------------

void TRLDegradeEffect::Changed() {
  if (owner_) owner_->Invalidate();
}

void TRLDegradeEffect::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLDegradeEffect*>(&source);
  if (!other) return TPersistent::Assign(source);
  opposite_color_ = other->opposite_color_;
  direction_ = other->direction_;
  granularity_ = other->granularity_;
  Changed();
}

void TRLDegradeEffect::PaintTo(TRLGraphicSurface& surface, const TRect& rect, TColor color) const {
  if (direction_ == ddNone) return;
  const TColor s = ColorToRGB(color), e = ColorToRGB(opposite_color_);
  const bool horizontal = direction_ == ddHorizontal;
  const int extent = horizontal ? rect.Width() : rect.Height();
  const int g = granularity_;
  const int steps = (extent + g - 1) / g;
  auto blend = [&](int from, int to, double f) {
    return static_cast<int>(from + RoundHalfEven(to * f) - RoundHalfEven(from * f));
  };
  surface.Brush().SetStyle(bsSolid);
  for (int i = 0; i < steps; ++i) {
    const double f = static_cast<double>(i) / steps;
    surface.Brush().SetColor(RGBColor(blend(GetRValue(s), GetRValue(e), f), blend(GetGValue(s), GetGValue(e), f),
                                      blend(GetBValue(s), GetBValue(e), f)));
    const int from = i * g, to = std::min(extent, from + g);
    if (horizontal) surface.FillRect({rect.Left + from, rect.Top, rect.Left + to, rect.Bottom});
    else surface.FillRect({rect.Left, rect.Top + from, rect.Right, rect.Top + to});
  }
}
