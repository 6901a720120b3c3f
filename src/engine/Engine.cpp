#include "engine/Engine.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "engine/Collation.h"
#include "engine/Dialect.h"
#include "engine/Errors.h"
#include "engine/RowCursor.h"

namespace engine {

using detail::Binding;
using detail::Fail;
using detail::FailSqlite;
using detail::RowCursor;

namespace {

constexpr const char* kCollationName = "LANGUAGE";
constexpr std::uint16_t kBookmarkSize = 16;

using PropValue = std::variant<std::int64_t, std::string>;

std::string Upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}
bool EqualNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && Upper(a) == Upper(b); }

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

struct Bookmark {
    std::uint32_t cursor;
    std::uint32_t check;
    std::int64_t row;
};
static_assert(sizeof(Bookmark) == kBookmarkSize);

struct State {
    bool initialised = false;
    Environment env;
    std::unordered_map<std::uint32_t, std::unique_ptr<Object>> objects;
    std::uint32_t nextId = 1;
    std::uint32_t defaultSession = 0;
    std::uint32_t currentSession = 0;
    std::uint32_t client = 0;
};

std::recursive_mutex g_mutex;
State g_state;

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

Object* FindAny(ObjectHandle h) {
    if (h.id == 0) return nullptr;
    const auto it = g_state.objects.find(h.id);
    if (it == g_state.objects.end() || it->second->kind != h.kind) return nullptr;
    return it->second.get();
}

Status BadHandle(std::string_view what) { return Fail(status::InvalidHandle, {"Handle of " + std::string(what) + " is not valid"}); }

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

Session* CurrentSession() { return Find<Session>(HandleKind::Session, g_state.currentSession); }

void RemoveId(std::vector<std::uint32_t>& ids, std::uint32_t id) { ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end()); }

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

// ---- configuration ----

struct LoadedConfig {
    EngineConfig config;
    std::filesystem::path file;
};

Status LoadConfig(LoadedConfig& out) {
    out.file = g_state.env.configFile.empty() ? ConfigFilePath() : std::filesystem::path(g_state.env.configFile);
    std::error_code ec;
    if (!std::filesystem::exists(out.file, ec))
        return Fail(status::ConfigNotFound,
                    {"File: " + out.file.string(), "Set RELCLIENTES_ENGINE_CONFIG or create the file"});
    std::ifstream in(out.file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in.good() && !in.eof())
        return Fail(status::ConfigInvalid, {"File: " + out.file.string(), "The file cannot be read"});
    if (auto problem = out.config.Parse(text.str()))
        return Fail(status::ConfigInvalid,
                    {"File: " + out.file.string(), "Line " + std::to_string(problem->line) + ": " + problem->text});
    return status::Ok;
}

// The parameters of an alias (DB INFO, then DB OPEN), from the session or the configuration file.
Status AliasParams(std::string_view alias, AliasDesc& desc, std::vector<ConfigEntry>& params, std::filesystem::path& configFile) {
    if (alias.empty()) return Fail(status::UnknownAlias, {"No alias name given"});
    if (Session* session = CurrentSession()) {
        const auto it = session->aliases.find(Upper(alias));
        if (it != session->aliases.end()) {
            desc = {it->second.name, it->second.driverType};
            params = it->second.params;
            return status::Ok;
        }
    }
    LoadedConfig loaded;
    if (Status s = LoadConfig(loaded)) return s;
    configFile = loaded.file;
    if (!loaded.config.HasAlias(alias))
        return Fail(status::UnknownAlias, {"Alias: " + std::string(alias), "Configuration file: " + loaded.file.string()});
    params.clear();
    for (const auto& path : {EngineConfig::AliasInfoPath(alias), EngineConfig::AliasOpenPath(alias)})
        if (const auto* entries = loaded.config.Section(path))
            for (const auto& e : *entries)
                if (!FindEntry(params, e.name)) params.push_back(e);
    desc.name = std::string(alias);
    const std::string* type = FindEntry(params, "TYPE");
    desc.driverType = type && !type->empty() ? *type : std::string(kStandardDriver);
    return status::Ok;
}

void SetEntry(std::vector<ConfigEntry>& entries, const ConfigEntry& e) {
    for (auto& x : entries)
        if (EqualNoCase(x.name, e.name)) {
            x.value = e.value;
            return;
        }
    entries.push_back(e);
}

