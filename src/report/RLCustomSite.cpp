#include "report/RLCustomSite.h"

#include "framework/Canvas.h"
#include "framework/Text.h"
#include "pages/RLMetaFile.h"
#include "pages/RLTypes.h"
#include "report/RLReport.h"

#include <algorithm>

// ---- TRLMargins ---------------------------------------------------------------------------------------------

TRLMargins::TRLMargins(TRLCustomControl* owner, double default_value) : owner_(owner) {
  std::fill(std::begin(values_), std::end(values_), default_value);
  std::fill(std::begin(defaults_), std::end(defaults_), default_value);
}

void TRLMargins::ResetDefaults(double value) {
  std::fill(std::begin(defaults_), std::end(defaults_), value);
  for (int side = 0; side < 4; ++side) Set(side, value);
}

void TRLMargins::Set(int side, double value) {
  if (values_[side] == value) return;
  values_[side] = value;
  if (auto* site = ComponentCast<TRLCustomSite>(owner_)) site->MarginsChanged();
}

TRect TRLMargins::Pixels() const {
  return {MMToPixels(values_[0]), MMToPixels(values_[1]), MMToPixels(values_[2]), MMToPixels(values_[3])};
}

void TRLMargins::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLMargins*>(&source);
  if (!other) return TPersistent::Assign(source);
  SetLeftMargin(other->LeftMargin());
  SetTopMargin(other->TopMargin());
  SetRightMargin(other->RightMargin());
  SetBottomMargin(other->BottomMargin());
}

// ---- TRLBackground ------------------------------------------------------------------------------------------

TRLBackground::TRLBackground(TRLCustomControl* owner) : owner_(owner) {}

void TRLBackground::SetAutoSize(bool value) {
  auto_size_ = value;
  if (auto_size_ && picture_.Graphic()) {
    width_ = picture_.Width();
    height_ = picture_.Height();
  }
  Changed();
}

void TRLBackground::SetGraphic(const TGraphic* graphic) {
  picture_.SetGraphic(graphic);
  if (auto_size_ && picture_.Graphic()) {
    width_ = picture_.Width();
    height_ = picture_.Height();
  }
  Changed();
}

void TRLBackground::Changed() {
  if (owner_) owner_->Invalidate();
}

void TRLBackground::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLBackground*>(&source);
  if (!other) return TPersistent::Assign(source);
  align_ = other->align_;
  arrange_ = other->arrange_;
  auto_size_ = other->auto_size_;
  height_ = other->height_;
  width_ = other->width_;
  stretch_ = other->stretch_;
  picture_.Assign(other->picture_);
  Changed();
}

TRect TRLBackground::AlignedRect(const TRect& r) const {
  const int w = width_, h = height_;
  const int cx = (r.Left + r.Right - w) / 2, cy = (r.Top + r.Bottom - h) / 2;
  switch (align_) {
    case faNone:
    case faLeftTop: return {r.Left, r.Top, r.Left + w, r.Top + h};
    case faLeft:
    case faLeftMost: return {r.Left, r.Top, r.Left + w, r.Bottom};
    case faTop: return {r.Left, r.Top, r.Right, r.Top + h};
    case faRight:
    case faRightMost: return {r.Right - w, r.Top, r.Right, r.Bottom};
    case faBottom: return {r.Left, r.Bottom - h, r.Right, r.Bottom};
    case faClient: return r;
    case faRightTop: return {r.Right - w, r.Top, r.Right, r.Top + h};
    case faLeftBottom: return {r.Left, r.Bottom - h, r.Left + w, r.Bottom};
    case faRightBottom: return {r.Right - w, r.Bottom - h, r.Right, r.Bottom};
    case faCenter: return {cx, cy, cx + w, cy + h};
    case faCenterLeft:
    case faClientLeft:
    case faLeftOnly: return {r.Left, cy, r.Left + w, cy + h};
    case faCenterTop:
    case faClientTop:
    case faTopOnly: return {cx, r.Top, cx + w, r.Top + h};
    case faCenterRight:
    case faClientRight:
    case faRightOnly: return {r.Right - w, cy, r.Right, cy + h};
    case faHeight: return {cx, r.Top, cx + w, r.Bottom};
    case faWidth: return {r.Left, cy, r.Right, cy + h};
    case faCenterBottom:
    case faClientBottom:
    case faBottomOnly: return {cx, r.Bottom - h, cx + w, r.Bottom};
  }
  return r;
}

