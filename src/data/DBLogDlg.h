#pragma once

#include "widgets/Forms.h"

#include <string>

class TBevel;
class TButton;
class TEdit;
class TGroupBox;
class TLabel;
class TPanel;
class TSession;

// Asks for the user name and password of a database.
class TLoginDialog : public TForm {
public:
  explicit TLoginDialog(TComponent* owner);

  TPanel* Panel;
  TLabel* Label1;
  TLabel* DatabaseName;
  TBevel* Bevel;
  TPanel* Panel2;
  TLabel* Label2;
  TLabel* Label3;
  TEdit* UserName;
  TEdit* Password;
  TButton* OKButton;
  TButton* CancelButton;

protected:
  void DoShow() override;
};

// Collects passwords for a session's protected databases.
class TPasswordDialog : public TForm {
public:
  explicit TPasswordDialog(TComponent* owner, TSession* session = nullptr);

  TGroupBox* GroupBox1;
  TEdit* Edit;
  TButton* AddButton;
  TButton* RemoveButton;
  TButton* RemoveAllButton;
  TButton* OKButton;
  TButton* CancelButton;

  void EditChange();
  void AddClick();
  void RemoveClick();
  void RemoveAllClick();
  void OKClick();
  bool PasswordAdded() const { return passwordAdded_; }

private:
  // The typed text for the engine, as long as the engine takes.
  std::string TypedPassword() const;
  void UpdateButtons();

  TSession* session_;
  bool passwordAdded_ = false;
};

// The login hook: shows the login dialog for a database; false when the user cancels.
bool LoginDialog(const std::string& databaseName, std::string& userName, std::string& password, bool nameReadOnly);
// The password hook: shows the password dialog for a session; false when the user cancels.
bool PasswordDialog(TSession* session);
