// The dataset: its state machine, the record ring, navigation, editing and the data events.
//
// The record ring. A dataset whose cursor is open holds BufferCount() + 1 record buffers: a window of up to
// BufferCount() records, in cursor order, that the data links show, and one scratch buffer after it where the
// next fetch lands. These rules hold whenever no ring operation is under way:
//   - BufferCount() is 0 and there are no buffers, or there are exactly BufferCount() + 1 of them;
//   - 0 <= FilledCount() <= BufferCount(): the buffers 0 .. FilledCount() - 1 hold records;
//   - ActiveRecord() is a filled buffer, or 0 while none is filled;
//   - CursorRecord() is the filled buffer the engine cursor stands on, or -1 when that is not known.
// A data event is only sent while they hold, since its receivers may read the ring. RingIsSound checks them;
// assertions call it before every data event and after every change of the buffer count. A shrink of the window
// drops the buffers before the kept records: a cursor record among them is no longer known, and becomes -1 like
// one beyond the kept records.

#include "data/DataSet.h"
#include "data/Quietly.h"

#include "core/Text.h"
#include "data/DBConsts.h"
#include "data/DataSource.h"
#include "data/NumericFields.h"

#include <algorithm>
#include <cassert>
#include <cstring>

void DatabaseError(std::string_view message, const TComponent* component) {
  if (component && !component->Name().empty()) throw EDatabaseError(Format("%s: %s", {component->Name(), message}));
  throw EDatabaseError(std::string(message));
}

void DatabaseErrorFmt(std::string_view pattern, std::initializer_list<FormatArg> args, const TComponent* component) {
  DatabaseError(Format(pattern, args), component);
}

namespace {

[[noreturn]] void AbstractSlot(const TObject* object, const char* slot) {
  throw EAbstractError(Format(SAbstractSlot, {object->ClassName(), slot}));
}

}  // namespace

TDataSet::TDataSet(TComponent* owner)
    : TComponent(owner),
      fieldDefs_(std::make_unique<TFieldDefs>(this)),
      fields_(std::make_unique<TFields>(this, TFieldKinds{fkData, fkCalculated, fkLookup, fkInternalCalc})),
      aggFields_(std::make_unique<TFields>(this, TFieldKinds{fkAggregate})) {
  ClearBuffers();
}

TDataSet::~TDataSet() {
  // The engine slots of the concrete class are gone by now: a concrete dataset calls CloseOnDestroy in its own
  // destructor, so that the ring and the cursor are released through them.
  CloseOnDestroy();
  while (!dataSources_.empty()) dataSources_.back()->SetDataSet(nullptr);
  firstDataLink_ = nullptr;
  // Fields owned by this dataset go with it (as owned components); the others stay with their owner, detached.
  fields_->Clear();
  aggFields_->Clear();
}

// ---- state, open and close ----

void TDataSet::SetState(TDataSetMode value) {
  if (state_ == value) return;
  state_ = value;
  modified_ = false;
  DispatchDataEvent(evUpdateState, 0);
}

void TDataSet::SetActive(bool value) {
  if (IsLoading()) {
    streamedActive_ = value;
    return;
  }
  if (Active() == value) return;
  if (value) {
    DoBeforeOpen();
    try {
      OpenCursor(false);
    } catch (...) {
      // The flag is set before the ring is negotiated; a failure after it is still a failed open.
      internalOpenComplete_ = false;
      if (state_ != dmOpening) Quietly([this] { OpenCursorComplete(); });
      throw;
    }
    if (state_ != dmOpening) OpenCursorComplete();
  } else {
    if (!IsDestroying()) DoBeforeClose();
    SetState(dmInactive);
    CloseCursor();
    if (!IsDestroying()) DoAfterClose();
  }
}

void TDataSet::CloseOnDestroy() {
  Destroying();
  Quietly([this] { SetActive(false); });
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (streamedActive_) SetActive(true);
}

void TDataSet::OpenCursor(bool infoQuery) {
  if (infoQuery) {
    InternalInitFieldDefs();
  } else if (state_ != dmOpening) {
    DoInternalOpen();
  }
}

void TDataSet::DoInternalOpen() {
  defaultFields_ = fields_->Count() == 0;
  InternalOpen();
  internalOpenComplete_ = true;
  UpdateBufferCount();
  bof_ = true;
}

void TDataSet::OpenCursorComplete() {
  if (internalOpenComplete_) {
    SetState(dmBrowse);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
  } else {
    SetState(dmInactive);
    CloseCursor();
  }
}

