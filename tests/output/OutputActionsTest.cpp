// What the preview's Print and Save buttons and the report's own Print do, through their dialogs as a user fills
// them, to a real queue and to files.
#include "OutputTestSupport.h"

#include "core/Definitions.h"
#include "output/RLOutputActions.h"
#include "output/RLPreviewForm.h"
#include "output/RLPrintDialog.h"
#include "output/RLPrinters.h"
#include "output/RLSaveDialog.h"
#include "output/RLSaveFilters.h"
#include "output/RLSpoolFilter.h"
#include "pages/RLConsts.h"
#include "printing/Printers.h"
#include "report/RLReport.h"

#include "support/CupsServer.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <QMessageBox>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace outputtest;
namespace fs = std::filesystem;

// The user's part in the next modal dialog: `fill` types and clicks in it by the controls' names.
void WhenDialog(std::function<void(QWidget&)> fill) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, fill] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    timer->stop();
    timer->deleteLater();
    fill(*modal);
  });
  timer->start(10);
}

void Type(QWidget& dialog, const char* edit, const std::string& text) {
  auto* box = dialog.findChild<QLineEdit*>(edit);
  ASSERT_NE(box, nullptr) << edit;
  box->setText(QString::fromStdString(text));
}

void Press(QWidget& dialog, const char* button) {
  auto* widget = dialog.findChild<QAbstractButton*>(button);
  ASSERT_NE(widget, nullptr) << button;
  widget->click();
}

void Choose(QWidget& dialog, const char* combo, const std::string& item) {
  auto* box = dialog.findChild<QComboBox*>(combo);
  ASSERT_NE(box, nullptr) << combo;
  int index = box->findText(QString::fromStdString(item));
  ASSERT_GE(index, 0) << item;
  box->setCurrentIndex(index);
  emit box->textActivated(box->itemText(index));
}

class OutputActions : public testing::Test {
protected:
  void SetUp() override {
    cups_.Reset();
    cups_.AddQueue("balcao", true);
    RLPrinter().Refresh();
    RLPrinter().SetPrinterIndex(-1);
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };
    InstallReportOutput();
    PrintParams().SetPrintInBackground(false);
    PrintParams().SetFilter(nullptr);
    SaveParams().SetFilter(nullptr);
    SaveParams().SetSaveInBackground(false);
    SpoolFilter().SetShowProgress(true);
  }
  void TearDown() override { FinishBackgroundOutput(false); }

  TCupsServer& cups_ = SharedCupsServer();
  std::unique_ptr<TApplication> application_;
  std::vector<std::string> errors_;
  TComponent owner_{nullptr};
};

TEST_F(OutputActions, PrintingFromThePreviewInTheBackground) {
  TRLGraphicStorage* pages = MakePages(owner_, 6);
  bool all_pages_shown = false;
  WhenDialog([&](QWidget& dialog) {
    // Showing the page boxes' numbers does not choose the interval.
    all_pages_shown = dialog.findChild<QAbstractButton*>("RadioButtonPagesAll")->isChecked();
    Type(dialog, "EditFromPage", "2");
    Type(dialog, "EditToPage", "4");
    Press(dialog, "CheckBoxPrintInBackground");
    Press(dialog, "ButtonOk");
  });
  EXPECT_TRUE(PrintFromPreview(*pages));
  EXPECT_TRUE(all_pages_shown);
  EXPECT_EQ(PrintParams().MaxPage(), 6);
  WaitForOutputOf(*pages);
  auto jobs = cups_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(PdfPageCount(jobs[0].File), 3);
  EXPECT_NE(PdfText(jobs[0].File, 1, 1).find("Page 2"), std::string::npos);
  EXPECT_TRUE(errors_.empty());

  // Cancelled: nothing is printed.
  WhenDialog([](QWidget& dialog) { Press(dialog, "ButtonCancel"); });
  EXPECT_FALSE(PrintFromPreview(*pages));
  EXPECT_EQ(cups_.WaitForJobs(2, 1).size(), 1u);
}

