// The client report in a real preview window (offscreen): the first page from the click that starts the report
// (query and generation included) and from the end of generation, a page turn through every page at 100%, a search
// for a text that only the last page holds, and the memory while paging.
#include "app/ClientReportSql.h"
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "output/RLPreviewForm.h"
#include "pages/RLMetaFile.h"

#include "BenchClientDatabase.h"

#include <QApplication>
#include <QWidget>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

double ResidentMegabytes() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Paints the first box now, as the screen would at the next chance.
void PaintNow(TRLPreview& preview) { preview.Boxes(0)->Widget()->repaint(); }

// A client code on the last page: codes are unique, so no other page holds it.
std::string TextOfTheLastPage(TRLGraphicStorage& pages) {
  TRLPageRef page = pages.Pages(pages.PageCount() - 1);
  std::string code;
  for (int i = 0; page && i < page->ObjectCount(); ++i) {
    auto* text = dynamic_cast<const TRLTextObject*>(page->Objects(i));
    if (text && text->Text().size() == 6 && std::all_of(text->Text().begin(), text->Text().end(), ::isdigit)) {
      code = text->Text();
    }
  }
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  if (!UseBenchClientDatabase(rows, "bench_preview")) return 1;

  InitializeUnits();
  TApplication application(argc, argv);
  TForm1 dialog(nullptr);
  // What the dialog's "Relatório" button runs: the query, the report's generation, then the preview window.
  const auto click = Clock::now();
  dialog.QRel->SQL().Clear();
  dialog.QRel->SQL().Add(ClientReportStatement(""));
  dialog.QRel->Open();
  if (!dialog.RLReport2->Prepare()) {
    std::cerr << "bench_preview: " << dialog.RLReport2->PrepareErrorText() << '\n';
    return 1;
  }
  TRLGraphicStorage& pages = dialog.RLReport2->Pages();

  // From the end of generation to the first page on the screen.
  auto start = Clock::now();
  TRLPreviewForm window;
  window.SetBounds(0, 0, 1280, 1024);
  TRLPreview& preview = *window.Previews(0);
  preview.SetPages(&pages);
  window.Show();
  QApplication::processEvents();
  PaintNow(preview);
  const double first_page_ms = Milliseconds(start);
  const double click_to_first_page_ms = Milliseconds(click);

  // Every page in turn, read from the page store and painted.
  const double rss_start = ResidentMegabytes();
  std::vector<double> turns;
  turns.reserve(static_cast<std::size_t>(pages.PageCount()));
  while (preview.CurrentPageNumber() < preview.LastPageNumber()) {
    start = Clock::now();
    preview.NextPage();
    PaintNow(preview);
    turns.push_back(Milliseconds(start));
  }
  QApplication::processEvents();
  const double rss_end = ResidentMegabytes();
  std::sort(turns.begin(), turns.end());
  auto percentile = [&](double p) {
    return turns.empty() ? 0.0 : turns[std::min(turns.size() - 1, static_cast<std::size_t>(p * turns.size()))];
  };

  // A text only the last page holds, searched from the first page.
  const std::string wanted = TextOfTheLastPage(pages);
  preview.FirstPage();
  PaintNow(preview);
  start = Clock::now();
  const bool found = preview.Find(wanted, false, true);
  PaintNow(preview);
  const double find_ms = Milliseconds(start);

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::cout << "rows: " << rows << "\npages: " << pages.PageCount() << "\nfirst_page_ms: " << first_page_ms
            << "\nclick_to_first_page_ms: " << click_to_first_page_ms << "\npage_turns: " << turns.size()
            << "\npage_turn_ms_p50: " << percentile(0.50) << "\npage_turn_ms_p99: " << percentile(0.99)
            << "\npage_turn_ms_max: " << (turns.empty() ? 0 : turns.back()) << "\nfind_last_page_ms: " << find_ms
            << "\nfind_found_page: " << (found ? preview.CurrentPageNumber() : 0)
            << "\nrss_paging_start_mb: " << rss_start << "\nrss_paging_end_mb: " << rss_end
            << "\npeak_mb: " << usage.ru_maxrss / 1024.0 << '\n';
  window.Hide();
  return found ? 0 : 1;
}
