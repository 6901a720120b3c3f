#pragma once

// The PDF writer
// ==============
//
// A report's pages go to PDF through a canvas, as they go to the screen and to paper. Qt has a PDF writer
// (QPdfWriter); ours writes the same pages several times faster, and this folder is ours. Its parts:
//
//   PdfDocument   the document: pages in, a file out; the choice of writer and the threads that draw pages.
//   PdfPaintEngine a QPaintEngine whose device is one page: what a painter does becomes page operators.
//   PdfResources  what pages share: images, patterns, transparency settings, and the fonts.
//   PdfFonts      the faces drawn: each numbered as first drawn, its widths, its map from glyphs back to text.
//   PdfFontSubset a face's subset, made from its TrueType tables.
//   PdfFile       the object layer: numbered objects and deflated streams, the cross-reference table, numbers.
//
// How a page becomes operators. NewPage (or AddPage, on a drawing thread) gives a TCanvas over a TPdfPaintDevice.
// The canvas draws through a QPainter as on any device; the engine turns each call into operators in a string:
// paths with their fill and stroke, colours, transparency settings, clipping and transforms (q, cm, Q), brought up to
// the painter's state before each drawing (Sync), text as the glyphs the canvas's layout chose, at the positions it
// gave them (BT, Tf, Td and Tj of two-byte glyph numbers of the face's subset). A finished page's operators are
// deflated (libdeflate) and written as its content stream at once; only the page's object numbers stay in memory.
//
// How faces are subset and numbered. A face enters the file's fonts when first drawn; each glyph gets the subset's
// next number when first drawn, the missing glyph first. Pages drawn on several threads at once leave the glyphs
// and faces the fonts do not yet know unnamed and name them when the page takes its place in page order
// (NumberGlyphs), so that the file is byte for byte the file of the same pages drawn in turn. At Close each face
// is written once: its subset's tables, its widths and its ToUnicode map.
//
// When it hands a document to Qt's writer. The engine draws only what it writes as Qt's writer would (see
// PdfPaintEngine.h for the list: no gradients, images with transparency, composition modes, dashed pens, made-up
// styles, faces without TrueType outlines...). Anything else makes the engine inexact; an inexact document
// writes no file, Close returns false, and the caller draws the same pages again on a document of Qt's writer
// (TWriter::Qt). A face too large for a subset with short offsets is left to Qt's writer the same way.
//
// What "exact" means, and how the tests prove it. Exact pages render to the very pixels of Qt's writer's pages and
// hold the same text: numbers are written as Qt writes them (nine digits after the point, truncated), outlines
// are re-encoded as Qt re-encodes them, subsets are Qt's to the byte. tests/pdf renders sample pages of both
// writers with poppler at several resolutions and counts differing pixels (none allowed), compares the text
// poppler extracts, compares embedded subsets byte for byte, and checks that what the engine does not reproduce
// leaves no file. Pages drawn on threads are compared byte for byte with pages drawn in turn.

#include "core/SafeFile.h"
#include "graphics/Canvas.h"
#include "pdf/PdfOutline.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFile;
class QPdfWriter;
class TPdfFile;
class TPdfPaintDevice;
class TPdfResources;

// A PDF file drawn page by page through a canvas whose units are pixels at 96 per inch. Text is written as text.
//
// Two writers make the file. Ours writes pages as Qt's writer does, to the same pixels, several times faster, but
// only for what it reproduces exactly (see PdfPaintEngine.h); Qt's writer takes everything. A document of our
// writer that met anything else writes no file: its pages are to be drawn again on a document of Qt's writer.
class TPdfDocument {
public:
  enum class TWriter { Own, Qt };

  // How the canvas meets the sheet. By default the canvas counts pixels at 96 per inch from the sheet's top left
  // corner, the pages are written at 600 device pixels per inch, and each page starts painted white. A printer's
  // pages count from the corner of its printable area (`OriginX`, `OriginY`, in device pixels) on a sheet that
  // is not painted; Qt's writer draws those through the printer itself, so its documents take no origin.
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
  // next page or Close.
  TCanvas& NewPage(double widthMM, double heightMM);
  // Adds the next page with the given size in millimetres, drawn by `draw` on a canvas with the font, pen and brush
  // of a new one, and returns at once (once a few pages wait, when one of them is drawn): our writer draws pages on
  // threads of its own, several at once, and puts them in the file in the order they were added; the file is the
  // one NewPage would make of them. `draw` must not use what the caller's thread may change meanwhile. Qt's writer
  // draws the page at once. Raises what drawing or writing an earlier page raised.
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
  // False once a page drew something our writer does not write as Qt's would; always true for Qt's writer. Pages
  // added with AddPage count once drawn.
  bool Exact() const;
  // Finishes the file and puts it in place; raises EFileWriteError when it could not be written completely.
  // Returns false, leaving no file, when the document is not exact: the caller draws the pages again on a
  // document of Qt's writer. A document destroyed without Close leaves no file.
  [[nodiscard]] bool Close();

private:
  class TDrawers;

  void FinishOwnPage();
  // Writes a page's deflated operators and the page itself; pages are written one at a time.
  void WriteOwnPage(const std::string& deflated, double widthMM, double heightMM);
  bool CloseOwn();
  void CloseQt();

  double CanvasScale() const;

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
};
