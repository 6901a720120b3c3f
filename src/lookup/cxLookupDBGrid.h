#pragma once

// The drop-down grid over a dataset: its columns name fields, and its data controller copies the records.

#include "lookup/cxDBData.h"
#include "lookup/cxLookupGrid.h"

class TcxLookupDBGridColumn : public TcxLookupGridColumn {
public:
  explicit TcxLookupDBGridColumn(TCollection* collection) : TcxLookupGridColumn(collection) {}
  const std::string& FieldName() const { return field_name_; }
  void SetFieldName(const std::string& name);
  // The dataset field the column shows, or null.
  TField* Field() const;
  void Assign(const TPersistent& source) override;

protected:
  std::string DefaultCaption() const override;
  int DefaultWidth() const override;

private:
  std::string field_name_;
};

class TcxLookupDBGridColumns : public TCollection {
public:
  explicit TcxLookupDBGridColumns(TPersistent* grid);
  TcxLookupDBGridColumn* Items(int index) const {
    return static_cast<TcxLookupDBGridColumn*>(TCollection::Items(index));
  }
  TcxLookupDBGridColumn* Add() { return static_cast<TcxLookupDBGridColumn*>(TCollection::Add()); }
};

class TcxCustomLookupDBGrid : public TcxCustomLookupGrid {
public:
  explicit TcxCustomLookupDBGrid(TComponent* owner);
  ~TcxCustomLookupDBGrid() override;

  TcxCustomDataController& DataController() override { return data_controller_; }
  TcxLookupGridDBDataController& DBDataController() { return data_controller_; }
  TCollection& ColumnCollection() override { return columns_; }
  TcxLookupDBGridColumns& Columns() { return columns_; }
  TDataSource* DataSource() const { return data_controller_.DataSource(); }
  void SetDataSource(TDataSource* source) { data_controller_.SetDataSource(source); }
  const std::string& KeyFieldNames() const { return data_controller_.KeyFieldNames(); }
  void SetKeyFieldNames(const std::string& names) { data_controller_.SetKeyFieldNames(names); }
  // The columns' field names joined by ";"; assigning it makes one column per name.
  std::string ListFieldNames() const;
  void SetListFieldNames(const std::string& names);

protected:
  TAlignment CellAlignment(int column) override;

private:
  void ColumnsChanged();

  TcxLookupGridDBDataController data_controller_;
  TcxLookupDBGridColumns columns_;
};

class TcxLookupDBGrid : public TcxCustomLookupDBGrid {
public:
  using TcxCustomLookupDBGrid::TcxCustomLookupDBGrid;
};
