#include "report/RLDraw.h"

#include "core/Text.h"
#include "graphics/Canvas.h"
#include "pages/RLMetaFile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

TRect Bounds(const TRLPointList& points) {
  TRect b{points.front().X, points.front().Y, points.front().X, points.front().Y};
  for (const TPoint& p : points) {
    b.Left = std::min(b.Left, p.X);
    b.Top = std::min(b.Top, p.Y);
    b.Right = std::max(b.Right, p.X);
    b.Bottom = std::max(b.Bottom, p.Y);
  }
  return b;
}

int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }

}  // namespace

TRLPointList ParseDrawData(const std::string& data) {
  std::vector<long long> numbers;
  std::size_t i = 0;
  while (i < data.size()) {
    const char c = data[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\x1A') {
      ++i;
      continue;
    }
    if (c < '0' || c > '9') break;
    long long value = 0;
    while (i < data.size() && data[i] >= '0' && data[i] <= '9') {
      // Absurdly long numbers saturate instead of overflowing.
      value = std::min<long long>(value * 10 + (data[i] - '0'), INT32_MAX);
      ++i;
    }
    numbers.push_back(value);
  }
  TRLPointList points;
  for (std::size_t k = 0; k + 1 < numbers.size(); k += 2) {
    points.push_back({static_cast<int>(numbers[k]), static_cast<int>(numbers[k + 1])});
  }
  return points;
}

