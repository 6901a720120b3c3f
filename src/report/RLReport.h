#pragma once

// The report component and everything a report definition may hold: bands, groups, texts and drawings.

#include "core/Variant.h"
#include "pages/RLTypes.h"
#include "report/RLBand.h"
#include "report/RLDraw.h"
#include "report/RLLabel.h"
#include "report/RLPager.h"
#include "report/RLTableRecorder.h"
#include "widgets/Forms.h"

#include <functional>
#include <memory>

class TRLGraphicStorage;
class TRLCustomReport;
class TRLExpressionParser;

// How the preview window of a report shows itself.
class TRLPreviewOptions : public TPersistent {
public:
  explicit TRLPreviewOptions(TRLCustomReport* owner);
  TRLCustomReport* Owner() const { return owner_; }

  TRLPreviewOptionsDefaults Defaults() const { return defaults_; }
  void SetDefaults(TRLPreviewOptionsDefaults value) { defaults_ = value; }
  bool ShowModal() const { return show_modal_; }
  void SetShowModal(bool value) { show_modal_ = value; }
  TFormStyle FormStyle() const { return form_style_; }
  void SetFormStyle(TFormStyle value) { form_style_ = value; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TWindowState WindowState() const { return window_state_; }
  void SetWindowState(TWindowState value) { window_state_ = value; }
  TBorderIcons BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons value) { border_icons_ = value; }
  const std::string& HelpFile() const { return help_file_; }
  void SetHelpFile(const std::string& value) { help_file_ = value; }
  int HelpContext() const { return help_context_; }
  void SetHelpContext(int value) { help_context_ = value; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  // Written only when it differs from the preview window's own title.
  bool IsCaptionStored() const;

  void Assign(const TPersistent& source) override;

private:
  TRLCustomReport* owner_;
  TRLPreviewOptionsDefaults defaults_ = pdUseDefaults;
  bool show_modal_ = false;
  TFormStyle form_style_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState window_state_ = wsMaximized;
  TBorderIcons border_icons_{biSystemMenu};
  std::string help_file_;
  int help_context_ = 0;
  std::string caption_;
};

// The progress window of a generation, as the report sees it. The output module supplies the window through
// SetReportProgressFactory; without a factory (batch runs, tests) a generation shows nothing.
class TRLReportProgress {
public:
  virtual ~TRLReportProgress() = default;
  virtual void SetMax(int max) = 0;
  virtual void StepIt() = 0;
  virtual void NextBar() = 0;
  virtual void SetStepName(const std::string& text) = 0;
};
// Makes the window for a generation: its caption, one stage per report of the chain, and what Cancel calls.
using TRLReportProgressFactory = std::function<std::unique_ptr<TRLReportProgress>(
    const std::string& caption, int stages, std::function<void()> cancel)>;
void SetReportProgressFactory(TRLReportProgressFactory factory);
const TRLReportProgressFactory& ReportProgressFactory();

// Shows a report's prepared pages and returns when the user is done with them. The output module supplies the
// preview window through SetReportPreviewHandler; without one, Preview cannot show its pages and says so.
using TRLReportPreviewHandler = std::function<void(TRLCustomReport& report)>;
void SetReportPreviewHandler(TRLReportPreviewHandler handler);
const TRLReportPreviewHandler& ReportPreviewHandler();

// Makes a report's DefaultFilter the filter of the print parameters, which the output module keeps; Preview calls it
// before generating.
using TRLDefaultFilterHandler = std::function<void(TComponent& filter)>;
void SetReportDefaultFilterHandler(TRLDefaultFilterHandler handler);

// The device metrics of a printer, in device pixels: resolution, sheet, unprintable margins, printable area.
struct TRLPrinterMetrics {
  int PPIX = 96, PPIY = 96;
  int PhysicalWidth = 0, PhysicalHeight = 0;
  int MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
  int ClientWidth = 0, ClientHeight = 0;
};
// The current printer's metrics, as the output module reads them (installed with SetPrinterMetricsReader); without
// a reader a report keeps the screen's 96 pixels per inch and no margins.
using TRLPrinterMetricsReader = std::function<TRLPrinterMetrics()>;
void SetPrinterMetricsReader(TRLPrinterMetricsReader reader);

// Printing a report needs the printer, the print dialog and the filters, which the output module supplies
// (SetReportPrintHandler): the handler runs the whole of TRLCustomReport::Print.
using TRLReportPrintHandler = std::function<void(TRLCustomReport& report)>;
void SetReportPrintHandler(TRLReportPrintHandler handler);

class TRLCustomReport : public TRLCustomSkipper {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<TRLCustomReport>()};

public:
  using ClassBitOwner = TRLCustomReport;
  explicit TRLCustomReport(TComponent* owner);
  ~TRLCustomReport() override;

