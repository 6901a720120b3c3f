#include "app/BatchExport.h"

#include "app/ClientReportSql.h"
#include "app/FirstStart.h"
#include "app/OpenReportFile.h"
#include "app/TelaPrincipal.h"
#include "core/SafeFile.h"
#include "core/ScopeGuard.h"
#include "core/TerminalText.h"
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

const char* const kUsage =
    "Uso: relclientes [--export ARQUIVO [--city CIDADE | --from RELATORIO.rpf]]\n"
    "     relclientes RELATORIO.rpf | --demo | --version | --help\n"
    "\n"
    "Sem opções, abre o diálogo de relação de clientes por cidade; com um arquivo de relatório salvo,\n"
    "mostra as suas páginas na visualização.\n"
    "\n"
    "  ARQUIVO.rpf       abre um arquivo de relatório gravado na visualização\n"
    "  --export ARQUIVO  gera o relatório sem janelas e grava ARQUIVO conforme a extensão:\n"
    "                    .rpf  o arquivo de relatório com todas as páginas\n"
    "                    .pdf  todas as páginas num único PDF\n"
    "                    .png  uma imagem por página (ARQUIVO1.png, ARQUIVO2.png, ...)\n"
    "                    .xlsx os dados numa planilha do Excel, uma linha por cliente\n"
    "                    .csv  os mesmos dados em texto separado por ponto e vírgula\n"
    "  --city CIDADE     só os clientes dessa cidade (o texto exato); sem ela, todas as cidades\n"
    "  --from RELATORIO  grava as páginas de um relatório salvo em vez de gerá-lo (sem banco de dados)\n"
    "  --demo            cria o banco de dados de demonstração e a configuração que o usa, se faltarem\n"
    "                    (uma configuração existente nunca é substituída)\n"
    "  --version         mostra a versão do programa\n"
    "  --help            mostra esta ajuda\n"
    "\n"
    "O banco de dados vem da configuração em $RELCLIENTES_ENGINE_CONFIG ou, sem ela,\n"
    "em ~/.config/relclientes/engine.cfg; \"man relclientes\" descreve o arquivo.\n"
    "Cada opção vale uma vez. Se ARQUIVO for um link simbólico, o arquivo para onde ele aponta é\n"
    "substituído e o link continua.\n"
    "\n"
    "Em caso de erro a mensagem vai para a saída de erros, o código de saída é diferente de zero\n"
    "(1: falha ao gerar ou gravar, ou nenhum banco de dados configurado; 2: linha de comando inválida)\n"
    "e nenhum arquivo existente fica pela metade.\n";

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// Fails early, before any generation, when the folder cannot take the file.
void CheckWritable(const fs::path& target) {
  try {
    TSafeFile probe(target.string());
  } catch (const EFileWriteError& error) {
    throw Exception("não foi possível gravar " + target.string() + " (" + error.Message() + ")");
  }
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
    err << "relclientes: --city não se aplica a um relatório salvo (--from)\n\n" << kUsage;
    return 2;
  }
  try {
    TComponent owner(nullptr);
    auto* pages = new TRLGraphicStorage(&owner);
    OpenReportFile(*pages, from);
    CheckWritable(target);
    WritePages(*pages, target);
    out << pages->PageCount() << " página(s) gravada(s) em " << EscapeForTerminal(target.string()) << '\n';
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
      out << kUsage;
      return 0;
    }
    if ((a == "--export" || a == "--city" || a == "--from") && i + 1 < args.size()) {
      bool& given = a == "--export" ? has_file : a == "--city" ? has_city : has_from;
      if (given) {
        // A second value would silently replace the first: which one the user meant is not ours to guess.
        err << "relclientes: opção repetida: " << a << "\n\n" << kUsage;
        return 2;
      }
      given = true;
      (a == "--export" ? file : a == "--city" ? city : from) = args[++i];
    } else {
      err << "relclientes: argumento inválido: " << EscapeForTerminal(a) << "\n\n" << kUsage;
      return 2;
    }
  }
  if (!has_file || file.empty()) {
    err << "relclientes: falta --export ARQUIVO\n\n" << kUsage;
    return 2;
  }
  const fs::path target(file);
  const std::string ext = Lower(target.extension().string());
  if (ext != ".rpf" && !SaveFilterByExt(file)) {
    err << "relclientes: extensão desconhecida \"" << EscapeForTerminal(target.extension().string())
        << "\" (use .rpf, .pdf, .png, .xlsx ou .csv)\n";
    return 2;
  }

  // A saved report needs no database.
  if (!from.empty()) return ExportReportFile(from, city, target, out, err);

  // A scheduled export must never print made-up clients: without a configuration it stops here.
  if (!EngineConfigured()) {
    err << "relclientes: " << NoDatabaseConfiguredText() << "\n"
        << "Para criar um banco de dados de demonstração e a sua configuração: relclientes --demo\n";
    return 1;
  }

  // Nobody is there to type a password: a server that wants one the password file and the environment do not give
  // refuses the export at once, whatever the platform, instead of waiting for a dialog.
  std::string password_wanted_for;
  TScopedValueRollback<TLoginHook> login_hook(LoginHook());
  TScopedValueRollback<TPasswordHook> password_hook(PasswordHook());
  LoginHook() = [&](const std::string& database, std::string& user, std::string&, bool) {
    password_wanted_for = "usuário \"" + user + "\" de " + database;
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
    form.QRel->Close();
    form.QRel->SQL().Clear();
    form.QRel->SQL().Add(ClientReportStatement(city));
    form.QRel->Open();
    TRLGraphicStorage& pages = form.RLReport2->Pages();
    // A PDF is written while the report is made, page by page; other files once it is made.
    const auto prepare = [&] { return form.RLReport2->Prepare(); };
    if (ext == ".pdf" ? !SavePagesToPdfWhileAdding(pages, target.string(), prepare) : !prepare()) {
      err << "relclientes: "
          << (form.RLReport2->PrepareErrorText().empty() ? std::string("geração cancelada")
                                                         : EscapeMessageForTerminal(form.RLReport2->PrepareErrorText()))
          << '\n';
      code = 1;
    } else {
      if (ext != ".pdf") WritePages(pages, target);
      out << pages.PageCount() << " página(s) gravada(s) em " << EscapeForTerminal(file) << '\n';
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
    err << "relclientes: o servidor pede a senha do " << EscapeForTerminal(password_wanted_for)
        << "; sem janelas ela vem do arquivo de senhas do PostgreSQL (~/.pgpass ou PGPASSFILE) ou de PGPASSWORD\n";
  }
  if (app) app->OnException = saved_handler;
  return code;
}
