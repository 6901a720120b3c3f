// The data loop: skippers walking their records, groups breaking on their keys, and the report's generation.

#include "data/DB.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"
#include "widgets/Forms.h"

#include <chrono>

// ---- Skipper ------------------------------------------------------------------------------------------------

int TRLCustomSkipper::DataCount() {
  int count = 0;
  if (OnDataCount) {
    OnDataCount(this, count);
    return count;
  }
  TDataSet* dataset = DataSet();
  return dataset && dataset->Active() ? dataset->RecordCount() : 0;
}

bool TRLCustomSkipper::FetchNext() {
  if (DataSource()) {
    TDataSet* dataset = DataSet();
    if (!dataset || !dataset->Active()) return false;
    dataset->Next();
    return !dataset->Eof();
  }
  bool more = false;
  if (OnNeedData) OnNeedData(this, more);
  return more;
}

void TRLCustomSkipper::AcceptRecord(bool more) {
  for (;;) {
    if ((RecordRange() == rrCurrentOnly && RecordMoved()) || (RecordRange() == rrNextN && RecNo() > RangeCount())) {
      more = false;
    }
    data_end_ = !more;
    record_action_ = raUseIt;
    if (OnDataRecord) OnDataRecord(this, rec_no_, copy_no_, data_end_, record_action_);
    if (data_end_ || record_action_ != raIgnoreIt) return;
    more = FetchNext();
  }
}

void TRLCustomSkipper::DataFirst() {
  rec_no_ = 1;
  copy_no_ = 1;
  record_moved_ = false;
  bool more = false;
  if (DataSource()) {
    TDataSet* dataset = DataSet();
    if (dataset && dataset->Active()) {
      if (RecordRange() == rrAllRecords) dataset->First();
      more = !dataset->Eof();
    }
  } else if (OnNeedData) {
    OnNeedData(this, more);
  }
  AcceptRecord(more);
  record_moved_ = false;
}

void TRLCustomSkipper::DataNext() {
  const TRLRecordAction done = record_action_;
  copy_no_ = done == raUseAndRetain ? copy_no_ + 1 : 1;
  if (done == raUseIt) ++rec_no_;
  const bool retain = done == raUseAndRetain || done == raBlankAndRetain;
  const bool more = retain ? true : FetchNext();
  // rrCurrentOnly ends after the first record whatever the action.
  record_moved_ = true;
  AcceptRecord(more);
  record_moved_ = true;
}

void TRLCustomSkipper::RunDataLoop() {
  const TRLCustomReport* master = MasterReport();
  while (!DataEnd() && !(master && master->Cancelled())) {
    SetRecordMoved(false);
    PrintDetails();
    if (!RecordMoved()) DataNext();
  }
}

void TRLCustomSkipper::PrintEmptyRule() {
  if (!PrintEmpty() || DetailCount() != 0) return;
  OpenSurface();
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    auto* skipper = ComponentCast<TRLCustomSkipper>(child);
    if (skipper && skipper->PrintEmpty()) skipper->PrintWithState();
  }
}

void TRLCustomSkipper::Print() {
  TRLCustomPager* outer = ParentPager();
  TRLCustomReport* report = RequestParentReport();
  if (outer && PageBreaking() == pbBeforePrint && report->DataPrinted()) outer->NewPage(this, !outer->CanBreak());
  ResetPager();
  ComputePrintRect();
  DataFirst();
  RunDataLoop();
  PrintEmptyRule();
  Finish();
  if (PageBreaking() == pbAfterPrint) report->SetNewPageNeeded(true);
}

// ---- Group --------------------------------------------------------------------------------------------------

bool TRLCustomGroup::CheckBreak() {
  bool broken = false;
  if (!Enabled()) {
    TRLCustomGroup* outer = ParentGroup();
    broken = outer && outer->CheckBreak();
  } else if (OnGetBreak) {
    OnGetBreak(this, broken);
  } else {
    std::string key = GroupKey();
    broken = key != LastKey();
    SetLastKey(std::move(key));
  }
  SetBroken(broken);
  return broken;
}

