#pragma once

// The list data behind a lookup: an in-memory store of records, the rows that pass the filter in display
// order, the focused row, sorting and searching.

#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class EcxInvalidDataControllerOperation : public Exception {
public:
  using Exception::Exception;
};

enum TcxDataSortOrder { soNone, soAscending, soDescending };

// How the values of one item are held in the store.
class TcxValueType : public TObject {
public:
  virtual ~TcxValueType() = default;
  // The value converted to this type; raises the variant's conversion errors.
  virtual Variant Convert(const Variant& value) const = 0;
  // Values held as texts.
  virtual bool IsString() const { return false; }
  // Bytes a value takes in a record beside its null flag.
  virtual int DataSize() const = 0;
};
class TcxStringValueType : public TcxValueType {
public:
  Variant Convert(const Variant& value) const override { return value.AsString(); }
  bool IsString() const override { return true; }
  int DataSize() const override { return sizeof(std::uint32_t); }
};
class TcxWideStringValueType : public TcxStringValueType {};
class TcxSmallintValueType : public TcxValueType {
public:
  Variant Convert(const Variant& value) const override {
    return static_cast<long long>(static_cast<std::int16_t>(value.AsInteger()));
  }
  int DataSize() const override { return 2; }
};
class TcxIntegerValueType : public TcxValueType {
public:
  Variant Convert(const Variant& value) const override {
    return static_cast<long long>(static_cast<std::int32_t>(value.AsInteger()));
  }
  int DataSize() const override { return 4; }
};
class TcxWordValueType : public TcxValueType {
public:
  Variant Convert(const Variant& value) const override {
    return static_cast<long long>(static_cast<std::uint16_t>(value.AsInteger()));
  }
  int DataSize() const override { return 2; }
};
class TcxBooleanValueType : public TcxValueType {
public:
  Variant Convert(const Variant& value) const override { return value.AsBoolean(); }
  int DataSize() const override { return 1; }
};
class TcxFloatValueType : public TcxValueType {
public:
  Variant Convert(const Variant& value) const override { return value.AsFloat(); }
  int DataSize() const override { return 8; }
};
class TcxCurrencyValueType : public TcxFloatValueType {};
class TcxDateTimeValueType : public TcxFloatValueType {};
class TcxLargeIntValueType : public TcxValueType {
public:
  Variant Convert(const Variant& value) const override { return static_cast<long long>(value.AsInteger()); }
  int DataSize() const override { return 8; }
};
class TcxFMTBcdValueType : public TcxFloatValueType {};
class TcxVariantValueType : public TcxValueType {
public:
  Variant Convert(const Variant& value) const override { return value; }
  int DataSize() const override { return sizeof(Variant); }
};

// The one instance of each value type.
template <class T>
const TcxValueType& ValueTypeInstance() {
  static const T instance;
  return instance;
}

// The records of the list, item by item: a null flag, the value and, for items whose display text cannot be
// derived from the value, that text. Records are numbered in load order. Texts of an item lie end to end in one
// block, so that a large list costs little more than its texts.
class TcxDataStorage {
public:
  struct ItemInfo {
    const TcxValueType* valueType = &ValueTypeInstance<TcxStringValueType>();
    bool textStored = false;
  };

  // Replaces the items; every record goes.
  void SetItems(std::vector<ItemInfo> items);
  int ItemCount() const { return static_cast<int>(columns_.size()); }
  const ItemInfo& Item(int item) const { return columns_[static_cast<std::size_t>(item)].info; }
  int RecordCount() const { return record_count_; }
  void Clear();
  void Reserve(int records);

  // Appends a record: one value (Null for none) and one display text (used by text-stored items) per item. The
  // values are converted to the items' types.
  void AppendRecord(const std::vector<Variant>& values, const std::vector<std::string>& texts);
  // Rewrites one record's values.
  void SetRecord(int record, const std::vector<Variant>& values, const std::vector<std::string>& texts);

  bool IsNull(int record, int item) const;
  Variant Value(int record, int item) const;
  // The text of a text item (empty for Null).
  std::string_view StringValue(int record, int item) const;
  // The search form of the first character of a text item's text (see SearchFold), or kUnknownFirst.
  char16_t FirstFolded(int record, int item) const {
    return columns_[static_cast<std::size_t>(item)].first_folded[static_cast<std::size_t>(record)];
  }
  static constexpr char16_t kUnknownFirst = 0xFFFF;
  // Gives back what the loading reserved beyond the records.
  void ShrinkToFit();
  const std::string& StoredText(int record, int item) const;
  // Bytes held.
  std::size_t MemoryUsed() const;

private:
  struct Column {
    ItemInfo info;
    std::vector<bool> nulls;
    // Texts: the first character in search form, so that most texts fail a search without being read.
    std::vector<char16_t> first_folded;
    // Texts: record r's text is text_block[offsets[r] .. offsets[r + 1]).
    std::string text_block;
    std::vector<std::uint32_t> offsets{0};
    std::vector<Variant> values;
    std::vector<std::string> texts;
  };
  void Put(Column& column, std::size_t record, const Variant& value, const std::string& text, bool append);

  std::vector<Column> columns_;
  int record_count_ = 0;
};

class TcxCustomDataController;
using TcxDataControllerCompareEvent =
    std::function<void(TcxCustomDataController* sender, int record1, int record2, int item, const Variant& value1,
                       const Variant& value2, int& compare)>;

// Whether a display text matches a pattern: the whole text, or (partial) its beginning, ignoring letter case and
// accents. An empty pattern matches only an empty text.
bool TextMatches(std::string_view text, std::string_view pattern, bool partial);

