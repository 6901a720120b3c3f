#pragma once

// The editors the lookup combo box is made of: a custom edit with its value, change events and validation; a
// text edit with an inner text box; a drop-down edit with its button and pop-up window; a combo box with its
// editing modes.

#include "lookup/cxEdit.h"

#include <functional>
#include <memory>
#include <string>

enum TcxEditDropDownListStyle { lsEditFixedList, lsEditList, lsFixedList };
enum TcxTextEditingMode { tmFree, tmList, tmFixedList, tmNoCaret };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TcxEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };
enum TImeMode {
  imDisable,
  imClose,
  imOpen,
  imDontCare,
  imSAlpha,
  imAlpha,
  imHira,
  imSKata,
  imKata,
  imChinese,
  imSHanguel,
  imHanguel
};
enum TcxEditButtonKind { bkEllipsis, bkDown, bkGlyph, bkText };
enum TDragKind { dkDrag, dkDock };
enum TDragMode { dmManual, dmAutomatic };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind, 8>;

class TcxCustomEdit;
class TBitmap;

// Text alignment of an editor: horizontal and vertical.
class TcxEditAlignment : public TPersistent {
public:
  TAlignment Horz() const { return horz_; }
  void SetHorz(TAlignment horz) {
    horz_ = horz;
    Changed();
  }
  TcxEditVertAlignment Vert() const { return vert_; }
  void SetVert(TcxEditVertAlignment vert) {
    vert_ = vert;
    Changed();
  }
  void Assign(const TPersistent& source) override;
  TNotifyEvent OnChange;

private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  TAlignment horz_ = taLeftJustify;
  TcxEditVertAlignment vert_ = taTopJustify;
};

class TcxCustomEditProperties : public TPersistent {
public:
  TcxCustomEditProperties();
  ~TcxCustomEditProperties() override;

  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on) {
    read_only_ = on;
    Changed();
  }
  bool ValidateOnEnter() const { return validate_on_enter_; }
  void SetValidateOnEnter(bool on) {
    validate_on_enter_ = on;
    Changed();
  }
  bool ImmediatePost() const { return immediate_post_; }
  void SetImmediatePost(bool on) {
    immediate_post_ = on;
    Changed();
  }
  TShortCut ClearKey() const { return clear_key_; }
  void SetClearKey(TShortCut key) {
    clear_key_ = key;
    Changed();
  }
  TcxEditAlignment& Alignment() { return alignment_; }
  bool UseLeftAlignmentOnEditing() const { return use_left_alignment_on_editing_; }
  void SetUseLeftAlignmentOnEditing(bool on) {
    use_left_alignment_on_editing_ = on;
    Changed();
  }

  TNotifyEvent OnChange;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;

  // The editor that is told of every change of the properties.
  std::function<void()> OnPropertiesChanged;
  void Changed();
  void BeginUpdate() { ++update_count_; }
  void EndUpdate();

private:
  bool read_only_ = false;
  bool validate_on_enter_ = true;
  bool immediate_post_ = false;
  TShortCut clear_key_ = 0;
  TcxEditAlignment alignment_;
  bool use_left_alignment_on_editing_ = true;
  int update_count_ = 0;
  bool changed_ = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties {
public:
  bool AutoSelect() const { return auto_select_; }
  void SetAutoSelect(bool on) {
    auto_select_ = on;
    Changed();
  }
  TEditCharCase CharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase c) {
    char_case_ = c;
    Changed();
  }
  bool HideSelection() const { return hide_selection_; }
  void SetHideSelection(bool on) {
    hide_selection_ = on;
    Changed();
  }
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int length) {
    max_length_ = std::max(0, length);
    Changed();
  }
  bool OEMConvert() const { return oem_convert_; }
  void SetOEMConvert(bool on) {
    oem_convert_ = on;
    Changed();
  }
  // How text may be typed.
  virtual TcxTextEditingMode EditingMode() const { return tmFree; }

private:
  bool auto_select_ = true;
  TEditCharCase char_case_ = ecNormal;
  bool hide_selection_ = true;
  int max_length_ = 0;
  bool oem_convert_ = false;
};

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties {};