std::filesystem::path ResolvePath(const std::string& value, const std::filesystem::path& configFile) {
    std::filesystem::path p = value;
    if (value == "~" || value.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        p = std::filesystem::path(home ? home : "") / (value.size() > 2 ? value.substr(2) : std::string());
    }
    if (p.is_relative() && !configFile.empty()) p = configFile.parent_path() / p;
    return p;
}

int CollationCompare(void* collator, int na, const void* a, int nb, const void* b) {
    return static_cast<const TextCollator*>(collator)->Compare(
        std::string_view(static_cast<const char*>(a), static_cast<size_t>(na)),
        std::string_view(static_cast<const char*>(b), static_cast<size_t>(nb)));
}

void Notify(std::uint32_t sessionId, WaitState state) {
    auto* session = Find<Session>(HandleKind::Session, sessionId);
    if (!session) return;
    const auto it = session->callbacks.find(CallbackKind::WaitCursor);
    if (it != session->callbacks.end() && it->second) it->second(CallbackKind::WaitCursor, static_cast<std::int32_t>(state));
}

Status FindCursor(CursorHandle h, Cursor*& out) {
    out = Find<Cursor>(HandleKind::Cursor, h.id);
    return out ? status::Ok : BadHandle("cursor");
}

Status CopyRecord(Cursor& c, const std::uint8_t* rec, void* record, RecordProps* props) {
    if (record) std::memcpy(record, rec, c.rows->RecordSize());
    if (props) *props = {-1, c.rows->row + 1, 0};
    return status::Ok;
}

Status Move(Cursor& c, int direction, void* record, RecordProps* props) {
    RowCursor& rows = *c.rows;
    std::int64_t r;
    if (direction > 0) {
        if (rows.place == RowCursor::Place::Eof) return status::Eof;
        r = rows.place == RowCursor::Place::Bof ? 0 : rows.row + 1;
    } else {
        if (rows.place == RowCursor::Place::Bof) return status::Bof;
        if (rows.place == RowCursor::Place::Eof) {
            if (Status s = rows.FetchAll()) return s;
            r = rows.RowsSeen() - 1;
        } else {
            r = rows.row - 1;
        }
    }
    for (;; r += direction) {
        const std::uint8_t* rec = nullptr;
        const Status s = rows.Fetch(r, rec);
        if (s == status::Eof || s == status::Bof) {
            rows.place = s == status::Eof ? RowCursor::Place::Eof : RowCursor::Place::Bof;
            rows.row = -1;
            return s;
        }
        if (s) return s;
        if (c.filter && !c.filter(rec)) continue;
        rows.place = RowCursor::Place::Row;
        rows.row = r;
        return CopyRecord(c, rec, record, props);
    }
}

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

// ---- sessions ----

Status GetCurrentSession(SessionHandle& out) {
    return Call(true, [&] {
        out = {g_state.currentSession};
        return status::Ok;
    });
}

Status StartSession(SessionHandle& out) {
    return Call(true, [&] {
        out = {Add(std::make_unique<Session>(), HandleKind::Session)->id};
        g_state.currentSession = out.id;
        return status::Ok;
    });
}

Status SetCurrentSession(SessionHandle session) {
    return Call(true, [&] {
        if (!Find<Session>(HandleKind::Session, session.id)) return BadHandle("session");
        g_state.currentSession = session.id;
        return status::Ok;
    });
}

Status CloseSession(SessionHandle& session) {
    return Call(true, [&] {
        if (!Find<Session>(HandleKind::Session, session.id)) return BadHandle("session");
        if (session.id == g_state.defaultSession)
            return Fail(status::InvalidParameter, {"The default session ends with EngineExit"});
        DestroySession(session.id);
        if (g_state.currentSession == session.id) g_state.currentSession = g_state.defaultSession;
        session = {};
        return status::Ok;
    });
}

Status AddPassword(std::string_view password) {
    return Call(true, [&] {
        CurrentSession()->passwords.emplace_back(password);
        return status::Ok;
    });
}

Status DropPassword(std::string_view password) {
    return Call(true, [&] {
        auto& list = CurrentSession()->passwords;
        list.erase(std::remove(list.begin(), list.end(), password), list.end());
        return status::Ok;
    });
}

Status DropAllPasswords() {
    return Call(true, [&] {
        CurrentSession()->passwords.clear();
        return status::Ok;
    });
}

