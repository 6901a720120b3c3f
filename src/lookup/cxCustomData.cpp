#include "lookup/cxCustomData.h"

#include "core/Classes.h"
#include "core/Text.h"
#include "core/TextFold.h"

#include <algorithm>
#include <iterator>
#include <numeric>

// ---- TcxDataStorage ----

void TcxDataStorage::SetItems(std::vector<ItemInfo> items) {
  columns_.clear();
  columns_.resize(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) columns_[i].info = items[i];
  record_count_ = 0;
}

void TcxDataStorage::Clear() {
  for (Column& c : columns_) {
    ItemInfo info = c.info;
    c = Column();
    c.info = info;
  }
  record_count_ = 0;
}

void TcxDataStorage::Reserve(int records) {
  for (Column& c : columns_) {
    c.nulls.reserve(static_cast<std::size_t>(records));
    if (c.info.valueType->IsString()) {
      c.offsets.reserve(static_cast<std::size_t>(records) + 1);
      c.first_folded.reserve(static_cast<std::size_t>(records));
    } else c.values.reserve(static_cast<std::size_t>(records));
  }
}

void TcxDataStorage::Put(Column& column, std::size_t record, const Variant& value, const std::string& text,
                         bool append) {
  const bool null = value.IsClear();
  if (append) column.nulls.push_back(null);
  else column.nulls[record] = null;
  if (column.info.valueType->IsString()) {
    const std::string s = null                                       ? std::string()
                          : value.VarType() == Variant::Type::String ? value.AsString()
                                                                     : value.ToText();
    const char32_t first = SearchFoldFirst(s);
    const char16_t folded =
        first < TcxDataStorage::kUnknownFirst ? static_cast<char16_t>(first) : TcxDataStorage::kUnknownFirst;
    if (append) column.first_folded.push_back(folded);
    else column.first_folded[record] = folded;
    if (append) {
      column.text_block += s;
      column.offsets.push_back(static_cast<std::uint32_t>(column.text_block.size()));
    } else {
      // The texts after the record move by the change of its length.
      const std::uint32_t begin = column.offsets[record], end = column.offsets[record + 1];
      column.text_block.replace(begin, end - begin, s);
      const auto delta = static_cast<std::int64_t>(s.size()) - static_cast<std::int64_t>(end - begin);
      for (std::size_t r = record + 1; r < column.offsets.size(); ++r) {
        column.offsets[r] = static_cast<std::uint32_t>(static_cast<std::int64_t>(column.offsets[r]) + delta);
      }
    }
  } else {
    Variant stored = null ? Variant::Null() : column.info.valueType->Convert(value);
    if (append) column.values.push_back(std::move(stored));
    else column.values[record] = std::move(stored);
  }
  if (column.info.textStored) {
    if (append) column.texts.push_back(text);
    else column.texts[record] = text;
  }
}

void TcxDataStorage::AppendRecord(const std::vector<Variant>& values, const std::vector<std::string>& texts) {
  static const std::string empty;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    Put(columns_[i], static_cast<std::size_t>(record_count_), i < values.size() ? values[i] : Variant::Null(),
        i < texts.size() ? texts[i] : empty, true);
  }
  ++record_count_;
}

void TcxDataStorage::SetRecord(int record, const std::vector<Variant>& values, const std::vector<std::string>& texts) {
  static const std::string empty;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    Put(columns_[i], static_cast<std::size_t>(record), i < values.size() ? values[i] : Variant::Null(),
        i < texts.size() ? texts[i] : empty, false);
  }
}

bool TcxDataStorage::IsNull(int record, int item) const {
  return columns_[static_cast<std::size_t>(item)].nulls[static_cast<std::size_t>(record)] != 0;
}

std::string_view TcxDataStorage::StringValue(int record, int item) const {
  const Column& c = columns_[static_cast<std::size_t>(item)];
  const auto r = static_cast<std::size_t>(record);
  if (c.nulls[r]) return {};
  return std::string_view(c.text_block).substr(c.offsets[r], c.offsets[r + 1] - c.offsets[r]);
}

