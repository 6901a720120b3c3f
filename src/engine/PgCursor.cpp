#include "engine/PgCursor.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "engine/Errors.h"
#include "engine/RecordLayout.h"

namespace engine::detail {

namespace {

// Type numbers of the server's built-in types.
constexpr Oid kBool = 16, kBytea = 17, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kBpchar = 1042, kVarchar = 1043, kNumeric = 1700;
constexpr long kNameChars = 63;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A bytea value in the server's hex output ("\x0aff"), decoded.
std::string DecodeBytea(const char* text, size_t length) {
  std::string bytes;
  if (length < 2 || text[0] != '\\' || text[1] != 'x') return std::string(text, length);
  for (size_t i = 2; i + 1 < length; i += 2) {
    const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) break;
    bytes += static_cast<char>(hi * 16 + lo);
  }
  return bytes;
}

}  // namespace

Status PgCursor::Open(PgConnection& conn, const std::string& sql, const PgParams& params,
                      std::unique_ptr<RowSource>& out) {
  std::unique_ptr<PgCursor> c(new PgCursor(conn));
  if (Status s = conn.BeginCursor(c->ticket_)) return s;
  PgResult result;
  if (Status s =
          conn.Exec("DECLARE " + c->ticket_.name + " SCROLL CURSOR FOR " + sql, &params, PGRES_COMMAND_OK, result))
    return s;
  c->ticket_.declared = true;
  if (Status s = c->Command("FETCH FORWARD " + std::to_string(kBatch) + " FROM " + c->ticket_.name, result)) return s;
  c->Describe(result.get());
  c->current_.rows = std::move(result);
  const std::int64_t n = c->current_.Count();
  c->serverNext_ = c->seen_ = n;
  if (n < kBatch) c->count_ = n;
  out = std::move(c);
  return status::Ok;
}

PgCursor::~PgCursor() { conn_.EndCursor(ticket_); }

void PgCursor::Describe(const PGresult* result) {
  const int n = Pq().PQnfields(result);
  for (int i = 0; i < n; ++i) {
    FieldDesc f;
    f.fieldNumber = static_cast<std::uint16_t>(i + 1);
    f.name = Pq().PQfname(result, i);
    const Oid type = Pq().PQftype(result, i);
    const int mod = Pq().PQfmod(result, i);
    long declared = 0;
    switch (type) {
      case kBool:
      case kInt2:
      case kInt4:
      case kInt8:
      case kOid: f.type = fld::Int64; break;
      case kFloat4:
      case kFloat8:
      case kNumeric: f.type = fld::Float; break;
      case kBytea: f.type = fld::VarBytes; break;
      case kName:
        f.type = fld::Text;
        declared = kNameChars;
        break;
      case kBpchar:
      case kVarchar:
        f.type = fld::Text;
        declared = mod >= 4 ? mod - 4 : 0;
        break;
      default: f.type = fld::Text; break;  // text, and every other type in its text form
    }
    SizeField(f, declared);
    fields_.push_back(std::move(f));
    types_.push_back(type);
  }
  record_.assign(PlaceFields(fields_), 0);
}

Status PgCursor::Command(const std::string& sql, PgResult& result) {
  if (Status s = conn_.CheckCursor(ticket_)) return s;
  const bool rows = sql.rfind("FETCH", 0) == 0;
  return conn_.Exec(sql, nullptr, rows ? PGRES_TUPLES_OK : PGRES_COMMAND_OK, result);
}

Status PgCursor::Read(std::int64_t first) {
  PgResult result;
  if (first != serverNext_) {
    if (Status s = Command("MOVE ABSOLUTE " + std::to_string(first) + " FROM " + ticket_.name, result)) return s;
    serverNext_ = first;
  }
  if (Status s = Command("FETCH FORWARD " + std::to_string(kBatch) + " FROM " + ticket_.name, result)) return s;
  const std::int64_t n = Pq().PQntuples(result.get());
  // A batch cut short ends the rows, when the row before it is known to exist.
  if (n < kBatch && (n > 0 || first <= seen_)) count_ = first + n;
  seen_ = std::max(seen_, first + n);
  serverNext_ = first + n;
  previous_ = std::move(current_);
  current_.rows = std::move(result);
  current_.first = first;
  return status::Ok;
}

void PgCursor::Layout(const Batch& batch, std::int64_t r) {
  std::uint8_t* record = record_.data();
  std::memset(record, 0, record_.size());
  const PGresult* rows = batch.rows.get();
  const int row = static_cast<int>(r - batch.first);
  for (size_t i = 0; i < fields_.size(); ++i) {
    const FieldDesc& f = fields_[i];
    const int col = static_cast<int>(i);
    if (Pq().PQgetisnull(rows, row, col)) {
      PutBlank(record, f);
      continue;
    }
    const char* text = Pq().PQgetvalue(rows, row, col);
    const auto length = static_cast<size_t>(Pq().PQgetlength(rows, row, col));
    switch (f.type) {
      case fld::Int64: {
        std::int64_t v = 0;
        if (types_[i] == kBool) v = text[0] == 't' ? 1 : 0;
        else std::from_chars(text, text + length, v);
        PutNumber(record, f, v);
        break;
      }
      case fld::Float: {
        double v = 0;
        std::from_chars(text, text + length, v);
        PutNumber(record, f, v);
        break;
      }
      case fld::VarBytes: {
        const std::string bytes = DecodeBytea(text, length);
        PutBytes(record, f, bytes.data(), bytes.size());
        break;
      }
      default: PutText(record, f, text, length); break;
    }
  }
  recordRow_ = r;
}

Status PgCursor::Fetch(std::int64_t r, const std::uint8_t*& record) {
  if (r < 0) return status::Bof;
  if (count_ >= 0 && r >= count_) return status::Eof;
  if (r != recordRow_) {
    const Batch* batch = current_.Holds(r) ? &current_ : previous_.Holds(r) ? &previous_ : nullptr;
    if (!batch) {
      // Forward, the batch that starts at the row; backward, the one that ends there.
      const std::int64_t first = r < current_.first ? std::max<std::int64_t>(0, r - kBatch + 1) : r;
      const bool far = std::abs(r - serverNext_) > 10 * kBatch;
      if (far && notify) notify(WaitState::Busy);
      const Status s = Read(first);
      if (far && notify) notify(WaitState::Idle);
      if (s) return s;
      if (!current_.Holds(r)) return status::Eof;
      batch = &current_;
    }
    Layout(*batch, r);
  }
  record = record_.data();
  return status::Ok;
}

Status PgCursor::FetchAll() {
  if (count_ >= 0) return status::Ok;
  if (notify) notify(WaitState::Busy);
  PgResult result;
  Status s = status::Ok;
  // After a move past the end the server's place is not known: start again from the last row known to exist.
  if (serverNext_ > seen_) {
    s = Command("MOVE ABSOLUTE " + std::to_string(seen_) + " FROM " + ticket_.name, result);
    if (s == status::Ok) serverNext_ = seen_;
  }
  if (s == status::Ok) s = Command("MOVE FORWARD ALL FROM " + ticket_.name, result);
  if (s == status::Ok) {
    const char* moved = Pq().PQcmdTuples(result.get());
    count_ = serverNext_ + (moved && *moved ? std::atoll(moved) : 0);
    seen_ = serverNext_ = count_;
  }
  if (notify) notify(WaitState::Idle);
  return s;
}

Status PgCursor::ExactCount(std::int64_t& count) {
  if (Status s = FetchAll()) return s;
  count = count_;
  return status::Ok;
}

}  // namespace engine::detail
