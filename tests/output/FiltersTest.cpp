#include "OutputTestSupport.h"

#include "output/RLPrinters.h"
#include "output/RLSaveFilters.h"
#include "output/RLSpoolFilter.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaVCL.h"
#include "widgets/Threads.h"

#include "support/CupsServer.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

namespace {

using namespace outputtest;
namespace fs = std::filesystem;

using Calls = std::vector<std::string>;

class Filters : public testing::Test {
protected:
  void SetUp() override {
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };
  }
  void TearDown() override { FinishBackgroundOutput(false); }

  static std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Runs the PDF and the PNG filter over `pages`, each onto a file of its own already in `folder`: each run must
  // fail, and leave that file as it was and nothing beside it.
  static void ExpectSaveFiltersFailAndKeepThePreviousFile(TRLGraphicStorage& pages, const TempFolder& folder) {
    for (TRLCustomSaveFilter* filter :
         {static_cast<TRLCustomSaveFilter*>(&PDFFilter()), static_cast<TRLCustomSaveFilter*>(&PNGFilter())}) {
      SCOPED_TRACE(filter->GetDisplayName());
      const fs::path target = folder.path() / ("old" + filter->DefaultExt());
      std::ofstream(target) << "the previous file";
      filter->SetShowProgress(false);
      filter->SetFileName(target.string());
      EXPECT_THROW(filter->Run(pages), Exception);
      EXPECT_EQ(Read(target), "the previous file");
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"old.pdf", "old.png"}));
  }

  // Messages are looked for in Portuguese unless a test starts the program in another language.
  ScopedEnv language_{"LC_ALL", "pt_BR.UTF-8"};
  std::unique_ptr<TApplication> application_;
  std::vector<std::string> errors_;
  TComponent owner_{nullptr};
};

