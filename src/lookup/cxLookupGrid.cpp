#include "lookup/cxLookupGrid.h"

#include "graphics/Canvas.h"

#include <algorithm>

// ---- TcxLookupGridColumn ----

TcxCustomLookupGrid* TcxLookupGridColumn::Grid() const {
  return Collection() ? dynamic_cast<TcxCustomLookupGrid*>(Collection()->Owner()) : nullptr;
}

std::string TcxLookupGridColumn::Caption() const { return caption_assigned_ ? caption_ : DefaultCaption(); }

void TcxLookupGridColumn::SetCaption(const std::string& caption) {
  caption_ = caption;
  caption_assigned_ = true;
  Changed();
}

int TcxLookupGridColumn::Width() const { return std::max(width_assigned_ ? width_ : DefaultWidth(), min_width_); }

void TcxLookupGridColumn::SetWidth(int width) {
  width_ = std::max(width, min_width_);
  width_assigned_ = true;
  Changed();
}

void TcxLookupGridColumn::SetMinWidth(int width) {
  min_width_ = std::max(width, 0);
  if (width_assigned_ && width_ < min_width_) width_ = min_width_;
  Changed();
}

void TcxLookupGridColumn::SetFixed(bool on) {
  fixed_ = on;
  Changed();
}

void TcxLookupGridColumn::SetHeaderAlignment(TAlignment alignment) {
  header_alignment_ = alignment;
  Changed();
}

TcxDataSortOrder TcxLookupGridColumn::SortOrder() const {
  TcxCustomLookupGrid* grid = Grid();
  if (!grid || Index() >= grid->DataController().ItemCount()) return soNone;
  return grid->DataController().SortOrder(Index());
}

void TcxLookupGridColumn::SetSortOrder(TcxDataSortOrder order) {
  TcxCustomLookupGrid* grid = Grid();
  if (!grid || Index() >= grid->DataController().ItemCount()) return;
  grid->DataController().SetSortOrder(Index(), order);
}

void TcxLookupGridColumn::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TcxLookupGridColumn*>(&source);
  if (!other) return TPersistent::Assign(source);
  caption_ = other->caption_;
  caption_assigned_ = other->caption_assigned_;
  width_ = other->width_;
  width_assigned_ = other->width_assigned_;
  min_width_ = other->min_width_;
  fixed_ = other->fixed_;
  header_alignment_ = other->header_alignment_;
  sorting_ = other->sorting_;
  Changed();
}

void TcxLookupGridColumn::Changed() {
  if (TcxCustomLookupGrid* grid = Grid()) grid->LayoutChanged();
}

// ---- TcxLookupGridOptions ----

void TcxLookupGridOptions::SetAnsiSort(bool on) {
  ansi_sort_ = on;
  grid_->DataController().SetAnsiSort(on);
  Changed();
}

void TcxLookupGridOptions::SetCaseInsensitive(bool on) {
  case_insensitive_ = on;
  grid_->DataController().SetCaseInsensitive(on);
  Changed();
}

void TcxLookupGridOptions::SetColumnSorting(bool on) {
  column_sorting_ = on;
  Changed();
}

void TcxLookupGridOptions::SetGridLines(TcxGridLines lines) {
  grid_lines_ = lines;
  Changed();
}

void TcxLookupGridOptions::SetRowSelect(bool on) {
  row_select_ = on;
  Changed();
}

void TcxLookupGridOptions::SetShowHeader(bool on) {
  show_header_ = on;
  Changed();
}

void TcxLookupGridOptions::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TcxLookupGridOptions*>(&source);
  if (!other) return TPersistent::Assign(source);
  SetAnsiSort(other->ansi_sort_);
  SetCaseInsensitive(other->case_insensitive_);
  column_sorting_ = other->column_sorting_;
  grid_lines_ = other->grid_lines_;
  row_select_ = other->row_select_;
  show_header_ = other->show_header_;
  Changed();
}

void TcxLookupGridOptions::Changed() { grid_->LayoutChanged(); }

// ---- TcxCustomLookupGrid ----

TcxCustomLookupGrid::TcxCustomLookupGrid(TComponent* owner) : TInputControl(owner) {
  // The layout waits for the data of the concrete grid: its constructor ends this update.
  BeginUpdate();
  SetBounds(0, 0, 250, 200);
  SetParentColor(false);
  SetColor(clWindow);
  look_and_feel_listener_ = look_and_feel_.AddChangeListener([this] { LayoutChanged(); });
  scroll_timer_ = new TTimer(this);
  scroll_timer_->SetEnabled(false);
  scroll_timer_->SetInterval(50);
  scroll_timer_->OnTimer = [this](TObject*) { AutoScrollStep(); };
}

