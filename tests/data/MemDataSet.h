#pragma once

#include "data/DB.h"

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A dataset over rows of texts held in memory. A record buffer holds the row index and the bookmark place;
// a bookmark is the row index (4 bytes). The engine cursor is a position between -1 (before the first row)
// and the row count (after the last one).
class TMemDataSet : public TDataSet {
public:
  struct Column {
    std::string name;
    TFieldType type = ftString;
    int size = 20;
  };
  using Row = std::vector<std::optional<std::string>>;

  explicit TMemDataSet(TComponent* owner = nullptr) : TDataSet(owner) { SetBookmarkSize(sizeof(std::int32_t)); }
  ~TMemDataSet() override { CloseOnDestroy(); }

  std::vector<Column> columns{{"codigo", ftString, 10}};
  std::vector<Row> rows;
  // Engine calls counted for the tests.
  int fetches = 0;
  int allocated = 0;
  // Fault injection: the n-th buffer allocation (counting from 1) fails; the open fails.
  int failAllocationAt = 0;
  bool failOpen = false;
  // The value a field gets is written over the whole destination, without a terminating zero.
  bool fillWholeBuffer = false;
  // What Translate does to a text coming from the engine.
  std::string translatedSuffix;
  // Builds the definitions instead of `columns` (for nested definitions).
  std::function<void(TFieldDefs&)> buildDefs;
  // Receives "ev:<kind>" for every data event the dataset dispatches, and the dataset's own handlers.
  std::vector<std::string>* trace = nullptr;

  void DispatchDataEvent(TDataEventKind kind, TDataEventInfo info) override {
    static const char* const names[] = {"FieldChange",    "RecordChange",    "DataSetChange",      "DataSetScroll",
                                        "LayoutChange",   "UpdateRecord",    "UpdateState",        "CheckBrowseMode",
                                        "PropertyChange", "FieldListChange", "FocusControl",       "ParentScroll",
                                        "ConnectChange",  "ReconcileError",  "DisabledStateChange"};
    if (trace) {
      std::string entry = std::string("ev:") + names[kind];
      if (kind == evDataSetScroll) entry += "(" + std::to_string(info) + ")";
      trace->push_back(entry);
    }
    TDataSet::DispatchDataEvent(kind, info);
  }
  void TraceHandlers() {
    auto log = [this](const char* name) {
      return [this, name](TDataSet*) {
        if (trace) trace->push_back(name);
      };
    };
    BeforeOpen = log("BeforeOpen");
    AfterOpen = log("AfterOpen");
    BeforeClose = log("BeforeClose");
    AfterClose = log("AfterClose");
    BeforeScroll = log("BeforeScroll");
    AfterScroll = log("AfterScroll");
    BeforeRefresh = log("BeforeRefresh");
    AfterRefresh = log("AfterRefresh");
  }

  void AddRows(int count) {
    for (int i = 0; i < count; ++i) rows.push_back({std::to_string(i)});
  }
  void SetUni(bool on) { SetUniDirectional(on); }
  using TDataSet::ActiveRecord;
  using TDataSet::BufferCount;
  using TDataSet::CursorRecord;
  using TDataSet::FilledCount;
  using TDataSet::RingIsSound;
  using TDataSet::SetModified;
  using TDataSet::SetState;
  // The row held in ring entry `index`.
  int RowAt(int index) const { return Rec(Buffers(index))->row; }
  int CurrentRow() const { return IsEmpty() ? -1 : Rec(ActiveBuffer())->row; }

protected:
  struct RecordData {
    std::int32_t row;
    TBookmarkPlace place;
  };
  static RecordData* Rec(TRecordBuffer buffer) { return reinterpret_cast<RecordData*>(buffer); }

