#include "demo/DemoDatabase.h"

#include "demo/DemoClients.h"

#include <sqlite3.h>

#include <memory>
#include <system_error>

namespace demo {

namespace {

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Runs statements that return no rows; returns the engine's complaint, or an empty text.
std::string Exec(sqlite3* db, const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return {};
  std::string error = message ? message : sqlite3_errmsg(db);
  sqlite3_free(message);
  return error;
}

// Fills the table of the file in one transaction.
std::string Fill(const std::filesystem::path& file, long long rows, std::uint64_t seed) {
  sqlite3* opened = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  Database db(opened);
  if (rc != SQLITE_OK) return "cannot open " + file.string() + ": " + sqlite3_errmsg(db.get());
  if (std::string error =
          Exec(db.get(), "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; BEGIN; DROP TABLE IF EXISTS acadclie;");
      !error.empty())
    return error;
  if (std::string error = Exec(db.get(), kCreateClientTable); !error.empty()) return error;
  sqlite3_stmt* prepared = nullptr;
  if (sqlite3_prepare_v2(db.get(), "INSERT INTO acadclie VALUES (?, ?, ?, ?, ?, ?)", -1, &prepared, nullptr) !=
      SQLITE_OK)
    return sqlite3_errmsg(db.get());
  Statement insert(prepared);
  const bool filled = EachClient(rows, seed, [&](const ClientRow& row) {
    for (int c = 0; c < 6; ++c)
      sqlite3_bind_text(insert.get(), c + 1, row[c].data(), static_cast<int>(row[c].size()), SQLITE_TRANSIENT);
    const bool done = sqlite3_step(insert.get()) == SQLITE_DONE;
    sqlite3_reset(insert.get());
    return done;
  });
  if (!filled) return sqlite3_errmsg(db.get());
  insert.reset();
  return Exec(db.get(), "COMMIT;");
}

}  // namespace

std::string WriteClientDatabase(const std::filesystem::path& file, long long rows, std::uint64_t seed) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) return Fill(file, rows, seed);
  const std::filesystem::path part = file.string() + ".part";
  std::filesystem::remove(part, ec);
  std::string error = Fill(part, rows, seed);
  if (error.empty()) {
    std::filesystem::rename(part, file, ec);
    if (ec) error = "cannot create " + file.string() + ": " + ec.message();
  }
  if (!error.empty()) std::filesystem::remove(part, ec);
  return error;
}

}  // namespace demo
