#include "output/RLSaveFilters.h"

#include "framework/Bitmap.h"
#include "framework/PdfDocument.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TRLPDFFilter::TRLPDFFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {
  SetName("PDFFilter");
  SetDisplayName("PDF");
  SetDefaultExt(".pdf");
}

TRLPDFFilter::~TRLPDFFilter() = default;

void TRLPDFFilter::BeginDoc() {
  file_ = std::make_unique<TPendingFile>(FileName());
  document_ = std::make_unique<TPdfDocument>(file_->Temp());
}

void TRLPDFFilter::DrawPage(TRLGraphicSurface& page) { AddPageToPdf(*document_, &page, *Pages()); }

void TRLPDFFilter::EndDoc() {
  std::unique_ptr<TPendingFile> file = std::move(file_);
  std::unique_ptr<TPdfDocument> document = std::move(document_);
  if (!Completed()) return;
  document->Close();
  file->Commit();
}

TRLPNGFilter::TRLPNGFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {
  SetName("PNGFilter");
  SetDisplayName("PNG");
  SetDefaultExt(".png");
}

void TRLPNGFilter::BeginDoc() { files_.clear(); }

void TRLPNGFilter::DrawPage(TRLGraphicSurface& page) {
  fs::path target(FileName());
  fs::path name = target;
  name.replace_filename(target.stem().string() + std::to_string(page.PageIndex() + 1) + target.extension().string());
  auto file = std::make_unique<TPendingFile>(name.string());
  std::string bytes = RenderPageToImage(page, 1.0)->SaveToPngBytes();
  std::ofstream out(file->Temp(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw Exception("Cannot create file \"" + name.string() + "\"");
  files_.push_back(std::move(file));
}

void TRLPNGFilter::EndDoc() {
  std::vector<std::unique_ptr<TPendingFile>> files = std::move(files_);
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
