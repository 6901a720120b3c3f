#pragma once

// Byte streams for the page store: a growable memory buffer and a file, both with little-endian number helpers.

#include "core/Exceptions.h"
#include "core/SafeFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class ERLStreamError : public Exception {
  using Exception::Exception;
};
// A file that cannot be created, opened, written or renamed; the message names the file and the reason.
class ERLFileError : public ERLStreamError {
  using ERLStreamError::ERLStreamError;
};
// Data that does not hold what its layout promises.
class ERLCorruptedFile : public ERLStreamError {
public:
  ERLCorruptedFile() : ERLStreamError("File is corrupted!") {}
};

class TRLStream {
public:
  virtual ~TRLStream() = default;
  // Reads up to `count` bytes and returns how many it read.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes all bytes or raises ERLStreamError.
  virtual void Write(const void* buffer, std::size_t count) = 0;
  virtual std::int64_t Position() const = 0;
  virtual void Seek(std::int64_t position) = 0;
  virtual std::int64_t Size() const = 0;
  std::int64_t Remaining() const;

  // Reads exactly `count` bytes or raises ERLStreamError.
  void ReadBuffer(void* buffer, std::size_t count);
  std::int32_t ReadInt32();
  std::uint16_t ReadWord();
  std::uint8_t ReadByte();
  // An int32 length, then the bytes; ERLCorruptedFile for a negative length or one past the end.
  std::string ReadString();

  void WriteInt32(std::int32_t value);
  void WriteWord(std::uint16_t value);
  void WriteByte(std::uint8_t value);
  // An int32 length, then the bytes.
  void WriteString(std::string_view text);
  // Copies `count` bytes from the current position of `source`.
  void CopyFrom(TRLStream& source, std::int64_t count);
};

class TRLMemoryStream : public TRLStream {
public:
  TRLMemoryStream() = default;
  explicit TRLMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Position() const override { return static_cast<std::int64_t>(position_); }
  void Seek(std::int64_t position) override;
  std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }

  const std::string& Bytes() const { return data_; }
  std::string TakeBytes();
  void Clear();

private:
  std::string data_;
  std::size_t position_ = 0;
};

// A file stream over a POSIX descriptor, which it closes.
class TRLFileStream : public TRLStream {
public:
  enum TMode { fmOpenRead, fmOpenReadWrite, fmCreate };
  // fmCreate creates or truncates the file (mode 0666 less the umask).
  TRLFileStream(const std::string& fileName, TMode mode);
  // Takes over an open descriptor.
  TRLFileStream(int descriptor, std::string fileName);
  // Writes into a safe file's temporary file, whose descriptor stays the safe file's.
  explicit TRLFileStream(TSafeFile& file);
  ~TRLFileStream() override;
  TRLFileStream(const TRLFileStream&) = delete;
  TRLFileStream& operator=(const TRLFileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Position() const override { return position_; }
  void Seek(std::int64_t position) override;
  std::int64_t Size() const override;

  void Truncate(std::int64_t size);
  // Forces the written bytes to the disk.
  void Sync();
  void Close();
  const std::string& FileName() const { return file_name_; }

private:
  // Throws the translated `pattern` with the file's name and the system's reason for the last failure.
  [[noreturn]] void Fail(const char* pattern) const;

  int fd_ = -1;
  bool owns_fd_ = true;
  std::string file_name_;
  std::int64_t position_ = 0;
};

// A read-only view of another stream that ends at `end`: reads stop there, and Remaining counts up to there.
class TRLStreamWindow : public TRLStream {
public:
  // A window over a window reads from the stream below it, within both ends.
  TRLStreamWindow(TRLStream& source, std::int64_t end);

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Position() const override { return source_->Position(); }
  void Seek(std::int64_t position) override { source_->Seek(position); }
  std::int64_t Size() const override { return end_; }

private:
  TRLStream* source_;
  std::int64_t end_;
};
