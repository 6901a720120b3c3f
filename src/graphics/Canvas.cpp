#include "graphics/Canvas.h"

#include "graphics/Bitmap.h"
#include "graphics/OwnPaintDevices.h"
#include "graphics/QtGraphics.h"
#include "graphics/ShapedText.h"
#include "graphics/TextInk.h"
#include "graphics/TextMetrics.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// Dash lengths of the one-unit-wide styled pens, in units: drawn, skipped, drawn, ...
QList<qreal> DashPattern(TPenStyle style) {
  switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

Qt::BrushStyle QtBrushStyle(TBrushStyle style) {
  switch (style) {
    case bsSolid: return Qt::SolidPattern;
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
  }
  return Qt::SolidPattern;
}

// The raster operation of the modes that combine the pen with the device; pmCopy and the modes that do not read the
// device (black, white, not-copy) draw with an ordinary colour instead.
bool RasterOp(TPenMode mode, QPainter::CompositionMode& op) {
  switch (mode) {
    case pmNot: op = QPainter::RasterOp_NotDestination; return true;
    case pmMergePenNot: op = QPainter::RasterOp_SourceOrNotDestination; return true;
    case pmMaskPenNot: op = QPainter::RasterOp_SourceAndNotDestination; return true;
    case pmMergeNotPen: op = QPainter::RasterOp_NotSourceOrDestination; return true;
    case pmMaskNotPen: op = QPainter::RasterOp_NotSourceAndDestination; return true;
    case pmMerge: op = QPainter::RasterOp_SourceOrDestination; return true;
    case pmNotMerge: op = QPainter::RasterOp_NotSourceAndNotDestination; return true;
    case pmMask: op = QPainter::RasterOp_SourceAndDestination; return true;
    case pmNotMask: op = QPainter::RasterOp_NotSourceOrNotDestination; return true;
    case pmXor: op = QPainter::RasterOp_SourceXorDestination; return true;
    case pmNotXor: op = QPainter::RasterOp_NotSourceXorDestination; return true;
    default: return false;
  }
}

// Sizes in floating point: the corners of a damaged page may lie further apart than an int reaches.
qreal Span(int from, int to) { return static_cast<qreal>(to) - from; }

QRectF UnitRect(int left, int top, int right, int bottom) {
  return QRectF(left, top, Span(left, right), Span(top, bottom));
}

QPointF Centre(TPoint p) { return QPointF(p.X + 0.5, p.Y + 0.5); }

bool Contains(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

TRect Intersection(const TRect& a, const TRect& b) {
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

// Which units of a one-unit styled line are drawn, over one period of its dash pattern.
std::vector<bool> DashMask(TPenStyle style) {
  const QList<qreal> dashes = DashPattern(style);
  if (dashes.isEmpty()) return {true};
  std::vector<bool> mask;
  for (qsizetype i = 0; i < dashes.size(); ++i)
    mask.insert(mask.end(), static_cast<std::size_t>(dashes[i]), i % 2 == 0);
  return mask;
}

// The units a one-unit line from `from` up to, not including, `to` covers, as the classic integer line walk lays
// them out, given by step number so that any stretch of the line is reached without walking up to it. At step k
// the major axis has moved k units and the minor axis the nearest whole number to k * minor / major units,
// halves rounded away from the start.
class TLineSteps {
public:
  TLineSteps(TPoint from, TPoint to)
      : from_(from),
        dx_(std::abs(static_cast<std::int64_t>(to.X) - from.X)),
        dy_(std::abs(static_cast<std::int64_t>(to.Y) - from.Y)),
        sx_(from.X < to.X ? 1 : -1),
        sy_(from.Y < to.Y ? 1 : -1),
        x_major_(dx_ >= dy_) {}

  std::int64_t Count() const { return std::max(dx_, dy_); }

  TPoint At(std::int64_t k) const {
    const std::int64_t minor = MinorAt(k);
    const std::int64_t x = from_.X + sx_ * (x_major_ ? k : minor);
    const std::int64_t y = from_.Y + sy_ * (x_major_ ? minor : k);
    return {static_cast<int>(x), static_cast<int>(y)};
  }

  // The steps [first, last) whose major coordinate lies within the area.
  std::pair<std::int64_t, std::int64_t> StepsWithin(const TRect& area) const {
    const std::int64_t start = x_major_ ? from_.X : from_.Y;
    const int sign = x_major_ ? sx_ : sy_;
    const std::int64_t low = x_major_ ? area.Left : area.Top;
    const std::int64_t high = x_major_ ? area.Right : area.Bottom;
    std::int64_t first = sign > 0 ? low - start : start - high + 1;
    std::int64_t last = sign > 0 ? high - start : start - low + 1;
    first = std::clamp<std::int64_t>(first, 0, Count());
    last = std::clamp<std::int64_t>(last, first, Count());
    return {first, last};
  }

private:
  std::int64_t MinorAt(std::int64_t k) const {
    const std::int64_t major = Count();
    if (major == 0) return 0;
    // k and the spans are below 2^32, so the product fits in 64 unsigned bits.
    const auto product = static_cast<std::uint64_t>(k) * static_cast<std::uint64_t>(x_major_ ? dy_ : dx_);
    const auto quotient = product / static_cast<std::uint64_t>(major);
    const auto remainder = product % static_cast<std::uint64_t>(major);
    return static_cast<std::int64_t>(quotient) + (2 * remainder >= static_cast<std::uint64_t>(major) ? 1 : 0);
  }

  TPoint from_;
  std::int64_t dx_, dy_;
  int sx_, sy_;
  bool x_major_;
};

}  // namespace

TCanvas::TCanvas() : shaped_(std::make_unique<TShapedTexts>()) {
  font_.OnChange = [this](TObject*) { measure_ = nullptr; };
}

TCanvas::TCanvas(QPaintDevice* device, double scale) : TCanvas() { SetDevice(device, scale); }

TCanvas::~TCanvas() { EndPaint(); }

void TCanvas::SetDevice(QPaintDevice* device, double scale) {
  EndPaint();
  device_ = device;
  scale_ = scale > 0 ? scale : 1.0;
  clipped_ = false;
  clip_ = {};
  if (!device_) return;
  if (dynamic_cast<QPagedPaintDevice*>(device_) || dynamic_cast<TOwnPagedDevice*>(device_)) {
    font_.SetPixelsPerInch(static_cast<int>(std::lround(device_->logicalDpiY() / scale_)));
  } else {
    font_.SetPixelsPerInch(ScreenPixelsPerInch);
  }
}

void TCanvas::EndPaint() {
  if (!painter_) return;
  if (painter_->isActive()) painter_->end();
  painter_.reset();
}

void TCanvas::BeginPaint() { Open(); }

QPainter* TCanvas::Open() {
  if (!device_) throw EInvalidOperation("Canvas does not allow drawing");
  if (painter_) return painter_.get();
  // An empty image has nothing to draw on; drawing on it does nothing, as on an empty bitmap.
  if (device_->width() <= 0 || device_->height() <= 0) return nullptr;
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(device_)) throw EInvalidOperation("Canvas does not allow drawing");
  painter->setRenderHint(QPainter::Antialiasing, false);
  if (scale_ != 1.0) painter->scale(scale_, scale_);
  painter_ = std::move(painter);
  painter_clipped_ = false;
  painter_clip_ = {};
  return painter_.get();
}

QPainter* TCanvas::Begin() {
  QPainter* painter = Open();
  if (painter) UseClip(clipped_, clip_);
  return painter;
}

void TCanvas::UseClip(bool clipped, const TRect& clip) {
  if (clipped == painter_clipped_ && (!clipped || clip == painter_clip_)) return;
  painter_clipped_ = clipped;
  painter_clip_ = clip;
  if (!clipped) {
    painter_->setClipping(false);
    return;
  }
  // Compared, not subtracted: a box from damaged data may span more than the int range.
  QRectF area = clip.Right > clip.Left && clip.Bottom > clip.Top
                    ? UnitRect(clip.Left, clip.Top, clip.Right, clip.Bottom)
                    : QRectF(clip.Left, clip.Top, 0, 0);
  painter_->setClipRect(area, Qt::ReplaceClip);
}

const TFontMeasure& TCanvas::Measure() {
  if (!measure_) measure_ = &TFontMeasure::For(font_);
  return *measure_;
}

bool TCanvas::ApplyPenMode(QPainter& painter, QColor& colour) {
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  colour = ToQColor(pen_.Color());
  switch (pen_.Mode()) {
    case pmNop: return false;
    case pmBlack: colour = Qt::black; return true;
    case pmWhite: colour = Qt::white; return true;
    case pmNotCopy: colour = QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue()); return true;
    default: break;
  }
  QPainter::CompositionMode op;
  if (RasterOp(pen_.Mode(), op) && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
    painter.setCompositionMode(op);
  }
  return true;
}

