#include "data/DBTables.h"

#include "data/DBConsts.h"

TQuery::TQuery(TComponent* owner) : TDataSet(owner) {
  sql_.OnChange = [this](TObject*) {
    if (!IsLoading()) Close();
    DispatchDataEvent(evPropertyChange, 0);
  };
}

TQuery::~TQuery() {
  sql_.OnChange = nullptr;
  CloseOnDestroy();
}

void TQuery::SetDatabaseName(const std::string& value) {
  CheckInactive();
  databaseName_ = value;
}

void TQuery::InternalOpen() { DatabaseError(SEngineNotAvailable, this); }
