#pragma once

// The graphic objects that a page surface records, each with its byte layout, and the colour, pen, brush and font
// records they carry.

#include "core/Classes.h"
#include "core/Strings.h"
#include "graphics/Canvas.h"
#include "pages/RLStream.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TGraphic;
class TPicture;
class TRLGraphicObject;
class TRLGraphicSurface;
class TRLGraphicStorage;

struct TRLMetaColor {
  std::uint8_t Red = 0, Green = 0, Blue = 0;
  bool operator==(const TRLMetaColor&) const = default;
};

using TRLMetaPointArray = std::vector<TPoint>;

// Text flags of a text object.
constexpr std::uint16_t tfNoClip = 1;        // drawn without clipping to its bounds
constexpr std::uint16_t tfKeepTogether = 4;  // FindFreeRow never cuts it

// Alignment and layout bytes of a text object.
constexpr std::uint8_t MetaTextAlignmentLeft = 1;
constexpr std::uint8_t MetaTextAlignmentRight = 2;
constexpr std::uint8_t MetaTextAlignmentCenter = 3;
constexpr std::uint8_t MetaTextAlignmentJustify = 4;
constexpr std::uint8_t MetaTextLayoutTop = 1;
constexpr std::uint8_t MetaTextLayoutBottom = 2;
constexpr std::uint8_t MetaTextLayoutCenter = 3;

// The process-wide group counter: each call returns the next number, starting at 1. A new object takes the
// counter's value, so everything one control records after its call shares that number.
int NewGroupId();

class TRLMetaPen {
public:
  explicit TRLMetaPen(TRLGraphicObject* owner) : owner_(owner) {}
  TRLGraphicObject* Owner() const { return owner_; }

  TRLMetaColor Color() const { return color_; }
  void SetColor(TRLMetaColor color) { color_ = color; }
  // The platform's pen mode ordinal + 1.
  std::uint8_t Mode() const { return mode_; }
  void SetMode(std::uint8_t mode) { mode_ = mode; }
  // The platform's pen style ordinal + 1.
  std::uint8_t Style() const { return style_; }
  void SetStyle(std::uint8_t style) { style_ = style; }
  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width; }

  void Assign(const TRLMetaPen& source);
  void SaveToStream(TRLStream& stream) const;
  void LoadFromStream(TRLStream& stream);

private:
  TRLGraphicObject* owner_;
  TRLMetaColor color_;
  std::uint8_t mode_ = 5;
  std::uint8_t style_ = 1;
  int width_ = 0;
};

class TRLMetaBrush {
public:
  explicit TRLMetaBrush(TRLGraphicObject* owner) : owner_(owner) {}
  TRLGraphicObject* Owner() const { return owner_; }

  TRLMetaColor Color() const { return color_; }
  void SetColor(TRLMetaColor color) { color_ = color; }
  // The platform's brush style ordinal + 1.
  std::uint8_t Style() const { return style_; }
  void SetStyle(std::uint8_t style) { style_ = style; }

  void Assign(const TRLMetaBrush& source);
  void SaveToStream(TRLStream& stream) const;
  void LoadFromStream(TRLStream& stream);

private:
  TRLGraphicObject* owner_;
  TRLMetaColor color_;
  std::uint8_t style_ = 1;
};

class TRLMetaFont {
public:
  explicit TRLMetaFont(TRLGraphicObject* owner) : owner_(owner) {}
  TRLGraphicObject* Owner() const { return owner_; }

  int PixelsPerInch() const { return pixels_per_inch_; }
  void SetPixelsPerInch(int value) { pixels_per_inch_ = value; }
  std::uint8_t Charset() const { return charset_; }
  void SetCharset(std::uint8_t value) { charset_ = value; }
  TRLMetaColor Color() const { return color_; }
  void SetColor(TRLMetaColor value) { color_ = value; }
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value; }
  // Index of the face name in the owning surface's font list.
  int NameId() const { return name_id_; }
  void SetNameId(int value) { name_id_ = value; }
  // The face name, through the owning surface's font list (empty without one or for an unknown index).
  std::string Name() const;
  void SetName(const std::string& name);
  // The platform's font pitch ordinal + 1.
  std::uint8_t Pitch() const { return pitch_; }
  void SetPitch(std::uint8_t value) { pitch_ = value; }
  int Size() const { return size_; }
  void SetSize(int value) { size_ = value; }
  // 1 bold, 2 italic, 4 underline, 8 strike-out.
  std::uint8_t Style() const { return style_; }
  void SetStyle(std::uint8_t value) { style_ = value; }

  void Assign(const TRLMetaFont& source);
  void SaveToStream(TRLStream& stream) const;
  void LoadFromStream(TRLStream& stream);

