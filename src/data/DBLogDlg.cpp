#include "data/DBLogDlg.h"

#include "core/Text.h"
#include "core/Translation.h"
#include "data/Sessions.h"
#include "graphics/Canvas.h"
#include "widgets/ExtCtrls.h"
#include "widgets/StdCtrls.h"

#include <memory>

namespace {

constexpr int kMaxPasswordChars = 255;
constexpr int kMaxLoginChars = 31;

TLabel* MakeLabel(TForm* form, TWinControl* parent, const char* name, const std::string& caption, int left, int top) {
  auto* label = new TLabel(form);
  label->SetName(name);
  label->SetParent(parent);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(caption);
  return label;
}

// The first `chars` characters of a text.
std::string FirstChars(const std::string& text, int chars) {
  std::string out;
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80 && count++ == chars) break;
    out += text[i];
  }
  return out;
}

}  // namespace

// ---- TLoginDialog ----

TLoginDialog::TLoginDialog(TComponent* owner) : TForm(owner) {
  SetName("LoginDialog");
  SetCaption(Translate("data", "Database Login"));
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(273);
  SetClientHeight(147);
  SetParentFont(true);

  Panel = MakeControl<TPanel>(this, this, "Panel", 8, 7, 257, 98);
  Panel->SetBevelInner(bvRaised);
  Panel->SetBevelOuter(bvLowered);
  Label1 = MakeLabel(this, Panel, "Label1", Translate("data", "Database:"), 10, 6);
  DatabaseName = MakeLabel(this, Panel, "DatabaseName", "", 91, 6);
  Bevel = MakeControl<TBevel>(this, Panel, "Bevel", 1, 24, 254, 9);
  Bevel->SetShape(bsTopLine);
  Panel2 = MakeControl<TPanel>(this, Panel, "Panel2", 2, 31, 253, 65);
  Panel2->SetAlign(alBottom);
  Panel2->SetBevelOuter(bvNone);
  Label2 = MakeLabel(this, Panel2, "Label2", Translate("data", "&User Name:"), 8, 8);
  Label3 = MakeLabel(this, Panel2, "Label3", Translate("data", "&Password:"), 8, 36);
  UserName = MakeControl<TEdit>(this, Panel2, "UserName", 86, 5, 153, 21);
  UserName->SetMaxLength(kMaxLoginChars);
  Password = MakeControl<TEdit>(this, Panel2, "Password", 86, 33, 153, 21);
  Password->SetMaxLength(kMaxLoginChars);
  Password->SetPasswordChar('*');

  OKButton = MakeControl<TButton>(this, this, "OKButton", 109, 114, 75, 25);
  OKButton->SetCaption(Translate("data", "&OK"));
  OKButton->SetDefault(true);
  OKButton->SetModalResult(mrOk);
  CancelButton = MakeControl<TButton>(this, this, "CancelButton", 190, 114, 75, 25);
  CancelButton->SetCaption(Translate("data", "Cancel"));
  CancelButton->SetCancel(true);
  CancelButton->SetModalResult(mrCancel);
}

void TLoginDialog::DoShow() {
  const int room = Panel->ClientWidth() - DatabaseName->Left() - 5;
  std::string name = DatabaseName->Caption();
  if (Panel->Canvas().TextWidth(name) > room) {
    int chars = CharCount(name);
    while (chars > 0 && Panel->Canvas().TextWidth(FirstChars(name, chars)) > room) --chars;
    DatabaseName->SetCaption(FirstChars(name, chars));
  }
  TForm::DoShow();
  if (UserName->GetText().empty() && UserName->Enabled()) UserName->SetFocus();
  else Password->SetFocus();
}

bool LoginDialog(const std::string& databaseName, std::string& userName, std::string& password, bool nameReadOnly) {
  auto dialog = std::make_unique<TLoginDialog>(nullptr);
  dialog->DatabaseName->SetCaption(databaseName);
  dialog->UserName->SetText(userName);
  dialog->UserName->SetEnabled(!nameReadOnly);
  if (dialog->ShowModal() != mrOk) return false;
  userName = dialog->UserName->GetText();
  password = dialog->Password->GetText();
  return true;
}

// ---- TPasswordDialog ----

TPasswordDialog::TPasswordDialog(TComponent* owner, TSession* session)
    : TForm(owner), session_(session ? session : Session()) {
  SetName("PasswordDialog");
  SetCaption(Translate("data", "Enter password"));
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(273);
  SetClientHeight(132);

  GroupBox1 = MakeControl<TGroupBox>(this, this, "GroupBox1", 8, 8, 257, 81);
  GroupBox1->SetCaption(Translate("data", "Password"));
  Edit = MakeControl<TEdit>(this, GroupBox1, "Edit", 16, 18, 225, 20);
  Edit->SetPasswordChar('*');
  Edit->OnChange = [this](TObject*) { EditChange(); };
  AddButton = MakeControl<TButton>(this, GroupBox1, "AddButton", 16, 46, 65, 25);
  AddButton->SetCaption(Translate("data", "&Add"));
  AddButton->OnClick = [this](TObject*) { AddClick(); };
  RemoveButton = MakeControl<TButton>(this, GroupBox1, "RemoveButton", 88, 46, 65, 25);
  RemoveButton->SetCaption(Translate("data", "&Remove"));
  RemoveButton->OnClick = [this](TObject*) { RemoveClick(); };
  RemoveAllButton = MakeControl<TButton>(this, GroupBox1, "RemoveAllButton", 160, 46, 81, 25);
  RemoveAllButton->SetCaption(Translate("data", "Re&move all"));
  RemoveAllButton->OnClick = [this](TObject*) { RemoveAllClick(); };

  OKButton = MakeControl<TButton>(this, this, "OKButton", 109, 98, 75, 25);
  OKButton->SetCaption(Translate("data", "&OK"));
  OKButton->SetDefault(true);
  OKButton->OnClick = [this](TObject*) { OKClick(); };
  CancelButton = MakeControl<TButton>(this, this, "CancelButton", 190, 98, 75, 25);
  CancelButton->SetCaption(Translate("data", "Cancel"));
  CancelButton->SetCancel(true);
  CancelButton->SetModalResult(mrCancel);
  UpdateButtons();
}

std::string TPasswordDialog::TypedPassword() const { return FirstChars(Edit->GetText(), kMaxPasswordChars); }

void TPasswordDialog::UpdateButtons() {
  const bool typed = !Edit->GetText().empty();
  AddButton->SetEnabled(typed);
  RemoveButton->SetEnabled(typed);
  OKButton->SetEnabled(typed || passwordAdded_);
}

void TPasswordDialog::EditChange() { UpdateButtons(); }

void TPasswordDialog::AddClick() {
  session_->AddSessionPassword(TypedPassword());
  passwordAdded_ = true;
  Edit->SetText("");
  UpdateButtons();
  if (Edit->Widget()) Edit->SetFocus();
}

void TPasswordDialog::RemoveClick() {
  session_->RemoveSessionPassword(TypedPassword());
  Edit->SetText("");
  UpdateButtons();
  if (Edit->Widget()) Edit->SetFocus();
}

void TPasswordDialog::RemoveAllClick() { session_->ClearSessionPasswords(); }

void TPasswordDialog::OKClick() {
  if (!Edit->GetText().empty()) {
    session_->AddSessionPassword(TypedPassword());
    passwordAdded_ = true;
  }
  SetModalResult(mrOk);
}

bool PasswordDialog(TSession* session) {
  auto dialog = std::make_unique<TPasswordDialog>(nullptr, session);
  return dialog->ShowModal() == mrOk;
}