void TDataSet::CloseCursor() {
  internalOpenComplete_ = false;
  FreeFieldBuffers();
  ClearBuffers();
  SetBufListSize(0);
  // The ring is empty before the concrete close runs: the field events it sends must not find a count of
  // buffers that are gone.
  bufferCount_ = 0;
  InternalClose();
  defaultFields_ = false;
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(SDataSetClosed, this);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(SDataSetOpen, this);
}

void TDataSet::SetObjectView(bool value) {
  CheckInactive();
  objectView_ = value;
}

// ---- the ring ----

bool TDataSet::RingIsSound() const {
  const auto buffers = static_cast<int>(buffers_.size());
  if (bufferCount_ == 0 ? buffers != 0 : buffers != bufferCount_ + 1) return false;
  if (filledCount_ < 0 || filledCount_ > bufferCount_) return false;
  if (filledCount_ == 0 ? activeRecord_ != 0 : activeRecord_ < 0 || activeRecord_ >= filledCount_) return false;
  return cursorRecord_ == -1 || (cursorRecord_ >= 0 && cursorRecord_ < filledCount_);
}

void TDataSet::ClearBuffers() {
  filledCount_ = 0;
  activeRecord_ = 0;
  cursorRecord_ = -1;
  bof_ = true;
  eof_ = true;
}

void TDataSet::ActivateBuffers() {
  filledCount_ = 1;
  activeRecord_ = 0;
  cursorRecord_ = 0;
  bof_ = false;
  eof_ = false;
}

void TDataSet::MoveBuffer(int from, int to) {
  auto b = buffers_.begin();
  if (from < to) {
    std::rotate(b + from, b + from + 1, b + to + 1);
  } else if (from > to) {
    std::rotate(b + to, b + from, b + from + 1);
  }
}

TRecordBuffer TDataSet::ActiveBuffer() const {
  if (buffers_.empty()) return nullptr;
  return buffers_[static_cast<std::size_t>(activeRecord_)];
}

TRecordBuffer TDataSet::CurrentBuffer() const { return ActiveBuffer(); }

void TDataSet::SetActiveRecord(int index) {
  if (index != activeRecord_ && (index < 0 || index >= std::max(filledCount_, 1))) {
    throw EListError(Format("List index out of bounds (%d)", {index}));
  }
  activeRecord_ = index;
}

void TDataSet::SetBufListSize(int value) {
  auto wanted = static_cast<std::size_t>(value);
  if (wanted > buffers_.size()) {
    std::vector<TRecordBuffer> fresh;
    fresh.reserve(wanted - buffers_.size());
    buffers_.reserve(wanted);
    try {
      while (buffers_.size() + fresh.size() < wanted) {
        fresh.push_back(nullptr);
        fresh.back() = AllocRecordBuffer();
      }
    } catch (...) {
      for (TRecordBuffer& buffer : fresh) {
        if (buffer) Quietly([&] { FreeRecordBuffer(buffer); });
      }
      throw;
    }
    buffers_.insert(buffers_.end(), fresh.begin(), fresh.end());
  } else {
    while (buffers_.size() > wanted) {
      TRecordBuffer buffer = buffers_.back();
      buffers_.pop_back();
      FreeRecordBuffer(buffer);
    }
  }
}

void TDataSet::UpdateBufferCount() {
  // The chain is rebuilt even while closed, so that it never holds a link that has left.
  int wanted = 1;
  firstDataLink_ = nullptr;
  for (auto s = dataSources_.rbegin(); s != dataSources_.rend(); ++s) {
    for (auto l = (*s)->dataLinks_.rbegin(); l != (*s)->dataLinks_.rend(); ++l) {
      TDataLink* link = *l;
      link->next_ = firstDataLink_;
      firstDataLink_ = link;
      wanted = std::max(wanted, link->bufferCount_);
    }
  }
  if (!IsDestroying() && IsCursorOpen()) SetBufferCount(wanted);
}

