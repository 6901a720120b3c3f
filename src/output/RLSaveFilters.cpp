#include "output/RLSaveFilters.h"

#include "core/SafeFile.h"
#include "graphics/Bitmap.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"
#include "pdf/PdfDocument.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

TRLPDFFilter::TRLPDFFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {
  SetName("PDFFilter");
  SetDisplayName("PDF");
  SetDefaultExt(".pdf");
}

TRLPDFFilter::~TRLPDFFilter() = default;

void TRLPDFFilter::BeginDoc() { document_ = std::make_unique<TPdfDocument>(FileName()); }

void TRLPDFFilter::DrawPage(TRLGraphicSurface& page) {
  AddStandalonePageToPdf(*document_, page.StandaloneCopy(), *Pages());
}

void TRLPDFFilter::EndDoc() {
  // A document dropped without Close leaves no file: a run cut short keeps whatever file was there.
  std::unique_ptr<TPdfDocument> document = std::move(document_);
  if (Completed()) (void)document->Close();
}

TRLPNGFilter::TRLPNGFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {
  SetName("PNGFilter");
  SetDisplayName("PNG");
  SetDefaultExt(".png");
}

TRLPNGFilter::~TRLPNGFilter() = default;

void TRLPNGFilter::BeginDoc() { files_.clear(); }

void TRLPNGFilter::DrawPage(TRLGraphicSurface& page) {
  const std::string name = PNGPageFileName(FileName(), page.PageIndex() + 1, Pages()->PageCount());
  auto file = std::make_unique<TSafeFile>(name);
  file->Write(RenderPageToImage(page, 1.0)->SaveToPngBytes());
  files_.push_back(std::move(file));
}

void TRLPNGFilter::EndDoc() {
  std::vector<std::unique_ptr<TSafeFile>> files = std::move(files_);
  if (!Completed()) return;
  for (auto& file : files) file->Commit();
}

std::string PNGPageFileName(const std::string& fileName, int pageNumber, int pageCount) {
  const fs::path target(fileName);
  const std::size_t digits = std::to_string(std::max(pageCount, pageNumber)).size();
  std::string number = std::to_string(pageNumber);
  number.insert(0, digits - number.size(), '0');
  fs::path name = target;
  name.replace_filename(target.stem().string() + number + target.extension().string());
  return name.string();
}

TRLPDFFilter& PDFFilter() {
  static TRLPDFFilter filter;
  return filter;
}

TRLPNGFilter& PNGFilter() {
  static TRLPNGFilter filter;
  return filter;
}