QBrush TCanvas::MakeBrush() const {
  if (brush_.Bitmap() && !brush_.Bitmap()->Empty()) return QBrush(brush_.Bitmap()->ToImage());
  return QBrush(ToQColor(brush_.Color()), QtBrushStyle(brush_.Style()));
}

int TCanvas::PenWidth() const { return std::max(1, pen_.Width()); }

// A one-unit pen is plotted pixel by pixel only where a unit is one pixel: on a device of a higher pixel ratio (a
// screen scaled up) a plotted pixel would be a dot with gaps between.
bool TCanvas::Cosmetic() const {
  return scale_ == 1.0 && PenWidth() == 1 && (!device_ || device_->devicePixelRatio() == 1.0);
}

QPen TCanvas::MakePen(const QColor& colour) const {
  if (pen_.Style() == psClear) return QPen(Qt::NoPen);
  QPen pen(colour);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  int width = PenWidth();
  pen.setWidth(Cosmetic() ? 0 : width);
  // Styled pens are dashed only when one unit wide; wider ones draw solid.
  if (width == 1) {
    QList<qreal> dashes = DashPattern(pen_.Style());
    if (!dashes.isEmpty()) pen.setDashPattern(dashes);
  }
  return pen;
}

void TCanvas::StrokePath(QPainter& painter, std::span<const TPoint> points, bool closed, const QColor& colour) {
  if (pen_.Style() == psClear || points.empty()) return;
  painter.setPen(MakePen(colour));
  painter.setBrush(Qt::NoBrush);
  if (points.size() == 1) {
    if (closed) painter.fillRect(QRectF(points[0].X, points[0].Y, 1, 1), colour);
    return;
  }
  if (Cosmetic()) {
    PlotPath(painter, points, closed, colour);
    return;
  }
  // Through the units' centres; an open path starts half a unit early and ends half a unit short, so that it
  // covers its first unit and not its last, as a one-unit line does.
  QPainterPath path;
  std::vector<QPointF> centres;
  centres.reserve(points.size());
  for (TPoint p : points) centres.push_back(Centre(p));
  if (!closed) {
    auto shift = [](QPointF from, QPointF to) {
      QPointF d = to - from;
      qreal length = std::hypot(d.x(), d.y());
      return length > 0 ? d * (0.5 / length) : QPointF();
    };
    centres.front() -= shift(centres[0], centres[1]);
    centres.back() -= shift(centres[centres.size() - 2], centres.back());
  }
  path.moveTo(centres.front());
  for (std::size_t i = 1; i < centres.size(); ++i) path.lineTo(centres[i]);
  if (closed) path.closeSubpath();
  painter.drawPath(path);
}

