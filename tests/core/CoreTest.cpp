#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/ScopeGuard.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/Variant.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <vector>

namespace {

// Records what it hears about other components.
class Listener : public TComponent {
public:
  using TComponent::TComponent;
  TComponent* watched = nullptr;
  std::vector<std::string> heard;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == watched) {
      watched = nullptr;
      heard.push_back("removed");
    }
  }
};

TEST(ComponentModel, OwnerDeletesWhatItOwnsAndSiblingsForgetRemovedOnes) {
  auto* owner = new TComponent(nullptr);
  auto* a = new Listener(owner);
  auto* b = new TComponent(owner);
  a->watched = b;
  delete b;  // leaves the owner, which tells its other components
  EXPECT_EQ(a->watched, nullptr);
  EXPECT_EQ(owner->ComponentCount(), 1);
  delete owner;  // deletes `a`; ASan reports a leak otherwise
}

TEST(ComponentModel, FreeNotificationAcrossOwners) {
  TComponent form1(nullptr), form2(nullptr);
  auto* listener = new Listener(&form1);
  auto* target = new TComponent(&form2);
  listener->watched = target;
  listener->FreeNotification(target);
  delete target;
  EXPECT_EQ(listener->watched, nullptr);
  EXPECT_EQ(listener->heard, std::vector<std::string>{"removed"});
}

TEST(ComponentModel, ListenerDestroyedFirstIsNotCalledLater) {
  TComponent form1(nullptr), form2(nullptr);
  auto* gone = new Listener(&form1);
  auto* staying = new Listener(&form1);
  auto* target = new TComponent(&form2);
  gone->FreeNotification(target);
  staying->FreeNotification(target);
  staying->watched = target;
  delete gone;
  delete target;  // reaches the listener that is still there, not the deleted one (ASan would see it)
  EXPECT_EQ(staying->heard, std::vector<std::string>{"removed"});
}

TEST(ComponentModel, NamesAreIdentifiersAndUniqueWithinTheOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("QRel");
  auto* b = new TComponent(&owner);
  EXPECT_THROW(b->SetName("qrel"), EComponentError);
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  b->SetName("QCidades");
  EXPECT_EQ(owner.FindComponent("QCIDADES"), b);
  EXPECT_EQ(owner.FindComponent("nothing"), nullptr);
  EXPECT_EQ(a->ClassName(), "TComponent");
}

// Three classes: two with bits of their own, a third that inherits its base's. Each constructor and destructor
// body writes down how both kinds of cast see the object at that moment.
struct CastProbe {
  std::string stage;
  bool marked_by_bit, marked_by_dynamic_cast, leaf_by_bit, leaf_by_dynamic_cast;
};
std::vector<CastProbe>* cast_probes = nullptr;

class MarkedBase : public TComponent {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<MarkedBase>()};

public:
  using ClassBitOwner = MarkedBase;
  explicit MarkedBase(TComponent* owner) : TComponent(owner) { Probe("base constructor"); }
  ~MarkedBase() override { Probe("base destructor"); }
  void Probe(const std::string& stage);
};

class Marked : public MarkedBase {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<Marked>()};

public:
  using ClassBitOwner = Marked;
  explicit Marked(TComponent* owner) : MarkedBase(owner) { Probe("constructor"); }
  ~Marked() override { Probe("destructor"); }
};

class MarkedLeaf : public Marked {
public:
  using Marked::Marked;
};

void MarkedBase::Probe(const std::string& stage) {
  if (!cast_probes) return;
  TComponent* self = this;
  cast_probes->push_back({stage, ComponentCast<Marked>(self) != nullptr, dynamic_cast<Marked*>(self) != nullptr,
                          ComponentCast<MarkedLeaf>(self) != nullptr, dynamic_cast<MarkedLeaf*>(self) != nullptr});
}

TEST(ComponentModel, ClassBitCastsAnswerAsDynamicCastsDo) {
  std::vector<CastProbe> probes;
  cast_probes = &probes;
  {
    MarkedLeaf leaf(nullptr);
    leaf.Probe("alive");
    const TComponent* as_const = &leaf;
    EXPECT_EQ(ComponentCast<MarkedBase>(as_const), &leaf);
    EXPECT_EQ(ComponentCast<MarkedLeaf>(as_const), &leaf);
    MarkedBase base(nullptr);
    TComponent* plain = &base;
    EXPECT_EQ(ComponentCast<Marked>(plain), nullptr);
    EXPECT_EQ(ComponentCast<MarkedLeaf>(plain), nullptr);
    EXPECT_EQ(ComponentCast<Marked>(static_cast<TComponent*>(nullptr)), nullptr);
  }
  cast_probes = nullptr;
  Marked not_a_leaf(nullptr);
  EXPECT_EQ(ComponentCast<MarkedLeaf>(static_cast<TComponent*>(&not_a_leaf)), nullptr);
  cast_probes = nullptr;
  const std::vector<std::string> stages = {"base constructor", "constructor", "alive",          "base constructor",
                                           "base destructor",  "destructor",  "base destructor"};
  ASSERT_EQ(probes.size(), stages.size());
  for (std::size_t i = 0; i < probes.size(); ++i) {
    SCOPED_TRACE(probes[i].stage);
    EXPECT_EQ(probes[i].stage, stages[i]);
    EXPECT_EQ(probes[i].marked_by_bit, probes[i].marked_by_dynamic_cast);
    EXPECT_EQ(probes[i].leaf_by_bit, probes[i].leaf_by_dynamic_cast);
  }
  EXPECT_TRUE(probes[2].marked_by_bit);
  EXPECT_FALSE(probes[0].marked_by_bit);
  EXPECT_FALSE(probes[6].marked_by_bit);
}

