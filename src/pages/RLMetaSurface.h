#pragma once

// One page as a list of graphic objects: what the report engine draws on, what a page file stores, what the
// preview and the printer paint.

#include "pages/RLMetaObjects.h"

#include <memory>

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
  // Draws as CopySurface does, but hands the objects themselves over: `source` is left without objects. For a
  // source that is cleared before anyone reads it again.
  void MoveSurface(int x, int y, TRLGraphicSurface& source);
  // Clones the objects of `source` that meet sourceRect, scaled and moved so that sourceRect fills destRect,
  // clipped to destRect.
  void CopyRect(const TRect& destRect, const TRLGraphicSurface& source, const TRect& sourceRect);

  // Measures with the current font.
  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);

  // Moves `row` up above every kept-together text that it would cut; true when row stays above 0.
  bool FindFreeRow(int nearRow, int& row) const;

  void SaveToStream(TRLStream& stream) const;
  // A copy of the page that belongs to the caller alone: drawn on another thread while the collection goes on. It
  // holds the collection's values among its own, so that its texts expand as the page's do.
  std::unique_ptr<TRLGraphicSurface> StandaloneCopy() const;
  // Whether the page draws the same whatever its collection holds: it has a size, and every "{Name}" in its texts
  // is one of its own values (the collection's, like the last page number, may come only when the report ends).
  bool SelfContained() const;
  // Raises ERLCorruptedFile ("File is corrupted!") for data that does not hold a surface; the surface is then
  // left empty. Never reads past the stream's end.
  void LoadFromStream(TRLStream& stream);

  // Draws the whole page so that (0, 0, Width, Height) fills rect. With `visible`, objects that would land wholly
  // outside it are left out (a screen repaints only what shows).
  void PaintTo(TCanvas& canvas, const TRect& rect, const TRect* visible = nullptr);

private:
  // Adds the values ("name=value" lines) of those the page does not hold itself.
  void AddMacros(const std::vector<std::string>& lines);

  friend class TRLGraphicObject;
  friend class TRLPageRecord;
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

// Reading and writing named values: integers in decimal; reals in fixed notation with four decimals, -1 for any
// negative value.
int ReadIntegerValue(const TStrings& values, std::string_view name, int defaultValue);
void WriteIntegerValue(TStrings& values, std::string_view name, int value);
double ReadRealValue(const TStrings& values, std::string_view name);
void WriteRealValue(TStrings& values, std::string_view name, double value);
