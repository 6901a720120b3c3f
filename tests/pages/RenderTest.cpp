#include "graphics/Bitmap.h"
#include "pages/RLMetaFile.h"
#include "pages/RLMetaVCL.h"
#include "support/TempFolder.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr TRLMetaColor kRed{255, 0, 0};
constexpr TRLMetaColor kBlue{0, 0, 255};

bool Same(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.Canvas().Pixels(x, y) != b.Canvas().Pixels(x, y)) return false;
    }
  }
  return true;
}

bool HasInk(TBitmap& b) {
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      if (b.Canvas().Pixels(x, y) != clWhite) return true;
    }
  }
  return false;
}

TRLFillRectObject* Fill(TRLGraphicSurface& s, TRect r, TRLMetaColor c) {
  auto* o = new TRLFillRectObject(&s);
  o->SetBoundsRect(r);
  o->Brush().SetColor(c);
  return o;
}

std::unique_ptr<TRLGraphicSurface> Page(int w, int h) {
  auto s = std::make_unique<TRLGraphicSurface>();
  s->SetWidth(w);
  s->SetHeight(h);
  return s;
}

TEST(Render, ZoomMapsEveryCoordinate) {
  auto page = Page(100, 50);
  Fill(*page, {10, 10, 20, 20}, kRed);
  auto image = RenderPageToImage(*page, 2.0);
  ASSERT_EQ(image->Width(), 200);
  ASSERT_EQ(image->Height(), 100);
  EXPECT_EQ(image->Canvas().Pixels(20, 20), clRed);
  EXPECT_EQ(image->Canvas().Pixels(39, 39), clRed);
  EXPECT_EQ(image->Canvas().Pixels(40, 30), clWhite);
  EXPECT_EQ(image->Canvas().Pixels(19, 19), clWhite);
}

TEST(Render, ZeroSizedPixelsAndPagesStillDraw) {
  // A pixel whose bounds map to nothing fills one device pixel.
  auto page = Page(100, 100);
  auto* pixel = new TRLPixelObject(page.get());
  pixel->SetBoundsRect({10, 10, 10, 10});
  pixel->SetColor(kRed);
  auto image = RenderPageToImage(*page, 1.0);
  EXPECT_EQ(image->Canvas().Pixels(10, 10), clRed);
  EXPECT_EQ(image->Canvas().Pixels(11, 10), clWhite);
  EXPECT_EQ(image->Canvas().Pixels(10, 11), clWhite);

  // A surface of width 0 paints at scale 1 horizontally.
  auto narrow = Page(0, 50);
  Fill(*narrow, {20, 10, 30, 20}, kRed);
  TBitmap bitmap(100, 100);
  bitmap.Canvas().FillRect({0, 0, 100, 100});
  narrow->PaintTo(bitmap.Canvas(), {0, 0, 100, 100});
  bitmap.Canvas().EndPaint();
  EXPECT_EQ(bitmap.Canvas().Pixels(29, 39), clRed);
  EXPECT_EQ(bitmap.Canvas().Pixels(30, 30), clWhite);
  EXPECT_EQ(bitmap.Canvas().Pixels(25, 19), clWhite);
}

TEST(Render, ClipObjectsNestAndAnEmptyClipRemovesClipping) {
  auto page = Page(100, 100);
  auto* empty = new TRLSetClipRectObject(page.get());
  empty->SetBoundsRect({10, 10, 10, 50});
  Fill(*page, {0, 0, 5, 5}, kBlue);  // drawn: the empty clip clips nothing
  auto* clip = new TRLSetClipRectObject(page.get());
  clip->SetBoundsRect({10, 10, 20, 20});
  Fill(*page, {0, 0, 100, 100}, kRed);
  new TRLResetClipRectObject(page.get());
  new TRLResetClipRectObject(page.get());
  new TRLResetClipRectObject(page.get());  // one more than was set: stays on the page
  Fill(*page, {60, 60, 70, 70}, kBlue);
  auto image = RenderPageToImage(*page, 1.0);
  EXPECT_EQ(image->Canvas().Pixels(2, 2), clBlue);
  EXPECT_EQ(image->Canvas().Pixels(15, 15), clRed);
  EXPECT_EQ(image->Canvas().Pixels(50, 50), clWhite);
  EXPECT_EQ(image->Canvas().Pixels(65, 65), clBlue);
  EXPECT_TRUE(page->ClipStack().empty());
}

