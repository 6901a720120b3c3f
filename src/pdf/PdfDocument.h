#pragma once

// The PDF writer
// ==============
//
// A report's pages go to PDF through a canvas, as they go to the screen and to paper. Qt has a PDF writer
// (QPdfWriter), which takes whatever a painter draws; this folder is a second writer, for what reports draw most:
// text, lines, frames and solid fills. It exists for speed: on the client report of 100,000 rows (1,541 pages,
// bench_report), Qt's writer takes 17.8 s to write the prepared pages and ours 3.6 s, drawing pages on several
// threads at once and writing the glyphs a layout shaped as they are.
//
// What it writes. Pages of paths (lines, rectangles, polygons, ellipses, rounded frames) filled and stroked in solid
// opaque colours with solid pens, under rectangular and path clips and affine transformations, and text as glyphs of
// TrueType faces at the positions the canvas's layout gave them. Everything else is left to Qt's writer: gradients,
// patterns and textures, images and pixmaps, points, transparency, composition modes, dashed pens, bold and italic
// styles Qt makes up, faces without TrueType outlines. The engine stops at the first such call (it draws no
// approximation, and nothing after it), and the document draws its pages again on Qt's writer as it closes; the
// callers make one document and close it, whichever writer it ends with. Pages drawn with NewPage cannot be drawn
// again: a document that has one and meets such a call writes no file.
//
// Its parts:
//
//   PdfDocument   the document: pages in, a file out; the threads that draw pages, and the hand-over to Qt's writer.
//   PdfPaintEngine a QPaintEngine whose device is one page: what a painter does becomes page operators.
//   PdfResources  what pages share: the file and its fonts.
//   PdfFonts      the faces drawn: each named as first drawn, its widths, its map from glyphs back to text.
//   PdfFontSubset a face's subset, made by HarfBuzz's subsetter from its tables.
//   PdfFile       the object layer: numbered objects and deflated streams, the cross-reference table, numbers.
//
// How a page becomes operators. NewPage (or AddPage, on a drawing thread) gives a TCanvas over a TPdfPaintDevice.
// The canvas draws through a QPainter as on any device; the engine turns each call into operators in a string:
// paths with their fill and stroke, colours, clipping and transforms (q, cm, Q), brought up to the painter's state
// before each drawing (Sync), text as the glyphs the canvas's layout chose, at the positions it gave them (BT, Tf, Td
// and Tj of two-byte glyph numbers of the face). A finished page's operators are deflated (libdeflate) and written
// as its content stream at once; only the page's object numbers stay in memory.
//
// How faces are embedded and named. Glyphs keep their numbers in their face: a glyph drawn joins its face's subset,
// and the subset keeps the face's numbering (the glyphs not drawn left empty). A face is named (/F1, /F2...) as first
// drawn; pages drawn on several threads at once leave the faces the fonts do not yet know unnamed and name them
// when the page takes its place in page order (NameFaces), so that the file is byte for byte the file of the same
// pages drawn in turn. At Close each face is written once: its subset, its widths and its ToUnicode map.
//
// How the tests hold it to Qt's writer. tests/pdf draws sample pages with both writers and compares what a reader
// sees: the words pdftotext extracts and their boxes (within 0.05 pt), the ink of the pages rendered at 96, 150 and
// 300 dpi (within a bound only glyph edges reach: Qt's writer re-encodes outlines), and qpdf finds no fault in the
// files. What the engine does not reproduce is shown to reach Qt's writer; pages drawn on threads are compared byte
// for byte with pages drawn in turn.

#include "core/SafeFile.h"
#include "graphics/Canvas.h"
#include "pdf/PdfOutline.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFile;
class QMarginsF;
class QPdfWriter;
class TPdfFile;
class TPdfPaintDevice;
class TPdfResources;

// A PDF file drawn page by page through a canvas whose units are pixels at 96 per inch. Text is written as text.
//
// Two writers make the file. Ours writes what reports draw most, several times faster (see above and
// PdfPaintEngine.h); Qt's writer takes everything. A document of our writer that meets anything else draws its pages
// again on Qt's writer as it closes.
class TPdfDocument {
public:
  enum class TWriter { Own, Qt };

  // How the canvas meets the sheet. By default the canvas counts pixels at 96 per inch from the sheet's top left
  // corner, the pages are written at 600 device pixels per inch, and each page starts painted white. A printer's
  // pages count from the corner of its printable area (`OriginX`, `OriginY`, in device pixels) on a sheet that
  // is not painted; Qt's writer takes that corner as its page margins.
  struct TLayout {
    int Resolution = 600;
    // The canvas's units; 0: device pixels.
    int UnitsPerInch = 96;
    int OriginX = 0, OriginY = 0;
    bool WhitePaper = true;
  };

