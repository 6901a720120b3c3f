#include "pages/RLStream.h"

#include "core/Exceptions.h"
#include "core/Translation.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kCannotRead = QT_TRANSLATE_NOOP("pages", "Cannot read file \"%s\": %s");
const char* const kCannotWrite = QT_TRANSLATE_NOOP("pages", "Cannot write file \"%s\": %s");

}  // namespace

std::int64_t TRLStream::Remaining() const { return std::max<std::int64_t>(0, Size() - Position()); }

void TRLStream::ReadBuffer(void* buffer, std::size_t count) {
  if (Read(buffer, count) != count) throw ERLStreamError("Stream read error");
}

std::int32_t TRLStream::ReadInt32() {
  unsigned char b[4];
  ReadBuffer(b, 4);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                   (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

std::uint16_t TRLStream::ReadWord() {
  unsigned char b[2];
  ReadBuffer(b, 2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint8_t TRLStream::ReadByte() {
  std::uint8_t b;
  ReadBuffer(&b, 1);
  return b;
}

std::string TRLStream::ReadString() {
  std::int32_t length = ReadInt32();
  if (length < 0 || length > Remaining()) throw ERLCorruptedFile();
  std::string text(static_cast<std::size_t>(length), '\0');
  if (length) ReadBuffer(text.data(), text.size());
  return text;
}

void TRLStream::WriteInt32(std::int32_t value) {
  auto v = static_cast<std::uint32_t>(value);
  unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  Write(b, 4);
}

void TRLStream::WriteWord(std::uint16_t value) {
  unsigned char b[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
  Write(b, 2);
}

void TRLStream::WriteByte(std::uint8_t value) { Write(&value, 1); }

void TRLStream::WriteString(std::string_view text) {
  WriteInt32(static_cast<std::int32_t>(text.size()));
  if (!text.empty()) Write(text.data(), text.size());
}

void TRLStream::CopyFrom(TRLStream& source, std::int64_t count) {
  char buffer[64 * 1024];
  while (count > 0) {
    auto chunk = static_cast<std::size_t>(std::min<std::int64_t>(count, sizeof buffer));
    source.ReadBuffer(buffer, chunk);
    Write(buffer, chunk);
    count -= static_cast<std::int64_t>(chunk);
  }
}

std::size_t TRLMemoryStream::Read(void* buffer, std::size_t count) {
  std::size_t available = position_ < data_.size() ? data_.size() - position_ : 0;
  std::size_t n = std::min(count, available);
  if (n) std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

void TRLMemoryStream::Write(const void* buffer, std::size_t count) {
  if (!count) return;
  const auto* bytes = static_cast<const char*>(buffer);
  if (position_ >= data_.size()) {
    // Writing past the end, the common case when a page is serialised: the gap, if any, is zero-filled.
    data_.resize(position_);
    data_.append(bytes, count);
  } else if (count <= data_.size() - position_) {
    std::memcpy(data_.data() + position_, bytes, count);
  } else {
    data_.replace(position_, data_.size() - position_, bytes, count);
  }
  position_ += count;
}

void TRLMemoryStream::Seek(std::int64_t position) {
  if (position < 0) throw ERLStreamError("Stream seek error");
  position_ = static_cast<std::size_t>(position);
}

std::string TRLMemoryStream::TakeBytes() {
  std::string out = std::move(data_);
  Clear();
  return out;
}

void TRLMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

TRLFileStream::TRLFileStream(const std::string& fileName, TMode mode) : file_name_(fileName) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case fmOpenRead: flags |= O_RDONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
    case fmCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  fd_ = ::open(fileName.c_str(), flags, 0666);
  if (fd_ < 0)
    Fail(mode == fmCreate ? QT_TRANSLATE_NOOP("pages", "Cannot create file \"%s\": %s")
                          : QT_TRANSLATE_NOOP("pages", "Cannot open file \"%s\": %s"));
}

TRLFileStream::TRLFileStream(int descriptor, std::string fileName) : fd_(descriptor), file_name_(std::move(fileName)) {}

TRLFileStream::TRLFileStream(TSafeFile& file) : fd_(file.Descriptor()), owns_fd_(false), file_name_(file.TempName()) {}

TRLFileStream::~TRLFileStream() { Close(); }

void TRLFileStream::Close() {
  if (fd_ >= 0 && owns_fd_) ::close(fd_);
  fd_ = -1;
}

void TRLFileStream::Fail(const char* pattern) const {
  throw ERLFileError(Format(Translate("pages", pattern), {file_name_, std::strerror(errno)}));
}

std::size_t TRLFileStream::Read(void* buffer, std::size_t count) {
  std::size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t n = ::pread(fd_, out + done, count - done, position_);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(kCannotRead);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    position_ += n;
  }
  return done;
}

void TRLFileStream::Write(const void* buffer, std::size_t count) {
  std::size_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < count) {
    ssize_t n = ::pwrite(fd_, in + done, count - done, position_);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(kCannotWrite);
    }
    done += static_cast<std::size_t>(n);
    position_ += n;
  }
}

void TRLFileStream::Seek(std::int64_t position) {
  if (position < 0) throw ERLStreamError("Stream seek error");
  position_ = position;
}

std::int64_t TRLFileStream::Size() const {
  struct stat st;
  if (::fstat(fd_, &st) != 0) Fail(kCannotRead);
  return st.st_size;
}

void TRLFileStream::Truncate(std::int64_t size) {
  if (::ftruncate(fd_, size) != 0) Fail(kCannotWrite);
  if (position_ > size) position_ = size;
}

void TRLFileStream::Sync() {
  if (::fsync(fd_) != 0) Fail(kCannotWrite);
}

TRLStreamWindow::TRLStreamWindow(TRLStream& source, std::int64_t end) : source_(&source), end_(end) {
  if (auto* window = dynamic_cast<TRLStreamWindow*>(&source)) {
    source_ = window->source_;
    end_ = std::min(end, window->end_);
  }
}

std::size_t TRLStreamWindow::Read(void* buffer, std::size_t count) {
  std::int64_t available = end_ - source_->Position();
  if (available <= 0) return 0;
  return source_->Read(buffer,
                       static_cast<std::size_t>(std::min<std::int64_t>(available, static_cast<std::int64_t>(count))));
}

void TRLStreamWindow::Write(const void*, std::size_t) { throw ERLStreamError("Stream write error"); }
