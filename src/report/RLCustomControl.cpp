#include "report/RLCustomControl.h"

#include "core/Text.h"
#include "graphics/Canvas.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"

#include <algorithm>
#include <cassert>

// ---- TRLBorders ---------------------------------------------------------------------------------------------

void TRLBorders::SetWidth(int value) {
  if (value < 0 || value == width_) return;
  width_ = value;
  Changed();
}

void TRLBorders::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Changed();
}

void TRLBorders::SetStyle(TBrushStyle value) {
  if (value == style_) return;
  style_ = value;
  Changed();
}

void TRLBorders::SetSides(TRLBorderSides value) {
  if (value == sides_) return;
  sides_ = value;
  if (value == sdNone) {
    std::fill(std::begin(draw_), std::end(draw_), false);
    std::fill(std::begin(fixed_), std::end(fixed_), false);
  } else if (value == sdAll) {
    std::fill(std::begin(draw_), std::end(draw_), true);
  }
  Changed();
}

void TRLBorders::SetDraw(int side, bool value) {
  if (draw_[side] == value) return;
  draw_[side] = value;
  if (!value) fixed_[side] = false;
  const bool all = std::all_of(std::begin(draw_), std::end(draw_), [](bool b) { return b; });
  const bool any = std::any_of(std::begin(draw_), std::end(draw_), [](bool b) { return b; });
  if (!(all && sides_ == sdAll) && (any || sides_ != sdNone)) sides_ = sdCustom;
  Changed();
}

void TRLBorders::SetFixed(int side, bool value) {
  if (fixed_[side] == value) return;
  fixed_[side] = value;
  if (value) SetDraw(side, true);
  Changed();
}

bool TRLBorders::CanDraw(int side) const {
  if (!draw_[side]) return false;
  if (fixed_[side]) return true;
  const TRLCustomReport* master = owner_ ? owner_->MasterReport() : nullptr;
  return master && master->PrintQuality() == pqFullFeature;
}

TRect TRLBorders::DrawnWidths() const {
  return {CanDraw(0) ? width_ : 0, CanDraw(1) ? width_ : 0, CanDraw(2) ? width_ : 0, CanDraw(3) ? width_ : 0};
}

namespace {

template <class Target>
void PaintSides(Target& target, const TRLBorders& borders, const TRect& r) {
  const int wd = borders.Width();
  if (wd <= 0) return;
  target.Pen().SetColor(borders.Color());
  target.Pen().SetStyle(psSolid);
  target.Pen().SetMode(pmCopy);
  target.Pen().SetWidth(1);
  target.Brush().SetColor(borders.Color());
  target.Brush().SetStyle(borders.Style());
  if (borders.CanDrawLeft()) target.Rectangle(r.Left, r.Top, r.Left + wd, r.Bottom);
  if (borders.CanDrawTop()) target.Rectangle(r.Left, r.Top, r.Right, r.Top + wd);
  if (borders.CanDrawRight()) target.Rectangle(r.Right - wd, r.Top, r.Right, r.Bottom);
  if (borders.CanDrawBottom()) target.Rectangle(r.Left, r.Bottom - wd, r.Right, r.Bottom);
}

}  // namespace

void TRLBorders::PaintTo(TRLGraphicSurface& surface, const TRect& rect) const { PaintSides(surface, *this, rect); }
void TRLBorders::PaintTo(TCanvas& canvas, const TRect& rect) const { PaintSides(canvas, *this, rect); }

void TRLBorders::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLBorders*>(&source);
  if (!other) return TPersistent::Assign(source);
  std::copy(std::begin(other->draw_), std::end(other->draw_), std::begin(draw_));
  std::copy(std::begin(other->fixed_), std::end(other->fixed_), std::begin(fixed_));
  width_ = other->width_;
  color_ = other->color_;
  style_ = other->style_;
  sides_ = other->sides_;
  Changed();
}

void TRLBorders::Changed() {
  if (owner_) owner_->BordersChanged();
}

void TRLRealBounds::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLRealBounds*>(&source);
  if (!other) return TPersistent::Assign(source);
  used_unit_ = other->used_unit_;
  left_ = other->left_;
  top_ = other->top_;
  width_ = other->width_;
  height_ = other->height_;
}

// ---- TRLCustomControl: properties ---------------------------------------------------------------------------

TRLCustomControl::TRLCustomControl(TComponent* owner) : TCustomControl(owner), borders_(this) {}