  // ---- Published properties ----
  int FirstPageNumber() const { return first_page_number_; }
  void SetFirstPageNumber(int value) { first_page_number_ = value; }
  TRLPageSetup& PageSetup() { return page_setup_; }
  const TRLPageSetup& PageSetup() const { return page_setup_; }
  bool PrintDialog() const { return print_dialog_; }
  void SetPrintDialog(bool value) { print_dialog_ = value; }
  bool ShowDesigners() const { return show_designers_; }
  void SetShowDesigners(bool value);
  bool ShowTracks() const { return show_tracks_; }
  void SetShowTracks(bool value);
  bool ShowExplosion() const { return show_explosion_; }
  void SetShowExplosion(bool value);
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  bool ShowProgress() const { return show_progress_; }
  void SetShowProgress(bool value) { show_progress_ = value; }
  // Whether the headers of the report's groups make the outline of its pages.
  bool Outline() const { return outline_; }
  void SetOutline(bool value) { outline_ = value; }
  TRLPrintQuality PrintQuality() const { return print_quality_; }
  void SetPrintQuality(TRLPrintQuality value);
  bool AdjustableMargins() const { return adjustable_margins_; }
  void SetAdjustableMargins(bool value);
  TRLPreviewOptions& PreviewOptions() { return preview_options_; }
  bool ForcePrepare() const { return force_prepare_; }
  void SetForcePrepare(bool value) { force_prepare_ = value; }
  // Makes this report the prior report of `value`, undoing earlier links on both sides. The reports so linked form
  // one chain without loops: a report that comes before this one in the chain, or this one itself, is refused.
  TRLCustomReport* NextReport() const { return next_report_; }
  void SetNextReport(TRLCustomReport* value);
  TRLCustomReport* PriorReport() const { return prior_report_; }
  // Whether the chain through this report keeps its rules: each link answered by its other side, and no loop.
  // For assertions.
  bool ChainIsSound() const;
  // A report is white: making it transparent also sets its colour to white.
  void SetTransparent(bool value) override;
  // The parser that evaluates the formulas of data-bound texts and groups; it is bound to this report (dataset
  // fields of the element in context, element captions, friendly names) until another one is assigned.
  TRLExpressionParser* ExpressionParser() const { return expression_parser_; }
  void SetExpressionParser(TRLExpressionParser* value);
  // Evaluates a formula with `context` as the element in context; null without a parser.
  Variant EvaluateFormula(const std::string& formula, TRLCustomControl* context);
  // The element whose formula is being evaluated, or null.
  TRLCustomControl* ExpressionContext() const { return expression_context_; }

  TNotifyEvent OnPageEnding;
  TNotifyEvent OnPageStarting;
  TRLBeforeTextEvent OnFilterText;

  // ---- The run ----
  TRLReportPhase Phase() const { return phase_; }
  void SetPhase(TRLReportPhase value) { phase_ = value; }
  bool Cancelled() const { return cancelled_; }
  void SetCancelled(bool value) { cancelled_ = value; }
  // When the current generation started.
  double ReportDateTime() const { return report_date_time_; }
  void SetReportDateTime(double value) { report_date_time_ = value; }
  // Pages added so far by this report's chain (kept by the master report).
  int PageCounter() const { return page_counter_; }
  void SetPageCounter(int value) { page_counter_ = value; }
  // The master report's FirstPageNumber plus its page counter.
  int PageNumber() const;
  int LastPageNumber() const;
  // The master report's page collection.
  TRLGraphicStorage& Pages();
  const TRLPrinterMetrics& PrinterMetrics() const { return printer_metrics_; }
  void SetPrinterMetrics(const TRLPrinterMetrics& value);
  // The page being generated, or null between pages.
  TRLGraphicSurface* PageSurface() const { return page_surface_.get(); }
  // Hands the finished page over (and leaves none).
  std::unique_ptr<TRLGraphicSurface> TakePageSurface() { return std::move(page_surface_); }
  // Drops the current page, clears the page collection and returns to rpIdle.
  void ClearPages();

