#include "support/CupsServer.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <thread>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace outputtest {

namespace fs = std::filesystem;

namespace {

const char* const kCaptureBackend = R"(#!/bin/sh
# Called without arguments, describes itself; otherwise copies the job to the folder after "capture:".
if [ $# -eq 0 ]; then echo 'file capture "Unknown" "Capture to folder"'; exit 0; fi
dir="${DEVICE_URI#capture:}"
out="$dir/job-$1"
if [ -n "$6" ]; then cp "$6" "$out.part"; else cat > "$out.part"; fi
printf '%s' "$4" > "$out.copies"
printf '%s' "$3" > "$out.title"
printf '%s' "$5" > "$out.options"
mv "$out.part" "$out.pdf"
exit 0
)";

std::string Output(const std::string& command) {
  std::string result;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.append(buffer.data(), n);
    ::pclose(pipe);
  }
  return result;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

void GiveToLp(const fs::path& path) {
  if (passwd* lp = ::getpwnam("lp")) {
    if (::chown(path.c_str(), lp->pw_uid, lp->pw_gid) != 0) throw std::runtime_error("chown " + path.string());
  }
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TCupsServer::TCupsServer() {
  std::string pattern = (fs::temp_directory_path() / "relcl-cups-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  dir_ = pattern;
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                            fs::perms::others_exec);
  for (const char* sub : {"spool", "cache", "state", "tmp", "log", "out", "bin", "bin/backend"}) {
    fs::create_directories(dir_ / sub);
  }
  for (const char* sub : {"spool", "cache", "tmp", "out"}) GiveToLp(dir_ / sub);
  for (const auto& entry : fs::directory_iterator("/usr/lib/cups")) {
    if (entry.path().filename() != "backend") fs::create_symlink(entry.path(), dir_ / "bin" / entry.path().filename());
  }
  const fs::path backend = dir_ / "bin/backend/capture";
  std::ofstream(backend) << kCaptureBackend;
  fs::permissions(backend, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);

  const fs::path socket = dir_ / "cups.sock";
  std::ofstream(dir_ / "cupsd.conf") << "Listen " << socket.string() << "\n"
                                     << "WebInterface No\nBrowsing No\nLogLevel warn\n"
                                     << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                     << "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                                     << "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n"
                                     << "  </Limit>\n</Policy>\n";
  std::ofstream(dir_ / "cups-files.conf")
      << "ServerRoot " << dir_.string() << "\nRequestRoot " << (dir_ / "spool").string() << "\nCacheDir "
      << (dir_ / "cache").string() << "\nStateDir " << (dir_ / "state").string() << "\nTempDir "
      << (dir_ / "tmp").string() << "\nErrorLog " << (dir_ / "log/error_log").string() << "\nAccessLog "
      << (dir_ / "log/access_log").string() << "\nPageLog " << (dir_ / "log/page_log").string() << "\nServerBin "
      << (dir_ / "bin").string() << "\nUser lp\nGroup lp\nSystemGroup root\n";

  const std::string conf = (dir_ / "cupsd.conf").string(), files = (dir_ / "cups-files.conf").string();
  const char* argv[] = {"cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("cannot start cupsd");
  if (pid_ == 0) {
    // The scheduler goes with the test process, however that ends.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::execv("/usr/sbin/cupsd", const_cast<char**>(argv));
    ::_exit(127);
  }
  ::setenv("CUPS_SERVER", socket.c_str(), 1);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::system("lpstat -r >/dev/null 2>&1") != 0) {
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("cupsd does not answer");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

TCupsServer::~TCupsServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  ::unsetenv("CUPS_SERVER");
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

void TCupsServer::Command(const std::string& command) {
  // A scheduler that has just started, on a busy machine, may turn an administration request away once.
  std::string output;
  for (int attempt = 0; attempt < 5; ++attempt) {
    output = Output(command + " 2>&1; echo \"exit=$?\"");
    if (output.size() >= 7 && output.compare(output.size() - 7, 7, "exit=0\n") == 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  throw std::runtime_error(command + " failed: " + output);
}

void TCupsServer::AddQueue(const std::string& name, bool makeDefault, const std::string& location) {
  std::string command = "lpadmin -p " + name + " -v capture:" + (dir_ / "out").string() + " -E";
  if (!location.empty()) command += " -L '" + location + "'";
  Command(command);
  if (makeDefault) Command("lpadmin -d " + name);
  queues_.push_back(name);
}

void TCupsServer::Reset() {
  for (const std::string& name : queues_) Command("lpadmin -x " + name);
  queues_.clear();
  for (const auto& entry : fs::directory_iterator(dir_ / "out")) fs::remove(entry.path());
}

TCupsServer& SharedCupsServer() {
  static TCupsServer server;
  return server;
}

std::vector<TCapturedJob> TCupsServer::WaitForJobs(std::size_t count, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::vector<TCapturedJob> jobs;
  for (;;) {
    jobs.clear();
    for (const auto& entry : fs::directory_iterator(dir_ / "out")) {
      std::smatch match;
      std::string name = entry.path().filename().string();
      if (!std::regex_match(name, match, std::regex(R"(job-(\d+)\.pdf)"))) continue;
      TCapturedJob job;
      job.Id = std::stoi(match[1]);
      job.File = entry.path();
      fs::path base = dir_ / "out" / ("job-" + match[1].str());
      job.Copies = std::atoi(ReadFile(base.string() + ".copies").c_str());
      job.Title = ReadFile(base.string() + ".title");
      job.Options = ReadFile(base.string() + ".options");
      jobs.push_back(job);
    }
    std::sort(jobs.begin(), jobs.end(), [](const TCapturedJob& a, const TCapturedJob& b) { return a.Id < b.Id; });
    if (jobs.size() >= count || std::chrono::steady_clock::now() > deadline) return jobs;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

int PdfPageCount(const fs::path& pdf) {
  std::string info = PdfInfo(pdf);
  std::smatch match;
  if (!std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))"))) return -1;
  return std::stoi(match[1]);
}

std::string PdfText(const fs::path& pdf, int firstPage, int lastPage) {
  std::string range;
  if (firstPage > 0) range += " -f " + std::to_string(firstPage);
  if (lastPage > 0) range += " -l " + std::to_string(lastPage);
  return Output("pdftotext -layout" + range + " " + Quoted(pdf) + " - 2>/dev/null");
}

std::string PdfInfo(const fs::path& pdf) { return Output("pdfinfo " + Quoted(pdf) + " 2>/dev/null"); }

std::string PdfPageImage(const fs::path& pdf, int page, int dpi) {
  return Output("pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " + std::to_string(page) +
                " -singlefile " + Quoted(pdf) + " 2>/dev/null");
}

std::string PdfPageSize(const fs::path& pdf, int page) {
  std::string info =
      Output("pdfinfo -f " + std::to_string(page) + " -l " + std::to_string(page) + " " + Quoted(pdf) + " 2>/dev/null");
  std::smatch match;
  if (!std::regex_search(info, match, std::regex(R"(Page\s+\d+\s+size:\s+([0-9.]+ x [0-9.]+))"))) return {};
  return match[1];
}

}  // namespace outputtest
