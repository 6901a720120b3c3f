// The outline at the left of the preview window: finding entries as the user types, the entry of a page, and the
// panel in the window (shown only with an outline, a click going to the entry's page, the highlight following
// the pages, the toggle and the width kept for the next window).
#include "output/RLOutlinePanel.h"
#include "output/RLPreviewForm.h"

#include "output/PreviewFixture.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

using namespace previewtest;

const TRLOutline kCities = {
    {"Cidade Arapoti", 0, 0, 71}, {"Cidade Castro", 0, 1, 400},  {"Cidade São Paulo", 0, 1, 700},
    {"Bairro Sé", 1, 1, 760},     {"Cidade Sapopema", 0, 3, 71}, {"Cidade Óbidos", 0, 4, 71},
};

TEST(OutlineSearch, FindsAWordStartAccentBlindFromTheHighlightOnAndWrapsAround) {
  struct Case {
    const char* typed;
    int from;
    int found;
  } cases[] = {
      {"sao", 0, 2}, {"SÃO P", 0, 2},    {"sa", 0, 2},      {"sa", 3, 4}, {"sa", 5, 2}, {"obi", 0, 5},
      {"se", 0, 3},  {"cidade c", 0, 1}, {"rapoti", 0, -1}, {"", 0, -1},  {"x", 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " from " + std::to_string(c.from));
    EXPECT_EQ(FindOutlineEntry(kCities, c.typed, c.from), c.found);
  }
  EXPECT_EQ(FindOutlineEntry({}, "a", 0), -1);
}

TEST(OutlineSearch, TheEntryOfAPageIsTheFirstOnItElseTheOneGoingOn) {
  const int expected[] = {0, 1, 3, 4, 5, 5};
  for (int page = 0; page < 6; ++page) EXPECT_EQ(OutlineEntryOfPage(kCities, page), expected[page]) << page;
  EXPECT_EQ(OutlineEntryOfPage({{"Late", 0, 2, 0}}, 1), -1);
}

class OutlinePanel : public testing::Test {
protected:
  void SetUp() override { OutlinePanelSettings() = {}; }
  void TearDown() override {
    form_.reset();
    OutlinePanelSettings() = {};
  }
  TRLPreviewForm& Make(const TRLOutline& outline) {
    storage_ = MakePages(&owner_, 6);
    for (const TRLOutlineEntry& entry : outline) storage_->AddOutlineEntry(entry);
    form_ = std::make_unique<TRLPreviewForm>();
    form_->SetBounds(0, 0, 1000, 700);
    form_->Previews(0)->SetPages(storage_);
    form_->Show();
    QApplication::processEvents();
    return *form_;
  }

  TComponent owner_{nullptr};
  TRLGraphicStorage* storage_ = nullptr;
  std::unique_ptr<TRLPreviewForm> form_;
};

TEST_F(OutlinePanel, AReportWithoutOutlineShowsNeitherPanelNorToggle) {
  TRLPreviewForm& form = Make({});
  EXPECT_FALSE(form.PanelOutline->Visible());
  EXPECT_FALSE(form.SpeedButtonOutline->Visible());
  EXPECT_EQ(form.PanelContainer->Left(), 0) << "the pages take the whole width";
}

TEST_F(OutlinePanel, AClickShowsTheEntrysPageAtItsRowAndTheHighlightFollowsThePages) {
  TRLPreviewForm& form = Make(kCities);
  TRLOutlinePanel& panel = *form.PanelOutline;
  ASSERT_TRUE(panel.Visible());
  ASSERT_TRUE(form.SpeedButtonOutline->Visible());
  EXPECT_FALSE(form.SpeedButtonOutline->Hint().empty());
  EXPECT_TRUE(form.SpeedButtonOutline->Down());
  EXPECT_EQ(panel.Width(), 220);
  EXPECT_GE(form.PanelContainer->Left(), panel.Width()) << "the pages start right of the panel";
  ASSERT_EQ(panel.Tree->ItemCount(), 6);
  EXPECT_EQ(panel.Tree->ItemText(2), "Cidade São Paulo");
  EXPECT_EQ(panel.Tree->Selected(), 0) << "the first page's entry";

  TRLPreview& preview = *form.ActivePreview();
  preview.ZoomFullWidth();
  panel.Tree->Activate(3);  // Bairro Sé, on page 2 near its bottom
  EXPECT_EQ(preview.PageIndex(), 1);
  EXPECT_GT(preview.VertScrollBar().Position(), 0) << "scrolled down to the entry's row";
  EXPECT_EQ(panel.Tree->Selected(), 3) << "the entry picked stays highlighted on its page";

  // Paging moves the highlight: to the first entry of a page, or to the one that goes on over it.
  preview.NextPage();
  EXPECT_EQ(preview.PageIndex(), 2);
  EXPECT_EQ(panel.Tree->Selected(), 3) << "page 3 holds no entry: the one going on over it";
  preview.NextPage();
  EXPECT_EQ(panel.Tree->Selected(), 4);
  preview.LastPage();
  EXPECT_EQ(panel.Tree->Selected(), 5);
  preview.FirstPage();
  EXPECT_EQ(panel.Tree->Selected(), 0);

  // Typing finds an entry whatever its accents; Enter (as a click) shows it.
  EXPECT_EQ(panel.Tree->TypeSearch("obi"), "obi");
  EXPECT_EQ(panel.Tree->Selected(), 5);
  panel.Tree->Activate(panel.Tree->Selected());
  EXPECT_EQ(preview.PageIndex(), 4);
}

TEST_F(OutlinePanel, TheToggleHidesThePanelAndTheWidthIsKeptForTheNextWindow) {
  {
    TRLPreviewForm& form = Make(kCities);
    form.PanelOutline->Splitter->MoveBy(80);
    EXPECT_EQ(form.PanelOutline->Width(), 300);
    form.SpeedButtonOutline->Click();
    EXPECT_FALSE(form.SpeedButtonOutline->Down());
    EXPECT_FALSE(form.PanelOutline->Visible());
    EXPECT_EQ(form.PanelContainer->Left(), 0);
    form.SpeedButtonOutline->Click();
    EXPECT_TRUE(form.PanelOutline->Visible());
  }
  TRLPreviewForm& next = Make(kCities);
  EXPECT_TRUE(next.PanelOutline->Visible());
  EXPECT_EQ(next.PanelOutline->Width(), 300);
  next.SpeedButtonOutline->Click();
  TRLPreviewForm& third = Make(kCities);
  EXPECT_FALSE(third.PanelOutline->Visible()) << "hidden by the user, it stays hidden";
  EXPECT_TRUE(third.SpeedButtonOutline->Visible());
  EXPECT_FALSE(third.SpeedButtonOutline->Down());
}

}  // namespace
