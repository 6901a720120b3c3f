#include "app/Units.h"

#include "data/DBRegistration.h"
#include "framework/Properties.h"
#include "report/RLReport.h"

void InitializeUnits() {
  RegisterFrameworkClasses();
  RegisterDataClasses();
  RegisterReportClasses();
}
