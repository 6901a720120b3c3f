#include "report/RLCustomSite.h"

#include "core/Text.h"
#include "graphics/Canvas.h"
#include "pages/RLMetaFile.h"
#include "pages/RLTypes.h"
#include "report/RLReport.h"

#include <algorithm>

// ---- TRLCustomSite: geometry --------------------------------------------------------------------------------

TRLCustomSite::TRLCustomSite(TComponent* owner)
    : TRLCustomControl(owner),
      background_(this),
      degrade_(this),
      inside_margins_(this),
      margins_(this),
      surface_(std::make_unique<TRLGraphicSurface>()) {}

TRLCustomSite::~TRLCustomSite() = default;

TRect TRLCustomSite::GetMarginPixels() const { return margins_.Pixels(); }

TRect TRLCustomSite::GetBorderRect() const {
  const TRect m = GetMarginPixels();
  return {m.Left, m.Top, Width() - m.Right, Height() - m.Bottom};
}

TRect TRLCustomSite::GetClientRect() const {
  TRect r = GetBorderRect();
  const TRect b = Borders().DrawnWidths();
  const TRect i = GetInsideMarginPixels();
  return {r.Left + b.Left + i.Left, r.Top + b.Top + i.Top, r.Right - b.Right - i.Right, r.Bottom - b.Bottom - i.Bottom};
}

TRect TRLCustomSite::GetFrameSizes() const {
  const TRect c = GetClientRect();
  return {c.Left, c.Top, Width() - c.Right, Height() - c.Bottom};
}

TRect TRLCustomSite::GetPrintBoundsRect() const { return print_rect_; }

TRect TRLCustomSite::GetPrintClientRect() const {
  const TRect f = GetFrameSizes();
  return {print_rect_.Left + f.Left, print_rect_.Top + f.Top, print_rect_.Right - f.Right,
          print_rect_.Bottom - f.Bottom};
}

TRect TRLCustomSite::GetPrintSizeRect() const { return {0, 0, print_rect_.Width(), print_rect_.Height()}; }

void TRLCustomSite::BoundsApplied() { SetPrintSize(Width(), Height()); }

void TRLCustomSite::BordersChanged() {
  AdjustBounds();
  Realign();
  Invalidate();
}

void TRLCustomSite::MarginsChanged() { BordersChanged(); }

void TRLCustomSite::Loaded() {
  TRLCustomControl::Loaded();
  AdjustBounds();
  Realign();
}

// ---- Printing -----------------------------------------------------------------------------------------------

bool TRLCustomSite::CanPrint() {
  bool print_it = Visible() && !IsPrintingNow();
  if (print_it && BeforePrint) BeforePrint(this, print_it);
  SetPrintNow(print_it);
  return print_it;
}

void TRLCustomSite::Print() {
  OpenSurface();
  PrintBody();
  CloseSurface();
}

void TRLCustomSite::SaveBounds() {
  TRLCustomControl::SaveBounds();
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    if (auto* rc = ComponentCast<TRLCustomControl>(child)) rc->SaveBounds();
  }
}

void TRLCustomSite::RestoreBounds() {
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    if (auto* rc = ComponentCast<TRLCustomControl>(child)) rc->RestoreBounds();
  }
  TRLCustomControl::RestoreBounds();
}

void TRLCustomSite::ResetResults() {
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    if (auto* rc = ComponentCast<TRLCustomControl>(child)) rc->ResetResults();
  }
}

void TRLCustomSite::ComputeResults(TRLCustomControl* caller) {
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    auto* rc = ComponentCast<TRLCustomControl>(child);
    if (rc && rc != caller) rc->ComputeResults(this);
  }
}

void TRLCustomSite::MeasureHeight() {
  if (HasState(stMeasuringHeights)) return;
  TStateGuard guard(*this, stMeasuringHeights);
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    if (auto* rc = ComponentCast<TRLCustomControl>(child)) rc->MeasureHeight();
  }
}

bool TRLCustomSite::SurfaceOpened() const { return surface_->Opened(); }

void TRLCustomSite::OpenSurface() {
  if (surface_->Opened()) return;
  if (TRLCustomSite* parent = ParentSite()) parent->OpenSurface();
  PrepareOpen();
  ComputePrintRect();
  surface_->SetWidth(PrintWidth());
  surface_->SetHeight(PrintHeight());
  surface_->Open();
  surface_->Clear();
  surface_->SetMargins(GetClientRect());
  if (Enabled()) PrintContents();
  AfterOpen();
}

