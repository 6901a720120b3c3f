#include "core/SafeFile.h"

#include "core/Exceptions.h"
#include "core/Translation.h"

#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kCannotCreate = QT_TRANSLATE_NOOP("core", "Cannot create file \"%s\": %s");
const char* const kCannotWrite = QT_TRANSLATE_NOOP("core", "Cannot write file \"%s\": %s");

// ".<name>.~mx<number>.tmp" beside `fileName`: hidden, and plainly not the file itself.
std::string SiblingTempName(const std::string& fileName) {
  static std::mutex mutex;
  static std::mt19937 generator{std::random_device{}()};
  std::lock_guard lock(mutex);
  std::filesystem::path target(fileName);
  std::string base = target.filename().string();
  std::filesystem::path dir = target.parent_path();
  std::string name = "." + base + ".~mx" + std::to_string(generator() % 2147483647u) + ".tmp";
  return (dir.empty() ? std::filesystem::path(name) : dir / name).string();
}

}  // namespace

TSafeFile::TSafeFile(std::string fileName) : file_name_(std::move(fileName)) {
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_name_ = SiblingTempName(file_name_);
    fd_ = ::open(temp_name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    discarded_ = true;
    throw EFileWriteError(
        Format(Translate("core", "Cannot create file \"%s\": %s"), {file_name_, std::strerror(errno)}));
  }
  struct stat existing;
  if (::stat(file_name_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    ::fchmod(fd_, existing.st_mode & 07777);
  }
}

TSafeFile::~TSafeFile() { Discard(); }

void TSafeFile::Write(const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd_, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail(kCannotWrite, written < 0 ? errno : ENOSPC);
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

void TSafeFile::Commit() {
  if (committed_) return;
  if (discarded_)
    throw EFileWriteError(Format(Translate("core", "Cannot create file \"%s\": it was discarded"), {file_name_}));
  if (::fsync(fd_) != 0) Fail(kCannotWrite, errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail(kCannotWrite, errno);
  if (::rename(temp_name_.c_str(), file_name_.c_str()) != 0) Fail(kCannotCreate, errno);
  committed_ = true;
}

void TSafeFile::Discard() noexcept {
  if (committed_ || discarded_) return;
  discarded_ = true;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temp_name_.c_str());
}

void TSafeFile::Fail(const char* pattern, int error) {
  Discard();
  throw EFileWriteError(Format(Translate("core", pattern), {file_name_, std::strerror(error)}));
}
