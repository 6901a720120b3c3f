// Text controls on page surfaces: the site surface protocol, label placement and flags, data-bound texts and
// system information with templates and sections.
#include "ReportTestSupport.h"

#include "graphics/Canvas.h"
#include "pages/RLConsts.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

namespace {

// The report's page with one band printed on it (closing the report adds it to the page collection).
TRLPageRef PrintPage(TRLReport& report, TRLBand& band) {
  band.PrintWithState();
  report.CloseSurface();
  return report.Pages().Pages(0);
}

}  // namespace

TEST(SurfaceProtocol, BandIsRecordedOnItsSurfaceAndReplayedOnThePage) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  band->SetHeight(30);
  band->Borders().SetSides(sdAll);
  TRLLabel* label = rig.Add<TRLLabel>(band, "RLLabel1");
  label->SetBounds(10, 5, 60, 14);
  label->SetCaption("Olá");
  rig.Generating();

  std::vector<std::string> order;
  label->AfterPrint = [&](TObject*) { order.push_back("label"); };
  band->AfterPrint = [&](TObject*) { order.push_back("band"); };
  ASSERT_TRUE(band->CanPrint());
  TRLPageRef page_ref = PrintPage(*rig.report, *band);
  ASSERT_TRUE(page_ref);
  TRLGraphicSurface& page = *page_ref;
  EXPECT_EQ(order, (std::vector<std::string>{"label", "band"}));

  EXPECT_EQ(band->Surface().Margins(), band->GetClientRect());
  EXPECT_EQ(band->GetPrintBoundsRect(), (TRect{19, 19, 775, 49}));
  auto texts = Recorded<TRLTextObject>(band->Surface());
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->BoundsRect(), (TRect{10, 5, 10 + label->Width(), 5 + label->Height()}));

  // On the page: the band's borders first (its background), then its contents moved by its print position.
  ASSERT_EQ(RecordedTexts(page), (std::vector<std::string>{"Olá"}));
  auto page_text = Recorded<TRLTextObject>(page)[0];
  EXPECT_EQ(page_text->BoundsRect().Left, 29);
  EXPECT_EQ(page_text->BoundsRect().Top, 24);
  auto borders = Recorded<TRLRectangleObject>(page);
  ASSERT_EQ(borders.size(), 4u);
  EXPECT_EQ(borders[0]->BoundsRect(), (TRect{19, 19, 20, 49}));
  EXPECT_EQ(page.Width(), 794);
  EXPECT_EQ(page.Height(), 1123);
  EXPECT_FALSE(band->SurfaceOpened());
}

TEST(Label, TextIsInsetByHalfABlankOnItsAlignedSide) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  band->SetHeight(40);
  TCanvas measure;
  struct Case {
    TRLTextAlignment alignment;
    TRLTextLayout layout;
    bool auto_size;
    std::uint8_t meta_alignment, meta_layout;
  } cases[] = {
      {TRLTextAlignment::taLeftJustify, tlTop, true, MetaTextAlignmentLeft, MetaTextLayoutTop},
      {TRLTextAlignment::taRightJustify, tlBottom, false, MetaTextAlignmentRight, MetaTextLayoutBottom},
      {TRLTextAlignment::taCenter, tlCenter, false, MetaTextAlignmentCenter, MetaTextLayoutCenter},
      {TRLTextAlignment::taJustify, tlJustify, true, MetaTextAlignmentJustify, MetaTextLayoutTop},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.alignment));
    auto* label = rig.Add<TRLLabel>(band, "Label");
    label->Font().SetName("Verdana");
    label->Font().SetHeight(-12);
    label->SetAlignment(c.alignment);
    label->SetLayout(c.layout);
    label->SetCaption("Relatórios Gerenciais");
    label->SetAutoSize(c.auto_size);
    label->SetBounds(100, 4, 200, 30);
    rig.Generating();
    ASSERT_TRUE(label->CanPrint());
    label->SetBounds(100, 4, 200, 30);
    band->Surface().Clear();
    band->Surface().Open();
    label->Print();
    rig.report->SetPhase(rpIdle);

    measure.SetFont(label->Font());
    const int half = measure.TextWidth(" ") / 2;
    const int w = measure.TextWidth("Relatórios Gerenciais ");
    const int h = measure.TextHeight("Relatórios Gerenciais ");
    const TRect r{100, 4, 300, 34};
    int x = half + r.Left, y = r.Top;
    if (c.alignment == TRLTextAlignment::taRightJustify) x = half + r.Right - w;
    if (c.alignment == TRLTextAlignment::taCenter) x = half + (r.Left + r.Right - w) / 2;
    if (c.layout == tlCenter) y = (r.Top + r.Bottom - h) / 2;
    if (c.layout == tlBottom) y = r.Bottom - h;

    auto texts = Recorded<TRLTextObject>(band->Surface());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Text(), "Relatórios Gerenciais");
    EXPECT_EQ(texts[0]->BoundsRect(), r);
    EXPECT_EQ(texts[0]->Origin(), (TPoint{x, y}));
    EXPECT_EQ(texts[0]->Alignment(), c.meta_alignment);
    EXPECT_EQ(texts[0]->Layout(), c.meta_layout);
    EXPECT_EQ(texts[0]->TextFlags(), c.auto_size ? tfKeepTogether | tfNoClip : tfKeepTogether);
    EXPECT_EQ(texts[0]->Brush().Style(), bsClear + 1);
    EXPECT_EQ(texts[0]->Font().Name(), "Verdana");
    delete label;
  }
}

