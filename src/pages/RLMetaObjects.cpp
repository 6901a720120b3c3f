#include "pages/RLMetaObjects.h"

#include "core/Text.h"
#include "pages/RLMetaSurface.h"
#include "pages/RLUtils.h"

#include <algorithm>
#include <atomic>

namespace {

void WriteColor(TRLStream& stream, TRLMetaColor color) {
  std::uint8_t bytes[3] = {color.Red, color.Green, color.Blue};
  stream.Write(bytes, 3);
}

TRLMetaColor ReadColor(TRLStream& stream) {
  std::uint8_t bytes[3];
  stream.ReadBuffer(bytes, 3);
  return {bytes[0], bytes[1], bytes[2]};
}

void WritePoint(TRLStream& stream, TPoint p) {
  stream.WriteInt32(p.X);
  stream.WriteInt32(p.Y);
}

TPoint ReadPoint(TRLStream& stream) {
  TPoint p;
  p.X = stream.ReadInt32();
  p.Y = stream.ReadInt32();
  return p;
}

void WritePoints(TRLStream& stream, const TRLMetaPointArray& points) {
  stream.WriteInt32(static_cast<std::int32_t>(points.size()));
  for (const TPoint& p : points) WritePoint(stream, p);
}

TRLMetaPointArray ReadPoints(TRLStream& stream) {
  std::int32_t count = stream.ReadInt32();
  if (count < 0 || count > stream.Remaining() / 8) throw ERLCorruptedFile();
  TRLMetaPointArray points(static_cast<std::size_t>(count));
  for (TPoint& p : points) p = ReadPoint(stream);
  return points;
}

TPoint Moved(TPoint p, int dx, int dy) { return {AddClamped(p.X, dx), AddClamped(p.Y, dy)}; }

TPoint ScalePoint(TPoint p, double scaleX, double scaleY) {
  return {RoundToInt(p.X * scaleX), RoundToInt(p.Y * scaleY)};
}

void ScalePenWidth(TRLMetaPen& pen, double scaleX) {
  if (pen.Width() != 0) pen.SetWidth(std::max(1, RoundToInt(pen.Width() * scaleX)));
}

template <typename T>
const T& SameClass(const TRLGraphicObject& source) {
  return dynamic_cast<const T&>(source);
}

std::atomic<int> group_counter{0};

}  // namespace

int NewGroupId() { return ++group_counter; }

// Pen, brush and font records.

void TRLMetaPen::Assign(const TRLMetaPen& source) {
  color_ = source.color_;
  mode_ = source.mode_;
  style_ = source.style_;
  width_ = source.width_;
}

void TRLMetaPen::SaveToStream(TRLStream& stream) const {
  WriteColor(stream, color_);
  stream.WriteByte(mode_);
  stream.WriteByte(style_);
  stream.WriteInt32(width_);
}

void TRLMetaPen::LoadFromStream(TRLStream& stream) {
  color_ = ReadColor(stream);
  mode_ = stream.ReadByte();
  style_ = stream.ReadByte();
  width_ = stream.ReadInt32();
}

void TRLMetaBrush::Assign(const TRLMetaBrush& source) {
  color_ = source.color_;
  style_ = source.style_;
}

void TRLMetaBrush::SaveToStream(TRLStream& stream) const {
  WriteColor(stream, color_);
  stream.WriteByte(style_);
}

void TRLMetaBrush::LoadFromStream(TRLStream& stream) {
  color_ = ReadColor(stream);
  style_ = stream.ReadByte();
}

std::string TRLMetaFont::Name() const {
  TRLGraphicSurface* surface = owner_ ? owner_->Surface() : nullptr;
  return surface ? surface->FontName(name_id_) : std::string();
}

void TRLMetaFont::SetName(const std::string& name) {
  TRLGraphicSurface* surface = owner_ ? owner_->Surface() : nullptr;
  if (surface) name_id_ = surface->FontIndex(name);
}

