#include "core/SafeFile.h"
#include "output/RLSpreadsheetFilters.h"
#include "pages/RLConsts.h"
#include "pages/RLDataTable.h"
#include "pages/RLUtils.h"

#include <xlsxwriter.h>

#include <locale.h>
#include <clocale>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <utility>

namespace {

// Columns no wider than this many characters: a long name should not push the rest out of sight.
constexpr int kMaxColumnChars = 60;

// The writer prints its numbers (cells, margins, widths) with the C library, which follows the locale: under the
// users' own a decimal comma would make the file unreadable. The "C" numbers hold on this thread while it writes.
class TCNumbers {
public:
  TCNumbers() : previous_(Locale() ? ::uselocale(Locale()) : locale_t{}) {}
  ~TCNumbers() {
    if (Locale()) ::uselocale(previous_);
  }
  TCNumbers(const TCNumbers&) = delete;
  TCNumbers& operator=(const TCNumbers&) = delete;

private:
  // The program's locale with "C" numbers, made once (none when the system cannot make it).
  static locale_t Locale() {
    static const locale_t locale = [] {
      locale_t base = ::duplocale(LC_GLOBAL_LOCALE);
      locale_t made = base ? ::newlocale(LC_NUMERIC_MASK, "C", base) : locale_t{};
      if (!made && base) ::freelocale(base);
      return made;
    }();
    return locale;
  }
  locale_t previous_;
};

void Check(lxw_error error, const std::string& fileName) {
  if (error != LXW_NO_ERROR) {
    throw EFileWriteError("Cannot write file \"" + fileName + "\": " + lxw_strerror(error));
  }
}

}  // namespace

// The workbook being written into the safe file's temporary file; dropped without a trace unless closed.
struct TRLXLSXFilter::TBook {
  explicit TBook(const std::string& fileName) : file(fileName) {}
  ~TBook() {
    if (workbook) lxw_workbook_free(workbook);
  }
  TSafeFile file;
  std::string tmpdir = TempDir();
  lxw_workbook* workbook = nullptr;
  lxw_worksheet* sheet = nullptr;
  lxw_format* bold = nullptr;
  lxw_format* date = nullptr;
  lxw_format* time = nullptr;
  lxw_format* date_time = nullptr;
  lxw_row_t row = 0;
  lxw_col_t columns = 0;
  std::string title;
};

TRLXLSXFilter::TRLXLSXFilter(TComponent* owner) : TRLSpreadsheetFilter(owner) {
  SetName("XLSXFilter");
  SetDisplayName(EngineMessages().msgExcelSpreadsheet);
  SetDefaultExt(".xlsx");
}

TRLXLSXFilter::~TRLXLSXFilter() = default;

void TRLXLSXFilter::StartTable(const TRLDataTable& table, const std::string& title) {
  const TCNumbers numbers;
  auto book = std::make_unique<TBook>(FileName());
  // Rows go to the disk as they are written, so a report of any length costs the same memory.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = book->tmpdir.data();
  book->workbook = workbook_new_opt(book->file.TempName().c_str(), &options);
  if (!book->workbook) Check(LXW_ERROR_CREATING_XLSX_FILE, FileName());
  const std::string sheet_name = SheetName(title);
  book->sheet = workbook_add_worksheet(book->workbook, sheet_name.c_str());
  if (!book->sheet) book->sheet = workbook_add_worksheet(book->workbook, "Relatório");
  if (!book->sheet) Check(LXW_ERROR_MEMORY_MALLOC_FAILED, FileName());
  book->bold = workbook_add_format(book->workbook);
  format_set_bold(book->bold);
  book->date = workbook_add_format(book->workbook);
  format_set_num_format(book->date, "dd/mm/yyyy");
  book->time = workbook_add_format(book->workbook);
  format_set_num_format(book->time, "hh:mm:ss");
  book->date_time = workbook_add_format(book->workbook);
  format_set_num_format(book->date_time, "dd/mm/yyyy hh:mm:ss");

  book->title = title.empty() ? sheet_name : title;
  lxw_doc_properties properties{};
  properties.title = book->title.data();
  properties.created = std::time(nullptr);
  Check(workbook_set_properties(book->workbook, &properties), FileName());

  // Widths go before the rows: the sheet's column list precedes its data in the file.
  book->columns = static_cast<lxw_col_t>(table.ColumnCount());
  for (lxw_col_t c = 0; c < book->columns; ++c) {
    const int chars = std::min(table.MaxChars()[c] + 2, kMaxColumnChars);
    Check(worksheet_set_column(book->sheet, c, c, chars, nullptr), FileName());
  }
  for (lxw_col_t c = 0; c < book->columns; ++c) {
    Check(worksheet_write_string(book->sheet, 0, c, table.Titles()[c].c_str(), book->bold), FileName());
  }
  worksheet_freeze_panes(book->sheet, 1, 0);
  book_ = std::move(book);
}

void TRLXLSXFilter::WriteRow(const TRLTableRow& row) {
  const TCNumbers numbers;
  TBook& book = *book_;
  ++book.row;
  for (std::size_t i = 0; i < row.Cells.size(); ++i) {
    const TRLTableCell& cell = row.Cells[i];
    const auto col = static_cast<lxw_col_t>(i);
    lxw_format* format = cell.Kind == TRLCellKind::Date       ? book.date
                         : cell.Kind == TRLCellKind::Time     ? book.time
                         : cell.Kind == TRLCellKind::DateTime ? book.date_time
                                                              : nullptr;
    const bool numeric = cell.Kind != TRLCellKind::Empty && cell.Kind != TRLCellKind::Text && std::isfinite(cell.Value);
    if (numeric) {
      Check(worksheet_write_number(book.sheet, book.row, col, cell.Value, format), FileName());
    } else if (!cell.Text.empty()) {
      // A string cell is never run, whatever it begins with.
      Check(worksheet_write_string(book.sheet, book.row, col, cell.Text.c_str(), nullptr), FileName());
    }
  }
}

void TRLXLSXFilter::FinishTable(bool completed) {
  std::unique_ptr<TBook> book = std::move(book_);
  if (!book || !completed) return;
  const TCNumbers numbers;
  if (book->columns > 0) {
    Check(worksheet_autofilter(book->sheet, 0, 0, book->row, static_cast<lxw_col_t>(book->columns - 1)), FileName());
  }
  lxw_workbook* workbook = std::exchange(book->workbook, nullptr);
  Check(workbook_close(workbook), FileName());
  book->file.Commit();
}
