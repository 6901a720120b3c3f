#include "lookup/cxDBData.h"

#include "core/Text.h"

#include <algorithm>

// ---- TcxDBDataLink ----

void TcxDBDataLink::NotifyActive() { controller_->ActiveChanged(); }
void TcxDBDataLink::NotifyDataSet() { controller_->DataSetChanged(); }
// The lookup's list does not follow the dataset's cursor.
void TcxDBDataLink::NotifyScrolled(int) {}
void TcxDBDataLink::NotifyLayout() { controller_->LayoutChanged(); }
void TcxDBDataLink::NotifyRecord(TField*) { controller_->RecordChanged(); }

// ---- TcxDBDataModeController ----

void TcxDBDataModeController::SetGridMode(bool on) {
  if (on == grid_mode_) return;
  grid_mode_ = on;
  if (controller_) controller_->Reload();
}

// ---- TcxDBDataController ----

namespace {

const TcxValueType& ValueTypeOf(const TField* field) {
  if (!field) return ValueTypeInstance<TcxStringValueType>();
  switch (field->DataType()) {
    case ftString: return ValueTypeInstance<TcxStringValueType>();
    case ftSmallint: return ValueTypeInstance<TcxSmallintValueType>();
    case ftInteger:
    case ftAutoInc: return ValueTypeInstance<TcxIntegerValueType>();
    case ftWord: return ValueTypeInstance<TcxWordValueType>();
    case ftBoolean: return ValueTypeInstance<TcxBooleanValueType>();
    case ftFloat: return ValueTypeInstance<TcxFloatValueType>();
    case ftCurrency:
    case ftBCD: return ValueTypeInstance<TcxCurrencyValueType>();
    case ftDate:
    case ftTime:
    case ftDateTime: return ValueTypeInstance<TcxDateTimeValueType>();
    case ftWideString: return ValueTypeInstance<TcxWideStringValueType>();
    case ftLargeint: return ValueTypeInstance<TcxLargeIntValueType>();
    case ftFMTBcd: return ValueTypeInstance<TcxFMTBcdValueType>();
    default: return ValueTypeInstance<TcxVariantValueType>();
  }
}

// Whether the field's display text says more than its value.
bool NeedsStoredText(TField* field, bool wants_text) {
  if (!field) return false;
  if (field->OnGetText) return true;
  if (auto* s = dynamic_cast<TStringField*>(field); s && !s->EditMask().empty()) return true;
  if (auto* n = dynamic_cast<TNumericField*>(field); n && (!n->DisplayFormat().empty() || !n->EditFormat().empty()))
    return true;
  if (auto* f = dynamic_cast<TFloatField*>(field); f && f->Currency()) return true;
  if (auto* b = dynamic_cast<TBCDField*>(field); b && b->Currency()) return true;
  if (auto* d = dynamic_cast<TDateTimeField*>(field); d && !d->DisplayFormat().empty()) return true;
  if (wants_text) {
    const TFieldType type = field->DataType();
    if (type == ftBytes || type == ftVarBytes || (type >= ftBlob && type <= ftCursor) || type == ftADT ||
        type == ftArray || type == ftReference || type == ftDataSet || type == ftBoolean) {
      return true;
    }
  }
  return false;
}

bool Editing(TDataSetMode state) { return state == dmEdit || state == dmInsert || state == dmSetKey; }

}  // namespace

TcxDBDataController::TcxDBDataController() {
  data_mode_.controller_ = this;
  UpdateItems();
}

TcxDBDataController::~TcxDBDataController() {
  OnFocusedRowChanged = nullptr;
  OnDataChanged = nullptr;
  data_mode_.controller_ = nullptr;
}

void TcxDBDataController::SetDataSource(TDataSource* source) {
  if (source == link_.DataSource()) return;
  link_.SetDataSource(source);
  // Joining an open dataset is heard as its activation; leaving one empties the list.
  if (!link_.Active()) ActiveChanged();
}

void TcxDBDataController::SetKeyFieldNames(const std::string& names) {
  if (names == key_field_names_) return;
  key_field_names_ = names;
  UpdateItems();
  Reload();
}

void TcxDBDataController::SetColumnFieldNames(const std::vector<std::string>& names) {
  if (names == column_names_) return;
  column_names_ = names;
  column_wants_text_.resize(names.size(), false);
  if (IncrementalFilterItem() >= static_cast<int>(names.size())) ClearIncrementalFilter();
  UpdateItems();
  Reload();
}

