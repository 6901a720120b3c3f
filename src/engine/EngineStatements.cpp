// Statements: allocation, preparation in the engine's SQL, parameters and execution into a cursor.

#include "engine/EngineInternal.h"

#include <algorithm>
#include <memory>

#include "engine/Dialect.h"

namespace engine {

using namespace detail;

Status AllocStatement(DatabaseHandle db, QueryLanguage language, StatementHandle& out) {
  return Call(true, [&] {
    out = {};
    auto* database = Find<Database>(HandleKind::Database, db.id);
    if (!database) return BadHandle("database");
    if (language != QueryLanguage::Sql)
      return Fail(status::InvalidParameter,
                  {"Query language " + std::to_string(static_cast<int>(language)) + " is not SQL (2)"});
    auto stmt = std::make_unique<Statement>();
    stmt->database = db.id;
    out = {Add(std::move(stmt), HandleKind::Statement)->id};
    database->statements.push_back(out.id);
    return status::Ok;
  });
}

Status PrepareStatement(StatementHandle h, std::string_view sql) {
  return Call(true, [&]() -> Status {
    auto* stmt = Find<Statement>(HandleKind::Statement, h.id);
    if (!stmt) return BadHandle("statement");
    auto* db = Find<Database>(HandleKind::Database, stmt->database);
    stmt->prepared.reset();
    stmt->bindings.clear();
    stmt->rowsAffected = -1;
    if (Status s = db->conn->Admit(Find<Session>(HandleKind::Session, db->session)->passwords)) return s;
    auto prepared = db->conn->NewStatement();
    if (Status s = prepared->Prepare(sql)) return s;
    stmt->prepared = std::move(prepared);
    return status::Ok;
  });
}

namespace {
Status Bind(StatementHandle h, Binding binding) {
  auto* stmt = Find<Statement>(HandleKind::Statement, h.id);
  if (!stmt) return BadHandle("statement");
  if (!stmt->prepared) return Fail(status::NotPrepared);
  const int index = binding.index > 0 ? binding.index : stmt->prepared->ParameterIndex(binding.name);
  if (index <= 0 || index > stmt->prepared->ParameterCount())
    return Fail(status::InvalidParameter, {"The statement has no parameter " +
                                           (binding.index > 0 ? std::to_string(binding.index) : binding.name)});
  for (auto& b : stmt->bindings)
    if (b.index == binding.index && b.name == binding.name) {
      b.value = std::move(binding.value);
      return status::Ok;
    }
  stmt->bindings.push_back(std::move(binding));
  return status::Ok;
}
}  // namespace

Status BindParam(StatementHandle stmt, int index, const Value& value) {
  return Call(true, [&] {
    if (index < 1) return Fail(status::InvalidParameter, {"Parameter numbers start at 1"});
    return Bind(stmt, {index, {}, value});
  });
}

Status BindParam(StatementHandle stmt, std::string_view name, const Value& value) {
  return Call(true, [&] { return Bind(stmt, {0, std::string(name), value}); });
}

Status ExecuteStatement(StatementHandle h, CursorHandle* cursor) {
  return Call(true, [&]() -> Status {
    if (cursor) *cursor = {};
    auto* stmt = Find<Statement>(HandleKind::Statement, h.id);
    if (!stmt) return BadHandle("statement");
    if (!stmt->prepared) return Fail(status::NotPrepared);
    auto* db = Find<Database>(HandleKind::Database, stmt->database);
    if (!stmt->prepared->ReturnsRows()) return stmt->prepared->Run(stmt->bindings, stmt->rowsAffected);
    if (!cursor) return status::Ok;
    std::unique_ptr<RowSource> rows;
    const std::uint32_t sessionId = db->session;
    Notify(sessionId, WaitState::Busy);
    const Status s = stmt->prepared->Open(stmt->bindings, rows);
    Notify(sessionId, WaitState::Idle);
    if (s) return s;
    rows->notify = [sessionId](WaitState w) { Notify(sessionId, w); };
    auto c = std::make_unique<Cursor>();
    c->database = db->id;
    c->rows = std::move(rows);
    Cursor* added = Add(std::move(c), HandleKind::Cursor);
    db->cursors.push_back(added->id);
    *cursor = {added->id};
    return status::Ok;
  });
}

Status FreeStatement(StatementHandle& stmt) {
  return Call(true, [&] {
    if (!Find<Statement>(HandleKind::Statement, stmt.id)) return BadHandle("statement");
    DestroyStatement(stmt.id);
    stmt = {};
    return status::Ok;
  });
}

}  // namespace engine
