#include "output/RLSendMail.h"

#include "core/Exceptions.h"
#include "core/Text.h"
#include "core/Translation.h"
#include "output/RLSaveFilters.h"
#include "pages/RLMetaFile.h"
#include "pages/RLUtils.h"
#include "widgets/Threads.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* kOpener = "xdg-email";

// The folder, removed with its files when the process ends (static destruction).
class TAttachmentFolder {
public:
  TAttachmentFolder() {
    std::string pattern = TempDir() + "relclientes-envio-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
      throw Exception(Format(Translate("output", "Cannot create the temporary folder for the attachment: %s"),
                             {std::strerror(errno)}));
    }
    path_ = pattern;
  }
  ~TAttachmentFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

// What went wrong, by the opener's exit status (its documented codes).
std::string OpenerFailure(int status) {
  switch (status) {
    case 1: return Translate("output", "xdg-email did not understand the request");
    case 2: return Translate("output", "xdg-email did not find the attached file");
    case 3: return Translate("output", "no e-mail program is set up on this desktop");
    case 4: return Translate("output", "the e-mail program could not be opened");
    default: return Format(Translate("output", "xdg-email ended with status %d"), {status});
  }
}

// Runs the opener and waits for it, the windows served meanwhile; its exit status, or -1 when killed.
int RunOpener(const std::string& opener, const std::string& subject, const std::string& file) {
  std::vector<std::string> args = {opener, "--subject", subject, "--attach", file};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (const int error = ::posix_spawn(&pid, opener.c_str(), nullptr, nullptr, argv.data(), environ); error != 0) {
    throw Exception(
        Format(Translate("output", "Cannot open the e-mail program (%s): %s"), {opener, std::strerror(error)}));
  }
  int status = 0;
  ProcessMessagesUntil([&] {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    return done == pid || (done < 0 && errno != EINTR);
  });
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string FindMailOpener() {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  for (const std::string& dir : SplitText(path, ':')) {
    if (dir.empty()) continue;
    const fs::path candidate = fs::path(dir) / kOpener;
    if (::access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate)) return candidate.string();
  }
  return {};
}

std::string SendUnavailableReason() {
  if (!FindMailOpener().empty()) return {};
  return Translate("output",
                   "Sending by e-mail is not available: xdg-email (package xdg-utils), which opens the "
                   "e-mail program, is missing.");
}

std::string AttachmentName(const std::string& title) {
  std::string cleaned;
  for (char c : Trim(title)) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32 || code == 127 || std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos) continue;
    cleaned += c;
  }
  cleaned = Trim(cleaned);
  // A name of dots alone would be the folder itself or its parent.
  if (cleaned.find_first_not_of('.') == std::string::npos) return "relatorio.pdf";
  return cleaned + ".pdf";
}

const std::string& AttachmentFolder() {
  static const TAttachmentFolder folder;
  return folder.Path();
}

bool SendPages(TRLGraphicStorage& pages) {
  const std::string opener = FindMailOpener();
  if (opener.empty()) throw Exception(SendUnavailableReason());
  const std::string title = pages.Title();
  const std::string file = (fs::path(AttachmentFolder()) / AttachmentName(title)).string();
  std::error_code ignored;
  fs::remove(file, ignored);
  // A filter of its own: the shared PDF filter keeps the name the user last saved under.
  TRLPDFFilter pdf;
  pdf.SetFileName(file);
  pdf.Run(pages);
  if (pdf.Canceled() || !fs::exists(file)) return false;
  const int status = RunOpener(opener, title.empty() ? Translate("output", "Report") : title, file);
  if (status != 0) {
    throw Exception(Format(Translate("output", "Cannot send the report by e-mail: %s."), {OpenerFailure(status)}));
  }
  return true;
}
