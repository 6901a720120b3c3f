#pragma once

// The collection of a report's pages, its temporary page file and the report file it writes, and the reference
// through which a page is fetched from it.
//
// FILE FORMATS
//
// Other programs may read the report file, so its layout is written down here. All integers are little-endian
// and signed. Offsets are from the start of the structure named in the table's title.
//
//   Int32   4 bytes.
//   Word    2 bytes, unsigned.
//   Byte    1 byte, unsigned.
//   String  an Int32 length n >= 0, then n bytes: the text's UTF-8 bytes as the program holds them (UTF-8 is this
//           platform's code page), with no conversion and no terminator.
//   Color   3 bytes: red, green, blue.
//   Point   two Int32: x, y.
//
// The report file (a .rpf file), written by SaveToFile and SaveToStream:
//
//   offset  size     meaning
//   0       18       signature "RLGraphicStorage3" followed by the byte 0x1A; the 3 is kReportFileVersion
//   18      4        m, the number of named values
//   22      ...      m Strings, each a "name=value" line (FirstPageNumber, LastPageNumber, Title, Orientation,
//                    PaperWidth, PaperHeight, and any other the report set)
//   t       4        p, the number of pages
//   t+4     4*p      the page table: for each page the Int32 offset, from the start of the file, of its record
//   ...     ...      p page records, in page order, each an Int32 length n then n bytes of a page
//   ...     ...      after the last page, zero or more framed records, to the end of the file (a reader that reads
//                    by the page table stops before them, and a file without them is complete)
//
// A framed record:
//
//   offset  size     meaning
//   0       4        tag, four characters
//   4       4        version of the record's payload
//   8       4        s, the payload size
//   12      s        the payload
//
// A reader skips by its size a record whose tag or version it does not know, and stops at a frame that runs past
// the end of the file. A new version of a record gets a new version number; a reader keeps the last record it
// knows. The records:
//
//   tag     version  payload
//   "RLOL"  1        the outline (written only when it has entries): Int32 count, then per entry, in the order
//                    the group headers printed: Int32 level (0 outermost, at most one deeper than the entry before),
//                    Int32 page index (0 first), Int32 top (the row on the page where the header starts, pixels at
//                    96 per inch), String text
//
// The temporary page file, private to one collection and removed with it, is the page records alone, one after
// the other as pages are stored; a page stored again is appended and the older record is left unused. The
// collection keeps the page table in memory.
//
// A page (TRLGraphicSurface::SaveToStream):
//
//   offset  size     meaning
//   0       18       signature "RLGraphicSurface3" followed by the byte 0x1A
//   18      4        width in pixels at 96 per inch
//   22      4        height
//   26      ...      Int32 count, then that many Strings: the page's "name=value" lines (its macros)
//   ...     ...      Int32 count, then that many Strings: the font face names that text objects refer to by index
//   ...     4        o, the number of objects
//   ...     ...      o objects, in drawing order, each: Byte type code, Int32 payload size s, s bytes of payload.
//                    A reader skips a type code it does not know by its payload size.
//
// The payload of every object begins with the common part, 24 bytes:
//
//   0       16       bounds: Int32 left, top, right, bottom
//   16      4        group id, 1 or more: the objects recorded by one print of a control, or by one drawing of a
//                    site's background, share it, and no others do
//   20      4        tag, for the program's own use
//
// followed by what its type code adds:
//
//   code  object          then
//   1     pixel           Color
//   2     line            Point from, Point to, pen, brush
//   3     rectangle       pen, brush
//   4     text            Byte alignment (1 left, 2 right, 3 center, 4 justify), Byte layout (1 top, 2 bottom,
//                         3 center), Point origin, Word text flags (1 no clip, 4 keep together), String text,
//                         brush, font
//   5     fill rectangle  brush
//   6     ellipse         pen, brush
//   7     polygon         pen, brush, Int32 count then that many Points
//   8     polyline        pen, Int32 count then that many Points
//   9     image           String picture ("BMP" or "ICO" followed by the file bytes, or "NIL"), Byte integral scale
//   10    set clip rect   nothing: the bounds are the clip rectangle
//   11    reset clip rect nothing
//
//   pen    9 bytes: Color, Byte mode (the platform's ordinal + 1), Byte style (ordinal + 1), Int32 width
//   brush  4 bytes: Color, Byte style (the platform's ordinal + 1)
//   font   22 bytes: Int32 pixels per inch, Byte charset, Color, Int32 height, Int32 face (an index into the
//          page's font names), Byte pitch (ordinal + 1), Int32 size in points, Byte style (1 bold, 2 italic,
//          4 underline, 8 strike-out)

