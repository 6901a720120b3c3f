// The list data: records copied from the dataset, rows, focus, searches, the incremental filter and sorting.
#include "data/ClientDbFixture.h"
#include "data/MemDataSet.h"
#include "lookup/cxDBData.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ListData : public testing::Test {
protected:
  void SetUp() override {
    data_.columns = {{"codigo", ftString, 5}, {"cidade", ftString, 35}};
    Rows({{"1", "Curitiba"}, {"2", "Belém"}, {"3", ""}, {"4", "São Paulo"}, {"5", "SANTOS"}, {"6", "belém"}});
    source_.SetDataSet(&data_);
    list_.SetColumnFieldNames({"cidade"});
    list_.SetKeyFieldNames("cidade");
    list_.SetDataSource(&source_);
  }
  void Rows(const std::vector<std::pair<std::string, std::string>>& rows) {
    data_.rows.clear();
    for (const auto& [code, city] : rows) data_.rows.push_back({code, city});
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (int row = 0; row < list_.RowCount(); ++row) texts.push_back(list_.GetDisplayText(list_.RowRecord(row), 0));
    return texts;
  }

  TMemDataSet data_;
  TDataSource source_{nullptr};
  TcxLookupGridDBDataController list_;
};

TEST_F(ListData, OpeningLoadsEveryRecordInOrderAndClosingEmpties) {
  EXPECT_EQ(list_.RecordCount(), 0);
  data_.Open();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Curitiba", "Belém", "", "São Paulo", "SANTOS", "belém"}));
  EXPECT_EQ(list_.FocusedRow(), -1);
  EXPECT_EQ(list_.GetValue(2, 0), Variant(std::string()));
  EXPECT_EQ(list_.ItemFieldName(0), "cidade");
  EXPECT_EQ(list_.GetRecordKey(3), Variant("São Paulo"));
  EXPECT_TRUE(data_.Active());
  EXPECT_EQ(data_.CurrentRow(), 0) << "the dataset's cursor is where it was";
  data_.Close();
  EXPECT_EQ(list_.RecordCount(), 0);
  EXPECT_EQ(list_.RowCount(), 0);
  EXPECT_EQ(list_.FindRowByText(0, 0, "Cur", true, false, true), -1);
}

TEST_F(ListData, ADataChangeOfTheDatasetReloads) {
  data_.Open();
  data_.Next();
  data_.Next();
  list_.SetFocusedRow(1);
  Rows({{"7", "Maceió"}, {"8", "Natal"}});
  data_.Refresh();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Maceió", "Natal"}));
  EXPECT_EQ(list_.FocusedRow(), -1) << "a load clears the focus";
  // The dataset's position does not move the list.
  data_.First();
  EXPECT_EQ(list_.RecordCount(), 2);
}

TEST_F(ListData, KeysAreExactButTextsIgnoreCaseAndAccents) {
  data_.Open();
  EXPECT_EQ(list_.FindRecordIndexByKey(Variant("belém")), 5);
  EXPECT_EQ(list_.FindRecordIndexByKey(Variant("BELÉM")), -1);
  EXPECT_ANY_THROW(list_.FindRecordIndexByKey(Variant(std::vector<Variant>{"a", "b"})))
      << "a conversion error reaches the caller";
  struct Find {
    const char* text;
    bool partial;
    int record;
  };
  const Find finds[] = {
      {"belém", false, 1},     {"BELEM", false, 1}, {"bel", true, 1}, {"sao", true, 3}, {"SÃO P", true, 3},
      {"Curitibas", true, -1}, {"Curi", false, -1}, {"", true, 2},    {"", false, 2},   {"santos", false, 4},
  };
  for (const Find& f : finds) {
    EXPECT_EQ(list_.FindRowByText(0, 0, f.text, f.partial, false, true), f.record) << f.text;
  }
  EXPECT_TRUE(list_.LocateByKey(Variant("SANTOS")));
  EXPECT_EQ(list_.FocusedRow(), 4);
  EXPECT_FALSE(list_.LocateByKey(Variant("Recife")));
  EXPECT_EQ(list_.FocusedRow(), -1);
  // Backwards, and wrapping past the end.
  EXPECT_EQ(list_.FindRowByText(5, 0, "b", true, false, false), 5);
  EXPECT_EQ(list_.FindRowByText(2, 0, "c", true, false, true), -1);
  EXPECT_EQ(list_.FindRowByText(2, 0, "c", true, true, true), 0);
}

