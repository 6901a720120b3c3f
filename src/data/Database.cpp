#include "data/Database.h"
#include "data/Quietly.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "data/DBEngineError.h"
#include "data/DBTablesConsts.h"
#include "data/DataSet.h"
#include "data/EngineDataSet.h"
#include "data/Sessions.h"

#include <algorithm>
#include <filesystem>

namespace {

const engine::ConfigEntry* FindEntryOf(const std::vector<engine::ConfigEntry>& entries, std::string_view name) {
  for (const auto& e : entries) {
    if (SameText(e.name, name)) return &e;
  }
  return nullptr;
}

// Saves the session's configuration mode and puts it back on every way out.
class ConfigModeScope {
public:
  explicit ConfigModeScope(engine::SessionHandle session) : session_(session) {
    saved_ = engine::GetProp(session_, engine::prop::SessionConfigMode, mode_) == engine::status::Ok;
  }
  ~ConfigModeScope() {
    if (saved_) engine::SetProp(session_, engine::prop::SessionConfigMode, mode_);
  }
  ConfigModeScope(const ConfigModeScope&) = delete;
  ConfigModeScope& operator=(const ConfigModeScope&) = delete;

private:
  engine::SessionHandle session_;
  std::int64_t mode_ = 0;
  bool saved_ = false;
};

}  // namespace

// ---- TCustomConnection ----

TCustomConnection::TCustomConnection(TComponent* owner) : TComponent(owner) {}

TCustomConnection::~TCustomConnection() = default;

void TCustomConnection::SetConnected(bool value) {
  if (IsLoading()) {
    if (value) streamedConnected_ = true;
    return;
  }
  if (value == GetConnected()) return;
  if (value) {
    if (BeforeConnect) BeforeConnect(this);
    DoConnect();
    SendConnectEvent(true);
    if (AfterConnect) AfterConnect(this);
  } else {
    if (BeforeDisconnect) BeforeDisconnect(this);
    SendConnectEvent(false);
    DoDisconnect();
    if (AfterDisconnect) AfterDisconnect(this);
  }
}

void TCustomConnection::Loaded() {
  TComponent::Loaded();
  if (streamedConnected_) {
    streamedConnected_ = false;
    SetConnected(true);
  }
}

void TCustomConnection::RegisterClient(TObject* client, TConnectChangeEvent onChange) {
  clients_.push_back({client, std::move(onChange)});
  if (auto* dataSet = dynamic_cast<TDataSet*>(client)) dataSets_.push_back(dataSet);
}

void TCustomConnection::UnregisterClient(TObject* client) {
  clients_.erase(
      std::remove_if(clients_.begin(), clients_.end(), [client](const Client& c) { return c.object == client; }),
      clients_.end());
  dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), client), dataSets_.end());
}

void TCustomConnection::SendConnectEvent(bool connecting) {
  // A client may leave while it is being told; walk by index against the current list.
  for (std::size_t i = 0; i < clients_.size(); ++i) {
    const Client client = clients_[i];
    if (client.onChange) client.onChange(this, connecting);
    if (auto* dataSet = dynamic_cast<TDataSet*>(client.object))
      dataSet->DispatchDataEvent(evConnectChange, connecting ? 1 : 0);
  }
}

// ---- TDatabase ----

TDatabase::TDatabase(TComponent* owner) : TCustomConnection(owner) {
  session_ = dynamic_cast<TSession*>(owner);
  if (!session_) session_ = ::Session();
  session_->AddDatabase(this);
}

TDatabase::~TDatabase() {
  Destroying();
  Quietly([this] { Close(); });
  if (session_) session_->RemoveDatabase(this);
}

void TDatabase::CheckInactive() const {
  if (Connected()) DatabaseError(SDatabaseOpen, this);
}

void TDatabase::SetAliasName(const std::string& value) {
  CheckInactive();
  aliasName_ = value;
  if (!value.empty()) driverName_.clear();
}

void TDatabase::SetDriverName(const std::string& value) {
  CheckInactive();
  driverName_ = value;
  if (!value.empty()) aliasName_.clear();
}

void TDatabase::SetDatabaseName(const std::string& value) {
  CheckInactive();
  databaseName_ = value;
}

void TDatabase::SetExclusive(bool value) {
  CheckInactive();
  exclusive_ = value;
}

