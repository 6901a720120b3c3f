#pragma once

// The lookup editor whose list is a dataset reached through a data source, shown in a TcxLookupDBGrid.

#include "lookup/cxLookupDBGrid.h"
#include "lookup/cxLookupEdit.h"

class TcxCustomDBLookupEditProperties : public TcxCustomLookupEditProperties {
public:
  TcxCustomDBLookupEditProperties();
  ~TcxCustomDBLookupEditProperties() override;

  TcxCustomLookupGrid& Grid() override { return *grid_; }
  TcxLookupDBGrid& DBGrid() { return *grid_; }
  TcxLookupGridDBDataController& DataController() { return grid_->DBDataController(); }

  const std::string& KeyFieldNames() const { return grid_->KeyFieldNames(); }
  void SetKeyFieldNames(const std::string& names);
  TcxLookupDBGridColumns& ListColumns() { return grid_->Columns(); }
  std::string ListFieldNames() const { return grid_->ListFieldNames(); }
  void SetListFieldNames(const std::string& names);
  // Clamped to the columns when set; read back as the last column when beyond them and as -1 without columns.
  int ListFieldIndex() const override;
  void SetListFieldIndex(int index);
  TDataSource* ListSource() const { return grid_->DataSource(); }
  void SetListSource(TDataSource* source);
  TcxLookupGridOptions& ListOptions() { return grid_->Options(); }
  bool GridMode() const { return grid_->DBDataController().DataModeController().GridMode(); }
  void SetGridMode(bool on);
  bool IsGridMode() const override { return GridMode(); }
  bool KeyIsListField() const override;
  Variant NullKey() const override;

  // The dataset field of a bound editor whose lookup governs these properties, and the editor's bound dataset
  // (an unbound editor has neither).
  void SetLookupField(TField* field) { lookup_field_ = field; }
  void SetBoundDataSet(TDataSet* dataSet) { bound_data_set_ = dataSet; }
  // The component that hears of the list source's removal.
  void SetNotifier(TComponent* component) { notifier_ = component; }

private:
  void CheckLookupField() const;
  std::unique_ptr<TcxLookupDBGrid> grid_;
  int list_field_index_ = 0;
  TField* lookup_field_ = nullptr;
  TDataSet* bound_data_set_ = nullptr;
  TComponent* notifier_ = nullptr;
};

class TcxCustomDBLookupEditLookupData : public TcxCustomLookupEditLookupData {
public:
  using TcxCustomLookupEditLookupData::TcxCustomLookupEditLookupData;
};

class TcxCustomDBLookupEdit : public TcxCustomLookupEdit {
public:
  TcxCustomDBLookupEditProperties& Properties() {
    return static_cast<TcxCustomDBLookupEditProperties&>(TcxCustomEdit::Properties());
  }
  const TcxCustomDBLookupEditProperties& Properties() const {
    return static_cast<const TcxCustomDBLookupEditProperties&>(TcxCustomEdit::Properties());
  }

protected:
  TcxCustomDBLookupEdit(TComponent* owner, std::unique_ptr<TcxCustomDBLookupEditProperties> properties);
  void Notification(TComponent* component, TOperation operation) override;
};