Status AddSessionAlias(std::string_view alias, std::string_view driverType, const std::vector<ConfigEntry>& params) {
    return Call(true, [&] {
        if (alias.empty() || alias.find('\\') != std::string_view::npos)
            return Fail(status::InvalidParameter, {"Alias name \"" + std::string(alias) + "\" is not valid"});
        SessionAlias a{std::string(alias), driverType.empty() ? std::string(kStandardDriver) : std::string(driverType), params};
        CurrentSession()->aliases[Upper(alias)] = std::move(a);
        return status::Ok;
    });
}

Status DeleteSessionAlias(std::string_view alias) {
    return Call(true, [&] {
        if (CurrentSession()->aliases.erase(Upper(alias)) == 0)
            return Fail(status::UnknownAlias, {"Alias: " + std::string(alias)});
        return status::Ok;
    });
}

Status GetObjectOfKind(std::uint16_t kind, ClientHandle& out) {
    return Call(true, [&] {
        if (kind != kClientObjectKind) return Fail(status::InvalidParameter, {"No object of kind " + std::to_string(kind)});
        out = {g_state.client};
        return status::Ok;
    });
}

Status RegisterCallback(CallbackKind kind, CallbackFn fn) {
    return Call(true, [&] {
        if (kind == CallbackKind::Login) return Fail(status::InvalidParameter, {"Login callbacks take a LoginRequest"});
        if (kind != CallbackKind::WaitCursor)
            return Fail(status::InvalidParameter, {"Unknown callback kind " + std::to_string(static_cast<int>(kind))});
        if (fn) CurrentSession()->callbacks[kind] = std::move(fn);
        else CurrentSession()->callbacks.erase(kind);
        return status::Ok;
    });
}

Status HasCallback(CallbackKind kind, bool& registered) {
    return Call(true, [&] {
        const Session* session = CurrentSession();
        registered = kind == CallbackKind::Login ? static_cast<bool>(session->loginCallback) : session->callbacks.count(kind) != 0;
        return status::Ok;
    });
}

Status RegisterLoginCallback(LoginCallbackFn fn) {
    return Call(true, [&] {
        CurrentSession()->loginCallback = std::move(fn);
        return status::Ok;
    });
}

Status RequestLogin(LoginRequest& request) {
    return Call(true, [&] {
        request.accepted = false;
        // A copy: the callback may unregister itself while it runs.
        const LoginCallbackFn callback = CurrentSession()->loginCallback;
        if (callback) callback(request);
        return request.accepted ? status::Ok : Fail(status::LoginCancelled, {"Database: " + request.databaseName});
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
            value = property == prop::DatabaseAlias ? db->alias
                    : property == prop::DatabaseFile ? db->path
                    : property == prop::DatabaseLanguage ? db->language
                                                         : std::string(kStandardDriver);
        } else if (auto it = o->props.find(property); it != o->props.end()) {
            value = std::get<std::string>(it->second);
        } else {
            value.clear();
        }
        return status::Ok;
    });
}

// ---- aliases and configuration ----

Status GetAliasDesc(std::string_view alias, AliasDesc& out) {
    return Call(true, [&] {
        std::vector<ConfigEntry> params;
        std::filesystem::path file;
        return AliasParams(alias, out, params, file);
    });
}

Status GetAliasNames(std::vector<std::string>& out) {
    return Call(true, [&] {
        LoadedConfig loaded;
        if (Status s = LoadConfig(loaded)) return s;
        out = loaded.config.Aliases();
        for (const auto& [key, a] : CurrentSession()->aliases)
            if (!loaded.config.HasAlias(a.name)) out.push_back(a.name);
        return status::Ok;
    });
}