// Records, rows and focus of a list; a concrete controller loads the records.
class TcxCustomDataController {
public:
  TcxCustomDataController();
  virtual ~TcxCustomDataController();
  TcxCustomDataController(const TcxCustomDataController&) = delete;
  TcxCustomDataController& operator=(const TcxCustomDataController&) = delete;

  int ItemCount() const { return storage_.ItemCount(); }
  int RecordCount() const { return storage_.RecordCount(); }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  int RowRecord(int row) const;
  // -1 when the record is filtered out.
  int RecordRow(int record) const;

  int FocusedRow() const { return focused_row_; }
  void SetFocusedRow(int row);
  int FocusedRecord() const { return focused_row_ < 0 ? -1 : rows_[static_cast<std::size_t>(focused_row_)]; }
  // The focused row is highlighted only while it is marked selected (it was located, moved to, hovered or
  // clicked); a failed search clears the mark.
  bool FocusedRowSelected() const { return focused_selected_ && focused_row_ >= 0; }
  void SetFocusedRowSelected(bool on);

  void GotoFirst() { SetFocusedRow(0); }
  void GotoLast() { SetFocusedRow(RowCount() - 1); }
  void GotoNext();
  void GotoPrior();
  void MoveRecords(int distance);
  bool IsFirstRow() const { return RowCount() == 0 || focused_row_ == 0; }
  bool IsLastRow() const { return RowCount() == 0 || focused_row_ == RowCount() - 1; }

  Variant GetValue(int record, int item) const;
  std::string GetDisplayText(int record, int item) const;
  // Null without key items; the key item's value with one; an array of their values with several.
  Variant GetRecordKey(int record) const;
  virtual int FindRecordIndexByKey(const Variant& key);
  bool LocateByKey(const Variant& key);
  // The record of the first row from `start` whose display text matches, or -1.
  virtual int FindRowByText(int start, int item, const std::string& text, bool partial, bool wrap, bool forward);

  // Keeps the rows whose display text in `item` begins with `text`; returns the record in row 0 or -1.
  int SetIncrementalFilter(int item, const std::string& text);
  void ClearIncrementalFilter();
  bool IncrementalFilterActive() const { return filter_item_ >= 0; }
  int IncrementalFilterItem() const { return filter_item_; }
  const std::string& IncrementalFilterText() const { return filter_text_; }

  TcxDataSortOrder SortOrder(int item) const;
  // Sorts by the item, after the items sorted already; soNone removes it from the sorting.
  void SetSortOrder(int item, TcxDataSortOrder order);
  void ClearSorting();
  // The sorted items in sorting order.
  const std::vector<int>& SortingItems() const { return sorted_items_; }

  bool AnsiSort() const { return ansi_sort_; }
  void SetAnsiSort(bool on);
  bool CaseInsensitive() const { return case_insensitive_; }
  void SetCaseInsensitive(bool on);

  // Nested; rows are rebuilt and the listeners told once, at the outermost end.
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return update_count_ > 0; }

  TcxDataControllerCompareEvent OnCompare;
  std::function<void()> OnSortingChanged;
  // Told when the focused row changes (previous row, new row) and when the rows or the data change.
  std::function<void(int previous, int current)> OnFocusedRowChanged;
  std::function<void()> OnDataChanged;

  const TcxDataStorage& Storage() const { return storage_; }
  virtual std::string ItemFieldName(int item) const = 0;

protected:
  // The store for a change of its records (which forgets the last key found).
  TcxDataStorage& MutableStorage() {
    ForgetKeyCache();
    first_index_.clear();
    first_index_item_ = -1;
    return storage_;
  }
  void ForgetKeyCache();
  // Key items in key order.
  virtual std::vector<int> KeyItems() const = 0;
  // Drops the focus and the filter's shortcut, after the records were replaced.
  void RecordsReplaced();
  void RebuildRows();
  void CheckItem(int item) const;
  void CheckRecord(int record) const;
  void DataChanged();
  // Compares two values of an item as the options and OnCompare say.
  int CompareValues(int item, int record1, int record2, const Variant& a, const Variant& b);
  // Compares the stored values of two records by their type (the rule of the sorting).
  int CompareRecords(int item, int record1, int record2);

private:
  bool PassesFilter(int record) const;
  int ScanForKey(const std::vector<int>& keys, const std::vector<Variant>& wanted, bool plain);
  // Whether a text item's text of a record matches a search form, with the first character checked first.
  bool FoldedTextMatches(int record, int item, const std::u32string& folded, bool partial) const;
  // Whether the item keeps the first character of its texts in search form.
  bool KeepsFirstFolded(int item) const;
  // The records, in load order, whose text in such an item may begin with `first` (that first character, or one
  // not known in search form).
  std::vector<int> RecordsMaybeStartingWith(int item, char16_t first);

  TcxDataStorage storage_;
  std::vector<int> rows_;
  int focused_row_ = -1;
  bool focused_selected_ = false;
  int filter_item_ = -1;
  std::string filter_text_;
  std::u32string filter_folded_;
  std::vector<int> sorted_items_;
  std::vector<TcxDataSortOrder> sort_orders_;
  bool ansi_sort_ = false;
  bool case_insensitive_ = false;
  int update_count_ = 0;
  bool rows_pending_ = false;
  // The records of each first character of one text item's texts, in load order, made when a filter first needs it
  // (so that the first key of a search reads only the records it may keep) and dropped when the records change.
  int first_index_item_ = -1;
  std::unordered_map<char16_t, std::vector<int>> first_index_;
  // The last key found, valid until the records or the comparison change.
  Variant cached_key_;
  int cached_key_record_ = -1;
};