TEST_F(OutputActions, SavingFromThePreviewAsPdfAndAsAReportFile) {
  TempFolder folder;
  TRLGraphicStorage* pages = MakePages(owner_, 5);
  std::string proposed;
  WhenDialog([&](QWidget& dialog) {
    proposed = dialog.findChild<QLineEdit*>("EditFileName")->text().toStdString();
    Type(dialog, "EditFileName", (folder.path() / "clientes").string());
    Choose(dialog, "ComboBoxFilters", "PDF");
    Type(dialog, "EditToPage", "3");
    Press(dialog, "ButtonSave");
  });
  EXPECT_TRUE(SaveFromPreview(*pages));
  EXPECT_EQ(proposed, PreviewFileName("Relatório de teste"));
  EXPECT_EQ(PdfPageCount(folder.path() / "clientes.pdf"), 3);

  // Without a filter every page goes into the report file, whatever the range.
  SaveParams().SetFilter(nullptr);
  WhenDialog([&](QWidget& dialog) {
    Type(dialog, "EditFileName", (folder.path() / "clientes.rpf").string());
    Type(dialog, "EditFromPage", "2");
    Press(dialog, "ButtonSave");
  });
  EXPECT_TRUE(SaveFromPreview(*pages));
  std::ifstream in(folder.path() / "clientes.rpf", std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(bytes.substr(0, 18), std::string("RLGraphicStorage3\x1A"));
  for (int i = 1; i <= 5; ++i) EXPECT_NE(bytes.find("Page " + std::to_string(i)), std::string::npos) << i;
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clientes.pdf", "clientes.rpf"}));

  // A report without a title, as the client report, proposes the chosen filter's last file name.
  pages->SetTitle("");
  SaveParams().SetFilter(&PDFFilter());
  WhenDialog([&](QWidget& dialog) {
    proposed = dialog.findChild<QLineEdit*>("EditFileName")->text().toStdString();
    Press(dialog, "ButtonCancel");
  });
  EXPECT_FALSE(SaveFromPreview(*pages));
  EXPECT_EQ(proposed, (folder.path() / "clientes.pdf").string());
  EXPECT_TRUE(errors_.empty());
}

// A report file opened again saves through the save dialog like a generated report: over itself as a report file,
// and as a PDF.
// Answers Yes to the question the save dialog asks before it replaces a file (tried for up to two seconds).
void AnswerYesToTheReplaceQuestion(int tries = 200) {
  QTimer::singleShot(10, [tries] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      box->button(QMessageBox::Yes)->click();
    } else if (tries > 0) {
      AnswerYesToTheReplaceQuestion(tries - 1);
    }
  });
}

