// Large-integer fields: 64-bit columns of the engine open with default fields and keep every bit of their values.
#include "core/Definitions.h"
#include "data/ClientDbFixture.h"
#include "data/DBRegistration.h"

#include <cmath>
#include <cstdint>
#include <limits>

using namespace querytest;

namespace {

constexpr std::int64_t kTwoTo40 = std::int64_t{1} << 40;

class BigNumbers : public ClientDb {
protected:
  void SetUp() override {
    ClientDb::SetUp();
    enginetest::Sqlite(dbFile,
                       "CREATE TABLE saldos (id INTEGER, valor BIGINT);"
                       "INSERT INTO saldos VALUES (1, 1099511627776), (2, -1099511627776), (3, NULL), (4, 7),"
                       "(5, 9223372036854775807), (6, -9223372036854775807 - 1);");
  }

  static TLargeintField* AddLargeintField(TQuery* q, const std::string& fieldName) {
    auto* f = new TLargeintField(q->Owner());
    f->SetName(q->Name() + fieldName);
    f->SetFieldName(fieldName);
    f->SetDataSet(q);
    return f;
  }
};

}  // namespace

TEST_F(ClientDb, CountOfRowsOpensWithADefaultLargeintField) {
  TQuery* q = NewQuery("select count(*) from \"acadclie.DB\"");
  q->Open();
  ASSERT_EQ(q->FieldDefs().Count(), 1);
  EXPECT_EQ(q->FieldDefs()[0]->DataType(), ftLargeint);
  ASSERT_EQ(q->FieldCount(), 1);
  TField* count = q->Fields(0);
  EXPECT_EQ(count->ClassName(), "TLargeintField");
  EXPECT_EQ(count->DataType(), ftLargeint);
  EXPECT_EQ(count->AsInteger(), 10);
  EXPECT_EQ(count->AsString(), "10");
  EXPECT_EQ(count->DisplayText(), "10");
  EXPECT_EQ(count->AsVariant(), Variant(10LL));
  q->Close();
  EXPECT_EQ(q->FieldCount(), 0) << "the default field goes with the cursor";
}

