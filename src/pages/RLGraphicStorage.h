#pragma once

// The collection of a report's pages, its temporary page file and the report file it writes, and the reference
// through which a page is fetched from it.

#include "pages/RLMetaSurface.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

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

private:
  friend class TRLGraphicStorage;
  TRLPageRef(TRLGraphicSurface* surface, std::unique_lock<std::recursive_mutex> lock);

  TRLGraphicSurface* surface_ = nullptr;
  std::unique_lock<std::recursive_mutex> lock_;
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
  void Clear();
  int PageCount() const;
  // The page, loaded when needed; an empty reference for an index out of range or a page that cannot be read.
  TRLPageRef Pages(int index);
  // Stores again every cached page that changed.
  void Flush();
  // Locks the collection for a sequence of operations on the calling thread.
  std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock(mutex_); }

  // Writes the report file beside `fileName` and renames it into place: a failure leaves any previous file intact.
  void SaveToFile(const std::string& fileName);
  void SaveToStream(TRLStream& stream);

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
  int file_version_ = 3;
  TStrings macros_;
  std::vector<TComponent*> links_;
  int page_load_count_ = 0;
  TRLMemoryStream buffer_;
};
