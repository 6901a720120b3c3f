#include "pages/RLMetaSurface.h"

#include "core/Text.h"
#include "graphics/Bitmap.h"
#include "pages/RLGraphicStorage.h"
#include "pages/RLMetaVCL.h"
#include "pages/RLUtils.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace {

constexpr char kSurfaceSignature[] = "RLGraphicSurface3\x1A";
constexpr std::size_t kSignatureLength = sizeof kSurfaceSignature - 1;

bool Intersects(const TRect& a, const TRect& b) {
  return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) && std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

TRect PointBounds(const TRLMetaPointArray& points) {
  if (points.empty()) return {};
  TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (const TPoint& p : points) {
    r.Left = std::min(r.Left, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X);
    r.Bottom = std::max(r.Bottom, p.Y);
  }
  return {r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
}

}  // namespace

// Named values.

int ReadIntegerValue(const TStrings& values, std::string_view name, int defaultValue) {
  int index = values.IndexOfName(name);
  if (index < 0) return defaultValue;
  std::string text = values.ValueFromIndex(index);
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return defaultValue;
  return value;
}

void WriteIntegerValue(TStrings& values, std::string_view name, int value) {
  values.SetValue(name, std::to_string(value));
}

double ReadRealValue(const TStrings& values, std::string_view name) {
  int index = values.IndexOfName(name);
  if (index < 0) return 0;
  std::string text = values.ValueFromIndex(index);
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return 0;
  return value < 0 ? -1 : value;
}

void WriteRealValue(TStrings& values, std::string_view name, double value) {
  if (value < 0) {
    values.SetValue(name, "-1");
    return;
  }
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
  values.SetValue(name,
                  error == std::errc() ? std::string_view(buffer, static_cast<std::size_t>(end - buffer)) : "0.0000");
}

// The surface.

TRLGraphicSurface::TRLGraphicSurface() {
  brush_.SetColor(clWhite);
  brush_.SetStyle(bsSolid);
  pen_.SetColor(clBlack);
  font_.SetColor(clBlack);
}

TRLGraphicSurface::~TRLGraphicSurface() {
  if (storage_) storage_->DetachSurface(this);
  for (TRLGraphicObject* object : objects_) {
    object->surface_ = nullptr;
    delete object;
  }
}

TRLGraphicObject* TRLGraphicSurface::Objects(int index) const {
  if (index < 0 || index >= ObjectCount()) return nullptr;
  return objects_[static_cast<std::size_t>(index)];
}

void TRLGraphicSurface::SetFont(const TFont& font) {
  font_.Assign(font);
  font_.SetPixelsPerInch(font.PixelsPerInch());
}

int TRLGraphicSurface::FontIndex(const std::string& name) {
  int index = fonts_.IndexOf(name);
  return index >= 0 ? index : fonts_.Add(name);
}

std::string TRLGraphicSurface::FontName(int index) const {
  return index >= 0 && index < fonts_.Count() ? fonts_.Strings(index) : std::string();
}

bool TRLGraphicSurface::FindMacro(std::string_view name, std::string& value) const {
  int index = macros_.IndexOfName(name);
  if (index >= 0) {
    value = macros_.ValueFromIndex(index);
    return true;
  }
  if (!storage_) return false;
  bool found = false;
  value = storage_->MacroValue(name, &found);
  return found;
}

std::string TRLGraphicSurface::ExpandMacros(std::string text) const {
  std::size_t p = 0;
  while (p < text.size()) {
    if (text[p] != '{') {
      ++p;
      continue;
    }
    std::size_t q = text.find('}', p);
    if (q == std::string::npos) break;
    std::string value;
    if (!FindMacro(std::string_view(text).substr(p + 1, q - p - 1), value)) {
      p = q;
      continue;
    }
    text.replace(p, q - p + 1, value);
    p += value.size();
  }
  return text;
}

int TRLGraphicSurface::Orientation() const { return ReadIntegerValue(macros_, "Orientation", 1); }
void TRLGraphicSurface::SetOrientation(int value) { WriteIntegerValue(macros_, "Orientation", value); }
double TRLGraphicSurface::PaperWidth() const { return ReadRealValue(macros_, "PaperWidth"); }
void TRLGraphicSurface::SetPaperWidth(double value) { WriteRealValue(macros_, "PaperWidth", value); }
double TRLGraphicSurface::PaperHeight() const { return ReadRealValue(macros_, "PaperHeight"); }
void TRLGraphicSurface::SetPaperHeight(double value) { WriteRealValue(macros_, "PaperHeight", value); }

