#pragma once

#include "widgets/Controls.h"

// A bar that fills from Min to Max as Position advances.
class TProgressBar : public TWinControl {
public:
  explicit TProgressBar(TComponent* owner);
  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  // Kept within Min..Max.
  int Position() const { return position_; }
  void SetPosition(int value);
  int Step() const { return step_; }
  void SetStep(int value) { step_ = value; }
  // Advances Position by Step, wrapping to Min past Max as the platform's bar does.
  void StepIt();

protected:
  QWidget* CreateWidget(QWidget* parent_widget) override;
  void SyncWidget() override;

private:
  int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
};
