#include "framework/StdCtrls.h"

#include "framework/Forms.h"
#include "framework/QtBridge.h"
#include "framework/TextMetrics.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 65, 17); }

void TLabel::SetAutoSize(bool on) {
  auto_size_ = on;
  AdjustSize();
}

void TLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  if (Widget()) SyncWidget();
}

void TLabel::SetWordWrap(bool on) {
  word_wrap_ = on;
  AdjustSize();
  if (Widget()) SyncWidget();
}

void TLabel::TextChanged() {
  AdjustSize();
  TGraphicControl::TextChanged();
}

void TLabel::FontChanged() {
  AdjustSize();
  TGraphicControl::FontChanged();
}

void TLabel::AdjustSize() {
  if (!auto_size_ || IsLoading() || IsDestroying()) return;
  const TFontMeasure& measure = TFontMeasure::For(Font());
  int width = Width();
  int height = measure.Height();
  if (word_wrap_) {
    height *= measure.WrappedLineCount(Caption(), width);
  } else {
    width = measure.Width(Caption());
  }
  int left = Left();
  if (alignment_ == taRightJustify) left = Left() + Width() - width;
  else if (alignment_ == taCenter) left = Left() + (Width() - width) / 2;
  SetBounds(left, Top(), width, height);
}

QWidget* TLabel::CreateWidget(QWidget* parent_widget) { return new QLabel(parent_widget); }

void TLabel::SyncWidget() {
  TGraphicControl::SyncWidget();
  auto* label = static_cast<QLabel*>(Widget());
  label->setText(ToQString(Caption()));
  Qt::Alignment horizontal = alignment_ == taCenter ? Qt::AlignHCenter : alignment_ == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
  label->setAlignment(horizontal | Qt::AlignTop);
  label->setWordWrap(word_wrap_);
  label->setContentsMargins(0, 0, 0, 0);
  label->setIndent(0);
  label->setMargin(0);
  if (Font().Color() != clWindowText) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(Font().Color()));
    label->setPalette(palette);
  }
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
}

std::string TEdit::GetText() const {
  if (auto* edit = static_cast<QLineEdit*>(Widget())) return FromQString(edit->text());
  return TWinControl::GetText();
}

void TEdit::SetMaxLength(int length) {
  max_length_ = length;
  if (Widget()) SyncWidget();
}

void TEdit::SetReadOnly(bool on) {
  read_only_ = on;
  if (Widget()) SyncWidget();
}

void TEdit::SetPasswordChar(char c) {
  password_char_ = c;
  if (Widget()) SyncWidget();
}

QWidget* TEdit::CreateWidget(QWidget* parent_widget) {
  auto* edit = new QLineEdit(parent_widget);
  QObject::connect(edit, &QLineEdit::textChanged, edit, [this](const QString& text) {
    // The widget taking the control's own text (when it is made, or from SetText) is no change.
    std::string value = FromQString(text);
    if (value == Caption()) return;
    SetTextSilently(value);
    if (OnChange) RunGuarded([this] { OnChange(this); });
  });
  return edit;
}

void TEdit::SyncWidget() {
  TWinControl::SyncWidget();
  auto* edit = static_cast<QLineEdit*>(Widget());
  QString text = ToQString(Caption());
  if (edit->text() != text) edit->setText(text);
  edit->setMaxLength(max_length_ > 0 ? max_length_ : 32767);
  edit->setReadOnly(read_only_);
  edit->setEchoMode(password_char_ ? QLineEdit::Password : QLineEdit::Normal);
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::Click() {
  if (TForm* form = GetParentForm(this); form && modal_result_ != mrNone) form->SetModalResult(modal_result_);
  TWinControl::Click();
}

QWidget* TButton::CreateWidget(QWidget* parent_widget) {
  auto* button = new QPushButton(parent_widget);
  QObject::connect(button, &QPushButton::clicked, button, [this] { RunGuarded([this] { Click(); }); });
  return button;
}

void TButton::SyncWidget() {
  TWinControl::SyncWidget();
  auto* button = static_cast<QPushButton*>(Widget());
  button->setText(ToQString(Caption()));
  button->setDefault(default_);
  button->setAutoDefault(false);
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 105); }

QWidget* TGroupBox::CreateWidget(QWidget* parent_widget) {
  auto* box = new QGroupBox(parent_widget);
  // The caption sits on an etched frame whose top runs through the middle of the caption's line.
  box->setStyleSheet(
      "QGroupBox { border: 2px groove palette(mid); border-radius: 0px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; padding: 0 2px; }");
  return box;
}

