#include "pages/RLMetaVCL.h"

#include "core/Text.h"
#include "graphics/Bitmap.h"
#include "pages/RLUtils.h"
#include "pdf/PdfDocument.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

struct TMapping {
  int x, y;
  double scaleX, scaleY;
  int X(int px) const { return AddClamped(x, RoundToInt(px * scaleX)); }
  int Y(int py) const { return AddClamped(y, RoundToInt(py * scaleY)); }
  TPoint Point(TPoint p) const { return {X(p.X), Y(p.Y)}; }
  TRect Rect(const TRect& r) const { return {X(r.Left), Y(r.Top), X(r.Right), Y(r.Bottom)}; }
  TRect RectWithMinimumSize(const TRect& r) const {
    TRect m = Rect(r);
    m.Right = std::max(m.Right, AddClamped(m.Left, 1));
    m.Bottom = std::max(m.Bottom, AddClamped(m.Top, 1));
    return m;
  }
  std::vector<TPoint> Points(const TRLMetaPointArray& points) const {
    std::vector<TPoint> out;
    out.reserve(points.size());
    for (const TPoint& p : points) out.push_back(Point(p));
    return out;
  }
};

void ApplyPen(const TRLMetaPen& meta, TCanvas& canvas, double scaleX) {
  FromMetaPen(meta, canvas.Pen());
  canvas.Pen().SetWidth(ScaledPenWidth(meta.Width(), scaleX));
}

// The gaps of each dashed pen style, in units of four pen widths: drawn, skipped, drawn, ...
struct TDashPattern {
  int count;
  int lengths[6];
};

const TDashPattern& DashPattern(TPenStyle style) {
  static const TDashPattern kNone{0, {}};
  static const TDashPattern kDash{2, {3, 1}};
  static const TDashPattern kDot{2, {1, 1}};
  static const TDashPattern kDashDot{4, {2, 1, 1, 1}};
  static const TDashPattern kDashDotDot{6, {3, 1, 1, 1, 1, 1}};
  switch (style) {
    case psDash: return kDash;
    case psDot: return kDot;
    case psDashDot: return kDashDot;
    case psDashDotDot: return kDashDotDot;
    default: return kNone;
  }
}

}  // namespace

// Conversions.

TRLMetaColor ToMetaColor(TColor color) {
  TColor rgb = ColorToRGB(color);
  return {static_cast<std::uint8_t>(GetRValue(rgb)), static_cast<std::uint8_t>(GetGValue(rgb)),
          static_cast<std::uint8_t>(GetBValue(rgb))};
}

TColor FromMetaColor(TRLMetaColor color) { return RGBColor(color.Red, color.Green, color.Blue); }

void ToMetaPen(const TPen& pen, TRLMetaPen& meta) {
  meta.SetColor(ToMetaColor(pen.Color()));
  meta.SetMode(static_cast<std::uint8_t>(pen.Mode() + 1));
  meta.SetStyle(static_cast<std::uint8_t>(pen.Style() + 1));
  meta.SetWidth(pen.Width());
}

void FromMetaPen(const TRLMetaPen& meta, TPen& pen) {
  pen.SetColor(FromMetaColor(meta.Color()));
  pen.SetMode(meta.Mode() >= 1 && meta.Mode() <= 16 ? static_cast<TPenMode>(meta.Mode() - 1) : pmCopy);
  pen.SetStyle(meta.Style() >= 1 && meta.Style() <= 7 ? static_cast<TPenStyle>(meta.Style() - 1) : psSolid);
  pen.SetWidth(meta.Width());
}

int ScaledPenWidth(int width, double scaleX) {
  if (width <= 1) return width;
  // A page of negative width (damaged data) gives a negative scale; widths stay within 1 .. INT_MAX.
  return static_cast<int>(std::clamp<double>(std::trunc(width * scaleX), 1, INT_MAX));
}

void ToMetaBrush(const TBrush& brush, TRLMetaBrush& meta) {
  meta.SetColor(ToMetaColor(brush.Color()));
  meta.SetStyle(static_cast<std::uint8_t>(brush.Style() + 1));
}

void FromMetaBrush(const TRLMetaBrush& meta, TBrush& brush) {
  brush.SetColor(FromMetaColor(meta.Color()));
  brush.SetStyle(meta.Style() >= 1 && meta.Style() <= 8 ? static_cast<TBrushStyle>(meta.Style() - 1) : bsSolid);
}

