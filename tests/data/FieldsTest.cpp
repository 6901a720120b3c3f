// Fields: binding to the cursor's columns, reading values, finding fields by name, field lists and definitions.
#include "MemDataSet.h"
#include "TraceLink.h"
#include "data/DBTables.h"

#include <gtest/gtest.h>

namespace {
using Trace = std::vector<std::string>;

// A field of a type that has no class of its own here; the base class's behaviour shows through it.
class TTestBytesField : public TField {
public:
  explicit TTestBytesField(TComponent* owner, TFieldType type = ftBytes) : TField(owner) { SetDataType(type); }

protected:
  void CheckTypeSize(int) override {}
};

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(no error)";
}

// A dataset over the clients' columns, owned by a form that also owns its persistent fields.
struct Clients {
  TComponent form{nullptr};
  TMemDataSet* ds = new TMemDataSet(&form);

  Clients() {
    ds->SetName("Clientes");
    ds->columns = {{"codigo", ftString, 6}, {"nome", ftString, 35}, {"cidade", ftString, 35}};
    ds->rows = {{"1", "Ana", "Porto Alegre   "}, {"2", std::nullopt, "São Paulo"}, {"3", "Caio", std::nullopt}};
  }
  TStringField* AddString(const std::string& name, int size) {
    auto* field = new TStringField(&form);
    field->SetFieldName(name);
    field->SetSize(size);
    field->SetDataSet(ds);
    return field;
  }
};

}  // namespace

TEST(FieldBinding, PersistentFieldsBindByNameToTheFlatList) {
  Clients c;
  TStringField* cidade = c.AddString("CIDADE", 35);
  TStringField* codigo = c.AddString("codigo", 6);
  c.ds->Open();
  EXPECT_EQ(cidade->FieldNo(), 3);
  EXPECT_EQ(codigo->FieldNo(), 1);
  EXPECT_FALSE(c.ds->DefaultFields());
  EXPECT_EQ(c.ds->FieldCount(), 2);
  EXPECT_EQ(cidade->Owner(), &c.form);
  c.ds->Close();
  EXPECT_EQ(cidade->FieldNo(), 0);
  EXPECT_EQ(c.ds->FieldCount(), 2);  // persistent fields stay
}