Variant TcxDataStorage::Value(int record, int item) const {
  const Column& c = columns_[static_cast<std::size_t>(item)];
  if (c.nulls[static_cast<std::size_t>(record)]) return Variant::Null();
  if (c.info.valueType->IsString()) return std::string(StringValue(record, item));
  return c.values[static_cast<std::size_t>(record)];
}

const std::string& TcxDataStorage::StoredText(int record, int item) const {
  return columns_[static_cast<std::size_t>(item)].texts[static_cast<std::size_t>(record)];
}

void TcxDataStorage::ShrinkToFit() {
  for (Column& c : columns_) {
    c.nulls.shrink_to_fit();
    c.first_folded.shrink_to_fit();
    c.text_block.shrink_to_fit();
    c.offsets.shrink_to_fit();
    c.values.shrink_to_fit();
    c.texts.shrink_to_fit();
  }
}

std::size_t TcxDataStorage::MemoryUsed() const {
  std::size_t bytes = 0;
  for (const Column& c : columns_) {
    bytes += c.nulls.capacity() / 8 + c.first_folded.capacity() * sizeof(char16_t) + c.text_block.capacity() +
             c.offsets.capacity() * sizeof(std::uint32_t) + c.values.capacity() * sizeof(Variant);
    for (const std::string& t : c.texts) bytes += sizeof(std::string) + (t.size() > 15 ? t.capacity() : 0);
  }
  return bytes;
}

// ---- matching ----

bool TextMatches(std::string_view text, std::string_view pattern, bool partial) {
  if (pattern.empty()) return text.empty();
  const std::u32string folded = SearchFold(pattern);
  return partial ? FoldedStartsWith(text, folded) : FoldedEquals(text, folded);
}

namespace {

bool FoldedMatch(std::string_view text, const std::u32string& folded, bool partial) {
  if (folded.empty()) return text.empty();
  return partial ? FoldedStartsWith(text, folded) : FoldedEquals(text, folded);
}

}  // namespace

// ---- TcxCustomDataController ----

TcxCustomDataController::TcxCustomDataController() = default;
TcxCustomDataController::~TcxCustomDataController() = default;

void TcxCustomDataController::CheckItem(int item) const {
  if (item < 0 || item >= ItemCount()) throw EcxInvalidDataControllerOperation("ItemIndex out of range");
}

void TcxCustomDataController::CheckRecord(int record) const {
  if (record < 0 || record >= RecordCount()) throw EcxInvalidDataControllerOperation("RecordIndex out of range");
}

int TcxCustomDataController::RowRecord(int row) const {
  if (row < 0 || row >= RowCount()) throw EcxInvalidDataControllerOperation("RowIndex out of range");
  return rows_[static_cast<std::size_t>(row)];
}