TEST_F(BigNumbers, ValuesBeyondThirtyTwoBitsArriveWhole) {
  struct Case {
    int id;
    std::optional<std::int64_t> value;
    const char* text;
  };
  const Case cases[] = {
      {1, kTwoTo40, "1099511627776"},
      {2, -kTwoTo40, "-1099511627776"},
      {3, std::nullopt, ""},
      {4, 7, "7"},
      {5, std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
      {6, std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
  };
  for (const bool persistent : {false, true}) {
    SCOPED_TRACE(persistent ? "persistent fields" : "default fields");
    TQuery* q = NewQuery("select id, valor from saldos order by id");
    if (persistent) {
      AddLargeintField(q, "id");
      AddLargeintField(q, "valor");
    }
    q->Open();
    ASSERT_EQ(q->FieldDefs()[1]->DataType(), ftLargeint);
    TField* valor = q->FieldByName("valor");
    for (const Case& k : cases) {
      SCOPED_TRACE(k.text);
      ASSERT_FALSE(q->Eof());
      ASSERT_EQ(q->FieldByName("id")->AsInteger(), k.id);
      EXPECT_EQ(valor->IsNull(), !k.value);
      EXPECT_EQ(valor->AsInteger(), k.value.value_or(0));
      EXPECT_EQ(valor->AsString(), k.text);
      EXPECT_EQ(valor->DisplayText(), k.text);
      EXPECT_EQ(valor->AsVariant(), k.value ? Variant(static_cast<long long>(*k.value)) : Variant::Null());
      EXPECT_EQ(valor->AsFloat(), static_cast<double>(k.value.value_or(0)));
      q->Next();
    }
    EXPECT_TRUE(q->Eof());
    delete q;
  }
}

TEST_F(BigNumbers, AnIntegerFieldDoesNotBindToA64BitColumn) {
  TQuery* q = NewQuery("select valor from saldos");
  auto* f = new TIntegerField(&form);
  f->SetFieldName("valor");
  f->SetDataSet(q);
  EXPECT_EQ(ErrorOf([&] { q->Open(); }), "QTeste: Campo 'valor' não é do tipo esperado");
  EXPECT_FALSE(q->Active());
}

// Writing needs an editable record, which datasets here never offer: a value that passes the conversion and the
// range check reaches the write and is refused there.
TEST_F(BigNumbers, SettersConvertAndCheckTheRangeBeforeWriting) {
  const std::string notEditing = "QTeste: Arquivo não está em modo de edição ou inserção";
  const auto outOfRange = [](const std::string& value, const std::string& lowest, const std::string& highest) {
    return "QTeste: O valor " + value + " está fora do intervalo do campo 'valor' (de " + lowest + " a " + highest +
           ")";
  };
  const std::string int64Min = "-9223372036854775808", int64Max = "9223372036854775807";
  struct Case {
    const char* name;
    long long minValue, maxValue;
    std::function<void(TField*)> set;
    std::string expected;
  };
  const Case cases[] = {
      {"2^40 without bounds", 0, 0, [](TField* f) { f->SetAsInteger(kTwoTo40); }, notEditing},
      {"above MaxValue", 0, 100, [](TField* f) { f->SetAsInteger(101); }, outOfRange("101", "0", "100")},
      {"MaxValue itself", 0, 100, [](TField* f) { f->SetAsInteger(100); }, notEditing},
      {"below MinValue with MaxValue 0", -5, 0, [](TField* f) { f->SetAsInteger(-6); }, outOfRange("-6", "-5", "0")},
      {"64-bit bounds", -kTwoTo40, kTwoTo40, [](TField* f) { f->SetAsInteger(kTwoTo40 + 1); },
       outOfRange("1099511627777", "-1099511627776", "1099511627776")},
      {"float rounds half to even, down", 0, 2, [](TField* f) { f->SetAsFloat(2.5); }, notEditing},
      {"float rounds half to even, up", 0, 3, [](TField* f) { f->SetAsFloat(3.5); }, outOfRange("4", "0", "3")},
      {"float beyond 64 bits", 0, 0, [](TField* f) { f->SetAsFloat(1e19); }, outOfRange("1E19", int64Min, int64Max)},
      {"float below 64 bits", 0, 0, [](TField* f) { f->SetAsFloat(-1e19); }, outOfRange("-1E19", int64Min, int64Max)},
      {"float 2^63", 0, 0, [](TField* f) { f->SetAsFloat(9223372036854775808.0); },
       outOfRange("9.22337203685478E18", int64Min, int64Max)},
      {"text with blanks", 0, 0, [](TField* f) { f->SetAsString(" -1099511627776 "); }, notEditing},
      {"empty text clears", 0, 10, [](TField* f) { f->SetAsString(""); }, notEditing},
      {"text beyond 64 bits", 0, 0, [](TField* f) { f->SetAsString("99999999999999999999"); },
       outOfRange("99999999999999999999", int64Min, int64Max)},
      {"text that is no whole number", 0, 0, [](TField* f) { f->SetAsString("12,5"); },
       "'12,5' is not a valid integer value"},
      {"variant text", 0, 0, [](TField* f) { f->SetAsVariant(Variant("-1099511627776")); }, notEditing},
      {"variant float", 0, 3, [](TField* f) { f->SetAsVariant(Variant(3.5)); }, outOfRange("4", "0", "3")},
      {"variant null clears", 0, 10, [](TField* f) { f->SetAsVariant(Variant::Null()); }, notEditing},
  };
  TQuery* q = NewQuery("select valor from saldos");
  TLargeintField* valor = AddLargeintField(q, "valor");
  q->Open();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    valor->SetMinValue(k.minValue);
    valor->SetMaxValue(k.maxValue);
    EXPECT_EQ(ErrorOf([&] { k.set(valor); }), k.expected);
  }
  EXPECT_EQ(ErrorOf([&] { valor->SetAsFloat(std::nan("")); }).rfind("QTeste: O valor ", 0), 0u);
  EXPECT_EQ(valor->AsInteger(), kTwoTo40) << "the record is unchanged";

  TLargeintField detached(nullptr);
  detached.SetFieldName("avulso");
  EXPECT_EQ(ErrorOf([&] { detached.SetAsInteger(1); }), "Campo 'avulso' não tem arquivo");
}

TEST_F(BigNumbers, StoredDefinitionsKeep64BitBoundsAndTheNumericDefaults) {
  RegisterDataClasses();
  TComponent root(nullptr);
  root.SetName("Root");
  ReadDefinition(root, R"(TComponent Root {
    TQuery QSaldos {
      DatabaseName: "VERANTO"
      SQL: ["select valor from saldos where id = 2"]
      Active: true
      TLargeintField QSaldosvalor {
        FieldName: "valor"
        DisplayFormat: "#,##0"
        MinValue: -1099511627776
        MaxValue: 1099511627776
      }
    }
  })");
  auto* valor = dynamic_cast<TLargeintField*>(root.FindComponent("QSaldosvalor"));
  ASSERT_NE(valor, nullptr);
  EXPECT_EQ(valor->MinValue(), -kTwoTo40);
  EXPECT_EQ(valor->MaxValue(), kTwoTo40);
  EXPECT_EQ(valor->Alignment(), taRightJustify);
  EXPECT_EQ(valor->DisplayFormat(), "#,##0");
  EXPECT_EQ(valor->AsInteger(), -kTwoTo40);
  const std::string written = WriteDefinition(root);
  EXPECT_NE(written.find("MinValue: -1099511627776"), std::string::npos) << written;
  EXPECT_NE(written.find("MaxValue: 1099511627776"), std::string::npos) << written;
  EXPECT_EQ(written.find("Alignment"), std::string::npos) << "right alignment is the numeric default\n" << written;
  EXPECT_EQ(written.find("EditFormat"), std::string::npos) << written;
}

TEST_F(BigNumbers, LocateComparesAll64Bits) {
  enginetest::Sqlite(dbFile, "INSERT INTO saldos VALUES (7, 9007199254740992), (8, 9007199254740993);");
  TQuery* q = NewQuery("select id, valor from saldos order by id");
  q->Open();
  struct Case {
    Variant key;
    TLocateOptions options;
    std::optional<long long> id;  // none: not found
  };
  const Case cases[] = {
      {Variant(9007199254740993LL), {}, 8},
      {Variant(" 9007199254740993 "), {}, 8},
      {Variant(9007199254740992LL), {}, 7},
      {Variant(-1099511627776.0), {}, 2},
      {Variant(7.5), {}, std::nullopt},
      {Variant("1099511"), {loPartialKey}, std::nullopt},  // numbers never match by their first digits
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.key.ToText());
    q->First();
    EXPECT_EQ(q->Locate("valor", k.key, k.options), k.id.has_value());
    EXPECT_EQ(q->FieldByName("id")->AsInteger(), k.id.value_or(1));
  }
}
