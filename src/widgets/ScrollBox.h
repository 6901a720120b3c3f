#pragma once

#include "widgets/Controls.h"

class TScrollBox;

// One scroll bar of a scroll box. Range is the extent of the content; Position runs from 0 to Range less the
// visible size. The bar shows only while the content does not fit.
class TControlScrollBar {
public:
  TControlScrollBar(TScrollBox& box, bool horizontal) : box_(box), horizontal_(horizontal) {}

  int Position() const { return position_; }
  // Kept within 0 .. MaxPosition; moves the box's children by the difference.
  void SetPosition(int position);
  int Range() const { return range_; }
  void SetRange(int range);
  int MaxPosition() const;
  bool IsScrollBarVisible() const { return MaxPosition() > 0; }
  // The content follows the thumb while it is dragged.
  bool Tracking() const { return tracking_; }
  void SetTracking(bool on);
  // The step of a click on an arrow.
  int Increment() const { return increment_; }
  void SetIncrement(int increment) { increment_ = increment; }

private:
  friend class TScrollBox;
  TScrollBox& box_;
  bool horizontal_;
  int position_ = 0;
  int range_ = 0;
  bool tracking_ = false;
  int increment_ = 8;
};

// A control whose children scroll. The scroll bars float over the edges of the content, so the whole of the control
// stays its client area: what a layout computes from the control's size holds whether or not a bar shows.
class TScrollBox : public TWinControl {
public:
  explicit TScrollBox(TComponent* owner);
  ~TScrollBox() override;

  TControlScrollBar& HorzScrollBar() { return horz_; }
  TControlScrollBar& VertScrollBar() { return vert_; }
  const TControlScrollBar& HorzScrollBar() const { return horz_; }
  const TControlScrollBar& VertScrollBar() const { return vert_; }
  // Sets each range to how far the visible children reach, in scrolled coordinates.
  void UpdateScrollRanges();
  // Moves every child by (dx, dy).
  void ScrollBy(int dx, int dy);

  // Raised when the control's width or height changed.
  TNotifyEvent OnResize;
  // Without a handler that takes it, the wheel scrolls the content up and down.
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;

protected:
  virtual void Resize();
  void BoundsChanged() override;
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  friend class TControlScrollBar;
  friend class TScrollBoxWidget;
  // Shows the scroll bars as the positions and ranges are.
  void SyncScrollBars();

  TControlScrollBar horz_{*this, true};
  TControlScrollBar vert_{*this, false};
  int last_width_ = -1, last_height_ = -1;
  bool syncing_ = false;
};
