#pragma once

// Between recorded pages and a canvas: conversions of colours, pens, brushes, fonts and pictures in both
// directions, the text placement rules, clipping, wide dashed lines, and rendering whole pages to an image or a
// PDF file.

#include "pages/RLMetaFile.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TBitmap;
class TGraphic;
class TPdfDocument;

TRLMetaColor ToMetaColor(TColor color);
TColor FromMetaColor(TRLMetaColor color);

void ToMetaPen(const TPen& pen, TRLMetaPen& meta);
// Width unscaled.
void FromMetaPen(const TRLMetaPen& meta, TPen& pen);
// The pen width drawn at a horizontal scale: 0 and 1 stay, wider pens become max(1, trunc(width * scaleX)).
int ScaledPenWidth(int width, double scaleX);
void ToMetaBrush(const TBrush& brush, TRLMetaBrush& meta);
void FromMetaBrush(const TRLMetaBrush& meta, TBrush& brush);
// The meta font's owner must be on a surface, whose font list receives the name.
void ToMetaFont(const TFont& font, TRLMetaFont& meta);
// Sets the canvas font `font` from the record, its size scaled by scaleY and by the ratio of the recorded
// resolution to the font's own.
void FromMetaFont(const TRLMetaFont& meta, TFont& font, double scaleY);

// "NIL" for no picture, "BMP" + a bitmap file, "ICO" + an icon file; other pictures are stored as a bitmap.
std::string ToMetaGraphic(const TGraphic* graphic);
// Null for empty data, "NIL" or an unknown tag; raises EInvalidGraphic for picture data that cannot be decoded.
std::unique_ptr<TGraphic> FromMetaGraphic(std::string_view data);

// Writes text in rect with the recorded alignment, layout and flags (see TRLTextObject).
void CanvasTextRect(TCanvas& canvas, const TRect& rect, int x, int y, std::string_view text, std::uint8_t alignment,
                    std::uint8_t layout, std::uint16_t textFlags);
// An empty rectangle removes clipping instead of clipping everything away.
void CanvasSetClipRect(TCanvas& canvas, const TRect& rect);
void CanvasResetClipRect(TCanvas& canvas);
// LineTo that draws dashed pens wider than one unit as a series of solid segments.
void CanvasLineToEx(TCanvas& canvas, int x, int y);

// The page drawn on a white bitmap of round(Width * zoom) x round(Height * zoom) pixels.
std::unique_ptr<TBitmap> RenderPageToImage(TRLGraphicSurface& page, double zoom);
// Adds a page to a PDF document at the page's own size (the collection's paper for a page without one, or for
// a page that could not be read, which stays blank); text stays text.
void AddPageToPdf(TPdfDocument& document, TRLGraphicSurface* page, const TRLGraphicStorage& storage);
// As AddPageToPdf, for a page of the collection loaded for the document, which it belongs to from now on (or none):
// drawn on the document's threads while the caller goes on, and drawn again from the collection, locked by the
// caller when the document closes, should the document hand its pages to Qt's writer.
// The drawing of a page of the collection, loaded for a document that may draw it twice: `paint` draws it first from
// `page` (which it belongs to from now on; none: from the collection), on whichever thread, and again from the
// collection, locked by the caller, should the document draw it again.
std::function<void(TCanvas&)> StandalonePageDrawing(std::unique_ptr<TRLGraphicSurface> page, TRLGraphicStorage& storage,
                                                    std::function<void(TCanvas&, TRLGraphicSurface&)> paint);
void AddStandalonePageToPdf(TPdfDocument& document, std::unique_ptr<TRLGraphicSurface> page,
                            TRLGraphicStorage& storage);
// Draws the stored pages from `first` on, each as AddStandalonePageToPdf does (several at once); the collection is
// locked by the caller.
void AddPagesToPdf(TPdfDocument& document, TRLGraphicStorage& storage, int first);
// Gives the document the collection's title, the user as its author and the collection's outline as its
// bookmarks. `pageIndexes`, when given, are the collection's pages the document holds, in its order; an entry on
// another page has no bookmark.
void DescribePdf(TPdfDocument& document, const TRLGraphicStorage& storage,
                 const std::vector<int>* pageIndexes = nullptr);
// Every page of the collection as one page of a PDF file, written by our writer, or by Qt's when the pages need it.
void SavePagesToPdf(TRLGraphicStorage& storage, const std::string& fileName);