TEST_F(ListData, SeveralKeyFieldsMakeAnArrayKey) {
  list_.SetKeyFieldNames("codigo;cidade");
  data_.Open();
  EXPECT_EQ(list_.GetRecordKey(1), Variant(std::vector<Variant>{"2", "Belém"}));
  EXPECT_EQ(list_.FindRecordIndexByKey(Variant(std::vector<Variant>{"6", "belém"})), 5);
  EXPECT_EQ(list_.FindRecordIndexByKey(Variant("6")), -1) << "a single value where two fields make the key";
  EXPECT_EQ(list_.ItemFieldName(1), "codigo") << "a key field no column shows gets an item of its own";
}

TEST_F(ListData, TheIncrementalFilterNarrowsAndClearingRestoresTheOrder) {
  data_.Open();
  list_.SetSortOrder(0, soDescending);
  // Byte order: small letters after capitals.
  EXPECT_EQ(Texts(), (std::vector<std::string>{"belém", "São Paulo", "SANTOS", "Curitiba", "Belém", ""}));
  EXPECT_EQ(list_.SetIncrementalFilter(0, "s"), 3);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"São Paulo", "SANTOS"}));
  EXPECT_EQ(list_.SetIncrementalFilter(0, "san"), 4);
  EXPECT_EQ(list_.SetIncrementalFilter(0, "sa"), 3) << "a shorter text widens again";
  EXPECT_EQ(list_.SetIncrementalFilter(0, "x"), -1);
  EXPECT_EQ(list_.RowCount(), 0);
  EXPECT_EQ(list_.IncrementalFilterText(), "x");
  list_.ClearIncrementalFilter();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"belém", "São Paulo", "SANTOS", "Curitiba", "Belém", ""}));
  // Equal values keep their load order; ascending byte order puts the empty text first and capitals before small.
  list_.SetSortOrder(0, soAscending);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"", "Belém", "Curitiba", "SANTOS", "São Paulo", "belém"}));
  list_.SetCaseInsensitive(true);
  EXPECT_EQ(Texts().at(1), "Belém");
  EXPECT_EQ(Texts().at(2), "belém");
  list_.ClearSorting();
  EXPECT_EQ(Texts().front(), "Curitiba");
}