TRLCustomControl::~TRLCustomControl() {
  Destroying();
  for (TRLCustomControl* holded : holdeds_) {
    if (holded->hold_.holder == this) holded->hold_.holder = nullptr;
    if (holded->second_hold_.holder == this) holded->second_hold_.holder = nullptr;
  }
  holdeds_.clear();
  if (hold_.holder) hold_.holder->RemoveHolded(this);
  if (second_hold_.holder) second_hold_.holder->RemoveHolded(this);
}

void TRLCustomControl::SetAlign(TRLControlAlign value) {
  if (value == align_) return;
  const TRLControlAlign old = align_;
  if ((IsHeightFree(old) && IsWidthFree(value)) || (IsWidthFree(old) && IsHeightFree(value))) {
    align_ = faNone;
    AdjustBounds();
  }
  align_ = value;
  if (value != faNone) anchors_.Clear();
  RealignParent();
}

void TRLCustomControl::SetAnchors(TRLControlAnchors value) {
  anchors_ = value;
  if (!value.Empty()) align_ = faNone;
}

void TRLCustomControl::SetAlignment(TRLTextAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TRLCustomControl::SetLayout(TRLTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TRLCustomControl::SetAutoSize(bool value) {
  if (value == auto_size_) return;
  auto_size_ = value;
  AdjustBounds();
}

void TRLCustomControl::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Invalidate();
}

void TRLCustomControl::SetFriendlyName(const std::string& value) {
  if (value == friendly_name_) return;
  if (value.empty() || value == Name()) {
    friendly_name_.clear();
  } else if (!IsValidIdent(value)) {
    if (!IsLoading()) throw Exception(EngineMessages().msgInvalidName + " \"" + value + "\"");
    friendly_name_.clear();
  } else {
    if (TComponent* owner = Owner()) {
      for (int i = 0; i < owner->ComponentCount(); ++i) {
        auto* other = ComponentCast<TRLCustomControl>(owner->Components(i));
        if (!other || other == this) continue;
        if (SameText(other->FriendlyName(), value) || SameText(other->Name(), value)) {
          throw Exception(EngineMessages().msgNameInUse + " \"" + value + "\"");
        }
      }
    }
    friendly_name_ = value;
  }
  AdjustBounds();
  Invalidate();
}

std::string TRLCustomControl::DisplayName() const { return friendly_name_.empty() ? Name() : friendly_name_; }

// ---- Captions -----------------------------------------------------------------------------------------------

std::string TRLCustomControl::Caption() const {
  if (IsGenerating()) return caption_;
  if (design_caption_.empty() && IsDesigning()) return DisplayName();
  return design_caption_;
}

void TRLCustomControl::SetCaption(const std::string& value) {
  caption_ = value;
  if (!IsGenerating()) {
    if (IsDesigning() && value == DisplayName()) design_caption_.clear();
    else design_caption_ = value;
  }
  AdjustBounds();
  Invalidate();
}

std::string TRLCustomControl::BuildCaption() { return Caption(); }

// ---- Navigation ---------------------------------------------------------------------------------------------

TRLCustomSite* TRLCustomControl::ParentSite() const { return FindAncestor<TRLCustomSite>(Parent()); }
TRLCustomBand* TRLCustomControl::ParentBand() const { return FindAncestor<TRLCustomBand>(Parent()); }
TRLCustomPager* TRLCustomControl::ParentPager() const { return FindAncestor<TRLCustomPager>(Parent()); }

TRLCustomGroup* TRLCustomControl::ParentGroup() const {
  for (const TControl* c = Parent(); c; c = c->Parent()) {
    if (auto* group = ComponentCast<TRLCustomGroup>(c)) return const_cast<TRLCustomGroup*>(group);
    if (ComponentCast<TRLCustomPager>(c)) return nullptr;
  }
  return nullptr;
}

TRLCustomSkipper* TRLCustomControl::ParentSkipper() const { return FindAncestor<TRLCustomSkipper>(this); }
TRLCustomReport* TRLCustomControl::ParentReport() const {
  // Asked for on every print of every control; the walk is remembered while no parent chain changes. Only a
  // report found is remembered, and not one being destroyed: it stops being a report on its way out.
  const unsigned long long version = ParentChainsVersion();
  if (report_version_ == version && !report_->IsDestroying()) return report_;
  TRLCustomReport* report = FindAncestor<TRLCustomReport>(this);
  if (report && !report->IsDestroying()) {
    report_ = report;
    report_version_ = version;
  }
  return report;
}

TRLCustomReport* TRLCustomControl::MasterReport() const {
  TRLCustomReport* report = ParentReport();
  // SetNextReport keeps the chain free of loops, so the walk ends.
  assert(!report || report->ChainIsSound());
  while (report && report->PriorReport()) report = report->PriorReport();
  return report;
}

namespace {

[[noreturn]] void RaiseNotFound(const TComponent& component, std::string_view what) {
  throw Exception(EngineMessages().msgNotFound + ": " + component.Name() + "." + std::string(what));
}

}  // namespace

TRLCustomPager* TRLCustomControl::RequestParentPager() const {
  if (TRLCustomPager* pager = ParentPager()) return pager;
  RaiseNotFound(*this, "ParentPager");
}

TRLCustomSkipper* TRLCustomControl::RequestParentSkipper() const {
  if (TRLCustomSkipper* skipper = ParentSkipper()) return skipper;
  RaiseNotFound(*this, "ParentSkipper");
}

TRLCustomReport* TRLCustomControl::RequestParentReport() const {
  if (TRLCustomReport* report = ParentReport()) return report;
  RaiseNotFound(*this, "ParentReport");
}

TRLGraphicSurface& TRLCustomControl::GetPrintSurface() {
  if (TRLCustomSite* site = ParentSite()) return site->Surface();
  RaiseNotFound(*this, "ParentSurface");
}

// ---- Geometry -----------------------------------------------------------------------------------------------

bool TRLCustomControl::CanChangeWidth() const {
  return IsWidthFree(align_) && !((auto_size_dir_ & AutoSizeWidth) && auto_size_);
}

bool TRLCustomControl::CanChangeHeight() const {
  return IsHeightFree(align_) && !((auto_size_dir_ & AutoSizeHeight) && auto_size_);
}

void TRLCustomControl::LockSize(int width, int height) {
  locked_width_ = width;
  locked_height_ = height;
  size_locked_ = true;
  SetBounds(Left(), Top(), width, height);
}

void TRLCustomControl::SetBounds(int left, int top, int width, int height) {
  if (IsDestroying()) return;
  if (size_locked_) {
    width = locked_width_;
    height = locked_height_;
  }
  const bool rules = !IsLoading() && !HasState(stRestoringBounds);
  if (rules && hold_.holder) ApplyHold(hold_, left, top, width, height);
  if (rules && second_hold_.holder) ApplyHold(second_hold_, left, top, width, height);
  Constraints().Constrain(width, height);
  if (left == Left() && top == Top() && width == Width() && height == Height()) {
    Realign();
    AdjustHoldeds();
    return;
  }
  const TRect old = BoundsRect();
  old_bounds_ = old;
  TCustomControl::SetBounds(left, top, width, height);
  BoundsApplied();
  if (rules) ExpandParentSite(old);
  RealignParent();
  Realign();
  AdjustHoldeds();
}

void TRLCustomControl::SetParent(TWinControl* parent) {
  TWinControl* old = Parent();
  if (parent == old) return;
  TCustomControl::SetParent(parent);
  if (auto* site = ComponentCast<TRLCustomSite>(old)) site->Realign();
  AdjustBounds();
  RealignParent();
}

void TRLCustomControl::SetName(const std::string& name) {
  TCustomControl::SetName(name);
  AdjustBounds();
}

void TRLCustomControl::CalcSize(int& width, int& height) {
  width = Width();
  height = Height();
}

void TRLCustomControl::AdjustBounds() {
  if (HasState(stAdjustingBounds) || HasState(stRestoringBounds) || IsLoading() || IsDestroying()) return;
  TStateGuard guard(*this, stAdjustingBounds);
  int w = Width(), h = Height();
  CalcSize(w, h);
  if (IsDesigning()) {
    if (w == 0) w = 1;
    if (h == 0) h = 1;
  }
  int left = Left(), top = Top();
  switch (alignment_) {
    case TRLTextAlignment::taRightJustify: left = Left() + Width() - w; break;
    case TRLTextAlignment::taCenter:
      if (w % 2 != 0) ++w;
      left = Left() + (Width() - w) / 2;
      break;
    default: break;
  }
  switch (layout_) {
    case tlBottom: top = Top() + Height() - h; break;
    case tlCenter:
      if (h % 2 != 0) ++h;
      top = Top() + (Height() - h) / 2;
      break;
    default: break;
  }
  SetBounds(left, top, w, h);
}

void TRLCustomControl::ExpandParentSite(const TRect& old_bounds) {
  if (IsLoading() || HasState(stRestoringBounds) || HasState(stExpandingParent)) return;
  TStateGuard guard(*this, stExpandingParent);
  const int dw = Width() - old_bounds.Width();
  const int dh = Height() - old_bounds.Height();
  if (IsWidthFree(align_)) {
    TRLCustomSite* site = ParentSite();
    while (site && !IsWidthFree(site->Align())) site = site->ParentSite();
    if (site && (site->AutoSizeDirection() & AutoSizeWidth)) {
      if (site->AutoSize()) site->AdjustBounds();
      else if (site->AutoExpand() && behavior_.Contains(beSiteExpander) && dw != 0) site->SetWidth(site->Width() + dw);
    }
  }
  if (IsHeightFree(align_)) {
    TRLCustomSite* site = ParentSite();
    while (site && !IsHeightFree(site->Align())) site = site->ParentSite();
    if (site && (site->AutoSizeDirection() & AutoSizeHeight)) {
      if (site->AutoSize()) site->AdjustBounds();
      else if (site->AutoExpand() && behavior_.Contains(beSiteExpander) && dh != 0)
        site->SetHeight(site->Height() + dh);
    }
  }
}

void TRLCustomControl::RealignParent() {
  if (auto* site = ComponentCast<TRLCustomSite>(Parent())) site->Realign();
}

void TRLCustomControl::BordersChanged() {
  AdjustBounds();
  Invalidate();
}

TPoint TRLCustomControl::AbsolutePosition() const {
  TPoint p;
  for (const TControl* c = this; c; c = c->Parent()) {
    p.X += c->Left();
    p.Y += c->Top();
  }
  return p;
}

TPoint TRLCustomControl::OffsetToSite() const {
  TPoint p{Left(), Top()};
  for (const TControl* c = Parent(); c && !ComponentCast<TRLCustomSite>(c); c = c->Parent()) {
    p.X += c->Left();
    p.Y += c->Top();
  }
  return p;
}

TRect TRLCustomControl::GetClientRect() const {
  TRect r = GetLocalRect();
  const int wd = borders_.Width();
  if (wd <= 0) return r;
  if (borders_.CanDrawLeft()) r.Left += wd + 1;
  if (borders_.CanDrawTop()) r.Top += wd + 1;
  if (borders_.CanDrawRight()) r.Right -= wd + 1;
  if (borders_.CanDrawBottom()) r.Bottom -= wd + 1;
  return r;
}

TRect TRLCustomControl::GetFrameSizes() const { return borders_.DrawnWidths(); }

TRect TRLCustomControl::GetPrintBoundsRect() const {
  TPoint p = OffsetToSite();
  return {p.X, p.Y, p.X + Width(), p.Y + Height()};
}

TRect TRLCustomControl::GetPrintClientRect() const {
  TRect r = GetPrintBoundsRect();
  TRect w = borders_.DrawnWidths();
  return {r.Left + w.Left, r.Top + w.Top, r.Right - w.Right, r.Bottom - w.Bottom};
}

TRect TRLCustomControl::GetPrintSizeRect() const {
  TRect r = GetPrintBoundsRect();
  return {0, 0, r.Width(), r.Height()};
}

void TRLCustomControl::SaveBounds() {
  saved_bounds_ = BoundsRect();
  bounds_saved_ = true;
}

void TRLCustomControl::RestoreBounds() {
  if (!bounds_saved_) return;
  TStateGuard guard(*this, stRestoringBounds);
  SetBounds(saved_bounds_.Left, saved_bounds_.Top, saved_bounds_.Width(), saved_bounds_.Height());
}

// ---- Holders ------------------------------------------------------------------------------------------------

void TRLCustomControl::SetHolder(TRLCustomControl* value) { SetHold(hold_, value); }
void TRLCustomControl::SetSecondHolder(TRLCustomControl* value) { SetHold(second_hold_, value); }

void TRLCustomControl::SetHoldStyle(TRLHoldStyle value) {
  hold_.style = value;
  RecordHoldOffset(hold_);
}

void TRLCustomControl::SetSecondHoldStyle(TRLHoldStyle value) {
  second_hold_.style = value;
  RecordHoldOffset(second_hold_);
}

void TRLCustomControl::SetHold(THold& hold, TRLCustomControl* holder) {
  if (holder == this || holder == hold.holder) return;
  if (hold.holder) hold.holder->RemoveHolded(this);
  hold.holder = holder;
  if (!holder) return;
  FreeNotification(holder);
  holder->AddHolded(this);
  RecordHoldOffset(hold);
}

void TRLCustomControl::RecordHoldOffset(THold& hold) {
  if (!hold.holder) return;
  TPoint mine = AbsolutePosition(), theirs = hold.holder->AbsolutePosition();
  hold.offset = {mine.X - theirs.X, mine.Y - theirs.Y};
}

void TRLCustomControl::ApplyHold(const THold& hold, int& left, int& top, int& width, int& height) const {
  const TRLCustomControl& holder = *hold.holder;
  const TPoint at = holder.AbsolutePosition();
  TPoint base;
  for (const TControl* c = Parent(); c; c = c->Parent()) {
    base.X += c->Left();
    base.Y += c->Top();
  }
  int dx = 0, dy = 0;
  if (alignment_ == TRLTextAlignment::taRightJustify) dx = holder.Width() - width;
  else if (alignment_ == TRLTextAlignment::taCenter) dx = (holder.Width() - width) / 2;
  if (layout_ == tlCenter) dy = (holder.Height() - height) / 2;
  else if (layout_ == tlBottom) dy = holder.Height() - height;
  const bool horizontally = hold.style == hsHorizontally || hold.style == hsRelatively;
  const bool vertically = hold.style == hsVertically || hold.style == hsRelatively;
  if (hold.style == hsAsColumn) {
    left = at.X + dx - base.X;
    if (CanChangeWidth()) width = holder.Width();
  }
  if (horizontally) left = at.X + hold.offset.X + dx - base.X;
  if (vertically) top = at.Y + hold.offset.Y + dy - base.Y;
  if ((hold.style == hsCopyWidth || hold.style == hsCopySize) && CanChangeWidth()) width = holder.Width();
  if ((hold.style == hsCopyHeight || hold.style == hsCopySize) && CanChangeHeight()) height = holder.Height();
}

void TRLCustomControl::AdjustHoldeds() {
  if (HasState(stAdjustingHoldeds) || holdeds_.empty()) return;
  TStateGuard guard(*this, stAdjustingHoldeds);
  // A copy: adjusting a dependant may change who depends on whom.
  std::vector<TRLCustomControl*> holdeds = holdeds_;
  for (TRLCustomControl* holded : holdeds) {
    if (std::find(holdeds_.begin(), holdeds_.end(), holded) == holdeds_.end()) continue;
    holded->AdjustBounds();
  }
}

void TRLCustomControl::AddHolded(TRLCustomControl* control) {
  if (std::find(holdeds_.begin(), holdeds_.end(), control) == holdeds_.end()) holdeds_.push_back(control);
  FreeNotification(control);
}

void TRLCustomControl::RemoveHolded(TRLCustomControl* control) {
  // Still a dependant through the other holder slot: keep it.
  if (control->hold_.holder == this || control->second_hold_.holder == this) return;
  holdeds_.erase(std::remove(holdeds_.begin(), holdeds_.end(), control), holdeds_.end());
}

void TRLCustomControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == hold_.holder) hold_.holder = nullptr;
  if (component == second_hold_.holder) second_hold_.holder = nullptr;
  holdeds_.erase(std::remove(holdeds_.begin(), holdeds_.end(), component), holdeds_.end());
}

