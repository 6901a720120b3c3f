#include "pdf/PdfDocument.h"

#include "core/Translation.h"
#include "graphics/QtGraphics.h"
#include "pdf/PdfFile.h"
#include "pdf/PdfPaintEngine.h"
#include "pdf/PdfResources.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <unistd.h>

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

// Gives a canvas drawn on before the font, pen and brush of a new one.
void ResetCanvas(TCanvas& canvas) {
  canvas.SetFont(TFont());
  canvas.SetPen(TPen());
  canvas.SetBrush(TBrush());
  canvas.SetPenPos({0, 0});
}

}  // namespace

// Each thread draws the pages it takes on a device of its own. Pages are then finished in the order they were added,
// one at a time: their glyphs numbered (the fonts' subsets number glyphs in order of first use), and after their
// deflating, which goes on at once on several threads, written.
class TPdfDocument::TDrawers {
public:
  explicit TDrawers(TPdfDocument& document) : document_(document) {}
  // Pages not drawn yet are dropped.
  ~TDrawers() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      waiting_.clear();
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }
  TDrawers(const TDrawers&) = delete;
  TDrawers& operator=(const TDrawers&) = delete;

  // Starts threads up to `count` (0: one for each core, up to four); none stops.
  void UseThreads(unsigned count) {
    if (count == 0) count = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    std::lock_guard lock(mutex_);
    while (threads_.size() < count) threads_.emplace_back([this] { Run(); });
    max_waiting_ = 2 * threads_.size();
  }

  void Add(double widthMM, double heightMM, std::function<void(TCanvas&)> draw) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.size() < max_waiting_ || failure_; });
    if (failure_) std::rethrow_exception(failure_);
    waiting_.push_back({added_++, widthMM, heightMM, std::move(draw)});
    changed_.notify_all();
  }
  // Waits until every page added is written.
  void Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return written_ == added_ || failure_; });
    if (failure_) std::rethrow_exception(failure_);
  }
  bool Exact() const { return exact_; }

private:
  static constexpr unsigned kMaxThreads = 4;
  struct TPage {
    int sequence = 0;
    double width_mm = 0, height_mm = 0;
    std::function<void(TCanvas&)> draw;
  };

  void Run() {
    const TLayout& layout = document_.layout_;
    TPdfPaintDevice device(*document_.resources_, layout.Resolution);
    TPdfPaintEngine& engine = device.Engine();
    engine.NameFacesLater();
    std::unique_ptr<TCanvas> canvas;
    for (;;) {
      TPage page;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) break;
        page = std::move(waiting_.front());
        waiting_.pop_front();
      }
      changed_.notify_all();
      Attempt([&] {
        if (!exact_) return;
        device.SetPageSize({page.width_mm, page.height_mm});
        engine.StartPage(Points(page.height_mm), QPoint(layout.OriginX, layout.OriginY));
        if (!canvas) canvas = std::make_unique<TCanvas>(&device, document_.CanvasScale());
        canvas->RemoveClip();
        ResetCanvas(*canvas);
        if (layout.WhitePaper) PaintPaper(*canvas, page.width_mm, page.height_mm);
        page.draw(*canvas);
        canvas->EndPaint();
        engine.EndPage();
        if (!engine.Exact()) exact_ = false;
      });
      // What the page drew with goes now, on this thread.
      page.draw = nullptr;
      const std::string* content = nullptr;
      InTurn(numbered_, page.sequence, [&] {
        if (exact_) content = &engine.NameFaces();
      });
      std::string deflated;
      Attempt([&] {
        if (exact_ && content) deflated = TPdfFile::Deflate(*content);
      });
      InTurn(written_, page.sequence, [&] {
        if (exact_) document_.WriteOwnPage(deflated, page.width_mm, page.height_mm);
      });
    }
  }

  // Runs a step of a page; a failure stops every page after it.
  template <typename Step>
  void Attempt(const Step& step) {
    try {
      step();
    } catch (...) {
      {
        std::lock_guard lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
        waiting_.clear();
      }
      changed_.notify_all();
    }
  }
  // Runs the step of page `sequence` once the pages before it have had theirs, counted in `done`; none after a
  // failure.
  template <typename Step>
  void InTurn(int& done, int sequence, const Step& step) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return done == sequence || failure_; });
      if (failure_) return;
    }
    Attempt(step);
    {
      std::lock_guard lock(mutex_);
      ++done;
    }
    changed_.notify_all();
  }

  TPdfDocument& document_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<TPage> waiting_;
  std::size_t max_waiting_ = 2;
  // Pages added, and how many of them had their glyphs numbered and were written.
  int added_ = 0, numbered_ = 0, written_ = 0;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::atomic<bool> exact_{true};
  std::vector<std::thread> threads_;
};

