#include "app/BatchExport.h"
#include "app/TelaPrincipal.h"
#include "app/Units.h"

#include <iostream>

int main(int argc, char** argv) {
  InitializeUnits();
  const std::vector<std::string> args(argv + 1, argv + argc);
  TApplication application(argc, argv);
  application.Initialize();
  if (IsBatchCommandLine(args)) return RunBatchExport(args, std::cout, std::cerr);
  try {
    application.CreateForm<TForm1>();
  } catch (const std::exception& error) {
    // Without its dialog the program has nothing to show.
    std::cerr << "relclientes: " << error.what() << '\n';
    return 1;
  }
  application.Run();
  return 0;
}
