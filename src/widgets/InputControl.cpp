#include "widgets/InputControl.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "graphics/Bitmap.h"
#include "graphics/Canvas.h"
#include "widgets/Forms.h"
#include "widgets/QtBridge.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWheelEvent>

#include <algorithm>

namespace {

unsigned short VirtualKey(const QKeyEvent& event) {
  // Beyond the keys every control maps, an input control hears the modifiers and the back tab.
  switch (event.key()) {
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    default: return static_cast<unsigned short>(KeyCodeOf(event.key()));
  }
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton) {
  TShiftState shift;
  if (modifiers & Qt::ShiftModifier) shift.Include(ssShift);
  if (modifiers & Qt::AltModifier) shift.Include(ssAlt);
  if (modifiers & Qt::ControlModifier) shift.Include(ssCtrl);
  if (buttons & Qt::LeftButton) shift.Include(ssLeft);
  if (buttons & Qt::RightButton) shift.Include(ssRight);
  if (buttons & Qt::MiddleButton) shift.Include(ssMiddle);
  return shift;
}

TMouseButton ButtonOf(Qt::MouseButton button) {
  return button == Qt::RightButton ? mbRight : button == Qt::MiddleButton ? mbMiddle : mbLeft;
}

// Character positions and the UTF-16 positions of a QString.
int Utf16Index(const QString& text, int chars) {
  int index = 0;
  for (int c = 0; c < chars && index < text.size(); ++c)
    index += text.at(index).isHighSurrogate() && index + 1 < text.size() ? 2 : 1;
  return index;
}
int CharIndex(const QString& text, int utf16) {
  int chars = 0;
  for (int i = 0; i < utf16 && i < text.size(); ++i) {
    if (!text.at(i).isLowSurrogate()) ++chars;
  }
  return chars;
}

}  // namespace

// ---- TInputControl ----