TEST(FieldBinding, ErrorsKeepTheDatasetClosed) {
  struct Case {
    const char* name;
    std::function<void(Clients&)> add;
    std::string expected;
  };
  const Case cases[] = {
      {"missing column", [](Clients& c) { c.AddString("email", 20); }, "Clientes: Campo 'email' não encontrado"},
      {"missing column, display name", [](Clients& c) { c.AddString("email", 20)->SetDisplayLabel("Correio"); },
       "Clientes: Campo 'Correio' não encontrado"},
      {"type mismatch",
       [](Clients& c) {
         auto* f = new TIntegerField(&c.form);
         f->SetFieldName("codigo");
         f->SetDataSet(c.ds);
       },
       "Clientes: Campo 'codigo' não é do tipo esperado"},
      {"bytes size mismatch",
       [](Clients& c) {
         c.ds->columns.push_back({"foto", ftBytes, 16});
         auto* f = new TTestBytesField(&c.form);
         f->SetFieldName("foto");
         f->SetSize(8);
         f->SetDataSet(c.ds);
       },
       "Clientes: Tamanho sem combinação para campo ' foto ', esperando: 8 atual: 16"},
      {"BCD size mismatch",
       [](Clients& c) {
         c.ds->columns.push_back({"saldo", ftBCD, 2});
         auto* f = new TBCDField(&c.form);
         f->SetFieldName("saldo");
         f->SetDataSet(c.ds);
       },
       "Clientes: Tamanho sem combinação para campo ' saldo ', esperando: 4 atual: 2"},
      {"calculated of a wrong type",
       [](Clients& c) {
         auto* f = new TTestBytesField(&c.form);
         f->SetFieldName("extra");
         f->SetFieldKind(fkCalculated);
         f->SetDataSet(c.ds);
       },
       "Clientes: Campo 'extra' não pode ser um campo calculado ou lookup"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Clients c;
    c.AddString("nome", 35);
    k.add(c);
    EXPECT_EQ(ErrorOf([&] { c.ds->Open(); }), k.expected);
    EXPECT_FALSE(c.ds->Active());
    EXPECT_EQ(c.ds->allocated, 0);
    EXPECT_EQ(c.ds->Fields(0)->FieldNo(), 0);
  }
}

TEST(FieldBinding, CompatibleTypesAndCalculatedFieldsBind) {
  Clients c;
  c.ds->columns.push_back({"fixo", ftFixedChar, 4});
  c.AddString("fixo", 2);  // a string field's size is not compared with its column
  TStringField* calc = c.AddString("rotulo", 10);
  calc->SetFieldKind(fkCalculated);
  c.ds->Open();
  EXPECT_EQ(c.ds->FieldByName("fixo")->FieldNo(), 4);
  EXPECT_EQ(calc->FieldNo(), -1);
}

TEST(FieldBinding, DefaultFieldsFollowTheDefinitionsAndGoAtClose) {
  Clients c;
  c.ds->columns.push_back({"ignorado", ftUnknown, 0});
  c.ds->columns.push_back({"quantidade", ftInteger, 0});
  c.ds->Open();
  ASSERT_TRUE(c.ds->DefaultFields());
  ASSERT_EQ(c.ds->FieldCount(), 4);
  EXPECT_EQ(c.ds->Fields(0)->ClassName(), "TStringField");
  EXPECT_EQ(c.ds->Fields(0)->Size(), 6);
  EXPECT_EQ(c.ds->Fields(1)->FieldName(), "nome");
  EXPECT_EQ(c.ds->Fields(3)->ClassName(), "TIntegerField");
  EXPECT_EQ(c.ds->Fields(3)->FieldNo(), 5);
  EXPECT_EQ(c.ds->Fields(0)->Owner(), c.ds);
  c.ds->Close();
  EXPECT_EQ(c.ds->FieldCount(), 0);
  EXPECT_FALSE(c.ds->DefaultFields());
}

TEST(FieldBinding, AColumnWithoutAFieldClassFailsTheOpenClearly) {
  Clients c;
  c.ds->columns.push_back({"foto", ftBlob, 0});
  EXPECT_EQ(ErrorOf([&] { c.ds->Open(); }), "Clientes: Campo 'foto' é de um tipo não suportado (ftBlob)");
  EXPECT_FALSE(c.ds->Active());
  EXPECT_EQ(c.ds->FieldCount(), 0);
}

TEST(FieldBinding, NestedDefinitionsGiveFullNamesAndFlatNumbers) {
  Clients c;
  c.ds->buildDefs = [](TFieldDefs& defs) {
    defs.Add("codigo", ftString, 6);
    TFieldDef* address = defs.AddFieldDef("endereco", ftADT, 2);
    address->ChildDefs().Add("rua", ftString, 40);
    address->ChildDefs().Add("cidade", ftString, 35);
    defs.Add("fone", ftString, 15);
  };
  c.ds->Open();
  const TFieldDefList& flat = c.ds->FieldDefList();
  ASSERT_EQ(flat.Count(), 5);
  EXPECT_EQ(flat.Strings(2), "endereco.rua");
  EXPECT_EQ(flat.FieldDefs(3)->Name(), "cidade");
  EXPECT_EQ(flat.FieldDefs(3)->ParentDef()->Name(), "endereco");
  // The ADT itself gets no default field; its children do, numbered by flat position.
  ASSERT_EQ(c.ds->FieldCount(), 4);
  EXPECT_EQ(c.ds->FieldByName("ENDERECO.CIDADE")->FieldNo(), 4);
  EXPECT_EQ(c.ds->FieldByName("fone")->FieldNo(), 5);
}

TEST(FieldValues, StringValuesAsTheEngineDeliversThem) {
  Clients c;
  TStringField* nome = c.AddString("nome", 35);
  TStringField* cidade = c.AddString("cidade", 35);
  c.ds->Open();
  EXPECT_EQ(cidade->AsString(), "Porto Alegre   ");  // trailing blanks kept
  EXPECT_EQ(cidade->DisplayText(), "Porto Alegre   ");
  EXPECT_EQ(cidade->AsVariant(), Variant("Porto Alegre   "));
  EXPECT_FALSE(cidade->IsNull());
  c.ds->Next();
  EXPECT_TRUE(nome->IsNull());
  EXPECT_EQ(nome->AsString(), "");
  EXPECT_TRUE(nome->AsVariant().IsNull());
  EXPECT_EQ(cidade->AsString(), "São Paulo");
}

TEST(FieldValues, TransliterateDecidesWhetherTheDatasetTranslates) {
  Clients c;
  TStringField* nome = c.AddString("nome", 35);
  c.ds->translatedSuffix = "~";
  c.ds->Open();
  EXPECT_EQ(nome->AsString(), "Ana~");
  nome->SetTransliterate(false);
  EXPECT_EQ(nome->AsString(), "Ana");
  nome->SetTransliterate(true);
  c.ds->Next();  // a null value is not translated
  EXPECT_EQ(nome->AsString(), "");
}

// Run under the address sanitizer: no read or write leaves the value buffers.
TEST(FieldValues, LongValuesNeverOverrunTheBuffers) {
  const std::string wide(100, 'w');
  const std::string huge(9000, 'h');
  const std::string accented = "a" + [] {
    std::string s;
    for (int i = 0; i < 5000; ++i) s += "é";
    return s;
  }();
  struct Case {
    const char* name;
    std::string value;
    int fieldSize;
    bool fillWholeBuffer;
    std::string expected;
  };
  const Case cases[] = {
      {"wider column than the field", wide, 35, false, wide},
      {"longer than the fixed buffer", huge, 35, false, huge.substr(0, 8192)},
      {"engine writes the whole buffer without a zero", "abc", 35, true,
       [] {
         std::string s;
         while (s.size() < 8193) s += "abc";
         return s.substr(0, 8193);
       }()},
      {"cut inside a character", accented, 35, false, accented.substr(0, 8191)},
      {"field larger than the fixed buffer", huge, 9500, false, huge},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Clients c;
    c.ds->rows = {{"1", k.value, "x"}};
    c.ds->fillWholeBuffer = k.fillWholeBuffer;
    TStringField* nome = c.AddString("nome", k.fieldSize);
    c.ds->Open();
    const std::string value = nome->AsString();
    EXPECT_EQ(value.size(), k.expected.size());
    EXPECT_EQ(value, k.expected);
  }
}

TEST(FieldValues, DisplayTextUsesOnGetTextThenTheEditMask) {
  Clients c;
  c.ds->rows = {{"5133334444", "Ana", "x"}};
  TStringField* codigo = c.AddString("codigo", 10);
  c.ds->Open();
  codigo->SetEditMask("(99) 9999-9999;0;_");
  EXPECT_EQ(codigo->DisplayText(), "(51) 3333-4444");
  EXPECT_EQ(codigo->AsString(), "5133334444");
  codigo->OnGetText = [](TField* sender, std::string& text, bool display) {
    text = (display ? "tel " : "edit ") + sender->AsString();
  };
  EXPECT_EQ(codigo->DisplayText(), "tel 5133334444");
  EXPECT_EQ(codigo->Text(), "edit 5133334444");
}

TEST(FieldValues, BaseClassRefusesConversionsItCannotDo) {
  Clients c;
  c.ds->columns.push_back({"foto", ftBytes, 4});
  c.ds->rows = {{"1", "Ana", "x", "data"}, {"2", "Bia", "y", std::nullopt}};
  auto* foto = new TTestBytesField(&c.form);
  foto->SetFieldName("foto");
  foto->SetSize(4);
  foto->SetDataSet(c.ds);
  c.ds->Open();
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Variant", [&] { foto->AsVariant(); }},   {"Boolean", [&] { foto->AsBoolean(); }},
      {"Integer", [&] { foto->AsInteger(); }},   {"Float", [&] { foto->AsFloat(); }},
      {"DateTime", [&] { foto->AsDateTime(); }}, {"String", [&] { foto->SetAsString("x"); }},
  };
  for (const auto& [type, action] : cases) {
    EXPECT_EQ(ErrorOf(action), std::string("Clientes: Não é possível acessar o campo 'foto' do tipo ") + type);
  }
  EXPECT_EQ(foto->AsString(), "(TESTBYTES)");
  c.ds->Next();
  EXPECT_EQ(foto->AsString(), "(TestBytes)");
}

