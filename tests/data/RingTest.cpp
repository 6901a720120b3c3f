// The record-buffer ring: opening, edge results, buffer-count negotiation and navigation.
#include "MemDataSet.h"
#include "TraceLink.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct Counters {
  int afterScroll = 0;
  int beforeScroll = 0;
};

void Count(TDataSet& ds, Counters& c) {
  ds.AfterScroll = [&c](TDataSet*) { ++c.afterScroll; };
  ds.BeforeScroll = [&c](TDataSet*) { ++c.beforeScroll; };
}

// The rows the link shows, read as a grid would: moving the link's active record over its rows.
std::vector<int> LinkRows(TMemDataSet& ds, TDataLink& link) {
  std::vector<int> rows;
  const int saved = link.ActiveRecord();
  for (int i = 0; i < link.RecordCount(); ++i) {
    link.SetActiveRecord(i);
    rows.push_back(ds.CurrentRow());
  }
  link.SetActiveRecord(saved);
  return rows;
}

void ExpectConsecutive(const std::vector<int>& rows) {
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i], rows[i - 1] + 1) << "at " << i;
}

}  // namespace

TEST(Ring, EmptyResultIsEmptyAtBothEndsAndDoesNotScroll) {
  Counters c;
  TMemDataSet ds;
  Count(ds, c);
  ds.Open();
  EXPECT_TRUE(ds.Active());
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Eof());
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(c.afterScroll, 0);
  ds.First();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Eof());
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(ds.MoveRecords(1), 0);
  EXPECT_EQ(ds.CurrentBuffer(), ds.CurrentBuffer());
  EXPECT_EQ(ds.Bookmark(), "");
}

TEST(Ring, OneRecordResult) {
  std::vector<std::string> trace;  // outlive the dataset that writes into them
  Counters c;
  TMemDataSet ds;
  ds.AddRows(1);
  Count(ds, c);
  ds.Open();
  EXPECT_TRUE(ds.Bof());
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(c.afterScroll, 1);

  ds.trace = &trace;
  EXPECT_EQ(ds.MoveRecords(1), 0);
  EXPECT_EQ(ds.CurrentRow(), 0);
  EXPECT_TRUE(ds.Eof());
  EXPECT_FALSE(ds.Bof());
  EXPECT_EQ(c.afterScroll, 2);
  EXPECT_EQ(trace, (std::vector<std::string>{"ev:CheckBrowseMode", "ev:DataSetScroll(0)"}));

  trace.clear();
  const int before = c.beforeScroll;
  ds.Next();
  EXPECT_EQ(c.beforeScroll, before + 1);
  EXPECT_EQ(c.afterScroll, 2);
  EXPECT_EQ(trace, (std::vector<std::string>{"ev:CheckBrowseMode"}));
}

TEST(Ring, NoLinkMeansOneBuffer) {
  TMemDataSet ds;
  ds.AddRows(10);
  ds.Open();
  EXPECT_EQ(ds.BufferCount(), 1);
  EXPECT_EQ(ds.allocated, 2);  // the buffer and the scratch entry
}

// A link asking for 8 buffers on an open dataset fills the ring around the current record.
TEST(Ring, LinkAskingForEightBuffersFetchesAroundTheCurrentRecord) {
  struct Case {
    int rows, position, expectedFilled, expectedLinkActive;
  };
  const Case cases[] = {
      {20, 5, 8, 0},   // seven more after the current record
      {20, 17, 8, 5},  // two after it, five before
      {4, 2, 4, 2},    // the whole result is smaller than the window
      {20, 0, 8, 0},  {20, 19, 8, 7},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE("rows " + std::to_string(k.rows) + " at " + std::to_string(k.position));
    TMemDataSet ds;
    ds.AddRows(k.rows);
    TDataSource source(nullptr);
    source.SetDataSet(&ds);
    ds.Open();
    ds.MoveRecords(k.position);
    ASSERT_EQ(ds.CurrentRow(), k.position);

    TDataLink link;
    link.SetBufferCount(8);
    link.SetDataSource(&source);
    EXPECT_EQ(ds.CurrentRow(), k.position);
    EXPECT_EQ(ds.BufferCount(), 8);
    EXPECT_EQ(ds.FilledCount(), k.expectedFilled);
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(link.ActiveRecord(), k.expectedLinkActive);
    EXPECT_EQ(link.RecordCount(), k.expectedFilled);
    std::vector<int> rows = LinkRows(ds, link);
    ExpectConsecutive(rows);
    EXPECT_EQ(rows.at(static_cast<std::size_t>(k.expectedLinkActive)), k.position);
    EXPECT_EQ(ds.CurrentRow(), k.position);

    // Back to one buffer: the records before the current one leave the window, and with them the record the
    // engine cursor stood on when it was among them.
    link.SetDataSource(nullptr);
    EXPECT_EQ(ds.BufferCount(), 1);
    EXPECT_TRUE(ds.RingIsSound()) << "cursor record " << ds.CursorRecord() << " of " << ds.FilledCount();
    EXPECT_EQ(ds.CurrentRow(), k.position);
    ds.Prior();
    EXPECT_EQ(ds.CurrentRow(), std::max(k.position - 1, 0));
  }
}