void TcxDBDataController::SetItemWantsText(int item, bool on) {
  CheckItem(item);
  if (item >= column_items_ || column_wants_text_[static_cast<std::size_t>(item)] == on) return;
  column_wants_text_[static_cast<std::size_t>(item)] = on;
  UpdateItems();
  Reload();
}

std::string TcxDBDataController::ItemFieldName(int item) const {
  CheckItem(item);
  return items_[static_cast<std::size_t>(item)].field_name;
}

TField* TcxDBDataController::ItemField(int item) const {
  CheckItem(item);
  return items_[static_cast<std::size_t>(item)].field;
}

void TcxDBDataController::UpdateItems() {
  std::vector<Binding> items;
  for (std::size_t i = 0; i < column_names_.size(); ++i)
    items.push_back({column_names_[i], nullptr, column_wants_text_[i]});
  column_items_ = static_cast<int>(items.size());
  std::vector<int> keys;
  for (const std::string& raw : SplitText(key_field_names_, ';')) {
    const std::string name = Trim(raw);
    if (name.empty()) continue;
    auto it = std::find_if(items.begin(), items.end(), [&](const Binding& b) { return SameText(b.field_name, name); });
    if (it == items.end()) {
      items.push_back({name, nullptr, false});
      keys.push_back(static_cast<int>(items.size()) - 1);
    } else {
      keys.push_back(static_cast<int>(it - items.begin()));
    }
  }
  items_ = std::move(items);
  key_items_ = std::move(keys);
  BindFields();
}

void TcxDBDataController::BindFields() {
  TDataSet* dataSet = link_.Active() ? DataSet() : nullptr;
  std::vector<TcxDataStorage::ItemInfo> infos;
  bool changed = Storage().ItemCount() != static_cast<int>(items_.size());
  for (std::size_t i = 0; i < items_.size(); ++i) {
    Binding& b = items_[i];
    b.field = dataSet ? dataSet->SearchField(b.field_name) : nullptr;
    TcxDataStorage::ItemInfo info{&ValueTypeOf(b.field), NeedsStoredText(b.field, b.wants_text)};
    if (!changed) {
      const auto& old = Storage().Item(static_cast<int>(i));
      changed = old.valueType != info.valueType || old.textStored != info.textStored;
    }
    infos.push_back(info);
  }
  if (changed) {
    BeginUpdate();
    MutableStorage().SetItems(std::move(infos));
    RecordsReplaced();
    EndUpdate();
  }
}

void TcxDBDataController::ReadCurrentRecord(std::vector<Variant>& values, std::vector<std::string>& texts) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    TField* field = items_[i].field;
    if (!field || field->IsNull()) {
      values[i] = Variant::Null();
    } else if (auto* text = dynamic_cast<TStringField*>(field)) {
      std::string value;
      text->GetValue(value);
      values[i] = Variant(std::move(value));
    } else {
      values[i] = field->AsVariant();
    }
    if (Storage().Item(static_cast<int>(i)).textStored) texts[i] = field ? field->DisplayText() : std::string();
  }
}

void TcxDBDataController::Reload() {
  if (loading_) return;
  ++loading_;
  struct Done {
    int& count;
    ~Done() { --count; }
  } done{loading_};
  MutableStorage().Clear();
  TDataSet* dataSet = link_.Active() ? DataSet() : nullptr;
  if (dataSet && dataSet->Active()) {
    if (IsGridMode()) LoadWindow(*dataSet);
    else LoadAll(*dataSet);
  }
  RecordsReplaced();
}

void TcxDBDataController::LoadAll(TDataSet& dataSet) {
  dataSet.SuspendEvents();
  try {
    if (Editing(dataSet.State())) dataSet.Cancel();
    const TBookmark bookmark = dataSet.SaveBookmark();
    const int offset = link_.ActiveRecord();
    const bool bof = dataSet.Bof(), eof = dataSet.Eof();
    dataSet.First();
    // Going to the first record may have made the dataset's fields anew.
    BindFields();
    if (const int count = dataSet.RecordCount(); count > 0) MutableStorage().Reserve(count);
    std::vector<Variant> values(items_.size());
    std::vector<std::string> texts(items_.size());
    while (!dataSet.Eof()) {
      ReadCurrentRecord(values, texts);
      MutableStorage().AppendRecord(values, texts);
      dataSet.Next();
    }
    try {
      if (dataSet.IsBookmarkValid(bookmark)) {
        dataSet.JumpToBookmark(bookmark);
        if (const int now = link_.ActiveRecord(); now != offset)
          dataSet.MoveRecords(-dataSet.MoveRecords(now - offset));
      }
      if (bof) dataSet.Prior();
      else if (eof) dataSet.Next();
    } catch (const EDatabaseError&) {
      // The position is a courtesy to the dataset's other users; the list is loaded.
    }
  } catch (...) {
    dataSet.ResumeEvents();
    throw;
  }
  dataSet.ResumeEvents();
}

