#pragma once

#include "data/DBCommon.h"

#include <vector>

// Publishes one dataset to any number of data links and follows the dataset's state.
class TDataSource : public TComponent {
public:
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;

  // Published.
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool value) { autoEdit_ = value; }
  TDataSet* DataSet() const { return dataSet_; }
  // Raises "Ligações de dados circulares não são permitidas" when the dataset's masters lead back here.
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  TNotifyEvent OnStateChange;
  TDataChangeEvent OnDataChange;
  TNotifyEvent OnUpdateData;

  // The source's copy of the dataset's state: dmInactive while disabled or without a dataset.
  TDataSetMode State() const { return state_; }
  int DataLinkCount() const { return static_cast<int>(dataLinks_.size()); }
  TDataLink* DataLinks(int index) const;
  // True when `dataSet`'s chain of master sources leads to this source.
  bool IsLinkedTo(TDataSet* dataSet) const;

protected:
  friend class TDataSet;
  friend class TDataLink;
  virtual void DispatchDataEvent(TDataEventKind kind, TDataEventInfo info);
  void Notification(TComponent* component, TOperation operation) override;

private:
  void AddDataLink(TDataLink* link);
  void RemoveDataLink(TDataLink* link);
  void NotifyLinkTypes(TDataEventKind kind, TDataEventInfo info, bool visualControls);
  void NotifyDataLinks(TDataEventKind kind, TDataEventInfo info);
  void UpdateState();

  TDataSet* dataSet_ = nullptr;
  bool autoEdit_ = true;
  bool enabled_ = true;
  TDataSetMode state_ = dmInactive;
  std::vector<TDataLink*> dataLinks_;
};

// The consumer's end of a data source: it hears every data event and keeps its own window into the ring.
// Created and owned by the consumer.
class TDataLink : public TPersistent {
public:
  TDataLink();
  ~TDataLink() override;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return dataSource_; }
  // Raises "DataSource não pode ser atualizado" when the source is fixed.
  void SetDataSource(TDataSource* source);
  bool DataSourceFixed() const { return dataSourceFixed_; }
  void SetDataSourceFixed(bool value) { dataSourceFixed_ = value; }
  TDataSet* DataSet() const;
  bool Active() const { return active_; }
  bool Editing() const { return editing_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // A link that draws rows on screen; it hears of events after the non-visual links.
  bool VisualControl() const { return visualControl_; }
  void SetVisualControl(bool value) { visualControl_ = value; }
  // Index in the dataset's ring of the first record this link shows.
  int FirstRecord() const { return firstRecord_; }
  void UpdateRecord();

  virtual int ActiveRecord() const;
  virtual void SetActiveRecord(int value);
  virtual int BufferCount() const { return bufferCount_; }
  // Values below 1 count as 1.
  virtual void SetBufferCount(int value);
  virtual int RecordCount() const;
  virtual bool Eof() const;
  virtual bool Bof() const;
  virtual int MoveRecords(int distance);

protected:
  friend class TDataSource;
  friend class TDataSet;

  virtual void NotifyActive() {}
  virtual void EnsureBrowsing() {}
  virtual void DispatchDataEvent(TDataEventKind kind, TDataEventInfo info);
  virtual void NotifyDataSet() { NotifyRecord(nullptr); }
  virtual void NotifyScrolled(int /*distance*/) { NotifyDataSet(); }
  virtual void NotifyEditing() {}
  virtual void NotifyFocusField(TField* /*field*/) {}
  virtual void NotifyLayout() { NotifyDataSet(); }
  virtual void NotifyRecord(TField* /*field*/) {}
  virtual void NotifyUpdateData() {}

private:
  void UpdateState();
  void UpdateRange();
  void SetActive(bool value);
  void SetEditing(bool value);

  TDataSource* dataSource_ = nullptr;
  TDataLink* next_ = nullptr;
  int bufferCount_ = 1;
  int firstRecord_ = 0;
  bool active_ = false;
  bool editing_ = false;
  bool readOnly_ = false;
  bool updating_ = false;
  bool dataSourceFixed_ = false;
  bool visualControl_ = false;
};

// A link that serves a detail dataset; the base has none.
class TDetailDataLink : public TDataLink {
public:
  virtual TDataSet* DetailDataSet() const { return nullptr; }
};
