#pragma once

// Controls that take the keyboard and the mouse themselves: a self-painted control that hears keys, mouse,
// wheel, focus and its scroll bar; a borderless single-line text box whose keys its owner sees first; a
// borderless pop-up window that never takes the focus. Plus the few screen facts such controls need.

#include "widgets/Controls.h"
#include "widgets/Menus.h"

#include <functional>
#include <memory>
#include <string>

enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };

class TInputControlWidget;

// A control that paints itself and handles its own input. The handlers run inside the application's exception
// handler; a key handler that sets the key to 0 consumes it.
class TInputControl : public TCustomControl {
public:
  explicit TInputControl(TComponent* owner);
  ~TInputControl() override;

  bool Focused() const;
  // Whether the mouse cursor is over the control.
  bool MouseOver() const;
  // Every mouse event goes to this control while captured.
  void SetMouseCapture(bool on);
  bool MouseCapture() const;
  TPoint ClientToScreen(TPoint point) const;
  TPoint ScreenToClient(TPoint point) const;
  // Paints at once instead of at the next turn of the message loop.
  void Repaint();
  // The focus of this control goes to `inner` (a child control that edits text, for instance).
  void SetFocusControl(TWinControl* inner);

  // A vertical scroll bar along the right edge; the client width shrinks by its width while it shows.
  void SetVScrollBar(bool visible, int max, int page, int position);
  bool VScrollBarVisible() const { return vscroll_visible_; }
  int ClientWidth() const override;
  bool ReportsOwnMouse() const override { return true; }

protected:
  virtual void KeyDown(unsigned short& /*key*/, TShiftState /*shift*/) {}
  virtual void KeyPress(char32_t& /*key*/) {}
  virtual void KeyUp(unsigned short& /*key*/, TShiftState /*shift*/) {}
  virtual void MouseDown(TMouseButton /*button*/, TShiftState /*shift*/, int /*x*/, int /*y*/) {}
  virtual void MouseMove(TShiftState /*shift*/, int /*x*/, int /*y*/) {}
  virtual void MouseUp(TMouseButton /*button*/, TShiftState /*shift*/, int /*x*/, int /*y*/) {}
  // Returns whether the wheel was used; delta is positive away from the user.
  virtual bool MouseWheel(TShiftState /*shift*/, int /*delta*/) { return false; }
  virtual void DblClick() {}
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void DoEnter() {}
  virtual void DoExit() {}
  // The scroll bar moved; `position` is the new thumb position for scPosition and scTrack.
  virtual void Scroll(TScrollCode /*code*/, int /*position*/) {}

  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;
  friend class TInputControlWidget;

private:
  void PlaceScrollBar();

  bool vscroll_visible_ = false;
  int vscroll_max_ = 0, vscroll_page_ = 1, vscroll_position_ = 0;
  TWinControl* focus_control_ = nullptr;
};

// A borderless single-line text box inside a control that paints its frame. Its keys reach the owner's handlers
// before the text box sees them; text, caret and selection are counted in characters and kept while there is no
// widget.
class TInnerEdit : public TWinControl {
public:
  explicit TInnerEdit(TComponent* owner);
  ~TInnerEdit() override;

  std::string GetText() const override;
  void SetText(const std::string& text) override;
  int SelStart() const;
  int SelLength() const;
  // Places the caret at start + length with the characters between selected.
  void SetSel(int start, int length);
  void SelectAll() { SetSel(0, GetTextLen()); }
  std::string SelText() const;
  // Replaces the selection by `text`, as typing or pasting would.
  void ReplaceSel(const std::string& text);
  bool CaretHidden() const { return caret_hidden_; }
  void SetCaretHidden(bool on);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on);
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int length);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Paints the selected text as the rest of the text (an editor that hides its selection while it has no focus);
  // the selection itself stays.
  bool SelectionHidden() const { return selection_hidden_; }
  void SetSelectionHidden(bool on);
  bool Focused() const;

  std::function<void(unsigned short& key, TShiftState shift)> OnKeyDown;
  std::function<void(char32_t& key)> OnKeyPress;
  std::function<void(unsigned short& key, TShiftState shift)> OnKeyUp;
  // The user changed the text through the text box (not SetText).
  std::function<void()> OnChange;
  std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
  std::function<bool(int delta)> OnMouseWheel;
  std::function<void()> OnDblClick;
  std::function<void(bool focused)> OnFocusChanged;
  // Paste, cut and clear of the selection ask first: the handler gets the text the box would then hold and
  // answers whether it may.
  std::function<bool(const std::string& result)> OnCanEdit;

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  friend class TInnerEditFilter;
  std::string text_;
  int sel_start_ = 0, sel_length_ = 0;
  bool caret_hidden_ = false;
  bool read_only_ = false;
  int max_length_ = 0;
  TAlignment alignment_ = taLeftJustify;
  bool selection_hidden_ = false;
  bool syncing_ = false;
};

// A borderless top-level window that opens at a place on the screen without taking the focus. While it shows,
// a mouse press anywhere outside it goes to OnPressOutside first (with the screen point).
class TPopupWindow : public TInputControl {
public:
  explicit TPopupWindow(TComponent* owner);
  ~TPopupWindow() override;
  // Shows the window with these screen bounds.
  void Popup(const TRect& screen_bounds);
  void ClosePopup();
  bool IsPopupVisible() const;

  std::function<void(TPoint screen_point)> OnPressOutside;

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  class Filter;
  std::unique_ptr<Filter> filter_;
};

// The work area (the screen without panels) of the monitor nearest a screen point.
TRect ScreenWorkArea(TPoint near);
// The current screen position of the mouse cursor.
TPoint MouseCursorPos();
// The platform's height of a horizontal scroll bar, the width of a drop-down button.
int SystemHScrollBarHeight();
// Whether the platform's visual themes are in force.
bool ThemesActive();
// Draws the platform's own push button on a canvas.
void DrawPlatformPushButton(TCanvas& canvas, const TRect& rect, const std::string& caption, bool pressed, bool focused,
                            bool enabled, bool is_default);

// The clipboard's text ("" when it holds none).
std::string ClipboardText();
void SetClipboardText(const std::string& text);