void ToMetaFont(const TFont& font, TRLMetaFont& meta) {
  meta.SetPixelsPerInch(font.PixelsPerInch());
  meta.SetCharset(font.Charset());
  meta.SetColor(ToMetaColor(font.Color()));
  meta.SetHeight(font.Height());
  meta.SetName(font.Name());
  meta.SetPitch(static_cast<std::uint8_t>(font.Pitch() + 1));
  meta.SetSize(font.Size());
  meta.SetStyle(static_cast<std::uint8_t>(font.Style().Mask() & 15));
}

void FromMetaFont(const TRLMetaFont& meta, TFont& font, double scaleY) {
  font.SetCharset(meta.Charset());
  font.SetColor(FromMetaColor(meta.Color()));
  std::string name = meta.Name();
  if (!name.empty()) font.SetName(name);
  font.SetPitch(meta.Pitch() >= 1 && meta.Pitch() <= 3 ? static_cast<TFontPitch>(meta.Pitch() - 1) : fpDefault);
  font.SetStyle(TFontStyles::FromMask(meta.Style() & 15));
  double recorded = meta.PixelsPerInch() ? meta.PixelsPerInch() : 96;
  double own = font.PixelsPerInch() ? font.PixelsPerInch() : 96;
  // Sizes beyond any real font (damaged data) are held to a size the font engine can still draw.
  constexpr int kLargestSize = 2000;
  font.SetSize(std::clamp(RoundToInt(meta.Size() * scaleY * recorded / own), -kLargestSize, kLargestSize));
}

std::string ToMetaGraphic(const TGraphic* graphic) {
  if (!graphic) return "NIL";
  if (dynamic_cast<const TBitmap*>(graphic)) return "BMP" + graphic->SaveToBytes();
  if (dynamic_cast<const TIcon*>(graphic)) return "ICO" + graphic->SaveToBytes();
  TBitmap bitmap(graphic->Width(), graphic->Height());
  bitmap.Canvas().Draw(0, 0, *graphic);
  bitmap.Canvas().EndPaint();
  return "BMP" + bitmap.SaveToBytes();
}

std::unique_ptr<TGraphic> FromMetaGraphic(std::string_view data) {
  if (data.size() < 3) return nullptr;
  std::string_view tag = data.substr(0, 3);
  std::unique_ptr<TGraphic> graphic;
  if (tag == "BMP") graphic = std::make_unique<TBitmap>();
  else if (tag == "ICO") graphic = std::make_unique<TIcon>();
  else return nullptr;
  graphic->LoadFromBytes(data.substr(3));
  return graphic;
}

// Canvas routines.

void CanvasTextRect(TCanvas& canvas, const TRect& rect, int x0, int y0, std::string_view text, std::uint8_t alignment,
                    std::uint8_t layout, std::uint16_t textFlags) {
  std::string line(text);
  int space = canvas.TextWidth(" ");
  // Measured only when the alignment needs it: each new text costs a shaping pass.
  auto width = [&] { return canvas.TextWidth(line + " "); };
  int height = canvas.TextHeight(line);

  // Damaged data may place the box anywhere in the int range: positions are worked out in 64 bits, then held to it.
  auto clamped = [](long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); };
  const long long left = rect.Left, top = rect.Top, right = rect.Right, bottom = rect.Bottom;
  long long start = space / 2;
  switch (alignment) {
    case MetaTextAlignmentRight: start += right - width(); break;
    case MetaTextAlignmentCenter: start += (left + right - width()) / 2; break;
    default: start += x0; break;
  }
  const int x = clamped(start);
  int y;
  switch (layout) {
    case MetaTextLayoutBottom: y = clamped(bottom - height); break;
    case MetaTextLayoutCenter: y = clamped((top + bottom - height) / 2); break;
    default: y = y0; break;
  }

  if (alignment == MetaTextAlignmentJustify) {
    line = JustifiedLine(line, right - x, [&](const std::string& widened) { return canvas.TextWidth(widened + " "); });
  }

  if (textFlags & tfNoClip) {
    canvas.TextOut(x, y, line);
    return;
  }
  // The box cuts the text at its sides, never the glyphs of a line standing in it: at screen resolution a box is no
  // taller than the line, and accents over capitals reach above it.
  const TRect clip = canvas.WithLineInk(rect, x, y, line);
  if (clip == rect || canvas.Brush().Style() == bsClear) {
    canvas.TextRect(clip, x, y, line);
    return;
  }
  const TBrushStyle style = canvas.Brush().Style();
  canvas.FillRect(rect);
  canvas.Brush().SetStyle(bsClear);
  canvas.TextRect(clip, x, y, line);
  canvas.Brush().SetStyle(style);
}