int TcxCustomDataController::RecordRow(int record) const {
  auto it = std::find(rows_.begin(), rows_.end(), record);
  return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

void TcxCustomDataController::SetFocusedRow(int row) {
  row = std::clamp(row, -1, RowCount() - 1);
  if (row == focused_row_) return;
  const int previous = focused_row_;
  focused_row_ = row;
  if (OnFocusedRowChanged && !Updating()) OnFocusedRowChanged(previous, row);
}

void TcxCustomDataController::SetFocusedRowSelected(bool on) {
  if (on == focused_selected_) return;
  focused_selected_ = on;
  if (OnFocusedRowChanged && !Updating() && focused_row_ >= 0) OnFocusedRowChanged(focused_row_, focused_row_);
}

void TcxCustomDataController::GotoNext() { SetFocusedRow(focused_row_ < 0 ? 0 : focused_row_ + 1); }

void TcxCustomDataController::GotoPrior() { SetFocusedRow(focused_row_ < 0 ? 0 : std::max(focused_row_ - 1, 0)); }

void TcxCustomDataController::MoveRecords(int distance) { SetFocusedRow(std::max(focused_row_ + distance, 0)); }

Variant TcxCustomDataController::GetValue(int record, int item) const {
  CheckItem(item);
  CheckRecord(record);
  return storage_.Value(record, item);
}

std::string TcxCustomDataController::GetDisplayText(int record, int item) const {
  CheckItem(item);
  CheckRecord(record);
  if (storage_.Item(item).textStored) return storage_.StoredText(record, item);
  if (storage_.Item(item).valueType->IsString()) return std::string(storage_.StringValue(record, item));
  return storage_.Value(record, item).ToText();
}

Variant TcxCustomDataController::GetRecordKey(int record) const {
  CheckRecord(record);
  const std::vector<int> keys = KeyItems();
  if (keys.empty()) return Variant::Null();
  if (keys.size() == 1) return storage_.Value(record, keys.front());
  std::vector<Variant> values;
  for (int item : keys) values.push_back(storage_.Value(record, item));
  return Variant(std::move(values));
}

int TcxCustomDataController::CompareValues(int item, int record1, int record2, const Variant& a, const Variant& b) {
  if (OnCompare) {
    int result = 0;
    OnCompare(this, record1, record2, item, a, b, result);
    return result;
  }
  if (a.IsNull() || b.IsNull()) return a.IsNull() == b.IsNull() ? 0 : a.IsNull() ? -1 : 1;
  const bool texts = a.VarType() == Variant::Type::String && b.VarType() == Variant::Type::String;
  if (texts && ansi_sort_ && case_insensitive_) {
    const int r = AnsiCompareText(a.AsString(), b.AsString());
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  }
  if (texts && ansi_sort_) return LocaleCompare(a.AsString(), b.AsString());
  if (texts && case_insensitive_) {
    const int r = AnsiUpperCase(a.AsString()).compare(AnsiUpperCase(b.AsString()));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  }
  return a.Compare(b);
}

int TcxCustomDataController::CompareRecords(int item, int record1, int record2) {
  const bool null1 = storage_.IsNull(record1, item), null2 = storage_.IsNull(record2, item);
  const bool text = storage_.Item(item).valueType->IsString();
  if (!OnCompare && !(text && (ansi_sort_ || case_insensitive_))) {
    if (null1 || null2) return null1 == null2 ? 0 : null1 ? -1 : 1;
    if (text) {
      const int r = storage_.StringValue(record1, item).compare(storage_.StringValue(record2, item));
      return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    return storage_.Value(record1, item).Compare(storage_.Value(record2, item));
  }
  return CompareValues(item, record1, record2, storage_.Value(record1, item), storage_.Value(record2, item));
}

int TcxCustomDataController::FindRecordIndexByKey(const Variant& key) {
  const std::vector<int> keys = KeyItems();
  if (keys.empty()) return -1;
  std::vector<Variant> wanted;
  if (keys.size() == 1) {
    wanted.push_back(key);
  } else {
    if (!key.IsArray() || key.AsArray().size() < keys.size()) return -1;
    wanted = key.AsArray();
  }
  // The key as the store would hold it (the temporary record).
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!wanted[i].IsClear()) wanted[i] = storage_.Item(keys[i]).valueType->Convert(wanted[i]);
    else wanted[i] = Variant::Null();
  }
  const bool plain = !OnCompare && !ansi_sort_ && !case_insensitive_;
  const Variant wanted_key = wanted.size() == 1 ? wanted.front() : Variant(wanted);
  if (plain && cached_key_record_ >= -1 && !cached_key_.IsEmpty() && cached_key_.VarType() == wanted_key.VarType() &&
      cached_key_ == wanted_key) {
    return cached_key_record_;
  }
  const int found = ScanForKey(keys, wanted, plain);
  if (plain) {
    cached_key_ = wanted_key;
    cached_key_record_ = found;
  }
  return found;
}

int TcxCustomDataController::ScanForKey(const std::vector<int>& keys, const std::vector<Variant>& wanted, bool plain) {
  for (int record = 0; record < RecordCount(); ++record) {
    bool equal = true;
    for (std::size_t i = 0; i < keys.size() && equal; ++i) {
      const int item = keys[i];
      if (plain && storage_.Item(item).valueType->IsString() && !wanted[i].IsNull()) {
        equal = !storage_.IsNull(record, item) && storage_.StringValue(record, item) == wanted[i].AsString();
      } else {
        equal = CompareValues(item, record, -1, storage_.Value(record, item), wanted[i]) == 0;
      }
    }
    if (equal) return record;
  }
  return -1;
}