void TcxDBDataController::LoadWindow(TDataSet& dataSet) {
  // The records from the dataset's current one on, as many as the buffer holds; the cursor comes back.
  const int count = data_mode_.GridModeBufferCount() > 0 ? data_mode_.GridModeBufferCount() : 100;
  dataSet.SuspendEvents();
  try {
    BindFields();
    std::vector<Variant> values(items_.size());
    std::vector<std::string> texts(items_.size());
    int read = 0, moved = 0;
    while (!dataSet.IsEmpty() && !dataSet.Eof() && read < count) {
      ReadCurrentRecord(values, texts);
      MutableStorage().AppendRecord(values, texts);
      if (++read == count) break;
      const int step = dataSet.MoveRecords(1);
      if (step == 0) break;
      moved += step;
    }
    if (moved) dataSet.MoveRecords(-moved);
  } catch (...) {
    dataSet.ResumeEvents();
    throw;
  }
  dataSet.ResumeEvents();
}

bool TcxDBDataController::LocateInDataSet(const std::string& fields, const Variant& values, TLocateOptions options) {
  TDataSet* dataSet = link_.Active() ? DataSet() : nullptr;
  if (!dataSet || !dataSet->Active()) return false;
  bool found = false;
  ++loading_;
  try {
    found = dataSet->Locate(fields, values, options);
  } catch (...) {
    --loading_;
    throw;
  }
  --loading_;
  if (!found) return false;
  Reload();
  SetFocusedRow(0);
  return RowCount() > 0;
}

int TcxDBDataController::FindRecordIndexByKey(const Variant& key) {
  if (!IsGridMode()) return TcxCustomDataController::FindRecordIndexByKey(key);
  if (key_items_.empty()) return -1;
  const int found = TcxCustomDataController::FindRecordIndexByKey(key);
  if (found >= 0) return found;
  return LocateInDataSet(key_field_names_, key, {}) ? RowRecord(0) : -1;
}

int TcxDBDataController::FindRowByText(int start, int item, const std::string& text, bool partial, bool wrap,
                                       bool forward) {
  if (!IsGridMode()) return TcxCustomDataController::FindRowByText(start, item, text, partial, wrap, forward);
  CheckItem(item);
  TLocateOptions options{loCaseInsensitive};
  if (partial) options.Include(loPartialKey);
  return LocateInDataSet(ItemFieldName(item), Variant(text), options) ? RowRecord(0) : -1;
}

void TcxDBDataController::ActiveChanged() {
  BeginUpdate();
  BindFields();
  Reload();
  EndUpdate();
}

void TcxDBDataController::DataSetChanged() {
  if (loading_) return;
  TDataSet* dataSet = DataSet();
  if (dataSet && dataSet->State() == dmBrowse && !IsGridMode()) Reload();
}

void TcxDBDataController::LayoutChanged() {
  if (loading_) return;
  BeginUpdate();
  BindFields();
  Reload();
  EndUpdate();
}

void TcxDBDataController::RecordChanged() {
  TDataSet* dataSet = DataSet();
  if (loading_ || !dataSet || !Editing(dataSet->State()) || key_items_.empty()) return;
  // The record being edited is the one whose key the dataset's current record has.
  std::vector<Variant> values(items_.size());
  std::vector<std::string> texts(items_.size());
  ReadCurrentRecord(values, texts);
  Variant key = values[static_cast<std::size_t>(key_items_.front())];
  if (key_items_.size() > 1) {
    std::vector<Variant> parts;
    for (int item : key_items_) parts.push_back(values[static_cast<std::size_t>(item)]);
    key = Variant(std::move(parts));
  }
  const int record = TcxCustomDataController::FindRecordIndexByKey(key);
  if (record < 0) return;
  MutableStorage().SetRecord(record, values, texts);
  DataChanged();
}

TcxLookupGridDBDataController::TcxLookupGridDBDataController() {
  DataModeController().SetSyncMode(false);
  DataModeController().SetSyncInsert(false);
}
