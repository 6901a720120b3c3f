#pragma once

// The grid of a lookup's drop-down: a header band, one row per record of the list data, the focused row
// highlighted; it scrolls vertically only and tells its owner when a row was chosen.

#include "core/Collections.h"
#include "lookup/cxCustomData.h"
#include "lookup/cxLookAndFeels.h"
#include "widgets/InputControl.h"
#include "widgets/Timer.h"

#include <functional>
#include <string>
#include <vector>

class TField;
class TcxCustomLookupGrid;

enum TcxGridLines { glBoth, glNone, glVertical, glHorizontal };

class TcxLookupGridColumn : public TCollectionItem {
public:
  explicit TcxLookupGridColumn(TCollection* collection) : TCollectionItem(collection) {}

  // The header text: the assigned caption, else what the column's data offers.
  std::string Caption() const;
  void SetCaption(const std::string& caption);
  bool IsCaptionStored() const { return caption_assigned_; }
  // The assigned width, else one computed from the data and the header; never below MinWidth.
  int Width() const;
  void SetWidth(int width);
  bool IsWidthStored() const { return width_assigned_; }
  int MinWidth() const { return min_width_; }
  void SetMinWidth(int width);
  bool Fixed() const { return fixed_; }
  void SetFixed(bool on);
  TAlignment HeaderAlignment() const { return header_alignment_; }
  void SetHeaderAlignment(TAlignment alignment);
  bool Sorting() const { return sorting_; }
  void SetSorting(bool on) { sorting_ = on; }
  TcxDataSortOrder SortOrder() const;
  void SetSortOrder(TcxDataSortOrder order);
  void Assign(const TPersistent& source) override;

  TcxCustomLookupGrid* Grid() const;

protected:
  void Changed();
  // The caption and width a column without assigned ones takes from its data.
  virtual std::string DefaultCaption() const { return {}; }
  virtual int DefaultWidth() const { return 64; }

private:
  std::string caption_;
  bool caption_assigned_ = false;
  int width_ = 0;
  bool width_assigned_ = false;
  int min_width_ = 20;
  bool fixed_ = false;
  TAlignment header_alignment_ = taLeftJustify;
  bool sorting_ = true;
};

class TcxLookupGridOptions : public TPersistent {
public:
  explicit TcxLookupGridOptions(TcxCustomLookupGrid* grid) : grid_(grid) {}
  bool AnsiSort() const { return ansi_sort_; }
  void SetAnsiSort(bool on);
  bool CaseInsensitive() const { return case_insensitive_; }
  void SetCaseInsensitive(bool on);
  bool ColumnSorting() const { return column_sorting_; }
  void SetColumnSorting(bool on);
  TcxGridLines GridLines() const { return grid_lines_; }
  void SetGridLines(TcxGridLines lines);
  bool RowSelect() const { return row_select_; }
  void SetRowSelect(bool on);
  bool ShowHeader() const { return show_header_; }
  void SetShowHeader(bool on);
  void Assign(const TPersistent& source) override;

private:
  void Changed();
  TcxCustomLookupGrid* grid_;
  bool ansi_sort_ = false;
  bool case_insensitive_ = false;
  bool column_sorting_ = true;
  TcxGridLines grid_lines_ = glBoth;
  bool row_select_ = true;
  bool show_header_ = true;
};

enum TcxAutoScrollDirection { asdNone, asdUp, asdDown };

class TcxCustomLookupGrid : public TInputControl {
public:
  explicit TcxCustomLookupGrid(TComponent* owner);
  ~TcxCustomLookupGrid() override;

  virtual TcxCustomDataController& DataController() = 0;
  virtual TCollection& ColumnCollection() = 0;
  int ColumnCount() { return ColumnCollection().Count(); }
  TcxLookupGridColumn* Column(int index) { return static_cast<TcxLookupGridColumn*>(ColumnCollection().Items(index)); }
  TcxLookupGridOptions& Options() { return options_; }
  TcxLookAndFeel& LookAndFeel() { return look_and_feel_; }
  const TcxCustomLookAndFeelPainter& Painter() const { return look_and_feel_.Painter(); }

  // A grid inside a drop-down: hot tracking on, no border of its own.
  bool IsPopupControl() const { return popup_control_; }
  void SetPopupControl(bool on);

  int TopRowIndex() const { return top_row_; }
  void SetTopRowIndex(int row);
  int FocusedColumn() const { return options_.RowSelect() ? -1 : focused_column_; }
  void SetFocusedColumn(int column);

  // Layout.
  int HeaderHeight();
  int RowHeight();
  // Rows wholly in view (at least 1 when one shows partly).
  int VisibleRowCount();
  int PreferredHeight(int rows) { return HeaderHeight() + rows * RowHeight(); }
  // A height made of whole rows (1 .. row count of them) below the header.
  int SnappedHeight(int height);
  int ColumnsWidth();
  // Left and right edge of each column after fitting to the client width.
  std::vector<std::pair<int, int>> ColumnBounds();
  // The row at a client point, or -1.
  int RowAtPoint(int x, int y);
  TRect RowRect(int row);
  void MakeFocusedRowVisible();
  void MakeRowVisible(int row);
  // The next mouse move without a pressed button only clears this lock.
  void LockPopupMouseMove() { popup_mouse_move_lock_ = true; }
  bool PopupMouseMoveLocked() const { return popup_mouse_move_lock_; }
  TcxAutoScrollDirection AutoScrollDirection() const { return auto_scroll_; }
  bool RowPressed() const { return row_pressed_; }

  // Re-lays out and repaints.
  void LayoutChanged();
  void BeginUpdate();
  void EndUpdate();

  TNotifyEvent OnClicked;
  std::function<void(TObject* sender, bool accept)> OnCloseUp;
  TNotifyEvent OnFocusedRowChanged;
  TNotifyEvent OnDataChanged;

  // Keys the grid handles when it has the focus itself.
  void KeyDown(unsigned short& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool MouseWheel(TShiftState shift, int delta) override;
  // One step of the automatic scrolling (the timer calls it every 50 ms).
  void AutoScrollStep();

protected:
  void Paint() override;
  void BoundsChanged() override;
  void FontChanged() override;
  void Scroll(TScrollCode code, int position) override;
  // Text of a cell and its alignment.
  virtual std::string CellText(int record, int column);
  virtual TAlignment CellAlignment(int /*column*/) { return taLeftJustify; }
  // The controller's rows changed or its focus moved.
  void ControllerDataChanged();
  void ControllerFocusChanged(int previous, int current);
  void ColumnsChanged();
  friend class TcxLookupGridColumn;
  friend class TcxLookupGridOptions;

private:
  int TextHeight(const char* text);
  void UpdateScrollBar();
  void CorrectTopRow();
  int HeaderAt(int x, int y);
  void HeaderClick(int column, TShiftState shift);
  void StopAutoScroll();

  TcxLookupGridOptions options_{this};
  TcxLookAndFeel look_and_feel_;
  int look_and_feel_listener_ = 0;
  int top_row_ = 0;
  int focused_column_ = 0;
  bool popup_control_ = false;
  bool row_pressed_ = false;
  bool popup_mouse_move_lock_ = false;
  TcxAutoScrollDirection auto_scroll_ = asdNone;
  TTimer* scroll_timer_ = nullptr;
  int update_count_ = 0;
  bool layout_pending_ = false;
};
