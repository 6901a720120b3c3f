#include "engine/SqliteCursor.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/Dialect.h"
#include "engine/Errors.h"
#include "engine/RecordLayout.h"

namespace engine::detail {

namespace {

std::string Upper(const char* s) {
  std::string r(s ? s : "");
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

// The first number in parentheses of a declared type such as VARCHAR(35); 0 when there is none.
long DeclaredSize(const std::string& decl) {
  const size_t open = decl.find('(');
  if (open == std::string::npos) return 0;
  long n = 0;
  for (size_t i = open + 1; i < decl.size(); ++i) {
    const char c = decl[i];
    if (c == ' ') continue;
    if (c < '0' || c > '9') break;
    n = std::min(n * 10 + (c - '0'), 1000000L);
  }
  return n;
}

void Describe(FieldDesc& f, const char* declType, int firstRowType) {
  const std::string decl = Upper(declType);
  const long declared = DeclaredSize(decl);
  if (declType) {
    if (decl.find("INT") != std::string::npos) f.type = fld::Int64;
    else if (decl.find("CHAR") != std::string::npos || decl.find("CLOB") != std::string::npos ||
             decl.find("TEXT") != std::string::npos)
      f.type = fld::Text;
    else if (decl.find("BLOB") != std::string::npos) f.type = fld::VarBytes;
    else if (decl.find("REAL") != std::string::npos || decl.find("FLOA") != std::string::npos ||
             decl.find("DOUB") != std::string::npos)
      f.type = fld::Float;
    else f.type = fld::Text;
  } else {
    // An expression: its first value tells the type.
    switch (firstRowType) {
      case SQLITE_INTEGER: f.type = fld::Int64; break;
      case SQLITE_FLOAT: f.type = fld::Float; break;
      case SQLITE_BLOB: f.type = fld::VarBytes; break;
      default: f.type = fld::Text; break;
    }
  }
  SizeField(f, declared);
}

std::string CountStatement(const std::string& sql) {
  std::string inner = WithoutFinalOrderBy(sql);
  while (!inner.empty() && (inner.back() == ';' || inner.back() == ' ' || inner.back() == '\n' ||
                            inner.back() == '\t' || inner.back() == '\r'))
    inner.pop_back();
  return "SELECT count(*) FROM (" + inner + "\n)";
}

}  // namespace

int ApplyBindings(sqlite3_stmt* stmt, const std::vector<Binding>& bindings) {
  for (const auto& b : bindings) {
    const int index = b.index > 0 ? b.index : sqlite3_bind_parameter_index(stmt, b.name.c_str());
    if (index <= 0 || index > sqlite3_bind_parameter_count(stmt)) continue;  // not in this statement
    int rc = SQLITE_OK;
    if (std::holds_alternative<std::monostate>(b.value)) rc = sqlite3_bind_null(stmt, index);
    else if (auto* i = std::get_if<std::int64_t>(&b.value)) rc = sqlite3_bind_int64(stmt, index, *i);
    else if (auto* d = std::get_if<double>(&b.value)) rc = sqlite3_bind_double(stmt, index, *d);
    else {
      const auto& s = std::get<std::string>(b.value);
      rc = sqlite3_bind_text64(stmt, index, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

Status SqliteCursor::Open(sqlite3* db, sqlite3_stmt* stmt, std::string sql, std::vector<Binding> bindings,
                          std::unique_ptr<RowSource>& out) {
  std::unique_ptr<SqliteCursor> c(new SqliteCursor);
  c->db_ = db;
  c->stmt_ = stmt;
  c->sql_ = std::move(sql);
  c->bindings_ = std::move(bindings);
  const int rc = sqlite3_step(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return FailSqlite(db, rc);

  const int n = sqlite3_column_count(stmt);
  for (int i = 0; i < n; ++i) {
    FieldDesc f;
    f.fieldNumber = static_cast<std::uint16_t>(i + 1);
    const char* name = sqlite3_column_name(stmt, i);
    f.name = name ? name : "";
    Describe(f, sqlite3_column_decltype(stmt, i), rc == SQLITE_ROW ? sqlite3_column_type(stmt, i) : SQLITE_NULL);
    c->fields_.push_back(std::move(f));
  }
  c->recordSize_ = PlaceFields(c->fields_);
  c->window_.assign(static_cast<size_t>(kWindow), std::vector<std::uint8_t>(c->recordSize_));
  if (rc == SQLITE_ROW) {
    c->Layout(c->window_[0].data());
    c->stepped_ = 1;
  } else {
    c->done_ = true;
  }
  out = std::move(c);
  return status::Ok;
}

SqliteCursor::~SqliteCursor() { sqlite3_finalize(stmt_); }

void SqliteCursor::Layout(std::uint8_t* record) {
  std::memset(record, 0, recordSize_);
  for (size_t i = 0; i < fields_.size(); ++i) {
    const FieldDesc& f = fields_[i];
    const int col = static_cast<int>(i);
    if (sqlite3_column_type(stmt_, col) == SQLITE_NULL) {
      PutBlank(record, f);
      continue;
    }
    switch (f.type) {
      case fld::Int64: PutNumber<std::int64_t>(record, f, sqlite3_column_int64(stmt_, col)); break;
      case fld::Float: PutNumber<double>(record, f, sqlite3_column_double(stmt_, col)); break;
      case fld::VarBytes: {
        const void* p = sqlite3_column_blob(stmt_, col);
        PutBytes(record, f, p, p ? static_cast<size_t>(sqlite3_column_bytes(stmt_, col)) : 0);
        break;
      }
      default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        PutText(record, f, p, p ? static_cast<size_t>(sqlite3_column_bytes(stmt_, col)) : 0);
        break;
      }
    }
  }
}

Status SqliteCursor::Restart() {
  sqlite3_reset(stmt_);
  stepped_ = 0;
  validFrom_ = 0;
  done_ = false;
  return status::Ok;
}

Status SqliteCursor::Fetch(std::int64_t r, const std::uint8_t*& record) {
  if (r < 0) return status::Bof;
  if (r < stepped_ && r >= std::max(validFrom_, stepped_ - kWindow)) {
    record = window_[static_cast<size_t>(r % kWindow)].data();
    return status::Ok;
  }
  if (done_ && r >= stepped_) return status::Eof;
  const bool farJump = r < stepped_ || r - stepped_ > 10000;
  if (farJump && notify) notify(WaitState::Busy);
  if (r < stepped_) Restart();
  Status s = status::Ok;
  while (stepped_ <= r) {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
      // Rows that will not be in the window are skipped without reading their values.
      if (stepped_ > r - kWindow) Layout(window_[static_cast<size_t>(stepped_ % kWindow)].data());
      else validFrom_ = stepped_ + 1;
      ++stepped_;
    } else if (rc == SQLITE_DONE) {
      done_ = true;
      s = status::Eof;
      break;
    } else {
      s = FailSqlite(db_, rc);
      Restart();
      break;
    }
  }
  if (farJump && notify) notify(WaitState::Idle);
  if (s == status::Ok) record = window_[static_cast<size_t>(r % kWindow)].data();
  return s;
}

Status SqliteCursor::FetchAll() {
  if (done_) return status::Ok;
  if (notify) notify(WaitState::Busy);
  Status s = status::Ok;
  for (;;) {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
      Layout(window_[static_cast<size_t>(stepped_ % kWindow)].data());
      ++stepped_;
    } else if (rc == SQLITE_DONE) {
      done_ = true;
      break;
    } else {
      s = FailSqlite(db_, rc);
      Restart();
      break;
    }
  }
  if (notify) notify(WaitState::Idle);
  return s;
}

Status SqliteCursor::ExactCount(std::int64_t& count) {
  if (done_) {
    count = stepped_;
    return status::Ok;
  }
  if (notify) notify(WaitState::Busy);
  struct Idle {
    SqliteCursor* c;
    ~Idle() {
      if (c->notify) c->notify(WaitState::Idle);
    }
  } idle{this};

  sqlite3_stmt* counter = nullptr;
  const std::string countSql = CountStatement(sql_);
  if (sqlite3_prepare_v2(db_, countSql.c_str(), static_cast<int>(countSql.size()), &counter, nullptr) == SQLITE_OK &&
      ApplyBindings(counter, bindings_) == SQLITE_OK && sqlite3_step(counter) == SQLITE_ROW) {
    count = sqlite3_column_int64(counter, 0);
    sqlite3_finalize(counter);
    return status::Ok;
  }
  sqlite3_finalize(counter);

  // Not a plain query (a PRAGMA, for instance): count by running a copy of the statement.
  sqlite3_stmt* copy = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql_.c_str(), static_cast<int>(sql_.size()), &copy, nullptr);
  if (rc == SQLITE_OK) rc = ApplyBindings(copy, bindings_);
  std::int64_t n = 0;
  while (rc == SQLITE_OK && (rc = sqlite3_step(copy)) == SQLITE_ROW) {
    ++n;
    rc = SQLITE_OK;
  }
  sqlite3_finalize(copy);
  if (rc != SQLITE_DONE) return FailSqlite(db_, rc);
  count = n;
  return status::Ok;
}

}  // namespace engine::detail
