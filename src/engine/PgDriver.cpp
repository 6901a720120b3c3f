// Driver "POSTGRESQL": an alias names a database on a PostgreSQL server, reached through libpq.
//
// The alias's entries: CONNECTION (a libpq connection string or URI), and, overriding its parts, HOST (a name,
// an address or a socket folder), PORT, DATABASE NAME and USER NAME; LANGDRIVER orders texts as on SQLite, through
// the server's collation for that language (COLLATION names one outright). The password is the one the open is
// given, else libpq's password file; a server that asks for one when none was given gets the session's login.
// STATEMENT TIMEOUT (seconds, 0 for none; 5 minutes when absent) bounds the wait for the answer to each statement.

#include <algorithm>
#include <charconv>
#include <memory>

#include "engine/Dialect.h"
#include "engine/Errors.h"
#include "engine/PgConnection.h"
#include "engine/PgCursor.h"
#include "engine/PgLibrary.h"

namespace engine::detail {

namespace {

// Seconds a statement may wait for the server when the alias has no STATEMENT TIMEOUT entry.
constexpr int kDefaultStatementTimeout = 5 * 60;

class PgStatement final : public DriverStatement {
public:
  explicit PgStatement(PgConnection& conn) : conn_(conn) {}

  Status Prepare(std::string_view sql) override {
    returnsRows_ = false;
    if (Status s = conn_.Usable()) return s;
    SqlTarget target;
    target.collation = conn_.Collation();
    target.collateGroups = false;  // grouping by a collated term would no longer match the selected column
    target.orderGroups = true;
    target.numberedParameters = true;
    SqlSyntaxProblem problem;
    auto translated = TranslateSql(sql, target, problem);
    if (!translated) return Fail(status::SqlSyntax, {problem.text});
    // The server checks the statement and tells what it returns; a term it cannot collate (a number) loses
    // the collation the translation gave it.
    // (Described at once: a plain command in between would drop the unnamed statement.)
    PgResult described;
    for (;;) {
      PgResult result;
      const Status s = conn_.Guarded([&] {
        result.reset(Pq().PQprepare(conn_.Raw(), "", translated->sql.c_str(), 0, nullptr));
        if (!result || Pq().PQresultStatus(result.get()) != PGRES_COMMAND_OK) return status::SqlError;
        result.reset(Pq().PQdescribePrepared(conn_.Raw(), ""));
        return result && Pq().PQresultStatus(result.get()) == PGRES_COMMAND_OK ? status::Ok : status::SqlError;
      });
      if (s == status::Ok) {
        described = std::move(result);
        break;
      }
      if (DropRefusedCollation(result.get(), *translated)) continue;
      return conn_.Failed(result.get());
    }
    returnsRows_ = Pq().PQnfields(described.get()) > 0;
    parameters_ = std::move(translated->parameters);
    parameters_.resize(std::max<size_t>(parameters_.size(), static_cast<size_t>(Pq().PQnparams(described.get()))));
    sql_ = std::move(translated->sql);
    return status::Ok;
  }

  int ParameterCount() const override { return static_cast<int>(parameters_.size()); }
  int ParameterIndex(std::string_view name) const override {
    const auto it = std::find(parameters_.begin(), parameters_.end(), name);
    return it == parameters_.end() ? 0 : static_cast<int>(it - parameters_.begin()) + 1;
  }
  bool ReturnsRows() const override { return returnsRows_; }

  Status Run(const std::vector<Binding>& bindings, std::int64_t& rowsAffected) override {
    PgParams params;
    if (Status s = PgParamsFor(parameters_, bindings, params)) return s;
    if (Status s = conn_.Usable()) return s;
    return conn_.Run(sql_, params, rowsAffected);
  }

