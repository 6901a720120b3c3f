#include "report/RLTableRecorder.h"

#include "data/DB.h"
#include "report/RLReport.h"

#include <algorithm>
#include <tuple>

namespace {

struct TSpan {
  int left, top, right, bottom;
};

TSpan SpanOf(const TRLCustomControl& control) {
  const TPoint at = control.AbsolutePosition();
  return {at.X, at.Y, at.X + control.Width(), at.Y + control.Height()};
}

int Overlap(int a1, int a2, int b1, int b2) { return std::min(a2, b2) - std::max(a1, b1); }

// A label that prints the same text on every page: what a title is made of.
bool IsStaticLabel(const TControl* control) {
  const auto* label = ComponentCast<TRLCustomLabel>(control);
  return label && !ComponentCast<TRLCustomDBText>(label) && !ComponentCast<TRLCustomSystemInfo>(label) &&
         !label->DesignCaption().empty();
}

template <class T>
std::vector<T*> ChildrenOf(const TWinControl& parent) {
  std::vector<T*> found;
  for (TControl* child : ChildrenInCreationOrder(parent)) {
    if (auto* t = ComponentCast<T>(child)) found.push_back(t);
  }
  return found;
}

std::vector<TRLCustomBand*> BandsOfType(const TRLCustomPager& pager, TRLBandType type) {
  std::vector<TRLCustomBand*> bands;
  for (TRLCustomBand* band : ChildrenOf<TRLCustomBand>(pager)) {
    if (band->BandType() == type) bands.push_back(band);
  }
  return bands;
}

// Every computable detail band of the site and of the sites inside it, in the order of the definition; another
// report of a chain keeps its own.
void CollectDetailBands(const TWinControl& site, std::vector<TRLCustomBand*>& bands) {
  for (TControl* child : ChildrenInCreationOrder(site)) {
    if (ComponentCast<TRLCustomReport>(child)) continue;
    if (auto* band = ComponentCast<TRLCustomBand>(child); band && band->BandType() == btDetail) {
      if (band->Computable()) bands.push_back(band);
    } else if (auto* inner = ComponentCast<TRLCustomSite>(child)) {
      CollectDetailBands(*inner, bands);
    }
  }
}

// The groups around a band, outermost first.
std::vector<TRLCustomGroup*> EnclosingGroups(const TRLCustomBand& band) {
  std::vector<TRLCustomGroup*> groups;
  for (TControl* c = band.Parent(); c && !ComponentCast<TRLCustomReport>(c); c = c->Parent()) {
    if (auto* group = ComponentCast<TRLCustomGroup>(c)) groups.insert(groups.begin(), group);
  }
  return groups;
}

// Text controls of a band by left edge, then top.
std::vector<TRLCustomLabel*> TextControlsByLeft(const TRLCustomBand& band) {
  std::vector<TRLCustomLabel*> controls = ChildrenOf<TRLCustomLabel>(band);
  std::stable_sort(controls.begin(), controls.end(), [](TRLCustomLabel* a, TRLCustomLabel* b) {
    const TSpan sa = SpanOf(*a), sb = SpanOf(*b);
    return std::tie(sa.left, sa.top) < std::tie(sb.left, sb.top);
  });
  return controls;
}

std::string FallbackTitle(const TRLCustomLabel& control) {
  if (const auto* text = ComponentCast<TRLCustomDBText>(&control); text && !text->DataField().empty()) {
    return text->DataField();
  }
  return control.DisplayName();
}

// The label of a band above `control`: the lowest of those overlapping it horizontally, then the widest overlap.
const TRLCustomLabel* LabelAbove(const TRLCustomBand& band, const TSpan& control) {
  const TRLCustomLabel* best = nullptr;
  std::pair<int, int> best_rank{0, 0};
  for (TRLCustomLabel* label : ChildrenOf<TRLCustomLabel>(band)) {
    if (!IsStaticLabel(label)) continue;
    const TSpan s = SpanOf(*label);
    const int overlap = Overlap(s.left, s.right, control.left, control.right);
    if (overlap <= 0) continue;
    const std::pair<int, int> rank{s.top, overlap};
    if (!best || rank > best_rank) best = label, best_rank = rank;
  }
  return best;
}

std::string DetailTitle(const TRLCustomBand& band, const TRLCustomLabel& control) {
  const TSpan span = SpanOf(control);
  for (TControl* c = band.Parent(); c; c = c->Parent()) {
    const auto* pager = ComponentCast<TRLCustomPager>(c);
    if (!pager) continue;
    for (TRLBandType type : {btColumnHeader, btHeader}) {
      for (TRLCustomBand* candidate : BandsOfType(*pager, type)) {
        if (const TRLCustomLabel* label = LabelAbove(*candidate, span)) return label->DesignCaption();
      }
    }
    if (ComponentCast<TRLCustomReport>(c)) break;
  }
  return FallbackTitle(control);
}

// The label on the same line just left of a group's text ("Cidade" before the city).
std::string GroupTitle(const TRLCustomBand& band, const TRLCustomLabel& control) {
  const TSpan span = SpanOf(control);
  const TRLCustomLabel* best = nullptr;
  int best_right = 0;
  for (TRLCustomLabel* label : ChildrenOf<TRLCustomLabel>(band)) {
    if (!IsStaticLabel(label)) continue;
    const TSpan s = SpanOf(*label);
    if (Overlap(s.top, s.bottom, span.top, span.bottom) <= 0 || s.right > span.left + 1) continue;
    if (!best || s.right > best_right) best = label, best_right = s.right;
  }
  return best ? best->DesignCaption() : FallbackTitle(control);
}

bool IsNumberType(TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint: return true;
    default: return false;
  }
}