TcxCustomLookupGrid::~TcxCustomLookupGrid() {
  Destroying();
  look_and_feel_.RemoveChangeListener(look_and_feel_listener_);
  DestroyWidget();
}

void TcxCustomLookupGrid::SetPopupControl(bool on) {
  popup_control_ = on;
  LayoutChanged();
}

void TcxCustomLookupGrid::SetFocusedColumn(int column) {
  column = std::clamp(column, 0, std::max(0, ColumnCount() - 1));
  if (column == focused_column_) return;
  focused_column_ = column;
  Invalidate();
}

int TcxCustomLookupGrid::TextHeight(const char* text) {
  Canvas().SetFont(Font());
  return Canvas().TextHeight(text);
}

int TcxCustomLookupGrid::HeaderHeight() {
  if (!options_.ShowHeader() || ColumnCount() == 0) return 0;
  return Painter().HeaderBandHeight(TextHeight("Qq"));
}

int TcxCustomLookupGrid::RowHeight() {
  const bool line = options_.GridLines() == glBoth || options_.GridLines() == glHorizontal;
  return TextHeight("Zg") + 2 + 2 + (line ? 1 : 0);
}

int TcxCustomLookupGrid::VisibleRowCount() {
  const int rows = DataController().RowCount();
  if (ColumnCount() == 0 || rows == 0) return 0;
  const int space = ClientHeight() - HeaderHeight();
  const int whole = std::max(0, space / RowHeight());
  const int left = rows - top_row_;
  if (whole >= left) return left;
  return std::max(whole, space > 0 ? 1 : 0);
}

int TcxCustomLookupGrid::SnappedHeight(int height) {
  const int rows = std::clamp((height - HeaderHeight()) / RowHeight(), 1, std::max(1, DataController().RowCount()));
  return HeaderHeight() + rows * RowHeight();
}

int TcxCustomLookupGrid::ColumnsWidth() {
  int sum = 0;
  for (int i = 0; i < ColumnCount(); ++i) sum += Column(i)->Width();
  return sum;
}

std::vector<std::pair<int, int>> TcxCustomLookupGrid::ColumnBounds() {
  const int count = ColumnCount();
  std::vector<int> widths(static_cast<std::size_t>(count));
  std::vector<bool> done(static_cast<std::size_t>(count), false);
  int available = ClientWidth();
  int total = 0;
  for (int i = 0; i < count; ++i) {
    widths[static_cast<std::size_t>(i)] = Column(i)->Width();
    if (Column(i)->Fixed()) {
      done[static_cast<std::size_t>(i)] = true;
      available -= widths[static_cast<std::size_t>(i)];
    } else {
      total += widths[static_cast<std::size_t>(i)];
    }
  }
  // Shares by cumulative rounding add up to the available width exactly; a column whose minimum is at least its
  // share takes the minimum and the others share again.
  for (bool clamped = true; clamped && total > 0;) {
    clamped = false;
    int sum = 0;
    std::vector<int> shares(static_cast<std::size_t>(count), 0);
    for (int i = 0; i < count; ++i) {
      if (done[static_cast<std::size_t>(i)]) continue;
      const int w = Column(i)->Width();
      const int share = MulDiv(sum + w, available, total) - MulDiv(sum, available, total);
      sum += w;
      shares[static_cast<std::size_t>(i)] = share;
      if (Column(i)->MinWidth() >= share) {
        widths[static_cast<std::size_t>(i)] = Column(i)->MinWidth();
        done[static_cast<std::size_t>(i)] = true;
        available -= Column(i)->MinWidth();
        total -= w;
        clamped = true;
        break;
      }
    }
    if (!clamped) {
      for (int i = 0; i < count; ++i) {
        if (!done[static_cast<std::size_t>(i)])
          widths[static_cast<std::size_t>(i)] = shares[static_cast<std::size_t>(i)];
      }
    }
  }
  std::vector<std::pair<int, int>> bounds;
  int x = 0;
  for (int w : widths) {
    bounds.emplace_back(x, x + w);
    x += w;
  }
  return bounds;
}

TRect TcxCustomLookupGrid::RowRect(int row) {
  const int top = HeaderHeight() + (row - top_row_) * RowHeight();
  const auto bounds = ColumnBounds();
  const int right = bounds.empty() ? 0 : bounds.back().second;
  return {0, top, right, top + RowHeight()};
}