void TRLMetaFont::Assign(const TRLMetaFont& source) {
  pixels_per_inch_ = source.pixels_per_inch_;
  charset_ = source.charset_;
  color_ = source.color_;
  height_ = source.height_;
  pitch_ = source.pitch_;
  size_ = source.size_;
  style_ = source.style_;
  // The index belongs to the source's surface; a copy on another surface needs its own entry.
  TRLGraphicSurface* from = source.owner_ ? source.owner_->Surface() : nullptr;
  TRLGraphicSurface* to = owner_ ? owner_->Surface() : nullptr;
  if (from && to && from != to) name_id_ = to->FontIndex(from->FontName(source.name_id_));
  else name_id_ = source.name_id_;
}

void TRLMetaFont::SaveToStream(TRLStream& stream) const {
  stream.WriteInt32(pixels_per_inch_);
  stream.WriteByte(charset_);
  WriteColor(stream, color_);
  stream.WriteInt32(height_);
  stream.WriteInt32(name_id_);
  stream.WriteByte(pitch_);
  stream.WriteInt32(size_);
  stream.WriteByte(style_);
}

void TRLMetaFont::LoadFromStream(TRLStream& stream) {
  pixels_per_inch_ = stream.ReadInt32();
  charset_ = stream.ReadByte();
  color_ = ReadColor(stream);
  height_ = stream.ReadInt32();
  name_id_ = stream.ReadInt32();
  pitch_ = stream.ReadByte();
  size_ = stream.ReadInt32();
  style_ = stream.ReadByte();
}

// The object family.

TRLGraphicObject::TRLGraphicObject(TRLGraphicSurface* surface) : surface_(surface), group_id_(group_counter.load()) {
  if (surface_) surface_->objects_.push_back(this);
}

TRLGraphicObject::~TRLGraphicObject() {
  if (!surface_) return;
  auto& list = surface_->objects_;
  auto it = std::find(list.rbegin(), list.rend(), this);
  if (it != list.rend()) list.erase(std::next(it).base());
}

void TRLGraphicObject::SaveToStream(TRLStream& stream) const {
  stream.WriteInt32(bounds_.Left);
  stream.WriteInt32(bounds_.Top);
  stream.WriteInt32(bounds_.Right);
  stream.WriteInt32(bounds_.Bottom);
  stream.WriteInt32(group_id_);
  stream.WriteInt32(tag_);
}

void TRLGraphicObject::LoadFromStream(TRLStream& stream) {
  bounds_.Left = stream.ReadInt32();
  bounds_.Top = stream.ReadInt32();
  bounds_.Right = stream.ReadInt32();
  bounds_.Bottom = stream.ReadInt32();
  group_id_ = stream.ReadInt32();
  tag_ = stream.ReadInt32();
}

void TRLGraphicObject::Assign(const TRLGraphicObject& source) {
  bounds_ = source.bounds_;
  group_id_ = source.group_id_;
  tag_ = source.tag_;
}

void TRLGraphicObject::Offset(int dx, int dy) {
  bounds_.Left = AddClamped(bounds_.Left, dx);
  bounds_.Right = AddClamped(bounds_.Right, dx);
  bounds_.Top = AddClamped(bounds_.Top, dy);
  bounds_.Bottom = AddClamped(bounds_.Bottom, dy);
}

void TRLGraphicObject::Scale(double scaleX, double scaleY) {
  bounds_.Left = RoundToInt(bounds_.Left * scaleX);
  bounds_.Right = RoundToInt(bounds_.Right * scaleX);
  bounds_.Top = RoundToInt(bounds_.Top * scaleY);
  bounds_.Bottom = RoundToInt(bounds_.Bottom * scaleY);
}

TRLGraphicObject* TRLGraphicObject::Clone(TRLGraphicSurface* surface) const {
  TRLGraphicObject* copy = CreateGraphicObject(TypeCode(), surface);
  copy->Assign(*this);
  return copy;
}