class TInputControlWidget : public QWidget {
public:
  TInputControlWidget(TInputControl* control, QWidget* parent, Qt::WindowFlags flags = {})
      : QWidget(parent, flags), control_(control) {
    setMouseTracking(true);
    scroll_bar_ = new QScrollBar(Qt::Vertical, this);
    scroll_bar_->hide();
    QObject::connect(scroll_bar_, &QScrollBar::actionTriggered, this, [this](int action) { ScrollAction(action); });
  }
  QScrollBar* ScrollBar() const { return scroll_bar_; }

protected:
  void paintEvent(QPaintEvent* event) override {
    const QRect r = event->rect();
    control_->PaintWidget(this, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  }
  void keyPressEvent(QKeyEvent* event) override {
    unsigned short key = VirtualKey(*event);
    const TShiftState shift = ShiftOf(event->modifiers());
    if (key) RunGuarded([&] { control_->KeyDown(key, shift); });
    if (key == 0) return;
    const QString text = event->text();
    if (!text.isEmpty()) {
      char32_t ch = text.toUcs4().value(0);
      RunGuarded([&] { control_->KeyPress(ch); });
    }
  }
  void keyReleaseEvent(QKeyEvent* event) override {
    unsigned short key = VirtualKey(*event);
    if (key) RunGuarded([&] { control_->KeyUp(key, ShiftOf(event->modifiers())); });
  }
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint p = event->position().toPoint();
    RunGuarded([&] {
      control_->MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QPoint p = event->position().toPoint();
    RunGuarded([&] { control_->MouseMove(ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    const QPoint p = event->position().toPoint();
    RunGuarded([&] {
      control_->MouseUp(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
  }
  // The platform reports the second press of a double click as a press too.
  void mouseDoubleClickEvent(QMouseEvent*) override {
    RunGuarded([&] { control_->DblClick(); });
  }
  void wheelEvent(QWheelEvent* event) override {
    bool used = false;
    RunGuarded([&] { used = control_->MouseWheel(ShiftOf(event->modifiers()), event->angleDelta().y()); });
    event->setAccepted(used);
  }
  void enterEvent(QEnterEvent*) override {
    RunGuarded([&] { control_->MouseEnter(); });
  }
  void leaveEvent(QEvent*) override {
    RunGuarded([&] { control_->MouseLeave(); });
  }
  void focusInEvent(QFocusEvent* event) override {
    QWidget::focusInEvent(event);
    RunGuarded([&] { control_->DoEnter(); });
  }
  void focusOutEvent(QFocusEvent* event) override {
    QWidget::focusOutEvent(event);
    RunGuarded([&] { control_->DoExit(); });
  }

private:
  void ScrollAction(int action) {
    TScrollCode code = scPosition;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
      case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
      case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
      case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
      case QAbstractSlider::SliderToMinimum: code = scTop; break;
      case QAbstractSlider::SliderToMaximum: code = scBottom; break;
      case QAbstractSlider::SliderMove: code = scTrack; break;
      default: code = scPosition; break;
    }
    const int position = scroll_bar_->sliderPosition();
    RunGuarded([&] { control_->Scroll(code, position); });
    // The control decides where the bar stands.
    scroll_bar_->setSliderPosition(control_->vscroll_position_);
  }

  TInputControl* control_;
  QScrollBar* scroll_bar_;
};

TInputControl::TInputControl(TComponent* owner) : TCustomControl(owner) {}

TInputControl::~TInputControl() {
  Destroying();
  DestroyWidget();
}

bool TInputControl::Focused() const {
  if (!Widget()) return false;
  if (focus_control_ && focus_control_->Widget()) return focus_control_->Widget()->hasFocus();
  return Widget()->hasFocus();
}

bool TInputControl::MouseOver() const { return Widget() && Widget()->underMouse(); }

void TInputControl::SetMouseCapture(bool on) {
  if (!Widget()) return;
  if (on) Widget()->grabMouse();
  else if (QWidget::mouseGrabber() == Widget()) Widget()->releaseMouse();
}

bool TInputControl::MouseCapture() const { return Widget() && QWidget::mouseGrabber() == Widget(); }

TPoint TInputControl::ClientToScreen(TPoint point) const {
  if (!Widget()) return point;
  const QPoint p = Widget()->mapToGlobal(QPoint(point.X, point.Y));
  return {p.x(), p.y()};
}

TPoint TInputControl::ScreenToClient(TPoint point) const {
  if (!Widget()) return point;
  const QPoint p = Widget()->mapFromGlobal(QPoint(point.X, point.Y));
  return {p.x(), p.y()};
}

void TInputControl::Repaint() {
  if (Widget()) Widget()->repaint();
}

void TInputControl::SetFocusControl(TWinControl* inner) {
  focus_control_ = inner;
  if (Widget()) SyncWidget();
}

void TInputControl::SetVScrollBar(bool visible, int max, int page, int position) {
  const bool resize = visible != vscroll_visible_;
  vscroll_visible_ = visible;
  vscroll_max_ = max;
  vscroll_page_ = std::max(1, page);
  vscroll_position_ = position;
  PlaceScrollBar();
  if (resize) BoundsChanged();
}

int TInputControl::ClientWidth() const { return Width() - (vscroll_visible_ ? SystemHScrollBarHeight() : 0); }

void TInputControl::PlaceScrollBar() {
  auto* widget = static_cast<TInputControlWidget*>(Widget());
  if (!widget) return;
  QScrollBar* bar = widget->ScrollBar();
  const QSignalBlocker block(bar);
  bar->setRange(0, std::max(0, vscroll_max_ - vscroll_page_));
  bar->setPageStep(vscroll_page_);
  bar->setSliderPosition(vscroll_position_);
  bar->setGeometry(Width() - SystemHScrollBarHeight(), 0, SystemHScrollBarHeight(), Height());
  bar->setVisible(vscroll_visible_);
}

QWidget* TInputControl::CreateWidget(QWidget* parent_widget) { return new TInputControlWidget(this, parent_widget); }

void TInputControl::SyncWidget() {
  TCustomControl::SyncWidget();
  QWidget* widget = Widget();
  widget->setFocusPolicy(TabStop() || focus_control_ ? Qt::StrongFocus : Qt::NoFocus);
  if (focus_control_ && focus_control_->Widget()) widget->setFocusProxy(focus_control_->Widget());
  PlaceScrollBar();
}

// ---- TInnerEdit ----

class TInnerEditFilter : public QObject {
public:
  TInnerEditFilter(TInnerEdit* edit, QLineEdit* widget) : QObject(widget), edit_(edit), widget_(widget) {}

  bool eventFilter(QObject*, QEvent* event) override {
    if (edit_->IsDestroying()) return false;
    switch (event->type()) {
      case QEvent::KeyPress: return KeyPress(static_cast<QKeyEvent*>(event));
      case QEvent::KeyRelease: {
        auto* key_event = static_cast<QKeyEvent*>(event);
        unsigned short key = VirtualKey(*key_event);
        if (key && edit_->OnKeyUp) RunGuarded([&] { edit_->OnKeyUp(key, ShiftOf(key_event->modifiers())); });
        return key == 0 && VirtualKey(*key_event) != 0;
      }
      case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint p = mouse->position().toPoint();
        if (edit_->OnMouseDown) {
          RunGuarded([&] {
            edit_->OnMouseDown(ButtonOf(mouse->button()), ShiftOf(mouse->modifiers(), mouse->buttons()), p.x(), p.y());
          });
        }
        return false;
      }
      case QEvent::MouseButtonDblClick:
        if (edit_->OnDblClick) RunGuarded([&] { edit_->OnDblClick(); });
        return false;
      case QEvent::Wheel: {
        bool used = false;
        if (edit_->OnMouseWheel)
          RunGuarded([&] { used = edit_->OnMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y()); });
        return used;
      }
      case QEvent::FocusIn:
      case QEvent::FocusOut: {
        const bool in = event->type() == QEvent::FocusIn;
        // A pop-up window that shows is no place the focus went to, even where the platform makes it active.
        QWidget* active = QApplication::activeWindow();
        if (!in && static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason &&
            (!active || (active->windowFlags() & Qt::WindowDoesNotAcceptFocus))) {
          return false;
        }
        // The handler may free the control, and this filter with its text box.
        const QPointer<QLineEdit> widget = widget_;
        if (edit_->OnFocusChanged) RunGuarded([&] { edit_->OnFocusChanged(in); });
        // A control that took the focus back as it was losing it to another control of its window (its text was
        // refused) keeps the text box as it was: selection and caret.
        return !in && widget && static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
               widget->window()->focusWidget() == widget;
      }
      default: return false;
    }
  }

private:
  bool KeyPress(QKeyEvent* event) {
    unsigned short key = VirtualKey(*event);
    const TShiftState shift = ShiftOf(event->modifiers());
    if (key && edit_->OnKeyDown) {
      RunGuarded([&] { edit_->OnKeyDown(key, shift); });
      if (key == 0) return true;
    }
    if (event->matches(QKeySequence::Paste)) {
      Edit(ClipboardText());
      return true;
    }
    if (event->matches(QKeySequence::Cut)) {
      if (widget_->hasSelectedText() && Allowed("")) widget_->cut();
      return true;
    }
    const QString text = event->text();
    if (text.isEmpty() || !edit_->OnKeyPress) return false;
    char32_t ch = text.toUcs4().value(0);
    const char32_t typed = ch;
    RunGuarded([&] { edit_->OnKeyPress(ch); });
    if (ch == 0) return true;
    if (ch != typed && ch >= 32) {
      widget_->insert(QString::fromUcs4(&ch, 1));
      return true;
    }
    return false;
  }

  // What the box would hold with its selection replaced by `insert`.
  bool Allowed(const std::string& insert) {
    if (!edit_->OnCanEdit) return true;
    const std::string text = edit_->GetText();
    const QString q = ToQString(text);
    const int start = Utf16Index(q, edit_->SelStart());
    const int end = Utf16Index(q, edit_->SelStart() + edit_->SelLength());
    const std::string result = FromQString(q.left(start)) + insert + FromQString(q.mid(end));
    bool allowed = false;
    RunGuarded([&] { allowed = edit_->OnCanEdit(result); });
    return allowed;
  }

  void Edit(const std::string& insert) {
    if (widget_->isReadOnly() || !Allowed(insert)) return;
    widget_->insert(ToQString(insert));
  }

  TInnerEdit* edit_;
  QLineEdit* widget_;
};

TInnerEdit::TInnerEdit(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

TInnerEdit::~TInnerEdit() {
  // The widget goes while the handlers still exist: losing the focus on the way is reported to nobody.
  Destroying();
  DestroyWidget();
}

std::string TInnerEdit::GetText() const { return text_; }

void TInnerEdit::SetText(const std::string& text) {
  text_ = text;
  sel_start_ = std::min(sel_start_, CharCount(text_));
  sel_length_ = 0;
  SetTextSilently(text);
  if (Widget()) SyncWidget();
}

int TInnerEdit::SelStart() const { return sel_start_; }
int TInnerEdit::SelLength() const { return sel_length_; }

void TInnerEdit::SetSel(int start, int length) {
  const int count = CharCount(text_);
  start = std::clamp(start, 0, count);
  length = std::clamp(length, 0, count - start);
  sel_start_ = start;
  sel_length_ = length;
  if (Widget()) SyncWidget();
}

std::string TInnerEdit::SelText() const {
  const QString q = ToQString(text_);
  const int start = Utf16Index(q, sel_start_);
  return FromQString(q.mid(start, Utf16Index(q, sel_start_ + sel_length_) - start));
}

void TInnerEdit::ReplaceSel(const std::string& text) {
  const QString q = ToQString(text_);
  const int start = Utf16Index(q, sel_start_);
  const int end = Utf16Index(q, sel_start_ + sel_length_);
  text_ = FromQString(q.left(start)) + text + FromQString(q.mid(end));
  sel_start_ += CharCount(text);
  sel_length_ = 0;
  SetTextSilently(text_);
  if (Widget()) SyncWidget();
}

void TInnerEdit::SetCaretHidden(bool on) {
  caret_hidden_ = on;
  if (Widget()) SyncWidget();
}

void TInnerEdit::SetReadOnly(bool on) {
  read_only_ = on;
  if (Widget()) SyncWidget();
}

void TInnerEdit::SetMaxLength(int length) {
  max_length_ = length;
  if (Widget()) SyncWidget();
}

void TInnerEdit::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  if (Widget()) SyncWidget();
}

bool TInnerEdit::Focused() const { return Widget() && Widget()->hasFocus(); }

QWidget* TInnerEdit::CreateWidget(QWidget* parent_widget) {
  auto* edit = new QLineEdit(parent_widget);
  edit->setFrame(false);
  edit->setContextMenuPolicy(Qt::NoContextMenu);
  edit->setTextMargins(0, 0, 0, 0);
  edit->setContentsMargins(0, 0, 0, 0);
  edit->setStyleSheet("QLineEdit { padding: 0px; margin: 0px; border: none; }");
  edit->installEventFilter(new TInnerEditFilter(this, edit));
  // The control around the text box passes its focus on to it.
  if (parent_widget) parent_widget->setFocusProxy(edit);
  auto follow = [this, edit] {
    if (syncing_) return;
    text_ = FromQString(edit->text());
    SetTextSilently(text_);
    if (edit->hasSelectedText()) {
      const int a = CharIndex(edit->text(), edit->selectionStart());
      sel_start_ = a;
      sel_length_ = CharIndex(edit->text(), edit->selectionEnd()) - a;
    } else {
      sel_start_ = CharIndex(edit->text(), edit->cursorPosition());
      sel_length_ = 0;
    }
  };
  QObject::connect(edit, &QLineEdit::cursorPositionChanged, edit, follow);
  QObject::connect(edit, &QLineEdit::selectionChanged, edit, follow);
  QObject::connect(edit, &QLineEdit::textEdited, edit, [this, follow] {
    follow();
    if (OnChange) RunGuarded([this] { OnChange(); });
  });
  return edit;
}

void TInnerEdit::SetSelectionHidden(bool on) {
  if (selection_hidden_ == on) return;
  selection_hidden_ = on;
  if (Widget()) SyncWidget();
}

void TInnerEdit::SyncWidget() {
  TScopedValueRollback<bool> syncing(syncing_);
  syncing_ = true;
  TWinControl::SyncWidget();
  auto* edit = static_cast<QLineEdit*>(Widget());
  const QString text = ToQString(text_);
  if (edit->text() != text) edit->setText(text);
  edit->setMaxLength(max_length_ > 0 ? max_length_ : 32767);
  edit->setReadOnly(read_only_ || caret_hidden_);
  edit->setAlignment(alignment_ == taRightJustify ? Qt::AlignRight
                     : alignment_ == taCenter     ? Qt::AlignHCenter
                                                  : Qt::AlignLeft);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, ToQColor(Color()));
  palette.setColor(QPalette::Text, ToQColor(Font().Color()));
  palette.setColor(QPalette::Highlight, ToQColor(selection_hidden_ ? Color() : clHighlight));
  palette.setColor(QPalette::HighlightedText, ToQColor(selection_hidden_ ? Font().Color() : clHighlightText));
  edit->setPalette(palette);
  const int start = Utf16Index(text, sel_start_);
  const int end = Utf16Index(text, sel_start_ + sel_length_);
  if (end > start) edit->setSelection(start, end - start);
  else edit->setCursorPosition(start);
}

// ---- TPopupWindow ----

class TPopupWindow::Filter : public QObject {
public:
  explicit Filter(TPopupWindow* window) : window_(window) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress) return false;
    QWidget* widget = window_->Widget();
    if (!widget || !widget->isVisible()) return false;
    const QPoint p = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    if (widget->geometry().contains(p)) return false;
    if (window_->OnPressOutside) RunGuarded([&] { window_->OnPressOutside({p.x(), p.y()}); });
    return false;
  }

private:
  TPopupWindow* window_;
};

TPopupWindow::TPopupWindow(TComponent* owner) : TInputControl(owner) { SetVisible(false); }

TPopupWindow::~TPopupWindow() {
  Destroying();
  if (filter_ && QApplication::instance()) QApplication::instance()->removeEventFilter(filter_.get());
  DestroyWidget();
}

// The window of a pop-up. Platforms that activate every window they show get the activation given back.
class TPopupWidget : public TInputControlWidget {
public:
  using TInputControlWidget::TInputControlWidget;
  QPointer<QWidget> return_to;

protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::WindowActivate && return_to && return_to != this) {
      QApplication::setActiveWindow(return_to);
    }
    return TInputControlWidget::event(event);
  }
};