TEST(Render, PenWidthAndFontSizeFollowTheScale) {
  struct PenCase {
    int width;
    double scale;
    int expected;
  };
  const PenCase pens[] = {{0, 2.0, 0}, {1, 5.0, 1}, {3, 0.1, 1},        {3, 2.5, 7},
                          {4, 0.5, 2}, {2, 1.9, 3}, {INT_MAX, -2.0, 1}, {INT_MAX, 3.0, INT_MAX}};
  for (const auto& c : pens) EXPECT_EQ(ScaledPenWidth(c.width, c.scale), c.expected) << c.width << " x " << c.scale;

  struct FontCase {
    int size, recorded_ppi, canvas_ppi;
    double scale;
    int expected;
  };
  const FontCase fonts[] = {{10, 96, 300, 3.125, 10}, {10, 0, 96, 1.0, 10}, {10, 72, 96, 1.0, 8},
                            {12, 96, 96, 0.5, 6},     {9, 96, 96, 0.5, 4},  {8, 96, 600, 6.25, 8}};
  for (const auto& c : fonts) {
    TRLGraphicSurface surface;
    TRLTextObject text(&surface);
    text.Font().SetSize(c.size);
    text.Font().SetPixelsPerInch(c.recorded_ppi);
    TFont font;
    font.SetPixelsPerInch(c.canvas_ppi);
    FromMetaFont(text.Font(), font, c.scale);
    EXPECT_EQ(font.Size(), c.expected) << c.size << " at " << c.recorded_ppi << " on " << c.canvas_ppi;
  }
}

TEST(Render, ConversionsMapBytesAndFallBackOutsideTheirRange) {
  TRLGraphicSurface surface;
  TRLLineObject line(&surface);
  TPen pen;
  struct Case {
    std::uint8_t mode, style;
    TPenMode expected_mode;
    TPenStyle expected_style;
  };
  const Case cases[] = {{1, 1, pmBlack, psSolid}, {15, 2, pmXor, psDash},   {16, 7, pmNotXor, psInsideFrame},
                        {0, 0, pmCopy, psSolid},  {17, 8, pmCopy, psSolid}, {255, 255, pmCopy, psSolid}};
  for (const auto& c : cases) {
    line.Pen().SetMode(c.mode);
    line.Pen().SetStyle(c.style);
    FromMetaPen(line.Pen(), pen);
    EXPECT_EQ(pen.Mode(), c.expected_mode) << int(c.mode);
    EXPECT_EQ(pen.Style(), c.expected_style) << int(c.style);
  }
  TBrush brush;
  line.Brush().SetStyle(8);
  FromMetaBrush(line.Brush(), brush);
  EXPECT_EQ(brush.Style(), bsDiagCross);
  line.Brush().SetStyle(9);
  FromMetaBrush(line.Brush(), brush);
  EXPECT_EQ(brush.Style(), bsSolid);

  TFont font;
  font.SetName("Verdana");
  font.SetStyle({fsBold, fsStrikeOut});
  font.SetPitch(fpFixed);
  TRLTextObject text(&surface);
  ToMetaFont(font, text.Font());
  EXPECT_EQ(text.Font().Style(), 9);
  EXPECT_EQ(text.Font().Pitch(), 3);
  EXPECT_EQ(text.Font().Name(), "Verdana");
  EXPECT_EQ(text.Font().PixelsPerInch(), 96);
}

TEST(Render, PicturesAreTaggedAndDecoded) {
  TBitmap bitmap(3, 2);
  std::string data = ToMetaGraphic(&bitmap);
  EXPECT_EQ(data.substr(0, 5), "BMPBM");
  auto back = FromMetaGraphic(data);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Width(), 3);
  EXPECT_EQ(back->Height(), 2);
  EXPECT_EQ(ToMetaGraphic(nullptr), "NIL");
  EXPECT_FALSE(FromMetaGraphic("NIL"));
  EXPECT_FALSE(FromMetaGraphic(""));
  EXPECT_FALSE(FromMetaGraphic("PNG\x89PNG"));
  EXPECT_THROW(FromMetaGraphic("BMPnot a bitmap"), EInvalidGraphic);
}

