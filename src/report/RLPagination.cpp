// How pagers lay their bands out on pages: limits, band lists, page breaks, slicing and completion.
//
// The limits of a pager's page, rows on its surface, always keep ColumnFooterLimit <= SummaryLimit <=
// FooterLimit: each is the one above it less the heights of visible bands, a negative height counting as none.
// LimitsAreOrdered checks it; an assertion does so whenever room is asked for.

#include "core/ScopeGuard.h"
#include "pages/RLMetaFile.h"
#include "report/RLPager.h"
#include "report/RLReport.h"

#include <algorithm>
#include <cassert>

namespace {

int BottomFrame(const TRLCustomPager& pager) { return pager.GetFrameSizes().Bottom; }

// Sum of the heights of the visible bands of one type, optionally only those aligned to the bottom.
int BandHeights(TRLCustomPager& pager, TRLBandType type, bool bottom_aligned_only) {
  int sum = 0;
  for (TRLCustomBand* band : pager.SortedBands().List(type)) {
    // A negative height, which nothing forbids, counts as none: it would push a limit below the page.
    if (band->Visible() && (!bottom_aligned_only || band->AlignToBottom())) sum += std::max(0, band->Height());
  }
  return sum;
}

// This pager and every pager above it.
template <class F>
void ForEachPagerUp(TRLCustomPager* pager, F f) {
  for (TRLCustomPager* p = pager; p; p = p->ParentPager()) f(*p);
}

bool IsClosingType(TRLBandType type) { return type == btColumnFooter || type == btFooter; }

}  // namespace

// ---- Limits -------------------------------------------------------------------------------------------------

int TRLCustomPager::AbsolutePrintTop() const {
  int top = PrintTop();
  for (const TRLCustomSite* site = ParentSite(); site; site = site->ParentSite()) top += site->PrintTop();
  return top;
}

int TRLCustomPager::FooterLimit() {
  TRLCustomReport* report = RequestParentReport();
  int limit = report->Height() - AbsolutePrintTop();
  ForEachPagerUp(this, [&](TRLCustomPager& p) { limit -= BottomFrame(p) + BandHeights(p, btFooter, false); });
  return limit;
}

int TRLCustomPager::SummaryLimit() {
  int limit = FooterLimit();
  ForEachPagerUp(this, [&](TRLCustomPager& p) { limit -= BandHeights(p, btSummary, true); });
  return limit;
}

int TRLCustomPager::ColumnFooterLimit() {
  int limit = SummaryLimit();
  ForEachPagerUp(this, [&](TRLCustomPager& p) { limit -= BandHeights(p, btColumnFooter, true); });
  return limit;
}

bool TRLCustomPager::LimitsAreOrdered() {
  const int footer = FooterLimit(), summary = SummaryLimit(), column_footer = ColumnFooterLimit();
  return column_footer <= summary && summary <= footer;
}

int TRLCustomPager::DetailLimit() {
  // The column footers in place print at the row the details reach; those aligned to the bottom at the column
  // footer limit, which the details must then not pass either.
  int in_place = 0;
  bool to_bottom = false;
  ForEachPagerUp(this, [&](TRLCustomPager& p) {
    if (!p.Enabled() || p.SortedBands().Printed(btColumnFooter)) return;
    in_place += BandHeights(p, btColumnFooter, false) - BandHeights(p, btColumnFooter, true);
    to_bottom = to_bottom || BandHeights(p, btColumnFooter, true) > 0;
  });
  return (to_bottom ? ColumnFooterLimit() : FooterLimit()) - in_place;
}

bool TRLCustomPager::HasRoom(int height, int& room) {
  assert(LimitsAreOrdered());
  room = DetailLimit() - CurrentRow();
  return room >= height;
}

// ---- Opening and closing on a page --------------------------------------------------------------------------