class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
public:
  TcxCustomDropDownEditProperties();
  ~TcxCustomDropDownEditProperties() override;
  bool ImmediateDropDown() const { return immediate_drop_down_; }
  void SetImmediateDropDown(bool on) {
    immediate_drop_down_ = on;
    Changed();
  }
  TAlignment PopupAlignment() const { return popup_alignment_; }
  void SetPopupAlignment(TAlignment a) {
    popup_alignment_ = a;
    Changed();
  }
  TBitmap& ButtonGlyph() { return *button_glyph_; }
  // The one button, of kind bkDown.
  TcxEditButtonKind ButtonKind() const { return bkDown; }
  // Ctrl+Enter presses the button.
  TShortCut ClickKey() const { return scCtrl | VK_RETURN; }

  TNotifyEvent OnInitPopup;
  TNotifyEvent OnPopup;
  TNotifyEvent OnCloseUp;

private:
  bool immediate_drop_down_ = true;
  TAlignment popup_alignment_ = taLeftJustify;
  std::unique_ptr<TBitmap> button_glyph_;
};

class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
public:
  TcxEditDropDownListStyle DropDownListStyle() const { return drop_down_list_style_; }
  void SetDropDownListStyle(TcxEditDropDownListStyle style) {
    drop_down_list_style_ = style;
    Changed();
  }
  int DropDownRows() const { return drop_down_rows_; }
  // Values below 1 are ignored.
  void SetDropDownRows(int rows) {
    if (rows >= 1) drop_down_rows_ = rows;
    Changed();
  }
  bool DropDownAutoSize() const { return drop_down_auto_size_; }
  void SetDropDownAutoSize(bool on) {
    drop_down_auto_size_ = on;
    Changed();
  }
  bool DropDownSizeable() const { return drop_down_sizeable_; }
  void SetDropDownSizeable(bool on) {
    drop_down_sizeable_ = on;
    Changed();
  }
  int DropDownWidth() const { return drop_down_width_; }
  void SetDropDownWidth(int width) {
    drop_down_width_ = width;
    Changed();
  }
  int DropDownHeight() const { return drop_down_height_; }
  void SetDropDownHeight(int height) {
    drop_down_height_ = height;
    Changed();
  }
  bool Revertable() const { return revertable_; }
  void SetRevertable(bool on) {
    revertable_ = on;
    Changed();
  }
  // A typed selection is kept in the fixed-list mode.
  bool FixedListSelection() const { return fixed_list_selection_; }
  void SetFixedListSelection(bool on) { fixed_list_selection_ = on; }
  TcxTextEditingMode EditingMode() const override;

private:
  TcxEditDropDownListStyle drop_down_list_style_ = lsEditFixedList;
  int drop_down_rows_ = 8;
  bool drop_down_auto_size_ = false;
  bool drop_down_sizeable_ = false;
  int drop_down_width_ = 0;
  int drop_down_height_ = 0;
  bool revertable_ = false;
  bool fixed_list_selection_ = true;
};

using TKeyPressEvent = std::function<void(TObject* sender, char32_t& key)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TcxEditEditingEvent = std::function<void(TObject* sender, bool& can_edit)>;

// The container layer: a self-painted control with the edit style.
class TcxControl : public TInputControl {
public:
  using TInputControl::TInputControl;
};

class TcxContainer : public TcxControl {
public:
  using TcxControl::TcxControl;
};

// An editor: a value, the text that shows it, the change events and validation, the focus states.
class TcxCustomEdit : public TcxContainer {
public:
  ~TcxCustomEdit() override;

  TcxCustomEditProperties& Properties() { return *properties_; }
  const TcxCustomEditProperties& Properties() const { return *properties_; }
  TcxEditStyle& Style() { return style_; }
  const TcxEditStyle& Style() const { return style_; }

