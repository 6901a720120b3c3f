// Queries over the engine: the dialog's two statements, result shapes, record counts, full passes and the SQL
// dialect's quotes and colons.
#include "data/ClientDbFixture.h"

#include <algorithm>
#include <set>

using namespace querytest;

namespace {

// A link that asks the dataset for a window of `count` records.
class WindowLink : public TDataLink {
public:
  explicit WindowLink(int count) { SetBufferCount(count); }
};

std::vector<std::string> ExpectedCodes(const std::function<bool(const Client&)>& keep) {
  std::vector<std::string> out;
  for (const Client& c : kClients)
    if (keep(c)) out.push_back(c.codigo);
  return out;
}

}  // namespace

TEST_P(ClientDbOn, CitiesQueryBindsThePersistentFieldAndGroupsInLanguageOrder) {
  TQuery* q = NewQuery("select cidade from acadclie group by cidade", "QCidades");
  TStringField* cidade = AddStringField(q, "cidade", 35);
  q->Open();
  ASSERT_EQ(q->FieldDefs().Count(), 1);
  EXPECT_EQ(q->FieldDefs()[0]->DataType(), ftString);
  EXPECT_EQ(q->FieldDefs()[0]->Size(), 35);
  EXPECT_EQ(cidade->FieldNo(), 1);
  EXPECT_EQ(q->FieldCount(), 1);
  EXPECT_EQ(Column(q, "cidade"), (std::vector<std::string>{"Águas Claras", "Belém", "Belo Horizonte", "Brasília",
                                                           "Rio: Centro", "Sant\"Ana", "Santos", "São Paulo"}));
}

TEST_P(ClientDbOn, ReportQueryReadsSixPersistentFieldsInCityAndNameOrder) {
  TQuery* q = NewQuery("select codigo,nome,cidade,fone,fax,contato from acadclie order by cidade,nome", "QRel");
  const std::vector<std::pair<const char*, int>> layout = {{"codigo", 6}, {"nome", 50}, {"cidade", 35},
                                                           {"fone", 30},  {"fax", 30},  {"contato", 30}};
  for (const auto& [name, size] : layout) AddStringField(q, name, size);
  q->Open();
  std::vector<const Client*> expected;
  for (const Client& c : kClients) expected.push_back(&c);
  // The fixture's order by city and then name, as a Portuguese reader sorts them.
  const std::vector<std::string> order = {"009", "003", "004", "005", "007", "006", "008", "002", "001", "010"};
  std::vector<std::string> seen;
  for (q->First(); !q->Eof(); q->Next()) {
    const std::string code = q->FieldByName("codigo")->AsString();
    seen.push_back(code);
    const Client& c = kClients.at(std::stoul(code) - 1);
    EXPECT_EQ(q->FieldByName("nome")->AsString(), c.nome);
    EXPECT_EQ(q->FieldByName("cidade")->AsString(), c.cidade);
    EXPECT_EQ(q->FieldByName("fone")->AsString(), c.fone);
    EXPECT_EQ(q->FieldByName("fax")->IsNull(), c.fax == nullptr) << code;
    EXPECT_EQ(q->FieldByName("fax")->AsString(), c.fax ? c.fax : "");
    EXPECT_EQ(q->FieldByName("contato")->AsString(), c.contato);
  }
  EXPECT_EQ(seen, order);
}

TEST_F(ClientDb, PersistentFieldNarrowerThanItsColumnKeepsTheWholeValue) {
  TQuery* q = NewQuery("select nome from acadclie where codigo = \"004\"");
  AddStringField(q, "nome", 5);
  q->Open();
  EXPECT_EQ(q->FieldByName("nome")->AsString(), "Mercado Central");
}

// A long text holds as many characters as its field's size allows, however many bytes each character takes.
TEST_F(ClientDb, LongTextKeepsEveryCharacterItsSizeAllows) {
  struct Case {
    const char* name;
    const char* character;
    int persistentSize;  // 0: the default field
  };
  const Case cases[] = {
      {"one byte a character, default field", "a", 0},
      {"two bytes a character, default field", "ã", 0},
      {"three bytes a character, default field", "€", 0},
      {"four bytes a character, default field", "𝄞", 0},
      {"two bytes a character, persistent field of the column's size", "ã", 5000},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    std::string text;
    for (int i = 0; i < 5000; ++i) text += k.character;
    enginetest::Sqlite(dbFile,
                       "DROP TABLE IF EXISTS notas; CREATE TABLE notas (texto varchar(5000));"
                       "INSERT INTO notas VALUES (" +
                           SqlText(text.c_str()) + ");");
    TQuery* q = NewQuery("select texto from notas");
    if (k.persistentSize > 0) AddStringField(q, "texto", k.persistentSize);
    q->Open();
    EXPECT_EQ(q->FieldByName("texto")->Size(), 5000);
    const std::string value = q->FieldByName("texto")->AsString();
    EXPECT_EQ(value.size(), text.size());
    EXPECT_TRUE(value == text);
    EXPECT_TRUE(q->FieldByName("texto")->AsVariant().ToText() == text);
    delete q;
  }
}