void TGroupBox::SyncWidget() {
  TCustomControl::SyncWidget();
  static_cast<QGroupBox*>(Widget())->setTitle(ToQString(Caption()));
}

void TEdit::TextChanged() {
  TWinControl::TextChanged();
  if (OnChange) OnChange(this);
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCheckBox::SetChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  if (Widget()) SyncWidget();
  if (OnClick) OnClick(this);
}

QWidget* TCheckBox::CreateWidget(QWidget* parent_widget) {
  auto* box = new QCheckBox(parent_widget);
  QObject::connect(box, &QCheckBox::toggled, box, [this](bool on) { RunGuarded([this, on] { SetChecked(on); }); });
  return box;
}

void TCheckBox::SyncWidget() {
  TWinControl::SyncWidget();
  auto* box = static_cast<QCheckBox*>(Widget());
  box->setText(ToQString(Caption()));
  if (box->isChecked() != checked_) box->setChecked(checked_);
}

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  if (on && Parent()) {
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
      auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
      if (other && other != this) other->SetChecked(false);
    }
  }
  if (Widget()) SyncWidget();
  if (on && OnClick) OnClick(this);
}

QWidget* TRadioButton::CreateWidget(QWidget* parent_widget) {
  auto* button = new QRadioButton(parent_widget);
  // The buttons of one parent exclude each other through SetChecked, not through Qt's grouping.
  button->setAutoExclusive(false);
  QObject::connect(button, &QRadioButton::clicked, button, [this, button] {
    RunGuarded([this, button] {
      SetChecked(true);
      button->setChecked(true);
    });
  });
  return button;
}

void TRadioButton::SyncWidget() {
  TWinControl::SyncWidget();
  auto* button = static_cast<QRadioButton*>(Widget());
  button->setText(ToQString(Caption()));
  if (button->isChecked() != checked_) button->setChecked(checked_);
}

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
}

void TComboBox::SetStyle(TComboBoxStyle style) {
  style_ = style;
  if (Widget()) SyncWidget();
}

void TComboBox::AddItem(const std::string& text) {
  items_.push_back(text);
  if (Widget()) SyncItems();
}

void TComboBox::ClearItems() {
  items_.clear();
  item_index_ = -1;
  if (style_ == csDropDownList) SetTextSilently({});
  if (Widget()) SyncItems();
}

void TComboBox::SetItemIndex(int index) {
  item_index_ = index >= 0 && index < ItemCount() ? index : -1;
  SetTextSilently(item_index_ >= 0 ? items_[static_cast<std::size_t>(item_index_)] : std::string());
  if (Widget()) SyncWidget();
}

std::string TComboBox::GetText() const { return TWinControl::GetText(); }

void TComboBox::SetText(const std::string& text) {
  auto found = std::find(items_.begin(), items_.end(), text);
  item_index_ = found != items_.end() ? static_cast<int>(found - items_.begin()) : -1;
  if (style_ == csDropDownList && item_index_ < 0) return;
  SetTextSilently(text);
  if (Widget()) SyncWidget();
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

QWidget* TComboBox::CreateWidget(QWidget* parent_widget) {
  auto* box = new QComboBox(parent_widget);
  QObject::connect(box, &QComboBox::activated, box, [this](int index) {
    if (syncing_) return;
    RunGuarded([this, index] {
      item_index_ = index;
      SetTextSilently(Items(index));
      Change();
    });
  });
  QObject::connect(box, &QComboBox::editTextChanged, box, [this](const QString& text) {
    if (syncing_ || style_ == csDropDownList) return;
    RunGuarded([this, text] {
      std::string value = FromQString(text);
      if (value == Caption()) return;
      auto found = std::find(items_.begin(), items_.end(), value);
      item_index_ = found != items_.end() ? static_cast<int>(found - items_.begin()) : -1;
      SetTextSilently(value);
      Change();
    });
  });
  return box;
}

void TComboBox::SyncItems() {
  auto* box = static_cast<QComboBox*>(Widget());
  syncing_ = true;
  box->clear();
  for (const std::string& item : items_) box->addItem(ToQString(item));
  box->setCurrentIndex(item_index_);
  if (style_ != csDropDownList) box->setEditText(ToQString(Caption()));
  syncing_ = false;
}

void TComboBox::SyncWidget() {
  TWinControl::SyncWidget();
  auto* box = static_cast<QComboBox*>(Widget());
  syncing_ = true;
  box->setEditable(style_ != csDropDownList);
  box->setMaxVisibleItems(std::max(1, drop_down_count_));
  syncing_ = false;
  SyncItems();
}
