#include "output/RLFindDialog.h"

#include "core/ScopeGuard.h"
#include "output/RLDialogControls.h"
#include "pages/RLConsts.h"
#include "widgets/Cursors.h"

#include <QRadioButton>
#include <QWidget>

#include <algorithm>

TfrmRLFindDialog::TfrmRLFindDialog(TComponent* owner) : TForm(owner) {
  const TRLEngineMessages& messages = EngineMessages();
  SetBorderStyle(bsDialog);
  SetBorderIcons({biSystemMenu});
  SetCaption(messages.msgFind);
  SetClientWidth(367);
  SetClientHeight(94);
  SetColor(clBtnFace);
  SetPosition(poScreenCenter);
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };

  auto place = [this](TControl* control, const char* name, int left, int top, int width, int height) {
    control->SetName(name);
    control->SetParent(this);
    control->SetBounds(left, top, width, height);
  };
  LabelTextToFind = new TLabel(this);
  place(LabelTextToFind, "LabelTextToFind", 8, 16, 30, 13);
  LabelTextToFind->SetCaption(messages.msgFindText + ":");

  EditTextToFind = new TEdit(this);
  place(EditTextToFind, "EditTextToFind", 48, 12, 229, 21);
  EditTextToFind->SetText("");
  EditTextToFind->SetTabOrder(0);

  BitBtnFindNext = new TBitBtn(this);
  place(BitBtnFindNext, "BitBtnFindNext", 284, 12, 75, 21);
  BitBtnFindNext->SetCaption(messages.msgFindNext);
  BitBtnFindNext->SetDefault(true);
  BitBtnFindNext->SetTabOrder(1);
  BitBtnFindNext->OnClick = [this](TObject* sender) { BitBtnFindNextClick(sender); };

  BitBtnCancel = new TBitBtn(this);
  place(BitBtnCancel, "BitBtnCancel", 284, 36, 75, 21);
  BitBtnCancel->SetCaption(messages.msgCancel);
  BitBtnCancel->SetCancel(true);
  BitBtnCancel->SetTabOrder(2);
  BitBtnCancel->OnClick = [this](TObject* sender) { BitBtnCancelClick(sender); };

  CheckBoxWholeWords = new TCheckBox(this);
  place(CheckBoxWholeWords, "CheckBoxWholeWords", 8, 44, 133, 17);
  CheckBoxWholeWords->SetCaption(messages.msgWholeWords);
  CheckBoxWholeWords->SetTabOrder(3);

  CheckBoxMatchCase = new TCheckBox(this);
  place(CheckBoxMatchCase, "CheckBoxMatchCase", 8, 64, 193, 17);
  CheckBoxMatchCase->SetCaption(messages.msgMatchCase);
  CheckBoxMatchCase->SetTabOrder(4);

  RadioGroupDirection = new TRadioGroup(this);
  place(RadioGroupDirection, "RadioGroupDirection", 204, 36, 73, 49);
  RadioGroupDirection->SetCaption(" " + messages.msgDirection + " ");
  RadioGroupDirection->Items().Add(messages.msgUp);
  RadioGroupDirection->Items().Add(messages.msgDown);
  RadioGroupDirection->SetItemIndex(1);
  RadioGroupDirection->SetTabOrder(5);
  FitTexts();
}

void TfrmRLFindDialog::FitTexts() {
  // The direction box lays its choices out with 8 pixels on the left and 4 on the right; a choice's size hint ends
  // with a pixel of spacing after its text, which the right margin may take: the box of the design (73 pixels) holds
  // "&Down" whole that way.
  constexpr int kGap = 4, kChoiceMargins = 11;
  // The design leaves 3 pixels between the check boxes and the direction box.
  constexpr int kChecksGap = 3;
  // The check boxes end before the direction box; the direction box holds its longest choice.
  const int checks_right = std::max({CheckBoxWholeWords->Left() + TextWidthNeeded(*CheckBoxWholeWords),
                                     CheckBoxMatchCase->Left() + TextWidthNeeded(*CheckBoxMatchCase),
                                     RadioGroupDirection->Left() - kChecksGap});
  CheckBoxWholeWords->SetWidth(std::max(CheckBoxWholeWords->Width(), checks_right - CheckBoxWholeWords->Left()));
  CheckBoxMatchCase->SetWidth(std::max(CheckBoxMatchCase->Width(), checks_right - CheckBoxMatchCase->Left()));
  const int shift_direction = checks_right + kChecksGap - RadioGroupDirection->Left();
  RadioGroupDirection->SetLeft(RadioGroupDirection->Left() + shift_direction);
  RadioGroupDirection->HandleNeeded();
  int choices = TextWidthNeeded(*RadioGroupDirection);
  for (const QRadioButton* choice : RadioGroupDirection->Widget()->findChildren<QRadioButton*>()) {
    choices = std::max(choices, choice->sizeHint().width() + kChoiceMargins);
  }
  RadioGroupDirection->SetWidth(std::max(RadioGroupDirection->Width(), choices));
  const int edit_right = std::max(EditTextToFind->Left() + EditTextToFind->Width(),
                                  RadioGroupDirection->Left() + RadioGroupDirection->Width());
  EditTextToFind->SetWidth(edit_right - EditTextToFind->Left());
  const int label_right = LabelTextToFind->Left() + TextWidthNeeded(*LabelTextToFind);
  if (label_right + kGap > EditTextToFind->Left()) {
    // The text box gives up the width its label takes, keeping its right edge.
    const int shift = label_right + kGap - EditTextToFind->Left();
    EditTextToFind->SetBounds(EditTextToFind->Left() + shift, EditTextToFind->Top(), EditTextToFind->Width() - shift,
                              EditTextToFind->Height());
  }
  LabelTextToFind->SetWidth(std::max(LabelTextToFind->Width(), TextWidthNeeded(*LabelTextToFind)));
  const int buttons_left = EditTextToFind->Left() + EditTextToFind->Width() + 7;
  const int button_width =
      std::max({BitBtnFindNext->Width(), TextWidthNeeded(*BitBtnFindNext), TextWidthNeeded(*BitBtnCancel)});
  for (TBitBtn* button : {BitBtnFindNext, BitBtnCancel}) {
    button->SetLeft(buttons_left);
    button->SetWidth(button_width);
  }
  SetClientWidth(std::max(ClientWidth(), buttons_left + button_width + 8));
}

int TfrmRLFindDialog::Options() const {
  int options = 0;
  if (CheckBoxWholeWords->Checked()) options |= foWholeWords;
  if (CheckBoxMatchCase->Checked()) options |= foMatchCase;
  if (RadioGroupDirection->ItemIndex() == 0) options |= foUp;
  return options;
}

void TfrmRLFindDialog::BitBtnFindNextClick(TObject*) {
  bool found = false;
  if (find_target_) {
    TCursorScope hourglass(crHourGlass);
    find_target_(this, EditTextToFind->GetText(), found, Options());
  }
  if (found) return;
  TScopedValueRollback<bool> telling(telling_, true);
  ShowMessageBox(EngineMessages().msgNotFound, Caption(), mtInformation);
}

void TfrmRLFindDialog::BitBtnCancelClick(TObject*) { Close(); }

void TfrmRLFindDialog::FormDeactivate(TObject*) {
  if (!telling_) Close();
}
