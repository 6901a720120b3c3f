#include "widgets/Timer.h"

#include "widgets/Forms.h"

#include <QCoreApplication>
#include <QTimer>

class TTimer::Impl {
public:
  QTimer timer;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner) { Update(); }

TTimer::~TTimer() {
  Destroying();
  impl_.reset();
}

void TTimer::SetInterval(int milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  Update();
}

void TTimer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Update();
}

void TTimer::Update() {
  const bool run = enabled_ && interval_ > 0 && QCoreApplication::instance() && !IsDestroying();
  if (!run) {
    if (impl_) impl_->timer.stop();
    return;
  }
  if (!impl_) {
    impl_ = std::make_unique<Impl>();
    QObject::connect(&impl_->timer, &QTimer::timeout, &impl_->timer, [this] { Tick(); });
  }
  impl_->timer.start(interval_);
}

void TTimer::Tick() {
  if (OnTimer) RunGuarded([this] { OnTimer(this); });
}