TEST_F(Filters, TheRangeIsClampedToThePages) {
  TRLGraphicStorage* pages = MakePages(owner_, 10);
  struct Case {
    int first, last;
    int from, to;
    Calls calls;
  };
  const Case cases[] = {
      {3,
       99,
       3,
       10,
       {"begin", "draw 3", "new", "draw 4", "new", "draw 5", "new", "draw 6", "new", "draw 7", "new", "draw 8", "new",
        "draw 9", "new", "draw 10", "end"}},
      {0, 2, 1, 2, {"begin", "draw 1", "new", "draw 2", "end"}},
      {9, -1, 9, 10, {"begin", "draw 9", "new", "draw 10", "end"}},
      {4, 4, 4, 4, {"begin", "draw 4", "end"}},
      // A last page of 0 outputs nothing, but the document is still begun and ended.
      {1, 0, 1, 0, {"begin", "end"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
    TRecordingFilter filter;
    filter.Run(*pages, c.first, false, c.last);
    EXPECT_EQ(filter.FromPageNo(), c.from);
    EXPECT_EQ(filter.ToPageNo(), c.to);
    EXPECT_EQ(filter.calls, c.calls);
    EXPECT_EQ(filter.Pages(), nullptr);
    EXPECT_EQ(pages->LinkCount(), 0);
  }
}

TEST_F(Filters, AFilterThatMakesCopiesRepeatsTheRangeAsOftenAsThePrinterCopies) {
  TRLGraphicStorage* pages = MakePages(owner_, 3);
  RLPrinter().SetCopies(2);
  TRecordingFilter copying, plain;
  copying.SetClassOptions(fcoMakesCopies);
  copying.Run(*pages, 2, false, 3);
  plain.Run(*pages, 2, false, 3);
  RLPrinter().SetCopies(1);
  EXPECT_EQ(copying.PhysicalCopies(), 2);
  EXPECT_EQ(copying.calls, (Calls{"begin", "draw 2", "new", "draw 3", "new", "draw 2", "new", "draw 3", "end"}));
  EXPECT_EQ(plain.PhysicalCopies(), 1);
  EXPECT_EQ(plain.calls, (Calls{"begin", "draw 2", "new", "draw 3", "end"}));
}

TEST_F(Filters, ErrorsEndTheDocumentUnlinkAndReachTheCaller) {
  TRLGraphicStorage* pages = MakePages(owner_, 5);
  TRecordingFilter drawing;
  drawing.fail_at_page = 3;
  EXPECT_THROW(drawing.Run(*pages), Exception);
  EXPECT_EQ(drawing.calls, (Calls{"begin", "draw 1", "new", "draw 2", "new", "end"}));
  EXPECT_FALSE(drawing.completed_at_end);
  EXPECT_FALSE(drawing.Running());

  // A failed start skips the pages and the end of the document.
  TRecordingFilter beginning;
  beginning.fail_begin = true;
  beginning.SetShowProgress(true);
  EXPECT_THROW(beginning.Run(*pages), Exception);
  EXPECT_TRUE(beginning.calls.empty());
  EXPECT_EQ(beginning.Progress(), nullptr);
  EXPECT_EQ(pages->LinkCount(), 0);

  // The filter works again afterwards.
  TRecordingFilter again;
  again.Run(*pages, 5);
  EXPECT_TRUE(again.completed_at_end);
}

TEST_F(Filters, TheProgressWindowCountsPagesTimesCopiesAndNamesTheFamily) {
  TRLGraphicStorage* pages = MakePages(owner_, 6);
  TRecordingFilter filter;
  filter.SetShowProgress(true);
  filter.Run(*pages, 2, false, 5);
  EXPECT_EQ(filter.progress_max, 4);
  EXPECT_EQ(filter.Progress(), nullptr);  // closed when the run ends
}

TEST_F(Filters, CancelStopsAfterThePageBeingOutputAndStillEndsTheDocument) {
  TRLGraphicStorage* pages = MakePages(owner_, 50);
  TRecordingFilter filter;
  filter.SetShowProgress(true);
  // The user presses Cancel while page 5 is being drawn.
  filter.while_drawing = [&](int page) {
    if (page == 5) Synchronize([&] { filter.Progress()->BitBtnCancel->Click(); });
  };
  filter.Run(*pages, 1, true);
  FinishBackgroundOutput(false);
  ASSERT_FALSE(filter.calls.empty());
  EXPECT_EQ(filter.calls.back(), "end");
  EXPECT_EQ(std::count_if(filter.calls.begin(), filter.calls.end(), [](auto& c) { return c.rfind("draw", 0) == 0; }),
            5);
  EXPECT_FALSE(filter.completed_at_end);
  EXPECT_EQ(filter.Progress(), nullptr);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Filters, ABackgroundRunThatFailsTellsTheUser) {
  TRLGraphicStorage* pages = MakePages(owner_, 4);
  TRecordingFilter filter;
  filter.fail_at_page = 2;
  filter.Run(*pages, 1, true);
  FinishBackgroundOutput(false);
  EXPECT_EQ(errors_, (std::vector<std::string>{"page failed"}));
  EXPECT_EQ(filter.calls, (Calls{"begin", "draw 1", "new", "end"}));
}

// `count` pages whose page `unreadable` (from 1, after the first) cannot be read back, nor the ones after it that
// are no longer held in memory: the temporary file ends a few bytes into that page's record.
TRLGraphicStorage* PagesCutShortAt(TComponent& owner, int count, int unreadable) {
  TRLGraphicStorage* pages = MakePages(owner, unreadable - 1);
  const auto record = fs::file_size(pages->TempFileName());
  for (int i = unreadable; i <= count; ++i) pages->Add(NumberedPage(i));
  fs::resize_file(pages->TempFileName(), record + 8);
  return pages;
}

// The pages before it are output and the document ended, but the run fails as a failed page would: on the caller's
// thread it raises, in the background it is shown; and it never counts as complete.
TEST_F(Filters, APageThatCannotBeReadEndsTheRunWithAnError) {
  for (bool background : {false, true}) {
    SCOPED_TRACE(background ? "in the background" : "on the caller's thread");
    errors_.clear();
    TRLGraphicStorage* pages = PagesCutShortAt(owner_, 10, 3);
    TRecordingFilter filter;
    if (background) {
      filter.Run(*pages, 1, true);
      FinishBackgroundOutput(false);
    } else {
      try {
        filter.Run(*pages);
        ADD_FAILURE() << "the run ended as if whole";
      } catch (const Exception& error) {
        errors_.push_back(error.Message());
      }
    }
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find("Page 3"), std::string::npos) << errors_[0];
    EXPECT_EQ(filter.calls, (Calls{"begin", "draw 1", "new", "draw 2", "new", "end"}));
    EXPECT_FALSE(filter.completed_at_end);
    EXPECT_FALSE(filter.Running());
    EXPECT_EQ(pages->LinkCount(), 0);
  }

  // A save filter keeps the file that was there.
  TempFolder folder;
  TRLGraphicStorage* pages = PagesCutShortAt(owner_, 10, 3);
  ExpectSaveFiltersFailAndKeepThePreviousFile(*pages, folder);
}

TEST_F(Filters, ASecondRunOfABusyFilterIsRefusedAndTheFirstGoesOn) {
  TRLGraphicStorage* pages = MakePages(owner_, 30);
  TRecordingFilter filter;
  filter.SetShowProgress(true);
  // The worker waits for the main thread to show its progress window: it is surely still running here.
  filter.Run(*pages, 1, true);
  try {
    filter.Run(*pages, 1, false);
    ADD_FAILURE() << "a second run started";
  } catch (const Exception& error) {
    EXPECT_NE(error.Message().find("andamento"), std::string::npos) << error.Message();
  }
  FinishBackgroundOutput(false);
  EXPECT_EQ(filter.calls.size(), 30u * 2 + 1);
  EXPECT_EQ(filter.calls.back(), "end");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Filters, ABackgroundRunAndTheMainThreadReadTheSamePagesSafely) {
  TRLGraphicStorage* pages = MakePages(owner_, 40);
  TRecordingFilter filter;
  filter.Run(*pages, 1, true);
  // Paging back and forth as a preview does, while the worker reads the pages too.
  int painted = 0;
  while (filter.Running()) {
    for (int i : {0, 39, 7, 20, 1}) {
      TRLPageRef page = pages->Pages(i);
      ASSERT_TRUE(page);
      RenderPageToImage(*page, 0.25);
      ++painted;
    }
    Application()->ProcessMessages();
  }
  FinishBackgroundOutput(false);
  EXPECT_EQ(std::count_if(filter.calls.begin(), filter.calls.end(), [](auto& c) { return c.rfind("draw", 0) == 0; }),
            40);
  EXPECT_GT(painted, 0);
}

// A preview window frees its pages, and its caller the filter, as soon as the wait for the runs on them returns: by
// then no thread may still touch either, also when the thread is still telling the user of an error.
TEST_F(Filters, TheWaitForTheRunsOnPagesEndsOnlyAfterTheirThreadsLetTheFiltersGo) {
  TRLGraphicStorage* pages = MakePages(owner_, 3);
  for (int fail_at_page : {0, 2}) {
    for (int round = 0; round < 10; ++round) {
      SCOPED_TRACE("failing at page " + std::to_string(fail_at_page) + ", round " + std::to_string(round));
      errors_.clear();
      auto filter = std::make_unique<TRecordingFilter>();
      filter->fail_at_page = fail_at_page;
      filter->Run(*pages, 1, true);
      WaitForOutputOf(*pages);
      EXPECT_FALSE(filter->Running());
      EXPECT_FALSE(BackgroundOutputRunning());
      ASSERT_EQ(filter->calls.back(), "end");
      EXPECT_EQ(errors_.size(), fail_at_page ? 1u : 0u);
    }
  }
}

TEST_F(Filters, TheFilterListKeepsCreationOrderAndFindsSaveFiltersByExtension) {
  TRecordingFilter text, other;
  text.SetDefaultExt("txt");
  other.SetDefaultExt(".xyz");
  auto list = FilterList();
  auto at = [&](TRLCustomFilter* f) { return std::find(list.begin(), list.end(), f) - list.begin(); };
  ASSERT_LT(at(&text), static_cast<long>(list.size()));
  EXPECT_LT(at(&text), at(&other));
  struct Case {
    const char* name;
    TRLCustomSaveFilter* filter;
  };
  const Case cases[] = {{"notes.TXT", &text},    {"a/b/notes.txt", &text}, {"report.XyZ", &other},
                        {"report.rpf", nullptr}, {"report", nullptr},      {"txt", nullptr}};
  for (const Case& c : cases) EXPECT_EQ(SaveFilterByExt(c.name), c.filter) << c.name;
  {
    TRecordingFilter gone;
    EXPECT_EQ(FilterList().size(), list.size() + 1);
  }
  EXPECT_EQ(FilterList(), list);
}

TEST_F(Filters, ThePdfAndPngFiltersWriteTheRangeAndAreFoundByExtension) {
  TempFolder folder;
  TRLGraphicStorage* pages = MakePages(owner_, 5, [](int i) { return i == 4; });
  EXPECT_EQ(SaveFilterByExt("x.pdf"), &PDFFilter());
  EXPECT_EQ(SaveFilterByExt("x.PNG"), &PNGFilter());
  EXPECT_EQ(PDFFilter().GetDisplayName(), "PDF");

  PDFFilter().SetShowProgress(false);
  PDFFilter().SetFileName((folder.path() / "r.pdf").string());
  PDFFilter().Run(*pages, 2, false, 4);
  EXPECT_EQ(PdfPageCount(folder.path() / "r.pdf"), 3);
  std::string text = PdfText(folder.path() / "r.pdf");
  EXPECT_NE(text.find("Page 2"), std::string::npos);
  EXPECT_NE(text.find("Page 4"), std::string::npos);
  EXPECT_EQ(text.find("Page 1"), std::string::npos);
  EXPECT_EQ(PdfPageSize(folder.path() / "r.pdf", 1).substr(0, 3), "595");  // A4 portrait, in points
  EXPECT_EQ(PdfPageSize(folder.path() / "r.pdf", 3).substr(0, 3), "842");  // the landscape page

  PNGFilter().SetShowProgress(false);
  PNGFilter().SetFileName((folder.path() / "p.png").string());
  PNGFilter().Run(*pages, 4, false, 5);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"p4.png", "p5.png", "r.pdf"}));
  EXPECT_EQ(Read(folder.path() / "p5.png").substr(0, 4), "\x89PNG");
}

