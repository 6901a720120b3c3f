// Writes the client table acadclie of a demo database with made-up Brazilian clients.
// Usage: gen_demo_db DBFILE|CONNECTION [ROWS] [SEED]. The same ROWS and SEED always give the same rows. A libpq
// connection string ("host=... dbname=...") or URI ("postgresql://...") fills the table on a PostgreSQL server.

#include "demo/DemoClients.h"
#include "demo/DemoDatabase.h"

#include <libpq-fe.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr long long kDefaultRows = 600;
constexpr long long kMaxRows = 50'000'000;

bool ParseCount(const char* text, long long max, long long& out) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (errno || end == text || *end || v < 0 || v > max) return false;
  out = v;
  return true;
}

bool IsConnection(const std::string& target) {
  return target.find('=') != std::string::npos || target.rfind("postgresql://", 0) == 0 ||
         target.rfind("postgres://", 0) == 0;
}

bool PgCommand(PGconn* conn, const char* sql, ExecStatusType expected = PGRES_COMMAND_OK) {
  PGresult* r = PQexec(conn, sql);
  const bool ok = PQresultStatus(r) == expected;
  if (!ok) std::fprintf(stderr, "gen_demo_db: %s", PQresultErrorMessage(r));
  PQclear(r);
  return ok;
}

// Fills the table on a server in one transaction, the rows streamed with COPY.
int GeneratePg(const std::string& connection, long long rows, std::uint64_t seed) {
  PGconn* conn = PQconnectdb(connection.c_str());
  if (PQstatus(conn) != CONNECTION_OK) {
    std::fprintf(stderr, "gen_demo_db: cannot connect: %s", PQerrorMessage(conn));
    PQfinish(conn);
    return 1;
  }
  bool ok = PgCommand(conn, "SET client_encoding = 'UTF8'") && PgCommand(conn, "SET client_min_messages = warning") &&
            PgCommand(conn, "BEGIN") && PgCommand(conn, "DROP TABLE IF EXISTS acadclie") &&
            PgCommand(conn, demo::kCreateClientTable) && PgCommand(conn, "COPY acadclie FROM STDIN", PGRES_COPY_IN);
  std::string line;
  ok = ok && demo::EachClient(rows, seed, [&](const demo::ClientRow& row) {
         line.clear();
         for (int c = 0; c < 6; ++c) {
           if (c) line += '\t';
           for (char ch : row[c]) {
             if (ch == '\\' || ch == '\t' || ch == '\n' || ch == '\r') line += '\\';
             line += ch == '\t' ? 't' : ch == '\n' ? 'n' : ch == '\r' ? 'r' : ch;
           }
         }
         line += '\n';
         return PQputCopyData(conn, line.data(), static_cast<int>(line.size())) == 1;
       });
  if (PQputCopyEnd(conn, ok ? nullptr : "gen_demo_db stopped") != 1) ok = false;
  PGresult* copied = PQgetResult(conn);
  if (PQresultStatus(copied) != PGRES_COMMAND_OK) {
    if (ok) std::fprintf(stderr, "gen_demo_db: %s", PQresultErrorMessage(copied));
    ok = false;
  }
  PQclear(copied);
  while (PGresult* rest = PQgetResult(conn)) PQclear(rest);
  ok = ok && PgCommand(conn, "COMMIT");
  PQfinish(conn);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  long long rows = kDefaultRows, seed = 1;
  if (argc < 2 || argc > 4 || (argc > 2 && !ParseCount(argv[2], kMaxRows, rows)) ||
      (argc > 3 && !ParseCount(argv[3], INT64_MAX, seed))) {
    std::fprintf(stderr, "usage: gen_demo_db DBFILE|CONNECTION [ROWS (0..%lld, default %lld)] [SEED (default 1)]\n",
                 kMaxRows, kDefaultRows);
    return 2;
  }
  if (IsConnection(argv[1])) return GeneratePg(argv[1], rows, static_cast<std::uint64_t>(seed));
  const std::string error = demo::WriteClientDatabase(argv[1], rows, static_cast<std::uint64_t>(seed));
  if (error.empty()) return 0;
  std::fprintf(stderr, "gen_demo_db: %s\n", error.c_str());
  return 1;
}
