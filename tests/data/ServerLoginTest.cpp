// Logging in to a database on a server that asks for a password: the password comes from the login dialog and
// is never written in the engine's configuration.
#include "core/ScopeGuard.h"
#include "data/ClientDbFixture.h"

#include <sys/stat.h>

#include <optional>

using namespace querytest;

namespace {

class ServerLogin : public ClientDbOn {
protected:
  void SetUp() override {
    ClientDbOn::SetUp();
    const enginetest::PgServer& server = enginetest::SharedPgServer();
    ASSERT_EQ(server.Exec(std::string("GRANT SELECT ON acadclie TO ") + enginetest::PgServer::kSecureUser), "");
    enginetest::WriteFile(configFile,
                          "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=POSTGRESQL\n[\\DATABASES\\VERANTO\\DB OPEN]\nHOST=" +
                              server.SocketFolder() + "\nPORT=" + std::to_string(server.Port()) +
                              "\nDATABASE NAME=" + enginetest::PgServer::kDatabase +
                              "\nUSER NAME=" + enginetest::PgServer::kSecureUser + "\nLANGDRIVER=pt_BR\n");
  }
  // The hook is process-wide: it goes back however the test ends, even when the set-up stops early.
  TScopedValueRollback<TLoginHook> savedHook_{LoginHook()};
};

TEST_P(ServerLogin, TheLoginDialogsPasswordOpensTheDatabaseAndAWrongOneGivesTheServersAnswer) {
  struct Case {
    bool accept;
    const char* password;
    std::string error;  // empty: opens
  };
  const std::vector<Case> cases = {
      {false, "", "Não é possível conectar com o banco de dados 'VERANTO'"},
      {true, "errada", "The server refused the user name or password.\n"},
      {true, enginetest::PgServer::kSecurePassword, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.password);
    std::vector<std::string> asked;
    LoginHook() = [&](const std::string& database, std::string& user, std::string& password, bool) {
      asked.push_back(database + "/" + user);
      password = c.password;
      return c.accept;
    };
    TQuery* q = NewQuery("select codigo from acadclie order by codigo");
    const std::string error = ErrorOf([&] { q->Open(); });
    EXPECT_EQ(asked, std::vector<std::string>{"VERANTO/secure"});
    if (c.error.empty()) {
      EXPECT_EQ(error, "<no error>");
      EXPECT_EQ(q->RecordCount(), 10);
    } else {
      EXPECT_EQ(error.substr(0, c.error.size()), c.error);
      if (c.accept) {
        EXPECT_NE(error.find("password authentication failed for user \"secure\""), std::string::npos) << error;
      }
      EXPECT_EQ(Session()->DatabaseCount(), 0);
    }
    delete q;
  }
}

TEST_P(ServerLogin, AServerThatAsksForAPasswordNobodyGaveGetsItFromTheLoginDialog) {
  const enginetest::PgServer& server = enginetest::SharedPgServer();
  enginetest::WriteFile(
      configFile, "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=POSTGRESQL\n[\\DATABASES\\VERANTO\\DB OPEN]\nCONNECTION=" +
                      server.Connection(enginetest::PgServer::kDatabase, enginetest::PgServer::kSecureUser) +
                      "\nLANGDRIVER=pt_BR\n");
  for (bool accept : {false, true}) {
    SCOPED_TRACE(accept);
    std::vector<std::string> asked;
    LoginHook() = [&](const std::string& database, std::string& user, std::string& password, bool) {
      asked.push_back(database + "/" + user);
      password = enginetest::PgServer::kSecurePassword;
      return accept;
    };
    TQuery* q = NewQuery("select codigo from acadclie order by codigo");
    const std::string error = ErrorOf([&] { q->Open(); });
    EXPECT_EQ(asked, std::vector<std::string>{"VERANTO/secure"});
    if (accept) {
      EXPECT_EQ(error, "<no error>");
      EXPECT_EQ(q->RecordCount(), 10);
    } else {
      EXPECT_EQ(error.substr(0, 25), "The login was cancelled.\n") << error;
    }
    delete q;
  }
}

// An alias's USER NAME whose password libpq finds in the password file or the environment connects without asking.
TEST_P(ServerLogin, AUserNameWhosePasswordLibpqFindsConnectsWithoutAsking) {
  const std::string pgpass = (dir.path() / "pgpass").string();
  enginetest::WriteFile(pgpass, std::string("*:*:*:") + enginetest::PgServer::kSecureUser + ":" +
                                    enginetest::PgServer::kSecurePassword + "\n");
  ::chmod(pgpass.c_str(), 0600);
  struct Case {
    const char* what;
    std::optional<std::string> file, password;
  };
  const Case cases[] = {
      {"the password file", pgpass, std::nullopt},
      {"the environment", (dir.path() / "none").string(), enginetest::PgServer::kSecurePassword},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedEnv file("PGPASSFILE", c.file), password("PGPASSWORD", c.password);
    int asked = 0;
    LoginHook() = [&](const std::string&, std::string&, std::string&, bool) { return ++asked, false; };
    TQuery* q = NewQuery("select codigo from acadclie order by codigo");
    EXPECT_EQ(ErrorOf([&] { q->Open(); }), "<no error>");
    EXPECT_EQ(q->RecordCount(), 10);
    EXPECT_EQ(asked, 0);
    delete q;
    Session()->Close();
  }
}

INSTANTIATE_TEST_SUITE_P(Server, ServerLogin, ::testing::Values(Driver::Postgres), DriverName);

}  // namespace
