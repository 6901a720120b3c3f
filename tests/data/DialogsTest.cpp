// The login and password dialogs, and queries read from stored definitions.
#include "core/ScopeGuard.h"
#include "data/ClientDbFixture.h"

#include "core/Definitions.h"
#include "data/DBLogDlg.h"
#include "data/DBRegistration.h"
#include "widgets/ExtCtrls.h"
#include "widgets/StdCtrls.h"

using namespace querytest;

namespace {

struct Placed {
  const char* name;
  const char* caption;
  int left, top, width, height;
};

void ExpectLayout(TForm& form, const std::vector<Placed>& controls) {
  for (const Placed& p : controls) {
    auto* c = dynamic_cast<TControl*>(form.FindComponent(p.name));
    ASSERT_NE(c, nullptr) << p.name;
    if (p.caption) {
      EXPECT_EQ(c->Caption(), p.caption) << p.name;
    }
    EXPECT_EQ(c->Left(), p.left) << p.name;
    EXPECT_EQ(c->Top(), p.top) << p.name;
    if (p.width >= 0) {
      EXPECT_EQ(c->Width(), p.width) << p.name;
    }
    if (p.height >= 0) {
      EXPECT_EQ(c->Height(), p.height) << p.name;
    }
  }
}

}  // namespace

TEST(LoginDialog, BuiltWithItsCaptionsAndPlaces) {
  TLoginDialog d(nullptr);
  EXPECT_EQ(d.Name(), "LoginDialog");
  EXPECT_EQ(d.Caption(), "Database Login");
  EXPECT_EQ(d.BorderStyle(), bsDialog);
  EXPECT_EQ(d.Position(), poScreenCenter);
  EXPECT_EQ(d.ClientWidth(), 273);
  EXPECT_EQ(d.ClientHeight(), 147);
  ExpectLayout(d, {{"Panel", nullptr, 8, 7, 257, 98},
                   {"Label1", "Database:", 10, 6, -1, -1},
                   {"DatabaseName", "", 91, 6, -1, -1},
                   {"Bevel", nullptr, 1, 24, 254, 9},
                   {"Panel2", nullptr, 2, 31, 253, 65},
                   {"Label2", "&User Name:", 8, 8, -1, -1},
                   {"Label3", "&Password:", 8, 36, -1, -1},
                   {"UserName", nullptr, 86, 5, 153, 21},
                   {"Password", nullptr, 86, 33, 153, 21},
                   {"OKButton", "&OK", 109, 114, 75, 25},
                   {"CancelButton", "Cancel", 190, 114, 75, 25}});
  EXPECT_EQ(d.Password->PasswordChar(), '*');
  EXPECT_EQ(d.UserName->MaxLength(), 31);
  EXPECT_EQ(d.Password->MaxLength(), 31);
  EXPECT_EQ(d.UserName->Parent(), d.Panel2);
  EXPECT_EQ(d.Panel2->Parent(), d.Panel);
  EXPECT_TRUE(d.OKButton->Default());
  EXPECT_EQ(d.OKButton->ModalResult(), mrOk);
  EXPECT_TRUE(d.CancelButton->Cancel());
  EXPECT_EQ(d.CancelButton->ModalResult(), mrCancel);
}

TEST(PasswordDialog, BuiltWithItsCaptionsAndPlaces) {
  TPasswordDialog d(nullptr);
  EXPECT_EQ(d.Name(), "PasswordDialog");
  EXPECT_EQ(d.Caption(), "Enter password");
  EXPECT_EQ(d.BorderStyle(), bsDialog);
  EXPECT_EQ(d.ClientWidth(), 273);
  EXPECT_EQ(d.ClientHeight(), 132);
  ExpectLayout(d, {{"GroupBox1", "Password", 8, 8, 257, 81},
                   {"Edit", nullptr, 16, 18, 225, 20},
                   {"AddButton", "&Add", 16, 46, 65, 25},
                   {"RemoveButton", "&Remove", 88, 46, 65, 25},
                   {"RemoveAllButton", "Re&move all", 160, 46, 81, 25},
                   {"OKButton", "&OK", 109, 98, 75, 25},
                   {"CancelButton", "Cancel", 190, 98, 75, 25}});
  EXPECT_EQ(d.Edit->PasswordChar(), '*');
  EXPECT_TRUE(d.OKButton->Default());
}

TEST_F(ClientDb, PasswordDialogHandsPasswordsToTheSession) {
  WriteAlias("VERANTO", "PASSWORD=segredo\n");
  // The hook is process-wide: it goes back however the test ends.
  TScopedValueRollback<TPasswordHook> saved(PasswordHook());
  int asked = 0;
  PasswordHook() = [&asked](TSession*) {
    ++asked;
    return false;
  };
  TPasswordDialog d(nullptr, Session());
  EXPECT_FALSE(d.AddButton->Enabled());
  EXPECT_FALSE(d.RemoveButton->Enabled());
  EXPECT_FALSE(d.OKButton->Enabled());
  d.Edit->SetText("segredo");
  d.EditChange();
  EXPECT_TRUE(d.AddButton->Enabled());
  EXPECT_TRUE(d.OKButton->Enabled());
  d.AddClick();
  EXPECT_EQ(d.Edit->GetText(), "");
  EXPECT_FALSE(d.AddButton->Enabled());
  EXPECT_TRUE(d.OKButton->Enabled()) << "a password was added";
  d.Edit->SetText("segredo");
  d.RemoveClick();
  TQuery* q = NewQuery("select codigo from acadclie");
  EXPECT_THROW(q->Open(), EDBEngineError);
  EXPECT_EQ(asked, 1) << "the removed password no longer opens the database";
  d.Edit->SetText("segredo");
  d.OKClick();
  EXPECT_EQ(d.ModalResult(), mrOk);
  q->Open();
  EXPECT_EQ(q->RecordCount(), 10);
  EXPECT_EQ(asked, 1);
}

TEST_F(ClientDb, QueryReadFromADefinitionOpensWhenLoaded) {
  RegisterDataClasses();
  TComponent root(nullptr);
  root.SetName("Root");
  ReadDefinition(root, R"(TComponent Root {
    TQuery QCidades {
      DatabaseName: "VERANTO"
      SQL: ["select cidade from acadclie", "group by cidade"]
      UniDirectional: true
      Active: true
      TStringField QCidadescidade {
        FieldName: "cidade"
        Size: 35
      }
    }
  })");
  auto* q = dynamic_cast<TQuery*>(root.FindComponent("QCidades"));
  ASSERT_NE(q, nullptr);
  EXPECT_TRUE(q->Active());
  EXPECT_TRUE(q->UniDirectional());
  EXPECT_EQ(q->RecordCount(), 8);
  EXPECT_EQ(q->FieldByName("cidade")->AsString(), "Águas Claras");
  const std::string written = WriteDefinition(root);
  EXPECT_NE(written.find("UniDirectional: true"), std::string::npos) << written;
  EXPECT_EQ(written.find("ParamCheck"), std::string::npos) << written;
  EXPECT_EQ(written.find("RequestLive"), std::string::npos) << written;
}