private:
  TRLGraphicObject* owner_;
  int pixels_per_inch_ = 72;
  std::uint8_t charset_ = 0;
  TRLMetaColor color_;
  int height_ = 0;
  int name_id_ = 0;
  std::uint8_t pitch_ = 1;
  int size_ = 0;
  std::uint8_t style_ = 0;
};

// A recorded drawing operation. Creating one with a surface appends it to that surface's object list, which owns
// it; destroying it takes it out of the list.
class TRLGraphicObject {
public:
  explicit TRLGraphicObject(TRLGraphicSurface* surface);
  virtual ~TRLGraphicObject();
  TRLGraphicObject(const TRLGraphicObject&) = delete;
  TRLGraphicObject& operator=(const TRLGraphicObject&) = delete;

  // The code that identifies the class in a stream (1 to 11).
  virtual std::uint8_t TypeCode() const = 0;

  TRLGraphicSurface* Surface() const { return surface_; }
  const TRect& BoundsRect() const { return bounds_; }
  void SetBoundsRect(const TRect& rect) { bounds_ = rect; }
  int GroupId() const { return group_id_; }
  void SetGroupId(int value) { group_id_ = value; }
  int Tag() const { return tag_; }
  void SetTag(int value) { tag_ = value; }

  // The payload (without type code and size).
  virtual void SaveToStream(TRLStream& stream) const;
  virtual void LoadFromStream(TRLStream& stream);
  // Draws the object mapping a recorded point (px, py) to (x + round(px * scaleX), y + round(py * scaleY)).
  virtual void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) = 0;
  // Copies every field from an object of the same class.
  virtual void Assign(const TRLGraphicObject& source);
  virtual void Offset(int dx, int dy);
  virtual void Scale(double scaleX, double scaleY);

  // A new object of the same class on `surface`, assigned from this one.
  TRLGraphicObject* Clone(TRLGraphicSurface* surface) const;

private:
  friend class TRLGraphicSurface;
  TRLGraphicSurface* surface_;
  TRect bounds_;
  int group_id_ = 0;
  int tag_ = 0;
};

// A new object of the class with that type code on `surface`; null for an unknown code.
TRLGraphicObject* CreateGraphicObject(std::uint8_t typeCode, TRLGraphicSurface* surface);

class TRLPixelObject : public TRLGraphicObject {
public:
  using TRLGraphicObject::TRLGraphicObject;
  std::uint8_t TypeCode() const override { return 1; }
  TRLMetaColor Color() const { return color_; }
  void SetColor(TRLMetaColor color) { color_ = color; }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;

private:
  TRLMetaColor color_;
};

class TRLLineObject : public TRLGraphicObject {
public:
  explicit TRLLineObject(TRLGraphicSurface* surface) : TRLGraphicObject(surface), pen_(this), brush_(this) {}
  std::uint8_t TypeCode() const override { return 2; }
  TPoint FromPoint() const { return from_; }
  void SetFromPoint(TPoint p) { from_ = p; }
  TPoint ToPoint() const { return to_; }
  void SetToPoint(TPoint p) { to_ = p; }
  TRLMetaPen& Pen() { return pen_; }
  const TRLMetaPen& Pen() const { return pen_; }
  TRLMetaBrush& Brush() { return brush_; }
  const TRLMetaBrush& Brush() const { return brush_; }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;
  void Offset(int dx, int dy) override;
  void Scale(double scaleX, double scaleY) override;

private:
  TPoint from_, to_;
  TRLMetaPen pen_;
  TRLMetaBrush brush_;
};

class TRLRectangleObject : public TRLGraphicObject {
public:
  explicit TRLRectangleObject(TRLGraphicSurface* surface) : TRLGraphicObject(surface), pen_(this), brush_(this) {}
  std::uint8_t TypeCode() const override { return 3; }
  TRLMetaPen& Pen() { return pen_; }
  const TRLMetaPen& Pen() const { return pen_; }
  TRLMetaBrush& Brush() { return brush_; }
  const TRLMetaBrush& Brush() const { return brush_; }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;
  void Scale(double scaleX, double scaleY) override;

private:
  TRLMetaPen pen_;
  TRLMetaBrush brush_;
};

class TRLTextObject : public TRLGraphicObject {
public:
  explicit TRLTextObject(TRLGraphicSurface* surface) : TRLGraphicObject(surface), brush_(this), font_(this) {}
  static constexpr std::uint8_t kTypeCode = 4;
  std::uint8_t TypeCode() const override { return kTypeCode; }
  TRLMetaBrush& Brush() { return brush_; }
  const TRLMetaBrush& Brush() const { return brush_; }
  TRLMetaFont& Font() { return font_; }
  const TRLMetaFont& Font() const { return font_; }
  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }
  // The text with the surface's (and its collection's) macros in braces replaced by their values.
  std::string DisplayText() const;
  TPoint Origin() const { return origin_; }
  void SetOrigin(TPoint p) { origin_ = p; }
  std::uint8_t Alignment() const { return alignment_; }
  void SetAlignment(std::uint8_t value) { alignment_ = value; }
  std::uint8_t Layout() const { return layout_; }
  void SetLayout(std::uint8_t value) { layout_ = value; }
  std::uint16_t TextFlags() const { return text_flags_; }
  void SetTextFlags(std::uint16_t value) { text_flags_ = value; }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;
  void Offset(int dx, int dy) override;
  void Scale(double scaleX, double scaleY) override;

