#include "core/Properties.h"
#include "report/RLParser.h"
#include "widgets/Forms.h"
#include "widgets/StdCtrls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// What an evaluation gave: its value, or the message of the error it raised.
struct Outcome {
  Variant value;
  std::string error;
};

Outcome Attempt(TRLExpressionParser& parser, const std::string& text) {
  try {
    return {parser.Evaluate(text), {}};
  } catch (const Exception& e) {
    return {Variant(), e.Message()};
  }
}

::testing::AssertionResult Same(const Variant& expected, const Variant& actual) {
  if (expected.VarType() == Variant::Type::Float || actual.VarType() == Variant::Type::Float) {
    if (actual.IsNumeric() && std::fabs(expected.AsFloat() - actual.AsFloat()) < 1e-9) {
      return ::testing::AssertionSuccess();
    }
  } else if (expected.VarType() == actual.VarType() && expected == actual) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "expected " << Variant::TypeName(expected.VarType()) << " "
                                       << expected.ToText() << ", got " << Variant::TypeName(actual.VarType()) << " "
                                       << actual.ToText();
}

struct ValueCase {
  const char* text;
  Variant expected;
};

TEST(ParserValues, ExpressionsEvaluateByTheTableAndTheVariantRules) {
  const ValueCase cases[] = {
      // Powers and roots.
      {"2 ^ 3", 8.0},
      {"27 \\ 3", 3.0},
      {"2 ^ 3 ^ 2", 512.0},
      {"64 \\ 2 \\ 3", 2.0},
      // Equal priorities group to the left, except powers.
      {"10 - 3 - 2", 5.0},
      {"8 / 4 / 2", 1.0},
      {"8 div 4 div 2", 1.0},
      {"2 - 1 + 1", 2.0},
      {"100 / 10 / 5 * 2", 4.0},
      {"2 + 3 * 4", 14.0},
      {"(2 + 3) * 4", 20.0},
      {"2 * (1 + 2) - 1", 5.0},
      {"7 / 2", 3.5},
      // Prefix operators.
      {"-2 ^ 2", 4.0},
      {"- - 2", 2.0},
      {"2 * -3 + 1", -5.0},
      {"+'a'", "a"},
      {"not true", false},
      {"! - 1", 0LL},
      // Logic binds tighter than comparisons: 1 = (1 and 2) = 2, and 1 > (2 or 3) > 2.
      {"1 = 1 and 2 = 2", false},
      {"(1 = 1) and (2 = 2)", true},
      {"1 > 2 or 3 > 2", false},
      {"(1 > 2) or (3 > 2)", true},
      {"6 & 3", 2LL},
      {"6 | 3", 7LL},
      // Quoted texts, doubled quotes inside them.
      {"'It''s'", "It's"},
      {"\"say \"\"hi\"\"\"", "say \"hi\""},
      {"'a' + 'b'", "ab"},
      {"'unterminated", "unterminated"},
      // Number formats.
      {"1.5e+3", 1500.0},
      {"2E-1", 0.2},
      {"12.", 12.0},
      {"1e3-2", 998.0},
      // Comparisons: numbers by value, texts by bytes, a text beside a number by its number.
      {"'1' + 2", 3.0},
      {"'10' > 9", true},
      {"'b' > 'a'", true},
      {"'B' > 'a'", false},
      {"5 # 5", false},
      {"5 <> 4", true},
      {"3 >= 3", true},
      {"3 <= 2", false},
      {"1 < = 2", true},
      // Built-ins.
      {"minor(3, 1, 2)", 1.0},
      {"major(3, 1, 2)", 3.0},
      {"major('b', 'c', 'a')", "c"},
      {"minor(7)", 7.0},
      {"pi", 3.14159265358979},
      {"TRUE", true},
      {"null", Variant::Null()},
      {"null + 1", Variant::Null()},
      {"if(1 > 2, 'a', 'b')", "b"},
      {"if(2 > 1, 'a', 'b') + '!'", "a!"},
      // Blocks give the value of their last statement; the whole text may be a list of statements.
      {"begin x := 5; x * 2 end", 10.0},
      {"{ y := 1; { y := y + 1; y * 10 } }", 20.0},
      {"a := 2; a + 1", 3.0},
      {"{ }", Variant()},
      {"", Variant()},
      {"  \t\r\n ", Variant()},
  };
  for (const auto& c : cases) {
    TRLExpressionParser parser(nullptr);
    Outcome got = Attempt(parser, c.text);
    EXPECT_EQ(got.error, "") << c.text;
    EXPECT_TRUE(Same(c.expected, got.value)) << c.text;
  }
}