TEST(Render, IntegralScaleDrawsWholeCopiesOfThePicture) {
  TBitmap red(10, 10);
  red.Canvas().Brush().SetColor(clRed);
  red.Canvas().FillRect({0, 0, 10, 10});
  red.Canvas().EndPaint();
  for (bool integral : {true, false}) {
    auto page = Page(40, 10);
    page->StretchDraw({0, 0, 35, 10}, &red, integral);
    auto image = RenderPageToImage(*page, 1.0);
    EXPECT_EQ(image->Canvas().Pixels(30, 5), clRed);
    EXPECT_EQ(image->Canvas().Pixels(33, 5), integral ? clWhite : clRed) << integral;
  }
}

struct Line {
  TPoint from, to;
  std::uint8_t style;
  int width;
  std::uint8_t brush_style;
};

std::unique_ptr<TBitmap> DrawLine(const Line& l) {
  auto page = Page(120, 20);
  auto* line = new TRLLineObject(page.get());
  line->SetFromPoint(l.from);
  line->SetToPoint(l.to);
  line->Pen().SetStyle(l.style);
  line->Pen().SetWidth(l.width);
  line->Brush().SetColor(kRed);
  line->Brush().SetStyle(l.brush_style);
  return RenderPageToImage(*page, 1.0);
}

TEST(Render, WideDashedLinesAreDrawnInSegments) {
  // 3 units wide, dashes of 3 x 12 drawn and 1 x 12 skipped, from right to left: drawn 100..64, gap 64..52,
  // drawn 52..16, gap 16..4.
  struct Case {
    int x;
    TColor clear_brush, red_brush;
  };
  const Case cases[] = {{99, clBlack, clBlack}, {80, clBlack, clBlack}, {65, clBlack, clBlack}, {58, clWhite, clRed},
                        {53, clWhite, clRed},   {30, clBlack, clBlack}, {17, clBlack, clBlack}, {10, clWhite, clRed},
                        {4, clWhite, clWhite},  {110, clWhite, clWhite}};
  auto clear = DrawLine({{100, 10}, {4, 10}, 2, 3, 2});
  auto red = DrawLine({{100, 10}, {4, 10}, 2, 3, 1});
  for (const auto& c : cases) {
    EXPECT_EQ(clear->Canvas().Pixels(c.x, 10), c.clear_brush) << c.x;
    EXPECT_EQ(red->Canvas().Pixels(c.x, 10), c.red_brush) << c.x;
  }

  // One unit wide: the canvas's own dashed pen, not a solid line.
  auto thin = DrawLine({{0, 10}, {100, 10}, 2, 1, 2});
  int ink = 0;
  for (int x = 0; x < 100; ++x) ink += thin->Canvas().Pixels(x, 10) == clBlack;
  EXPECT_GT(ink, 30);
  EXPECT_LT(ink, 100);
}

// Text placement: the text drawn through a text object matches the text written directly on a canvas at the
// position the rules give, measured with the same font.
struct TextCase {
  const char* name;
  std::uint8_t alignment, layout;
  std::uint16_t flags;
  TRect rect;
  TPoint origin;
};

TEST(Render, TextIsPlacedByAlignmentAndLayout) {
  const TextCase cases[] = {
      {"left top", 1, 1, tfNoClip, {20, 10, 180, 60}, {25, 12}},
      {"right", 2, 1, tfNoClip, {20, 10, 180, 60}, {25, 12}},
      {"centre centre", 3, 3, tfNoClip, {20, 10, 180, 60}, {25, 12}},
      {"left bottom", 1, 2, tfNoClip, {20, 10, 180, 60}, {25, 12}},
      {"unknown bytes read as left and top", 9, 9, tfNoClip, {20, 10, 180, 60}, {25, 12}},
      {"clipped to a narrow rect", 1, 1, 0, {20, 10, 40, 60}, {25, 12}},
  };
  const std::string text = "Relatório";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto page = Page(200, 80);
    page->Font().SetName("Verdana");
    page->Font().SetSize(10);
    page->Brush().SetStyle(bsClear);
    page->TextOut(c.rect, c.origin.X, c.origin.Y, text, c.alignment, c.layout, c.flags);
    auto image = RenderPageToImage(*page, 1.0);

    TBitmap expected(200, 80);
    TCanvas& canvas = expected.Canvas();
    canvas.FillRect({0, 0, 200, 80});
    FromMetaFont(dynamic_cast<TRLTextObject*>(page->Objects(0))->Font(), canvas.Font(), 1.0);
    canvas.Brush().SetStyle(bsClear);
    int s = canvas.TextWidth(" "), w = canvas.TextWidth(text + " "), h = canvas.TextHeight(text + " ");
    int x = s / 2 + (c.alignment == 2   ? c.rect.Right - w
                     : c.alignment == 3 ? (c.rect.Left + c.rect.Right - w) / 2
                                        : c.origin.X);
    int y = c.layout == 2 ? c.rect.Bottom - h : c.layout == 3 ? (c.rect.Top + c.rect.Bottom - h) / 2 : c.origin.Y;
    if (c.flags & tfNoClip) canvas.TextOut(x, y, text);
    else canvas.TextRect(c.rect, x, y, text);
    canvas.EndPaint();
    EXPECT_TRUE(HasInk(*image));
    EXPECT_TRUE(Same(*image, expected));
    if (c.alignment == 2) {
      // The text ends half a space before the right edge.
      for (int yy = 0; yy < 80; ++yy) {
        for (int xx = c.rect.Right - s / 2; xx < 200; ++xx) ASSERT_EQ(image->Canvas().Pixels(xx, yy), clWhite);
      }
    }
  }
}