void TRLCustomGroup::Print() {
  TRLCustomPager* outer = RequestParentPager();
  TRLCustomSkipper* skipper = RequestParentSkipper();
  TRLCustomReport* report = RequestParentReport();
  if (PageBreaking() == pbBeforePrint && report->DataPrinted()) {
    outer->NewPage(this, !outer->CanBreak());
    ComputePrintRect();
  }
  ResetPager();
  ComputePrintRect();
  SetLastKey(GroupKey());
  outline_pending_ = true;
  outline_entered_ = false;
  bool first = true;
  while (!skipper->DataEnd() && !report->Cancelled()) {
    SetBroken(false);
    if (!first && CheckBreak()) break;
    first = false;
    skipper->SetRecordMoved(false);
    PrintDetails();
    if (Broken()) break;
    if (!skipper->RecordMoved()) skipper->DataNext();
  }
  outline_pending_ = false;
  Finish();
  if (PageBreaking() == pbAfterPrint) report->SetNewPageNeeded(true);
}

// ---- Report -------------------------------------------------------------------------------------------------

namespace {

TRLReportProgressFactory& ProgressFactoryInstance() {
  static TRLReportProgressFactory factory;
  return factory;
}

// Now as a date-time: days since 30 December 1899 with the time of day as the fraction, local time.
double NowDateTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto days = std::chrono::sys_days{std::chrono::year{local.tm_year + 1900} /
                                          std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)} /
                                          std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
  const auto epoch = std::chrono::sys_days{std::chrono::year{1899} / std::chrono::December / 30};
  const double day = static_cast<double>((days - epoch).count());
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  return day + seconds / 86400.0;
}

void CloseSurfacesBelow(TRLCustomSite& site) {
  for (TControl* child : ChildrenInCreationOrder(site)) {
    if (auto* inner = ComponentCast<TRLCustomSite>(child)) CloseSurfacesBelow(*inner);
  }
  if (site.SurfaceOpened()) site.Surface().Close();
}

}  // namespace

void SetReportProgressFactory(TRLReportProgressFactory factory) { ProgressFactoryInstance() = std::move(factory); }
const TRLReportProgressFactory& ReportProgressFactory() { return ProgressFactoryInstance(); }

namespace {
TRLReportPreviewHandler& PreviewHandlerInstance() {
  static TRLReportPreviewHandler handler;
  return handler;
}
}  // namespace

void SetReportPreviewHandler(TRLReportPreviewHandler handler) { PreviewHandlerInstance() = std::move(handler); }
const TRLReportPreviewHandler& ReportPreviewHandler() { return PreviewHandlerInstance(); }

namespace {
TRLDefaultFilterHandler& DefaultFilterHandlerInstance() {
  static TRLDefaultFilterHandler handler;
  return handler;
}
}  // namespace

void SetReportDefaultFilterHandler(TRLDefaultFilterHandler handler) {
  DefaultFilterHandlerInstance() = std::move(handler);
}

TRLReportProgress* TRLCustomReport::Progress() const { return MasterReport()->progress_.get(); }

int TRLCustomReport::ChainLength() const {
  int count = 0;
  for (const TRLCustomReport* r = MasterReport(); r && count < 1000; r = r->NextReport()) ++count;
  return count;
}

void TRLCustomReport::DataNext() {
  if (TRLReportProgress* progress = Progress()) {
    progress->StepIt();
    progress->SetStepName(EngineMessages().msgPage + " " + std::to_string(PageNumber()));
  }
  TRLCustomSkipper::DataNext();
}

void TRLCustomReport::PrintContents() {
  TRLCustomSkipper::PrintContents();
  if (OnPageStarting) OnPageStarting(this);
}

void TRLCustomReport::PrintClosing() {
  if (OnPageEnding) OnPageEnding(this);
  TRLCustomSkipper::PrintClosing();
}