TRect TCanvas::ReachableArea() const {
  // A unit of margin on each side covers units that the scale puts partly on the device.
  const int width = static_cast<int>(std::min<double>(std::ceil(device_->width() / scale_), INT_MAX - 1));
  const int height = static_cast<int>(std::min<double>(std::ceil(device_->height() / scale_), INT_MAX - 1));
  const TRect device{-1, -1, width + 1, height + 1};
  return painter_clipped_ ? Intersection(device, painter_clip_) : device;
}

void TCanvas::PlotPath(QPainter& painter, std::span<const TPoint> points, bool closed, const QColor& colour) {
  // One-unit lines are laid out pixel by pixel: each segment from its start up to, not including, its end, the
  // dash pattern running on from one segment into the next. Only the steps that can land on the device are
  // walked; the others are only counted, for the dash pattern, so that the work is bounded by the device's size
  // whatever the coordinates.
  const TRect area = ReachableArea();
  if (area.Right <= area.Left || area.Bottom <= area.Top) return;
  const std::vector<bool> drawn = DashMask(pen_.Style());
  const auto period = static_cast<std::int64_t>(drawn.size());
  std::int64_t phase = 0;
  std::vector<QPoint> pixels;
  const std::size_t segments = closed ? points.size() : points.size() - 1;
  for (std::size_t i = 0; i < segments; ++i) {
    const TLineSteps line(points[i], points[(i + 1) % points.size()]);
    const auto [first, last] = line.StepsWithin(area);
    for (std::int64_t k = first; k < last; ++k) {
      const TPoint p = line.At(k);
      if (p.Y < area.Top || p.Y >= area.Bottom || p.X < area.Left || p.X >= area.Right) continue;
      if (drawn[static_cast<std::size_t>((phase + k) % period)]) pixels.emplace_back(p.X, p.Y);
    }
    phase = (phase + line.Count() % period) % period;
  }
  if (pixels.empty()) return;
  QPen pen(colour);
  pen.setWidth(0);
  pen.setCapStyle(Qt::SquareCap);
  painter.setPen(pen);
  painter.drawPoints(pixels.data(), static_cast<int>(pixels.size()));
}

