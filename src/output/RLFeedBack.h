#pragma once

#include "widgets/Buttons.h"
#include "widgets/ComCtrls.h"
#include "widgets/Forms.h"
#include "widgets/StdCtrls.h"

#include <chrono>
#include <functional>
#include <vector>

// The small window that shows the progress of a long operation, one bar per stage, and lets the user cancel it.
// Its owner creates it, shows it, and deletes it when the operation ends.
class TfrmRLFeedBack : public TForm {
public:
  using TCancelEvent = std::function<void(TfrmRLFeedBack* sender, bool& canceled)>;

  TfrmRLFeedBack(const std::string& caption, int stages = 1, TComponent* owner = nullptr);

  TLabel* LabelStepName;
  TProgressBar* ProgressBar;
  TBitBtn* BitBtnCancel;

  int BarCount() const { return static_cast<int>(bars_.size()); }
  TProgressBar* Bars(int index) const { return bars_.at(static_cast<std::size_t>(index)); }
  TProgressBar* CurrentBar() const { return bars_[static_cast<std::size_t>(current_)]; }

  // The current bar runs from 0 to `max`.
  void SetMax(int max);
  // Advances the current bar and lets the window system catch up. When the application is ending, the operation
  // stops with the silent abort.
  void StepIt();
  void NextBar();
  void SetStepName(const std::string& text);

  bool Canceled() const { return canceled_; }
  // Called on every press of Cancel, after Canceled is set.
  TCancelEvent OnCancel;
  void BitBtnCancelClick(TObject* sender);

private:
  // Lets the window system catch up, at most every few hundredths of a second: a step per record must not
  // cost a round of the message loop per record.
  void CatchUp(bool now);

  std::vector<TProgressBar*> bars_;
  std::chrono::steady_clock::time_point last_catch_up_{};
  int current_ = 0;
  bool canceled_ = false;
};