// Page images sort in page order: the number is padded to the digits of the report's page count.
// The images are encoded on several threads: each file must still hold its own page, drawn as the preview draws it.
TEST_F(Filters, EachPngFileHoldsTheImageOfItsOwnPage) {
  TempFolder folder;
  TRLGraphicStorage* pages = MakePages(owner_, 12, [](int i) { return i % 5 == 0; });
  PNGFilter().SetShowProgress(false);
  PNGFilter().SetFileName((folder.path() / "p.png").string());
  PNGFilter().Run(*pages);
  for (int i = 1; i <= 12; ++i) {
    SCOPED_TRACE(i);
    const fs::path file = folder.path() / PNGPageFileName("p.png", i, 12);
    QImage written(QString::fromStdString(file.string()));
    TRLPageRef page = pages->Pages(i - 1);
    const QImage drawn = RenderPageToImage(*page, 1.0)->Image();
    ASSERT_EQ(written.size(), drawn.size());
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32));
  }
}

TEST_F(Filters, PngPagesAreNumberedWithTheDigitsOfThePageCount) {
  struct Case {
    const char* target;
    int page, pages;
    const char* name;
  };
  const Case cases[] = {
      {"/a/clientes.png", 1, 34, "/a/clientes01.png"}, {"/a/clientes.png", 34, 34, "/a/clientes34.png"},
      {"clientes.png", 5, 9, "clientes5.png"},         {"clientes.png", 7, 100, "clientes007.png"},
      {"/a/b.c/clientes", 3, 12, "/a/b.c/clientes03"},
  };
  for (const Case& c : cases) EXPECT_EQ(PNGPageFileName(c.target, c.page, c.pages), c.name) << c.target << c.page;

  TempFolder folder;
  TRLGraphicStorage* pages = MakePages(owner_, 10);
  PNGFilter().SetShowProgress(false);
  PNGFilter().SetFileName((folder.path() / "p.png").string());
  PNGFilter().Run(*pages, 8, false, 10);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"p08.png", "p09.png", "p10.png"}));
}