TEST(FieldValues, InvalidSizesNameTheDataset) {
  Clients c;
  TStringField* nome = c.AddString("nome", 35);
  auto* valor = new TBCDField(&c.form);
  valor->SetFieldName("valor");
  valor->SetDataSet(c.ds);
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"string field below 0", [&] { nome->SetSize(-3); }},
      {"BCD field beyond 32", [&] { valor->SetSize(40); }},
  };
  for (const auto& [name, action] : cases) EXPECT_EQ(ErrorOf(action), "Clientes: Tamanho de campo inválido") << name;
  EXPECT_EQ(nome->Size(), 35);
}

TEST(FieldValues, StringFieldConversions) {
  Clients c;
  c.ds->rows = {{"42", "T", "x"}, {"abc", "n", "y"}};
  TStringField* codigo = c.AddString("codigo", 6);
  TStringField* nome = c.AddString("nome", 6);
  c.ds->Open();
  EXPECT_EQ(codigo->AsInteger(), 42);
  EXPECT_DOUBLE_EQ(codigo->AsFloat(), 42.0);
  EXPECT_TRUE(nome->AsBoolean());
  c.ds->Next();
  EXPECT_THROW(codigo->AsInteger(), EConvertError);
  EXPECT_FALSE(nome->AsBoolean());
}

