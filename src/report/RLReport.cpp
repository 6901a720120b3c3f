#include "report/RLReport.h"

#include "data/DB.h"
#include "framework/Properties.h"

#include <mutex>

TRLReport::TRLReport(TComponent* owner) : TCustomControl(owner) {}

void TRLReport::SetDataSource(TDataSource* source) {
  if (source == data_source_) return;
  if (data_source_) RemoveFreeNotification(data_source_);
  data_source_ = source;
  if (data_source_) FreeNotification(data_source_);
}

void TRLReport::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == data_source_) data_source_ = nullptr;
}

void TRLReport::Preview() {
  throw Exception(Format("%s: a geração e a visualização de relatórios não estão disponíveis nesta versão", {Name()}));
}

void RegisterReportClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterFrameworkClasses();
    RegisterClass<TRLReport>("TRLReport", "TCustomControl")
        .Reference("DataSource", &TRLReport::DataSource, &TRLReport::SetDataSource);
  });
}
