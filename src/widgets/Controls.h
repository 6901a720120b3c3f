#pragma once

#include "core/Classes.h"
#include "graphics/Geometry.h"
#include "graphics/Graphics.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class TCanvas;
class TPopupMenu;
class TWinControl;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag, 8>;

// Key codes of the platform's keyboard messages: letters and digits are their upper-case ASCII codes.
constexpr int VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18, VK_ESCAPE = 27,
              VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38,
              VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46, VK_F1 = 112, VK_F2 = 113, VK_F3 = 114,
              VK_F4 = 115, VK_F5 = 116, VK_F6 = 117, VK_F7 = 118, VK_F8 = 119, VK_F9 = 120, VK_F10 = 121, VK_F11 = 122,
              VK_F12 = 123;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
// A handler that sets key to 0 consumes the key.
using TKeyEvent = std::function<void(TObject* sender, int& key, TShiftState shift)>;
// wheelDelta: 120 a notch, positive away from the user; mousePos in the control's coordinates.
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;

// Limits on a control's size; 0 means no limit.
class TSizeConstraints : public TPersistent {
public:
  int MinWidth() const { return min_width_; }
  int MinHeight() const { return min_height_; }
  int MaxWidth() const { return max_width_; }
  int MaxHeight() const { return max_height_; }
  void SetMinWidth(int v) { Set(min_width_, v); }
  void SetMinHeight(int v) { Set(min_height_, v); }
  void SetMaxWidth(int v) { Set(max_width_, v); }
  void SetMaxHeight(int v) { Set(max_height_, v); }
  // Applies the limits to a width and a height.
  void Constrain(int& width, int& height) const;
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

private:
  void Set(int& field, int value);
  int min_width_ = 0, min_height_ = 0, max_width_ = 0, max_height_ = 0;
};

// A visual object with a place inside its parent. It is a plain object; a backing widget exists only while
// the control is on a window that was shown, and only for control classes that have one (CreateWidget).
class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  // Changes whenever any control anywhere gains or loses a parent: what was found up a parent chain under
  // one value still holds while the value stays the same.
  static unsigned long long ParentChainsVersion() { return parent_chains_version_.load(std::memory_order_relaxed); }
  virtual void SetParent(TWinControl* parent);
  TComponent* GetParentComponent() const override;
  // A control's place in a stored definition is inside its parent; anything that is no windowed control is refused.
  void SetParentComponent(TComponent* parent) override;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  virtual int ClientWidth() const { return width_; }
  virtual int ClientHeight() const { return height_; }
  virtual void SetClientWidth(int v) { SetWidth(v); }
  virtual void SetClientHeight(int v) { SetHeight(v); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font) { font_.Assign(font); }
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool parent_font);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parent_color_; }
  void SetParentColor(bool parent_color);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TSizeConstraints& Constraints() { return constraints_; }
  const TSizeConstraints& Constraints() const { return constraints_; }

  // The control's text: its caption for labels, buttons and forms, its contents for an edit.
  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& caption) { SetText(caption); }
  // The text requests of the platform: the length in characters and the text itself. A control that keeps its
  // text elsewhere (an edit while the user types) answers from there.
  int GetTextLen() const;
  virtual std::string GetText() const { return text_; }
  virtual void SetText(const std::string& text);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }

  virtual void Click();
  TNotifyEvent OnClick;

  // Shown on a right click, with this control as its PopupComponent.
  TPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* menu);

  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnDblClick;
  TMouseWheelEvent OnMouseWheel;

  // The backing widget, or null while there is none.
  QWidget* Widget() const { return widget_; }
  // The control whose backing widget is `widget`, or null.
  static TControl* FromWidget(const QWidget* widget);

  // What the platform reports of the mouse; each calls the matching event.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick();
  // True when the wheel was handled; otherwise it goes to the parent.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  // A right click: shows the popup menu, if any.
  virtual void ContextPopup(TPoint mousePos);
  // True for a control whose widget reports the mouse to it by itself: its buttons and wheel then do not reach it a
  // second time through the handlers above (a right click still shows the popup menu).
  virtual bool ReportsOwnMouse() const { return false; }

protected:
  void Notification(TComponent* component, TOperation operation) override;
  // Makes the backing widget for a parent widget (null for a top-level window); null when the class has none.
  virtual QWidget* CreateWidget(QWidget* parent_widget);
  // Copies the control's state to its widget.
  virtual void SyncWidget();
  virtual void TextChanged();
  virtual void FontChanged();
  virtual void BoundsChanged() {}
  void SetTextSilently(const std::string& text) { text_ = text; }

  void CreateWidgetTree();
  void DestroyWidget();
  friend class TWinControl;

private:
  void ParentFontChanged();
  void ParentColorChanged();

  inline static std::atomic<unsigned long long> parent_chains_version_{1};

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  TFont font_;
  bool parent_font_ = true;
  bool updating_font_from_parent_ = false;
  TColor color_ = clWindow;
  bool parent_color_ = true;
  TAlign align_ = alNone;
  TSizeConstraints constraints_;
  std::string text_;
  std::string hint_;
  QWidget* widget_ = nullptr;
  TPopupMenu* popup_menu_ = nullptr;
  // Children with an alignment other than alNone (on windowed controls).
  int aligned_children_ = 0;
};

// A control that can hold other controls. Deleting it deletes its child controls.
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  int TabOrder() const { return tab_order_; }
  void SetTabOrder(int order) { tab_order_ = order; }
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool on) { tab_stop_ = on; }

  bool HandleAllocated() const { return Widget() != nullptr; }
  // Creates the backing widgets of this control, its parents and its children.
  void HandleNeeded();
  void SetFocus();
  bool Focused() const;

  // Places the aligned children: top ones in order of their Top, then bottom, left, right, and the client one in
  // what is left of AlignRect.
  void AlignControls();
  // The area the aligned children share.
  virtual TRect AlignRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }

  // Raised when the control receives the focus, or is clicked (see DoEnter).
  TNotifyEvent OnEnter;
  TKeyEvent OnKeyDown;
  // Calls OnEnter.
  virtual void DoEnter();
  // A key pressed while the control has the focus (after the form's own key preview); true when consumed.
  virtual bool KeyDown(int& key, TShiftState shift);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void FontChanged() override;

private:
  friend class TControl;
  bool aligning_ = false;
  std::vector<TControl*> controls_;
  int tab_order_ = -1;
  bool tab_stop_ = false;
};

// A windowed control that paints itself: while its widget repaints, Paint draws on Canvas, which then draws on the
// widget with the control's font. A control without a widget (CreateWidget answering null) is never painted, but
// its Canvas still measures text.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  TCanvas& Canvas();
  // Asks the widget, if there is one, to repaint.
  void Invalidate();
  // An opaque control paints every pixel of itself: nothing behind it is drawn first.
  bool Opaque() const { return opaque_; }
  void SetOpaque(bool on);

protected:
  virtual void Paint() {}
  // While Paint runs: the part of the control that is being repainted.
  const TRect& UpdateRect() const { return update_rect_; }
  QWidget* CreateWidget(QWidget* parent_widget) override;
  // Runs Paint on the canvas bound to `widget`, from the widget's paint event; `update` is the part repainted.
  void PaintWidget(QWidget* widget, const TRect& update);

private:
  friend class TCustomControlWidget;

  std::unique_ptr<TCanvas> canvas_;
  TRect update_rect_;
  bool opaque_ = false;
};

// A control without a window of its own, painted on its parent.
class TGraphicControl : public TControl {
public:
  using TControl::TControl;
};
