#pragma once
// What a driver supplies to the engine (internal to the engine). The engine's API keeps the handles, sessions,
// bookmarks, filters and error context; a driver opens a connection for an alias, prepares and runs statements on
// it, and hands back the rows of a query as a RowSource that reads row r on demand. Each driver lives in files of
// its own: the local tables on SQLite ("STANDARD") and a server through libpq ("POSTGRESQL").

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Engine.h"

namespace engine::detail {

struct Binding {
  int index = 0;     // 0 when bound by name
  std::string name;  // with its ':' prefix
  Value value;
};

// The rows of an executed query, addressed by their position from 0. A forward pass of any length holds a bounded
// number of rows; moving back may re-read.
class RowSource {
public:
  enum class Place { Bof, Row, Eof };

  virtual ~RowSource() = default;

  virtual const std::vector<FieldDesc>& Fields() const = 0;
  virtual std::uint32_t RecordSize() const = 0;
  // The record of row r: Ok, Eof when there is no such row, or an error (recorded in the context).
  virtual Status Fetch(std::int64_t r, const std::uint8_t*& record) = 0;
  // Reads to the end to learn the row count; afterwards RowsSeen() is the count.
  virtual Status FetchAll() = 0;
  virtual Status ExactCount(std::int64_t& count) = 0;
  // The count if it is known, else the number of rows read so far.
  virtual std::int64_t RowsSeen() const = 0;

  Place place = Place::Bof;
  std::int64_t row = -1;
  std::function<void(WaitState)> notify;  // long operations: Busy at start, Idle at end
};

class DriverStatement {
public:
  virtual ~DriverStatement() = default;
  // Prepares a statement in the engine's SQL (see Dialect.h). Replaces what was prepared before.
  virtual Status Prepare(std::string_view sql) = 0;
  virtual int ParameterCount() const = 0;
  // The number of a named parameter (":name"), from 1; 0 when the statement has none of that name.
  virtual int ParameterIndex(std::string_view name) const = 0;
  virtual bool ReturnsRows() const = 0;
  // Runs a statement that returns no rows.
  virtual Status Run(const std::vector<Binding>& bindings, std::int64_t& rowsAffected) = 0;
  // Opens the rows of a query. The rows stay readable after the statement is freed or prepared again.
  virtual Status Open(const std::vector<Binding>& bindings, std::unique_ptr<RowSource>& out) = 0;
};

class Connection {
public:
  virtual ~Connection() = default;
  virtual std::string_view DriverType() const = 0;
  // The database file, or the server and database, as users know it.
  virtual const std::string& Location() const = 0;
  // The language that orders texts.
  virtual const std::string& Language() const = 0;
  // Whether the passwords the session offers admit a statement (status::PasswordNeeded when not).
  virtual Status Admit(const std::vector<std::string>& /*sessionPasswords*/) { return status::Ok; }
  virtual std::unique_ptr<DriverStatement> NewStatement() = 0;
};

struct OpenRequest {
  std::string alias;
  std::vector<ConfigEntry> params;   // the alias's entries with the caller's overrides
  std::filesystem::path configFile;  // empty for a session alias
  OpenMode openMode = OpenMode::ReadWrite;
  ShareMode shareMode = ShareMode::Shared;
  std::string password;
  // Asks the user for a user name and password when a server wants a password that was not given; false when
  // the user cancels. Empty when the session has no way to ask.
  std::function<bool(std::string& user, std::string& password)> login;
};

using DriverOpen = Status (*)(const OpenRequest& request, std::unique_ptr<Connection>& out);

Status OpenSqlite(const OpenRequest& request, std::unique_ptr<Connection>& out);
Status OpenPostgres(const OpenRequest& request, std::unique_ptr<Connection>& out);

// The language of an alias: its LANGDRIVER or LANGUAGE entry, else the user's.
std::string AliasLanguage(const std::vector<ConfigEntry>& params);

}  // namespace engine::detail