void TRLGraphicSurface::Open() {
  if (opened_) return;
  opened_ = true;
  pen_pos_ = {margins_.Left, margins_.Top};
  generator_id_ = nullptr;
  clip_rect_ = {0, 0, width_, height_};
  clip_stack_.clear();
}

void TRLGraphicSurface::Clear() {
  std::vector<TRLGraphicObject*> doomed;
  doomed.swap(objects_);
  for (TRLGraphicObject* object : doomed) {
    object->surface_ = nullptr;
    delete object;
  }
  fonts_.Clear();
  macros_.Clear();
  pen_pos_ = {0, 0};
  modified_ = true;
  generator_id_ = nullptr;
}

void TRLGraphicSurface::BeginRecording() {
  Open();
  modified_ = true;
}

void TRLGraphicSurface::FillRect(const TRect& rect) {
  BeginRecording();
  auto* object = new TRLFillRectObject(this);
  object->SetBoundsRect(rect);
  ToMetaBrush(brush_, object->Brush());
}

void TRLGraphicSurface::Rectangle(int x1, int y1, int x2, int y2) {
  BeginRecording();
  auto* object = new TRLRectangleObject(this);
  object->SetBoundsRect({x1, y1, x2, y2});
  ToMetaPen(pen_, object->Pen());
  ToMetaBrush(brush_, object->Brush());
}

void TRLGraphicSurface::Ellipse(const TRect& rect) {
  BeginRecording();
  auto* object = new TRLEllipseObject(this);
  object->SetBoundsRect(rect);
  ToMetaPen(pen_, object->Pen());
  ToMetaBrush(brush_, object->Brush());
}

void TRLGraphicSurface::Polygon(const TRLMetaPointArray& points) {
  BeginRecording();
  auto* object = new TRLPolygonObject(this);
  object->SetBoundsRect(PointBounds(points));
  object->SetPoints(points);
  ToMetaPen(pen_, object->Pen());
  ToMetaBrush(brush_, object->Brush());
}

void TRLGraphicSurface::Polyline(const TRLMetaPointArray& points) {
  BeginRecording();
  auto* object = new TRLPolylineObject(this);
  object->SetBoundsRect(PointBounds(points));
  object->SetPoints(points);
  ToMetaPen(pen_, object->Pen());
}

void TRLGraphicSurface::MoveTo(int x, int y) {
  BeginRecording();
  pen_pos_ = {x, y};
}

void TRLGraphicSurface::LineTo(int x, int y) {
  BeginRecording();
  auto* object = new TRLLineObject(this);
  object->SetBoundsRect(PointBounds({pen_pos_, {x, y}}));
  object->SetFromPoint(pen_pos_);
  object->SetToPoint({x, y});
  ToMetaPen(pen_, object->Pen());
  ToMetaBrush(brush_, object->Brush());
  pen_pos_ = {x, y};
}

void TRLGraphicSurface::SetPixel(int x, int y, TColor color) {
  BeginRecording();
  auto* object = new TRLPixelObject(this);
  object->SetBoundsRect({x, y, x + 1, y + 1});
  object->SetColor(ToMetaColor(color));
}

void TRLGraphicSurface::TextOut(const TRect& rect, int x, int y, std::string_view text, std::uint8_t alignment,
                                std::uint8_t layout, std::uint16_t textFlags) {
  BeginRecording();
  auto* object = new TRLTextObject(this);
  object->SetBoundsRect(rect);
  object->SetOrigin({x, y});
  object->SetText(std::string(text));
  object->SetAlignment(alignment);
  object->SetLayout(layout);
  object->SetTextFlags(textFlags);
  ToMetaBrush(brush_, object->Brush());
  ToMetaFont(font_, object->Font());
}

void TRLGraphicSurface::Draw(int x, int y, const TGraphic* graphic, bool integralScale) {
  int width = 0, height = 0;
  if (graphic) {
    width = graphic->Width();
    height = graphic->Height();
  }
  StretchDraw({x, y, x + width, y + height}, graphic, integralScale);
}

void TRLGraphicSurface::StretchDraw(const TRect& rect, const TGraphic* graphic, bool integralScale) {
  BeginRecording();
  std::string data = ToMetaGraphic(graphic);
  auto* object = new TRLImageObject(this);
  object->SetBoundsRect(rect);
  object->SetData(std::move(data));
  object->SetIntegralScale(integralScale ? 1 : 0);
}