void TRLBackground::PaintTo(TRLGraphicSurface& surface, const TRect& rect) const {
  const TGraphic* graphic = picture_.Graphic();
  if (!graphic || graphic->Empty()) return;
  const int pw = graphic->Width(), ph = graphic->Height();
  switch (arrange_) {
    case baAligned: {
      TRect dest = AlignedRect(rect);
      if (!stretch_) dest = {dest.Left, dest.Top, dest.Left + pw, dest.Top + ph};
      surface.StretchDraw(dest, graphic);
      break;
    }
    case baCenter: {
      const int x = (rect.Left + rect.Right - pw) / 2, y = (rect.Top + rect.Bottom - ph) / 2;
      surface.StretchDraw({x, y, x + pw, y + ph}, graphic);
      break;
    }
    case baSidebySide:
    case baDistributed: {
      const int tw = stretch_ ? width_ : pw, th = stretch_ ? height_ : ph;
      if (tw <= 0 || th <= 0) return;
      int row = 0;
      for (int y = rect.Top; y < rect.Bottom; y += th, ++row) {
        const int shift = (arrange_ == baDistributed && row % 2 == 1) ? tw / 2 : 0;
        for (int x = rect.Left - shift; x < rect.Right; x += tw) surface.StretchDraw({x, y, x + tw, y + th}, graphic);
      }
      break;
    }
  }
}

// ---- TRLDegradeEffect ---------------------------------------------------------------------------------------

void TRLDegradeEffect::Changed() {
  if (owner_) owner_->Invalidate();
}

void TRLDegradeEffect::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TRLDegradeEffect*>(&source);
  if (!other) return TPersistent::Assign(source);
  opposite_color_ = other->opposite_color_;
  direction_ = other->direction_;
  granularity_ = other->granularity_;
  Changed();
}

void TRLDegradeEffect::PaintTo(TRLGraphicSurface& surface, const TRect& rect, TColor color) const {
  if (direction_ == ddNone) return;
  const TColor s = ColorToRGB(color), e = ColorToRGB(opposite_color_);
  const bool horizontal = direction_ == ddHorizontal;
  const int extent = horizontal ? rect.Width() : rect.Height();
  const int g = granularity_;
  const int steps = (extent + g - 1) / g;
  auto blend = [&](int from, int to, double f) {
    return static_cast<int>(from + RoundHalfEven(to * f) - RoundHalfEven(from * f));
  };
  surface.Brush().SetStyle(bsSolid);
  for (int i = 0; i < steps; ++i) {
    const double f = static_cast<double>(i) / steps;
    surface.Brush().SetColor(RGBColor(blend(GetRValue(s), GetRValue(e), f), blend(GetGValue(s), GetGValue(e), f),
                                      blend(GetBValue(s), GetBValue(e), f)));
    const int from = i * g, to = std::min(extent, from + g);
    if (horizontal) surface.FillRect({rect.Left + from, rect.Top, rect.Left + to, rect.Bottom});
    else surface.FillRect({rect.Left, rect.Top + from, rect.Right, rect.Top + to});
  }
}

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
  return {print_rect_.Left + f.Left, print_rect_.Top + f.Top, print_rect_.Right - f.Right, print_rect_.Bottom - f.Bottom};
}

TRect TRLCustomSite::GetPrintSizeRect() const { return {0, 0, print_rect_.Width(), print_rect_.Height()}; }

namespace {

// The children that take part in layout: all of them in design mode, the visible ones at run time.
std::vector<TControl*> LayoutChildren(const TRLCustomSite& site) {
  std::vector<TControl*> children;
  for (TControl* child : ChildrenInCreationOrder(site)) {
    if (site.IsDesigning() || child->Visible()) children.push_back(child);
  }
  return children;
}

}  // namespace

