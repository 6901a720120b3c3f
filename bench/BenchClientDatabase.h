#pragma once

// The demo client table of a benchmark: made once per row count in the temporary folder, with an engine
// configuration whose alias VERANTO names it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

// Points the engine at a client table of `rows` rows, making it first when needed; false when it cannot be made.
inline bool UseBenchClientDatabase(int rows, const char* program) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "relclientes-bench";
  fs::create_directories(dir);
  const fs::path db = dir / ("clients-" + std::to_string(rows) + ".db");
  if (!fs::exists(db)) {
    const std::string command =
        std::string(RELCLIENTES_GEN_DEMO_DB) + " " + db.string() + " " + std::to_string(rows) + " 1";
    if (std::system(command.c_str()) != 0) {
      std::cerr << program << ": " << command << " failed\n";
      return false;
    }
  }
  const fs::path config = dir / ("engine-" + std::to_string(rows) + ".cfg");
  std::ofstream(config) << "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=STANDARD\nPATH=" << db.string()
                        << "\nLANGDRIVER=pt_BR\n";
  setenv("RELCLIENTES_ENGINE_CONFIG", config.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return true;
}
