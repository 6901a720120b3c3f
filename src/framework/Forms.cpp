#include "framework/Forms.h"

#include "framework/QtBridge.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include <iostream>

namespace {
TApplication* g_application = nullptr;
}

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

private:
  TForm* form_;
};

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetColor(clBtnFace);
  SetVisible(false);
}

TForm::~TForm() {
  // Owned components go while the form is still whole: their removal notifications may reach it.
  Destroying();
  if (modal_loop_) modal_loop_->exit(0);
  DestroyComponents();
}

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
  if (border_style_ == bsSingle || border_style_ == bsDialog || border_style_ == bsToolWindow || border_style_ == bsNone) {
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
  PlaceOnScreen();
  DoShow();
  switch (window_state_) {
    case wsMaximized: w->showMaximized(); break;
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
  if (OnClose) OnClose(this, action);
  if (action == caNone) return false;
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
  RegisterFontSubstitutes();
  g_application = this;
}

TApplication::~TApplication() {
  Destroying();
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
    else if (!dynamic_cast<const EAbort*>(&error)) std::cerr << error.what() << '\n';
  }
}

void ShowMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type) {
  QMessageBox::Icon icon = type == mtError         ? QMessageBox::Critical
                           : type == mtWarning     ? QMessageBox::Warning
                           : type == mtInformation ? QMessageBox::Information
                           : type == mtConfirmation ? QMessageBox::Question
                                                    : QMessageBox::NoIcon;
  QString title = ToQString(caption.empty() ? QCoreApplication::applicationName().toStdString() : caption);
  QMessageBox box(icon, title, ToQString(text), QMessageBox::Ok);
  box.exec();
}
