// Sessions and databases: the implicit database per alias, reference counts, engine errors as the user reads them,
// passwords, logins and the wait cursor.
#include "core/ScopeGuard.h"
#include "core/Translation.h"
#include "data/ClientDbFixture.h"

#include "widgets/Cursors.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <mutex>
#include <thread>

using namespace querytest;

TEST_F(ClientDb, TwoQueriesShareOneImplicitDatabase) {
  TQuery* a = NewQuery("select codigo from acadclie", "QA");
  TQuery* b = NewQuery("select cidade from acadclie group by cidade", "QB");
  a->Open();
  b->Open();
  ASSERT_NE(a->Database(), nullptr);
  EXPECT_EQ(a->Database(), b->Database());
  TDatabase* db = a->Database();
  EXPECT_TRUE(db->Temporary());
  EXPECT_EQ(db->RefCount(), 2);
  EXPECT_EQ(Session()->DatabaseCount(), 1);
  EXPECT_EQ(db->DataSetCount(), 2);
  a->Close();
  EXPECT_EQ(db->RefCount(), 1);
  b->Close();
  EXPECT_EQ(db->RefCount(), 0);
  // KeepConnections: the connection stays for the next report.
  EXPECT_EQ(Session()->FindDatabase("veranto"), db);
  EXPECT_TRUE(db->Connected());
  a->Open();
  EXPECT_EQ(a->Database(), db);
}

TEST_F(ClientDb, WithoutKeepConnectionsTheLastCloseFreesTheDatabase) {
  Session()->SetKeepConnections(false);
  TQuery* a = NewQuery("select codigo from acadclie", "QA");
  TQuery* b = NewQuery("select codigo from acadclie", "QB");
  a->Open();
  b->Open();
  EXPECT_EQ(a->Database()->RefCount(), 2);
  a->Close();
  EXPECT_NE(Session()->FindDatabase("VERANTO"), nullptr);
  b->Close();
  EXPECT_EQ(Session()->FindDatabase("VERANTO"), nullptr);
  EXPECT_EQ(Session()->DatabaseCount(), 0);
}

TEST_F(ClientDb, EndingTheSessionClosesItsQueriesAndFreesTemporaryDatabases) {
  TQuery* q = NewQuery("select codigo from acadclie");
  q->Open();
  Session()->Close();
  EXPECT_FALSE(q->Active());
  EXPECT_EQ(q->Database(), nullptr);
  EXPECT_EQ(Session()->DatabaseCount(), 0);
  q->Open();
  EXPECT_EQ(q->RecordCount(), 10);
}

TEST_F(ClientDb, EngineErrorsSayWhatIsWrong) {
  struct Case {
    const char* database;
    const char* sql;
    engine::Status status;
    std::vector<std::string> lines;  // the message, line by line; "*" ends with anything
  };
  const std::string config = "Configuration file: " + configFile.string();
  const std::vector<Case> cases = {
      {"NOPE",
       "select codigo from acadclie",
       engine::status::UnknownAlias,
       {"Unknown database alias.", "Alias: NOPE", config}},
      {"VERANTO",
       "select codigo from clientes",
       engine::status::TableNotFound,
       {"Table does not exist.", "no such table: clientes"}},
      {"VERANTO",
       "select codigo from acadclie where cidade = \"Rio",
       engine::status::SqlSyntax,
       {"Invalid SQL statement.", "string literal opened at position 44 is not closed"}},
      {"VERANTO", "select codigo fro acadclie", engine::status::SqlSyntax, {"Invalid SQL statement.", "*"}},
  };
  for (const Case& c : cases) {
    TQuery* q = NewQuery(c.sql);
    q->SetDatabaseName(c.database);
    try {
      q->Open();
      ADD_FAILURE() << c.sql << " opened";
    } catch (const EDBEngineError& e) {
      ASSERT_GE(e.ErrorCount(), 1);
      EXPECT_EQ(e.Errors(0).ErrorCode(), c.status) << e.Message();
      std::string expected;
      for (const std::string& line : c.lines) expected += (expected.empty() ? "" : "\n") + line;
      if (c.lines.back() == "*") {
        expected.pop_back();
        EXPECT_EQ(e.Message().substr(0, expected.size()), expected);
        EXPECT_GT(e.Message().size(), expected.size());
      } else {
        EXPECT_EQ(e.Message(), expected);
      }
    }
    // The failure leaves the query closed, its statement freed and no reference held.
    EXPECT_FALSE(q->Active());
    EXPECT_FALSE(q->Prepared());
    EXPECT_EQ(q->Database(), nullptr);
    delete q;
  }
  // The implicit database of VERANTO stays connected and usable.
  TDatabase* db = Session()->FindDatabase("VERANTO");
  ASSERT_NE(db, nullptr);
  EXPECT_TRUE(db->Connected());
  EXPECT_EQ(db->RefCount(), 0);
  EXPECT_EQ(Session()->FindDatabase("NOPE"), nullptr) << "a database that failed to connect is not kept";
  TQuery* q = NewQuery("select codigo from acadclie");
  q->Open();
  EXPECT_EQ(q->RecordCount(), 10);
}

