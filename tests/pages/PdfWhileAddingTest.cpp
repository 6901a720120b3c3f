// A PDF file written while a run adds the pages: every page in order, pages that name values the collection gets only
// at the end drawn with those values, and no file when the run fails.
#include "core/SafeFile.h"
#include "pages/RLGraphicStorage.h"
#include "pages/RLMetaSurface.h"
#include "pages/RLMetaVCL.h"
#include "pages/RLPdfWhileAdding.h"
#include "pdf/PdfDocument.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace {

std::string PdfText(const std::string& pdf) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("pdftotext -raw '" + pdf + "' - 2>/dev/null").c_str(), "r"),
                                             pclose);
  char buffer[4096];
  for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, n);
  return out;
}

// With `hatched`, the page also has a hatched fill, which only Qt's writer writes.
void AddPage(TRLGraphicStorage& storage, const std::string& text, bool hatched = false) {
  auto page = std::make_unique<TRLGraphicSurface>();
  page->SetWidth(400);
  page->SetHeight(200);
  if (hatched) {
    page->Brush().SetStyle(bsCross);
    page->Brush().SetColor(clBlack);
    page->FillRect({50, 50, 150, 150});
  }
  page->Font().SetName("DejaVu Sans");
  page->Font().SetSize(10);
  page->TextOut({20, 20, 380, 40}, 20, 20, text, MetaTextAlignmentLeft, MetaTextLayoutTop, tfNoClip);
  storage.Add(std::move(page));
}

}  // namespace

TEST(PdfWhileAdding, PagesComeOutInOrderWithTheValuesOfTheEnd) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no poppler-utils";
  struct Case {
    const char* name;
    bool start_over;  // the run clears the collection after two pages and starts again
    int named_page;   // the page (from 1) whose text names the last page number; 0: none does
  };
  const Case cases[] = {{"plain", false, 0}, {"last page named on page 3", false, 3}, {"started over", true, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    const std::string file = dir.File("run.pdf");
    TRLGraphicStorage storage;
    AddPage(storage, "pagina de uma corrida anterior");
    const bool done = SavePagesToPdfWhileAdding(storage, file, [&] {
      storage.Clear();
      if (c.start_over) {
        AddPage(storage, "abandonada 1");
        AddPage(storage, "abandonada 2");
        storage.Clear();
      }
      for (int i = 1; i <= 6; ++i) {
        AddPage(storage, "Pagina " + std::to_string(i) + (i == c.named_page ? " de {LastPageNumber}" : ""));
      }
      storage.SetLastPageNumber(6);
      return true;
    });
    EXPECT_TRUE(done);
    std::string expected;
    for (int i = 1; i <= 6; ++i) {
      expected += "Pagina " + std::to_string(i) + (i == c.named_page ? " de 6" : "") + "\n\f";
    }
    EXPECT_EQ(PdfText(file), expected);
  }
}

TEST(PdfWhileAdding, ARunThatFailsLeavesNoFile) {
  TempFolder dir;
  const std::string file = dir.File("run.pdf");
  TRLGraphicStorage storage;
  EXPECT_FALSE(SavePagesToPdfWhileAdding(storage, file, [&] {
    AddPage(storage, "Pagina 1");
    return false;
  }));
  EXPECT_THROW(SavePagesToPdfWhileAdding(storage, file,
                                         [&]() -> bool {
                                           AddPage(storage, "Pagina 2");
                                           throw std::runtime_error("the query failed");
                                         }),
               std::runtime_error);
  EXPECT_TRUE(dir.Names().empty());
  // The collection no longer calls back once the run is over.
  AddPage(storage, "Pagina 3");
  EXPECT_FALSE(storage.OnPageAdded);
}

namespace {

std::string Contents(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The only line that may differ between two writes of the same pages: the time of writing.
  const std::size_t date = bytes.find("/CreationDate");
  if (date != std::string::npos) bytes.erase(date, bytes.find('\n', date) - date);
  return bytes;
}

}  // namespace

TEST(PdfWhileAdding, WritesTheFileOfThePagesWrittenAfterTheRun) {
  // More pages than the writer may fall behind, so that the run waits for it.
  TempFolder dir;
  TRLGraphicStorage storage;
  const auto run = [&] {
    for (int i = 1; i <= 30; ++i) AddPage(storage, "Página " + std::to_string(i) + " çãõ");
    return true;
  };
  ASSERT_TRUE(SavePagesToPdfWhileAdding(storage, dir.File("while.pdf"), run));
  SavePagesToPdf(storage, dir.File("after.pdf"));
  const std::string drawn_while = Contents(dir.File("while.pdf")), drawn_after = Contents(dir.File("after.pdf"));
  EXPECT_GT(drawn_while.size(), 1000u);
  EXPECT_TRUE(drawn_while == drawn_after);
}

TEST(PdfWhileAdding, AFileThatCannotBeWrittenIsRaisedOnceTheRunEnds) {
  TempFolder dir;
  TRLGraphicStorage storage;
  int added = 0;
  EXPECT_THROW(SavePagesToPdfWhileAdding(storage, dir.File("no/such/folder/run.pdf"),
                                         [&] {
                                           for (; added < 20; ++added) AddPage(storage, "Pagina");
                                           return true;
                                         }),
               EFileWriteError);
  EXPECT_EQ(added, 20);
  EXPECT_EQ(storage.PageCount(), 20);
  EXPECT_FALSE(storage.OnPageAdded);
}

// A page our writer does not reproduce (a hatched fill) sends the whole file through Qt's writer, whichever page it
// is and however the pages were written; otherwise the file is ours.
TEST(PdfWhileAdding, APageOurWriterDoesNotReproduceGoesWithTheWholeFileToQtsWriter) {
  struct Case {
    const char* name;
    int hatched_page;  // from 1; 0: none
  };
  const Case cases[] = {{"none", 0}, {"first page", 1}, {"a page in the middle", 12}, {"last page", 30}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    TRLGraphicStorage storage;
    const auto run = [&] {
      for (int i = 1; i <= 30; ++i) AddPage(storage, "Página " + std::to_string(i), i == c.hatched_page);
      return true;
    };
    ASSERT_TRUE(SavePagesToPdfWhileAdding(storage, dir.File("while.pdf"), run));
    SavePagesToPdf(storage, dir.File("after.pdf"));
    {
      TPdfDocument qt_document(dir.File("qt.pdf"), TPdfDocument::TWriter::Qt);
      AddPagesToPdf(qt_document, storage, 0);
      ASSERT_TRUE(qt_document.Close());
    }
    const std::string drawn_while = Contents(dir.File("while.pdf")), qt = Contents(dir.File("qt.pdf"));
    EXPECT_TRUE(drawn_while == Contents(dir.File("after.pdf")));
    EXPECT_EQ(drawn_while == qt, c.hatched_page != 0);
    std::string expected;
    for (int i = 1; i <= 30; ++i) expected += "Página " + std::to_string(i) + "\n\f";
    EXPECT_EQ(PdfText(dir.File("while.pdf")), expected);
  }
}
