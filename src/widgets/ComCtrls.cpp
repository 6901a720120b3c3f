#include "widgets/ComCtrls.h"

#include <QProgressBar>

#include <algorithm>

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::SetMin(int value) {
  min_ = value;
  max_ = std::max(max_, min_);
  SetPosition(position_);
}

void TProgressBar::SetMax(int value) {
  max_ = value;
  min_ = std::min(min_, max_);
  SetPosition(position_);
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, min_, max_);
  if (Widget()) SyncWidget();
}

void TProgressBar::StepIt() {
  long long next = static_cast<long long>(position_) + step_;
  SetPosition(next > max_ ? min_ + static_cast<int>((next - min_) % (static_cast<long long>(max_) - min_ + 1))
                          : static_cast<int>(next));
}

QWidget* TProgressBar::CreateWidget(QWidget* parent_widget) {
  auto* bar = new QProgressBar(parent_widget);
  bar->setTextVisible(false);
  return bar;
}

void TProgressBar::SyncWidget() {
  TWinControl::SyncWidget();
  auto* bar = static_cast<QProgressBar*>(Widget());
  bar->setRange(min_, max_);
  bar->setValue(position_);
}
