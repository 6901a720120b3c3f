#pragma once

// Shared by the report element tests: a small in-memory dataset, an owner form for elements and a way to look at
// what a surface recorded.

#include "data/DB.h"
#include "data/MemDataSet.h"
#include "pages/RLMetaFile.h"
#include "report/RLReport.h"
#include "widgets/Forms.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

// The data tests' in-memory dataset, given its columns by name and its rows as plain texts.
class TRowsDataSet : public TMemDataSet {
public:
  TRowsDataSet(TComponent* owner, const std::vector<std::string>& names,
               const std::vector<std::vector<std::string>>& texts)
      : TMemDataSet(owner) {
    columns.clear();
    for (const std::string& name : names) columns.push_back({name, ftString, 40});
    for (const auto& row : texts) rows.emplace_back(row.begin(), row.end());
  }
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