void TRLCustomPager::ComputePrintRect() {
  TRLCustomPager* outer = ParentPager();
  if (!outer) {
    SetPrintRect(0, 0, Width(), Height());
    return;
  }
  int height = Height();
  if (GrowsToBottom()) {
    const TRLCustomReport* report = RequestParentReport();
    height = report->Height() - outer->AbsolutePrintTop() - outer->CurrentRow();
    ForEachPagerUp(outer, [&](TRLCustomPager& p) { height -= BottomFrame(p) + BandHeights(p, btFooter, false); });
    height = std::max(height, 0);
  }
  SetPrintRect(Left(), outer->CurrentRow(), Width(), height);
}

void TRLCustomPager::PrintContents() {
  TRLCustomBandSet::PrintContents();
  PrintHeaders();
}

void TRLCustomPager::PrintClosing() { PrintFooters(false); }

void TRLCustomPager::BeforeTransfer() {
  SetCurrentRow(CurrentRow() + BottomFrame(*this));
  if (GrowsToBottom()) SetPrintSize(PrintWidth(), CurrentRow());
}

void TRLCustomPager::AfterClose() {
  TRLCustomBandSet::AfterClose();
  if (TRLCustomPager* outer = ParentPager()) outer->SetCurrentRow(outer->CurrentRow() + PrintHeight());
  RestoreBounds();
}

// ---- Band lists ---------------------------------------------------------------------------------------------

void TRLCustomPager::PrintHeaders() {
  if (!Enabled()) return;
  for (TRLBandType type : {btHeader, btTitle, btColumnHeader}) {
    if (!SortedBands().Printed(type) && PrintBands(type) == pbrAborted) return;
  }
  if (FooterMeasuring() == fmAfterHeader) MeasureFooters();
}

TRLPrintBandsResult TRLCustomPager::PrintBands(TRLBandType type) {
  // A copy: a band's events may not change the list under the walk.
  const std::vector<TRLCustomBand*> list = SortedBands().List(type);
  if (list.empty()) return pbrNone;
  std::size_t i = 0;
  while (i < list.size()) {
    const int group = list[i]->GroupIndex();
    const int copies = list[i]->CarbonCopies();
    std::size_t next = i + 1;
    for (int copy = 0; copy < copies; ++copy) {
      std::size_t j = i;
      do {
        if (list[j] == NewPageCaller()) return pbrAborted;
        list[j]->SetCarbonIndex(copy);
        PrintBand(list[j]);
        ++j;
      } while (group > 0 && j < list.size() && list[j]->GroupIndex() == group);
      next = j;
    }
    i = next;
  }
  SortedBands().SetPrinted(type, true);
  return pbrDone;
}

void TRLCustomPager::PrintBand(TRLCustomBand* band) {
  band->SaveBounds();
  if (band->Visible()) {
    if (!band->Options().Contains(boOptimisticPageBreak) && !IsClosingType(band->BandType())) {
      int room = 0;
      if (!HasRoom(band->Height(), room) && (band->IntegralHeight() || room < band->Constraints().MinHeight())) {
        NewPage(band, false);
      }
    }
    if (band->CanPrint()) {
      band->AdjustBounds();
      band->PrintWithState();
    }
  }
  band->RestoreBounds();
}

void TRLCustomPager::PrintDetails() {
  if (FooterMeasuring() == fmBeforeDetail) MeasureFooters();
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    auto* group = ComponentCast<TRLCustomGroup>(child);
    if (group && group->CanPrint()) {
      group->AdjustBounds();
      group->PrintWithState();
    }
  }
  PrintBands(btDetail);
}

void TRLCustomPager::PrintFooters(bool final) {
  if (!Enabled()) return;
  // A list is aborted when its band is the one breaking the page: it goes to the next page with the bands after
  // it, but the footers still close this one.
  // A page that its footer already closed (a summary moved there) takes no column footer below it.
  bool moved = !SortedBands().Printed(btColumnFooter) && !SortedBands().Printed(btFooter) &&
               PrintBands(btColumnFooter) == pbrAborted;
  if (final && !moved && !SortedBands().Printed(btSummary)) moved = PrintBands(btSummary) == pbrAborted;
  if (!SortedBands().Printed(btFooter)) PrintBands(btFooter);
}

