#include "framework/PdfDocument.h"

#include "framework/PdfFile.h"
#include "framework/PdfPaintEngine.h"
#include "framework/PdfResources.h"
#include "framework/QtBridge.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <cmath>
#include <ctime>
#include <stdexcept>

namespace {

QPageSize PageSize(double widthMM, double heightMM) {
  return QPageSize(QSizeF(widthMM, heightMM), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

// A page's side in whole points, as Qt's writer has it: 72/25.4 to eleven decimals, rounded, so that a page of
// whole pixels slightly wider than its paper (794 pixels for A4's 793.7) keeps the paper's 595 points.
double Points(double millimetres) { return std::round(millimetres * 2.83464566929); }

std::string PdfDate() {
  std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "D:%Y%m%d%H%M%SZ", &utc);
  return text;
}

// Paints the paper white, which also starts the page on Qt's writer.
void PaintPaper(TCanvas& canvas, double widthMM, double heightMM) {
  int width = static_cast<int>(widthMM * 96 / 25.4 + 1), height = static_cast<int>(heightMM * 96 / 25.4 + 1);
  canvas.Brush().SetColor(clWhite);
  canvas.Brush().SetStyle(bsSolid);
  canvas.FillRect({0, 0, width, height});
}

}  // namespace

TPdfDocument::TPdfDocument(const std::string& fileName, TWriter writer) : TPdfDocument(fileName, writer, TLayout{}) {}

TPdfDocument::TPdfDocument(const std::string& fileName, TWriter writer, const TLayout& layout)
    : safe_file_(fileName), writer_kind_(writer), layout_(layout) {
  if (writer == TWriter::Qt && (layout.OriginX != 0 || layout.OriginY != 0)) {
    throw std::invalid_argument("Qt's writer draws from the sheet's corner");
  }
  if (writer == TWriter::Own) {
    pdf_ = std::make_unique<TPdfFile>(safe_file_);
    resources_ = std::make_unique<TPdfResources>(*pdf_);
    device_ = std::make_unique<TPdfPaintDevice>(*resources_, layout.Resolution);
    catalog_ = pdf_->Reserve();
    page_tree_ = pdf_->Reserve();
    resources_object_ = pdf_->Reserve();
    info_ = pdf_->Reserve();
    return;
  }
  file_ = std::make_unique<QFile>();
  if (!file_->open(safe_file_.Descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
    throw EFileWriteError("Cannot create file \"" + fileName + "\": " + FromQString(file_->errorString()));
  }
  writer_ = std::make_unique<QPdfWriter>(file_.get());
  writer_->setResolution(layout.Resolution);
  writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
  writer_->setCreator(QStringLiteral("relclientes"));
}

TPdfDocument::~TPdfDocument() {
  // The painter ends before its device goes.
  canvas_.reset();
  writer_.reset();
}

double TPdfDocument::CanvasScale() const {
  return layout_.UnitsPerInch > 0 ? static_cast<double>(layout_.Resolution) / layout_.UnitsPerInch : 1.0;
}

bool TPdfDocument::Exact() const { return !device_ || device_->Engine().Exact(); }

TCanvas& TPdfDocument::NewPage(double widthMM, double heightMM) {
  ++pages_;
  if (writer_kind_ == TWriter::Qt) {
    writer_->setPageLayout(QPageLayout(PageSize(widthMM, heightMM), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    if (!canvas_) {
      canvas_ = std::make_unique<TCanvas>(writer_.get(), CanvasScale());
    } else {
      canvas_->RemoveClip();
      writer_->newPage();
    }
    if (layout_.WhitePaper) PaintPaper(*canvas_, widthMM, heightMM);
    return *canvas_;
  }
  FinishOwnPage();
  page_width_mm_ = widthMM;
  page_height_mm_ = heightMM;
  device_->SetPageSize({widthMM, heightMM});
  device_->Engine().StartPage(Points(heightMM), QPoint(layout_.OriginX, layout_.OriginY));
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(device_.get(), CanvasScale());
  else canvas_->RemoveClip();
  page_open_ = true;
  if (layout_.WhitePaper) PaintPaper(*canvas_, widthMM, heightMM);
  return *canvas_;
}

void TPdfDocument::FinishOwnPage() {
  if (!page_open_) return;
  page_open_ = false;
  canvas_->EndPaint();
  const std::string deflated = TPdfFile::Deflate(device_->Engine().FinishPage());
  const int content = pdf_->Reserve();
  pdf_->WriteDeflatedStream(content, "", deflated);
  const int page = pdf_->Reserve();
  std::string body = "<< /Type /Page /Parent " + std::to_string(page_tree_) + " 0 R /MediaBox [0 0 ";
  AppendPdfNumber(body, Points(page_width_mm_));
  body += ' ';
  AppendPdfNumber(body, Points(page_height_mm_));
  body += "] /Resources " + std::to_string(resources_object_) + " 0 R /Contents " + std::to_string(content) + " 0 R >>";
  pdf_->WriteObject(page, body);
  page_objects_.push_back(page);
}

bool TPdfDocument::Close() {
  if (closed_) return true;
  if (writer_kind_ == TWriter::Qt) {
    CloseQt();
  } else if (!CloseOwn()) {
    return false;
  }
  closed_ = true;
  return true;
}

bool TPdfDocument::CloseOwn() {
  // A document without pages still gets one: a PDF needs a page.
  if (pages_ == 0) NewPage(210, 297);
  FinishOwnPage();
  if (!Exact()) return false;
  const std::optional<std::string> resources = resources_->Write();
  if (!resources) return false;
  pdf_->WriteObject(resources_object_, "<< " + *resources + " >>");
  std::string kids;
  for (int page : page_objects_) kids += std::to_string(page) + " 0 R ";
  pdf_->WriteObject(page_tree_,
                    "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(page_objects_.size()) + " >>");
  pdf_->WriteObject(catalog_, "<< /Type /Catalog /Pages " + std::to_string(page_tree_) + " 0 R >>");
  pdf_->WriteObject(info_, "<< /Creator (relclientes) /Producer (relclientes) /CreationDate (" + PdfDate() + ") >>");
  pdf_->Finish(catalog_, info_);
  safe_file_.Commit();
  return true;
}

void TPdfDocument::CloseQt() {
  // A document without pages still needs one, or no file is produced.
  if (pages_ == 0) NewPage(210, 297);
  canvas_.reset();
  writer_.reset();
  file_->flush();
  bool ok = file_->error() == QFileDevice::NoError;
  file_->close();
  if (!ok) throw EFileWriteError("Cannot write file \"" + safe_file_.FileName() + "\"");
  safe_file_.Commit();
}
