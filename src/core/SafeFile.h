#pragma once

#include "core/Exceptions.h"

#include <cstddef>
#include <string>

// A file that cannot be created, written or put in place.
class EFileWriteError : public Exception {
  using Exception::Exception;
};

// Writes a file so that its readers find either its earlier content or the whole new one, never a part.
//
// The bytes go to a temporary file created exclusively beside the target (same folder, so that the rename stays on
// one file system), with the target's permissions when the target exists. Commit flushes it to the disk, closes it
// and renames it over the target. A target that is a symbolic link is written through: the file it names is
// replaced and the link stays. Destroying the object without Commit, or any failure on the way, removes the
// temporary file and leaves the target as it was.
class TSafeFile {
public:
  // Raises EFileWriteError "Cannot create file "<target>": <reason>" when no temporary file can be made.
  explicit TSafeFile(std::string fileName);
  ~TSafeFile();
  TSafeFile(const TSafeFile&) = delete;
  TSafeFile& operator=(const TSafeFile&) = delete;

  // The target, as given.
  const std::string& FileName() const { return file_name_; }
  // The temporary file: for writers that must open a path of their own (it is truncated when they do so).
  const std::string& TempName() const { return temp_name_; }
  // The temporary file's descriptor, owned by this object, open until Commit or Discard.
  int Descriptor() const { return fd_; }

  // Appends all bytes at the descriptor's position; raises EFileWriteError (and discards) when it cannot.
  void Write(const void* data, std::size_t size);
  void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
  // Flushes, closes and renames into place; raises EFileWriteError (and discards) when any step fails.
  void Commit();
  // Removes the temporary file; the target stays as it was. Nothing happens after Commit.
  void Discard() noexcept;
  bool Committed() const { return committed_; }

private:
  // Discards the file and throws the translated `pattern` with the file's name and the system's reason.
  [[noreturn]] void Fail(const char* pattern, int error);

  std::string TempPrefix() const;

  std::string file_name_;
  std::string real_name_;  // the file that is replaced: the target, or the file its symbolic links lead to
  std::string temp_name_;
  int fd_ = -1;
  bool committed_ = false;
  bool discarded_ = false;
};