void TRLCustomSite::CloseSurface() {
  if (!surface_->Opened()) return;
  if (Enabled()) PrintClosing();
  BeforeTransfer();
  TransferToParent();
  surface_->Close();
  AfterClose();
}

void TRLCustomSite::ComputePrintRect() {
  const TPoint at = OffsetToSite();
  SetPrintRect(at.X, at.Y, Width(), Height());
}

void TRLCustomSite::PrintContents() { PrintChildren(false); }

namespace {

// A printable control that passes CanPrint takes its natural size, and so do its own printable children.
void PreparePrintable(TRLCustomControl& control) {
  control.AdjustBounds();
  for (TControl* child : ChildrenInCreationOrder(control)) {
    auto* rc = ComponentCast<TRLCustomControl>(child);
    if (rc && !ComponentCast<TRLCustomSite>(rc) && rc->CanPrint()) PreparePrintable(*rc);
  }
}

}  // namespace

void TRLCustomSite::PrintChildren(bool sites_too) {
  const std::vector<TControl*> children = ChildrenInCreationOrder(*this);
  for (TControl* child : children) {
    auto* rc = ComponentCast<TRLCustomControl>(child);
    if (rc && !ComponentCast<TRLCustomSite>(rc) && rc->CanPrint()) PreparePrintable(*rc);
  }
  for (TControl* child : children) {
    auto* rc = ComponentCast<TRLCustomControl>(child);
    if (!rc) continue;  // Foreign controls have no way here to paint themselves into a picture: skipped.
    if (auto* site = ComponentCast<TRLCustomSite>(rc)) {
      if (sites_too && site->CanPrint()) site->PrintWithState();
    } else if (rc->PrintNow()) {
      rc->PrintWithState();
    }
  }
}

void TRLCustomSite::TransferToParent() {
  TRLGraphicSurface& parent = GetPrintSurface();
  DrawBackground(parent, GetPrintBoundsRect());
  parent.CopySurface(PrintLeft(), PrintTop(), *surface_);
}

void TRLCustomSite::DrawBackground(TRLGraphicSurface& surface, const TRect& rect) {
  StartDrawingGroup(surface);
  PaintBackground(surface, rect);
}

void TRLCustomSite::PaintBackground(TRLGraphicSurface& surface, const TRect& rect) {
  if (degrade_.Direction() != ddNone && degrade_.OppositeColor() != Color()) {
    degrade_.PaintTo(surface, rect, Color());
  } else if (!Transparent()) {
    surface.Brush().SetColor(Color());
    surface.Brush().SetStyle(bsSolid);
    surface.FillRect(rect);
  }
  background_.PaintTo(surface, rect);
  const TRect m = GetMarginPixels();
  DrawBorders(surface, {rect.Left + m.Left, rect.Top + m.Top, rect.Right - m.Right, rect.Bottom - m.Bottom});
  if (OnDraw) OnDraw(this, surface, rect);
}

// ---- Design painting ----------------------------------------------------------------------------------------

void TRLCustomSite::PaintContents(TCanvas& canvas) {
  if (!Transparent()) {
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(GetLocalRect());
  }
  Borders().PaintTo(canvas, GetBorderRect());
}

void TRLCustomSite::PaintCornerMarks(TCanvas& canvas) {
  canvas.Pen().SetColor(clGray);
  canvas.Pen().SetStyle(psDash);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(GetLocalRect());
}

void TRLCustomSite::PaintDesignOverlay(TCanvas& canvas) {
  const TRLCustomReport* report = ParentReport();
  if (report && !report->ShowDesigners()) return;
  canvas.Pen().SetColor(clSilver);
  canvas.Pen().SetStyle(psDot);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(GetClientRect());
  PaintCornerMarks(canvas);
}

// ---- TRLCustomBandSet ---------------------------------------------------------------------------------------

void TRLCustomBandSet::PrepareOpen() { band_sets_.clear(); }

void TRLCustomBandSet::AfterOpen() {
  if (auto* outer = FindAncestor<TRLCustomBandSet>(Parent())) outer->band_sets_.push_back(this);
}

void TRLCustomBandSet::AfterClose() { band_sets_.clear(); }