#include "pages/RLDataTable.h"
#include "pages/RLMetaSurface.h"
#include "pages/RLOutline.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// Why a report file could not be read: the file as a whole (no report file, another version of the format, cut
// short), or what is wrong, found on which page (1 for the first) or outside the pages (0).
class ERLReportFileError : public ERLStreamError {
public:
  enum TReason { rfNotAReportFile, rfOtherVersion, rfTruncated, rfCorrupted };
  ERLReportFileError(TReason reason, int versionOrPage = 0);
  TReason Reason() const { return reason_; }
  // The version the file says it has, for rfOtherVersion.
  int Version() const { return reason_ == rfOtherVersion ? value_ : 0; }
  // The page found damaged, for rfCorrupted and rfTruncated; 0 outside the pages.
  int Page() const { return reason_ == rfOtherVersion ? 0 : value_; }

private:
  TReason reason_;
  int value_;
};

// A page fetched from a collection. While it lives the collection stays locked, so no other thread can change its
// pages, and the page stays in memory: the caller uses it and lets it go soon. It must not be kept across a
// blocking call into another thread that may use the same collection.
class TRLPageRef {
public:
  TRLPageRef() = default;
  TRLPageRef(TRLPageRef&& other) noexcept;
  TRLPageRef& operator=(TRLPageRef&& other) noexcept;
  ~TRLPageRef() { Release(); }

  TRLGraphicSurface* Get() const { return surface_; }
  TRLGraphicSurface* operator->() const { return surface_; }
  TRLGraphicSurface& operator*() const { return *surface_; }
  explicit operator bool() const { return surface_ != nullptr; }
  void Release();
  // Why a reference from Pages is empty: the index is out of range, or the page's record could not be read.
  const std::string& Error() const { return error_; }

private:
  friend class TRLGraphicStorage;
  TRLPageRef(TRLGraphicSurface* surface, std::unique_lock<std::recursive_mutex> lock);
  explicit TRLPageRef(std::string error) : error_(std::move(error)) {}

  TRLGraphicSurface* surface_ = nullptr;
  std::unique_lock<std::recursive_mutex> lock_;
  std::string error_;
};

// A page as a collection stores it, and the collection's values when it was taken: what a copy of the page that
// belongs to its holder is made of, on any thread, without the collection.
class TRLPageRecord {
public:
  // The page as its StandaloneCopy makes it; none when the record holds no page (or a damaged one).
  std::unique_ptr<TRLGraphicSurface> Load() const;

private:
  friend class TRLGraphicStorage;
  std::string bytes_;
  std::vector<std::string> macros_;
  int index_ = -1;
};

// The pages of a report: each page is written to a private temporary file as it is added, at most five stay in
// memory. Holds the report-wide named values and writes the report file. Every operation locks the collection.
class TRLGraphicStorage : public TComponent {
public:
  explicit TRLGraphicStorage(TComponent* owner = nullptr);
  ~TRLGraphicStorage() override;

  // Holders of a link keep an ownerless collection alive; it destroys itself when the last link goes.
  void Link(TComponent* user);
  void Unlink(TComponent* user);
  int LinkCount() const;