  // Starts the file as a safe file: it takes its name only when Close succeeds, and an earlier file of that name
  // stays until then. Raises EFileWriteError when the file cannot be created.
  explicit TPdfDocument(const std::string& fileName, TWriter writer = TWriter::Own);
  TPdfDocument(const std::string& fileName, TWriter writer, const TLayout& layout);
  ~TPdfDocument();
  TPdfDocument(const TPdfDocument&) = delete;
  TPdfDocument& operator=(const TPdfDocument&) = delete;

  // Starts the next page with the given size in millimetres and returns the canvas to draw it on, valid until the
  // next page or Close. A page drawn this way cannot be drawn again: a document of our writer that has one and meets
  // what it does not write exactly writes no file (Close returns false).
  TCanvas& NewPage(double widthMM, double heightMM);
  // Adds the next page with the given size in millimetres, drawn by `draw` on a canvas with the font, pen and brush
  // of a new one, and returns at once (once a few pages wait, when one of them is drawn): our writer draws pages on
  // threads of its own, several at once, and puts them in the file in the order they were added; the file is the
  // one NewPage would make of them. `draw` must not use what the caller's thread may change meanwhile. Our writer
  // keeps `draw` until Close, to draw the page again on Qt's writer should a page need that writer: it is to hold
  // where the page is found, not more. Qt's writer draws the page at once. Raises what drawing or writing an earlier
  // page raised.
  void AddPage(double widthMM, double heightMM, std::function<void(TCanvas&)> draw);
  // How many threads draw the pages added from now on: 0 (the default) for one for each core, up to four; fewer
  // when other threads of the process are busy meanwhile, which would leave no core to more. Raising it adds
  // threads; lowering it stops none.
  void SetDrawingThreads(unsigned count);
  // The document's description; Qt's writer takes its title. Set before the first page.
  void SetInfo(const TPdfInfo& info);
  // The document's bookmarks, written at Close by our writer, which then opens the file with them shown. An item's
  // row is in canvas units from the top of its page.
  void SetOutline(std::vector<TPdfOutlineItem> items);
  // False once a page drew something our writer does not write as Qt's would; our writer then draws no more, and
  // Close hands the pages to Qt's writer. Always true for Qt's writer. Pages added with AddPage count once drawn.
  bool Exact() const;
  // Finishes the file and puts it in place; raises EFileWriteError when it could not be written completely. A
  // document of our writer that is not exact draws its pages again on Qt's writer first; when some were drawn with
  // NewPage it cannot, and returns false, leaving no file. A document destroyed without Close leaves no file.
  [[nodiscard]] bool Close();

private:
  class TDrawers;

  // Starts the file on Qt's writer.
  void StartQt();
  // Draws the pages added so far again on Qt's writer, which takes the pages from now on.
  void ReplayOnQt();
  void FinishOwnPage();
  // Writes a page's deflated operators and the page itself; pages are written one at a time.
  void WriteOwnPage(const std::string& deflated, double widthMM, double heightMM);
  bool CloseOwn();
  void CloseQt();

  double CanvasScale() const;
  QMarginsF QtMargins() const;

  TSafeFile safe_file_;
  TWriter writer_kind_;
  TLayout layout_;
  std::unique_ptr<TCanvas> canvas_;
  int pages_ = 0;

  // Qt's writer.
  std::unique_ptr<QFile> file_;
  std::unique_ptr<QPdfWriter> writer_;

  // Ours.
  std::unique_ptr<TPdfFile> pdf_;
  std::unique_ptr<TPdfResources> resources_;
  std::unique_ptr<TPdfPaintDevice> device_;
  int catalog_ = 0, page_tree_ = 0, resources_object_ = 0, info_ = 0;
  std::vector<int> page_objects_;
  std::vector<double> page_heights_;  // in points
  TPdfInfo info_values_;
  std::vector<TPdfOutlineItem> outline_;
  bool page_open_ = false;
  double page_width_mm_ = 0, page_height_mm_ = 0;
  bool closed_ = false;
  // The threads of AddPage, once it is called.
  std::unique_ptr<TDrawers> drawers_;
  unsigned drawing_threads_ = 0;
  // The pages added, to be drawn again on Qt's writer should ours meet what it does not write exactly; that cannot
  // be done once a page was drawn with NewPage.
  struct TKeptPage {
    double width_mm = 0, height_mm = 0;
    std::function<void(TCanvas&)> draw;
  };
  std::vector<TKeptPage> kept_;
  bool replayable_ = true;
};