TEST_F(ClientDb, EngineErrorEntriesCarryStatusNativeCodeAndText) {
  TQuery* q = NewQuery("select codigo from clientes");
  try {
    q->Open();
    FAIL() << "opened";
  } catch (const EDBEngineError& e) {
    ASSERT_EQ(e.ErrorCount(), 2);
    EXPECT_EQ(e.Errors(0).ErrorCode(), engine::status::TableNotFound);
    EXPECT_EQ(e.Errors(0).Message(), "Table does not exist.");
    EXPECT_EQ(e.Errors(1).ErrorCode(), engine::status::TableNotFound);
    EXPECT_NE(e.Errors(1).NativeError(), 0);
    EXPECT_EQ(e.Errors(1).Message(), "no such table: clientes");
    EXPECT_EQ(e.Errors(1).Category(), 0x22);
    EXPECT_EQ(e.Errors(1).SubCode(), 0x06);
  }
}

TEST_F(ClientDb, StatusWithoutMessageLinesNamesTheStatus) {
  struct Case {
    bool sessionActive;
    engine::Status status;
    const char* message;
  };
  const std::vector<Case> cases = {
      {true, 0x7FF3, "Erro do mecanismo de banco de dados $7FF3"},
      {true, 0x2EC4, "Erro do mecanismo de banco de dados $2EC4"},
      {true, engine::status::Eof, "At end of table."},
      {false, 0x2108, "Um erro ocorreu durante a inicialização do mecanismo de banco de dados (erro $2108)"},
      {false, 0x2F01, "Erro do mecanismo de banco de dados $2F01"},
  };
  for (const Case& c : cases) {
    Session()->SetActive(c.sessionActive);
    engine::CursorProps props;
    engine::GetCursorProps({}, props);  // any call: it leaves an error context that must not leak into the next one
    char text[] = "x";
    engine::NativeToAnsi({}, text, text, 1);  // a call that succeeds, started or not, clears the context
    try {
      Check(c.status);
      ADD_FAILURE() << "no error";
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.Message(), c.message);
      ASSERT_EQ(e.ErrorCount(), 1);
      EXPECT_EQ(e.Errors(0).ErrorCode(), c.status);
    }
  }
  EXPECT_NO_THROW(Check(0));
}

// The engine speaks English; the user reads each of its statuses in Portuguese under a Portuguese locale.
TEST_F(ClientDb, EngineStatusesAreShownInTheUsersLanguage) {
  TTranslations portuguese("pt_BR.UTF-8");
  Session()->SetActive(true);
  int statuses = 0;
  for (unsigned code = 1; code <= 0xFFFF; ++code) {
    const auto status = static_cast<engine::Status>(code);
    const std::string english(engine::StatusMessage(status));
    if (english.empty()) continue;
    ++statuses;
    try {
      Check(status);
      ADD_FAILURE() << "no error";
    } catch (const EDBEngineError& e) {
      EXPECT_NE(e.Message(), english) << "untranslated status " << code;
      EXPECT_FALSE(e.Message().empty());
    }
  }
  EXPECT_GT(statuses, 30);
  try {
    Check(engine::status::DatabaseBusy);
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.Message(), "O banco de dados está bloqueado por outro usuário.");
  }
}

TEST_F(ClientDb, PasswordNeededAsksTheSessionAndRetries) {
  WriteAlias("VERANTO", "PASSWORD=segredo\n");
  int asked = 0;
  Session()->OnPassword = [&asked](TObject* sender, bool& retry) {
    ++asked;
    static_cast<TSession*>(sender)->AddSessionPassword(asked == 1 ? "errada" : "segredo");
    retry = true;
  };
  TQuery* q = NewQuery("select codigo from acadclie");
  q->Open();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(q->RecordCount(), 10);
}