void TDatabase::SetHandleShared(bool value) {
  CheckInactive();
  handleShared_ = value;
}

void TDatabase::SetReadOnly(bool value) {
  CheckInactive();
  readOnly_ = value;
}

void TDatabase::SetSessionName(const std::string& value) {
  CheckInactive();
  sessionName_ = value;
}

void TDatabase::SetTransIsolation(TTransIsolation value) {
  CheckInactive();
  transIsolation_ = value;
}

void TDatabase::SetKeepConnection(bool value) {
  if (keepConnection_ == value) return;
  keepConnection_ = value;
  if (!value && refCount_ == 0 && Connected() && !IsLoading()) Close();
}

void TDatabase::Login(TStrings& loginParams) {
  if (OnLogin) {
    OnLogin(this, loginParams);
    return;
  }
  std::string userName = loginParams.Values("USER NAME");
  std::string password;
  const TLoginHook& hook = LoginHook();
  if (!hook || !hook(databaseName_, userName, password, false)) DatabaseErrorFmt(SLoginError, {databaseName_}, this);
  loginParams.SetValue("USER NAME", userName);
  loginParams.SetValue("PASSWORD", password);
}

void TDatabase::CreateSessionAlias(const std::vector<engine::ConfigEntry>& aliasParams, const std::string& driverType) {
  std::vector<engine::ConfigEntry> merged = aliasParams;
  for (int i = 0; i < params_.Count(); ++i) {
    const std::string name = params_.Names(i);
    if (name.empty() || SameText(name, "PASSWORD")) continue;
    const std::string value = TranslateText({}, params_.ValueFromIndex(i), true);
    auto it = std::find_if(merged.begin(), merged.end(),
                           [&](const engine::ConfigEntry& e) { return SameText(e.name, name); });
    if (it != merged.end()) it->value = value;
    else merged.push_back({name, value});
  }
  Check(engine::AddSessionAlias(TranslateText({}, databaseName_, true), driverType, merged));
  sessionAlias_ = true;
}

void TDatabase::RemoveSessionAlias() {
  if (!sessionAlias_) return;
  sessionAlias_ = false;
  TSessionLock lock(session_);
  engine::DeleteSessionAlias(TranslateText({}, databaseName_, true));
}

