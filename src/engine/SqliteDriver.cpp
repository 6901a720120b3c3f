// Driver "STANDARD": an alias names a SQLite database file whose tables are the local tables.

#include <sqlite3.h>

#include <algorithm>
#include <memory>

#include "engine/Collation.h"
#include "engine/Dialect.h"
#include "engine/Driver.h"
#include "engine/Errors.h"
#include "engine/SqliteCursor.h"

namespace engine::detail {

namespace {

constexpr const char* kCollationName = "LANGUAGE";

std::filesystem::path ResolvePath(const std::string& value, const std::filesystem::path& configFile) {
  std::filesystem::path p = value;
  if (value == "~" || value.rfind("~/", 0) == 0) {
    const char* home = std::getenv("HOME");
    p = std::filesystem::path(home ? home : "") / (value.size() > 2 ? value.substr(2) : std::string());
  }
  if (p.is_relative() && !configFile.empty()) p = configFile.parent_path() / p;
  return p;
}

int CollationCompare(void* collator, int na, const void* a, int nb, const void* b) {
  return static_cast<const TextCollator*>(collator)->Compare(
      std::string_view(static_cast<const char*>(a), static_cast<size_t>(na)),
      std::string_view(static_cast<const char*>(b), static_cast<size_t>(nb)));
}

class SqliteStatement final : public DriverStatement {
public:
  explicit SqliteStatement(sqlite3* db) : db_(db) {}
  ~SqliteStatement() override { sqlite3_finalize(stmt_); }

  Status Prepare(std::string_view sql) override {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    SqlSyntaxProblem problem;
    auto translated = TranslateSql(sql, kCollationName, problem);
    if (!translated) return Fail(status::SqlSyntax, {problem.text});
    sqlite3_stmt* prepared = nullptr;
    const int rc =
        sqlite3_prepare_v2(db_, translated->c_str(), static_cast<int>(translated->size()), &prepared, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(prepared);
      return FailSqlite(db_, rc);
    }
    if (!prepared) return Fail(status::SqlSyntax, {"The statement is empty"});
    stmt_ = prepared;
    sql_ = std::move(*translated);
    return status::Ok;
  }

  int ParameterCount() const override { return stmt_ ? sqlite3_bind_parameter_count(stmt_) : 0; }
  int ParameterIndex(std::string_view name) const override {
    return stmt_ ? sqlite3_bind_parameter_index(stmt_, std::string(name).c_str()) : 0;
  }
  bool ReturnsRows() const override { return stmt_ && sqlite3_column_count(stmt_) > 0; }

  Status Run(const std::vector<Binding>& bindings, std::int64_t& rowsAffected) override {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    int rc = ApplyBindings(stmt_, bindings);
    if (rc == SQLITE_OK) rc = sqlite3_step(stmt_);
    while (rc == SQLITE_ROW) rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    if (rc != SQLITE_DONE) return FailSqlite(db_, rc);
    rowsAffected = sqlite3_changes64(db_);
    return status::Ok;
  }

  Status Open(const std::vector<Binding>& bindings, std::unique_ptr<RowSource>& out) override {
    // The cursor runs its own copy of the statement, so it outlives the statement and a re-execution.
    sqlite3_stmt* own = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql_.c_str(), static_cast<int>(sql_.size()), &own, nullptr);
    if (rc == SQLITE_OK) rc = ApplyBindings(own, bindings);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(own);
      return FailSqlite(db_, rc);
    }
    return SqliteCursor::Open(db_, own, sql_, bindings, out);
  }

private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string sql_;
};

class SqliteConnection final : public Connection {
public:
  ~SqliteConnection() override { sqlite3_close_v2(db_); }

  std::string_view DriverType() const override { return kStandardDriver; }
  const std::string& Location() const override { return path_; }
  const std::string& Language() const override { return collator_->Language(); }

  // An alias with a PASSWORD entry admits statements once the open or the session offered that password.
  Status Admit(const std::vector<std::string>& sessionPasswords) override {
    if (unlocked_) return status::Ok;
    if (std::find(sessionPasswords.begin(), sessionPasswords.end(), requiredPassword_) == sessionPasswords.end())
      return Fail(status::PasswordNeeded, {"Alias: " + alias_});
    unlocked_ = true;
    return status::Ok;
  }

  std::unique_ptr<DriverStatement> NewStatement() override { return std::make_unique<SqliteStatement>(db_); }

  sqlite3* db_ = nullptr;
  std::string alias_, path_;
  std::unique_ptr<TextCollator> collator_;
  std::string requiredPassword_;
  bool unlocked_ = true;
};

}  // namespace

Status OpenSqlite(const OpenRequest& request, std::unique_ptr<Connection>& out) {
  const std::string* pathValue = FindEntry(request.params, "PATH");
  if (!pathValue || pathValue->empty())
    return Fail(status::ConfigInvalid, {"Alias " + request.alias + " has no PATH entry naming its database file",
                                        "Configuration file: " + request.configFile.string()});
  const std::filesystem::path file = ResolvePath(*pathValue, request.configFile);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    return Fail(std::filesystem::exists(file, ec) ? status::FileAccess : status::DatabaseFileNotFound,
                {"File: " + file.string(), "Alias: " + request.alias});

  auto conn = std::make_unique<SqliteConnection>();
  const int flags = (request.openMode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
  int rc = sqlite3_open_v2(file.c_str(), &conn->db_, flags, nullptr);  // closed by the connection on every way out
  sqlite3* raw = conn->db_;
  if (rc != SQLITE_OK) return FailSqlite(raw, rc, status::FileAccess, {"File: " + file.string()});
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, 2000);
  if (request.shareMode == ShareMode::Exclusive)
    sqlite3_exec(raw, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
  rc = sqlite3_exec(raw, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) return FailSqlite(raw, rc, status::FileAccess, {"File: " + file.string()});

  conn->collator_ = std::make_unique<TextCollator>(AliasLanguage(request.params));
  rc = sqlite3_create_collation_v2(raw, kCollationName, SQLITE_UTF8, conn->collator_.get(), CollationCompare, nullptr);
  if (rc != SQLITE_OK) return FailSqlite(raw, rc);

  if (const std::string* required = FindEntry(request.params, "PASSWORD"); required && !required->empty()) {
    conn->requiredPassword_ = *required;
    conn->unlocked_ = request.password == *required;
  }
  conn->alias_ = request.alias;
  conn->path_ = file.string();
  out = std::move(conn);
  return status::Ok;
}

}  // namespace engine::detail
