// The batch export over the small client table of the data tests.
#include "app/BatchExport.h"
#include "app/Units.h"
#include "core/ScopeGuard.h"
#include "data/ClientDbFixture.h"
#include "data/Sessions.h"
#include "widgets/Forms.h"

#include "support/ScopedEnv.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// On the small client table of each driver, in Portuguese unless a test starts the program in another language.
class BatchExport : public querytest::ClientDbOn {
protected:
  void SetUp() override {
    querytest::ClientDbOn::SetUp();
    InitializeUnits();
    StartIn("pt_BR.UTF-8");
  }

  // The program as started under LANG=`locale`: its texts are chosen when it starts.
  void StartIn(const char* locale) {
    application_.reset();
    language_.emplace("LANG", locale);
    application_ = MakeTestApplication();
  }
  void TearDown() override {
    application_.reset();
    querytest::ClientDb::TearDown();
  }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunBatchExport(args, out_, err_);
  }

  static std::string Head(const fs::path& file, std::size_t bytes) {
    std::ifstream in(file, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(bytes));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
  }

  static void Write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

  // Nothing but the expected files is left in the folder: no half-written file beside them.
  std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  ScopedEnv all_{"LC_ALL", nullptr};
  ScopedEnv messages_{"LC_MESSAGES", nullptr};
  std::optional<ScopedEnv> language_;
  std::unique_ptr<TApplication> application_;
  std::ostringstream out_, err_;
};

TEST_P(BatchExport, WritesTheFileItsExtensionNames) {
  const fs::path out = dir.path() / "out";
  fs::create_directory(out);
  struct Case {
    std::vector<std::string> args;
    const char* file;
    std::string magic;
  };
  const Case cases[] = {
      {{"--export", (out / "clientes.pdf").string()}, "clientes.pdf", "%PDF"},
      {{"--export", (out / "clientes.rpf").string()}, "clientes.rpf", "RLGraphicStorage3\x1A"},
      {{"--export", (out / "Belem.PNG").string(), "--city", "Belém"}, "Belem1.PNG", "\x89PNG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(Run(c.args), 0) << err_.str();
    ASSERT_TRUE(fs::exists(out / c.file));
    EXPECT_EQ(Head(out / c.file, c.magic.size()), c.magic);
  }
  // One city fits on one page: one image, and no second one.
  EXPECT_FALSE(fs::exists(out / "Belem2.PNG"));
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"Belem1.PNG", "clientes.pdf", "clientes.rpf"}));
}

TEST_P(BatchExport, BadRequestsFailWithAMessageAndLeaveTheOldFileAlone) {
  const fs::path kept = dir.path() / "kept.pdf";
  Write(kept, "the previous report");
  struct Case {
    const char* what;
    std::vector<std::string> args;
    const char* says;
  };
  const Case cases[] = {
      {"unknown extension", {"--export", (dir.path() / "r.txt").string()}, "extensão desconhecida"},
      {"no file", {"--export"}, "argumento inválido"},
      {"no folder", {"--export", (dir.path() / "missing" / "r.pdf").string()}, "não foi possível gravar"},
      {"stray argument", {"--export", kept.string(), "--colour"}, "argumento inválido"},
      {"two files", {"--export", (dir.path() / "a.pdf").string(), "--export", kept.string()}, "opção repetida"},
      {"two cities", {"--export", kept.string(), "--city", "Belém", "--city", "Natal"}, "opção repetida"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(Run(c.args), 0);
    EXPECT_NE(err_.str().find(c.says), std::string::npos) << err_.str();
  }
  // The database fails after the file was accepted: the old report stays as it was.
  WriteAlias("OUTRO", "");
  EXPECT_NE(Run({"--export", kept.string()}), 0);
  EXPECT_NE(err_.str().find("VERANTO"), std::string::npos) << err_.str();
  EXPECT_EQ(Head(kept, 100), "the previous report");
  EXPECT_FALSE(fs::exists(dir.path() / "r.txt"));
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"engine.cfg", "kept.pdf", "veranto.db"}));
}

TEST_P(BatchExport, MessagesFollowTheUsersLanguage) {
  const fs::path pdf = dir.path() / "clientes.pdf";
  struct Case {
    const char* what;
    std::vector<std::string> args;
    const char* portuguese;
    const char* english;
  };
  const Case cases[] = {
      {"written", {"--export", pdf.string(), "--city", "Belém"}, "1 página(s) gravada(s) em", "1 page(s) written to"},
      {"stray argument",
       {"--export", pdf.string(), "--colour"},
       "argumento inválido: --colour",
       "invalid argument: --colour"},
      {"no file", {"--city", "Belém"}, "falta --export ARQUIVO", "missing --export FILE"},
      {"repeated",
       {"--export", pdf.string(), "--export", pdf.string()},
       "opção repetida: --export",
       "repeated option: --export"},
      {"extension",
       {"--export", (dir.path() / "r.txt").string()},
       "extensão desconhecida \".txt\"",
       "unknown extension \".txt\""},
      {"no folder",
       {"--export", (dir.path() / "missing" / "r.pdf").string()},
       "não foi possível gravar",
       "cannot write"},
      {"city with --from",
       {"--export", pdf.string(), "--from", "a.rpf", "--city", "Belém"},
       "--city não se aplica a um relatório salvo",
       "--city does not apply to a saved report"},
      {"saved report missing",
       {"--export", pdf.string(), "--from", (dir.path() / "none.rpf").string()},
       "não foi possível ler",
       "cannot read"},
      {"help", {"--help"}, "Uso: relclientes", "Usage: relclientes"},
  };
  for (const char* locale : {"pt_BR.UTF-8", "pt_PT", "C", "en_US.UTF-8"}) {
    StartIn(locale);
    const bool portuguese = locale[0] == 'p';
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(locale) + ": " + c.what);
      Run(c.args);
      const std::string said = out_.str() + err_.str();
      EXPECT_NE(said.find(portuguese ? c.portuguese : c.english), std::string::npos) << said;
      EXPECT_EQ(said.find(portuguese ? c.english : c.portuguese), std::string::npos) << said;
    }
  }
}