void CanvasSetClipRect(TCanvas& canvas, const TRect& rect) {
  if (rect.Right == rect.Left || rect.Bottom == rect.Top) canvas.RemoveClip();
  else canvas.SetClipRect(rect);
}

void CanvasResetClipRect(TCanvas& canvas) { canvas.RemoveClip(); }

void CanvasLineToEx(TCanvas& canvas, int x, int y) {
  TPen& pen = canvas.Pen();
  const TDashPattern& pattern = DashPattern(pen.Style());
  // Lines far longer than any page (damaged data) are drawn plain rather than as millions of dashes.
  constexpr double kMaxDashes = 100000;
  double span = std::hypot(static_cast<double>(x) - canvas.PenPos().X, static_cast<double>(y) - canvas.PenPos().Y);
  if (pattern.count == 0 || pen.Width() <= 1 || span / (4.0 * pen.Width()) > kMaxDashes) {
    canvas.LineTo(x, y);
    return;
  }
  TPenStyle style = pen.Style();
  int width = pen.Width();
  TPoint start = canvas.PenPos();
  TColor pen_color = pen.Color();
  double unit = 4.0 * width;
  double dx = static_cast<double>(x) - start.X, dy = static_cast<double>(y) - start.Y;
  double length = static_cast<double>(RoundHalfEven(std::sqrt(dx * dx + dy * dy)));
  double direction = std::atan2(dy, dx);

  pen.SetStyle(psSolid);
  if (canvas.Brush().Style() != bsClear) {
    pen.SetColor(canvas.Brush().Color());
    canvas.LineTo(x, y);
  }
  pen.SetColor(pen_color);
  canvas.MoveTo(start.X, start.Y);

  double pos = 0;
  int i = 0;
  bool drawing = true;
  while (pos < length) {
    pos = std::min(length, pos + pattern.lengths[i] * unit);
    int px = start.X + RoundToInt(pos * std::cos(direction));
    int py = start.Y + RoundToInt(pos * std::sin(direction));
    if (drawing) canvas.LineTo(px, py);
    else canvas.MoveTo(px, py);
    drawing = !drawing;
    i = (i + 1) % pattern.count;
  }
  pen.SetStyle(style);
  pen.SetWidth(width);
}

// Object painting.

void TRLPixelObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(FromMetaColor(color_));
  canvas.FillRect(map.RectWithMinimumSize(BoundsRect()));
}

void TRLLineObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  ApplyPen(pen_, canvas, scaleX);
  FromMetaBrush(brush_, canvas.Brush());
  TPoint from = map.Point(from_), to = map.Point(to_);
  canvas.MoveTo(from.X, from.Y);
  CanvasLineToEx(canvas, to.X, to.Y);
}

void TRLRectangleObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  ApplyPen(pen_, canvas, scaleX);
  FromMetaBrush(brush_, canvas.Brush());
  canvas.Rectangle(map.RectWithMinimumSize(BoundsRect()));
}

void TRLTextObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  FromMetaBrush(brush_, canvas.Brush());
  FromMetaFont(font_, canvas.Font(), scaleY);
  TPoint origin = map.Point(origin_);
  CanvasTextRect(canvas, map.Rect(BoundsRect()), origin.X, origin.Y, DisplayText(), alignment_, layout_, text_flags_);
}

void TRLFillRectObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  FromMetaBrush(brush_, canvas.Brush());
  canvas.FillRect(map.Rect(BoundsRect()));
}

void TRLEllipseObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  ApplyPen(pen_, canvas, scaleX);
  FromMetaBrush(brush_, canvas.Brush());
  canvas.Ellipse(map.Rect(BoundsRect()));
}

void TRLPolygonObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  ApplyPen(pen_, canvas, scaleX);
  FromMetaBrush(brush_, canvas.Brush());
  canvas.Polygon(map.Points(points_));
}

void TRLPolylineObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  ApplyPen(pen_, canvas, scaleX);
  canvas.Brush().SetStyle(bsClear);
  canvas.Polyline(map.Points(points_));
}

void TRLImageObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TMapping map{x, y, scaleX, scaleY};
  TRect rect = map.Rect(BoundsRect());
  std::unique_ptr<TGraphic> graphic = FromMetaGraphic(data_);
  if (!graphic) return;
  int width = graphic->Width();
  if (integral_scale_ && width != 0) {
    long long n = (static_cast<long long>(rect.Right) - rect.Left) / width;
    rect.Right = static_cast<int>(std::clamp<long long>(rect.Left + n * width + 1, INT_MIN, INT_MAX));
  }
  canvas.StretchDraw(rect, *graphic);
}

void TRLSetClipRectObject::PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) {
  TRLGraphicSurface* surface = Surface();
  TRect rect = TMapping{x, y, scaleX, scaleY}.Rect(BoundsRect());
  if (surface) {
    surface->ClipStack().push_back(surface->ClipRect());
    surface->SetClipRectValue(rect);
  }
  CanvasSetClipRect(canvas, rect);
}

void TRLResetClipRectObject::PaintTo(TCanvas& canvas, int, int, double, double) {
  TRLGraphicSurface* surface = Surface();
  if (!surface) return;
  // More resets than sets (damaged data) keep the outermost clip.
  auto& stack = surface->ClipStack();
  if (!stack.empty()) {
    surface->SetClipRectValue(stack.back());
    stack.pop_back();
  }
  CanvasSetClipRect(canvas, surface->ClipRect());
}

namespace {

// Whether an object drawn with this mapping may put ink inside `visible`. Texts drawn without clipping may run past
// their bounds sideways, so only their rows count; the margin covers wide pens and the glyphs' overhang.
bool MayShow(const TRLGraphicObject& object, const TMapping& map, const TRect& visible) {
  TRect r = map.Rect(object.BoundsRect());
  int margin = 8;
  bool rows_only = false;
  switch (object.TypeCode()) {
    case 2: {  // a line: its two ends, widened by its pen
      const auto& line = static_cast<const TRLLineObject&>(object);
      TPoint a = map.Point(line.FromPoint()), b = map.Point(line.ToPoint());
      r = {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1, std::max(a.Y, b.Y) + 1};
      margin += ScaledPenWidth(line.Pen().Width(), map.scaleX);
      break;
    }
    case 4:  // a text
      rows_only = (static_cast<const TRLTextObject&>(object).TextFlags() & tfNoClip) != 0;
      margin += std::abs(r.Height());
      break;
    case 7:  // polygons and polylines: their points, not their bounds, say where they go
    case 8:
    case 10:  // clipping changes always apply
    case 11: return true;
    default: break;
  }
  if (r.Right < r.Left) std::swap(r.Left, r.Right);
  if (r.Bottom < r.Top) std::swap(r.Top, r.Bottom);
  bool rows = r.Top - margin < visible.Bottom && r.Bottom + margin > visible.Top;
  bool columns = rows_only || (r.Left - margin < visible.Right && r.Right + margin > visible.Left);
  return rows && columns;
}

}  // namespace