// A text control one line tall keeps every glyph of its line at each zoom of the preview and at screen resolution:
// clipped to its box, it draws what it draws unclipped, accents over capitals included; its sides still cut.
TEST(Render, ALineInItsBoxKeepsTheAccentsOfItsCapitals) {
  const std::string text = "ÁÉÍÓÚÃÕÇ Ótica";
  for (const char* family : {"Arial", "Verdana", "Times New Roman"}) {
    for (double zoom : {0.5, 0.75, 0.87, 1.0, 1.25, 1.5, 2.0}) {
      SCOPED_TRACE(std::string(family) + " at " + std::to_string(zoom));
      auto page = [&](std::uint16_t flags, int right) {
        auto p = Page(300, 40);
        p->Font().SetName(family);
        p->Font().SetSize(10);
        p->Font().SetPixelsPerInch(96);
        p->Brush().SetStyle(bsClear);
        TBitmap probe(1, 1);
        probe.Canvas().Font().Assign(p->Font());
        // The box of an auto-sized label: exactly one line tall.
        const int height = probe.Canvas().TextHeight(text);
        p->TextOut({10, 10, right, 10 + height}, 10, 10, text, 1, 1, flags);
        return RenderPageToImage(*p, zoom);
      };
      auto clipped = page(0, 290), unclipped = page(tfNoClip, 290);
      EXPECT_TRUE(HasInk(*unclipped));
      EXPECT_TRUE(Same(*clipped, *unclipped));
      // A narrow box still cuts the text at its right side.
      EXPECT_FALSE(Same(*page(0, 40), *unclipped));
    }
  }
}

TEST(Render, JustifiedTextGainsSpacesFromTheLastGapBackwards) {
  // The widening sequence of "a b c": last gap, first gap, last gap, ...
  const std::string steps[] = {"a b c", "a b  c", "a  b  c", "a  b   c", "a   b   c"};
  auto page = Page(300, 40);
  page->Font().SetName("Verdana");
  page->Font().SetSize(10);
  page->Brush().SetStyle(bsClear);
  page->TextOut({0, 0, 1, 30}, 10, 5, "a b c", MetaTextAlignmentJustify, 1, tfNoClip);
  auto* object = dynamic_cast<TRLTextObject*>(page->Objects(0));

  TBitmap expected(300, 40);
  TCanvas& canvas = expected.Canvas();
  FromMetaFont(object->Font(), canvas.Font(), 1.0);
  canvas.Brush().SetStyle(bsClear);
  int x = canvas.TextWidth(" ") / 2 + 10;
  // Room for exactly three more spaces: the fourth step is the first that measures wider than the room.
  int room = canvas.TextWidth(steps[3] + " ") - 1;
  ASSERT_GE(room, canvas.TextWidth(steps[2] + " "));
  object->SetBoundsRect({0, 0, x + room, 30});
  canvas.FillRect({0, 0, 300, 40});
  canvas.TextOut(x, 5, steps[3]);
  canvas.EndPaint();
  auto image = RenderPageToImage(*page, 1.0);
  EXPECT_TRUE(Same(*image, expected));
}

