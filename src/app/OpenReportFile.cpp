#include "app/OpenReportFile.h"

#include "core/TerminalText.h"
#include "output/RLFilters.h"
#include "output/RLPreviewForm.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "widgets/Forms.h"

#include <filesystem>
#include <ostream>

namespace {

// Every text of this file, in each language the program speaks; {file}, {version} and {page} are filled in.
struct TReportFileTexts {
  const char* not_a_report;
  const char* other_version;
  const char* truncated;
  const char* corrupted;
  const char* corrupted_page;
  const char* unreadable;
  const char* caption;
};

const TReportFileTexts kPortuguese{
    "\"{file}\" não é um arquivo de relatório",
    "\"{file}\" é um arquivo de relatório da versão {version} do formato; este programa lê somente a versão 3",
    "o arquivo de relatório \"{file}\" está incompleto: termina antes do fim do relatório",
    "o arquivo de relatório \"{file}\" está danificado",
    "o arquivo de relatório \"{file}\" está danificado na página {page}",
    "não foi possível ler \"{file}\" ({reason})",
    "Abrir relatório",
};

const TReportFileTexts kEnglish{
    "\"{file}\" is not a report file",
    "\"{file}\" is a report file of version {version} of the format; this program reads version 3 only",
    "the report file \"{file}\" is incomplete: it ends before the end of the report",
    "the report file \"{file}\" is damaged",
    "the report file \"{file}\" is damaged on page {page}",
    "cannot read \"{file}\" ({reason})",
    "Open report",
};

const TReportFileTexts& Texts() { return ProcessLanguage() == TRLLanguage::Portuguese ? kPortuguese : kEnglish; }

std::string Fill(std::string text, std::string_view field, const std::string& value) {
  const std::string mark = "{" + std::string(field) + "}";
  if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), value);
  return text;
}

std::string Message(const ERLReportFileError& error, const std::string& fileName) {
  const TReportFileTexts& texts = Texts();
  switch (error.Reason()) {
    case ERLReportFileError::rfNotAReportFile: return Fill(texts.not_a_report, "file", fileName);
    case ERLReportFileError::rfOtherVersion:
      return Fill(Fill(texts.other_version, "file", fileName), "version", std::to_string(error.Version()));
    case ERLReportFileError::rfTruncated: return Fill(texts.truncated, "file", fileName);
    case ERLReportFileError::rfCorrupted:
      if (error.Page() == 0) return Fill(texts.corrupted, "file", fileName);
      return Fill(Fill(texts.corrupted_page, "file", fileName), "page", std::to_string(error.Page()));
  }
  return Fill(texts.corrupted, "file", fileName);
}

}  // namespace

void OpenReportFile(TRLGraphicStorage& pages, const std::string& fileName) {
  try {
    pages.LoadFromFile(fileName);
  } catch (const ERLReportFileError& error) {
    throw Exception(Message(error, fileName));
  } catch (const ERLFileError& error) {
    throw Exception(Fill(Fill(Texts().unreadable, "file", fileName), "reason", error.Message()));
  }
}

bool IsReportFileCommandLine(const std::vector<std::string>& args) {
  return args.size() == 1 && !args[0].empty() && args[0][0] != '-';
}

int PreviewReportFile(const std::string& fileName, std::ostream& err) {
  // The collection belongs to this frame; output started from the preview ends before it goes.
  TComponent owner(nullptr);
  auto* pages = new TRLGraphicStorage(&owner);
  try {
    OpenReportFile(*pages, fileName);
  } catch (const Exception& error) {
    err << "relclientes: " << EscapeMessageForTerminal(error.Message()) << '\n';
    ShowMessageBox(error.Message(), Texts().caption, mtError);
    return 1;
  }
  const TRLPreviewDefaults& d = PreviewDefaults();
  const std::string caption = EngineMessages().msgPreview + " - " + std::filesystem::path(fileName).filename().string();
  ShowPreview(pages, true, d.FormStyle, caption, d.HelpContext, d.HelpFile, d.BorderIcons, d.WindowState, d.Position);
  FinishBackgroundOutput(false);
  return 0;
}