void TRLCustomPager::Complete() {
  TRLCustomBand* filler = nullptr;
  for (TRLCustomBand* band : SortedBands().List(btDetail)) {
    if (band->Completion() != ctNone && band->Computable()) {
      filler = band;
      break;
    }
  }
  if (!filler) return;
  SetCompleting(true);
  TScopeExit completed([this] { SetCompleting(false); });
  switch (filler->Completion()) {
    case ctFullPage:
      while (filler->Height() + CurrentRow() < std::min(ColumnFooterLimit(), DetailLimit()) &&
             !(MaxBands() > 0 && DetailsInPage() >= MaxBands())) {
        const int before = CurrentRow();
        PrintBand(filler);
        if (CurrentRow() <= before) break;  // a band that places nothing would fill forever
      }
      break;
    case ctMaxBands:
      while (DetailsInPage() < MaxBands()) PrintBand(filler);
      break;
    case ctMinBands:
      while (DetailsInPage() < MinBands()) PrintBand(filler);
      break;
    case ctNone: break;
  }
}

void TRLCustomPager::Finish() {
  Complete();
  PrintFooters(true);
  CloseSurface();
}

// ---- Page breaks --------------------------------------------------------------------------------------------

bool TRLCustomPager::CanBreak() const {
  if (!DataPrinted()) return false;
  return !(ForceMinBands() && MinBands() > 0) || DetailsInPage() >= MinBands();
}

void TRLCustomPager::NewPage(TRLCustomControl* caller, bool keep_pager) {
  TRLCustomControl* saved_caller = NewPageCaller();
  SetNewPageCaller(caller);
  TScopeExit restore([this, saved_caller] { SetNewPageCaller(saved_caller); });

  TRLCustomPager* outer = ParentPager();
  if (!keep_pager) {
    // An outer pager's new page runs footers and events before this pager opens again; without one, the open
    // (which clears the surface) follows the close directly.
    const bool saved_closing = closing_to_reopen_;
    closing_to_reopen_ = !outer;
    TScopeExit reset([this, saved_closing] { closing_to_reopen_ = saved_closing; });
    CloseSurface();
  }
  if (outer) {
    outer->NewPage(caller, false);
  } else if (keep_pager) {
    return;  // the report itself kept: nothing to move
  }
  if (keep_pager) ComputePrintRect();
  else OpenSurface();
}

void TRLCustomPager::MeasureFooters() {
  ForEachPagerUp(this, [](TRLCustomPager& p) {
    for (TRLCustomBand* band : p.SortedBands().List(btFooter)) {
      if (!band->Visible() || !(band->AutoSize() || band->AutoExpand() || band->OnMeasureHeight)) continue;
      band->MeasureHeight();
      if (band->OnMeasureHeight) band->OnMeasureHeight(band);
      band->AdjustBounds();
    }
  });
}

// ---- Bands --------------------------------------------------------------------------------------------------

bool TRLCustomBand::IsCountable() const {
  if (BandType() != btDetail || !Computable()) return false;
  return !IsBlankFillerBand();
}

void TRLCustomBand::Print() {
  TRLCustomPager* pager = RequestParentPager();
  const bool countable = IsCountable();
  if (countable) ComputeResults(this);
  TRLCustomBandSet::Print();
  if (countable) {
    TRLCustomReport* report = RequestParentReport();
    report->TableRecorder().RecordRow(*this, report->MasterReport()->PageCounter());
    pager->ComputeResults(this);
  }
  if (countable || BandType() == btSummary) {
    ForEachPagerUp(pager, [](TRLCustomPager& p) { p.SetDataPrinted(true); });
  }
  if (BandType() == btDetail && Computable()) pager->SetDetailsInPage(pager->DetailsInPage() + 1);
  if (PageBreaking() == pbAfterPrint) RequestParentReport()->SetNewPageNeeded(true);
}

