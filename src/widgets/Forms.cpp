#include "widgets/Forms.h"

#include "core/TerminalText.h"

#include "widgets/QtBridge.h"
#include "widgets/StdCtrls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMoveEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <iostream>
#include <vector>

namespace {
TApplication* g_application = nullptr;
TMessageBoxHandler g_message_box_handler;
TChoiceBoxHandler g_choice_box_handler;
// Forms released and waiting for the message loop to delete them.
std::vector<TForm*> g_released;

void DeleteReleasedForms() {
  std::vector<TForm*> forms;
  forms.swap(g_released);
  for (TForm* form : forms) delete form;
}

template <class Pick>
TButton* FindButton(const TWinControl& parent, Pick pick) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* child = parent.Controls(i);
    if (!child->Visible() || !child->Enabled()) continue;
    if (auto* button = dynamic_cast<TButton*>(child); button && pick(*button)) return button;
    if (auto* win = dynamic_cast<TWinControl*>(child)) {
      if (TButton* found = FindButton(*win, pick)) return found;
    }
  }
  return nullptr;
}

// Sees the keys of every control on a form's window before the control does.
class TFormKeyFilter : public QObject {
public:
  explicit TFormKeyFilter(TForm* form) : form_(form) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !form_->Widget() || widget->window() != form_->Widget()) return false;
    // A key that the focused widget passes on reaches its parents as the same event: it is seen at its first
    // receiver only.
    QWidget* first = QApplication::focusWidget();
    if (widget != (first && first->window() == widget->window() ? first : widget->window())) return false;
    auto* key_event = static_cast<QKeyEvent*>(event);
    int key = KeyCodeOf(key_event->key());
    if (key == 0) return false;
    bool consumed = false;
    // A push button takes Enter itself; on a check box or a radio button Enter is the dialog's, as in any field.
    bool on_button = qobject_cast<QAbstractButton*>(widget) && !qobject_cast<QCheckBox*>(widget) &&
                     !qobject_cast<QRadioButton*>(widget);
    RunGuarded(
        [&] { consumed = form_->PreviewKey(key, ShiftStateOf(key_event->modifiers(), Qt::NoButton), on_button); });
    return consumed;
  }

private:
  TForm* form_;
};

}  // namespace

// The window of a form: reports the window manager's close request and the show to the form.
class TFormWidget : public QWidget {
public:
  explicit TFormWidget(TForm* form, QWidget* parent) : QWidget(parent, parent ? Qt::Widget : Qt::Window), form_(form) {}

protected:
  void closeEvent(QCloseEvent* event) override {
    bool accept = true;
    RunGuarded([&] { accept = form_->CloseRequested(); });
    if (accept) event->accept();
    else event->ignore();
  }
  // The window manager, or a maximized state, gave the window another size: the form and its aligned controls
  // follow.
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    Follow();
  }
  void moveEvent(QMoveEvent* event) override {
    QWidget::moveEvent(event);
    Follow();
  }
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    TNotifyEvent& handler = isActiveWindow() ? form_->OnActivate : form_->OnDeactivate;
    if (handler) RunGuarded([this, &handler] { handler(form_); });
  }

private:
  void Follow() {
    if (parentWidget()) return;
    // Left and Top are where move() puts the window: the frame's corner.
    QRect g(pos(), size());
    if (g.x() == form_->Left() && g.y() == form_->Top() && g.width() == form_->Width() &&
        g.height() == form_->Height()) {
      return;
    }
    RunGuarded([&] { form_->SetBounds(g.x(), g.y(), g.width(), g.height()); });
  }

  TForm* form_;
};

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetColor(clBtnFace);
  SetVisible(false);
}

TForm::~TForm() {
  // Owned components go while the form is still whole: their removal notifications may reach it.
  Destroying();
  g_released.erase(std::remove(g_released.begin(), g_released.end(), this), g_released.end());
  if (key_filter_ && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(key_filter_.get());
  if (modal_loop_) modal_loop_->exit(0);
  DestroyComponents();
}

void TForm::SetPopupParent(TForm* form) {
  if (form == popup_parent_) return;
  if (popup_parent_) RemoveFreeNotification(popup_parent_);
  popup_parent_ = form;
  if (form) FreeNotification(form);
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == popup_parent_) popup_parent_ = nullptr;
}

