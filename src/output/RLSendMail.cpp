#include "output/RLSendMail.h"

#include "core/Exceptions.h"
#include "core/Text.h"
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
      throw Exception("Não foi possível criar a pasta temporária para o anexo: " + std::string(std::strerror(errno)));
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
    case 1: return "o xdg-email não entendeu o pedido";
    case 2: return "o xdg-email não encontrou o arquivo anexo";
    case 3: return "não há programa de e-mail configurado nesta área de trabalho";
    case 4: return "o programa de e-mail não pôde ser aberto";
    default: return "o xdg-email terminou com o código " + std::to_string(status);
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
    throw Exception("Não foi possível abrir o programa de e-mail (" + opener + "): " + std::strerror(error));
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
  return "Enviar por e-mail não está disponível: falta o xdg-email (pacote xdg-utils), que abre o programa de "
         "e-mail.";
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
  const int status = RunOpener(opener, title.empty() ? "Relatório" : title, file);
  if (status != 0) {
    throw Exception("Não foi possível enviar o relatório por e-mail: " + OpenerFailure(status) + ".");
  }
  return true;
}
