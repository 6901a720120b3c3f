#include "data/Sessions.h"
#include "data/Quietly.h"

#include "core/Strings.h"
#include "core/Text.h"
#include "data/DBEngineError.h"
#include "data/DBLogDlg.h"
#include "data/DBTablesConsts.h"
#include "data/Database.h"
#include "widgets/Cursors.h"
#include "widgets/Timer.h"

#include <algorithm>
#include <optional>

namespace {

TSessionList* g_list = nullptr;

constexpr std::int64_t kConfigModeAll = 7;
constexpr int kWaitCursorInterval = 50;
constexpr const char* kApplicationName = "relclientes";

TSessionList& List() { return g_list ? *g_list : Sessions(); }

}  // namespace

TLoginHook& LoginHook() {
  static TLoginHook hook = [](const std::string& databaseName, std::string& userName, std::string& password,
                              bool nameReadOnly) {
    return LoginDialog(databaseName, userName, password, nameReadOnly);
  };
  return hook;
}

TPasswordHook& PasswordHook() {
  static TPasswordHook hook = [](TSession* session) { return PasswordDialog(session); };
  return hook;
}

std::string TranslateText(engine::LocaleHandle locale, std::string_view text, bool toEngine) {
  static std::mutex toEngineLock, fromEngineLock;
  std::string out(text.substr(0, text.find('\0')));
  if (out.empty()) return out;
  std::lock_guard lock(toEngine ? toEngineLock : fromEngineLock);
  const engine::Status status = toEngine ? engine::AnsiToNative(locale, out.data(), out.data(), out.size())
                                         : engine::NativeToAnsi(locale, out.data(), out.data(), out.size());
  // A text with ill-formed bytes comes back repaired; that is no reason to fail.
  if (status != engine::status::InvalidText) Check(status);
  return out;
}

// ---- TSessionList ----

TSessionList& Sessions() {
  static TSessionList list;
  return list;
}

TSession* Session() { return Sessions().DefaultSession(); }

TSessionList::TSessionList() {
  g_list = this;
  defaultSession_ = new TSession(nullptr);
  defaultSession_->SetSessionName("Default");
}

TSessionList::~TSessionList() {
  // Later sessions first; the default one, which ends the engine, last.
  while (!sessions_.empty()) delete sessions_.back();
  defaultSession_ = nullptr;
  g_list = nullptr;
}

int TSessionList::Count() const {
  std::lock_guard lock(listLock_);
  return static_cast<int>(sessions_.size());
}

TSession* TSessionList::Sessions(int index) const {
  std::lock_guard lock(listLock_);
  return sessions_.at(static_cast<std::size_t>(index));
}

TSession* TSessionList::FindSession(std::string_view name) const {
  if (name.empty()) return defaultSession_;
  std::lock_guard lock(listLock_);
  for (TSession* s : sessions_) {
    if (SameText(s->SessionName(), name)) return s;
  }
  return nullptr;
}

TSession* TSessionList::GetSession(std::string_view name) const {
  TSession* s = FindSession(name);
  if (!s) DatabaseErrorFmt(SInvalidSessionName, {name});
  return s;
}

void TSessionList::AddSession(TSession* session) {
  std::lock_guard lock(listLock_);
  sessions_.push_back(session);
}

void TSessionList::RemoveSession(TSession* session) {
  std::lock_guard lock(listLock_);
  sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), session), sessions_.end());
  if (engineCurrent_ == session) engineCurrent_ = nullptr;
}

void TSessionList::HideWaitCursor() {
  std::lock_guard lock(listLock_);
  for (TSession* s : sessions_) s->StopWaitCursor();
}

// ---- the lock ----

TSessionLock::TSessionLock(TSession* session) : session_(session) { session_->LockSession(); }

TSessionLock::~TSessionLock() { session_->UnlockSession(); }

void TSession::LockSession() {
  TSessionList& list = List();
  list.engineLock_.lock();
  ++lockCount_;
  if (handle_ && list.engineCurrent_ != this) {
    const engine::Status status = engine::SetCurrentSession(handle_);
    if (status != engine::status::Ok) {
      try {
        Check(status);
      } catch (...) {
        --lockCount_;
        list.engineLock_.unlock();
        throw;
      }
    }
    list.engineCurrent_ = this;
  }
}

void TSession::UnlockSession() {
  --lockCount_;
  List().engineLock_.unlock();
}

// ---- TSession ----

TSession::TSession(TComponent* owner) : TComponent(owner) {
  TSessionList& list = List();
  isDefault_ = list.Count() == 0;
  list.AddSession(this);
}

TSession::~TSession() {
  Destroying();
  Quietly([this] { SetActive(false); });
  // Temporary databases are owned and go with the session; others are handed to the default session.
  DestroyComponents();
  TSession* heir = isDefault_ ? nullptr : List().DefaultSession();
  for (TDatabase* db : std::vector(databases_)) {
    Quietly([db] { db->Close(); });
    db->session_ = heir;
    if (heir) heir->AddDatabase(db);
  }
  databases_.clear();
  waitTimer_.reset();
  List().RemoveSession(this);
}