int TcxCustomLookupGrid::RowAtPoint(int x, int y) {
  const int header = HeaderHeight();
  if (y < header || y >= ClientHeight() || x < 0 || x >= ClientWidth() || ColumnCount() == 0) return -1;
  const int row = top_row_ + (y - header) / RowHeight();
  return row < DataController().RowCount() ? row : -1;
}

int TcxCustomLookupGrid::HeaderAt(int x, int y) {
  if (y < 0 || y >= HeaderHeight()) return -1;
  const auto bounds = ColumnBounds();
  for (std::size_t i = 0; i < bounds.size(); ++i) {
    if (x >= bounds[i].first && x < bounds[i].second) return static_cast<int>(i);
  }
  return -1;
}

void TcxCustomLookupGrid::SetTopRowIndex(int row) {
  const int rows = DataController().RowCount();
  const int whole = std::max(1, (ClientHeight() - HeaderHeight()) / std::max(1, RowHeight()));
  row = std::clamp(row, 0, std::max(0, rows - std::min(whole, rows)));
  if (row == top_row_) return;
  top_row_ = row;
  // The list moved under a still mouse: the next move is no choice of the user.
  popup_mouse_move_lock_ = true;
  UpdateScrollBar();
  Invalidate();
}

void TcxCustomLookupGrid::CorrectTopRow() {
  const int rows = DataController().RowCount();
  const int whole = std::max(1, (ClientHeight() - HeaderHeight()) / std::max(1, RowHeight()));
  if (top_row_ > 0 && rows - top_row_ < whole) top_row_ = std::max(0, rows - whole);
  if (top_row_ >= rows) top_row_ = std::max(0, rows - 1);
}

void TcxCustomLookupGrid::MakeRowVisible(int row) {
  if (row < 0) return;
  if (row < top_row_) {
    SetTopRowIndex(row);
    return;
  }
  const int whole = std::max(1, (ClientHeight() - HeaderHeight()) / std::max(1, RowHeight()));
  if (row > top_row_ + whole - 1) SetTopRowIndex(row - whole + 1);
}

void TcxCustomLookupGrid::MakeFocusedRowVisible() { MakeRowVisible(DataController().FocusedRow()); }

void TcxCustomLookupGrid::UpdateScrollBar() {
  const int rows = DataController().RowCount();
  const int whole = std::max(1, (Height() - HeaderHeight()) / std::max(1, RowHeight()));
  SetVScrollBar(rows > whole, rows, std::min(whole, rows), top_row_);
}

void TcxCustomLookupGrid::LayoutChanged() {
  if (update_count_ > 0) {
    layout_pending_ = true;
    return;
  }
  CorrectTopRow();
  UpdateScrollBar();
  Invalidate();
}

void TcxCustomLookupGrid::BeginUpdate() { ++update_count_; }

void TcxCustomLookupGrid::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  if (layout_pending_) {
    layout_pending_ = false;
    LayoutChanged();
  }
}

void TcxCustomLookupGrid::BoundsChanged() { LayoutChanged(); }
void TcxCustomLookupGrid::FontChanged() {
  TInputControl::FontChanged();
  LayoutChanged();
}

void TcxCustomLookupGrid::ControllerDataChanged() {
  LayoutChanged();
  if (OnDataChanged) OnDataChanged(this);
}

void TcxCustomLookupGrid::ControllerFocusChanged(int previous, int current) {
  if (current != previous) MakeRowVisible(current);
  Invalidate();
  if (current != previous && OnFocusedRowChanged) OnFocusedRowChanged(this);
}

void TcxCustomLookupGrid::ColumnsChanged() { LayoutChanged(); }

std::string TcxCustomLookupGrid::CellText(int record, int column) {
  if (column >= DataController().ItemCount()) return {};
  return DataController().GetDisplayText(record, column);
}

void TcxCustomLookupGrid::Scroll(TScrollCode code, int position) {
  const int page = std::max(1, VisibleRowCount() - 1);
  switch (code) {
    case scLineUp: SetTopRowIndex(top_row_ - 1); break;
    case scLineDown: SetTopRowIndex(top_row_ + 1); break;
    case scPageUp: SetTopRowIndex(top_row_ - page); break;
    case scPageDown: SetTopRowIndex(top_row_ + page); break;
    case scPosition:
    case scTrack: SetTopRowIndex(position); break;
    case scTop: SetTopRowIndex(0); break;
    case scBottom: SetTopRowIndex(DataController().RowCount()); break;
    case scEndScroll: break;
  }
}

// ---- painting ----