void TRLCustomSite::CalcSize(int& width, int& height) {
  width = Width();
  height = Height();
  if (!AutoSize()) return;
  const TRect client = GetClientRect();
  int sum_w = 0, sum_h = 0, right = 0, bottom = 0;
  for (TControl* child : LayoutChildren(*this)) {
    const TRLControlAlign a = AlignOf(*child);
    if (a != faNone) {
      if (IsWidthFree(a)) sum_w += child->Width();
      if (IsHeightFree(a)) sum_h += child->Height();
    } else {
      right = std::max(right, child->Left() + child->Width());
      bottom = std::max(bottom, child->Top() + child->Height());
    }
  }
  int need_w = std::max(sum_w, right - client.Left);
  int need_h = std::max(sum_h, bottom - client.Top);
  if (!IsWidthFree(Align()) || need_w == 0) need_w = client.Width();
  if (!IsHeightFree(Align()) || need_h == 0) need_h = client.Height();
  width = Width() + need_w - client.Width();
  height = Height() + need_h - client.Height();
}

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

// ---- Layout -------------------------------------------------------------------------------------------------

void TRLCustomSite::Realign() {
  if (IsLoading() || IsDestroying() || HasState(stAligningControls)) return;
  AlignControls();
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    if (auto* site = ComponentCast<TRLCustomSite>(child)) site->Realign();
  }
}

namespace {

// `band` is the control as a band, or null.
int KindRank(const TControl* control, const TRLCustomBand* band) {
  if (band) {
    static const int ranks[BandTypeCount] = {10, 20, 30, 40, 50, 60, 70};
    return ranks[band->BandType()];
  }
  if (ComponentCast<TRLCustomGroup>(control)) return 32;
  if (ComponentCast<TRLCustomSite>(control)) return 100;
  return 0;
}

// A child with its kind worked out once, as the ordering compares it with each of its list's members.
struct Ranked {
  TControl* control;
  int rank;
  const TRLCustomBand* band;
};

Ranked RankOf(TControl* control) {
  const TRLCustomBand* band = ComponentCast<TRLCustomBand>(control);
  return {control, KindRank(control, band), band};
}

// Whether `rc` goes before `re` in the list of alignment `a`.
bool Precedes(const Ranked& rc, const Ranked& re, TRLControlAlign a) {
  if (rc.rank != re.rank) return rc.rank < re.rank;
  const TRLCustomBand* bc = rc.band;
  const TRLCustomBand* be = re.band;
  if (bc && be && bc->GroupIndex() != be->GroupIndex()) return bc->GroupIndex() < be->GroupIndex();
  const TControl* c = rc.control;
  const TControl* e = re.control;
  switch (a) {
    case faLeft:
    case faLeftMost:
    case faClient:
    case faCenter:
    case faCenterTop:
    case faClientTop:
    case faWidth:
    case faLeftOnly: return c->Left() < e->Left();
    case faTop:
    case faCenterLeft:
    case faCenterRight:
    case faClientLeft:
    case faClientRight:
    case faHeight:
    case faTopOnly: return c->Top() < e->Top();
    case faRight:
    case faRightMost:
    case faCenterBottom:
    case faClientBottom:
    case faRightOnly: return c->Left() > e->Left();
    case faBottom:
    case faBottomOnly: return c->Top() > e->Top();
    case faLeftTop: return c->Left() < e->Left() && c->Top() < e->Top();
    case faRightTop: return c->Left() > e->Left() && c->Top() < e->Top();
    case faLeftBottom: return c->Left() < e->Left() && c->Top() > e->Top();
    case faRightBottom: return c->Left() > e->Left() && c->Top() > e->Top();
    case faNone: return false;
  }
  return false;
}

// The size of slot `i` of `count` equal slots over `extent` starting at `from`; the last takes the rest.
int Slot(int i, int count, int extent, int from, int at) {
  const int slot = extent / count;
  return i == count - 1 ? from + extent - at : slot;
}

}  // namespace

