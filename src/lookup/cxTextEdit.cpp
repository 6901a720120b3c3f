#include "lookup/cxTextEdit.h"

#include "core/Translation.h"

#include "core/Text.h"
#include "graphics/Bitmap.h"
#include "graphics/Canvas.h"
#include "widgets/Forms.h"

#include <algorithm>

void TcxEditAlignment::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TcxEditAlignment*>(&source);
  if (!other) return TPersistent::Assign(source);
  horz_ = other->horz_;
  vert_ = other->vert_;
  Changed();
}

// ---- properties ----

TcxCustomEditProperties::TcxCustomEditProperties() {
  alignment_.OnChange = [this](TObject*) { Changed(); };
}

TcxCustomEditProperties::~TcxCustomEditProperties() { OnPropertiesChanged = nullptr; }

void TcxCustomEditProperties::Changed() {
  if (update_count_ > 0) {
    changed_ = true;
    return;
  }
  if (OnPropertiesChanged) OnPropertiesChanged();
}

void TcxCustomEditProperties::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  if (changed_) {
    changed_ = false;
    Changed();
  }
}

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties() : button_glyph_(std::make_unique<TBitmap>()) {}
TcxCustomDropDownEditProperties::~TcxCustomDropDownEditProperties() = default;

TcxTextEditingMode TcxCustomComboBoxProperties::EditingMode() const {
  switch (drop_down_list_style_) {
    case lsEditList: return tmFree;
    case lsEditFixedList: return tmList;
    case lsFixedList: return tmFixedList;
  }
  return tmList;
}

// ---- TcxCustomEdit ----

TcxCustomEdit::TcxCustomEdit(TComponent* owner, std::unique_ptr<TcxCustomEditProperties> properties)
    : TcxContainer(owner), properties_(std::move(properties)) {
  SetTabStop(true);
  SetParentColor(false);
  inner_ = new TInnerEdit(nullptr);
  inner_->SetParent(this);
  inner_->SetColor(style_.Color());
  SetFocusControl(inner_);
  // The editor's key events take the key as the controls' events do; a handler that zeroes it consumes it.
  const auto raise = [this](const TKeyEvent& event, unsigned short& key, TShiftState shift) {
    if (!event) return;
    int code = key;
    event(this, code, shift);
    key = static_cast<unsigned short>(code);
  };
  inner_->OnKeyDown = [this, raise](unsigned short& key, TShiftState shift) {
    raise(OnKeyDown, key, shift);
    if (key) InnerKeyDown(key, shift);
  };
  inner_->OnKeyPress = [this](char32_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
    if (key) InnerKeyPress(key);
  };
  inner_->OnKeyUp = [this, raise](unsigned short& key, TShiftState shift) { raise(OnKeyUp, key, shift); };
  inner_->OnChange = [this] {
    MarkModified();
    BeginChange();
    text_changed_mark_ = true;
    EndChange();
  };
  inner_->OnCanEdit = [this](const std::string& result) { return InnerCanEdit(result); };
  inner_->OnMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
    InnerMouseDown(button, shift, x, y);
  };
  inner_->OnMouseWheel = [this](int delta) { return InnerMouseWheel(delta); };
  inner_->OnDblClick = [this] { InnerDblClick(); };
  inner_->OnFocusChanged = [this](bool focused) { FocusChanged(focused); };
  properties_->OnPropertiesChanged = [this] { PropertiesChanged(); };
  style_.OnChange = [this](TObject*) {
    inner_->SetColor(style_.Color());
    PlaceInnerEdit();
    Invalidate();
  };
  SetBounds(0, 0, 145, 21);
}

TcxCustomEdit::~TcxCustomEdit() {
  Destroying();
  // The text box goes first: its handlers reach into the properties and the style.
  SetFocusControl(nullptr);
  delete inner_;
  inner_ = nullptr;
  properties_->OnPropertiesChanged = nullptr;
  style_.OnChange = nullptr;
  if (popup_menu_) RemoveFreeNotification(popup_menu_);
  DestroyWidget();
}

void TcxCustomEdit::SetPopupMenu(TComponent* menu) {
  if (popup_menu_) RemoveFreeNotification(popup_menu_);
  popup_menu_ = menu;
  if (menu) FreeNotification(menu);
}

std::string TcxCustomEdit::GetText() const { return inner_ ? inner_->GetText() : TcxContainer::GetText(); }

void TcxCustomEdit::SetText(const std::string& text) {
  SetDisplayText(text);
  PostEditValue();
}

