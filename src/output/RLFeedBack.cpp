#include "output/RLFeedBack.h"

#include "pages/RLConsts.h"

namespace {

void SetMsSansSerif(TFont& font, int height) {
  font.SetName("MS Sans Serif");
  font.SetHeight(height);
  font.SetColor(clWindowText);
  font.SetPitch(fpVariable);
}

}  // namespace

TfrmRLFeedBack::TfrmRLFeedBack(const std::string& caption, int stages, TComponent* owner) : TForm(owner) {
  SetCaption(caption);
  SetBounds(Left(), Top(), 393, 129);
  SetColor(clBtnFace);
  SetMsSansSerif(Font(), 11);
  SetFormStyle(fsStayOnTop);
  SetPosition(poMainFormCenter);
  SetBorderStyle(bsDialog);

  LabelStepName = new TLabel(this);
  LabelStepName->SetName("LabelStepName");
  LabelStepName->SetParent(this);
  LabelStepName->SetBounds(14, 12, 39, 13);
  SetMsSansSerif(LabelStepName->Font(), 12);
  LabelStepName->SetCaption(EngineMessages().msgWait);

  ProgressBar = new TProgressBar(this);
  ProgressBar->SetName("ProgressBar");
  ProgressBar->SetParent(this);
  ProgressBar->SetBounds(14, 28, 355, 17);
  ProgressBar->SetMin(0);
  ProgressBar->SetMax(100);
  ProgressBar->SetStep(1);
  bars_.push_back(ProgressBar);

  BitBtnCancel = new TBitBtn(this);
  BitBtnCancel->SetName("BitBtnCancel");
  BitBtnCancel->SetParent(this);
  BitBtnCancel->SetBounds(151, 65, 85, 25);
  BitBtnCancel->SetKind(bkCancel);
  // Cancelling stops the operation, not the window: it must not close like a dialog's Cancel would.
  BitBtnCancel->SetModalResult(mrNone);
  BitBtnCancel->SetCaption(EngineMessages().msgCancel);
  BitBtnCancel->SetTabOrder(0);
  BitBtnCancel->OnClick = [this](TObject* sender) { BitBtnCancelClick(sender); };

  for (int k = 2; k <= stages; ++k) {
    TProgressBar* previous = bars_.back();
    auto* bar = new TProgressBar(this);
    bar->SetName("ProgressBar" + std::to_string(k));
    bar->SetParent(this);
    bar->SetBounds(previous->Left(), previous->Top() + previous->Height() + 2, previous->Width(), previous->Height());
    bar->SetStep(previous->Step());
    bars_.push_back(bar);
    int growth = bar->Height() + 2;
    SetHeight(Height() + growth);
    BitBtnCancel->SetTop(BitBtnCancel->Top() + growth);
  }
}

void TfrmRLFeedBack::SetMax(int max) {
  CurrentBar()->SetMax(max);
  CurrentBar()->SetPosition(0);
}

void TfrmRLFeedBack::CatchUp(bool now) {
  if (!Application()) return;
  auto time = std::chrono::steady_clock::now();
  if (now || time - last_catch_up_ >= std::chrono::milliseconds(40)) {
    last_catch_up_ = time;
    Application()->ProcessMessages();
  }
}

void TfrmRLFeedBack::StepIt() {
  CurrentBar()->StepIt();
  CatchUp(false);
  if (Application() && Application()->Terminated()) Abort();
}

void TfrmRLFeedBack::NextBar() {
  if (current_ + 1 < BarCount()) ++current_;
}

void TfrmRLFeedBack::SetStepName(const std::string& text) {
  if (LabelStepName->Caption() == text) return;
  LabelStepName->SetCaption(text);
  CatchUp(true);
}

void TfrmRLFeedBack::BitBtnCancelClick(TObject*) {
  canceled_ = true;
  if (OnCancel) OnCancel(this, canceled_);
}
