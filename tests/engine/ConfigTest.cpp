#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/Config.h"

using engine::ConfigEntry;
using engine::EngineConfig;

TEST(EngineConfigParse, SectionsEntriesAndAliases) {
  EngineConfig cfg;
  const auto problem = cfg.Parse(
      "# comment\n"
      "; another comment\n"
      "\n"
      "[\\DATABASES\\Veranto\\DB INFO]\r\n"
      "  TYPE = STANDARD \n"
      "PATH=/data/veranto.db\n"
      "LANGDRIVER=pt_BR\n"
      "[DATABASES\\VERANTO\\DB OPEN]\n"
      "NOTE = a=b=c\n"
      "EMPTY=\n"
      "[\\DATABASES\\OTHER\\DB INFO]\n"
      "PATH=x.db");
  ASSERT_FALSE(problem) << problem->text;

  const auto* info = cfg.Section("\\databases\\VERANTO\\db info");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(*info,
            (std::vector<ConfigEntry>{{"TYPE", "STANDARD"}, {"PATH", "/data/veranto.db"}, {"LANGDRIVER", "pt_BR"}}));
  const auto* open = cfg.Section(EngineConfig::AliasOpenPath("veranto"));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(*open, (std::vector<ConfigEntry>{{"NOTE", "a=b=c"}, {"EMPTY", ""}}));
  EXPECT_EQ(cfg.Aliases(), (std::vector<std::string>{"OTHER", "Veranto"}));
  EXPECT_TRUE(cfg.HasAlias("VERANTO"));
  EXPECT_FALSE(cfg.HasAlias("VERANT"));
  EXPECT_FALSE(cfg.HasAlias(""));
  EXPECT_EQ(cfg.Section("\\DATABASES\\NONE\\DB INFO"), nullptr);
}

TEST(EngineConfigParse, BadLinesNameTheLineAndTheFault) {
  struct Case {
    const char* text;
    int line;
    const char* fault;
  };
  const Case cases[] = {
      {"PATH=/x.db\n", 1, "before the first [SECTION]"},
      {"[\\DATABASES\\A\\DB INFO]\nPATH /x.db\n", 2, "expected NAME=VALUE"},
      {"[\\DATABASES\\A\\DB INFO\nPATH=/x.db\n", 1, "without closing ']'"},
      {"# ok\n[  ]\n", 2, "empty section name"},
      {"[\\DATABASES\\A\\DB INFO]\n=value\n", 2, "entry without a name"},
      {"[\\DATABASES\\A\\DB INFO]\nPATH=a\n\npath=b\n", 4, "given twice"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EngineConfig cfg;
    const auto problem = cfg.Parse(c.text);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->line, c.line);
    EXPECT_NE(problem->text.find(c.fault), std::string::npos) << problem->text;
    EXPECT_TRUE(cfg.Aliases().empty()) << "a rejected file must leave no aliases behind";
  }
}

TEST(EngineConfigLocation, ExplicitVariableThenXdgThenHome) {
  {
    ScopedEnv a("RELCLIENTES_ENGINE_CONFIG", "/etc/explicit.cfg");
    ScopedEnv b("XDG_CONFIG_HOME", "/xdg");
    EXPECT_EQ(engine::ConfigFilePath(), "/etc/explicit.cfg");
  }
  {
    ScopedEnv a("RELCLIENTES_ENGINE_CONFIG", std::nullopt);
    ScopedEnv b("XDG_CONFIG_HOME", "/xdg");
    EXPECT_EQ(engine::ConfigFilePath(), "/xdg/relclientes/engine.cfg");
  }
  {
    ScopedEnv a("RELCLIENTES_ENGINE_CONFIG", "");
    ScopedEnv b("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv c("HOME", "/home/ana");
    EXPECT_EQ(engine::ConfigFilePath(), "/home/ana/.config/relclientes/engine.cfg");
  }
}

class EngineAliasTest : public enginetest::EngineTest {};

TEST_F(EngineAliasTest, AliasDescriptionAndEntriesComeFromTheFile) {
  engine::AliasDesc desc;
  ASSERT_EQ(engine::GetAliasDesc("testdb", desc), 0);
  EXPECT_EQ(desc.driverType, "STANDARD");

  std::vector<ConfigEntry> entries;
  ASSERT_EQ(engine::GetConfigEntries("\\DATABASES\\TESTDB\\DB INFO", entries), 0);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1], (ConfigEntry{"PATH", dbFile.string()}));
  ASSERT_EQ(engine::GetConfigEntries("\\DATABASES\\TESTDB\\DB OPEN", entries), 0);
  EXPECT_TRUE(entries.empty());

  EXPECT_EQ(engine::GetAliasDesc("NOPE", desc), engine::status::UnknownAlias);
  EXPECT_EQ(engine::GetConfigEntries("\\DATABASES\\NOPE\\DB INFO", entries), engine::status::UnknownAlias);
}

TEST_F(EngineAliasTest, RelativePathIsRelativeToTheConfigurationFile) {
  WriteConfig("[\\DATABASES\\REL\\DB INFO]\nPATH=test.db\n");
  engine::DatabaseHandle db = Open("REL");
  std::string file;
  ASSERT_EQ(engine::GetProp(db, engine::prop::DatabaseFile, file), 0);
  EXPECT_EQ(std::filesystem::path(file), dbFile);
}

TEST_F(EngineAliasTest, SessionAliasOverridesTheFile) {
  const std::filesystem::path other = dir.path() / "other.db";
  enginetest::Sqlite(other, "CREATE TABLE acadclie (nome TEXT); INSERT INTO acadclie VALUES ('from session alias');");
  ASSERT_EQ(engine::AddSessionAlias("TESTDB", "", {{"PATH", other.string()}}), 0);
  engine::DatabaseHandle db = Open();
  EXPECT_EQ(Column(db, "select nome from acadclie"), std::vector<std::string>{"from session alias"});
  std::vector<ConfigEntry> entries;
  ASSERT_EQ(engine::GetConfigEntries("\\DATABASES\\TESTDB\\DB INFO", entries), 0);
  EXPECT_EQ(entries, (std::vector<ConfigEntry>{{"TYPE", "STANDARD"}, {"PATH", other.string()}}));
  ASSERT_EQ(engine::DeleteSessionAlias("TESTDB"), 0);
  EXPECT_EQ(engine::DeleteSessionAlias("TESTDB"), engine::status::UnknownAlias);
}