void TRLCustomBand::TransferToParent() {
  TRLCustomPager* pager = RequestParentPager();
  TRLCustomReport* report = RequestParentReport();
  const TRLBandType type = BandType();

  bool break_before = false;
  if ((type == btDetail || type == btSummary) && !IsBlankFillerBand() && report->NewPageNeeded()) {
    report->SetNewPageNeeded(false);
    break_before = true;
  }
  if (PageBreaking() == pbBeforePrint && report->DataPrinted()) break_before = true;
  if (type == btDetail && pager->MaxBands() > 0 && !pager->Completing() &&
      pager->DetailsInPage() + 1 > pager->MaxBands()) {
    break_before = true;
  }
  if (break_before) pager->NewPage(this, !pager->CanBreak());

  if (type == btFooter) {
    if (!pager->GrowsToBottom()) pager->SetCurrentRow(std::max(pager->CurrentRow(), pager->FooterLimit()));
  } else if (AlignToBottom() && (type == btSummary || type == btColumnFooter)) {
    auto limit = [&] { return type == btSummary ? pager->SummaryLimit() : pager->ColumnFooterLimit(); };
    if (pager->CurrentRow() > limit()) pager->NewPage(this, !pager->CanBreak());
    pager->SetCurrentRow(std::max(pager->CurrentRow(), limit()));
  }

  const int height = Height();
  TRLGraphicSurface& band_surface = Surface();
  SetPrintRect(Left(), pager->CurrentRow(), Width(), height);
  int done = 0;
  int piece = 0;
  // Set while the page was started for this band and nothing of it is placed there yet: breaking again would
  // never end, so a band taller than a page is placed whole (IntegralHeight) or cut where the page ends.
  bool fresh_page = false;
  auto break_page = [&] {
    pager->NewPage(this, false);
    SetPrintRect(Left(), pager->CurrentRow(), Width(), height);
    fresh_page = true;
  };
  while (done < height) {
    const int remaining = height - done;
    piece = remaining;
    int room = 0;
    if (!IsClosingType(type) && !pager->HasRoom(remaining, room)) {
      const int min_height = Constraints().MinHeight();
      int free_row = 0;
      if (IntegralHeight() || room < min_height) {
        if (!fresh_page) {
          break_page();
          continue;
        }
        if (!IntegralHeight() && room > 0) piece = room;
      } else if (band_surface.FindFreeRow(done + room, free_row) && free_row >= min_height && free_row > done) {
        piece = free_row - done;
      } else if (!fresh_page) {
        break_page();
        continue;
      } else {
        piece = std::max(room, 1);
      }
    }
    TRLGraphicSurface& target = pager->Surface();
    const TRect source_rect{0, done, Width(), done + piece};
    const TRect target_rect{PrintLeft(), PrintTop(), PrintLeft() + Width(), PrintTop() + piece};
    // The piece's clips and background form one group; the drawings copied from the band keep their own.
    StartDrawingGroup(target);
    if (Enabled()) {
      target.SetClipRect(target_rect);
      PaintBackground(target, {PrintLeft(), PrintTop() - done, PrintLeft() + Width(), PrintTop() - done + height});
      target.ResetClipRect();
    }
    target.CopyRect(target_rect, band_surface, source_rect);
    if (done == 0 && type == btHeader) {
      if (auto* group = ComponentCast<TRLCustomGroup>(pager)) group->HeaderPlaced(band_surface, PrintTop());
    }
    done += piece;
    fresh_page = false;
    if (done < height) {
      pager->SetCurrentRow(pager->CurrentRow() + piece);
      break_page();
    }
  }
  pager->SetCurrentRow(pager->CurrentRow() + piece);
}
