// The client report generated over a demo client table: rows, pages, time to prepare and peak memory; with
// --pdf FILE also the time of the PDF export.
#include "app/ClientReportSql.h"
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  int rows = 10000;
  std::string pdf;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--pdf" && i + 1 < argc) pdf = argv[++i];
    else rows = std::atoi(argv[i]);
  }
  const fs::path dir = fs::temp_directory_path() / "relclientes-bench";
  fs::create_directories(dir);
  const fs::path db = dir / ("clients-" + std::to_string(rows) + ".db");
  if (!fs::exists(db)) {
    const std::string command = std::string(RELCLIENTES_GEN_DEMO_DB) + " " + db.string() + " " + std::to_string(rows) + " 1";
    if (std::system(command.c_str()) != 0) {
      std::cerr << "bench_report: " << command << " failed\n";
      return 1;
    }
  }
  const fs::path config = dir / ("engine-" + std::to_string(rows) + ".cfg");
  std::ofstream(config) << "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=STANDARD\nPATH=" << db.string() << "\nLANGDRIVER=pt_BR\n";
  setenv("RELCLIENTES_ENGINE_CONFIG", config.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  InitializeUnits();
  TApplication application(argc, argv);
  TForm1 form(nullptr);
  form.QRel->SQL().Clear();
  form.QRel->SQL().Add(ClientReportStatement(""));
  form.QRel->Open();
  using clock = std::chrono::steady_clock;
  const auto start = clock::now();
  if (!form.RLReport2->Prepare()) {
    std::cerr << "bench_report: " << form.RLReport2->PrepareErrorText() << '\n';
    return 1;
  }
  const double prepare_s = std::chrono::duration<double>(clock::now() - start).count();
  TRLGraphicStorage& pages = form.RLReport2->Pages();
  std::cout << "rows: " << rows << "\npages: " << pages.PageCount() << "\nprepare_s: " << prepare_s
            << "\nrows_per_s: " << static_cast<long long>(rows / prepare_s) << '\n';
  if (!pdf.empty()) {
    const auto pdf_start = clock::now();
    SavePagesToPdf(pages, pdf);
    std::cout << "pdf_s: " << std::chrono::duration<double>(clock::now() - pdf_start).count() << '\n';
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::cout << "peak_mb: " << usage.ru_maxrss / 1024.0 << '\n';
  return 0;
}
