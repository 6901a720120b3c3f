#pragma once

// Shared by the report element tests: a small in-memory dataset, an owner form for elements and a way to look at
// what a surface recorded.

#include "data/DB.h"
#include "framework/Forms.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

// Rows of texts in memory; a record buffer holds the row index.
class TRowsDataSet : public TDataSet {
public:
  explicit TRowsDataSet(TComponent* owner, std::vector<std::string> columns, std::vector<std::vector<std::string>> rows)
      : TDataSet(owner), columns_(std::move(columns)), rows_(std::move(rows)) {
    SetBookmarkSize(sizeof(std::int32_t));
  }
  ~TRowsDataSet() override { CloseOnDestroy(); }

protected:
  TRecordBuffer AllocRecordBuffer() override { return new unsigned char[sizeof(std::int32_t)](); }
  void FreeRecordBuffer(TRecordBuffer& buffer) override {
    delete[] buffer;
    buffer = nullptr;
  }
  TFetchResult GetRecord(TRecordBuffer buffer, TFetchMode mode, bool) override {
    const int count = static_cast<int>(rows_.size());
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
    std::memcpy(buffer, &pos_, sizeof pos_);
    return frOK;
  }
  void InternalOpen() override {
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
    for (const std::string& name : columns_) FieldDefs().Add(name, ftString, 40);
  }
  bool IsCursorOpen() const override { return open_; }
  void InternalFirst() override { pos_ = -1; }
  void InternalLast() override { pos_ = static_cast<int>(rows_.size()); }
  void InternalSetToRecord(TRecordBuffer buffer) override { std::memcpy(&pos_, buffer, sizeof pos_); }
  void GetBookmarkData(TRecordBuffer buffer, unsigned char* data) override { std::memcpy(data, buffer, sizeof(std::int32_t)); }
  void SetBookmarkData(TRecordBuffer buffer, const unsigned char* data) override { std::memcpy(buffer, data, sizeof(std::int32_t)); }
  TBookmarkPlace GetBookmarkPlace(TRecordBuffer) override { return bpCurrent; }
  void SetBookmarkPlace(TRecordBuffer, TBookmarkPlace) override {}
  void InternalGotoBookmark(const unsigned char* bookmark) override { std::memcpy(&pos_, bookmark, sizeof pos_); }
  bool GetFieldData(TField* field, void* buffer, std::size_t size, bool nativeFormat) override {
    if (!nativeFormat) return TDataSet::GetFieldData(field, buffer, size, nativeFormat);
    if (IsEmpty() || field->FieldNo() < 1) return false;
    std::int32_t row = 0;
    std::memcpy(&row, ActiveBuffer(), sizeof row);
    const std::string& text = rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(field->FieldNo() - 1));
    if (!buffer) return true;
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    static_cast<char*>(buffer)[n] = '\0';
    return true;
  }
  int GetRecordCount() override { return static_cast<int>(rows_.size()); }

private:
  std::vector<std::string> columns_;
  std::vector<std::vector<std::string>> rows_;
  bool open_ = false;
  std::int32_t pos_ = -1;
};

// The objects of one class that a surface recorded, in recording order.
template <class T>
std::vector<T*> Recorded(const TRLGraphicSurface& surface) {
  std::vector<T*> found;
  for (int i = 0; i < surface.ObjectCount(); ++i) {
    if (auto* object = dynamic_cast<T*>(surface.Objects(i))) found.push_back(object);
  }
  return found;
}

inline std::vector<std::string> RecordedTexts(const TRLGraphicSurface& surface) {
  std::vector<std::string> texts;
  for (auto* text : Recorded<TRLTextObject>(surface)) texts.push_back(text->Text());
  return texts;
}

// An A4 report with 5 mm margins on a form, as the client report has it.
struct ReportRig {
  TForm form{nullptr};
  TRLReport* report;

  ReportRig() {
    RegisterReportClasses();
    report = new TRLReport(&form);
    report->SetName("RLReport2");
    report->SetParent(&form);
    for (auto set : {&TRLMargins::SetLeftMargin, &TRLMargins::SetTopMargin, &TRLMargins::SetRightMargin,
                     &TRLMargins::SetBottomMargin}) {
      (report->Margins().*set)(5.0);
    }
  }
  template <class T>
  T* Add(TWinControl* parent, const std::string& name) {
    auto* element = new T(&form);
    element->SetName(name);
    element->SetParent(parent);
    return element;
  }
  void Generating() { report->SetPhase(rpPreparing); }
};