// A new search reads only the records whose first character may match: it must see the records as they are now,
// texts whose first character has no search form among them.
TEST_F(ListData, ANewSearchFindsTheRecordsAsTheyAreNow) {
  data_.Open();
  struct Step {
    std::vector<std::pair<std::string, std::string>> reload;  // empty: the records stay
    const char* text;
    std::vector<std::string> rows;
  };
  const Step steps[] = {
      {{}, "b", {"Belém", "belém"}},
      {{}, "\xC3\xA1", {}},
      {{{"1", "Bauru"}, {"2", "\xF0\x9D\x90\x81 Bold"}, {"3", "Abaeté"}, {"4", "bagé"}, {"5", "\xC3\x81gua Boa"}},
       "b",
       {"Bauru", "bagé"}},
      {{}, "a", {"Abaeté", "\xC3\x81gua Boa"}},
      {{}, "\xF0\x9D\x90\x81", {"\xF0\x9D\x90\x81 Bold"}},
      {{{"1", "Castro"}, {"2", "Bauru"}}, "b", {"Bauru"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.text);
    if (!step.reload.empty()) {
      list_.ClearIncrementalFilter();
      Rows(step.reload);
      data_.Refresh();
    }
    list_.ClearIncrementalFilter();
    list_.SetIncrementalFilter(0, step.text);
    EXPECT_EQ(Texts(), step.rows);
  }
}

TEST_F(ListData, FocusMovesStayInsideTheRows) {
  data_.Open();
  struct Move {
    void (*move)(TcxCustomDataController&);
    int from, to;
  };
  const Move moves[] = {
      {[](TcxCustomDataController& l) { l.GotoNext(); }, -1, 0},
      {[](TcxCustomDataController& l) { l.GotoPrior(); }, -1, 0},
      {[](TcxCustomDataController& l) { l.GotoPrior(); }, 0, 0},
      {[](TcxCustomDataController& l) { l.GotoNext(); }, 5, 5},
      {[](TcxCustomDataController& l) { l.GotoLast(); }, 1, 5},
      {[](TcxCustomDataController& l) { l.GotoFirst(); }, 4, 0},
      {[](TcxCustomDataController& l) { l.MoveRecords(3); }, 4, 5},
      {[](TcxCustomDataController& l) { l.MoveRecords(-3); }, 1, 0},
  };
  for (const Move& m : moves) {
    list_.SetFocusedRow(m.from);
    m.move(list_);
    EXPECT_EQ(list_.FocusedRow(), m.to) << "from " << m.from;
  }
  list_.SetFocusedRow(99);
  EXPECT_EQ(list_.FocusedRow(), 5);
  EXPECT_TRUE(list_.IsLastRow());
  list_.SetIncrementalFilter(0, "zz");
  list_.GotoFirst();
  EXPECT_EQ(list_.FocusedRow(), -1);
}

TEST_F(ListData, OutOfRangeIndexesAreProgrammingErrors) {
  data_.Open();
  EXPECT_THROW(list_.GetValue(0, 3), EcxInvalidDataControllerOperation);
  EXPECT_THROW(list_.GetValue(6, 0), EcxInvalidDataControllerOperation);
  EXPECT_THROW(list_.RowRecord(-1), EcxInvalidDataControllerOperation);
  try {
    list_.GetDisplayText(-1, 0);
  } catch (const EcxInvalidDataControllerOperation& e) {
    EXPECT_STREQ(e.what(), "RecordIndex out of range");
  }
}

TEST_F(ListData, UpdatesRebuildOnceAtTheOutermostEnd) {
  data_.Open();
  int changes = 0;
  list_.OnDataChanged = [&] { ++changes; };
  list_.BeginUpdate();
  list_.BeginUpdate();
  list_.SetSortOrder(0, soAscending);
  list_.SetIncrementalFilter(0, "b");
  list_.EndUpdate();
  EXPECT_EQ(changes, 0);
  list_.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Belém", "belém"}));
}

// Grid mode reads through the dataset's own Locate instead of a copy of every record.
class GridModeList : public querytest::ClientDb {};

TEST_F(GridModeList, LookupsGoToTheDataset) {
  TQuery* query = NewQuery("select cidade from acadclie group by cidade");
  TDataSource source(nullptr);
  source.SetDataSet(query);
  TcxLookupGridDBDataController list;
  list.SetColumnFieldNames({"cidade"});
  list.SetKeyFieldNames("cidade");
  list.DataModeController().SetGridModeBufferCount(2);
  list.DataModeController().SetGridMode(true);
  list.SetDataSource(&source);
  query->Open();
  EXPECT_EQ(list.RecordCount(), 2) << "only the buffer's records are held";
  const int record = list.FindRowByText(0, 0, "santos", true, false, true);
  ASSERT_GE(record, 0);
  EXPECT_EQ(list.GetDisplayText(record, 0), "Santos");
  EXPECT_EQ(query->FieldByName("cidade")->AsString(), "Santos") << "the dataset went to the record";
  EXPECT_GE(list.FindRecordIndexByKey(Variant("Belém")), 0);
  EXPECT_EQ(list.FindRecordIndexByKey(Variant("Atlântida")), -1);
  source.SetDataSet(nullptr);
}

}  // namespace
