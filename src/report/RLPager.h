#pragma once

// Pagers lay bands out on pages; a group repeats its bands while its key stays the same; a skipper walks a
// dataset. The page mechanics live in RLPagination.cpp, the data loop in RLDataLoop.cpp.

#include "report/RLBand.h"

#include <array>
#include <vector>

class TDataSource;
class TDataSet;

// The bands of one pager by type, each list ordered by Top (equal Tops keep their insertion order), with a
// printed-on-this-page flag per type.
class TRLSortedBands {
public:
  void Clear();
  // Inserts before the first band whose Top is greater.
  void Add(TRLCustomBand* band);
  const std::vector<TRLCustomBand*>& List(TRLBandType type) const { return lists_[type]; }
  bool Printed(TRLBandType type) const { return printed_[type]; }
  void SetPrinted(TRLBandType type, bool value) { printed_[type] = value; }
  void ResetPrinted();
  // Every flag but the title's.
  void ResetPage();

private:
  std::array<std::vector<TRLCustomBand*>, BandTypeCount> lists_;
  std::array<bool, BandTypeCount> printed_{};
};

// What PrintBands did with a band list.
enum TRLPrintBandsResult { pbrNone, pbrDone, pbrAborted };

class TRLCustomPager : public TRLCustomBandSet {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<TRLCustomPager>()};

public:
  using ClassBitOwner = TRLCustomPager;
  explicit TRLCustomPager(TComponent* owner);

  TRLAllowedBands AllowedBands() const { return allowed_bands_; }
  void SetAllowedBands(TRLAllowedBands value) { allowed_bands_ = value; }
  int MaxBands() const { return max_bands_; }
  void SetMaxBands(int value) { max_bands_ = value; }
  int MinBands() const { return min_bands_; }
  void SetMinBands(int value) { min_bands_ = value; }
  bool ForceMinBands() const { return force_min_bands_; }
  void SetForceMinBands(bool value) { force_min_bands_ = value; }
  TRLFooterMeasuring FooterMeasuring() const { return footer_measuring_; }
  void SetFooterMeasuring(TRLFooterMeasuring value) { footer_measuring_ = value; }
  // Groups only publish it.
  TRLPageBreaking PageBreaking() const { return page_breaking_; }
  void SetPageBreaking(TRLPageBreaking value) { page_breaking_ = value; }

  // ---- State of a run, kept for the page mechanics ----
  // Computable detail bands printed here and in nested pagers since the last reset.
  int DetailCount() const { return detail_count_; }
  void SetDetailCount(int value) { detail_count_ = value; }
  TRLSortedBands& SortedBands() { return sorted_bands_; }
  // Where the next band goes, in pixels from the top of the pager's surface.
  int CurrentRow() const { return current_row_; }
  void SetCurrentRow(int value) { current_row_ = value; }
  int DetailsInPage() const { return details_in_page_; }
  void SetDetailsInPage(int value) { details_in_page_ = value; }
  bool NewPageNeeded() const { return new_page_needed_; }
  void SetNewPageNeeded(bool value) { new_page_needed_ = value; }
  TRLCustomControl* NewPageCaller() const { return new_page_caller_; }
  void SetNewPageCaller(TRLCustomControl* value) { new_page_caller_ = value; }
  bool DataPrinted() const { return data_printed_; }
  void SetDataPrinted(bool value) { data_printed_ = value; }
  bool Completing() const { return completing_; }
  void SetCompleting(bool value) { completing_ = value; }
  // Groups reach down to the lowest row their parent allows.
  bool GrowsToBottom() const { return grows_to_bottom_; }
  void SetGrowsToBottom(bool value) { grows_to_bottom_ = value; }

  // Rebuilds the sorted band lists here and in every nested pager.
  void RegisterBands();
  // Printed flags, results of the children, detail count and page state back to the start of a run.
  virtual void ResetPager();
  // Data-printed, details on the page and the pending page break cleared; the row at the top frame.
  void ResetPageState();

  void ResetResults() override;
  // A band's results: one more detail here and in the enclosing pagers (through the groups).
  void ComputeResults(TRLCustomControl* caller) override;

  // ---- Pagination ----
  // Rows on this pager's surface below which footers, bottom-aligned summaries and column footers must go.
  int FooterLimit();
  int SummaryLimit();
  int ColumnFooterLimit();
  // ColumnFooterLimit() <= SummaryLimit() <= FooterLimit(). For assertions.
  bool LimitsAreOrdered();
  // The row the details must not pass so that the column footers still to close this page (here and in the
  // pagers above) fit: the footer limit, or the column footer limit when one of them is aligned to the bottom,
  // less the heights of those printed in place.
  int DetailLimit();
  // Whether `height` pixels fit above the detail limit from the current row; `room` is what is left.
  bool HasRoom(int height, int& room);
  TRLPrintBandsResult PrintBands(TRLBandType type);
  void PrintBand(TRLCustomBand* band);
  void PrintHeaders();
  // One record: nested groups, then the detail bands.
  void PrintDetails();
  void PrintFooters(bool final);
  // Fills the rest of the page with blank copies of the completion band.
  void Complete();
  // End of the pager's run: completion, footers (with summaries), close.
  void Finish();
  // Ends the page and starts the next one. With `keep_pager` this pager is not closed: what it holds moves
  // with it to the new page.
  void NewPage(TRLCustomControl* caller, bool keep_pager);
  // Whether the pager may be closed by a break taken before a band is placed.
  bool CanBreak() const;
  // Footer bands of this pager and the enclosing ones re-measured (footer measuring).
  void MeasureFooters();