void TDataSet::SetBufferCount(int value) {
  if (bufferCount_ == value) return;
  if (value < bufferCount_ && filledCount_ > 0) {
    int k = activeRecord_;
    for (TDataLink* link = firstDataLink_; link; link = link->next_) {
      if (link->active_ && link->firstRecord_ < k) k = link->firstRecord_;
    }
    if (k + value >= bufferCount_ + 1) k = bufferCount_ - value;
    if (k > 0) {
      std::rotate(buffers_.begin(), buffers_.begin() + k, buffers_.end());
      activeRecord_ -= k;
      cursorRecord_ = cursorRecord_ >= k ? cursorRecord_ - k : -1;
      for (TDataLink* link = firstDataLink_; link; link = link->next_) {
        if (link->active_) link->firstRecord_ = std::max(0, link->firstRecord_ - k);
      }
    }
    // The records before k left the window with the buffers that held them.
    filledCount_ = std::min(filledCount_ - k, value);
    if (cursorRecord_ >= filledCount_) cursorRecord_ = -1;
  }
  SetBufListSize(value + 1);
  bufferCount_ = value;
  if (!IsDestroying()) {
    GetNextRecords();
    int fetched = GetPriorRecords();
    if (fetched > 0) {
      for (TDataLink* link = firstDataLink_; link; link = link->next_) {
        if (link->active_) link->firstRecord_ += fetched;
      }
    }
  }
  assert(RingIsSound());
}

void TDataSet::SetCurrentRecord(int index) {
  if (cursorRecord_ == index) return;
  if (!uniDirectional_) {
    TRecordBuffer buffer = buffers_[static_cast<std::size_t>(index)];
    switch (GetBookmarkPlace(buffer)) {
      case bpCurrent:
      case bpInserted: InternalSetToRecord(buffer); break;
      case bpBOF: InternalFirst(); break;
      case bpEOF: InternalLast(); break;
    }
  }
  cursorRecord_ = index;
}

void TDataSet::SyncCursor() {
  if (filledCount_ > 0) SetCurrentRecord(activeRecord_);
}

bool TDataSet::GetNextRecord() {
  TFetchMode mode = fmNext;
  if (filledCount_ > 0) {
    SetCurrentRecord(filledCount_ - 1);
    if (state_ == dmInsert && cursorRecord_ == activeRecord_ && GetBookmarkPlace(ActiveBuffer()) == bpCurrent) {
      mode = fmCurrent;
    }
  }
  if (GetRecord(buffers_[static_cast<std::size_t>(filledCount_)], mode, true) != frOK) {
    CursorPosChanged();
    return false;
  }
  if (filledCount_ == 0) {
    ActivateBuffers();
  } else if (filledCount_ < bufferCount_) {
    ++filledCount_;
  } else {
    MoveBuffer(0, filledCount_);
  }
  cursorRecord_ = filledCount_ - 1;
  return true;
}

bool TDataSet::GetPriorRecord() {
  if (uniDirectional_) DatabaseError(SDataSetUnidirectional, this);
  if (filledCount_ > 0) SetCurrentRecord(0);
  if (GetRecord(buffers_[static_cast<std::size_t>(filledCount_)], fmPrior, true) != frOK) {
    CursorPosChanged();
    return false;
  }
  if (filledCount_ == 0) {
    ActivateBuffers();
  } else {
    MoveBuffer(filledCount_, 0);
    if (filledCount_ < bufferCount_) {
      ++filledCount_;
      ++activeRecord_;
    }
  }
  cursorRecord_ = 0;
  return true;
}

int TDataSet::GetNextRecords() {
  int fetched = 0;
  while (filledCount_ < bufferCount_ && GetNextRecord()) ++fetched;
  return fetched;
}

int TDataSet::GetPriorRecords() {
  int fetched = 0;
  if (uniDirectional_) return 0;
  while (filledCount_ < bufferCount_ && GetPriorRecord()) ++fetched;
  return fetched;
}

// ---- navigation ----