  // Generates every page into the page collection. An error is shown (report name, the prepare-error text and
  // the error's message, also kept in PrepareErrorText) and gives false, as does a cancelled generation.
  bool Prepare();
  // The text shown for the last failed generation; empty after a successful one.
  const std::string& PrepareErrorText() const { return prepare_error_text_; }
  // Generates the pages when needed and shows them in the preview window, returning when the window closes. False
  // when the generation failed or was cancelled. Without a preview window installed (SetReportPreviewHandler) it
  // raises an Exception after generating.
  bool Preview();
  // Sets up the printer, asks the print dialog when PrintDialog is set, generates the pages when needed and sends
  // them to the chosen print filter. Raises EInvalidOperation when no output module installed a print handler.
  void Print();
  // The print filter that Print and the preview offer first (a TRLCustomPrintFilter), or null; a destroyed filter
  // is forgotten.
  TComponent* DefaultFilter() const { return default_filter_; }
  void SetDefaultFilter(TComponent* filter);
  // Reads the current printer's metrics again (with AdjustableMargins, the only setting that uses them).
  void RefreshPrinterMetrics();
  // The skipper's next record, with a step of the progress window.
  void DataNext() override;
  // The progress window of the running generation (the master's), or null.
  TRLReportProgress* Progress() const;
  // Records the printed details of this report in its page collection's data table.
  TRLTableRecorder& TableRecorder() { return table_recorder_; }

  // ---- Element overrides ----
  TRLGraphicSurface& GetPrintSurface() override;
  TRect GetMarginPixels() const override;
  void CalcSize(int& width, int& height) override;
  void ComputePrintRect() override;
  void TransferToParent() override;

protected:
  void PrintContents() override;
  void PrintClosing() override;
  void AfterClose() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void PageSetupChanged();
  void RepaintAll();
  void BindParser();
  bool RunPrepare();
  int ChainLength() const;
  // Closes every surface left open by a generation that ended half-way.
  void AbandonSurfaces();

  bool cancelled_ = false;
  TRLGraphicStorage* pages_ = nullptr;
  TRLCustomReport* next_report_ = nullptr;
  TRLCustomReport* prior_report_ = nullptr;
  int first_page_number_ = 1;
  int page_counter_ = 0;
  TRLPageSetup page_setup_;
  bool print_dialog_ = true;
  TRLPrinterMetrics printer_metrics_;
  TRLReportPhase phase_ = rpIdle;
  bool show_designers_ = true;
  bool show_tracks_ = true;
  bool show_explosion_ = false;
  std::string title_;
  double report_date_time_ = 0;
  bool show_progress_ = true;
  bool outline_ = true;
  TRLPrintQuality print_quality_ = pqFullFeature;
  std::unique_ptr<TRLGraphicSurface> page_surface_;
  bool adjustable_margins_ = false;
  TRLPreviewOptions preview_options_;
  bool force_prepare_ = true;
  TRLExpressionParser* expression_parser_ = nullptr;
  TRLCustomControl* expression_context_ = nullptr;
  std::unique_ptr<TRLReportProgress> progress_;
  std::string prepare_error_text_;
  TComponent* default_filter_ = nullptr;
  TRLTableRecorder table_recorder_;
};

class TRLReport : public TRLCustomReport {
public:
  using TRLCustomReport::TRLCustomReport;
};

// Registers the report engine's classes for stored definitions (after the framework's); safe to call more than once.
void RegisterReportClasses();