void TDatabase::DoConnect() {
  if (handle_) return;
  if (databaseName_.empty() && !temporary_) DatabaseError(SDatabaseNameMissing, this);
  if (!sessionName_.empty()) {
    TSession* named = Sessions().GetSession(sessionName_);
    if (named != session_) {
      if (session_) session_->RemoveDatabase(this);
      session_ = named;
      session_->AddDatabase(this);
    }
  }
  session_->Open();

  if (handleShared_) {
    for (int i = 0; i < session_->DatabaseCount(); ++i) {
      TDatabase* other = session_->Databases(i);
      if (other != this && other->handleShared_ && other->handle_ && SameText(other->databaseName_, databaseName_)) {
        handle_ = other->handle_;
        locale_ = other->locale_;
        sqlBased_ = other->sqlBased_;
        sharesHandle_ = true;
        return;
      }
    }
  }

  TSessionLock lock(session_);
  ConfigModeScope configMode(session_->Handle());

  std::string alias = aliasName_;
  if (alias.empty() && driverName_.empty()) alias = databaseName_;
  std::vector<engine::ConfigEntry> aliasParams;
  std::string aliasDriver = driverName_;
  if (!alias.empty()) {
    engine::AliasDesc desc;
    const std::string nativeAlias = TranslateText({}, alias, true);
    if (engine::GetAliasDesc(nativeAlias, desc) == engine::status::Ok) {
      aliasDriver = desc.driverType;
      const bool standard = SameText(desc.driverType, engine::kStandardDriver);
      Check(engine::GetConfigEntries("\\DATABASES\\" + nativeAlias + (standard ? "\\DB INFO" : "\\DB OPEN"),
                                     aliasParams));
      for (auto& e : aliasParams) e.value = TranslateText({}, e.value, false);
      if (standard) {
        aliasParams.erase(std::remove_if(aliasParams.begin(), aliasParams.end(),
                                         [](const engine::ConfigEntry& e) { return SameText(e.name, "TYPE"); }),
                          aliasParams.end());
      }
    }
  }

  std::string password;
  // A server wants a password only when libpq's password file and environment do not give one: its login is then
  // asked by the engine when the server asks, not before every connection.
  bool loginOnDemand = false;
  if (const engine::ConfigEntry* user = FindEntryOf(aliasParams, "USER NAME")) {
    if (loginPrompt_ && !OnLogin && !aliasDriver.empty() && !SameText(aliasDriver, engine::kStandardDriver)) {
      if (params_.IndexOfName("USER NAME") < 0) params_.SetValue("USER NAME", user->value);
      password = params_.Values("PASSWORD");
      loginOnDemand = true;
    } else if (loginPrompt_) {
      if (params_.IndexOfName("USER NAME") < 0) params_.SetValue("USER NAME", user->value);
      TStrings loginParams;
      loginParams.SetValue("USER NAME", params_.Values("USER NAME"));
      Login(loginParams);
      params_.SetValue("USER NAME", loginParams.Values("USER NAME"));
      password = loginParams.Values("PASSWORD");
    } else {
      password = params_.Values("PASSWORD");
    }
  } else {
    password = params_.Values("PASSWORD");
  }

  bool differs = !driverName_.empty() && !SameText(driverName_, aliasDriver);
  for (int i = 0; i < params_.Count() && !differs; ++i) {
    const std::string name = params_.Names(i);
    if (name.empty() || SameText(name, "PASSWORD")) continue;
    const engine::ConfigEntry* e = FindEntryOf(aliasParams, name);
    differs = !e || e->value != params_.ValueFromIndex(i);
  }

  try {
    std::string openName = alias;
    if (differs) {
      CreateSessionAlias(aliasParams, aliasDriver);
      openName = databaseName_;
    }
    engine::DatabaseHandle h;
    const engine::Status opened = engine::OpenDatabase(
        TranslateText({}, openName, true), "", readOnly_ ? engine::OpenMode::ReadOnly : engine::OpenMode::ReadWrite,
        exclusive_ ? engine::ShareMode::Exclusive : engine::ShareMode::Shared, TranslateText({}, password, true),
        nullptr, h);
    // A login cancelled when the server asked is told as one cancelled before connecting.
    if (opened == engine::status::LoginCancelled && loginOnDemand) DatabaseErrorFmt(SLoginError, {databaseName_}, this);
    Check(opened);
    try {
      Check(engine::SetProp(h, engine::prop::DatabaseFlag05, 1));
      Check(engine::SetProp(h, engine::prop::DatabaseFlag04, 1));
      Check(engine::SetProp(h, engine::prop::DatabaseFlag11, 1));
      std::string driverType;
      Check(engine::GetProp(h, engine::prop::DatabaseDriverType, driverType));
      if (driverType.size() > 31) driverType.resize(31);
      sqlBased_ = !SameText(driverType, engine::kStandardDriver);
      engine::LocaleHandle locale;
      if (sqlBased_) Check(engine::GetLocale(h, locale));
      locale_ = locale;
    } catch (...) {
      engine::CloseDatabase(h);
      throw;
    }
    handle_ = h;
  } catch (...) {
    sqlBased_ = false;
    Quietly([this] { RemoveSessionAlias(); });
    throw;
  }
}

void TDatabase::DoDisconnect() {
  if (!handle_) return;
  TScopedValueRollback disconnecting(disconnecting_, true);
  // Each client lets go of the database as it disconnects; one that does not is only closed.
  for (int i = DataSetCount() - 1; i >= 0; --i) {
    if (i >= DataSetCount()) continue;
    TDataSet* dataSet = DataSets(i);
    if (auto* client = dynamic_cast<TDBDataSet*>(dataSet)) client->Disconnect();
    else dataSet->Close();
  }
  locale_ = {};
  bool stillUsed = false;
  if (session_) {
    for (int i = 0; i < session_->DatabaseCount(); ++i) {
      TDatabase* other = session_->Databases(i);
      if (other != this && other->handle_ == handle_) stillUsed = true;
    }
  }
  engine::DatabaseHandle h = handle_;
  handle_ = {};
  sharesHandle_ = false;
  sqlBased_ = false;
  refCount_ = 0;
  if (!stillUsed && session_ && session_->Active()) {
    TSessionLock lock(session_);
    engine::CloseDatabase(h);
  }
  RemoveSessionAlias();
}
