#pragma once

// The device-independent page: a drawing surface that records graphic objects, the objects themselves with
// their byte layout, and the collection of a report's pages with the report file it writes.

#include "framework/Canvas.h"
#include "framework/Classes.h"
#include "framework/Strings.h"
#include "pages/RLStream.h"

#include <cstdint>
#include <memory>
#include <mutex>
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

// The process-wide group counter: each call returns the next number, starting at 1.
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
  std::uint8_t TypeCode() const override { return 4; }
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
  std::uint8_t TypeCode() const override { return 10; }
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
};

class TRLResetClipRectObject : public TRLGraphicObject {
public:
  using TRLGraphicObject::TRLGraphicObject;
  std::uint8_t TypeCode() const override { return 11; }
  void PaintTo(TCanvas& canvas, int x, int y, double scaleX, double scaleY) override;
};

// One page, or a scratch page, as a list of graphic objects. Used by one thread at a time.
class TRLGraphicSurface {
public:
  TRLGraphicSurface();
  ~TRLGraphicSurface();
  TRLGraphicSurface(const TRLGraphicSurface&) = delete;
  TRLGraphicSurface& operator=(const TRLGraphicSurface&) = delete;

  TRLGraphicStorage* Storage() const { return storage_; }
  int PageIndex() const { return page_index_; }

  int ObjectCount() const { return static_cast<int>(objects_.size()); }
  TRLGraphicObject* Objects(int index) const;

  TPoint PenPos() const { return pen_pos_; }
  void SetPenPos(TPoint pos) { pen_pos_ = pos; }
  int Width() const { return width_; }
  void SetWidth(int value) { width_ = value; }
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value; }
  const TRect& Margins() const { return margins_; }
  void SetMargins(const TRect& rect) { margins_ = rect; }
  bool Opened() const { return opened_; }
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }
  TObject* GeneratorId() const { return generator_id_; }
  void SetGeneratorId(TObject* generator) { generator_id_ = generator; }

  // The drawing state that new objects take.
  TBrush& Brush() { return brush_; }
  TFont& Font() { return font_; }
  TPen& Pen() { return pen_; }
  void SetBrush(const TBrush& brush) { brush_.Assign(brush); }
  void SetFont(const TFont& font);
  void SetPen(const TPen& pen) { pen_.Assign(pen); }

  // Distinct face names of the text objects.
  const TStrings& Fonts() const { return fonts_; }
  // Index of a face name in Fonts, appended when absent.
  int FontIndex(const std::string& name);
  std::string FontName(int index) const;

  // name=value lines: per-page named values and text macros.
  TStrings& Macros() { return macros_; }
  const TStrings& Macros() const { return macros_; }
  // The value of a macro name in this surface's Macros or, failing that, in its collection's named values.
  bool FindMacro(std::string_view name, std::string& value) const;
  // `text` with every "{Name}" that names a macro replaced by its value.
  std::string ExpandMacros(std::string text) const;

  // Per-page named values: orientation 1 portrait or 2 landscape; paper size in millimetres.
  int Orientation() const;
  void SetOrientation(int value);
  double PaperWidth() const;
  void SetPaperWidth(double value);
  double PaperHeight() const;
  void SetPaperHeight(double value);

  const TRect& ClipRect() const { return clip_rect_; }
  void SetClipRectValue(const TRect& rect) { clip_rect_ = rect; }
  std::vector<TRect>& ClipStack() { return clip_stack_; }

  void Open();
  void Close() { opened_ = false; }
  // Frees every object and empties Fonts and Macros.
  void Clear();

  // Recording.
  void FillRect(const TRect& rect);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void Ellipse(const TRect& rect);
  void Polygon(const TRLMetaPointArray& points);
  void Polyline(const TRLMetaPointArray& points);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void SetPixel(int x, int y, TColor color);
  void TextOut(const TRect& rect, int x, int y, std::string_view text, std::uint8_t alignment, std::uint8_t layout,
               std::uint16_t textFlags);
  // `graphic` may be null (no picture).
  void Draw(int x, int y, const TGraphic* graphic, bool integralScale = false);
  void StretchDraw(const TRect& rect, const TGraphic* graphic, bool integralScale = false);
  void SetClipRect(const TRect& rect);
  void ResetClipRect();
  // Clones every object of `source` onto this surface, moved by (x, y).
  void CopySurface(int x, int y, const TRLGraphicSurface& source);
  // Clones the objects of `source` that meet sourceRect, scaled and moved so that sourceRect fills destRect,
  // clipped to destRect.
  void CopyRect(const TRect& destRect, const TRLGraphicSurface& source, const TRect& sourceRect);

  // Measures with the current font.
  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);

  // Moves `row` up above every kept-together text that it would cut; true when row stays above 0.
  bool FindFreeRow(int nearRow, int& row) const;

  void SaveToStream(TRLStream& stream) const;
  // Raises ERLCorruptedFile ("File is corrupted!") for data that does not hold a surface; the surface is then
  // left empty. Never reads past the stream's end.
  void LoadFromStream(TRLStream& stream);

  // Draws the whole page so that (0, 0, Width, Height) fills rect. With `visible`, objects that would land wholly
  // outside it are left out (a screen repaints only what shows).
  void PaintTo(TCanvas& canvas, const TRect& rect, const TRect* visible = nullptr);

