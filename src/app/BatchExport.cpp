#include "app/BatchExport.h"

#include "app/ClientReportSql.h"
#include "app/OpenReportFile.h"
#include "app/TelaPrincipal.h"
#include "core/SafeFile.h"
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
    "     relclientes RELATORIO.rpf\n"
    "\n"
    "Sem opções, abre o diálogo de relação de clientes por cidade; com um arquivo de relatório salvo,\n"
    "mostra as suas páginas na visualização.\n"
    "\n"
    "  --export ARQUIVO  gera o relatório sem janelas e grava ARQUIVO conforme a extensão:\n"
    "                    .rpf  o arquivo de relatório com todas as páginas\n"
    "                    .pdf  todas as páginas num único PDF\n"
    "                    .png  uma imagem por página (ARQUIVO1.png, ARQUIVO2.png, ...)\n"
    "  --city CIDADE     só os clientes dessa cidade (o texto exato); sem ela, todas as cidades\n"
    "  --from RELATORIO  grava as páginas de um relatório salvo em vez de gerá-lo (sem banco de dados)\n"
    "  --help            mostra esta ajuda\n"
    "\n"
    "Em caso de erro a mensagem vai para a saída de erros, o código de saída é diferente de zero\n"
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
    out << pages->PageCount() << " página(s) gravada(s) em " << target.string() << '\n';
  } catch (const std::exception& e) {
    err << "relclientes: " << e.what() << '\n';
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
  bool has_file = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out << kUsage;
      return 0;
    }
    if ((a == "--export" || a == "--city" || a == "--from") && i + 1 < args.size()) {
      (a == "--export" ? file : a == "--city" ? city : from) = args[++i];
      has_file = has_file || a == "--export";
    } else {
      err << "relclientes: argumento inválido: " << a << "\n\n" << kUsage;
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
    err << "relclientes: extensão desconhecida \"" << target.extension().string() << "\" (use .rpf, .pdf ou .png)\n";
    return 2;
  }

  if (!from.empty()) return ExportReportFile(from, city, target, out, err);

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
                                                         : form.RLReport2->PrepareErrorText())
          << '\n';
      code = 1;
    } else {
      if (ext != ".pdf") WritePages(pages, target);
      out << pages.PageCount() << " página(s) gravada(s) em " << file << '\n';
    }
  } catch (const std::exception& e) {
    err << "relclientes: " << e.what() << '\n';
    code = 1;
  }
  for (const std::string& e : errors) {
    // Prepare errors were printed above; other reports of the handler go out here.
    if (code == 0) err << "relclientes: " << e << '\n';
  }
  if (app) app->OnException = saved_handler;
  return code;
}