void TSession::SetActive(bool value) {
  if (IsLoading() && !value) return;
  if (value == Active()) return;
  if (value) StartSession();
  else StopSession();
}

void TSession::SetNetFileDir(const std::string& value) {
  if (Active()) {
    TSessionLock lock(this);
    Check(engine::SetProp(handle_, engine::prop::SessionNetDirectory, value));
  }
  netFileDir_ = value;
}

void TSession::SetPrivateDir(const std::string& value) {
  if (Active()) {
    TSessionLock lock(this);
    Check(engine::SetProp(handle_, engine::prop::SessionPrivateDirectory, value));
  }
  privateDir_ = value;
}

void TSession::SetSessionName(const std::string& value) {
  if (Active()) DatabaseError(SSessionActive, this);
  sessionName_ = value;
}

void TSession::StartSession() {
  TSessionLock lock(this);
  if (OnStartup) OnStartup(this);
  if (sessionName_.empty()) DatabaseError(SSessionNameMissing, this);
  TSessionList& list = List();
  if (isDefault_) {
    InitializeEngine();
  } else {
    list.DefaultSession()->SetActive(true);
    engine::SessionHandle h;
    Check(engine::StartSession(h));
    handle_ = h;
  }
  list.engineCurrent_ = this;
  try {
    InstallCallbacks();
    if (!netFileDir_.empty()) Check(engine::SetProp(handle_, engine::prop::SessionNetDirectory, netFileDir_));
    if (!privateDir_.empty()) Check(engine::SetProp(handle_, engine::prop::SessionPrivateDirectory, privateDir_));
    Check(engine::SetProp(handle_, engine::prop::SessionConfigMode, kConfigModeAll));
  } catch (...) {
    Quietly([this] { StopSession(); });
    throw;
  }
}

void TSession::InitializeEngine() {
  std::optional<TCursorScope> busy;
  if (IsMainThread() && ScreenCursor() == crDefault) busy.emplace(crHourGlass);
  engine::Environment environment;
  environment.language = "0009";
  const engine::Status status = engine::EngineInit(engine::kInterfaceVersion, &environment);
  if (status != engine::status::AlreadyInitialised) Check(status);
  engine::SessionHandle h;
  if (const engine::Status s = engine::GetCurrentSession(h); s != engine::status::Ok) {
    EDBEngineError error(s);
    engine::EngineExit();
    throw error;
  }
  handle_ = h;
  engine::ClientHandle client;
  if (engine::GetObjectOfKind(engine::kClientObjectKind, client) == engine::status::Ok) {
    engine::SetProp(client, engine::prop::ClientApplicationName, kApplicationName);
  }
}

void TSession::InstallCallbacks() {
  if (!IsMainThread()) return;
  bool registered = false;
  if (sqlHourGlass_) {
    Check(engine::HasCallback(engine::CallbackKind::WaitCursor, registered));
    if (!registered) {
      Check(engine::RegisterCallback(
          engine::CallbackKind::WaitCursor,
          [this](engine::CallbackKind kind, std::int32_t info) { WaitCursorCallback(kind, info); }));
      ownsWaitCallback_ = true;
    }
  }
  Check(engine::HasCallback(engine::CallbackKind::Login, registered));
  if (!registered) {
    Check(engine::RegisterLoginCallback(&LoginCallback));
    ownsLoginCallback_ = true;
  }
}

void TSession::RemoveCallbacks() {
  if (ownsWaitCallback_) engine::RegisterCallback(engine::CallbackKind::WaitCursor, nullptr);
  if (ownsLoginCallback_) engine::RegisterLoginCallback(nullptr);
  ownsWaitCallback_ = false;
  ownsLoginCallback_ = false;
}

void TSession::LoginCallback(engine::LoginRequest& request) {
  // The engine speaks the OEM character set, the dialog the program's.
  const std::string databaseName = TranslateText({}, request.databaseName, false);
  std::string userName = TranslateText({}, request.userName, false);
  std::string password;
  const TLoginHook& hook = LoginHook();
  request.accepted = hook && hook(databaseName, userName, password, request.nameReadOnly);
  if (!request.accepted) return;
  request.userName = TranslateText({}, userName, true);
  request.password = TranslateText({}, password, true);
}

void TSession::StopSession() {
  TSessionLock lock(this);
  TSessionList& list = List();
  if (isDefault_) {
    // The engine ends with the default session; every other session ends before it.
    for (int i = list.Count() - 1; i >= 0; --i) {
      TSession* other = list.Sessions(i);
      if (other != this && other->Active()) other->StopSession();
    }
  }
  if (list.engineCurrent_ != this && engine::SetCurrentSession(handle_) == engine::status::Ok)
    list.engineCurrent_ = this;
  for (auto i = databases_.size(); i-- > 0;) {
    if (i >= databases_.size()) continue;
    TDatabase* db = databases_[i];
    if (db->Temporary()) {
      if (!db->IsDestroying()) delete db;
    } else {
      Quietly([db] { db->Close(); });
    }
  }
  RemoveCallbacks();
  if (isDefault_) {
    engine::EngineExit();
  } else {
    engine::SessionHandle h = handle_;
    engine::CloseSession(h);
  }
  handle_ = {};
  list.engineCurrent_ = nullptr;
  StopWaitCursor();
}