int TcxCustomEdit::SelStart() const { return inner_->SelStart(); }
int TcxCustomEdit::SelLength() const { return inner_->SelLength(); }
void TcxCustomEdit::SetSel(int start, int length) { inner_->SetSel(start, length); }
void TcxCustomEdit::SelectAll() { inner_->SelectAll(); }

bool TcxCustomEdit::Focused() const { return inner_->Focused(); }

void TcxCustomEdit::BeginChange() { ++change_count_; }

void TcxCustomEdit::EndChange() {
  if (change_count_ == 0 || --change_count_ > 0) return;
  const bool text = text_changed_mark_, value = value_changed_mark_;
  text_changed_mark_ = value_changed_mark_ = false;
  if (Loading()) return;
  if (text && Properties().OnChange) Properties().OnChange(this);
  if (value && Properties().OnEditValueChanged) Properties().OnEditValueChanged(this);
}

void TcxCustomEdit::SetDisplayText(const std::string& text) {
  if (text == inner_->GetText()) return;
  refused_ = false;
  BeginChange();
  inner_->SetText(text);
  SetTextSilently(text);
  text_changed_mark_ = true;
  EndChange();
}

void TcxCustomEdit::SetEditValue(const Variant& value) {
  BeginChange();
  const bool changed = value.VarType() != edit_value_.VarType() || value != edit_value_;
  edit_value_ = value;
  if (changed) value_changed_mark_ = true;
  EditValueSet();
  UpdateDisplayText();
  EndChange();
}

void TcxCustomEdit::UpdateDisplayText() { SetDisplayText(EditValueToDisplayText(edit_value_)); }

std::string TcxCustomEdit::EditValueToDisplayText(const Variant& value) { return value.ToText(); }

Variant TcxCustomEdit::DisplayTextToEditValue(const std::string& text) { return Variant(text); }

void TcxCustomEdit::PostEditValue() {
  const Variant value = DisplayTextToEditValue(GetText());
  BeginChange();
  if (value.VarType() != edit_value_.VarType() || value != edit_value_) value_changed_mark_ = true;
  edit_value_ = value;
  EndChange();
}

void TcxCustomEdit::MarkModified() {
  modified_ = true;
  validated_ = false;
  refused_ = false;
}

bool TcxCustomEdit::ValidateEdit(bool raise_error) {
  if (!modified_ || validated_) return true;
  Variant display = GetText();
  std::string error_text;
  bool error = false;
  if (Properties().OnValidate) Properties().OnValidate(this, display, error_text, error);
  if (error) {
    if (error_text.empty()) error_text = Translate("lookup", cxSEditValidateErrorText);
    if (!raise_error) return false;
    refused_ = true;
    if (!Focused()) inner_->SetFocus();
    SelectAll();
    throw EcxEditValidationError(error_text);
  }
  const std::string text = display.ToText();
  if (text != GetText()) SetDisplayText(text);
  BeforePost(text);
  PostEditValue();
  validated_ = true;
  return true;
}

void TcxCustomEdit::FocusChanged(bool focused) {
  if (focused == focused_) return;
  if (focused) {
    focused_ = true;
    value_at_enter_ = edit_value_;
    modified_ = false;
    validated_ = false;
    if (static_cast<TcxCustomTextEditProperties&>(Properties()).AutoSelect()) SelectAll();
    if (OnEnter) OnEnter(this);
  } else {
    // Another window taking the focus while a refused text is shown (the message that tells of it) is no exit.
    const TForm* form = GetParentForm(this);
    if (refused_ && form && !form->Active()) return;
    // The editor stays focused until its text passes. A refused text takes the focus back and abandons the exit
    // (no OnExit); that return is no new entry, so the modified mark and the value held at entry stay for Esc.
    ValidateEdit(true);
    focused_ = false;
    if (OnExit) OnExit(this);
    modified_ = false;
  }
  ApplyTextBoxLook();
  Invalidate();
}

int TcxCustomEdit::FrameWidth() {
  return BorderWidth(EffectiveBorderStyle(style_.BorderStyle(), style_.HotTrack(), HotTrackActive()));
}

bool TcxCustomEdit::HotTrackActive() { return Enabled() && (Focused() || mouse_over_); }

TRect TcxCustomEdit::TextAreaRect() {
  const int frame = FrameWidth();
  return {frame, frame, Width() - frame, Height() - frame};
}

void TcxCustomEdit::PlaceInnerEdit() {
  const TRect area = TextAreaRect();
  // One pixel of margin on the left, as a native text box keeps.
  inner_->SetBounds(area.Left + 1, area.Top, std::max(0, area.Width() - 1), std::max(0, area.Height()));
}