TEST_P(ClientDbOn, EmptyResultOpensAsAnEmptyDataset) {
  TQuery* q = NewQuery("select codigo, nome from acadclie where cidade = \"Nenhuma\"");
  q->Open();
  EXPECT_TRUE(q->Active());
  EXPECT_TRUE(q->IsEmpty());
  EXPECT_TRUE(q->Bof());
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->RecordCount(), 0);
  EXPECT_EQ(q->RecNo(), -1);
  EXPECT_TRUE(q->FieldByName("nome")->IsNull());
  EXPECT_EQ(q->FieldByName("nome")->AsString(), "");
  EXPECT_TRUE(q->SaveBookmark().empty());
  q->Next();
  EXPECT_TRUE(q->Eof());
}

TEST_P(ClientDbOn, DuplicateColumnNamesGetTheFirstFreeSuffix) {
  TQuery* q = NewQuery("select cidade, cidade as cidade_1, cidade, codigo from acadclie where codigo = \"003\"");
  q->Open();
  std::vector<std::string> names;
  for (int i = 0; i < q->FieldDefs().Count(); ++i) names.push_back(q->FieldDefs()[i]->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"cidade", "cidade_1", "cidade_2", "codigo"}));
  ASSERT_EQ(q->FieldCount(), 4);
  for (const char* name : {"cidade", "cidade_1", "cidade_2"}) EXPECT_EQ(q->FieldByName(name)->AsString(), "Belém");
  EXPECT_EQ(q->FieldByName("codigo")->AsString(), "003");
  q->Close();
  EXPECT_EQ(q->FieldCount(), 0) << "default fields go with the cursor";
}

TEST_P(ClientDbOn, RecordCountIsTheNumberOfRowsOfTheResult) {
  struct Case {
    const char* where;
    std::function<bool(const Client&)> keep;
  };
  const std::vector<Case> cases = {
      {"", [](const Client&) { return true; }},
      {" where cidade = \"São Paulo\"", [](const Client& c) { return std::string(c.cidade) == "São Paulo"; }},
      {" where fax is null", [](const Client& c) { return c.fax == nullptr; }},
      {" where cidade = \"Nenhuma\"", [](const Client&) { return false; }},
  };
  for (const Case& c : cases) {
    TQuery* q = NewQuery(std::string("select codigo from acadclie") + c.where + " order by codigo");
    q->Open();
    const std::vector<std::string> expected = ExpectedCodes(c.keep);
    EXPECT_EQ(q->RecordCount(), static_cast<int>(expected.size())) << c.where;
    q->Next();  // counting does not move the dataset
    EXPECT_EQ(Column(q, "codigo"), expected) << c.where;
    delete q;
  }
}

TEST_P(ClientDbOn, RecordNumbersFollowThePositionAndCanBeSet) {
  TQuery* q = NewQuery("select codigo from acadclie order by codigo");
  q->Open();
  EXPECT_EQ(q->RecNo(), 1);
  q->MoveRecords(3);
  EXPECT_EQ(q->RecNo(), 4);
  EXPECT_EQ(q->FieldByName("codigo")->AsString(), "004");
  q->SetRecNo(9);
  EXPECT_EQ(q->RecNo(), 9);
  EXPECT_EQ(q->FieldByName("codigo")->AsString(), "009");
  q->Last();
  EXPECT_EQ(q->RecNo(), 10);
  EXPECT_TRUE(q->HasRecordNumbers());
}

class FullPass : public ClientDb, public ::testing::WithParamInterface<int> {};

TEST_P(FullPass, VisitsEveryRowOnceForwardAndBackward) {
  TQuery* q = NewQuery("select codigo from acadclie order by codigo");
  auto* source = new TDataSource(&form);
  source->SetDataSet(q);
  WindowLink link(GetParam());
  link.SetDataSource(source);
  q->Open();
  const std::vector<std::string> all = ExpectedCodes([](const Client&) { return true; });
  EXPECT_EQ(Column(q, "codigo"), all);
  std::vector<std::string> backward;
  for (q->Last(); !q->Bof(); q->Prior()) backward.push_back(q->FieldByName("codigo")->AsString());
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(backward, all);
  // A second pass after reading backward still gives every row once.
  EXPECT_EQ(Column(q, "codigo"), all);
  link.SetDataSource(nullptr);
}

INSTANTIATE_TEST_SUITE_P(BufferCounts, FullPass, ::testing::Values(1, 8));

// The dialog's statements, the dialect and navigation give the same answers on every driver.
INSTANTIATE_TEST_SUITE_P(Drivers, ClientDbOn, ::testing::Values(Driver::Sqlite, Driver::Postgres), DriverName);

