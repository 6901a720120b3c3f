// Times a full First..Eof pass of the client report's statement through TQuery, reading the six fields with AsString,
// against a bare sqlite3_step loop over the statement the engine hands to SQLite, in the same process. Then the same
// on a PostgreSQL server of its own (as the tests start one): the pass through TQuery against a bare libpq loop that
// reads the same statement through a server-side cursor, with the peak memory of a 1,000-row pass beside it.
// Usage: bench_engine [ROWS] [--no-server]   (default 1,000,000 rows; --no-server: the SQLite run only).
// Prints "key: value" lines ("pg_" ones for the server).

#include "data/DBTables.h"
#include "engine/Collation.h"
#include "engine/Dialect.h"
#include "engine/PgServer.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr const char* kStatement = "select codigo,nome,cidade,fone,fax,contato from acadclie order by cidade,nome";
constexpr const char* kLanguage = "pt_BR";
constexpr const char* kCollation = "LANGUAGE";
constexpr int kColumns = 6;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The generator built with this benchmark; next to the benchmark's own build tree when run from elsewhere.
std::filesystem::path Generator(const char* argv0) {
  std::filesystem::path built = RELCLIENTES_GEN_DEMO_DB;
  if (std::filesystem::exists(built)) return built;
  return std::filesystem::absolute(argv0).parent_path().parent_path() / "tools" / "gen_demo_db";
}

bool Generate(const std::filesystem::path& generator, const std::string& db, long long rows) {
  const std::string count = std::to_string(rows);
  const pid_t pid = fork();
  if (pid == 0) {
    const int devnull = ::open("/dev/null", O_WRONLY);
    if (devnull >= 0) dup2(devnull, 1);
    execl(generator.c_str(), generator.c_str(), db.c_str(), count.c_str(), "1", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int CollationCompare(void* collator, int na, const void* a, int nb, const void* b) {
  return static_cast<const engine::TextCollator*>(collator)->Compare(
      std::string_view(static_cast<const char*>(a), static_cast<size_t>(na)),
      std::string_view(static_cast<const char*>(b), static_cast<size_t>(nb)));
}

struct Pass {
  long long rows = 0;
  unsigned long long bytes = 0;  // of every value read, to show both passes read the same data
  double seconds = 0;
};

Pass QueryPass();

// Runs `body` in a child process, so that its peak memory is its own; a failure ends the child with status 1.
template <typename Body>
bool InChild(Body&& body) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    int rc = 1;
    try {
      rc = body();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "bench_engine: %s\n", e.what());
    }
    std::fflush(stdout);
    _exit(rc);
  }
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The SQL the engine's driver sends the server for the statement: read back from a prepared query would need the
// driver's internals, so it is made the same way here.
std::string ServerStatement(const char* collation) {
  engine::SqlTarget target;
  target.collation = collation;
  target.collateGroups = false;
  target.orderGroups = true;
  target.numberedParameters = true;
  engine::SqlSyntaxProblem problem;
  auto translated = engine::TranslateSql(kStatement, target, problem);
  return translated ? translated->sql : std::string();
}

Pass BarePgPass(const std::string& connection, const std::string& sql) {
  Pass pass;
  const auto start = std::chrono::steady_clock::now();
  PGconn* conn = PQconnectdb(connection.c_str());
  const auto exec = [&](const std::string& command) {
    PGresult* r = PQexec(conn, command.c_str());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
      std::fprintf(stderr, "bare pg: %s", PQresultErrorMessage(r));
    return r;
  };
  PQclear(exec("BEGIN"));
  PQclear(exec("DECLARE bare CURSOR FOR " + sql));
  for (;;) {
    PGresult* r = exec("FETCH FORWARD 1000 FROM bare");
    const int n = PQntuples(r);
    for (int row = 0; row < n; ++row) {
      for (int i = 0; i < kColumns; ++i) {
        PQgetvalue(r, row, i);
        pass.bytes += static_cast<unsigned>(PQgetlength(r, row, i));
      }
      ++pass.rows;
    }
    PQclear(r);
    if (n == 0) break;
  }
  PQclear(exec("COMMIT"));
  PQfinish(conn);
  pass.seconds = Seconds(start);
  return pass;
}

void WriteAlias(const std::filesystem::path& config, const std::string& connection) {
  std::ofstream(config)
      << "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=POSTGRESQL\n[\\DATABASES\\VERANTO\\DB OPEN]\nCONNECTION=" << connection
      << "\nLANGDRIVER=" << kLanguage << "\n";
}

// The server part: one database of 1,000 rows and one of `rows`, each pass in a process of its own.
int PostgresRuns(const std::filesystem::path& generator, const std::filesystem::path& config, long long rows) {
  enginetest::PgServer server;
  if (!server.Error().empty()) {
    std::printf("pg: not run (%s)\n", server.Error().c_str());
    return 1;
  }
  const std::string small = server.Connection("bench_small"), large = server.Connection("bench_large");
  for (const char* db : {"bench_small", "bench_large"})
    if (std::string error = server.Exec(
            std::string("CREATE DATABASE ") + db + " TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C'", "postgres");
        !error.empty()) {
      std::fprintf(stderr, "bench_engine: %s", error.c_str());
      return 1;
    }
  if (!Generate(generator, small, 1000) || !Generate(generator, large, rows)) {
    std::fprintf(stderr, "bench_engine: the demo data generator failed on the server\n");
    return 1;
  }
  server.Exec("VACUUM ANALYZE acadclie", "bench_small");
  server.Exec("VACUUM ANALYZE acadclie", "bench_large");
  setenv("RELCLIENTES_ENGINE_CONFIG", config.c_str(), 1);
  bool ok = InChild([&] {
    WriteAlias(config, small);
    const Pass pass = QueryPass();
    std::printf("pg_small_rows: %lld\n", pass.rows);
    std::printf("pg_small_peak_mb: %.1f\n", PeakMegabytes());
    return pass.rows == 1000 ? 0 : 1;
  });
  ok = InChild([&] {
         WriteAlias(config, large);
         const Pass query = QueryPass();
         Session()->Close();
         const double queryPeak = PeakMegabytes();
         const std::string sql = ServerStatement("pt_BR.utf8");
         const Pass bare = BarePgPass(large, sql);
         std::printf("pg_rows: %lld\n", query.rows);
         std::printf("pg_bare_sql: %s (through a cursor, 1000 rows a fetch)\n", sql.c_str());
         std::printf("pg_query_s: %.3f\n", query.seconds);
         std::printf("pg_bare_s: %.3f\n", bare.seconds);
         std::printf("pg_ratio: %.2f\n", bare.seconds > 0 ? query.seconds / bare.seconds : 0.0);
         std::printf("pg_same_data: %s\n", query.rows == bare.rows && query.bytes == bare.bytes ? "yes" : "NO");
         std::printf("pg_peak_mb: %.1f\n", queryPeak);
         return query.rows == bare.rows && query.bytes == bare.bytes ? 0 : 1;
       }) &&
       ok;
  return ok ? 0 : 1;
}

Pass QueryPass() {
  Pass pass;
  const auto start = std::chrono::steady_clock::now();
  TQuery query(nullptr);
  query.SetDatabaseName("VERANTO");
  query.SQL().Add(kStatement);
  query.Open();
  TField* fields[kColumns];
  for (int i = 0; i < kColumns; ++i) fields[i] = query.Fields(i);
  for (query.First(); !query.Eof(); query.Next()) {
    for (TField* field : fields) pass.bytes += field->AsString().size();
    ++pass.rows;
  }
  query.Close();
  pass.seconds = Seconds(start);
  return pass;
}

Pass BarePass(const std::filesystem::path& db, const std::string& sql) {
  Pass pass;
  const auto start = std::chrono::steady_clock::now();
  sqlite3* handle = nullptr;
  sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
  engine::TextCollator collator(kLanguage);
  sqlite3_create_collation_v2(handle, kCollation, SQLITE_UTF8, &collator, CollationCompare, nullptr);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(handle, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "bare: %s\n", sqlite3_errmsg(handle));
  }
  while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
    for (int i = 0; i < kColumns; ++i) {
      sqlite3_column_text(stmt, i);
      pass.bytes += static_cast<unsigned>(sqlite3_column_bytes(stmt, i));
    }
    ++pass.rows;
  }
  sqlite3_finalize(stmt);
  sqlite3_close(handle);
  pass.seconds = Seconds(start);
  return pass;
}

}  // namespace

