// Data events: their order through the dataset, data sources and links, suspension, and attachment rules.
#include "MemDataSet.h"
#include "TraceLink.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Trace = std::vector<std::string>;

// A dataset with 3 rows (or `rows`), one data source and one link, every handler writing into one trace.
struct Rig {
  Trace trace;
  TMemDataSet ds;
  TDataSource source{nullptr};
  TTraceLink link{"L", trace};

  explicit Rig(int rows = 3) {
    ds.AddRows(rows);
    ds.trace = &trace;
    ds.TraceHandlers();
    TraceSource(source, trace);
    source.SetDataSet(&ds);
    link.SetDataSource(&source);
    trace.clear();
  }
};

}  // namespace

TEST(Events, OrderOfEventsAndHandlersPerOperation) {
  struct Case {
    const char* name;
    int rows;
    std::function<void(TMemDataSet&)> setup;
    std::function<void(TMemDataSet&)> action;
    Trace expected;
  };
  const auto none = [](TMemDataSet&) {};
  const auto open = [](TMemDataSet& ds) { ds.Open(); };
  const auto atEnd = [](TMemDataSet& ds) {
    ds.Open();
    ds.Last();
  };
  const Trace checkBrowse = {"ev:CheckBrowseMode", "L:EnsureBrowsing"};
  auto with = [&](Trace tail) {
    Trace all = checkBrowse;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
  };
  const Case cases[] = {
      {"Open",
       3,
       none,
       open,
       {"BeforeOpen", "ev:UpdateState", "L:Active=1", "S:StateChange", "S:DataChange", "AfterOpen", "AfterScroll"}},
      {"Open empty",
       0,
       none,
       open,
       {"BeforeOpen", "ev:UpdateState", "L:Active=1", "S:StateChange", "S:DataChange", "AfterOpen"}},
      {"Close",
       3,
       open,
       [](TMemDataSet& ds) { ds.Close(); },
       {"BeforeClose", "ev:UpdateState", "L:Active=0", "S:StateChange", "AfterClose"}},
      {"Next", 3, open, [](TMemDataSet& ds) { ds.Next(); },
       with({"BeforeScroll", "ev:DataSetScroll(-1)", "L:Scrolled(1)", "S:DataChange", "AfterScroll"})},
      {"Next at Eof", 3, atEnd, [](TMemDataSet& ds) { ds.Next(); }, with({"BeforeScroll"})},
      {"Prior at Bof", 3, open, [](TMemDataSet& ds) { ds.Prior(); }, with({"BeforeScroll"})},
      {"Next onto Eof", 1, open, [](TMemDataSet& ds) { ds.Next(); },
       with({"BeforeScroll", "ev:DataSetScroll(0)", "L:Scrolled(0)", "S:DataChange", "AfterScroll"})},
      {"First", 3, atEnd, [](TMemDataSet& ds) { ds.First(); },
       with({"BeforeScroll", "ev:DataSetChange", "L:DataSet", "S:DataChange", "AfterScroll"})},
      {"Last", 3, open, [](TMemDataSet& ds) { ds.Last(); },
       with({"BeforeScroll", "ev:DataSetChange", "L:DataSet", "S:DataChange", "AfterScroll"})},
      {"First on empty", 0, open, [](TMemDataSet& ds) { ds.First(); },
       with({"BeforeScroll", "ev:DataSetChange", "L:DataSet", "S:DataChange", "AfterScroll"})},
      {"Refresh",
       3,
       open,
       [](TMemDataSet& ds) { ds.Refresh(); },
       {"BeforeRefresh", "ev:CheckBrowseMode", "L:EnsureBrowsing", "ev:DataSetChange", "L:DataSet", "S:DataChange",
        "AfterRefresh"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Rig rig(k.rows);
    k.setup(rig.ds);
    rig.trace.clear();
    k.action(rig.ds);
    // Default fields come and go with open and close; their list changes reach no active source.
    std::erase(rig.trace, "ev:FieldListChange");
    EXPECT_EQ(rig.trace, k.expected);
  }
}

TEST(Events, FailingOpenFiresOnlyBeforeOpen) {
  Rig rig;
  rig.ds.failOpen = true;
  EXPECT_THROW(rig.ds.Open(), EDatabaseError);
  EXPECT_EQ(rig.trace, Trace{"BeforeOpen"});
  EXPECT_FALSE(rig.link.Active());
  EXPECT_EQ(rig.source.State(), dmInactive);
}

TEST(Events, NestedSuspendNeedsAsManyResumes) {
  Rig rig(10);
  rig.ds.Open();
  rig.ds.SuspendEvents();
  rig.ds.SuspendEvents();
  rig.trace.clear();
  rig.ds.Next();
  rig.ds.Next();
  EXPECT_EQ(rig.trace, (Trace{"ev:CheckBrowseMode", "BeforeScroll", "ev:DataSetScroll(-1)", "AfterScroll",
                              "ev:CheckBrowseMode", "BeforeScroll", "ev:DataSetScroll(-1)", "AfterScroll"}));
  rig.trace.clear();
  rig.ds.ResumeEvents();
  EXPECT_TRUE(rig.ds.EventsSuspended());
  EXPECT_TRUE(rig.trace.empty());
  rig.ds.ResumeEvents();
  EXPECT_FALSE(rig.ds.EventsSuspended());
  EXPECT_EQ(rig.trace, (Trace{"ev:DataSetChange", "L:DataSet", "S:DataChange"}));
  rig.trace.clear();
  rig.ds.ResumeEvents();  // one too many: nothing
  EXPECT_TRUE(rig.trace.empty());
  EXPECT_FALSE(rig.ds.EventsSuspended());
  rig.ds.Next();
  EXPECT_EQ(rig.trace.size(), 7u);
}

TEST(Events, StateChangeWhileSuspendedIsDeliveredOnResume) {
  Rig rig;
  rig.ds.Open();
  rig.ds.SuspendEvents();
  rig.trace.clear();
  rig.ds.Close();
  std::erase(rig.trace, "ev:FieldListChange");
  // The sources hear only that the state changed under suspension; they keep the old state until resumed.
  EXPECT_EQ(rig.trace, (Trace{"BeforeClose", "ev:UpdateState", "AfterClose"}));
  EXPECT_TRUE(rig.link.Active());
  EXPECT_EQ(rig.source.State(), dmBrowse);
  rig.trace.clear();
  rig.ds.ResumeEvents();
  EXPECT_EQ(rig.trace, (Trace{"ev:UpdateState", "L:Active=0", "S:StateChange"}));
  EXPECT_EQ(rig.source.State(), dmInactive);
}

TEST(Events, LayoutChangeWhileSuspendedIsTheEventSentOnResume) {
  Rig rig;
  rig.ds.Open();
  rig.ds.SuspendEvents();
  rig.ds.DispatchDataEvent(evLayoutChange, 0);
  rig.trace.clear();
  rig.ds.ResumeEvents();
  EXPECT_EQ(rig.trace, (Trace{"ev:LayoutChange", "L:Layout", "S:DataChange"}));
}

TEST(Events, DisabledSourceStaysInactive) {
  Rig rig;
  rig.source.SetEnabled(false);
  rig.trace.clear();
  rig.ds.Open();
  EXPECT_EQ(rig.source.State(), dmInactive);
  EXPECT_FALSE(rig.link.Active());
  rig.ds.Next();
  EXPECT_EQ(std::count_if(rig.trace.begin(), rig.trace.end(), [](const std::string& s) { return s[1] == ':'; }), 0)
      << "a disabled source told its links or fired its events";
  rig.trace.clear();
  rig.source.SetEnabled(true);
  EXPECT_EQ(rig.source.State(), dmBrowse);
  EXPECT_TRUE(rig.link.Active());
  EXPECT_EQ(rig.trace, (Trace{"L:Active=1", "S:StateChange", "S:DataChange"}));
  EXPECT_EQ(rig.link.ActiveRecord(), 0);
}

TEST(Events, LinksHearNonVisualFirstThenVisualEachLastAddedFirst) {
  Trace trace;
  TMemDataSet ds;
  ds.AddRows(3);
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  TTraceLink a("A", trace, true), b("B", trace, false), c("C", trace, true), d("D", trace, false);
  for (TDataLink* link : {static_cast<TDataLink*>(&a), static_cast<TDataLink*>(&b), static_cast<TDataLink*>(&c),
                          static_cast<TDataLink*>(&d)}) {
    link->SetDataSource(&source);
  }
  ds.Open();
  EXPECT_EQ(trace, (Trace{"D:Active=1", "B:Active=1", "C:Active=1", "A:Active=1"}));
  trace.clear();
  ds.First();
  EXPECT_EQ(trace, (Trace{"D:EnsureBrowsing", "B:EnsureBrowsing", "C:EnsureBrowsing", "A:EnsureBrowsing", "D:DataSet",
                          "B:DataSet", "C:DataSet", "A:DataSet"}));
}

TEST(Events, FieldChangeReachesLinksAndOnDataChangeWithTheField) {
  Rig rig;
  rig.ds.Open();
  rig.trace.clear();
  TField* field = rig.ds.Fields(0);
  rig.ds.DispatchDataEvent(evFieldChange, FieldEventInfo(field));
  EXPECT_EQ(rig.trace, (Trace{"ev:FieldChange", "L:Record", "S:DataChange(codigo)"}));
  EXPECT_TRUE(rig.ds.Modified());
}

TEST(Events, EnsureBrowsingLeavesAnEditWithoutChanges) {
  Rig rig;
  rig.ds.Open();
  try {
    rig.ds.UpdateRecord();
    FAIL() << "updated while browsing";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Arquivo não está em modo de edição ou inserção");
  }
  rig.ds.SetState(dmEdit);
  EXPECT_TRUE(rig.link.Editing());
  rig.trace.clear();
  rig.ds.EnsureBrowsing();
  EXPECT_EQ(rig.ds.State(), dmBrowse);
  EXPECT_FALSE(rig.link.Editing());
  const Trace expectedStart = {"ev:CheckBrowseMode", "L:EnsureBrowsing", "ev:UpdateRecord", "L:UpdateData",
                               "S:UpdateData"};
  ASSERT_GE(rig.trace.size(), expectedStart.size());
  EXPECT_EQ(Trace(rig.trace.begin(), rig.trace.begin() + 5), expectedStart);
  EXPECT_NE(std::find(rig.trace.begin(), rig.trace.end(), "L:Editing=0"), rig.trace.end());
}

TEST(Events, AttachmentRules) {
  TMemDataSet ds;
  TDataSource first(nullptr), second(nullptr);
  first.SetName("Fonte");
  TDataLink link;
  link.SetDataSource(&first);
  link.SetDataSource(&first);  // same source: nothing
  EXPECT_EQ(first.DataLinkCount(), 1);
  link.SetDataSourceFixed(true);
  try {
    link.SetDataSource(&second);
    FAIL() << "fixed source changed";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Fonte: DataSource não pode ser atualizado");
  }
  EXPECT_EQ(link.DataSource(), &first);
  link.SetDataSourceFixed(false);
  link.SetDataSource(&second);
  EXPECT_EQ(first.DataLinkCount(), 0);
  EXPECT_EQ(second.DataLinkCount(), 1);
}

TEST(Events, CircularDataLinkIsRefused) {
  // A dataset whose master is a given source.
  class TDetail : public TMemDataSet {
  public:
    TDataSource* master = nullptr;
    TDataSource* DataSource() const override { return master; }
  };
  TDetail a, b;
  TDataSource sa(nullptr), sb(nullptr);
  sa.SetName("FonteA");
  sa.SetDataSet(&a);
  b.master = &sa;  // b's master is a's source
  sb.SetDataSet(&b);
  a.master = &sb;  // a's master would be b's source: sa -> a -> sb -> b -> sa
  TMemDataSet other;
  sa.SetDataSet(&other);
  try {
    sa.SetDataSet(&a);
    FAIL() << "a circular link was accepted";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "FonteA: Ligações de dados circulares não são permitidas");
  }
  EXPECT_EQ(sa.DataSet(), &other);
}

TEST(Events, DestroyingEitherEndFirstIsSafe) {
  Trace trace;
  {
    auto ds = std::make_unique<TMemDataSet>();
    ds->AddRows(5);
    TDataSource source(nullptr);
    TTraceLink link("L", trace);
    link.SetBufferCount(4);
    source.SetDataSet(ds.get());
    link.SetDataSource(&source);
    ds->Open();
    ds.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(source.State(), dmInactive);
    EXPECT_FALSE(link.Active());
  }
  {
    TMemDataSet ds;
    ds.AddRows(5);
    auto source = std::make_unique<TDataSource>(nullptr);
    TTraceLink link("L", trace);
    source->SetDataSet(&ds);
    link.SetDataSource(source.get());
    ds.Open();
    source.reset();
    EXPECT_EQ(link.DataSource(), nullptr);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(ds.DataSourceCount(), 0);
    ds.Next();
  }
  {
    TMemDataSet ds;
    ds.AddRows(20);
    TDataSource source(nullptr);
    source.SetDataSet(&ds);
    auto link = std::make_unique<TTraceLink>("L", trace);
    link->SetBufferCount(8);
    link->SetDataSource(&source);
    ds.Open();
    ds.MoveRecords(10);
    link.reset();
    EXPECT_EQ(source.DataLinkCount(), 0);
    EXPECT_EQ(ds.BufferCount(), 1);
    EXPECT_EQ(ds.CurrentRow(), 10);
  }
  {
    // Owned by one form, destroyed in the form's order.
    auto form = std::make_unique<TComponent>(nullptr);
    auto* ds = new TMemDataSet(form.get());
    ds->AddRows(3);
    auto* source = new TDataSource(form.get());
    source->SetDataSet(ds);
    ds->Open();
    form.reset();
  }
}
