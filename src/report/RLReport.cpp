#include "report/RLReport.h"

#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "report/RLParser.h"

#include <cassert>

// ---- TRLPreviewOptions --------------------------------------------------------------------------------------

TRLPreviewOptions::TRLPreviewOptions(TRLCustomReport* owner) : owner_(owner), caption_(EngineMessages().msgPreview) {}

bool TRLPreviewOptions::IsCaptionStored() const { return caption_ != EngineMessages().msgPreview; }

void TRLPreviewOptions::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLPreviewOptions*>(&source);
  if (!other) return TPersistent::Assign(source);
  defaults_ = other->defaults_;
  show_modal_ = other->show_modal_;
  form_style_ = other->form_style_;
  position_ = other->position_;
  window_state_ = other->window_state_;
  border_icons_ = other->border_icons_;
  help_file_ = other->help_file_;
  help_context_ = other->help_context_;
  caption_ = other->caption_;
}

// ---- TRLCustomReport ----------------------------------------------------------------------------------------

TRLCustomReport::TRLCustomReport(TComponent* owner)
    : TRLCustomSkipper(owner), page_setup_(this), preview_options_(this) {
  SetAlign(faNone);
  Margins().ResetDefaults(10);
  SetPrintEmpty(true);
  Font().SetName("Arial");
  Font().SetHeight(-13);
  Font().SetColor(clBlack);
  Font().SetStyle({});
  SetParentFont(false);
  SetColor(clWhite);
  SetParentColor(false);
  page_setup_.OnChange = [this](TObject*) { PageSetupChanged(); };
  PageSetupChanged();
}

TRLCustomReport::~TRLCustomReport() {
  Destroying();
  if (expression_parser_) expression_parser_->Unbind(this);
  SetNextReport(nullptr);
  if (prior_report_) prior_report_->SetNextReport(nullptr);
  if (TRLGraphicStorage* pages = pages_) {
    pages_ = nullptr;
    pages->Unlink(this);
  }
}

void TRLCustomReport::PageSetupChanged() {
  if (page_setup_.PaperSize() == TRLPaperSize::fpDefault) {
    UnlockSize();
    return;
  }
  LockSize(MMToPixels(page_setup_.OrientedWidth()), MMToPixels(page_setup_.OrientedHeight()));
}

void TRLCustomReport::CalcSize(int& width, int& height) {
  width = MMToPixels(page_setup_.OrientedWidth());
  height = MMToPixels(page_setup_.OrientedHeight());
}

TRect TRLCustomReport::GetMarginPixels() const {
  TRect m = TRLCustomSkipper::GetMarginPixels();
  if (!adjustable_margins_) return m;
  const TRLPrinterMetrics& p = printer_metrics_;
  TRect printer{DeviceToScreenPixels(p.MarginLeft, p.PPIX), DeviceToScreenPixels(p.MarginTop, p.PPIY),
                DeviceToScreenPixels(p.MarginRight, p.PPIX), DeviceToScreenPixels(p.MarginBottom, p.PPIY)};
  if (page_setup_.Orientation() == TRLPageOrientation::poLandscape) {
    printer = {printer.Top, printer.Right, printer.Bottom, printer.Left};
  }
  return {std::max(m.Left, printer.Left), std::max(m.Top, printer.Top), std::max(m.Right, printer.Right),
          std::max(m.Bottom, printer.Bottom)};
}

void TRLCustomReport::SetPrinterMetrics(const TRLPrinterMetrics& value) {
  printer_metrics_ = value;
  if (adjustable_margins_) {
    AdjustBounds();
    Realign();
  }
}

namespace {

TRLPrinterMetricsReader& MetricsReader() {
  static TRLPrinterMetricsReader reader;
  return reader;
}

TRLReportPrintHandler& PrintHandler() {
  static TRLReportPrintHandler handler;
  return handler;
}

}  // namespace

void SetPrinterMetricsReader(TRLPrinterMetricsReader reader) { MetricsReader() = std::move(reader); }

void SetReportPrintHandler(TRLReportPrintHandler handler) { PrintHandler() = std::move(handler); }

void TRLCustomReport::RefreshPrinterMetrics() {
  // Only adjustable margins read the metrics: other reports need not ask the printing service.
  if (adjustable_margins_ && MetricsReader()) SetPrinterMetrics(MetricsReader()());
}

void TRLCustomReport::Print() {
  if (!PrintHandler()) throw EInvalidOperation(Name() + ": printing is not available in this program");
  PrintHandler()(*this);
}

void TRLCustomReport::SetDefaultFilter(TComponent* filter) {
  if (filter == default_filter_) return;
  if (default_filter_) RemoveFreeNotification(default_filter_);
  default_filter_ = filter;
  if (filter) FreeNotification(filter);
}