Status GetConfigEntries(std::string_view path, std::vector<ConfigEntry>& out) {
    return Call(true, [&] {
        out.clear();
        const std::string key = EngineConfig::NormalizedPath(path);
        if (key.rfind("\\DATABASES\\", 0) == 0) {
            const std::string rest = key.substr(11);
            const std::string alias = rest.substr(0, rest.find('\\'));
            const auto& aliases = CurrentSession()->aliases;
            if (const auto it = aliases.find(alias); it != aliases.end()) {
                if (key == EngineConfig::NormalizedPath(EngineConfig::AliasInfoPath(alias))) {
                    out.push_back({"TYPE", it->second.driverType});
                    for (const auto& e : it->second.params) SetEntry(out, e);
                }
                return status::Ok;
            }
        }
        LoadedConfig loaded;
        if (Status s = LoadConfig(loaded)) return s;
        if (const auto* entries = loaded.config.Section(path)) {
            out = *entries;
        } else if (key.rfind("\\DATABASES\\", 0) == 0) {
            const std::string rest = key.substr(11);
            const std::string alias = rest.substr(0, rest.find('\\'));
            if (!loaded.config.HasAlias(alias))
                return Fail(status::UnknownAlias, {"Alias: " + alias, "Configuration file: " + loaded.file.string()});
        }
        return status::Ok;
    });
}

// ---- databases ----

Status OpenDatabase(std::string_view alias, std::string_view driverType, OpenMode openMode, ShareMode shareMode,
                    std::string_view password, const std::vector<ConfigEntry>* optionalParams, DatabaseHandle& out) {
    return Call(true, [&]() -> Status {
        out = {};
        AliasDesc desc;
        std::vector<ConfigEntry> params;
        std::filesystem::path configFile;
        if (Status s = AliasParams(alias, desc, params, configFile)) return s;
        if (optionalParams)
            for (const auto& e : *optionalParams) SetEntry(params, e);
        const std::string type = driverType.empty() ? desc.driverType : std::string(driverType);
        if (!EqualNoCase(type, kStandardDriver))
            return Fail(status::UnsupportedDriver, {"Driver: " + type, "Alias: " + desc.name});
        const std::string* pathValue = FindEntry(params, "PATH");
        if (!pathValue || pathValue->empty())
            return Fail(status::ConfigInvalid, {"Alias " + desc.name + " has no PATH entry naming its database file",
                                                "Configuration file: " + configFile.string()});
        const std::filesystem::path file = ResolvePath(*pathValue, configFile);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec))
            return Fail(std::filesystem::exists(file, ec) ? status::FileAccess : status::DatabaseFileNotFound,
                        {"File: " + file.string(), "Alias: " + desc.name});

        sqlite3* raw = nullptr;
        const int flags = (openMode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
        int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
        auto db = std::make_unique<Database>();
        db->db = raw;  // closed by the Database on every way out
        if (rc != SQLITE_OK) return FailSqlite(raw, rc, status::FileAccess, {"File: " + file.string()});
        sqlite3_extended_result_codes(raw, 1);
        sqlite3_busy_timeout(raw, 2000);
        if (shareMode == ShareMode::Exclusive) sqlite3_exec(raw, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
        rc = sqlite3_exec(raw, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return FailSqlite(raw, rc, status::FileAccess, {"File: " + file.string()});

        const std::string* lang = FindEntry(params, "LANGDRIVER");
        if (!lang || lang->empty()) lang = FindEntry(params, "LANGUAGE");
        db->language = lang && !lang->empty() ? *lang : TextCollator::UserLanguage();
        db->collator = std::make_unique<TextCollator>(db->language);
        rc = sqlite3_create_collation_v2(raw, kCollationName, SQLITE_UTF8, db->collator.get(), CollationCompare, nullptr);
        if (rc != SQLITE_OK) return FailSqlite(raw, rc);

        if (const std::string* required = FindEntry(params, "PASSWORD"); required && !required->empty()) {
            db->requiredPassword = *required;
            db->unlocked = password == *required;
        }
        db->alias = desc.name;
        db->path = file.string();
        db->openMode = openMode;
        db->session = g_state.currentSession;
        Database* added = Add(std::move(db), HandleKind::Database);
        auto locale = std::make_unique<Locale>();
        locale->language = added->language;
        added->locale = Add(std::move(locale), HandleKind::Locale)->id;
        CurrentSession()->databases.push_back(added->id);
        out = {added->id};
        return status::Ok;
    });
}

Status CloseDatabase(DatabaseHandle& db) {
    return Call(true, [&] {
        if (!Find<Database>(HandleKind::Database, db.id)) return BadHandle("database");
        DestroyDatabase(db.id);
        db = {};
        return status::Ok;
    });
}

Status GetLocale(ObjectHandle object, LocaleHandle& out) {
    return Call(true, [&] {
        std::uint32_t dbId = 0;
        if (object.kind == HandleKind::Database && Find<Database>(HandleKind::Database, object.id)) dbId = object.id;
        else if (auto* c = object.kind == HandleKind::Cursor ? Find<Cursor>(HandleKind::Cursor, object.id) : nullptr) dbId = c->database;
        else return BadHandle("database or cursor");
        out = {Find<Database>(HandleKind::Database, dbId)->locale};
        return status::Ok;
    });
}

// ---- statements ----

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

// ---- cursors ----

Status GetCursorProps(CursorHandle h, CursorProps& out) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        out = {};
        out.fieldCount = static_cast<std::uint16_t>(c->rows->Fields().size());
        out.recordSize = c->rows->RecordSize();
        out.bookmarkSize = kBookmarkSize;
        out.openMode = static_cast<std::uint32_t>(OpenMode::ReadOnly);
        out.recordNumbering = RecordNumbering::Sequence;
        out.temporaryTable = true;
        return status::Ok;
    });
}

