#pragma once

// The outline of a report: one entry for each group instance whose header printed, in the order they printed.
// Readers of the report file find it after the last page, in a framed record (see RLGraphicStorage.h).

#include "pages/RLStream.h"

#include <string>
#include <vector>

struct TRLOutlineEntry {
  std::string Text;
  // 0 for an outermost group; never more than one deeper than the entry before it.
  int Level = 0;
  // The page (0 for the first) and the row on it, in pixels at 96 per inch, where the group's header starts.
  int PageIndex = 0;
  int Top = 0;

  bool operator==(const TRLOutlineEntry&) const = default;
};

using TRLOutline = std::vector<TRLOutlineEntry>;

// The level an entry of nesting `depth` takes after `outline`: no deeper than one below the last entry, so that an
// entry whose enclosing group has no header hangs from the nearest entry above it.
int OutlineLevelAfter(const TRLOutline& outline, int depth);

// For each entry, the index of the entry it hangs from, or -1 for an entry at the top.
std::vector<int> OutlineParents(const TRLOutline& outline);

// The index of the last entry that starts at or before `top` on page `pageIndex` (any earlier page counts as
// before), or -1 when the first entry comes later.
int OutlineEntryAt(const TRLOutline& outline, int pageIndex, int top = 0);

// The outline record: its frame and version 1 payload. A record of another version or tag is skipped whole.
void WriteOutlineRecord(TRLStream& stream, const TRLOutline& outline);
// Reads the records from the stream's position to its end and returns the outline of the last one it knows;
// entries pointing past `pageCount` pages are dropped. A frame that does not fit the stream ends the reading:
// what was read before it is kept.
TRLOutline ReadOutlineRecords(TRLStream& stream, int pageCount);