int TcxCustomEdit::AutoHeight() {
  Canvas().SetFont(Font());
  const int text = Canvas().TextHeight("Zg") + 4;
  const int border =
      style_.HotTrack() ? 2 : BorderWidth(style_.BorderStyle() == ebsUltraFlat ? ebsUltraFlat : style_.BorderStyle());
  return text + 2 * border + (style_.Shadow() ? 3 : 0);
}

void TcxCustomEdit::SetAutoSize(bool on) {
  auto_size_ = on;
  if (on && !IsLoading()) SetBounds(Left(), Top(), Width(), Height());
}

void TcxCustomEdit::SetBounds(int left, int top, int width, int height) {
  if (auto_size_ && !IsLoading() && inner_) height = AutoHeight();
  TcxContainer::SetBounds(left, top, width, height);
  if (inner_) PlaceInnerEdit();
}

void TcxCustomEdit::Loaded() {
  TcxContainer::Loaded();
  ApplyTextBoxLook();
  UpdateDisplayText();
  if (auto_size_) SetBounds(Left(), Top(), Width(), Height());
}

void TcxCustomEdit::FontChanged() {
  TcxContainer::FontChanged();
  if (auto_size_ && !IsLoading() && inner_) SetBounds(Left(), Top(), Width(), Height());
}

void TcxCustomEdit::ApplyTextBoxLook() {
  TcxCustomEditProperties& properties = Properties();
  inner_->SetAlignment(focused_ && properties.UseLeftAlignmentOnEditing() ? taLeftJustify
                                                                          : properties.Alignment().Horz());
  const auto* text_properties = dynamic_cast<const TcxCustomTextEditProperties*>(&properties);
  inner_->SetSelectionHidden(!focused_ && text_properties && text_properties->HideSelection());
}

void TcxCustomEdit::PropertiesChanged() {
  if (Loading()) return;
  inner_->SetReadOnly(Properties().ReadOnly());
  ApplyTextBoxLook();
  UpdateDisplayText();
  Invalidate();
}

void TcxCustomEdit::MouseEnter() {
  mouse_over_ = true;
  PlaceInnerEdit();
  Invalidate();
}

void TcxCustomEdit::MouseLeave() {
  mouse_over_ = false;
  PlaceInnerEdit();
  Invalidate();
}

void TcxCustomEdit::Paint() {
  const bool active = HotTrackActive();
  DrawEditBorder(Canvas(), {0, 0, Width(), Height()},
                 EffectiveBorderStyle(style_.BorderStyle(), style_.HotTrack(), active), style_.BorderColor(),
                 style_.Edges(), style_.Color());
}

void TcxCustomEdit::InnerKeyDown(unsigned short& key, TShiftState shift) {
  const TShortCut clear = Properties().ClearKey();
  if (clear != 0 && ShortCut(key, shift) == clear && !Properties().ReadOnly()) {
    SetEditValue(Variant::Null());
    MarkModified();
    key = 0;
    return;
  }
  if (key == VK_RETURN && !shift.Contains(ssAlt) && Properties().ValidateOnEnter()) {
    key = 0;
    ValidateEdit(true);
    return;
  }
  if (key == VK_ESCAPE && modified_) {
    key = 0;
    SetEditValue(value_at_enter_);
    SelectAll();
    if (Properties().ImmediatePost()) PostEditValue();
  }
}

void TcxCustomEdit::InnerKeyPress(char32_t& key) {
  if (key >= 32 && Properties().ReadOnly()) key = 0;
}

void TcxCustomEdit::InnerDblClick() {
  if (OnDblClick) OnDblClick(this);
}

// ---- TcxCustomDropDownEdit ----

namespace {
constexpr int kGripSize = 16;
}  // namespace