Status GetFieldDescs(CursorHandle h, std::vector<FieldDesc>& out) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        out = c->rows->Fields();
        return status::Ok;
    });
}

Status GetValidityChecks(CursorHandle h, std::vector<ValidityCheck>& out) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        out.clear();  // query results carry no validity checks
        return status::Ok;
    });
}

Status SetToBegin(CursorHandle h) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        c->rows->place = RowCursor::Place::Bof;
        c->rows->row = -1;
        return status::Ok;
    });
}

Status SetToEnd(CursorHandle h) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        c->rows->place = RowCursor::Place::Eof;
        c->rows->row = -1;
        return status::Ok;
    });
}

Status GetRecord(CursorHandle h, void* record, RecordProps* props) {
    return Call(true, [&]() -> Status {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        if (c->rows->place == RowCursor::Place::Bof) return status::Bof;
        if (c->rows->place == RowCursor::Place::Eof) return status::Eof;
        const std::uint8_t* rec = nullptr;
        if (Status s = c->rows->Fetch(c->rows->row, rec)) return s == status::Eof ? Fail(status::NoCurrentRecord, {"The record no longer exists"}) : s;
        return CopyRecord(*c, rec, record, props);
    });
}

Status GetNextRecord(CursorHandle h, void* record, RecordProps* props) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        return Move(*c, +1, record, props);
    });
}

Status GetPriorRecord(CursorHandle h, void* record, RecordProps* props) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        return Move(*c, -1, record, props);
    });
}

Status GetBookmark(CursorHandle h, void* bookmark) {
    return Call(true, [&]() -> Status {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        if (!bookmark) return Fail(status::InvalidParameter, {"No bookmark buffer"});
        if (c->rows->place != RowCursor::Place::Row)
            return c->rows->place == RowCursor::Place::Bof ? status::Bof : status::Eof;
        const Bookmark b{c->id, ~c->id, c->rows->row};
        std::memcpy(bookmark, &b, sizeof b);
        return status::Ok;
    });
}

namespace {
Status ReadBookmark(const Cursor& c, const void* data, Bookmark& b) {
    if (!data) return Fail(status::InvalidParameter, {"No bookmark"});
    std::memcpy(&b, data, sizeof b);
    if (b.cursor != c.id || b.check != ~c.id || b.row < 0)
        return Fail(status::InvalidBookmark, {"The bookmark does not belong to this cursor"});
    return status::Ok;
}
}  // namespace

Status SetToBookmark(CursorHandle h, const void* bookmark) {
    return Call(true, [&]() -> Status {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        Bookmark b{};
        if (Status s = ReadBookmark(*c, bookmark, b)) return s;
        const std::uint8_t* rec = nullptr;
        if (Status s = c->rows->Fetch(b.row, rec))
            return s == status::Eof ? Fail(status::InvalidBookmark, {"The bookmarked record no longer exists"}) : s;
        c->rows->place = RowCursor::Place::Row;
        c->rows->row = b.row;
        return status::Ok;
    });
}

Status CompareBookmarks(CursorHandle h, const void* a, const void* b, int& result) {
    return Call(true, [&]() -> Status {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        Bookmark ba{}, bb{};
        if (Status s = ReadBookmark(*c, a, ba)) return s;
        if (Status s = ReadBookmark(*c, b, bb)) return s;
        result = ba.row < bb.row ? -1 : ba.row > bb.row ? 1 : 0;
        return status::Ok;
    });
}

