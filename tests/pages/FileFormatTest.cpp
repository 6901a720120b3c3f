// The report file as its byte table in RLGraphicStorage.h describes it: a fixture made from that table alone
// (fixtures/make_two_pages_rpf.py) is read through the table here, read by the program, and written back by the
// program byte for byte.
#include "pages/RLMetaFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(RELCLIENTES_TESTS_DIR) + "/pages/fixtures/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads the table's field types at an offset, with bounds checked.
class TableReader {
public:
  TableReader(const std::string& bytes, std::size_t at) : bytes_(bytes), at_(at) {}
  std::size_t At() const { return at_; }
  std::string Raw(std::size_t size) {
    if (at_ + size > bytes_.size()) throw std::out_of_range("past the end");
    std::string out = bytes_.substr(at_, size);
    at_ += size;
    return out;
  }
  std::uint32_t Unsigned(std::size_t size) {
    const std::string b = Raw(size);
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < size; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])) << (8 * i);
    return v;
  }
  std::int32_t Int32() { return static_cast<std::int32_t>(Unsigned(4)); }
  int Word() { return static_cast<int>(Unsigned(2)); }
  int Byte() { return static_cast<int>(Unsigned(1)); }
  std::string String() { return Raw(static_cast<std::size_t>(Int32())); }
  std::vector<std::string> Strings() {
    std::vector<std::string> out(static_cast<std::size_t>(Int32()));
    for (auto& s : out) s = String();
    return out;
  }
  std::vector<int> Color() { return {Byte(), Byte(), Byte()}; }

private:
  const std::string& bytes_;
  std::size_t at_;
};

struct TableObject {
  int code;
  std::vector<std::int32_t> common;  // left, top, right, bottom, group id, tag
  std::string payload;               // what the type code adds
};

struct TablePage {
  std::int32_t width, height;
  std::vector<std::string> macros, fonts;
  std::vector<TableObject> objects;
};

TablePage ReadPage(const std::string& bytes, std::size_t at) {
  TableReader r(bytes, at);
  EXPECT_EQ(r.Raw(18), std::string("RLGraphicSurface3\x1A"));
  TablePage page{r.Int32(), r.Int32(), r.Strings(), r.Strings(), {}};
  for (std::int32_t i = r.Int32(); i > 0; --i) {
    TableObject object{r.Byte(), {}, {}};
    const auto size = static_cast<std::size_t>(r.Int32());
    TableReader payload(bytes, r.At());
    for (int k = 0; k < 6; ++k) object.common.push_back(payload.Int32());
    object.payload = payload.Raw(size - 24);
    r.Raw(size);
    page.objects.push_back(object);
  }
  return page;
}

}  // namespace

