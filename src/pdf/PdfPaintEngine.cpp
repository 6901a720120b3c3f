#include "pdf/PdfPaintEngine.h"

#include "graphics/TextInk.h"
#include "pdf/PdfFile.h"
#include "pdf/PdfResources.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPixmap>
#include <QRawFont>
#include <QTextItem>
#include <QTextLayout>

#include <cmath>

namespace {

constexpr double kPointsPerInch = 72;
// A glyph's number as the four hexadecimal digits of a string of two bytes.
void WriteHexGlyph(char* out, unsigned glyph) {
  static const char kHex[] = "0123456789ABCDEF";
  out[0] = kHex[(glyph >> 12) & 15];
  out[1] = kHex[(glyph >> 8) & 15];
  out[2] = kHex[(glyph >> 4) & 15];
  out[3] = kHex[glyph & 15];
}

}  // namespace

TPdfPaintEngine::TPdfPaintEngine(TPdfResources& resources, int resolution)
    // What Qt's PDF engine takes, so that a painter hands this engine the same calls: anything this engine does
    // not write as that one does comes here (and makes it inexact) instead of being emulated on the way.
    : QPaintEngine(QPaintEngine::AllFeatures &
                   ~(QPaintEngine::PorterDuff | QPaintEngine::PerspectiveTransform |
                     QPaintEngine::ObjectBoundingModeGradients | QPaintEngine::ConicalGradientFill)),
      resources_(resources),
      points_per_pixel_(kPointsPerInch / resolution) {}

TPdfPaintEngine::~TPdfPaintEngine() = default;

bool TPdfPaintEngine::begin(QPaintDevice*) {
  transform_ = QTransform();
  pen_ = QPen();
  brush_ = QBrush();
  brush_origin_ = QPointF();
  opacity_ = 1;
  clip_enabled_ = false;
  clip_ = QPainterPath();
  clip_changed_ = true;
  return true;
}

void TPdfPaintEngine::StartPage(double heightPoints, QPoint origin) {
  page_height_ = heightPoints;
  content_.clear();
  names_.clear();
  clip_open_ = transform_open_ = false;
  applied_ = QTransform();
  clip_changed_ = true;
  Forget();
  // Device pixels from the origin: flipped at the page's height, then moved to the origin.
  const double matrix[] = {points_per_pixel_,
                           0,
                           0,
                           -points_per_pixel_,
                           origin.x() * points_per_pixel_,
                           heightPoints + origin.y() * -points_per_pixel_};
  for (double number : matrix) {
    AppendPdfNumber(content_, number);
    content_ += ' ';
  }
  content_ += "cm\n";
}

const std::string& TPdfPaintEngine::FinishPage() {
  EndPage();
  return NameFaces();
}

void TPdfPaintEngine::EndPage() { CloseClip(); }

const std::string& TPdfPaintEngine::NameFaces() {
  if (names_.empty()) return content_;
  // The faces' names in their places, in drawing order.
  std::string named;
  named.reserve(content_.size() + 4 * names_.size());
  std::size_t copied = 0;
  for (const TName& name : names_) {
    named.append(content_, copied, name.at - copied);
    named += std::to_string(FontName(fonts_[name.font]));
    copied = name.at;
  }
  named.append(content_, copied);
  content_.swap(named);
  names_.clear();
  return content_;
}

int TPdfPaintEngine::FontName(TFontUse& use) {
  if (use.name == 0) use.name = resources_.Fonts().Number(use.font);
  return use.name;
}

void TPdfPaintEngine::AddGlyph(TFontUse& use, unsigned glyph) {
  if (glyph >= use.added.size()) use.added.resize(glyph + 1, false);
  if (use.added[glyph]) return;
  use.added[glyph] = true;
  resources_.Fonts().Add(use.font, glyph);
}

TPdfPaintEngine::TFontUse& TPdfPaintEngine::FontUse(const QRawFont& font) {
  for (TFontUse& use : fonts_) {
    if (use.raw == font) return use;
  }
  fonts_.push_back({font, resources_.Fonts().For(font), {}, 0});
  // Faces without TrueType outlines, and styles Qt's writer makes up by thickening or slanting a face, are its own.
  if (!fonts_.back().font || StyleIsSynthesized(font)) Inexact();
  return fonts_.back();
}