TEST(SqlParams, ParsingNeverTouchesLiterals) {
  struct Case {
    const char* sql;
    const char* text;
    std::vector<std::string> names;
  };
  const std::vector<Case> cases = {
      {"select * from acadclie where cidade = :city", "select * from acadclie where cidade = ?", {"city"}},
      {"where cidade = \"Rio: Centro\"", "where cidade = \"Rio: Centro\"", {}},
      {"where cidade = \"a \"\" :x\" and nome = :n", "where cidade = \"a \"\" :x\" and nome = ?", {"n"}},
      {"where a = ':x' and b = `:y` and c = :z1", "where a = ':x' and b = `:y` and c = ?", {"z1"}},
      {"where a = :p and b = :q and c = :p", "where a = ? and b = ? and c = ?", {"p", "q", "p"}},
      {"select '10::20', 10::x, a::b from t", "select '10::20', 10:x, a:b from t", {}},
      {"where a = :\"two words\"", "where a = ?", {"two words"}},
      {"where a = \"unterminated :x", "where a = \"unterminated :x", {}},
  };
  for (const Case& c : cases) {
    const TParsedSql parsed = ParseSqlParams(c.sql);
    EXPECT_EQ(parsed.text, c.text) << c.sql;
    EXPECT_EQ(parsed.names, c.names) << c.sql;
  }
}

TEST_P(ClientDbOn, QuotesAndColonsOfTheDialectReachTheEngineIntact) {
  struct Case {
    const char* sql;
    int params;
    const char* codigo;
  };
  const std::vector<Case> cases = {
      {"select codigo from acadclie where cidade = \"Sant\"\"Ana\"", 0, "006"},
      {"select codigo from acadclie where cidade = \"Rio: Centro\"", 0, "007"},
      {"select codigo from \"acadclie.DB\" where cidade = \"Rio: Centro\" and nome <> \":nome\"", 0, "007"},
  };
  for (const Case& c : cases) {
    TQuery* q = NewQuery(c.sql);
    EXPECT_EQ(q->ParamCount(), c.params) << c.sql;
    q->Open();
    EXPECT_EQ(Column(q, "codigo"), std::vector<std::string>{c.codigo}) << c.sql;
    delete q;
  }
}

TEST_P(ClientDbOn, ColonOutsideALiteralIsAParameterThatNeedsAValue) {
  TQuery* q = NewQuery("select codigo from acadclie where cidade = :city order by codigo");
  ASSERT_EQ(q->ParamCount(), 1);
  EXPECT_EQ(q->Params()[0].Name(), "city");
  EXPECT_EQ(ErrorOf([&] { q->Open(); }), "QTeste: Nenhum valor para o parâmetro 'city'");
  EXPECT_FALSE(q->Active());
  EXPECT_EQ(q->Database(), nullptr);
  // A value with quotes and a colon is data, never SQL.
  q->ParamByName("city").SetAsString("Sant\"Ana");
  q->Open();
  EXPECT_EQ(Column(q, "codigo"), std::vector<std::string>{"006"});
  q->Close();
  q->ParamByName("CITY").SetAsString("São Paulo");
  q->Open();
  EXPECT_EQ(Column(q, "codigo"), (std::vector<std::string>{"001", "002", "010"}));
  // Values survive a change of the text when the parameter does.
  q->SQL().Add("");
  EXPECT_EQ(q->ParamByName("city").Value().AsString(), "São Paulo");
}

TEST_F(ClientDb, ChangingTheSqlClosesUnpreparesAndReleasesTheDatabase) {
  TQuery* q = NewQuery("select codigo from acadclie");
  q->Open();
  EXPECT_TRUE(q->Prepared());
  TDatabase* db = q->Database();
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->RefCount(), 1);
  q->SQL().Clear();
  EXPECT_FALSE(q->Active());
  EXPECT_FALSE(q->Prepared());
  EXPECT_FALSE(q->StmtHandle());
  EXPECT_EQ(q->Database(), nullptr);
  EXPECT_EQ(db->RefCount(), 0);
  EXPECT_EQ(ErrorOf([&] { q->Open(); }), "QTeste: Nenhuma declaração SQL disponível");
  q->SQL().Add("select nome from acadclie where codigo = \"002\"");
  q->Open();
  EXPECT_EQ(q->FieldByName("nome")->AsString(), "Açougue Bom Corte");
}

TEST_F(ClientDb, ExplicitPrepareSurvivesCloseAndOpen) {
  TQuery* q = NewQuery("select codigo from acadclie");
  q->Prepare();
  const engine::StatementHandle stmt = q->StmtHandle();
  EXPECT_TRUE(stmt);
  q->Open();
  q->Close();
  EXPECT_TRUE(q->Prepared());
  EXPECT_EQ(q->StmtHandle(), stmt);
  q->Open();
  EXPECT_EQ(q->RecordCount(), 10);
  q->Close();
  q->UnPrepare();
  EXPECT_FALSE(q->StmtHandle());
  EXPECT_EQ(q->Database(), nullptr);
}