struct ErrorCase {
  const char* text;
  const char* message;
};

TEST(ParserErrors, FaultsRaiseTheirMessages) {
  const ErrorCase cases[] = {
      {"1.2.3", "Incorrect number format at 4!"},
      {"1e5e2", "Incorrect number format at 4!"},
      {"1e+-2", "Incorrect number format at 4!"},
      {"1.5e3.", "Incorrect number format at 6!"},
      {"2e", "Incorrect number format at 3!"},
      {"foo", "Undefined identifier \"foo\""},
      {"1 + Cliente.Nome", "Undefined identifier \"Cliente.Nome\""},
      {"if(1, 2)", "Wrong number of arguments"},
      {"if", "Wrong number of arguments"},
      {"2 := 3", "Left side cannot be Assigned"},
      {"a + b := 3", "Left side cannot be Assigned"},
      {"(1 + 2", "Brackets expected at 7!"},
      {"(1 + 2}", "Brackets expected at 7!"},
      {"1 + 2)", "Brackets expected at 6!"},
      {"(1, 2)", "Parameter list not suported at 3!"},
      {"{1; 2", "Inline expected at 6!"},
      {"{1; 2)", "Inline expected at 6!"},
      {"1 }", "Inline expected at 3!"},
      {"1 +", "Operand expected at 4!"},
      {"* 2", "Operand expected at 1!"},
      {"1 2", "Operator expected at 3!"},
      {"(1) (2)", "Operator expected at 5!"},
      {"1 / 0", "Floating point division by zero"},
      {"(0 - 8) \\ 3", "Invalid floating point operation"},
      {"'abc' * 2", "'abc' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    TRLExpressionParser parser(nullptr);
    Outcome got = Attempt(parser, c.text);
    EXPECT_EQ(got.error, c.message) << c.text;
  }
}

TEST(ParserErrors, AreParserErrorsThatAHandlerMayTurnIntoAValue) {
  TRLExpressionParser parser(nullptr);
  EXPECT_THROW(parser.Evaluate("nothing"), ERLParserError);

  std::string seen;
  parser.OnException = [&](TObject* sender, Exception& e, Variant& result) {
    EXPECT_EQ(sender, &parser);
    seen = e.Message();
    result = "?";
  };
  EXPECT_TRUE(Same("?", parser.Evaluate("1 + nothing")));
  EXPECT_EQ(seen, "Undefined identifier \"nothing\"");
  EXPECT_TRUE(Same("?", parser.Evaluate("(1")));
  EXPECT_EQ(seen, "Brackets expected at 3!");
}

TEST(ParserVariables, PersistBetweenEvaluationsUntilCleared) {
  TRLExpressionParser parser(nullptr);
  EXPECT_TRUE(Same(10.0, parser.Evaluate("{ x := 5; x * 2 }")));
  EXPECT_TRUE(Same(5.0, parser.Evaluate("x")));
  EXPECT_TRUE(Same(5.0, parser.Evaluate("X")));
  // A second assignment replaces the variable; ":=" groups to the right and gives the value assigned.
  EXPECT_TRUE(Same(3.0, parser.Evaluate("x := y := 3")));
  EXPECT_TRUE(Same(6.0, parser.Evaluate("x + y")));
  EXPECT_EQ(parser.Variables().Count(), 2);
  parser.Clear();
  EXPECT_EQ(Attempt(parser, "x").error, "Undefined identifier \"x\"");
}

TEST(ParserConditional, EvaluatesOnlyTheBranchItTakes) {
  TRLExpressionParser parser(nullptr);
  EXPECT_TRUE(Same("b", parser.Evaluate("if(1 > 2, { taken := 'then'; 'a' }, { taken := 'else'; 'b' })")));
  EXPECT_TRUE(Same("else", parser.Evaluate("taken")));
  // The branch not taken may even be an error.
  EXPECT_TRUE(Same(1.0, parser.Evaluate("if(true, 1, undefinedthing)")));
  // Operators always evaluate both sides.
  EXPECT_TRUE(Same(false, parser.Evaluate("false and (both := 1) = 1")));
  EXPECT_TRUE(Same(1.0, parser.Evaluate("both")));
}

TEST(ParserEvents, IdentifiersResolveInOrder) {
  TRLExpressionParser parser(nullptr);
  std::vector<std::string> unknown;
  parser.OnUnknown = [&](TObject*, const std::string& name, const Variant& params, Variant& result) {
    unknown.push_back(name);
    if (name == "twice") result = VarMul(params.AsArray().at(0), Variant(2));
  };
  EXPECT_TRUE(Same(14.0, parser.Evaluate("twice(3 + 4)")));
  EXPECT_EQ(Attempt(parser, "other").error, "Undefined identifier \"other\"");
  EXPECT_EQ(unknown, (std::vector<std::string>{"twice", "other"}));

  // Variables come before built-ins; OnIdentifier comes before everything.
  EXPECT_TRUE(Same(3.0, parser.Evaluate("pi := 3; pi")));
  parser.OnIdentifier = [](TObject*, const std::string& name, const Variant& params, Variant& result) {
    if (name == "pi") result = "mine";
    if (name == "args")
      result = params.IsEmpty() ? Variant("none") : Variant(static_cast<int>(params.AsArray().size()));
  };
  EXPECT_TRUE(Same("mine", parser.Evaluate("pi")));
  EXPECT_TRUE(Same("none", parser.Evaluate("args")));
  EXPECT_TRUE(Same(2LL, parser.Evaluate("args(1, 'x')")));
}

TEST(ParserEvents, TokensMayBeRewrittenBeforeTheTreeIsBuilt) {
  TRLExpressionParser parser(nullptr);
  parser.OnToken = [](TObject*, std::string& token, TRLParserTokenKind& kind) {
    if (kind == tkIdentifier && token == "mais") {
      token = "+";
      kind = tkOperator;
    }
  };
  EXPECT_TRUE(Same(5.0, parser.Evaluate("2 mais 3")));
  // Keywords are operators before the hooks see them.
  std::vector<std::string> seen;
  parser.OnToken = [&](TObject*, std::string& token, TRLParserTokenKind&) { seen.push_back(token); };
  parser.Evaluate("not 1 AND 2 Or 3 <= 4");
  EXPECT_EQ(seen, (std::vector<std::string>{"!", "1", "&", "2", "|", "3", "<=", "4"}));
}

TEST(ParserFunctions, UserFunctionsTakeTheirArgumentsInOrder) {
  TRLExpressionParser parser(nullptr);
  parser.Functions().Add("area", {"w", "h"}, "w * h");
  parser.Functions().Add("half", {"n"}, "n / 2");
  EXPECT_TRUE(Same(12.0, parser.Evaluate("area(3, 4)")));
  EXPECT_TRUE(Same(6.0, parser.Evaluate("half(area(3, 4))")));
  // Parameters are gone once the call is over.
  EXPECT_EQ(Attempt(parser, "area(1, 2) + w").error, "Undefined identifier \"w\"");

  // A function that calls itself for ever is stopped.
  parser.Functions().Add("forever", {"n"}, "forever(n + 1)");
  EXPECT_EQ(Attempt(parser, "forever(0)").error.rfind("Expression nested too deeply", 0), 0u);
  EXPECT_TRUE(Same(12.0, parser.Evaluate("area(3, 4)")));
}

TEST(ParserLimits, DeepOrLongInputIsRefusedCleanly) {
  TRLExpressionParser parser(nullptr);
  const int deep = 100000;
  EXPECT_EQ(Attempt(parser, std::string(deep, '(') + "1" + std::string(deep, ')'))
                .error.rfind("Expression nested too deeply", 0),
            0u);
  EXPECT_EQ(Attempt(parser, std::string(deep, '{') + "1" + std::string(deep, '}'))
                .error.rfind("Expression nested too deeply", 0),
            0u);
  EXPECT_EQ(Attempt(parser, std::string(deep, '-') + "1").error.rfind("Expression nested too deeply", 0), 0u);
  // Brackets and prefix operators nest together; so do brackets inside argument lists.
  std::string mixed;
  for (int i = 0; i < TRLExpressionParser::MaxDepth; ++i) mixed += "-(";
  mixed += "1" + std::string(TRLExpressionParser::MaxDepth, ')');
  EXPECT_EQ(Attempt(parser, mixed).error.rfind("Expression nested too deeply", 0), 0u);
  std::string calls;
  for (int i = 0; i < TRLExpressionParser::MaxDepth + 1; ++i) calls += "minor(";
  calls += "1" + std::string(TRLExpressionParser::MaxDepth + 1, ')');
  EXPECT_EQ(Attempt(parser, calls).error.rfind("Expression nested too deeply", 0), 0u);

  // What stays within the limit still works, and long flat input is no problem.
  const int fits = TRLExpressionParser::MaxDepth - 2;
  EXPECT_TRUE(Same(1.0, parser.Evaluate(std::string(fits, '(') + "1" + std::string(fits, ')'))));
  std::string flat = "{";
  for (int i = 0; i < deep; ++i) flat += "n := " + std::to_string(i) + ";";
  EXPECT_TRUE(Same(static_cast<double>(deep - 1), parser.Evaluate(flat + "n}")));
  EXPECT_TRUE(Same(std::string(deep, 'x'), parser.Evaluate("'" + std::string(deep, 'x') + "'")));
}

// A chain of operators is no nesting, however long: it evaluates, left to right, without deep recursion.
TEST(ParserLimits, LongFlatChainsEvaluate) {
  TRLExpressionParser parser(nullptr);
  auto chain = [](const std::string& first, const std::string& link, int terms) {
    std::string text = first;
    for (int i = 1; i < terms; ++i) text += link;
    return text;
  };
  struct Case {
    std::string text;
    Variant expected;
  };
  const Case chains[] = {
      {chain("1", "+1", 100), 100.0},           {chain("1", "+1", 300), 300.0},
      {chain("1", "+1", 1000), 1000.0},         {chain("1", "+1", 100000), 100000.0},
      {chain("100000", "-1", 100000), 1.0},     {chain("1", " * 2", 31), 1073741824.0},
      {chain("1", "+2*3", 1000), 5995.0},       {chain("-1", "+-1", 1000), -1000.0},
      {chain("(1)", "+(1)", 1000), 1000.0},     {chain("'a'", "+'a'", 1000), std::string(1000, 'a')},
      {chain("true", " and true", 1000), true}, {"{" + chain("x := 1", "; x := x + 1", 1000) + "}", 1000.0},
  };
  for (const Case& k : chains) {
    SCOPED_TRACE(k.text.substr(0, 40));
    const Outcome result = Attempt(parser, k.text);
    EXPECT_EQ(result.error, "");
    EXPECT_TRUE(Same(k.expected, result.value));
  }
}

TEST(ParserExpression, ValueKeepsTheTreeUntilTheTextChanges) {
  TRLExpressionParser parser(nullptr);
  int asked = 0;
  parser.OnToken = [&](TObject*, std::string&, TRLParserTokenKind&) { ++asked; };
  parser.SetExpression("n := n + 1");
  parser.Evaluate("n := 0");
  asked = 0;
  EXPECT_TRUE(Same(1.0, parser.Value()));
  EXPECT_TRUE(Same(2.0, parser.Value()));
  EXPECT_EQ(asked, 5);  // read once: n, :=, n, +, 1
  parser.SetExpression("n * 10");
  EXPECT_TRUE(Same(20.0, parser.Value()));
}

// ---- Components and published properties ----

class ParserComponents : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterFrameworkClasses();
    RegisterExpressionParserClass();
    form.SetName("Form1");
    label = new TLabel(&form);
    label->SetName("Label1");
    label->SetCaption("Nome");
    edit = new TEdit(&form);
    edit->SetName("Edit1");
    parser = new TRLExpressionParser(&form);
  }
  TForm form{nullptr};
  TLabel* label = nullptr;
  TEdit* edit = nullptr;
  TRLExpressionParser* parser = nullptr;
};