void TPdfPaintEngine::updateState(const QPaintEngineState& state) {
  const DirtyFlags flags = state.state();
  if (flags & DirtyTransform) transform_ = state.transform();
  if (flags & DirtyPen) pen_ = state.pen();
  if (flags & DirtyBrush) brush_ = state.brush();
  if (flags & DirtyBrushOrigin) brush_origin_ = state.brushOrigin();
  if (flags & DirtyOpacity) opacity_ = state.opacity();
  if ((flags & DirtyCompositionMode) && state.compositionMode() != QPainter::CompositionMode_SourceOver) Inexact();
  if ((flags & DirtyTransform) && !transform_.isAffine()) Inexact();
  if (flags & DirtyClipPath) SetClip(transform_.map(state.clipPath()), state.clipOperation());
  if (flags & DirtyClipRegion) {
    QPainterPath path;
    path.addRegion(state.clipRegion());
    SetClip(transform_.map(path), state.clipOperation());
  }
  if (flags & DirtyClipEnabled) {
    clip_enabled_ = state.isClipEnabled();
    clip_changed_ = true;
  }
}

void TPdfPaintEngine::SetClip(const QPainterPath& devicePath, Qt::ClipOperation operation) {
  switch (operation) {
    case Qt::NoClip: clip_enabled_ = false; break;
    case Qt::ReplaceClip:
      clip_ = devicePath;
      clip_enabled_ = true;
      break;
    case Qt::IntersectClip:
      clip_ = clip_enabled_ ? clip_.intersected(devicePath) : devicePath;
      clip_enabled_ = true;
      break;
  }
  clip_changed_ = true;
}

void TPdfPaintEngine::Forget() {
  fill_known_ = stroke_known_ = false;
  line_.clear();
}

void TPdfPaintEngine::CloseTransform() {
  if (transform_open_) {
    content_ += "Q\n";
    transform_open_ = false;
    Forget();
  }
  applied_ = QTransform();
}

void TPdfPaintEngine::CloseClip() {
  CloseTransform();
  if (clip_open_) {
    content_ += "Q\n";
    clip_open_ = false;
    Forget();
  }
}

void TPdfPaintEngine::Sync() {
  if (clip_changed_) {
    clip_changed_ = false;
    CloseClip();
    if (clip_enabled_) {
      content_ += "q\n";
      clip_open_ = true;
      Path(clip_);
      content_ += clip_.fillRule() == Qt::OddEvenFill ? "W* n\n" : "W n\n";
    }
  }
  if (transform_ != applied_) {
    CloseTransform();
    if (!transform_.isIdentity()) {
      content_ += "q ";
      for (double v : {transform_.m11(), transform_.m12(), transform_.m21(), transform_.m22(), transform_.dx()}) {
        Number(v);
        content_ += ' ';
      }
      Number(transform_.dy());
      content_ += " cm\n";
      transform_open_ = true;
      applied_ = transform_;
    }
  }
}

void TPdfPaintEngine::Number(double value) { AppendPdfNumber(content_, value); }

void TPdfPaintEngine::Point(double x, double y) {
  Number(x);
  content_ += ' ';
  Number(y);
  content_ += ' ';
}

void TPdfPaintEngine::Path(const QPainterPath& path) {
  int start = -1;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element& e = path.elementAt(i);
    switch (e.type) {
      case QPainterPath::MoveToElement:
        Point(e.x, e.y);
        content_ += "m\n";
        start = i;
        break;
      case QPainterPath::LineToElement:
        Point(e.x, e.y);
        content_ += "l\n";
        break;
      case QPainterPath::CurveToElement:
        Point(e.x, e.y);
        Point(path.elementAt(i + 1).x, path.elementAt(i + 1).y);
        Point(path.elementAt(i + 2).x, path.elementAt(i + 2).y);
        content_ += "c\n";
        i += 2;
        break;
      case QPainterPath::CurveToDataElement: break;
    }
    // A subpath back at its start is closed, for the join there.
    const bool last = i + 1 == path.elementCount() || path.elementAt(i + 1).type == QPainterPath::MoveToElement;
    if (last && start >= 0 && i > start && QPointF(path.elementAt(i)) == QPointF(path.elementAt(start))) {
      content_ += "h\n";
    }
  }
}

