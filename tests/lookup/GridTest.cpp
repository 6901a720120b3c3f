// The drop-down grid: layout, sorting by header clicks, hot tracking, pressing and dragging, keys and scrolling.
#include "data/MemDataSet.h"
#include "lookup/cxLookupDBGrid.h"
#include "widgets/Forms.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

class Grid : public testing::Test {
protected:
  void SetUp() override {
    data_ = new TMemDataSet(&form_);
    data_->columns = {{"cidade", ftString, 20}};
    for (const char* city : {"Natal", "Belém", "Recife", "Aracaju", "Maceió"}) data_->rows.push_back({city});
    source_ = new TDataSource(&form_);
    source_->SetDataSet(data_);
    grid_ = new TcxLookupDBGrid(&form_);
    grid_->SetParent(&form_);
    grid_->SetBounds(0, 0, 200, 150);
    grid_->Columns().Add()->SetFieldName("cidade");
    grid_->SetDataSource(source_);
    data_->Open();
    form_.SetBounds(50, 50, 300, 200);
    form_.Show();
    QApplication::processEvents();
  }
  void AddRows(int count) {
    data_->rows.clear();
    for (int i = 0; i < count; ++i) data_->rows.push_back({"Cidade " + std::to_string(100 + i)});
    data_->Refresh();
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    auto& list = grid_->DataController();
    for (int row = 0; row < list.RowCount(); ++row) texts.push_back(list.GetDisplayText(list.RowRecord(row), 0));
    return texts;
  }
  QPoint RowPoint(int row) {
    const TRect r = grid_->RowRect(row);
    return QPoint(r.Left + 10, (r.Top + r.Bottom) / 2);
  }
  void Move(QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, at, grid_->Widget()->mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(grid_->Widget(), &move);
  }

  TForm form_{nullptr};
  TMemDataSet* data_ = nullptr;
  TDataSource* source_ = nullptr;
  TcxLookupDBGrid* grid_ = nullptr;
};

TEST_F(Grid, LayoutFollowsTheFontTheOptionsAndTheWidth) {
  TCanvas& canvas = grid_->Canvas();
  canvas.SetFont(grid_->Font());
  const int zg = canvas.TextHeight("Zg");
  EXPECT_EQ(grid_->RowHeight(), zg + 4 + 1);
  EXPECT_EQ(grid_->HeaderHeight(), 2 * 1 + canvas.TextHeight("Qq") + 4);
  grid_->Options().SetGridLines(glNone);
  EXPECT_EQ(grid_->RowHeight(), zg + 4);
  grid_->Options().SetShowHeader(false);
  EXPECT_EQ(grid_->PreferredHeight(8), 8 * grid_->RowHeight());
  // One column fills the width whatever its own width, unless its minimum is larger.
  EXPECT_EQ(grid_->ColumnBounds(), (std::vector<std::pair<int, int>>{{0, 200}}));
  grid_->Columns().Items(0)->SetMinWidth(260);
  EXPECT_EQ(grid_->ColumnBounds(), (std::vector<std::pair<int, int>>{{0, 260}}));
  // Two columns share by their widths; a fixed one keeps its own.
  grid_->Columns().Items(0)->SetMinWidth(20);
  grid_->Columns().Items(0)->SetWidth(100);
  auto* second = grid_->Columns().Add();
  second->SetFieldName("cidade");
  second->SetWidth(300);
  EXPECT_EQ(grid_->ColumnBounds(), (std::vector<std::pair<int, int>>{{0, 50}, {50, 200}}));
  grid_->Columns().Items(0)->SetFixed(true);
  EXPECT_EQ(grid_->ColumnBounds(), (std::vector<std::pair<int, int>>{{0, 100}, {100, 200}}));
  EXPECT_EQ(grid_->Columns().Items(0)->Caption(), "cidade");
}

// Fails since the preview's mouse events joined the lookup's controls: the second header click is lost; to be mended.
TEST_F(Grid, HeaderClicksSortAndCtrlClickRestoresLoadOrder) {
  const QPoint header(20, grid_->HeaderHeight() / 2);
  QTest::mouseClick(grid_->Widget(), Qt::LeftButton, {}, header);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Aracaju", "Belém", "Maceió", "Natal", "Recife"}));
  EXPECT_EQ(grid_->Columns().Items(0)->SortOrder(), soAscending);
  QTest::mouseClick(grid_->Widget(), Qt::LeftButton, {}, header, 500);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Recife", "Natal", "Maceió", "Belém", "Aracaju"}));
  QTest::mouseClick(grid_->Widget(), Qt::LeftButton, Qt::ControlModifier, header, 500);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Natal", "Belém", "Recife", "Aracaju", "Maceió"}));
  grid_->Columns().Items(0)->SetSorting(false);
  QTest::mouseClick(grid_->Widget(), Qt::LeftButton, {}, header, 500);
  EXPECT_EQ(grid_->Columns().Items(0)->SortOrder(), soNone);
}

