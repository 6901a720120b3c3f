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
            return Fail(status::InvalidParameter, {"Query language " + std::to_string(static_cast<int>(language)) + " is not SQL (2)"});
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
        sqlite3_finalize(stmt->stmt);
        stmt->stmt = nullptr;
        stmt->bindings.clear();
        stmt->rowsAffected = -1;
        if (!db->unlocked) {
            const auto& offered = Find<Session>(HandleKind::Session, db->session)->passwords;
            if (std::find(offered.begin(), offered.end(), db->requiredPassword) == offered.end())
                return Fail(status::PasswordNeeded, {"Alias: " + db->alias});
            db->unlocked = true;
        }
        SqlSyntaxProblem problem;
        auto translated = TranslateSql(sql, kCollationName, problem);
        if (!translated)
            return Fail(status::SqlSyntax, {problem.text});
        sqlite3_stmt* prepared = nullptr;
        const int rc = sqlite3_prepare_v2(db->db, translated->c_str(), static_cast<int>(translated->size()), &prepared, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(prepared);
            return FailSqlite(db->db, rc);
        }
        if (!prepared) return Fail(status::SqlSyntax, {"The statement is empty"});
        stmt->stmt = prepared;
        stmt->sqliteSql = std::move(*translated);
        return status::Ok;
    });
}

namespace {
Status Bind(StatementHandle h, Binding binding) {
    auto* stmt = Find<Statement>(HandleKind::Statement, h.id);
    if (!stmt) return BadHandle("statement");
    if (!stmt->stmt) return Fail(status::NotPrepared);
    const int index = binding.index > 0 ? binding.index : sqlite3_bind_parameter_index(stmt->stmt, binding.name.c_str());
    if (index <= 0 || index > sqlite3_bind_parameter_count(stmt->stmt))
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
        if (!stmt->stmt) return Fail(status::NotPrepared);
        auto* db = Find<Database>(HandleKind::Database, stmt->database);
        if (sqlite3_column_count(stmt->stmt) == 0) {
            sqlite3_reset(stmt->stmt);
            sqlite3_clear_bindings(stmt->stmt);
            int rc = detail::ApplyBindings(stmt->stmt, stmt->bindings);
            if (rc == SQLITE_OK) rc = sqlite3_step(stmt->stmt);
            while (rc == SQLITE_ROW) rc = sqlite3_step(stmt->stmt);
            sqlite3_reset(stmt->stmt);
            if (rc != SQLITE_DONE) return FailSqlite(db->db, rc);
            stmt->rowsAffected = sqlite3_changes64(db->db);
            return status::Ok;
        }
        if (!cursor) return status::Ok;
        // The cursor runs its own copy of the statement, so it outlives the statement and a re-execution.
        sqlite3_stmt* own = nullptr;
        int rc = sqlite3_prepare_v2(db->db, stmt->sqliteSql.c_str(), static_cast<int>(stmt->sqliteSql.size()), &own, nullptr);
        if (rc == SQLITE_OK) rc = detail::ApplyBindings(own, stmt->bindings);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(own);
            return FailSqlite(db->db, rc);
        }
        std::unique_ptr<RowCursor> rows;
        const std::uint32_t sessionId = db->session;
        Notify(sessionId, WaitState::Busy);
        const Status s = RowCursor::Open(db->db, own, stmt->sqliteSql, stmt->bindings, rows);
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