TRLGraphicObject* CreateGraphicObject(std::uint8_t typeCode, TRLGraphicSurface* surface) {
  switch (typeCode) {
    case 1: return new TRLPixelObject(surface);
    case 2: return new TRLLineObject(surface);
    case 3: return new TRLRectangleObject(surface);
    case 4: return new TRLTextObject(surface);
    case 5: return new TRLFillRectObject(surface);
    case 6: return new TRLEllipseObject(surface);
    case 7: return new TRLPolygonObject(surface);
    case 8: return new TRLPolylineObject(surface);
    case 9: return new TRLImageObject(surface);
    case 10: return new TRLSetClipRectObject(surface);
    case 11: return new TRLResetClipRectObject(surface);
    default: return nullptr;
  }
}

void TRLPixelObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  WriteColor(stream, color_);
}

void TRLPixelObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  color_ = ReadColor(stream);
}

void TRLPixelObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  color_ = SameClass<TRLPixelObject>(source).color_;
}

void TRLLineObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  WritePoint(stream, from_);
  WritePoint(stream, to_);
  pen_.SaveToStream(stream);
  brush_.SaveToStream(stream);
}

void TRLLineObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  from_ = ReadPoint(stream);
  to_ = ReadPoint(stream);
  pen_.LoadFromStream(stream);
  brush_.LoadFromStream(stream);
}

void TRLLineObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  const auto& other = SameClass<TRLLineObject>(source);
  from_ = other.from_;
  to_ = other.to_;
  pen_.Assign(other.pen_);
  brush_.Assign(other.brush_);
}

void TRLLineObject::Offset(int dx, int dy) {
  TRLGraphicObject::Offset(dx, dy);
  from_ = Moved(from_, dx, dy);
  to_ = Moved(to_, dx, dy);
}

void TRLLineObject::Scale(double scaleX, double scaleY) {
  TRLGraphicObject::Scale(scaleX, scaleY);
  from_ = ScalePoint(from_, scaleX, scaleY);
  to_ = ScalePoint(to_, scaleX, scaleY);
  ScalePenWidth(pen_, scaleX);
}

void TRLRectangleObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  pen_.SaveToStream(stream);
  brush_.SaveToStream(stream);
}

void TRLRectangleObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  pen_.LoadFromStream(stream);
  brush_.LoadFromStream(stream);
}

void TRLRectangleObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  const auto& other = SameClass<TRLRectangleObject>(source);
  pen_.Assign(other.pen_);
  brush_.Assign(other.brush_);
}

void TRLRectangleObject::Scale(double scaleX, double scaleY) {
  TRLGraphicObject::Scale(scaleX, scaleY);
  ScalePenWidth(pen_, scaleX);
}

std::string TRLTextObject::DisplayText() const {
  if (!Surface() || text_.find('{') == std::string::npos) return text_;
  return Surface()->ExpandMacros(text_);
}

void TRLTextObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  stream.WriteByte(alignment_);
  stream.WriteByte(layout_);
  WritePoint(stream, origin_);
  stream.WriteWord(text_flags_);
  stream.WriteString(text_);
  brush_.SaveToStream(stream);
  font_.SaveToStream(stream);
}

void TRLTextObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  alignment_ = stream.ReadByte();
  layout_ = stream.ReadByte();
  origin_ = ReadPoint(stream);
  text_flags_ = stream.ReadWord();
  text_ = stream.ReadString();
  brush_.LoadFromStream(stream);
  font_.LoadFromStream(stream);
}

void TRLTextObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  const auto& other = SameClass<TRLTextObject>(source);
  brush_.Assign(other.brush_);
  font_.Assign(other.font_);
  text_ = other.text_;
  origin_ = other.origin_;
  alignment_ = other.alignment_;
  layout_ = other.layout_;
  text_flags_ = other.text_flags_;
}

