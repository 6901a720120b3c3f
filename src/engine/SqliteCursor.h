#pragma once
// The rows of one SQLite statement (internal to the engine).
//
// Rows are read by stepping the statement; the last kWindow rows stay laid out as record buffers, so a forward
// pass of any length holds a bounded amount of memory and short moves back cost nothing. A move further back
// runs the statement again from the start and steps to the row (rows are addressed by their position).

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Driver.h"

namespace engine::detail {

int ApplyBindings(sqlite3_stmt* stmt, const std::vector<Binding>& bindings);

class SqliteCursor final : public RowSource {
public:
  static constexpr std::int64_t kWindow = 64;

  // Takes ownership of `stmt`, already bound; steps it once to learn the types of expression columns.
  // On failure records the error and returns its status, and `stmt` is finalized.
  static Status Open(sqlite3* db, sqlite3_stmt* stmt, std::string sql, std::vector<Binding> bindings,
                     std::unique_ptr<RowSource>& out);
  ~SqliteCursor() override;
  SqliteCursor(const SqliteCursor&) = delete;
  SqliteCursor& operator=(const SqliteCursor&) = delete;

  const std::vector<FieldDesc>& Fields() const override { return fields_; }
  std::uint32_t RecordSize() const override { return recordSize_; }
  Status Fetch(std::int64_t r, const std::uint8_t*& record) override;
  Status FetchAll() override;
  Status ExactCount(std::int64_t& count) override;
  std::int64_t RowsSeen() const override { return stepped_; }

private:
  SqliteCursor() = default;
  void Layout(std::uint8_t* record);
  Status Restart();

  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  std::string sql_;
  std::vector<Binding> bindings_;
  std::vector<FieldDesc> fields_;
  std::uint32_t recordSize_ = 0;
  std::vector<std::vector<std::uint8_t>> window_;
  std::int64_t stepped_ = 0;    // rows the statement has delivered since it last started
  std::int64_t validFrom_ = 0;  // rows before this one were skipped without being laid out
  bool done_ = false;           // the statement has delivered its last row; stepped_ is the count
};

}  // namespace engine::detail
