// Sessions with their passwords, callbacks and aliases; the configuration file; the databases a session opens.

#include "engine/EngineInternal.h"

#include "engine/Collation.h"

#include <algorithm>
#include <memory>

namespace engine {

using namespace detail;

namespace {

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
  std::string text;
  if (auto refused = ReadConfigFile(out.file, text))
    return Fail(status::ConfigInvalid, {"File: " + out.file.string(), *refused});
  if (auto problem = out.config.Parse(text))
    return Fail(status::ConfigInvalid,
                {"File: " + out.file.string(), "Line " + std::to_string(problem->line) + ": " + problem->text});
  return status::Ok;
}

// The parameters of an alias (DB INFO, then DB OPEN), from the session or the configuration file.
Status AliasParams(std::string_view alias, AliasDesc& desc, std::vector<ConfigEntry>& params,
                   std::filesystem::path& configFile) {
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

struct DriverEntry {
  std::string_view type;
  DriverOpen open;
};

constexpr DriverEntry kDrivers[] = {
    {kStandardDriver, OpenSqlite},
    {kPostgresDriver, OpenPostgres},
};

}  // namespace

std::string detail::AliasLanguage(const std::vector<ConfigEntry>& params) {
  const std::string* lang = FindEntry(params, "LANGDRIVER");
  if (!lang || lang->empty()) lang = FindEntry(params, "LANGUAGE");
  return lang && !lang->empty() ? *lang : TextCollator::UserLanguage();
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
    SessionAlias a{std::string(alias), driverType.empty() ? std::string(kStandardDriver) : std::string(driverType),
                   params};
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
    registered =
        kind == CallbackKind::Login ? static_cast<bool>(session->loginCallback) : session->callbacks.count(kind) != 0;
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
    const auto driver = std::find_if(std::begin(kDrivers), std::end(kDrivers),
                                     [&](const DriverEntry& d) { return EqualNoCase(d.type, type); });
    if (driver == std::end(kDrivers))
      return Fail(status::UnsupportedDriver, {"Driver: " + type, "Alias: " + desc.name});

    OpenRequest request;
    request.alias = desc.name;
    request.params = std::move(params);
    request.configFile = configFile;
    request.openMode = openMode;
    request.shareMode = shareMode;
    request.password = std::string(password);
    if (const LoginCallbackFn callback = CurrentSession()->loginCallback) {
      request.login = [callback, alias = desc.name](std::string& user, std::string& secret) {
        LoginRequest asked;
        asked.databaseName = alias;
        asked.userName = user;
        callback(asked);
        if (!asked.accepted) return false;
        user = asked.userName;
        secret = asked.password;
        return true;
      };
    }
    auto db = std::make_unique<Database>();
    if (Status s = driver->open(request, db->conn)) return s;
    db->alias = desc.name;
    db->openMode = openMode;
    db->session = g_state.currentSession;
    Database* added = Add(std::move(db), HandleKind::Database);
    auto locale = std::make_unique<Locale>();
    locale->language = added->conn->Language();
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
    else if (auto* c = object.kind == HandleKind::Cursor ? Find<Cursor>(HandleKind::Cursor, object.id) : nullptr)
      dbId = c->database;
    else return BadHandle("database or cursor");
    out = {Find<Database>(HandleKind::Database, dbId)->locale};
    return status::Ok;
  });
}

}  // namespace engine
