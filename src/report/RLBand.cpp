#include "report/RLBand.h"

#include "report/RLPager.h"

#include <algorithm>

TRLCustomBand::TRLCustomBand(TComponent* owner) : TRLCustomBandSet(owner) {
  SetAutoSizeDirection(AutoSizeHeight);
  SetAlign(faTop);
  SetAutoExpand(true);
  SetBounds(Left(), Top(), 185, 16);
}

void TRLCustomBand::SetBandType(TRLBandType value) {
  if (value == band_type_) return;
  band_type_ = value;
  RealignParent();
  Invalidate();
}

namespace {

// The other bands of the same site that share a group index.
std::vector<TRLCustomBand*> Siblings(const TRLCustomBand& band, int group_index) {
  std::vector<TRLCustomBand*> bands;
  if (!band.Parent()) return bands;
  for (TControl* child : ChildrenInCreationOrder(*band.Parent())) {
    auto* other = ComponentCast<TRLCustomBand>(child);
    if (other && other != &band && other->GroupIndex() == group_index) bands.push_back(other);
  }
  return bands;
}

}  // namespace

void TRLCustomBand::SetCarbonCopies(int value) {
  value = std::max(1, value);
  if (value == carbon_copies_) return;
  carbon_copies_ = value;
  if (group_index_ > 0) {
    for (TRLCustomBand* other : Siblings(*this, group_index_)) other->carbon_copies_ = value;
  }
}

void TRLCustomBand::SetGroupIndex(int value) {
  value = std::max(0, value);
  if (value == group_index_) return;
  group_index_ = value;
  if (value > 0) {
    std::vector<TRLCustomBand*> others = Siblings(*this, value);
    if (!others.empty()) carbon_copies_ = others.front()->CarbonCopies();
  }
  RealignParent();
}

bool TRLCustomBand::IsBlankFillerBand() const {
  if (band_type_ != btDetail || !computable_) return false;
  const TRLCustomPager* pager = ParentPager();
  if (pager && pager->Completing()) return true;
  const TRLCustomSkipper* skipper = ParentSkipper();
  return skipper && skipper->RecordAction() == raBlankAndRetain;
}

void TRLCustomBand::PrintContents() { PrintChildren(true); }