TEST(Label, OpaqueLabelFillsItsBoundsBeforeTheText) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  TRLLabel* label = rig.Add<TRLLabel>(band, "RLLabel1");
  label->SetCaption("Texto");
  for (bool transparent : {true, false}) {
    label->SetTransparent(transparent);
    label->SetColor(clWhite);
    band->Surface().Clear();
    band->Surface().Open();
    label->Print();
    std::vector<std::uint8_t> kinds;
    for (int i = 0; i < band->Surface().ObjectCount(); ++i) kinds.push_back(band->Surface().Objects(i)->TypeCode());
    if (transparent) {
      EXPECT_EQ(kinds, (std::vector<std::uint8_t>{4}));
    } else {
      EXPECT_EQ(kinds, (std::vector<std::uint8_t>{5, 4}));
      auto fill = Recorded<TRLFillRectObject>(band->Surface())[0];
      EXPECT_EQ(fill->BoundsRect(), label->GetPrintBoundsRect());
      EXPECT_EQ(fill->Brush().Color(), (TRLMetaColor{255, 255, 255}));
    }
  }
}

TEST(Label, EventsChangeOrVetoTheTextAndTheDesignCaptionStays) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  TRLLabel* label = rig.Add<TRLLabel>(band, "RLLabel1");
  label->SetCaption("Base");
  label->BeforePrint = [](TObject*, std::string& text, bool&) { text += "+"; };
  rig.report->OnFilterText = [](TObject* sender, std::string& text, bool& print_it) {
    EXPECT_NE(dynamic_cast<TRLReport*>(sender), nullptr);
    print_it = text != "Base+++";
  };
  rig.Generating();
  EXPECT_TRUE(label->CanPrint());
  EXPECT_EQ(label->Caption(), "Base+");
  EXPECT_TRUE(label->CanPrint());
  EXPECT_EQ(label->Caption(), "Base++") << "the next print starts from the changed text";
  EXPECT_FALSE(label->CanPrint());
  EXPECT_FALSE(label->PrintNow());
  rig.report->SetPhase(rpIdle);
  EXPECT_EQ(label->Caption(), "Base") << "printing leaves the design caption alone";

  label->SetVisible(false);
  rig.Generating();
  EXPECT_FALSE(label->CanPrint());
}

