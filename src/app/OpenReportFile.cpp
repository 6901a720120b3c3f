#include "app/OpenReportFile.h"

#include "core/TerminalText.h"
#include "core/Translation.h"
#include "output/RLFilters.h"
#include "output/RLPreviewForm.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "widgets/Forms.h"

#include <filesystem>
#include <ostream>

namespace {

std::string Message(const ERLReportFileError& error, const std::string& fileName) {
  switch (error.Reason()) {
    case ERLReportFileError::rfNotAReportFile:
      return Format(Translate("app", "\"%s\" is not a report file"), {fileName});
    case ERLReportFileError::rfOtherVersion:
      return Format(Translate("app",
                              "\"%s\" is a report file of version %d of the format; this program reads "
                              "version 3 only"),
                    {fileName, error.Version()});
    case ERLReportFileError::rfTruncated:
      return Format(Translate("app", "the report file \"%s\" is incomplete: it ends before the end of the report"),
                    {fileName});
    case ERLReportFileError::rfCorrupted:
      if (error.Page() != 0)
        return Format(Translate("app", "the report file \"%s\" is damaged on page %d"), {fileName, error.Page()});
      break;
  }
  return Format(Translate("app", "the report file \"%s\" is damaged"), {fileName});
}

}  // namespace

void OpenReportFile(TRLGraphicStorage& pages, const std::string& fileName) {
  try {
    pages.LoadFromFile(fileName);
  } catch (const ERLReportFileError& error) {
    throw Exception(Message(error, fileName));
  } catch (const ERLFileError& error) {
    throw Exception(Format(Translate("app", "cannot read \"%s\" (%s)"), {fileName, error.Message()}));
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
    ShowMessageBox(error.Message(), Translate("app", "Open report"), mtError);
    return 1;
  }
  const TRLPreviewDefaults& d = PreviewDefaults();
  const std::string caption = EngineMessages().msgPreview + " - " + std::filesystem::path(fileName).filename().string();
  ShowPreview(pages, true, d.FormStyle, caption, d.HelpContext, d.HelpFile, d.BorderIcons, d.WindowState, d.Position);
  FinishBackgroundOutput(false);
  return 0;
}
