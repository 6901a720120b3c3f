// Reading a report file back: a sound file gives the collection it was written from, and a file that is not one
// (another version, cut short, damaged, something else) is refused as a whole, leaving the collection as it was.
#include "pages/PagesTestSupport.h"
#include "pages/RLMetaFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(RELCLIENTES_TESTS_DIR) + "/pages/fixtures/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Saved(TRLGraphicStorage& storage) {
  TRLMemoryStream stream;
  storage.SaveToStream(stream);
  return stream.Bytes();
}

// What loading `bytes` into a collection that holds one page titled "before" raises; none when it loads.
std::optional<ERLReportFileError> LoadError(const std::string& bytes, TRLGraphicStorage& storage) {
  TRLMemoryStream stream(bytes);
  try {
    storage.LoadFromStream(stream);
  } catch (const ERLReportFileError& error) {
    return error;
  }
  return std::nullopt;
}

std::unique_ptr<TRLGraphicStorage> OnePageTitled(const std::string& title) {
  auto storage = std::make_unique<TRLGraphicStorage>();
  auto page = std::make_unique<TRLGraphicSurface>();
  page->SetWidth(10);
  page->SetHeight(10);
  storage->Add(std::move(page));
  storage->SetTitle(title);
  return storage;
}

// A one-page report file with the given page record and values around it.
std::string ReportFile(const std::string& signature, const std::string& pageRecord, int tableOffsetShift = 0) {
  Bytes header;
  header.Raw(signature).I32(1).Str("Title=mutant").I32(1);
  const auto offset = static_cast<std::int32_t>(header.str().size() + 4);
  return Bytes()
      .Raw(header)
      .I32(offset + tableOffsetShift)
      .I32(static_cast<std::int32_t>(pageRecord.size()))
      .Raw(pageRecord);
}

std::string PageRecord(std::int32_t width, std::int32_t height, const std::string& signature = kSurfaceSignature) {
  return Bytes().Raw(signature).I32(width).I32(height).I32(0).I32(0).I32(0);
}

TEST(ReportFileReader, ReadsBackWhatWasWrittenByteForByte) {
  const std::string fixture = Fixture("two-pages.rpf");
  ASSERT_FALSE(fixture.empty());
  auto storage = OnePageTitled("before");
  ASSERT_FALSE(LoadError(fixture, *storage));
  EXPECT_EQ(storage->PageCount(), 2);
  EXPECT_NE(storage->Title(), "before");
  EXPECT_EQ(Saved(*storage), fixture);
  ASSERT_TRUE(storage->Pages(0));
  EXPECT_GT(storage->Pages(0)->ObjectCount(), 0);

  TempFolder folder;
  const std::string name = folder.File("copy.rpf");
  storage->SaveToFile(name);
  TRLGraphicStorage again;
  again.LoadFromFile(name);
  EXPECT_EQ(Saved(again), fixture);
}

TEST(ReportFileReader, RefusesWhatIsNoSoundReportFileAndKeepsItsPages) {
  const std::string sound = kStorageSignature;
  const std::string page = PageRecord(794, 1123);
  struct Case {
    const char* what;
    std::string bytes;
    ERLReportFileError::TReason reason;
    int version_or_page;
  };
  const Case cases[] = {
      {"empty", "", ERLReportFileError::rfNotAReportFile, 0},
      {"a picture", "\x89PNG\r\n\x1a\n and more bytes", ERLReportFileError::rfNotAReportFile, 0},
      {"a page alone", page, ERLReportFileError::rfNotAReportFile, 0},
      {"no end of signature", "RLGraphicStorage3 and text", ERLReportFileError::rfNotAReportFile, 0},
      {"older version", ReportFile("RLGraphicStorage2\x1A", page), ERLReportFileError::rfOtherVersion, 2},
      {"newer version", ReportFile("RLGraphicStorage12\x1A", page), ERLReportFileError::rfOtherVersion, 12},
      {"cut in the signature", "RLGraphicStor", ERLReportFileError::rfTruncated, 0},
      {"cut in the page", ReportFile(sound, page).substr(0, 60), ERLReportFileError::rfTruncated, 1},
      {"page past the end", ReportFile(sound, page, 1000), ERLReportFileError::rfTruncated, 1},
      {"page inside the header", ReportFile(sound, page, -8), ERLReportFileError::rfCorrupted, 1},
      {"page of another kind", ReportFile(sound, PageRecord(1, 1, "RLGraphicSurface9\x1A")),
       ERLReportFileError::rfCorrupted, 1},
      {"page wider than any paper", ReportFile(sound, PageRecord(INT_MAX, 10)), ERLReportFileError::rfCorrupted, 1},
      {"page of negative height", ReportFile(sound, PageRecord(10, -1)), ERLReportFileError::rfCorrupted, 1},
      {"negative count of values", Bytes().Raw(sound).I32(-1).I32(0), ERLReportFileError::rfCorrupted, 0},
      {"paper wider than any", Bytes().Raw(sound).I32(1).Str("PaperWidth=99999999.0000").I32(0),
       ERLReportFileError::rfCorrupted, 0},
  };
  for (const Case& k : cases) {
    auto storage = OnePageTitled("before");
    const auto error = LoadError(k.bytes, *storage);
    ASSERT_TRUE(error) << k.what;
    EXPECT_EQ(error->Reason(), k.reason) << k.what << ": " << error->what();
    EXPECT_EQ(k.reason == ERLReportFileError::rfOtherVersion ? error->Version() : error->Page(), k.version_or_page)
        << k.what;
    EXPECT_EQ(storage->PageCount(), 1) << k.what;
    EXPECT_EQ(storage->Title(), "before") << k.what;
  }
}

TEST(ReportFileReader, EveryCutOfASoundFileIsRefused) {
  const std::string fixture = Fixture("two-pages.rpf");
  ASSERT_FALSE(fixture.empty());
  auto storage = OnePageTitled("before");
  for (std::size_t size = 0; size < fixture.size(); ++size) {
    const auto error = LoadError(fixture.substr(0, size), *storage);
    ASSERT_TRUE(error) << "cut at " << size;
    EXPECT_EQ(error->Reason(), size == 0 ? ERLReportFileError::rfNotAReportFile : ERLReportFileError::rfTruncated)
        << "cut at " << size << ": " << error->what();
  }
  EXPECT_EQ(storage->PageCount(), 1);
}

TEST(ReportFileReader, FilesThatCannotBeReadAsReportsAreRefused) {
  TempFolder folder;
  TRLGraphicStorage storage;
  EXPECT_THROW(storage.LoadFromFile(folder.File("missing.rpf")), ERLFileError);
  EXPECT_THROW(storage.LoadFromFile(folder.File("")), ERLReportFileError);
  const std::string fifo = folder.File("pipe.rpf");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  try {
    storage.LoadFromFile(fifo);
    ADD_FAILURE() << "a pipe was read as a report";
  } catch (const ERLReportFileError& error) {
    EXPECT_EQ(error.Reason(), ERLReportFileError::rfNotAReportFile);
  }
}

}  // namespace
