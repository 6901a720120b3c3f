#pragma once

// Pages and filters for the output tests: a collection of numbered pages, a filter that records what a run does,
// and a temporary folder.

#include "output/RLFeedBack.h"
#include "output/RLFilters.h"
#include "pages/RLMetaFile.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace outputtest {

// Runs `action` once the next modal window is up.
inline void WhenModal(std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start(10);
}

// Page i (from 1): "Page i" on A4, landscape when `wide`.
inline std::unique_ptr<TRLGraphicSurface> NumberedPage(int i, bool wide = false) {
  auto page = std::make_unique<TRLGraphicSurface>();
  page->SetWidth(wide ? 1123 : 794);
  page->SetHeight(wide ? 794 : 1123);
  page->SetOrientation(wide ? 2 : 1);
  page->SetPaperWidth(210);
  page->SetPaperHeight(297);
  page->Font().SetName("Arial");
  page->Font().SetHeight(-16);
  page->TextOut({100, 100, 400, 130}, 100, 100, "Page " + std::to_string(i), 1, 1, 0);
  page->Rectangle(50, 50, 700, 700);
  return page;
}

// Page i (from 1) shows "Page i"; pages for which `landscape` answers true are A4 landscape, the others A4 portrait.
inline TRLGraphicStorage* MakePages(TComponent& owner, int count, bool (*landscape)(int) = nullptr) {
  auto* pages = new TRLGraphicStorage(&owner);
  pages->SetTitle("Relatório de teste");
  pages->SetOrientation(landscape && landscape(1) ? 2 : 1);
  pages->SetPaperWidth(210);
  pages->SetPaperHeight(297);
  for (int i = 1; i <= count; ++i) pages->Add(NumberedPage(i, landscape && landscape(i)));
  return pages;
}

// Records the calls of a run, one entry per call: "begin", "new", "draw N" (the page's number), "end".
class TRecordingFilter : public TRLCustomSaveFilter {
public:
  explicit TRecordingFilter(TComponent* owner = nullptr) : TRLCustomSaveFilter(owner) { SetShowProgress(false); }
  using TRLCustomFilter::SetClassOptions;

  std::vector<std::string> calls;
  int fail_at_page = 0;  // DrawPage of this page raises
  bool fail_begin = false;
  bool completed_at_end = false;
  int progress_max = -1;                   // the progress window's maximum seen at BeginDoc
  std::function<void(int)> while_drawing;  // called with the page's number while it is drawn

protected:
  void BeginDoc() override {
    if (Progress()) progress_max = Progress()->CurrentBar()->Max();
    if (fail_begin) throw Exception("begin failed");
    calls.push_back("begin");
  }
  void EndDoc() override {
    completed_at_end = Completed();
    calls.push_back("end");
  }
  void NewPage() override { calls.push_back("new"); }
  void DrawPage(TRLGraphicSurface& page) override {
    if (page.PageIndex() + 1 == fail_at_page) throw Exception("page failed");
    if (while_drawing) while_drawing(page.PageIndex() + 1);
    calls.push_back("draw " + std::to_string(page.PageIndex() + 1));
  }
};

}  // namespace outputtest