QWidget* TPopupWindow::CreateWidget(QWidget*) {
  auto* widget = new TPopupWidget(this, nullptr,
                                  Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                                      Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint);
  widget->setAttribute(Qt::WA_ShowWithoutActivating);
  widget->setFocusPolicy(Qt::NoFocus);
  return widget;
}

void TPopupWindow::SyncWidget() {
  TInputControl::SyncWidget();
  Widget()->setFocusPolicy(Qt::NoFocus);
}

void TPopupWindow::Popup(const TRect& screen_bounds) {
  SetBounds(screen_bounds.Left, screen_bounds.Top, screen_bounds.Width(), screen_bounds.Height());
  TWinControl::SetVisible(true);
  HandleNeeded();
  SyncWidget();
  if (!filter_) filter_ = std::make_unique<Filter>(this);
  if (QApplication::instance()) QApplication::instance()->installEventFilter(filter_.get());
  static_cast<TPopupWidget*>(Widget())->return_to = QApplication::activeWindow();
  Widget()->show();
}

void TPopupWindow::ClosePopup() {
  if (filter_ && QApplication::instance()) QApplication::instance()->removeEventFilter(filter_.get());
  TWinControl::SetVisible(false);
  if (Widget()) {
    if (QWidget::mouseGrabber() == Widget()) Widget()->releaseMouse();
    Widget()->hide();
  }
}