// The drop-down window paints its frame and a face under the content; a sizeable one has a band under the content
// with the sizing grip at its right, which the user drags to size the window.
class TcxPopupEditPopupWindow : public TPopupWindow {
public:
  TcxPopupEditPopupWindow(TcxCustomDropDownEdit* edit) : TPopupWindow(nullptr), edit_(edit) {}
  TcxEditPopupBorderStyle BorderStyle() {
    return EffectivePopupBorderStyle(edit_->Style().PopupBorderStyle(), edit_->Style().BorderStyle());
  }
  TRect GripRect() {
    const int frame = PopupBorderWidth(BorderStyle());
    return {Width() - frame - kGripSize, Height() - frame - kGripSize, Width() - frame, Height() - frame};
  }

protected:
  void Paint() override {
    const TRect client = DrawPopupBorder(Canvas(), {0, 0, Width(), Height()}, BorderStyle());
    Canvas().Brush().SetStyle(bsSolid);
    Canvas().Brush().SetColor(clBtnFace);
    Canvas().FillRect(client);
    if (edit_->GripBandHeight() > 0) PaintGrip(GripRect());
  }
  void MouseDown(TMouseButton button, TShiftState, int x, int y) override {
    const TRect grip = GripRect();
    if (button != mbLeft || edit_->GripBandHeight() == 0 || x < grip.Left || y < grip.Top || x >= grip.Right ||
        y >= grip.Bottom) {
      return;
    }
    // The corner follows the mouse as it was grabbed.
    grab_ = {Width() - x, Height() - y};
    sizing_ = true;
    SetMouseCapture(true);
  }
  void MouseMove(TShiftState, int x, int y) override {
    if (sizing_) edit_->PopupDragged(x + grab_.X, y + grab_.Y);
  }
  void MouseUp(TMouseButton, TShiftState, int, int) override {
    if (!sizing_) return;
    sizing_ = false;
    SetMouseCapture(false);
  }

private:
  // Three pairs of diagonal strokes, light over shadow, as a window's size grip.
  void PaintGrip(const TRect& r) {
    TCanvas& canvas = Canvas();
    for (int i = 0; i < 3; ++i) {
      const int d = 4 + 4 * i;
      for (int stroke = 0; stroke < 2; ++stroke) {
        canvas.Pen().SetColor(stroke == 0 ? clBtnHighlight : clBtnShadow);
        const int o = d - stroke - 1;
        canvas.MoveTo(r.Right - 1 - o, r.Bottom - 1);
        canvas.LineTo(r.Right, r.Bottom - 2 - o);
      }
    }
  }

  TcxCustomDropDownEdit* edit_;
  TPoint grab_;
  bool sizing_ = false;
};

TcxCustomDropDownEdit::~TcxCustomDropDownEdit() {
  Destroying();
  if (popup_) {
    popup_->ClosePopup();
    // The content belongs to the properties, not to the window.
    while (popup_->ControlCount() > 0) popup_->Controls(0)->SetParent(nullptr);
    popup_.reset();
  }
}

bool TcxCustomDropDownEdit::DroppedDown() const { return popup_ && popup_->IsPopupVisible(); }

TRect TcxCustomDropDownEdit::ButtonRect() {
  const int frame = FrameWidth();
  const int width = SystemHScrollBarHeight();
  return {Width() - frame - width, frame, Width() - frame, Height() - frame};
}

TcxEditButtonState TcxCustomDropDownEdit::ButtonState() {
  if (!Enabled()) return ebsDisabled;
  if (button_pressed_) return ebsPressed;
  if (button_hot_) return ebsHot;
  return ebsNormal;
}

TRect TcxCustomDropDownEdit::TextAreaRect() {
  TRect area = TcxCustomMaskEdit::TextAreaRect();
  area.Right = ButtonRect().Left;
  return area;
}

void TcxCustomDropDownEdit::Paint() {
  TcxCustomMaskEdit::Paint();
  const bool active = HotTrackActive();
  const TcxEditButtonStyle style =
      EffectiveButtonStyle(Style().ButtonStyle(), Style().BorderStyle(), Style().HotTrack(), active);
  const bool transparent =
      Style().ButtonTransparency() == ebtAlways || (Style().ButtonTransparency() == ebtInactive && !active);
  DrawEditButton(Canvas(), ButtonRect(), style, ButtonState(), transparent ? Style().Color() : clBtnFace,
                 &static_cast<TcxCustomDropDownEditProperties&>(Properties()).ButtonGlyph());
}

void TcxCustomDropDownEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
  const TRect b = ButtonRect();
  if (button != mbLeft || x < b.Left || x >= b.Right || y < b.Top || y >= b.Bottom) return;
  if (!Focused()) InnerEdit().SetFocus();
  button_pressed_ = true;
  Repaint();
  if (DroppedDown()) CloseUp(false);
  else DropDown();
}

void TcxCustomDropDownEdit::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
  const TRect b = ButtonRect();
  const bool hot = x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom;
  if (hot != button_hot_) {
    button_hot_ = hot;
    Invalidate();
  }
}

void TcxCustomDropDownEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
  if (button_pressed_) {
    button_pressed_ = false;
    Invalidate();
  }
}

