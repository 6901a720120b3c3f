#pragma once

// A paint device whose painter writes the operators of PDF pages: what a canvas draws on a PDF document, so that a
// reader renders it as Qt's own writer's pages. Text goes out as the glyphs the layout chose, at the positions it
// gave them, in subsets of the faces it used.
//
// What this writer does not reproduce exactly (gradients and patterns, images, points, transparency, composition
// modes other than plain painting, dashed or brushed pens, made-up bold and italic styles, faces without TrueType
// outlines) makes the engine inexact, and an inexact engine draws nothing more: such a page is Qt's writer's.

#include "graphics/OwnPaintDevices.h"
#include "pdf/PdfFonts.h"

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QRawFont>
#include <QSizeF>
#include <QTransform>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QGlyphRun;
class TPdfResources;

class TPdfPaintEngine : public QPaintEngine, public TGlyphRunEngine {
public:
  // Draws in device pixels of `resolution` per inch, naming the shared resources of the file.
  TPdfPaintEngine(TPdfResources& resources, int resolution);
  ~TPdfPaintEngine() override;

  // A new painter starts from the default state, whatever the last one left.
  bool begin(QPaintDevice*) override;
  bool end() override { return true; }
  Type type() const override { return User; }
  void updateState(const QPaintEngineState& state) override;

  void drawRects(const QRect* rects, int count) override;
  void drawRects(const QRectF* rects, int count) override;
  void drawLines(const QLine* lines, int count) override;
  void drawLines(const QLineF* lines, int count) override;
  void drawPoints(const QPointF* points, int count) override;
  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
  void drawPath(const QPainterPath& path) override;
  void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override;
  void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                 Qt::ImageConversionFlags flags = Qt::AutoColor) override;
  void drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF& offset) override;
  void drawTextItem(const QPointF& origin, const QTextItem& item) override;

  void DrawGlyphRun(const QPointF& origin, const QGlyphRun& run) override;

  // False once something was drawn that this writer does not write as Qt's writer would.
  bool Exact() const { return exact_; }
  void Inexact() { exact_ = false; }

  // Starts a page `heightPoints` high whose device pixels count from `origin` (device pixels from the sheet's top
  // left corner); the operators of the page so far are dropped.
  void StartPage(double heightPoints, QPoint origin = {});
  // The operators of the page drawn since StartPage, complete. Glyphs are named by their numbers in their faces,
  // and go to the file's fonts as they are drawn.
  const std::string& FinishPage();
  // For pages drawn on several threads at once: the faces that the file's fonts do not name yet are left unnamed as
  // they are drawn, and FinishPage goes in two steps. EndPage completes the operators; NameFaces then names what was
  // left. Pages whose faces are named in page order make the same file, whatever thread drew them and when.
  void NameFacesLater() { naming_later_ = true; }
  void EndPage();
  const std::string& NameFaces();

private:
  // Brings the page's clipping and transformation up to the painter's.
  void Sync();
  void CloseTransform();
  void CloseClip();
  void Forget();
  void Number(double value);
  void Point(double x, double y);
  void Path(const QPainterPath& path);
  void Colour(const QColor& colour, bool stroke);
  // Sets the fill to the brush; false when it paints nothing.
  bool UseBrush();
  // Sets the line operators for the pen; false when it draws nothing.
  bool UsePen();
  void Paint(const QPainterPath& path, bool fill, bool stroke);
  void ShowGlyphs(const QGlyphRun& run, const QPointF& origin);
  void SetClip(const QPainterPath& devicePath, Qt::ClipOperation operation);
  // The font of a raw font, and the glyphs of its face added to the font's subset.
  struct TFontUse {
    QRawFont raw;
    TPdfFonts::TFont* font;
    std::vector<bool> added;
    // Of the font's resource name, once named.
    int name = 0;
  };
  void AddGlyph(TFontUse& use, unsigned glyph);
  // The number of the face's resource name.
  int FontName(TFontUse& use);
  TFontUse& FontUse(const QRawFont& font);

  TPdfResources& resources_;
  double points_per_pixel_;
  double page_height_ = 0;
  std::string content_;
  // Where a face's resource name goes in content_, still unnamed, in drawing order.
  struct TName {
    std::size_t at;
    std::size_t font;  // in fonts_
  };
  bool naming_later_ = false;
  std::vector<TName> names_;
  bool exact_ = true;

  // The painter's state.
  QTransform transform_;
  QPen pen_;
  QBrush brush_;
  QPointF brush_origin_;
  qreal opacity_ = 1;
  QPainterPath clip_;  // in device pixels
  bool clip_enabled_ = false;
  bool clip_changed_ = false;

  // What the page's graphics state holds: a clip level, inside it a transformation level, and the colours and line
  // settings last set inside them (forgotten when a level closes).
  bool clip_open_ = false;
  bool transform_open_ = false;
  QTransform applied_;
  bool fill_known_ = false, stroke_known_ = false;
  QColor fill_, stroke_;
  std::string line_;

  std::vector<TFontUse> fonts_;
};

class TPdfPaintDevice : public QPaintDevice, public TOwnPagedDevice {
public:
  TPdfPaintDevice(TPdfResources& resources, int resolution);
  ~TPdfPaintDevice() override;

  // The size of the page being drawn.
  void SetPageSize(const QSizeF& millimetres) { page_mm_ = millimetres; }
  QPaintEngine* paintEngine() const override { return engine_.get(); }
  TPdfPaintEngine& Engine() { return *engine_; }

protected:
  int metric(PaintDeviceMetric metric) const override;

private:
  std::unique_ptr<TPdfPaintEngine> engine_;
  int resolution_;
  QSizeF page_mm_{210, 297};
};
