#include "app/BatchExport.h"

#include "app/FirstStart.h"
#include "app/OpenReportFile.h"
#include "app/TelaPrincipal.h"
#include "core/SafeFile.h"
#include "core/ScopeGuard.h"
#include "core/TerminalText.h"
#include "core/Translation.h"
#include "data/Sessions.h"
#include "output/RLFilters.h"
#include "pages/RLMetaFile.h"
#include "pages/RLPdfWhileAdding.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>

namespace fs = std::filesystem;

namespace {

// The help of --help, also shown after a command-line mistake.
std::string Usage() {
  return Translate("app",
                   "Usage: relclientes [--export FILE [--city CITY | --from REPORT.rpf]]\n"
                   "       relclientes REPORT.rpf | --demo | --version | --help\n"
                   "\n"
                   "With no options, opens the dialog of clients by city; with a saved report file, shows its pages\n"
                   "in the preview window.\n"
                   "\n"
                   "  FILE.rpf          opens a saved report file in the preview window\n"
                   "  --export FILE     makes the report without windows and writes FILE as its extension says:\n"
                   "                    .rpf  the report file with every page\n"
                   "                    .pdf  every page in one PDF\n"
                   "                    .png  one image per page (FILE1.png, FILE2.png, ...)\n"
                   "                    .xlsx the data in an Excel spreadsheet, one row per client\n"
                   "                    .csv  the same data as text separated by semicolons\n"
                   "  --city CITY       only the clients of that city (the exact text); without it, every city\n"
                   "  --from REPORT     writes the pages of a saved report instead of making it (no database)\n"
                   "  --demo            creates the demonstration database and the configuration that uses it, where\n"
                   "                    missing (an existing configuration is never replaced)\n"
                   "  --version         shows the program's version\n"
                   "  --help            shows this help\n"
                   "\n"
                   "The database comes from the configuration in $RELCLIENTES_ENGINE_CONFIG or, without it,\n"
                   "in ~/.config/relclientes/engine.cfg; \"man relclientes\" describes the file.\n"
                   "Each option counts once. If FILE is a symbolic link, the file it points to is replaced\n"
                   "and the link stays.\n"
                   "\n"
                   "On an error the message goes to the standard error, the exit status is not zero\n"
                   "(1: making or writing failed, or no database is configured; 2: invalid command line)\n"
                   "and no existing file is left half-written.\n");
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// Fails early, before any generation, when the folder cannot take the file.
void CheckWritable(const fs::path& target) {
  try {
    TSafeFile probe(target.string());
  } catch (const EFileWriteError& error) {
    throw Exception(Format(Translate("app", "cannot write %s (%s)"), {target.string(), error.Message()}));
  }
}

std::string PagesWrittenText(int pageCount, const std::string& file) {
  return Format(Translate("app", "%d page(s) written to %s"), {pageCount, EscapeForTerminal(file)});
}

// The report file, or the save filter that writes the file's format.
void WritePages(TRLGraphicStorage& pages, const fs::path& target) {
  TRLCustomSaveFilter* filter = SaveFilterByExt(target.string());
  if (!filter) return pages.SaveToFile(target.string());
  filter->SetShowProgress(false);
  filter->SetFileName(target.string());
  filter->Run(pages);
}

// `--from`: the saved report's pages written out as a generated report's are, without the database.
int ExportReportFile(const std::string& from, const std::string& city, const fs::path& target, std::ostream& out,
                     std::ostream& err) {
  if (!city.empty()) {
    err << "relclientes: " << Translate("app", "--city does not apply to a saved report (--from)") << "\n\n" << Usage();
    return 2;
  }
  try {
    TComponent owner(nullptr);
    auto* pages = new TRLGraphicStorage(&owner);
    OpenReportFile(*pages, from);
    CheckWritable(target);
    WritePages(*pages, target);
    out << PagesWrittenText(pages->PageCount(), target.string()) << '\n';
  } catch (const std::exception& e) {
    err << "relclientes: " << EscapeMessageForTerminal(e.what()) << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

bool IsBatchCommandLine(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) {
    return a == "--export" || a == "--help" || a == "-h" || a == "--city" || a == "--from";
  });
}

int RunBatchExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string file, city, from;
  bool has_file = false, has_city = false, has_from = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out << Usage();
      return 0;
    }
    if ((a == "--export" || a == "--city" || a == "--from") && i + 1 < args.size()) {
      bool& given = a == "--export" ? has_file : a == "--city" ? has_city : has_from;
      if (given) {
        // A second value would silently replace the first: which one the user meant is not ours to guess.
        err << "relclientes: " << Format(Translate("app", "repeated option: %s"), {a}) << "\n\n" << Usage();
        return 2;
      }
      given = true;
      (a == "--export" ? file : a == "--city" ? city : from) = args[++i];
    } else {
      err << "relclientes: " << Format(Translate("app", "invalid argument: %s"), {EscapeForTerminal(a)}) << "\n\n"
          << Usage();
      return 2;
    }
  }
  if (!has_file || file.empty()) {
    err << "relclientes: " << Translate("app", "missing --export FILE") << "\n\n" << Usage();
    return 2;
  }
  const fs::path target(file);
  const std::string ext = Lower(target.extension().string());
  if (ext != ".rpf" && !SaveFilterByExt(file)) {
    err << "relclientes: "
        << Format(Translate("app", "unknown extension \"%s\" (use .rpf, .pdf, .png, .xlsx or .csv)"),
                  {EscapeForTerminal(target.extension().string())})
        << '\n';
    return 2;
  }

  // A saved report needs no database.
  if (!from.empty()) return ExportReportFile(from, city, target, out, err);

  // A scheduled export must never print made-up clients: without a configuration it stops here.
  if (!EngineConfigured()) {
    err << "relclientes: " << NoDatabaseConfiguredText() << "\n"
        << Translate("app", "To create a demonstration database and its configuration: relclientes --demo") << '\n';
    return 1;
  }

  // Nobody is there to type a password: a server that wants one the password file and the environment do not give
  // refuses the export at once, whatever the platform, instead of waiting for a dialog.
  std::string password_wanted_for;
  TScopedValueRollback<TLoginHook> login_hook(LoginHook());
  TScopedValueRollback<TPasswordHook> password_hook(PasswordHook());
  LoginHook() = [&](const std::string& database, std::string& user, std::string&, bool) {
    password_wanted_for = Format(Translate("app", "user \"%s\" of %s"), {user, database});
    return false;
  };
  PasswordHook() = [](TSession*) { return false; };

  std::vector<std::string> errors;
  TApplication* app = Application();
  auto saved_handler = app ? app->OnException : nullptr;
  if (app) app->OnException = [&](TObject*, const std::exception& e) { errors.push_back(e.what()); };
  int code = 0;
  try {
    CheckWritable(target);
    TForm1 form(nullptr);
    form.RLReport2->SetShowProgress(false);
    form.SelectCity(city);
    TRLGraphicStorage& pages = form.RLReport2->Pages();
    // A PDF is written while the report is made, page by page; other files once it is made.
    const auto prepare = [&] { return form.RLReport2->Prepare(); };
    if (ext == ".pdf" ? !SavePagesToPdfWhileAdding(pages, target.string(), prepare) : !prepare()) {
      err << "relclientes: "
          << (form.RLReport2->PrepareErrorText().empty() ? Translate("app", "making the report was cancelled")
                                                         : EscapeMessageForTerminal(form.RLReport2->PrepareErrorText()))
          << '\n';
      code = 1;
    } else {
      if (ext != ".pdf") WritePages(pages, target);
      out << PagesWrittenText(pages.PageCount(), file) << '\n';
    }
  } catch (const std::exception& e) {
    err << "relclientes: " << EscapeMessageForTerminal(e.what()) << '\n';
    code = 1;
  }
  for (const std::string& e : errors) {
    // Prepare errors were printed above; other reports of the handler go out here.
    if (code == 0) err << "relclientes: " << EscapeMessageForTerminal(e) << '\n';
  }
  if (code != 0 && !password_wanted_for.empty()) {
    err << "relclientes: "
        << Format(Translate("app",
                            "the server asks for the password of %s; without windows it comes from "
                            "PostgreSQL's password file (~/.pgpass or PGPASSFILE) or from PGPASSWORD"),
                  {EscapeForTerminal(password_wanted_for)})
        << '\n';
  }
  if (app) app->OnException = saved_handler;
  return code;
}