void TForm::Release() {
  if (std::find(g_released.begin(), g_released.end(), this) != g_released.end()) return;
  g_released.push_back(this);
  if (QCoreApplication* app = QCoreApplication::instance()) QTimer::singleShot(0, app, [] { DeleteReleasedForms(); });
}

bool TForm::Active() const { return Widget() && Widget()->isActiveWindow(); }

void TForm::BringToFront() {
  if (!Widget()) return;
  Widget()->raise();
  Widget()->activateWindow();
}

TButton* TForm::DefaultButton() const {
  return FindButton(*this, [](const TButton& b) { return b.Default(); });
}

TButton* TForm::CancelButton() const {
  return FindButton(*this, [](const TButton& b) { return b.Cancel(); });
}

bool TForm::PreviewKey(int& key, TShiftState shift, bool onButton) {
  if (key_preview_ && OnKeyDown) {
    OnKeyDown(this, key, shift);
    if (key == 0) return true;
  }
  if (key == VK_RETURN && !onButton && shift.Empty()) {
    if (TButton* button = DefaultButton()) {
      button->Click();
      return true;
    }
  }
  if (key == VK_ESCAPE && shift.Empty()) {
    if (TButton* button = CancelButton()) {
      button->Click();
      return true;
    }
  }
  return false;
}

// The window's keys go through PreviewKey; the form's own OnKeyDown runs there only.
bool TForm::KeyDown(int&, TShiftState) { return false; }

void TForm::SetBorderStyle(TFormBorderStyle style) {
  border_style_ = style;
  if (Widget()) SyncWidget();
}

void TForm::SetFormStyle(TFormStyle style) {
  form_style_ = style;
  if (Widget()) SyncWidget();
}

void TForm::SetWindowState(TWindowState state) {
  window_state_ = state;
  if (Widget() && Widget()->isVisible()) SyncWidget();
}

void TForm::SetModalResult(TModalResult result) {
  modal_result_ = result;
  if (result != mrNone && modal_loop_) modal_loop_->exit(0);
}

QWidget* TForm::CreateWidget(QWidget* parent_widget) {
  auto* widget = new TFormWidget(this, parent_widget);
  widget->setAttribute(Qt::WA_QuitOnClose, false);
  if (!key_filter_ && QCoreApplication::instance()) {
    key_filter_ = std::make_unique<TFormKeyFilter>(this);
    QCoreApplication::instance()->installEventFilter(key_filter_.get());
  }
  return widget;
}

void TForm::SyncWidget() {
  QWidget* w = Widget();
  w->setWindowTitle(ToQString(Caption()));
  w->setFont(ToQFont(Font()));
  w->setEnabled(Enabled());
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, ToQColor(Color()));
  w->setPalette(palette);
  w->setAutoFillBackground(true);
  if (border_style_ == bsSingle || border_style_ == bsDialog || border_style_ == bsToolWindow ||
      border_style_ == bsNone) {
    w->setFixedSize(Width(), Height());
  } else {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    w->resize(Width(), Height());
  }
  if (position_ == poDesigned || !w->isVisible()) w->move(Left(), Top());
  Qt::WindowFlags flags = Qt::Window;
  if (border_style_ == bsNone) flags |= Qt::FramelessWindowHint;
  else {
    flags |= Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (border_icons_.Contains(biSystemMenu)) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (border_icons_.Contains(biMinimize) && border_style_ != bsDialog) flags |= Qt::WindowMinimizeButtonHint;
    if (border_icons_.Contains(biMaximize) && (border_style_ == bsSizeable || border_style_ == bsSizeToolWin)) {
      flags |= Qt::WindowMaximizeButtonHint;
    }
  }
  if (form_style_ == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  if (!Parent() && w->windowFlags() != flags) w->setWindowFlags(flags);
}

void TForm::PlaceOnScreen() {
  QWidget* w = Widget();
  if (position_ != poScreenCenter && position_ != poDesktopCenter && position_ != poMainFormCenter &&
      position_ != poOwnerFormCenter) {
    KeepOnScreen();
    return;
  }
  QRect area;
  TForm* main_form = Application() ? Application()->MainForm() : nullptr;
  if ((position_ == poMainFormCenter || position_ == poOwnerFormCenter) && main_form && main_form != this &&
      main_form->Widget() && main_form->Widget()->isVisible()) {
    area = main_form->Widget()->frameGeometry();
  } else {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    area = screen->availableGeometry();
  }
  int left = area.x() + (area.width() - Width()) / 2;
  int top = area.y() + (area.height() - Height()) / 2;
  SetBounds(left, top, Width(), Height());
  w->move(left, top);
  KeepOnScreen();
}