void TCanvas::MoveTo(int x, int y) { pen_pos_ = {x, y}; }

void TCanvas::LineTo(int x, int y) {
  TPoint from = pen_pos_;
  pen_pos_ = {x, y};
  QPainter* painter = Begin();
  if (!painter) return;
  QColor colour;
  if (!ApplyPenMode(*painter, colour)) return;
  const TPoint points[] = {from, {x, y}};
  StrokePath(*painter, points, false, colour);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  QPainter* painter = Begin();
  if (!painter || points.size() < 2) return;
  QColor colour;
  if (!ApplyPenMode(*painter, colour)) return;
  StrokePath(*painter, points, false, colour);
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  QPainter* painter = Begin();
  if (!painter || points.empty()) return;
  QColor colour;
  if (!ApplyPenMode(*painter, colour)) return;
  if (brush_.Style() != bsClear || brush_.Bitmap()) {
    // The interior: the units whose centres lie inside the outline through the units' centres.
    QPolygonF area;
    for (TPoint p : points) area << Centre(p);
    painter->setPen(Qt::NoPen);
    painter->setBrush(MakeBrush());
    painter->drawPolygon(area, Qt::OddEvenFill);
  }
  StrokePath(*painter, points, true, colour);
}

void TCanvas::FillRect(const TRect& rect) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  QPainter* painter = Begin();
  if (!painter) return;
  if (brush_.Style() == bsClear && !brush_.Bitmap()) return;
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter->fillRect(UnitRect(rect.Left, rect.Top, rect.Right, rect.Bottom), MakeBrush());
}

void TCanvas::FrameRect(const TRect& rect) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  QPainter* painter = Begin();
  if (!painter) return;
  if (brush_.Style() == bsClear && !brush_.Bitmap()) return;
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  FillFrame(*painter, rect.Left, rect.Top, rect.Right, rect.Bottom, 1, MakeBrush());
}

// Whether a frame of this width leaves no inside: computed in 64 bits, since a damaged page may give a pen as wide as
// the coordinate range. When it does leave one, its inner edges (x1 + width, x2 - width, ...) are within range.
namespace {
bool FrameCoversAll(int x1, int y1, int x2, int y2, int width) {
  const auto twice = 2 * static_cast<std::int64_t>(width);
  return twice >= static_cast<std::int64_t>(x2) - x1 || twice >= static_cast<std::int64_t>(y2) - y1;
}
}  // namespace

