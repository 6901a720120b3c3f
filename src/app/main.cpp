#include "app/BatchExport.h"
#include "app/FirstStart.h"
#include "app/OpenReportFile.h"
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "core/TerminalText.h"
#include "output/RLFilters.h"
#include "output/RLPreviewForm.h"
#include "output/RLReportProgressWindow.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  InitializeUnits();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args == std::vector<std::string>{"--version"}) {
    std::cout << "relclientes " RELCLIENTES_VERSION "\n";
    return 0;
  }
  const bool demo = args == std::vector<std::string>{"--demo"};
  const bool batch = demo || IsBatchCommandLine(args);
  // A batch run needs no screen: scripts and servers have none.
  if (batch) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The application comes first: it brings the user's language.
  TApplication application(argc, argv);
  application.Initialize();
  if (demo) return RunDemoSetup(std::cout, std::cerr);
  if (batch) return RunBatchExport(args, std::cout, std::cerr);
  InstallReportProgressWindow();
  InstallReportPreviewWindow();
  if (IsReportFileCommandLine(args)) return PreviewReportFile(args[0], std::cerr);
  if (!OfferDemoSetupWhenUnconfigured()) return 1;
  try {
    application.CreateForm<TForm1>();
  } catch (const std::exception& error) {
    // Without its dialog the program has nothing to show.
    std::cerr << "relclientes: " << EscapeMessageForTerminal(error.what()) << '\n';
    return 1;
  }
  application.Run();
  // Output still running in the background ends its document first, so that no printed page is lost.
  FinishBackgroundOutput(true);
  return 0;
}
