#pragma once

#include "framework/Controls.h"

class TDataSource;

// The report component. It is a definition the engine generates pages from; it never shows a window of its own.
class TRLReport : public TCustomControl {
public:
  explicit TRLReport(TComponent* owner);

  TDataSource* DataSource() const { return data_source_; }
  void SetDataSource(TDataSource* source);

  // Generates the pages and shows them in the preview window.
  void Preview();

protected:
  QWidget* CreateWidget(QWidget*) override { return nullptr; }
  void Notification(TComponent* component, TOperation operation) override;

private:
  TDataSource* data_source_ = nullptr;
};

// Registers the report engine's classes for stored definitions; safe to call more than once.
void RegisterReportClasses();