void TPdfPaintEngine::Colour(const QColor& colour, bool stroke) {
  const QColor rgb = colour.toRgb();
  // Transparency is Qt's writer's.
  if (rgb.alphaF() * opacity_ != 1) return Inexact();
  QColor& known = stroke ? stroke_ : fill_;
  bool& is_known = stroke ? stroke_known_ : fill_known_;
  if (is_known && known == rgb) return;
  known = rgb;
  is_known = true;
  for (double v : {rgb.redF(), rgb.greenF(), rgb.blueF()}) {
    Number(std::round(v * 10000) / 10000);
    content_ += ' ';
  }
  content_ += stroke ? "RG\n" : "rg\n";
}

bool TPdfPaintEngine::UseBrush() {
  if (brush_.style() == Qt::NoBrush) return false;
  // Gradients, patterns and textures are Qt's writer's.
  if (brush_.style() != Qt::SolidPattern) {
    Inexact();
    return false;
  }
  Colour(brush_.color(), false);
  return exact_;
}

bool TPdfPaintEngine::UsePen() {
  if (pen_.style() == Qt::NoPen) return false;
  // Dashes and pens of a pattern are Qt's writer's.
  if (pen_.style() != Qt::SolidLine || pen_.brush().style() != Qt::SolidPattern) {
    Inexact();
    return false;
  }
  double width = pen_.widthF();
  // A cosmetic pen is as wide on every device: a device pixel when it has no width.
  if (pen_.isCosmetic()) {
    const double scale = std::sqrt(std::abs(transform_.determinant()));
    width = (width > 0 ? width : 1) / (scale > 0 ? scale : 1);
  }
  std::string line;
  AppendPdfNumber(line, width);
  line += " w ";
  line += pen_.capStyle() == Qt::SquareCap ? "2 J " : pen_.capStyle() == Qt::RoundCap ? "1 J " : "0 J ";
  line += pen_.joinStyle() == Qt::RoundJoin ? "1 j " : pen_.joinStyle() == Qt::BevelJoin ? "2 j " : "0 j ";
  if (pen_.joinStyle() == Qt::MiterJoin || pen_.joinStyle() == Qt::SvgMiterJoin) {
    AppendPdfNumber(line, std::max<qreal>(1, pen_.miterLimit()));
    line += " M ";
  }
  line += "[] 0 d\n";
  if (line != line_) {
    content_ += line;
    line_ = std::move(line);
  }
  Colour(pen_.color(), true);
  return exact_;
}

void TPdfPaintEngine::Paint(const QPainterPath& path, bool fill, bool stroke) {
  if ((!fill && !stroke) || !exact_) return;
  Sync();
  fill = fill && UseBrush();
  stroke = stroke && UsePen();
  if ((!fill && !stroke) || !exact_) return;
  Path(path);
  const bool even_odd = path.fillRule() == Qt::OddEvenFill;
  if (fill && stroke) content_ += even_odd ? "B*\n" : "B\n";
  else if (fill) content_ += even_odd ? "f*\n" : "f\n";
  else content_ += "S\n";
}

void TPdfPaintEngine::drawRects(const QRectF* rects, int count) {
  const bool fill = brush_.style() != Qt::NoBrush, stroke = pen_.style() != Qt::NoPen;
  if ((!fill && !stroke) || !exact_) return;
  Sync();
  const bool filled = fill && UseBrush();
  const bool stroked = stroke && UsePen();
  if ((!filled && !stroked) || !exact_) return;
  for (int i = 0; i < count; ++i) {
    Point(rects[i].x(), rects[i].y());
    Point(rects[i].width(), rects[i].height());
    content_ += "re\n";
  }
  content_ += filled && stroked ? "B\n" : filled ? "f\n" : "S\n";
}

void TPdfPaintEngine::drawRects(const QRect* rects, int count) {
  std::vector<QRectF> exact(rects, rects + count);
  drawRects(exact.data(), count);
}

void TPdfPaintEngine::drawLines(const QLineF* lines, int count) {
  if (pen_.style() == Qt::NoPen || count <= 0) return;
  QPainterPath path;
  for (int i = 0; i < count; ++i) {
    path.moveTo(lines[i].p1());
    path.lineTo(lines[i].p2());
  }
  Paint(path, false, true);
}

void TPdfPaintEngine::drawLines(const QLine* lines, int count) {
  std::vector<QLineF> exact(lines, lines + count);
  drawLines(exact.data(), count);
}

// Points, pictures and tiles are Qt's writer's.
void TPdfPaintEngine::drawPoints(const QPointF*, int count) {
  if (pen_.style() != Qt::NoPen && count > 0) Inexact();
}

void TPdfPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
  if (count <= 0) return;
  QPainterPath path;
  path.moveTo(points[0]);
  for (int i = 1; i < count; ++i) path.lineTo(points[i]);
  if (mode == PolylineMode) return Paint(path, false, true);
  path.closeSubpath();
  path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
  Paint(path, brush_.style() != Qt::NoBrush, pen_.style() != Qt::NoPen);
}

void TPdfPaintEngine::drawPath(const QPainterPath& path) {
  Paint(path, brush_.style() != Qt::NoBrush, pen_.style() != Qt::NoPen);
}

void TPdfPaintEngine::drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) { Inexact(); }

void TPdfPaintEngine::drawPixmap(const QRectF&, const QPixmap&, const QRectF&) { Inexact(); }

void TPdfPaintEngine::drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) { Inexact(); }

void TPdfPaintEngine::DrawGlyphRun(const QPointF& origin, const QGlyphRun& run) {
  // The painter's state first (the clip above all), as the painter brings it before any drawing of its own.
  syncState();
  ShowGlyphs(run, origin);
}

// A text given by its characters: laid out here as a painter would, on one line from the baseline at origin.
void TPdfPaintEngine::drawTextItem(const QPointF& origin, const QTextItem& item) {
  QTextLayout layout(item.text(), item.font());
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  if (!line.isValid()) return;
  const QPointF top_left(origin.x(), origin.y() - line.ascent());
  for (const QGlyphRun& run : layout.glyphRuns()) ShowGlyphs(run, top_left);
}

void TPdfPaintEngine::ShowGlyphs(const QGlyphRun& run, const QPointF& origin) {
  const QList<quint32> glyphs = run.glyphIndexes();
  const QList<QPointF> positions = run.positions();
  if (glyphs.isEmpty() || pen_.style() == Qt::NoPen || !exact_) return;
  const QRawFont font = run.rawFont();
  TFontUse& use = FontUse(font);
  if (!exact_) return;
  Sync();
  Colour(pen_.color(), false);
  if (!exact_) return;
  const std::size_t font_index = static_cast<std::size_t>(&use - fonts_.data());
  content_ += "BT /F";
  if (naming_later_ && use.name == 0) names_.push_back({content_.size(), font_index});
  else content_ += std::to_string(FontName(use));
  content_ += ' ';
  Number(font.pixelSize());
  content_ += " Tf 1 0 0 -1 0 0 Tm\n";
  // Each glyph moved to from the one before by the difference of their positions: whole pixels and exact fractions
  // of them add up exactly, so every glyph lands where the layout put it.
  double x = 0, y = 0;
  // A glyph's line is put together here, then appended at once: a page has thousands of them.
  char line[2 * kPdfNumberRoom + 16];
  const auto literal = [](char* at, std::string_view text) { return std::copy(text.begin(), text.end(), at); };
  for (qsizetype i = 0; i < glyphs.size(); ++i) {
    const double gx = origin.x() + positions[i].x(), gy = origin.y() + positions[i].y();
    char* at = WritePdfNumber(line, gx - x);
    *at++ = ' ';
    at = WritePdfNumber(at, y - gy);
    at = literal(at, " Td <");
    AddGlyph(use, glyphs[i]);
    WriteHexGlyph(at, glyphs[i]);
    at = literal(at + 4, "> Tj\n");
    content_.append(line, static_cast<std::size_t>(at - line));
    x = gx;
    y = gy;
  }
  content_ += "ET\n";
}

TPdfPaintDevice::TPdfPaintDevice(TPdfResources& resources, int resolution)
    : engine_(std::make_unique<TPdfPaintEngine>(resources, resolution)), resolution_(resolution) {}

TPdfPaintDevice::~TPdfPaintDevice() = default;

int TPdfPaintDevice::metric(PaintDeviceMetric metric) const {
  constexpr double kMillimetresPerInch = 25.4;
  switch (metric) {
    case PdmWidth: return static_cast<int>(page_mm_.width() * resolution_ / kMillimetresPerInch);
    case PdmHeight: return static_cast<int>(page_mm_.height() * resolution_ / kMillimetresPerInch);
    case PdmWidthMM: return static_cast<int>(page_mm_.width());
    case PdmHeightMM: return static_cast<int>(page_mm_.height());
    case PdmNumColors: return 1 << 24;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return resolution_;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
  }
}
