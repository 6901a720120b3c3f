#include "data/DataSource.h"

#include "data/DBConsts.h"
#include "data/DataSet.h"

#include <algorithm>

// ---- TDataSource ----

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  Destroying();
  OnStateChange = nullptr;
  SetDataSet(nullptr);
  while (!dataLinks_.empty()) RemoveDataLink(dataLinks_.back());
}

TDataLink* TDataSource::DataLinks(int index) const {
  if (index < 0 || index >= DataLinkCount()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return dataLinks_[static_cast<std::size_t>(index)];
}

bool TDataSource::IsLinkedTo(TDataSet* dataSet) const {
  // Bounded walk: a chain of masters that loops elsewhere must not hang the check.
  for (int guard = 0; dataSet && guard < 1000; ++guard) {
    TDataSource* source = dataSet->DataSource();
    if (!source) break;
    if (source == this) return true;
    dataSet = source->DataSet();
  }
  return false;
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (IsLinkedTo(dataSet)) DatabaseError(SCircularDataLink, this);
  if (dataSet_) {
    RemoveFreeNotification(dataSet_);
    dataSet_->RemoveDataSource(this);
  }
  if (dataSet) {
    FreeNotification(dataSet);
    dataSet->AddDataSource(this);
  }
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  // The dataset detaches its sources itself while it is still whole; this covers a dataset that is gone.
  if (operation == opRemove && component == dataSet_) {
    dataSet_ = nullptr;
    UpdateState();
  }
  TComponent::Notification(component, operation);
}

void TDataSource::SetEnabled(bool value) {
  enabled_ = value;
  UpdateState();
}

void TDataSource::AddDataLink(TDataLink* link) {
  dataLinks_.push_back(link);
  link->dataSource_ = this;
  if (dataSet_) {
    try {
      dataSet_->UpdateBufferCount();
    } catch (...) {
      // The ring could not grow for the link: it does not join.
      link->dataSource_ = nullptr;
      dataLinks_.pop_back();
      try {
        dataSet_->UpdateBufferCount();
      } catch (...) {}
      throw;
    }
  }
  link->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* link) {
  link->dataSource_ = nullptr;
  dataLinks_.erase(std::remove(dataLinks_.begin(), dataLinks_.end(), link), dataLinks_.end());
  link->UpdateState();
  if (dataSet_) dataSet_->UpdateBufferCount();
}

void TDataSource::NotifyLinkTypes(TDataEventKind kind, TDataEventInfo info, bool visualControls) {
  // From the last added to the first; a link may leave while it is told.
  for (std::size_t i = dataLinks_.size(); i-- > 0;) {
    if (i >= dataLinks_.size()) continue;
    TDataLink* link = dataLinks_[i];
    if (link->visualControl_ == visualControls) link->DispatchDataEvent(kind, info);
  }
}

void TDataSource::NotifyDataLinks(TDataEventKind kind, TDataEventInfo info) {
  NotifyLinkTypes(kind, info, false);
  NotifyLinkTypes(kind, info, true);
}

void TDataSource::UpdateState() {
  const TDataSetMode newState = enabled_ && dataSet_ ? dataSet_->State() : dmInactive;
  if (newState == state_) return;
  const TDataSetMode previous = state_;
  state_ = newState;
  NotifyDataLinks(evUpdateState, 0);
  if (IsDestroying()) return;
  if (OnStateChange) OnStateChange(this);
  if (previous == dmInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::DispatchDataEvent(TDataEventKind kind, TDataEventInfo info) {
  if (kind == evUpdateState) {
    UpdateState();
    return;
  }
  if (state_ == dmInactive) return;
  NotifyDataLinks(kind, info);
  switch (kind) {
    case evFieldChange:
      if (OnDataChange) OnDataChange(this, EventInfoField(info));
      break;
    case evRecordChange:
    case evDataSetChange:
    case evDataSetScroll:
    case evLayoutChange:
      if (OnDataChange) OnDataChange(this, nullptr);
      break;
    case evUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default: break;
  }
}

// ---- TDataLink ----

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  dataSourceFixed_ = false;
  SetDataSource(nullptr);
}

TDataSet* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSourceFixed_) DatabaseError(SDataSourceChange, dataSource_);
  if (dataSource_) dataSource_->RemoveDataLink(this);
  if (source) source->AddDataLink(this);
}

