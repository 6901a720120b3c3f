#include "app/TelaPrincipal.h"
#include "app/Units.h"

#include <iostream>

int main(int argc, char** argv) {
  InitializeUnits();
  TApplication application(argc, argv);
  application.Initialize();
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
