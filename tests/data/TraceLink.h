#pragma once

#include "data/DB.h"

#include <string>
#include <vector>

// A data link that writes every notification it gets into a trace, prefixed by its name.
class TTraceLink : public TDataLink {
public:
  TTraceLink(std::string name, std::vector<std::string>& trace, bool visual = false)
      : name_(std::move(name)), trace_(trace) {
    SetVisualControl(visual);
  }

protected:
  void NotifyActive() override { Log(Active() ? "Active=1" : "Active=0"); }
  void EnsureBrowsing() override { Log("EnsureBrowsing"); }
  void NotifyDataSet() override { Log("DataSet"); }
  void NotifyScrolled(int distance) override { Log("Scrolled(" + std::to_string(distance) + ")"); }
  void NotifyEditing() override { Log(Editing() ? "Editing=1" : "Editing=0"); }
  void NotifyLayout() override { Log("Layout"); }
  void NotifyRecord(TField*) override { Log("Record"); }
  void NotifyUpdateData() override { Log("UpdateData"); }

private:
  void Log(const std::string& what) { trace_.push_back(name_ + ":" + what); }
  std::string name_;
  std::vector<std::string>& trace_;
};

// Wires a source's events into the trace as "S:StateChange" and "S:DataChange".
inline void TraceSource(TDataSource& source, std::vector<std::string>& trace, const std::string& name = "S") {
  source.OnStateChange = [&trace, name](TObject*) { trace.push_back(name + ":StateChange"); };
  source.OnDataChange = [&trace, name](TObject*, TField* field) {
    trace.push_back(name + ":DataChange" + (field ? "(" + field->FieldName() + ")" : ""));
  };
  source.OnUpdateData = [&trace, name](TObject*) { trace.push_back(name + ":UpdateData"); };
}
