#include "PagesTestSupport.h"
#include "pages/RLMetaFile.h"
#include "pages/RLUtils.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::unique_ptr<TRLGraphicSurface> PageWithText(const std::string& text) {
  auto page = std::make_unique<TRLGraphicSurface>();
  page->SetWidth(794);
  page->SetHeight(1123);
  page->TextOut({0, 0, 100, 20}, 0, 0, text, 1, 1, 0);
  return page;
}

std::string FirstText(TRLGraphicSurface& page) {
  for (int i = 0; i < page.ObjectCount(); ++i) {
    if (auto* text = dynamic_cast<TRLTextObject*>(page.Objects(i))) return text->Text();
  }
  return {};
}

std::int32_t Int32At(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
  return static_cast<std::int32_t>(v);
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Storage, EmptyCollectionSavesSignatureValuesAndZeroPages) {
  TRLGraphicStorage storage;
  storage.SetTitle("Clientes");
  storage.SetFirstPageNumber(1);
  TRLMemoryStream stream;
  storage.SaveToStream(stream);
  Bytes expected;
  expected.Raw(kStorageSignature).I32(2).Str("Title=Clientes").Str("FirstPageNumber=1").I32(0);
  EXPECT_EQ(stream.Bytes(), expected.str());
  EXPECT_FALSE(storage.Pages(0));
  EXPECT_FALSE(storage.Pages(-1));
}

TEST(Storage, PageTablePointsAtEachPageRecord) {
  TRLGraphicStorage storage;
  storage.SetLastPageNumber(3);
  for (int i = 0; i < 3; ++i) storage.Add(PageWithText("page " + std::to_string(i)));
  TRLMemoryStream stream;
  stream.Write("xyz", 3);  // positions are those of the stream being written
  storage.SaveToStream(stream);
  const std::string& bytes = stream.Bytes();
  std::size_t at = 3 + 18;
  ASSERT_EQ(Int32At(bytes, at), 1);
  at += 4 + 4 + std::string("LastPageNumber=3").size();
  ASSERT_EQ(Int32At(bytes, at), 3);
  at += 4;
  std::size_t expected_position = at + 3 * 4;
  for (int i = 0; i < 3; ++i) {
    auto position = static_cast<std::size_t>(Int32At(bytes, at + 4 * static_cast<std::size_t>(i)));
    EXPECT_EQ(position, expected_position);
    auto length = static_cast<std::size_t>(Int32At(bytes, position));
    std::string record = bytes.substr(position + 4, length);
    EXPECT_EQ(record.substr(0, 17), "RLGraphicSurface3");
    TRLGraphicSurface page;
    TRLMemoryStream in(record);
    page.LoadFromStream(in);
    EXPECT_EQ(FirstText(page), "page " + std::to_string(i));
    expected_position = position + 4 + length;
  }
  EXPECT_EQ(expected_position, bytes.size());
}

TEST(Storage, CacheDropsTheOldestPageAndReadsItAgainLater) {
  TRLGraphicStorage storage;
  for (int i = 0; i < 10; ++i) storage.Add(PageWithText("page " + std::to_string(i)));
  EXPECT_EQ(storage.CachedPageIndexes(), (std::vector<int>{5, 6, 7, 8, 9}));
  EXPECT_EQ(storage.PageLoadCount(), 0);

  for (int i = 0; i <= 5; ++i) {
    TRLPageRef page = storage.Pages(i);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->PageIndex(), i);
    EXPECT_EQ(FirstText(*page), "page " + std::to_string(i));
  }
  EXPECT_EQ(storage.CachedPageIndexes(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(storage.PageLoadCount(), 6);  // page 5 was dropped when page 0 came in

  {
    TRLPageRef page = storage.Pages(0);
    ASSERT_TRUE(page);
    EXPECT_EQ(FirstText(*page), "page 0");
    EXPECT_FALSE(page->Modified());
    EXPECT_FALSE(page->Opened());
  }
  EXPECT_EQ(storage.PageLoadCount(), 7);
  EXPECT_EQ(storage.CachedPageIndexes(), (std::vector<int>{2, 3, 4, 5, 0}));
  { TRLPageRef again = storage.Pages(3); }  // a cached page keeps its place
  EXPECT_EQ(storage.CachedPageIndexes(), (std::vector<int>{2, 3, 4, 5, 0}));
  const TRLPageRef missing = storage.Pages(10);
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.Error(), "Page 11 does not exist: the report has 10 page(s)");
}