void TRLCustomControl::Loaded() { TCustomControl::Loaded(); }

void TRLCustomControl::FontChanged() {
  TCustomControl::FontChanged();
  AdjustBounds();
}

// ---- Printing -----------------------------------------------------------------------------------------------

bool TRLCustomControl::IsGenerating() const {
  const TRLCustomReport* report = ParentReport();
  return report && (report->Phase() == rpPreparing || report->Phase() == rpClosing);
}

bool TRLCustomControl::IsBlankFiller() const {
  const TRLCustomBand* band = ComponentCast<TRLCustomBand>(this);
  if (!band) band = ParentBand();
  return band && band->IsBlankFillerBand();
}

bool TRLCustomControl::CanPrint() {
  bool print_it = Visible();
  if (print_it && BeforePrint) BeforePrint(this, print_it);
  if (print_it) {
    std::string text = IsBlankFiller() ? std::string() : BuildCaption();
    DoBeforeText(text, print_it);
    if (print_it) {
      if (TRLCustomReport* report = ParentReport(); report && report->OnFilterText) {
        report->OnFilterText(report, text, print_it);
      }
    }
    if (print_it) SetCaption(text);
  }
  print_now_ = print_it;
  return print_it;
}

void TRLCustomControl::Print() {
  TRLGraphicSurface& surface = GetPrintSurface();
  StartDrawingGroup(surface);
  const TRect r = GetPrintBoundsRect();
  if (!transparent_) {
    surface.Brush().SetColor(Color());
    surface.Brush().SetStyle(bsSolid);
    surface.FillRect(r);
  }
  DrawBorders(surface, r);
}

