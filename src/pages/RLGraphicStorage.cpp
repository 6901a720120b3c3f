// The page collection and the page reference.
//
// Rules of a collection, true whenever its lock is free:
//   - each page has one record in the temporary page file: page_offsets_[i] is where page i's record starts, and
//     a whole record header fits before temp_size_; without a temporary file there are no pages;
//   - the cache holds distinct pages of this collection, each knowing it and its own index; a page that Clear
//     takes out while in use leaves the cache and is freed by its last reference;
//   - the cache goes down to five pages whenever it takes one in, but never frees a page in use;
//   - each link is a distinct component other than the owner, which keeps an ownerless collection alive;
//   - every operation holds the recursive lock, and a TRLPageRef holds it for as long as it lives.
// IsSound checks the first, second and fourth; assertions call it where an operation ends.

#include "pages/RLGraphicStorage.h"

#include "core/Text.h"
#include "pages/RLTypes.h"
#include "pages/RLUtils.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <utility>

#include <unistd.h>

namespace {

constexpr char kStorageSignature[] = "RLGraphicStorage3\x1A";

std::int32_t CheckedPosition(std::int64_t position) {
  if (position < 0 || position > INT32_MAX) throw ERLStreamError("Report too large for the report file format");
  return static_cast<std::int32_t>(position);
}

}  // namespace

// A fetched page.

TRLPageRef::TRLPageRef(TRLGraphicSurface* surface, std::unique_lock<std::recursive_mutex> lock)
    : surface_(surface), lock_(std::move(lock)) {}

TRLPageRef::TRLPageRef(TRLPageRef&& other) noexcept
    : surface_(std::exchange(other.surface_, nullptr)),
      lock_(std::move(other.lock_)),
      error_(std::move(other.error_)) {}

TRLPageRef& TRLPageRef::operator=(TRLPageRef&& other) noexcept {
  if (this != &other) {
    Release();
    surface_ = std::exchange(other.surface_, nullptr);
    lock_ = std::move(other.lock_);
    error_ = std::move(other.error_);
  }
  return *this;
}

void TRLPageRef::Release() {
  if (surface_) {
    TRLGraphicSurface* surface = std::exchange(surface_, nullptr);
    if (--surface->pins_ == 0) {
      // A page that Clear took out of the collection while it was in use goes now.
      TRLGraphicStorage* storage = surface->storage_;
      if (!storage || std::find(storage->cache_.begin(), storage->cache_.end(), surface) == storage->cache_.end()) {
        delete surface;
      }
    }
  }
  if (lock_.owns_lock()) lock_.unlock();
}

// The collection.

TRLGraphicStorage::TRLGraphicStorage(TComponent* owner) : TComponent(owner) {}

TRLGraphicStorage::~TRLGraphicStorage() {
  Destroying();
  std::lock_guard lock(mutex_);
  for (TRLGraphicSurface* surface : cache_) {
    surface->storage_ = nullptr;
    delete surface;
  }
  cache_.clear();
  if (temp_stream_) {
    temp_stream_->Close();
    temp_stream_.reset();
    ::unlink(temp_file_name_.c_str());
    UnregisterTempFile(temp_file_name_);
  }
}

void TRLGraphicStorage::Link(TComponent* user) {
  if (!user || user == Owner()) return;
  {
    std::lock_guard lock(mutex_);
    if (std::find(links_.begin(), links_.end(), user) != links_.end()) return;
    links_.push_back(user);
    assert(IsSound());
  }
  FreeNotification(user);
}

void TRLGraphicStorage::Unlink(TComponent* user) {
  if (IsDestroying()) return;
  bool last;
  {
    std::lock_guard lock(mutex_);
    links_.erase(std::remove(links_.begin(), links_.end(), user), links_.end());
    last = !Owner() && links_.empty();
  }
  if (last) delete this;
}

int TRLGraphicStorage::LinkCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(links_.size());
}

void TRLGraphicStorage::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  bool linked;
  {
    std::lock_guard lock(mutex_);
    linked = std::find(links_.begin(), links_.end(), component) != links_.end();
  }
  if (linked) Unlink(component);
}

void TRLGraphicStorage::OpenTempFile() {
  if (temp_stream_) return;
  std::string name;
  int fd = CreateTempFile(name);
  temp_stream_ = std::make_unique<TRLFileStream>(fd, name);
  temp_file_name_ = name;
  temp_size_ = 0;
  RegisterTempFile(name);
}

