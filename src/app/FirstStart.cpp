#include "app/FirstStart.h"

#include "core/Exceptions.h"
#include "core/SafeFile.h"
#include "core/TerminalText.h"
#include "core/Translation.h"
#include "demo/DemoDatabase.h"
#include "engine/Config.h"
#include "widgets/Forms.h"

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr long long kDemoClients = 2000;
constexpr std::uint64_t kDemoSeed = 1;
constexpr const char* kAlias = "VERANTO";

std::string ConfigText(const fs::path& database) {
  return "# Configuração do banco de dados de relclientes.\n"
         "# Cada apelido tem uma seção [\\DATABASES\\<apelido>\\DB INFO]: PATH é o arquivo SQLite do banco de\n"
         "# dados e LANGDRIVER o idioma cuja ordem os textos seguem em ORDER BY e GROUP BY.\n"
         "[\\DATABASES\\VERANTO\\DB INFO]\n"
         "TYPE=STANDARD\n"
         "PATH=" +
         database.string() +
         "\n"
         "LANGDRIVER=pt_BR\n";
}

// The database file that the configuration's alias VERANTO names, or an empty path when it names none (another
// driver, no such alias, a file that cannot be read).
fs::path AliasDatabase(const fs::path& config) {
  std::ifstream in(config, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  engine::EngineConfig parsed;
  if (!in || parsed.Parse(text.str())) return {};
  const auto* info = parsed.Section(engine::EngineConfig::AliasInfoPath(kAlias));
  const std::string* path = info ? engine::FindEntry(*info, "PATH") : nullptr;
  return path ? fs::path(*path) : fs::path();
}

void CreateFolderOf(const fs::path& file) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  if (ec)
    throw Exception(
        Format(Translate("app", "cannot create the folder %s (%s)"), {file.parent_path().string(), ec.message()}));
}

// Writes the configuration unless one appeared meanwhile; returns whether it did.
bool WriteConfigIfMissing(const fs::path& config, const fs::path& database) {
  CreateFolderOf(config);
  TSafeFile file(config.string());
  file.Write(ConfigText(database));
  std::error_code ec;
  if (fs::exists(config, ec)) return false;
  file.Commit();
  return true;
}

}  // namespace

bool EngineConfigured() {
  std::error_code ec;
  return fs::exists(engine::ConfigFilePath(), ec);
}

std::string NoDatabaseConfiguredText() {
  return Format(Translate("app",
                          "No database is configured.\n"
                          "The configuration is kept in the file %s (or in the file that the variable "
                          "RELCLIENTES_ENGINE_CONFIG names). It gives the alias VERANTO the clients' database: "
                          "the path (PATH) of an SQLite file or a PostgreSQL server (TYPE=POSTGRESQL, HOST, "
                          "DATABASE NAME). See \"man relclientes\"."),
                {engine::ConfigFilePath().string()});
}

fs::path DemoDatabasePath() {
  fs::path base;
  // A relative XDG_DATA_HOME is not valid and is ignored.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && fs::path(xdg).is_absolute()) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home && *home ? home : ".") / ".local" / "share";
  }
  return base / "relclientes" / "veranto.db";
}

DemoSetup CreateDemoSetup() {
  DemoSetup setup{engine::ConfigFilePath(), DemoDatabasePath()};
  std::error_code ec;
  const bool configured = fs::exists(setup.config, ec);
  // The database comes first: a configuration never names a demo database that is not there yet.
  const bool wanted =
      !configured || AliasDatabase(setup.config).lexically_normal() == setup.database.lexically_normal();
  if (wanted && !fs::exists(setup.database, ec)) {
    CreateFolderOf(setup.database);
    if (const std::string error = demo::WriteClientDatabase(setup.database, kDemoClients, kDemoSeed); !error.empty())
      throw Exception(Format(Translate("app", "cannot create the demonstration database: %s"), {error}));
    setup.databaseCreated = true;
  }
  if (!configured) setup.configCreated = WriteConfigIfMissing(setup.config, setup.database);
  return setup;
}

int RunDemoSetup(std::ostream& out, std::ostream& err) {
  try {
    const DemoSetup setup = CreateDemoSetup();
    const std::string database = EscapeForTerminal(setup.database.string());
    const std::string config = EscapeForTerminal(setup.config.string());
    if (setup.databaseCreated)
      out << Format(Translate("app", "Demonstration database created: %s (%d clients)"), {database, kDemoClients})
          << '\n';
    if (setup.configCreated)
      out << Format(Translate("app", "Configuration created: %s (alias VERANTO: %s)"), {config, database}) << '\n';
    else out << Format(Translate("app", "Existing configuration kept: %s"), {config}) << '\n';
    return 0;
  } catch (const std::exception& error) {
    err << "relclientes: " << EscapeMessageForTerminal(error.what()) << '\n';
    return 1;
  }
}

bool OfferDemoSetupWhenUnconfigured() {
  if (EngineConfigured()) return true;
  const std::string caption = Translate("app", "Clients by City");
  const std::string question =
      NoDatabaseConfiguredText() + "\n\n" +
      Translate("app",
                "Create a demonstration database now, with made-up clients, and the configuration that uses it?");
  const std::vector<std::string> buttons{Translate("app", "Create demonstration"), Translate("app", "Quit")};
  if (ShowChoiceBox(question, caption, mtConfirmation, buttons) != 0) return false;
  try {
    CreateDemoSetup();
    return true;
  } catch (const std::exception& error) {
    ShowMessageBox(error.what(), caption, mtError);
    return false;
  }
}
