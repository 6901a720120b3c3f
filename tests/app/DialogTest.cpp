#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "core/Definitions.h"

#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <memory>

namespace {

// The dialog inside an application whose exception handler records instead of showing a message box.
class DialogTest : public testing::Test {
protected:
  void SetUp() override {
    InitializeUnits();
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };
    form_ = application_->CreateForm<TForm1>();
  }
  void TearDown() override { application_.reset(); }

  std::unique_ptr<TApplication> application_;
  TForm1* form_ = nullptr;
  std::vector<std::string> errors_;
};

TEST_F(DialogTest, ComesUpAsLaidOut) {
  EXPECT_EQ(form_->Caption(), "Relação de Clientes Por Cidade");
  EXPECT_EQ(form_->BorderStyle(), bsSingle);
  EXPECT_EQ(form_->Position(), poScreenCenter);
  EXPECT_EQ(form_->ClientWidth(), 405);
  EXPECT_EQ(form_->ClientHeight(), 122);

  struct Expected {
    TControl* control;
    TWinControl* parent;
    int left, top, width, height;
    const char* caption;
  };
  const Expected controls[] = {
      {form_->GroupBox1, form_, 16, 8, 369, 84, "Seleção"},
      {form_->Label5, form_->GroupBox1, 16, 30, 40, 13, "Cidade"},
      {form_->cxLookupComboBox2, form_->GroupBox1, 64, 26, 281, 21, ""},
      {form_->cxButton2, form_, 216, 79, 75, 25, "Relatório"},
      {form_->cxButton1, form_, 296, 79, 75, 25, "Sair"},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.control->Name());
    EXPECT_EQ(c.control->Parent(), c.parent);
    EXPECT_EQ(c.control->BoundsRect(), (TRect{c.left, c.top, c.left + c.width, c.top + c.height}));
    EXPECT_EQ(c.control->Caption(), c.caption);
  }
  for (TControl* verdana : {static_cast<TControl*>(form_->GroupBox1), static_cast<TControl*>(form_->Label5),
                            static_cast<TControl*>(form_->cxButton1), static_cast<TControl*>(form_->cxButton2)}) {
    EXPECT_EQ(verdana->Font().Name(), "Verdana") << verdana->Name();
    EXPECT_EQ(verdana->Font().Height(), -11) << verdana->Name();
  }
  EXPECT_EQ(form_->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(form_->RLReport2->DataSource(), form_->DSQRel);
  EXPECT_EQ(form_->DSCidades->DataSet(), form_->QCidades);
  EXPECT_EQ(form_->QRelnome->DataSet(), form_->QRel);
  EXPECT_EQ(form_->QRelnome->Size(), 50);
  EXPECT_EQ(form_->QCidadescidade->Origin(), "VERANTO.\"acadclie.DB\".CIDADE");
  EXPECT_EQ(form_->QRel->SQL().Text(), "select codigo,nome,cidade,fone,fax,contato from acadclie\n");
  EXPECT_FALSE(form_->QRel->Active());
}

TEST_F(DialogTest, ItsDefinitionWritesBackUnchanged) { EXPECT_EQ(WriteDefinition(*form_), DialogDefinition()); }

TEST_F(DialogTest, ShowingCentresItAndAFailedOpenIsReportedWhileTheDialogStays) {
  form_->Show();
  ASSERT_NE(form_->Widget(), nullptr);
  EXPECT_TRUE(form_->Widget()->isVisible());
  EXPECT_NE(form_->Left(), 213);  // placed at the screen's centre, not at the stored position
  EXPECT_EQ(form_->Widget()->size(), QSize(405, 122));
  ASSERT_NE(form_->cxButton1->Widget(), nullptr);
  EXPECT_EQ(form_->cxButton1->Widget()->geometry(), QRect(296, 79, 75, 25));
  // Whatever opening the cities query did, a failure reached the handler and the dialog is up.
  EXPECT_TRUE(form_->QCidades->Active() || errors_.size() == 1);
  EXPECT_TRUE(form_->Visible());
}

TEST_F(DialogTest, ReportButtonLeavesExactlyOneStatementEachTime) {
  struct Press {
    const char* city;
    const char* statement;
  };
  const Press presses[] = {
      {"", "select codigo,nome,cidade,fone,fax,contato from acadclie order by cidade,nome"},
      {"Maceió",
       "select codigo,nome,cidade,fone,fax,contato from acadclie where cidade=\"Maceió\" order by cidade,nome"},
      {"a\"b", "select codigo,nome,cidade,fone,fax,contato from acadclie where cidade=\"a\"\"b\" order by cidade,nome"},
  };
  for (const auto& press : presses) {
    form_->cxLookupComboBox2->SetText(press.city);
    try {
      form_->cxButton2Click(form_->cxButton2);
    } catch (const std::exception&) {
      // Opening the query or previewing may fail here; the statement is built before either.
    }
    ASSERT_EQ(form_->QRel->SQL().Count(), 1) << press.city;
    EXPECT_EQ(form_->QRel->SQL().Strings(0), press.statement);
  }
}

TEST_F(DialogTest, SairClosesTheDialogAndEndsTheLoop) {
  form_->Show();
  form_->cxButton1->Click();
  EXPECT_FALSE(form_->Visible());
  EXPECT_TRUE(application_->Terminated());
  EXPECT_FALSE(form_->QRel->Active());
}

}  // namespace