void TDataSet::First() {
  EnsureBrowsing();
  DoBeforeScroll();
  bool reopened = false;
  try {
    if (uniDirectional_ && !bof_) {
      SetActive(false);
      SetActive(true);
      reopened = true;
    } else {
      ClearBuffers();
    }
    if (!reopened) {
      InternalFirst();
      GetNextRecord();
      GetNextRecords();
    }
  } catch (...) {
    bof_ = true;
    Quietly([this] {
      DispatchDataEvent(evDataSetChange, 0);
      DoAfterScroll();
    });
    throw;
  }
  bof_ = true;
  DispatchDataEvent(evDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Last() {
  if (uniDirectional_) DatabaseError(SDataSetUnidirectional, this);
  EnsureBrowsing();
  DoBeforeScroll();
  ClearBuffers();
  try {
    InternalLast();
    GetPriorRecord();
    GetPriorRecords();
  } catch (...) {
    eof_ = true;
    Quietly([this] {
      DispatchDataEvent(evDataSetChange, 0);
      DoAfterScroll();
    });
    throw;
  }
  eof_ = true;
  DispatchDataEvent(evDataSetChange, 0);
  DoAfterScroll();
}

int TDataSet::MoveRecords(int distance) {
  EnsureBrowsing();
  DoBeforeScroll();
  if ((distance > 0 && eof_) || (distance < 0 && bof_) || distance == 0) return 0;
  bof_ = false;
  eof_ = false;
  const int oldFilled = filledCount_;
  int shift = 0;
  int moved = 0;
  auto finish = [&] {
    if (filledCount_ == oldFilled) {
      DispatchDataEvent(evDataSetScroll, shift);
    } else {
      DispatchDataEvent(evDataSetChange, 0);
    }
    DoAfterScroll();
  };
  try {
    for (; distance > 0; --distance) {
      if (activeRecord_ < filledCount_ - 1) {
        ++activeRecord_;
      } else {
        const bool wasFull = filledCount_ >= bufferCount_;
        if (!GetNextRecord()) {
          eof_ = true;
          break;
        }
        if (wasFull) {
          --shift;
        } else if (activeRecord_ < filledCount_ - 1) {
          ++activeRecord_;
        }
      }
      ++moved;
    }
    for (; distance < 0; ++distance) {
      if (activeRecord_ > 0) {
        --activeRecord_;
      } else {
        const bool wasFull = filledCount_ >= bufferCount_;
        if (!GetPriorRecord()) {
          bof_ = true;
          break;
        }
        if (wasFull) {
          ++shift;
        } else if (activeRecord_ > 0) {
          // The fetch pushed the window down by one; the new record is at the front.
          --activeRecord_;
        }
      }
      --moved;
    }
  } catch (...) {
    Quietly(finish);
    throw;
  }
  finish();
  return moved;
}

void TDataSet::Resync(TResyncMode mode) {
  if (uniDirectional_) return;
  if (mode.Contains(rmExact)) {
    CursorPosChanged();
    if (GetRecord(ScratchBuffer(), fmCurrent, true) != frOK) DatabaseError(SRecordNotFound, this);
  } else if (GetRecord(ScratchBuffer(), fmCurrent, false) != frOK &&
             GetRecord(ScratchBuffer(), fmNext, false) != frOK && GetRecord(ScratchBuffer(), fmPrior, false) != frOK) {
    ClearBuffers();
    DispatchDataEvent(evDataSetChange, 0);
    return;
  }
  int count = mode.Contains(rmCenter) ? (bufferCount_ - 1) / 2 : activeRecord_;
  MoveBuffer(filledCount_, 0);
  ActivateBuffers();
  try {
    while (count > 0 && GetPriorRecord()) --count;
    GetNextRecords();
    GetPriorRecords();
  } catch (...) {
    Quietly([this] { DispatchDataEvent(evDataSetChange, 0); });
    throw;
  }
  DispatchDataEvent(evDataSetChange, 0);
}

void TDataSet::Refresh() {
  DoBeforeRefresh();
  EnsureBrowsing();
  SyncCursor();
  try {
    InternalRefresh();
  } catch (...) {
    Quietly([this] {
      Resync({});
      DoAfterRefresh();
    });
    throw;
  }
  Resync({});
  DoAfterRefresh();
}

void TDataSet::SetRecNo(int) {}

void TDataSet::EnsureBrowsing() {
  CheckActive();
  DispatchDataEvent(evCheckBrowseMode, 0);
  switch (state_) {
    case dmEdit:
    case dmInsert:
      UpdateRecord();
      if (modified_) {
        Post();
      } else {
        Cancel();
      }
      break;
    case dmSetKey: Post(); break;
    default: break;
  }
}

void TDataSet::UpdateRecord() {
  if (state_ != dmEdit && state_ != dmInsert) DatabaseError(SNotEditing, this);
  DispatchDataEvent(evUpdateRecord, 0);
}

void TDataSet::Post() {
  if (state_ == dmSetKey) {
    SetState(dmBrowse);
    return;
  }
  UpdateRecord();
  DispatchDataEvent(evCheckBrowseMode, 0);
  DoBeforePost();
  InternalPost();
  FreeFieldBuffers();
  SetState(dmBrowse);
  Resync({});
  DoAfterPost();
}

void TDataSet::Cancel() {
  switch (state_) {
    case dmEdit:
    case dmInsert:
      DispatchDataEvent(evCheckBrowseMode, 0);
      DoBeforeCancel();
      SyncCursor();
      InternalCancel();
      FreeFieldBuffers();
      SetState(dmBrowse);
      Resync({});
      DoAfterCancel();
      break;
    case dmSetKey: SetState(dmBrowse); break;
    default: break;
  }
}

// ---- bookmarks ----

bool TDataSet::BookmarkAvailable() {
  return !uniDirectional_ && (state_ == dmBrowse || state_ == dmEdit || state_ == dmInsert) && !IsEmpty() &&
         GetBookmarkPlace(ActiveBuffer()) == bpCurrent;
}

TBookmark TDataSet::SaveBookmark() {
  if (!BookmarkAvailable() || bookmarkSize_ <= 0) return {};
  TBookmark bookmark(static_cast<std::size_t>(bookmarkSize_));
  GetBookmarkData(ActiveBuffer(), bookmark.data());
  return bookmark;
}

std::string TDataSet::Bookmark() {
  TBookmark bookmark = SaveBookmark();
  return std::string(bookmark.begin(), bookmark.end());
}

void TDataSet::SetBookmark(const std::string& bookmark) { JumpToBookmark(TBookmark(bookmark.begin(), bookmark.end())); }

const unsigned char* TDataSet::BookmarkBytes(const TBookmark& bookmark) const {
  if (bookmark.empty()) return nullptr;
  if (static_cast<int>(bookmark.size()) != bookmarkSize_) DatabaseError(SInvalidBookmark, this);
  return bookmark.data();
}

void TDataSet::JumpToBookmark(const TBookmark& bookmark) {
  const unsigned char* bytes = BookmarkBytes(bookmark);
  if (!bytes) return;
  EnsureBrowsing();
  DoBeforeScroll();
  InternalGotoBookmark(bytes);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

bool TDataSet::IsBookmarkValid(const TBookmark& bookmark) {
  if (bookmark.empty() || static_cast<int>(bookmark.size()) != bookmarkSize_) return false;
  return BookmarkValid(bookmark.data());
}

int TDataSet::OrderBookmarks(const TBookmark& a, const TBookmark& b) {
  return CompareBookmarks(BookmarkBytes(a), BookmarkBytes(b));
}

bool TDataSet::Locate(const std::string&, const Variant&, TLocateOptions) { return false; }

// ---- data events ----

void TDataSet::DispatchDataEvent(TDataEventKind kind, TDataEventInfo info) {
  assert(RingIsSound());
  bool notify = !(EventsSuspended() || state_ == dmBlockRead);
  switch (kind) {
    case evFieldChange: {
      TField* field = EventInfoField(info);
      if (field && (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc)) modified_ = true;
      break;
    }
    case evLayoutChange:
      fieldListStale_ = true;
      if (EventsSuspended()) enableEvent_ = evLayoutChange;
      break;
    case evUpdateState:
      if (EventsSuspended()) {
        kind = evDisabledStateChange;
        info = state_ != dmInactive ? 1 : 0;
        notify = true;
      }
      break;
    case evPropertyChange: fieldDefs_->SetUpdated(false); break;
    case evFieldListChange: fieldListStale_ = true; break;
    default: break;
  }
  if (!notify) return;
  // A source may leave while it is being told; walk by index against the current list.
  for (std::size_t i = 0; i < dataSources_.size(); ++i) dataSources_[i]->DispatchDataEvent(kind, info);
}

void TDataSet::SuspendEvents() {
  if (disableCount_ == 0) {
    disableState_ = state_;
    enableEvent_ = evDataSetChange;
  }
  ++disableCount_;
}

void TDataSet::ResumeEvents() {
  if (disableCount_ == 0) return;
  if (--disableCount_ != 0) return;
  if (disableState_ != state_) DispatchDataEvent(evUpdateState, 0);
  if (disableState_ != dmInactive && state_ != dmInactive) DispatchDataEvent(enableEvent_, 0);
}

void TDataSet::AddDataSource(TDataSource* source) {
  dataSources_.push_back(source);
  source->dataSet_ = this;
  try {
    UpdateBufferCount();
  } catch (...) {
    source->dataSet_ = nullptr;
    dataSources_.pop_back();
    Quietly([this] { UpdateBufferCount(); });
    throw;
  }
  source->UpdateState();
}

void TDataSet::RemoveDataSource(TDataSource* source) {
  source->dataSet_ = nullptr;
  dataSources_.erase(std::remove(dataSources_.begin(), dataSources_.end(), source), dataSources_.end());
  source->UpdateState();
  UpdateBufferCount();
}

// ---- event triggers ----

void TDataSet::DoBeforeOpen() {
  if (BeforeOpen) BeforeOpen(this);
}
void TDataSet::DoAfterOpen() {
  if (AfterOpen) AfterOpen(this);
}
void TDataSet::DoBeforeClose() {
  if (BeforeClose) BeforeClose(this);
}
void TDataSet::DoAfterClose() {
  if (AfterClose) AfterClose(this);
}
void TDataSet::DoBeforeScroll() {
  if (BeforeScroll) BeforeScroll(this);
}
void TDataSet::DoAfterScroll() {
  if (AfterScroll) AfterScroll(this);
}
void TDataSet::DoBeforeRefresh() {
  if (BeforeRefresh) BeforeRefresh(this);
}
void TDataSet::DoAfterRefresh() {
  if (AfterRefresh) AfterRefresh(this);
}
void TDataSet::DoBeforePost() {
  if (BeforePost) BeforePost(this);
}
void TDataSet::DoAfterPost() {
  if (AfterPost) AfterPost(this);
}
void TDataSet::DoBeforeCancel() {
  if (BeforeCancel) BeforeCancel(this);
}
void TDataSet::DoAfterCancel() {
  if (AfterCancel) AfterCancel(this);
}

// ---- engine slots: nothing useful in the base ----

TRecordBuffer TDataSet::AllocRecordBuffer() { AbstractSlot(this, "AllocRecordBuffer"); }
void TDataSet::FreeRecordBuffer(TRecordBuffer&) { AbstractSlot(this, "FreeRecordBuffer"); }
TFetchResult TDataSet::GetRecord(TRecordBuffer, TFetchMode, bool) { AbstractSlot(this, "GetRecord"); }
void TDataSet::InternalOpen() { AbstractSlot(this, "InternalOpen"); }
void TDataSet::InternalClose() { AbstractSlot(this, "InternalClose"); }
void TDataSet::InternalInitFieldDefs() { AbstractSlot(this, "InternalInitFieldDefs"); }
bool TDataSet::IsCursorOpen() const { AbstractSlot(this, "IsCursorOpen"); }
void TDataSet::InternalFirst() { AbstractSlot(this, "InternalFirst"); }
void TDataSet::InternalLast() { AbstractSlot(this, "InternalLast"); }
void TDataSet::InternalSetToRecord(TRecordBuffer) { AbstractSlot(this, "InternalSetToRecord"); }
void TDataSet::GetBookmarkData(TRecordBuffer, unsigned char*) { AbstractSlot(this, "GetBookmarkData"); }
void TDataSet::SetBookmarkData(TRecordBuffer, const unsigned char*) { AbstractSlot(this, "SetBookmarkData"); }
TBookmarkPlace TDataSet::GetBookmarkPlace(TRecordBuffer) { AbstractSlot(this, "GetBookmarkPlace"); }
void TDataSet::SetBookmarkPlace(TRecordBuffer, TBookmarkPlace) { AbstractSlot(this, "SetBookmarkPlace"); }
void TDataSet::InternalGotoBookmark(const unsigned char*) { AbstractSlot(this, "InternalGotoBookmark"); }
void TDataSet::InternalPost() { AbstractSlot(this, "InternalPost"); }
int TDataSet::CompareBookmarks(const unsigned char*, const unsigned char*) { return 0; }
bool TDataSet::BookmarkValid(const unsigned char*) { return false; }

bool TDataSet::GetFieldData(TField* field, void* buffer, std::size_t size, bool nativeFormat) {
  if (nativeFormat) return false;
  const int dataSize = field->DataSize();
  if (dataSize <= 0) return GetFieldData(field, nullptr, 0, true);
  unsigned char local[dsMaxStringSize + 1];
  std::vector<unsigned char> heap;
  unsigned char* temp = local;
  std::size_t tempSize = sizeof local;
  if (dataSize > dsMaxStringSize) {
    heap.resize(static_cast<std::size_t>(dataSize));
    temp = heap.data();
    tempSize = heap.size();
  }
  const bool present = GetFieldData(field, temp, tempSize, true);
  if (present && buffer) DataConvert(field, temp, buffer, std::min(size, static_cast<std::size_t>(dataSize)), false);
  return present;
}

void TDataSet::DataConvert(TField*, const void* source, void* destination, std::size_t size, bool) {
  std::memmove(destination, source, size);
}

std::string TDataSet::Translate(std::string_view source, bool) { return std::string(source); }