void TCanvas::FillFrame(QPainter& painter, int x1, int y1, int x2, int y2, int width, const QBrush& brush) {
  if (FrameCoversAll(x1, y1, x2, y2, width)) {
    painter.fillRect(UnitRect(x1, y1, x2, y2), brush);
    return;
  }
  painter.fillRect(UnitRect(x1, y1, x2, y1 + width), brush);
  painter.fillRect(UnitRect(x1, y2 - width, x2, y2), brush);
  painter.fillRect(UnitRect(x1, y1 + width, x1 + width, y2 - width), brush);
  painter.fillRect(UnitRect(x2 - width, y1 + width, x2, y2 - width), brush);
}

QPainter* TCanvas::BeginShape(int& x1, int& y1, int& x2, int& y2, QColor& colour) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return nullptr;
  QPainter* painter = Begin();
  if (!painter || !ApplyPenMode(*painter, colour)) return nullptr;
  return painter;
}

void TCanvas::UsePenAndBrush(QPainter& painter, const QColor& colour) {
  painter.setPen(MakePen(colour));
  painter.setBrush(brush_.Style() != bsClear || brush_.Bitmap() ? MakeBrush() : QBrush(Qt::NoBrush));
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  QColor colour;
  QPainter* painter = BeginShape(x1, y1, x2, y2, colour);
  if (!painter) return;
  bool outline = pen_.Style() != psClear;
  int width = outline ? PenWidth() : 0;
  bool fill = brush_.Style() != bsClear || brush_.Bitmap();
  if (fill) {
    // Without an outline the platform leaves the last column and row out.
    TRect inner = !outline                                ? TRect{x1, y1, x2 - 1, y2 - 1}
                  : FrameCoversAll(x1, y1, x2, y2, width) ? TRect{}
                                                          : TRect{x1 + width, y1 + width, x2 - width, y2 - width};
    if (inner.Right > inner.Left && inner.Bottom > inner.Top) {
      painter->fillRect(UnitRect(inner.Left, inner.Top, inner.Right, inner.Bottom), MakeBrush());
    }
  }
  if (!outline) return;
  if (width == 1 && !DashPattern(pen_.Style()).isEmpty()) {
    const TPoint corners[] = {{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}};
    StrokePath(*painter, corners, true, colour);
  } else {
    FillFrame(*painter, x1, y1, x2, y2, width, QBrush(colour));
  }
}

QRectF TCanvas::PenBounds(int x1, int y1, int x2, int y2) const {
  // The outline's centre line, so that a pen of any width stays inside the bounds.
  qreal half = pen_.Style() == psClear ? 0.5 : PenWidth() / 2.0;
  if (Cosmetic()) return QRectF(x1, y1, Span(x1, x2) - 1, Span(y1, y2) - 1);
  return QRectF(x1 + half, y1 + half, Span(x1, x2) - 2 * half, Span(y1, y2) - 2 * half);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  QColor colour;
  QPainter* painter = BeginShape(x1, y1, x2, y2, colour);
  if (!painter) return;
  UsePenAndBrush(*painter, colour);
  painter->drawEllipse(PenBounds(x1, y1, x2, y2));
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  QColor colour;
  QPainter* painter = BeginShape(x1, y1, x2, y2, colour);
  if (!painter) return;
  UsePenAndBrush(*painter, colour);
  painter->drawRoundedRect(PenBounds(x1, y1, x2, y2), std::abs(x3) / 2.0, std::abs(y3) / 2.0, Qt::AbsoluteSize);
}

void TCanvas::DrawText(QPainter& painter, int x, int y, const TShapedText& text, const TRect* opaque) {
  const TFontMeasure& measure = Measure();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (brush_.Style() != bsClear) {
    QRectF back = opaque ? UnitRect(opaque->Left, opaque->Top, opaque->Right, opaque->Bottom)
                         : QRectF(x, y, text.Width(), measure.Height());
    painter.fillRect(back, ToQColor(brush_.Color()));
  }
  painter.setPen(ToQColor(font_.Color()));
  text.Draw(painter, QPointF(x, static_cast<double>(y) + measure.Ascent()));
  pen_pos_ = {static_cast<int>(std::clamp<std::int64_t>(static_cast<std::int64_t>(x) + text.Width(), INT_MIN, INT_MAX)),
              y};
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  QPainter* painter = Begin();
  if (!painter) return;
  DrawText(*painter, x, y, shaped_->Get(Measure(), text), nullptr);
}