void TRLTextObject::Offset(int dx, int dy) {
  TRLGraphicObject::Offset(dx, dy);
  origin_ = Moved(origin_, dx, dy);
}

void TRLTextObject::Scale(double scaleX, double scaleY) {
  TRLGraphicObject::Scale(scaleX, scaleY);
  origin_ = ScalePoint(origin_, scaleX, scaleY);
  font_.SetSize(RoundToInt(font_.Size() * scaleY));
}

void TRLFillRectObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  brush_.SaveToStream(stream);
}

void TRLFillRectObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  brush_.LoadFromStream(stream);
}

void TRLFillRectObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  brush_.Assign(SameClass<TRLFillRectObject>(source).brush_);
}

void TRLEllipseObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  pen_.SaveToStream(stream);
  brush_.SaveToStream(stream);
}

void TRLEllipseObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  pen_.LoadFromStream(stream);
  brush_.LoadFromStream(stream);
}

void TRLEllipseObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  const auto& other = SameClass<TRLEllipseObject>(source);
  pen_.Assign(other.pen_);
  brush_.Assign(other.brush_);
}

void TRLEllipseObject::Scale(double scaleX, double scaleY) {
  TRLGraphicObject::Scale(scaleX, scaleY);
  ScalePenWidth(pen_, scaleX);
}

void TRLPolygonObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  pen_.SaveToStream(stream);
  brush_.SaveToStream(stream);
  WritePoints(stream, points_);
}

void TRLPolygonObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  pen_.LoadFromStream(stream);
  brush_.LoadFromStream(stream);
  points_ = ReadPoints(stream);
}

void TRLPolygonObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  const auto& other = SameClass<TRLPolygonObject>(source);
  pen_.Assign(other.pen_);
  brush_.Assign(other.brush_);
  points_ = other.points_;
}

void TRLPolygonObject::Offset(int dx, int dy) {
  TRLGraphicObject::Offset(dx, dy);
  for (TPoint& p : points_) p = Moved(p, dx, dy);
}

void TRLPolygonObject::Scale(double scaleX, double scaleY) {
  TRLGraphicObject::Scale(scaleX, scaleY);
  for (TPoint& p : points_) p = ScalePoint(p, scaleX, scaleY);
  ScalePenWidth(pen_, scaleX);
}

void TRLPolylineObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  pen_.SaveToStream(stream);
  WritePoints(stream, points_);
}

void TRLPolylineObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  pen_.LoadFromStream(stream);
  points_ = ReadPoints(stream);
}

void TRLPolylineObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  const auto& other = SameClass<TRLPolylineObject>(source);
  pen_.Assign(other.pen_);
  points_ = other.points_;
}

void TRLPolylineObject::Offset(int dx, int dy) {
  TRLGraphicObject::Offset(dx, dy);
  for (TPoint& p : points_) p = Moved(p, dx, dy);
}

void TRLPolylineObject::Scale(double scaleX, double scaleY) {
  TRLGraphicObject::Scale(scaleX, scaleY);
  for (TPoint& p : points_) p = ScalePoint(p, scaleX, scaleY);
  ScalePenWidth(pen_, scaleX);
}

void TRLImageObject::SaveToStream(TRLStream& stream) const {
  TRLGraphicObject::SaveToStream(stream);
  stream.WriteString(data_);
  stream.WriteByte(integral_scale_);
}

void TRLImageObject::LoadFromStream(TRLStream& stream) {
  TRLGraphicObject::LoadFromStream(stream);
  data_ = stream.ReadString();
  integral_scale_ = stream.ReadByte();
}

void TRLImageObject::Assign(const TRLGraphicObject& source) {
  TRLGraphicObject::Assign(source);
  const auto& other = SameClass<TRLImageObject>(source);
  data_ = other.data_;
  integral_scale_ = other.integral_scale_;
}