void TRLGraphicSurface::SetClipRect(const TRect& rect) {
  BeginRecording();
  auto* object = new TRLSetClipRectObject(this);
  object->SetBoundsRect(rect);
  clip_stack_.push_back(clip_rect_);
  clip_rect_ = rect;
}

void TRLGraphicSurface::ResetClipRect() {
  BeginRecording();
  auto* object = new TRLResetClipRectObject(this);
  object->SetBoundsRect(clip_rect_);
  if (clip_stack_.empty()) {
    clip_rect_ = {0, 0, width_, height_};
  } else {
    clip_rect_ = clip_stack_.back();
    clip_stack_.pop_back();
  }
}

void TRLGraphicSurface::CopySurface(int x, int y, const TRLGraphicSurface& source) {
  BeginRecording();
  // Counted first: copying a surface onto itself must not copy the copies.
  int count = source.ObjectCount();
  for (int i = 0; i < count; ++i) {
    TRLGraphicObject* copy = source.Objects(i)->Clone(this);
    copy->Offset(x, y);
  }
}

void TRLGraphicSurface::MoveSurface(int x, int y, TRLGraphicSurface& source) {
  if (&source == this) {
    CopySurface(x, y, source);
    return;
  }
  BeginRecording();
  // The text objects' font indexes are worked out first, appending names to Fonts in object order as cloning does,
  // so that nothing has moved yet if that throws; handing the objects over below does not throw.
  std::vector<int> id_of_source_id(source.fonts_.Count(), -1);
  std::vector<int> name_ids;
  for (const TRLGraphicObject* object : source.objects_) {
    if (object->TypeCode() != TRLTextObject::kTypeCode) continue;
    const int source_id = static_cast<const TRLTextObject*>(object)->Font().NameId();
    const bool listed = source_id >= 0 && source_id < static_cast<int>(id_of_source_id.size());
    if (!listed) {
      name_ids.push_back(FontIndex(source.FontName(source_id)));
    } else {
      if (id_of_source_id[source_id] < 0) id_of_source_id[source_id] = FontIndex(source.FontName(source_id));
      name_ids.push_back(id_of_source_id[source_id]);
    }
  }
  objects_.reserve(objects_.size() + source.objects_.size());
  std::vector<TRLGraphicObject*> moving;
  moving.swap(source.objects_);
  source.modified_ = true;
  auto name_id = name_ids.begin();
  for (TRLGraphicObject* object : moving) {
    object->surface_ = this;
    objects_.push_back(object);
    if (object->TypeCode() == TRLTextObject::kTypeCode)
      static_cast<TRLTextObject*>(object)->Font().SetNameId(*name_id++);
    if (x != 0 || y != 0) object->Offset(x, y);
  }
}

void TRLGraphicSurface::CopyRect(const TRect& destRect, const TRLGraphicSurface& source, const TRect& sourceRect) {
  if (sourceRect.Width() <= 0 || sourceRect.Height() <= 0) return;
  double scaleX = static_cast<double>(destRect.Width()) / sourceRect.Width();
  double scaleY = static_cast<double>(destRect.Height()) / sourceRect.Height();
  int dx = AddClamped(destRect.Left, -RoundToInt(sourceRect.Left * scaleX));
  int dy = AddClamped(destRect.Top, -RoundToInt(sourceRect.Top * scaleY));
  SetClipRect(destRect);
  try {
    int count = source.ObjectCount();
    for (int i = 0; i < count; ++i) {
      const TRLGraphicObject* object = source.Objects(i);
      if (!Intersects(object->BoundsRect(), sourceRect)) continue;
      TRLGraphicObject* copy = object->Clone(this);
      copy->Scale(scaleX, scaleY);
      copy->Offset(dx, dy);
    }
  } catch (...) {
    ResetClipRect();
    throw;
  }
  ResetClipRect();
}

int TRLGraphicSurface::TextWidth(std::string_view text) {
  if (!measure_canvas_) measure_canvas_ = std::make_unique<TCanvas>();
  measure_canvas_->SetFont(font_);
  return measure_canvas_->TextWidth(text);
}

int TRLGraphicSurface::TextHeight(std::string_view text) {
  if (!measure_canvas_) measure_canvas_ = std::make_unique<TCanvas>();
  measure_canvas_->SetFont(font_);
  return measure_canvas_->TextHeight(text);
}