private:
  friend class TRLGraphicObject;
  friend class TRLGraphicStorage;
  friend class TRLPageRef;

  void BeginRecording();

  TRLGraphicStorage* storage_ = nullptr;
  int page_index_ = -1;
  int pins_ = 0;
  std::vector<TRLGraphicObject*> objects_;
  TPoint pen_pos_;
  int width_ = 0;
  int height_ = 0;
  TBrush brush_;
  TFont font_;
  TPen pen_;
  TRect margins_;
  bool opened_ = false;
  bool modified_ = false;
  std::unique_ptr<TCanvas> measure_canvas_;
  TStrings fonts_;
  std::vector<TRect> clip_stack_;
  TRect clip_rect_;
  TObject* generator_id_ = nullptr;
  TStrings macros_;
};

// A page fetched from a collection. While it lives the collection stays locked, so no other thread can change its
// pages, and the page stays in memory: the caller uses it and lets it go soon. It must not be kept across a
// blocking call into another thread that may use the same collection.
class TRLPageRef {
public:
  TRLPageRef() = default;
  TRLPageRef(TRLPageRef&& other) noexcept;
  TRLPageRef& operator=(TRLPageRef&& other) noexcept;
  ~TRLPageRef() { Release(); }

  TRLGraphicSurface* Get() const { return surface_; }
  TRLGraphicSurface* operator->() const { return surface_; }
  TRLGraphicSurface& operator*() const { return *surface_; }
  explicit operator bool() const { return surface_ != nullptr; }
  void Release();

private:
  friend class TRLGraphicStorage;
  TRLPageRef(TRLGraphicSurface* surface, std::unique_lock<std::recursive_mutex> lock);

  TRLGraphicSurface* surface_ = nullptr;
  std::unique_lock<std::recursive_mutex> lock_;
};

// The pages of a report: each page is written to a private temporary file as it is added, at most five stay in
// memory. Holds the report-wide named values and writes the report file. Every operation locks the collection.
class TRLGraphicStorage : public TComponent {
public:
  explicit TRLGraphicStorage(TComponent* owner = nullptr);
  ~TRLGraphicStorage() override;

  // Holders of a link keep an ownerless collection alive; it destroys itself when the last link goes.
  void Link(TComponent* user);
  void Unlink(TComponent* user);
  int LinkCount() const;

  // Takes over the surface and stores it as the next page.
  void Add(std::unique_ptr<TRLGraphicSurface> surface);
  void Clear();
  int PageCount() const;
  // The page, loaded when needed; an empty reference for an index out of range or a page that cannot be read.
  TRLPageRef Pages(int index);
  // Stores again every cached page that changed.
  void Flush();
  // Locks the collection for a sequence of operations on the calling thread.
  std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock(mutex_); }

  // Writes the report file beside `fileName` and renames it into place: a failure leaves any previous file intact.
  void SaveToFile(const std::string& fileName);
  void SaveToStream(TRLStream& stream);

  int FileVersion() const { return file_version_; }
  void SetFileVersion(int value) { file_version_ = value; }

  // Named values.
  std::string MacroValue(std::string_view name, bool* found = nullptr) const;
  void SetMacroValue(std::string_view name, std::string_view value);
  std::vector<std::string> MacroLines() const;
  int FirstPageNumber() const;
  void SetFirstPageNumber(int value);
  int LastPageNumber() const;
  void SetLastPageNumber(int value);
  std::string Title() const;
  void SetTitle(std::string_view value);
  int Orientation() const;
  void SetOrientation(int value);
  double PaperWidth() const;
  void SetPaperWidth(double value);
  double PaperHeight() const;
  void SetPaperHeight(double value);
  void SetWidth(int value);
  void SetHeight(int value);
  double OrientedPaperWidth() const;
  double OrientedPaperHeight() const;
  int OrientedPixelWidth() const;
  int OrientedPixelHeight() const;

  // For tests and diagnostics: the page indexes in the cache, oldest first, and how many pages were read back
  // from the temporary file so far.
  std::vector<int> CachedPageIndexes() const;
  int PageLoadCount() const;
  const std::string& TempFileName() const { return temp_file_name_; }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TRLGraphicSurface;
  friend class TRLPageRef;

  void StoreSurface(TRLGraphicSurface* surface);
  void InsertInCache(TRLGraphicSurface* surface);
  void DetachSurface(TRLGraphicSurface* surface);
  void OpenTempFile();
  void ReadRecord(std::int64_t offset, std::string& bytes);

  mutable std::recursive_mutex mutex_;
  std::vector<TRLGraphicSurface*> cache_;
  std::vector<std::int64_t> page_offsets_;
  std::unique_ptr<TRLFileStream> temp_stream_;
  std::string temp_file_name_;
  std::int64_t temp_size_ = 0;
  int file_version_ = 3;
  TStrings macros_;
  std::vector<TComponent*> links_;
  int page_load_count_ = 0;
  TRLMemoryStream buffer_;
};

// Reading and writing named values: integers in decimal; reals in fixed notation with four decimals, -1 for any
// negative value.
int ReadIntegerValue(const TStrings& values, std::string_view name, int defaultValue);
void WriteIntegerValue(TStrings& values, std::string_view name, int value);
double ReadRealValue(const TStrings& values, std::string_view name);
void WriteRealValue(TStrings& values, std::string_view name, double value);
