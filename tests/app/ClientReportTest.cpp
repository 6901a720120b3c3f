// The client report of the dialog's definition generated over a small client table.
#include "app/TelaPrincipal.h"
#include "app/Units.h"
#include "core/Translation.h"
#include "data/ClientDbFixture.h"
#include "graphics/Bitmap.h"
#include "graphics/Canvas.h"
#include "output/PreviewFixture.h"
#include "output/RLPreviewForm.h"
#include "pages/RLConsts.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"

#include "support/CupsServer.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <map>
#include <regex>
#include <set>

namespace {

using querytest::SqlText;

class ClientReport : public testing::Test {
protected:
  void SetUp() override {
    InitializeUnits();
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };

    // 100 clients in one city (more than a page holds), then 5 in another; one name far wider than its column.
    std::string sql = enginetest::kClientTable;
    auto add = [&](int code, const std::string& name, const std::string& city) {
      sql += "INSERT INTO acadclie VALUES (" + SqlText(std::to_string(code).c_str()) + "," + SqlText(name.c_str()) +
             "," + SqlText(city.c_str()) + ",'(42) 3222-0000',NULL,'Contato');";
    };
    for (int i = 1; i <= 100; ++i)
      add(i, "Cliente " + std::string(i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i), "Arapoti");
    for (int i = 101; i <= 105; ++i) add(i, "Cliente " + std::to_string(i), "Castro");
    add(106, "Companhia " + std::string(40, 'W'), "Castro");
    enginetest::Sqlite(dir_.path() / "veranto.db", sql);
    enginetest::WriteFile(dir_.path() / "engine.cfg", "[\\DATABASES\\VERANTO\\DB INFO]\nTYPE=STANDARD\nPATH=" +
                                                          (dir_.path() / "veranto.db").string() +
                                                          "\nLANGDRIVER=pt_BR\n");
    form_ = application_->CreateForm<TForm1>();
  }
  void TearDown() override {
    application_.reset();
    Session()->Close();
  }

  bool Generate(const std::string& city) {
    form_->SelectCity(city);
    return form_->RLReport2->Prepare();
  }

  TempFolder dir_;
  ScopedEnv env_{"RELCLIENTES_ENGINE_CONFIG", (dir_.path() / "engine.cfg").string()};
  std::unique_ptr<TApplication> application_;
  TForm1* form_ = nullptr;
  std::vector<std::string> errors_;
};

const TRLTextObject* FindText(const TRLGraphicSurface& page, const std::string& text) {
  for (int i = 0; i < page.ObjectCount(); ++i) {
    if (auto* t = dynamic_cast<const TRLTextObject*>(page.Objects(i)); t && t->Text() == text) return t;
  }
  return nullptr;
}

// The text recorded right after `label` (the value printed beside it).
std::string TextAfter(const TRLGraphicSurface& page, const std::string& label) {
  bool next = false;
  for (int i = 0; i < page.ObjectCount(); ++i) {
    auto* t = dynamic_cast<const TRLTextObject*>(page.Objects(i));
    if (!t) continue;
    if (next) return t->Text();
    next = t->Text() == label;
  }
  return {};
}

}  // namespace

