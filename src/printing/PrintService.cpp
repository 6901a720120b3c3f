#include "printing/PrintService.h"

#include "core/Translation.h"
#include "graphics/QtGraphics.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <cups/cups.h>
#include <dlfcn.h>

#include <memory>

namespace {

// libcups, loaded with the first job: the program starts without it and the libraries it brings.
struct TCups {
  decltype(&::cupsAddOption) AddOption = nullptr;
  decltype(&::cupsFreeOptions) FreeOptions = nullptr;
  decltype(&::cupsPrintFile2) PrintFile2 = nullptr;
  decltype(&::cupsLastErrorString) LastErrorString = nullptr;
  std::string error;  // why it could not be loaded; empty when it was
};

template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

const TCups& Cups() {
  static const TCups cups = [] {
    TCups c;
    void* library = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
      c.error = Translate("printing", "The printing library cannot be loaded: ") + std::string(dlerror());
    } else if (!Resolve(library, "cupsAddOption", c.AddOption) || !Resolve(library, "cupsFreeOptions", c.FreeOptions) ||
               !Resolve(library, "cupsPrintFile2", c.PrintFile2) ||
               !Resolve(library, "cupsLastErrorString", c.LastErrorString)) {
      c.error = Translate("printing", "The printing library lacks a function of print jobs");
    }
    return c;
  }();
  return cups;
}

// The option list of a job, freed with it.
class TCupsOptions {
public:
  TCupsOptions() = default;
  ~TCupsOptions() { Cups().FreeOptions(count_, options_); }
  TCupsOptions(const TCupsOptions&) = delete;
  TCupsOptions& operator=(const TCupsOptions&) = delete;

  void Add(const char* name, const std::string& value) {
    count_ = Cups().AddOption(name, value.c_str(), count_, &options_);
  }
  int Count() const { return count_; }
  cups_option_t* Options() const { return options_; }

private:
  int count_ = 0;
  cups_option_t* options_ = nullptr;
};

const char* Sides(const QPrinter& settings) {
  const bool landscape = settings.pageLayout().orientation() == QPageLayout::Landscape;
  switch (settings.duplex()) {
    case QPrinter::DuplexNone: return "one-sided";
    case QPrinter::DuplexAuto: return landscape ? "two-sided-short-edge" : "two-sided-long-edge";
    case QPrinter::DuplexLongSide: return "two-sided-long-edge";
    case QPrinter::DuplexShortSide: return "two-sided-short-edge";
  }
  return "one-sided";
}

}  // namespace

int SubmitPdfJob(const QPrinter& settings, const std::string& pdfFile, std::string& error) {
  if (!Cups().error.empty()) {
    error = Cups().error;
    return 0;
  }
  TCupsOptions options;
  const QPageLayout layout = settings.pageLayout();
  options.Add("media", FromQString(layout.pageSize().key()));
  const int copies = settings.copyCount();
  if (copies > 1) {
    options.Add("copies", std::to_string(copies));
    if (settings.collateCopies()) options.Add("Collate", "True");
  }
  options.Add("sides", Sides(settings));
  if (layout.orientation() == QPageLayout::Landscape) options.Add("landscape", "");
  const std::string printer = FromQString(settings.printerName());
  const std::string title = FromQString(settings.docName());
  const int job = Cups().PrintFile2(CUPS_HTTP_DEFAULT, printer.c_str(), pdfFile.c_str(), title.c_str(), options.Count(),
                                    options.Options());
  if (job == 0) error = Cups().LastErrorString();
  return job;
}