TEST(ReportFileFormat, AFixtureMadeFromTheTableReadsThroughItByTheProgramAndBack) {
  const std::string file = Fixture("two-pages.rpf");
  ASSERT_EQ(file.size(), 408u) << "fixture missing or changed";

  // Through the table.
  TableReader r(file, 0);
  EXPECT_EQ(r.Raw(18), std::string("RLGraphicStorage3\x1A"));
  EXPECT_EQ(r.Strings(), (std::vector<std::string>{"Title=Clientes", "FirstPageNumber=1", "LastPageNumber=2"}));
  const std::int32_t page_count = r.Int32();
  ASSERT_EQ(page_count, 2);
  std::vector<std::size_t> records;
  for (int i = 0; i < page_count; ++i) records.push_back(static_cast<std::size_t>(r.Int32()));
  EXPECT_EQ(records[0], r.At()) << "the first record follows the page table";
  std::vector<TablePage> pages;
  for (std::size_t at : records) {
    TableReader record(file, at);
    const auto length = static_cast<std::size_t>(record.Int32());
    pages.push_back(ReadPage(file, at + 4));
    EXPECT_LE(at + 4 + length, file.size());
  }
  const TablePage& first = pages[0];
  EXPECT_EQ(first.width, 794);
  EXPECT_EQ(first.height, 1123);
  EXPECT_EQ(first.macros, (std::vector<std::string>{"PageNumber=1"}));
  ASSERT_EQ(first.objects.size(), 2u);
  const TableObject& title = first.objects[0];
  EXPECT_EQ(title.code, 4);
  EXPECT_EQ(title.common, (std::vector<std::int32_t>{38, 38, 400, 60, 1, 0}));
  TableReader text(title.payload, 0);
  EXPECT_EQ(text.Byte(), 3) << "centred";
  EXPECT_EQ(text.Byte(), 1) << "at the top";
  EXPECT_EQ((std::vector<std::int32_t>{text.Int32(), text.Int32()}), (std::vector<std::int32_t>{38, 38}));
  EXPECT_EQ(text.Word(), 4) << "kept together";
  EXPECT_EQ(text.String(), "Clientes por cidade");
  text.Raw(4);  // brush
  EXPECT_EQ(text.Int32(), 96);
  text.Byte();
  EXPECT_EQ(text.Color(), (std::vector<int>{0, 0, 128}));
  EXPECT_EQ(text.Int32(), -16);
  EXPECT_EQ(first.fonts.at(static_cast<std::size_t>(text.Int32())), "Arial");
  EXPECT_EQ(text.Byte(), 1);
  EXPECT_EQ(text.Int32(), 12);
  EXPECT_EQ(text.Byte(), 1) << "bold";
  EXPECT_EQ(text.At(), title.payload.size()) << "the font is the last field";
  EXPECT_EQ(pages[1].objects.at(0).code, 2);
  EXPECT_EQ(pages[1].objects.at(0).common[5], 7) << "the line's tag";

  // By the program: each record is a page it reads, with the same values.
  TRLGraphicStorage storage;
  storage.SetTitle("Clientes");
  storage.SetFirstPageNumber(1);
  storage.SetLastPageNumber(2);
  for (std::size_t i = 0; i < records.size(); ++i) {
    TableReader record(file, records[i]);
    const auto length = static_cast<std::size_t>(record.Int32());
    TRLMemoryStream stream(file.substr(records[i] + 4, length));
    auto page = std::make_unique<TRLGraphicSurface>();
    page->LoadFromStream(stream);
    EXPECT_EQ(page->ObjectCount(), static_cast<int>(pages[i].objects.size()));
    storage.Add(std::move(page));
  }
  {
    TRLPageRef page = storage.Pages(0);
    ASSERT_TRUE(page);
    auto* read = dynamic_cast<TRLTextObject*>(page->Objects(0));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Text(), "Clientes por cidade");
    EXPECT_EQ(read->Font().Name(), "Arial");
    EXPECT_EQ(read->Font().Size(), 12);
    EXPECT_EQ(read->GroupId(), 1);
    EXPECT_EQ(read->BoundsRect(), (TRect{38, 38, 400, 60}));
  }

  // And back: the program writes the same bytes.
  TRLMemoryStream written;
  storage.SaveToStream(written);
  EXPECT_EQ(written.Bytes(), file);
}

namespace {

std::string Int32Bytes(std::int32_t v) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i)
    out[static_cast<std::size_t>(i)] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
  return out;
}

std::string Frame(const std::string& tag, std::int32_t version, const std::string& payload) {
  return tag + Int32Bytes(version) + Int32Bytes(static_cast<std::int32_t>(payload.size())) + payload;
}

std::string OutlinePayload(const std::vector<TRLOutlineEntry>& entries) {
  std::string out = Int32Bytes(static_cast<std::int32_t>(entries.size()));
  for (const TRLOutlineEntry& e : entries) {
    out += Int32Bytes(e.Level) + Int32Bytes(e.PageIndex) + Int32Bytes(e.Top) +
           Int32Bytes(static_cast<std::int32_t>(e.Text.size())) + e.Text;
  }
  return out;
}

const std::vector<TRLOutlineEntry> kTwoCities = {{"Cidade Arapoti", 0, 0, 71}, {"Cidade São Paulo", 0, 1, 300}};

TRLOutline Reopened(const std::string& bytes, int* pages = nullptr) {
  TRLGraphicStorage storage;
  TRLMemoryStream stream(bytes);
  storage.LoadFromStream(stream);
  if (pages) *pages = storage.PageCount();
  return storage.Outline();
}

}  // namespace