  // Takes over the surface and stores it as the next page.
  void Add(std::unique_ptr<TRLGraphicSurface> surface);
  // Called by Add on the adding thread, the collection locked, with the page just stored (page PageCount() - 1).
  std::function<void(TRLGraphicSurface& page)> OnPageAdded;
  void Clear();
  int PageCount() const;
  // The page, loaded when needed; an empty reference, saying why, for an index out of range or a page that cannot
  // be read.
  TRLPageRef Pages(int index);
  // The page as the collection stores it (a page changed in memory stored first), with the collection's values;
  // an empty record for an index out of range or a page that cannot be read.
  TRLPageRecord Record(int index);
  // Stores again every cached page that changed.
  void Flush();
  // The report's data as a table, filled by the report run beside the pages; Clear starts a new one, so a holder
  // of the old one may go on reading it. Not stored in the report file.
  std::shared_ptr<TRLDataTable> DataTable();
  // Locks the collection for a sequence of operations on the calling thread.
  std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock(mutex_); }

  // Writes the report file beside `fileName` and renames it into place: a failure leaves any previous file intact.
  void SaveToFile(const std::string& fileName);
  void SaveToStream(TRLStream& stream);
  // Reads a report file in place of the collection's pages, named values and outline. The whole file is checked first,
  // each page read, so that a file that is not a sound report file of kReportFileVersion leaves the collection as
  // it was and raises ERLReportFileError. LoadFromFile raises ERLFileError for a file it cannot open or read.
  void LoadFromStream(TRLStream& stream);
  void LoadFromFile(const std::string& fileName);
  // The largest page side, in pixels at 96 per inch, that a report file may give: about 8.6 metres.
  static constexpr int kLargestPageSide = 32767;

  // The groups of the report, as their headers printed. AddOutlineEntry takes the entry's nesting as its Level
  // and keeps it at most one deeper than the entry before.
  void AddOutlineEntry(TRLOutlineEntry entry);
  TRLOutline Outline() const;
  bool HasOutline() const;

  // The one version of the report file that SaveToStream writes.
  static constexpr int kReportFileVersion = 3;
  int FileVersion() const { return file_version_; }
  void SetFileVersion(int value) { file_version_ = value; }

  // Named values.
  std::string MacroValue(std::string_view name, bool* found = nullptr) const;
  void SetMacroValue(std::string_view name, std::string_view value);
  std::vector<std::string> MacroLines() const;
  int FirstPageNumber() const;
  void SetFirstPageNumber(int value);
  int LastPageNumber() const;
  void SetLastPageNumber(int value);
  std::string Title() const;
  void SetTitle(std::string_view value);
  int Orientation() const;
  void SetOrientation(int value);
  double PaperWidth() const;
  void SetPaperWidth(double value);
  double PaperHeight() const;
  void SetPaperHeight(double value);
  void SetWidth(int value);
  void SetHeight(int value);
  double OrientedPaperWidth() const;
  double OrientedPaperHeight() const;
  int OrientedPixelWidth() const;
  int OrientedPixelHeight() const;

  // For tests and diagnostics: the page indexes in the cache, oldest first, and how many pages were read back
  // from the temporary file so far.
  std::vector<int> CachedPageIndexes() const;
  // Whether the collection keeps its rules (at the top of RLGraphicStorage.cpp). For assertions.
  bool IsSound() const;
  int PageLoadCount() const;
  const std::string& TempFileName() const { return temp_file_name_; }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TRLGraphicSurface;
  friend class TRLPageRef;

  void StoreSurface(TRLGraphicSurface* surface);
  void InsertInCache(TRLGraphicSurface* surface);
  void DetachSurface(TRLGraphicSurface* surface);
  void OpenTempFile();
  void ReadRecord(std::int64_t offset, std::string& bytes);

  mutable std::recursive_mutex mutex_;
  std::vector<TRLGraphicSurface*> cache_;
  std::vector<std::int64_t> page_offsets_;
  std::unique_ptr<TRLFileStream> temp_stream_;
  std::string temp_file_name_;
  std::int64_t temp_size_ = 0;
  int file_version_ = kReportFileVersion;
  TStrings macros_;
  TRLOutline outline_;
  std::vector<TComponent*> links_;
  int page_load_count_ = 0;
  TRLMemoryStream buffer_;
  std::shared_ptr<TRLDataTable> data_table_;
};
