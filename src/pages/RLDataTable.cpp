// A row in the table's file, in the process's own byte order (nobody else reads it):
//   Int32 page index, Int32 cell count n, then n cells: Byte kind, for numbers and date-times an 8-byte double,
//   then Int32 length and the text's bytes.

#include "pages/RLDataTable.h"

#include "core/Text.h"
#include "pages/RLStream.h"
#include "pages/RLUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

void PutInt32(std::string& out, std::int32_t value) { out.append(reinterpret_cast<const char*>(&value), 4); }

bool HasValue(TRLCellKind kind) { return kind != TRLCellKind::Empty && kind != TRLCellKind::Text; }

}  // namespace

TRLDataTable::TRLDataTable() = default;

TRLDataTable::~TRLDataTable() {
  if (fd_ >= 0) ::close(fd_);
}

int TRLDataTable::AddColumn(std::string title) {
  max_chars_.push_back(CharCount(title));
  titles_.push_back(std::move(title));
  return ColumnCount() - 1;
}

void TRLDataTable::OpenFile() {
  if (fd_ >= 0) return;
  std::string name;
  fd_ = CreateTempFile(name);
  // Unnamed from the start: the rows leave with the descriptor, whatever way the process ends.
  ::unlink(name.c_str());
}

void TRLDataTable::AddRow(const TRLTableRow& row) {
  if (row.Cells.size() > titles_.size()) throw std::logic_error("a table row has more cells than columns");
  PutInt32(pending_, row.PageIndex);
  PutInt32(pending_, static_cast<std::int32_t>(row.Cells.size()));
  for (std::size_t i = 0; i < row.Cells.size(); ++i) {
    const TRLTableCell& cell = row.Cells[i];
    pending_.push_back(static_cast<char>(cell.Kind));
    if (HasValue(cell.Kind)) pending_.append(reinterpret_cast<const char*>(&cell.Value), sizeof cell.Value);
    PutInt32(pending_, static_cast<std::int32_t>(cell.Text.size()));
    pending_ += cell.Text;
    if (cell.Text.size() > static_cast<std::size_t>(max_chars_[i])) {
      max_chars_[i] = std::max(max_chars_[i], CharCount(cell.Text));
    }
  }
  ++row_count_;
  if (pending_.size() >= kFlushSize) Flush();
}

void TRLDataTable::Flush() {
  if (pending_.empty()) return;
  OpenFile();
  const char* bytes = pending_.data();
  std::size_t left = pending_.size();
  while (left > 0) {
    const ssize_t written = ::pwrite(fd_, bytes, left, file_size_);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw ERLStreamError(std::string("Cannot write the report's table: ") + std::strerror(errno));
    bytes += written;
    left -= static_cast<std::size_t>(written);
    file_size_ += written;
  }
  pending_.clear();
}

TRLDataTable::TReader::TReader(const TRLDataTable& table) : table_(table) { const_cast<TRLDataTable&>(table).Flush(); }

bool TRLDataTable::TReader::Fill(std::size_t wanted) {
  if (buffer_.size() - pos_ >= wanted) return true;
  buffer_.erase(0, pos_);
  pos_ = 0;
  const std::size_t chunk = std::max(wanted, kFlushSize);
  while (buffer_.size() < wanted) {
    const std::size_t old = buffer_.size();
    buffer_.resize(old + chunk);
    const ssize_t got = ::pread(table_.fd_, buffer_.data() + old, chunk, file_offset_);
    if (got < 0 && errno == EINTR) {
      buffer_.resize(old);
      continue;
    }
    if (got < 0) throw ERLStreamError(std::string("Cannot read the report's table: ") + std::strerror(errno));
    buffer_.resize(old + static_cast<std::size_t>(got));
    file_offset_ += got;
    if (got == 0) return false;
  }
  return true;
}

bool TRLDataTable::TReader::Next(TRLTableRow& row) {
  if (rows_read_ >= table_.row_count_) return false;
  const auto take_int32 = [this] {
    if (!Fill(4)) throw ERLStreamError("The report's table ends early");
    std::int32_t value;
    std::memcpy(&value, buffer_.data() + pos_, 4);
    pos_ += 4;
    return value;
  };
  row.PageIndex = take_int32();
  const std::int32_t count = take_int32();
  row.Cells.resize(static_cast<std::size_t>(count));
  for (TRLTableCell& cell : row.Cells) {
    if (!Fill(1)) throw ERLStreamError("The report's table ends early");
    cell.Kind = static_cast<TRLCellKind>(buffer_[pos_++]);
    cell.Value = 0;
    if (HasValue(cell.Kind)) {
      if (!Fill(sizeof cell.Value)) throw ERLStreamError("The report's table ends early");
      std::memcpy(&cell.Value, buffer_.data() + pos_, sizeof cell.Value);
      pos_ += sizeof cell.Value;
    }
    const auto length = static_cast<std::size_t>(take_int32());
    if (!Fill(length)) throw ERLStreamError("The report's table ends early");
    cell.Text.assign(buffer_, pos_, length);
    pos_ += length;
  }
  row.Cells.resize(table_.titles_.size());
  ++rows_read_;
  return true;
}