TEST(Format, FillsPlaceholdersInOrder) {
  struct Case {
    const char* pattern;
    std::initializer_list<FormatArg> args;
    const char* expected;
  };
  const Case cases[] = {
      {"Campo '%s' não encontrado", {"cidade"}, "Campo 'cidade' não encontrado"},
      {"List index out of bounds (%d)", {-1}, "List index out of bounds (-1)"},
      {"Tamanho sem combinação para campo ' %s ', esperando: %d atual: %d",
       {"nome", 4, 8},
       "Tamanho sem combinação para campo ' nome ', esperando: 4 atual: 8"},
      {"%x and 100%%", {0x2201}, "2201 and 100%"},
      {"%s: %s", {"QRel"}, "QRel: %s"},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.pattern, c.args), c.expected) << c.pattern;
}

TEST(Variant, ConversionsFollowOneSetOfRules) {
  EXPECT_EQ(Variant().AsString(), "");
  EXPECT_EQ(Variant(42).AsString(), "42");
  EXPECT_EQ(Variant(0.1).AsString(), "0.1");
  EXPECT_EQ(Variant(1e20).AsString(), "1E20");
  EXPECT_EQ(Variant(true).AsString(), "True");
  EXPECT_EQ(Variant(" 12 ").AsInteger(), 12);
  EXPECT_DOUBLE_EQ(Variant("2.5").AsFloat(), 2.5);
  EXPECT_EQ(Variant(2.5).AsInteger(), 2);  // halves to even
  EXPECT_EQ(Variant(3.5).AsInteger(), 4);
  EXPECT_THROW(Variant("abc").AsInteger(), EConvertError);
  EXPECT_THROW(Variant("1x").AsFloat(), EConvertError);
  EXPECT_THROW(Variant("nan").AsFloat(), EConvertError);
  EXPECT_THROW(Variant::Null().AsString(), EVariantError);
  EXPECT_EQ(Variant::Null().ToText(), "");
  EXPECT_EQ(Variant(std::vector<Variant>{1, "a"}).ToText(), "1;a");
}

// Qt sets the process's locale from the user's at start-up; a Brazilian locale writes decimals with a comma.
TEST(Variant, NumbersIgnoreTheProcessLocale) {
  const std::string saved = setlocale(LC_NUMERIC, nullptr);
  TScopeExit restore([&saved] { setlocale(LC_NUMERIC, saved.c_str()); });
  if (!setlocale(LC_NUMERIC, "pt_BR.UTF-8")) GTEST_SKIP() << "no pt_BR.UTF-8 locale on this machine";
  double value = 0;
  bool parsed = TryStrToFloat("1.5", value);
  std::string text = FloatToStr(2.25);
  EXPECT_TRUE(parsed);
  EXPECT_DOUBLE_EQ(value, 1.5);
  EXPECT_EQ(text, "2.25");
}

TEST(Variant, Comparison) {
  struct Case {
    Variant a, b;
    int expected;
  };
  const Case cases[] = {
      {1, 2, -1},
      {2.5, 2, 1},
      {"10", 9, 1},
      {"abc", "abd", -1},
      {Variant::Null(), 0, -1},
      {Variant(), Variant::Null(), -1},
      {true, 0, -1},
      {"x", "x", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.a.Compare(c.b), c.expected) << c.a.ToText() << " vs " << c.b.ToText();
  EXPECT_EQ(Variant::Null(), Variant::Null());
  EXPECT_NE(Variant::Null(), Variant());
  EXPECT_NE(Variant(0), Variant());
}

TEST(Strings, LinesValuesAndBounds) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.Add("select *");
  list.Add("from acadclie");
  EXPECT_EQ(list.Text(), "select *\nfrom acadclie\n");
  EXPECT_EQ(changes, 2);
  list.SetText("a=1\r\nB=2\rc");
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Values("b"), "2");
  list.SetValue("A", "");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.Strings(2), EListError);
  try {
    list.Delete(-1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (-1)");
  }
}

TEST(Text, CaseWorksOnCodePoints) {
  EXPECT_TRUE(SameText("SÃO PAULO", "são paulo"));
  EXPECT_FALSE(SameText("Sao Paulo", "São Paulo"));
  EXPECT_EQ(AnsiUpperCase("ribeirão preto"), "RIBEIRÃO PRETO");
  EXPECT_EQ(CharCount("Goiânia"), 7);
  EXPECT_EQ(Trim("  x \t"), "x");
  EXPECT_EQ(SplitText("a;;b", ';'), (std::vector<std::string>{"a", "", "b"}));
}

TEST(Text, RoundHalfEven) {
  const std::pair<double, long long> cases[] = {{0.5, 0},   {1.5, 2},     {2.5, 2}, {-2.5, -2},
                                                {-1.5, -2}, {18.897, 19}, {2.49, 2}};
  for (auto [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << value;
  EXPECT_EQ(RoundHalfEven(-9223372036854775808.0), std::numeric_limits<long long>::min());
  for (double beyond : {9223372036854775808.0, -9223372036854777856.0, 1e300, std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_THROW(RoundHalfEven(beyond), EConvertError) << beyond;
  }
}

}  // namespace