TDatabase* TSession::FindDatabase(std::string_view name) const {
  for (TDatabase* db : databases_) {
    if (SameText(db->DatabaseName(), name) && (!db->DatabaseName().empty() || db->Temporary())) return db;
  }
  return nullptr;
}

void TSession::AddDatabase(TDatabase* database) { databases_.push_back(database); }

void TSession::RemoveDatabase(TDatabase* database) {
  databases_.erase(std::remove(databases_.begin(), databases_.end(), database), databases_.end());
}

TDatabase* TSession::OpenDatabase(const std::string& databaseName, const TComponent* client) {
  TSessionLock lock(this);
  TDatabase* db = nullptr;
  if (client && client->Owner()) {
    for (TDatabase* d : databases_) {
      if (d->Owner() == client->Owner() && d->HandleShared() && SameText(d->DatabaseName(), databaseName)) {
        db = d;
        break;
      }
    }
  }
  if (!db) db = FindDatabase(databaseName);
  bool created = false;
  if (!db) {
    db = new TDatabase(this);
    created = true;
    db->SetDatabaseName(databaseName);
    db->SetKeepConnection(keepConnections_);
    db->SetTemporary(true);
  }
  if (!db->Connected()) {
    try {
      db->Open();
    } catch (...) {
      if (created) delete db;
      throw;
    }
  }
  ++db->refCount_;
  return db;
}

void TSession::CloseDatabase(TDatabase* database) {
  if (!database) return;
  TSessionLock lock(this);
  if (database->refCount_ > 0) --database->refCount_;
  if (database->refCount_ > 0 || database->KeepConnection() || database->disconnecting_) return;
  if (database->Temporary()) {
    if (!database->IsDestroying()) delete database;
  } else {
    database->Close();
  }
}

std::string TSession::AliasDriverType(const std::string& alias) {
  SetActive(true);
  TSessionLock lock(this);
  engine::AliasDesc desc;
  Check(engine::GetAliasDesc(TranslateText({}, alias, true), desc));
  return desc.driverType;
}

void TSession::ReadAliasParams(const std::string& alias, TStrings& lines) {
  const std::string driver = AliasDriverType(alias);
  const bool standard = SameText(driver, engine::kStandardDriver);
  TSessionLock lock(this);
  const std::string native = TranslateText({}, alias, true);
  const std::string path = "\\DATABASES\\" + native + (standard ? "\\DB INFO" : "\\DB OPEN");
  std::vector<engine::ConfigEntry> entries;
  Check(engine::GetConfigEntries(path, entries));
  lines.BeginUpdate();
  lines.Clear();
  for (const engine::ConfigEntry& e : entries) {
    if (standard && SameText(e.name, "TYPE")) continue;
    lines.Add(e.name + "=" + TranslateText({}, e.value, false));
  }
  lines.EndUpdate();
}

void TSession::AddPassword(const std::string& password) {
  SetActive(true);
  TSessionLock lock(this);
  Check(engine::AddPassword(TranslateText({}, password, true)));
}

void TSession::RemoveSessionPassword(const std::string& password) {
  SetActive(true);
  TSessionLock lock(this);
  Check(engine::DropPassword(TranslateText({}, password, true)));
}

void TSession::ClearSessionPasswords() {
  SetActive(true);
  TSessionLock lock(this);
  Check(engine::DropAllPasswords());
}

bool TSession::GetPassword() {
  bool retry = false;
  if (OnPassword) {
    OnPassword(this, retry);
    return retry;
  }
  const TPasswordHook& hook = PasswordHook();
  return hook && hook(this);
}

// ---- wait cursor ----

void TSession::WaitCursorCallback(engine::CallbackKind kind, std::int32_t info) {
  if (kind != engine::CallbackKind::WaitCursor || info != static_cast<std::int32_t>(engine::WaitState::Busy)) return;
  if (!IsMainThread()) return;
  if (!waitTimer_) {
    waitTimer_ = std::make_unique<TTimer>(nullptr);
    waitTimer_->SetEnabled(false);
    waitTimer_->SetInterval(kWaitCursorInterval);
    waitTimer_->OnTimer = [this](TObject*) { WaitCursorTick(); };
  }
  waitTimer_->SetEnabled(true);
  SetScreenCursor(crSQLWait);
  lastBusy_ = std::chrono::steady_clock::now();
}

void TSession::WaitCursorTick() {
  if (std::chrono::steady_clock::now() - lastBusy_ > std::chrono::milliseconds(kWaitCursorInterval)) StopWaitCursor();
}

void TSession::StopWaitCursor() {
  // The timer and the cursor belong to the main thread; elsewhere the timer's next tick there ends the cursor.
  if (!IsMainThread() || !waitTimer_ || !waitTimer_->Enabled()) return;
  waitTimer_->SetEnabled(false);
  if (ScreenCursor() == crSQLWait) SetScreenCursor(crDefault);
}
