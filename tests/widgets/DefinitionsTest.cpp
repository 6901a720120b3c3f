#include "core/Definitions.h"
#include "core/Properties.h"
#include "widgets/Forms.h"
#include "widgets/StdCtrls.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> g_trace;

// A component that notes when it sees its properties and when it is told that loading ended.
class TProbe : public TComponent {
public:
  using TComponent::TComponent;
  ~TProbe() override { g_trace.push_back("deleted " + Name()); }
  int Value() const { return value_; }
  void SetValue(int v) {
    value_ = v;
    g_trace.push_back(Name() + (IsLoading() ? " set while loading" : " set"));
  }
  TComponent* Link() const { return link_; }
  void SetLink(TComponent* link) { link_ = link; }
  double Ratio() const { return ratio_; }
  void SetRatio(double r) { ratio_ = r; }
  Variant Data() const { return data_; }
  void SetData(const Variant& v) { data_ = v; }
  TStrings& Lines() { return lines_; }
  void Loaded() override {
    TComponent::Loaded();
    g_trace.push_back(Name() + " loaded, link " + (link_ ? link_->Name() : "none"));
  }
  TNotifyEvent OnPing;

private:
  int value_ = 0;
  TComponent* link_ = nullptr;
  double ratio_ = 1.5;
  Variant data_;
  TStringList lines_;
};

class TProbeForm : public TForm {
public:
  using TForm::TForm;
  int shows = 0;
};

void RegisterProbes() {
  RegisterFrameworkClasses();
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClass<TProbe>("TProbe", "TComponent")
      .Integer("Value", &TProbe::Value, &TProbe::SetValue)
      .Reference("Link", &TProbe::Link, &TProbe::SetLink)
      .Float("Ratio", &TProbe::Ratio, &TProbe::SetRatio, 1.5)
      .VariantValue("Data", &TProbe::Data, &TProbe::SetData)
      .Strings("Lines", [](TProbe& p) -> TStrings& { return p.Lines(); })
      .Event("OnPing", &TProbe::OnPing);
  RegisterClass<TProbeForm>("TProbeForm", "TForm");
}

THandlerTable Handlers(TProbeForm& form) {
  THandlerTable handlers;
  handlers.Add<TNotifyEvent>("FormShow", [&form](TObject*) { ++form.shows; });
  handlers.Add<TNotifyEvent>("Ping", [](TObject*) { g_trace.push_back("ping"); });
  handlers.Add<TCloseEvent>("FormClose", [](TObject*, TCloseAction&) {});
  return handlers;
}

// Written exactly as the writer writes it, so reading and writing again gives the same text.
const char* const kDefinition = R"(TProbeForm Dialog {
  Left: 213
  Top: 114
  Font {
    Color: clNavy
    Height: -12
    Name: "Verdana"
    Style: [fsBold, fsUnderline]
  }
  ParentFont: false
  Caption: "Relação \"de\" Clientes\\Cidades\n"
  ClientWidth: 405
  ClientHeight: 122
  BorderStyle: bsSingle
  Position: poScreenCenter
  OnShow: FormShow
  TGroupBox Box {
    Left: 16
    Top: 8
    Width: 369
    Height: 84
    Caption: "Seleção"
    TLabel Label5 {
      Left: 16
      Top: 30
      Width: 40
      Height: 13
      Caption: "Cidade"
    }
  }
  TProbe First {
    Value: 7
    Link: Second
    Ratio: 0.25
    Data: "texto"
    Lines: [
      "select cidade",
      "from acadclie"
    ]
    OnPing: Ping
  }
  TProbe Second {
    Link: Dialog
    Data: 12
  }
}
)";

