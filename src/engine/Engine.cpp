// The engine's handle table, its start and end, object properties and text conversion.

#include "engine/EngineInternal.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

#include "engine/Collation.h"

namespace engine {

namespace detail {

std::recursive_mutex g_mutex;
State g_state;

bool HandleTableIsSound() {
  auto listed = [](const std::vector<std::uint32_t>& ids, HandleKind kind, auto names_parent) {
    for (std::uint32_t id : ids) {
      const auto it = g_state.objects.find(id);
      if (it == g_state.objects.end() || it->second->kind != kind || !names_parent(*it->second)) return false;
    }
    return true;
  };
  auto lists = [](const std::vector<std::uint32_t>& ids, std::uint32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
  };
  for (const auto& entry : g_state.objects) {
    const std::uint32_t id = entry.first;  // a plain name: lambdas below capture it
    const auto& object = entry.second;
    if (id == 0 || object->id != id || object->kind == HandleKind::None) return false;
    if (const auto* session = dynamic_cast<const Session*>(object.get())) {
      if (!listed(session->databases, HandleKind::Database,
                  [&](const Object& d) { return static_cast<const Database&>(d).session == id; }))
        return false;
    } else if (const auto* db = dynamic_cast<const Database*>(object.get())) {
      const auto* session = Find<Session>(HandleKind::Session, db->session);
      if (!session || !lists(session->databases, id)) return false;
      if (db->locale && !Find<Locale>(HandleKind::Locale, db->locale)) return false;
      if (!listed(db->statements, HandleKind::Statement,
                  [&](const Object& s) { return static_cast<const Statement&>(s).database == id; }) ||
          !listed(db->cursors, HandleKind::Cursor,
                  [&](const Object& c) { return static_cast<const Cursor&>(c).database == id; }))
        return false;
    } else if (const auto* stmt = dynamic_cast<const Statement*>(object.get())) {
      const auto* parent = Find<Database>(HandleKind::Database, stmt->database);
      if (!parent || !lists(parent->statements, id)) return false;
    } else if (const auto* cursor = dynamic_cast<const Cursor*>(object.get())) {
      const auto* parent = Find<Database>(HandleKind::Database, cursor->database);
      if (!parent || !lists(parent->cursors, id)) return false;
    }
  }
  if (g_state.initialised) {
    if (!Find<Session>(HandleKind::Session, g_state.defaultSession) ||
        !Find<Session>(HandleKind::Session, g_state.currentSession) ||
        !Find<Client>(HandleKind::Client, g_state.client))
      return false;
  }
  return true;
}

Object* FindAny(ObjectHandle h) {
  if (h.id == 0) return nullptr;
  const auto it = g_state.objects.find(h.id);
  if (it == g_state.objects.end() || it->second->kind != h.kind) return nullptr;
  return it->second.get();
}

Status BadHandle(std::string_view what) {
  return Fail(status::InvalidHandle, {"Handle of " + std::string(what) + " is not valid"});
}

Session* CurrentSession() { return Find<Session>(HandleKind::Session, g_state.currentSession); }

namespace {
void RemoveId(std::vector<std::uint32_t>& ids, std::uint32_t id) {
  ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
}
}  // namespace

void DestroyCursor(std::uint32_t id) {
  if (auto* c = Find<Cursor>(HandleKind::Cursor, id)) {
    if (auto* db = Find<Database>(HandleKind::Database, c->database)) RemoveId(db->cursors, id);
    g_state.objects.erase(id);
  }
}

void DestroyStatement(std::uint32_t id) {
  if (auto* s = Find<Statement>(HandleKind::Statement, id)) {
    if (auto* db = Find<Database>(HandleKind::Database, s->database)) RemoveId(db->statements, id);
    g_state.objects.erase(id);
  }
}

void DestroyDatabase(std::uint32_t id) {
  auto* db = Find<Database>(HandleKind::Database, id);
  if (!db) return;
  for (auto c : std::vector(db->cursors)) DestroyCursor(c);
  for (auto s : std::vector(db->statements)) DestroyStatement(s);
  g_state.objects.erase(db->locale);
  if (auto* session = Find<Session>(HandleKind::Session, db->session)) RemoveId(session->databases, id);
  g_state.objects.erase(id);
}

void DestroySession(std::uint32_t id) {
  auto* session = Find<Session>(HandleKind::Session, id);
  if (!session) return;
  for (auto d : std::vector(session->databases)) DestroyDatabase(d);
  g_state.objects.erase(id);
}

void Notify(std::uint32_t sessionId, WaitState state) {
  auto* session = Find<Session>(HandleKind::Session, sessionId);
  if (!session) return;
  const auto it = session->callbacks.find(CallbackKind::WaitCursor);
  if (it != session->callbacks.end() && it->second)
    it->second(CallbackKind::WaitCursor, static_cast<std::int32_t>(state));
}

}  // namespace detail

using namespace detail;

namespace {

Status ConvertText(LocaleHandle locale, char* dest, const char* src, std::size_t length) {
  if (locale.id && !Find<Locale>(HandleKind::Locale, locale.id)) return BadHandle("locale");
  if (length && (!dest || !src)) return Fail(status::InvalidParameter, {"No text buffer"});
  if (dest != src && length) std::memmove(dest, src, length);
  bool repaired = false;
  size_t i = 0;
  while (i < length) {
    const size_t start = i;
    // Find the extent of one well-formed character; mark the first byte otherwise.
    std::string_view rest(dest + i, std::min<size_t>(4, length - i));
    size_t len = 1;
    const auto c = static_cast<unsigned char>(rest[0]);
    if (c >= 0x80) {
      len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
      if (len > rest.size() || !IsValidUtf8(rest.substr(0, len))) len = 0;
    }
    if (len == 0) {
      dest[start] = '?';
      repaired = true;
      i = start + 1;
    } else {
      i = start + len;
    }
  }
  return repaired ? Fail(status::InvalidText, {"Ill-formed UTF-8 bytes were replaced by '?'"}) : status::Ok;
}

}  // namespace

// ---- start and end ----

Status EngineInit(std::uint16_t /*version*/, const Environment* env) {
  return Call(false, [&] {
    if (g_state.initialised) return Fail(status::AlreadyInitialised);
    const std::uint32_t nextId = g_state.nextId;  // ids are never reused, so stale handles stay invalid
    g_state = State{};
    g_state.nextId = nextId;
    g_state.env = env ? *env : Environment{};
    auto* session = Add(std::make_unique<Session>(), HandleKind::Session);
    session->isDefault = true;
    g_state.defaultSession = g_state.currentSession = session->id;
    g_state.client = Add(std::make_unique<Client>(), HandleKind::Client)->id;
    g_state.initialised = true;
    return status::Ok;
  });
}

Status EngineExit() {
  return Call(true, [&] {
    std::vector<std::uint32_t> sessions;
    for (const auto& [id, object] : g_state.objects)
      if (object->kind == HandleKind::Session) sessions.push_back(id);
    std::sort(sessions.rbegin(), sessions.rend());
    for (auto id : sessions) DestroySession(id);
    g_state.objects.clear();
    g_state.initialised = false;
    g_state.defaultSession = g_state.currentSession = g_state.client = 0;
    return status::Ok;
  });
}

// ---- properties ----

namespace {

struct PropInfo {
  std::uint32_t id;
  HandleKind kind;
  bool text;
  bool writable;
};

constexpr PropInfo kProps[] = {
    {prop::ClientApplicationName, HandleKind::Client, true, true},
    {prop::SessionNetDirectory, HandleKind::Session, true, true},
    {prop::SessionPrivateDirectory, HandleKind::Session, true, true},
    {prop::SessionConfigMode, HandleKind::Session, false, true},
    {prop::DatabaseAlias, HandleKind::Database, true, false},
    {prop::DatabaseDriverType, HandleKind::Database, true, false},
    {prop::DatabaseDirectory, HandleKind::Database, true, true},
    {prop::DatabaseFlag04, HandleKind::Database, false, true},
    {prop::DatabaseFlag05, HandleKind::Database, false, true},
    {prop::DatabaseFile, HandleKind::Database, true, false},
    {prop::DatabaseLanguage, HandleKind::Database, true, false},
    {prop::DatabaseFlag11, HandleKind::Database, false, true},
    {prop::StatementUnidirectional, HandleKind::Statement, false, true},
    {prop::StatementRowsAffected, HandleKind::Statement, false, false},
    {prop::StatementResultMode, HandleKind::Statement, false, true},
    {prop::StatementFlag26, HandleKind::Statement, false, true},
    {prop::StatementConstrained, HandleKind::Statement, false, true},
    {prop::StatementFlag42, HandleKind::Statement, false, true},
    {prop::CursorMaxFieldNumber, HandleKind::Cursor, false, false},
};

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}

Status CheckProp(ObjectHandle h, std::uint32_t id, bool text, bool writing, Object*& object) {
  object = FindAny(h);
  if (!object) return BadHandle("object");
  for (const auto& info : kProps) {
    if (info.id != id || info.kind != h.kind) continue;
    if (info.text != text)
      return Fail(status::InvalidParameter, {"Property " + Hex(id) + (info.text ? " is a text" : " is a number")});
    if (writing && !info.writable) return Fail(status::ReadOnlyProperty, {"Property " + Hex(id)});
    return status::Ok;
  }
  return Fail(status::UnknownProperty, {"Property " + Hex(id)});
}

}  // namespace

