#include "widgets/ScrollBox.h"

#include "core/ScopeGuard.h"
#include "widgets/Forms.h"
#include "widgets/QtBridge.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>

#include <algorithm>

// The window of a scroll box: the children's widgets with the two scroll bars above them.
class TScrollBoxWidget : public QWidget {
public:
  TScrollBoxWidget(TScrollBox* box, QWidget* parent)
      : QWidget(parent),
        box_(box),
        horz_(new QScrollBar(Qt::Horizontal, this)),
        vert_(new QScrollBar(Qt::Vertical, this)),
        corner_(new QWidget(this)) {
    setFocusPolicy(Qt::StrongFocus);
    // The square between the two bars covers what scrolls beneath it, as the bars do.
    corner_->setAutoFillBackground(true);
    corner_->setBackgroundRole(QPalette::Window);
    corner_->hide();
    for (QScrollBar* bar : {horz_, vert_}) {
      bar->hide();
      QObject::connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) {
        if (box_->syncing_) return;
        RunGuarded([&] { (bar == horz_ ? box_->HorzScrollBar() : box_->VertScrollBar()).SetPosition(value); });
      });
    }
  }

  void Sync() {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool show_h = box_->HorzScrollBar().IsScrollBarVisible();
    const bool show_v = box_->VertScrollBar().IsScrollBarVisible();
    auto sync = [&](QScrollBar* bar, const TControlScrollBar& state, bool shown, int page) {
      bar->setVisible(shown);
      if (!shown) return;
      bar->setRange(0, state.MaxPosition());
      bar->setPageStep(std::max(1, page));
      bar->setSingleStep(std::max(1, state.Increment()));
      bar->setTracking(state.Tracking());
      bar->setValue(state.Position());
      bar->raise();
    };
    sync(horz_, box_->HorzScrollBar(), show_h, width());
    sync(vert_, box_->VertScrollBar(), show_v, height());
    horz_->setGeometry(0, height() - extent, width() - (show_v ? extent : 0), extent);
    vert_->setGeometry(width() - extent, 0, extent, height() - (show_h ? extent : 0));
    corner_->setGeometry(width() - extent, height() - extent, extent, extent);
    corner_->setVisible(show_h && show_v);
    if (show_h && show_v) corner_->raise();
  }

protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    Sync();
  }

private:
  TScrollBox* box_;
  QScrollBar* horz_;
  QScrollBar* vert_;
  QWidget* corner_;
};

int TControlScrollBar::MaxPosition() const {
  int visible = horizontal_ ? box_.Width() : box_.Height();
  return std::max(0, range_ - visible);
}

void TControlScrollBar::SetPosition(int position) {
  position = std::clamp(position, 0, MaxPosition());
  if (position == position_) {
    box_.SyncScrollBars();
    return;
  }
  int delta = position_ - position;
  position_ = position;
  if (horizontal_) box_.ScrollBy(delta, 0);
  else box_.ScrollBy(0, delta);
  box_.SyncScrollBars();
}

void TControlScrollBar::SetRange(int range) {
  range_ = std::max(0, range);
  SetPosition(position_);
}

void TControlScrollBar::SetTracking(bool on) {
  tracking_ = on;
  box_.SyncScrollBars();
}

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 185, 41);
  SetTabStop(true);
}

TScrollBox::~TScrollBox() = default;

void TScrollBox::ScrollBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    child->SetBounds(child->Left() + dx, child->Top() + dy, child->Width(), child->Height());
  }
}

void TScrollBox::UpdateScrollRanges() {
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (!child->Visible()) continue;
    right = std::max(right, child->Left() + child->Width() + horz_.Position());
    bottom = std::max(bottom, child->Top() + child->Height() + vert_.Position());
  }
  horz_.SetRange(right);
  vert_.SetRange(bottom);
}

bool TScrollBox::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TWinControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  // Three lines of the bar's step a notch, as text views scroll.
  int step = 3 * vert_.Increment() * wheelDelta / 120;
  vert_.SetPosition(vert_.Position() - step);
  return true;
}

void TScrollBox::Resize() {
  if (OnResize) OnResize(this);
}

void TScrollBox::BoundsChanged() {
  TWinControl::BoundsChanged();
  if (Width() == last_width_ && Height() == last_height_) return;
  last_width_ = Width();
  last_height_ = Height();
  horz_.SetPosition(horz_.Position());
  vert_.SetPosition(vert_.Position());
  Resize();
}

QWidget* TScrollBox::CreateWidget(QWidget* parent_widget) { return new TScrollBoxWidget(this, parent_widget); }

void TScrollBox::SyncWidget() {
  TWinControl::SyncWidget();
  QWidget* widget = Widget();
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, ToQColor(Color()));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
  SyncScrollBars();
}

void TScrollBox::SyncScrollBars() {
  auto* widget = static_cast<TScrollBoxWidget*>(Widget());
  if (!widget || syncing_) return;
  TScopedValueRollback<bool> rollback(syncing_, true);
  widget->Sync();
}