bool TPopupWindow::IsPopupVisible() const { return Widget() && Widget()->isVisible(); }

// ---- Screen, themes, clipboard ----

TRect ScreenWorkArea(TPoint near) {
  QScreen* screen = QGuiApplication::screenAt(QPoint(near.X, near.Y));
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return {0, 0, 1024, 768};
  const QRect area = screen->availableGeometry();
  return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

TPoint MouseCursorPos() {
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

int SystemHScrollBarHeight() { return 17; }

// The platform draws with one style of its own; no visual themes in the sense of the design's painters.
bool ThemesActive() { return false; }

void DrawPlatformPushButton(TCanvas& canvas, const TRect& rect, const std::string& caption, bool pressed, bool focused,
                            bool enabled, bool is_default) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  QImage image(rect.Width(), rect.Height(), QImage::Format_RGB32);
  image.fill(ToQColor(clBtnFace));
  {
    QPainter painter(&image);
    painter.setFont(ToQFont(canvas.Font()));
    QStyleOptionButton option;
    option.rect = QRect(0, 0, rect.Width(), rect.Height());
    option.text = ToQString(caption);
    option.palette = QApplication::palette();
    option.palette.setColor(QPalette::Button, ToQColor(clBtnFace));
    option.palette.setColor(QPalette::ButtonText, ToQColor(canvas.Font().Color()));
    option.fontMetrics = QFontMetrics(ToQFont(canvas.Font()));
    option.state = pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (enabled) option.state |= QStyle::State_Enabled;
    if (focused) option.state |= QStyle::State_HasFocus;
    if (is_default) option.features |= QStyleOptionButton::DefaultButton;
    QApplication::style()->drawControl(QStyle::CE_PushButton, &option, &painter);
  }
  TBitmap bitmap;
  bitmap.SetImage(image);
  canvas.Draw(rect.Left, rect.Top, bitmap);
}

std::string ClipboardText() {
  if (!QGuiApplication::instance()) return {};
  return FromQString(QGuiApplication::clipboard()->text());
}

void SetClipboardText(const std::string& text) {
  if (QGuiApplication::instance()) QGuiApplication::clipboard()->setText(ToQString(text));
}
