// The client report generated over a demo client table: rows, pages, time to prepare and peak memory; with
// --pdf FILE also the time of the PDF export of the prepared pages (pdf_s), of their PNG images (png_s), of the same
// pages through Qt's writer (pdf_qt_s) and through ours with every text shaped in full (pdf_noshortcut_s), and of
// preparing again while writing the PDF as the batch export does; with --output also printing to a queue of a private
// print scheduler (the time until the job is handed over), saving through the PDF save filter and saving the report
// file. With --pdf the spreadsheet save filters (.xlsx, .csv) are timed first, with the peak memory before and after
// them.
#include "app/ClientReportSql.h"
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "graphics/GlyphShaper.h"
#include "output/RLFilters.h"
#include "output/RLPrinters.h"
#include "output/RLSaveFilters.h"
#include "output/RLSpoolFilter.h"
#include "output/RLSpreadsheetFilters.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"
#include "pages/RLPdfWhileAdding.h"
#include "pdf/PdfDocument.h"
#include "support/CupsServer.h"

#include "BenchClientDatabase.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  int rows = 10000;
  std::string pdf;
  bool output = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--pdf" && i + 1 < argc) pdf = argv[++i];
    else if (a == "--output") output = true;
    else rows = std::atoi(argv[i]);
  }
  if (!UseBenchClientDatabase(rows, "bench_report")) return 1;

  std::unique_ptr<outputtest::TCupsServer> cups;
  // The files the output measures write.
  const fs::path dir = fs::temp_directory_path() / "relclientes-bench";
  fs::create_directories(dir);
  if (output) {
    // Started before anything asks the printing service, which remembers its server.
    cups = std::make_unique<outputtest::TCupsServer>();
    cups->AddQueue("bench", true);
  }
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
  auto peak_mb = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
  };
  if (!pdf.empty()) {
    // The data as spreadsheets, beside the PDF: before it, so that the peaks tell whose memory is whose.
    std::cout << "before_sheets_peak_mb: " << peak_mb() << '\n';
    for (auto [key, filter] : {std::pair<const char*, TRLCustomSaveFilter*>{"xlsx_s", &XLSXFilter()},
                               std::pair<const char*, TRLCustomSaveFilter*>{"csv_s", &CSVFilter()}}) {
      const auto sheet_start = clock::now();
      filter->SetShowProgress(false);
      filter->SetFileName((fs::path(pdf).replace_extension(filter->DefaultExt())).string());
      filter->Run(pages);
      std::cout << key << ": " << std::chrono::duration<double>(clock::now() - sheet_start).count() << '\n';
    }
    std::cout << "sheets_peak_mb: " << peak_mb() << '\n';
    const auto pdf_start = clock::now();
    SavePagesToPdf(pages, pdf);
    std::cout << "pdf_s: " << std::chrono::duration<double>(clock::now() - pdf_start).count() << '\n';
    std::cout << "pdf_peak_mb: " << peak_mb() << '\n';
    // One image a page, beside the PDF (FILE's folder, FILE's name numbered, .png).
    const auto png_start = clock::now();
    PNGFilter().SetShowProgress(false);
    PNGFilter().SetFileName(fs::path(pdf).replace_extension(".png").string());
    PNGFilter().Run(pages);
    std::cout << "png_s: " << std::chrono::duration<double>(clock::now() - png_start).count() << '\n';
    // The same pages written by Qt's writer alone, beside ours (FILE.qt.pdf).
    const auto qt_start = clock::now();
    {
      auto lock = pages.Lock();
      TPdfDocument qt(pdf + ".qt.pdf", TPdfDocument::TWriter::Qt);
      AddPagesToPdf(qt, pages, 0);
      if (!qt.Close()) return 1;
    }
    std::cout << "pdf_qt_s: " << std::chrono::duration<double>(clock::now() - qt_start).count() << '\n';
    // What the shaper's shortcut saves: every text shaped by HarfBuzz.
    TGlyphShaper::SetShortcut(false);
    const auto full_start = clock::now();
    SavePagesToPdf(pages, pdf);
    std::cout << "pdf_noshortcut_s: " << std::chrono::duration<double>(clock::now() - full_start).count() << '\n';
    TGlyphShaper::SetShortcut(true);
    // As the batch export writes it: the report made again, its pages written while they are made.
    const auto both_start = clock::now();
    if (!SavePagesToPdfWhileAdding(pages, pdf, [&] { return form.RLReport2->Prepare(); })) {
      std::cerr << "bench_report: " << form.RLReport2->PrepareErrorText() << '\n';
      return 1;
    }
    std::cout << "prepare_and_pdf_s: " << std::chrono::duration<double>(clock::now() - both_start).count() << '\n';
  }
  if (output) {
    std::cout << "prepared_peak_mb: " << peak_mb() << '\n';
    // Wall time; the process's processor time goes out beside it, since a busy machine stretches the first.
    auto cpu_seconds = [] {
      rusage usage{};
      getrusage(RUSAGE_SELF, &usage);
      return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    // Prints "key: wall seconds" and "key_cpu: processor seconds" of an action.
    auto timed = [&](const char* key, auto&& action) {
      const auto t0 = clock::now();
      const double c0 = cpu_seconds();
      action();
      std::cout << key << ": " << std::chrono::duration<double>(clock::now() - t0).count() << '\n'
                << key << "_cpu: " << cpu_seconds() - c0 << '\n';
    };
    // Until the job is handed over to the scheduler.
    timed("print_s", [&] {
      SpoolFilter().SetShowProgress(false);
      PrintPages(pages, nullptr);
    });
    const auto jobs = cups->WaitForJobs(1, 600);
    std::cout << "printed_pages: " << (jobs.empty() ? -1 : outputtest::PdfPageCount(jobs[0].File))
              << "\nprinted_mb: " << (jobs.empty() ? 0.0 : fs::file_size(jobs[0].File) / 1048576.0) << '\n';
    // What the save dialog's PDF choice runs, and the report file.
    timed("save_pdf_s", [&] {
      PDFFilter().SetShowProgress(false);
      PDFFilter().SetFileName((dir / "saved.pdf").string());
      PDFFilter().Run(pages);
    });
    std::cout << "saved_pdf_mb: " << fs::file_size(dir / "saved.pdf") / 1048576.0 << '\n';
    timed("save_rpf_s", [&] { pages.SaveToFile((dir / "saved.rpf").string()); });
  }
  std::cout << "peak_mb: " << peak_mb() << '\n';
  return 0;
}