void TRLCustomSite::AlignControls() {
  TStateGuard guard(*this, stAligningControls);
  std::vector<Ranked> ranked[ControlAlignCount];
  for (TControl* child : LayoutChildren(*this)) {
    const TRLControlAlign a = AlignOf(*child);
    auto& list = ranked[a];
    const Ranked entry = RankOf(child);
    auto at = std::find_if(list.begin(), list.end(), [&](const Ranked& e) { return Precedes(entry, e, a); });
    list.insert(at, entry);
  }
  std::vector<TControl*> lists[ControlAlignCount];
  for (int a = 0; a < ControlAlignCount; ++a) {
    lists[a].reserve(ranked[a].size());
    for (const Ranked& e : ranked[a]) lists[a].push_back(e.control);
  }
  const TRect client = GetClientRect();
  int L = client.Left, T = client.Top, Rt = client.Right, B = client.Bottom;

  for (TControl* c : lists[faLeftMost]) {
    c->SetBounds(L, T, c->Width(), B - T);
    L += c->Width();
  }
  for (TControl* c : lists[faRightMost]) {
    c->SetBounds(Rt - c->Width(), T, c->Width(), B - T);
    Rt -= c->Width();
  }
  for (TControl* c : lists[faTop]) {
    c->SetBounds(L, T, Rt - L, c->Height());
    T += c->Height();
  }
  for (TControl* c : lists[faBottom]) {
    c->SetBounds(L, B - c->Height(), Rt - L, c->Height());
    B -= c->Height();
  }
  for (TControl* c : lists[faLeft]) {
    c->SetBounds(L, T, c->Width(), B - T);
    L += c->Width();
  }
  for (TControl* c : lists[faRight]) {
    c->SetBounds(Rt - c->Width(), T, c->Width(), B - T);
    Rt -= c->Width();
  }
  {
    const auto& list = lists[faClient];
    const int n = static_cast<int>(list.size());
    int x = L;
    for (int i = 0; i < n; ++i) {
      const int w = Slot(i, n, Rt - L, L, x);
      list[i]->SetBounds(x, T, w, B - T);
      x += w;
    }
  }

  // Corners and the client kinds between them, in the rect left over.
  int top_left_x = L, top_right_x = Rt, left_top_bottom = T, right_top_bottom = T;
  for (TControl* c : lists[faLeftTop]) {
    c->SetBounds(top_left_x, T, c->Width(), c->Height());
    top_left_x += c->Width();
    left_top_bottom = std::max(left_top_bottom, T + c->Height());
  }
  for (TControl* c : lists[faRightTop]) {
    c->SetBounds(top_right_x - c->Width(), T, c->Width(), c->Height());
    top_right_x -= c->Width();
    right_top_bottom = std::max(right_top_bottom, T + c->Height());
  }
  {
    const auto& list = lists[faClientTop];
    const int n = static_cast<int>(list.size());
    int x = top_left_x;
    for (int i = 0; i < n; ++i) {
      const int w = Slot(i, n, top_right_x - top_left_x, top_left_x, x);
      list[i]->SetBounds(x, T, w, list[i]->Height());
      x += w;
    }
  }
  int bottom_left_x = L, bottom_right_x = Rt, left_bottom_top = B, right_bottom_top = B;
  for (TControl* c : lists[faLeftBottom]) {
    c->SetBounds(bottom_left_x, B - c->Height(), c->Width(), c->Height());
    bottom_left_x += c->Width();
    left_bottom_top = std::min(left_bottom_top, B - c->Height());
  }
  for (TControl* c : lists[faRightBottom]) {
    c->SetBounds(bottom_right_x - c->Width(), B - c->Height(), c->Width(), c->Height());
    bottom_right_x -= c->Width();
    right_bottom_top = std::min(right_bottom_top, B - c->Height());
  }
  {
    const auto& list = lists[faClientBottom];
    const int n = static_cast<int>(list.size());
    int x = bottom_left_x;
    for (int i = 0; i < n; ++i) {
      const int w = Slot(i, n, bottom_right_x - bottom_left_x, bottom_left_x, x);
      list[i]->SetBounds(x, B - list[i]->Height(), w, list[i]->Height());
      x += w;
    }
  }
  {
    const auto& list = lists[faClientLeft];
    const int n = static_cast<int>(list.size());
    int y = left_top_bottom;
    for (int i = 0; i < n; ++i) {
      const int h = Slot(i, n, left_bottom_top - left_top_bottom, left_top_bottom, y);
      list[i]->SetBounds(L, y, list[i]->Width(), h);
      y += h;
    }
  }
  {
    const auto& list = lists[faClientRight];
    const int n = static_cast<int>(list.size());
    int y = right_top_bottom;
    for (int i = 0; i < n; ++i) {
      const int h = Slot(i, n, right_bottom_top - right_top_bottom, right_top_bottom, y);
      list[i]->SetBounds(Rt - list[i]->Width(), y, list[i]->Width(), h);
      y += list[i]->Height();
    }
  }

  for (TControl* c : lists[faLeftOnly]) c->SetBounds(L, c->Top(), c->Width(), c->Height());
  for (TControl* c : lists[faRightOnly]) c->SetBounds(Rt - c->Width(), c->Top(), c->Width(), c->Height());
  for (TControl* c : lists[faTopOnly]) c->SetBounds(c->Left(), T, c->Width(), c->Height());
  for (TControl* c : lists[faBottomOnly]) c->SetBounds(c->Left(), B - c->Height(), c->Width(), c->Height());
  for (TControl* c : lists[faHeight]) c->SetBounds(c->Left(), T, c->Width(), B - T);
  for (TControl* c : lists[faWidth]) c->SetBounds(L, c->Top(), Rt - L, c->Height());

  auto vertical_slots = [&](const std::vector<TControl*>& list, bool at_left) {
    const int n = static_cast<int>(list.size());
    int y = T;
    for (int i = 0; i < n; ++i) {
      TControl* c = list[i];
      const int h = Slot(i, n, B - T, T, y);
      c->SetBounds(at_left ? L : Rt - c->Width(), y + (h - c->Height()) / 2, c->Width(), c->Height());
      y += h;
    }
  };
  auto horizontal_slots = [&](const std::vector<TControl*>& list, bool at_top) {
    const int n = static_cast<int>(list.size());
    int x = L;
    for (int i = 0; i < n; ++i) {
      TControl* c = list[i];
      const int w = Slot(i, n, Rt - L, L, x);
      c->SetBounds(x + (w - c->Width()) / 2, at_top ? T : B - c->Height(), c->Width(), c->Height());
      x += w;
    }
  };
  vertical_slots(lists[faCenterLeft], true);
  vertical_slots(lists[faCenterRight], false);
  horizontal_slots(lists[faCenterTop], true);
  horizontal_slots(lists[faCenterBottom], false);

  {
    int sw = 0, sh = 0;
    for (TControl* c : lists[faCenter]) {
      sw += c->Width();
      sh += c->Height();
    }
    int x = (L + Rt - sw) / 2;
    const int y = (T + B - sh) / 2;
    for (TControl* c : lists[faCenter]) {
      c->SetBounds(x, y, c->Width(), c->Height());
      x += c->Width();
    }
  }

  // Anchors follow the change of the site's size since the last alignment.
  if (aligned_width_ >= 0 && aligned_height_ >= 0) {
    const int old_w = aligned_width_, old_h = aligned_height_;
    const int dw = Width() - old_w, dh = Height() - old_h;
    for (TControl* c : lists[faNone]) {
      const TRLControlAnchors a = AnchorsOf(*c);
      if (a.Empty() || (dw == 0 && dh == 0)) continue;
      int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
      const bool left = a.Contains(fkLeft), top = a.Contains(fkTop), right = a.Contains(fkRight),
                 bottom = a.Contains(fkBottom);
      if (right && left) w += dw;
      else if (right) l += dw;
      else if (top && !left && old_w > 0) l = static_cast<int>(RoundHalfEven(static_cast<double>(Width()) * l / old_w));
      if (bottom && top) h += dh;
      else if (bottom) t += dh;
      else if (left && !top && old_h > 0) t = static_cast<int>(RoundHalfEven(static_cast<double>(Height()) * t / old_h));
      c->SetBounds(l, t, w, h);
    }
  }
  aligned_width_ = Width();
  aligned_height_ = Height();
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
