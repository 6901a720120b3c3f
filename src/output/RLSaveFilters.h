#pragma once

// Save filters beyond the report file: the pages as one PDF file, or as one PNG image each.

#include "output/RLFilters.h"

#include <memory>
#include <vector>

class TJobQueue;
class TPdfDocument;
class TSafeFile;

// Every page of the range as a page of one PDF file, at the page's size; text stays text. The file takes its name
// only when the whole range was written.
class TRLPDFFilter : public TRLCustomSaveFilter {
public:
  explicit TRLPDFFilter(TComponent* owner = nullptr);
  ~TRLPDFFilter() override;

protected:
  void BeginDoc() override;
  void EndDoc() override;
  void NewPage() override {}
  void DrawPage(TRLGraphicSurface& page) override;

private:
  std::unique_ptr<TPdfDocument> document_;
  // The collection's pages drawn, in the document's order: the outline's entries are mapped to them.
  std::vector<int> drawn_;
};

// Every page of the range as a PNG image at 96 pixels per inch, named by PNGPageFileName. The images take their
// names only when all of them were written; then the numbered images of an earlier export under the same name that
// are not pages of this one (name7.png, or padded as name07.png) are removed.
class TRLPNGFilter : public TRLCustomSaveFilter {
public:
  explicit TRLPNGFilter(TComponent* owner = nullptr);
  ~TRLPNGFilter() override;

protected:
  void BeginDoc() override;
  void EndDoc() override;
  void NewPage() override {}
  void DrawPage(TRLGraphicSurface& page) override;

private:
  std::vector<std::unique_ptr<TSafeFile>> files_;
  // Encodes and writes the pages' images on every processor.
  std::unique_ptr<TJobQueue> encoders_;
};

// The image of page `pageNumber` of a report of `pageCount` pages: "name.png" gives name01.png … name34.png, the
// number padded to the digits of the page count so that the files sort in page order.
std::string PNGPageFileName(const std::string& fileName, int pageNumber, int pageCount);

// The process's PDF and PNG save filters, created on first use, so that they are in the filter list.
TRLPDFFilter& PDFFilter();
TRLPNGFilter& PNGFilter();