void TRLGraphicStorage::StoreSurface(TRLGraphicSurface* surface) {
  OpenTempFile();
  buffer_.Clear();
  buffer_.WriteInt32(0);
  surface->SaveToStream(buffer_);
  std::int64_t length = buffer_.Size() - 4;
  buffer_.Seek(0);
  buffer_.WriteInt32(CheckedPosition(length));
  std::int64_t position = temp_size_;
  temp_stream_->Seek(position);
  temp_stream_->Write(buffer_.Bytes().data(), buffer_.Bytes().size());
  temp_size_ += static_cast<std::int64_t>(buffer_.Bytes().size());
  if (surface->page_index_ < 0 || surface->page_index_ >= static_cast<int>(page_offsets_.size())) {
    page_offsets_.push_back(position);
    surface->page_index_ = static_cast<int>(page_offsets_.size()) - 1;
  } else {
    page_offsets_[static_cast<std::size_t>(surface->page_index_)] = position;
  }
  surface->modified_ = false;
}

void TRLGraphicStorage::InsertInCache(TRLGraphicSurface* surface) {
  // The oldest page goes first; a page that someone is using stays until it is released.
  while (cache_.size() > 4) {
    auto victim = std::find_if(cache_.begin(), cache_.end(), [](TRLGraphicSurface* s) { return s->pins_ == 0; });
    if (victim == cache_.end()) break;
    TRLGraphicSurface* old = *victim;
    if (old->modified_) StoreSurface(old);
    cache_.erase(victim);
    old->storage_ = nullptr;
    delete old;
  }
  cache_.push_back(surface);
}

void TRLGraphicStorage::DetachSurface(TRLGraphicSurface* surface) {
  std::lock_guard lock(mutex_);
  cache_.erase(std::remove(cache_.begin(), cache_.end(), surface), cache_.end());
}

bool TRLGraphicStorage::IsSound() const {
  std::lock_guard lock(mutex_);
  if (!temp_stream_ && !page_offsets_.empty()) return false;
  for (std::int64_t offset : page_offsets_) {
    if (offset < 0 || offset > temp_size_ - 4) return false;
  }
  for (auto it = cache_.begin(); it != cache_.end(); ++it) {
    const TRLGraphicSurface* surface = *it;
    if (surface->storage_ != this || surface->pins_ < 0) return false;
    if (surface->page_index_ < 0 || surface->page_index_ >= static_cast<int>(page_offsets_.size())) return false;
    if (std::any_of(cache_.begin(), it, [&](const TRLGraphicSurface* other) {
          return other == surface || other->page_index_ == surface->page_index_;
        })) {
      return false;
    }
  }
  for (auto it = links_.begin(); it != links_.end(); ++it) {
    if (!*it || *it == Owner() || std::find(links_.begin(), it, *it) != it) return false;
  }
  return true;
}

void TRLGraphicStorage::Add(std::unique_ptr<TRLGraphicSurface> surface) {
  if (!surface) return;
  std::lock_guard lock(mutex_);
  if (surface->storage_ && surface->storage_ != this) surface->storage_->DetachSurface(surface.get());
  surface->storage_ = this;
  surface->page_index_ = -1;
  StoreSurface(surface.get());
  InsertInCache(surface.get());
  TRLGraphicSurface* page = surface.release();
  assert(IsSound());
  if (OnPageAdded) OnPageAdded(*page);
}

std::shared_ptr<TRLDataTable> TRLGraphicStorage::DataTable() {
  std::lock_guard lock(mutex_);
  if (!data_table_) data_table_ = std::make_shared<TRLDataTable>();
  return data_table_;
}

void TRLGraphicStorage::Clear() {
  std::lock_guard lock(mutex_);
  if (temp_stream_) temp_stream_->Truncate(0);
  temp_size_ = 0;
  page_offsets_.clear();
  std::vector<TRLGraphicSurface*> cached;
  cached.swap(cache_);
  for (TRLGraphicSurface* surface : cached) {
    surface->page_index_ = -1;
    // A page in use is freed when its user lets it go.
    if (surface->pins_ > 0) continue;
    surface->storage_ = nullptr;
    delete surface;
  }
  macros_.Clear();
  data_table_.reset();
  outline_.clear();
  assert(IsSound());
}

int TRLGraphicStorage::PageCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(page_offsets_.size());
}

