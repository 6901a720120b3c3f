#include "widgets/Controls.h"

#include "core/Exceptions.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "widgets/Forms.h"
#include "widgets/Menus.h"
#include "widgets/QtBridge.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace {

constexpr char kControlProperty[] = "relclientes.control";

// Hands the input events of every backing widget to its control.
class TInputFilter : public QObject {
public:
  static TInputFilter& Instance() {
    static TInputFilter* filter = new TInputFilter;
    return *filter;
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    TControl* control = widget ? TControl::FromWidget(widget) : nullptr;
    if (!control || control->Widget() != widget) return false;
    if (event->type() == QEvent::KeyPress) {
      auto* win = dynamic_cast<TWinControl*>(control);
      if (!win) return false;
      auto* key_event = static_cast<QKeyEvent*>(event);
      int key = KeyCodeOf(key_event->key());
      if (key == 0) return false;
      bool consumed = false;
      RunGuarded([&] { consumed = win->KeyDown(key, ShiftStateOf(key_event->modifiers(), Qt::NoButton)); });
      return consumed;
    }
    if (control->ReportsOwnMouse() && event->type() != QEvent::ContextMenu) return false;
    return DispatchMouseEvent(control, event);
  }
};

TMouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
  }
}

}  // namespace

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState shift;
  if (modifiers & Qt::ShiftModifier) shift << ssShift;
  if (modifiers & Qt::AltModifier) shift << ssAlt;
  if (modifiers & Qt::ControlModifier) shift << ssCtrl;
  if (buttons & Qt::LeftButton) shift << ssLeft;
  if (buttons & Qt::RightButton) shift << ssRight;
  if (buttons & Qt::MiddleButton) shift << ssMiddle;
  return shift;
}

int KeyCodeOf(int qtKey) {
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return VK_F1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
  }
}

bool DispatchMouseEvent(TControl* control, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      TShiftState shift = ShiftStateOf(mouse->modifiers(), mouse->buttons());
      QPoint at = mouse->position().toPoint();
      TMouseButton button = ButtonOf(mouse->button());
      RunGuarded([&] {
        if (event->type() == QEvent::MouseButtonRelease) {
          control->MouseUp(button, shift, at.x(), at.y());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
          control->MouseDown(button, shift << ssDouble, at.x(), at.y());
          if (button == mbLeft) control->DblClick();
        } else {
          control->MouseDown(button, shift, at.x(), at.y());
        }
      });
      return false;
    }
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      QPoint at = wheel->position().toPoint();
      bool handled = false;
      RunGuarded([&] {
        handled = control->DoMouseWheel(ShiftStateOf(wheel->modifiers(), wheel->buttons()), wheel->angleDelta().y(),
                                        {at.x(), at.y()});
      });
      if (handled) wheel->accept();
      return handled;
    }
    case QEvent::ContextMenu: {
      if (!control->PopupMenu()) return false;
      QPoint at = static_cast<QContextMenuEvent*>(event)->pos();
      RunGuarded([&] { control->ContextPopup({at.x(), at.y()}); });
      return true;
    }
    default: return false;
  }
}

void TSizeConstraints::Set(int& field, int value) {
  if (field == value) return;
  field = std::max(0, value);
  if (OnChange) OnChange(this);
}

void TSizeConstraints::Constrain(int& width, int& height) const {
  if (max_width_ > 0) width = std::min(width, max_width_);
  if (max_height_ > 0) height = std::min(height, max_height_);
  if (min_width_ > 0) width = std::max(width, min_width_);
  if (min_height_ > 0) height = std::max(height, min_height_);
}

void TSizeConstraints::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TSizeConstraints*>(&source);
  if (!other) return TPersistent::Assign(source);
  min_width_ = other->min_width_;
  min_height_ = other->min_height_;
  max_width_ = other->max_width_;
  max_height_ = other->max_height_;
  if (OnChange) OnChange(this);
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = [this](TObject*) {
    if (!updating_font_from_parent_) parent_font_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  Destroying();
  DestroyWidget();
  if (parent_) parent_->RemoveControl(this);
}

TControl* TControl::FromWidget(const QWidget* widget) {
  return widget ? static_cast<TControl*>(widget->property(kControlProperty).value<void*>()) : nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popup_menu_) return;
  if (popup_menu_) RemoveFreeNotification(popup_menu_);
  popup_menu_ = menu;
  if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popup_menu_) popup_menu_ = nullptr;
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  return handled;
}

void TControl::ContextPopup(TPoint mousePos) {
  if (!popup_menu_) return;
  popup_menu_->SetPopupComponent(this);
  if (widget_) {
    QPoint global = widget_->mapToGlobal(QPoint(mousePos.X, mousePos.Y));
    popup_menu_->Popup(global.x(), global.y());
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  auto* win = dynamic_cast<TWinControl*>(parent);
  if (parent && !win)
    throw EInvalidOperation(Format("%s cannot hold the control %s", {parent->ClassName(), ClassName()}));
  SetParent(win);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  constraints_.Constrain(width, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (widget_) SyncWidget();
  BoundsChanged();
  if (resized && aligned_children_ > 0) static_cast<TWinControl*>(this)->AlignControls();
  if (align_ != alNone && parent_ && !parent_->aligning_) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (widget_) widget_->setVisible(visible);
  if (align_ != alNone && parent_) parent_->AlignControls();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (widget_) widget_->setEnabled(enabled);
}

void TControl::SetParentFont(bool parent_font) {
  if (parent_font == parent_font_) return;
  parent_font_ = parent_font;
  if (parent_font_ && parent_) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parent_font_ || !parent_) return;
  updating_font_from_parent_ = true;
  try {
    font_.Assign(parent_->Font());
  } catch (...) {
    updating_font_from_parent_ = false;
    throw;
  }
  updating_font_from_parent_ = false;
}

void TControl::SetColor(TColor color) {
  parent_color_ = false;
  if (color == color_) return;
  color_ = color;
  if (widget_) SyncWidget();
  if (auto* self = dynamic_cast<TWinControl*>(this)) {
    for (int i = 0; i < self->ControlCount(); ++i) self->Controls(i)->ParentColorChanged();
  }
}

void TControl::SetParentColor(bool parent_color) {
  if (parent_color == parent_color_) return;
  parent_color_ = parent_color;
  ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!parent_color_ || !parent_) return;
  SetColor(parent_->Color());
  parent_color_ = true;
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  if (parent_) parent_->aligned_children_ += (align != alNone) - (align_ != alNone);
  align_ = align;
  if (parent_) parent_->AlignControls();
}