void TcxCustomLookupGrid::Paint() {
  TCanvas& canvas = Canvas();
  const TcxCustomLookAndFeelPainter& painter = Painter();
  const int width = ClientWidth(), height = ClientHeight();
  const auto bounds = ColumnBounds();
  const int columns_right = bounds.empty() ? 0 : bounds.back().second;
  const int header = HeaderHeight();
  TcxCustomDataController& data = DataController();

  for (std::size_t i = 0; i < bounds.size() && header > 0; ++i) {
    const int c = static_cast<int>(i);
    canvas.SetFont(Font());
    painter.DrawHeader(canvas, {bounds[i].first, 0, bounds[i].second, header}, Column(c)->Caption(),
                       Column(c)->HeaderAlignment(), Column(c)->SortOrder(), i == 0, i > 0, i + 1 < bounds.size());
  }
  const TcxGridLines lines = options_.GridLines();
  const int row_height = RowHeight();
  const int rows = data.RowCount();
  int y = header;
  for (int row = top_row_; row < rows && y < height && !bounds.empty(); ++row, y += row_height) {
    const int record = data.RowRecord(row);
    const bool highlighted = row == data.FocusedRow() && data.FocusedRowSelected();
    const bool last_row = row == rows - 1;
    for (std::size_t i = 0; i < bounds.size(); ++i) {
      const int c = static_cast<int>(i);
      TRect cell{bounds[i].first, y, bounds[i].second, y + row_height};
      const bool right_line =
          lines == glBoth || lines == glVertical || (lines == glHorizontal && i + 1 == bounds.size());
      const bool bottom_line =
          lines == glBoth || lines == glHorizontal || (lines == glVertical && last_row && y + row_height != height);
      canvas.Brush().SetStyle(bsSolid);
      canvas.Brush().SetColor(clBtnFace);
      if (right_line) {
        canvas.FillRect({cell.Right - 1, cell.Top, cell.Right, cell.Bottom});
        --cell.Right;
      }
      if (bottom_line) {
        canvas.FillRect({cell.Left, cell.Bottom - 1, cell.Right + (right_line ? 1 : 0), cell.Bottom});
        --cell.Bottom;
      }
      const bool plain_cell = !options_.RowSelect() && c == FocusedColumn();
      const bool selected = highlighted && !plain_cell;
      canvas.Brush().SetColor(selected ? painter.SelectionFaceColor() : Color());
      canvas.FillRect(cell);
      const TRect text_rect = InflatedRect(cell, -1, -1);
      canvas.SetFont(Font());
      canvas.Font().SetColor(selected ? painter.SelectionTextColor() : Font().Color());
      const std::string text = CellText(record, c);
      if (!text.empty() && text_rect.Width() > 0) {
        const TSize size = canvas.TextExtent(text);
        const TAlignment alignment = CellAlignment(c);
        int x = text_rect.Left + 1;
        if (alignment == taRightJustify) x = text_rect.Right - 1 - size.cx;
        else if (alignment == taCenter) x = text_rect.Left + (text_rect.Width() - size.cx) / 2;
        canvas.Brush().SetStyle(bsClear);
        canvas.TextRect(text_rect, x, text_rect.Top + (text_rect.Height() - size.cy) / 2, text);
        canvas.Brush().SetStyle(bsSolid);
      }
    }
    if (row == data.FocusedRow() && (Focused() || popup_control_)) {
      TRect content{0, y, columns_right, y + row_height};
      if (lines == glBoth || lines == glHorizontal) --content.Bottom;
      DrawFocusDots(canvas, content, highlighted ? painter.SelectionTextColor() : Font().Color());
    }
  }
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(Color());
  if (columns_right < width) canvas.FillRect({columns_right, 0, width, height});
  if (y < height) canvas.FillRect({0, std::max(y, header), columns_right, height});
}

// ---- mouse and keys ----

void TcxCustomLookupGrid::HeaderClick(int column, TShiftState shift) {
  if (!options_.ColumnSorting() || !Column(column)->Sorting() || column >= DataController().ItemCount()) return;
  TcxCustomDataController& data = DataController();
  data.BeginUpdate();
  if (shift.Contains(ssCtrl)) {
    data.SetSortOrder(column, soNone);
  } else {
    const TcxDataSortOrder order = data.SortOrder(column) == soAscending ? soDescending : soAscending;
    if (!shift.Contains(ssShift)) {
      for (int i = 0; i < data.ItemCount(); ++i) {
        if (i != column) data.SetSortOrder(i, soNone);
      }
    }
    data.SetSortOrder(column, order);
  }
  data.EndUpdate();
  MakeFocusedRowVisible();
  Invalidate();
}

void TcxCustomLookupGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button != mbLeft) return;
  if (const int header = HeaderAt(x, y); header >= 0) {
    HeaderClick(header, shift);
    return;
  }
  const int row = RowAtPoint(x, y);
  if (row < 0) return;
  DataController().SetFocusedRow(row);
  DataController().SetFocusedRowSelected(true);
  if (!options_.RowSelect()) {
    const auto bounds = ColumnBounds();
    for (std::size_t i = 0; i < bounds.size(); ++i) {
      if (x >= bounds[i].first && x < bounds[i].second) SetFocusedColumn(static_cast<int>(i));
    }
  }
  row_pressed_ = true;
  if (OnClicked) OnClicked(this);
}

void TcxCustomLookupGrid::MouseMove(TShiftState shift, int x, int y) {
  if (!shift.Contains(ssLeft)) {
    if (popup_mouse_move_lock_) {
      popup_mouse_move_lock_ = false;
      return;
    }
    if (!popup_control_) return;
    const int row = RowAtPoint(x, y);
    if (row < 0) return;
    DataController().SetFocusedRow(row);
    DataController().SetFocusedRowSelected(true);
    return;
  }
  if (!row_pressed_) return;
  const int header = HeaderHeight();
  const int rows_bottom = std::min(ClientHeight(), header + (DataController().RowCount() - top_row_) * RowHeight());
  TcxAutoScrollDirection direction = asdNone;
  if (y < header) direction = asdUp;
  else if (y >= rows_bottom) direction = asdDown;
  if (direction != asdNone) {
    if (auto_scroll_ != direction) {
      auto_scroll_ = direction;
      scroll_timer_->SetEnabled(true);
    }
    return;
  }
  StopAutoScroll();
  const int row = RowAtPoint(x, y);
  if (row >= 0) {
    DataController().SetFocusedRow(row);
    DataController().SetFocusedRowSelected(true);
  }
}

void TcxCustomLookupGrid::StopAutoScroll() {
  auto_scroll_ = asdNone;
  scroll_timer_->SetEnabled(false);
}

void TcxCustomLookupGrid::AutoScrollStep() {
  TcxCustomDataController& data = DataController();
  if (auto_scroll_ == asdNone || data.RowCount() == 0) return;
  int row;
  if (auto_scroll_ == asdUp) row = std::max(0, top_row_ - 1);
  else row = std::min(data.RowCount() - 1, top_row_ + VisibleRowCount());
  data.SetFocusedRow(row);
  data.SetFocusedRowSelected(true);
  MakeRowVisible(row);
}

void TcxCustomLookupGrid::MouseUp(TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft || !row_pressed_) return;
  row_pressed_ = false;
  StopAutoScroll();
  const bool accept = RowAtPoint(x, y) >= 0;
  if (OnCloseUp) OnCloseUp(this, accept);
}

bool TcxCustomLookupGrid::MouseWheel(TShiftState, int delta) {
  if (delta == 0) return false;
  SetTopRowIndex(top_row_ + (delta > 0 ? -1 : 1));
  return true;
}

void TcxCustomLookupGrid::KeyDown(unsigned short& key, TShiftState shift) {
  TcxCustomDataController& data = DataController();
  auto focus = [&](int row) {
    data.SetFocusedRow(row);
    data.SetFocusedRowSelected(data.FocusedRow() >= 0);
    MakeFocusedRowVisible();
  };
  switch (key) {
    case VK_RETURN:
      if (OnCloseUp) OnCloseUp(this, data.FocusedRow() >= 0);
      break;
    case VK_UP: focus(data.FocusedRow() - 1 < 0 ? 0 : data.FocusedRow() - 1); break;
    case VK_DOWN: focus(data.FocusedRow() + 1); break;
    case VK_PRIOR:
      MakeFocusedRowVisible();
      if (data.FocusedRow() == top_row_) SetTopRowIndex(top_row_ - std::max(1, VisibleRowCount()));
      focus(top_row_);
      break;
    case VK_NEXT: {
      MakeFocusedRowVisible();
      const int last = top_row_ + VisibleRowCount() - 1;
      if (data.FocusedRow() == last) SetTopRowIndex(top_row_ + std::max(1, VisibleRowCount()));
      focus(top_row_ + VisibleRowCount() - 1);
      break;
    }
    case VK_HOME:
    case VK_END:
      if (shift.Contains(ssCtrl) || options_.RowSelect()) focus(key == VK_HOME ? 0 : data.RowCount() - 1);
      else SetFocusedColumn(key == VK_HOME ? 0 : ColumnCount() - 1);
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (!options_.RowSelect()) SetFocusedColumn(focused_column_ + (key == VK_LEFT ? -1 : 1));
      break;
    default: return;
  }
  key = 0;
}