TEST(Storage, APageThatCannotBeReadSaysWhy) {
  TRLGraphicStorage storage;
  for (int i = 0; i < 7; ++i) storage.Add(PageWithText("page " + std::to_string(i)));
  // Page 0 left the cache; its record in the temporary file is cut short.
  ASSERT_EQ(::truncate(storage.TempFileName().c_str(), 40), 0);
  const TRLPageRef page = storage.Pages(0);
  EXPECT_FALSE(page);
  EXPECT_EQ(page.Error(), "Page 1 cannot be read: Stream read error");
}

TEST(Storage, ModifiedCachedPageIsStoredAgainBeforeItIsDropped) {
  TRLGraphicStorage storage;
  for (int i = 0; i < 10; ++i) storage.Add(PageWithText("page " + std::to_string(i)));
  {
    TRLPageRef page = storage.Pages(5);  // the oldest in the cache
    page->TextOut({0, 30, 100, 50}, 0, 30, "changed", 1, 1, 0);
  }
  { TRLPageRef first = storage.Pages(0); }  // drops page 5
  EXPECT_EQ(storage.CachedPageIndexes().front(), 6);
  {
    TRLPageRef page = storage.Pages(5);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->ObjectCount(), 2);
    EXPECT_EQ(dynamic_cast<TRLTextObject*>(page->Objects(1))->Text(), "changed");
    page->TextOut({0, 60, 100, 80}, 0, 60, "still cached", 1, 1, 0);
  }
  // Saving flushes the cached change too.
  TRLMemoryStream stream;
  storage.SaveToStream(stream);
  EXPECT_NE(stream.Bytes().find("changed"), std::string::npos);
  EXPECT_NE(stream.Bytes().find("still cached"), std::string::npos);
}

// A record makes a copy of the page that needs nothing of the collection: as stored, a change made to it in memory
// included, its texts expanding with the collection's values of the moment; none for a page that is not there.
TEST(Storage, RecordsMakeStandaloneCopiesOfThePages) {
  TRLGraphicStorage storage;
  for (int i = 0; i < 10; ++i) storage.Add(PageWithText("page " + std::to_string(i) + " of {Total}"));
  storage.SetMacroValue("Total", "10");
  {
    TRLPageRef page = storage.Pages(8);  // cached
    page->TextOut({0, 30, 100, 50}, 0, 30, "changed", 1, 1, 0);
  }
  const auto texts = [](const TRLGraphicSurface& page) {
    std::string out;
    for (int i = 0; i < page.ObjectCount(); ++i) {
      if (auto* text = dynamic_cast<const TRLTextObject*>(page.Objects(i))) out += text->DisplayText() + ";";
    }
    return out;
  };
  for (int index : {0, 8, 9}) {
    const auto copy = storage.Record(index).Load();
    ASSERT_TRUE(copy) << index;
    EXPECT_EQ(texts(*copy), "page " + std::to_string(index) + " of 10;" + (index == 8 ? "changed;" : ""));
    EXPECT_EQ(copy->PageIndex(), index);
  }
  EXPECT_FALSE(storage.Record(10).Load());
  EXPECT_FALSE(storage.Record(-1).Load());
  // Page 0 left the cache; its record in the temporary file is cut short.
  ASSERT_EQ(::truncate(storage.TempFileName().c_str(), 40), 0);
  EXPECT_FALSE(storage.Record(0).Load());
}