bool TRLGraphicSurface::FindFreeRow(int nearRow, int& row) const {
  row = nearRow;
  bool changed;
  do {
    changed = false;
    for (const TRLGraphicObject* object : objects_) {
      const auto* text = dynamic_cast<const TRLTextObject*>(object);
      if (!text || !(text->TextFlags() & tfKeepTogether)) continue;
      const TRect& bounds = text->BoundsRect();
      if (bounds.Top < row && row < bounds.Bottom) {
        row = bounds.Top;
        changed = true;
      }
    }
  } while (changed && row > 0);
  return row > 0;
}

std::unique_ptr<TRLGraphicSurface> TRLGraphicSurface::StandaloneCopy() const {
  TRLMemoryStream stream;
  SaveToStream(stream);
  stream.Seek(0);
  auto copy = std::make_unique<TRLGraphicSurface>();
  copy->LoadFromStream(stream);
  copy->page_index_ = page_index_;
  if (storage_) copy->AddMacros(storage_->MacroLines());
  return copy;
}

void TRLGraphicSurface::AddMacros(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos && macros_.IndexOfName(line.substr(0, equals)) < 0) macros_.Add(line);
  }
}

bool TRLGraphicSurface::SelfContained() const {
  if (width_ <= 0 || height_ <= 0) return false;
  for (const auto& object : objects_) {
    const auto* text = dynamic_cast<const TRLTextObject*>(object);
    if (!text) continue;
    const std::string& value = text->Text();
    for (std::size_t open = value.find('{'); open != std::string::npos; open = value.find('{', open + 1)) {
      const std::size_t close = value.find('}', open);
      if (close == std::string::npos) break;
      if (macros_.IndexOfName(std::string_view(value).substr(open + 1, close - open - 1)) < 0) return false;
    }
  }
  return true;
}

void TRLGraphicSurface::SaveToStream(TRLStream& stream) const {
  stream.Write(kSurfaceSignature, kSignatureLength);
  stream.WriteInt32(width_);
  stream.WriteInt32(height_);
  stream.WriteInt32(macros_.Count());
  for (const std::string& line : macros_.Lines()) stream.WriteString(line);
  stream.WriteInt32(fonts_.Count());
  for (const std::string& name : fonts_.Lines()) stream.WriteString(name);
  stream.WriteInt32(ObjectCount());
  for (const TRLGraphicObject* object : objects_) {
    stream.WriteByte(object->TypeCode());
    std::int64_t size_position = stream.Position();
    stream.WriteInt32(0);
    std::int64_t start = stream.Position();
    object->SaveToStream(stream);
    std::int64_t end = stream.Position();
    stream.Seek(size_position);
    stream.WriteInt32(static_cast<std::int32_t>(end - start));
    stream.Seek(end);
  }
}

void TRLGraphicSurface::LoadFromStream(TRLStream& source) {
  Clear();
  // Every count and length is checked against what is left before anything is allocated for it, and each object
  // reads only within its own payload.
  TRLStreamWindow stream(source, source.Size());
  try {
    char signature[20];
    std::size_t length = 0;
    while (length < sizeof signature) {
      if (stream.Read(&signature[length], 1) != 1) break;
      if (signature[length++] == '\x1A') break;
    }
    if (std::string_view(signature, length) != std::string_view(kSurfaceSignature, kSignatureLength)) {
      throw ERLCorruptedFile();
    }
    width_ = stream.ReadInt32();
    height_ = stream.ReadInt32();

    auto read_lines = [&stream](TStrings& lines) {
      std::int32_t count = stream.ReadInt32();
      if (count < 0 || count > stream.Remaining() / 4) throw ERLCorruptedFile();
      lines.BeginUpdate();
      for (std::int32_t i = 0; i < count; ++i) lines.Add(stream.ReadString());
      lines.EndUpdate();
    };
    read_lines(macros_);
    read_lines(fonts_);

    std::int32_t count = stream.ReadInt32();
    if (count < 0 || count > stream.Remaining() / 5) throw ERLCorruptedFile();
    objects_.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
      std::uint8_t code = stream.ReadByte();
      std::int32_t size = stream.ReadInt32();
      if (size < 0 || size > stream.Remaining()) throw ERLCorruptedFile();
      std::int64_t end = stream.Position() + size;
      if (TRLGraphicObject* object = CreateGraphicObject(code, this)) {
        TRLStreamWindow payload(stream, end);
        object->LoadFromStream(payload);
      }
      stream.Seek(end);
    }
  } catch (const ERLFileError&) {
    Clear();
    modified_ = false;
    throw;
  } catch (const ERLStreamError&) {
    Clear();
    modified_ = false;
    throw ERLCorruptedFile();
  }
  modified_ = false;
}
