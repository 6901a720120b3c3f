#include "pages/RLPdfWhileAdding.h"

#include "core/ScopeGuard.h"
#include "pages/RLGraphicStorage.h"
#include "pages/RLMetaSurface.h"
#include "pages/RLMetaVCL.h"
#include "pdf/PdfDocument.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// What the adding thread hands the writing thread: pages to draw now, then how the file ends.
class TPageHandOver {
public:
  enum class TEnd { Open, Abandon, Finish };

  // Waits while the writer is this many pages behind: the copies waiting stay few, and memory stays flat.
  static constexpr std::size_t kMaxWaiting = 2;

  // False when the writer has stopped on an error, and takes no more pages.
  bool Push(TRLPageRecord page) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return waiting_.size() < kMaxWaiting || stopped_; });
    if (stopped_) return false;
    waiting_.push_back(std::move(page));
    ready_.notify_one();
    return true;
  }
  // The run is over; the writer draws what waits, then ends the file as `end` says.
  void End(TEnd end, int firstToDraw, bool restarted) {
    std::lock_guard lock(mutex_);
    end_ = end;
    first_to_draw_ = firstToDraw;
    restarted_ = restarted;
    ready_.notify_one();
  }

  // Takes the next page to draw; false once the run is over and every page handed over is drawn.
  bool Pop(TRLPageRecord& page) {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return !waiting_.empty() || end_ != TEnd::Open; });
    if (waiting_.empty()) return false;
    page = std::move(waiting_.front());
    waiting_.pop_front();
    room_.notify_one();
    return true;
  }
  // After Pop has answered none.
  TEnd End() const {
    std::lock_guard lock(mutex_);
    return end_;
  }
  int FirstToDraw() const {
    std::lock_guard lock(mutex_);
    return first_to_draw_;
  }
  bool Restarted() const {
    std::lock_guard lock(mutex_);
    return restarted_;
  }
  // The writer takes no more pages.
  void Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    waiting_.clear();
    room_.notify_all();
  }

private:
  mutable std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::deque<TRLPageRecord> waiting_;
  TEnd end_ = TEnd::Open;
  int first_to_draw_ = 0;
  bool restarted_ = false;
  bool stopped_ = false;
};

// The writing thread: the document is made, drawn and closed there alone (when a page needs Qt's writer, the
// document draws the collection's pages again on it as it closes).
void WritePages(TPageHandOver& handOver, TRLGraphicStorage& storage, const std::string& fileName) {
  auto document = std::make_unique<TPdfDocument>(fileName);
  // While the run goes on, one thread drawing keeps up with it; the pages drawn after it have every core.
  document->SetDrawingThreads(1);
  for (TRLPageRecord page; handOver.Pop(page);) {
    AddStandalonePageToPdf(*document, page.Load(), storage);
  }
  if (handOver.End() != TPageHandOver::TEnd::Finish) return;  // the document goes without leaving a file
  if (handOver.Restarted()) {
    document.reset();
    document = std::make_unique<TPdfDocument>(fileName);
  }
  document->SetDrawingThreads(0);
  auto lock = storage.Lock();
  AddPagesToPdf(*document, storage, handOver.FirstToDraw());
  // The collection is complete now: the document learns its title and outline here.
  DescribePdf(*document, storage);
  (void)document->Close();
}

}  // namespace

bool SavePagesToPdfWhileAdding(TRLGraphicStorage& storage, const std::string& fileName,
                               const std::function<bool()>& run) {
  TPageHandOver handOver;
  std::exception_ptr failure;
  std::thread writer([&] {
    try {
      WritePages(handOver, storage, fileName);
    } catch (...) {
      failure = std::current_exception();
    }
    handOver.Stop();
  });
  int handed = 0, added = 0;
  bool deferring = false, restarted = false, ended = false;
  // The writer ends before the hand-over and the collection go, whatever happens to the run: with the file put in
  // place only when the run completed.
  const auto end = [&](TPageHandOver::TEnd how) {
    if (std::exchange(ended, true)) return;
    storage.OnPageAdded = nullptr;
    handOver.End(how, restarted ? 0 : handed, restarted);
    writer.join();
  };
  TScopeExit abandon([&] { end(TPageHandOver::TEnd::Abandon); });
  storage.OnPageAdded = [&](TRLGraphicSurface& page) {
    // Pages come one after the other from the first; a run that starts over (the collection cleared, or holding
    // pages of an earlier run) has the whole collection drawn when it ends.
    restarted = restarted || storage.PageCount() - 1 != added;
    ++added;
    deferring = deferring || restarted || !page.SelfContained();
    if (deferring) return;
    if (handOver.Push(storage.Record(page.PageIndex()))) ++handed;
    else deferring = true;  // the writer failed; the run goes on, and its failure is raised at the end
  };
  if (!run()) return false;
  end(TPageHandOver::TEnd::Finish);
  if (failure) std::rethrow_exception(failure);
  return true;
}