void TRLGraphicStorage::ReadRecord(std::int64_t offset, std::string& bytes) {
  if (!temp_stream_ || offset < 0 || offset > temp_size_ - 4) throw ERLCorruptedFile();
  temp_stream_->Seek(offset);
  std::int32_t length = temp_stream_->ReadInt32();
  if (length < 0 || length > temp_size_ - offset - 4) throw ERLCorruptedFile();
  bytes.resize(static_cast<std::size_t>(length));
  temp_stream_->ReadBuffer(bytes.data(), bytes.size());
}

TRLPageRef TRLGraphicStorage::Pages(int index) {
  std::unique_lock lock(mutex_);
  const auto out_of_range = [&] {
    return TRLPageRef("Page " + std::to_string(index + 1) + " does not exist: the report has " +
                      std::to_string(page_offsets_.size()) + " page(s)");
  };
  if (index < 0) return out_of_range();
  for (TRLGraphicSurface* surface : cache_) {
    if (surface->page_index_ == index) {
      ++surface->pins_;
      return TRLPageRef(surface, std::move(lock));
    }
  }
  if (index >= static_cast<int>(page_offsets_.size())) return out_of_range();
  auto surface = std::make_unique<TRLGraphicSurface>();
  surface->storage_ = this;
  surface->page_index_ = index;
  try {
    std::string bytes;
    ReadRecord(page_offsets_[static_cast<std::size_t>(index)], bytes);
    TRLMemoryStream stream(std::move(bytes));
    surface->LoadFromStream(stream);
  } catch (const std::exception& error) {
    return TRLPageRef("Page " + std::to_string(index + 1) + " cannot be read: " + error.what());
  }
  ++page_load_count_;
  InsertInCache(surface.get());
  TRLGraphicSurface* page = surface.release();
  ++page->pins_;
  assert(IsSound());
  return TRLPageRef(page, std::move(lock));
}

TRLPageRecord TRLGraphicStorage::Record(int index) {
  std::lock_guard lock(mutex_);
  TRLPageRecord record;
  if (index < 0 || index >= static_cast<int>(page_offsets_.size())) return record;
  for (TRLGraphicSurface* surface : cache_) {
    if (surface->page_index_ == index && surface->modified_) StoreSurface(surface);
  }
  try {
    ReadRecord(page_offsets_[static_cast<std::size_t>(index)], record.bytes_);
  } catch (const std::exception&) {
    record.bytes_.clear();
    return record;
  }
  record.macros_ = MacroLines();
  record.index_ = index;
  return record;
}

std::unique_ptr<TRLGraphicSurface> TRLPageRecord::Load() const {
  if (bytes_.empty()) return nullptr;
  auto page = std::make_unique<TRLGraphicSurface>();
  try {
    TRLMemoryStream stream(bytes_);
    page->LoadFromStream(stream);
  } catch (const std::exception&) {
    return nullptr;
  }
  page->page_index_ = index_;
  page->AddMacros(macros_);
  return page;
}

void TRLGraphicStorage::Flush() {
  std::lock_guard lock(mutex_);
  for (TRLGraphicSurface* surface : cache_) {
    if (surface->modified_) StoreSurface(surface);
  }
  assert(IsSound());
}

void TRLGraphicStorage::SaveToStream(TRLStream& stream) {
  std::lock_guard lock(mutex_);
  if (file_version_ != TRLGraphicStorage::kReportFileVersion) {
    throw Exception("Incorrect file version \"" + std::to_string(file_version_) + "\"!");
  }
  Flush();
  stream.Write(kStorageSignature, sizeof kStorageSignature - 1);
  stream.WriteInt32(macros_.Count());
  for (const std::string& line : macros_.Lines()) stream.WriteString(line);
  auto count = static_cast<std::int32_t>(page_offsets_.size());
  stream.WriteInt32(count);
  std::int64_t table_position = stream.Position();
  for (std::int32_t i = 0; i < count; ++i) stream.WriteInt32(0);
  std::vector<std::int32_t> positions;
  positions.reserve(page_offsets_.size());
  std::string record;
  for (std::int64_t offset : page_offsets_) {
    positions.push_back(CheckedPosition(stream.Position()));
    ReadRecord(offset, record);
    stream.WriteInt32(static_cast<std::int32_t>(record.size()));
    stream.Write(record.data(), record.size());
  }
  if (!outline_.empty()) WriteOutlineRecord(stream, outline_);
  std::int64_t end = stream.Position();
  stream.Seek(table_position);
  for (std::int32_t position : positions) stream.WriteInt32(position);
  stream.Seek(end);
}

void TRLGraphicStorage::AddOutlineEntry(TRLOutlineEntry entry) {
  std::lock_guard lock(mutex_);
  entry.Level = OutlineLevelAfter(outline_, entry.Level);
  outline_.push_back(std::move(entry));
}

