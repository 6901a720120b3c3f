#pragma once

#include "widgets/Buttons.h"
#include "widgets/ExtCtrls.h"
#include "widgets/Forms.h"
#include "widgets/StdCtrls.h"

#include <functional>
#include <string>

// Option bits of a search.
constexpr int foWholeWords = 1;
constexpr int foMatchCase = 2;
constexpr int foUp = 4;

// The small window in which the user types a text to find in the previewed report. It stays open beside the
// preview; closing it only hides it.
class TfrmRLFindDialog : public TForm {
public:
  // What a search calls: the text, the option bits; it reports whether it found something.
  using TFindTarget = std::function<void(TfrmRLFindDialog* sender, const std::string& text, bool& found, int options)>;

  explicit TfrmRLFindDialog(TComponent* owner = nullptr);

  TLabel* LabelTextToFind;
  TEdit* EditTextToFind;
  TBitBtn* BitBtnFindNext;
  TBitBtn* BitBtnCancel;
  TCheckBox* CheckBoxWholeWords;
  TCheckBox* CheckBoxMatchCase;
  TRadioGroup* RadioGroupDirection;

  const TFindTarget& FindTarget() const { return find_target_; }
  void SetFindTarget(TFindTarget target) { find_target_ = std::move(target); }
  // The option bits the controls stand for.
  int Options() const;

  void BitBtnFindNextClick(TObject* sender);
  void BitBtnCancelClick(TObject* sender);
  void FormDeactivate(TObject* sender);

private:
  // Widens the controls whose text would be cut to their text, moving the direction box and the buttons right and
  // widening the dialog as needed.
  void FitTexts();

  TFindTarget find_target_;
  // The dialog's own message is up: the dialog stays while it is.
  bool telling_ = false;
};
