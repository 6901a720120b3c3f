#pragma once

#include "data/DBCommon.h"
#include "data/FieldDefs.h"
#include "data/Fields.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Creates a field of one class; nullptr in the class table means the type has no field class.
using TFieldClass = TField* (*)(TComponent* owner);

// A record set read through a window of records around the current one (the record-buffer ring).
// The engine slots (protected virtual functions below "Engine slots") are supplied by a concrete dataset.
class TDataSet : public TComponent {
public:
  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;

  // Published.
  bool Active() const { return state_ != dmInactive && state_ != dmOpening; }
  void SetActive(bool value);
  bool AutoCalcFields() const { return autoCalcFields_; }
  void SetAutoCalcFields(bool value) { autoCalcFields_ = value; }
  bool ObjectView() const { return objectView_; }
  void SetObjectView(bool value);

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeScroll, AfterScroll, BeforeRefresh,
      AfterRefresh, OnCalcFields;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost, BeforeCancel,
      AfterCancel, BeforeDelete, AfterDelete, OnNewRecord;
  std::function<void(TDataSet*dataSet, const Exception&error, bool&retry)> OnDeleteError, OnEditError, OnPostError;

  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetMode State() const { return state_; }
  bool Modified() const { return modified_; }

  // Navigation.
  void First();
  void Last();
  void Next() { MoveRecords(1); }
  void Prior() { MoveRecords(-1); }
  // Moves `distance` records (negative: backward); returns the records actually moved, signed.
  int MoveRecords(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const { return filledCount_ == 0; }
  bool IsUniDirectional() const { return uniDirectional_; }
  int RecordCount() { return GetRecordCount(); }
  int RecNo() { return GetRecNo(); }
  virtual void SetRecNo(int value);
  virtual bool HasRecordNumbers() { return true; }
  virtual bool IsSequenced() { return true; }
  void Refresh();
  void Resync(TResyncMode mode);
  // Puts the engine cursor on the active record.
  void SyncCursor();
  // Posts or cancels a pending edit; raises when the dataset is closed.
  void EnsureBrowsing();
  // Raises "Arquivo não está em modo de edição ou inserção" outside dmEdit and dmInsert.
  void UpdateRecord();
  virtual void Post();
  virtual void Cancel();
  TRecordBuffer CurrentBuffer() const;

  // Bookmarks.
  std::string Bookmark();
  void SetBookmark(const std::string& bookmark);
  TBookmark SaveBookmark();
  void JumpToBookmark(const TBookmark& bookmark);
  void DropBookmark(TBookmark& bookmark) { bookmark.clear(); }
  bool IsBookmarkValid(const TBookmark& bookmark);
  // -1, 0 or 1; an empty bookmark sorts before every other one.
  int OrderBookmarks(const TBookmark& a, const TBookmark& b);
  int BookmarkSize() const { return bookmarkSize_; }
  virtual bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);

  // Fields and definitions.
  TFields& Fields() { return *fields_; }
  TFields& AggFields() { return *aggFields_; }
  int FieldCount() const { return fields_->Count(); }
  // Raises EListError "List index out of bounds (%d)" outside 0..FieldCount-1.
  TField* Fields(int index) const { return fields_->Fields(index); }
  TFieldDefs& FieldDefs() { return *fieldDefs_; }
  const TFieldDefList& FieldDefList();
  TField* SearchField(std::string_view name) const;
  TField* RequireField(std::string_view name) const;
  TField* FindField(std::string_view name) const { return SearchField(name); }
  TField* FieldByName(std::string_view name) const { return RequireField(name); }
  TField* FieldByNumber(int fieldNo) const { return fields_->FieldByNumber(fieldNo); }
  // One name: that field's value; names separated by ";": an array of their values in order.
  Variant FieldValues(std::string_view names) const;
  // Appends the fields named in a ";"-separated list, in order; every name must resolve.
  void CollectFields(std::vector<TField*>& list, std::string_view names) const;
  bool DefaultFields() const { return defaultFields_; }
  // Text between the engine's character set and the program's; the base copies unchanged.
  virtual std::string Translate(std::string_view source, bool toEngine);
  // The field class for a field type; nullptr when the type has none.
  virtual TFieldClass FieldClass(TFieldType type) const;

  // Data sources and events.
  void SuspendEvents();
  void ResumeEvents();
  bool EventsSuspended() const { return disableCount_ != 0; }
  virtual void DispatchDataEvent(TDataEventKind kind, TDataEventInfo info);
  // The master data source; the base dataset has none.
  virtual TDataSource* DataSource() const { return nullptr; }
  int DataSourceCount() const { return static_cast<int>(dataSources_.size()); }

  void CheckActive() const;
  void CheckInactive() const;
  void Loaded() override;

protected:
  friend class TDataSource;
  friend class TDataLink;
  friend class TField;