void TRLCustomControl::PrintWithState() {
  {
    TStateGuard guard(*this, stPrinting);
    Print();
  }
  DoAfterPrint();
}

void TRLCustomControl::DoAfterPrint() {
  if (AfterPrint) AfterPrint(this);
}

void TRLCustomControl::MeasureHeight() {
  if (HasState(stMeasuringHeights)) return;
  TStateGuard guard(*this, stMeasuringHeights);
  SetCaption(BuildCaption());
}

void TRLCustomControl::DrawBorders(TRLGraphicSurface& surface, const TRect& rect) const {
  borders_.PaintTo(surface, rect);
}

void TRLCustomControl::StartDrawingGroup(TRLGraphicSurface& surface) {
  surface.SetGeneratorId(this);
  NewGroupId();
}

// ---- Design painting ----------------------------------------------------------------------------------------

void TRLCustomControl::Paint() {
  PaintContents(Canvas());
  PaintDesignOverlay(Canvas());
}

void TRLCustomControl::PaintContents(TCanvas& canvas) {
  if (!transparent_) {
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(GetLocalRect());
  }
  borders_.PaintTo(canvas, GetLocalRect());
}

void TRLCustomControl::PaintDesignOverlay(TCanvas& canvas) {
  const TRLCustomReport* report = ParentReport();
  if (!report || report->ShowDesigners()) PaintCornerMarks(canvas);
}