TEST_F(ClientDb, RefusedPasswordFailsWithTheEngineStatus) {
  WriteAlias("VERANTO", "PASSWORD=segredo\n");
  Session()->OnPassword = [](TObject*, bool& retry) { retry = false; };
  TQuery* q = NewQuery("select codigo from acadclie");
  try {
    q->Open();
    FAIL() << "opened";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.Errors(0).ErrorCode(), engine::status::PasswordNeeded);
    EXPECT_EQ(e.Message(), "Password needed.\nAlias: VERANTO");
  }
  EXPECT_FALSE(q->Active());
  EXPECT_FALSE(q->StmtHandle());
}

TEST_F(ClientDb, AliasWithUserNameAsksForALogin) {
  WriteAlias("VERANTO", "USER NAME=ana\n");
  // The hook is process-wide: it goes back however the test ends.
  TScopedValueRollback<TLoginHook> saved(LoginHook());
  std::vector<std::string> asked;
  bool accept = false;
  LoginHook() = [&](const std::string& database, std::string& user, std::string& password, bool) {
    asked.push_back(database + "/" + user);
    user = "beatriz";
    password = "x";
    return accept;
  };
  TQuery* q = NewQuery("select codigo from acadclie");
  EXPECT_EQ(ErrorOf([&] { q->Open(); }), "Não é possível conectar com o banco de dados 'VERANTO'");
  EXPECT_FALSE(q->Active());
  EXPECT_EQ(Session()->DatabaseCount(), 0);
  accept = true;
  q->Open();
  EXPECT_EQ(asked, (std::vector<std::string>{"VERANTO/ana", "VERANTO/ana"}));
  EXPECT_EQ(q->Database()->Params().Values("USER NAME"), "beatriz");

  // A database of the form's own, with a name, is named in the error of a cancelled login.
  accept = false;
  auto* named = new TDatabase(&form);
  named->SetName("DBL");
  named->SetDatabaseName("LOGIN2");
  named->SetAliasName("VERANTO");
  EXPECT_EQ(ErrorOf([&] { named->Open(); }), "DBL: Não é possível conectar com o banco de dados 'LOGIN2'");
  EXPECT_FALSE(named->Connected());
}

TEST_F(ClientDb, TheEngineAsksForALoginThroughTheSessionsCallback) {
  // The hook is process-wide: it goes back however the test ends.
  TScopedValueRollback<TLoginHook> saved(LoginHook());
  std::vector<std::string> asked;
  bool accept = true;
  LoginHook() = [&](const std::string& database, std::string& user, std::string& password, bool nameReadOnly) {
    asked.push_back(database + "/" + user + (nameReadOnly ? "/fixed" : ""));
    user = "beatriz";
    password = "segredo";
    return accept;
  };
  Session()->Open();
  bool registered = false;
  ASSERT_EQ(engine::HasCallback(engine::CallbackKind::Login, registered), engine::status::Ok);
  EXPECT_TRUE(registered);

  engine::LoginRequest request{"CLIENTES", "ana", "", true, false};
  EXPECT_EQ(engine::RequestLogin(request), engine::status::Ok);
  EXPECT_TRUE(request.accepted);
  EXPECT_EQ(request.userName, "beatriz");
  EXPECT_EQ(request.password, "segredo");
  accept = false;
  engine::LoginRequest cancelled{"CLIENTES", "ana", "", false, false};
  EXPECT_EQ(engine::RequestLogin(cancelled), engine::status::LoginCancelled);
  EXPECT_FALSE(cancelled.accepted);
  EXPECT_EQ(cancelled.password, "");
  EXPECT_EQ(asked, (std::vector<std::string>{"CLIENTES/ana/fixed", "CLIENTES/ana"}));

  // Ending the session takes its callback away with it; the next start installs it again.
  Session()->Close();
  Session()->Open();
  ASSERT_EQ(engine::HasCallback(engine::CallbackKind::Login, registered), engine::status::Ok);
  EXPECT_TRUE(registered);
}

