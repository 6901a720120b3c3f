#pragma once

// The engine's handle table and the wrapper that every API call runs in, shared by the files of the engine's API.
// Every object a handle names lives in the table, owned by it, under one process-wide lock that each call holds.

#include "engine/Engine.h"

#include <sqlite3.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/Collation.h"
#include "engine/Errors.h"
#include "engine/RowCursor.h"

namespace engine::detail {

constexpr const char* kCollationName = "LANGUAGE";

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
    sqlite3* db = nullptr;
    std::string alias, path, language;
    std::unique_ptr<TextCollator> collator;
    std::string requiredPassword;
    bool unlocked = true;
    OpenMode openMode = OpenMode::ReadWrite;
    std::uint32_t locale = 0;
    std::vector<std::uint32_t> statements, cursors;
    ~Database() override { sqlite3_close_v2(db); }
};

struct Statement : Object {
    std::uint32_t database = 0;
    sqlite3_stmt* stmt = nullptr;
    std::string sqliteSql;
    std::vector<Binding> bindings;
    std::int64_t rowsAffected = -1;
    ~Statement() override { sqlite3_finalize(stmt); }
};

struct Cursor : Object {
    std::uint32_t database = 0;
    std::unique_ptr<RowCursor> rows;
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

Object* FindAny(ObjectHandle h);
Status BadHandle(std::string_view what);

// Runs one API call: engine lock, fresh error context, out-of-memory and other exceptions turned into statuses.
template <typename F>
Status Call(bool needsInit, F&& body) {
    std::lock_guard lock(g_mutex);
    detail::ClearErrors();
    if (needsInit && !g_state.initialised) return Fail(status::NotInitialised, {"Call EngineInit first"});
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(status::OutOfMemory);
    } catch (const std::exception& e) {
        return Fail(status::InvalidParameter, {e.what()});
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
