// Report definitions: the client report's heading band read from its definition and written back unchanged, and
// its page heading and city bar printed and rendered.
#include "ReportTestSupport.h"

#include "core/Definitions.h"
#include "graphics/Bitmap.h"
#include "pages/RLMetaVCL.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

namespace {

const char* const kHeading = R"(TForm Form1 {
  Left: 0
  Top: 0
  ClientWidth: 0
  ClientHeight: 0
  TRLReport RLReport2 {
    Left: 424
    Top: 129
    Width: 794
    Height: 1123
    Font {
      Color: clBlack
      Height: -13
      Name: "Arial"
    }
    Margins {
      LeftMargin: 5.0
      TopMargin: 5.0
      RightMargin: 5.0
      BottomMargin: 5.0
    }
    PreviewOptions {
      Position: poDesigned
      BorderIcons: [biSystemMenu]
    }
    TRLBand RLBand4 {
      Left: 19
      Top: 19
      Width: 756
      Height: 52
      BandType: btColumnHeader
      TRLDraw RLDraw6 {
        Left: 10
        Top: 8
        Width: 741
        Height: 39
        Brush {
          Color: 15395562
        }
      }
      TRLLabel RLLabel21 {
        Left: 246
        Top: 14
        Width: 145
        Height: 14
        Font {
          Charset: ANSI_CHARSET
          Color: clBlack
          Height: -12
          Name: "Verdana"
          Style: [fsBold]
        }
        ParentFont: false
        Caption: "Relatórios Gerenciais"
      }
      TRLLabel RLLabel22 {
        Left: 254
        Top: 30
        Width: 132
        Height: 14
        Font {
          Charset: ANSI_CHARSET
          Color: clBlack
          Height: -12
          Name: "Verdana"
          Style: [fsBold]
        }
        ParentFont: false
        Caption: "Clientes por Cidade"
      }
      TRLLabel RLLabel23 {
        Left: 510
        Top: 31
        Width: 77
        Height: 13
        Font {
          Charset: ANSI_CHARSET
          Color: clBlack
          Name: "Verdana"
          Style: [fsBold]
        }
        ParentFont: false
        Caption: "Data/Hora:"
      }
      TRLSystemInfo RLSystemInfo3 {
        Left: 592
        Top: 31
        Width: 41
        Height: 13
        Font {
          Charset: ANSI_CHARSET
          Color: clBlack
          Name: "Verdana"
        }
        ParentFont: false
      }
      TRLSystemInfo RLSystemInfo4 {
        Left: 669
        Top: 31
        Width: 41
        Height: 13
        Font {
          Charset: ANSI_CHARSET
          Color: clBlack
          Name: "Verdana"
        }
        ParentFont: false
        Info: itHour
      }
      TRLLabel RLLabel27 {
        Left: 546
        Top: 17
        Width: 41
        Height: 12
        Font {
          Charset: ANSI_CHARSET
          Color: clBlack
          Height: -9
          Name: "Verdana"
          Style: [fsBold]
        }
        ParentFont: false
        Caption: "Pagina:"
      }
      TRLSystemInfo RLSystemInfo5 {
        Left: 593
        Top: 16
        Width: 76
        Height: 12
        Font {
          Charset: ANSI_CHARSET
          Color: clBlack
          Height: -9
          Name: "Verdana"
          Style: [fsBold]
        }
        ParentFont: false
        Info: itPageNumber
      }
    }
  }
}
)";

// The city bar: a group on "cidade" with its header band.
const char* const kCityBar = R"(
    TRLGroup RLGroup1 {
      Left: 19
      Top: 71
      Width: 756
      Height: 114
      DataFields: "cidade"
      TRLBand RLBand1 {
        Left: 0
        Top: 0
        Width: 756
        Height: 44
        BandType: btHeader
        TRLDraw RLDraw1 {
          Left: 21
          Top: 9
          Width: 729
          Height: 20
          Brush {
            Color: 15395562
          }
        }
        TRLDBText RLDBText1 {
          Left: 74
          Top: 13
          Width: 36
          Height: 12
          Font {
            Charset: ANSI_CHARSET
            Color: clBlack
            Height: -9
            Name: "Verdana"
          }
          ParentFont: false
          Alignment: taJustify
          DataField: "cidade"
          DataSource: DSQRel
        }
        TRLLabel RLLabel1 {
          Left: 33
          Top: 13
          Width: 36
          Height: 12
          Font {
            Charset: ANSI_CHARSET
            Color: clBlack
            Height: -9
            Name: "Verdana"
            Style: [fsBold]
          }
          ParentFont: false
          Caption: "Cidade"
        }
      }
    }
)";

}  // namespace

TEST(Definition, HeadingBandOfTheClientReportWritesBackUnchanged) {
  RegisterReportClasses();
  TForm form(nullptr);
  ReadDefinition(form, kHeading);
  EXPECT_EQ(WriteDefinition(form), kHeading);

  auto* band = dynamic_cast<TRLBand*>(form.FindComponent("RLBand4"));
  auto* report = dynamic_cast<TRLReport*>(form.FindComponent("RLReport2"));
  ASSERT_TRUE(band && report);
  EXPECT_EQ(band->Parent(), report);
  EXPECT_EQ(band->BoundsRect(), (TRect{19, 19, 775, 71})) << "placed by the report's 5 mm margins";
  EXPECT_EQ(report->GetClientRect(), (TRect{19, 19, 775, 1104}));
  EXPECT_EQ(dynamic_cast<TRLLabel*>(form.FindComponent("RLLabel21"))->Width(), 145) << "loading keeps stored sizes";
  EXPECT_EQ(dynamic_cast<TRLSystemInfo*>(form.FindComponent("RLSystemInfo4"))->Info(), itHour);
}

