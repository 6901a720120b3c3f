// A report with an expression parser: formulas of data-bound texts and groups, the element in context, and what a
// component path reaches of the report.
#include "ReportTestSupport.h"

#include "core/Properties.h"
#include "data/DBRegistration.h"
#include "pages/RLConsts.h"
#include "report/RLParser.h"

#include <gtest/gtest.h>

namespace {

std::string ErrorOf(TRLExpressionParser& parser, const std::string& text) {
  try {
    parser.Evaluate(text);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

struct FormulaRig : ReportRig {
  TRowsDataSet* data;
  TDataSource* source;
  TRLBand* band;
  TRLDBText* text;
  TRLGroup* group;
  TRLExpressionParser* parser;

  FormulaRig() {
    RegisterDataClasses();
    data = new TRowsDataSet(&form, {"codigo", "cidade", "fone"},
                            {{"1", "Curitiba", "4132221100"}, {"2", "Londrina", "4333334444"}});
    data->SetName("QRel");
    source = new TDataSource(&form);
    source->SetName("DSQRel");
    source->SetDataSet(data);
    report->SetDataSource(source);
    group = Add<TRLGroup>(report, "RLGroup1");
    band = Add<TRLBand>(group, "RLBand1");
    text = Add<TRLDBText>(band, "RLDBText1");
    text->SetDataSource(source);
    parser = new TRLExpressionParser(&form);
    parser->SetName("Parser1");
    report->SetExpressionParser(parser);
    data->Open();
    Generating();
  }

  std::string Print(const std::string& formula, const std::string& mask = "") {
    text->SetDataFormula(formula);
    text->SetDisplayMask(mask);
    if (!text->CanPrint()) return "(not printed)";
    return text->Caption();
  }
};

TEST(ParserReport, DataBoundTextShowsTheFormulaOfTheCurrentRecordThroughItsMask) {
  FormulaRig rig;
  const struct {
    const char* formula;
    const char* mask;
    const char* expected;
  } cases[] = {
      {"cidade", "", "Curitiba"},
      {"CIDADE + ' (' + codigo + ')'", "", "Curitiba (1)"},
      {"codigo * 1234.5", "#,##0.00", "1,234.50"},
      {"codigo / 4", "", "0.25"},
      {"fone", "(00) 0000-0000;0;_", "(41) 3222-1100"},
      {"codigo = 1", "", "True"},
      {"null", "0.00", ""},
      {"DSQRel.cidade", "", "Curitiba"},
      {"QRel.fone", "", "4132221100"},
  };
  for (const auto& c : cases) EXPECT_EQ(rig.Print(c.formula, c.mask), c.expected) << c.formula;

  rig.data->Next();
  EXPECT_EQ(rig.Print("cidade + '/' + codigo"), "Londrina/2");
  // After the last record a data-bound text is empty, formula or not.
  rig.data->Next();
  EXPECT_EQ(rig.Print("cidade + '/' + codigo"), "");
}

TEST(ParserReport, GroupKeyIsTheFormulaAsText) {
  FormulaRig rig;
  rig.group->SetDataFields("codigo");
  rig.group->SetDataFormula("cidade + '-' + codigo");
  EXPECT_EQ(rig.group->DataFields(), "");
  EXPECT_EQ(rig.group->GroupKey(), "Curitiba-1");
  rig.data->Next();
  EXPECT_EQ(rig.group->GroupKey(), "Londrina-2");
  rig.group->SetDataFormula("codigo * 10");
  EXPECT_EQ(rig.group->GroupKey(), "20");
  rig.group->SetDataFormula("if(codigo > 1, 'big', 'small')");
  EXPECT_EQ(rig.group->GroupKey(), "big");
  // Errors in the formula reach the report run.
  rig.group->SetDataFormula("estado");
  try {
    rig.group->GroupKey();
    ADD_FAILURE() << "an undefined name gave a key";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Undefined identifier \"estado\"");
  }
}

TEST(ParserReport, FieldsComeFromTheElementInContextOrTheNearestElementAbove) {
  FormulaRig rig;
  // A second dataset on the text only: its fields hide the report's, the report's still answer for the rest.
  auto* other = new TRowsDataSet(&rig.form, {"cidade"}, {{"Maringá"}});
  auto* other_source = new TDataSource(&rig.form);
  other_source->SetDataSet(other);
  other->Open();
  rig.text->SetDataSource(other_source);
  EXPECT_EQ(rig.Print("cidade + ' ' + fone"), "Maringá 4132221100");
  // The group sees only the report's dataset; outside an evaluation there is no context at all.
  rig.group->SetDataFormula("cidade");
  EXPECT_EQ(rig.group->GroupKey(), "Curitiba");
  EXPECT_EQ(rig.report->ExpressionContext(), nullptr);
  EXPECT_EQ(ErrorOf(*rig.parser, "cidade"), "Undefined identifier \"cidade\"");
}

TEST(ParserReport, PathsReachElementsByFriendlyNameCaptionsFontsAndProperties) {
  FormulaRig rig;
  rig.report->SetPhase(rpIdle);
  TRLLabel* label = rig.Add<TRLLabel>(rig.band, "RLLabel1");
  label->SetCaption("Clientes");
  label->SetFriendlyName("Titulo");
  label->Font().SetName("Verdana");
  label->Font().SetSize(12);
  const struct {
    const char* formula;
    const char* expected;
  } cases[] = {
      {"RLLabel1", "Clientes"},
      {"Titulo", "Clientes"},
      {"Titulo.Font", "Verdana 12"},
      {"Titulo.Font.Name", "Verdana"},
      {"RLReport2.ExpressionParser", "[TRLExpressionParser]"},
      {"RLReport2.NextReport", "nil"},
      {"RLDBText1.DataSource.DataSet.cidade", "Curitiba"},
  };
  for (const auto& c : cases) EXPECT_EQ(rig.parser->Evaluate(c.formula).ToText(), c.expected) << c.formula;

  rig.parser->Evaluate("RLReport2.Title := Titulo + ' por cidade'; Titulo.Alignment := 'taCenter'");
  EXPECT_EQ(rig.report->Title(), "Clientes por cidade");
  EXPECT_EQ(label->Alignment(), TRLTextAlignment::taCenter);
}

TEST(ParserReport, BindingFollowsTheParserAssignedAndOutlivesNeitherSide) {
  FormulaRig rig;
  rig.text->SetDataFormula("cidade");
  auto* second = new TRLExpressionParser(&rig.form);
  rig.report->SetExpressionParser(second);
  EXPECT_EQ(rig.parser->Binding().Binder, nullptr);
  EXPECT_EQ(second->Binding().Binder, rig.report);
  ASSERT_TRUE(rig.text->CanPrint());
  EXPECT_EQ(rig.text->Caption(), "Curitiba");

  // A freed parser is forgotten: formulas are empty again.
  delete second;
  EXPECT_EQ(rig.report->ExpressionParser(), nullptr);
  EXPECT_TRUE(rig.report->EvaluateFormula("1", rig.text).IsNull());
  ASSERT_TRUE(rig.text->CanPrint());
  EXPECT_EQ(rig.text->Caption(), "");

  // A parser shared by two reports answers for the one that evaluates; a freed report leaves it unbound rather
  // than pointing at it.
  rig.report->SetExpressionParser(rig.parser);
  auto* other = new TRLReport(&rig.form);
  other->SetExpressionParser(rig.parser);
  EXPECT_EQ(rig.parser->Binding().Binder, other);
  delete other;
  EXPECT_EQ(rig.parser->Binding().Binder, nullptr);
  EXPECT_EQ(rig.parser->Evaluate("RLDBText1").ToText(), "[TRLDBText]") << "no report offers the caption";
  ASSERT_TRUE(rig.text->CanPrint());
  EXPECT_EQ(rig.text->Caption(), "Curitiba");
  EXPECT_EQ(rig.parser->Binding().Binder, rig.report);
}

TEST(ParserReport, PreparedReportGroupsAndPrintsByFormulas) {
  ReportRig rig;
  RegisterDataClasses();
  auto* data = new TRowsDataSet(&rig.form, {"codigo", "cidade"},
                                {{"1", "Apucarana"}, {"2", "Bituruna"}, {"3", "Castro"}, {"4", "Dois Vizinhos"}});
  auto* source = new TDataSource(&rig.form);
  source->SetDataSet(data);
  rig.report->SetDataSource(source);
  rig.report->SetShowProgress(false);
  rig.report->SetExpressionParser(new TRLExpressionParser(&rig.form));
  auto* group = rig.Add<TRLGroup>(rig.report, "Faixa");
  group->SetDataFormula("if(codigo > 2, 'alto', 'baixo')");
  auto* header = rig.Add<TRLBand>(group, "Cabecalho");
  header->SetBandType(btHeader);
  header->SetHeight(20);
  auto* heading = rig.Add<TRLDBText>(header, "Titulo");
  heading->SetDataSource(source);
  heading->SetDataFormula("'Faixa ' + if(codigo > 2, 'alta', 'baixa')");
  auto* detail = rig.Add<TRLBand>(group, "Detalhe");
  detail->SetHeight(16);
  auto* line = rig.Add<TRLDBText>(detail, "Linha");
  line->SetDataSource(source);
  line->SetDataFormula("codigo * 1.5");
  line->SetDisplayMask("0.00");
  line->SetText("# - ");
  auto* city = rig.Add<TRLDBText>(detail, "Cidade");
  city->SetLeft(100);
  city->SetDataSource(source);
  city->SetDataFormula("cidade");
  data->Open();

  ASSERT_TRUE(rig.report->Prepare()) << rig.report->PrepareErrorText();
  ASSERT_EQ(rig.report->Pages().PageCount(), 1);
  EXPECT_EQ(RecordedTexts(*rig.report->Pages().Pages(0)),
            (std::vector<std::string>{"Faixa baixa", "1.50 - ", "Apucarana", "3.00 - ", "Bituruna", "Faixa alta",
                                      "4.50 - ", "Castro", "6.00 - ", "Dois Vizinhos"}));

  // A formula that fails ends the generation with its message.
  group->SetDataFormula("codigo + estado");
  EXPECT_FALSE(rig.report->Prepare());
  EXPECT_EQ(rig.report->PrepareErrorText(),
            "RLReport2: " + EngineMessages().msgPrepareError + "\nUndefined identifier \"estado\"");
}

TEST(ParserReport, ParserIsAStoredProperty) {
  RegisterReportClasses();
  const TClassInfo* info = TPropertyRegistry::Instance().FindClass("TRLReport");
  ASSERT_NE(info, nullptr);
  const TPropertyInfo* property = info->FindProperty("ExpressionParser");
  ASSERT_NE(property, nullptr);
  EXPECT_EQ(property->Kind, TPropertyKind::Reference);
  TForm form(nullptr);
  auto* report = new TRLReport(&form);
  auto* parser = new TRLExpressionParser(&form);
  property->SetReference(*report, parser);
  EXPECT_EQ(report->ExpressionParser(), parser);
  EXPECT_TRUE(property->Stored(*report));
  const TClassInfo* parser_info = TPropertyRegistry::Instance().FindClass("TRLExpressionParser");
  ASSERT_NE(parser_info, nullptr);
  EXPECT_FALSE(parser_info->FindProperty("Options")->Stored(*parser));
  parser->SetOptions({});
  EXPECT_TRUE(parser_info->FindProperty("Options")->Stored(*parser));
}

}  // namespace
