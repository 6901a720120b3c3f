#pragma once

// The engine's handle table and the wrapper that every API call runs in, shared by the files of the engine's API.
// Every object a handle names lives in the table, owned by it, under one process-wide lock that each call holds.
//
// Rules of the table, true whenever no call is under way:
//   - each object is filed under its own id, which is never 0, with the kind its handle names;
//   - the objects form a tree: a session lists its databases, a database its statements and cursors, and each of
//     those names its parent; every id a list holds is in the table with the kind the list says, and every
//     database, statement and cursor is listed by its parent;
//   - a database's locale, when it has one, is a locale object in the table;
//   - once initialised, the default and current sessions, and the client object, are in the table.
// Destroying an object destroys its subtree and takes it out of its parent's list. HandleTableIsSound checks these
// rules; Call asserts them after each call.

#include "engine/Engine.h"

#include <cassert>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/Driver.h"
#include "engine/Errors.h"

namespace engine::detail {

using PropValue = std::variant<std::int64_t, std::string>;

inline std::string Upper(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}
inline bool EqualNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && Upper(a) == Upper(b); }

struct Object {
  HandleKind kind = HandleKind::None;
  std::uint32_t id = 0;
  std::map<std::uint32_t, PropValue> props;
  virtual ~Object() = default;
};

struct SessionAlias {
  std::string name;
  std::string driverType;
  std::vector<ConfigEntry> params;
};

struct Session : Object {
  bool isDefault = false;
  std::vector<std::uint32_t> databases;
  std::vector<std::string> passwords;
  std::map<CallbackKind, CallbackFn> callbacks;
  LoginCallbackFn loginCallback;
  std::map<std::string, SessionAlias> aliases;  // by upper-case name
};

struct Client : Object {};

struct Locale : Object {
  std::string language;
};

struct Database : Object {
  std::uint32_t session = 0;
  std::unique_ptr<Connection> conn;
  std::string alias;
  OpenMode openMode = OpenMode::ReadWrite;
  std::uint32_t locale = 0;
  std::vector<std::uint32_t> statements, cursors;
};

struct Statement : Object {
  std::uint32_t database = 0;
  std::unique_ptr<DriverStatement> prepared;  // none until a statement is prepared
  std::vector<Binding> bindings;
  std::int64_t rowsAffected = -1;
};

struct Cursor : Object {
  std::uint32_t database = 0;
  std::unique_ptr<RowSource> rows;
  RecordFilter filter;
};

struct State {
  bool initialised = false;
  Environment env;
  std::unordered_map<std::uint32_t, std::unique_ptr<Object>> objects;
  std::uint32_t nextId = 1;
  std::uint32_t defaultSession = 0;
  std::uint32_t currentSession = 0;
  std::uint32_t client = 0;
};

extern std::recursive_mutex g_mutex;
extern State g_state;

template <typename T>
T* Add(std::unique_ptr<T> object, HandleKind kind) {
  object->kind = kind;
  object->id = g_state.nextId++;
  if (g_state.nextId == 0) g_state.nextId = 1;
  T* raw = object.get();
  g_state.objects.emplace(raw->id, std::move(object));
  return raw;
}

template <typename T>
T* Find(HandleKind kind, std::uint32_t id) {
  if (id == 0) return nullptr;
  const auto it = g_state.objects.find(id);
  if (it == g_state.objects.end() || it->second->kind != kind) return nullptr;
  return static_cast<T*>(it->second.get());
}

// Whether the table keeps the rules above. For assertions: it visits every object.
bool HandleTableIsSound();

Object* FindAny(ObjectHandle h);
Status BadHandle(std::string_view what);

// Runs one API call: engine lock, fresh error context, out-of-memory and other exceptions turned into statuses.
template <typename F>
Status Call(bool needsInit, F&& body) {
  std::lock_guard lock(g_mutex);
  detail::ClearErrors();
  if (needsInit && !g_state.initialised) return Fail(status::NotInitialised, {"Call EngineInit first"});
  try {
    const Status result = body();
    assert(HandleTableIsSound());
    return result;
  } catch (const std::bad_alloc&) {
    return Fail(status::OutOfMemory);
  } catch (const std::length_error& e) {
    // More than a container can hold is memory the engine cannot have.
    return Fail(status::OutOfMemory, {std::string("Too much data: ") + e.what()});
  } catch (const std::filesystem::filesystem_error& e) {
    return Fail(status::FileAccess, {e.what()});
  } catch (const std::exception& e) {
    // A fault of the engine itself rather than of the caller's parameters; the text says which.
    return Fail(status::InvalidParameter, {std::string("Internal error: ") + e.what()});
  }
}

Session* CurrentSession();

// Each takes the object and everything it owns out of the table.
void DestroyCursor(std::uint32_t id);
void DestroyStatement(std::uint32_t id);
void DestroyDatabase(std::uint32_t id);
void DestroySession(std::uint32_t id);

// Tells the session's wait-cursor callback, when it has one, that the engine is busy or idle.
void Notify(std::uint32_t sessionId, WaitState state);

}  // namespace engine::detail