bool TCanvas::InkBox(int x, int y, const TShapedText& text, TRect& box) {
  // A ligature has its own outline and advance, which the characters' bounds tell only roughly across; up and
  // down it stays within theirs.
  constexpr double kSideRoom = 1;
  TInkReach reach;
  if (!TTextInk::For(Measure()).Reach(text.Text(), reach)) return false;
  const double baseline = static_cast<double>(y) + Measure().Ascent();
  auto out = [](double edge, bool up) {
    return static_cast<int>(std::clamp(up ? std::ceil(edge) : std::floor(edge), -1e9, 1e9));
  };
  box = {out(x + reach.Left - kSideRoom, false), out(baseline + reach.Top, false),
         out(x + static_cast<double>(text.Width()) + reach.Right + kSideRoom, true),
         out(baseline + reach.Bottom, true)};
  return true;
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  QPainter* painter = Open();
  if (!painter) return;
  const TShapedText& shaped = shaped_->Get(Measure(), text);
  // Each change of clipping costs the device a new graphics state, so the painter's clip changes only when the
  // text needs it. A text wholly inside its rectangle and the canvas clip is drawn through whatever clip the
  // painter has if it lies inside that too, or else with none. A text that overflows has the painter take its own
  // clip in place of the canvas clip, which the next drawing puts back.
  TRect box;
  if (!InkBox(x, y, shaped, box) || !Contains(rect, box)) {
    UseClip(true, clipped_ ? Intersection(clip_, rect) : rect);
  } else if (brush_.Style() != bsClear || (clipped_ && !Contains(clip_, box))) {
    UseClip(clipped_, clip_);
  } else if (painter_clipped_ && !Contains(painter_clip_, box)) {
    UseClip(false, {});
  }
  DrawText(*painter, x, y, shaped, &rect);
}

TRect TCanvas::WithLineInk(const TRect& rect, int x, int y, std::string_view text) {
  const long long baseline = static_cast<long long>(y) + Measure().Ascent();
  TRect box;
  if (baseline < rect.Top || baseline > rect.Bottom || !InkBox(x, y, shaped_->Get(Measure(), text), box)) return rect;
  return {rect.Left, std::min(rect.Top, box.Top), rect.Right, std::max(rect.Bottom, box.Bottom)};
}

int TCanvas::TextWidth(std::string_view text) { return Measure().Width(text); }

int TCanvas::TextHeight(std::string_view) { return Measure().Height(); }

TSize TCanvas::TextExtent(std::string_view text) {
  const TFontMeasure& measure = Measure();
  return {measure.Width(text), measure.Height()};
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
  if (graphic.Empty()) return;
  StretchDraw({x, y, x + graphic.Width(), y + graphic.Height()}, graphic);
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) {
  if (graphic.Empty()) return;
  QPainter* painter = Begin();
  if (!painter) return;
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter->drawImage(UnitRect(rect.Left, rect.Top, rect.Right, rect.Bottom), graphic.ToImage());
}

TColor TCanvas::Pixels(int x, int y) {
  auto* image = dynamic_cast<QImage*>(device_);
  if (!image) return clNone;
  QPoint at(static_cast<int>(std::floor(x * scale_)), static_cast<int>(std::floor(y * scale_)));
  if (!image->valid(at)) return clNone;
  if (clipped_ && !(x >= clip_.Left && x < clip_.Right && y >= clip_.Top && y < clip_.Bottom)) return clNone;
  QRgb rgb = image->pixel(at);
  return RGBColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  QPainter* painter = Begin();
  if (!painter) return;
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter->fillRect(QRectF(x, y, 1, 1), ToQColor(color));
}

void TCanvas::SetClipRect(const TRect& rect) {
  clip_ = rect;
  clipped_ = true;
}

void TCanvas::IntersectClipRect(const TRect& rect) { SetClipRect(clipped_ ? Intersection(clip_, rect) : rect); }

void TCanvas::RemoveClip() {
  clipped_ = false;
  clip_ = {};
}