TEST_F(ClientReport, EveryPageHasTheHeadingAndACityBrokenAcrossPagesGetsItsBarAgain) {
  const auto before = std::chrono::system_clock::now();
  ASSERT_TRUE(Generate("")) << (errors_.empty() ? "" : errors_.front());
  TRLGraphicStorage& pages = form_->RLReport2->Pages();
  // Page 1: heading 19..71, city bar 71..115, then 65 lines of 15 pixels fit above 1104; page 2 holds the other
  // 35 lines of the first city and the whole second one.
  ASSERT_EQ(pages.PageCount(), 2);
  EXPECT_EQ(pages.LastPageNumber(), 2);
  for (int i = 0; i < pages.PageCount(); ++i) {
    SCOPED_TRACE(i);
    TRLPageRef page = pages.Pages(i);
    const TRLTextObject* title = FindText(*page, "Relatórios Gerenciais");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->BoundsRect().Top, 19 + 14) << "the heading band starts at row 19";
    EXPECT_EQ(TextAfter(*page, "Pagina:"), std::to_string(i + 1));
    EXPECT_EQ(page->ExpandMacros("{LastPageNumber}"), "2");
    EXPECT_TRUE(std::regex_match(TextAfter(*page, "Data/Hora:"), std::regex(R"(\d\d/\d\d/\d{4})")));
    const TRLTextObject* city_bar = FindText(*page, "Arapoti");
    ASSERT_NE(city_bar, nullptr) << "the city bar of the broken city";
    EXPECT_EQ(city_bar->BoundsRect().Top, 71 + 13) << "right below the heading";
  }
  {
    TRLPageRef first = pages.Pages(0);
    EXPECT_NE(FindText(*first, "Cliente 065"), nullptr);
    EXPECT_EQ(FindText(*first, "Cliente 066"), nullptr);
    EXPECT_EQ(FindText(*first, "Castro"), nullptr);
    TRLPageRef second = pages.Pages(1);
    const TRLTextObject* continued = FindText(*second, "Cliente 066");
    ASSERT_NE(continued, nullptr);
    EXPECT_EQ(continued->BoundsRect().Top, 115 + 1) << "the first line continues below the repeated city bar";
    EXPECT_NE(FindText(*second, "Castro"), nullptr);
  }
  // The date and time are those of this generation.
  const double days = form_->RLReport2->ReportDateTime();
  const auto epoch = std::chrono::sys_days{std::chrono::year{1899} / std::chrono::December / 30};
  const auto generated_local =
      epoch + std::chrono::duration_cast<std::chrono::seconds>(std::chrono::duration<double>(days * 86400.0));
  const std::time_t t = std::chrono::system_clock::to_time_t(before);
  std::tm local{};
  localtime_r(&t, &local);
  const auto before_local = std::chrono::sys_days{std::chrono::year{local.tm_year + 1900} /
                                                  std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)} /
                                                  std::chrono::day{static_cast<unsigned>(local.tm_mday)}} +
                            std::chrono::hours(local.tm_hour) + std::chrono::minutes(local.tm_min) +
                            std::chrono::seconds(local.tm_sec);
  EXPECT_LE(std::chrono::abs(generated_local - before_local), std::chrono::seconds(60));
}

TEST_F(ClientReport, TheOutlineHasEachCityOnceWhereItsBarFirstPrintsAndTheReportFileKeepsIt) {
  ASSERT_TRUE(Generate("")) << (errors_.empty() ? "" : errors_.front());
  TRLGraphicStorage& pages = form_->RLReport2->Pages();
  const TRLOutline outline = pages.Outline();
  // Arapoti's bar prints again at the top of page 2, where it goes on; Castro starts below it there.
  ASSERT_EQ(outline.size(), 2u);
  const std::vector<std::pair<std::string, int>> cities = {{"Arapoti", 0}, {"Castro", 1}};
  for (std::size_t i = 0; i < cities.size(); ++i) {
    const auto& [city, page_index] = cities[i];
    SCOPED_TRACE(city);
    EXPECT_EQ(outline[i].Text, "Cidade " + city) << "the bar's first line, not the column captions below it";
    EXPECT_EQ(outline[i].Level, 0);
    ASSERT_EQ(outline[i].PageIndex, page_index);
    TRLPageRef page = pages.Pages(page_index);
    const TRLTextObject* bar = nullptr;
    for (int k = 0; k < page->ObjectCount(); ++k) {
      auto* t = dynamic_cast<const TRLTextObject*>(page->Objects(k));
      if (t && t->Text() == city && (!bar || t->BoundsRect().Top > bar->BoundsRect().Top)) bar = t;
    }
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(outline[i].Top, bar->BoundsRect().Top - 13) << "the bar's top: its city text sits 13 below it";
  }
  EXPECT_EQ(outline[0].Top, 71);

  const std::string file = (dir_.path() / "clientes.rpf").string();
  pages.SaveToFile(file);
  TRLGraphicStorage reopened;
  reopened.LoadFromFile(file);
  EXPECT_EQ(reopened.Outline(), outline);
  ASSERT_EQ(reopened.PageCount(), 2);
  TRLPageRef second = reopened.Pages(1);
  ASSERT_TRUE(second) << second.Error();
  EXPECT_NE(FindText(*second, "Castro"), nullptr);
}