TEST_F(Grid, HotTrackingWaitsForARealMove) {
  grid_->SetPopupControl(true);
  grid_->LockPopupMouseMove();
  Move(RowPoint(2));
  EXPECT_EQ(grid_->DataController().FocusedRow(), -1) << "the first move only clears the lock";
  Move(RowPoint(3));
  EXPECT_EQ(grid_->DataController().FocusedRow(), 3);
  EXPECT_TRUE(grid_->DataController().FocusedRowSelected());
  // The hot row is painted in the selection colours.
  const QImage image = grid_->Widget()->grab().toImage();
  EXPECT_EQ(image.pixelColor(RowPoint(3) + QPoint(60, 0)), QColor(10, 36, 106));
  EXPECT_EQ(image.pixelColor(RowPoint(1) + QPoint(60, 0)), QColor(255, 255, 255));
}

TEST_F(Grid, PressingDraggingBelowScrollsAndReleasingOutsideDoesNotAccept) {
  AddRows(20);
  grid_->SetPopupControl(true);
  grid_->SetHeight(grid_->PreferredHeight(8));
  std::vector<bool> closes;
  grid_->OnCloseUp = [&](TObject*, bool accept) { closes.push_back(accept); };
  QTest::mousePress(grid_->Widget(), Qt::LeftButton, {}, RowPoint(6));
  EXPECT_EQ(grid_->DataController().FocusedRow(), 6);
  const QPoint below(10, grid_->Height() + 20);
  Move(below, Qt::LeftButton);
  EXPECT_EQ(grid_->AutoScrollDirection(), asdDown);
  grid_->AutoScrollStep();
  grid_->AutoScrollStep();
  EXPECT_EQ(grid_->DataController().FocusedRow(), 9);
  EXPECT_EQ(grid_->TopRowIndex(), 2);
  QTest::mouseRelease(grid_->Widget(), Qt::LeftButton, {}, below);
  EXPECT_EQ(closes, std::vector<bool>{false});
  EXPECT_EQ(grid_->AutoScrollDirection(), asdNone);
  // A press and release on a row accepts it.
  QTest::mouseClick(grid_->Widget(), Qt::LeftButton, {}, RowPoint(4), 500);
  EXPECT_EQ(closes, (std::vector<bool>{false, true}));
  EXPECT_EQ(grid_->DataController().FocusedRow(), 4);
}

TEST_F(Grid, ScrollingToTheEndLeavesNoSpaceBelowTheLastRow) {
  AddRows(20);
  grid_->SetHeight(grid_->PreferredHeight(8));
  EXPECT_EQ(grid_->VisibleRowCount(), 8);
  EXPECT_TRUE(grid_->VScrollBarVisible());
  grid_->SetTopRowIndex(100);
  EXPECT_EQ(grid_->TopRowIndex(), 12) << "rows 12 to 19 show";
  grid_->SetHeight(grid_->PreferredHeight(10));
  EXPECT_EQ(grid_->TopRowIndex(), 10) << "a taller grid moves the top back";
}

TEST_F(Grid, KeysMoveTheFocusedRow) {
  AddRows(20);
  grid_->SetHeight(grid_->PreferredHeight(8));
  auto& list = grid_->DataController();
  std::vector<bool> closes;
  grid_->OnCloseUp = [&](TObject*, bool accept) { closes.push_back(accept); };
  struct Press {
    unsigned short key;
    TShiftState shift;
    int row;
  };
  const Press presses[] = {
      {VK_DOWN, {}, 0},  {VK_DOWN, {}, 1},  {VK_UP, {}, 0},    {VK_UP, {}, 0},   {VK_NEXT, {}, 7},
      {VK_NEXT, {}, 15}, {VK_PRIOR, {}, 8}, {VK_PRIOR, {}, 0}, {VK_END, {}, 19}, {VK_HOME, {}, 0},
  };
  for (const Press& p : presses) {
    unsigned short key = p.key;
    grid_->KeyDown(key, p.shift);
    EXPECT_EQ(list.FocusedRow(), p.row) << p.key;
  }
  unsigned short enter = VK_RETURN;
  grid_->KeyDown(enter, {});
  EXPECT_EQ(closes, std::vector<bool>{true});
}

}  // namespace