private:
  TRLMetaBrush brush_;
  TRLMetaFont font_;
  std::string text_;
  TPoint origin_;
  std::uint8_t alignment_ = MetaTextAlignmentLeft;
  std::uint8_t layout_ = MetaTextLayoutTop;
  std::uint16_t text_flags_ = tfNoClip | tfKeepTogether;
};

class TRLFillRectObject : public TRLGraphicObject {
public:
  explicit TRLFillRectObject(TRLGraphicSurface* surface) : TRLGraphicObject(surface), brush_(this) {}
  std::uint8_t TypeCode() const override { return 5; }
  TRLMetaBrush& Brush() { return brush_; }
  const TRLMetaBrush& Brush() const { return brush_; }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;

private:
  TRLMetaBrush brush_;
};

class TRLEllipseObject : public TRLGraphicObject {
public:
  explicit TRLEllipseObject(TRLGraphicSurface* surface) : TRLGraphicObject(surface), pen_(this), brush_(this) {}
  std::uint8_t TypeCode() const override { return 6; }
  TRLMetaPen& Pen() { return pen_; }
  const TRLMetaPen& Pen() const { return pen_; }
  TRLMetaBrush& Brush() { return brush_; }
  const TRLMetaBrush& Brush() const { return brush_; }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;
  void Scale(double scaleX, double scaleY) override;

private:
  TRLMetaPen pen_;
  TRLMetaBrush brush_;
};

class TRLPolygonObject : public TRLGraphicObject {
public:
  explicit TRLPolygonObject(TRLGraphicSurface* surface) : TRLGraphicObject(surface), pen_(this), brush_(this) {}
  std::uint8_t TypeCode() const override { return 7; }
  TRLMetaPen& Pen() { return pen_; }
  const TRLMetaPen& Pen() const { return pen_; }
  TRLMetaBrush& Brush() { return brush_; }
  const TRLMetaBrush& Brush() const { return brush_; }
  const TRLMetaPointArray& Points() const { return points_; }
  void SetPoints(TRLMetaPointArray points) { points_ = std::move(points); }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;
  void Offset(int dx, int dy) override;
  void Scale(double scaleX, double scaleY) override;

private:
  TRLMetaPen pen_;
  TRLMetaBrush brush_;
  TRLMetaPointArray points_;
};

class TRLPolylineObject : public TRLGraphicObject {
public:
  explicit TRLPolylineObject(TRLGraphicSurface* surface) : TRLGraphicObject(surface), pen_(this) {}
  std::uint8_t TypeCode() const override { return 8; }
  TRLMetaPen& Pen() { return pen_; }
  const TRLMetaPen& Pen() const { return pen_; }
  const TRLMetaPointArray& Points() const { return points_; }
  void SetPoints(TRLMetaPointArray points) { points_ = std::move(points); }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;
  void Offset(int dx, int dy) override;
  void Scale(double scaleX, double scaleY) override;

private:
  TRLMetaPen pen_;
  TRLMetaPointArray points_;
};

class TRLImageObject : public TRLGraphicObject {
public:
  using TRLGraphicObject::TRLGraphicObject;
  std::uint8_t TypeCode() const override { return 9; }
  // A three-letter tag ("BMP", "ICO" or "NIL") and the picture's file image.
  const std::string& Data() const { return data_; }
  void SetData(std::string data) { data_ = std::move(data); }
  std::uint8_t IntegralScale() const { return integral_scale_; }
  void SetIntegralScale(std::uint8_t value) { integral_scale_ = value; }
  void SaveToStream(TRLStream& stream) const override;
  void LoadFromStream(TRLStream& stream) override;
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
  void Assign(const TRLGraphicObject& source) override;

private:
  std::string data_;
  std::uint8_t integral_scale_ = 0;
};

// Its bounds are the clip rectangle.
class TRLSetClipRectObject : public TRLGraphicObject {
public:
  using TRLGraphicObject::TRLGraphicObject;
  static constexpr std::uint8_t kTypeCode = 10;
  std::uint8_t TypeCode() const override { return kTypeCode; }
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
};

class TRLResetClipRectObject : public TRLGraphicObject {
public:
  using TRLGraphicObject::TRLGraphicObject;
  static constexpr std::uint8_t kTypeCode = 11;
  std::uint8_t TypeCode() const override { return kTypeCode; }
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
};