TEST_F(ParserComponents, PathsReadPublishedPropertiesByType) {
  label->SetTag(7);
  label->Font().SetName("Verdana");
  label->SetAlignment(taCenter);
  const ValueCase cases[] = {
      {"Label1.Caption", "Nome"},
      {"Form1.Label1.Caption", "Nome"},
      {"label1.caption", "Nome"},
      {"Label1.Alignment", "taCenter"},
      {"Label1.Visible", true},
      {"Label1.Tag", 7.0},
      {"Label1.Font.Name", "Verdana"},
      {"Label1.Font.Style", "[]"},
      {"Label1.Font", "[TFont]"},
      {"Label1", "[TLabel]"},
      {"Caption", ""},
      {"Label1.Caption + ':'", "Nome:"},
  };
  for (const auto& c : cases) {
    Outcome got = Attempt(*parser, c.text);
    EXPECT_EQ(got.error, "") << c.text;
    EXPECT_TRUE(Same(c.expected, got.value)) << c.text;
  }
  EXPECT_EQ(Attempt(*parser, "Label1.Nothing").error, "Undefined identifier \"Label1.Nothing\"");
  EXPECT_EQ(Attempt(*parser, "Label1..Caption").error, "Undefined identifier \"Label1..Caption\"");
  // Without the option, paths are not looked at.
  parser->SetOptions({});
  EXPECT_EQ(Attempt(*parser, "Label1.Caption").error, "Undefined identifier \"Label1.Caption\"");
}