TEST(DBText, ValueOfTheCurrentRecordEmptyAtTheEndAndAnErrorForAMissingField) {
  ReportRig rig;
  auto* data = new TRowsDataSet(&rig.form, {"codigo", "cidade"}, {{"1", "Curitiba"}, {"2", "Londrina"}});
  data->SetName("QRel");
  auto* source = new TDataSource(&rig.form);
  source->SetName("DSQRel");
  source->SetDataSet(data);
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  TRLDBText* text = rig.Add<TRLDBText>(band, "RLDBText1");
  text->SetDataSource(source);
  text->SetDataField("cidade");

  // Outside generation: the field's name, or the text itself while the field is unknown.
  EXPECT_EQ(text->BuildCaption(), "cidade");
  data->Open();
  rig.Generating();
  struct Case {
    const char* templ;
    int moves;
    std::string expected;
  } cases[] = {
      {"", 0, "Curitiba"},
      {"Cidade: #", 0, "Cidade: Curitiba"},
      {"Cidade: ", 1, "Cidade: Londrina"},
      {"[#] (#)", 1, "[Londrina] (#)"},
      {"", 2, ""},
      {"Cidade: #", 2, "Cidade: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.templ);
    data->First();
    for (int i = 0; i < c.moves; ++i) data->Next();
    text->SetText(c.templ);
    EXPECT_EQ(data->Eof(), c.moves == 2);
    ASSERT_TRUE(text->CanPrint());
    EXPECT_EQ(text->Caption(), c.expected) << "after the last record the value is empty";
  }

  // A formula waits for the expression parser: empty meanwhile.
  text->SetText("");
  text->SetDataFormula("codigo + 1");
  EXPECT_EQ(text->DataField(), "");
  data->First();
  ASSERT_TRUE(text->CanPrint());
  EXPECT_EQ(text->Caption(), "");

  // A field the dataset lacks raises, even at the end of the data or with the dataset closed.
  rig.report->SetPhase(rpIdle);
  text->SetDataField("estado");
  EXPECT_EQ(text->DataFormula(), "");
  rig.Generating();
  const std::string error = EngineMessages().msgNotFound + ": RLDBText1.DataField \"estado\"";
  for (bool close : {false, true}) {
    if (close) data->Close();
    else data->Last(), data->Next();
    try {
      text->CanPrint();
      ADD_FAILURE() << "a missing field did not raise";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), error);
    }
  }
  // A freed data source is forgotten.
  delete source;
  EXPECT_EQ(text->DataSource(), nullptr);
}