void TRLCustomReport::SetAdjustableMargins(bool value) {
  if (value == adjustable_margins_) return;
  adjustable_margins_ = value;
  if (value && MetricsReader() && !IsLoading()) printer_metrics_ = MetricsReader()();
  AdjustBounds();
  Realign();
}

void TRLCustomReport::RepaintAll() {
  Invalidate();
  for (int i = 0; Owner() && i < Owner()->ComponentCount(); ++i) {
    if (auto* control = ComponentCast<TRLCustomControl>(Owner()->Components(i))) control->Invalidate();
  }
}

void TRLCustomReport::SetShowDesigners(bool value) {
  show_designers_ = value;
  RepaintAll();
}

void TRLCustomReport::SetShowTracks(bool value) {
  show_tracks_ = value;
  RepaintAll();
}

void TRLCustomReport::SetShowExplosion(bool value) {
  show_explosion_ = value;
  RepaintAll();
}

void TRLCustomReport::SetPrintQuality(TRLPrintQuality value) {
  print_quality_ = value;
  RepaintAll();
}

void TRLCustomReport::SetTransparent(bool value) {
  TRLCustomSkipper::SetTransparent(value);
  SetColor(clWhite);
}

bool TRLCustomReport::ChainIsSound() const {
  // Floyd's two walkers: on a loop the fast one meets the slow one.
  auto loops = [](const TRLCustomReport* start, TRLCustomReport* TRLCustomReport::*link) {
    const TRLCustomReport* slow = start;
    const TRLCustomReport* fast = start;
    while (fast && fast->*link) {
      fast = (fast->*link)->*link;
      slow = slow->*link;
      if (fast == slow) return true;
    }
    return false;
  };
  if (loops(this, &TRLCustomReport::next_report_) || loops(this, &TRLCustomReport::prior_report_)) return false;
  for (const TRLCustomReport* r = this; r; r = r->next_report_) {
    if (r->next_report_ && r->next_report_->prior_report_ != r) return false;
  }
  for (const TRLCustomReport* r = this; r; r = r->prior_report_) {
    if (r->prior_report_ && r->prior_report_->next_report_ != r) return false;
  }
  return true;
}

void TRLCustomReport::SetNextReport(TRLCustomReport* value) {
  if (value == this || value == next_report_) return;
  for (const TRLCustomReport* r = prior_report_; r; r = r->prior_report_) {
    if (r == value) return;  // it would close a loop
  }
  if (next_report_) {
    next_report_->prior_report_ = nullptr;
    next_report_ = nullptr;
  }
  if (value) {
    if (value->prior_report_) value->prior_report_->next_report_ = nullptr;
    value->prior_report_ = this;
    FreeNotification(value);
  }
  next_report_ = value;
  assert(ChainIsSound());
}

void TRLCustomReport::Notification(TComponent* component, TOperation operation) {
  TRLCustomSkipper::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == next_report_) next_report_ = nullptr;
  if (component == prior_report_) prior_report_ = nullptr;
  if (component == pages_) pages_ = nullptr;
  if (component == expression_parser_) expression_parser_ = nullptr;
  if (component == default_filter_) default_filter_ = nullptr;
}

int TRLCustomReport::PageNumber() const {
  const TRLCustomReport* master = MasterReport();
  return master->FirstPageNumber() + master->PageCounter();
}

int TRLCustomReport::LastPageNumber() const {
  auto* self = const_cast<TRLCustomReport*>(this);
  return first_page_number_ + self->Pages().PageCount() - 1;
}

TRLGraphicStorage& TRLCustomReport::Pages() {
  TRLCustomReport* master = MasterReport();
  if (master != this) return master->Pages();
  if (!pages_) {
    pages_ = new TRLGraphicStorage(nullptr);
    pages_->Link(this);
  }
  return *pages_;
}

void TRLCustomReport::ClearPages() {
  page_surface_.reset();
  if (pages_) pages_->Clear();
  phase_ = rpIdle;
  cancelled_ = false;
  page_counter_ = 0;
}

TRLGraphicSurface& TRLCustomReport::GetPrintSurface() {
  if (!page_surface_) {
    page_surface_ = std::make_unique<TRLGraphicSurface>();
    page_surface_->SetWidth(Width());
    page_surface_->SetHeight(Height());
    page_surface_->SetOrientation(page_setup_.Orientation() == TRLPageOrientation::poLandscape ? 2 : 1);
    page_surface_->SetPaperWidth(page_setup_.PaperWidth());
    page_surface_->SetPaperHeight(page_setup_.PaperHeight());
    page_surface_->Open();
  }
  return *page_surface_;
}

void TRLCustomReport::ComputePrintRect() { SetPrintRect(0, 0, Width(), Height()); }

void TRLCustomReport::TransferToParent() {
  TRLGraphicSurface& page = GetPrintSurface();
  DrawBackground(page, GetPrintBoundsRect());
  if (ClosingToReopen()) page.MoveSurface(0, 0, Surface());
  else page.CopySurface(0, 0, Surface());
}
