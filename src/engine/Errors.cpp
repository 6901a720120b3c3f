#include "engine/Errors.h"

#include <sqlite3.h>

#include <algorithm>

namespace engine {

// Marks a status text for the translators' catalogues; the layer that shows it translates it (context "engine").
#define ENGINE_TRANSLATABLE(context, text) text

std::string_view StatusMessage(Status s) {
  switch (s) {
    case status::Ok: return ENGINE_TRANSLATABLE("engine", "Operation completed.");
    case status::ConfigNotFound: return ENGINE_TRANSLATABLE("engine", "The engine configuration file does not exist.");
    case status::ConfigInvalid: return ENGINE_TRANSLATABLE("engine", "The engine configuration file is not valid.");
    case status::DatabaseFileNotFound: return ENGINE_TRANSLATABLE("engine", "The database file does not exist.");
    case status::NotADatabase: return ENGINE_TRANSLATABLE("engine", "The file is not a database.");
    case status::FileAccess: return ENGINE_TRANSLATABLE("engine", "The database file cannot be opened.");
    case status::ServerUnavailable: return ENGINE_TRANSLATABLE("engine", "The database server cannot be reached.");
    case status::DatabaseNotFound: return ENGINE_TRANSLATABLE("engine", "The database does not exist on the server.");
    case status::LibraryNotFound:
    case status::LibraryNotFoundOnUse:
      return ENGINE_TRANSLATABLE("engine", "The database engine library was not found.");
    case status::LoadFailed: return ENGINE_TRANSLATABLE("engine", "The database engine library could not be loaded.");
    case status::Bof: return ENGINE_TRANSLATABLE("engine", "At beginning of table.");
    case status::Eof: return ENGINE_TRANSLATABLE("engine", "At end of table.");
    case status::NoCurrentRecord: return ENGINE_TRANSLATABLE("engine", "No current record.");
    case status::UnknownAlias: return ENGINE_TRANSLATABLE("engine", "Unknown database alias.");
    case status::TableNotFound: return ENGINE_TRANSLATABLE("engine", "Table does not exist.");
    case status::ColumnNotFound: return ENGINE_TRANSLATABLE("engine", "Column does not exist.");
    case status::ConstraintViolation: return ENGINE_TRANSLATABLE("engine", "A constraint of the table was violated.");
    case status::OutOfMemory: return ENGINE_TRANSLATABLE("engine", "Insufficient memory for this operation.");
    case status::InvalidHandle: return ENGINE_TRANSLATABLE("engine", "Invalid handle.");
    case status::InvalidParameter: return ENGINE_TRANSLATABLE("engine", "Invalid parameter.");
    case status::NotInitialised: return ENGINE_TRANSLATABLE("engine", "The database engine is not initialised.");
    case status::UnknownProperty: return ENGINE_TRANSLATABLE("engine", "The object has no such property.");
    case status::NotPrepared: return ENGINE_TRANSLATABLE("engine", "The statement is not prepared.");
    case status::UnsupportedDriver: return ENGINE_TRANSLATABLE("engine", "Driver type not supported.");
    case status::InvalidBookmark: return ENGINE_TRANSLATABLE("engine", "Invalid bookmark.");
    case status::InvalidText: return ENGINE_TRANSLATABLE("engine", "The text is not valid UTF-8.");
    case status::ReadOnlyProperty: return ENGINE_TRANSLATABLE("engine", "The property cannot be changed.");
    case status::OperationMissing:
    case status::EndOfErrorList: return ENGINE_TRANSLATABLE("engine", "Operation not available.");
    case status::PasswordNeeded: return ENGINE_TRANSLATABLE("engine", "Password needed.");
    case status::ReadOnlyDatabase: return ENGINE_TRANSLATABLE("engine", "The database is read only.");
    case status::LoginCancelled: return ENGINE_TRANSLATABLE("engine", "The login was cancelled.");
    case status::LoginRefused: return ENGINE_TRANSLATABLE("engine", "The server refused the user name or password.");
    case status::DatabaseBusy: return ENGINE_TRANSLATABLE("engine", "The database is locked by another user.");
    case status::ConnectionLost:
      return ENGINE_TRANSLATABLE("engine", "The connection to the database server was lost.");
    case status::StatementTimeout: return ENGINE_TRANSLATABLE("engine", "The database server did not answer in time.");
    case status::AlreadyInitialised:
      return ENGINE_TRANSLATABLE("engine", "The database engine is already initialised.");
    case status::SqlSyntax: return ENGINE_TRANSLATABLE("engine", "Invalid SQL statement.");
    case status::SqlError: return ENGINE_TRANSLATABLE("engine", "Error in SQL statement.");
    case status::NoResultSet: return ENGINE_TRANSLATABLE("engine", "The statement returns no records.");
    default: return {};
  }
}

namespace detail {

namespace {
thread_local std::vector<ErrorEntry> g_context;
}

void ClearErrors() { g_context.clear(); }

const std::vector<ErrorEntry>& Context() { return g_context; }

Status Fail(Status s, std::vector<std::string> contexts) {
  for (auto& text : contexts) g_context.push_back({s, 0, std::move(text)});
  return s;
}

void RecordError(Status s, std::int32_t nativeCode, std::string text) {
  g_context.push_back({s, nativeCode, std::move(text)});
}

Status StatusForSqlite(int extendedCode, const std::string& message, Status fallback) {
  const auto has = [&](std::string_view part) { return message.find(part) != std::string::npos; };
  switch (extendedCode & 0xFF) {
    case SQLITE_NOMEM: return status::OutOfMemory;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return status::DatabaseBusy;
    case SQLITE_READONLY: return status::ReadOnlyDatabase;
    case SQLITE_CONSTRAINT: return status::ConstraintViolation;
    case SQLITE_NOTADB: return status::NotADatabase;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_IOERR: return status::FileAccess;
    default: break;
  }
  if (message.rfind("no such table", 0) == 0) return status::TableNotFound;
  if (message.rfind("no such column", 0) == 0) return status::ColumnNotFound;
  if (has("syntax error") || has("incomplete input") || has("unrecognized token")) return status::SqlSyntax;
  return fallback;
}

Status FailSqlite(sqlite3* db, int rc, Status fallback, std::vector<std::string> contexts) {
  const int code = db ? sqlite3_extended_errcode(db) : rc;
  std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  const Status s = StatusForSqlite(code, message, fallback);
  g_context.push_back({s, code ? code : rc, std::move(message)});
  for (auto& text : contexts) g_context.push_back({s, 0, std::move(text)});
  return s;
}

}  // namespace detail

Status GetErrorString(Status s, std::string& message) {
  message = std::string(StatusMessage(s));
  return status::Ok;
}

Status GetErrorEntry(int n, ErrorEntry& out) {
  const auto& context = detail::Context();
  out = {};
  if (n < 1) return status::InvalidParameter;
  if (static_cast<size_t>(n) <= context.size()) out = context[static_cast<size_t>(n) - 1];
  return status::Ok;
}

}  // namespace engine
