// Bookmarks and Locate over an engine cursor.
#include "data/ClientDbFixture.h"

using namespace querytest;

namespace {

std::string Code(TDataSet* ds) { return ds->FieldByName("codigo")->AsString(); }

}  // namespace

TEST_P(ClientDbOn, BookmarksReturnToTheirRecordAndCompareInRecordOrder) {
  TQuery* q = NewQuery("select codigo, nome from acadclie order by codigo");
  q->Open();
  q->MoveRecords(2);
  const TBookmark third = q->SaveBookmark();
  ASSERT_EQ(static_cast<int>(third.size()), q->BookmarkSize());
  q->MoveRecords(5);
  const TBookmark eighth = q->SaveBookmark();
  q->Last();
  q->JumpToBookmark(third);
  EXPECT_EQ(Code(q), "003");
  EXPECT_EQ(q->RecNo(), 3);
  q->Next();
  EXPECT_EQ(Code(q), "004");
  q->SetBookmark(std::string(eighth.begin(), eighth.end()));
  EXPECT_EQ(Code(q), "008");

  EXPECT_EQ(q->OrderBookmarks(third, eighth), -1);
  EXPECT_EQ(q->OrderBookmarks(eighth, third), 1);
  EXPECT_EQ(q->OrderBookmarks(third, third), 0);
  EXPECT_EQ(q->OrderBookmarks({}, {}), 0);
  EXPECT_EQ(q->OrderBookmarks(third, {}), -1);
  EXPECT_EQ(q->OrderBookmarks({}, third), 1);
  EXPECT_TRUE(q->IsBookmarkValid(third));
  // Checking a bookmark moves the engine cursor; the dataset must still read on from where it stands.
  q->Next();
  EXPECT_EQ(Code(q), "009");
}

TEST_P(ClientDbOn, BookmarkOfAnotherCursorIsNotValid) {
  TQuery* a = NewQuery("select codigo from acadclie order by codigo", "QA");
  TQuery* b = NewQuery("select codigo from acadclie order by codigo", "QB");
  a->Open();
  b->Open();
  b->Next();
  const TBookmark foreign = b->SaveBookmark();
  EXPECT_FALSE(a->IsBookmarkValid(foreign));
  EXPECT_THROW(a->JumpToBookmark(foreign), EDBEngineError);
  EXPECT_EQ(Code(a), "001");
  b->Close();
  b->Open();
  EXPECT_FALSE(b->IsBookmarkValid(foreign)) << "a bookmark dies with its cursor";
}

TEST_P(ClientDbOn, LocateFindsByExactCaseInsensitiveAndPartialKeys) {
  struct Case {
    const char* fields;
    Variant values;
    TLocateOptions options;
    const char* found;  // nullptr: not found
  };
  const std::vector<Case> cases = {
      {"nome", Variant("Loja Santos"), {}, "008"},
      {"nome", Variant("loja santos"), {}, nullptr},
      {"nome", Variant("loja santos"), {loCaseInsensitive}, "008"},
      {"nome", Variant("ÓTICA VISÃO"), {loCaseInsensitive}, "005"},
      {"nome", Variant("Loja"), {}, nullptr},
      {"nome", Variant("Loja"), {loPartialKey}, "008"},
      {"nome", Variant("escr"), {loPartialKey, loCaseInsensitive}, "007"},
      {"cidade;nome", Variant(std::vector<Variant>{"São Paulo", "Zebra Ltda"}), {}, "010"},
      {"cidade;nome", Variant(std::vector<Variant>{"São Paulo", "Loja Santos"}), {}, nullptr},
      {"fax", Variant::Null(), {}, "001"},
      {"cidade", Variant("Sant\"Ana"), {}, "006"},
  };
  for (const Case& c : cases) {
    TQuery* q = NewQuery("select codigo, nome, cidade, fax from acadclie order by codigo");
    q->Open();
    q->MoveRecords(3);
    int scrolls = 0;
    q->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };
    const bool found = q->Locate(c.fields, c.values, c.options);
    EXPECT_EQ(found, c.found != nullptr) << c.fields << " " << c.values.ToText();
    if (c.found) {
      EXPECT_EQ(Code(q), c.found) << c.fields << " " << c.values.ToText();
      EXPECT_EQ(scrolls, 1);
    } else {
      EXPECT_EQ(Code(q), "004") << "the current record stays";
      q->Next();
      EXPECT_EQ(Code(q), "005") << "and the dataset reads on from it";
    }
    delete q;
  }
}

TEST_F(ClientDb, LocateNeedsOneValuePerKeyField) {
  TQuery* q = NewQuery("select codigo, nome, cidade from acadclie");
  q->Open();
  EXPECT_THROW(q->Locate("cidade;nome", Variant("São Paulo"), {}), EDatabaseError);
  EXPECT_THROW(q->Locate("nenhum", Variant("x"), {}), EDatabaseError);
}
