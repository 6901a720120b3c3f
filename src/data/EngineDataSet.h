#pragma once

#include "data/DataSet.h"
#include "engine/Engine.h"

#include <cstdint>
#include <string>
#include <vector>

class TDatabase;
class TSession;

enum TFilterOptionFlag { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOptionFlag>;
using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;

// A dataset over an engine cursor. A subclass supplies the cursor (CreateHandle); this class turns the cursor's
// description into field definitions and reads its records into the ring.
//
// A record buffer holds, in order: the engine record, the calculated fields, one cached text reference per blob
// field, the record information (record number, update status, bookmark place) and the engine bookmark.
class TEngineDataSet : public TDataSet {
public:
  explicit TEngineDataSet(TComponent* owner);
  ~TEngineDataSet() override;

  bool CachedUpdates() const { return cachedUpdates_; }
  void SetCachedUpdates(bool value);

  engine::CursorHandle Handle() const { return handle_; }
  engine::LocaleHandle Locale() const { return locale_; }
  int RecordSize() const { return static_cast<int>(recordSize_); }
  int RecordBufferSize() const { return static_cast<int>(recordBufferSize_); }
  bool CanModify() const { return canModify_; }

  std::string Translate(std::string_view source, bool toEngine) override;
  bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override;
  void SetRecNo(int value) override;
  bool HasRecordNumbers() override;
  bool IsSequenced() override;

protected:
  // The cursor of the subclass; a cleared handle when it has none.
  virtual engine::CursorHandle CreateHandle() { return {}; }
  // The session whose lock guards this dataset's engine calls.
  virtual TSession* DataSession() const;
  virtual bool Filtered() const { return false; }
  void SetLocale(engine::LocaleHandle locale) { locale_ = locale; }
  void DestroyHandle();

  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& buffer) override;
  TFetchResult GetRecord(TRecordBuffer buffer, TFetchMode mode, bool doCheck) override;
  void InternalOpen() override;
  void InternalClose() override;
  void InternalInitFieldDefs() override;
  bool IsCursorOpen() const override { return static_cast<bool>(handle_); }
  void InternalFirst() override;
  void InternalLast() override;
  void InternalSetToRecord(TRecordBuffer buffer) override;
  void GetBookmarkData(TRecordBuffer buffer, unsigned char* data) override;
  void SetBookmarkData(TRecordBuffer buffer, const unsigned char* data) override;
  TBookmarkPlace GetBookmarkPlace(TRecordBuffer buffer) override;
  void SetBookmarkPlace(TRecordBuffer buffer, TBookmarkPlace place) override;
  void InternalGotoBookmark(const unsigned char* bookmark) override;
  void InternalRefresh() override;
  bool GetFieldData(TField* field, void* buffer, std::size_t size, bool nativeFormat) override;
  int GetRecordCount() override;
  int GetRecNo() override;
  int CompareBookmarks(const unsigned char* a, const unsigned char* b) override;
  bool BookmarkValid(const unsigned char* bookmark) override;
  void ClearCalcFields(TRecordBuffer buffer) override;
  void OpenCursor(bool infoQuery) override;
  void CloseCursor() override;

private:
  struct RecordInfo {
    std::int32_t recordNumber;
    std::uint8_t updateStatus;
    std::uint8_t bookmarkPlace;
  };
  RecordInfo ReadInfo(TRecordBuffer buffer) const;
  void WriteInfo(TRecordBuffer buffer, const RecordInfo& info) const;
  void AddFieldDef(const engine::FieldDesc& desc, int fieldNo, const std::vector<bool>& required);
  TRecordBuffer FieldBuffer() const;

  engine::CursorHandle handle_;
  engine::LocaleHandle locale_;
  std::uint32_t recordSize_ = 0;
  std::uint32_t calcAreaOffset_ = 0;
  std::uint32_t blobCacheOffset_ = 0;
  std::uint32_t recordInfoOffset_ = 0;
  std::uint32_t bookmarkOffset_ = 0;
  std::uint32_t recordBufferSize_ = 0;
  std::uint16_t engineBookmarkSize_ = 0;
  engine::RecordNumbering numbering_ = engine::RecordNumbering::None;
  bool canModify_ = false;
  bool cachedUpdates_ = false;
  // Field lengths in the engine record, by field number, for values wider than the caller's buffer.
  std::vector<std::uint32_t> fieldLengths_;
  std::vector<std::uint16_t> fieldTypes_;
  std::vector<char> wideValue_;
};

// An engine dataset that reaches its cursor through a database of a session.
class TDBDataSet : public TEngineDataSet {
public:
  explicit TDBDataSet(TComponent* owner);
  ~TDBDataSet() override;

  bool AutoRefresh() const { return autoRefresh_; }
  void SetAutoRefresh(bool value);
  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string& value);
  const std::string& SessionName() const { return sessionName_; }
  void SetSessionName(const std::string& value);
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& value) { filter_ = value; }
  bool Filtered() const override { return filtered_; }
  void SetFiltered(bool value) { filtered_ = value; }
  TFilterOptions FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(TFilterOptions value) { filterOptions_ = value; }
  TFilterRecordEvent OnFilterRecord;

  // The database in use while the dataset is open or prepared; nullptr otherwise.
  TDatabase* Database() const { return database_; }
  // The session the dataset's SessionName names.
  TSession* DBSession() const;
  // Closes the dataset and lets go of everything it holds of its database.
  virtual void Disconnect() { Close(); }

  enum TDBFlag { dbfOpened = 0, dbfPrepared = 1, dbfExecSQL = 2 };
  bool DBFlag(TDBFlag flag) const { return (dbFlags_ >> flag) & 1u; }

protected:
  TSession* DataSession() const override;
  // The database is acquired when the first flag is set and released when the last one is cleared.
  virtual void SetDBFlag(TDBFlag flag, bool value);
  unsigned DBFlags() const { return dbFlags_; }
  void OpenCursor(bool infoQuery) override;
  void CloseCursor() override;

private:
  void AcquireDatabase();
  void ReleaseDatabase();

  std::string databaseName_, sessionName_, filter_;
  bool autoRefresh_ = false;
  bool filtered_ = false;
  TFilterOptions filterOptions_;
  TDatabase* database_ = nullptr;
  unsigned dbFlags_ = 0;
};
