// A user's first start without configuration: the demo setup made in the user's folders, never over a
// configuration that exists, the offer in the dialog, and the batch export that refuses to run unconfigured.
#include "app/BatchExport.h"
#include "app/FirstStart.h"
#include "app/Units.h"
#include "engine/EngineFixture.h"
#include "widgets/Forms.h"

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

long long ClientCount(const fs::path& file) {
  sqlite3* db = nullptr;
  long long count = -1;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_exec(
        db, "SELECT count(*) FROM acadclie",
        [](void* out, int, char** values, char**) {
          *static_cast<long long*>(out) = std::stoll(values[0]);
          return 0;
        },
        &count, nullptr);
  }
  sqlite3_close(db);
  return count;
}

// A user with an empty home and no configuration variables.
class FirstStart : public ::testing::Test {
protected:
  fs::path Config() const { return home_.path() / ".config" / "relclientes" / "engine.cfg"; }
  fs::path Demo() const { return home_.path() / ".local" / "share" / "relclientes" / "veranto.db"; }

  TempFolder home_;
  ScopedEnv homeEnv_{"HOME", home_.path().string()};
  ScopedEnv configEnv_{"RELCLIENTES_ENGINE_CONFIG", nullptr};
  ScopedEnv configHomeEnv_{"XDG_CONFIG_HOME", nullptr};
  ScopedEnv dataHomeEnv_{"XDG_DATA_HOME", nullptr};
  // The texts are looked for in Portuguese.
  ScopedEnv allEnv_{"LC_ALL", nullptr};
  ScopedEnv messagesEnv_{"LC_MESSAGES", nullptr};
  ScopedEnv languageEnv_{"LANG", "pt_BR.UTF-8"};
};

TEST_F(FirstStart, TheDemoSetupMakesWhatIsMissingAndNeverReplacesAConfiguration) {
  const std::string otherAlias = "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=STANDARD\nPATH=/dados/clientes.db\n";
  const std::string demoAlias = "[\\DATABASES\\veranto\\DB INFO]\nPATH=" + Demo().string() + "\n";
  struct Case {
    const char* what;
    const char* configText;  // null: no configuration
    bool configCreated;
    bool databaseCreated;
  };
  const Case cases[] = {
      {"nothing yet", nullptr, true, true},
      {"a configuration of real data", otherAlias.c_str(), false, false},
      {"a configuration of the demo whose database is gone", demoAlias.c_str(), false, true},
      {"a configuration that cannot be read", "PATH without a section\n", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home_.path() / ".config");
    fs::remove_all(home_.path() / ".local");
    if (c.configText) {
      fs::create_directories(Config().parent_path());
      enginetest::WriteFile(Config(), c.configText);
    }
    const DemoSetup setup = CreateDemoSetup();
    EXPECT_EQ(setup.config, Config());
    EXPECT_EQ(setup.database, Demo());
    EXPECT_EQ(setup.configCreated, c.configCreated);
    EXPECT_EQ(setup.databaseCreated, c.databaseCreated);
    EXPECT_EQ(fs::exists(Demo()), c.databaseCreated);
    if (c.databaseCreated) {
      EXPECT_EQ(ClientCount(Demo()), 2000);
    }
    if (c.configText) {
      EXPECT_EQ(Read(Config()), c.configText);
    } else {
      EXPECT_NE(Read(Config()).find("PATH=" + Demo().string() + "\n"), std::string::npos) << Read(Config());
    }
    // Run again: everything is there, nothing is made.
    const DemoSetup again = CreateDemoSetup();
    EXPECT_FALSE(again.configCreated || again.databaseCreated);
  }
}

TEST_F(FirstStart, FollowsTheConfigurationVariableAndTheUsersDataFolder) {
  const ScopedEnv config{"RELCLIENTES_ENGINE_CONFIG", (home_.path() / "escritorio" / "banco.cfg").string()};
  const ScopedEnv data{"XDG_DATA_HOME", (home_.path() / "dados").string()};
  const DemoSetup setup = CreateDemoSetup();
  EXPECT_TRUE(setup.configCreated && setup.databaseCreated);
  EXPECT_TRUE(fs::exists(home_.path() / "escritorio" / "banco.cfg"));
  EXPECT_EQ(ClientCount(home_.path() / "dados" / "relclientes" / "veranto.db"), 2000);
  EXPECT_FALSE(fs::exists(home_.path() / ".config"));
}

TEST_F(FirstStart, TheDialogOffersTheDemoAndGoesOnOnlyWithADatabase) {
  const auto application = MakeTestApplication();
  std::vector<std::string> questions;
  int answer = 1;
  const auto previous = SetChoiceBoxHandler(
      [&](const std::string& text, const std::string&, TMsgDlgType, const std::vector<std::string>& buttons) {
        questions.push_back(text);
        EXPECT_EQ(buttons.size(), 2u);
        return answer;
      });
  // Declined: the program ends without making anything.
  EXPECT_FALSE(OfferDemoSetupWhenUnconfigured());
  ASSERT_EQ(questions.size(), 1u);
  for (const std::string& said : {std::string("Nenhum banco de dados está configurado"), Config().string(),
                                  std::string("VERANTO"), std::string("PATH")})
    EXPECT_NE(questions[0].find(said), std::string::npos) << said;
  EXPECT_FALSE(fs::exists(Config()) || fs::exists(Demo()));
  // Accepted: the demo is made and the dialog follows; from then on nothing is asked.
  answer = 0;
  EXPECT_TRUE(OfferDemoSetupWhenUnconfigured());
  EXPECT_TRUE(fs::exists(Config()) && fs::exists(Demo()));
  EXPECT_TRUE(OfferDemoSetupWhenUnconfigured());
  EXPECT_EQ(questions.size(), 2u);
  SetChoiceBoxHandler(previous);
}

TEST_F(FirstStart, TheBatchExportWithoutConfigurationFailsAndMakesNothing) {
  InitializeUnits();
  const auto application = MakeTestApplication();
  std::ostringstream out, err;
  const fs::path target = home_.path() / "clientes.pdf";
  EXPECT_EQ(RunBatchExport({"--export", target.string()}, out, err), 1);
  EXPECT_NE(err.str().find("Nenhum banco de dados está configurado"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find(Config().string()), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("relclientes --demo"), std::string::npos) << err.str();
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(fs::exists(target) || fs::exists(Config()) || fs::exists(Demo()));
}

}  // namespace
