#pragma once

#include "core/Strings.h"
#include "widgets/Controls.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// A container with an optional inner and outer bevel around its client area.
class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* owner);
  TPanelBevel BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TPanelBevel bevel);
  TPanelBevel BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TPanelBevel bevel);
  // Room kept free inside the bevels, on every side.
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int width);
  // Where the caption stands.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Each bevel takes one pixel of the client area on every side.
  int ClientWidth() const override { return Width() - 2 * BevelWidth(); }
  int ClientHeight() const override { return Height() - 2 * BevelWidth(); }
  TRect AlignRect() const override {
    int edge = BevelWidth() + border_width_;
    return {edge, edge, Width() - edge, Height() - edge};
  }

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  int BevelWidth() const { return (bevel_inner_ != bvNone) + (bevel_outer_ != bvNone); }
  TPanelBevel bevel_inner_ = bvNone;
  TPanelBevel bevel_outer_ = bvRaised;
  int border_width_ = 0;
  TAlignment alignment_ = taCenter;
};

// A line or frame drawn as a sunken or raised edge.
class TBevel : public TGraphicControl {
public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape shape);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle style);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// A framed group of radio buttons, one for each item, of which at most one is chosen.
class TRadioGroup : public TCustomControl {
public:
  explicit TRadioGroup(TComponent* owner);
  TStrings& Items() { return items_; }
  const TStrings& Items() const { return items_; }
  // -1 when none is chosen.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  TStrings items_;
  int item_index_ = -1;
};

// A bar between aligned controls that the user drags to share the room between them: it resizes the control
// aligned just before it (above a top-aligned splitter, left of a left-aligned one).
class TSplitter : public TGraphicControl {
public:
  explicit TSplitter(TComponent* owner);
  // The smallest size the resized control and the room beyond the splitter keep.
  int MinSize() const { return min_size_; }
  void SetMinSize(int size) { min_size_ = size; }
  // With AutoSnap, a control dragged below MinSize disappears; without it, it stops at MinSize.
  bool AutoSnap() const { return auto_snap_; }
  void SetAutoSnap(bool on) { auto_snap_ = on; }
  // Moves the splitter by `delta` pixels along its direction, resizing the control before it.
  void MoveBy(int delta);

  TNotifyEvent OnMoved;

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;

private:
  TControl* ResizedControl() const;
  int min_size_ = 30;
  bool auto_snap_ = true;
};
