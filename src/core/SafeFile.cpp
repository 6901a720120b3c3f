#include "core/SafeFile.h"

#include "core/Exceptions.h"
#include "core/TempFiles.h"
#include "core/Translation.h"

#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kCannotCreate = QT_TRANSLATE_NOOP("core", "Cannot create file \"%s\": %s");
const char* const kCannotWrite = QT_TRANSLATE_NOOP("core", "Cannot write file \"%s\": %s");

// The file a name stands for: a symbolic link is followed (also to a file still to be made), so that writing
// replaces the file it names and the link stays.
std::string FileNamedBy(const std::string& fileName) {
  fs::path name(fileName);
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(name, error)) break;
    const fs::path link = fs::read_symlink(name, error);
    if (error) break;
    name = link.is_absolute() ? link : name.parent_path() / link;
  }
  return name.string();
}

}  // namespace

TSafeFile::TSafeFile(std::string fileName) : file_name_(std::move(fileName)), real_name_(FileNamedBy(file_name_)) {
  // ".<name>.~mx<pid>-<number>.tmp" beside the file: hidden, plainly not the file itself, and recognised by a later
  // run when this one was killed before it could remove it.
  const fs::path real(real_name_);
  fd_ = CreateOwnedTempFile(real.parent_path().string(), TempPrefix(), 0666, temp_name_);
  if (fd_ < 0) {
    discarded_ = true;
    throw EFileWriteError(
        Format(Translate("core", "Cannot create file \"%s\": %s"), {file_name_, std::strerror(errno)}));
  }
  struct stat existing;
  if (::stat(real_name_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    ::fchmod(fd_, existing.st_mode & 07777);
  }
}

std::string TSafeFile::TempPrefix() const { return "." + fs::path(real_name_).filename().string() + ".~mx"; }

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
  if (::rename(temp_name_.c_str(), real_name_.c_str()) != 0) Fail(kCannotCreate, errno);
  ReleaseOwnedTempFile(temp_name_);
  committed_ = true;
}

void TSafeFile::Discard() noexcept {
  if (committed_ || discarded_) return;
  discarded_ = true;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temp_name_.c_str());
  ReleaseOwnedTempFile(temp_name_);
}

void TSafeFile::Fail(const char* pattern, int error) {
  Discard();
  throw EFileWriteError(Format(Translate("core", pattern), {file_name_, std::strerror(error)}));
}
