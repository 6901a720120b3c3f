#include "pages/RLConsts.h"
#include "pages/RLTypes.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

struct PaperCase {
  double width, height;
  TRLPaperSize expected;
};

TEST(PaperTable, FindPaperSizeMatchesOnlyRealDeviceSizes) {
  const PaperCase cases[] = {
      {210, 297, TRLPaperSize::fpA4},          // before fpA4_Small and fpA4_Transverse
      {210.005, 296.996, TRLPaperSize::fpA4},  // within 0.01 in total
      {210.02, 297, TRLPaperSize::fpCustom},   // 0.02 is too far
      {215.9, 279.4, TRLPaperSize::fpLetter}, {297, 420, TRLPaperSize::fpA3},
      {228.6, 279.4, TRLPaperSize::fp9x11},   {176, 125, TRLPaperSize::fpEnv_B6},
      {128, 182, TRLPaperSize::fpB6_JIS},     {74, 105, TRLPaperSize::fpCustom},  // fpA7 has no device code
      {841, 1189, TRLPaperSize::fpCustom},                                        // fpA0 neither
      {100, 100, TRLPaperSize::fpCustom},     {0, 0, TRLPaperSize::fpCustom},     // fpCustom's own row does not match
      {-1, -1, TRLPaperSize::fpDefault},      {-0.5, 297, TRLPaperSize::fpDefault},
      {210, -3, TRLPaperSize::fpDefault},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindPaperSize(c.width, c.height), c.expected) << c.width << " x " << c.height;
  }
}

TEST(PaperTable, RowsFollowTheEnumerationAndCodesClearTheEmulatedFlag) {
  EXPECT_EQ(PaperSizeCount, 142);
  EXPECT_EQ(PaperInfo(TRLPaperSize::fpA4).DeviceCode, 9);
  EXPECT_EQ(PaperInfo(TRLPaperSize::fpLetter).DeviceCode, 1);
  EXPECT_EQ(PaperInfo(TRLPaperSize::fpLetter_Small).DeviceCode, 2);
  EXPECT_DOUBLE_EQ(PaperInfo(TRLPaperSize::fpA3_Extra).Width, 322.44);
  EXPECT_DOUBLE_EQ(PaperInfo(TRLPaperSize::fpEng_Imperial).Height, 559);
  EXPECT_DOUBLE_EQ(PaperInfo(TRLPaperSize::fpDefault).Width, -1);
  EXPECT_EQ(PaperInfo(TRLPaperSize::fpCustom).DeviceCode, 256);
  EXPECT_TRUE(PaperInfo(TRLPaperSize::fpA7).Emulated);
  for (int i = 0; i < PaperSizeCount; ++i) {
    const TRLPaperInfo& row = PaperInfo(static_cast<TRLPaperSize>(i));
    EXPECT_EQ(row.Emulated, row.DeviceCode == 0) << i;
  }
}

TEST(PaperTable, DeviceSettingsUseTheRowOrTheGivenCustomSize) {
  auto a4 = PaperDeviceSettings(true, 210, 297);
  EXPECT_EQ(a4.DeviceCode, 9);
  EXPECT_EQ(a4.Orientation, 2);
  auto letter = PaperDeviceSettings(false, 215.905, 279.4);
  EXPECT_EQ(letter.DeviceCode, 1);
  EXPECT_DOUBLE_EQ(letter.Width, 215.9);
  EXPECT_EQ(letter.Orientation, 1);
  auto custom = PaperDeviceSettings(false, 100, 150);
  EXPECT_EQ(custom.DeviceCode, 256);
  EXPECT_DOUBLE_EQ(custom.Width, 100);
  EXPECT_DOUBLE_EQ(custom.Height, 150);
}

TEST(Units, MillimetresBecomePixelsRoundingHalvesToEven) {
  const std::pair<double, int> cases[] = {{210, 794}, {297, 1123}, {5, 19}, {10, 38}, {0, 0}, {25.4, 96}, {-5, -19}};
  for (auto [mm, px] : cases) EXPECT_EQ(MMToPixels(mm), px) << mm;
  EXPECT_EQ(DeviceToScreenPixels(4961, 600), 794);
  EXPECT_EQ(DeviceToScreenPixels(300, 300), 96);
}

TEST(PageSetup, SizeWidthHeightAndOrientationRules) {
  TRLPageSetup setup;
  int changes = 0;
  setup.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(setup.PaperSize(), TRLPaperSize::fpA4);
  EXPECT_DOUBLE_EQ(setup.PaperWidth(), 210);
  EXPECT_DOUBLE_EQ(setup.PaperHeight(), 297);

  setup.SetPaperWidth(300);  // not custom: ignored
  EXPECT_DOUBLE_EQ(setup.PaperWidth(), 210);
  EXPECT_EQ(changes, 0);

  setup.SetPaperSize(TRLPaperSize::fpCustom);  // keeps the previous size
  EXPECT_DOUBLE_EQ(setup.PaperWidth(), 210);
  EXPECT_DOUBLE_EQ(setup.PaperHeight(), 297);
  setup.SetPaperWidth(300);
  setup.SetPaperHeight(-2);  // not positive: ignored
  EXPECT_DOUBLE_EQ(setup.PaperWidth(), 300);
  EXPECT_DOUBLE_EQ(setup.PaperHeight(), 297);
  EXPECT_TRUE(setup.IsPaperDimensionStored());
  EXPECT_EQ(changes, 2);

  setup.SetPaperSize(TRLPaperSize::fpDefault);
  EXPECT_DOUBLE_EQ(setup.PaperWidth(), -1);
  EXPECT_DOUBLE_EQ(setup.PaperHeight(), -1);

  setup.SetPaperSize(TRLPaperSize::fpA4);
  setup.SetOrientation(TRLPageOrientation::poLandscape);
  EXPECT_DOUBLE_EQ(setup.OrientedWidth(), 297);
  EXPECT_DOUBLE_EQ(setup.OrientedHeight(), 210);
  EXPECT_EQ(MMToPixels(setup.OrientedWidth()), 1123);
  EXPECT_EQ(MMToPixels(setup.OrientedHeight()), 794);
}

