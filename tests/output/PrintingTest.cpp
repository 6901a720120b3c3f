// Printing through a real scheduler of our own, whose queues copy each job into a folder.
#include "OutputTestSupport.h"

#include "output/RLOutputActions.h"
#include "output/RLPrinters.h"
#include "output/RLSpoolFilter.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaVCL.h"
#include "printing/Printers.h"
#include "widgets/Threads.h"

#include "support/CupsServer.h"
#include "support/PdfInk.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

using namespace outputtest;

class Printing : public testing::Test {
protected:
  void SetUp() override {
    cups_.Reset();
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };
    SpoolFilter().SetShowProgress(false);
  }
  void TearDown() override {
    FinishBackgroundOutput(false);
    RLPrinter().SetPrinterIndex(-1);
  }
  // Queues of the scheduler, the first one its default.
  void AddQueues(std::initializer_list<const char*> names) {
    bool first = true;
    for (const char* name : names) {
      cups_.AddQueue(name, first, std::string("Sala ") + name);
      first = false;
    }
    RLPrinter().Refresh();
    RLPrinter().SetPrinterIndex(-1);
    Printer().SetPrinterIndex(-1);
  }

  TCupsServer& cups_ = SharedCupsServer();
  std::unique_ptr<TApplication> application_;
  std::vector<std::string> errors_;
  TComponent owner_{nullptr};
};

TEST_F(Printing, TheWrapperListsTheQueuesAndSelectsTheDefault) {
  AddQueues({"balcao", "escritorio"});
  TRLPrinterWrapper& printer = RLPrinter();
  std::vector<std::string> names{printer.PrinterNames(0), printer.PrinterNames(1)};
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"balcao", "escritorio"}));
  EXPECT_EQ(printer.PrinterPorts(0), "Sala " + printer.PrinterNames(0));
  EXPECT_EQ(printer.PrinterName(), "balcao");
  EXPECT_TRUE(printer.ValidatePrinter());
  int other = printer.PrinterNames(0) == "balcao" ? 1 : 0;
  printer.SetPrinterIndex(other);
  EXPECT_EQ(printer.PrinterName(), "escritorio");
  printer.SetPrinterIndex(7);  // outside the list: nothing changes
  EXPECT_EQ(printer.PrinterName(), "escritorio");
  printer.Refresh();
  EXPECT_EQ(printer.PrinterIndex(), other);

  printer.SetPaperSize(false, false, 297, 210);
  TRLPrinterMetrics m;
  printer.LoadMetrics(m);
  EXPECT_GT(m.PPIX, 0);
  EXPECT_EQ(m.PPIX, m.PPIY);
  // A4 at the printer's resolution, its printable area inside.
  EXPECT_NEAR(m.PhysicalWidth, 210 / 25.4 * m.PPIX, m.PPIX / 50.0);
  EXPECT_NEAR(m.PhysicalHeight, 297 / 25.4 * m.PPIY, m.PPIY / 50.0);
  EXPECT_EQ(m.MarginLeft + m.ClientWidth + m.MarginRight, m.PhysicalWidth);
  EXPECT_EQ(m.MarginTop + m.ClientHeight + m.MarginBottom, m.PhysicalHeight);
  printer.SetPaperSize(true, false, 297, 210);
  TRLPrinterMetrics landscape;
  printer.LoadMetrics(landscape);
  EXPECT_EQ(landscape.PhysicalWidth, m.PhysicalHeight);
}

TEST_F(Printing, ARangeOfAReportGoesToThePrinterAsOneJob) {
  AddQueues({"balcao"});
  TRLGraphicStorage* pages = MakePages(owner_, 10);
  int selected = RLPrinter().PrinterIndex();
  PrintPages(*pages, nullptr, 3, false, 99);
  EXPECT_EQ(RLPrinter().PrinterIndex(), selected);
  auto jobs = cups_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(PdfPageCount(jobs[0].File), 8);
  std::string first = PdfText(jobs[0].File, 1, 1), last = PdfText(jobs[0].File, 8, 8);
  EXPECT_NE(first.find("Page 3"), std::string::npos) << first;
  EXPECT_NE(last.find("Page 10"), std::string::npos) << last;
  EXPECT_EQ(PdfText(jobs[0].File).find("Page 2\n"), std::string::npos);
  EXPECT_EQ(jobs[0].Copies, 1);
  EXPECT_EQ(PdfPageSize(jobs[0].File, 1).substr(0, 3), "595");
  EXPECT_TRUE(errors_.empty());
}