TEST(FieldValues, AFieldWithoutDatasetCannotBeRead) {
  TComponent form(nullptr);
  auto* field = new TStringField(&form);
  field->SetFieldName("nome");
  EXPECT_EQ(ErrorOf([&] { field->AsString(); }), "Campo 'nome' não tem arquivo");
}

TEST(FieldLookup, SearchAndRequire) {
  Clients c;
  c.AddString("cidade", 35);
  c.AddString("Município", 35);
  c.ds->columns.push_back({"Município", ftString, 35});
  EXPECT_EQ(c.ds->SearchField("CIDADE")->FieldName(), "cidade");
  EXPECT_EQ(c.ds->SearchField("MUNICÍPIO")->FieldName(), "Município");
  EXPECT_EQ(c.ds->SearchField("cidades"), nullptr);
  EXPECT_EQ(ErrorOf([&] { c.ds->RequireField("estado"); }), "Clientes: Campo 'estado' não encontrado");
  c.ds->SetName("");
  EXPECT_EQ(ErrorOf([&] { c.ds->RequireField("estado"); }), "TMemDataSet: Campo 'estado' não encontrado");
  EXPECT_THROW(c.ds->Fields(7), EListError);
}

TEST(FieldLookup, FieldValuesAndCollectFields) {
  Clients c;
  c.AddString("codigo", 6);
  c.AddString("nome", 35);
  c.AddString("cidade", 35);
  c.ds->Open();
  EXPECT_EQ(c.ds->FieldValues("NOME"), Variant("Ana"));
  const Variant both = c.ds->FieldValues("codigo; cidade ");
  ASSERT_TRUE(both.IsArray());
  EXPECT_EQ(both.AsArray(), (std::vector<Variant>{"1", "Porto Alegre   "}));
  c.ds->Next();
  EXPECT_TRUE(c.ds->FieldValues("codigo;nome").AsArray()[1].IsNull());

  std::vector<TField*> list;
  c.ds->CollectFields(list, " cidade ;codigo");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->FieldName(), "cidade");
  EXPECT_EQ(list[1]->FieldName(), "codigo");
  const std::pair<const char*, const char*> bad[] = {
      {"codigo;", "Clientes: Campo '' não encontrado"},
      {"codigo;;nome", "Clientes: Campo '' não encontrado"},
      {"codigo;estado", "Clientes: Campo 'estado' não encontrado"},
  };
  for (const auto& [names, expected] : bad) {
    std::vector<TField*> out;
    EXPECT_EQ(ErrorOf([&] { c.ds->CollectFields(out, names); }), expected) << names;
    EXPECT_EQ(ErrorOf([&] { c.ds->FieldValues(names); }), expected) << names;
  }
}

TEST(FieldList, AddingChecksNameKindAndState) {
  Trace trace;  // outlives the dataset that writes into it
  Clients c;
  c.AddString("codigo", 6);
  c.ds->trace = &trace;
  struct Case {
    const char* name;
    std::function<void()> add;
    std::string expected;
  };
  const Case cases[] = {
      {"no name", [&] { c.AddString("", 6); }, "Clientes: Nome do campo ausente"},
      {"duplicate", [&] { c.AddString("CODIGO", 6); }, "Clientes: Nome de campo duplicado 'CODIGO'"},
      {"aggregate in the data list",
       [&] {
         auto* f = new TStringField(&c.form);
         f->SetFieldName("total");
         f->SetFieldKind(fkAggregate);
         c.ds->Fields().Add(f);
       },
       "Clientes: FieldKind inválido para o campo 'total'"},
  };
  for (const Case& k : cases) EXPECT_EQ(ErrorOf(k.add), k.expected) << k.name;
  EXPECT_EQ(c.ds->FieldCount(), 1);
  trace.clear();
  c.AddString("nome", 35);
  EXPECT_EQ(trace, Trace{"ev:FieldListChange"});
  c.ds->Open();
  EXPECT_EQ(ErrorOf([&] { c.AddString("cidade", 35); }),
            "Clientes: Não é possível realizar esta operação em um arquivo aberto");
  EXPECT_EQ(c.ds->FieldCount(), 2);
}

