#include "framework/PdfDocument.h"

#include "framework/Exceptions.h"
#include "framework/QtBridge.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace {

constexpr int kResolution = 600;

QPageSize PageSize(double widthMM, double heightMM) {
  return QPageSize(QSizeF(widthMM, heightMM), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

}  // namespace

TPdfDocument::TPdfDocument(const std::string& fileName) : safe_file_(fileName) {
  file_ = std::make_unique<QFile>();
  if (!file_->open(safe_file_.Descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
    throw EFileWriteError("Cannot create file \"" + fileName + "\": " + FromQString(file_->errorString()));
  }
  writer_ = std::make_unique<QPdfWriter>(file_.get());
  writer_->setResolution(kResolution);
  writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
  writer_->setCreator(QStringLiteral("relclientes"));
}

TPdfDocument::~TPdfDocument() {
  canvas_.reset();
  writer_.reset();
}

TCanvas& TPdfDocument::NewPage(double widthMM, double heightMM) {
  writer_->setPageLayout(QPageLayout(PageSize(widthMM, heightMM), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  if (!canvas_) {
    canvas_ = std::make_unique<TCanvas>(writer_.get(), kResolution / 96.0);
  } else {
    canvas_->RemoveClip();
    writer_->newPage();
  }
  ++pages_;
  // Painting the paper white also starts the page on the device, which the next page needs.
  int width = static_cast<int>(widthMM * 96 / 25.4 + 1), height = static_cast<int>(heightMM * 96 / 25.4 + 1);
  canvas_->Brush().SetColor(clWhite);
  canvas_->Brush().SetStyle(bsSolid);
  canvas_->FillRect({0, 0, width, height});
  return *canvas_;
}

void TPdfDocument::Close() {
  if (!writer_) return;
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
