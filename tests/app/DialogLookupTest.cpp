// The dialog over the demo database: its lookup lists the cities as the cities query delivers them, typing
// completes a city, and the report button then reports that city's clients only.
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "engine/EngineFixture.h"
#include "pages/RLMetaFile.h"

#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <set>

namespace {

class DialogLookup : public testing::Test {
protected:
  void SetUp() override {
    const std::string db = (dir_.path() / "veranto.db").string();
    const std::string command = std::string(RELCLIENTES_GEN_DEMO_DB) + " '" + db + "' 2000 1 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    enginetest::WriteFile(dir_.path() / "engine.cfg",
                          "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=STANDARD\nPATH=" + db + "\nLANGDRIVER=pt_BR\n");
    InitializeUnits();
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };
    form_ = application_->CreateForm<TForm1>();
    form_->Show();
    QApplication::setActiveWindow(form_->Widget());
    text_ = form_->cxLookupComboBox2->Widget()->findChild<QLineEdit*>();
    text_->setFocus();
    QApplication::processEvents();
  }
  void TearDown() override {
    application_.reset();
    Session()->Close();
  }

  TempFolder dir_;
  ScopedEnv env_{"RELCLIENTES_ENGINE_CONFIG", (dir_.path() / "engine.cfg").string()};
  std::unique_ptr<TApplication> application_;
  TForm1* form_ = nullptr;
  QLineEdit* text_ = nullptr;
  std::vector<std::string> errors_;
};

TEST_F(DialogLookup, TypingCurCompletesCuritibaAndTheReportHoldsOnlyItsClients) {
  ASSERT_TRUE(form_->QCidades->Active()) << (errors_.empty() ? "" : errors_.front());
  TcxLookupComboBox& lookup = *form_->cxLookupComboBox2;
  EXPECT_TRUE(lookup.Properties().KeyIsListField());
  std::vector<std::string> cities;
  for (form_->QCidades->First(); !form_->QCidades->Eof(); form_->QCidades->Next()) {
    cities.push_back(form_->QCidadescidade->AsString());
  }
  auto& list = lookup.Properties().DataController();
  ASSERT_EQ(list.RowCount(), static_cast<int>(cities.size()));
  ASSERT_GT(cities.size(), 10u);
  for (int row = 0; row < list.RowCount(); ++row) EXPECT_EQ(list.GetDisplayText(list.RowRecord(row), 0), cities[row]);
  EXPECT_EQ(lookup.GetText(), "");

  QTest::keyClicks(text_, "Cur");
  QApplication::processEvents();
  EXPECT_EQ(lookup.GetText(), "Curitiba");
  EXPECT_EQ(text_->selectedText().toStdString(), "itiba");

  // The preview window, when there is one, is closed as soon as it shows.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  closer.start(50);
  // The list that typing opened is still open: the click on the button closes it and reaches the button.
  ASSERT_TRUE(lookup.DroppedDown());
  QWidget* button = form_->cxButton2->Widget();
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
  closer.stop();
  EXPECT_FALSE(lookup.DroppedDown());
  ASSERT_EQ(form_->QRel->SQL().Count(), 1);
  EXPECT_EQ(form_->QRel->SQL().Strings(0),
            "select codigo,nome,cidade,fone,fax,contato from acadclie where cidade=\"Curitiba\" order by cidade,nome");
  int clients = 0;
  for (form_->QRel->First(); !form_->QRel->Eof(); form_->QRel->Next()) {
    EXPECT_EQ(form_->QRelcidade->AsString(), "Curitiba");
    ++clients;
  }
  EXPECT_GT(clients, 0);
  // The pages name no other city.
  const std::set<std::string> others(cities.begin(), cities.end());
  TRLGraphicStorage& pages = form_->RLReport2->Pages();
  ASSERT_GT(pages.PageCount(), 0);
  bool named = false;
  for (int i = 0; i < pages.PageCount(); ++i) {
    TRLPageRef page = pages.Pages(i);
    for (int j = 0; j < page->ObjectCount(); ++j) {
      auto* text = dynamic_cast<const TRLTextObject*>(page->Objects(j));
      if (!text || !others.count(text->Text())) continue;
      EXPECT_EQ(text->Text(), "Curitiba");
      named = true;
    }
  }
  EXPECT_TRUE(named);
}

// Enter runs the report and Esc leaves as Sair does, from the city field; while the city list is open they pick or
// drop its row, and a focused button takes Enter itself.
TEST_F(DialogLookup, EnterRunsTheReportAndEscLeavesUnlessTheListOrAButtonTakesThem) {
  ASSERT_TRUE(form_->QCidades->Active()) << (errors_.empty() ? "" : errors_.front());
  TcxLookupComboBox& lookup = *form_->cxLookupComboBox2;
  std::vector<std::string> clicked;
  form_->cxButton2->OnClick = [&](TObject*) { clicked.push_back("Relatório"); };
  form_->cxButton1->OnClick = [&](TObject*) { clicked.push_back("Sair"); };
  struct Case {
    const char* typed;  // in the city field, which opens its list
    bool close_list;    // with F4 before the key
    Qt::Key key;
    bool on_sair;  // the focus on Sair instead
    const char* clicks;
    const char* text;
  };
  const Case cases[] = {
      {"Cur", true, Qt::Key_Return, false, "Relatório", "Curitiba"},
      {"Cur", false, Qt::Key_Return, false, "", "Curitiba"},
      {"", false, Qt::Key_Return, false, "Relatório", ""},
      {"Cur", true, Qt::Key_Escape, false, "Sair", "Curitiba"},
      {"Cur", false, Qt::Key_Escape, false, "", "Curitiba"},
      {"", false, Qt::Key_Return, true, "Sair", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + (c.close_list ? " closed, " : ", ") + std::to_string(c.key));
    clicked.clear();
    lookup.CloseUp(false);
    lookup.SetEditValue(Variant(std::string()));
    text_->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(text_, c.typed);
    if (c.close_list) QTest::keyClick(text_, Qt::Key_F4);
    QWidget* target = text_;
    if (c.on_sair) {
      target = form_->cxButton1->Widget();
      target->setFocus();
    }
    QApplication::processEvents();
    QTest::keyClick(target, c.key);
    QApplication::processEvents();
    EXPECT_EQ(clicked.empty() ? "" : clicked.front(), std::string(c.clicks));
    EXPECT_LE(clicked.size(), 1u);
    EXPECT_FALSE(lookup.DroppedDown());
    EXPECT_EQ(lookup.GetText(), c.text);
  }
}

}  // namespace