bool TcxCustomDataController::LocateByKey(const Variant& key) {
  const int record = FindRecordIndexByKey(key);
  const int row = record < 0 ? -1 : RecordRow(record);
  SetFocusedRow(row);
  return row != -1;
}

int TcxCustomDataController::FindRowByText(int start, int item, const std::string& text, bool partial, bool wrap,
                                           bool forward) {
  CheckItem(item);
  const int count = RowCount();
  if (count == 0 || start < 0 || start >= count) return -1;
  const std::u32string folded = SearchFold(text);
  auto matches = [&](int row) {
    return FoldedTextMatches(rows_[static_cast<std::size_t>(row)], item, folded, partial);
  };
  const int step = forward ? 1 : -1;
  for (int row = start; row >= 0 && row < count; row += step) {
    if (matches(row)) return rows_[static_cast<std::size_t>(row)];
  }
  if (wrap && start != 0) {
    for (int row = forward ? 0 : count - 1; row != start; row += step) {
      if (matches(row)) return rows_[static_cast<std::size_t>(row)];
    }
  }
  return -1;
}

bool TcxCustomDataController::KeepsFirstFolded(int item) const {
  const TcxDataStorage::ItemInfo& info = storage_.Item(item);
  return info.valueType->IsString() && !info.textStored;
}

std::vector<int> TcxCustomDataController::RecordsMaybeStartingWith(int item, char16_t first) {
  if (first_index_item_ != item) {
    first_index_.clear();
    for (int record = 0; record < RecordCount(); ++record)
      first_index_[storage_.FirstFolded(record, item)].push_back(record);
    first_index_item_ = item;
  }
  static const std::vector<int> none;
  const auto bucket = [&](char16_t c) -> const std::vector<int>& {
    const auto found = first_index_.find(c);
    return found == first_index_.end() ? none : found->second;
  };
  const std::vector<int>& starting = bucket(first);
  const std::vector<int>& unknown = bucket(TcxDataStorage::kUnknownFirst);
  std::vector<int> records;
  records.reserve(starting.size() + unknown.size());
  std::merge(starting.begin(), starting.end(), unknown.begin(), unknown.end(), std::back_inserter(records));
  return records;
}

bool TcxCustomDataController::FoldedTextMatches(int record, int item, const std::u32string& folded,
                                                bool partial) const {
  if (!KeepsFirstFolded(item)) return FoldedMatch(GetDisplayText(record, item), folded, partial);
  const char16_t first = storage_.FirstFolded(record, item);
  if (!folded.empty() && first != TcxDataStorage::kUnknownFirst && first != folded.front()) return false;
  return FoldedMatch(storage_.StringValue(record, item), folded, partial);
}

bool TcxCustomDataController::PassesFilter(int record) const {
  return filter_item_ < 0 || FoldedTextMatches(record, filter_item_, filter_folded_, true);
}

void TcxCustomDataController::RebuildRows() {
  if (Updating()) {
    rows_pending_ = true;
    return;
  }
  rows_pending_ = false;
  const int focused_record = FocusedRecord();
  const std::size_t previous_count = rows_.size();
  if (filter_item_ >= 0 && !filter_folded_.empty() && filter_folded_.front() < TcxDataStorage::kUnknownFirst &&
      KeepsFirstFolded(filter_item_)) {
    rows_ = RecordsMaybeStartingWith(filter_item_, static_cast<char16_t>(filter_folded_.front()));
  } else {
    rows_.resize(static_cast<std::size_t>(RecordCount()));
    std::iota(rows_.begin(), rows_.end(), 0);
  }
  if (filter_item_ >= 0) std::erase_if(rows_, [this](int record) { return !PassesFilter(record); });
  if (!sorted_items_.empty()) {
    std::stable_sort(rows_.begin(), rows_.end(), [this](int a, int b) {
      for (std::size_t i = 0; i < sorted_items_.size(); ++i) {
        int r = CompareRecords(sorted_items_[i], a, b);
        if (sort_orders_[i] == soDescending) r = -r;
        if (r != 0) return r < 0;
      }
      return a < b;
    });
  }
  if (rows_.size() != previous_count) focused_selected_ = false;
  focused_row_ = focused_record < 0 ? -1 : RecordRow(focused_record);
  DataChanged();
}

