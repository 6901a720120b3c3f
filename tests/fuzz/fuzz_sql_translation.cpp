// Feeds arbitrary text to the SQL dialect's translation, two ways. As a whole statement it either translates or
// says where it fails, inside the text. As the text of a double-quoted literal, which is how a city typed in the
// dialog reaches the query, the translated statement, run by SQLite, gives back exactly that text.
#include "engine/Collation.h"
#include "engine/Dialect.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

sqlite3* Database() {
  static sqlite3* db = [] {
    sqlite3* opened = nullptr;
    if (sqlite3_open(":memory:", &opened) != SQLITE_OK) std::abort();
    return opened;
  }();
  return db;
}

// The single value of a one-row, one-column statement.
std::string ValueOf(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(Database(), sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK)
    std::abort();
  if (sqlite3_step(stmt) != SQLITE_ROW) std::abort();
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, 0));
  std::string value(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, 0)));
  sqlite3_finalize(stmt);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  engine::SqlSyntaxProblem problem;
  if (!engine::TranslateSql(text, "LANGUAGE", problem) && (problem.offset > text.size() || problem.text.empty())) {
    std::abort();
  }

  if (std::memchr(text.data(), 0, text.size()) || !engine::IsValidUtf8(text)) return 0;
  std::string literal = "\"";
  for (char c : text) {
    literal += c;
    if (c == '"') literal += '"';
  }
  literal += '"';
  const auto translated = engine::TranslateSql("select " + literal + " as city", "LANGUAGE", problem);
  if (!translated) std::abort();
  if (ValueOf(*translated) != text) std::abort();
  return 0;
}