TEST(Storage, NamedValuesAndOrientedSizes) {
  TRLGraphicStorage storage;
  EXPECT_EQ(storage.Orientation(), 1);
  storage.SetPaperWidth(210);
  storage.SetPaperHeight(297);
  EXPECT_EQ(storage.OrientedPixelWidth(), 794);
  EXPECT_EQ(storage.OrientedPixelHeight(), 1123);
  storage.SetOrientation(2);
  EXPECT_EQ(storage.OrientedPixelWidth(), 1123);
  EXPECT_EQ(storage.OrientedPixelHeight(), 794);
  storage.SetPaperWidth(-3);
  EXPECT_EQ(storage.OrientedPixelHeight(), -1);
  EXPECT_EQ(storage.MacroValue("PaperHeight"), "297.0000");
  storage.SetWidth(794);
  EXPECT_EQ(storage.MacroValue("Width"), "794");
}

TEST(Storage, WrongFileVersionFailsBeforeWriting) {
  TRLGraphicStorage storage;
  storage.SetFileVersion(4);
  TRLMemoryStream stream;
  try {
    storage.SaveToStream(stream);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Incorrect file version \"4\"!");
  }
  EXPECT_EQ(stream.Size(), 0);
}

class Holder : public TComponent {
public:
  using TComponent::TComponent;
};

class WatchedStorage : public TRLGraphicStorage {
public:
  explicit WatchedStorage(bool& destroyed) : TRLGraphicStorage(nullptr), destroyed_(destroyed) {}
  ~WatchedStorage() override { destroyed_ = true; }

private:
  bool& destroyed_;
};