TEST(Render, PagesBecomeAPdfWithText) {
  TRLGraphicStorage storage;
  for (int i = 0; i < 2; ++i) {
    auto page = Page(794, 1123);
    page->Font().SetName("Verdana");
    page->Font().SetSize(12);
    page->TextOut({40, 40, 700, 80}, 40, 40, "Clientes por cidade " + std::to_string(i + 1), 1, 1, tfNoClip);
    page->Rectangle(38, 38, 756, 82);
    storage.Add(std::move(page));
  }
  TempFolder dir;
  const std::string file = dir.File("pages.pdf");
  SavePagesToPdf(storage, file);
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  if (const char* keep = std::getenv("PAGES_SAMPLE_PDF"))
    std::filesystem::copy_file(file, keep, std::filesystem::copy_options::overwrite_existing);
  std::string pdf = bytes.str();
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
  EXPECT_NE(pdf.find("/FontFile"), std::string::npos);  // text is written with an embedded font, not as outlines
}

bool HasTool(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

// The first page of the PDF written for the pages, as the system's PDF renderer draws it at one pixel a unit, and
// the text it finds in the file.
QImage RenderedPdf(TRLGraphicStorage& storage, std::string& text) {
  TempFolder dir;
  const auto pdf = dir.path() / "cut.pdf", png = dir.path() / "cut", txt = dir.path() / "cut.txt";
  SavePagesToPdf(storage, pdf.string());
  const std::string render = "pdftoppm -r 96 -png -singlefile '" + pdf.string() + "' '" + png.string() + "'";
  const std::string extract = "pdftotext '" + pdf.string() + "' '" + txt.string() + "'";
  EXPECT_EQ(std::system(render.c_str()), 0) << render;
  EXPECT_EQ(std::system(extract.c_str()), 0) << extract;
  QImage image(QString::fromStdString(png.string() + ".png"));
  std::ifstream in(txt);
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return image.convertToFormat(QImage::Format_RGB32);
}

// Texts well inside their rectangles, touching them and overflowing each side: in the PDF each one is drawn as if
// unclipped and then cut to its rectangle, and all of them stay text.
TEST(Render, PdfCutsTextsToTheirRectanglesOnly) {
  if (!HasTool("pdftoppm") || !HasTool("pdftotext")) GTEST_SKIP() << "no PDF renderer (poppler-utils)";
  struct Case {
    TRect rect;
    int x, y;
    const char* text;
  };
  const Case cases[] = {
      {{20, 10, 300, 26}, 24, 12, "Conceição Assunção Ltda"},    // inside
      {{20, 40, 90, 56}, 24, 42, "Distribuidora Sampaio Ltda"},  // overflows the right side
      {{40, 70, 300, 86}, 20, 72, "Farmácia Ipê"},               // starts before the left side
      {{20, 104, 300, 111}, 24, 102, "Ótica Ágil, gjpq"},        // overflows the top and the bottom
      {{20, 130, 86, 140}, 24, 130, "Livraria"},                 // its cell exactly
  };
  TRLGraphicStorage clipped, unclipped;
  for (auto* storage : {&clipped, &unclipped}) {
    auto page = Page(320, 160);
    page->Font().SetName("Verdana");
    page->Font().SetSize(9);
    page->Brush().SetStyle(bsClear);
    for (const Case& k : cases) {
      page->TextOut(k.rect, k.x, k.y, k.text, MetaTextAlignmentLeft, MetaTextLayoutTop,
                    storage == &clipped ? 0 : tfNoClip);
    }
    storage->Add(std::move(page));
  }
  std::string text, ignored;
  QImage actual = RenderedPdf(clipped, text), expected = RenderedPdf(unclipped, ignored);
  ASSERT_FALSE(actual.isNull());
  ASSERT_EQ(actual.size(), expected.size());
  QRegion kept;
  for (const Case& k : cases)
    kept += QRect(k.rect.Left, k.rect.Top, k.rect.Right - k.rect.Left, k.rect.Bottom - k.rect.Top);
  {
    QPainter cut(&expected);
    for (const QRect& r : QRegion(expected.rect()) - kept) cut.fillRect(r, Qt::white);
  }
  int differing = 0;
  for (int y = 0; y < actual.height(); ++y) {
    for (int x = 0; x < actual.width(); ++x) differing += actual.pixel(x, y) != expected.pixel(x, y);
  }
  EXPECT_EQ(differing, 0);
  for (const Case& k : cases) EXPECT_NE(text.find(k.text), std::string::npos) << k.text << " in:\n" << text;
}

TEST(Render, RealisticPageHasItsHeadingAndTexts) {
  auto page = Page(794, 1123);
  page->Pen().SetWidth(2);
  page->Brush().SetColor(RGBColor(234, 234, 234));
  page->Rectangle(38, 38, 756, 110);
  page->Font().SetName("Verdana");
  page->Font().SetSize(14);
  page->Font().SetStyle({fsBold});
  page->Brush().SetStyle(bsClear);
  page->TextOut({38, 45, 756, 75}, 0, 0, "Relatório de clientes por cidade", MetaTextAlignmentCenter,
                MetaTextLayoutCenter, 0);
  page->Font().SetSize(9);
  page->Font().SetStyle({});
  page->TextOut({40, 80, 400, 100}, 44, 82, "Data: 10/12/2024  Hora: 09:30", 1, 1, 0);
  page->TextOut({400, 80, 752, 100}, 0, 82, "Página 1 de {LastPageNumber}", MetaTextAlignmentRight, 1, 0);
  page->Macros().Add("LastPageNumber=3");
  int y = 130;
  const char* rows[][3] = {
      {"0001", "Ana Souza", "Campinas"}, {"0002", "Bruno Lima", "Campinas"}, {"0003", "Carla Dias", "Santos"}};
  page->Pen().SetWidth(1);
  for (auto& row : rows) {
    page->TextOut({40, y, 120, y + 18}, 44, y, row[0], 1, 1, 0);
    page->TextOut({120, y, 450, y + 18}, 124, y, row[1], 1, 1, 0);
    page->TextOut({450, y, 752, y + 18}, 454, y, row[2], 1, 1, 0);
    page->MoveTo(40, y + 19);
    page->LineTo(752, y + 19);
    y += 22;
  }
  page->Pen().SetStyle(psDash);
  page->Pen().SetWidth(3);
  page->MoveTo(40, y + 10);
  page->LineTo(752, y + 10);

  auto image = RenderPageToImage(*page, 1.0);
  EXPECT_EQ(image->Canvas().Pixels(100, 60), RGBColor(234, 234, 234));  // inside the heading box
  EXPECT_EQ(image->Canvas().Pixels(38, 60), clBlack);                   // its outline
  EXPECT_EQ(image->Canvas().Pixels(300, 600), clWhite);
  if (const char* out = std::getenv("PAGES_SAMPLE_PNG")) {
    std::ofstream file(out, std::ios::binary);
    file << image->SaveToPngBytes();
  }
}

}  // namespace

