#pragma once

#include "framework/Controls.h"

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
  // Each bevel takes one pixel of the client area on every side.
  int ClientWidth() const override { return Width() - 2 * BevelWidth(); }
  int ClientHeight() const override { return Height() - 2 * BevelWidth(); }

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  int BevelWidth() const { return (bevel_inner_ != bvNone) + (bevel_outer_ != bvNone); }
  TPanelBevel bevel_inner_ = bvNone;
  TPanelBevel bevel_outer_ = bvRaised;
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