// Pages of an earlier, longer export under the same name go once the new ones are all in place; other files stay.
TEST_F(Filters, APngExportLeavesExactlyItsOwnPagesUnderItsName) {
  TempFolder folder;
  const std::vector<std::string> others = {"r.png", "r1.pdf", "rx2.png", "report3.png", "r-4.png", "r0.png"};
  for (const std::string& name : others) std::ofstream(folder.path() / name) << "not a page";
  const auto earlier_export = [&] {
    for (const char* name : {"r1.png", "r2.png", "r3.png", "r19.png", "r01.png", "r07.png", "r012.png"})
      std::ofstream(folder.path() / name) << "an old page";
  };
  auto expected = others;
  expected.insert(expected.end(), {"r1.png", "r2.png"});
  std::sort(expected.begin(), expected.end());

  earlier_export();
  PNGFilter().SetShowProgress(false);
  PNGFilter().SetFileName((folder.path() / "r.png").string());
  PNGFilter().Run(*MakePages(owner_, 2));
  EXPECT_EQ(folder.Names(), expected);
  EXPECT_EQ(Read(folder.path() / "r2.png").substr(0, 4), "\x89PNG");
  EXPECT_EQ(Read(folder.path() / "r.png"), "not a page");

  // A run that fails on its second page removes nothing.
  earlier_export();
  TRLGraphicStorage* failing = MakePages(owner_, 3);
  {
    TRLPageRef page = failing->Pages(1);
    auto* image = new TRLImageObject(page.Get());
    image->SetBoundsRect({0, 0, 10, 10});
    image->SetData("BMPnot a bitmap");
    page->SetModified(true);
  }
  EXPECT_THROW(PNGFilter().Run(*failing), Exception);
  EXPECT_EQ(Read(folder.path() / "r19.png"), "an old page");
  EXPECT_EQ(Read(folder.path() / "r07.png"), "an old page");
  EXPECT_EQ(folder.Names().size(), expected.size() + 5);
}