// The documents of a run name its clients as their subject, and the dialog's caption as their title; a later run
// names its own.
TEST_F(ClientReport, ThePdfNamesTheChosenClientsAsItsSubject) {
  const std::string file = (dir_.path() / "clientes.pdf").string();
  for (const std::string city : {"Castro", "", "Arapoti"}) {
    SCOPED_TRACE(city);
    ASSERT_TRUE(Generate(city)) << (errors_.empty() ? "" : errors_.front());
    const std::string subject =
        city.empty() ? Translate("app", "Clients of every city") : Format(Translate("app", "Clients of %s"), {city});
    EXPECT_EQ(form_->RLReport2->Pages().MacroValue("Subject"), subject);
    SavePagesToPdf(form_->RLReport2->Pages(), file);
    const std::string info = outputtest::PdfInfo(file);
    EXPECT_TRUE(std::regex_search(info, std::regex("\nSubject: +" + subject + "\n"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("(^|\n)Title: +Relação de Clientes Por Cidade\n"))) << info;
  }
}

TEST_F(ClientReport, LongNamesAreClippedToTheirColumn) {
  ASSERT_TRUE(Generate("Castro")) << (errors_.empty() ? "" : errors_.front());
  ASSERT_EQ(form_->RLReport2->Pages().PageCount(), 1);
  TRLPageRef page = form_->RLReport2->Pages().Pages(0);
  const TRLTextObject* name = FindText(*page, "Companhia " + std::string(40, 'W'));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->BoundsRect().Left, 19 + 79);
  EXPECT_EQ(name->BoundsRect().Right, 19 + 79 + 360);
  // Rendered, nothing of the name reaches the gap before the telephone column.
  std::unique_ptr<TBitmap> image = RenderPageToImage(*page, 1.0);
  const TRect r = name->BoundsRect();
  int inked_inside = 0, inked_gap = 0;
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Right - 20; x < r.Right; ++x) inked_inside += image->Canvas().Pixels(x, y) != clWhite;
    inked_gap += image->Canvas().Pixels(r.Right, y) != clWhite;
    inked_gap += image->Canvas().Pixels(r.Right + 1, y) != clWhite;
  }
  EXPECT_GT(inked_inside, 0) << "the name runs to the column's edge";
  EXPECT_EQ(inked_gap, 0) << "and stops there";
}

TEST_F(ClientReport, AMissingGroupFieldShowsThePrepareErrorAndMakesNoPages) {
  dynamic_cast<TRLGroup*>(form_->FindComponent("RLGroup1"))->SetDataFields("cidad");
  EXPECT_FALSE(Generate(""));
  EXPECT_EQ(form_->RLReport2->Pages().PageCount(), 0);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "RLReport2: " + EngineMessages().msgPrepareError + "\n" + EngineMessages().msgNotFound +
                            ": RLGroup1.DataField \"cidad\"");
}

TEST_F(ClientReport, EveryObjectIsInTheGroupOfTheOneControlPrintThatRecordedIt) {
  // A boxed caption records a background and borders besides its text.
  auto* caption = dynamic_cast<TRLLabel*>(form_->FindComponent("RLLabel21"));
  ASSERT_NE(caption, nullptr);
  caption->SetTransparent(false);
  caption->Borders().SetSides(sdAll);
  ASSERT_TRUE(Generate("")) << (errors_.empty() ? "" : errors_.front());
  TRLGraphicStorage& pages = form_->RLReport2->Pages();
  ASSERT_EQ(pages.PageCount(), 2);
  std::set<int> text_and_figure_groups;  // over the whole report: a group never spans two prints
  for (int i = 0; i < pages.PageCount(); ++i) {
    SCOPED_TRACE(i);
    TRLPageRef page = pages.Pages(i);
    std::map<int, int> sizes;
    for (int k = 0; k < page->ObjectCount(); ++k) ++sizes[page->Objects(k)->GroupId()];
    EXPECT_EQ(sizes.count(0), 0u) << "an object outside every group";
    const TRLTextObject* boxed = FindText(*page, "Relatórios Gerenciais");
    ASSERT_NE(boxed, nullptr);
    EXPECT_EQ(sizes[boxed->GroupId()], 6) << "background, four borders and the text";
    for (int k = 0; k < page->ObjectCount(); ++k) {
      const TRLGraphicObject* object = page->Objects(k);
      if (object == boxed ||
          !(dynamic_cast<const TRLTextObject*>(object) || dynamic_cast<const TRLPolygonObject*>(object)))
        continue;
      EXPECT_EQ(sizes[object->GroupId()], 1) << "object " << k << " shares its group";
    }
    for (int k = 0; k < page->ObjectCount(); ++k) {
      const TRLGraphicObject* object = page->Objects(k);
      if (dynamic_cast<const TRLTextObject*>(object) || dynamic_cast<const TRLPolygonObject*>(object)) {
        EXPECT_TRUE(text_and_figure_groups.insert(object->GroupId()).second) << "object " << k;
      }
    }
  }
}