TRLOutline TRLGraphicStorage::Outline() const {
  std::lock_guard lock(mutex_);
  return outline_;
}

bool TRLGraphicStorage::HasOutline() const {
  std::lock_guard lock(mutex_);
  return !outline_.empty();
}

void TRLGraphicStorage::SaveToFile(const std::string& fileName) {
  try {
    TSafeFile file(fileName);
    TRLFileStream stream(file);
    SaveToStream(stream);
    file.Commit();
  } catch (const EFileWriteError& error) {
    throw ERLFileError(error.Message());
  }
}

std::string TRLGraphicStorage::MacroValue(std::string_view name, bool* found) const {
  std::lock_guard lock(mutex_);
  int index = macros_.IndexOfName(name);
  if (found) *found = index >= 0;
  return index >= 0 ? macros_.ValueFromIndex(index) : std::string();
}

void TRLGraphicStorage::SetMacroValue(std::string_view name, std::string_view value) {
  std::lock_guard lock(mutex_);
  macros_.SetValue(name, value);
}

std::vector<std::string> TRLGraphicStorage::MacroLines() const {
  std::lock_guard lock(mutex_);
  return macros_.Lines();
}

int TRLGraphicStorage::FirstPageNumber() const {
  std::lock_guard lock(mutex_);
  return ReadIntegerValue(macros_, "FirstPageNumber", 0);
}

void TRLGraphicStorage::SetFirstPageNumber(int value) {
  std::lock_guard lock(mutex_);
  WriteIntegerValue(macros_, "FirstPageNumber", value);
}

int TRLGraphicStorage::LastPageNumber() const {
  std::lock_guard lock(mutex_);
  return ReadIntegerValue(macros_, "LastPageNumber", 0);
}

void TRLGraphicStorage::SetLastPageNumber(int value) {
  std::lock_guard lock(mutex_);
  WriteIntegerValue(macros_, "LastPageNumber", value);
}

std::string TRLGraphicStorage::Title() const { return MacroValue("Title"); }

void TRLGraphicStorage::SetTitle(std::string_view value) { SetMacroValue("Title", value); }

int TRLGraphicStorage::Orientation() const {
  std::lock_guard lock(mutex_);
  return ReadIntegerValue(macros_, "Orientation", 1);
}

void TRLGraphicStorage::SetOrientation(int value) {
  std::lock_guard lock(mutex_);
  WriteIntegerValue(macros_, "Orientation", value);
}

double TRLGraphicStorage::PaperWidth() const {
  std::lock_guard lock(mutex_);
  return ReadRealValue(macros_, "PaperWidth");
}

void TRLGraphicStorage::SetPaperWidth(double value) {
  std::lock_guard lock(mutex_);
  WriteRealValue(macros_, "PaperWidth", value);
}

double TRLGraphicStorage::PaperHeight() const {
  std::lock_guard lock(mutex_);
  return ReadRealValue(macros_, "PaperHeight");
}

void TRLGraphicStorage::SetPaperHeight(double value) {
  std::lock_guard lock(mutex_);
  WriteRealValue(macros_, "PaperHeight", value);
}

void TRLGraphicStorage::SetWidth(int value) {
  std::lock_guard lock(mutex_);
  WriteIntegerValue(macros_, "Width", value);
}

void TRLGraphicStorage::SetHeight(int value) {
  std::lock_guard lock(mutex_);
  WriteIntegerValue(macros_, "Height", value);
}

double TRLGraphicStorage::OrientedPaperWidth() const { return Orientation() == 1 ? PaperWidth() : PaperHeight(); }

double TRLGraphicStorage::OrientedPaperHeight() const { return Orientation() == 1 ? PaperHeight() : PaperWidth(); }

int TRLGraphicStorage::OrientedPixelWidth() const {
  double mm = OrientedPaperWidth();
  return mm < 0 ? -1 : MMToPixels(mm);
}

int TRLGraphicStorage::OrientedPixelHeight() const {
  double mm = OrientedPaperHeight();
  return mm < 0 ? -1 : MMToPixels(mm);
}

std::vector<int> TRLGraphicStorage::CachedPageIndexes() const {
  std::lock_guard lock(mutex_);
  std::vector<int> indexes;
  for (const TRLGraphicSurface* surface : cache_) indexes.push_back(surface->page_index_);
  return indexes;
}

int TRLGraphicStorage::PageLoadCount() const {
  std::lock_guard lock(mutex_);
  return page_load_count_;
}
