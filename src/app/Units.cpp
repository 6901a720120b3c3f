#include "app/Units.h"

#include "app/TelaPrincipal.h"

#include "core/Properties.h"
#include "data/DBRegistration.h"
#include "lookup/cxDBLookupComboBox.h"
#include "output/RLOutputActions.h"
#include "report/RLReport.h"

#include <mutex>

void InitializeUnits() {
  RegisterFrameworkClasses();
  RegisterDataClasses();
  RegisterReportClasses();
  InstallReportOutput();
  RegisterLookupClasses();
  static std::once_flag once;
  std::call_once(once, [] { RegisterClass<TForm1>("TForm1", "TForm"); });
}