  Variant EditValue() const { return edit_value_; }
  void SetEditValue(const Variant& value);
  // The text the edit area shows.
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  int SelStart() const;
  int SelLength() const;
  void SetSel(int start, int length);
  void SelectAll();

  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool on);
  bool BeepOnEnter() const { return beep_on_enter_; }
  void SetBeepOnEnter(bool on) { beep_on_enter_ = on; }
  TImeMode ImeMode() const { return ime_mode_; }
  void SetImeMode(TImeMode mode) { ime_mode_ = mode; }
  const std::string& ImeName() const { return ime_name_; }
  void SetImeName(const std::string& name) { ime_name_ = name; }
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors) { anchors_ = anchors; }
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool on) { show_hint_ = on; }
  bool ParentShowHint() const { return parent_show_hint_; }
  void SetParentShowHint(bool on) { parent_show_hint_ = on; }
  int DragCursor() const { return drag_cursor_; }
  void SetDragCursor(int cursor) { drag_cursor_ = cursor; }
  TDragKind DragKind() const { return drag_kind_; }
  void SetDragKind(TDragKind kind) { drag_kind_ = kind; }
  TDragMode DragMode() const { return drag_mode_; }
  void SetDragMode(TDragMode mode) { drag_mode_ = mode; }
  TComponent* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TComponent* menu);

  // Changed by the user since the editor got the focus.
  bool ModifiedAfterEnter() const { return modified_; }
  bool Validated() const { return validated_; }
  bool Focused() const;
  // Validates the text and posts the value; with `raise_error`, a failed validation raises (and takes the focus
  // back). Returns whether it passed.
  bool ValidateEdit(bool raise_error);
  // Sets the edit value from the text.
  void PostEditValue();
  // With AutoSize the height follows the font.
  void SetBounds(int left, int top, int width, int height) override;
  void Loaded() override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TNotifyEvent OnDblClick;
  TcxEditEditingEvent OnEditing;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

protected:
  TcxCustomEdit(TComponent* owner, std::unique_ptr<TcxCustomEditProperties> properties);

  // The text for a value, and the value for a text (what posting stores).
  virtual std::string EditValueToDisplayText(const Variant& value);
  virtual Variant DisplayTextToEditValue(const std::string& text);
  // Called before a validated text becomes the value (a lookup may announce a new text here).
  virtual void BeforePost(const std::string&) {}
  // Called when SetEditValue changed the value, before the text follows.
  virtual void EditValueSet() {}
  // Refreshes the text from the value.
  void UpdateDisplayText();
  // Sets the shown text inside a change section (OnChange follows).
  void SetDisplayText(const std::string& text);
  void BeginChange();
  void EndChange();
  void MarkModified();
  void SetValidated(bool on) { validated_ = on; }
  const Variant& ValueAtEnter() const { return value_at_enter_; }
  bool Loading() const { return IsLoading() || IsDestroying(); }
  TInnerEdit& InnerEdit() { return *inner_; }
  const TInnerEdit& InnerEdit() const { return *inner_; }
  // The rectangle of the text area and its frame width.
  virtual TRect TextAreaRect();
  int FrameWidth();
  bool HotTrackActive();
  void PlaceInnerEdit();
  void Paint() override;
  void FontChanged() override;
  void MouseEnter() override;
  void MouseLeave() override;
  virtual void PropertiesChanged();
  // The text box's alignment (left while the user edits, when the properties ask so) and whether its selection shows.
  void ApplyTextBoxLook();
  virtual void FocusChanged(bool focused);
  virtual void InnerKeyDown(unsigned short& key, TShiftState shift);
  virtual void InnerKeyPress(char32_t& key);
  virtual bool InnerCanEdit(const std::string&) { return !Properties().ReadOnly(); }
  virtual void InnerMouseDown(TMouseButton, TShiftState, int, int) {}
  virtual bool InnerMouseWheel(int) { return false; }
  virtual void InnerDblClick();
  int AutoHeight();

private:
  std::unique_ptr<TcxCustomEditProperties> properties_;
  TcxEditStyle style_;
  TInnerEdit* inner_ = nullptr;
  Variant edit_value_;
  Variant value_at_enter_;
  bool modified_ = false;
  bool validated_ = false;
  // The text shown was refused by validation and has not changed since.
  bool refused_ = false;
  bool focused_ = false;
  int change_count_ = 0;
  bool text_changed_mark_ = false;
  bool value_changed_mark_ = false;
  bool auto_size_ = true;
  bool beep_on_enter_ = true;
  TImeMode ime_mode_ = imDontCare;
  std::string ime_name_;
  TAnchors anchors_{akLeft, akTop};
  bool show_hint_ = false;
  bool parent_show_hint_ = true;
  int drag_cursor_ = -12;
  TDragKind drag_kind_ = dkDrag;
  TDragMode drag_mode_ = dmManual;
  TComponent* popup_menu_ = nullptr;
  bool mouse_over_ = false;
};