TEST_F(ClientReport, TheReportButtonEndsInThePreviewWindowOnTheFirstPage) {
  InstallReportPreviewWindow();
  int page_count = -1, page_number = -1, boxes = -1;
  bool maximized = false, modal = false;
  std::string page_box;
  // The window is modal: what it shows is read, and the window closed, from inside its message loop.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    TRLPreviewForm* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* form = dynamic_cast<TRLPreviewForm*>(TControl::FromWidget(widget));
      if (form && widget->isVisible()) window = form;
    }
    if (!window) return;
    poll.stop();
    modal = window->Modal();
    maximized = window->WindowState() == wsMaximized;
    TRLPreview* preview = window->ActivePreview();
    page_count = preview->PageCount();
    page_number = preview->CurrentPageNumber();
    boxes = preview->VisibleBoxes();
    page_box = window->EditPageNo->GetText();
    window->SpeedButtonCloseClick(nullptr);
  });
  poll.start(10);
  form_->cxButton2Click(nullptr);
  SetReportPreviewHandler(nullptr);
  EXPECT_TRUE(errors_.empty()) << (errors_.empty() ? "" : errors_.front());
  EXPECT_TRUE(modal);
  EXPECT_TRUE(maximized);
  EXPECT_EQ(page_count, 2);
  EXPECT_EQ(page_number, 1);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(page_box, "1");
  // The window is gone; the report keeps its pages.
  for (QWidget* widget : QApplication::topLevelWidgets())
    EXPECT_EQ(dynamic_cast<TRLPreviewForm*>(TControl::FromWidget(widget)), nullptr);
  EXPECT_EQ(form_->RLReport2->Pages().PageCount(), 2);
}

TEST_F(ClientReport, EditingThePreviewMarksEveryObjectOfThePickedControl) {
  ASSERT_TRUE(Generate("")) << (errors_.empty() ? "" : errors_.front());
  TRLPreview preview(nullptr);
  preview.SetBounds(0, 0, 900, 1200);
  preview.SetPages(&form_->RLReport2->Pages());
  preview.HandleNeeded();
  preview.SetEditing(true);
  TRLPreviewBox& box = *preview.Boxes(0);
  TRect title;
  int group = 0;
  {
    TRLPageRef page = form_->RLReport2->Pages().Pages(0);
    const TRLTextObject* text = FindText(*page, "Clientes por Cidade");
    ASSERT_NE(text, nullptr);
    title = box.ToBox(text->BoundsRect());
    group = text->GroupId();
  }
  ASSERT_NE(group, 0);
  box.MouseDown(mbLeft, {}, (title.Left + title.Right) / 2, (title.Top + title.Bottom) / 2);
  ASSERT_GE(box.Selected(), 0);
  TRLPageRef page = form_->RLReport2->Pages().Pages(0);
  EXPECT_EQ(page->Objects(box.Selected())->GroupId(), group);
  page.Release();
  // The handles sit on the picked object's corners: black for a lone object, silver for a group of several.
  const QImage image = previewtest::Grab(box);
  const TColor corner = previewtest::PixelAt(image, title.Left, title.Top);
  EXPECT_TRUE(corner == clBlack || corner == clSilver) << std::hex << corner;
  EXPECT_EQ(previewtest::PixelAt(image, title.Left - 3, title.Top - 3), clWhite);
}

TEST_F(ClientReport, PrintedWholeOnAPrinterOfTheMachine) {
  outputtest::TCupsServer& cups = outputtest::SharedCupsServer();
  cups.Reset();
  cups.AddQueue("escritorio", true);
  ASSERT_TRUE(Generate("")) << (errors_.empty() ? "" : errors_.front());
  form_->RLReport2->SetPrintDialog(false);
  form_->RLReport2->SetShowProgress(false);
  form_->RLReport2->Print();
  auto jobs = cups.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(outputtest::PdfPageCount(jobs[0].File), 2);
  const std::string second = outputtest::PdfText(jobs[0].File, 2, 2);
  for (const char* text : {"Relatórios Gerenciais", "Cliente 066", "Castro", "Companhia"}) {
    EXPECT_NE(second.find(text), std::string::npos) << text << " in:\n" << second;
  }
  EXPECT_TRUE(errors_.empty()) << errors_.front();
  cups.Reset();
}