TEST_F(Filters, ASaveThatFailsOrIsCancelledLeavesTheOldFileAndNothingElse) {
  TempFolder folder;
  TRLGraphicStorage* pages = MakePages(owner_, 6);
  {
    // Page 4 holds a picture that cannot be decoded: drawing it fails half-way through the file.
    TRLPageRef page = pages->Pages(3);
    auto* image = new TRLImageObject(page.Get());
    image->SetBoundsRect({0, 0, 10, 10});
    image->SetData("BMPnot a bitmap");
    page->SetModified(true);
  }
  ExpectSaveFiltersFailAndKeepThePreviousFile(*pages, folder);

  // Cancelled: the file would hold part of the range only.
  PDFFilter().SetShowProgress(true);
  PDFFilter().SetFileName((folder.path() / "old.pdf").string());
  PDFFilter().Run(*pages, 1, true, 3);
  PDFFilter().Cancel();
  FinishBackgroundOutput(false);
  EXPECT_EQ(Read(folder.path() / "old.pdf"), "the previous file");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"old.pdf", "old.png"}));
}

TEST_F(Filters, ABackgroundSaveIntoAMissingFolderShowsTheError) {
  TempFolder folder;
  TRLGraphicStorage* pages = MakePages(owner_, 2);
  PDFFilter().SetShowProgress(true);
  PDFFilter().SetFileName((folder.path() / "missing" / "r.pdf").string());
  PDFFilter().Run(*pages, 1, true);
  FinishBackgroundOutput(false);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("r.pdf"), std::string::npos) << errors_[0];
}

