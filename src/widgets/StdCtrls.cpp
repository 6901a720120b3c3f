#include "widgets/StdCtrls.h"

#include "core/ScopeGuard.h"
#include "graphics/TextMetrics.h"
#include "widgets/Forms.h"
#include "widgets/QtBridge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

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
  // A caption marks its accelerator with "&" ("&&" is an ampersand); the mark itself is not shown.
  std::string shown;
  const std::string& caption = Caption();
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  label->setTextFormat(Qt::PlainText);
  label->setText(ToQString(shown));
  Qt::Alignment horizontal = alignment_ == taCenter         ? Qt::AlignHCenter
                             : alignment_ == taRightJustify ? Qt::AlignRight
                                                            : Qt::AlignLeft;
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

void TEdit::TextChanged() {
  TWinControl::TextChanged();
  if (OnChange) OnChange(this);
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
  box->setStyleSheet(kGroupFrameStyle);
  return box;
}

void TGroupBox::SyncWidget() {
  TCustomControl::SyncWidget();
  static_cast<QGroupBox*>(Widget())->setTitle(ToQString(Caption()));
}

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  items_.OnChange = [this](TObject*) {
    if (item_index_ >= items_.Count()) item_index_ = -1;
    if (Widget()) SyncWidget();
  };
}

void TComboBox::SetStyle(TComboBoxStyle style) {
  style_ = style;
  if (Widget()) SyncWidget();
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  item_index_ = index;
  if (index >= 0) SetTextSilently(items_[index]);
  if (Widget()) SyncWidget();
}

void TComboBox::SetDropDownCount(int count) {
  drop_down_count_ = count;
  if (Widget()) SyncWidget();
}

std::string TComboBox::GetText() const { return TWinControl::GetText(); }

void TComboBox::SetText(const std::string& text) {
  SetTextSilently(text);
  // Another text leaves no item chosen, even one that matches an item.
  if (item_index_ >= 0 && items_[item_index_] != text) item_index_ = -1;
  if (Widget()) SyncWidget();
}

void TComboBox::UserChanged(const std::string& text, int index) {
  SetTextSilently(text);
  item_index_ = index;
  if (OnChange) OnChange(this);
}

QWidget* TComboBox::CreateWidget(QWidget* parent_widget) {
  auto* box = new QComboBox(parent_widget);
  box->setInsertPolicy(QComboBox::NoInsert);
  QObject::connect(box, &QComboBox::textActivated, box, [this, box](const QString& text) {
    if (syncing_) return;
    RunGuarded([&] { UserChanged(FromQString(text), box->currentIndex()); });
  });
  QObject::connect(box, &QComboBox::editTextChanged, box, [this, box](const QString& text) {
    if (syncing_) return;
    // Typing leaves no item chosen, as the platform's box does; choosing from the list comes through
    // textActivated with its index.
    if (box->lineEdit() && !box->lineEdit()->hasFocus()) return;
    RunGuarded([&] { UserChanged(FromQString(text), -1); });
  });
  return box;
}

void TComboBox::SyncWidget() {
  TWinControl::SyncWidget();
  auto* box = static_cast<QComboBox*>(Widget());
  TScopedValueRollback<bool> rollback(syncing_, true);
  box->setEditable(style_ != csDropDownList);
  QStringList list;
  for (const std::string& item : items_.Lines()) list << ToQString(item);
  QStringList current;
  for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
  if (current != list) {
    box->clear();
    box->addItems(list);
  }
  box->setMaxVisibleItems(std::max(1, drop_down_count_));
  box->setCurrentIndex(item_index_);
  if (box->isEditable() && box->currentText() != ToQString(Caption())) box->setEditText(ToQString(Caption()));
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCheckBox::SetChecked(bool on) {
  checked_ = on;
  if (Widget()) SyncWidget();
}

QWidget* TCheckBox::CreateWidget(QWidget* parent_widget) {
  auto* box = new QCheckBox(parent_widget);
  QObject::connect(box, &QCheckBox::toggled, box, [this](bool on) {
    if (on == checked_) return;
    checked_ = on;
    RunGuarded([this] { Click(); });
  });
  return box;
}

void TCheckBox::SyncWidget() {
  TWinControl::SyncWidget();
  auto* box = static_cast<QCheckBox*>(Widget());
  box->setText(ToQString(Caption()));
  box->setChecked(checked_);
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