  Status Open(const std::vector<Binding>& bindings, std::unique_ptr<RowSource>& out) override {
    PgParams params;
    if (Status s = PgParamsFor(parameters_, bindings, params)) return s;
    return PgCursor::Open(conn_, sql_, params, out);
  }

private:
  // Removes the added COLLATE clause that the server's error points at; false when the error is another.
  static bool DropRefusedCollation(const PGresult* result, TranslatedSql& translated) {
    const char* state = result ? Pq().PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* position = result ? Pq().PQresultErrorField(result, PG_DIAG_STATEMENT_POSITION) : nullptr;
    if (!state || std::string_view(state) != "42804" || !position) return false;
    // The server counts characters from 1.
    long chars = std::atol(position) - 1;
    size_t at = 0;
    const std::string& sql = translated.sql;
    while (at < sql.size() && chars > 0) {
      ++at;
      while (at < sql.size() && (static_cast<unsigned char>(sql[at]) & 0xC0) == 0x80) ++at;
      --chars;
    }
    auto& clauses = translated.collations;
    const auto hit =
        std::find_if(clauses.begin(), clauses.end(), [at](const auto& c) { return at >= c.first && at < c.second; });
    if (hit == clauses.end()) return false;
    const size_t from = hit->first - 1, length = hit->second - hit->first + 1;  // with the blank before it
    translated.sql.erase(from, length);
    for (auto& c : clauses)
      if (c.first > hit->first) c.first -= length, c.second -= length;
    clauses.erase(hit);
    return true;
  }

