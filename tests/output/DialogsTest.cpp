// The print and save dialogs: their controls, the parameters they load and store, and their lists.
#include "OutputTestSupport.h"

#include "core/Definitions.h"
#include "output/RLOutputActions.h"
#include "output/RLOutputRegistration.h"
#include "output/RLPrintDialog.h"
#include "output/RLPrinters.h"
#include "output/RLSaveDialog.h"
#include "output/RLSaveFilters.h"
#include "pages/RLConsts.h"
#include "widgets/Buttons.h"
#include "widgets/Dialogs.h"
#include "widgets/StdCtrls.h"

#include "core/Translation.h"
#include "support/CupsServer.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace outputtest;

class PrintDialog : public testing::Test {
protected:
  void SetUp() override {
    application_ = MakeTestApplication();
    params_.SetOptions({rpoPrintToFile, rpoPageNums, rpoSelection, rpoWarning, rpoDisablePrintToFile});
    params_.Clear();
    params_.SetPrintInBackground(false);
    params_.SetFilter(nullptr);
  }

  std::unique_ptr<TApplication> application_;
  TRLPrintParams& params_ = PrintParams();
};

TEST_F(PrintDialog, TheOptionsDecideWhichControlsAreOffered) {
  struct Case {
    const char* what;
    TRLPrintDialogOptions options;
    bool to_file_visible, to_file_enabled, background_enabled, copies_enabled, interval_enabled, selection_enabled,
        help;
  };
  const Case cases[] = {
      {"defaults",
       {rpoPrintToFile, rpoPageNums, rpoSelection, rpoWarning, rpoDisablePrintToFile},
       true,
       false,
       true,
       true,
       true,
       true,
       false},
      {"no print to file box", {rpoPageNums}, false, true, true, true, true, false, false},
      {"everything disabled",
       {rpoPrintToFile, rpoDisableCopies, rpoDisablePrintInBackground, rpoHelp},
       true,
       true,
       false,
       false,
       false,
       false,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    params_.SetOptions(c.options);
    TRLPrintDialog dialog;
    dialog.LoadEditors();
    EXPECT_EQ(dialog.CheckBoxPrintToFile->Visible(), c.to_file_visible);
    EXPECT_EQ(dialog.CheckBoxPrintToFile->Enabled(), c.to_file_enabled);
    EXPECT_EQ(dialog.CheckBoxPrintInBackground->Enabled(), c.background_enabled);
    EXPECT_EQ(dialog.EditCopies->Enabled(), c.copies_enabled);
    EXPECT_EQ(dialog.EditCopies->Color(), c.copies_enabled ? clWindow : clBtnFace);
    EXPECT_EQ(dialog.RadioButtonPagesInterval->Enabled(), c.interval_enabled);
    EXPECT_EQ(dialog.EditFromPage->Enabled(), c.interval_enabled);
    EXPECT_EQ(dialog.EditToPage->Color(), c.interval_enabled ? clWindow : clBtnFace);
    EXPECT_EQ(dialog.RadioButtonPagesSelect->Enabled(), c.selection_enabled);
    EXPECT_EQ(dialog.BorderIcons().Contains(biHelp), c.help);
  }
}

TEST_F(PrintDialog, TheRangeAndCopiesAreLoadedAndStored) {
  params_.SetMaxPage(12);
  EXPECT_EQ(params_.ToPage(), 12);  // it followed MaxPage
  struct Case {
    const char* what;
    TRLPrintRange loaded;
    void (*choose)(TRLPrintDialog&);
    TRLPrintRange range;
    int from, to, copies;
  };
  const Case cases[] = {
      {"all pages", rprPageNums, [](TRLPrintDialog& d) { d.RadioButtonPagesAll->SetChecked(true); }, rprAllPages, 1, 12,
       1},
      {"selection prints the first box's page", rprAllPages,
       [](TRLPrintDialog& d) {
         d.RadioButtonPagesSelect->SetChecked(true);
         d.EditFromPage->SetText("4");
         d.RadioButtonPagesSelect->SetChecked(true);
       },
       rprSelection, 4, 4, 1},
      {"typing a page chooses the interval", rprAllPages,
       [](TRLPrintDialog& d) {
         d.EditToPage->SetText("7");
         d.EditCopies->SetText("3");
       },
       rprPageNums, 1, 7, 3},
      {"an empty last page prints nothing", rprAllPages,
       [](TRLPrintDialog& d) {
         d.EditFromPage->SetText("2");
         d.EditToPage->SetText("");
         d.EditCopies->SetText("x");
       },
       rprPageNums, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    params_.SetPrintRange(c.loaded);
    params_.SetFromPage(1);
    params_.SetToPage(12);
    params_.SetCopies(1);
    TRLPrintDialog dialog;
    dialog.LoadEditors();
    EXPECT_EQ(dialog.EditFromPage->GetText(), "1");
    EXPECT_EQ(dialog.EditToPage->GetText(), "12");
    EXPECT_EQ(dialog.RadioButtonPagesInterval->Checked(), c.loaded == rprPageNums);
    c.choose(dialog);
    dialog.SaveEditors();
    EXPECT_EQ(params_.PrintRange(), c.range);
    EXPECT_EQ(params_.FromPage(), c.from);
    EXPECT_EQ(params_.ToPage(), c.to);
    EXPECT_EQ(params_.Copies(), c.copies);
    EXPECT_EQ(RLPrinter().Copies(), std::max(1, c.copies));
  }
  RLPrinter().SetCopies(1);
}

TEST_F(PrintDialog, ZeroValuesShowEmptyBoxes) {
  params_.SetFromPage(0);
  params_.SetCopies(0);
  TRLPrintDialog dialog;
  dialog.LoadEditors();
  EXPECT_EQ(dialog.EditFromPage->GetText(), "");
  EXPECT_EQ(dialog.EditCopies->GetText(), "");
  EXPECT_EQ(dialog.LabelToPage->Caption(), EngineMessages().msgRangeTo + ":");
}

// A print filter with options of its own.
class TOptionsFilter : public TRLCustomPrintFilter {
public:
  TOptionsFilter() { SetDisplayName("Matricial"); }
  std::string GetOptionsLabel() override { return "Modo"; }
  std::vector<std::string> GetOptions() override {
    return {"Rascunho", orientation == TRLPageOrientation::poLandscape ? "Largo" : "Normal"};
  }
  int GetSelectedOption() override { return selected; }
  void SetSelectedOption(int index) override { selected = index; }
  void SetOrientation(TRLPageOrientation value) override { orientation = value; }
  int selected = 1;
  TRLPageOrientation orientation = TRLPageOrientation::poPortrait;

protected:
  void BeginDoc() override {}
  void EndDoc() override {}
  void NewPage() override {}
  void DrawPage(TRLGraphicSurface&) override {}
};

class TNamelessFilter : public TOptionsFilter {
public:
  TNamelessFilter() { SetDisplayName(""); }
};

TEST_F(PrintDialog, TheFilterListOffersNamedPrintFiltersAndTheirOptions) {
  {
    TRLPrintDialog dialog;
    dialog.LoadFilterList();
    ASSERT_EQ(dialog.ComboBoxFilters->Items().Count(), 1);
    EXPECT_EQ(dialog.ComboBoxFilters->Items()[0], EngineMessages().msgDefault);
    EXPECT_FALSE(dialog.ComboBoxFilters->Enabled());
    EXPECT_EQ(dialog.ComboBoxFilters->Color(), clBtnFace);
    EXPECT_FALSE(dialog.ComboBoxOptions->Visible());
  }
  TNamelessFilter nameless;
  TOptionsFilter filter;
  params_.SetFilter(&filter);
  params_.SetOrientation(TRLPageOrientation::poLandscape);
  TRLPrintDialog dialog;
  dialog.LoadFilterList();
  ASSERT_EQ(dialog.ComboBoxFilters->Items().Count(), 2);
  EXPECT_EQ(dialog.ComboBoxFilters->Items()[1], "Matricial");
  EXPECT_EQ(dialog.ComboBoxFilters->ItemIndex(), 1);
  EXPECT_TRUE(dialog.ComboBoxFilters->Enabled());
  EXPECT_TRUE(dialog.ComboBoxOptions->Visible());
  EXPECT_TRUE(dialog.LabelOptions->Visible());
  EXPECT_EQ(dialog.LabelOptions->Caption(), "Modo:");
  ASSERT_EQ(dialog.ComboBoxOptions->Items().Count(), 2);
  EXPECT_EQ(dialog.ComboBoxOptions->Items()[1], "Largo");
  EXPECT_EQ(dialog.ComboBoxOptions->ItemIndex(), 1);

  dialog.ComboBoxOptions->SetItemIndex(0);
  dialog.SaveEditors();
  EXPECT_EQ(params_.Filter(), &filter);
  EXPECT_EQ(filter.selected, 0);

  dialog.ComboBoxFilters->UserChanged(dialog.ComboBoxFilters->Items()[0], 0);
  EXPECT_FALSE(dialog.ComboBoxOptions->Visible());
  dialog.SaveEditors();
  EXPECT_EQ(params_.Filter(), nullptr);

  // A destroyed filter is forgotten.
  {
    TOptionsFilter brief;
    params_.SetFilter(&brief);
  }
  EXPECT_EQ(params_.Filter(), nullptr);
}

TEST_F(PrintDialog, ThePrinterListShowsPortsThatDifferFromTheName) {
  TCupsServer& cups = SharedCupsServer();
  cups.Reset();
  cups.AddQueue("balcao", true, "Loja");
  cups.AddQueue("deposito", false, "deposito");
  TRLPrintDialog dialog;
  dialog.LoadPrinterList();
  std::vector<std::string> items;
  for (int i = 0; i < dialog.ComboBoxPrinterNames->Items().Count(); ++i)
    items.push_back(dialog.ComboBoxPrinterNames->Items()[i]);
  std::sort(items.begin(), items.end());
  EXPECT_EQ(items, (std::vector<std::string>{"balcao " + EngineMessages().msgAt + " Loja", "deposito"}));
  EXPECT_EQ(dialog.ComboBoxPrinterNames->GetText(), "balcao " + EngineMessages().msgAt + " Loja");

  // Choosing the other one selects it in the printer.
  int other = dialog.ComboBoxPrinterNames->ItemIndex() == 0 ? 1 : 0;
  dialog.ComboBoxPrinterNames->SetItemIndex(other);
  dialog.SaveEditors();
  EXPECT_EQ(RLPrinter().PrinterName(), "deposito");
  RLPrinter().SetPrinterIndex(-1);
  cups.Reset();
}

TEST_F(PrintDialog, ExecuteStoresTheChoicesOnlyOnOk) {
  params_.SetMaxPage(20);
  {
    TRLPrintDialog dialog;
    WhenModal([&](QWidget*) {
      dialog.EditFromPage->SetText("5");
      dialog.CheckBoxPrintInBackground->SetChecked(true);
      dialog.ButtonCancel->Click();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(params_.FromPage(), 1);
    EXPECT_FALSE(params_.PrintInBackground());
  }
  TRLPrintDialog dialog;
  WhenModal([&](QWidget*) {
    dialog.EditFromPage->SetText("5");
    dialog.CheckBoxPrintInBackground->SetChecked(true);
    dialog.ButtonOk->Click();
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(params_.PrintRange(), rprPageNums);
  EXPECT_EQ(params_.FromPage(), 5);
  EXPECT_EQ(params_.ToPage(), 20);
  EXPECT_TRUE(params_.PrintInBackground());
}

class SaveDialog : public testing::Test {
protected:
  void SetUp() override {
    application_ = MakeTestApplication();
    PDFFilter();
    PNGFilter();
    params_.Clear();
    params_.SetFilter(nullptr);
    params_.SetSaveInBackground(false);
  }

  std::unique_ptr<TApplication> application_;
  TRLSaveParams& params_ = SaveParams();
};

TEST_F(SaveDialog, TheExtensionDecidesTheFormat) {
  struct Case {
    const char* typed;
    TRLCustomSaveFilter* chosen;
    std::string name;
    TRLCustomSaveFilter* filter;
  };
  const Case cases[] = {
      {"clientes", nullptr, "clientes.rpf", nullptr},
      {"clientes", &PDFFilter(), "clientes.pdf", &PDFFilter()},
      {"clientes.rpf", &PDFFilter(), "clientes.rpf", nullptr},
      {"clientes.PDF", nullptr, "clientes.PDF", &PDFFilter()},
      {"clientes.png", &PDFFilter(), "clientes.png", &PNGFilter()},
      {"clientes.txt", &PDFFilter(), "clientes.txt", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    params_.SetFilter(c.chosen);
    TRLSaveDialog dialog;
    dialog.LoadFilterList();
    dialog.LoadEditors();
    dialog.EditFileName->SetText(c.typed);
    dialog.SaveEditors();
    EXPECT_EQ(params_.FileName(), c.name);
    EXPECT_EQ(params_.Filter(), c.filter);
  }
}

TEST_F(SaveDialog, ControlsFollowTheParameters) {
  params_.SetFileName("/tmp/r.rpf");
  params_.SetMaxPage(30);
  params_.SetFromPage(0);
  params_.SetSaveInBackground(true);
  params_.SetOptions({rsoDisableSaveInBackground});
  params_.SetFilter(&PNGFilter());
  TRLSaveDialog dialog;
  dialog.LoadFilterList();
  dialog.LoadEditors();
  params_.SetOptions({});
  EXPECT_EQ(dialog.EditFileName->GetText(), "/tmp/r.rpf");
  EXPECT_EQ(dialog.EditFromPage->GetText(), "");
  EXPECT_EQ(dialog.EditToPage->GetText(), "30");
  EXPECT_TRUE(dialog.RadioButtonPagesAll->Checked());
  EXPECT_TRUE(dialog.CheckBoxSaveInBackground->Checked());
  EXPECT_FALSE(dialog.CheckBoxSaveInBackground->Enabled());
  EXPECT_FALSE(dialog.RadioButtonPagesSelect->Enabled());
  EXPECT_EQ(dialog.LabelToPage->Caption(), EngineMessages().msgRangeTo);
  EXPECT_EQ(dialog.LabelFromPage->Caption(), EngineMessages().msgRangeFrom + ":");
  EXPECT_EQ(dialog.ComboBoxFilters->GetText(), "PNG");

  // The format list: the report file, then every save filter in list order.
  std::vector<std::string> expected{EngineMessages().msgDefault};
  for (TRLCustomFilter* filter : FilterList()) {
    if (dynamic_cast<TRLCustomSaveFilter*>(filter)) expected.push_back(filter->GetDisplayName());
  }
  std::vector<std::string> items;
  for (int i = 0; i < dialog.ComboBoxFilters->Items().Count(); ++i) items.push_back(dialog.ComboBoxFilters->Items()[i]);
  EXPECT_EQ(items, expected);

  dialog.EditToPage->SetText("9");
  dialog.SaveEditors();
  EXPECT_EQ(params_.SaveRange(), rsrPageNums);
  EXPECT_EQ(params_.FromPage(), 0);
  EXPECT_EQ(params_.ToPage(), 9);
}

TEST_F(SaveDialog, TheLookupButtonOffersTheFormatsFilesAndTakesTheChosenName) {
  struct Case {
    TRLCustomSaveFilter* chosen;
    const char* filter;
    const char* default_ext;
  };
  const Case cases[] = {{nullptr, "ZozozoRavivi (*.rpf)|*.rpf", ".rpf"}, {&PDFFilter(), "PDF (*.pdf)|*.pdf", ".pdf"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    params_.SetFilter(c.chosen);
    TRLSaveDialog dialog;
    dialog.LoadFilterList();
    dialog.LoadEditors();
    dialog.EditFileName->SetText("/tmp/inicial");
    QStringList offered;
    QString suffix;
    WhenModal([&](QWidget* modal) {
      auto* files = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(files, nullptr);
      offered = files->nameFilters();
      suffix = files->defaultSuffix();
      // Typed into the name box, as a user does.
      auto* name = files->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText("/tmp/escolhido");
      QMetaObject::invokeMethod(files, "accept");
    });
    dialog.SpeedButtonLookup->Click();
    EXPECT_EQ(dialog.SaveDialog->Filter(), c.filter);
    EXPECT_EQ(dialog.SaveDialog->DefaultExt(), c.default_ext);
    ASSERT_EQ(offered.size(), 1);
    EXPECT_EQ(offered[0].toStdString(), std::string(c.filter).substr(0, std::string(c.filter).find('|')));
    EXPECT_EQ("." + suffix.toStdString(), c.default_ext);
    EXPECT_EQ(dialog.EditFileName->GetText(), std::string("/tmp/escolhido") + c.default_ext);
  }
}

// Save over an existing file (for PNG, an existing page image) asks first, in the user's language; No keeps the
// dialog open and stores nothing, Yes saves; a new file is saved without a question.
TEST_F(SaveDialog, SavingOverAnExistingFileAsksFirst) {
  TTranslations portuguese("pt_BR.UTF-8");
  TempFolder folder;
  std::ofstream(folder.path() / "old.pdf") << "x";
  std::ofstream(folder.path() / "p01.png") << "x";
  struct Case {
    const char* typed;
    const char* asked_about;  // null: no question
    bool yes;
  };
  const Case cases[] = {
      {"old.pdf", "old.pdf", false},
      {"old.pdf", "old.pdf", true},
      {"p.png", "p01.png", true},
      {"new.pdf", nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + (c.yes ? " yes" : " no"));
    params_.Clear();
    params_.SetFileName("");
    params_.SetMaxPage(12);
    TRLSaveDialog dialog;
    QString question, yes_text;
    bool still_open = false;
    WhenModal([&](QWidget*) {
      dialog.EditFileName->SetText((folder.path() / c.typed).string());
      if (c.asked_about) {
        WhenModal([&](QWidget* modal) {
          auto* box = qobject_cast<QMessageBox*>(modal);
          ASSERT_NE(box, nullptr);
          question = box->text();
          yes_text = box->button(QMessageBox::Yes)->text();
          box->button(c.yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
      }
      dialog.ButtonSave->Click();
      still_open = dialog.ModalResult() == mrNone;
      if (still_open) dialog.ButtonCancel->Click();
    });
    const bool saved = dialog.Execute();
    const bool expect_saved = !c.asked_about || c.yes;
    EXPECT_EQ(saved, expect_saved);
    EXPECT_EQ(still_open, !expect_saved);
    EXPECT_EQ(params_.FileName(), expect_saved ? (folder.path() / c.typed).string() : "");
    if (c.asked_about) {
      EXPECT_TRUE(
          question.startsWith("O arquivo \"" + QString::fromStdString((folder.path() / c.asked_about).string())))
          << question.toStdString();
      EXPECT_TRUE(question.contains("substituí-lo")) << question.toStdString();
      EXPECT_EQ(yes_text.toStdString(), "&Sim");
    } else {
      EXPECT_TRUE(question.isEmpty());
    }
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"old.pdf", "p01.png"}));
}

// The parameters placed on a form are written with what differs from their defaults, and read back the same.
TEST(OutputParams, ADefinitionHoldsThePublishedPropertiesAndReadsBackTheSame) {
  RegisterOutputClasses();
  TForm form(nullptr);
  form.SetName("Form1");
  auto* print = new TRLPrintParams(&form);
  print->SetName("RLPrintParams1");
  auto* save = new TRLSaveParams(&form);
  save->SetName("RLSaveParams1");
  auto* pdf = new TRLPDFFilter(&form);
  pdf->SetName("RLPDFFilter1");
  const std::string defaults = WriteDefinition(form);
  for (const char* unwritten : {"Copies:", "PrintRange:", "Orientation:", "PrintToFile:", "SaveRange:", "Filter:"}) {
    EXPECT_EQ(defaults.find(unwritten), std::string::npos) << unwritten << " at its default:\n" << defaults;
  }
  EXPECT_NE(defaults.find("ToPage: 9999"), std::string::npos) << defaults;

  print->SetOptions({rpoHelp, rpoDisableCopies});
  print->SetCopies(3);
  print->SetPrintRange(rprPageNums);
  print->SetOrientation(TRLPageOrientation::poLandscape);
  print->SetPrintInBackground(true);
  save->SetFileName("clientes.pdf");
  save->SetFilter(pdf);
  save->SetMaxPage(12);
  const std::string text = WriteDefinition(form);
  for (const char* written : {"Options: [rpoHelp, rpoDisableCopies]", "Copies: 3", "PrintRange: rprPageNums",
                              "Orientation: poLandscape", "Filter: RLPDFFilter1", "MaxPage: 12"}) {
    EXPECT_NE(text.find(written), std::string::npos) << written << ":\n" << text;
  }

  TForm copy(nullptr);
  copy.SetName("Form1");
  ReadDefinition(copy, text);
  EXPECT_EQ(WriteDefinition(copy), text);
  auto* read_save = dynamic_cast<TRLSaveParams*>(copy.FindComponent("RLSaveParams1"));
  ASSERT_NE(read_save, nullptr);
  EXPECT_EQ(read_save->Filter(), copy.FindComponent("RLPDFFilter1"));
  EXPECT_EQ(read_save->ToPage(), 12) << "ToPage follows MaxPage";
}

}  // namespace
