// Page store throughput: builds and stores 10,000 pages of about 350 texts each, reads every page back, and
// renders one page into a 96-dpi image many times. Prints "key: value" lines.
#include "graphics/Bitmap.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// A page like the client report's: a heading, then rows of six columns until the page is full.
std::unique_ptr<TRLGraphicSurface> BuildPage(int number) {
  auto page = std::make_unique<TRLGraphicSurface>();
  page->SetWidth(794);
  page->SetHeight(1123);
  page->Font().SetName("Verdana");
  page->Font().SetSize(8);
  page->Brush().SetStyle(bsClear);
  page->TextOut({38, 38, 756, 60}, 38, 38, "Relatório de clientes por cidade", MetaTextAlignmentCenter, 1, 0);
  page->TextOut({38, 60, 400, 76}, 38, 60, "Página " + std::to_string(number) + " de {LastPageNumber}", 1, 1, 0);
  static const int columns[] = {38, 98, 318, 458, 558, 658, 756};
  int y = 90;
  int objects = 2;
  for (int row = 0; objects < 350; ++row, y += 17) {
    for (int c = 0; c < 6 && objects < 350; ++c, ++objects) {
      std::string text =
          c == 0 ? std::to_string(number * 100 + row) : "Cliente " + std::to_string(row) + " col " + std::to_string(c);
      page->TextOut({columns[c], y, columns[c + 1], y + 16}, columns[c] + 2, y, text, 1, 1, tfKeepTogether);
    }
  }
  return page;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  const int page_count = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int render_repeats = 40;

  TRLGraphicStorage storage;
  storage.SetLastPageNumber(page_count);
  auto start = Clock::now();
  double peak_at_tenth = 0;
  for (int i = 0; i < page_count; ++i) {
    storage.Add(BuildPage(i + 1));
    if (i + 1 == page_count / 10) peak_at_tenth = PeakMegabytes();
  }
  double store_seconds = Seconds(start);

  start = Clock::now();
  int objects = 0;
  for (int i = 0; i < page_count; ++i) {
    TRLPageRef page = storage.Pages(i);
    if (!page) {
      std::fprintf(stderr, "page %d could not be read\n", i);
      return 1;
    }
    objects += page->ObjectCount();
  }
  double read_seconds = Seconds(start);

  TRLPageRef page = storage.Pages(page_count / 2);
  RenderPageToImage(*page, 1.0);  // warms the font caches
  start = Clock::now();
  for (int i = 0; i < render_repeats; ++i) RenderPageToImage(*page, 1.0);
  double render_seconds = Seconds(start);

  std::printf("pages: %d\n", page_count);
  std::printf("objects_per_page: %d\n", objects / page_count);
  std::printf("store_pages_per_s: %.0f\n", page_count / store_seconds);
  std::printf("read_pages_per_s: %.0f\n", page_count / read_seconds);
  std::printf("render_ms_per_page: %.2f\n", render_seconds * 1000 / render_repeats);
  std::printf("peak_mb_after_tenth_of_pages: %.1f\n", peak_at_tenth);
  std::printf("peak_mb: %.1f\n", PeakMegabytes());
  return 0;
}