int main(int argc, char** argv) {
  const long long rows = argc > 1 ? std::atoll(argv[1]) : 1'000'000;
  if (rows <= 0) {
    std::fprintf(stderr, "usage: bench_engine [ROWS] [--no-server]\n");
    return 2;
  }
  char pattern[] = "/tmp/bench-engine-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::filesystem::path dir = pattern;
  const std::filesystem::path db = dir / "veranto.db";
  const std::filesystem::path config = dir / "engine.cfg";
  if (!Generate(Generator(argv[0]), db, rows)) {
    std::fprintf(stderr, "bench_engine: the demo data generator failed\n");
    std::filesystem::remove_all(dir);
    return 1;
  }
  std::ofstream(config) << "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=STANDARD\nPATH=" << db.string()
                        << "\nLANGDRIVER=" << kLanguage << "\n";
  setenv("RELCLIENTES_ENGINE_CONFIG", config.c_str(), 1);

  engine::SqlSyntaxProblem problem;
  const std::string translated = engine::TranslateSql(kStatement, kCollation, problem).value_or(std::string());

  int status = 0;
  try {
    const Pass query = QueryPass();
    Session()->Close();
    const Pass bare = BarePass(db, translated);
    std::printf("rows: %lld\n", query.rows);
    std::printf("statement: %s\n", kStatement);
    std::printf("bare_sql: %s (the engine's translation for SQLite, with the %s collation registered)\n",
                translated.c_str(), kLanguage);
    std::printf("query_s: %.3f\n", query.seconds);
    std::printf("bare_s: %.3f\n", bare.seconds);
    std::printf("ratio: %.2f\n", bare.seconds > 0 ? query.seconds / bare.seconds : 0.0);
    std::printf("same_data: %s\n", query.rows == bare.rows && query.bytes == bare.bytes ? "yes" : "NO");
    std::printf("peak_mb: %.1f\n", PeakMegabytes());
    if (query.rows != bare.rows || query.bytes != bare.bytes) status = 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_engine: %s\n", e.what());
    status = 1;
  }
  const bool server = !(argc > 2 && std::string(argv[2]) == "--no-server");
  if (server && !InChild([&] { return PostgresRuns(Generator(argv[0]), config, rows); })) status = 1;
  std::filesystem::remove_all(dir);
  return status;
}