TEST(PageSetup, AssignCopiesACustomSizeThroughTheSetters) {
  TRLPageSetup source;
  source.SetPaperSize(TRLPaperSize::fpCustom);
  source.SetPaperWidth(100);
  source.SetPaperHeight(150);
  source.SetOrientation(TRLPageOrientation::poLandscape);
  source.SetForceEmulation(true);
  TRLPageSetup copy;
  copy.Assign(source);
  EXPECT_EQ(copy.PaperSize(), TRLPaperSize::fpCustom);
  EXPECT_DOUBLE_EQ(copy.PaperWidth(), 100);
  EXPECT_DOUBLE_EQ(copy.PaperHeight(), 150);
  EXPECT_EQ(copy.Orientation(), TRLPageOrientation::poLandscape);
  EXPECT_TRUE(copy.ForceEmulation());
}

TEST(EngineMessages, LanguageFollowsTheLocaleName) {
  const std::pair<const char*, TRLLanguage> cases[] = {
      {"pt_BR.UTF-8", TRLLanguage::Portuguese},
      {"pt_PT", TRLLanguage::Portuguese},
      {"pt", TRLLanguage::Portuguese},
      {"PT_br.utf8", TRLLanguage::Portuguese},
      {"es_ES.UTF-8", TRLLanguage::Spanish},
      {"es_AR", TRLLanguage::Spanish},
      {"fr_CA.UTF-8@euro", TRLLanguage::French},
      {"fr", TRLLanguage::French},
      {"en_US.UTF-8", TRLLanguage::English},
      {"de_DE.UTF-8", TRLLanguage::English},
      {"C", TRLLanguage::English},
      {"POSIX", TRLLanguage::English},
      {"", TRLLanguage::English},
      {"pl_PL", TRLLanguage::English},
      {"est_EE", TRLLanguage::English},
  };
  for (auto [locale, language] : cases) EXPECT_EQ(LanguageFromLocale(locale), language) << locale;
}

TEST(EngineMessages, ProcessLocaleTakesTheFirstSetVariable) {
  struct Case {
    const char *all, *messages, *lang;
    TRLLanguage expected;
  };
  const Case cases[] = {
      {"fr_FR.UTF-8", "pt_BR", "es_ES", TRLLanguage::French},  {"", "pt_BR.UTF-8", "es_ES", TRLLanguage::Portuguese},
      {nullptr, nullptr, "es_ES.UTF-8", TRLLanguage::Spanish}, {nullptr, nullptr, "de_DE", TRLLanguage::English},
      {nullptr, nullptr, nullptr, TRLLanguage::English},
  };
  for (const auto& c : cases) {
    ScopedEnv all("LC_ALL", c.all), messages("LC_MESSAGES", c.messages), lang("LANG", c.lang);
    EXPECT_EQ(ProcessLanguage(), c.expected);
  }
}

TEST(EngineMessages, EachLanguageHasItsOwnTexts) {
  TRLEngineMessages pt, en, es, fr;
  FillEngineMessages(pt, TRLLanguage::Portuguese);
  FillEngineMessages(en, TRLLanguage::English);
  FillEngineMessages(es, TRLLanguage::Spanish);
  FillEngineMessages(fr, TRLLanguage::French);

  EXPECT_EQ(pt.msgPage, "Página");
  EXPECT_EQ(en.msgPage, "Page");
  EXPECT_EQ(es.msgInvalidPrinterPath, "Caminho inválido para a impressora");
  EXPECT_EQ(es.msgExcelSpreadsheet, "Planilha Excel");
  EXPECT_EQ(fr.msgPrepareError, "Erreur durant la prépartaion du rapport");
  EXPECT_EQ(fr.msgDivideScreen, "Dividir a tela");
  EXPECT_EQ(en.msgFindNext, "Find &Next");
  EXPECT_EQ(pt.msgMatchCase, "Diferenciar &maiúsculas de minúsculas");
  EXPECT_EQ(es.msgWholeWords, "Palabras &completas sólamente");
  EXPECT_EQ(fr.msgUp, "Le &Haut");
  EXPECT_EQ(pt.msgPreview, "Pré-visualização");
  EXPECT_EQ(es.msgPreview, "Ver");

  // Keys in table order: the first and last of each language.
  EXPECT_EQ(EngineMessageAt(pt, 0), "Imprimindo o relatório...");
  EXPECT_EQ(EngineMessageAt(fr, 75), "Direction");
  EXPECT_EQ(EngineMessageAt(es, 75), "Dirección");
  EXPECT_EQ(EngineMessageAt(en, 25), "Preview");
  EXPECT_EQ(EngineMessageAt(pt, 76), "Texto separado por ponto e vírgula");
  EXPECT_EQ(EngineMessageAt(fr, 76), "Texte séparé par des points-virgules");
  EXPECT_EQ(EngineMessageAt(en, 77), "");

  for (const TRLEngineMessages* table : {&pt, &en, &es, &fr}) {
    for (int i = 0; i < EngineMessageCount; ++i) EXPECT_FALSE(EngineMessageAt(*table, i).empty()) << i;
  }
  // The process table is one of the four, and stays the same object.
  EXPECT_EQ(&EngineMessages(), &EngineMessages());
  std::set<std::string> pages{pt.msgPage, en.msgPage};
  EXPECT_TRUE(pages.count(EngineMessages().msgPage));
}

}  // namespace
