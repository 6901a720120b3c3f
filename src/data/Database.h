#pragma once

#include "core/Strings.h"
#include "data/DBCommon.h"
#include "engine/Engine.h"

#include <functional>
#include <string>
#include <vector>

class TSession;
class TDataSet;

using TConnectChangeEvent = std::function<void(TObject* connection, bool connecting)>;

// Something a program connects to; datasets register with it as clients.
class TCustomConnection : public TComponent {
public:
  explicit TCustomConnection(TComponent* owner);
  ~TCustomConnection() override;

  bool Connected() const { return GetConnected(); }
  void SetConnected(bool value);
  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }

  TNotifyEvent AfterConnect, AfterDisconnect, BeforeConnect, BeforeDisconnect;

  // Clients are told of every connection change in registration order.
  void RegisterClient(TObject* client, TConnectChangeEvent onChange = nullptr);
  void UnregisterClient(TObject* client);
  int ClientCount() const { return static_cast<int>(clients_.size()); }
  int DataSetCount() const { return static_cast<int>(dataSets_.size()); }
  TDataSet* DataSets(int index) const { return dataSets_.at(static_cast<std::size_t>(index)); }

  void Loaded() override;

protected:
  virtual void DoConnect() {}
  virtual void DoDisconnect() {}
  virtual bool GetConnected() const { return false; }
  void SendConnectEvent(bool connecting);

private:
  struct Client {
    TObject* object;
    TConnectChangeEvent onChange;
  };
  std::vector<Client> clients_;
  std::vector<TDataSet*> dataSets_;
  bool streamedConnected_ = false;
};

enum TTransIsolation { tiDirtyRead, tiReadCommitted, tiRepeatableRead };

using TDatabaseLoginEvent = std::function<void(TObject* database, TStrings& loginParams)>;

// A connection to one database through an alias of the engine.
class TDatabase : public TCustomConnection {
public:
  explicit TDatabase(TComponent* owner);
  ~TDatabase() override;

  const std::string& AliasName() const { return aliasName_; }
  void SetAliasName(const std::string& value);
  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string& value);
  const std::string& DriverName() const { return driverName_; }
  void SetDriverName(const std::string& value);
  bool Exclusive() const { return exclusive_; }
  void SetExclusive(bool value);
  bool HandleShared() const { return handleShared_; }
  void SetHandleShared(bool value);
  bool KeepConnection() const { return keepConnection_; }
  void SetKeepConnection(bool value);
  bool LoginPrompt() const { return loginPrompt_; }
  void SetLoginPrompt(bool value) { loginPrompt_ = value; }
  TStrings& Params() { return params_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  const std::string& SessionName() const { return sessionName_; }
  void SetSessionName(const std::string& value);
  TTransIsolation TransIsolation() const { return transIsolation_; }
  void SetTransIsolation(TTransIsolation value);

  TDatabaseLoginEvent OnLogin;

  engine::DatabaseHandle Handle() const { return handle_; }
  TSession* Session() const { return session_; }
  bool Temporary() const { return temporary_; }
  void SetTemporary(bool value) { temporary_ = value; }
  // Datasets that acquired the database through the session and have not released it.
  int RefCount() const { return refCount_; }
  bool IsSQLBased() const { return sqlBased_; }
  engine::LocaleHandle Locale() const { return locale_; }

protected:
  void DoConnect() override;
  void DoDisconnect() override;
  bool GetConnected() const override { return static_cast<bool>(handle_); }

private:
  friend class TSession;
  void CheckInactive() const;
  void Login(TStrings& loginParams);
  void CreateSessionAlias(const std::vector<engine::ConfigEntry>& aliasParams, const std::string& driverType);
  void RemoveSessionAlias();

  std::string aliasName_, databaseName_, driverName_, sessionName_;
  bool exclusive_ = false;
  bool handleShared_ = false;
  bool keepConnection_ = true;
  bool loginPrompt_ = true;
  bool readOnly_ = false;
  TTransIsolation transIsolation_ = tiReadCommitted;
  TStrings params_;

  engine::DatabaseHandle handle_;
  engine::LocaleHandle locale_;
  TSession* session_ = nullptr;
  bool temporary_ = false;
  bool sqlBased_ = false;
  bool sessionAlias_ = false;
  bool sharesHandle_ = false;  // the handle belongs to another database of the same name
  bool disconnecting_ = false;
  int refCount_ = 0;
};
