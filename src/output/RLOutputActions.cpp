#include "output/RLOutputActions.h"

#include "output/RLFilters.h"
#include "output/RLOutputRegistration.h"
#include "output/RLPreview.h"
#include "output/RLPreviewForm.h"
#include "output/RLPrintDialog.h"
#include "output/RLPrinters.h"
#include "output/RLSaveDialog.h"
#include "output/RLSaveFilters.h"
#include "output/RLSpoolFilter.h"
#include "output/RLSpreadsheetFilters.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"

#include <climits>

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
  std::string name = PreviewFileName(pages.Title());
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

void SetupPrinterFromPreview() {
  // Without a printer there is no page setup to show: the user is told so rather than left with a button that
  // does nothing.
  if (!RLPrinter().ValidatePrinter()) {
    ShowMessageBox(EngineMessages().msgPrinterNotFound, EngineMessages().msgConfigurePrinter, mtError);
    return;
  }
  RLPrinter().ExecuteSetup();
}

namespace {
// A default filter that is no print filter leaves the print parameters' filter as it was.
void TakeDefaultFilter(TComponent& filter) {
  if (auto* print_filter = dynamic_cast<TRLCustomPrintFilter*>(&filter)) PrintParams().SetFilter(print_filter);
}
}  // namespace

void PrintReport(TRLCustomReport& report) {
  const TRLPageSetup& setup = report.PageSetup();
  bool landscape = setup.Orientation() == TRLPageOrientation::poLandscape;
  RLPrinter().SetPaperSize(landscape, setup.ForceEmulation(), setup.PaperHeight(), setup.PaperWidth());
  TRLPrintParams& params = PrintParams();
  if (report.DefaultFilter()) TakeDefaultFilter(*report.DefaultFilter());
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

void InstallReportOutput() {
  RegisterOutputClasses();
  SetReportPrintHandler([](TRLCustomReport& report) { PrintReport(report); });
  SetReportDefaultFilterHandler(TakeDefaultFilter);
  SetPrinterMetricsReader([] {
    TRLPrinterMetrics metrics;
    RLPrinter().LoadMetrics(metrics);
    return metrics;
  });
  PDFFilter();
  PNGFilter();
  XLSXFilter();
  CSVFilter();
  TRLPreviewOutputActions& preview = PreviewOutputActions();
  preview.Print = [](TRLPreviewForm& form) {
    if (TRLPreview* active = form.ActivePreview(); active && active->Pages()) PrintFromPreview(*active->Pages());
  };
  preview.Save = [](TRLPreviewForm& form) {
    if (TRLPreview* active = form.ActivePreview(); active && active->Pages()) SaveFromPreview(*active->Pages());
  };
  preview.Setup = [](TRLPreviewForm&) { SetupPrinterFromPreview(); };
}
