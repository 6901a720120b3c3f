#pragma once

#include "framework/Classes.h"
#include "framework/Graphics.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class TCanvas;
class TWinControl;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

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

  // The backing widget, or null while there is none.
  QWidget* Widget() const { return widget_; }

protected:
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

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void FontChanged() override;

private:
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

protected:
  virtual void Paint() {}
  QWidget* CreateWidget(QWidget* parent_widget) override;
  // Runs Paint on the canvas bound to `widget`, from the widget's paint event.
  void PaintWidget(QWidget* widget);

private:
  friend class TCustomControlWidget;

  std::unique_ptr<TCanvas> canvas_;
};

// A control without a window of its own, painted on its parent.
class TGraphicControl : public TControl {
public:
  using TControl::TControl;
};