TEST_F(OutputActions, AnOpenedReportFileSavesAsAGeneratedOne) {
  TempFolder folder;
  const std::string saved = (folder.path() / "clientes.rpf").string();
  std::filesystem::copy_file(std::string(RELCLIENTES_TESTS_DIR) + "/pages/fixtures/two-pages.rpf", saved);
  auto read = [](const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string original = read(saved);
  auto* pages = new TRLGraphicStorage(&owner_);
  pages->LoadFromFile(saved);

  SaveParams().SetFilter(nullptr);
  WhenDialog([&](QWidget& dialog) {
    Type(dialog, "EditFileName", saved);
    AnswerYesToTheReplaceQuestion();
    Press(dialog, "ButtonSave");
  });
  EXPECT_TRUE(SaveFromPreview(*pages));
  EXPECT_EQ(read(saved), original);

  WhenDialog([&](QWidget& dialog) {
    Type(dialog, "EditFileName", (folder.path() / "clientes").string());
    Choose(dialog, "ComboBoxFilters", "PDF");
    Press(dialog, "ButtonSave");
  });
  EXPECT_TRUE(SaveFromPreview(*pages));
  EXPECT_EQ(PdfPageCount(folder.path() / "clientes.pdf"), 2);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clientes.pdf", "clientes.rpf"}));
  EXPECT_TRUE(errors_.empty());
}

class TCountingPrintFilter : public TRLCustomPrintFilter {
public:
  explicit TCountingPrintFilter(TComponent* owner = nullptr) : TRLCustomPrintFilter(owner) {
    SetDisplayName("Contador");
  }
  int drawn = 0;

protected:
  void BeginDoc() override {}
  void EndDoc() override {}
  void NewPage() override {}
  void DrawPage(TRLGraphicSurface&) override { ++drawn; }
};

struct ReportOnAForm {
  TForm form{nullptr};
  TRLReport* report = new TRLReport(&form);
  ReportOnAForm() {
    RegisterReportClasses();
    report->SetName("RLReport1");
    report->SetParent(&form);
    report->SetShowProgress(false);
  }
};

TEST_F(OutputActions, TheReportsOwnPrint) {
  ReportOnAForm rig;
  rig.report->SetPrintDialog(false);
  rig.report->Print();
  auto jobs = cups_.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(PdfPageCount(jobs[0].File), 1);
  EXPECT_EQ(rig.report->Phase(), rpReady);

  // With the dialog, cancelling it sets the report's cancelled flag and prints nothing.
  rig.report->SetPrintDialog(true);
  rig.report->ClearPages();
  WhenDialog([](QWidget& dialog) { Press(dialog, "ButtonCancel"); });
  rig.report->Print();
  EXPECT_TRUE(rig.report->Cancelled());
  EXPECT_EQ(rig.report->Phase(), rpIdle);
  EXPECT_EQ(cups_.WaitForJobs(2, 1).size(), 1u);

  // A default filter becomes the print parameters' filter, and the pages go to it instead of the printer.
  TCountingPrintFilter counting;
  rig.report->SetDefaultFilter(&counting);
  rig.report->SetPrintDialog(false);
  rig.report->Print();
  EXPECT_EQ(PrintParams().Filter(), &counting);
  EXPECT_EQ(counting.drawn, 1);
  EXPECT_EQ(cups_.WaitForJobs(2, 1).size(), 1u);
  EXPECT_TRUE(errors_.empty());
  PrintParams().SetFilter(nullptr);
}

TEST_F(OutputActions, TheReportsPreviewAndItsDefinitionCarryTheDefaultFilter) {
  ReportOnAForm rig;
  auto* counting = new TCountingPrintFilter(&rig.form);
  counting->SetName("Contador1");
  rig.report->SetDefaultFilter(counting);
  EXPECT_NE(WriteDefinition(rig.form).find("DefaultFilter: Contador1"), std::string::npos) << WriteDefinition(rig.form);

  InstallReportPreviewWindow();
  bool shown = false;
  WhenDialog([&](QWidget& preview) {
    shown = true;
    preview.close();
  });
  EXPECT_TRUE(rig.report->Preview());
  SetReportPreviewHandler(nullptr);
  EXPECT_TRUE(shown);
  EXPECT_EQ(PrintParams().Filter(), counting);
  PrintParams().SetFilter(nullptr);
}

TEST_F(OutputActions, APreviewWindowClosesOnlyAfterTheBackgroundRunOnItsPages) {
  TRLGraphicStorage* pages = MakePages(owner_, 20);
  TRecordingFilter filter;
  filter.while_drawing = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(5)); };
  auto* form = new TRLPreviewForm();  // frees itself when closed
  form->Previews(0)->SetPages(pages);
  form->Show();
  filter.Run(*pages, 1, true);
  ASSERT_TRUE(filter.Running());
  form->Close();
  EXPECT_FALSE(filter.Running());
  EXPECT_EQ(std::count_if(filter.calls.begin(), filter.calls.end(), [](auto& c) { return c.rfind("draw", 0) == 0; }),
            20);
  EXPECT_EQ(filter.calls.back(), "end");
  Application()->ProcessMessages();
  EXPECT_TRUE(errors_.empty());
}

}  // namespace