  TRecordBuffer AllocRecordBuffer() override {
    if (failAllocationAt > 0 && ++allocationCalls_ == failAllocationAt) throw EDatabaseError("sem memória");
    ++allocated;
    auto* buffer = new unsigned char[sizeof(RecordData)]();
    return buffer;
  }
  void FreeRecordBuffer(TRecordBuffer& buffer) override {
    delete[] buffer;
    buffer = nullptr;
    --allocated;
  }
  TFetchResult GetRecord(TRecordBuffer buffer, TFetchMode mode, bool) override {
    ++fetches;
    const int count = static_cast<int>(rows.size());
    if (mode == fmNext) {
      if (pos_ >= count - 1) {
        pos_ = count;
        return frEOF;
      }
      ++pos_;
    } else if (mode == fmPrior) {
      if (pos_ <= 0) {
        pos_ = -1;
        return frBOF;
      }
      --pos_;
    } else if (pos_ < 0 || pos_ >= count) {
      return pos_ < 0 ? frBOF : frEOF;
    }
    Rec(buffer)->row = pos_;
    Rec(buffer)->place = bpCurrent;
    return frOK;
  }
  void InternalOpen() override {
    if (failOpen) throw EDatabaseError("falha ao abrir");
    InternalInitFieldDefs();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    open_ = true;
    pos_ = -1;
  }
  void InternalClose() override {
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    open_ = false;
  }
  void InternalInitFieldDefs() override {
    FieldDefs().Clear();
    if (buildDefs) {
      buildDefs(FieldDefs());
      return;
    }
    for (const Column& c : columns) FieldDefs().Add(c.name, c.type, c.size);
  }
  bool IsCursorOpen() const override { return open_; }
  void InternalFirst() override { pos_ = -1; }
  void InternalLast() override { pos_ = static_cast<int>(rows.size()); }
  void InternalSetToRecord(TRecordBuffer buffer) override { pos_ = Rec(buffer)->row; }
  void GetBookmarkData(TRecordBuffer buffer, unsigned char* data) override {
    std::memcpy(data, &Rec(buffer)->row, sizeof(std::int32_t));
  }
  void SetBookmarkData(TRecordBuffer buffer, const unsigned char* data) override {
    std::memcpy(&Rec(buffer)->row, data, sizeof(std::int32_t));
  }
  TBookmarkPlace GetBookmarkPlace(TRecordBuffer buffer) override { return Rec(buffer)->place; }
  void SetBookmarkPlace(TRecordBuffer buffer, TBookmarkPlace place) override { Rec(buffer)->place = place; }
  void InternalGotoBookmark(const unsigned char* bookmark) override { pos_ = BookmarkRow(bookmark); }
  int CompareBookmarks(const unsigned char* a, const unsigned char* b) override {
    if (!a && !b) return 0;
    if (!a) return 1;
    if (!b) return -1;
    const int ra = BookmarkRow(a), rb = BookmarkRow(b);
    return ra < rb ? -1 : ra > rb ? 1 : 0;
  }
  bool BookmarkValid(const unsigned char* bookmark) override {
    const int row = BookmarkRow(bookmark);
    return open_ && row >= 0 && row < static_cast<int>(rows.size());
  }
  bool GetFieldData(TField* field, void* buffer, std::size_t size, bool nativeFormat) override {
    if (!nativeFormat) return TDataSet::GetFieldData(field, buffer, size, nativeFormat);
    if (State() != dmBrowse || IsEmpty() || field->FieldNo() < 1) return false;
    const Row& row = rows.at(static_cast<std::size_t>(CurrentRow()));
    const auto column = static_cast<std::size_t>(field->FieldNo() - 1);
    if (column >= row.size() || !row[column]) return false;
    if (!buffer) return true;
    const std::string& text = *row[column];
    if (fillWholeBuffer) {
      for (std::size_t i = 0; i < size; ++i) static_cast<char*>(buffer)[i] = text.empty() ? 'x' : text[i % text.size()];
      return true;
    }
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    static_cast<char*>(buffer)[n] = '\0';
    return true;
  }
  std::string Translate(std::string_view source, bool toEngine) override {
    return toEngine ? std::string(source) : std::string(source) + translatedSuffix;
  }
  int GetRecordCount() override { return static_cast<int>(rows.size()); }

private:
  static int BookmarkRow(const unsigned char* bookmark) {
    std::int32_t row = 0;
    std::memcpy(&row, bookmark, sizeof row);
    return row;
  }
  bool open_ = false;
  int pos_ = -1;
  int allocationCalls_ = 0;
};
