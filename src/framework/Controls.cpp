#include "framework/Controls.h"

#include "framework/Exceptions.h"
#include "framework/QtBridge.h"
#include "framework/Text.h"

#include <QWidget>

#include <algorithm>

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

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  auto* win = dynamic_cast<TWinControl*>(parent);
  if (parent && !win) throw EInvalidOperation(Format("%s cannot hold the control %s", {parent->ClassName(), ClassName()}));
  SetParent(win);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  constraints_.Constrain(width, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (widget_) SyncWidget();
  BoundsChanged();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (widget_) widget_->setVisible(visible);
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

void TControl::SetAlign(TAlign align) { align_ = align; }

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
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  control->DestroyWidget();
  controls_.erase(it);
  control->parent_ = nullptr;
  TControl::parent_chains_version_.fetch_add(1, std::memory_order_relaxed);
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
