#include "output/RLFindDialog.h"

#include "pages/RLConsts.h"
#include "widgets/Cursors.h"

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
  if (!found) ShowMessageBox(EngineMessages().msgNotFound, Caption(), mtInformation);
}

void TfrmRLFindDialog::BitBtnCancelClick(TObject*) { Close(); }

void TfrmRLFindDialog::FormDeactivate(TObject*) { Close(); }