void TRLCustomReport::AfterClose() {
  TRLCustomSkipper::AfterClose();
  TRLCustomReport* master = MasterReport();
  // A page that never received anything still gets its surface here, so every closed page is counted.
  GetPrintSurface();
  master->Pages().Add(TakePageSurface());
  master->SetPageCounter(master->PageCounter() + 1);
}

void TRLCustomReport::AbandonSurfaces() {
  CloseSurfacesBelow(*this);
  page_surface_.reset();
}

bool TRLCustomReport::Prepare() {
  SaveBounds();
  TRLCustomReport* master = MasterReport();
  bool own_progress = false;
  bool result = false;
  prepare_error_text_.clear();
  try {
    ClearPages();
    SetPhase(rpPreparing);
    SetReportDateTime(NowDateTime());
    if (master == this) {
      if (ShowProgress() && ReportProgressFactory()) {
        progress_ =
            ReportProgressFactory()(EngineMessages().msgPreparingReport, ChainLength(), [this] { SetCancelled(true); });
        own_progress = true;
      }
    } else if (TRLReportProgress* progress = Progress()) {
      progress->NextBar();
    }
    result = RunPrepare();
  } catch (const EAbort&) {
    SetPhase(rpIdle);
    AbandonSurfaces();
  } catch (const Exception& error) {
    SetPhase(rpIdle);
    AbandonSurfaces();
    prepare_error_text_ = Name() + ": " + EngineMessages().msgPrepareError + "\n" + error.Message();
  } catch (...) {
    SetPhase(rpIdle);
    AbandonSurfaces();
    if (own_progress) progress_.reset();
    RestoreBounds();
    throw;
  }
  if (own_progress) progress_.reset();
  RestoreBounds();
  if (!prepare_error_text_.empty() && Application()) Application()->HandleException(Exception(prepare_error_text_));
  return result;
}

bool TRLCustomReport::RunPrepare() {
  bool print_it = true;
  if (BeforePrint) BeforePrint(this, print_it);
  if (!print_it) {
    SetPhase(rpIdle);
    return false;
  }
  RegisterBands();
  table_recorder_.Begin(*this, Pages().DataTable());
  RefreshPrinterMetrics();
  ResetPager();
  ComputePrintRect();
  if (TRLReportProgress* progress = Progress()) progress->SetMax(DataCount());
  DataFirst();
  RunDataLoop();
  SetPhase(rpClosing);
  PrintEmptyRule();
  Finish();
  SetPhase(rpReady);
  if (MasterReport()->Cancelled()) {
    SetPhase(rpIdle);
    AbandonSurfaces();
    return false;
  }
  DoAfterPrint();
  if (NextReport() && !NextReport()->Prepare()) return false;

  TRLGraphicStorage& pages = Pages();
  pages.SetFirstPageNumber(FirstPageNumber());
  pages.SetLastPageNumber(LastPageNumber());
  pages.SetTitle(Title());
  // The window that holds the report names its documents when the report has no title.
  if (const auto* form = dynamic_cast<const TForm*>(Owner()); form && !form->Caption().empty()) {
    pages.SetMacroValue("Caption", form->Caption());
  }
  pages.SetOrientation(PageSetup().Orientation() == TRLPageOrientation::poLandscape ? 2 : 1);
  pages.SetPaperWidth(PageSetup().PaperWidth());
  pages.SetPaperHeight(PageSetup().PaperHeight());
  pages.SetWidth(Width());
  pages.SetHeight(Height());
  return true;
}

bool TRLCustomReport::Preview() {
  if (IsDesigning() || ForcePrepare()) ClearPages();
  if (DefaultFilter() && DefaultFilterHandlerInstance()) DefaultFilterHandlerInstance()(*DefaultFilter());
  if (Phase() == rpIdle && !Prepare()) return false;
  if (!ReportPreviewHandler()) {
    throw Exception(Name() + ": " + std::to_string(Pages().PageCount()) +
                    " página(s) gerada(s), mas a janela de visualização não está disponível neste programa");
  }
  ReportPreviewHandler()(*this);
  return true;
}