// The job is named after the report's title, or after the program's dialog where the report has none.
TEST_F(Printing, TheJobIsNamedAfterTheReportOrTheDialog) {
  AddQueues({"balcao"});
  application_->CreateForm<TForm>()->SetCaption("Relação de Clientes Por Cidade");
  struct Case {
    const char* title;
    const char* job;
  };
  const Case cases[] = {{"Clientes de Curitiba", "Clientes de Curitiba"}, {"", "Relação de Clientes Por Cidade"}};
  for (const Case& c : cases) {
    cups_.Reset();
    AddQueues({"balcao"});
    TRLGraphicStorage* pages = MakePages(owner_, 2);
    pages->SetTitle(c.title);
    PrintPages(*pages, nullptr, 1, false, 2);
    auto jobs = cups_.WaitForJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].Title, c.job);
  }
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Printing, CopiesAreTheDriversToMake) {
  AddQueues({"balcao"});
  TRLGraphicStorage* pages = MakePages(owner_, 2);
  RLPrinter().SetCopies(2);
  PrintPages(*pages, nullptr);
  auto jobs = cups_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].Copies, 2);
  EXPECT_EQ(PdfPageCount(jobs[0].File), 2);
}

TEST_F(Printing, AChangeOfPaperStartsANewJobWithoutABlankPage) {
  AddQueues({"balcao"});
  // Pages 1 to 3 portrait, 4 and 5 landscape.
  TRLGraphicStorage* pages = MakePages(owner_, 5, [](int i) { return i >= 4; });
  PrintPages(*pages, nullptr);
  auto jobs = cups_.WaitForJobs(2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(PdfPageCount(jobs[0].File), 3);
  EXPECT_EQ(PdfPageCount(jobs[1].File), 2);
  EXPECT_NE(PdfText(jobs[1].File, 1, 1).find("Page 4"), std::string::npos);
  std::string size = PdfPageSize(jobs[1].File, 1);
  double width = std::stod(size), height = std::stod(size.substr(size.find('x') + 1));
  EXPECT_GT(width, height) << size;
  EXPECT_EQ(SpoolFilter().Orientation(), 2);
  EXPECT_FALSE(SpoolFilter().DocStarted());
}

// What a test job draws on each page: texts in two faces and sizes, frames, lines and a fill, some of it beyond
// the printable area.
void DrawSample(TCanvas& canvas, int page) {
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetName("DejaVu Sans");
  canvas.Font().SetSize(10);
  canvas.TextOut(40, 30, "Relatório de Clientes — página " + std::to_string(page));
  canvas.Font().SetName("Liberation Serif");
  canvas.Font().SetSize(14);
  canvas.TextOut(40, 60, "São Paulo: Açúcar & Café, Ltda. fi ffl");
  canvas.Pen().SetColor(clBlack);
  canvas.Pen().SetWidth(2);
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(static_cast<TColor>(0xE0E0E0));
  canvas.Rectangle(-20, 100, 500, 180);
  canvas.MoveTo(0, 0);
  canvas.LineTo(700, 900);
  canvas.Ellipse(300, 300, 420, 380);
}

// The options a job asked for: the scheduler's own entries (the job's id, times, file name) left out.
std::set<std::string> JobOptions(const TCapturedJob& job) {
  std::set<std::string> options;
  std::istringstream words(job.Options);
  for (std::string word; words >> word;) {
    const std::string name = word.substr(0, word.find('='));
    if (name.rfind("job-", 0) != 0 && name.rfind("date-", 0) != 0 && name.rfind("time-", 0) != 0 &&
        name != "document-name-supplied") {
      options.insert(word);
    }
  }
  return options;
}

// A job of our writer is the job Qt's writer makes of the same drawing: the same options for the printing service,
// the same sheets, the same pixels, the same text.
TEST_F(Printing, OurWritersJobIsTheJobOfQtsWriter) {
  AddQueues({"balcao"});
  struct TCase {
    const char* name;
    int copies;
    TPrinterOrientation orientation;
    double width, height;  // millimetres
  };
  const TCase cases[] = {
      {"A4 portrait", 1, poPortrait, 210, 297},
      {"A5 landscape, two copies", 2, poLandscape, 148, 210},
      {"letter portrait, three copies", 3, poPortrait, 215.9, 279.4},
      {"a paper of its own", 1, poPortrait, 100, 150},
  };
  std::size_t expected = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (TPdfDocument::TWriter writer : {TPdfDocument::TWriter::Qt, TPdfDocument::TWriter::Own}) {
      Printer().SetPrinterIndex(-1);
      Printer().SetCopies(c.copies);
      Printer().SetOrientation(c.orientation);
      Printer().SetPaper(0, c.width, c.height);
      Printer().BeginDoc("Relatório", 96, writer);
      DrawSample(Printer().Canvas(), 1);
      Printer().NewPage();
      DrawSample(Printer().Canvas(), 2);
      ASSERT_TRUE(Printer().EndDoc());
    }
    expected += 2;
    const auto jobs = cups_.WaitForJobs(expected);
    ASSERT_EQ(jobs.size(), expected);
    const TCapturedJob& qt = jobs[expected - 2];
    const TCapturedJob& ours = jobs[expected - 1];
    EXPECT_EQ(JobOptions(ours), JobOptions(qt));
    EXPECT_EQ(ours.Copies, c.copies);
    EXPECT_EQ(ours.Title, "Relatório");
    ASSERT_EQ(PdfPageCount(ours.File), 2);
    ASSERT_EQ(PdfPageCount(qt.File), 2);
    for (int page = 1; page <= 2; ++page) {
      EXPECT_EQ(PdfPageSize(ours.File, page), PdfPageSize(qt.File, page));
      const std::string image = PdfPageImage(ours.File, page, 100);
      ASSERT_FALSE(image.empty());
      const std::string qt_image = PdfPageImage(qt.File, page, 100);
      const int difference = InkDifference(QImage::fromData(QByteArray::fromStdString(image)),
                                           QImage::fromData(QByteArray::fromStdString(qt_image)), 100);
      EXPECT_GE(difference, 0) << "page " << page;
      EXPECT_LE(difference, kEdgeInk) << "page " << page;
    }
    EXPECT_EQ(PdfText(ours.File), PdfText(qt.File));
    EXPECT_NE(PdfInfo(ours.File).find("relclientes"), std::string::npos);
  }
}

