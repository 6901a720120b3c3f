#include "output/RLFeedBack.h"

#include "graphics/TextMetrics.h"
#include "pages/RLConsts.h"

#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(FeedBack, OneBarPerStageTwoPixelsApartAndTheWindowGrows) {
  TfrmRLFeedBack one("Preparando", 1);
  TfrmRLFeedBack three("Preparando", 3);
  EXPECT_EQ(one.Height(), 129);
  EXPECT_EQ(one.Width(), 393);
  ASSERT_EQ(three.BarCount(), 3);
  EXPECT_EQ(three.Bars(0)->Name(), "ProgressBar");
  EXPECT_EQ(three.Bars(1)->Name(), "ProgressBar2");
  EXPECT_EQ(three.Bars(2)->Name(), "ProgressBar3");
  EXPECT_EQ(three.Bars(1)->Top() - three.Bars(0)->Top(), 19);
  EXPECT_EQ(three.Bars(2)->Top() - three.Bars(1)->Top(), 19);
  EXPECT_EQ(three.Height() - one.Height(), 38);
  // The button keeps its distance from the bottom edge.
  EXPECT_EQ(three.Height() - three.BitBtnCancel->Top(), one.Height() - one.BitBtnCancel->Top());
  EXPECT_EQ(one.Caption(), "Preparando");
  EXPECT_EQ(one.LabelStepName->Caption(), EngineMessages().msgWait);
  EXPECT_EQ(one.BitBtnCancel->Caption(), EngineMessages().msgCancel);
}

TEST(FeedBack, BarsAdvanceOneStageAfterAnother) {
  TfrmRLFeedBack window("x", 2);
  window.SetMax(4);
  window.StepIt();
  window.StepIt();
  EXPECT_EQ(window.Bars(0)->Position(), 2);
  window.NextBar();
  window.SetMax(10);
  window.StepIt();
  EXPECT_EQ(window.Bars(1)->Position(), 1);
  EXPECT_EQ(window.Bars(0)->Position(), 2);
  window.NextBar();  // there is no third bar: the last one stays current
  EXPECT_EQ(window.CurrentBar(), window.Bars(1));
  window.SetStepName("Página 3");
  EXPECT_EQ(window.LabelStepName->Caption(), "Página 3");
}

TEST(FeedBack, TheStatusLineGrowsToShowLongPageNumbersWhole) {
  TfrmRLFeedBack window("x", 1);
  const TLabel& label = *window.LabelStepName;
  for (const std::string text : {"Page 14234", "Page 7"}) {
    window.SetStepName(text);
    EXPECT_EQ(label.Width(), TFontMeasure::For(label.Font()).Width(text)) << text;
    EXPECT_EQ(label.Left(), 14) << text;
  }
}

TEST(FeedBack, CancelSetsTheFlagAndCallsBackOnEveryPress) {
  TfrmRLFeedBack window("x");
  int calls = 0;
  window.OnCancel = [&](TfrmRLFeedBack* sender, bool& canceled) {
    EXPECT_EQ(sender, &window);
    EXPECT_TRUE(canceled);
    ++calls;
  };
  window.Show();
  window.BitBtnCancel->Click();
  window.BitBtnCancel->Click();
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(window.Canceled());
  EXPECT_TRUE(window.Visible());
}

TEST(FeedBack, AStepWhileTheApplicationEndsAbortsSilently) {
  auto application = MakeTestApplication();
  TfrmRLFeedBack window("x");
  window.StepIt();
  application->Terminate();
  EXPECT_THROW(window.StepIt(), EAbort);
}

}  // namespace
