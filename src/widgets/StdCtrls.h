#pragma once

#include "core/Strings.h"
#include "widgets/Controls.h"

// A caption painted on its parent. With AutoSize (the default), whenever its caption or font changes after loading
// it takes the size of its caption in its font, keeping its left edge (its right edge when right-justified, its
// centre when centred); a word-wrapping label keeps its width. The size a definition stores stays as loaded.
class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* owner);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool on);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on) { transparent_ = on; }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool on);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;
  void TextChanged() override;
  void FontChanged() override;

private:
  void AdjustSize();

  bool auto_size_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool transparent_ = false;
  bool word_wrap_ = false;
};

// A single-line text box.
class TEdit : public TWinControl {
public:
  explicit TEdit(TComponent* owner);
  std::string GetText() const override;
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int length);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on);
  // Shown in place of every typed character; '\0' shows the text itself.
  char PasswordChar() const { return password_char_; }
  void SetPasswordChar(char c);

  // Runs whenever the text changes, by typing or from code.
  TNotifyEvent OnChange;

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;
  void TextChanged() override;

private:
  int max_length_ = 0;
  bool read_only_ = false;
  char password_char_ = '\0';
};

// A push button; its OnClick runs inside the application's exception handler.
class TButton : public TWinControl {
public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool on) { default_ = on; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool on) { cancel_ = on; }
  // A non-zero result closes the modal form that holds the button.
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int result) { modal_result_ = result; }
  void Click() override;

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  bool default_ = false;
  bool cancel_ = false;
  int modal_result_ = 0;
};

// A framed box with a caption that holds other controls.
class TGroupBox : public TCustomControl {
public:
  explicit TGroupBox(TComponent* owner);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// A text box with a drop-down list of items. Setting Text or ItemIndex from the program raises no OnChange; the
// user's typing and choosing do. Setting a Text other than the chosen item's leaves no item chosen.
class TComboBox : public TWinControl {
public:
  explicit TComboBox(TComponent* owner);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  TStrings& Items() { return items_; }
  const TStrings& Items() const { return items_; }
  // -1 when the text matches no chosen item.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  int DropDownCount() const { return drop_down_count_; }
  void SetDropDownCount(int count);
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int height) { item_height_ = height; }
  std::string GetText() const override;
  void SetText(const std::string& text) override;

  TNotifyEvent OnChange;
  // What the user's typing or choosing does: updates Text and ItemIndex, then OnChange.
  void UserChanged(const std::string& text, int index);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  TComboBoxStyle style_ = csDropDown;
  TStrings items_;
  int item_index_ = -1;
  int drop_down_count_ = 8;
  int item_height_ = 13;
  bool syncing_ = false;
};

// A box that the user ticks and unticks, with its caption beside it.
class TCheckBox : public TWinControl {
public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return checked_; }
  void SetChecked(bool on);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  bool checked_ = false;
};

// One choice of several: checking it unchecks the other radio buttons of its parent. OnClick runs when it becomes
// checked.
class TRadioButton : public TWinControl {
public:
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return checked_; }
  void SetChecked(bool on);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  bool checked_ = false;
};