// A dashed frame is beyond our writer: its job hands nothing over, and the print filter prints the same pages
// through Qt's writer.
TEST_F(Printing, PagesOurWriterCannotWriteExactlyArePrintedByQtsWriter) {
  AddQueues({"balcao"});
  Printer().BeginDoc("tracejado", 96, TPdfDocument::TWriter::Own);
  Printer().Canvas().Pen().SetStyle(psDash);
  Printer().Canvas().Rectangle(10, 10, 200, 100);
  EXPECT_FALSE(Printer().EndDoc());
  EXPECT_FALSE(Printer().Printing());

  TRLGraphicStorage* pages = MakePages(owner_, 4);
  {
    TRLPageRef third = pages->Pages(2);
    third->Pen().SetStyle(psDash);
    third->Rectangle(60, 800, 700, 900);
  }
  PrintPages(*pages, nullptr);
  const auto jobs = cups_.WaitForJobs(1, 10);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(PdfPageCount(jobs[0].File), 4);
  for (int page = 1; page <= 4; ++page) {
    EXPECT_NE(PdfText(jobs[0].File, page, page).find("Page " + std::to_string(page)), std::string::npos);
  }
  EXPECT_NE(PdfInfo(jobs[0].File).find("Qt"), std::string::npos);
  EXPECT_TRUE(errors_.empty());
}

// Added pages that our writer cannot write exactly are written by Qt's writer within the same job: the sheets, the
// pixels and the text of a job drawn by Qt's writer through the printer, the printable area's corner kept.
TEST_F(Printing, AddedPagesOurWriterCannotWriteAreTheJobOfQtsWriter) {
  AddQueues({"balcao"});
  Printer().SetPrinterIndex(-1);
  Printer().SetOrientation(poPortrait);
  Printer().SetPaper(0, 148, 210);
  for (TPdfDocument::TWriter writer : {TPdfDocument::TWriter::Qt, TPdfDocument::TWriter::Own}) {
    Printer().BeginDoc("tracejado", 96, writer);
    for (int page = 1; page <= 3; ++page) {
      Printer().AddPage([page](TCanvas& canvas) {
        DrawSample(canvas, page);
        if (page == 2) {
          canvas.Pen().SetWidth(1);
          canvas.Pen().SetStyle(psDash);
          canvas.Brush().SetStyle(bsClear);
          canvas.Rectangle(60, 200, 400, 260);
        }
      });
    }
    ASSERT_TRUE(Printer().EndDoc());
  }
  const auto jobs = cups_.WaitForJobs(2);
  ASSERT_EQ(jobs.size(), 2u);
  const TCapturedJob& qt = jobs[0];
  const TCapturedJob& ours = jobs[1];
  EXPECT_EQ(JobOptions(ours), JobOptions(qt));
  EXPECT_NE(PdfInfo(ours.File).find("Qt"), std::string::npos) << "our writer's job should have gone to Qt's writer";
  ASSERT_EQ(PdfPageCount(ours.File), 3);
  ASSERT_EQ(PdfPageCount(qt.File), 3);
  for (int page = 1; page <= 3; ++page) {
    EXPECT_EQ(PdfPageSize(ours.File, page), PdfPageSize(qt.File, page));
    const std::string image = PdfPageImage(ours.File, page, 100);
    ASSERT_FALSE(image.empty());
    const int difference =
        InkDifference(QImage::fromData(QByteArray::fromStdString(image)),
                      QImage::fromData(QByteArray::fromStdString(PdfPageImage(qt.File, page, 100))), 100);
    EXPECT_GE(difference, 0) << "page " << page;
    EXPECT_LE(difference, kEdgeInk) << "page " << page;
  }
  EXPECT_EQ(PdfText(ours.File), PdfText(qt.File));
}