TEST(Storage, LastLinkFreesAnOwnerlessCollection) {
  bool destroyed = false;
  auto* storage = new WatchedStorage(destroyed);
  auto report = std::make_unique<Holder>(nullptr);
  auto preview = std::make_unique<Holder>(nullptr);
  storage->Link(report.get());
  storage->Link(preview.get());
  storage->Link(preview.get());
  EXPECT_EQ(storage->LinkCount(), 2);
  storage->Unlink(report.get());
  EXPECT_FALSE(destroyed);
  preview.reset();  // its removal notification unlinks it
  EXPECT_TRUE(destroyed);

  // With an owner the collection lives on.
  Holder owner(nullptr);
  auto* owned = new TRLGraphicStorage(&owner);
  Holder user(nullptr);
  owned->Link(&owner);  // the owner is never linked
  EXPECT_EQ(owned->LinkCount(), 0);
  owned->Link(&user);
  owned->Unlink(&user);
  EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(Storage, TemporaryFileIsPrivateRegisteredAndDeleted) {
  std::string name;
  {
    TRLGraphicStorage storage;
    EXPECT_TRUE(storage.TempFileName().empty());  // created with the first page
    storage.Add(PageWithText("x"));
    name = storage.TempFileName();
    EXPECT_EQ(fs::path(name).parent_path().string() + "/", TempDir());
    std::string base = fs::path(name).filename().string();
    EXPECT_EQ(base.substr(0, 3), "~mx");
    EXPECT_EQ(base.substr(base.size() - 4), ".tmp");
    struct stat st;
    ASSERT_EQ(::stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(IsTempFileRegistered(name));
    storage.Clear();
    EXPECT_EQ(fs::file_size(name), 0u);
    EXPECT_EQ(storage.PageCount(), 0);
  }
  EXPECT_FALSE(fs::exists(name));
  EXPECT_FALSE(IsTempFileRegistered(name));
}

TEST(Storage, ClearWhileAPageIsInUseKeepsItUntilReleased) {
  TRLGraphicStorage storage;
  storage.Add(PageWithText("kept"));
  TRLPageRef page = storage.Pages(0);
  storage.Clear();
  EXPECT_EQ(FirstText(*page), "kept");
  page.Release();
  EXPECT_FALSE(storage.Pages(0));
}

TEST(Storage, PagesInUseOnTheSameThreadAreNotDropped) {
  TRLGraphicStorage storage;
  for (int i = 0; i < 8; ++i) storage.Add(PageWithText("page " + std::to_string(i)));
  TRLPageRef held = storage.Pages(3);
  for (int i : {0, 1, 2, 4, 5, 6}) {
    TRLPageRef other = storage.Pages(i);
    EXPECT_EQ(FirstText(*other), "page " + std::to_string(i));
  }
  EXPECT_EQ(FirstText(*held), "page 3");
}

// The preview (main thread) and a background output run read and change the same collection.
TEST(Storage, ConcurrentReadersAndWritersSeeWholePages) {
  TRLGraphicStorage storage;
  for (int i = 0; i < 20; ++i) storage.Add(PageWithText("page " + std::to_string(i)));
  std::atomic<bool> failed{false};
  auto reader = [&](int seed) {
    for (int n = 0; n < 400; ++n) {
      int index = (n * 7 + seed) % 20;
      TRLPageRef page = storage.Pages(index);
      if (!page || FirstText(*page) != "page " + std::to_string(index)) failed = true;
    }
  };
  std::thread worker(reader, 3);
  std::thread second(reader, 11);
  for (int n = 0; n < 200; ++n) {
    int index = (n * 13) % 20;
    {
      TRLPageRef page = storage.Pages(index);
      page->SetPixel(n, n, clRed);
    }
    if (n % 50 == 0) storage.Flush();
  }
  worker.join();
  second.join();
  EXPECT_FALSE(failed);
  // The saved file holds every page with its text and the ten pixels the writer gave it: none was lost to a
  // page that a reader had loaded again meanwhile.
  TRLMemoryStream stream;
  storage.SaveToStream(stream);
  const std::string& bytes = stream.Bytes();
  ASSERT_EQ(Int32At(bytes, 18), 0);   // no named values
  ASSERT_EQ(Int32At(bytes, 22), 20);  // pages
  for (int i = 0; i < 20; ++i) {
    const auto at = static_cast<std::size_t>(Int32At(bytes, 26 + 4 * static_cast<std::size_t>(i)));
    TRLMemoryStream record(bytes.substr(at + 4, static_cast<std::size_t>(Int32At(bytes, at))));
    TRLGraphicSurface page;
    page.LoadFromStream(record);
    EXPECT_EQ(FirstText(page), "page " + std::to_string(i));
    EXPECT_EQ(page.ObjectCount(), 1 + 10) << "page " << i;
  }
}

TEST(StorageFile, SaveToFileReplacesTheTargetWhole) {
  TempFolder dir;
  std::string target = dir.File("report.rpf");
  TRLGraphicStorage storage;
  storage.Add(PageWithText("first"));
  storage.SaveToFile(target);
  TRLMemoryStream expected;
  storage.SaveToStream(expected);
  EXPECT_EQ(ReadFile(target), expected.Bytes());
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"report.rpf"}));
}

TEST(StorageFile, FailedSaveLeavesThePreviousFileIntact) {
  TempFolder dir;
  std::string target = dir.File("report.rpf");
  {
    std::ofstream out(target, std::ios::binary);
    out << "previous report";
  }

  // Failing before anything is written.
  TRLGraphicStorage wrong_version;
  wrong_version.SetFileVersion(2);
  EXPECT_THROW(wrong_version.SaveToFile(target), Exception);
  EXPECT_EQ(ReadFile(target), "previous report");

  // Failing halfway: a page record that can no longer be read back.
  TRLGraphicStorage damaged;
  damaged.Add(PageWithText("one"));
  damaged.Add(PageWithText("two"));
  ASSERT_EQ(::truncate(damaged.TempFileName().c_str(), 40), 0);
  EXPECT_THROW(damaged.SaveToFile(target), ERLStreamError);
  EXPECT_EQ(ReadFile(target), "previous report");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"report.rpf"}));  // no partial file left beside it

  // A folder that cannot be written to (root ignores permissions, so only when not root).
  TRLGraphicStorage good;
  good.Add(PageWithText("good"));
  EXPECT_THROW(good.SaveToFile(dir.File("missing/report.rpf")), ERLFileError);
  if (::geteuid() != 0) {
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(good.SaveToFile(target), ERLFileError);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(ReadFile(target), "previous report");
  }
}

}  // namespace
