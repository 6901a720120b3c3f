#include "printing/Printers.h"

#include "core/ScopeGuard.h"
#include "core/Translation.h"
#include "graphics/QtGraphics.h"
#include "printing/PrintService.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

struct TPrinter::TSettings {
  // -1: the default printer.
  int index = -1;
  int copies = 1;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  QPageSize page_size;
};

namespace {

QPageSize PaperPageSize(int paperCode, double widthMM, double heightMM) {
  QPageSize::PageSizeId id = paperCode > 0 && paperCode != 256 ? QPageSize::id(paperCode) : QPageSize::Custom;
  if (id != QPageSize::Custom) return QPageSize(id);
  if (widthMM <= 0 || heightMM <= 0) return QPageSize();
  // A size within a point of a known paper is that paper, so that the printer picks its own tray and margins.
  return QPageSize(QSizeF(widthMM, heightMM), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

int Rounded(double value) { return static_cast<int>(std::lround(value)); }

// The file of our writer's job until the printing service has a copy: one per process, since a process prints
// one job at a time.
std::string OwnJobFileName() {
  return (std::filesystem::temp_directory_path() / ("relclientes-job-" + std::to_string(getpid()) + ".pdf")).string();
}

constexpr double kMillimetresPerPoint = 25.4 / 72;

}  // namespace

TPrinter::TPrinter() : settings_(std::make_unique<TSettings>()) {}

TPrinter::~TPrinter() {
  canvas_.reset();
  job_.reset();
  own_canvas_ = nullptr;
  own_.reset();
}

void TPrinter::LoadPrinters() {
  if (printers_loaded_) return;
  printers_.clear();
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    printers_.push_back(FromQString(info.printerName()) + "|" + FromQString(info.location()));
  }
  printers_loaded_ = true;
}

std::vector<std::string> TPrinter::Printers() {
  std::lock_guard lock(mutex_);
  LoadPrinters();
  return printers_;
}

int TPrinter::PrinterIndex() {
  std::lock_guard lock(mutex_);
  LoadPrinters();
  int count = static_cast<int>(printers_.size());
  if (settings_->index >= 0) return settings_->index < count ? settings_->index : -1;
  std::string name = FromQString(QPrinterInfo::defaultPrinterName());
  if (name.empty()) return -1;
  for (int i = 0; i < count; ++i) {
    if (printers_[static_cast<std::size_t>(i)].substr(0, printers_[static_cast<std::size_t>(i)].find('|')) == name) {
      return i;
    }
  }
  return -1;
}

void TPrinter::SetPrinterIndex(int index) {
  std::lock_guard lock(mutex_);
  *settings_ = TSettings{};
  settings_->index = index;
}

void TPrinter::Refresh() {
  std::lock_guard lock(mutex_);
  printers_loaded_ = false;
  printers_.clear();
}

std::string TPrinter::PrinterName() {
  std::lock_guard lock(mutex_);
  int index = PrinterIndex();
  if (index < 0) return {};
  const std::string& entry = printers_[static_cast<std::size_t>(index)];
  return entry.substr(0, entry.find('|'));
}

int TPrinter::Copies() {
  std::lock_guard lock(mutex_);
  return settings_->copies;
}

void TPrinter::SetCopies(int copies) {
  std::lock_guard lock(mutex_);
  settings_->copies = copies;
}

TPrinterOrientation TPrinter::Orientation() {
  std::lock_guard lock(mutex_);
  return settings_->orientation == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  std::lock_guard lock(mutex_);
  settings_->orientation = orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

void TPrinter::SetPaper(int paperCode, double widthMM, double heightMM) {
  std::lock_guard lock(mutex_);
  settings_->page_size = PaperPageSize(paperCode, widthMM, heightMM);
}

std::unique_ptr<QPrinter> TPrinter::MakePrinter() {
  std::string name = PrinterName();
  if (name.empty()) return nullptr;
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setPrinterName(ToQString(name));
  if (!printer->isValid()) return nullptr;
  printer->setFullPage(false);
  if (settings_->page_size.isValid()) printer->setPageSize(settings_->page_size);
  printer->setPageOrientation(settings_->orientation);
  printer->setCopyCount(std::max(1, settings_->copies));
  return printer;
}

bool TPrinter::DeviceMetrics(TPrinterDeviceMetrics& metrics) {
  std::lock_guard lock(mutex_);
  std::unique_ptr<QPrinter> printer = MakePrinter();
  if (!printer) return false;
  QRectF paper = printer->paperRect(QPrinter::DevicePixel);
  QRectF page = printer->pageRect(QPrinter::DevicePixel);
  metrics.PixelsPerInchX = printer->logicalDpiX();
  metrics.PixelsPerInchY = printer->logicalDpiY();
  metrics.PhysicalWidth = Rounded(paper.width());
  metrics.PhysicalHeight = Rounded(paper.height());
  metrics.PhysicalOffsetX = Rounded(page.left() - paper.left());
  metrics.PhysicalOffsetY = Rounded(page.top() - paper.top());
  metrics.HorizontalResolution = Rounded(page.width());
  metrics.VerticalResolution = Rounded(page.height());
  return metrics.PixelsPerInchX > 0 && metrics.PixelsPerInchY > 0;
}

void TPrinter::BeginDoc(const std::string& title, int unitsPerInch, TPdfDocument::TWriter writer) {
  if (job_) throw EPrinter(Translate("printing", "Printing in progress"));
  {
    std::lock_guard lock(mutex_);
    job_ = MakePrinter();
  }
  if (!job_) throw EPrinter(Translate("printing", "There is no default printer currently selected"));
  job_->setDocName(ToQString(title.empty() ? std::string("relclientes") : title));
  pages_ = 0;
  if (writer == TPdfDocument::TWriter::Own) {
    BeginOwnDoc(unitsPerInch);
    return;
  }
  double scale = unitsPerInch > 0 ? static_cast<double>(job_->logicalDpiY()) / unitsPerInch : 1.0;
  canvas_ = std::make_unique<TCanvas>(job_.get(), scale);
  try {
    canvas_->BeginPaint();
  } catch (...) {
    canvas_.reset();
    job_.reset();
    throw EPrinter(Translate("printing", "Printer selected is not valid"));
  }
}

// Our writer draws the pages Qt's writer would draw for the printer: the sheet of the job's paper and orientation,
// at the printer's resolution, counted from the corner of its printable area.
void TPrinter::BeginOwnDoc(int unitsPerInch) {
  const QPageLayout layout = job_->pageLayout();
  const int resolution = job_->resolution();
  const QRect printable = layout.paintRectPixels(resolution);
  const QRectF sheet = layout.fullRectPoints();
  own_width_mm_ = sheet.width() * kMillimetresPerPoint;
  own_height_mm_ = sheet.height() * kMillimetresPerPoint;
  TPdfDocument::TLayout pages;
  pages.Resolution = resolution;
  pages.UnitsPerInch = unitsPerInch;
  pages.OriginX = printable.left();
  pages.OriginY = printable.top();
  pages.WhitePaper = false;
  try {
    own_file_ = OwnJobFileName();
    own_ = std::make_unique<TPdfDocument>(own_file_, TPdfDocument::TWriter::Own, pages);
  } catch (const Exception& error) {
    own_.reset();
    job_.reset();
    throw EPrinter(Translate("printing", "Printer selected is not valid: ") + error.Message());
  }
}

void TPrinter::NewPage() {
  // The job is on its first page from the start: a feed goes past it.
  (void)Canvas();
  if (own_) {
    own_canvas_ = &own_->NewPage(own_width_mm_, own_height_mm_);
  } else {
    FeedQtPage();
  }
  ++pages_;
}

void TPrinter::FeedQtPage() {
  canvas_->RemoveClip();
  if (!job_->newPage()) throw EPrinter(Translate("printing", "Printer is not currently printing"));
}

void TPrinter::AddPage(std::function<void(TCanvas&)> draw) {
  if (!job_) throw EPrinter(Translate("printing", "Printer is not currently printing"));
  if (own_) {
    own_canvas_ = nullptr;
    own_->AddPage(own_width_mm_, own_height_mm_, std::move(draw));
  } else {
    if (pages_ > 0) FeedQtPage();
    draw(*canvas_);
  }
  ++pages_;
}

bool TPrinter::EndDoc() {
  if (!job_) throw EPrinter(Translate("printing", "Printer is not currently printing"));
  if (own_) return EndOwnDoc();
  // Ending the painting hands the job over; the printer object goes with it.
  canvas_.reset();
  bool failed = job_->printerState() == QPrinter::Error;
  job_.reset();
  if (failed) throw EPrinter(Translate("printing", "Printer error"));
  return true;
}

bool TPrinter::EndOwnDoc() {
  // A job that drew nothing is one empty sheet.
  if (pages_ == 0) (void)Canvas();
  own_canvas_ = nullptr;
  std::unique_ptr<TPdfDocument> document = std::move(own_);
  std::unique_ptr<QPrinter> printer = std::move(job_);
  // The service spools its own copy: ours goes once handed over, or when nothing is.
  const TScopeExit removed([this] { std::remove(own_file_.c_str()); });
  try {
    if (!document->Close()) return false;
  } catch (const Exception& error) {
    throw EPrinter(Translate("printing", "Printer error: ") + error.Message());
  }
  std::string error;
  if (SubmitPdfJob(*printer, own_file_, error) == 0) throw EPrinter(Translate("printing", "Printer error: ") + error);
  return true;
}

TCanvas& TPrinter::Canvas() {
  if (!job_) throw EPrinter(Translate("printing", "Printer is not currently printing"));
  if (own_) {
    if (!own_canvas_) {
      own_canvas_ = &own_->NewPage(own_width_mm_, own_height_mm_);
      pages_ = std::max(pages_, 1);
    }
    return *own_canvas_;
  }
  pages_ = std::max(pages_, 1);
  return *canvas_;
}

bool TPrinter::ExecuteSetup() {
  std::unique_ptr<QPrinter> printer;
  {
    std::lock_guard lock(mutex_);
    printer = MakePrinter();
  }
  if (!printer) return false;
  QPageSetupDialog dialog(printer.get());
  return dialog.exec() == QDialog::Accepted;
}

TPrinter& Printer() {
  static TPrinter printer;
  return printer;
}