TRLTableCell CellOf(TRLCustomLabel& control) {
  TRLTableCell cell;
  if (!control.PrintNow()) return cell;
  cell.Text = control.Caption();
  if (cell.Text.empty()) return cell;
  cell.Kind = TRLCellKind::Text;
  auto* text = ComponentCast<TRLCustomDBText>(&control);
  TField* field = text ? text->Field() : nullptr;
  if (!field || field->IsNull()) return cell;
  const TFieldType type = field->DataType();
  if (IsNumberType(type)) {
    cell.Kind = TRLCellKind::Number;
    cell.Value = field->AsFloat();
  } else if (type == ftDate || type == ftTime || type == ftDateTime) {
    cell.Kind = type == ftDate ? TRLCellKind::Date : type == ftTime ? TRLCellKind::Time : TRLCellKind::DateTime;
    cell.Value = field->AsDateTime();
  }
  return cell;
}

}  // namespace

void TRLTableRecorder::Begin(TRLCustomReport& report, std::shared_ptr<TRLDataTable> table) {
  table_ = std::move(table);
  sources_.clear();
  std::vector<TRLCustomBand*> details;
  CollectDetailBands(report, details);

  // Group texts first, so that they lead every row whatever band it comes from.
  std::unordered_map<const TRLCustomLabel*, int> group_columns;
  for (TRLCustomBand* band : details) {
    for (TRLCustomGroup* group : EnclosingGroups(*band)) {
      for (TRLCustomBand* header : BandsOfType(*group, btHeader)) {
        for (TRLCustomLabel* control : TextControlsByLeft(*header)) {
          if (!ComponentCast<TRLCustomDBText>(control) || group_columns.count(control)) continue;
          group_columns[control] = table_->AddColumn(GroupTitle(*header, *control));
        }
      }
    }
  }
  for (TRLCustomBand* band : details) {
    std::vector<TSource>& sources = sources_[band];
    for (TRLCustomGroup* group : EnclosingGroups(*band)) {
      for (TRLCustomBand* header : BandsOfType(*group, btHeader)) {
        for (TRLCustomLabel* control : TextControlsByLeft(*header)) {
          if (auto it = group_columns.find(control); it != group_columns.end()) {
            sources.push_back({control, it->second});
          }
        }
      }
    }
  }
  for (TRLCustomBand* band : details) {
    for (TRLCustomLabel* control : TextControlsByLeft(*band)) {
      sources_[band].push_back({control, table_->AddColumn(DetailTitle(*band, *control))});
    }
  }
}

void TRLTableRecorder::RecordRow(const TRLCustomBand& band, int pageIndex) {
  auto it = sources_.find(&band);
  if (!table_ || it == sources_.end()) return;
  row_.PageIndex = pageIndex;
  row_.Cells.assign(static_cast<std::size_t>(table_->ColumnCount()), TRLTableCell());
  for (const TSource& source : it->second)
    row_.Cells[static_cast<std::size_t>(source.column)] = CellOf(*source.control);
  table_->AddRow(row_);
}