  PgConnection& conn_;
  std::string sql_;
  std::vector<std::string> parameters_;
  bool returnsRows_ = false;
};

// Collation names a server may have for a language such as "pt_BR" or "pt_BR.UTF-8", in order of preference:
// the system's (as SQLite orders through the system's locale), then ICU's.
std::vector<std::string> CollationCandidates(const std::string& language) {
  const std::string base = language.substr(0, language.find_first_of(".@"));
  if (base.empty() || base == "C" || base == "POSIX") return {"C"};
  std::string icu = base;
  std::replace(icu.begin(), icu.end(), '_', '-');
  return {base + ".utf8", base + ".UTF-8", base, icu + "-x-icu", icu.substr(0, icu.find('-')) + "-x-icu"};
}

Status FindCollation(PgConnection& conn, const std::string& language, std::string& out) {
  const std::vector<std::string> candidates = CollationCandidates(language);
  PgParams params;
  params.texts = candidates;
  for (const auto& c : params.texts) params.values.push_back(c.c_str());
  std::string sql =
      "SELECT collname FROM pg_collation WHERE collencoding IN (-1, pg_char_to_encoding(getdatabaseencoding())) AND "
      "collname IN (";
  for (size_t i = 0; i < candidates.size(); ++i) sql += (i ? ", $" : "$") + std::to_string(i + 1);
  sql += ")";
  PgResult result;
  if (Status s = conn.Exec(sql, &params, PGRES_TUPLES_OK, result)) return s;
  out.clear();
  for (const auto& candidate : candidates)
    for (int row = 0; row < Pq().PQntuples(result.get()) && out.empty(); ++row)
      if (candidate == Pq().PQgetvalue(result.get(), row, 0)) out = candidate;
  return status::Ok;
}

struct ConnectParams {
  std::vector<std::string> keywords, values;
  bool expand = false;
  void Set(const std::string& keyword, const std::string& value) {
    keywords.push_back(keyword);
    values.push_back(value);
  }
};

PGconn* Connect(const ConnectParams& p) {
  std::vector<const char*> keywords, values;
  for (size_t i = 0; i < p.keywords.size(); ++i) {
    keywords.push_back(p.keywords[i].c_str());
    values.push_back(p.values[i].c_str());
  }
  keywords.push_back(nullptr);
  values.push_back(nullptr);
  return Pq().PQconnectdbParams(keywords.data(), values.data(), p.expand ? 1 : 0);
}

Status ConnectFailure(PGconn* conn, const std::string& alias, Status fallback) {
  const std::string message = conn ? Pq().PQerrorMessage(conn) : "libpq could not allocate a connection";
  const Status s = StatusForPg(nullptr, message, fallback);
  // "connection to server ... failed: <why>": the server's or the system's words first, each line short enough
  // to be shown whole.
  for (auto& line : MessageLines(message)) {
    const size_t split = line.find(" failed: ");
    if (split == std::string::npos) {
      RecordError(s, 0, std::move(line));
      continue;
    }
    std::string why = line.substr(split + 9);
    for (const char* level : {"FATAL:  ", "ERROR:  "})
      if (why.rfind(level, 0) == 0) why.erase(0, std::string_view(level).size());
    RecordError(s, 0, why);
    RecordError(s, 0, line.substr(0, split + 7));
  }
  RecordError(s, 0, "Alias: " + alias);
  return s;
}

}  // namespace

std::unique_ptr<DriverStatement> PgConnection::NewStatement() { return std::make_unique<PgStatement>(*this); }

Status OpenPostgres(const OpenRequest& request, std::unique_ptr<Connection>& out) {
  if (std::string why; !LoadPgLibrary(why))
    return Fail(status::LibraryNotFound,
                {"The PostgreSQL client library cannot be loaded: " + why, "Alias: " + request.alias});
  const auto entry = [&](const char* name) -> std::string {
    const std::string* v = FindEntry(request.params, name);
    return v ? *v : std::string();
  };
  ConnectParams params;
  params.Set("connect_timeout", "10");
  params.Set("application_name", "relclientes");
  if (const std::string connection = entry("CONNECTION"); !connection.empty()) {
    params.Set("dbname", connection);
    params.expand = true;
  }
  if (const std::string host = entry("HOST"); !host.empty()) params.Set("host", host);
  if (const std::string port = entry("PORT"); !port.empty()) params.Set("port", port);
  if (const std::string db = entry("DATABASE NAME"); !db.empty()) params.Set("dbname", db);
  std::string user = entry("USER NAME");
  std::string password = request.password;
  if (request.openMode == OpenMode::ReadOnly) params.Set("options", "-c default_transaction_read_only=on");
  params.Set("client_encoding", "UTF8");

  std::unique_ptr<PGconn, decltype(&::PQfinish)> conn(nullptr, Pq().PQfinish);
  for (bool asked = false;;) {
    ConnectParams attempt = params;
    if (!user.empty()) attempt.Set("user", user);
    if (!password.empty()) attempt.Set("password", password);
    conn.reset(Connect(attempt));
    if (conn && Pq().PQstatus(conn.get()) == CONNECTION_OK) break;
    // A server that wants a password nobody gave asks the user once, through the session's login.
    if (!asked && conn && Pq().PQconnectionNeedsPassword(conn.get()) && request.login) {
      asked = true;
      if (user.empty() && Pq().PQuser(conn.get())) user = Pq().PQuser(conn.get());
      if (request.login(user, password)) continue;
      return Fail(status::LoginCancelled,
                  {"The server asks for the password of user \"" + user + "\"", "Alias: " + request.alias});
    }
    return ConnectFailure(conn.get(), request.alias, status::ServerUnavailable);
  }

  const std::string language = AliasLanguage(request.params);
  auto pg = std::make_unique<PgConnection>(conn.release(), request.alias, language);
  // A server that stops answering (frozen, or cut off without a word) must not hold the program forever.
  int timeout = kDefaultStatementTimeout;
  if (const std::string entered = entry("STATEMENT TIMEOUT"); !entered.empty()) {
    const auto [end, error] = std::from_chars(entered.data(), entered.data() + entered.size(), timeout);
    if (error != std::errc() || end != entered.data() + entered.size() || timeout < 0)
      return Fail(status::ConfigInvalid,
                  {"STATEMENT TIMEOUT=" + entered + ": not a number of seconds", "Alias: " + request.alias});
  }
  pg->SetStatementTimeout(timeout);
  if (Status s = pg->ApplySettings()) return s;
  std::string collation = entry("COLLATION");
  if (collation.empty())
    if (Status s = FindCollation(*pg, language, collation)) return s;
  pg->SetCollation(collation);
  out = std::move(pg);
  return status::Ok;
}

}  // namespace engine::detail