// Shrinking the ring keeps the current record, and every active link keeps a valid window on it.
TEST(Ring, ShrinkingKeepsTheCurrentRecordAndLinkWindows) {
  struct Case {
    const char* name;
    std::function<void(TMemDataSet&)> move;
  };
  const Case cases[] = {
      {"after First", [](TMemDataSet& ds) { ds.First(); }},
      {"deep forward", [](TMemDataSet& ds) { ds.MoveRecords(12); }},
      {"forward then back",
       [](TMemDataSet& ds) {
         ds.MoveRecords(15);
         ds.MoveRecords(-9);
       }},
      {"after Last", [](TMemDataSet& ds) { ds.Last(); }},
      {"Last then back",
       [](TMemDataSet& ds) {
         ds.Last();
         ds.MoveRecords(-2);
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TMemDataSet ds;
    ds.AddRows(30);
    TDataSource source(nullptr);
    source.SetDataSet(&ds);
    TDataLink wide, narrow;
    wide.SetBufferCount(8);
    narrow.SetBufferCount(3);
    wide.SetDataSource(&source);
    narrow.SetDataSource(&source);
    ds.Open();
    k.move(ds);
    const int current = ds.CurrentRow();

    wide.SetDataSource(nullptr);
    EXPECT_EQ(ds.BufferCount(), 3);
    EXPECT_TRUE(ds.RingIsSound()) << "cursor record " << ds.CursorRecord() << " of " << ds.FilledCount();
    EXPECT_EQ(ds.CurrentRow(), current);
    EXPECT_EQ(ds.FilledCount(), 3);
    EXPECT_GE(narrow.FirstRecord(), 0);
    EXPECT_GE(narrow.ActiveRecord(), 0);
    EXPECT_LT(narrow.ActiveRecord(), 3);
    std::vector<int> rows = LinkRows(ds, narrow);
    EXPECT_EQ(rows.size(), 3u);
    ExpectConsecutive(rows);
    EXPECT_EQ(rows.at(static_cast<std::size_t>(narrow.ActiveRecord())), current);

    // Navigation after the shrink still visits the neighbours in order.
    ds.Next();
    EXPECT_EQ(ds.CurrentRow(), std::min(current + 1, 29));
  }
}

// A link of a disabled source counts for the ring size but has no window; when the current record sits in the
// ring's last entry, the kept window must stay inside the ring.
TEST(Ring, ShrinkingWithOnlyAnInactiveLinkKeepsTheLastRecords) {
  TMemDataSet ds;
  ds.AddRows(30);
  TDataSource active(nullptr), disabled(nullptr);
  disabled.SetEnabled(false);
  active.SetDataSet(&ds);
  disabled.SetDataSet(&ds);
  TDataLink wide, idle;
  wide.SetBufferCount(8);
  idle.SetBufferCount(3);
  wide.SetDataSource(&active);
  idle.SetDataSource(&disabled);
  ds.Open();
  ds.MoveRecords(10);  // window rows 3..10, active in the last entry
  ASSERT_EQ(ds.ActiveRecord(), 7);

  wide.SetDataSource(nullptr);
  EXPECT_EQ(ds.BufferCount(), 3);
  EXPECT_EQ(ds.CurrentRow(), 10);
  EXPECT_EQ(ds.FilledCount(), 3);
  EXPECT_EQ(ds.ActiveRecord(), 2);
  for (int i = 0; i < ds.FilledCount(); ++i) EXPECT_EQ(ds.RowAt(i), 8 + i);
  ds.Prior();
  EXPECT_EQ(ds.CurrentRow(), 9);
}

TEST(Ring, GrowingLinkBufferCountWhileAttached) {
  TMemDataSet ds;
  ds.AddRows(10);
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  TDataLink link;
  link.SetDataSource(&source);
  ds.Open();
  ds.MoveRecords(4);
  link.SetBufferCount(5);
  EXPECT_EQ(ds.BufferCount(), 5);
  EXPECT_EQ(ds.CurrentRow(), 4);
  EXPECT_EQ(LinkRows(ds, link).size(), 5u);
  link.SetBufferCount(0);  // counts as one
  EXPECT_EQ(link.BufferCount(), 1);
  EXPECT_EQ(ds.BufferCount(), 1);
  EXPECT_EQ(ds.CurrentRow(), 4);
}

// A forward and a backward pass visit every record once, whatever the ring size.
TEST(Ring, FullNavigationVisitsEveryRecordOnce) {
  for (int bufferCount : {1, 3, 8}) {
    for (bool forward : {true, false}) {
      SCOPED_TRACE("buffers " + std::to_string(bufferCount) + (forward ? " forward" : " backward"));
      TMemDataSet ds;
      ds.AddRows(100);
      TDataSource source(nullptr);
      source.SetDataSet(&ds);
      TDataLink link;
      link.SetBufferCount(bufferCount);
      link.SetDataSource(&source);
      ds.Open();
      std::vector<int> seen;
      if (forward) {
        for (ds.First(); !ds.Eof(); ds.Next()) seen.push_back(std::stoi(ds.Fields(0)->AsString()));
      } else {
        for (ds.Last(); !ds.Bof(); ds.Prior()) seen.push_back(std::stoi(ds.Fields(0)->AsString()));
      }
      ASSERT_EQ(seen.size(), 100u);
      for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], forward ? i : 99 - i);
      EXPECT_LE(link.RecordCount(), bufferCount);
    }
  }
}

