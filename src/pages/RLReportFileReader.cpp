// Reading a report file back into a page collection (the layout is at the top of RLGraphicStorage.h).

#include "pages/RLGraphicStorage.h"

#include "pages/RLMetaSurface.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSignaturePrefix = "RLGraphicStorage";
constexpr char kSignatureEnd = '\x1A';
// Enough digits for any version number; a longer run is no signature.
constexpr std::size_t kLongestVersion = 6;

using TReason = ERLReportFileError::TReason;

[[noreturn]] void Fail(TReason reason, int versionOrPage = 0) { throw ERLReportFileError(reason, versionOrPage); }

// The signature and the version it names; the stream is left after it.
void ReadSignature(TRLStream& stream) {
  std::string head(kSignaturePrefix.size(), '\0');
  const std::size_t got = stream.Read(head.data(), head.size());
  head.resize(got);
  if (got == 0 || head != kSignaturePrefix.substr(0, got)) Fail(ERLReportFileError::rfNotAReportFile);
  if (got < kSignaturePrefix.size()) Fail(ERLReportFileError::rfTruncated);
  std::string digits;
  char c;
  while (true) {
    if (stream.Read(&c, 1) != 1) Fail(ERLReportFileError::rfTruncated);
    if (c == kSignatureEnd && !digits.empty()) break;
    if (c < '0' || c > '9' || digits.size() == kLongestVersion) Fail(ERLReportFileError::rfNotAReportFile);
    digits += c;
  }
  const int version = std::stoi(digits);
  if (version != TRLGraphicStorage::kReportFileVersion) Fail(ERLReportFileError::rfOtherVersion, version);
}

// Reads an Int32 count or length that must be >= 0 and cover no more than `unit` bytes each of what is left.
std::int32_t ReadCount(TRLStream& stream, std::int64_t unit, int page) {
  if (stream.Remaining() < 4) Fail(ERLReportFileError::rfTruncated, page);
  const std::int32_t count = stream.ReadInt32();
  if (count < 0) Fail(ERLReportFileError::rfCorrupted, page);
  if (count > stream.Remaining() / unit) Fail(ERLReportFileError::rfTruncated, page);
  return count;
}

bool SaneSide(double pixels) { return pixels <= TRLGraphicStorage::kLargestPageSide; }

struct TReportFileContents {
  std::vector<std::string> macros;
  std::vector<std::int32_t> page_offsets;
};

TReportFileContents ReadHeader(TRLStream& stream) {
  TReportFileContents contents;
  ReadSignature(stream);
  const std::int32_t macro_count = ReadCount(stream, 4, 0);
  for (std::int32_t i = 0; i < macro_count; ++i) {
    const std::int32_t length = ReadCount(stream, 1, 0);
    std::string line(static_cast<std::size_t>(length), '\0');
    stream.ReadBuffer(line.data(), line.size());
    contents.macros.push_back(std::move(line));
  }
  const std::int32_t page_count = ReadCount(stream, 4, 0);
  contents.page_offsets.reserve(static_cast<std::size_t>(page_count));
  for (std::int32_t i = 0; i < page_count; ++i) contents.page_offsets.push_back(stream.ReadInt32());
  return contents;
}

// Page `index` (from 0) of the file, read and checked.
std::unique_ptr<TRLGraphicSurface> ReadPage(TRLStream& stream, std::int64_t table_end, std::int32_t offset, int index) {
  const int page = index + 1;
  if (offset < table_end) Fail(ERLReportFileError::rfCorrupted, page);
  if (offset > stream.Size() - 4) Fail(ERLReportFileError::rfTruncated, page);
  stream.Seek(offset);
  const std::int32_t length = ReadCount(stream, 1, page);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  stream.ReadBuffer(bytes.data(), bytes.size());
  auto surface = std::make_unique<TRLGraphicSurface>();
  TRLMemoryStream record(std::move(bytes));
  try {
    surface->LoadFromStream(record);
  } catch (const ERLCorruptedFile&) {
    Fail(ERLReportFileError::rfCorrupted, page);
  }
  if (surface->Width() < 0 || surface->Height() < 0 || !SaneSide(surface->Width()) || !SaneSide(surface->Height())) {
    Fail(ERLReportFileError::rfCorrupted, page);
  }
  return surface;
}

}  // namespace

ERLReportFileError::ERLReportFileError(TReason reason, int versionOrPage)
    : ERLStreamError(reason == rfNotAReportFile ? "Not a report file"
                     : reason == rfOtherVersion ? "Report file of version " + std::to_string(versionOrPage)
                     : reason == rfTruncated    ? "Report file cut short"
                                                : "Report file damaged"),
      reason_(reason),
      value_(versionOrPage) {}

void TRLGraphicStorage::LoadFromStream(TRLStream& stream) {
  std::lock_guard lock(mutex_);
  // A read past the end that a check above missed is a short file all the same.
  try {
    stream.Seek(0);
    const TReportFileContents contents = ReadHeader(stream);
    const std::int64_t table_end = stream.Position();
    TStrings macros;
    for (const std::string& line : contents.macros) macros.Add(line);
    for (const char* side : {"PaperWidth", "PaperHeight"}) {
      if (!SaneSide(ReadRealValue(macros, side) * 96.0 / 25.4)) Fail(ERLReportFileError::rfCorrupted);
    }
    // Every page is read before the collection changes, and again as it is added: only one is in memory at once.
    // The framed records after the pages start where the furthest page ends.
    std::int64_t records = table_end;
    for (std::size_t i = 0; i < contents.page_offsets.size(); ++i) {
      ReadPage(stream, table_end, contents.page_offsets[i], static_cast<int>(i));
      records = std::max(records, stream.Position());
    }
    stream.Seek(records);
    TRLOutline outline = ReadOutlineRecords(stream, static_cast<int>(contents.page_offsets.size()));
    Clear();
    for (const std::string& line : contents.macros) macros_.Add(line);
    file_version_ = kReportFileVersion;
    for (std::size_t i = 0; i < contents.page_offsets.size(); ++i) {
      Add(ReadPage(stream, table_end, contents.page_offsets[i], static_cast<int>(i)));
    }
    outline_ = std::move(outline);
  } catch (const ERLReportFileError&) {
    throw;
  } catch (const ERLFileError&) {
    throw;
  } catch (const ERLStreamError&) {
    throw ERLReportFileError(ERLReportFileError::rfTruncated);
  }
}

void TRLGraphicStorage::LoadFromFile(const std::string& fileName) {
  // A device or a pipe is no report file, and reading one might never end.
  std::error_code error;
  if (fs::exists(fileName, error) && !fs::is_regular_file(fileName, error)) {
    throw ERLReportFileError(ERLReportFileError::rfNotAReportFile);
  }
  TRLFileStream stream(fileName, TRLFileStream::fmOpenRead);
  LoadFromStream(stream);
}
