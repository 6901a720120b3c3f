#pragma once

#include "core/Exceptions.h"
#include "core/Translation.h"
#include "widgets/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon, 8>;
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& can_close)>;

class QEventLoop;
class QObject;
class QScreen;
class TButton;

// A top-level window. The window manager draws the frame outside the client area, so a form's Width and Height
// are its client size.
class TForm : public TWinControl {
public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons icons) { border_icons_ = icons; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TWindowState WindowState() const { return window_state_; }
  void SetWindowState(TWindowState state);
  TFormStyle FormStyle() const { return form_style_; }
  void SetFormStyle(TFormStyle style);
  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool on) { key_preview_ = on; }

  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult result);

  // Shows the window (OnShow runs inside the application's exception handler).
  void Show();
  void Hide();
  // Runs a message loop until ModalResult is set or the window closes; returns ModalResult (mrCancel on close).
  TModalResult ShowModal();
  bool Modal() const { return modal_loop_ != nullptr; }
  // Asks OnCloseQuery, then OnClose; hides the window (and ends the program for the main form). A close action of
  // caFree also releases the window.
  void Close();
  // The window this one stays above and belongs to: it takes input while that one runs modally. Set before the
  // window is first shown.
  TForm* PopupParent() const { return popup_parent_; }
  void SetPopupParent(TForm* form);
  // Deletes the window once the message loop is back in control (or when the program ends).
  void Release();
  bool Active() const;
  // Raises the window above the others and makes it the active one.
  void BringToFront();

  void SetVisible(bool visible) override;
  // Moves and, where it is larger, shrinks the window to lie wholly on the screen that holds its owner (the window
  // it belongs to, or the main form), frame included.
  void KeepOnScreen();

  // The buttons that Enter and Esc click: the first visible and enabled button with Default (or Cancel) set.
  TButton* DefaultButton() const;
  TButton* CancelButton() const;

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // A key pressed in any control of the window, before that control sees it: with KeyPreview, OnKeyDown runs first
  // (a key it sets to 0 is consumed); then Enter clicks the default button and Esc the cancel button. True when
  // consumed.
  virtual bool PreviewKey(int& key, TShiftState shift, bool onButton);
  bool KeyDown(int& key, TShiftState shift) override;

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DoShow();
  // The window manager asked to close the window; returns whether it may.
  bool CloseRequested();
  friend class TFormWidget;

private:
  void PlaceOnScreen();
  // The screen of the window this one belongs to, or of the main form; else the one it is on, or the primary.
  QScreen* OwnersScreen() const;

  TFormBorderStyle border_style_ = bsSizeable;
  TBorderIcons border_icons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDefaultPosOnly;
  TWindowState window_state_ = wsNormal;
  bool key_preview_ = false;
  TFormStyle form_style_ = fsNormal;
  TModalResult modal_result_ = mrNone;
  QEventLoop* modal_loop_ = nullptr;
  bool closing_ = false;
  std::unique_ptr<QObject> key_filter_;
  TForm* popup_parent_ = nullptr;
};

// The form that holds a control, or null.
TForm* GetParentForm(const TControl* control);

// A control of a window built in code: owned by the form, named, placed on its parent.
template <typename T>
T* MakeControl(TForm* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* control = new T(form);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

class QApplication;

// The program: its message loop, its main form and its handler of exceptions that nobody else caught.
class TApplication : public TComponent {
public:
  // Creates the platform's application object; there is one per process (see Application()).
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  void Initialize() {}
  // Creates a form owned by the application; the first one becomes the main form.
  template <typename T>
  T* CreateForm() {
    T* form = new T(this);
    if (!main_form_) main_form_ = form;
    return form;
  }
  TForm* MainForm() const { return main_form_; }

  // Shows the main form and runs the message loop until it closes or Terminate is called.
  void Run();
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Shows an exception's message in a message box (EAbort is silent), or hands it to OnException.
  void HandleException(const std::exception& error);
  std::function<void(TObject* sender, const std::exception& error)> OnException;

private:
  std::unique_ptr<QApplication> qt_;
  // Qt's texts and ours in the user's language, from start-up on.
  std::unique_ptr<TTranslations> translations_;
  TForm* main_form_ = nullptr;
  bool terminated_ = false;
  std::string title_;
};

// The process's application object, or null before it exists.
TApplication* Application();

// Runs an action from the message loop: an exception that escapes it goes to the application's handler
// instead of unwinding through the platform.
void RunGuarded(const std::function<void()>& action);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// A message box with an OK button.
void ShowMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type);
// Replaces the message box by a handler (null puts the box back); returns the previous handler. For tests and
// programs without a screen.
using TMessageBoxHandler = std::function<void(const std::string& text, const std::string& caption, TMsgDlgType type)>;
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);

// A message box that offers a choice between `buttons` (the first is the default): returns the index of the button
// pressed, or -1 when the box is closed without one.
int ShowChoiceBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                  const std::vector<std::string>& buttons);
// Replaces the choice box by a handler that answers it (null puts the box back); returns the previous handler.
using TChoiceBoxHandler = std::function<int(const std::string& text, const std::string& caption, TMsgDlgType type,
                                            const std::vector<std::string>& buttons)>;
TChoiceBoxHandler SetChoiceBoxHandler(TChoiceBoxHandler handler);
// A question with Yes and No buttons (in the user's language), No the default; true for Yes.
bool AskYesNo(const std::string& text, const std::string& caption);