void TcxCustomDropDownEdit::MouseLeave() {
  button_hot_ = false;
  TcxCustomMaskEdit::MouseLeave();
}

void TcxCustomDropDownEdit::FocusChanged(bool focused) {
  if (!focused && DroppedDown()) CloseUp(false);
  TcxCustomMaskEdit::FocusChanged(focused);
}

void TcxCustomDropDownEdit::PopupPressOutside(TPoint point) {
  // A press on the editor itself is the editor's own (its button toggles the list).
  const TPoint local = ScreenToClient(point);
  if (local.X >= 0 && local.X < Width() && local.Y >= 0 && local.Y < Height()) return;
  CloseUp(false);
}

void TcxCustomDropDownEdit::DropDown() {
  if (DroppedDown()) return;
  if (Properties().OnInitPopup) Properties().OnInitPopup(this);
  if (!PrepareDropDown()) return;
  if (!popup_) {
    popup_ = std::make_unique<TcxPopupEditPopupWindow>(this);
    popup_->OnPressOutside = [this](TPoint point) { PopupPressOutside(point); };
  }
  TControl* content = PopupContent();
  if (content->Parent() != popup_.get()) content->SetParent(popup_.get());
  user_sized_ = false;
  UpdatePopupBounds();
  if (Properties().OnPopup) Properties().OnPopup(this);
}

void TcxCustomDropDownEdit::UpdatePopupBounds() {
  if (!popup_) return;
  auto& props = static_cast<TcxCustomComboBoxProperties&>(TcxCustomEdit::Properties());
  auto* window = static_cast<TcxPopupEditPopupWindow*>(popup_.get());
  const int frame = PopupBorderWidth(window->BorderStyle());
  const TSize preferred = PopupContentSize();
  int width = Width();
  if (props.DropDownAutoSize()) width = std::max(preferred.cx + 2 * frame, Width());
  else if (props.DropDownWidth() > 0) width = props.DropDownWidth();
  const int band = GripBandHeight();
  int height = preferred.cy + 2 * frame + band;
  if (props.DropDownHeight() > 0 && !props.DropDownAutoSize()) height = props.DropDownHeight();
  if (band > 0 && dragged_width_ > 0) width = dragged_width_;
  if (user_sized_ && popup_->IsPopupVisible()) {
    width = popup_->Width();
    height = popup_->Height();
  }
  const TPoint origin = ClientToScreen({0, 0});
  int left = origin.X;
  if (props.PopupAlignment() == taRightJustify) left = origin.X + Width() - width;
  else if (props.PopupAlignment() == taCenter) left = origin.X + (Width() - width) / 2;
  int top = origin.Y + Height();
  const TRect area = ScreenWorkArea(origin);
  if (top + height > area.Bottom && origin.Y - area.Top > area.Bottom - top) top = origin.Y - height;
  left = std::max(area.Left, std::min(left, area.Right - width));
  TControl* content = PopupContent();
  content->SetBounds(frame, frame, std::max(0, width - 2 * frame), std::max(0, height - 2 * frame - band));
  popup_->Popup({left, top, left + width, top + height});
}

int TcxCustomDropDownEdit::GripBandHeight() {
  return static_cast<TcxCustomComboBoxProperties&>(TcxCustomEdit::Properties()).DropDownSizeable() ? kGripSize : 0;
}

void TcxCustomDropDownEdit::PopupDragged(int width, int height) {
  auto* window = static_cast<TcxPopupEditPopupWindow*>(popup_.get());
  const int frame = PopupBorderWidth(window->BorderStyle());
  const int band = GripBandHeight();
  width = std::max({width, MinPopupContentWidth() + 2 * frame, kGripSize + 2 * frame});
  height = SnappedPopupContentHeight(std::max(0, height - 2 * frame - band)) + 2 * frame + band;
  if (width == popup_->Width() && height == popup_->Height()) return;
  user_sized_ = true;
  dragged_width_ = width;
  PopupContent()->SetBounds(frame, frame, width - 2 * frame, height - 2 * frame - band);
  popup_->Popup({popup_->Left(), popup_->Top(), popup_->Left() + width, popup_->Top() + height});
  popup_->Invalidate();
}

void TcxCustomDropDownEdit::CloseUp(bool accept) {
  if (!DroppedDown() || closing_) return;
  closing_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{closing_};
  DoCloseUp(accept);
  popup_->ClosePopup();
  AfterCloseUp();
  button_pressed_ = false;
  Invalidate();
  if (Properties().OnCloseUp) Properties().OnCloseUp(this);
}