TEST(SystemInfo, InformationTextsTemplatesAndSections) {
  ReportRig rig;
  rig.report->SetTitle("Clientes");
  rig.report->SetFirstPageNumber(1);
  rig.report->SetPageCounter(2);
  rig.report->SetReportDateTime(45000.5);  // 15 March 2023, noon
  rig.report->SetRecNo(7);
  rig.report->SetCopyNo(2);
  rig.report->SetDetailCount(0);
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  band->SetCarbonIndex(1);
  TRLSystemInfo* info = rig.Add<TRLSystemInfo>(band, "RLSystemInfo1");
  const auto& m = EngineMessages();
  struct Case {
    TRLInfoType kind;
    const char* text;
    int detail_count;
    TRLReportPhase phase;
    std::string expected;
  } cases[] = {
      {itPageNumber, "", 0, rpPreparing, "3"},
      {itPageNumber, "Página #", 0, rpPreparing, "Página 3"},
      {itPagePreview, "Página # de #", 0, rpPreparing, "Página 3 de {LastPageNumber}"},
      {itPagePreview, "", 0, rpPreparing, "3{LastPageNumber}"},
      {itLastPageNumber, "Total: ", 0, rpPreparing, "Total: {LastPageNumber}"},
      {itDate, "", 0, rpPreparing, "15/03/2023"},
      {itHour, "", 0, rpPreparing, "12:00:00"},
      {itNow, "Em #", 0, rpPreparing, "Em 15/03/2023 12:00:00"},
      {itFullDate, "", 0, rpPreparing, "quarta-feira, 15 de março de 2023"},
      {itTitle, "", 0, rpPreparing, "Clientes"},
      {itRecNo, "", 0, rpPreparing, "7"},
      {itCopyNo, "", 0, rpPreparing, "2"},
      {itCarbonCopy, "Via #", 0, rpPreparing, "Via 2"},
      {itDetailCount, "", 0, rpPreparing, "0"},
      {itJunction, "", 0, rpPreparing, m.msgContinues},
      {itJunction, "", 0, rpClosing, m.msgEnd},
      {itJunction, "|segue;acabou|", 0, rpPreparing, "segue"},
      {itJunction, "(#)|segue;acabou|", 0, rpClosing, "(acabou)"},
      {itJunction, "|segue|", 0, rpClosing, m.msgEnd},
      {itMend, "", 0, rpPreparing, ""},
      {itMend, "", 4, rpPreparing, m.msgContinuation},
      {itMend, "Cidade #|(continuação)", 4, rpPreparing, "Cidade (continuação)"},
      {itMend, "|;nada|", 0, rpPreparing, "nada"},
      {itJunction, "|^CLEAR;fim|", 0, rpPreparing, ""},
      // Outside generation the kind's name stands in.
      {itPageNumber, "Pág. #", 0, rpIdle, "Pág. (PageNumber)"},
      {itPagePreview, "", 0, rpIdle, "(PagePreview)(LastPageNumber)"},
      {itHour, "", 0, rpIdle, "(Hour)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(InfoTypeName(c.kind)) + " " + c.text);
    rig.report->SetPhase(rpIdle);
    info->SetInfo(c.kind);
    info->SetText(c.text);
    rig.report->SetDetailCount(c.detail_count);
    rig.report->SetPhase(c.phase);
    if (c.phase == rpIdle) {
      EXPECT_EQ(info->Caption(), c.expected);
      continue;
    }
    ASSERT_TRUE(info->CanPrint());
    EXPECT_EQ(info->Caption(), c.expected);
  }
  rig.report->SetPhase(rpIdle);
  info->SetFriendlyName("Pagina");
  info->SetInfo(itPageNumber);
  EXPECT_EQ(info->Caption(), "Pagina");
}

// Dates and times are written as the locale that chooses the engine's messages writes them.
TEST(SystemInfo, DatesAndTimesFollowTheLocaleOfTheMessages) {
  ReportRig rig;
  rig.report->SetReportDateTime(45000.5 + 3725.0 / 86400.0);  // 15 March 2023, 13:02:05
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  TRLSystemInfo* info = rig.Add<TRLSystemInfo>(band, "RLSystemInfo1");
  struct Case {
    const char* locale;
    TRLInfoType kind;
    const char* expected;
  } cases[] = {
      {"pt_BR.UTF-8", itDate, "15/03/2023"},
      {"pt_BR.UTF-8", itFullDate, "quarta-feira, 15 de março de 2023"},
      {"pt_BR.UTF-8", itHour, "13:02:05"},
      {"pt_BR.UTF-8", itNow, "15/03/2023 13:02:05"},
      {"fr_FR.UTF-8", itDate, "15/03/2023"},
      {"fr_FR.UTF-8", itFullDate, "mercredi 15 mars 2023"},
      {"fr_FR.UTF-8", itHour, "13:02:05"},
      {"en_US.UTF-8", itDate, "3/15/23"},
      {"en_US.UTF-8", itFullDate, "Wednesday, March 15, 2023"},
      {"en_US.UTF-8", itHour, "1:02:05 PM"},
      {"en_US.UTF-8", itNow, "3/15/23 1:02:05 PM"},
      {"es_ES.UTF-8", itFullDate, "miércoles, 15 de marzo de 2023"},
      {"es_ES.UTF-8", itHour, "13:02:05"},
      {"de_DE", itDate, "15.03.23"},
      // A locale that names no language keeps the program's own forms.
      {"C.UTF-8", itDate, "15/03/2023"},
      {"C", itFullDate, "quarta-feira, 15 de março de 2023"},
      {"POSIX", itHour, "13:02:05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " " + std::string(InfoTypeName(c.kind)));
    ScopedEnv locale("LC_ALL", c.locale);
    rig.report->SetPhase(rpIdle);
    info->SetInfo(c.kind);
    rig.report->SetPhase(rpPreparing);
    ASSERT_TRUE(info->CanPrint());
    EXPECT_EQ(info->Caption(), c.expected);
  }
  rig.report->SetPhase(rpIdle);
}

TEST(SystemInfo, PagePreviewSeparatesItsPiecesWithATab) {
  ReportRig rig;
  TRLBand* band = rig.Add<TRLBand>(rig.report, "RLBand1");
  TRLSystemInfo* info = rig.Add<TRLSystemInfo>(band, "RLSystemInfo1");
  info->SetInfo(itPagePreview);
  rig.Generating();
  EXPECT_EQ(info->InfoText(), "1\t{LastPageNumber}");
  rig.report->SetTitle("Tabela #1");
  info->SetInfo(itTitle);
  info->SetText("# e #");
  ASSERT_TRUE(info->CanPrint());
  EXPECT_EQ(info->Caption(), "Tabela #1 e #") << "one piece fills one mark; the value's own # stays as it is";
}
