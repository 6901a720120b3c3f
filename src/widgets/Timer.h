#pragma once

#include "core/Classes.h"

#include <memory>

// Calls OnTimer every Interval milliseconds while Enabled, from the message loop of the thread that made it.
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);

  TNotifyEvent OnTimer;

private:
  class Impl;
  void Update();
  void Tick();

  int interval_ = 1000;
  bool enabled_ = true;
  std::unique_ptr<Impl> impl_;
};
