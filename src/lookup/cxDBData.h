#pragma once

// The list data over a dataset: a data link hears the dataset open, close and change, and the controller copies
// every record into its store (or, in grid mode, reads through the dataset instead).

#include "data/DB.h"
#include "lookup/cxCustomData.h"

#include <string>
#include <vector>

class TcxDBDataController;

class TcxDBDataLink : public TDataLink {
public:
  explicit TcxDBDataLink(TcxDBDataController* controller) : controller_(controller) {}

protected:
  void NotifyActive() override;
  void NotifyDataSet() override;
  void NotifyScrolled(int distance) override;
  void NotifyLayout() override;
  void NotifyRecord(TField* field) override;

private:
  TcxDBDataController* controller_;
};

// How the controller reaches the dataset.
class TcxDBDataModeController {
public:
  bool GridMode() const { return grid_mode_; }
  void SetGridMode(bool on);
  int GridModeBufferCount() const { return grid_mode_buffer_count_; }
  void SetGridModeBufferCount(int count) { grid_mode_buffer_count_ = count; }
  bool SyncMode() const { return sync_mode_; }
  void SetSyncMode(bool on) { sync_mode_ = on; }
  bool SmartRefresh() const { return smart_refresh_; }
  void SetSmartRefresh(bool on) { smart_refresh_ = on; }
  bool DetailInSQLMode() const { return detail_in_sql_mode_; }
  void SetDetailInSQLMode(bool on) { detail_in_sql_mode_ = on; }
  bool SyncInsert() const { return sync_insert_; }
  void SetSyncInsert(bool on) { sync_insert_ = on; }

private:
  friend class TcxDBDataController;
  TcxDBDataController* controller_ = nullptr;
  bool grid_mode_ = false;
  int grid_mode_buffer_count_ = 0;
  bool sync_mode_ = true;
  bool smart_refresh_ = false;
  bool detail_in_sql_mode_ = false;
  bool sync_insert_ = true;
};

// Items are the grid's columns by field name, then the key fields that no column shows.
class TcxDBDataController : public TcxCustomDataController {
public:
  TcxDBDataController();
  ~TcxDBDataController() override;

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const { return link_.DataSet(); }
  const std::string& KeyFieldNames() const { return key_field_names_; }
  void SetKeyFieldNames(const std::string& names);
  TcxDBDataModeController& DataModeController() { return data_mode_; }
  const TcxDBDataModeController& DataModeController() const { return data_mode_; }
  bool IsGridMode() const { return data_mode_.GridMode(); }

  // The field names of the column items, one per column.
  void SetColumnFieldNames(const std::vector<std::string>& names);
  int ColumnItemCount() const { return column_items_; }
  // Whether a column item asks for the field's display text even where the value would do.
  void SetItemWantsText(int item, bool on);
  std::string ItemFieldName(int item) const override;
  TField* ItemField(int item) const;

  // Copies every record of the dataset again (grid mode: the window at the dataset's current record).
  void Reload();
  // The dataset's current record becomes the list's focused record (grid mode: the list is read from there).
  bool LocateInDataSet(const std::string& fields, const Variant& values, TLocateOptions options);
  bool Loading() const { return loading_ > 0; }
  // In grid mode these go to the dataset's Locate and read the list from the record found.
  int FindRecordIndexByKey(const Variant& key) override;
  int FindRowByText(int start, int item, const std::string& text, bool partial, bool wrap, bool forward) override;

protected:
  std::vector<int> KeyItems() const override { return key_items_; }

private:
  friend class TcxDBDataLink;
  friend class TcxDBDataModeController;
  struct Binding {
    std::string field_name;
    TField* field = nullptr;
    bool wants_text = false;
  };
  void ActiveChanged();
  void DataSetChanged();
  void LayoutChanged();
  void RecordChanged();
  // Rebuilds the item list from the columns and key fields and binds each item to its field.
  void UpdateItems();
  void BindFields();
  void ReadCurrentRecord(std::vector<Variant>& values, std::vector<std::string>& texts);
  void LoadAll(TDataSet& dataSet);
  void LoadWindow(TDataSet& dataSet);

  TcxDBDataLink link_{this};
  TcxDBDataModeController data_mode_;
  std::string key_field_names_;
  std::vector<std::string> column_names_;
  std::vector<bool> column_wants_text_;
  std::vector<Binding> items_;
  std::vector<int> key_items_;
  int column_items_ = 0;
  int loading_ = 0;
};

// The controller of a lookup's drop-down grid: it follows no dataset cursor and loads everything by default.
class TcxLookupGridDBDataController : public TcxDBDataController {
public:
  TcxLookupGridDBDataController();
};
