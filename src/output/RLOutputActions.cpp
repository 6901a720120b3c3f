#include "output/RLOutputActions.h"

#include "framework/Threads.h"
#include "output/RLFilters.h"
#include "output/RLPrintDialog.h"
#include "output/RLPrinters.h"
#include "output/RLSaveDialog.h"
#include "output/RLSaveFilters.h"
#include "output/RLSpoolFilter.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"

#include <climits>
#include <filesystem>
#include <string_view>

bool PrintFromPreview(TRLGraphicStorage& pages) {
  TRLPrintParams& params = PrintParams();
  params.Clear();
  params.SetMaxPage(pages.PageCount());
  params.SetOrientation(pages.Orientation() == 2 ? TRLPageOrientation::poLandscape : TRLPageOrientation::poPortrait);
  TRLPrintDialog dialog;
  if (!dialog.Execute()) return false;
  PrintPages(pages, params.Filter(), params.FromPage(), params.PrintInBackground(), params.ToPage());
  return true;
}

bool SaveFromPreview(TRLGraphicStorage& pages) {
  TRLSaveParams& params = SaveParams();
  params.Clear();
  params.SetMaxPage(pages.PageCount());
  std::string name = TitleToFileName(pages.Title());
  if (name.empty() && params.Filter()) name = params.Filter()->FileName();
  params.SetFileName(name);
  TRLSaveDialog dialog;
  if (!dialog.Execute()) return false;
  if (TRLCustomSaveFilter* filter = params.Filter()) {
    filter->SetFileName(params.FileName());
    filter->Run(pages, params.FromPage(), params.SaveInBackground(), params.ToPage());
  } else {
    pages.SaveToFile(params.FileName());
  }
  return true;
}

void SetupPrinterFromPreview() { RLPrinter().ExecuteSetup(); }

void WaitForOutputOf(const TRLGraphicStorage& pages) {
  ProcessMessagesUntil([&pages] {
    for (TRLCustomFilter* filter : FilterList()) {
      if (filter->Running() && filter->Pages() == &pages) return false;
    }
    return true;
  });
}

void PrintReport(TRLCustomReport& report) {
  const TRLPageSetup& setup = report.PageSetup();
  bool landscape = setup.Orientation() == TRLPageOrientation::poLandscape;
  RLPrinter().SetPaperSize(landscape, setup.ForceEmulation(), setup.PaperHeight(), setup.PaperWidth());
  TRLPrintParams& params = PrintParams();
  if (auto* filter = dynamic_cast<TRLCustomPrintFilter*>(report.DefaultFilter())) params.SetFilter(filter);
  params.Clear();
  params.SetMinPage(1);
  params.SetMaxPage(INT_MAX);
  params.SetFromPage(1);
  params.SetToPage(INT_MAX);
  if (report.PrintDialog()) {
    if (report.Phase() == rpReady) params.SetMaxPage(report.Pages().PageCount());
    params.SetOrientation(setup.Orientation());
    TRLPrintDialog dialog;
    if (!dialog.Execute()) {
      report.SetCancelled(true);
      return;
    }
  }
  if (report.Phase() == rpIdle && !report.Prepare()) return;
  TRLCustomFilter& filter = params.Filter() ? static_cast<TRLCustomFilter&>(*params.Filter()) : SpoolFilter();
  filter.SetShowProgress(report.ShowProgress());
  filter.Run(report.Pages(), params.FromPage(), params.PrintInBackground(), params.ToPage());
}

std::string TitleToFileName(const std::string& title) {
  constexpr std::string_view kBlanks = " \t\r\n";
  constexpr std::string_view kRemoved = "\"*/:<>?\\|";
  std::size_t first = title.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  std::string_view trimmed(title.data() + first, title.find_last_not_of(kBlanks) - first + 1);
  std::string name;
  for (char c : trimmed) {
    auto code = static_cast<unsigned char>(c);
    if (code < 32 || code == 127 || kRemoved.find(c) != std::string_view::npos) continue;
    name += c;
  }
  if (name.empty()) return {};
  return std::filesystem::absolute(name).lexically_normal().string();
}

void InstallReportOutput() {
  SetReportPrintHandler([](TRLCustomReport& report) { PrintReport(report); });
  SetPrinterMetricsReader([] {
    TRLPrinterMetrics metrics;
    RLPrinter().LoadMetrics(metrics);
    return metrics;
  });
  PDFFilter();
  PNGFilter();
}
