#include "output/RLSaveFilters.h"

#include "core/JobQueue.h"
#include "core/SafeFile.h"
#include "graphics/Bitmap.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"
#include "pdf/PdfDocument.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

// The page number in "<stem><digits><ext>", padded with zeros or not; 0 when the name is not of that form.
int NumberedPage(const std::string& name, const std::string& stem, const std::string& ext) {
  if (name.size() <= stem.size() + ext.size() || !name.starts_with(stem) || !name.ends_with(ext)) return 0;
  const std::string digits = name.substr(stem.size(), name.size() - stem.size() - ext.size());
  if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  return std::stoi(digits);
}

// Removes the images of an earlier export under the same name (numbered as the PNG filter numbers, with or without
// padding) that are not among `kept`, so that the folder holds exactly the pages of the last export.
void RemoveOtherNumberedPages(const fs::path& target, const std::set<fs::path>& kept) {
  const std::string stem = target.stem().string(), ext = target.extension().string();
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::error_code error;
  std::vector<fs::path> stale;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const fs::path name = entry.path().filename();
    if (NumberedPage(name.string(), stem, ext) > 0 && !kept.contains(name) && entry.is_regular_file(error) &&
        !entry.is_symlink(error))
      stale.push_back(entry.path());
  }
  for (const fs::path& file : stale) fs::remove(file, error);
}

}  // namespace

TRLPDFFilter::TRLPDFFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {
  SetName("PDFFilter");
  SetDisplayName("PDF");
  SetDefaultExt(".pdf");
}

TRLPDFFilter::~TRLPDFFilter() = default;

void TRLPDFFilter::BeginDoc() {
  drawn_.clear();
  document_ = std::make_unique<TPdfDocument>(FileName());
}

void TRLPDFFilter::DrawPage(TRLGraphicSurface& page) {
  drawn_.push_back(page.PageIndex());
  AddStandalonePageToPdf(*document_, page.StandaloneCopy(), *Pages());
}

void TRLPDFFilter::EndDoc() {
  // A document dropped without Close leaves no file: a run cut short keeps whatever file was there.
  std::unique_ptr<TPdfDocument> document = std::move(document_);
  const std::vector<int> drawn = std::move(drawn_);
  if (!Completed()) return;
  DescribePdf(*document, *Pages(), &drawn);
  (void)document->Close();
}

TRLPNGFilter::TRLPNGFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {
  SetName("PNGFilter");
  SetDisplayName("PNG");
  SetDefaultExt(".png");
}

TRLPNGFilter::~TRLPNGFilter() = default;

void TRLPNGFilter::BeginDoc() {
  files_.clear();
  encoders_ = std::make_unique<TJobQueue>();
}

void TRLPNGFilter::DrawPage(TRLGraphicSurface& page) {
  const std::string name = PNGPageFileName(FileName(), page.PageIndex() + 1, Pages()->PageCount());
  files_.push_back(std::make_unique<TSafeFile>(name));
  // The page is drawn here, where the collection is locked for it; its image is encoded and written meanwhile.
  std::shared_ptr<TBitmap> image = RenderPageToImage(page, 1.0);
  TSafeFile* file = files_.back().get();
  encoders_->Add([image, file] { file->Write(image->SaveToPngBytes()); });
}

void TRLPNGFilter::EndDoc() {
  std::vector<std::unique_ptr<TSafeFile>> files = std::move(files_);
  // Before the files go: their images are written, or an error of writing one ends the run.
  if (std::unique_ptr<TJobQueue> encoders = std::move(encoders_)) encoders->Wait();
  if (!Completed()) return;
  std::set<fs::path> written;
  for (auto& file : files) {
    file->Commit();
    written.insert(fs::path(file->FileName()).filename());
  }
  // Only once every new page is in place: a run cut short leaves the earlier export whole.
  RemoveOtherNumberedPages(FileName(), written);
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