TPdfDocument::TPdfDocument(const std::string& fileName, TWriter writer) : TPdfDocument(fileName, writer, TLayout{}) {}

TPdfDocument::TPdfDocument(const std::string& fileName, TWriter writer, const TLayout& layout)
    : safe_file_(fileName), writer_kind_(writer), layout_(layout) {
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
  StartQt();
}

void TPdfDocument::StartQt() {
  file_ = std::make_unique<QFile>();
  if (!file_->open(safe_file_.Descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
    throw EFileWriteError(
        Format(Translate("pdf", "Cannot create file \"%s\": %s"), {safe_file_.FileName(), FromQString(file_->errorString())}));
  }
  writer_ = std::make_unique<QPdfWriter>(file_.get());
  writer_->setResolution(layout_.Resolution);
  writer_->setPageMargins(QtMargins(), QPageLayout::Point);
  writer_->setCreator(QString::fromStdString(PdfCreator()));
  SetInfo(info_values_);
}

void TPdfDocument::SetInfo(const TPdfInfo& info) {
  info_values_ = info;
  if (writer_) writer_->setTitle(QString::fromStdString(info.Title));
}

void TPdfDocument::SetOutline(std::vector<TPdfOutlineItem> items) {
  // Rows from canvas units to points below the top of the sheet.
  const double origin = layout_.Resolution > 0 ? 72.0 * layout_.OriginY / layout_.Resolution : 0;
  const double per_unit = 72.0 / (layout_.UnitsPerInch > 0 ? layout_.UnitsPerInch : std::max(1, layout_.Resolution));
  for (TPdfOutlineItem& item : items) item.Top = origin + item.Top * per_unit;
  outline_ = std::move(items);
}

TPdfDocument::~TPdfDocument() {
  drawers_.reset();
  // The painter ends before its device goes.
  canvas_.reset();
  writer_.reset();
}

// Qt's writer counts from the corner of its margins: the origin, in points.
QMarginsF TPdfDocument::QtMargins() const {
  const double per_pixel = layout_.Resolution > 0 ? 72.0 / layout_.Resolution : 0;
  return QMarginsF(layout_.OriginX * per_pixel, layout_.OriginY * per_pixel, 0, 0);
}

double TPdfDocument::CanvasScale() const {
  return layout_.UnitsPerInch > 0 ? static_cast<double>(layout_.Resolution) / layout_.UnitsPerInch : 1.0;
}

bool TPdfDocument::Exact() const { return !device_ || (device_->Engine().Exact() && (!drawers_ || drawers_->Exact())); }

void TPdfDocument::AddPage(double widthMM, double heightMM, std::function<void(TCanvas&)> draw) {
  if (writer_kind_ == TWriter::Qt) {
    // The paper painted (its brush is a new canvas's).
    TCanvas& canvas = NewPage(widthMM, heightMM);
    ResetCanvas(canvas);
    return draw(canvas);
  }
  // A page started with NewPage goes first.
  FinishOwnPage();
  ++pages_;
  kept_.push_back({widthMM, heightMM, draw});
  // Once our writer is out, the pages are only kept for Qt's.
  if (!Exact()) return;
  if (!drawers_) drawers_ = std::make_unique<TDrawers>(*this);
  drawers_->UseThreads(drawing_threads_);
  drawers_->Add(widthMM, heightMM, std::move(draw));
}

void TPdfDocument::SetDrawingThreads(unsigned count) { drawing_threads_ = count; }

TCanvas& TPdfDocument::NewPage(double widthMM, double heightMM) {
  ++pages_;
  if (writer_kind_ == TWriter::Qt) {
    writer_->setPageLayout(QPageLayout(PageSize(widthMM, heightMM), QPageLayout::Portrait, QtMargins()));
    if (!canvas_) {
      canvas_ = std::make_unique<TCanvas>(writer_.get(), CanvasScale());
    } else {
      canvas_->RemoveClip();
      writer_->newPage();
    }
    if (layout_.WhitePaper) PaintPaper(*canvas_, widthMM, heightMM);
    return *canvas_;
  }
  // Pages added before go first.
  if (drawers_) drawers_->Finish();
  replayable_ = false;
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
  WriteOwnPage(TPdfFile::Deflate(device_->Engine().FinishPage()), page_width_mm_, page_height_mm_);
}

void TPdfDocument::WriteOwnPage(const std::string& deflated, double widthMM, double heightMM) {
  // Through the resources, which images drawn on other threads write to meanwhile.
  const int content = resources_->Reserve();
  resources_->WriteDeflatedStream(content, deflated);
  const int page = resources_->Reserve();
  std::string body = "<< /Type /Page /Parent " + std::to_string(page_tree_) + " 0 R /MediaBox [0 0 ";
  AppendPdfNumber(body, Points(widthMM));
  body += ' ';
  AppendPdfNumber(body, Points(heightMM));
  body += "] /Resources " + std::to_string(resources_object_) + " 0 R /Contents " + std::to_string(content) + " 0 R >>";
  resources_->WriteObject(page, body);
  page_objects_.push_back(page);
  page_heights_.push_back(Points(heightMM));
}

bool TPdfDocument::Close() {
  if (closed_) return true;
  if (writer_kind_ == TWriter::Own && !CloseOwn()) {
    if (!replayable_) return false;
    ReplayOnQt();
  }
  if (writer_kind_ == TWriter::Qt) CloseQt();
  closed_ = true;
  return true;
}

void TPdfDocument::ReplayOnQt() {
  drawers_.reset();
  canvas_.reset();
  device_.reset();
  resources_.reset();
  pdf_.reset();
  // Our writer's bytes go; Qt's writer starts the file again.
  if (::ftruncate(safe_file_.Descriptor(), 0) != 0 || ::lseek(safe_file_.Descriptor(), 0, SEEK_SET) != 0) {
    throw EFileWriteError("Cannot write file \"" + safe_file_.FileName() + "\"");
  }
  writer_kind_ = TWriter::Qt;
  StartQt();
  pages_ = 0;
  const std::vector<TKeptPage> pages = std::move(kept_);
  kept_.clear();
  for (const TKeptPage& page : pages) AddPage(page.width_mm, page.height_mm, page.draw);
}

bool TPdfDocument::CloseOwn() {
  // A document without pages still gets one: a PDF needs a page.
  if (pages_ == 0) AddPage(210, 297, [](TCanvas&) {});
  if (drawers_) {
    drawers_->Finish();
    const bool exact = drawers_->Exact();
    drawers_.reset();
    if (!exact) return false;
  }
  FinishOwnPage();
  if (!Exact()) return false;
  pdf_->WriteObject(resources_object_, "<< " + resources_->Write() + " >>");
  std::string kids;
  for (int page : page_objects_) kids += std::to_string(page) + " 0 R ";
  pdf_->WriteObject(page_tree_,
                    "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(page_objects_.size()) + " >>");
  std::string catalog = "<< /Type /Catalog /Pages " + std::to_string(page_tree_) + " 0 R";
  if (const int outline = WritePdfOutline(*pdf_, outline_, page_objects_, page_heights_)) {
    catalog += " /Outlines " + std::to_string(outline) + " 0 R /PageMode /UseOutlines";
  }
  pdf_->WriteObject(catalog_, catalog + " >>");
  pdf_->WriteObject(info_, PdfInfoDictionary(info_values_, PdfDate()));
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
  if (!ok) throw EFileWriteError(Format(Translate("pdf", "Cannot write file \"%s\""), {safe_file_.FileName()}));
  safe_file_.Commit();
}