Status SetProp(ObjectHandle object, std::uint32_t property, std::int64_t value) {
  return Call(true, [&] {
    Object* o = nullptr;
    if (Status s = CheckProp(object, property, false, true, o)) return s;
    o->props[property] = value;
    return status::Ok;
  });
}

Status SetProp(ObjectHandle object, std::uint32_t property, std::string_view value) {
  return Call(true, [&] {
    Object* o = nullptr;
    if (Status s = CheckProp(object, property, true, true, o)) return s;
    o->props[property] = std::string(value);
    return status::Ok;
  });
}

Status GetProp(ObjectHandle object, std::uint32_t property, std::int64_t& value) {
  return Call(true, [&] {
    Object* o = nullptr;
    if (Status s = CheckProp(object, property, false, false, o)) return s;
    if (property == prop::StatementRowsAffected) value = static_cast<Statement*>(o)->rowsAffected;
    else if (property == prop::CursorMaxFieldNumber)
      value = static_cast<std::int64_t>(static_cast<Cursor*>(o)->rows->Fields().size());
    else if (auto it = o->props.find(property); it != o->props.end()) value = std::get<std::int64_t>(it->second);
    else value = property == prop::StatementResultMode ? 2 : 0;
    return status::Ok;
  });
}

Status GetProp(ObjectHandle object, std::uint32_t property, std::string& value) {
  return Call(true, [&] {
    Object* o = nullptr;
    if (Status s = CheckProp(object, property, true, false, o)) return s;
    if (o->kind == HandleKind::Database && property != prop::DatabaseDirectory) {
      const auto* db = static_cast<Database*>(o);
      value = property == prop::DatabaseAlias      ? db->alias
              : property == prop::DatabaseFile     ? db->conn->Location()
              : property == prop::DatabaseLanguage ? db->conn->Language()
                                                   : std::string(db->conn->DriverType());
    } else if (auto it = o->props.find(property); it != o->props.end()) {
      value = std::get<std::string>(it->second);
    } else {
      value.clear();
    }
    return status::Ok;
  });
}

// ---- text ----

Status NativeToAnsi(LocaleHandle locale, char* dest, const char* src, std::size_t length) {
  return Call(false, [&] { return ConvertText(locale, dest, src, length); });
}

Status AnsiToNative(LocaleHandle locale, char* dest, const char* src, std::size_t length) {
  return Call(false, [&] { return ConvertText(locale, dest, src, length); });
}

}  // namespace engine
