#pragma once

// A push button painted by the look and feel in force, or by the platform where the style asks for it.

#include "graphics/Bitmap.h"
#include "lookup/cxLookAndFeels.h"
#include "widgets/InputControl.h"

#include <functional>
#include <memory>

enum TcxButtonKind { cxbkStandard, cxbkDropDown, cxbkDropDownButton };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TcxButtonColorState { cxbcDefault, cxbcNormal, cxbcHot, cxbcPressed, cxbcDisabled };
using TcxButtonAssignedColors = TSet<TcxButtonColorState, 8>;

// The face colour of each state; clDefault leaves it to the painter.
class TcxButtonColors : public TPersistent {
public:
  TColor Default() const { return colors_[cxbcDefault]; }
  void SetDefault(TColor c) { Set(cxbcDefault, c); }
  TColor Normal() const { return colors_[cxbcNormal]; }
  void SetNormal(TColor c) { Set(cxbcNormal, c); }
  TColor Hot() const { return colors_[cxbcHot]; }
  void SetHot(TColor c) { Set(cxbcHot, c); }
  TColor Pressed() const { return colors_[cxbcPressed]; }
  void SetPressed(TColor c) { Set(cxbcPressed, c); }
  TColor Disabled() const { return colors_[cxbcDisabled]; }
  void SetDisabled(TColor c) { Set(cxbcDisabled, c); }
  TcxButtonAssignedColors AssignedColors() const { return assigned_; }
  TColor ForState(TcxButtonState state) const;
  void Assign(const TPersistent& source) override;
  TNotifyEvent OnChange;

private:
  void Set(TcxButtonColorState state, TColor color);
  TColor colors_[5] = {clDefault, clDefault, clDefault, clDefault, clDefault};
  TcxButtonAssignedColors assigned_;
};

using TcxButtonGetDrawParamsEvent =
    std::function<void(TObject* sender, TcxButtonState state, TFont& font, TColor& color)>;

class TcxCustomButton : public TInputControl {
public:
  explicit TcxCustomButton(TComponent* owner);
  ~TcxCustomButton() override;

  TcxButtonColors& Colors() { return colors_; }
  TcxButtonKind Kind() const { return kind_; }
  void SetKind(TcxButtonKind kind);
  TBitmap& Glyph() { return glyph_; }
  int NumGlyphs() const { return num_glyphs_; }
  void SetNumGlyphs(int count) {
    num_glyphs_ = std::max(1, count);
    Invalidate();
  }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout layout) {
    layout_ = layout;
    Invalidate();
  }
  int Margin() const { return margin_; }
  void SetMargin(int margin) {
    margin_ = margin;
    Invalidate();
  }
  int Spacing() const { return spacing_; }
  void SetSpacing(int spacing) {
    spacing_ = spacing;
    Invalidate();
  }
  bool UseSystemPaint() const { return use_system_paint_; }
  void SetUseSystemPaint(bool on);
  TcxLookAndFeel& LookAndFeel() { return look_and_feel_; }
  TComponent* DropDownMenu() const { return drop_down_menu_; }
  void SetDropDownMenu(TComponent* menu);
  TComponent* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TComponent* menu);
  bool Default() const { return default_; }
  void SetDefault(bool on) {
    default_ = on;
    Invalidate();
  }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool on) { cancel_ = on; }
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int result) { modal_result_ = result; }

  // The painter that owner-draws the button.
  const TcxCustomLookAndFeelPainter& Painter() const;
  // Whether the platform draws the button itself.
  bool PlatformDrawn() const;
  TcxButtonState State() const;
  // Held down (mouse or space bar).
  bool Down() const { return down_; }
  bool Hot() const { return hot_; }
  // A plain button, and the main part of a split one, sets the form's modal result and fires OnClick; a drop-down
  // button opens its drop-down menu instead.
  void Click() override;
  // The part with the arrow that opens the drop-down menu: the whole button for cxbkDropDown, the strip at its
  // right for cxbkDropDownButton; empty for a standard button.
  TRect DropDownArrowPart() const;
  // Opens the drop-down menu under the button, when it has one.
  void DropDown();

  TcxButtonGetDrawParamsEvent OnGetDrawParams;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void KeyDown(unsigned short& key, TShiftState shift) override;
  void KeyUp(unsigned short& key, TShiftState shift) override;
  void DoEnter() override { Invalidate(); }
  void DoExit() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void DrawCaption(TCanvas& canvas, const TRect& rect, const std::string& caption, TColor color, bool embossed);

  TcxButtonColors colors_;
  TcxButtonKind kind_ = cxbkStandard;
  TBitmap glyph_;
  int num_glyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool use_system_paint_ = true;
  TcxLookAndFeel look_and_feel_;
  int look_and_feel_listener_ = 0;
  TComponent* drop_down_menu_ = nullptr;
  TComponent* popup_menu_ = nullptr;
  bool default_ = false;
  bool cancel_ = false;
  int modal_result_ = 0;
  bool down_ = false;
  bool hot_ = false;
  bool mouse_inside_ = false;
};

class TcxButton : public TcxCustomButton {
public:
  using TcxCustomButton::TcxCustomButton;
};
