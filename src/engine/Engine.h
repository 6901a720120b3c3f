#pragma once
// The database engine's call interface. Every operation returns a Status (0 = success, see Status.h); on failure
// the error context entries (GetErrorEntry) say what went wrong in detail. Handles are opaque numbers: a stale,
// foreign or zero handle yields status::InvalidHandle, never undefined behaviour. The functions may be called from
// any thread; they are serialised by one engine-wide lock, and the error context belongs to the calling thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/Config.h"
#include "engine/Status.h"

namespace engine {

// ---- handles --------------------------------------------------------------------------------------------------

enum class HandleKind : std::uint8_t { None, Session, Database, Statement, Cursor, Client, Locale };

template <HandleKind K>
struct Handle {
  std::uint32_t id = 0;
  explicit operator bool() const { return id != 0; }
  bool operator==(const Handle&) const = default;
};

using SessionHandle = Handle<HandleKind::Session>;
using DatabaseHandle = Handle<HandleKind::Database>;
using StatementHandle = Handle<HandleKind::Statement>;
using CursorHandle = Handle<HandleKind::Cursor>;
using ClientHandle = Handle<HandleKind::Client>;
using LocaleHandle = Handle<HandleKind::Locale>;

// Any handle, for the property operations.
struct ObjectHandle {
  HandleKind kind = HandleKind::None;
  std::uint32_t id = 0;
  ObjectHandle() = default;
  template <HandleKind K>
  ObjectHandle(Handle<K> h) : kind(K), id(h.id) {}  // NOLINT: implicit on purpose
};

// ---- start and end --------------------------------------------------------------------------------------------

inline constexpr std::uint16_t kInterfaceVersion = 500;

struct Environment {
  std::string language = "0009";  // message table; the engine has one table (English) and accepts any name
  std::string configFile;         // empty: ConfigFilePath()
};

// Starts the engine and its default session. A second call while started changes nothing and returns
// status::AlreadyInitialised.
Status EngineInit(std::uint16_t version, const Environment* env);
// Closes every cursor, statement, database and session. status::NotInitialised when not started.
Status EngineExit();

// ---- sessions -------------------------------------------------------------------------------------------------

Status GetCurrentSession(SessionHandle& out);
Status StartSession(SessionHandle& out);  // a further session; it becomes the current one
Status SetCurrentSession(SessionHandle session);
Status CloseSession(SessionHandle& session);  // not the default session; clears the handle

// Passwords offered by the current session for databases whose alias asks for one.
Status AddPassword(std::string_view password);
Status DropPassword(std::string_view password);
Status DropAllPasswords();

// Session-scoped alias: overrides a configured alias of the same name for the current session.
Status AddSessionAlias(std::string_view alias, std::string_view driverType, const std::vector<ConfigEntry>& params);
Status DeleteSessionAlias(std::string_view alias);

// The object that stands for this client program (object kind 7).
inline constexpr std::uint16_t kClientObjectKind = 7;
Status GetObjectOfKind(std::uint16_t kind, ClientHandle& out);

enum class CallbackKind : std::uint16_t { WaitCursor = 21, Login = 28 };
enum class WaitState : std::int32_t { Idle = 0, Busy = 1 };
// Called by the engine with the kind and its information: for WaitCursor a WaitState (Busy when a long operation
// starts, Idle when it ends).
using CallbackFn = std::function<void(CallbackKind kind, std::int32_t info)>;

// Registers a WaitCursor callback of the current session; an empty function unregisters it. Login callbacks have
// their own registration below; HasCallback answers for both kinds.
Status RegisterCallback(CallbackKind kind, CallbackFn fn);
Status HasCallback(CallbackKind kind, bool& registered);

// What the Login callback is given: the database and the user name the engine knows. The callback fills in the user
// name and the password and sets `accepted` when the connection is to go on.
struct LoginRequest {
  std::string databaseName;
  std::string userName;
  std::string password;
  bool nameReadOnly = false;
  bool accepted = false;
};
using LoginCallbackFn = std::function<void(LoginRequest& request)>;
Status RegisterLoginCallback(LoginCallbackFn fn);

// For a driver whose server wants a user and a password (local SQLite files never do): runs the current session's
// Login callback. LoginCancelled when there is none or it did not accept.
Status RequestLogin(LoginRequest& request);

// ---- properties -----------------------------------------------------------------------------------------------

namespace prop {
// client object
inline constexpr std::uint32_t ClientApplicationName = 0x00070001;  // text
// session
inline constexpr std::uint32_t SessionNetDirectory = 0x00020006;      // text
inline constexpr std::uint32_t SessionPrivateDirectory = 0x00020007;  // text
inline constexpr std::uint32_t SessionConfigMode = 0x0002000C;        // number
// database
inline constexpr std::uint32_t DatabaseAlias = 0x00040001;       // text, read only
inline constexpr std::uint32_t DatabaseDriverType = 0x00040002;  // text, read only ("STANDARD")
inline constexpr std::uint32_t DatabaseDirectory = 0x00040003;   // text
inline constexpr std::uint32_t DatabaseFlag04 = 0x00040004;      // flags accepted from callers; no effect on
inline constexpr std::uint32_t DatabaseFlag05 = 0x00040005;      //   local databases
inline constexpr std::uint32_t DatabaseFile = 0x00040006;        // text, read only
inline constexpr std::uint32_t DatabaseLanguage = 0x00040007;    // text, read only
inline constexpr std::uint32_t DatabaseFlag11 = 0x04040011;
// statement
inline constexpr std::uint32_t StatementUnidirectional = 0x00060010;  // number (0/1)
inline constexpr std::uint32_t StatementRowsAffected = 0x00060014;    // number, read only
inline constexpr std::uint32_t StatementResultMode = 0x00060021;      // 1 live, 2 read-only copy
inline constexpr std::uint32_t StatementFlag26 = 0x00060026;          // accepted; no effect
inline constexpr std::uint32_t StatementConstrained = 0x00060031;     // number (0/1)
inline constexpr std::uint32_t StatementFlag42 = 0x00060042;          // accepted; no effect
// cursor
inline constexpr std::uint32_t CursorMaxFieldNumber = 0x0005000F;  // number, read only
}  // namespace prop

Status SetProp(ObjectHandle object, std::uint32_t property, std::int64_t value);
Status SetProp(ObjectHandle object, std::uint32_t property, std::string_view value);
Status GetProp(ObjectHandle object, std::uint32_t property, std::int64_t& value);
Status GetProp(ObjectHandle object, std::uint32_t property, std::string& value);

// ---- aliases and configuration --------------------------------------------------------------------------------

inline constexpr std::string_view kStandardDriver = "STANDARD";    // local tables in a SQLite database file
inline constexpr std::string_view kPostgresDriver = "POSTGRESQL";  // tables of a database on a PostgreSQL server

struct AliasDesc {
  std::string name;
  std::string driverType;  // kStandardDriver or kPostgresDriver
};

// status::UnknownAlias when neither the configuration file nor the current session knows the alias;
// status::ConfigNotFound / ConfigInvalid when the configuration file is missing or wrong.
Status GetAliasDesc(std::string_view alias, AliasDesc& out);
Status GetAliasNames(std::vector<std::string>& out);
// Entries of a configuration path such as "\DATABASES\VERANTO\DB INFO", in file order; a path without entries
// gives none. status::UnknownAlias for a \DATABASES\<alias> path of an alias nobody knows.
Status GetConfigEntries(std::string_view path, std::vector<ConfigEntry>& out);

// ---- databases ------------------------------------------------------------------------------------------------

enum class OpenMode : std::uint8_t { ReadWrite = 0, ReadOnly = 1 };
enum class ShareMode : std::uint8_t { Shared = 0, Exclusive = 1 };

// Opens the database of an alias. `driverType` may be empty (the alias decides). Entries of `optionalParams`
// override the alias's DB OPEN entries.
Status OpenDatabase(std::string_view alias, std::string_view driverType, OpenMode openMode, ShareMode shareMode,
                    std::string_view password, const std::vector<ConfigEntry>* optionalParams, DatabaseHandle& out);
Status CloseDatabase(DatabaseHandle& db);  // closes its cursors and statements too; clears the handle

// The language object of a database or cursor (for the text conversions).
Status GetLocale(ObjectHandle object, LocaleHandle& out);

// ---- statements -----------------------------------------------------------------------------------------------

enum class QueryLanguage : std::uint16_t { Sql = 2 };

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;  // monostate = NULL

Status AllocStatement(DatabaseHandle db, QueryLanguage language, StatementHandle& out);
// Prepares a statement in the engine's SQL (see Dialect.h). status::PasswordNeeded when the alias asks for a
// password that neither the open nor the session supplied.
Status PrepareStatement(StatementHandle stmt, std::string_view sql);
Status BindParam(StatementHandle stmt, int index, const Value& value);              // index from 1
Status BindParam(StatementHandle stmt, std::string_view name, const Value& value);  // name with its ':'
// Runs the statement. A statement that returns rows gives a new cursor; any other gives none (cleared handle).
// `cursor` may be null when the caller wants no cursor.
Status ExecuteStatement(StatementHandle stmt, CursorHandle* cursor);
Status FreeStatement(StatementHandle& stmt);  // its cursors stay usable; clears the handle

// ---- cursors --------------------------------------------------------------------------------------------------

enum class RecordNumbering : std::uint16_t { Physical = 0, Sequence = 1, None = 2 };

struct CursorProps {
  std::uint16_t fieldCount = 0;
  std::uint32_t recordSize = 0;  // bytes of the record buffer the caller allocates
  std::uint16_t bookmarkSize = 0;
  std::uint16_t validityCheckCount = 0;
  std::uint32_t openMode = 0;  // OpenMode
  RecordNumbering recordNumbering = RecordNumbering::Sequence;
  bool temporaryTable = true;  // a query result, not a table
};

// Logical field types.
namespace fld {
inline constexpr std::uint16_t Unknown = 0;
inline constexpr std::uint16_t Text = 1;       // zero-terminated UTF-8, at most units1 characters
inline constexpr std::uint16_t Float = 7;      // double
inline constexpr std::uint16_t VarBytes = 15;  // 16-bit length, then at most units1 bytes
inline constexpr std::uint16_t Int64 = 18;     // std::int64_t
}  // namespace fld

struct FieldDesc {
  std::uint16_t fieldNumber = 0;  // from 1
  std::string name;
  std::uint16_t type = fld::Unknown;
  std::uint16_t subType = 0;
  std::int16_t units1 = 0;  // text: characters; bytes: bytes
  std::int16_t units2 = 0;
  std::uint32_t offset = 0;      // of the value in the record buffer
  std::uint32_t length = 0;      // bytes of the value; also the size a GetField destination needs
  std::uint32_t nullOffset = 0;  // of the blank flag byte in the record buffer
  std::uint32_t rights = 1;      // 1 = read only
  bool calculated = false;
};

struct ValidityCheck {
  std::uint16_t fieldNumber = 0;
  bool required = false;
  bool hasDefault = false;
};

struct RecordProps {
  std::int64_t recordNumber = -1;   // physical record number; -1 for query results
  std::int64_t sequenceNumber = 0;  // from 1
  std::uint8_t updateStatus = 0;
};

Status GetCursorProps(CursorHandle cursor, CursorProps& out);
Status GetFieldDescs(CursorHandle cursor, std::vector<FieldDesc>& out);
Status GetValidityChecks(CursorHandle cursor, std::vector<ValidityCheck>& out);

Status SetToBegin(CursorHandle cursor);  // before the first record
Status SetToEnd(CursorHandle cursor);    // after the last record
// Read a record into a record buffer of CursorProps::recordSize bytes (may be null to move only).
// status::Bof before the first record, status::Eof after the last.
Status GetRecord(CursorHandle cursor, void* record, RecordProps* props);
Status GetNextRecord(CursorHandle cursor, void* record, RecordProps* props);
Status GetPriorRecord(CursorHandle cursor, void* record, RecordProps* props);

// Bookmarks are CursorProps::bookmarkSize bytes and belong to the cursor that made them.
Status GetBookmark(CursorHandle cursor, void* bookmark);
Status SetToBookmark(CursorHandle cursor, const void* bookmark);
Status CompareBookmarks(CursorHandle cursor, const void* a, const void* b, int& result);  // -1, 0 or 1

// The value of field `fieldNumber` of a record buffer filled by GetRecord..., copied into `dest` (which holds
// FieldDesc::length bytes; may be null to test only for blank). `blank` tells NULL from an empty text.
Status GetField(CursorHandle cursor, std::uint16_t fieldNumber, const void* record, void* dest, bool& blank);
// The same for any field as text, without a buffer size to respect.
Status GetFieldText(CursorHandle cursor, std::uint16_t fieldNumber, const void* record, std::string& dest, bool& blank);

Status GetExactRecordCount(CursorHandle cursor, std::int64_t& count);
// The count if already known, else the number of records read so far.
Status GetRecordCount(CursorHandle cursor, std::int64_t& count);

Status GetSequenceNumber(CursorHandle cursor, std::int64_t& seqNo);
Status SetToSequenceNumber(CursorHandle cursor, std::int64_t seqNo);

// While a filter is set, GetNext/GetPrior skip the records it refuses. The filter reads the record buffer with
// GetField. An empty function removes it.
using RecordFilter = std::function<bool(const void* record)>;
Status SetFilter(CursorHandle cursor, RecordFilter filter);

Status ReleaseRecordLocks(CursorHandle cursor);  // query cursors hold no locks: succeeds
Status CloseCursor(CursorHandle& cursor);        // clears the handle

// ---- text -----------------------------------------------------------------------------------------------------

// The engine's character set is UTF-8, as is the program's: conversion copies `length` bytes from `src` to
// `dest` (which may be `src`), replacing each byte of an ill-formed sequence by '?'; status::InvalidText when it
// had to. The locale may be a cleared handle.
Status NativeToAnsi(LocaleHandle locale, char* dest, const char* src, std::size_t length);
Status AnsiToNative(LocaleHandle locale, char* dest, const char* src, std::size_t length);

// ---- errors ---------------------------------------------------------------------------------------------------

struct ErrorEntry {
  Status status = 0;
  std::int32_t nativeCode = 0;  // SQLite's extended result code for errors that come from SQLite
  std::string text;
};

// The fixed message of a status (at most 128 characters); empty for a status the engine does not know.
Status GetErrorString(Status status, std::string& message);
// Entry n (from 1) of the context of the last failing call on this thread; past the last entry the entry's
// status is 0.
Status GetErrorEntry(int n, ErrorEntry& out);

}  // namespace engine
