#include "output/RLSaveFilters.h"

#include "core/SafeFile.h"
#include "graphics/Bitmap.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"
#include "pdf/PdfDocument.h"

#include <filesystem>

namespace fs = std::filesystem;

TRLPDFFilter::TRLPDFFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {
  SetName("PDFFilter");
  SetDisplayName("PDF");
  SetDefaultExt(".pdf");
}

TRLPDFFilter::~TRLPDFFilter() = default;

void TRLPDFFilter::BeginDoc() {
  document_ = std::make_unique<TPdfDocument>(FileName());
  drawn_.clear();
}

void TRLPDFFilter::DrawPage(TRLGraphicSurface& page) {
  drawn_.push_back(page.PageIndex());
  if (document_->Exact()) AddPageToPdf(*document_, &page, *Pages());
}

void TRLPDFFilter::EndDoc() {
  // A document dropped without Close leaves no file: a run cut short keeps whatever file was there.
  std::unique_ptr<TPdfDocument> document = std::move(document_);
  std::vector<int> drawn = std::move(drawn_);
  if (!Completed()) return;
  DescribePdf(*document, *Pages(), &drawn);
  if (document->Close()) return;
  // Pages our writer does not write exactly: the same pages again through Qt's writer.
  document.reset();
  TPdfDocument qt(FileName(), TPdfDocument::TWriter::Qt);
  DescribePdf(qt, *Pages(), &drawn);
  for (int index : drawn) {
    TRLPageRef page = Pages()->Pages(index);
    AddPageToPdf(qt, page.Get(), *Pages());
  }
  (void)qt.Close();
}

TRLPNGFilter::TRLPNGFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {
  SetName("PNGFilter");
  SetDisplayName("PNG");
  SetDefaultExt(".png");
}

TRLPNGFilter::~TRLPNGFilter() = default;

void TRLPNGFilter::BeginDoc() { files_.clear(); }

void TRLPNGFilter::DrawPage(TRLGraphicSurface& page) {
  fs::path target(FileName());
  fs::path name = target;
  name.replace_filename(target.stem().string() + std::to_string(page.PageIndex() + 1) + target.extension().string());
  auto file = std::make_unique<TSafeFile>(name.string());
  file->Write(RenderPageToImage(page, 1.0)->SaveToPngBytes());
  files_.push_back(std::move(file));
}

void TRLPNGFilter::EndDoc() {
  std::vector<std::unique_ptr<TSafeFile>> files = std::move(files_);
  if (!Completed()) return;
  for (auto& file : files) file->Commit();
}

TRLPDFFilter& PDFFilter() {
  static TRLPDFFilter filter;
  return filter;
}

TRLPNGFilter& PNGFilter() {
  static TRLPNGFilter filter;
  return filter;
}
