#pragma once
// The rows of a query on a PostgreSQL server (internal to the engine), read through a scrollable server-side
// cursor kBatch rows at a time. The last two batches stay on the client, so a forward pass of any length holds a
// bounded number of rows and short moves back cost nothing; a move further away asks the server for the batch
// around the row.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/PgConnection.h"

namespace engine::detail {

class PgCursor final : public RowSource {
public:
  static constexpr int kBatch = 1000;

  // Declares the cursor for a translated statement and reads its first batch.
  static Status Open(PgConnection& conn, const std::string& sql, const PgParams& params,
                     std::unique_ptr<RowSource>& out);
  ~PgCursor() override;
  PgCursor(const PgCursor&) = delete;
  PgCursor& operator=(const PgCursor&) = delete;

  const std::vector<FieldDesc>& Fields() const override { return fields_; }
  std::uint32_t RecordSize() const override { return static_cast<std::uint32_t>(record_.size()); }
  Status Fetch(std::int64_t r, const std::uint8_t*& record) override;
  Status FetchAll() override;
  Status ExactCount(std::int64_t& count) override;
  std::int64_t RowsSeen() const override { return count_ >= 0 ? count_ : seen_; }

private:
  struct Batch {
    PgResult rows;
    std::int64_t first = 0;  // row number of its first row
    std::int64_t Count() const { return rows ? Pq().PQntuples(rows.get()) : 0; }
    bool Holds(std::int64_t r) const { return r >= first && r < first + Count(); }
  };

  explicit PgCursor(PgConnection& conn) : conn_(conn) {}
  void Describe(const PGresult* result);
  // Reads the batch that starts at row `first`.
  Status Read(std::int64_t first);
  Status Command(const std::string& sql, PgResult& result);
  void Layout(const Batch& batch, std::int64_t r);

  PgConnection& conn_;
  PgConnection::CursorTicket ticket_;
  std::vector<FieldDesc> fields_;
  std::vector<Oid> types_;
  std::vector<std::uint8_t> record_;
  std::int64_t recordRow_ = -1;  // the row laid out in record_
  Batch current_, previous_;
  std::int64_t serverNext_ = 0;  // the row the server's next FETCH FORWARD returns
  std::int64_t seen_ = 0;        // rows known to exist
  std::int64_t count_ = -1;      // the row count once known
};

}  // namespace engine::detail
