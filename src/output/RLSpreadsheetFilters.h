#pragma once

// Save filters that write the report's data as a table rather than a picture of its pages: an Excel workbook
// (.xlsx) and a semicolon-separated text (.csv) as spreadsheets in a Brazilian locale open it.
//
// They write the data table that the report run records beside the pages (report/RLTableRecorder.h): one row per
// printed detail, the enclosing groups' texts leading. The page loop still drives them, so that the page range,
// the progress window and Cancel work as for any filter: each page writes the rows printed on it. The file takes
// its name only when the whole range was written; a run cut short leaves any earlier file as it was.

#include "output/RLFilters.h"

#include <memory>
#include <string>
#include <string_view>

class TRLDataTable;
struct TRLTableCell;
struct TRLTableRow;

class TRLSpreadsheetFilter : public TRLCustomSaveFilter {
public:
  explicit TRLSpreadsheetFilter(TComponent* owner = nullptr);
  ~TRLSpreadsheetFilter() override;

protected:
  // Opens the output and writes the title row.
  virtual void StartTable(const TRLDataTable& table, const std::string& title) = 0;
  virtual void WriteRow(const TRLTableRow& row) = 0;
  // Puts the file in place when `completed`, else drops it.
  virtual void FinishTable(bool completed) = 0;

  void BeginDoc() override;
  void EndDoc() override;
  void NewPage() override {}
  void DrawPage(TRLGraphicSurface& page) override;

private:
  struct TRowSource;
  std::unique_ptr<TRowSource> source_;
};

// The workbook: one sheet named after the report, a bold frozen title row, an autofilter over the table, columns
// as wide as their texts (up to a limit), numbers and dates as such, every text as a string, never a formula.
class TRLXLSXFilter : public TRLSpreadsheetFilter {
public:
  explicit TRLXLSXFilter(TComponent* owner = nullptr);
  ~TRLXLSXFilter() override;

protected:
  void StartTable(const TRLDataTable& table, const std::string& title) override;
  void WriteRow(const TRLTableRow& row) override;
  void FinishTable(bool completed) override;

private:
  struct TBook;
  std::unique_ptr<TBook> book_;
};

// UTF-8 with a byte-order mark, ";" between fields, CRLF line ends, quotes as RFC 4180 has them, numbers with a
// decimal comma, dates as dd/mm/yyyy; a text that a spreadsheet would take for a formula starts with "'".
class TRLCSVFilter : public TRLSpreadsheetFilter {
public:
  explicit TRLCSVFilter(TComponent* owner = nullptr);
  ~TRLCSVFilter() override;

protected:
  void StartTable(const TRLDataTable& table, const std::string& title) override;
  void WriteRow(const TRLTableRow& row) override;
  void FinishTable(bool completed) override;

private:
  struct TOutput;
  std::unique_ptr<TOutput> out_;
};

// The process's spreadsheet filters, created on first use, so that they are in the filter list.
TRLXLSXFilter& XLSXFilter();
TRLCSVFilter& CSVFilter();

// ---- The pieces, for the filters and their tests ----

// Whether a spreadsheet would run the text as a formula: it begins with "=", "+", "-", "@", a tab or a carriage
// return.
bool LooksLikeFormula(std::string_view text);
// One field of a .csv line, quoted when needed.
std::string CsvField(const TRLTableCell& cell);
// A date-time (days since 30 December 1899) as "dd/mm/yyyy", "hh:mm:ss" or both, by the cell's kind.
std::string CsvDateTime(const TRLTableCell& cell);
// A sheet name from the report's title: the characters a sheet name may not hold removed, at most 31 characters,
// "Relatório" when nothing is left.
std::string SheetName(std::string_view title);
