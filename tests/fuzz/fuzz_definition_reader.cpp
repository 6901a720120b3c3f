// Feeds arbitrary text to the definition reader, with the framework's, the data's and the report's classes
// registered. A text either reads or fails with the program's own error, leaving the root without components;
// one that reads is written back, and that text reads again and writes the same.
#include "core/Definitions.h"
#include "core/Properties.h"
#include "data/DBRegistration.h"
#include "report/RLReport.h"
#include "support/TestApplication.h"
#include "widgets/Forms.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // No engine configuration: a dataset told to open fails instead of finding a database of the machine.
  setenv("RELCLIENTES_ENGINE_CONFIG", "/nonexistent/engine.cfg", 1);
  static std::unique_ptr<TApplication> application = MakeTestApplication();
  RegisterFrameworkClasses();
  RegisterDataClasses();
  RegisterReportClasses();
  return 0;
}

namespace {

// Reads `text` into a fresh form and writes it back; empty when it does not read.
bool ReadAndWrite(const std::string& text, std::string& written) {
  TForm form(nullptr);
  try {
    ReadDefinition(form, text);
  } catch (const Exception&) {
    if (form.ComponentCount() != 0) std::abort();
    return false;
  }
  written = WriteDefinition(form);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string first, second;
  if (!ReadAndWrite(text, first)) return 0;
  if (!ReadAndWrite(first, second)) std::abort();
  if (first != second) std::abort();
  return 0;
}
