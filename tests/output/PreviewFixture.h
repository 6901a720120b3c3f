#pragma once

// A page collection made by hand for the preview tests: A4 pages numbered from a chosen first page number, each
// with a heading and a few lines of text; any page may get extra texts.

#include "graphics/Bitmap.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"
#include "widgets/Forms.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace previewtest {

constexpr int kPageWidth = 794;  // A4 at 96 pixels per inch
constexpr int kPageHeight = 1123;

// Adds a text object and gives back its index on the page.
inline int AddText(TRLGraphicSurface& page, const TRect& bounds, const std::string& text, int groupId = 0) {
  page.TextOut(bounds, bounds.Left, bounds.Top, text, MetaTextAlignmentLeft, MetaTextLayoutTop, 0);
  page.Objects(page.ObjectCount() - 1)->SetGroupId(groupId);
  return page.ObjectCount() - 1;
}

// `count` pages; `extra` adds what a page (by index) should hold beyond its heading and lines.
inline TRLGraphicStorage* MakePages(TComponent* owner, int count, int firstPageNumber = 1,
                                    const std::function<void(int index, TRLGraphicSurface& page)>& extra = {}) {
  auto* storage = new TRLGraphicStorage(owner);
  for (int i = 0; i < count; ++i) {
    auto page = std::make_unique<TRLGraphicSurface>();
    page->SetWidth(kPageWidth);
    page->SetHeight(kPageHeight);
    page->Open();
    page->Font().SetName("Arial");
    page->Font().SetHeight(-13);
    AddText(*page, {40, 40, 400, 60}, "Clientes por Cidade, folha " + std::to_string(firstPageNumber + i));
    for (int line = 0; line < 5; ++line) {
      AddText(*page, {40, 100 + 20 * line, 600, 118 + 20 * line}, "Linha " + std::to_string(line) + " de dados");
    }
    if (extra) extra(i, *page);
    page->Close();
    storage->Add(std::move(page));
  }
  storage->SetFirstPageNumber(firstPageNumber);
  storage->SetLastPageNumber(firstPageNumber + count - 1);
  storage->SetOrientation(1);
  storage->SetPaperWidth(210);
  storage->SetPaperHeight(297);
  return storage;
}

// What a control's widget shows, one device pixel a unit.
inline QImage Grab(TControl& control) {
  QImage image = control.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  return image;
}

inline TColor PixelAt(const QImage& image, int x, int y) {
  QRgb rgb = image.pixel(x, y);
  return RGBColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

}  // namespace previewtest