  // Engine slots. A concrete dataset overrides these; the base raises EAbstractError.
  virtual TRecordBuffer AllocRecordBuffer();
  virtual void FreeRecordBuffer(TRecordBuffer& buffer);
  // Fetches the current, next or prior record into `buffer`. With `doCheck`, an engine failure raises;
  // without it, it gives frError.
  virtual TFetchResult GetRecord(TRecordBuffer buffer, TFetchMode mode, bool doCheck);
  virtual void InternalOpen();
  virtual void InternalClose();
  virtual void InternalInitFieldDefs();
  virtual bool IsCursorOpen() const;
  // Before the first record / after the last one.
  virtual void InternalFirst();
  virtual void InternalLast();
  virtual void InternalSetToRecord(TRecordBuffer buffer);
  // `data` holds BookmarkSize bytes.
  virtual void GetBookmarkData(TRecordBuffer buffer, unsigned char* data);
  virtual void SetBookmarkData(TRecordBuffer buffer, const unsigned char* data);
  virtual TBookmarkPlace GetBookmarkPlace(TRecordBuffer buffer);
  virtual void SetBookmarkPlace(TRecordBuffer buffer, TBookmarkPlace place);
  virtual void InternalGotoBookmark(const unsigned char* bookmark);
  virtual void InternalPost();
  // Copies the field's value into `buffer` (at most `size` bytes) and tells whether it is present; a null
  // `buffer` asks only for presence. The base class has no data; for a non-native request it reads the native
  // value and converts it with DataConvert.
  virtual bool GetFieldData(TField* field, void* buffer, std::size_t size, bool nativeFormat);
  virtual void DataConvert(TField* field, const void* source, void* destination, std::size_t size, bool toNative);
  virtual int GetRecordCount() { return -1; }
  virtual int GetRecNo() { return -1; }
  // -1, 0 or 1; a null bookmark is missing. The base compares nothing (0).
  virtual int CompareBookmarks(const unsigned char* a, const unsigned char* b);
  virtual bool BookmarkValid(const unsigned char* bookmark);

  // Base behaviour a concrete dataset may extend.
  virtual void InternalRefresh() {}
  virtual void InternalCancel() {}
  virtual void OpenCursor(bool infoQuery);
  virtual void CloseCursor();
  virtual void CreateFields();
  virtual void DestroyFields();
  virtual void BindFields(bool binding);
  virtual void CheckFieldCompatibility(TField* field, TFieldDef* fieldDef);
  virtual void ClearCalcFields(TRecordBuffer) {}
  virtual void FreeFieldBuffers() {}
  virtual void DoBeforeOpen();
  virtual void DoAfterOpen();
  virtual void DoBeforeClose();
  virtual void DoAfterClose();
  virtual void DoBeforeScroll();
  virtual void DoAfterScroll();
  virtual void DoBeforeRefresh();
  virtual void DoAfterRefresh();
  virtual void DoBeforePost();
  virtual void DoAfterPost();
  virtual void DoBeforeCancel();
  virtual void DoAfterCancel();

  // Marks the dataset as being destroyed and closes it without the close events. A concrete dataset calls it
  // first thing in its destructor.
  void CloseOnDestroy();
  void SetState(TDataSetMode value);
  void SetModified(bool value) { modified_ = value; }
  void SetUniDirectional(bool value) { uniDirectional_ = value; }
  void SetBookmarkSize(int size) { bookmarkSize_ = size; }
  // Marks the engine cursor's position as unknown.
  void CursorPosChanged() { cursorRecord_ = -1; }
  bool BookmarkAvailable();

  // The ring (its rules are at the top of DataSet.cpp).
  bool RingIsSound() const;
  int BufferCount() const { return bufferCount_; }
  int FilledCount() const { return filledCount_; }
  int ActiveRecord() const { return activeRecord_; }
  void SetActiveRecord(int index);
  int CursorRecord() const { return cursorRecord_; }
  TRecordBuffer ActiveBuffer() const;
  TRecordBuffer Buffers(int index) const { return buffers_.at(static_cast<std::size_t>(index)); }
  // The entry after the filled ones, where the next fetch goes.
  TRecordBuffer ScratchBuffer() const { return buffers_.at(static_cast<std::size_t>(filledCount_)); }
  int CalcFieldsSize() const { return calcFieldsSize_; }
  int BlobFieldCount() const { return blobFieldCount_; }
  int FieldNoOffset() const { return fieldNoOffset_; }

  void ClearBuffers();
  void UpdateBufferCount();
  bool GetNextRecord();
  bool GetPriorRecord();
  int GetNextRecords();
  int GetPriorRecords();
  void SetCurrentRecord(int index);

private:
  void DoInternalOpen();
  void OpenCursorComplete();
  void SetBufferCount(int value);
  void SetBufListSize(int value);
  void ActivateBuffers();
  void MoveBuffer(int from, int to);
  void AddDataSource(TDataSource* source);
  void RemoveDataSource(TDataSource* source);
  const unsigned char* BookmarkBytes(const TBookmark& bookmark) const;

  TDataSetMode state_ = dmInactive;
  bool modified_ = false;
  std::unique_ptr<TFieldDefs> fieldDefs_;
  TFieldDefList fieldDefList_;
  std::unique_ptr<TFields> fields_;
  std::unique_ptr<TFields> aggFields_;
  std::vector<TDataSource*> dataSources_;
  TDataLink* firstDataLink_ = nullptr;
  std::vector<TRecordBuffer> buffers_;
  int bufferCount_ = 0;
  int filledCount_ = 0;
  int activeRecord_ = 0;
  int cursorRecord_ = -1;
  bool bof_ = true;
  bool eof_ = true;
  int disableCount_ = 0;
  TDataSetMode disableState_ = dmInactive;
  TDataEventKind enableEvent_ = evDataSetChange;
  bool defaultFields_ = false;
  bool internalOpenComplete_ = false;
  bool uniDirectional_ = false;
  bool autoCalcFields_ = true;
  bool objectView_ = false;
  bool fieldListStale_ = true;
  int fieldNoOffset_ = 1;
  int calcFieldsSize_ = 0;
  int blobFieldCount_ = 0;
  bool streamedActive_ = false;
  int bookmarkSize_ = 0;
};
