#include "core/SafeFile.h"
#include "output/RLSpreadsheetFilters.h"
#include "pages/RLConsts.h"
#include "pages/RLDataTable.h"

#include <optional>

namespace {

constexpr std::size_t kWriteSize = 1 << 16;

}  // namespace

struct TRLCSVFilter::TOutput {
  explicit TOutput(const std::string& fileName) : file(fileName) {}
  TSafeFile file;
  std::string buffer;

  void EndLine() {
    buffer += "\r\n";
    if (buffer.size() >= kWriteSize) Flush();
  }
  void Flush() {
    file.Write(buffer);
    buffer.clear();
  }
};

TRLCSVFilter::TRLCSVFilter(TComponent* owner) : TRLSpreadsheetFilter(owner) {
  SetName("CSVFilter");
  SetDisplayName(EngineMessages().msgSemicolonSeparatedText);
  SetDefaultExt(".csv");
}

TRLCSVFilter::~TRLCSVFilter() = default;

void TRLCSVFilter::StartTable(const TRLDataTable& table, const std::string&) {
  out_ = std::make_unique<TOutput>(FileName());
  out_->buffer = "\xEF\xBB\xBF";
  TRLTableCell title;
  title.Kind = TRLCellKind::Text;
  for (std::size_t i = 0; i < table.Titles().size(); ++i) {
    if (i > 0) out_->buffer += ';';
    title.Text = table.Titles()[i];
    out_->buffer += CsvField(title);
  }
  out_->EndLine();
}

void TRLCSVFilter::WriteRow(const TRLTableRow& row) {
  for (std::size_t i = 0; i < row.Cells.size(); ++i) {
    if (i > 0) out_->buffer += ';';
    out_->buffer += CsvField(row.Cells[i]);
  }
  out_->EndLine();
}

void TRLCSVFilter::FinishTable(bool completed) {
  std::unique_ptr<TOutput> out = std::move(out_);
  if (!out || !completed) return;
  out->Flush();
  out->file.Commit();
}