class TcxCustomTextEdit : public TcxCustomEdit {
public:
  using TcxCustomEdit::TcxCustomEdit;
  TcxCustomTextEditProperties& Properties() {
    return static_cast<TcxCustomTextEditProperties&>(TcxCustomEdit::Properties());
  }
  const TcxCustomTextEditProperties& Properties() const {
    return static_cast<const TcxCustomTextEditProperties&>(TcxCustomEdit::Properties());
  }
};

class TcxCustomMaskEdit : public TcxCustomTextEdit {
public:
  using TcxCustomTextEdit::TcxCustomTextEdit;
};

// An editor with a drop-down button and a pop-up window that holds another control.
class TcxCustomDropDownEdit : public TcxCustomMaskEdit {
public:
  ~TcxCustomDropDownEdit() override;
  TcxCustomDropDownEditProperties& Properties() {
    return static_cast<TcxCustomDropDownEditProperties&>(TcxCustomEdit::Properties());
  }
  const TcxCustomDropDownEditProperties& Properties() const {
    return static_cast<const TcxCustomDropDownEditProperties&>(TcxCustomEdit::Properties());
  }

  // Opens the drop-down (OnInitPopup, then OnPopup when shown).
  void DropDown();
  void Popup() { DropDown(); }
  // Closes it; with `accept` the focused row becomes the value. OnCloseUp fires.
  void CloseUp(bool accept);
  bool DroppedDown() const;
  bool IsPopupOpen() const { return DroppedDown(); }
  TPopupWindow* PopupWindow() const { return popup_.get(); }
  // The look and feel of the drop-down: the editor's, unless assigned.
  TcxLookAndFeel& PopupLookAndFeel() { return popup_look_and_feel_; }
  TRect ButtonRect();
  TcxEditButtonState ButtonState();

protected:
  using TcxCustomMaskEdit::TcxCustomMaskEdit;
  void InitDropDown();
  // Whether the list can be shown; prepares the content (the pop-up is shown after).
  virtual bool PrepareDropDown() = 0;
  virtual TControl* PopupContent() = 0;
  // The content's preferred size.
  virtual TSize PopupContentSize() = 0;
  // While the user sizes a sizeable drop-down: the content height it takes for `height` (whole rows, say), and the
  // narrowest content width.
  virtual int SnappedPopupContentHeight(int height) { return height; }
  virtual int MinPopupContentWidth() { return 0; }
  // Takes the focused row; hides nothing.
  virtual void DoCloseUp(bool accept) = 0;
  virtual void AfterCloseUp() {}
  void UpdatePopupBounds();
  TRect TextAreaRect() override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;
  void FocusChanged(bool focused) override;
  bool user_sized_ = false;

private:
  friend class TcxPopupEditPopupWindow;
  void PopupPressOutside(TPoint point);
  // The user dragged the sizing grip: the window's new size before snapping and limits.
  void PopupDragged(int width, int height);
  // The band at the bottom of a sizeable drop-down that holds the sizing grip; 0 when it is not sizeable.
  int GripBandHeight();

  std::unique_ptr<TPopupWindow> popup_;
  TcxLookAndFeel popup_look_and_feel_{&Style().LookAndFeel()};
  bool button_pressed_ = false;
  bool button_hot_ = false;
  bool closing_ = false;
  int dragged_width_ = 0;  // the width the user gave the drop-down last, 0 before
};

class TcxCustomComboBox : public TcxCustomDropDownEdit {
public:
  TcxCustomComboBoxProperties& Properties() {
    return static_cast<TcxCustomComboBoxProperties&>(TcxCustomEdit::Properties());
  }
  const TcxCustomComboBoxProperties& Properties() const {
    return static_cast<const TcxCustomComboBoxProperties&>(TcxCustomEdit::Properties());
  }
  TcxTextEditingMode EditingMode() const { return Properties().EditingMode(); }

protected:
  using TcxCustomDropDownEdit::TcxCustomDropDownEdit;
};