void TRLGraphicSurface::PaintTo(TCanvas& canvas, const TRect& rect, const TRect* visible) {
  double scaleX = width_ ? static_cast<double>(rect.Right - rect.Left) / width_ : 1.0;
  double scaleY = height_ ? static_cast<double>(rect.Bottom - rect.Top) / height_ : 1.0;
  clip_stack_.clear();
  clip_rect_ = rect;
  auto finish = [&] {
    CanvasResetClipRect(canvas);
    while (!clip_stack_.empty()) {
      clip_rect_ = clip_stack_.back();
      clip_stack_.pop_back();
    }
  };
  try {
    CanvasSetClipRect(canvas, clip_rect_);
    const TMapping map{rect.Left, rect.Top, scaleX, scaleY};
    for (std::size_t i = 0; i < objects_.size(); ++i) {
      if (visible && !MayShow(*objects_[i], map, *visible)) continue;
      objects_[i]->PaintTo(canvas, rect.Left, rect.Top, scaleX, scaleY);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// Whole pages.

std::unique_ptr<TBitmap> RenderPageToImage(TRLGraphicSurface& page, double zoom) {
  int width = std::max(1, RoundToInt(page.Width() * zoom));
  int height = std::max(1, RoundToInt(page.Height() * zoom));
  auto bitmap = std::make_unique<TBitmap>(width, height);
  TCanvas& canvas = bitmap->Canvas();
  canvas.Brush().SetColor(clWhite);
  canvas.Brush().SetStyle(bsSolid);
  canvas.FillRect({0, 0, width, height});
  page.PaintTo(canvas, {0, 0, width, height});
  canvas.EndPaint();
  return bitmap;
}

namespace {

constexpr double kMillimetresPerPixel = 25.4 / 96;

// A page's size in pixels in a PDF document: its own, or the collection's paper.
TPoint PdfPageSize(const TRLGraphicSurface* page, const TRLGraphicStorage& storage) {
  int width = page ? page->Width() : 0;
  int height = page ? page->Height() : 0;
  if (width <= 0 || height <= 0) {
    width = std::max(1, storage.OrientedPixelWidth());
    height = std::max(1, storage.OrientedPixelHeight());
  }
  return {width, height};
}

}  // namespace

void AddPageToPdf(TPdfDocument& document, TRLGraphicSurface* page, const TRLGraphicStorage& storage) {
  const TPoint size = PdfPageSize(page, storage);
  TCanvas& canvas = document.NewPage(size.X * kMillimetresPerPixel, size.Y * kMillimetresPerPixel);
  if (page) page->PaintTo(canvas, {0, 0, size.X, size.Y});
}

std::function<void(TCanvas&)> StandalonePageDrawing(std::unique_ptr<TRLGraphicSurface> page, TRLGraphicStorage& storage,
                                                    std::function<void(TCanvas&, TRLGraphicSurface&)> paint) {
  const int index = page ? page->PageIndex() : -1;
  auto copy = std::make_shared<std::unique_ptr<TRLGraphicSurface>>(std::move(page));
  return [copy, index, &storage, paint = std::move(paint)](TCanvas& canvas) {
    if (std::unique_ptr<TRLGraphicSurface> drawn = std::move(*copy)) {
      paint(canvas, *drawn);
    } else if (index >= 0) {
      if (TRLPageRef stored = storage.Pages(index); stored.Get()) paint(canvas, *stored.Get());
    }
  };
}

void AddStandalonePageToPdf(TPdfDocument& document, std::unique_ptr<TRLGraphicSurface> page,
                            TRLGraphicStorage& storage) {
  const TPoint size = PdfPageSize(page.get(), storage);
  document.AddPage(size.X * kMillimetresPerPixel, size.Y * kMillimetresPerPixel,
                   StandalonePageDrawing(std::move(page), storage, [size](TCanvas& canvas, TRLGraphicSurface& drawn) {
                     drawn.PaintTo(canvas, {0, 0, size.X, size.Y});
                   }));
}

void AddPagesToPdf(TPdfDocument& document, TRLGraphicStorage& storage, int first) {
  for (int i = first; i < storage.PageCount(); ++i) {
    AddStandalonePageToPdf(document, storage.Record(i).Load(), storage);
  }
}

void DescribePdf(TPdfDocument& document, const TRLGraphicStorage& storage, const std::vector<int>* pageIndexes) {
  TPdfInfo info;
  info.Title = storage.Title();
  if (info.Title.empty()) info.Title = storage.MacroValue("Caption");
  info.Subject = storage.MacroValue("Subject");
  info.Author = CurrentUserFullName();
  document.SetInfo(info);
  std::vector<TPdfOutlineItem> items;
  for (const TRLOutlineEntry& entry : storage.Outline()) {
    int page = entry.PageIndex;
    if (pageIndexes) {
      const auto found = std::find(pageIndexes->begin(), pageIndexes->end(), page);
      if (found == pageIndexes->end()) continue;
      page = static_cast<int>(found - pageIndexes->begin());
    }
    items.push_back({entry.Text, entry.Level, page, static_cast<double>(entry.Top)});
  }
  document.SetOutline(std::move(items));
}

void SavePagesToPdf(TRLGraphicStorage& storage, const std::string& fileName) {
  auto lock = storage.Lock();
  TPdfDocument document(fileName);
  DescribePdf(document, storage);
  AddPagesToPdf(document, storage, 0);
  (void)document.Close();
}