void TcxCustomDataController::ForgetKeyCache() {
  cached_key_ = Variant();
  cached_key_record_ = -1;
}

void TcxCustomDataController::RecordsReplaced() {
  ForgetKeyCache();
  storage_.ShrinkToFit();
  focused_row_ = -1;
  focused_selected_ = false;
  RebuildRows();
}

void TcxCustomDataController::DataChanged() {
  if (OnDataChanged && !Updating()) OnDataChanged();
}

int TcxCustomDataController::SetIncrementalFilter(int item, const std::string& text) {
  CheckItem(item);
  std::u32string folded = SearchFold(text);
  // A longer text keeps a subset of the rows in the same order: the rows left need only be tested again.
  const bool narrowing = filter_item_ == item && !rows_pending_ && !Updating() &&
                         folded.size() >= filter_folded_.size() &&
                         folded.compare(0, filter_folded_.size(), filter_folded_) == 0;
  filter_item_ = item;
  filter_text_ = text;
  filter_folded_ = std::move(folded);
  if (narrowing) {
    const int focused_record = FocusedRecord();
    const std::size_t previous_count = rows_.size();
    std::erase_if(rows_, [this](int record) { return !PassesFilter(record); });
    if (rows_.size() != previous_count) focused_selected_ = false;
    focused_row_ = focused_record < 0 ? -1 : RecordRow(focused_record);
    DataChanged();
  } else {
    RebuildRows();
  }
  return RowCount() == 0 ? -1 : rows_.front();
}

void TcxCustomDataController::ClearIncrementalFilter() {
  const bool active = filter_item_ >= 0;
  filter_item_ = -1;
  filter_text_.clear();
  filter_folded_.clear();
  if (active) RebuildRows();
}

TcxDataSortOrder TcxCustomDataController::SortOrder(int item) const {
  for (std::size_t i = 0; i < sorted_items_.size(); ++i) {
    if (sorted_items_[i] == item) return sort_orders_[i];
  }
  return soNone;
}

void TcxCustomDataController::SetSortOrder(int item, TcxDataSortOrder order) {
  CheckItem(item);
  if (SortOrder(item) == order) return;
  auto it = std::find(sorted_items_.begin(), sorted_items_.end(), item);
  if (it != sorted_items_.end()) {
    const auto index = it - sorted_items_.begin();
    sorted_items_.erase(it);
    sort_orders_.erase(sort_orders_.begin() + index);
  }
  if (order != soNone) {
    sorted_items_.push_back(item);
    sort_orders_.push_back(order);
  }
  RebuildRows();
  if (OnSortingChanged) OnSortingChanged();
}

void TcxCustomDataController::ClearSorting() {
  if (sorted_items_.empty()) return;
  sorted_items_.clear();
  sort_orders_.clear();
  RebuildRows();
  if (OnSortingChanged) OnSortingChanged();
}

void TcxCustomDataController::SetAnsiSort(bool on) {
  if (on == ansi_sort_) return;
  ansi_sort_ = on;
  if (!sorted_items_.empty()) RebuildRows();
}

void TcxCustomDataController::SetCaseInsensitive(bool on) {
  if (on == case_insensitive_) return;
  case_insensitive_ = on;
  if (!sorted_items_.empty()) RebuildRows();
}

void TcxCustomDataController::BeginUpdate() { ++update_count_; }

void TcxCustomDataController::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ != 0) return;
  if (rows_pending_) RebuildRows();
  else DataChanged();
}
