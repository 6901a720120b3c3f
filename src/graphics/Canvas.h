#pragma once

#include "graphics/Geometry.h"
#include "graphics/GraphicsObjects.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

class QBrush;
class QColor;
class QPaintDevice;
class QPainter;
class QPen;
class QRectF;
class QString;
class TFontMeasure;
class TShapedText;
class TShapedTexts;
class TGraphic;

// A drawing surface with the platform's drawing rules, over any Qt paint device: an image, a widget (inside its
// paint event), a printer or a PDF writer.
//
// Coordinates are whole canvas units. A unit is one device pixel unless the canvas was given a scale, in which
// case unit (x, y) covers device pixels [x * scale, (x + 1) * scale): a page laid out at 96 dpi is drawn on a
// 600-dpi device with scale 6.25. Ranges are half-open: Rectangle(x1, y1, x2, y2) and FillRect cover the units
// x1..x2-1 and y1..y2-1; LineTo paints from the pen position up to, not including, its end point. Text is placed by
// the top-left corner of its cell. Changes to Pen, Brush and Font take effect at the next operation.
//
// A canvas without a device still measures text; drawing on it raises EInvalidOperation.
class TCanvas : public TPersistent {
public:
  TCanvas();
  // The device must outlive the canvas or be released with SetDevice(nullptr) first.
  explicit TCanvas(QPaintDevice* device, double scale = 1.0);
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // Binds the canvas to another device (null: none), ending any painting on the previous one. Sets the font's
  // PixelsPerInch: a printer's or PDF writer's resolution divided by the scale, 96 on other devices.
  void SetDevice(QPaintDevice* device, double scale = 1.0);
  QPaintDevice* Device() const { return device_; }
  // Device pixels per canvas unit.
  double Scale() const { return scale_; }
  // Finishes the drawing done so far, so that the device can be read, saved or handed over; the next operation
  // starts drawing again. Clipping is kept.
  void EndPaint();
  // Starts drawing on the device now rather than at the first operation: a printer feeds pages only while drawn on.
  void BeginPaint();

  TFont& Font() { return font_; }
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  void SetFont(const TFont& font) { font_.Assign(font); }
  void SetPen(const TPen& pen) { pen_.Assign(pen); }
  void SetBrush(const TBrush& brush) { brush_.Assign(brush); }

  TPoint PenPos() const { return pen_pos_; }
  void SetPenPos(TPoint pos) { pen_pos_ = pos; }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(std::span<const TPoint> points);
  // Closed and filled with the brush.
  void Polygon(std::span<const TPoint> points);

  // Fills with the brush, no outline.
  void FillRect(const TRect& rect);
  // A one-unit outline in the brush's colour, no fill.
  void FrameRect(const TRect& rect);
  // Outline with the pen inside the bounds, interior with the brush.
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  // The ellipse inscribed in the bounds.
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  // A rectangle with corners rounded by an ellipse of width x3 and height y3.
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);

  // Writes text with its cell's top-left corner at (x, y), on the brush unless the brush is bsClear.
  void TextOut(int x, int y, std::string_view text);
  // TextOut clipped to rect; the brush fills rect first unless it is bsClear.
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  // `rect` grown up and down to the ink of `text` drawn at (x, y) when the text's baseline lies inside it: the glyphs
  // of a line standing in a box can reach past the font's ascent and descent (accents over capitals). `rect` itself
  // when the reach cannot be told (characters beyond Latin, underlined fonts).
  TRect WithLineInk(const TRect& rect, int x, int y, std::string_view text);
  // Measures in canvas units with the current font.
  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);
  TSize TextExtent(std::string_view text);

  void Draw(int x, int y, const TGraphic& graphic);
  void StretchDraw(const TRect& rect, const TGraphic& graphic);

  // The colour of one unit (read from the device: images only; other devices answer clNone).
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Clipping of the device context: replace, narrow, remove. Clipping by an empty rectangle draws nothing.
  void SetClipRect(const TRect& rect);
  void IntersectClipRect(const TRect& rect);
  void RemoveClip();
  bool HasClip() const { return clipped_; }
  TRect ClipRect() const { return clip_; }

private:
  // The painter on the device, opened on first use; null when the device is empty.
  QPainter* Open();
  // The painter with the current clipping, for a drawing.
  QPainter* Begin();
  // Gives the painter this clipping unless it has it already.
  void UseClip(bool clipped, const TRect& clip);
  const TFontMeasure& Measure();
  // Sets up the painter for the pen mode and gives the colour to draw with; false when nothing is to be drawn.
  bool ApplyPenMode(QPainter& painter, QColor& colour);
  int PenWidth() const;
  bool Cosmetic() const;
  QPen MakePen(const QColor& colour) const;
  QBrush MakeBrush() const;
  QRectF PenBounds(int x1, int y1, int x2, int y2) const;
  // Orders the corners of a shape and opens the painter for it; null when there is nothing to draw.
  QPainter* BeginShape(int& x1, int& y1, int& x2, int& y2, QColor& colour);
  // The pen for the outline and the brush (or none) for the inside of a shape.
  void UsePenAndBrush(QPainter& painter, const QColor& colour);
  // The units that drawing can reach: the device's, within the painter's clip, with a unit of margin.
  TRect ReachableArea() const;
  void PlotPath(QPainter& painter, std::span<const TPoint> points, bool closed, const QColor& colour);
  void StrokePath(QPainter& painter, std::span<const TPoint> points, bool closed, const QColor& colour);
  void FillFrame(QPainter& painter, int x1, int y1, int x2, int y2, int width, const QBrush& brush);
  void DrawText(QPainter& painter, int x, int y, const TShapedText& text, const TRect* opaque);
  // Bounds that the ink of a text drawn at (x, y) stays within, as edges between units; false when unknown.
  bool InkBox(int x, int y, const TShapedText& text, TRect& box);

  QPaintDevice* device_ = nullptr;
  double scale_ = 1.0;
  std::unique_ptr<QPainter> painter_;

  TFont font_;
  TPen pen_;
  TBrush brush_;
  TPoint pen_pos_;
  bool clipped_ = false;
  TRect clip_;
  // The clipping the painter has. Each change costs a device a new graphics state (a PDF page writes one out), so
  // clipping reaches the painter only at the next drawing: a clip replaced before anything is drawn costs nothing.
  bool painter_clipped_ = false;
  TRect painter_clip_;

  // The measuring entry of the current font; null after the font changed.
  const TFontMeasure* measure_ = nullptr;
  // Texts drawn lately, shaped once for their width and their glyphs.
  std::unique_ptr<TShapedTexts> shaped_;
};
