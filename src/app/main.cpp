#include "app/BatchExport.h"
#include "app/OpenReportFile.h"
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "output/RLFilters.h"
#include "output/RLPreviewForm.h"
#include "output/RLReportProgressWindow.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  InitializeUnits();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool batch = IsBatchCommandLine(args);
  // A batch run needs no screen: scripts and servers have none.
  if (batch) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TApplication application(argc, argv);
  application.Initialize();
  if (batch) return RunBatchExport(args, std::cout, std::cerr);
  InstallReportProgressWindow();
  InstallReportPreviewWindow();
  if (IsReportFileCommandLine(args)) return PreviewReportFile(args[0], std::cerr);
  try {
    application.CreateForm<TForm1>();
  } catch (const std::exception& error) {
    // Without its dialog the program has nothing to show.
    std::cerr << "relclientes: " << error.what() << '\n';
    return 1;
  }
  application.Run();
  // Output still running in the background ends its document first, so that no printed page is lost.
  FinishBackgroundOutput(true);
  return 0;
}
