#pragma once
// Driver "POSTGRESQL" (internal to the engine): one libpq connection per opened database.
//
// A query's rows are read through a server-side cursor, a window of rows at a time. Cursors live in a transaction
// that the connection begins with the first cursor and commits when the last one closes; a statement that changes
// data while a cursor is open runs inside a savepoint of that transaction, so its failure leaves the cursors alone.
// A failure that breaks the transaction rolls it back, and the cursors opened in it report that their rows are
// gone. A connection the server dropped is made again by the next statement prepared or cursor opened.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Driver.h"
#include "engine/PgLibrary.h"

namespace engine::detail {

// Owns a PGresult.
struct PgResultDeleter {
  void operator()(PGresult* r) const { Pq().PQclear(r); }
};
using PgResult = std::unique_ptr<PGresult, PgResultDeleter>;

// Parameter values of a statement in the server's text form; a null pointer is NULL.
struct PgParams {
  std::vector<std::string> texts;
  std::vector<const char*> values;
};

class PgConnection final : public Connection {
public:
  PgConnection(PGconn* conn, std::string alias, std::string language);
  ~PgConnection() override;
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  std::string_view DriverType() const override { return kPostgresDriver; }
  const std::string& Location() const override { return location_; }
  const std::string& Language() const override { return language_; }
  std::unique_ptr<DriverStatement> NewStatement() override;

  // The collation that orders texts in the alias's language; empty when the server has none for it.
  const std::string& Collation() const { return collation_; }
  void SetCollation(std::string collation) { collation_ = std::move(collation); }
  // How long a statement may wait for the server's answer (seconds, 0: without end). A statement that waits longer
  // is cancelled and fails with StatementTimeout; a server that does not even answer the cancel loses the
  // connection, so that nothing waits on it again.
  void SetStatementTimeout(int seconds) { statement_timeout_ = seconds; }
  PGconn* Raw() const { return conn_; }

  // Settings every session of the connection needs.
  Status ApplySettings();
  // Makes a dropped connection again.
  Status Usable();
  // Runs a statement; a result that is not `expected` is recorded as the error and returns its status.
  Status Exec(const std::string& sql, const PgParams* params, ExecStatusType expected, PgResult& result);
  // Runs a statement that returns no rows, inside a savepoint while cursors are open.
  Status Run(const std::string& sql, const PgParams& params, std::int64_t& rowsAffected);
  // Runs `body` inside a savepoint while cursors are open, so that its failure leaves them alone.
  Status Guarded(const std::function<Status()>& body);

  // A cursor's place in the connection: it names a server cursor of the current transaction.
  struct CursorTicket {
    std::string name;
    std::uint64_t transaction = 0;  // 0 until the cursor has begun
    bool declared = false;          // the server knows the cursor
  };
  Status BeginCursor(CursorTicket& ticket);
  // Whether the cursor's rows are still on the server; records the error when not.
  Status CheckCursor(const CursorTicket& ticket);
  void EndCursor(const CursorTicket& ticket);

  // Records the server's error (or libpq's) with the alias and returns the fitting status.
  Status Failed(const PGresult* result, Status fallback = status::SqlError);

private:
  void AfterFailure();

  // Waits for the answer to the statement sent, within the statement timeout; the last result in `result`.
  Status AwaitResult(PgResult& result);
  // Waits until the connection is no longer busy or the deadline passes; false on a failure or the deadline.
  bool WaitWhileBusy(std::chrono::steady_clock::time_point deadline);
  Status TimedOut(PgResult& result);

  PGconn* conn_;
  std::string alias_, language_, collation_, location_;
  int statement_timeout_ = 0;
  bool given_up_ = false;     // the connection was dropped because the server did not answer in time
  bool inSavepoint_ = false;  // a failure is undone by rolling back to the savepoint, not the transaction
  int openCursors_ = 0;
  std::uint64_t nextCursor_ = 0;
  std::uint64_t transaction_ = 0;  // the transaction the cursors live in; 0 when none is open
  std::uint64_t nextTransaction_ = 1;
};

// The status of a failure that the server or libpq reported: by its SQLSTATE, else by libpq's text.
Status StatusForPg(const char* sqlState, const std::string& message, Status fallback);

// The lines of a libpq or server message, trimmed, without empty ones.
std::vector<std::string> MessageLines(const std::string& text);

// Parameter texts for a translated statement's $1..$n from the bound values.
Status PgParamsFor(const std::vector<std::string>& names, const std::vector<Binding>& bindings, PgParams& out);

}  // namespace engine::detail