int TControl::GetTextLen() const { return CharCount(GetText()); }

void TControl::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  TextChanged();
}

void TControl::TextChanged() {
  if (widget_) SyncWidget();
}

void TControl::FontChanged() {
  if (widget_) widget_->setFont(ToQFont(font_));
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

QWidget* TControl::CreateWidget(QWidget*) { return nullptr; }

void TControl::SyncWidget() {
  // The widget carries the control's name, so that automation finds it as the program names it.
  widget_->setObjectName(ToQString(Name()));
  widget_->setGeometry(left_, top_, width_, height_);
  widget_->setFont(ToQFont(font_));
  widget_->setEnabled(enabled_);
  if (parent_) widget_->setVisible(visible_);
}

void TControl::CreateWidgetTree() {
  if (widget_) return;
  QWidget* parent_widget = parent_ ? parent_->Widget() : nullptr;
  if (parent_ && !parent_widget) return;
  widget_ = CreateWidget(parent_widget);
  if (!widget_) return;
  widget_->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(this)));
  widget_->installEventFilter(&TInputFilter::Instance());
  if (!hint_.empty()) widget_->setToolTip(ToQString(hint_));
  SyncWidget();
  if (auto* self = dynamic_cast<TWinControl*>(this)) {
    for (int i = 0; i < self->ControlCount(); ++i) self->Controls(i)->CreateWidgetTree();
  }
}

void TControl::DestroyWidget() {
  if (!widget_) return;
  if (auto* self = dynamic_cast<TWinControl*>(this)) {
    for (int i = 0; i < self->ControlCount(); ++i) self->Controls(i)->DestroyWidget();
  }
  QWidget* widget = widget_;
  widget_ = nullptr;
  delete widget;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  Destroying();
  DestroyWidget();
  while (!controls_.empty()) delete controls_.back();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return controls_[static_cast<std::size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
  control->parent_ = this;
  TControl::parent_chains_version_.fetch_add(1, std::memory_order_relaxed);
  controls_.push_back(control);
  control->ParentFontChanged();
  control->ParentColorChanged();
  if (Widget()) control->CreateWidgetTree();
  if (control->Align() != alNone) {
    ++aligned_children_;
    AlignControls();
  }
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  control->DestroyWidget();
  controls_.erase(it);
  control->parent_ = nullptr;
  TControl::parent_chains_version_.fetch_add(1, std::memory_order_relaxed);
  if (control->Align() != alNone) {
    --aligned_children_;
    if (!IsDestroying()) AlignControls();
  }
}

void TWinControl::AlignControls() {
  if (aligning_ || aligned_children_ == 0 || IsDestroying()) return;
  TScopedValueRollback<bool> rollback(aligning_, true);
  TRect area = AlignRect();
  auto take = [&](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : controls_) {
      if (c->Align() == align && c->Visible()) list.push_back(c);
    }
    // Top and left ones keep the order of their position, bottom and right ones the reverse; ties keep the order
    // of insertion.
    std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case alTop: return a->Top() < b->Top();
        case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
        case alLeft: return a->Left() < b->Left();
        case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
        default: return false;
      }
    });
    return list;
  };
  for (TControl* c : take(alTop)) {
    c->SetBounds(area.Left, area.Top, area.Width(), c->Height());
    area.Top += c->Height();
  }
  for (TControl* c : take(alBottom)) {
    area.Bottom -= c->Height();
    c->SetBounds(area.Left, area.Bottom, area.Width(), c->Height());
  }
  for (TControl* c : take(alLeft)) {
    c->SetBounds(area.Left, area.Top, c->Width(), std::max(0, area.Height()));
    area.Left += c->Width();
  }
  for (TControl* c : take(alRight)) {
    area.Right -= c->Width();
    c->SetBounds(area.Right, area.Top, c->Width(), std::max(0, area.Height()));
  }
  for (TControl* c : take(alClient)) {
    c->SetBounds(area.Left, area.Top, std::max(0, area.Width()), std::max(0, area.Height()));
  }
}

bool TWinControl::Focused() const { return Widget() && Widget()->hasFocus(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

bool TWinControl::KeyDown(int& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
  return key == 0;
}

void TWinControl::HandleNeeded() {
  if (Widget()) return;
  if (Parent()) Parent()->HandleNeeded();
  CreateWidgetTree();
}

void TWinControl::SetFocus() {
  HandleNeeded();
  if (Widget()) Widget()->setFocus();
}

QWidget* TWinControl::CreateWidget(QWidget* parent_widget) { return new QWidget(parent_widget); }

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* child : controls_) child->ParentFontChanged();
}