// Control bytes from arguments, paths and the configuration reach the terminal as visible escapes, never raw.
TEST_P(BatchExport, OutsideTextInMessagesIsShownEscaped) {
  const std::string title = "\x1b]0;PWNED\x07";
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string config;  // replaces the engine configuration when not empty
  };
  const Case cases[] = {
      {"an argument", {"--export", (dir.path() / "r.pdf").string(), "--x" + title}, ""},
      {"an extension", {"--export", (dir.path() / ("r.p" + title)).string()}, ""},
      {"a folder", {"--export", (dir.path() / ("missing" + title) / "r.pdf").string()}, ""},
      {"a saved report",
       {"--export", (dir.path() / "r.pdf").string(), "--from", (dir.path() / ("r" + title)).string()},
       ""},
      {"a configuration line",
       {"--export", (dir.path() / "r.pdf").string()},
       "[\\DATABASES\\VERANTO]\nX" + title + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.config.empty()) Write(configFile, c.config);
    EXPECT_NE(Run(c.args), 0);
    const std::string shown = err_.str();
    EXPECT_NE(shown.find("\\x1B]0;PWNED\\x07"), std::string::npos) << shown;
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                            [](unsigned char ch) { return (ch < 0x20 && ch != '\n') || ch == 0x7f; }),
              0)
        << shown;
  }
}

TEST_P(BatchExport, HelpExplainsTheOptions) {
  EXPECT_EQ(Run({"--help"}), 0);
  for (const char* option : {"--export", "--city", ".rpf", ".pdf", ".png", "link simbólico"}) {
    EXPECT_NE(out_.str().find(option), std::string::npos) << option;
  }
}

// A server that asks for a password: the batch export takes it from where libpq looks, or fails at once.
class BatchExportOnServer : public BatchExport {
protected:
  void SetUp() override {
    BatchExport::SetUp();
    const enginetest::PgServer& server = enginetest::SharedPgServer();
    ASSERT_EQ(server.Exec(std::string("GRANT SELECT ON acadclie TO ") + enginetest::PgServer::kSecureUser), "");
    Write(configFile, "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=POSTGRESQL\n[\\DATABASES\\VERANTO\\DB OPEN]\nHOST=" +
                          server.SocketFolder() + "\nPORT=" + std::to_string(server.Port()) +
                          "\nDATABASE NAME=" + enginetest::PgServer::kDatabase +
                          "\nUSER NAME=" + enginetest::PgServer::kSecureUser + "\nLANGDRIVER=pt_BR\n");
  }
  TScopedValueRollback<TLoginHook> saved_hook_{LoginHook()};
};

TEST_P(BatchExportOnServer, NeverAsksForAPasswordAndFailsAtOnceWithoutOne) {
  int dialogs = 0;
  LoginHook() = [&](const std::string&, std::string&, std::string&, bool) { return ++dialogs, false; };
  const fs::path target = dir.path() / "r.pdf";
  struct Case {
    const char* what;
    std::optional<std::string> password;
    int code;
  };
  const Case cases[] = {
      {"none anywhere", std::nullopt, 1},
      {"a wrong one", "errada", 1},
      {"PGPASSWORD", enginetest::PgServer::kSecurePassword, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedEnv file("PGPASSFILE", (dir.path() / "none").string()), password("PGPASSWORD", c.password);
    EXPECT_EQ(Run({"--export", target.string()}), c.code) << err_.str();
    EXPECT_EQ(fs::exists(target), c.code == 0);
    if (!c.password) {
      // Which user's password is missing, and where it may come from.
      EXPECT_NE(err_.str().find("PGPASSWORD"), std::string::npos) << err_.str();
      EXPECT_NE(err_.str().find("\"secure\""), std::string::npos) << err_.str();
    }
    Session()->Close();
  }
  EXPECT_EQ(dialogs, 0);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Server, BatchExportOnServer, ::testing::Values(querytest::Driver::Postgres),
                         querytest::DriverName);

INSTANTIATE_TEST_SUITE_P(Drivers, BatchExport,
                         ::testing::Values(querytest::Driver::Sqlite, querytest::Driver::Postgres),
                         querytest::DriverName);