protected:
  void PrepareOpen() override;
  void ComputePrintRect() override;
  void PrintContents() override;
  void PrintClosing() override;
  void BeforeTransfer() override;
  void AfterClose() override;
  // Sum of the print tops of this pager and every site above it.
  int AbsolutePrintTop() const;
  // True while NewPage closes this pager only to open it again at once, with nothing run in between that could read
  // its surface: what the surface holds may then be handed over instead of copied.
  bool ClosingToReopen() const { return closing_to_reopen_; }

private:
  TRLAllowedBands allowed_bands_;
  int detail_count_ = 0;
  TRLSortedBands sorted_bands_;
  int max_bands_ = 0;
  int min_bands_ = 0;
  int current_row_ = 0;
  int details_in_page_ = 0;
  bool new_page_needed_ = false;
  TRLPageBreaking page_breaking_ = pbNone;
  TRLCustomControl* new_page_caller_ = nullptr;
  bool force_min_bands_ = false;
  TRLFooterMeasuring footer_measuring_ = fmNone;
  bool data_printed_ = false;
  bool completing_ = false;
  bool grows_to_bottom_ = false;
  bool closing_to_reopen_ = false;
};

class TRLCustomGroup : public TRLCustomPager {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<TRLCustomGroup>()};

public:
  using ClassBitOwner = TRLCustomGroup;
  explicit TRLCustomGroup(TComponent* owner);

  // Field names separated by ";". Setting one of DataFields and DataFormula clears the other.
  const std::string& DataFields() const { return data_fields_; }
  void SetDataFields(const std::string& value);
  const std::string& DataFormula() const { return data_formula_; }
  void SetDataFormula(const std::string& value);
  TRLOnGetBreakEvent OnGetBreak;
  // A formula whose value names the group in the report's outline; empty: the texts of its header's first line.
  const std::string& OutlineText() const { return outline_text_; }
  void SetOutlineText(const std::string& value) { outline_text_ = value; }

  const std::string& LastKey() const { return last_key_; }
  void SetLastKey(const std::string& value) { last_key_ = value; }
  bool Broken() const { return broken_; }
  void SetBroken(bool value) { broken_ = value; }

  // The group's key for the current record: the formula's value as text, or the fields' texts joined; empty
  // without an active dataset. A field the dataset lacks raises "<msgNotFound>: <name>.DataField "<field>"".
  std::string GroupKey();
  // Whether the current record starts a new instance of the group; stored as Broken.
  bool CheckBreak();

  void ComputeResults(TRLCustomControl* caller) override;
  // The group's run: its bands repeat for every record while the key stays the same.
  void Print() override;
  // A header band of the group is being placed at `row` of the group on the current page; the first of a group
  // instance makes its outline entry, unless its text is empty.
  void HeaderPlaced(const TRLGraphicSurface& header, int row);