namespace {

// Values no report writes but damaged data may hold: painting stays defined and finishes.
TEST(Render, ExtremeRecordedValuesPaintWithoutFault) {
  auto page = Page(100, 100);
  auto* line = new TRLLineObject(page.get());
  line->SetFromPoint({INT_MIN, 5});
  line->SetToPoint({INT_MAX, 5});
  line->Pen().SetStyle(2);
  line->Pen().SetWidth(2);
  auto* rect = new TRLRectangleObject(page.get());
  rect->SetBoundsRect({INT_MAX - 1, INT_MIN, INT_MAX, INT_MAX});
  rect->Pen().SetWidth(INT_MAX);
  auto* text = new TRLTextObject(page.get());
  text->SetBoundsRect({0, 0, 50, 50});
  text->Font().SetSize(INT_MAX);
  text->SetText("x");
  auto* image = new TRLImageObject(page.get());
  image->SetBoundsRect({INT_MIN, 0, INT_MAX, 10});
  image->SetIntegralScale(1);
  Fill(*page, {40, 40, 60, 60}, kRed);
  auto bitmap = RenderPageToImage(*page, 3.0);
  EXPECT_EQ(bitmap->Canvas().Pixels(150, 150), clRed);
}

// Texts whose boxes lie at the ends of the int range (damaged data) are placed there, far off the page, not wrapped
// round onto it; a justified one in a box as wide as the range is laid out within a bounded count of spaces.
TEST(Render, TextsAtTheEndsOfTheRangeStayThere) {
  struct Case {
    const char* name;
    std::uint8_t alignment, layout;
    TRect rect;
  };
  const Case cases[] = {
      {"centred at the right end", MetaTextAlignmentCenter, MetaTextLayoutTop, {INT_MAX - 100, 10, INT_MAX, 40}},
      {"centred at the left end", MetaTextAlignmentCenter, MetaTextLayoutTop, {INT_MIN, 10, INT_MIN + 100, 40}},
      {"right at the left end", MetaTextAlignmentRight, MetaTextLayoutTop, {INT_MIN, 10, INT_MIN + 10, 40}},
      {"middle at the bottom end", MetaTextAlignmentLeft, MetaTextLayoutCenter, {10, INT_MAX - 100, 190, INT_MAX}},
      {"bottom at the top end", MetaTextAlignmentLeft, MetaTextLayoutBottom, {10, INT_MIN, 190, INT_MIN + 5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto page = Page(200, 80);
    page->Font().SetName("Verdana");
    page->Font().SetSize(10);
    page->Brush().SetStyle(bsClear);
    page->TextOut(c.rect, 10, 10, "Clientes por cidade, todos os estados", c.alignment, c.layout, tfNoClip);
    EXPECT_FALSE(HasInk(*RenderPageToImage(*page, 1.0)));
  }

  auto page = Page(200, 80);
  page->Font().SetName("Verdana");
  page->Font().SetSize(10);
  page->Brush().SetStyle(bsClear);
  page->TextOut({0, 10, INT_MAX, 40}, 10, 10, "Clientes por cidade", MetaTextAlignmentJustify, MetaTextLayoutTop, 0);
  auto image = RenderPageToImage(*page, 1.0);
  // The gaps take thousands of spaces each: only the first word is on the page.
  TBitmap expected(200, 80);
  TCanvas& canvas = expected.Canvas();
  canvas.FillRect({0, 0, 200, 80});
  FromMetaFont(dynamic_cast<TRLTextObject*>(page->Objects(0))->Font(), canvas.Font(), 1.0);
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(canvas.TextWidth(" ") / 2 + 10, 10, "Clientes");
  canvas.EndPaint();
  EXPECT_TRUE(HasInk(*image));
  EXPECT_TRUE(Same(*image, expected));
}

// Pages the fuzz target found faults in, painted as it paints them: whole on a small image, and zoomed out past its
// edges. Their texts' boxes lie at the ends of the int range, so nothing of them reaches the image.
TEST(Render, PagesWithTextBoxesAtTheEndsOfTheRangePaintNothing) {
  for (const char* name : {"text-centre-overflow", "inverted-clip", "text-at-the-bottom-end"}) {
    SCOPED_TRACE(name);
    std::ifstream in(std::string(RELCLIENTES_TESTS_DIR) + "/fuzz/corpus/surface_reader/" + name, std::ios::binary);
    TRLMemoryStream stream(std::string(std::istreambuf_iterator<char>(in), {}));
    TRLGraphicSurface surface;
    surface.LoadFromStream(stream);
    ASSERT_GT(surface.ObjectCount(), 0);
    TBitmap bitmap(48, 64);
    bitmap.Canvas().FillRect({0, 0, 48, 64});
    surface.PaintTo(bitmap.Canvas(), {0, 0, 48, 64});
    surface.PaintTo(bitmap.Canvas(), {-200, -300, 400, 600});
    bitmap.Canvas().EndPaint();
    EXPECT_FALSE(HasInk(bitmap));
  }
}

// A polygon reaching the end of the coordinate range, as a damaged file may hold, paints the part of it that falls
// on the image, at the cost of the image's size.
TEST(Render, PolygonWithAnExtremePointPaintsItsVisiblePart) {
  auto page = Page(100, 100);
  auto* polygon = new TRLPolygonObject(page.get());
  polygon->SetPoints({{10, 10}, {INT_MAX, 10}, {10, 90}});
  polygon->Brush().SetColor(kBlue);
  auto bitmap = RenderPageToImage(*page, 0.5);
  TCanvas& canvas = bitmap->Canvas();
  for (int x = 5; x < 50; ++x) EXPECT_EQ(canvas.Pixels(x, 5), clBlack) << x;
  for (int y = 5; y < 45; ++y) EXPECT_EQ(canvas.Pixels(5, y), clBlack) << y;
  EXPECT_EQ(canvas.Pixels(30, 20), clBlue);
  EXPECT_EQ(canvas.Pixels(30, 47), clWhite);
  EXPECT_EQ(canvas.Pixels(3, 3), clWhite);
}

}  // namespace