TRLPointList DrawKindPoints(TRLDrawKind kind, const std::string& data) {
  switch (kind) {
    case dkRectangle: return {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    case dkLine: return {{0, 0}, {1, 0}};
    case dkTriangle: return {{0, 87}, {50, 0}, {100, 87}};
    case dkElipse: {
      TRLPointList points;
      for (int i = 0; i < 36; ++i) {
        const double a = i * 2 * std::numbers::pi / 36;
        points.push_back({Round(std::cos(a) * 1000 + 1000), Round(std::sin(a) * 1000 + 1000)});
      }
      return points;
    }
    case dkArrow: return {{0, 2}, {5, 2}, {5, 0}, {8, 3}, {5, 6}, {5, 4}, {0, 4}};
    case dkCustom: return ParseDrawData(data);
  }
  return {};
}

std::string DrawKindData(TRLDrawKind kind) {
  std::string text;
  for (const TPoint& p : DrawKindPoints(kind, {})) {
    if (!text.empty()) text += '\r';
    text += std::to_string(p.X) + " " + std::to_string(p.Y);
  }
  return text;
}

TRLPointList FitPoints(const TRLPointList& points, const TRect& target, bool keep_aspect_ratio) {
  if (points.empty()) return points;
  const TRect b = Bounds(points);
  const double tw = target.Width(), th = target.Height();
  double sx, sy;
  if (keep_aspect_ratio) {
    sx = b.Width() != 0 ? tw / b.Width() : 0;
    sy = b.Height() != 0 ? th / b.Height() : 0;
    if (sx == 0 && sy == 0) return points;
    if (sx == 0) sx = sy;
    else if (sy == 0) sy = sx;
    sx = sy = std::min(sx, sy);
  } else {
    sx = b.Width() != 0 ? tw / b.Width() : 1;
    sy = b.Height() != 0 ? th / b.Height() : 1;
  }
  TRLPointList fitted;
  for (const TPoint& p : points) {
    fitted.push_back({Round((p.X - b.Left) * sx) + target.Left, Round((p.Y - b.Top) * sy) + target.Top});
  }
  return fitted;
}

TRLPointList RotatePoints(const TRLPointList& points, double angle) {
  if (points.empty()) return points;
  const double theta = -angle * std::numbers::pi / 180;
  double sum_x = 0, sum_y = 0;
  for (const TPoint& p : points) {
    sum_x += p.X;
    sum_y += p.Y;
  }
  const int cx = Round(sum_x / static_cast<double>(points.size()));
  const int cy = Round(sum_y / static_cast<double>(points.size()));
  const double c = std::cos(theta), s = std::sin(theta);
  TRLPointList turned;
  for (const TPoint& p : points) {
    const double x = p.X - cx, y = p.Y - cy;
    turned.push_back({Round(x * c - y * s) + cx, Round(x * s + y * c) + cy});
  }
  return turned;
}

TRLPointList CenterPoints(const TRLPointList& points, const TRect& rect) {
  if (points.empty()) return points;
  const TRect b = Bounds(points);
  const int dx = (rect.Width() - b.Width()) / 2 + rect.Left - b.Left;
  const int dy = (rect.Height() - b.Height()) / 2 + rect.Top - b.Top;
  TRLPointList moved;
  for (const TPoint& p : points) moved.push_back({p.X + dx, p.Y + dy});
  return moved;
}

// ---- TRLCustomDraw ------------------------------------------------------------------------------------------

TRLCustomDraw::TRLCustomDraw(TComponent* owner) : TRLCustomControl(owner) {
  SetBounds(Left(), Top(), 48, 48);
  brush_.OnChange = [this](TObject*) { Invalidate(); };
  pen_.OnChange = [this](TObject*) { Invalidate(); };
  draw_data_.OnChange = [this](TObject*) { DrawDataChanged(); };
}

void TRLCustomDraw::SetAngle(double value) {
  angle_ = value;
  Invalidate();
}

void TRLCustomDraw::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TRLCustomDraw::SetDrawWidth(int value) {
  draw_width_ = value;
  AdjustBounds();
  Invalidate();
}

void TRLCustomDraw::SetDrawHeight(int value) {
  draw_height_ = value;
  AdjustBounds();
  Invalidate();
}

void TRLCustomDraw::SetOptions(TRLDrawOptions value) {
  options_ = value;
  AdjustBounds();
  Invalidate();
}

void TRLCustomDraw::SetDrawKind(TRLDrawKind value) {
  if (value == draw_kind_) return;
  draw_kind_ = value;
  if (value != dkCustom) {
    setting_kind_ = true;
    try {
      draw_data_.SetText(DrawKindData(value));
    } catch (...) {
      setting_kind_ = false;
      throw;
    }
    setting_kind_ = false;
    known_data_ = draw_data_.Lines();
  }
  Invalidate();
}

void TRLCustomDraw::SetDrawData(const TStrings& value) { draw_data_.Assign(value); }

void TRLCustomDraw::DrawDataChanged() {
  if (setting_kind_ || draw_data_.Lines() == known_data_) return;
  known_data_ = draw_data_.Lines();
  draw_kind_ = dkCustom;
  Invalidate();
}

void TRLCustomDraw::ReadLegacyKind(const std::string& name) {
  struct TLegacy {
    const char* name;
    TRLDrawKind kind;
    TRLDrawOptions options;
    const char* data;
    double turn;
  };
  static const TLegacy legacy[] = {
      {"dkRectangle", dkRectangle, {doKeepSize}, nullptr, 0},
      {"dkLine", dkCustom, {doKeepSize}, "0 0 1 1", 0},
      {"dkTriangle", dkTriangle, {doKeepSize}, nullptr, 0},
      {"dkElipse", dkElipse, {doKeepSize}, nullptr, 0},
      {"dkArrow", dkArrow, {doKeepSize}, nullptr, 0},
      {"dkCircle", dkElipse, {doKeepAspectRatio}, nullptr, 0},
      {"dkHorzLine", dkLine, {doKeepSize}, nullptr, 0},
      {"dkVertLine", dkLine, {doKeepSize, doKeepVisible}, nullptr, 90},
      {"dkReverseLine", dkCustom, {doKeepSize}, "1 0 0 1", 0},
  };
  for (const TLegacy& l : legacy) {
    if (!SameText(name, l.name)) continue;
    if (l.data) {
      TStrings data;
      data.SetText(l.data);
      SetDrawData(data);
    }
    SetDrawKind(l.kind);
    SetOptions(l.options);
    if (l.turn != 0) SetAngle(angle_ + l.turn);
    return;
  }
}

TRLPointList TRLCustomDraw::FigurePoints(const TRect& rect) const {
  TRect r = rect;
  r.Right -= 1;
  r.Bottom -= 1;
  const int w = pen_.Width();
  if (w > 1) {
    r.Left += w / 2;
    r.Top += w / 2;
    r.Right -= (w - 1) / 2;
    r.Bottom -= (w - 1) / 2;
  }
  TRLPointList points = DrawKindPoints(draw_kind_, draw_data_.Text());
  if (points.empty()) return points;
  TRect target = r;
  if (draw_width_ != 0) target.Right = target.Left + draw_width_;
  if (draw_height_ != 0) target.Bottom = target.Top + draw_height_;
  if (options_.Contains(doKeepVisible)) {
    const int side = std::min(target.Width(), target.Height());
    target.Right = target.Left + side;
    target.Bottom = target.Top + side;
  }
  const bool keep_aspect = options_.Contains(doKeepAspectRatio);
  points = FitPoints(points, target, keep_aspect);
  points = RotatePoints(points, angle_);
  if (!options_.Contains(doKeepSize)) points = FitPoints(points, target, keep_aspect);
  if (center_) points = CenterPoints(points, r);
  return points;
}

void TRLCustomDraw::Print() {
  TRLCustomControl::Print();
  const TRect r = GetPrintClientRect();
  TRLGraphicSurface& surface = GetPrintSurface();
  // The base print started this control's drawing group; the figure joins its background and borders.
  surface.SetGeneratorId(this);
  surface.SetBrush(brush_);
  surface.SetPen(pen_);
  TRLPointList points = FigurePoints(r);
  if (!points.empty()) surface.Polygon(points);
}

void TRLCustomDraw::PaintContents(TCanvas& canvas) {
  TRLCustomControl::PaintContents(canvas);
  TRLPointList points = FigurePoints(GetClientRect());
  if (points.empty()) return;
  canvas.SetBrush(brush_);
  canvas.SetPen(pen_);
  canvas.Polygon(points);
}