TEST_F(ClientDb, ExplicitDatabaseWithOwnParamsOpensThroughASessionAlias) {
  const std::filesystem::path otherFile = dir.path() / "outro.db";
  enginetest::Sqlite(otherFile, std::string(enginetest::kClientTable) +
                                    "INSERT INTO acadclie VALUES ('900','Filial','Natal',NULL,NULL,NULL);");
  auto* db = new TDatabase(&form);
  db->SetDatabaseName("OUTRO");
  db->SetAliasName("VERANTO");
  db->Params().SetValue("PATH", otherFile.string());
  db->Open();
  EXPECT_TRUE(db->Connected());
  EXPECT_FALSE(db->Temporary());
  TQuery* q = NewQuery("select codigo, cidade from acadclie");
  q->SetDatabaseName("OUTRO");
  q->Open();
  EXPECT_EQ(q->Database(), db);
  EXPECT_EQ(Column(q, "cidade"), std::vector<std::string>{"Natal"});
  // Closing the database closes its datasets and removes the alias it made for itself.
  db->Close();
  EXPECT_FALSE(q->Active());
  EXPECT_EQ(q->Database(), nullptr);
  EXPECT_EQ(ErrorOf([] {
              engine::AliasDesc desc;
              Check(engine::GetAliasDesc("OUTRO", desc));
            }).substr(0, 23),
            "Unknown database alias.");
  // Opening the query again connects the same database again.
  q->Open();
  EXPECT_EQ(q->Database(), db);
  EXPECT_TRUE(db->Connected());
  // The configured alias itself was never changed.
  TQuery* plain = NewQuery("select codigo from acadclie", "QPlain");
  plain->Open();
  EXPECT_EQ(plain->RecordCount(), 10);
}

TEST_F(ClientDb, SessionsAreFoundByNameWithoutRegardToCase) {
  EXPECT_EQ(Sessions().FindSession(""), Session());
  EXPECT_EQ(Sessions().FindSession("dEfAuLt"), Session());
  EXPECT_EQ(Session()->SessionName(), "Default");
  EXPECT_EQ(ErrorOf([] { Sessions().GetSession("Outra"); }), "Nome da seção 'Outra' inválido");
  TQuery* q = NewQuery("select codigo from acadclie");
  q->SetSessionName("Outra");
  EXPECT_EQ(ErrorOf([&] { q->Open(); }), "Nome da seção 'Outra' inválido");
  auto* other = new TSession(&form);
  EXPECT_EQ(ErrorOf([&] { other->Open(); }), "Nome da seção ausente");
  other->SetSessionName("Outra");
  q->Open();
  EXPECT_TRUE(other->Active());
  EXPECT_TRUE(Session()->Active());
  EXPECT_EQ(q->Database()->Session(), other);
  EXPECT_EQ(q->RecordCount(), 10);
}

TEST_F(ClientDb, WaitCursorShowsWhileTheEngineWorksAndGoesAfterFiftyMilliseconds) {
  ASSERT_EQ(ScreenCursor(), crDefault);
  TQuery* q = NewQuery("select codigo from acadclie");
  q->Open();
  EXPECT_EQ(ScreenCursor(), crSQLWait);
  QElapsedTimer clock;
  clock.start();
  while (ScreenCursor() != crDefault && clock.elapsed() < 2000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(ScreenCursor(), crDefault);
  EXPECT_GT(clock.elapsed(), 40);
  // An engine error removes it at once.
  q->Close();
  q->Open();
  ASSERT_EQ(ScreenCursor(), crSQLWait);
  TQuery* bad = NewQuery("select codigo from clientes", "QBad");
  EXPECT_THROW(bad->Open(), EDBEngineError);
  EXPECT_EQ(ScreenCursor(), crDefault);
}

namespace {

// Collects what Qt reports while it lives.
class QtMessages {
public:
  QtMessages() { previous_ = qInstallMessageHandler(&Handler); }
  ~QtMessages() { qInstallMessageHandler(previous_); }
  static std::vector<std::string> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(seen_, {});
  }

private:
  static void Handler(QtMsgType, const QMessageLogContext&, const QString& text) {
    std::lock_guard lock(mutex_);
    seen_.push_back(text.toStdString());
  }
  static inline std::mutex mutex_;
  static inline std::vector<std::string> seen_;
  QtMessageHandler previous_ = nullptr;
};

}  // namespace

// A session ended on a worker thread leaves the wait cursor's timer to the main thread, which still takes the
// cursor away.
TEST_F(ClientDb, SessionEndedOnAWorkerLeavesTheWaitCursorToTheMainThread) {
  QtMessages messages;
  TQuery* q = NewQuery("select codigo from acadclie");
  q->Open();
  ASSERT_EQ(ScreenCursor(), crSQLWait);
  delete q;
  std::thread([] { Session()->Close(); }).join();
  EXPECT_FALSE(Session()->Active());
  QElapsedTimer clock;
  clock.start();
  while (ScreenCursor() != crDefault && clock.elapsed() < 2000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(ScreenCursor(), crDefault);
  EXPECT_EQ(QtMessages::Take(), std::vector<std::string>{});
}