// A report's font starts as Arial, -13, black; a value that is the font's general default (MS Sans Serif, -11,
// clWindowText) is not where a report starts, so it must be written, or reading it back loses it.
TEST(Definition, AReportFontAtTheFontsGeneralDefaultsReadsBackTheSame) {
  RegisterReportClasses();
  struct Case {
    const char* font;
    std::function<bool(const TFont&)> holds;
  };
  const Case cases[] = {
      {"Height: -11", [](const TFont& f) { return f.Height() == -11; }},
      {"Name: \"MS Sans Serif\"", [](const TFont& f) { return f.Name() == "MS Sans Serif"; }},
      {"Color: clWindowText", [](const TFont& f) { return f.Color() == clWindowText; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.font);
    const std::string text =
        std::string("TForm Form1 {\n  TRLReport RLReport1 {\n    Font {\n      ") + c.font + "\n    }\n  }\n}\n";
    TForm first(nullptr), second(nullptr);
    ReadDefinition(first, text);
    auto* report = dynamic_cast<TRLReport*>(first.FindComponent("RLReport1"));
    ASSERT_TRUE(report);
    EXPECT_TRUE(c.holds(report->Font()));
    const std::string written = WriteDefinition(first);
    ReadDefinition(second, written);
    auto* again = dynamic_cast<TRLReport*>(second.FindComponent("RLReport1"));
    ASSERT_TRUE(again);
    EXPECT_TRUE(c.holds(again->Font())) << written;
    EXPECT_EQ(WriteDefinition(second), written);
  }
}

TEST(Definition, PageHeadingAndCityBarPrintAndRender) {
  RegisterReportClasses();
  TForm form(nullptr);
  auto* data = new TRowsDataSet(&form, {"codigo", "cidade"}, {{"7", "Ponta Grossa"}});
  data->SetName("QRel");
  auto* source = new TDataSource(&form);
  source->SetName("DSQRel");
  source->SetDataSet(data);
  std::string text = kHeading;
  text.insert(text.rfind("  }\n}\n"), kCityBar);
  ReadDefinition(form, text);
  data->Open();

  auto* report = dynamic_cast<TRLReport*>(form.FindComponent("RLReport2"));
  auto* heading = dynamic_cast<TRLBand*>(form.FindComponent("RLBand4"));
  auto* city_bar = dynamic_cast<TRLBand*>(form.FindComponent("RLBand1"));
  auto* group = dynamic_cast<TRLGroup*>(form.FindComponent("RLGroup1"));
  ASSERT_TRUE(report && heading && city_bar && group);
  EXPECT_EQ(group->GroupKey(), "") << "the report walks no dataset yet";
  report->SetDataSource(source);
  EXPECT_EQ(group->GroupKey(), "Ponta Grossa");

  report->SetPhase(rpPreparing);
  report->SetReportDateTime(45000.75);  // 15/03/2023 18:00:00
  for (TRLBand* band : {heading, city_bar}) {
    band->SaveBounds();
    ASSERT_TRUE(band->CanPrint());
    band->AdjustBounds();
    band->PrintWithState();
    band->RestoreBounds();
  }
  group->CloseSurface();
  report->CloseSurface();
  TRLPageRef page_ref = report->Pages().Pages(0);
  TRLGraphicSurface* page = page_ref.Get();
  ASSERT_NE(page, nullptr);

  EXPECT_EQ(RecordedTexts(*page),
            (std::vector<std::string>{"Relatórios Gerenciais", "Clientes por Cidade", "Data/Hora:", "15/03/2023",
                                      "18:00:00", "Pagina:", "1", "Ponta Grossa", "Cidade"}));
  auto polygons = Recorded<TRLPolygonObject>(*page);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0]->Points(), (TRLMetaPointArray{{29, 27}, {769, 27}, {769, 65}, {29, 65}}));
  EXPECT_EQ(polygons[1]->Points(), (TRLMetaPointArray{{40, 80}, {768, 80}, {768, 99}, {40, 99}}));
  auto* city = dynamic_cast<TRLDBText*>(form.FindComponent("RLDBText1"));
  EXPECT_EQ(city->Width(), 36) << "the size it took for the print is undone afterwards";

  std::unique_ptr<TBitmap> image = RenderPageToImage(*page, 1.0);
  ASSERT_EQ(image->Width(), 794);
  EXPECT_EQ(image->Canvas().Pixels(100, 60), RGBColor(234, 234, 234)) << "inside the grey heading box";
  EXPECT_EQ(image->Canvas().Pixels(29, 40), clBlack) << "its one-pixel outline";
  EXPECT_EQ(image->Canvas().Pixels(28, 40), clWhite) << "nothing outside the control";
  EXPECT_EQ(image->Canvas().Pixels(600, 90), RGBColor(234, 234, 234)) << "inside the city bar";
  if (const char* dir = std::getenv("RELCLIENTES_REPORT_PNG_DIR")) {
    std::ofstream(std::string(dir) + "/heading.png", std::ios::binary) << image->SaveToPngBytes();
  }
}