TEST(Ring, SequentialPassCostsOneFetchPerRecord) {
  TMemDataSet ds;
  ds.AddRows(100);
  ds.Open();
  ds.fetches = 0;
  for (ds.First(); !ds.Eof(); ds.Next()) {}
  EXPECT_LE(ds.fetches, 100 + 2);
}

TEST(Ring, MoveRecordsReturnsTheStepsTaken) {
  struct Case {
    int start, distance, moved, row;
    bool eof, bof;
  };
  const Case cases[] = {
      {0, 5, 5, 5, false, false},    {0, 200, 49, 49, true, false}, {30, -300, -30, 0, false, true},
      {10, -3, -3, 7, false, false}, {10, 0, 0, 10, false, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.start) + " by " + std::to_string(k.distance));
    TMemDataSet ds;
    ds.AddRows(50);
    TDataSource source(nullptr);
    source.SetDataSet(&ds);
    TDataLink link;
    link.SetBufferCount(4);
    link.SetDataSource(&source);
    ds.Open();
    ds.MoveRecords(k.start);
    EXPECT_EQ(ds.MoveRecords(k.distance), k.moved);
    EXPECT_EQ(ds.CurrentRow(), k.row);
    EXPECT_EQ(ds.Eof(), k.eof);
    EXPECT_EQ(ds.Bof(), k.bof);
  }
}

TEST(Ring, FailedAllocationFreesWhatItAllocatedAndLeavesTheRing) {
  TMemDataSet ds;
  ds.AddRows(20);
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  ds.Open();
  ds.MoveRecords(3);
  const int allocated = ds.allocated;
  ds.failAllocationAt = 2 + 4;  // the fourth buffer of the growth fails
  TDataLink link;
  link.SetBufferCount(8);
  EXPECT_THROW(link.SetDataSource(&source), EDatabaseError);
  EXPECT_EQ(ds.allocated, allocated);
  EXPECT_EQ(ds.BufferCount(), 1);
  EXPECT_EQ(link.DataSource(), nullptr);
  EXPECT_EQ(source.DataLinkCount(), 0);
  EXPECT_EQ(ds.CurrentRow(), 3);
  ds.Next();
  EXPECT_EQ(ds.CurrentRow(), 4);
}

TEST(Ring, FailedOpenLeavesTheDatasetClosedWithItsRingFreed) {
  for (bool failAllocation : {false, true}) {
    SCOPED_TRACE(failAllocation ? "allocation" : "engine open");
    TMemDataSet ds;
    ds.SetName("Clientes");
    ds.AddRows(5);
    ds.failOpen = !failAllocation;
    ds.failAllocationAt = failAllocation ? 2 : 0;
    EXPECT_THROW(ds.Open(), EDatabaseError);
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.State(), dmInactive);
    EXPECT_EQ(ds.allocated, 0);
    EXPECT_EQ(ds.BufferCount(), 0);
    ds.failOpen = false;
    ds.failAllocationAt = 0;
    ds.Open();
    EXPECT_EQ(ds.CurrentRow(), 0);
  }
}

TEST(Ring, CloseFreesEveryBuffer) {
  TMemDataSet ds;
  ds.AddRows(20);
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  TDataLink link;
  link.SetBufferCount(6);
  link.SetDataSource(&source);
  ds.Open();
  EXPECT_EQ(ds.allocated, 7);
  ds.Close();
  EXPECT_EQ(ds.allocated, 0);
  EXPECT_EQ(ds.BufferCount(), 0);
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.FirstRecord(), 0);
}