TEST(ReportFileFormat, TheOutlineFollowsTheLastPageInAFramedRecordAndReadsBack) {
  const std::string old_file = Fixture("two-pages.rpf");
  ASSERT_EQ(old_file.size(), 408u);

  // A file of before the outline reads whole, with none; and writes back as it was.
  TRLGraphicStorage storage;
  storage.LoadFromFile(std::string(RELCLIENTES_TESTS_DIR) + "/pages/fixtures/two-pages.rpf");
  EXPECT_EQ(storage.PageCount(), 2);
  EXPECT_EQ(storage.Title(), "Clientes");
  EXPECT_EQ(storage.LastPageNumber(), 2);
  EXPECT_FALSE(storage.HasOutline());
  {
    TRLPageRef page = storage.Pages(1);
    ASSERT_TRUE(page) << page.Error();
    EXPECT_EQ(page->ObjectCount(), 1);
  }
  TRLMemoryStream again;
  storage.SaveToStream(again);
  EXPECT_EQ(again.Bytes(), old_file);

  // With an outline: the same bytes and then the record, as the table gives it.
  for (const TRLOutlineEntry& entry : kTwoCities) storage.AddOutlineEntry(entry);
  TRLMemoryStream written;
  storage.SaveToStream(written);
  const std::string& file = written.Bytes();
  ASSERT_EQ(file.substr(0, old_file.size()), old_file) << "readers that go by the page table see the old file";
  TableReader r(file, old_file.size());
  EXPECT_EQ(r.Raw(4), "RLOL");
  EXPECT_EQ(r.Int32(), 1) << "version";
  const auto size = static_cast<std::size_t>(r.Int32());
  EXPECT_EQ(r.At() + size, file.size()) << "the record runs to the end of the file";
  ASSERT_EQ(r.Int32(), 2);
  EXPECT_EQ((std::vector<std::int32_t>{r.Int32(), r.Int32(), r.Int32()}), (std::vector<std::int32_t>{0, 0, 71}));
  EXPECT_EQ(r.String(), "Cidade Arapoti");
  EXPECT_EQ((std::vector<std::int32_t>{r.Int32(), r.Int32(), r.Int32()}), (std::vector<std::int32_t>{0, 1, 300}));
  EXPECT_EQ(r.String(), "Cidade São Paulo");

  int pages = 0;
  EXPECT_EQ(Reopened(file, &pages), kTwoCities);
  EXPECT_EQ(pages, 2);

  // Clear forgets the outline with the pages.
  storage.Clear();
  EXPECT_FALSE(storage.HasOutline());
}

TEST(ReportFileFormat, RecordsAReaderDoesNotKnowAreSkippedAndADamagedTailLosesOnlyItself) {
  const std::string old_file = Fixture("two-pages.rpf");
  const std::string known = Frame("RLOL", 1, OutlinePayload(kTwoCities));
  struct Case {
    const char* name;
    std::string tail;
    std::vector<TRLOutlineEntry> outline;
  };
  const std::vector<Case> cases = {
      {"an unknown record before", Frame("XTRA", 1, "whatever it holds") + known, kTwoCities},
      {"a later version after", known + Frame("RLOL", 2, "a layout of tomorrow"), kTwoCities},
      {"only a later version", Frame("RLOL", 7, OutlinePayload(kTwoCities)), {}},
      {"a frame past the end", known + "XTRA" + Int32Bytes(1) + Int32Bytes(100) + "only a few", kTwoCities},
      {"a few stray bytes", known + "xy", kTwoCities},
      {"an entry past the last page",
       Frame("RLOL", 1, OutlinePayload({kTwoCities[0], {"Nowhere", 0, 2, 0}})),
       {kTwoCities[0]}},
      {"levels that skip one",
       Frame("RLOL", 1, OutlinePayload({{"A", 3, 0, 0}, {"B", 5, 0, 10}, {"C", -1, 1, 0}})),
       {{"A", 0, 0, 0}, {"B", 1, 0, 10}, {"C", 0, 1, 0}}},
      {"a payload cut short", Frame("RLOL", 1, OutlinePayload(kTwoCities).substr(0, 30)), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int pages = 0;
    EXPECT_EQ(Reopened(old_file + c.tail, &pages), c.outline);
    EXPECT_EQ(pages, 2);
  }
  // What is not a report file is refused, and leaves the collection as it was.
  for (const std::string& bad : {std::string("RLGraphicStorage4\x1A") + old_file.substr(18), old_file.substr(0, 300)}) {
    TRLGraphicStorage storage;
    storage.AddOutlineEntry(kTwoCities[0]);
    TRLMemoryStream stream(bad);
    EXPECT_THROW(storage.LoadFromStream(stream), ERLReportFileError);
    EXPECT_EQ(storage.PageCount(), 0);
    EXPECT_EQ(storage.Outline(), TRLOutline{kTwoCities[0]});
  }
}
