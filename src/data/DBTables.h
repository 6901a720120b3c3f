#pragma once

#include "data/DataSet.h"
#include "framework/Strings.h"

// An SQL query over a database alias. This build has no database engine behind it: opening raises an
// EDatabaseError that says so.
class TQuery : public TDataSet {
public:
  explicit TQuery(TComponent* owner);
  ~TQuery() override;

  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string& value);
  // Changing the lines closes the query.
  TStrings& SQL() { return sql_; }

protected:
  TRecordBuffer AllocRecordBuffer() override { return nullptr; }
  void FreeRecordBuffer(TRecordBuffer& buffer) override { buffer = nullptr; }
  TFetchResult GetRecord(TRecordBuffer, TFetchMode, bool) override { return frEOF; }
  void InternalOpen() override;
  void InternalClose() override {}
  void InternalInitFieldDefs() override {}
  bool IsCursorOpen() const override { return false; }
  void InternalFirst() override {}
  void InternalLast() override {}
  void InternalSetToRecord(TRecordBuffer) override {}
  TBookmarkPlace GetBookmarkPlace(TRecordBuffer) override { return bpCurrent; }

private:
  std::string databaseName_;
  TStrings sql_;
};
