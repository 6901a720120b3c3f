#pragma once

// Output of a generated report: a filter sends a range of a page collection's pages, one by one, to the printer
// or to a file, showing progress, stopping on Cancel, on the calling thread or on a worker thread of its own.

#include "core/Classes.h"
#include "pages/RLTypes.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class TfrmRLFeedBack;
class TRLGraphicStorage;
class TRLGraphicSurface;

// ClassOptions bit: the filter makes the copies itself, as many as the printer's copies.
constexpr unsigned fcoMakesCopies = 1;

class TRLCustomFilter : public TComponent {
public:
  explicit TRLCustomFilter(TComponent* owner = nullptr);
  // Waits for a background run of this filter to end.
  ~TRLCustomFilter() override;

  const std::string& DisplayName() const { return display_name_; }
  void SetDisplayName(const std::string& name) { display_name_ = name; }
  // DisplayName, or the component's name when it is empty.
  virtual std::string GetDisplayName() const;

  TRLGraphicStorage* Pages() const { return pages_; }
  TfrmRLFeedBack* Progress() const { return progress_.get(); }
  bool ShowProgress() const { return show_progress_; }
  void SetShowProgress(bool on) { show_progress_ = on; }
  bool Canceled() const { return canceled_; }
  unsigned ClassOptions() const { return class_options_; }
  int PhysicalCopies() const { return physical_copies_; }
  int FromPageNo() const { return from_page_no_; }
  int ToPageNo() const { return to_page_no_; }

  // Outputs pages firstPage to lastPage (1-based; -1: the last page). In the background it returns at once and the
  // run goes on in a worker thread, whose only contact with the main thread is the progress window; an error there
  // is shown in a message box on the main thread. A filter runs once at a time: starting it again while it runs
  // raises an Exception and leaves the running output alone.
  void Run(TRLGraphicStorage& pages, int firstPage = 1, bool background = false, int lastPage = -1);
  // Stops the run after the page being output.
  void Cancel() { canceled_ = true; }
  bool Running() const { return running_; }

  // Whether this filter belongs to the print family (the progress window's caption says so).
  virtual bool IsPrintFilter() const { return false; }

protected:
  virtual void BeginDoc() = 0;
  virtual void EndDoc() = 0;
  virtual void NewPage() = 0;
  virtual void DrawPage(TRLGraphicSurface& page) = 0;
  // Inside EndDoc: whether every page of the range was output, not cut short by an error or Cancel.
  bool Completed() const { return completed_; }
  void SetClassOptions(unsigned options) { class_options_ = options; }
  void Notification(TComponent* component, TOperation operation) override;

private:
  void Execute();
  void OutputPages();
  void ShowProgressWindow();
  void Finish();

  std::string display_name_;
  TRLGraphicStorage* pages_ = nullptr;
  std::unique_ptr<TfrmRLFeedBack> progress_;
  bool show_progress_ = true;
  std::atomic<bool> canceled_{false};
  unsigned class_options_ = 0;
  int physical_copies_ = 1;
  int from_page_no_ = 1;
  int to_page_no_ = 0;
  bool completed_ = false;
  std::atomic<bool> running_{false};
};

class TRLCustomPrintFilter : public TRLCustomFilter {
public:
  using TRLCustomFilter::TRLCustomFilter;
  bool IsPrintFilter() const override { return true; }

  // A filter's own options, offered by the print dialog: its label, the list (empty: none), the chosen one.
  virtual std::string GetOptionsLabel() { return {}; }
  virtual std::vector<std::string> GetOptions() { return {}; }
  virtual int GetSelectedOption() { return -1; }
  virtual void SetSelectedOption(int) {}
  virtual void SetOrientation(TRLPageOrientation) {}
};

class TRLCustomSaveFilter : public TRLCustomFilter {
public:
  using TRLCustomFilter::TRLCustomFilter;
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& name) { file_name_ = name; }
  // The extension of the files it writes, with or without the leading ".".
  const std::string& DefaultExt() const { return default_ext_; }
  void SetDefaultExt(const std::string& ext) { default_ext_ = ext; }

private:
  std::string file_name_;
  std::string default_ext_;
};

// Every live filter, in creation order.
std::vector<TRLCustomFilter*> FilterList();
// The first save filter whose DefaultExt is the file name's extension (ignoring case and the leading "."), or null.
TRLCustomSaveFilter* SaveFilterByExt(const std::string& fileName);
// Runs `filter`, or the spool filter when it is null.
void PrintPages(TRLGraphicStorage& pages, TRLCustomPrintFilter* filter, int firstPage = 1, bool background = false,
                int lastPage = -1);

// Whether a background run is going on anywhere in the process.
bool BackgroundOutputRunning();
// Waits, serving the progress windows, until every background run has ended; with `cancel`, asks them to stop
// first (each still ends its document, so pages already handed to the printer are printed).
void FinishBackgroundOutput(bool cancel);
// Waits, serving the progress windows, until the runs on `pages` have ended: before a window lets them go.
void WaitForOutputOf(const TRLGraphicStorage& pages);
