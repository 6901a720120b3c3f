// The client report generated over a demo client table: rows, pages, time to prepare and peak memory; with
// --pdf FILE also the time of the PDF export.
#include "app/ClientReportSql.h"
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"

#include "BenchClientDatabase.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  int rows = 10000;
  std::string pdf;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--pdf" && i + 1 < argc) pdf = argv[++i];
    else rows = std::atoi(argv[i]);
  }
  if (!UseBenchClientDatabase(rows, "bench_report")) return 1;

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
