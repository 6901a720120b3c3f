#include "pages/RLOutline.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kOutlineTag[4] = {'R', 'L', 'O', 'L'};
constexpr std::int32_t kOutlineVersion = 1;

void WritePayload(TRLStream& stream, const TRLOutline& outline) {
  stream.WriteInt32(static_cast<std::int32_t>(outline.size()));
  for (const TRLOutlineEntry& entry : outline) {
    stream.WriteInt32(entry.Level);
    stream.WriteInt32(entry.PageIndex);
    stream.WriteInt32(entry.Top);
    stream.WriteString(entry.Text);
  }
}

TRLOutline ReadPayload(TRLStream& stream, int pageCount) {
  TRLOutline outline;
  const std::int32_t count = stream.ReadInt32();
  if (count < 0) throw ERLCorruptedFile();
  for (std::int32_t i = 0; i < count; ++i) {
    TRLOutlineEntry entry;
    const int depth = stream.ReadInt32();
    entry.PageIndex = stream.ReadInt32();
    entry.Top = stream.ReadInt32();
    entry.Text = stream.ReadString();
    if (entry.PageIndex < 0 || entry.PageIndex >= pageCount) continue;
    entry.Level = OutlineLevelAfter(outline, depth);
    outline.push_back(std::move(entry));
  }
  return outline;
}

}  // namespace

int OutlineLevelAfter(const TRLOutline& outline, int depth) {
  const int deepest = outline.empty() ? 0 : outline.back().Level + 1;
  return std::clamp(depth, 0, deepest);
}

std::vector<int> OutlineParents(const TRLOutline& outline) {
  std::vector<int> parents(outline.size(), -1);
  std::vector<int> open;  // open[level]: the latest entry at that level
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const auto level = static_cast<std::size_t>(std::max(0, outline[i].Level));
    open.resize(std::min(level, open.size()));
    parents[i] = open.empty() ? -1 : open.back();
    open.push_back(static_cast<int>(i));
  }
  return parents;
}

int OutlineEntryAt(const TRLOutline& outline, int pageIndex, int top) {
  const auto after = std::upper_bound(outline.begin(), outline.end(), std::pair(pageIndex, top),
                                      [](const std::pair<int, int>& place, const TRLOutlineEntry& entry) {
                                        return place < std::pair(entry.PageIndex, entry.Top);
                                      });
  return static_cast<int>(after - outline.begin()) - 1;
}

void WriteOutlineRecord(TRLStream& stream, const TRLOutline& outline) {
  TRLMemoryStream payload;
  WritePayload(payload, outline);
  stream.Write(kOutlineTag, sizeof kOutlineTag);
  stream.WriteInt32(kOutlineVersion);
  stream.WriteInt32(static_cast<std::int32_t>(payload.Size()));
  stream.Write(payload.Bytes().data(), payload.Bytes().size());
}

TRLOutline ReadOutlineRecords(TRLStream& stream, int pageCount) {
  TRLOutline outline;
  while (stream.Remaining() >= 12) {
    char tag[4];
    stream.ReadBuffer(tag, sizeof tag);
    const std::int32_t version = stream.ReadInt32();
    const std::int32_t size = stream.ReadInt32();
    if (size < 0 || size > stream.Remaining()) break;
    const std::int64_t end = stream.Position() + size;
    if (std::memcmp(tag, kOutlineTag, sizeof tag) == 0 && version == kOutlineVersion) {
      try {
        TRLStreamWindow window(stream, end);
        outline = ReadPayload(window, pageCount);
      } catch (const ERLStreamError&) {
        outline.clear();
      }
    }
    stream.Seek(end);
  }
  return outline;
}