TEST(FieldList, IndexMovesTheField) {
  Clients c;
  TStringField* a = c.AddString("codigo", 6);
  TStringField* b = c.AddString("nome", 35);
  EXPECT_EQ(b->Index(), 1);
  b->SetIndex(0);
  EXPECT_EQ(c.ds->Fields(0), b);
  EXPECT_EQ(a->Index(), 1);
}

TEST(FieldList, EitherTheFieldOrTheDatasetMayGoFirst) {
  {
    Clients c;
    TStringField* nome = c.AddString("nome", 35);
    c.ds->Open();
    delete nome;  // a field cannot leave an open dataset: the dataset closes
    EXPECT_FALSE(c.ds->Active());
    EXPECT_EQ(c.ds->FieldCount(), 0);
  }
  {
    Clients c;
    TStringField* nome = c.AddString("nome", 35);
    c.ds->Open();
    delete c.ds;
    EXPECT_EQ(nome->DataSet(), nullptr);
    EXPECT_EQ(ErrorOf([&] { nome->AsString(); }), "Campo 'nome' não tem arquivo");
  }
}

TEST(FieldProperties, DefaultsAndDisplayRules) {
  TComponent form(nullptr);
  auto* s = new TStringField(&form);
  EXPECT_EQ(s->Size(), 20);
  EXPECT_EQ(s->DataSize(), 21);
  EXPECT_EQ(s->DisplayWidth(), 20);
  EXPECT_EQ(s->Alignment(), taLeftJustify);
  EXPECT_EQ(s->FieldKind(), fkData);
  EXPECT_TRUE(s->Visible());
  EXPECT_TRUE(s->Transliterate());
  EXPECT_EQ(s->ProviderFlags(), (TProviderFlags{pfInUpdate, pfInWhere}));
  s->SetFieldName("cidade");
  EXPECT_EQ(s->DisplayLabel(), "cidade");
  EXPECT_EQ(s->DisplayName(), "cidade");
  s->SetDisplayLabel("Cidade do cliente");
  EXPECT_EQ(s->DisplayName(), "Cidade do cliente");
  s->SetSize(35);
  EXPECT_EQ(s->DisplayWidth(), 35);
  s->SetDisplayWidth(12);
  EXPECT_EQ(s->DisplayWidth(), 12);
  EXPECT_EQ(ErrorOf([&] { s->SetSize(-1); }), "Tamanho de campo inválido");
  EXPECT_EQ(s->Size(), 35);

  auto* f = new TFloatField(&form);
  EXPECT_EQ(f->Alignment(), taRightJustify);
  EXPECT_EQ(f->Precision(), 15);
  EXPECT_FALSE(f->Currency());
  auto* bcd = new TBCDField(&form);
  EXPECT_EQ(bcd->Size(), 4);
  EXPECT_EQ(bcd->Precision(), 0);
  auto* i = new TIntegerField(&form);
  EXPECT_EQ(i->MinValue(), 0);
  EXPECT_EQ(i->MaxValue(), 0);
  auto* big = new TLargeintField(&form);
  EXPECT_EQ(big->DataType(), ftLargeint);
  EXPECT_EQ(big->DataSize(), 8);
  EXPECT_EQ(big->DisplayWidth(), 20);  // "-9223372036854775808"
  EXPECT_EQ(big->Alignment(), taRightJustify);
}

TEST(Errors, PrefixedWithTheComponentNameWhenItHasOne) {
  TComponent named(nullptr), unnamed(nullptr);
  named.SetName("Clientes");
  EXPECT_EQ(ErrorOf([&] { DatabaseError("texto", &named); }), "Clientes: texto");
  EXPECT_EQ(ErrorOf([&] { DatabaseError("texto", &unnamed); }), "texto");
  EXPECT_EQ(ErrorOf([&] { DatabaseError("texto"); }), "texto");
  EXPECT_EQ(ErrorOf([&] { DatabaseErrorFmt(SDuplicateFieldName, {"nome"}, &named); }),
            "Clientes: Nome de campo duplicado 'nome'");
}
