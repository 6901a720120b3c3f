#pragma once

#include "data/DBCommon.h"
#include "engine/Engine.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TDatabase;
class TDBDataSet;
class TSession;
class TStrings;
class TTimer;

using TPasswordEvent = std::function<void(TObject* sender, bool& retry)>;

// Asks the user for a database login: `userName` comes in and goes out, `password` goes out. False: cancelled.
using TLoginHook = std::function<bool(const std::string& databaseName, std::string& userName, std::string& password,
                                      bool nameReadOnly)>;
// Asks the user for passwords on behalf of a session. False: nothing was supplied.
using TPasswordHook = std::function<bool(TSession* session)>;

// Text between the program's character set and the engine's, through the engine's conversion for `locale` (which
// may be cleared); the length is the text's up to its first zero byte. Each direction has its own process-wide lock.
std::string TranslateText(engine::LocaleHandle locale, std::string_view text, bool toEngine);

// The hooks the login and password dialogs fill; empty hooks refuse.
TLoginHook& LoginHook();
TPasswordHook& PasswordHook();

// Every session of the process, and the one lock that every session's engine calls take.
class TSessionList {
public:
  TSessionList();
  ~TSessionList();
  TSessionList(const TSessionList&) = delete;
  TSessionList& operator=(const TSessionList&) = delete;

  int Count() const;
  TSession* Sessions(int index) const;
  // An empty name gives the default session; otherwise a case-insensitive match, or nullptr.
  TSession* FindSession(std::string_view name) const;
  // As FindSession, raising "Nome da seção '%s' inválido" when there is none.
  TSession* GetSession(std::string_view name) const;
  // The session named "Default", made when the list was.
  TSession* DefaultSession() const { return defaultSession_; }

  // Removes the wait cursor now, if one shows.
  void HideWaitCursor();

private:
  friend class TSession;
  friend class TSessionLock;
  void AddSession(TSession* session);
  void RemoveSession(TSession* session);

  mutable std::recursive_mutex listLock_;
  std::vector<TSession*> sessions_;
  TSession* defaultSession_ = nullptr;
  std::recursive_mutex engineLock_;
  // The session the engine takes as its current one, as far as this layer knows.
  TSession* engineCurrent_ = nullptr;
};

// The process's session list.
TSessionList& Sessions();
// The process's default session.
TSession* Session();

// Holds the engine lock for a session and makes it the engine's current session; re-entrant.
class TSessionLock {
public:
  explicit TSessionLock(TSession* session);
  ~TSessionLock();
  TSessionLock(const TSessionLock&) = delete;
  TSessionLock& operator=(const TSessionLock&) = delete;

private:
  TSession* session_;
};

// A connection to the engine: starts and ends it, owns the databases it opened implicitly.
class TSession : public TComponent {
public:
  explicit TSession(TComponent* owner);
  ~TSession() override;

  bool Active() const { return static_cast<bool>(handle_); }
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  bool AutoSessionName() const { return autoSessionName_; }
  void SetAutoSessionName(bool value) { autoSessionName_ = value; }
  bool KeepConnections() const { return keepConnections_; }
  void SetKeepConnections(bool value) { keepConnections_ = value; }
  const std::string& NetFileDir() const { return netFileDir_; }
  void SetNetFileDir(const std::string& value);
  const std::string& PrivateDir() const { return privateDir_; }
  void SetPrivateDir(const std::string& value);
  const std::string& SessionName() const { return sessionName_; }
  void SetSessionName(const std::string& value);
  bool SQLHourGlass() const { return sqlHourGlass_; }
  void SetSQLHourGlass(bool value) { sqlHourGlass_ = value; }

  TPasswordEvent OnPassword;
  TNotifyEvent OnStartup;

  engine::SessionHandle Handle() const { return handle_; }
  bool IsDefault() const { return isDefault_; }
  int DatabaseCount() const { return static_cast<int>(databases_.size()); }
  TDatabase* Databases(int index) const { return databases_.at(static_cast<std::size_t>(index)); }
  // The connected or unconnected database of that name (case-insensitive), or nullptr.
  TDatabase* FindDatabase(std::string_view name) const;

  // The database a dataset uses: an existing one of that name, else a temporary one this session owns;
  // connected, with its reference count raised.
  TDatabase* OpenDatabase(const std::string& databaseName, const TComponent* client = nullptr);
  // Lowers the reference count; an unused database without KeepConnection goes (temporary) or closes.
  void CloseDatabase(TDatabase* database);
  TDatabase* SearchDatabase(std::string_view name) const { return FindDatabase(name); }

  // The alias's parameters as name=value lines; a driver other than the standard one reads its open
  // parameters, the standard driver its information without TYPE.
  void ReadAliasParams(const std::string& alias, TStrings& lines);
  std::string AliasDriverType(const std::string& alias);

  void AddPassword(const std::string& password);
  void AddSessionPassword(const std::string& password) { AddPassword(password); }
  void RemoveSessionPassword(const std::string& password);
  void ClearSessionPasswords();
  // Asks OnPassword, else the password hook; true when the caller should try again.
  bool GetPassword();

  // The engine lock of this session (see TSessionLock).
  void LockSession();
  void UnlockSession();
  int LockCount() const { return lockCount_; }

private:
  friend class TDatabase;
  friend class TSessionList;
  void StartSession();
  void StopSession();
  void InitializeEngine();
  void InstallCallbacks();
  void RemoveCallbacks();
  void AddDatabase(TDatabase* database);
  void RemoveDatabase(TDatabase* database);
  void WaitCursorCallback(engine::CallbackKind kind, std::int32_t info);
  // The engine's way to the login hook, for drivers whose server asks for a user.
  static void LoginCallback(engine::LoginRequest& request);
  void WaitCursorTick();
  void StopWaitCursor();

  engine::SessionHandle handle_;
  std::vector<TDatabase*> databases_;
  bool isDefault_ = false;
  bool autoSessionName_ = false;
  bool keepConnections_ = true;
  bool sqlHourGlass_ = true;
  bool ownsWaitCallback_ = false;
  bool ownsLoginCallback_ = false;
  std::string netFileDir_, privateDir_, sessionName_;
  int lockCount_ = 0;
  std::unique_ptr<TTimer> waitTimer_;
  std::chrono::steady_clock::time_point lastBusy_;
};
