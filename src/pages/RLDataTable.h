#pragma once

// The report's data as a table: one row per printed detail, its cells typed, kept beside the pages so that a save
// filter can write the data rather than a picture of the pages.
//
// The report run fills the table: first the columns (their number and titles are known before the first row),
// then the rows in report order, each with the index of the page it was printed on. The rows go to a private
// temporary file (removed from the folder as soon as it is made, so it never outlives the process), so that a
// report of any length costs a bounded amount of memory. Once filled, any number of readers may walk the rows at
// the same time, on any thread; nobody adds rows then.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What a cell holds. A number or a date-time also keeps the text the report printed for it.
enum class TRLCellKind : std::uint8_t { Empty, Text, Number, Date, Time, DateTime };

struct TRLTableCell {
  TRLCellKind Kind = TRLCellKind::Empty;
  // Numbers as they are; dates and times as days since 30 December 1899 with the time of day as the fraction.
  double Value = 0;
  // The text as printed (display format applied).
  std::string Text;
};

struct TRLTableRow {
  int PageIndex = 0;
  // One cell per column, in column order.
  std::vector<TRLTableCell> Cells;
};

class TRLDataTable {
public:
  TRLDataTable();
  ~TRLDataTable();
  TRLDataTable(const TRLDataTable&) = delete;
  TRLDataTable& operator=(const TRLDataTable&) = delete;

  // Appends a column; its index is the number of columns before it.
  int AddColumn(std::string title);
  int ColumnCount() const { return static_cast<int>(titles_.size()); }
  const std::vector<std::string>& Titles() const { return titles_; }
  // The longest text of each column so far, title included, in characters (code points).
  const std::vector<int>& MaxChars() const { return max_chars_; }

  // Appends a row; missing cells at the end are empty, extra ones are an error (std::logic_error).
  void AddRow(const TRLTableRow& row);
  std::int64_t RowCount() const { return row_count_; }
  // Writes out the rows still buffered; readers see only what was flushed. Called by the reader's constructor.
  void Flush();

  // Walks the rows in order, from its own position in the file.
  class TReader {
  public:
    explicit TReader(const TRLDataTable& table);
    // The next row, or false at the end. Raises ERLStreamError when the file cannot be read.
    bool Next(TRLTableRow& row);

  private:
    bool Fill(std::size_t wanted);
    const TRLDataTable& table_;
    std::int64_t file_offset_ = 0;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::int64_t rows_read_ = 0;
  };

private:
  void OpenFile();

  std::vector<std::string> titles_;
  std::vector<int> max_chars_;
  std::int64_t row_count_ = 0;
  int fd_ = -1;
  std::int64_t file_size_ = 0;
  std::string pending_;
};