QScreen* TForm::OwnersScreen() const {
  for (const TForm* owner : {popup_parent_, Application() ? Application()->MainForm() : nullptr}) {
    if (owner && owner != this && owner->Widget() && owner->Widget()->isVisible()) return owner->Widget()->screen();
  }
  if (QScreen* screen = Widget() ? QGuiApplication::screenAt(Widget()->geometry().center()) : nullptr) return screen;
  return QGuiApplication::primaryScreen();
}

void TForm::KeepOnScreen() {
  QScreen* screen = OwnersScreen();
  if (!screen || Parent()) return;
  QRect area = screen->availableGeometry();
  // The window manager's frame, known once it framed the window (some time after the window was shown); a title
  // bar's worth before that.
  QWidget* w = Widget();
  QMargins frame(0, 0, 0, 0);
  if (w->isVisible()) {
    const QRect outer = w->frameGeometry(), inner = w->geometry();
    frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                     outer.bottom() - inner.bottom());
  }
  if (frame.isNull() && border_style_ != bsNone) {
    frame = QMargins(4, 28, 4, 4);
    // Until then the window system may take the position for the client area's: the frame's top and left are kept
    // free above and beside it as well, so that the title bar is on the screen either way (restoring a maximized
    // window brings this place back).
    area.adjust(frame.left(), frame.top(), 0, 0);
  }
  const int width = std::min(Width(), area.width() - frame.left() - frame.right());
  const int height = std::min(Height(), area.height() - frame.top() - frame.bottom());
  // Left and Top place the frame's corner, as a window's move does.
  const int left = std::clamp(Left(), area.left(), area.right() + 1 - frame.left() - frame.right() - width);
  const int top = std::clamp(Top(), area.top(), area.bottom() + 1 - frame.top() - frame.bottom() - height);
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  SetBounds(left, top, width, height);
  w->resize(width, height);
  w->move(left, top);
}

void TForm::SetVisible(bool visible) {
  if (visible) Show();
  else Hide();
}

void TForm::Show() {
  HandleNeeded();
  QWidget* w = Widget();
  if (w->isVisible()) return;
  TWinControl::SetVisible(true);
  SyncWidget();
  // A window that belongs to another one is not blocked while that one runs modally.
  if (popup_parent_ && popup_parent_->Widget() && !Parent()) {
    w->winId();
    if (QWindow* window = w->windowHandle())
      window->setTransientParent(popup_parent_->Widget()->window()->windowHandle());
  }
  PlaceOnScreen();
  DoShow();
  switch (window_state_) {
    case wsMaximized:
      // Without a window manager nothing would make the window fill the screen. With one, the window keeps its
      // own size and place for when it is restored.
      if (QGuiApplication::platformName() == "offscreen" || QGuiApplication::platformName() == "minimal") {
        if (QScreen* screen = OwnersScreen()) w->setGeometry(screen->availableGeometry());
      }
      w->showMaximized();
      break;
    case wsMinimized: w->showMinimized(); break;
    case wsNormal: w->show(); break;
  }
}

void TForm::DoShow() {
  if (OnShow) RunGuarded([this] { OnShow(this); });
}

void TForm::Hide() {
  TWinControl::SetVisible(false);
  if (Widget()) Widget()->hide();
  if (OnHide) RunGuarded([this] { OnHide(this); });
}

TModalResult TForm::ShowModal() {
  if (modal_loop_) throw EInvalidOperation("Cannot make a visible window modal");
  modal_result_ = mrNone;
  HandleNeeded();
  Widget()->setWindowModality(Qt::ApplicationModal);
  Show();
  QEventLoop loop;
  modal_loop_ = &loop;
  if (modal_result_ == mrNone && Widget() && Widget()->isVisible()) loop.exec();
  modal_loop_ = nullptr;
  if (Widget()) {
    Widget()->hide();
    Widget()->setWindowModality(Qt::NonModal);
  }
  TWinControl::SetVisible(false);
  return modal_result_ == mrNone ? mrCancel : modal_result_;
}

