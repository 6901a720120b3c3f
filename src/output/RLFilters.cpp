#include "output/RLFilters.h"

#include "core/Translation.h"
#include "output/RLFeedBack.h"
#include "output/RLPrinters.h"
#include "output/RLSpoolFilter.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "pages/RLUtils.h"
#include "widgets/Forms.h"
#include "widgets/Threads.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

// A background run: its filter and the collection it outputs, known until its thread no longer touches either.
struct TBackgroundRun {
  const TRLCustomFilter* filter;
  const TRLGraphicStorage* pages;
};

struct TFilterRegistry {
  std::mutex mutex;
  std::vector<TRLCustomFilter*> filters;
  std::vector<TBackgroundRun> background_runs;
};

TFilterRegistry& Registry() {
  static TFilterRegistry registry;
  return registry;
}

std::string LowerExt(const std::string& ext) {
  std::string result = FormatFileExt(ext);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

// Shows an error of a background run as a foreground run's would be shown.
void ReportBackgroundError(std::exception_ptr error) {
  try {
    Synchronize([&] {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        if (Application()) Application()->HandleException(e);
      }
    });
  } catch (...) {
    // Nothing is left to tell it to.
  }
}

}  // namespace

TRLCustomFilter::TRLCustomFilter(TComponent* owner) : TComponent(owner) {
  std::lock_guard lock(Registry().mutex);
  Registry().filters.push_back(this);
}

TRLCustomFilter::~TRLCustomFilter() {
  Destroying();
  ProcessMessagesUntil([this] { return !running_; });
  std::lock_guard lock(Registry().mutex);
  auto& filters = Registry().filters;
  filters.erase(std::remove(filters.begin(), filters.end(), this), filters.end());
}

std::string TRLCustomFilter::GetDisplayName() const { return display_name_.empty() ? Name() : display_name_; }

void TRLCustomFilter::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == pages_) pages_ = nullptr;
}

void TRLCustomFilter::Run(TRLGraphicStorage& pages, int firstPage, bool background, int lastPage) {
  if (running_.exchange(true)) {
    throw Exception(Translate("output",
                              "Another print or save is still running along this same way; wait for it "
                              "to end and try again."));
  }
  try {
    canceled_ = false;
    completed_ = false;
    from_page_no_ = std::max(1, firstPage);
    to_page_no_ = lastPage == -1 ? pages.PageCount() : std::min(lastPage, pages.PageCount());
    physical_copies_ = (class_options_ & fcoMakesCopies) ? RLPrinter().Copies() : 1;
    pages_ = &pages;
    pages.Link(this);
  } catch (...) {
    running_ = false;
    throw;
  }
  if (!background) {
    try {
      Execute();
    } catch (...) {
      running_ = false;
      throw;
    }
    running_ = false;
    return;
  }
  {
    std::lock_guard lock(Registry().mutex);
    Registry().background_runs.push_back({this, &pages});
  }
  // The thread is on its own: it ends the run, tells the user of an error and lets the filter go. Its last touch
  // of the filter is clearing running_, under the registry's lock and together with the end of its run there, so
  // that whoever waits for either (WaitForOutputOf, the destructor) may free the filter and the pages at once.
  std::thread([this] {
    try {
      Execute();
    } catch (...) {
      ReportBackgroundError(std::current_exception());
    }
    std::lock_guard lock(Registry().mutex);
    auto& runs = Registry().background_runs;
    runs.erase(
        std::find_if(runs.begin(), runs.end(), [this](const TBackgroundRun& run) { return run.filter == this; }));
    running_ = false;
  }).detach();
}

void TRLCustomFilter::ShowProgressWindow() {
  const TRLEngineMessages& messages = EngineMessages();
  progress_ =
      std::make_unique<TfrmRLFeedBack>(IsPrintFilter() ? messages.msgPrintingInProgress : messages.msgSavingReport);
  progress_->OnCancel = [this](TfrmRLFeedBack*, bool&) { Cancel(); };
  progress_->Show();
  progress_->BitBtnCancel->SetFocus();
  progress_->SetMax((to_page_no_ - from_page_no_ + 1) * physical_copies_);
}

void TRLCustomFilter::Execute() {
  try {
    if (show_progress_) Synchronize([this] { ShowProgressWindow(); });
    BeginDoc();
    try {
      OutputPages();
    } catch (...) {
      completed_ = false;
      EndDoc();
      throw;
    }
    EndDoc();
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
}

void TRLCustomFilter::OutputPages() {
  // A page that cannot be read ends its pass; the pages before it stay output, but the run is not whole and fails
  // once the document is ended, as it does after a page that failed to draw.
  std::string unreadable;
  bool first = true;
  bool canceled = false;
  for (int copy = 0; copy < physical_copies_ && !canceled; ++copy) {
    for (int i = from_page_no_; i <= to_page_no_; ++i) {
      if (!first) NewPage();
      first = false;
      {
        // The collection stays locked while its page is drawn, so that the preview never changes it meanwhile.
        TRLPageRef page = pages_ ? pages_->Pages(i - 1) : TRLPageRef();
        if (!page) {
          if (unreadable.empty()) {
            unreadable = page.Error().empty() ? "Page " + std::to_string(i) + " cannot be read: the report is gone"
                                              : page.Error();
          }
          break;
        }
        DrawPage(*page);
      }
      if (progress_) Synchronize([this] { progress_->StepIt(); });
      if (canceled_) {
        canceled = true;
        break;
      }
    }
  }
  if (!unreadable.empty()) throw Exception(unreadable);
  completed_ = !canceled;
}

void TRLCustomFilter::Finish() {
  Synchronize([this] {
    progress_.reset();
    if (TRLGraphicStorage* pages = pages_) {
      pages_ = nullptr;
      RemoveFreeNotification(pages);
      pages->Unlink(this);
    }
  });
}

std::vector<TRLCustomFilter*> FilterList() {
  std::lock_guard lock(Registry().mutex);
  return Registry().filters;
}

TRLCustomSaveFilter* SaveFilterByExt(const std::string& fileName) {
  std::string ext = std::filesystem::path(fileName).extension().string();
  if (ext.empty()) return nullptr;
  ext = LowerExt(ext);
  for (TRLCustomFilter* filter : FilterList()) {
    auto* save = dynamic_cast<TRLCustomSaveFilter*>(filter);
    if (save && !save->DefaultExt().empty() && LowerExt(save->DefaultExt()) == ext) return save;
  }
  return nullptr;
}

void PrintPages(TRLGraphicStorage& pages, TRLCustomPrintFilter* filter, int firstPage, bool background, int lastPage) {
  (filter ? static_cast<TRLCustomFilter*>(filter) : &SpoolFilter())->Run(pages, firstPage, background, lastPage);
}

bool BackgroundOutputRunning() {
  std::lock_guard lock(Registry().mutex);
  return !Registry().background_runs.empty();
}

void FinishBackgroundOutput(bool cancel) {
  if (cancel) {
    for (TRLCustomFilter* filter : FilterList()) {
      if (filter->Running()) filter->Cancel();
    }
  }
  ProcessMessagesUntil([] { return !BackgroundOutputRunning(); });
}

void WaitForOutputOf(const TRLGraphicStorage& pages) {
  // A filter lets go of the pages (Pages() becomes null) before its thread ends: the registry's list of runs, not
  // the filter, says when the thread is done with both.
  ProcessMessagesUntil([&pages] {
    std::lock_guard lock(Registry().mutex);
    const auto& runs = Registry().background_runs;
    return std::none_of(runs.begin(), runs.end(), [&pages](const TBackgroundRun& run) { return run.pages == &pages; });
  });
}