TEST(Ring, UnidirectionalRefusesBackwardMovesAndReopensOnFirst) {
  TMemDataSet ds;
  ds.SetName("Clientes");
  ds.AddRows(5);
  ds.SetUni(true);
  ds.Open();
  ds.MoveRecords(3);
  try {
    ds.Last();
    FAIL() << "Last moved";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Clientes: Operação não permitida em um dataset unidirecional");
  }
  EXPECT_THROW(ds.Prior(), EDatabaseError);
  std::vector<std::string> trace;
  ds.trace = &trace;
  struct Detach {
    TMemDataSet& ds;
    ~Detach() { ds.trace = nullptr; }
  } detach{ds};
  ds.TraceHandlers();
  ds.First();
  EXPECT_EQ(ds.CurrentRow(), 0);
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(trace.front(), "ev:CheckBrowseMode");
  EXPECT_NE(std::find(trace.begin(), trace.end(), "AfterOpen"), trace.end());
  EXPECT_EQ(trace.back(), "AfterScroll");
  EXPECT_EQ(ds.Bookmark(), "");
}

TEST(Ring, BookmarksGoBackToTheRecordAndCentreTheWindow) {
  TMemDataSet ds;
  ds.SetName("Clientes");
  ds.AddRows(60);
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  TDataLink link;
  link.SetBufferCount(8);
  link.SetDataSource(&source);
  ds.Open();
  ds.MoveRecords(37);
  TBookmark mark = ds.SaveBookmark();
  const std::string text = ds.Bookmark();
  ASSERT_EQ(mark.size(), 4u);
  ds.MoveRecords(5);
  TBookmark later = ds.SaveBookmark();
  EXPECT_TRUE(ds.IsBookmarkValid(mark));
  EXPECT_EQ(ds.OrderBookmarks(mark, later), -1);
  EXPECT_EQ(ds.OrderBookmarks(later, mark), 1);
  EXPECT_EQ(ds.OrderBookmarks({}, {}), 0);

  ds.First();
  ds.JumpToBookmark(mark);
  EXPECT_EQ(ds.CurrentRow(), 37);
  EXPECT_EQ(ds.ActiveRecord(), 3);  // (8 - 1) div 2
  EXPECT_EQ(link.ActiveRecord(), 3);
  ExpectConsecutive(LinkRows(ds, link));

  ds.First();
  ds.SetBookmark(text);
  EXPECT_EQ(ds.CurrentRow(), 37);
  ds.SetBookmark("");  // nothing
  EXPECT_EQ(ds.CurrentRow(), 37);

  TBookmark shortMark{1, 2};
  EXPECT_FALSE(ds.IsBookmarkValid(shortMark));
  EXPECT_THROW(ds.JumpToBookmark(shortMark), EDatabaseError);
  ds.DropBookmark(mark);
  EXPECT_TRUE(mark.empty());
  EXPECT_FALSE(ds.IsBookmarkValid(mark));
}

TEST(Ring, BookmarkOfAVanishedRecordIsNotFound) {
  TMemDataSet ds;
  ds.SetName("Clientes");
  ds.AddRows(10);
  ds.Open();
  ds.MoveRecords(8);
  TBookmark mark = ds.SaveBookmark();
  ds.First();
  ds.rows.resize(5);
  EXPECT_FALSE(ds.IsBookmarkValid(mark));
  try {
    ds.JumpToBookmark(mark);
    FAIL() << "jumped";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Clientes: Registro não encontrado");
  }
}

TEST(Ring, RefreshRereadsTheWindow) {
  TMemDataSet ds;
  ds.AddRows(3);
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  TDataLink link;
  link.SetBufferCount(8);
  link.SetDataSource(&source);
  ds.Open();
  ds.MoveRecords(1);
  EXPECT_EQ(ds.FilledCount(), 3);
  ds.AddRows(5);
  ds.Refresh();
  EXPECT_EQ(ds.FilledCount(), 8);
  EXPECT_EQ(ds.CurrentRow(), 1);
  ds.rows.clear();
  ds.Refresh();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Eof());
}

TEST(Ring, ClosedDatasetRefusesNavigation) {
  TMemDataSet ds;
  ds.SetName("Clientes");
  for (auto op : std::vector<std::function<void()>>{[&] { ds.First(); }, [&] { ds.Next(); }, [&] { ds.Refresh(); },
                                                    [&] { ds.EnsureBrowsing(); }}) {
    try {
      op();
      FAIL() << "no error";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), "Clientes: Não é possível realizar esta operação em um arquivo fechado");
    }
  }
}

TEST(Ring, AbstractSlotsRaiseAndTheDatasetStaysClosed) {
  class TBare : public TDataSet {
  public:
    TBare() : TDataSet(nullptr) {}
  } bare;
  try {
    bare.Open();
    FAIL() << "opened";
  } catch (const EAbstractError& e) {
    EXPECT_NE(e.Message().find("TBare.InternalOpen"), std::string::npos) << e.Message();
  }
  EXPECT_FALSE(bare.Active());
}
