#include "framework/ExtCtrls.h"

#include <QFrame>

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelInner(TPanelBevel bevel) {
  bevel_inner_ = bevel;
  if (Widget()) SyncWidget();
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
  bevel_outer_ = bevel;
  if (Widget()) SyncWidget();
}

QWidget* TPanel::CreateWidget(QWidget* parent_widget) { return new QFrame(parent_widget); }

void TPanel::SyncWidget() {
  TCustomControl::SyncWidget();
  auto* frame = static_cast<QFrame*>(Widget());
  const TPanelBevel outer = bevel_outer_ != bvNone ? bevel_outer_ : bevel_inner_;
  if (outer == bvNone || outer == bvSpace) {
    frame->setFrameStyle(QFrame::NoFrame);
  } else {
    frame->setFrameStyle(QFrame::Panel | (outer == bvRaised ? QFrame::Raised : QFrame::Sunken));
    frame->setLineWidth(BevelWidth());
  }
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape shape) {
  shape_ = shape;
  if (Widget()) SyncWidget();
}

void TBevel::SetStyle(TBevelStyle style) {
  style_ = style;
  if (Widget()) SyncWidget();
}

QWidget* TBevel::CreateWidget(QWidget* parent_widget) { return new QFrame(parent_widget); }

void TBevel::SyncWidget() {
  TGraphicControl::SyncWidget();
  auto* frame = static_cast<QFrame*>(Widget());
  const QFrame::Shadow shadow = style_ == bsRaised ? QFrame::Raised : QFrame::Sunken;
  switch (shape_) {
    case bsTopLine:
    case bsBottomLine: frame->setFrameStyle(QFrame::HLine | shadow); break;
    case bsLeftLine:
    case bsRightLine: frame->setFrameStyle(QFrame::VLine | shadow); break;
    case bsSpacer: frame->setFrameStyle(QFrame::NoFrame); break;
    default: frame->setFrameStyle(QFrame::Box | shadow); break;
  }
}
