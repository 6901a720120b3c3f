#include "report/RLPager.h"

#include "core/Text.h"
#include "data/DB.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"

#include <algorithm>

// ---- TRLSortedBands -----------------------------------------------------------------------------------------

void TRLSortedBands::Clear() {
  for (auto& list : lists_) list.clear();
  printed_.fill(false);
}

void TRLSortedBands::Add(TRLCustomBand* band) {
  auto& list = lists_[band->BandType()];
  auto at =
      std::find_if(list.begin(), list.end(), [&](const TRLCustomBand* other) { return other->Top() > band->Top(); });
  list.insert(at, band);
}

void TRLSortedBands::ResetPrinted() { printed_.fill(false); }

void TRLSortedBands::ResetPage() {
  const bool title = printed_[btTitle];
  printed_.fill(false);
  printed_[btTitle] = title;
}

// ---- TRLCustomPager -----------------------------------------------------------------------------------------

TRLCustomPager::TRLCustomPager(TComponent* owner) : TRLCustomBandSet(owner) {
  SetAutoSizeDirection(AutoSizeHeight);
  SetAlign(faTop);
}

void TRLCustomPager::RegisterBands() {
  sorted_bands_.Clear();
  for (TControl* child : ChildrenInCreationOrder(*this)) {
    if (auto* band = ComponentCast<TRLCustomBand>(child)) sorted_bands_.Add(band);
    else if (auto* pager = ComponentCast<TRLCustomPager>(child)) pager->RegisterBands();
  }
}

void TRLCustomPager::ResetPager() {
  sorted_bands_.ResetPrinted();
  ResetResults();
}

void TRLCustomPager::ResetPageState() {
  data_printed_ = false;
  details_in_page_ = 0;
  new_page_needed_ = false;
  current_row_ = GetFrameSizes().Top;
}

void TRLCustomPager::ResetResults() {
  TRLCustomBandSet::ResetResults();
  detail_count_ = 0;
  ResetPageState();
}

void TRLCustomPager::ComputeResults(TRLCustomControl* caller) {
  TRLCustomBandSet::ComputeResults(caller);
  // Counted when the detail comes from inside, not when an enclosing pager passes it down.
  if (caller && caller->Parent() == this) ++detail_count_;
}

void TRLCustomPager::PrepareOpen() {
  TRLCustomBandSet::PrepareOpen();
  SaveBounds();
  ResetPageState();
  sorted_bands_.ResetPage();
}

// ---- TRLCustomGroup -----------------------------------------------------------------------------------------

TRLCustomGroup::TRLCustomGroup(TComponent* owner) : TRLCustomPager(owner) {
  SetGrowsToBottom(true);
  SetHeight(64);
}

void TRLCustomGroup::SetDataFields(const std::string& value) {
  data_fields_ = value;
  if (!value.empty()) data_formula_.clear();
}

void TRLCustomGroup::SetDataFormula(const std::string& value) {
  data_formula_ = value;
  if (!value.empty()) data_fields_.clear();
}

std::string TRLCustomGroup::GroupKey() {
  TRLCustomSkipper* skipper = ParentSkipper();
  TDataSet* dataset = skipper ? skipper->DataSet() : nullptr;
  if (!dataset || !dataset->Active()) return {};
  if (!data_formula_.empty()) {
    TRLCustomReport* report = ParentReport();
    return report ? report->EvaluateFormula(data_formula_, this).ToText() : std::string();
  }
  std::string key;
  std::size_t start = 0;
  while (start <= data_fields_.size()) {
    std::size_t end = data_fields_.find(';', start);
    if (end == std::string::npos) end = data_fields_.size();
    const std::string name = data_fields_.substr(start, end - start);
    if (!name.empty()) {
      TField* field = dataset->SearchField(name);
      if (!field) throw Exception(EngineMessages().msgNotFound + ": " + Name() + ".DataField \"" + name + "\"");
      key += field->AsString();
    }
    start = end + 1;
  }
  return key;
}

void TRLCustomGroup::HeaderPlaced(const TRLGraphicSurface& header, int row) {
  if (!outline_pending_) return;
  outline_pending_ = false;
  TRLCustomReport* report = RequestParentReport();
  if (!report->Outline()) return;
  std::string text = OutlineEntryText(header);
  if (text.empty()) return;
  // Nested under the enclosing groups that have an entry for the instance they print.
  int depth = 0;
  for (TRLCustomPager* outer = ParentPager(); outer; outer = outer->ParentPager()) {
    if (auto* group = ComponentCast<TRLCustomGroup>(outer); group && group->outline_entered_) ++depth;
  }
  outline_entered_ = true;
  TRLCustomReport* master = MasterReport();
  master->Pages().AddOutlineEntry({std::move(text), depth, master->PageCounter(), AbsolutePrintTop() + row});
}

std::string TRLCustomGroup::OutlineEntryText(const TRLGraphicSurface& header) {
  if (!outline_text_.empty()) return Trim(RequestParentReport()->EvaluateFormula(outline_text_, this).ToText());
  // The header's first line: the texts that start above the bottom of the highest one, left to right. Column
  // captions under a group's title are not its name.
  std::vector<const TRLTextObject*> texts;
  for (int i = 0; i < header.ObjectCount(); ++i) {
    const auto* text = dynamic_cast<const TRLTextObject*>(header.Objects(i));
    if (text && !Trim(text->Text()).empty()) texts.push_back(text);
  }
  if (texts.empty()) return {};
  const auto highest = std::min_element(texts.begin(), texts.end(), [](const auto* a, const auto* b) {
    return a->BoundsRect().Top < b->BoundsRect().Top;
  });
  const int line_bottom = (*highest)->BoundsRect().Bottom;
  std::erase_if(texts, [&](const TRLTextObject* text) { return text->BoundsRect().Top >= line_bottom; });
  std::stable_sort(texts.begin(), texts.end(),
                   [](const auto* a, const auto* b) { return a->BoundsRect().Left < b->BoundsRect().Left; });
  std::string line;
  for (const TRLTextObject* text : texts) {
    if (!line.empty()) line += ' ';
    line += Trim(text->Text());
  }
  return line;
}

void TRLCustomGroup::ComputeResults(TRLCustomControl* caller) {
  TRLCustomPager::ComputeResults(caller);
  TRLCustomPager* outer = ParentPager();
  if (outer && caller != outer) outer->ComputeResults(this);
}

// ---- TRLCustomSkipper ---------------------------------------------------------------------------------------

TRLCustomSkipper::TRLCustomSkipper(TComponent* owner) : TRLCustomPager(owner) {}

TRLCustomSkipper::~TRLCustomSkipper() = default;

void TRLCustomSkipper::SetDataSource(TDataSource* value) {
  if (value == data_source_) return;
  data_source_ = value;
  if (value) FreeNotification(value);
}

TDataSet* TRLCustomSkipper::DataSet() const { return data_source_ ? data_source_->DataSet() : nullptr; }

void TRLCustomSkipper::Notification(TComponent* component, TOperation operation) {
  TRLCustomPager::Notification(component, operation);
  if (operation == opRemove && component == data_source_) data_source_ = nullptr;
}