namespace {
Status FieldOf(CursorHandle h, std::uint16_t fieldNumber, const void* record, Cursor*& c, const FieldDesc*& f) {
    if (Status s = FindCursor(h, c)) return s;
    const auto& fields = c->rows->Fields();
    if (fieldNumber < 1 || fieldNumber > fields.size())
        return Fail(status::InvalidParameter, {"Field number " + std::to_string(fieldNumber) + " is outside 1.." + std::to_string(fields.size())});
    if (!record) return Fail(status::InvalidParameter, {"No record buffer"});
    f = &fields[fieldNumber - 1u];
    return status::Ok;
}
}  // namespace

Status GetField(CursorHandle h, std::uint16_t fieldNumber, const void* record, void* dest, bool& blank) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        const FieldDesc* f = nullptr;
        if (Status s = FieldOf(h, fieldNumber, record, c, f)) return s;
        const auto* rec = static_cast<const std::uint8_t*>(record);
        blank = rec[f->nullOffset] != 0;
        if (!dest) return status::Ok;
        if (f->type == fld::Text) {
            // The value area always ends in a zero byte.
            const auto* text = reinterpret_cast<const char*>(rec + f->offset);
            const size_t n = strnlen(text, f->length - 1);
            std::memcpy(dest, text, n);
            static_cast<char*>(dest)[n] = '\0';
        } else {
            std::memcpy(dest, rec + f->offset, f->length);
        }
        return status::Ok;
    });
}

Status GetFieldText(CursorHandle h, std::uint16_t fieldNumber, const void* record, std::string& dest, bool& blank) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        const FieldDesc* f = nullptr;
        if (Status s = FieldOf(h, fieldNumber, record, c, f)) return s;
        const auto* rec = static_cast<const std::uint8_t*>(record);
        const std::uint8_t* value = rec + f->offset;
        blank = rec[f->nullOffset] != 0;
        dest.clear();
        if (blank) return status::Ok;
        switch (f->type) {
            case fld::Int64: {
                std::int64_t v;
                std::memcpy(&v, value, sizeof v);
                dest = std::to_string(v);
                break;
            }
            case fld::Float: {
                double v;
                std::memcpy(&v, value, sizeof v);
                // Written with a point whatever the process's locale says.
                char buf[32];
                auto written = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
                dest.assign(buf, written.ptr);
                break;
            }
            case fld::VarBytes: {
                std::uint16_t n;
                std::memcpy(&n, value, sizeof n);
                dest.assign(reinterpret_cast<const char*>(value + 2), n);
                break;
            }
            default: {
                const auto* text = reinterpret_cast<const char*>(value);
                dest.assign(text, strnlen(text, f->length - 1));
                break;
            }
        }
        return status::Ok;
    });
}

Status GetExactRecordCount(CursorHandle h, std::int64_t& count) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        return c->rows->ExactCount(count);
    });
}

Status GetRecordCount(CursorHandle h, std::int64_t& count) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        count = c->rows->RowsSeen();
        return status::Ok;
    });
}

Status GetSequenceNumber(CursorHandle h, std::int64_t& seqNo) {
    return Call(true, [&]() -> Status {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        if (c->rows->place != RowCursor::Place::Row) return c->rows->place == RowCursor::Place::Bof ? status::Bof : status::Eof;
        seqNo = c->rows->row + 1;
        return status::Ok;
    });
}

Status SetToSequenceNumber(CursorHandle h, std::int64_t seqNo) {
    return Call(true, [&]() -> Status {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        if (seqNo < 1) return Fail(status::InvalidParameter, {"Sequence numbers start at 1"});
        const std::uint8_t* rec = nullptr;
        if (Status s = c->rows->Fetch(seqNo - 1, rec)) return s;
        c->rows->place = RowCursor::Place::Row;
        c->rows->row = seqNo - 1;
        return status::Ok;
    });
}

Status SetFilter(CursorHandle h, RecordFilter filter) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        c->filter = std::move(filter);
        return status::Ok;
    });
}

Status ReleaseRecordLocks(CursorHandle h) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        return FindCursor(h, c);
    });
}

Status CloseCursor(CursorHandle& h) {
    return Call(true, [&] {
        Cursor* c = nullptr;
        if (Status s = FindCursor(h, c)) return s;
        DestroyCursor(h.id);
        h = {};
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