void TDataLink::SetReadOnly(bool value) {
  if (readOnly_ == value) return;
  readOnly_ = value;
  UpdateState();
}

void TDataLink::UpdateState() {
  SetActive(dataSource_ && dataSource_->State() != dmInactive);
  const TDataSetMode state = dataSource_ ? dataSource_->State() : dmInactive;
  SetEditing(dataSource_ && (state == dmEdit || state == dmInsert || state == dmSetKey) && !readOnly_);
}

void TDataLink::SetActive(bool value) {
  if (active_ == value) return;
  active_ = value;
  if (value) {
    UpdateRange();
  } else {
    firstRecord_ = 0;
  }
  NotifyActive();
}

void TDataLink::SetEditing(bool value) {
  if (editing_ == value) return;
  editing_ = value;
  NotifyEditing();
}

void TDataLink::UpdateRange() {
  TDataSet* dataSet = DataSet();
  if (!dataSet) return;
  const int active = dataSet->activeRecord_;
  const int low = std::max(0, active - bufferCount_ + 1);
  const int high = std::min(active, std::max(0, dataSet->filledCount_ - bufferCount_));
  if (firstRecord_ < low) firstRecord_ = low;
  if (firstRecord_ > high) firstRecord_ = high;
  if (firstRecord_ != 0 && active - firstRecord_ < bufferCount_ - 1) --firstRecord_;
}

void TDataLink::UpdateRecord() {
  updating_ = true;
  try {
    NotifyUpdateData();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

int TDataLink::ActiveRecord() const {
  TDataSet* dataSet = DataSet();
  if (!dataSet || dataSource_->State() == dmSetKey) return 0;
  return dataSet->activeRecord_ - firstRecord_;
}

void TDataLink::SetActiveRecord(int value) {
  TDataSet* dataSet = DataSet();
  if (!dataSet || dataSource_->State() == dmSetKey) return;
  dataSet->SetActiveRecord(value + firstRecord_);
}

void TDataLink::SetBufferCount(int value) {
  value = std::max(value, 1);
  if (bufferCount_ == value) return;
  const int previous = bufferCount_;
  bufferCount_ = value;
  if (active_) {
    UpdateRange();
    try {
      DataSet()->UpdateBufferCount();
    } catch (...) {
      bufferCount_ = previous;
      UpdateRange();
      throw;
    }
    UpdateRange();
  }
}

int TDataLink::RecordCount() const {
  TDataSet* dataSet = DataSet();
  if (!dataSet) return 0;
  if (dataSource_->State() == dmSetKey) return 1;
  return std::min(bufferCount_, dataSet->filledCount_);
}

bool TDataLink::Eof() const { return active_ ? DataSet()->Eof() : true; }

bool TDataLink::Bof() const { return active_ ? DataSet()->Bof() : true; }

int TDataLink::MoveRecords(int distance) {
  TDataSet* dataSet = DataSet();
  if (!dataSet) return 0;
  return dataSet->MoveRecords(distance);
}

void TDataLink::DispatchDataEvent(TDataEventKind kind, TDataEventInfo info) {
  if (kind == evUpdateState) {
    UpdateState();
    return;
  }
  if (!active_) return;
  switch (kind) {
    case evFieldChange:
    case evRecordChange:
      if (!updating_) NotifyRecord(EventInfoField(info));
      break;
    case evDataSetChange:
    case evDataSetScroll:
    case evLayoutChange: {
      int distance = 0;
      if (dataSource_->State() != dmSetKey) {
        const int active = DataSet()->activeRecord_;
        const int first = firstRecord_ + static_cast<int>(info);
        const int last = first + bufferCount_ - 1;
        if (active > last) {
          distance = active - last;
        } else if (active < first) {
          distance = active - first;
        }
        firstRecord_ = first + distance;
      }
      if (kind == evDataSetChange) {
        NotifyDataSet();
      } else if (kind == evDataSetScroll) {
        NotifyScrolled(distance);
      } else {
        NotifyLayout();
      }
      break;
    }
    case evUpdateRecord: UpdateRecord(); break;
    case evCheckBrowseMode: EnsureBrowsing(); break;
    case evFocusControl: NotifyFocusField(EventInfoField(info)); break;
    default: break;
  }
}