void TRLCustomControl::PaintCornerMarks(TCanvas& canvas) {
  const int w = Width() - 1, h = Height() - 1, m = 5;
  canvas.Pen().SetColor(clGray);
  canvas.Pen().SetStyle(psSolid);
  const TPoint corners[4][3] = {{{0, m}, {0, 0}, {m, 0}},
                                {{w - m, 0}, {w, 0}, {w, m}},
                                {{0, h - m}, {0, h}, {m, h}},
                                {{w - m, h}, {w, h}, {w, h - m}}};
  for (const auto& c : corners) canvas.Polyline(c);
}

// ---- Helpers ------------------------------------------------------------------------------------------------

TRLControlAlign TRLCustomControl::AlignOf(const TControl& control) {
  if (const auto* rc = ComponentCast<TRLCustomControl>(&control)) return rc->Align();
  switch (control.Align()) {
    case alTop: return faTop;
    case alBottom: return faBottom;
    case alLeft: return faLeft;
    case alRight: return faRight;
    case alClient: return faClient;
    default: return faNone;
  }
}

TRLControlAnchors TRLCustomControl::AnchorsOf(const TControl& control) {
  if (const auto* rc = ComponentCast<TRLCustomControl>(&control)) return rc->Anchors();
  return {};
}

std::vector<TControl*> ChildrenInCreationOrder(const TWinControl& parent) {
  std::vector<TControl*> children;
  children.reserve(static_cast<std::size_t>(parent.ControlCount()));
  for (int i = 0; i < parent.ControlCount(); ++i) children.push_back(parent.Controls(i));
  if (children.empty()) return children;
  // Children of one owner, the usual case, order by their insertion stamps; any other mix by the position each
  // holds in its own owner, the unowned last.
  const TComponent* owner = children.front()->Owner();
  const bool one_owner =
      owner && std::all_of(children.begin(), children.end(), [&](const TControl* c) { return c->Owner() == owner; });
  if (one_owner) {
    auto by_stamp = [](const TControl* a, const TControl* b) { return a->InsertionStamp() < b->InsertionStamp(); };
    if (!std::is_sorted(children.begin(), children.end(), by_stamp))
      std::stable_sort(children.begin(), children.end(), by_stamp);
    return children;
  }
  std::vector<std::pair<int, TControl*>> keyed;
  keyed.reserve(children.size());
  for (TControl* child : children) {
    int index = INT32_MAX;
    if (TComponent* child_owner = child->Owner()) {
      if (int j = child_owner->ComponentIndex(child); j >= 0) index = j;
    }
    keyed.emplace_back(index, child);
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 0; i < keyed.size(); ++i) children[i] = keyed[i].second;
  return children;
}
