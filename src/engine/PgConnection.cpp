#include "engine/PgConnection.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "engine/Errors.h"

namespace engine::detail {

namespace {

// The SQLSTATE packed into 30 bits, six per character, as a native error code.
std::int32_t PackedSqlState(const char* state) {
  if (!state || std::strlen(state) != 5) return 0;
  std::int32_t code = 0;
  for (int i = 0; i < 5; ++i) code |= ((state[i] - '0') & 0x3F) << (6 * i);
  return code;
}

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

std::vector<std::string> MessageLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const size_t first = text.find_first_not_of(" \t", start);
    size_t last = end;
    while (last > start && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r')) --last;
    if (first < last) lines.push_back(text.substr(first, last - first));
    start = end + 1;
  }
  return lines;
}

Status StatusForPg(const char* sqlState, const std::string& message, Status fallback) {
  const std::string state = sqlState ? sqlState : "";
  const std::string cls = state.substr(0, 2);
  if (state == "42P01") return status::TableNotFound;
  if (state == "42703") return status::ColumnNotFound;
  if (state == "42601") return status::SqlSyntax;
  if (state == "3D000") return status::DatabaseNotFound;
  if (state == "28P01" || cls == "28") return status::LoginRefused;
  if (state == "25006") return status::ReadOnlyDatabase;
  if (state == "55P03" || state == "40P01") return status::DatabaseBusy;
  if (state == "53200") return status::OutOfMemory;
  if (state == "57P03") return status::ServerUnavailable;
  if (cls == "23") return status::ConstraintViolation;
  if (cls == "08" || state == "57P01" || state == "57P02") return status::ConnectionLost;
  if (!state.empty()) return fallback;
  // Failures of libpq itself carry no SQLSTATE: tell them by their text.
  if (Has(message, "password authentication failed") || Has(message, "no password supplied") ||
      (Has(message, "role \"") && Has(message, "does not exist")))
    return status::LoginRefused;
  if (Has(message, "database \"") && Has(message, "does not exist")) return status::DatabaseNotFound;
  if (Has(message, "server closed the connection") || Has(message, "no connection to the server") ||
      Has(message, "terminating connection") || Has(message, "connection to server was lost") ||
      Has(message, "SSL SYSCALL error"))
    return status::ConnectionLost;
  if (Has(message, "could not connect") || Has(message, "Connection refused") ||
      Has(message, "No such file or directory") || Has(message, "could not translate host name") ||
      Has(message, "timeout expired") || Has(message, "connection to server"))
    return status::ServerUnavailable;
  return fallback;
}

PgConnection::PgConnection(PGconn* conn, std::string alias, std::string language)
    : conn_(conn), alias_(std::move(alias)), language_(std::move(language)) {
  const char* host = Pq().PQhost(conn_);
  location_ = std::string(host ? host : "") + ":" + (Pq().PQport(conn_) ? Pq().PQport(conn_) : "") + "/" +
              (Pq().PQdb(conn_) ? Pq().PQdb(conn_) : "");
}

PgConnection::~PgConnection() { Pq().PQfinish(conn_); }

Status PgConnection::Failed(const PGresult* result, Status fallback) {
  const char* state = result ? Pq().PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  std::string message = result ? Pq().PQresultErrorMessage(result) : "";
  if (message.empty()) message = Pq().PQerrorMessage(conn_);
  Status s = StatusForPg(state, message, fallback);
  // A connection given up for want of an answer is lost by the timeout, and says so.
  if (Pq().PQstatus(conn_) == CONNECTION_BAD) s = given_up_ ? status::StatementTimeout : status::ConnectionLost;
  const std::int32_t native = PackedSqlState(state);
  std::vector<std::string> lines;
  if (result && Pq().PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)) {
    lines.push_back(Pq().PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
    for (int field : {PG_DIAG_MESSAGE_DETAIL, PG_DIAG_MESSAGE_HINT})
      if (const char* text = Pq().PQresultErrorField(result, field)) lines.push_back(text);
  } else {
    lines = MessageLines(message);
  }
  if (state) lines.push_back("SQLSTATE " + std::string(state));
  lines.push_back("Alias: " + alias_ + " (" + location_ + ")");
  for (auto& line : lines) RecordError(s, native, std::move(line));
  AfterFailure();
  return s;
}

void PgConnection::AfterFailure() {
  if (Pq().PQstatus(conn_) == CONNECTION_BAD) {
    transaction_ = 0;
    openCursors_ = 0;
    return;
  }
  // A transaction that a failure broke is of no more use to its cursors.
  if (!inSavepoint_ && Pq().PQtransactionStatus(conn_) == PQTRANS_INERROR) {
    PgResult(Pq().PQexec(conn_, "ROLLBACK"));
    transaction_ = 0;
    openCursors_ = 0;
  }
}

Status PgConnection::Usable() {
  if (Pq().PQstatus(conn_) == CONNECTION_OK) return status::Ok;
  // Whatever lived in the dropped connection is gone: its cursors know by their transaction.
  transaction_ = 0;
  openCursors_ = 0;
  Pq().PQreset(conn_);
  if (Pq().PQstatus(conn_) == CONNECTION_OK) {
    given_up_ = false;
    return ApplySettings();
  }
  return Failed(nullptr, status::ConnectionLost);
}

Status PgConnection::ApplySettings() {
  // Literals are written with their backslashes as they are.
  PgResult result;
  return Exec("SET standard_conforming_strings = on", nullptr, PGRES_COMMAND_OK, result);
}

Status PgConnection::Exec(const std::string& sql, const PgParams* params, ExecStatusType expected, PgResult& result) {
  result.reset();
  const int sent = params ? Pq().PQsendQueryParams(conn_, sql.c_str(), static_cast<int>(params->values.size()), nullptr,
                                                   params->values.data(), nullptr, nullptr, 0)
                          : Pq().PQsendQuery(conn_, sql.c_str());
  if (!sent) return Failed(nullptr);
  if (Status s = AwaitResult(result)) return s;
  const ExecStatusType got = result ? Pq().PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (got == expected || (expected == PGRES_COMMAND_OK && got == PGRES_TUPLES_OK)) return status::Ok;
  return Failed(result.get());
}

bool PgConnection::WaitWhileBusy(std::chrono::steady_clock::time_point deadline) {
  while (Pq().PQisBusy(conn_)) {
    int wait = -1;
    if (deadline != std::chrono::steady_clock::time_point::max()) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      wait = static_cast<int>(std::min<long long>(left.count(), 60'000));
    }
    pollfd socket{Pq().PQsocket(conn_), POLLIN, 0};
    const int ready = ::poll(&socket, 1, wait);
    if (ready < 0 && errno != EINTR) return false;
    if (ready > 0 && !Pq().PQconsumeInput(conn_)) return false;
  }
  return true;
}

Status PgConnection::AwaitResult(PgResult& result) {
  const auto deadline = statement_timeout_ > 0
                            ? std::chrono::steady_clock::now() + std::chrono::seconds(statement_timeout_)
                            : std::chrono::steady_clock::time_point::max();
  if (!WaitWhileBusy(deadline) && Pq().PQstatus(conn_) == CONNECTION_OK && Pq().PQisBusy(conn_))
    return TimedOut(result);
  // Every result of the statement is read, so that the connection is free again; the last one tells.
  while (PGresult* next = Pq().PQgetResult(conn_)) result.reset(next);
  return status::Ok;
}

Status PgConnection::TimedOut(PgResult& result) {
  // The server is asked to stop the statement; a frozen one does not even answer that, and its connection is
  // given up: a later statement on it fails at once instead of waiting again.
  if (PGcancel* cancel = Pq().PQgetCancel(conn_)) {
    char error[256];
    Pq().PQcancel(cancel, error, sizeof error);
    Pq().PQfreeCancel(cancel);
  }
  if (WaitWhileBusy(std::chrono::steady_clock::now() + std::chrono::seconds(2))) {
    while (PGresult* next = Pq().PQgetResult(conn_)) result.reset(next);
  } else {
    ::shutdown(Pq().PQsocket(conn_), SHUT_RDWR);
    given_up_ = true;
    Pq().PQconsumeInput(conn_);
    while (PGresult* next = Pq().PQgetResult(conn_)) result.reset(next);
  }
  result.reset();
  RecordError(
      status::StatementTimeout, 0,
      "No answer within " + std::to_string(statement_timeout_) + " s (the alias's STATEMENT TIMEOUT, in seconds)");
  RecordError(status::StatementTimeout, 0, "Alias: " + alias_ + " (" + location_ + ")");
  AfterFailure();
  return status::StatementTimeout;
}

Status PgConnection::Guarded(const std::function<Status()>& body) {
  if (transaction_ == 0) return body();
  PgResult result;
  if (Status s = Exec("SAVEPOINT relclientes_guard", nullptr, PGRES_COMMAND_OK, result)) return s;
  inSavepoint_ = true;
  const Status s = body();
  inSavepoint_ = false;
  if (s) result.reset(Pq().PQexec(conn_, "ROLLBACK TO SAVEPOINT relclientes_guard"));
  result.reset(Pq().PQexec(conn_, "RELEASE SAVEPOINT relclientes_guard"));
  AfterFailure();
  return s;
}

Status PgConnection::Run(const std::string& sql, const PgParams& params, std::int64_t& rowsAffected) {
  PgResult result;
  if (Status s = Guarded([&] { return Exec(sql, &params, PGRES_COMMAND_OK, result); })) return s;
  const char* tuples = Pq().PQcmdTuples(result.get());
  rowsAffected = tuples && *tuples ? std::atoll(tuples) : 0;
  return status::Ok;
}

Status PgConnection::BeginCursor(CursorTicket& ticket) {
  if (Status s = Usable()) return s;
  if (transaction_ == 0) {
    PgResult result;
    if (Status s = Exec("BEGIN", nullptr, PGRES_COMMAND_OK, result)) return s;
    transaction_ = nextTransaction_++;
  }
  ++openCursors_;
  ticket.name = "relclientes_" + std::to_string(++nextCursor_);
  ticket.transaction = transaction_;
  return status::Ok;
}

Status PgConnection::CheckCursor(const CursorTicket& ticket) {
  if (Pq().PQstatus(conn_) != CONNECTION_OK) return Failed(nullptr, status::ConnectionLost);
  if (ticket.transaction == transaction_) return status::Ok;
  return Fail(status::NoCurrentRecord, {"The rows of this query are gone after an earlier error; open the query again",
                                        "Alias: " + alias_ + " (" + location_ + ")"});
}

void PgConnection::EndCursor(const CursorTicket& ticket) {
  if (ticket.transaction == 0 || ticket.transaction != transaction_) return;
  if (openCursors_ > 0) --openCursors_;
  if (Pq().PQstatus(conn_) != CONNECTION_OK) return;
  if (ticket.declared) {
    const std::string close = "CLOSE " + ticket.name;
    PgResult(Pq().PQexec(conn_, close.c_str()));
  }
  if (openCursors_ == 0) {
    PgResult(Pq().PQexec(conn_, Pq().PQtransactionStatus(conn_) == PQTRANS_INERROR ? "ROLLBACK" : "COMMIT"));
    transaction_ = 0;
  }
}

Status PgParamsFor(const std::vector<std::string>& names, const std::vector<Binding>& bindings, PgParams& out) {
  out.texts.assign(names.size(), std::string());
  std::vector<bool> isNull(names.size(), true);
  for (const auto& b : bindings) {
    size_t slot = names.size();
    if (b.index > 0) slot = static_cast<size_t>(b.index - 1);
    else
      for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == b.name) slot = i;
    if (slot >= names.size()) continue;  // not in this statement
    if (std::holds_alternative<std::monostate>(b.value)) continue;
    isNull[slot] = false;
    std::string& text = out.texts[slot];
    if (auto* i = std::get_if<std::int64_t>(&b.value)) {
      text = std::to_string(*i);
    } else if (auto* d = std::get_if<double>(&b.value)) {
      char buf[32];
      const auto written = std::to_chars(buf, buf + sizeof buf, *d);
      text.assign(buf, written.ptr);
      if (text == "inf") text = "Infinity";
      else if (text == "-inf") text = "-Infinity";
      else if (text == "nan" || text == "-nan") text = "NaN";
    } else {
      text = std::get<std::string>(b.value);
      if (text.find('\0') != std::string::npos)
        return Fail(status::InvalidParameter,
                    {"Parameter " + std::to_string(slot + 1) + " holds a zero byte, which a server text cannot"});
    }
  }
  out.values.assign(names.size(), nullptr);
  for (size_t i = 0; i < names.size(); ++i)
    if (!isNull[i]) out.values[i] = out.texts[i].c_str();
  return status::Ok;
}

}  // namespace engine::detail
