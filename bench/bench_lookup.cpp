// The lookup over a list of 100,000 distinct texts: loading the dataset's rows into the list data, typing that
// completes one key at a time, opening the drop-down with its first paint, and memory.
// Usage: bench_lookup [TEXTS]
#include "data/MemDataSet.h"
#include "lookup/cxDBLookupComboBox.h"
#include "widgets/Forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Processor time of this thread: on a busy machine it leaves out the time others had the processor.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

// Distinct city-like names: two or three syllables, some accented, and a district number.
std::vector<std::string> Texts(int count) {
  static const char* syllables[] = {"Sa", "São", "Ma",  "Ri",  "Be", "Lé", "Cu",  "ri",  "ti",
                                    "ba", "Na",  "tal", "Jo",  "sé", "Po", "rto", "Flo", "ria",
                                    "nó", "po",  "lis", "Ara", "ca", "ju", "Ví",  "tó"};
  std::mt19937 random(7);
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::string text;
    const int parts = 2 + static_cast<int>(random() % 2);
    for (int p = 0; p < parts; ++p) text += syllables[random() % std::size(syllables)];
    text += " " + std::to_string(i);
    texts.push_back(text);
  }
  return texts;
}

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication qt(argc, argv);
  RegisterLookupClasses();
  const std::vector<std::string> texts = Texts(count);
  std::size_t text_bytes = 0;
  for (const auto& t : texts) text_bytes += t.size();

  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* data = new TMemDataSet(&form);
  data->columns = {{"cidade", ftString, 40}};
  for (const auto& t : texts) data->rows.push_back({t});
  auto* source = new TDataSource(&form);
  source->SetDataSet(data);
  auto* edit = new TcxLookupComboBox(&form);
  edit->SetParent(&form);
  edit->SetBounds(10, 10, 281, 21);
  edit->Properties().SetKeyFieldNames("cidade");
  edit->Properties().ListColumns().Add()->SetFieldName("cidade");
  edit->Properties().SetListSource(source);
  auto& list = edit->Properties().DataController();

  std::vector<double> loads, load_cpu;
  for (int run = 0; run < 5; ++run) {
    data->Close();
    const auto start = Clock::now();
    const double cpu = CpuMs();
    data->Open();
    loads.push_back(Ms(Clock::now() - start));
    load_cpu.push_back(CpuMs() - cpu);
  }
  if (list.RecordCount() != count) {
    std::fprintf(stderr, "bench_lookup: loaded %d of %d records\n", list.RecordCount(), count);
    return 1;
  }

  form.Show();
  QApplication::processEvents();
  QLineEdit* text = edit->Widget()->findChild<QLineEdit*>();
  text->setFocus();

  std::vector<double> opens, open_cpu;
  for (int run = 0; run < 20; ++run) {
    const auto start = Clock::now();
    const double cpu = CpuMs();
    edit->DropDown();
    // The first paint, rendered at once.
    edit->Properties().Grid().Widget()->grab();
    opens.push_back(Ms(Clock::now() - start));
    open_cpu.push_back(CpuMs() - cpu);
    if (!edit->DroppedDown()) {
      std::fprintf(stderr, "bench_lookup: the list did not open\n");
      return 1;
    }
    edit->CloseUp(false);
    QApplication::processEvents();
  }

  // Words typed one key at a time, each starting from an empty editor; every key completes an entry.
  std::mt19937 random(11);
  std::vector<double> keys, key_cpu;
  int completed = 0;
  for (int word = 0; word < 200; ++word) {
    edit->CloseUp(false);
    edit->SetEditValue(Variant(std::string()));
    QApplication::processEvents();
    const QString target = QString::fromStdString(texts[random() % texts.size()]).left(6);
    for (QChar c : target) {
      const auto start = Clock::now();
      const double cpu = CpuMs();
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(text, &press);
      QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(text, &release);
      QApplication::processEvents();
      keys.push_back(Ms(Clock::now() - start));
      key_cpu.push_back(CpuMs() - cpu);
    }
    completed += edit->GetText().empty() ? 0 : 1;
  }

  std::printf("texts: %d\n", count);
  std::printf("load_ms: %.2f\n", Percentile(loads, 0.5));
  std::printf("load_cpu_ms: %.2f\n", Percentile(load_cpu, 0.5));
  std::printf("keystroke_ms_p50: %.3f\n", Percentile(keys, 0.5));
  std::printf("keystroke_ms_p99: %.3f\n", Percentile(keys, 0.99));
  std::printf("keystroke_cpu_ms_p99: %.3f\n", Percentile(key_cpu, 0.99));
  std::printf("keystrokes: %zu (words completed: %d of 200)\n", keys.size(), completed);
  std::printf("dropdown_open_ms: %.2f\n", Percentile(opens, 0.5));
  std::printf("dropdown_open_cpu_ms: %.2f\n", Percentile(open_cpu, 0.5));
  std::printf("text_mb: %.2f\n", static_cast<double>(text_bytes) / (1024.0 * 1024.0));
  std::printf("list_data_mb: %.2f\n", static_cast<double>(list.Storage().MemoryUsed() +
                                                          sizeof(int) * static_cast<std::size_t>(list.RowCount())) /
                                          (1024.0 * 1024.0));
  std::printf("peak_mb: %.1f\n", static_cast<double>(PeakKb()) / 1024.0);
  return 0;
}
