// The layout of a site: its natural size and the placing of its aligned children, ranked by kind and position.

#include "report/RLCustomSite.h"

#include "core/Text.h"
#include "graphics/Canvas.h"
#include "pages/RLMetaFile.h"
#include "pages/RLTypes.h"
#include "report/RLReport.h"

#include <algorithm>

namespace {

// The children that take part in layout: all of them in design mode, the visible ones at run time.
std::vector<TControl*> LayoutChildren(const TRLCustomSite& site) {
  std::vector<TControl*> children = ChildrenInCreationOrder(site);
  if (!site.IsDesigning()) std::erase_if(children, [](const TControl* child) { return !child->Visible(); });
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

// A run of equal slots along one axis, from `from` to `to`. Across it each child lies against `edge`: from it
// inwards, or, with `at_end`, ending at it. `across` is the size across the run, or -1 for the child's own.
struct TSlotRun {
  bool horizontal;
  int from, to;
  int edge;
  bool at_end;
  int across;
};

// Each child takes the next slot of the run. The next starts where the slot ends, whatever size the child took:
// the slots divide the run, not the children.
void PlaceSlotRun(const std::vector<TControl*>& list, const TSlotRun& run) {
  const int n = static_cast<int>(list.size());
  int at = run.from;
  for (int i = 0; i < n; ++i) {
    TControl* c = list[i];
    const int slot = Slot(i, n, run.to - run.from, run.from, at);
    const int across = run.across >= 0 ? run.across : run.horizontal ? c->Height() : c->Width();
    const int side = run.at_end ? run.edge - across : run.edge;
    if (run.horizontal) c->SetBounds(at, side, slot, across);
    else c->SetBounds(side, at, across, slot);
    at += slot;
  }
}

}  // namespace

void TRLCustomSite::AlignControls() {
  TStateGuard guard(*this, stAligningControls);
  std::vector<Ranked> ranked[ControlAlignCount];
  const std::vector<TControl*> children = LayoutChildren(*this);
  for (TControl* child : children) {
    const TRLControlAlign a = AlignOf(*child);
    auto& list = ranked[a];
    // Most of a band's children have one alignment: its list takes them all without growing.
    if (list.empty()) list.reserve(children.size());
    const Ranked entry = RankOf(child);
    auto at = std::find_if(list.begin(), list.end(), [&](const Ranked& e) { return Precedes(entry, e, a); });
    list.insert(at, entry);
  }
  std::vector<TControl*> lists[ControlAlignCount];
  for (int a = 0; a < ControlAlignCount; ++a) {
    if (ranked[a].empty()) continue;
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
  PlaceSlotRun(lists[faClient], {true, L, Rt, T, false, B - T});

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
  // The client kinds between the corners: each shares its run in equal slots.
  const std::pair<TRLControlAlign, TSlotRun> client_runs[] = {
      {faClientTop, {true, top_left_x, top_right_x, T, false, -1}},
      {faClientBottom, {true, bottom_left_x, bottom_right_x, B, true, -1}},
      {faClientLeft, {false, left_top_bottom, left_bottom_top, L, false, -1}},
      {faClientRight, {false, right_top_bottom, right_bottom_top, Rt, true, -1}},
  };
  for (const auto& [align, run] : client_runs) PlaceSlotRun(lists[align], run);

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
      else if (left && !top && old_h > 0)
        t = static_cast<int>(RoundHalfEven(static_cast<double>(Height()) * t / old_h));
      c->SetBounds(l, t, w, h);
    }
  }
  aligned_width_ = Width();
  aligned_height_ = Height();
}