private:
  std::string OutlineEntryText(const TRLGraphicSurface& header);

  std::string data_fields_;
  std::string data_formula_;
  std::string outline_text_;
  // Set from the start of an instance until its first header is placed, and once that header made an entry.
  bool outline_pending_ = false;
  bool outline_entered_ = false;
  std::string last_key_;
  bool broken_ = false;
};

class TRLGroup : public TRLCustomGroup {
public:
  using TRLCustomGroup::TRLCustomGroup;
};

class TRLCustomSkipper : public TRLCustomPager {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<TRLCustomSkipper>()};

public:
  using ClassBitOwner = TRLCustomSkipper;
  explicit TRLCustomSkipper(TComponent* owner);
  ~TRLCustomSkipper() override;

  TDataSource* DataSource() const { return data_source_; }
  void SetDataSource(TDataSource* value);
  // The data source's dataset, or null.
  TDataSet* DataSet() const;
  TRLRecordRange RecordRange() const { return record_range_; }
  void SetRecordRange(TRLRecordRange value) { record_range_ = value; }
  int RangeCount() const { return range_count_; }
  void SetRangeCount(int value) { range_count_ = value; }
  bool PrintEmpty() const { return print_empty_; }
  void SetPrintEmpty(bool value) { print_empty_ = value; }

  TRLOnDataCountEvent OnDataCount;
  TRLOnDataRecordEvent OnDataRecord;
  TRLOnNeedDataEvent OnNeedData;

  // ---- State of the data loop ----
  TRLRecordAction RecordAction() const { return record_action_; }
  void SetRecordAction(TRLRecordAction value) { record_action_ = value; }
  bool DataEnd() const { return data_end_; }
  void SetDataEnd(bool value) { data_end_ = value; }
  int RecNo() const { return rec_no_; }
  void SetRecNo(int value) { rec_no_ = value; }
  int CopyNo() const { return copy_no_; }
  void SetCopyNo(int value) { copy_no_ = value; }
  bool RecordMoved() const { return record_moved_; }
  void SetRecordMoved(bool value) { record_moved_ = value; }

  // Records to expect: OnDataCount, else the active dataset's RecordCount, else 0.
  int DataCount();
  // Moves to the first record of the range (and past ignored ones); DataEnd tells whether there is one.
  void DataFirst();
  // Moves on after the record just printed, as its record action says.
  virtual void DataNext();
  // A skipper printed inside another pager: its own data loop.
  void Print() override;

protected:
  // The data loop shared by a nested skipper and the report: every record through PrintDetails.
  void RunDataLoop();
  // After the loop: with PrintEmpty and no detail printed, the headers still print.
  void PrintEmptyRule();
  void Notification(TComponent* component, TOperation operation) override;

private:
  // The next record, with the dataset or OnNeedData; false at the end.
  bool FetchNext();
  // The range tests, the record event and the skipping of ignored records.
  void AcceptRecord(bool more);

  TRLRecordAction record_action_ = raUseIt;
  TDataSource* data_source_ = nullptr;
  bool data_end_ = true;
  int rec_no_ = 0;
  int copy_no_ = 0;
  bool record_moved_ = false;
  TRLRecordRange record_range_ = rrAllRecords;
  int range_count_ = 0;
  bool print_empty_ = false;
};
