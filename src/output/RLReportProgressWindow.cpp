#include "output/RLReportProgressWindow.h"

#include "output/RLFeedBack.h"
#include "report/RLReport.h"

#include <memory>

namespace {

// The window for the time of one generation; deleting it closes the window.
class TFeedBackProgress : public TRLReportProgress {
public:
  TFeedBackProgress(const std::string& caption, int stages, std::function<void()> cancel)
      : window_(std::make_unique<TfrmRLFeedBack>(caption, stages)) {
    window_->OnCancel = [cancel = std::move(cancel)](TfrmRLFeedBack*, bool&) {
      if (cancel) cancel();
    };
    window_->Show();
    window_->BitBtnCancel->SetFocus();
  }

  void SetMax(int max) override { window_->SetMax(max); }
  void StepIt() override { window_->StepIt(); }
  void NextBar() override { window_->NextBar(); }
  void SetStepName(const std::string& text) override { window_->SetStepName(text); }

private:
  std::unique_ptr<TfrmRLFeedBack> window_;
};

}  // namespace

void InstallReportProgressWindow() {
  SetReportProgressFactory([](const std::string& caption, int stages, std::function<void()> cancel) {
    return std::make_unique<TFeedBackProgress>(caption, stages, std::move(cancel));
  });
}
