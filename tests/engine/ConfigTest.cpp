#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/Config.h"

#include <cctype>

#include <sys/stat.h>

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

// The list of aliases and the question "is this an alias?" give the same answer for every section.
TEST(EngineConfigParse, AliasesAreExactlyTheNamesHasAliasKnows) {
  struct Case {
    const char* what;
    const char* text;
    std::vector<std::string> aliases;
    std::vector<std::string> unknown;
  };
  const Case cases[] = {
      {"info and open in two cases",
       "[\\DATABASES\\Veranto\\DB INFO]\nPATH=a\n[databases\\VERANTO\\db open]\nX=1\n",
       {"Veranto"},
       {}},
      {"open only", "[DATABASES\\Remote\\DB OPEN]\nHOST=h\n", {"Remote"}, {}},
      {"a section of the alias's own", "[\\DATABASES\\Notes]\nA=1\n", {}, {"Notes"}},
      {"another kind of section", "[\\DATABASES\\Other\\COMMENTS]\nB=2\n", {}, {"Other"}},
      {"deeper than DB INFO", "[\\DATABASES\\Deep\\DB INFO\\EXTRA]\nA=1\n", {}, {"Deep"}},
      {"no alias between the backslashes", "[\\DATABASES\\\\DB INFO]\nA=1\n", {}, {"DB INFO"}},
      {"outside DATABASES", "[\\DRIVERS\\Lone\\DB INFO]\nA=1\n", {}, {"Lone"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EngineConfig cfg;
    const auto problem = cfg.Parse(c.text);
    ASSERT_FALSE(problem) << problem->text;
    EXPECT_EQ(cfg.Aliases(), c.aliases);
    for (const std::string& alias : c.aliases) {
      EXPECT_TRUE(cfg.HasAlias(alias)) << alias;
      std::string lower = alias;
      for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      EXPECT_TRUE(cfg.HasAlias(lower)) << lower;
    }
    for (const std::string& name : c.unknown) EXPECT_FALSE(cfg.HasAlias(name)) << name;
  }
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

// The engine lists the aliases it can describe, from the file and from the session, each once.
TEST_F(EngineAliasTest, AliasNamesAreTheAliasesThatCanBeDescribed) {
  WriteConfig("[\\DATABASES\\TESTDB\\DB INFO]\nPATH=" + dbFile.string() +
              "\n[\\DATABASES\\Notes]\nTEXT=not an alias\n[\\DATABASES\\Remote\\DB OPEN]\nHOST=h\n");
  ASSERT_EQ(engine::AddSessionAlias("extra", "", {{"PATH", dbFile.string()}}), 0);
  ASSERT_EQ(engine::AddSessionAlias("testdb", "", {{"PATH", dbFile.string()}}), 0);
  std::vector<std::string> names;
  ASSERT_EQ(engine::GetAliasNames(names), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"Remote", "TESTDB", "extra"}));
  engine::AliasDesc desc;
  for (const std::string& name : names) EXPECT_EQ(engine::GetAliasDesc(name, desc), 0) << name;
  EXPECT_EQ(engine::GetAliasDesc("Notes", desc), engine::status::UnknownAlias);

  ASSERT_EQ(engine::DeleteSessionAlias("EXTRA"), 0);
  ASSERT_EQ(engine::GetAliasNames(names), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"Remote", "TESTDB"}));
  EXPECT_EQ(engine::GetAliasDesc("extra", desc), engine::status::UnknownAlias);
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

// What is not a small regular file is refused at once with its reason, never read without end or waited on.
TEST_F(EngineAliasTest, OnlyASmallRegularFileIsReadAsTheConfiguration) {
  const std::filesystem::path fifo = dir.path() / "fifo.cfg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::filesystem::path large = dir.path() / "large.cfg";
  {
    // A valid file, made too large by a comment line.
    std::string text = "[\\DATABASES\\TESTDB\\DB INFO]\nPATH=" + dbFile.string() + "\n#";
    text.append(engine::kMaxConfigFileSize, 'x');
    enginetest::WriteFile(large, text + "\n");
  }
  struct Case {
    std::string file;
    const char* reason;
  };
  const Case cases[] = {
      {"/dev/zero", "not a regular file"},
      {fifo.string(), "not a regular file"},
      {dir.path().string(), "not a regular file"},
      {large.string(), "larger than 1024 KB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ScopedEnv config("RELCLIENTES_ENGINE_CONFIG", c.file);
    engine::AliasDesc desc;
    EXPECT_EQ(engine::GetAliasDesc("TESTDB", desc), engine::status::ConfigInvalid);
    const std::string context = enginetest::JoinedContext();
    EXPECT_NE(context.find("File: " + c.file), std::string::npos) << context;
    EXPECT_NE(context.find(c.reason), std::string::npos) << context;
  }
  // Just below the bound the same content is read.
  std::string text = "[\\DATABASES\\TESTDB\\DB INFO]\nPATH=" + dbFile.string() + "\n#";
  text.append(engine::kMaxConfigFileSize - text.size() - 1, 'x');
  WriteConfig(text + "\n");
  engine::AliasDesc desc;
  EXPECT_EQ(engine::GetAliasDesc("TESTDB", desc), engine::status::Ok) << enginetest::JoinedContext();
}