TEST_F(Printing, CancelEndsTheJobWithThePagesAlreadyDrawn) {
  AddQueues({"balcao"});
  TRLGraphicStorage* pages = MakePages(owner_, 50);
  SpoolFilter().SetShowProgress(true);
  SpoolFilter().Run(*pages, 1, true);
  ProcessMessagesUntil([&] {
    TfrmRLFeedBack* progress = SpoolFilter().Progress();
    if (progress && progress->CurrentBar()->Position() >= 3) progress->BitBtnCancel->Click();
    return !SpoolFilter().Running();
  });
  auto jobs = cups_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  int printed = PdfPageCount(jobs[0].File);
  EXPECT_GE(printed, 3);
  EXPECT_LT(printed, 50);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Printing, ABackgroundPrintWhileThePreviewPagesThroughTheSameReport) {
  AddQueues({"balcao"});
  TRLGraphicStorage* pages = MakePages(owner_, 30);
  SpoolFilter().SetShowProgress(true);
  PrintPages(*pages, nullptr, 1, true);
  int shown = 0;
  while (SpoolFilter().Running()) {
    TRLPageRef page = pages->Pages(shown++ % 30);
    ASSERT_TRUE(page);
    RenderPageToImage(*page, 0.5);
    page.Release();
    Application()->ProcessMessages();
  }
  auto jobs = cups_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(PdfPageCount(jobs[0].File), 30);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(Printing, QuittingDuringABackgroundPrintHandsOverThePagesAlreadyDrawn) {
  AddQueues({"balcao"});
  TRLGraphicStorage* pages = MakePages(owner_, 60);
  SpoolFilter().SetShowProgress(true);
  PrintPages(*pages, nullptr, 1, true);
  ProcessMessagesUntil([&] {
    TfrmRLFeedBack* progress = SpoolFilter().Progress();
    return !SpoolFilter().Running() || (progress && progress->CurrentBar()->Position() >= 4);
  });
  // What the program does when its last window closes.
  application_->Terminate();
  FinishBackgroundOutput(true);
  EXPECT_FALSE(SpoolFilter().Running());
  auto jobs = cups_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  int printed = PdfPageCount(jobs[0].File);
  EXPECT_GE(printed, 4);
  EXPECT_LT(printed, 60);
  EXPECT_TRUE(errors_.empty()) << errors_.front();
}

class NoPrinter : public Printing {};

TEST_F(NoPrinter, FallbackMetricsAndAClearMessage) {
  RLPrinter().Refresh();
  TRLPrinterWrapper& printer = RLPrinter();
  EXPECT_TRUE(printer.Printers().empty());
  EXPECT_EQ(printer.PrinterName(), "");
  EXPECT_FALSE(printer.ValidatePrinter());
  TRLPrinterMetrics m;
  printer.LoadMetrics(m);
  EXPECT_EQ(m.PPIX, 300);
  EXPECT_EQ(m.PPIY, 300);
  EXPECT_EQ(m.PhysicalWidth, 2550);
  EXPECT_EQ(m.PhysicalHeight, 3300);
  EXPECT_EQ(m.MarginLeft, 75);
  EXPECT_EQ(m.MarginTop, 75);
  EXPECT_EQ(m.MarginRight, 75);
  EXPECT_EQ(m.MarginBottom, 75);
  EXPECT_EQ(m.ClientWidth, 2400);
  EXPECT_EQ(m.ClientHeight, 3150);

  TRLGraphicStorage* pages = MakePages(owner_, 3);
  try {
    PrintPages(*pages, nullptr);
    ADD_FAILURE() << "printed without a printer";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), EngineMessages().msgPrinterNotFound);
  }
  // In the background the same message reaches the user.
  PrintPages(*pages, nullptr, 1, true);
  FinishBackgroundOutput(false);
  EXPECT_EQ(errors_, (std::vector<std::string>{EngineMessages().msgPrinterNotFound}));
  EXPECT_EQ(pages->LinkCount(), 0);

  // The preview's printer button says why it shows no page setup.
  std::vector<std::string> boxes;
  const TMessageBoxHandler previous =
      SetMessageBoxHandler([&](const std::string& text, const std::string&, TMsgDlgType) { boxes.push_back(text); });
  SetupPrinterFromPreview();
  SetMessageBoxHandler(previous);
  EXPECT_EQ(boxes, std::vector<std::string>{EngineMessages().msgPrinterNotFound});
}

}  // namespace
