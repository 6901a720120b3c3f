#include "core/TempFiles.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The files to remove on a signal, in storage a signal handler may read: fixed slots, each free, being written or
// armed. A path longer than a slot, or a file beyond the last slot, is simply not removed on a signal.
enum : int { kFree = 0, kBusy = 1, kArmed = 2 };
struct TArmedFile {
  std::atomic<int> state{kFree};
  char path[4096] = {};
};
std::array<TArmedFile, 128> g_armed;
constexpr int kCleanedSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void RemoveArmedFilesAndDie(int signal) {
  const int saved = errno;
  for (TArmedFile& file : g_armed) {
    if (file.state.load() == kArmed) ::unlink(file.path);
  }
  errno = saved;
  // The default action, once this handler returns: the process ends with the signal's status.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Installed once, and only over the default action: a signal the program or its caller ignores (nohup) stays so.
void InstallSignalHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int signal : kCleanedSignals) {
      struct sigaction current {};
      if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
      struct sigaction action {};
      action.sa_handler = RemoveArmedFilesAndDie;
      sigemptyset(&action.sa_mask);
      for (int other : kCleanedSignals) sigaddset(&action.sa_mask, other);
      ::sigaction(signal, &action, nullptr);
    }
  });
}

void Arm(const std::string& name) {
  if (name.size() >= sizeof(TArmedFile::path)) return;
  InstallSignalHandlers();
  for (TArmedFile& file : g_armed) {
    int expected = kFree;
    if (!file.state.compare_exchange_strong(expected, kBusy)) continue;
    std::memcpy(file.path, name.c_str(), name.size() + 1);
    file.state.store(kArmed);
    return;
  }
}

std::uint64_t RandomNumber() {
  static std::mutex mutex;
  static std::mt19937_64 generator{std::random_device{}()};
  std::lock_guard lock(mutex);
  return generator() % 1000000000000ull;
}

// The process id in <prefix><pid>-<digits>.tmp, or 0 when the name is not of that form.
pid_t OwnerOf(const std::string& fileName, const std::string& prefix) {
  if (fileName.size() <= prefix.size() + 4 || fileName.compare(0, prefix.size(), prefix) != 0 ||
      !fileName.ends_with(".tmp"))
    return 0;
  const std::string middle = fileName.substr(prefix.size(), fileName.size() - prefix.size() - 4);
  const std::size_t dash = middle.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size() || dash > 9) return 0;
  const auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
  if (!digits(std::string_view(middle).substr(0, dash)) || !digits(std::string_view(middle).substr(dash + 1))) return 0;
  return static_cast<pid_t>(std::stol(middle.substr(0, dash)));
}

bool ProcessIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

void RemoveStaleTempFiles(const std::string& folder, const std::string& prefix) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
  if (error) return;
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    const pid_t owner = OwnerOf(name, prefix);
    if (owner <= 0 || owner == ::getpid() || !ProcessIsGone(owner)) continue;
    if (!entry.is_regular_file(error) || entry.is_symlink(error)) continue;
    // The lock is what proves the file free: the process id may belong to another program by now.
    const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(entry.path().c_str());
    ::close(fd);
  }
}

int CreateOwnedTempFile(const std::string& folder, const std::string& prefix, mode_t mode, std::string& name) {
  RemoveStaleTempFiles(folder, prefix);
  const std::string base =
      (folder.empty() || folder.back() == '/' ? folder : folder + "/") + prefix + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = base + std::to_string(RandomNumber()) + ".tmp";
    const int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return -1;
    ::flock(fd, LOCK_EX | LOCK_NB);
    Arm(candidate);
    name = std::move(candidate);
    return fd;
  }
  errno = EEXIST;
  return -1;
}

void ReleaseOwnedTempFile(const std::string& name) {
  for (TArmedFile& file : g_armed) {
    int expected = kArmed;
    if (file.state.load() != kArmed || std::strcmp(file.path, name.c_str()) != 0) continue;
    if (file.state.compare_exchange_strong(expected, kBusy)) file.state.store(kFree);
  }
}
