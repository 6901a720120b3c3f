#include "output/RLSpreadsheetFilters.h"

#include "core/Exceptions.h"
#include "core/Translation.h"
#include "pages/RLMetaFile.h"

#include <chrono>
#include <cmath>
#include <cstdio>

// The table of a run and the next row of it not yet written: rows come in page order, so each page takes the
// rows up to its own and leaves the rest.
struct TRLSpreadsheetFilter::TRowSource {
  explicit TRowSource(std::shared_ptr<TRLDataTable> data) : table(std::move(data)), reader(*table) {}
  std::shared_ptr<TRLDataTable> table;
  TRLDataTable::TReader reader;
  TRLTableRow row;
  bool has_row = false;
  bool ended = false;

  // The next row when it lies on page `index` or before it; rows of later pages wait.
  const TRLTableRow* NextUpTo(int index) {
    if (!has_row && !ended) {
      has_row = reader.Next(row);
      ended = !has_row;
    }
    if (!has_row || row.PageIndex > index) return nullptr;
    has_row = false;
    return &row;
  }
};

TRLSpreadsheetFilter::TRLSpreadsheetFilter(TComponent* owner) : TRLCustomSaveFilter(owner) {}

TRLSpreadsheetFilter::~TRLSpreadsheetFilter() = default;

void TRLSpreadsheetFilter::BeginDoc() {
  std::shared_ptr<TRLDataTable> table = Pages()->DataTable();
  if (table->ColumnCount() == 0) {
    throw Exception(Translate("output",
                              "This report has no data for a spreadsheet: no detail band with texts was "
                              "printed in it (a report opened from an .rpf file keeps only the pages)."));
  }
  source_ = std::make_unique<TRowSource>(std::move(table));
  StartTable(*source_->table, Pages()->Title());
}

void TRLSpreadsheetFilter::DrawPage(TRLGraphicSurface& page) {
  const int index = page.PageIndex();
  // Rows of pages before the range are skipped, those of this page written.
  while (const TRLTableRow* row = source_->NextUpTo(index)) {
    if (row->PageIndex >= FromPageNo() - 1) WriteRow(*row);
  }
}

void TRLSpreadsheetFilter::EndDoc() {
  std::unique_ptr<TRowSource> source = std::move(source_);
  FinishTable(Completed());
}

TRLXLSXFilter& XLSXFilter() {
  static TRLXLSXFilter filter;
  return filter;
}

TRLCSVFilter& CSVFilter() {
  static TRLCSVFilter filter;
  return filter;
}

// ---- Pieces ---------------------------------------------------------------------------------------------------

bool LooksLikeFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

std::string CsvDateTime(const TRLTableCell& cell) {
  using namespace std::chrono;
  const double whole = std::floor(cell.Value);
  long long seconds = std::llround((cell.Value - whole) * 86400.0);
  long long days = static_cast<long long>(whole);
  if (seconds >= 86400) days += 1, seconds -= 86400;
  const year_month_day date{sys_days{year{1899} / December / 30} + std::chrono::days{days}};
  char text[32];
  std::string result;
  if (cell.Kind != TRLCellKind::Time) {
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    result = text;
  }
  if (cell.Kind != TRLCellKind::Date) {
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    if (!result.empty()) result += ' ';
    result += text;
  }
  return result;
}

namespace {

std::string CsvNumber(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  std::string result = text;
  for (char& c : result) {
    if (c == '.') c = ',';
  }
  return result;
}

std::string CsvText(const std::string& text) {
  std::string field = LooksLikeFormula(text) ? "'" + text : text;
  if (field.find_first_of(";\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + '"';
}

}  // namespace

std::string CsvField(const TRLTableCell& cell) {
  switch (cell.Kind) {
    case TRLCellKind::Empty: return {};
    case TRLCellKind::Number: return std::isfinite(cell.Value) ? CsvNumber(cell.Value) : CsvText(cell.Text);
    case TRLCellKind::Date:
    case TRLCellKind::Time:
    case TRLCellKind::DateTime: return CsvDateTime(cell);
    case TRLCellKind::Text: break;
  }
  return CsvText(cell.Text);
}

std::string SheetName(std::string_view title) {
  std::string name;
  int chars = 0;
  for (std::size_t i = 0; i < title.size() && chars < 31;) {
    const auto lead = static_cast<unsigned char>(title[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::string_view piece = title.substr(i, length);
    i += length;
    if (piece.size() == 1 && (lead < 0x20 || std::string_view("[]:*?/\\").find(piece[0]) != std::string_view::npos)) {
      continue;
    }
    name += piece;
    ++chars;
  }
  // Nor may it begin or end with an apostrophe, or be blank.
  while (!name.empty() && (name.front() == '\'' || name.front() == ' ')) name.erase(0, 1);
  while (!name.empty() && (name.back() == '\'' || name.back() == ' ')) name.pop_back();
  return name.empty() ? "Relatório" : name;
}