TEST_F(ParserComponents, AssignmentsSetPublishedPropertiesByType) {
  parser->Evaluate("Label1.Caption := 'Cidade'");
  EXPECT_EQ(label->Caption(), "Cidade");
  parser->Evaluate("Label1.Alignment := 'taRightJustify'");
  EXPECT_EQ(label->Alignment(), taRightJustify);
  parser->Evaluate("Label1.Left := 12.4 + 1");
  EXPECT_EQ(label->Left(), 13);
  parser->Evaluate("Label1.Font.Style := '[fsBold, fsItalic]'");
  EXPECT_TRUE(Same("[fsBold, fsItalic]", parser->Evaluate("Label1.Font.Style")));
  parser->Evaluate("Label1.Font.Color := 'clRed'");
  EXPECT_EQ(label->Font().Color(), clRed);
  parser->Evaluate("Label1.Visible := 1 > 2");
  EXPECT_FALSE(label->Visible());
  parser->Evaluate("Edit1.Text := Label1.Caption + '!'");
  EXPECT_EQ(edit->GetText(), "Cidade!");
  parser->Evaluate("Label1.Tag := 2 ^ 40");
  EXPECT_EQ(label->Tag(), 1LL << 40);
  // A name that is no property is a variable; the label keeps its caption.
  EXPECT_TRUE(Same(1.0, parser->Evaluate("Label1.Other := 1")));
  EXPECT_EQ(parser->Variables().Count(), 1);

  EXPECT_EQ(Attempt(*parser, "Label1.Alignment := 'taMiddle'").error,
            "Invalid value \"taMiddle\" for property Alignment");
  EXPECT_EQ(Attempt(*parser, "Label1.Font := 1").error, "Property Font cannot be assigned");
  EXPECT_EQ(label->Alignment(), taRightJustify);
}

}  // namespace