TEST(Definitions, ReadAndWriteAgainGivesTheSameText) {
  RegisterProbes();
  g_trace.clear();
  TProbeForm form(nullptr);
  ReadDefinition(form, kDefinition, Handlers(form));
  EXPECT_EQ(WriteDefinition(form), kDefinition);

  EXPECT_EQ(form.Name(), "Dialog");
  EXPECT_EQ(form.Caption(), "Relação \"de\" Clientes\\Cidades\n");
  EXPECT_EQ(form.BorderStyle(), bsSingle);
  auto* box = dynamic_cast<TGroupBox*>(form.FindComponent("Box"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->Parent(), &form);
  auto* label = dynamic_cast<TLabel*>(form.FindComponent("Label5"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Parent(), box);
  EXPECT_EQ(label->Font().Name(), "Verdana");  // inherited through the box
  EXPECT_TRUE(label->Font().Style().Contains(fsUnderline));
  auto* first = dynamic_cast<TProbe*>(form.FindComponent("First"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Link(), form.FindComponent("Second"));
  EXPECT_EQ(first->Lines().Count(), 2);
  EXPECT_EQ(first->Data(), Variant("texto"));
  ASSERT_TRUE(first->OnPing);
  first->OnPing(first);
  ASSERT_TRUE(form.OnShow);
  form.OnShow(&form);
  EXPECT_EQ(form.shows, 1);
}

TEST(Definitions, ComponentsLoadAfterReferencesResolve) {
  RegisterProbes();
  g_trace.clear();
  TProbeForm form(nullptr);
  ReadDefinition(form, R"(TProbeForm F {
    TProbe A { Value: 1  Link: B }
    TProbe B { Value: 2 }
  })");
  const std::vector<std::string> expected = {"A set while loading", "B set while loading", "A loaded, link B",
                                             "B loaded, link none"};
  EXPECT_EQ(g_trace, expected);
  EXPECT_FALSE(form.FindComponent("A")->IsLoading());
}

TEST(Definitions, DefaultsAreNotWrittenAndAWrittenTreeReadsBackEqual) {
  RegisterProbes();
  TProbeForm original(nullptr);
  original.SetName("F");
  auto* probe = new TProbe(&original);
  probe->SetName("P");
  probe->SetRatio(1.5);  // the default
  probe->SetValue(0);    // the default
  probe->SetData(Variant(2.0));
  std::string text = WriteDefinition(original);
  EXPECT_EQ(text.find("Ratio"), std::string::npos);
  EXPECT_EQ(text.find("Value"), std::string::npos);
  EXPECT_NE(text.find("Data: 2.0"), std::string::npos);  // a float stays a float

  TProbeForm copy(nullptr);
  ReadDefinition(copy, text);
  EXPECT_EQ(WriteDefinition(copy), text);
  EXPECT_EQ(dynamic_cast<TProbe*>(copy.FindComponent("P"))->Data().VarType(), Variant::Type::Float);
}

TEST(Definitions, BadInputSaysWhereAndWhatAndLeavesNothingBehind) {
  RegisterProbes();
  struct Case {
    const char* text;
    int line, column;
    const char* says;
  };
  const Case cases[] = {
      {"TProbeForm F {\n  TNoSuchClass X {}\n}", 2, 3, "unknown class TNoSuchClass"},
      {"TProbeForm F {\n  TProbe X { Colour: 1 }\n}", 2, 14, "TProbe has no property Colour"},
      {"TProbeForm F {\n  TProbe X { Value: \"7\" }\n}", 2, 21, "Value expects a whole number"},
      {"TProbeForm F {\n  BorderStyle: bsRound\n}", 2, 16, "bsRound is not a value of BorderStyle"},
      {"TProbeForm F {\n  TProbe X { Link: Nobody }\n}", 2, 20, "Link refers to Nobody"},
      {"TProbeForm F {\n  TProbe X { OnPing: Unknown }\n}", 2, 22, "no handler named Unknown"},
      {"TProbeForm F {\n  TProbe X { OnPing: FormClose }\n}", 2, 22, "does not fit"},
      {"TProbeForm F {\n  Caption: \"open\n}", 2, 12, "closing quote"},
      {"TProbeForm F {\n  TProbe X { Value: 1 \n}", 3, 2, "a property or a component expected"},
      {"TProbeForm F {\n  TProbe X {}\n  TProbe X {}\n}", 3, 3, "A component named X already exists"},
      {"TProbeForm F {\n  Font: 3\n}", 2, 3, "Font is an object"},
      {"TOtherForm F {\n}", 1, 1, "describes a TOtherForm, not a TProbeForm"},
      {"TProbeForm F {\n  TProbe X { Value: 99999999999 }\n}", 2, 21, "out of range"},
      {"TProbeForm F {\n  TProbe X { Lines: [\"a\", 2] }\n}", 2, 27, "Lines expects a list of texts"},
  };
  for (const auto& c : cases) {
    g_trace.clear();
    TProbeForm form(nullptr);
    try {
      ReadDefinition(form, c.text, Handlers(form));
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const EDefinitionError& e) {
      EXPECT_EQ(e.Line(), c.line) << e.Message();
      EXPECT_EQ(e.Column(), c.column) << e.Message();
      EXPECT_NE(e.Message().find(c.says), std::string::npos) << e.Message();
    }
    EXPECT_EQ(form.ComponentCount(), 0) << c.text;
    EXPECT_FALSE(form.IsLoading());
  }
}

TEST(Properties, ReadAndSetByName) {
  RegisterProbes();
  TProbeForm form(nullptr);
  auto* probe = new TProbe(&form);
  SetPropertyValue(*probe, "value", Variant("41"));
  EXPECT_EQ(probe->Value(), 41);
  EXPECT_EQ(GetPropertyValue(*probe, "Value"), Variant(41));
  SetPropertyValue(form, "BorderStyle", Variant(static_cast<int>(bsDialog)));
  EXPECT_EQ(form.BorderStyle(), bsDialog);
  EXPECT_THROW(GetPropertyValue(*probe, "Nothing"), EPropertyError);
  EXPECT_THROW(GetPropertyValue(*probe, "Lines"), EPropertyError);
}

}  // namespace
