#include "app/TelaPrincipal.h"
#include "app/Units.h"

int main(int argc, char** argv) {
  InitializeUnits();
  TApplication application(argc, argv);
  application.Initialize();
  application.CreateForm<TForm1>();
  application.Run();
  return 0;
}