bool TForm::CloseRequested() {
  if (closing_) return true;
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(this, can_close);
  if (!can_close) return false;
  TCloseAction action = caHide;
  if (Widget() && Widget()->isVisible()) {
    Qt::WindowStates state = Widget()->windowState();
    window_state_ = state & Qt::WindowMinimized ? wsMinimized : state & Qt::WindowMaximized ? wsMaximized : wsNormal;
  }
  if (OnClose) OnClose(this, action);
  if (action == caNone) return false;
  if (action == caFree) Release();
  if (modal_loop_) {
    if (modal_result_ == mrNone) modal_result_ = mrCancel;
    modal_loop_->exit(0);
  }
  TWinControl::SetVisible(false);
  if (Application() && Application()->MainForm() == this) Application()->Terminate();
  return true;
}

void TForm::Close() {
  if (!CloseRequested()) return;
  if (Widget()) {
    closing_ = true;
    Widget()->close();
    closing_ = false;
  }
}

TForm* GetParentForm(const TControl* control) {
  const TControl* c = control;
  while (c && c->Parent()) c = c->Parent();
  return const_cast<TForm*>(dynamic_cast<const TForm*>(c));
}

TApplication::TApplication(int& argc, char** argv) : TComponent(nullptr) {
  if (g_application) throw EInvalidOperation("The application object exists already");
  if (!QApplication::instance()) qt_ = std::make_unique<QApplication>(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  translations_ = std::make_unique<TTranslations>();
  RegisterFontSubstitutes();
  g_application = this;
}

TApplication::~TApplication() {
  Destroying();
  DeleteReleasedForms();
  DestroyComponents();
  g_application = nullptr;
}

void TApplication::Run() {
  if (main_form_ && !terminated_) RunGuarded([this] { main_form_->Show(); });
  while (!terminated_) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    if (main_form_ && !main_form_->Visible()) terminated_ = true;
  }
}

void TApplication::ProcessMessages() { QApplication::processEvents(); }

void TApplication::Terminate() {
  terminated_ = true;
  // Wakes the loop in Run.
  QApplication::postEvent(QApplication::instance(), new QEvent(QEvent::User));
}

void TApplication::HandleException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error)) return;
  if (OnException) {
    OnException(this, error);
    return;
  }
  ShowMessageBox(error.what(), title_, mtError);
}

TApplication* Application() { return g_application; }

void RunGuarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    if (Application()) Application()->HandleException(error);
    else if (!dynamic_cast<const EAbort*>(&error)) std::cerr << EscapeMessageForTerminal(error.what()) << '\n';
  }
}

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
  std::swap(handler, g_message_box_handler);
  return handler;
}

namespace {

QMessageBox::Icon MessageBoxIcon(TMsgDlgType type) {
  return type == mtError          ? QMessageBox::Critical
         : type == mtWarning      ? QMessageBox::Warning
         : type == mtInformation  ? QMessageBox::Information
         : type == mtConfirmation ? QMessageBox::Question
                                  : QMessageBox::NoIcon;
}

QString MessageBoxTitle(const std::string& caption) {
  return ToQString(caption.empty() ? QCoreApplication::applicationName().toStdString() : caption);
}

}  // namespace

void ShowMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type) {
  if (g_message_box_handler) {
    g_message_box_handler(text, caption, type);
    return;
  }
  QMessageBox box(MessageBoxIcon(type), MessageBoxTitle(caption), ToQString(text), QMessageBox::Ok);
  box.exec();
}

TChoiceBoxHandler SetChoiceBoxHandler(TChoiceBoxHandler handler) {
  std::swap(handler, g_choice_box_handler);
  return handler;
}

int ShowChoiceBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                  const std::vector<std::string>& buttons) {
  if (g_choice_box_handler) return g_choice_box_handler(text, caption, type, buttons);
  QMessageBox box(MessageBoxIcon(type), MessageBoxTitle(caption), ToQString(text));
  std::vector<QAbstractButton*> added;
  for (const std::string& label : buttons) {
    // The first button accepts, the others reject: Escape and the title bar's close then pick none of the first.
    const auto role = added.empty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
    added.push_back(box.addButton(ToQString(label), role));
  }
  if (!added.empty()) box.setDefaultButton(qobject_cast<QPushButton*>(added.front()));
  box.exec();
  const auto pressed = std::find(added.begin(), added.end(), box.clickedButton());
  return pressed == added.end() ? -1 : static_cast<int>(pressed - added.begin());
}

bool AskYesNo(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, MessageBoxTitle(caption), ToQString(text), QMessageBox::Yes | QMessageBox::No,
                  QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}