// The program started in the user's language tells a failed save in that language, whichever file it writes.
TEST_F(Filters, ASaveThatFailsIsToldInTheUsersLanguage) {
  struct Case {
    const char* locale;
    const char* message;
  };
  const Case cases[] = {
      {"pt_BR.UTF-8", "Não foi possível criar o arquivo"},
      {"es_ES.UTF-8", "No se puede crear el archivo"},
      {"fr_FR.UTF-8", "Impossible de créer le fichier"},
      {"de_DE.UTF-8", "Cannot create file"},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    application_.reset();
    ScopedEnv locale("LC_ALL", c.locale);
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };
    TRLGraphicStorage* pages = MakePages(owner_, 2);
    for (TRLCustomSaveFilter* filter :
         {static_cast<TRLCustomSaveFilter*>(&PDFFilter()), static_cast<TRLCustomSaveFilter*>(&PNGFilter())}) {
      errors_.clear();
      const fs::path target = folder.path() / "missing" / ("r" + filter->DefaultExt());
      filter->SetShowProgress(true);
      filter->SetFileName(target.string());
      filter->Run(*pages, 1, true);
      FinishBackgroundOutput(false);
      ASSERT_EQ(errors_.size(), 1u) << filter->GetDisplayName();
      EXPECT_EQ(errors_[0].rfind(c.message, 0), 0u) << errors_[0];
      EXPECT_NE(errors_[0].find("missing"), std::string::npos) << errors_[0];
    }
  }
  application_.reset();
}

}  // namespace

// A range holding a page our PDF writer does not reproduce (a hatched fill) is written whole by Qt's writer; a range
// without one by ours.
TEST_F(Filters, ThePdfFilterHandsARangeOurWriterDoesNotReproduceToQtsWriter) {
  TempFolder folder;
  TRLGraphicStorage* pages = MakePages(owner_, 5);
  auto hatched = std::make_unique<TRLGraphicSurface>();
  hatched->SetWidth(794);
  hatched->SetHeight(1123);
  hatched->Brush().SetStyle(bsDiagCross);
  hatched->Brush().SetColor(clBlack);
  hatched->FillRect({50, 50, 300, 300});
  pages->Add(std::move(hatched));
  struct Case {
    int from, to;
    bool ours;
  };
  const Case cases[] = {{1, 3, true}, {2, 6, false}, {6, 6, false}};
  PDFFilter().SetShowProgress(false);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + "-" + std::to_string(c.to));
    const fs::path file = folder.path() / ("r" + std::to_string(c.from) + ".pdf");
    PDFFilter().SetFileName(file.string());
    PDFFilter().Run(*pages, c.from, false, c.to);
    EXPECT_EQ(PdfPageCount(file), c.to - c.from + 1);
    EXPECT_EQ(Read(file).find("/Producer (relclientes)") != std::string::npos, c.ours);
    const std::string text = PdfText(file);
    for (int page = c.from; page <= std::min(c.to, 5); ++page) {
      EXPECT_NE(text.find("Page " + std::to_string(page)), std::string::npos) << page;
    }
  }
}
