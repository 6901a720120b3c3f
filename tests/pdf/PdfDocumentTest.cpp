// PDF documents drawn through a canvas by our writer read as Qt's writer's do: the same words at the same places,
// the same ink but for the edges of glyphs, and no fault qpdf finds; whatever our writer does not reproduce goes to
// Qt's writer. Pages are read with poppler's pdftotext and pdftoppm.
#include "core/SafeFile.h"
#include "graphics/Bitmap.h"
#include "pdf/PdfDocument.h"
#include "pdf/PdfFile.h"
#include "pdf/PdfPaintEngine.h"
#include "pdf/PdfResources.h"
#include "support/PdfInk.h"
#include "support/TempFolder.h"

#include <QBuffer>
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

bool HasPoppler() {
  return std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdftoppm >/dev/null 2>&1") == 0;
}

std::string Output(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, n);
  return out;
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The page as poppler draws it.
QImage Rendered(const std::string& pdf, int page, int dpi) {
  const std::string png = pdf + "-" + std::to_string(page) + "-" + std::to_string(dpi);
  const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -png -singlefile -f " + std::to_string(page) +
                              " -l " + std::to_string(page) + " '" + pdf + "' '" + png + "'";
  if (std::system(command.c_str()) != 0) return {};
  return QImage(QString::fromStdString(png + ".png")).convertToFormat(QImage::Format_RGB32);
}

struct TWord {
  std::string text;
  double box[4];
};

// The words of every page as a reader places them, in points.
std::vector<TWord> Words(const std::string& pdf) {
  const std::string html = Output("pdftotext -bbox '" + pdf + "' -");
  static const std::regex kWord(
      R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
  std::vector<TWord> words;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), kWord); it != std::sregex_iterator(); ++it) {
    words.push_back({(*it)[5], {std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])}});
  }
  return words;
}

// The same words at the same places, within 0.05 point.
void ExpectSameWords(const std::string& ours, const std::string& qt) {
  const std::vector<TWord> a = Words(ours), b = Words(qt);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_FALSE(a.empty());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].text, b[i].text);
    for (int side = 0; side < 4; ++side) EXPECT_NEAR(a[i].box[side], b[i].box[side], 0.05) << a[i].text;
  }
}

// qpdf finds no fault in the file.
void ExpectSound(const std::string& pdf) {
  if (std::system("command -v qpdf >/dev/null 2>&1") != 0) return;
  const std::string report = Output("qpdf --check '" + pdf + "' 2>&1; echo \"exit $?\"");
  EXPECT_NE(report.find("No syntax or stream encoding errors found"), std::string::npos) << report;
  EXPECT_NE(report.find("exit 0"), std::string::npos) << report;
}

void Write(TCanvas& canvas, int x, int y, const std::string& text, const std::string& font, int size,
           TFontStyles style = {}) {
  canvas.Font().SetName(font);
  canvas.Font().SetSize(size);
  canvas.Font().SetStyle(style);
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(x, y, text);
}

TFontStyles Bold() {
  TFontStyles style;
  style.Include(fsBold);
  return style;
}

using TDrawing = std::function<void(TCanvas&)>;

// Draws each drawing on a page of its own.
void DrawPages(TPdfDocument& document, const std::vector<TDrawing>& pages) {
  for (const TDrawing& draw : pages) draw(document.NewPage(100, 60));
}

const std::vector<TDrawing> kExactPages = {
    // Texts of the client report's kind: accents, digits, a ligature, two faces, several sizes.
    [](TCanvas& c) {
      Write(c, 10, 10, "Relatório de Clientes — ficha nº 0123456789", "DejaVu Sans", 8);
      Write(c, 10, 30, "São Paulo: Açúcar & Café, Ltda. (filial)", "DejaVu Sans", 10, Bold());
      Write(c, 10, 55, "Grandes números: 1.234.567,89", "DejaVu Sans", 14);
      Write(c, 10, 85, "Liberation Serif, Fim de linha ffi", "Liberation Serif", 11);
      Write(c, 10, 110, "Mono 10  tab\there", "Liberation Mono", 9);
      Write(c, 10, 135, "Serif negrito Ωμέγα", "DejaVu Serif", 12, Bold());
    },
    // Lines, frames and fills in colours and widths, under a clip.
    [](TCanvas& c) {
      c.Pen().SetColor(clBlack);
      c.Pen().SetWidth(1);
      c.Brush().SetStyle(bsSolid);
      c.Brush().SetColor(static_cast<TColor>(0xEAEAEA));
      c.Rectangle(10, 10, 200, 60);
      c.Pen().SetWidth(3);
      c.Pen().SetColor(static_cast<TColor>(0x0000C0));
      c.MoveTo(10, 80);
      c.LineTo(300, 95);
      c.Ellipse(220, 10, 330, 70);
      c.RoundRect(20, 110, 150, 190, 20, 20);
      const TPoint star[] = {{200, 110}, {260, 200}, {170, 140}, {290, 140}, {230, 200}};
      c.Brush().SetColor(static_cast<TColor>(0x30A030));
      c.Polygon(star);
      c.SetClipRect({40, 20, 120, 45});
      Write(c, 30, 25, "cortado pelo retângulo", "DejaVu Sans", 12);
      c.Brush().SetStyle(bsSolid);
      c.Brush().SetColor(static_cast<TColor>(0x00A0FF));
      c.FillRect({100, 15, 160, 50});
      c.RemoveClip();
    },
    // A text on an opaque background, and a page with nothing but its paper.
    [](TCanvas& c) {
      c.Font().SetName("Liberation Sans");
      c.Font().SetSize(10);
      c.Brush().SetStyle(bsSolid);
      c.Brush().SetColor(static_cast<TColor>(0x80FFFF));
      c.TextOut(15, 15, "fundo amarelo");
    },
    // Underlined and struck-out texts, drawn by their characters.
    [](TCanvas& c) {
      TFontStyles underlined, struck;
      underlined.Include(fsUnderline);
      struck.Include(fsStrikeOut);
      Write(c, 10, 10, "sublinhado: Relatório fi", "DejaVu Sans", 10, underlined);
      Write(c, 10, 40, "riscado 123", "Liberation Serif", 12, struck);
    },
    [](TCanvas&) {},
};

}  // namespace

// Every page of the sample drawn by both writers renders to the same ink, but for the edges of glyphs.
void ExpectSameInk(const std::string& ours, const std::string& qt, std::initializer_list<int> resolutions) {
  for (int page = 1; page <= static_cast<int>(kExactPages.size()); ++page) {
    for (int dpi : resolutions) {
      SCOPED_TRACE("page " + std::to_string(page) + " at " + std::to_string(dpi) + " dpi");
      const QImage a = Rendered(ours, page, dpi), b = Rendered(qt, page, dpi);
      ASSERT_FALSE(a.isNull());
      const int difference = InkDifference(a, b, dpi);
      EXPECT_GE(difference, 0);
      EXPECT_LE(difference, kEdgeInk);
    }
  }
}

TEST(PdfStreams, DeflatedStreamsInflateToWhatWasGiven) {
  std::string random(300000, '\0');
  std::uint32_t state = 12345;
  for (char& c : random) c = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
  std::string page;
  for (int i = 0; i < 20000; ++i) page += std::to_string(i % 97) + " 0 Td <00" + std::to_string(i % 89) + "> Tj\n";
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""}, {"one byte", "x"}, {"page content", page}, {"bytes that do not compress", random}};
  for (const auto& [what, data] : cases) {
    const std::string deflated = TPdfFile::Deflate(data);
    // A zlib stream, which qUncompress reads after the length it expects in front.
    QByteArray sized(4, '\0');
    for (int i = 0; i < 4; ++i) sized[i] = static_cast<char>((data.size() >> (24 - 8 * i)) & 0xFF);
    const QByteArray inflated =
        qUncompress(sized + QByteArray(deflated.data(), static_cast<qsizetype>(deflated.size())));
    EXPECT_TRUE(inflated.toStdString() == data) << what;
    if (data.size() > 1000 && data != random) {
      EXPECT_LT(deflated.size(), data.size() / 4) << what;
    }
  }
}

// PDF numbers are the shortest decimals that read back as the value, as the C++ library gives them, without an
// exponent; a few that are not: very small values are 0, and values a page cannot hold its largest.
TEST(PdfNumbers, AreTheShortestDecimalsThatReadBack) {
  const std::pair<double, const char*> cases[] = {{0, "0"},
                                                  {-3, "-3"},
                                                  {12.5, "12.5"},
                                                  {-0.25, "-0.25"},
                                                  {0.125, "0.125"},
                                                  {269.75, "269.75"},
                                                  {0.1, "0.1"},
                                                  {10.02, "10.02"},
                                                  {-999999.999, "-999999.999"},
                                                  {0.1 + 0.2, "0.30000000000000004"},
                                                  {1e-10, "0"},
                                                  {1.0 / 3, "0.3333333333333333"},
                                                  {1e300, "32767"},
                                                  {-1e300, "-32767"},
                                                  {std::nan(""), "0"},
                                                  {1e7 + 0.5, "10000000.5"}};
  for (const auto& [value, expected] : cases) {
    std::string out;
    AppendPdfNumber(out, value);
    EXPECT_EQ(out, expected) << value;
  }
  // Values of every kind a page draws with: their text reads back as them and is no longer than the library's.
  std::mt19937_64 rng(5);
  for (int i = 0; i < 200000; ++i) {
    const int kind = i % 4;
    const double whole = static_cast<double>(static_cast<long long>(rng() % 2000000) - 1000000);
    const double value = kind == 0   ? whole / 1000
                         : kind == 1 ? whole / 64
                         : kind == 2
                             ? whole / 7
                             : std::ldexp(static_cast<double>(rng() % (1u << 30)), -static_cast<int>(rng() % 40));
    std::string out;
    AppendPdfNumber(out, value);
    char expected[64];
    const auto [end, error] = std::to_chars(expected, expected + sizeof expected, value, std::chars_format::fixed);
    ASSERT_EQ(error, std::errc());
    if (std::abs(value) >= 1e-9) {
      ASSERT_EQ(out, std::string(expected, end)) << value;
    }
  }
}

TEST(PdfDocument, PagesReadAsQtsWriterPages) {
  if (!HasPoppler()) GTEST_SKIP() << "no poppler-utils";
  TempFolder dir;
  const std::string ours = dir.File("ours.pdf"), qt = dir.File("qt.pdf");
  {
    TPdfDocument document(ours);
    DrawPages(document, kExactPages);
    EXPECT_TRUE(document.Exact());
    ASSERT_TRUE(document.Close());
  }
  {
    TPdfDocument document(qt, TPdfDocument::TWriter::Qt);
    DrawPages(document, kExactPages);
    ASSERT_TRUE(document.Close());
  }
  ASSERT_EQ(ReadFile(ours).substr(0, 5), "%PDF-");
  ExpectSound(ours);
  ExpectSameInk(ours, qt, {96, 150, 300});
  ExpectSameWords(ours, qt);
  EXPECT_EQ(Output("pdftotext -layout '" + ours + "' -"), Output("pdftotext -layout '" + qt + "' -"));
  const std::string fonts = Output("pdffonts '" + ours + "'");
  for (const char* face :
       {"DejaVuSans ", "DejaVuSans-Bold", "LiberationSerif", "LiberationMono", "DejaVuSerif-Bold", "LiberationSans"}) {
    EXPECT_NE(fonts.find(face), std::string::npos) << face << " embedded\n" << fonts;
  }
}

// A printer's resolution, no paper painted. (Where its canvas starts is compared with Qt's printer jobs.)
TEST(PdfDocument, PagesOfAnotherLayoutReadAsQtsWriterPages) {
  if (!HasPoppler()) GTEST_SKIP() << "no poppler-utils";
  TempFolder dir;
  const std::string ours = dir.File("ours.pdf"), qt = dir.File("qt.pdf");
  TPdfDocument::TLayout layout;
  layout.Resolution = 1200;
  layout.WhitePaper = false;
  for (auto [file, writer] : {std::pair{ours, TPdfDocument::TWriter::Own}, std::pair{qt, TPdfDocument::TWriter::Qt}}) {
    TPdfDocument document(file, writer, layout);
    DrawPages(document, kExactPages);
    ASSERT_TRUE(document.Close());
  }
  ExpectSound(ours);
  ExpectSameInk(ours, qt, {100, 150});
  ExpectSameWords(ours, qt);
}

// What our writer does not reproduce makes the document inexact: it writes no file, and the pages go to Qt's writer.
TEST(PdfDocument, WhatItDoesNotReproduceLeavesNoFile) {
  struct Case {
    const char* name;
    TDrawing draw;
  };
  const Case cases[] = {
      {"hatched brush",
       [](TCanvas& c) {
         c.Brush().SetStyle(bsCross);
         c.Brush().SetColor(clBlack);
         c.FillRect({10, 10, 60, 60});
       }},
      {"raster pen mode",
       [](TCanvas& c) {
         c.Pen().SetMode(pmXor);
         c.MoveTo(10, 10);
         c.LineTo(80, 40);
       }},
      {"dashed pen",
       [](TCanvas& c) {
         c.Pen().SetStyle(psDash);
         c.MoveTo(10, 10);
         c.LineTo(80, 40);
       }},
      {"picture",
       [](TCanvas& c) {
         TBitmap bitmap(8, 8);
         bitmap.Canvas().Brush().SetColor(clRed);
         bitmap.Canvas().FillRect({0, 0, 8, 8});
         bitmap.Canvas().EndPaint();
         c.Draw(10, 10, bitmap);
       }},
      {"made-up bold", [](TCanvas& c) { Write(c, 10, 10, "negrito inventado", "DejaVu Math TeX Gyre", 10, Bold()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    const std::string file = dir.File("inexact.pdf");
    TPdfDocument document(file);
    Write(document.NewPage(100, 60), 10, 40, "antes", "DejaVu Sans", 10);
    EXPECT_TRUE(document.Exact());
    c.draw(document.NewPage(100, 60));
    EXPECT_FALSE(document.Exact());
    EXPECT_FALSE(document.Close());
    EXPECT_FALSE(std::filesystem::exists(file));
  }
}

// Pages added to be drawn on the document's threads make the file that pages drawn one after the other make, to the
// byte (but the creation date): the glyphs of the subsets and the faces numbered in page order whichever thread drew
// which page first, pages started with NewPage in between included.
TEST(PdfDocument, PagesDrawnOnThreadsMakeTheFileOfPagesDrawnInTurn) {
  // Pages whose glyphs and faces come in different orders: each page's first use decides their numbers. An added
  // page starts with the font, pen and brush of a new canvas, whatever the page before it left.
  std::vector<TDrawing> pages;
  const auto fresh = [](const TDrawing& draw) {
    return [draw](TCanvas& c) {
      c.SetFont(TFont());
      c.SetPen(TPen());
      c.SetBrush(TBrush());
      c.SetPenPos({0, 0});
      draw(c);
    };
  };
  // A face first drawn on a slow page, and at another size on the quick page after it: embedded as first drawn in
  // page order, whichever thread drew it first.
  pages.push_back(fresh([](TCanvas& c) {
    for (int i = 0; i < 4000; ++i) c.FillRect({i % 300, i % 150, i % 300 + 2, i % 150 + 2});
    Write(c, 10, 10, "devagar", "DejaVu Sans Mono", 8);
  }));
  pages.push_back(fresh([](TCanvas& c) { Write(c, 10, 10, "depressa", "DejaVu Sans Mono", 20); }));
  for (int round = 0; round < 6; ++round) {
    for (std::size_t i = 0; i < kExactPages.size(); ++i) {
      pages.push_back(fresh(kExactPages[(i + round) % kExactPages.size()]));
    }
    pages.push_back(fresh([round](TCanvas& c) {
      Write(c, 10, 10 + round, "Página " + std::to_string(round) + " áéíóú ÀÉÍÓÚ xyzwq", "DejaVu Sans", 7 + round);
    }));
  }
  const auto without_date = [](std::string pdf) {
    const std::size_t at = pdf.find("/CreationDate (D:");
    return at == std::string::npos ? pdf : pdf.erase(at, pdf.find(')', at) - at);
  };
  TempFolder dir;
  const std::string in_turn = dir.File("in_turn.pdf");
  {
    TPdfDocument document(in_turn);
    DrawPages(document, pages);
    ASSERT_TRUE(document.Close());
  }
  const std::string expected = without_date(ReadFile(in_turn));
  for (int every : {0, 3}) {
    SCOPED_TRACE(every ? "every third page with NewPage" : "every page added");
    const std::string file = dir.File("threads" + std::to_string(every) + ".pdf");
    {
      TPdfDocument document(file);
      for (std::size_t i = 0; i < pages.size(); ++i) {
        if (every && i % every == 0) pages[i](document.NewPage(100, 60));
        else document.AddPage(100, 60, pages[i]);
      }
      EXPECT_TRUE(document.Exact());
      ASSERT_TRUE(document.Close());
    }
    const std::string got = without_date(ReadFile(file));
    const std::size_t differs =
        std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first - got.begin();
    EXPECT_EQ(differs, got.size()) << "first difference at byte " << differs << " of " << got.size() << ": \""
                                   << got.substr(differs >= 40 ? differs - 40 : 0, 80) << "\"";
    EXPECT_EQ(got.size(), expected.size());
  }
}

// Pages added to a document of our writer go to Qt's writer, every one of them and in order, once one of them draws
// what ours does not write exactly; a page whose drawing fails raises the failure and leaves no file.
TEST(PdfDocument, AddedPagesGoToQtsWriterOnceOneNeedsIt) {
  if (!HasPoppler()) GTEST_SKIP() << "no poppler-utils";
  const auto text = [](int page) {
    return TDrawing([page](TCanvas& c) { Write(c, 10, 40, "texto " + std::to_string(page), "DejaVu Sans", 10); });
  };
  const TDrawing dashed = [](TCanvas& c) {
    c.Pen().SetStyle(psDash);
    c.MoveTo(10, 10);
    c.LineTo(80, 40);
  };
  const TDrawing failing = [](TCanvas&) { throw std::runtime_error("drawing failed"); };
  for (const bool fails : {false, true}) {
    SCOPED_TRACE(fails ? "failing" : "inexact");
    TempFolder dir;
    const std::string file = dir.File("pages.pdf");
    bool raised = false;
    try {
      TPdfDocument document(file);
      for (int i = 0; i < 12; ++i) document.AddPage(100, 60, i != 5 ? text(i) : fails ? failing : dashed);
      EXPECT_TRUE(document.Close());
    } catch (const std::runtime_error& error) {
      raised = true;
      EXPECT_STREQ(error.what(), "drawing failed");
    }
    EXPECT_EQ(raised, fails);
    EXPECT_EQ(std::filesystem::exists(file), !fails);
    if (fails) continue;
    const std::string info = Output("pdfinfo '" + file + "'");
    EXPECT_EQ(info.find("relclientes\n", info.find("Producer:")), std::string::npos) << "written by Qt's writer\n"
                                                                                     << info;
    std::string expected;
    for (int i = 0; i < 12; ++i) expected += i == 5 ? "\f" : "texto " + std::to_string(i) + "\n\n\f";
    EXPECT_EQ(Output("pdftotext '" + file + "' -"), expected);
  }
}

// Once the engine meets what it does not reproduce, it draws nothing more: no approximation of it, and nothing after.
TEST(PdfDocument, AnEngineStopsAtWhatItDoesNotReproduce) {
  TempFolder dir;
  TSafeFile safe(dir.File("engine.pdf"));
  TPdfFile file(safe);
  TPdfResources resources(file);
  TPdfPaintDevice device(resources, 96);
  device.Engine().StartPage(100);
  {
    TCanvas canvas(&device, 1.0);
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect({0, 0, 10, 10});
    canvas.Brush().SetStyle(bsCross);
    canvas.FillRect({20, 20, 30, 30});
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect({40, 40, 50, 50});
    Write(canvas, 10, 10, "depois", "DejaVu Sans", 10);
    canvas.EndPaint();
  }
  EXPECT_FALSE(device.Engine().Exact());
  const std::string content = device.Engine().FinishPage();
  EXPECT_NE(content.find("0 0 10 10 re"), std::string::npos) << content;
  EXPECT_EQ(content.find("20 20"), std::string::npos) << content;
  EXPECT_EQ(content.find("40 40"), std::string::npos) << content;
  EXPECT_EQ(content.find("Pattern"), std::string::npos) << content;
  EXPECT_EQ(content.find("BT"), std::string::npos) << content;
}

// The comparison with Qt's writer catches what a reader would see: a glyph moved by one pixel, an accent missing, at
// every resolution the tests render at.
TEST(PdfDocument, TheInkComparisonSeesAGlyphMovedOrAMarkMissing) {
  if (!HasPoppler()) GTEST_SKIP() << "no poppler-utils";
  TempFolder dir;
  const auto page = [](const std::string& text, int shift) {
    return TDrawing([text, shift](TCanvas& c) {
      Write(c, 10, 10, "Relat", "DejaVu Sans", 8);
      Write(c, 10 + c.TextWidth("Relat") + shift, 10, text, "DejaVu Sans", 8);
    });
  };
  struct Case {
    const char* name;
    TDrawing qt;
  };
  const Case cases[] = {{"the same", page("ório", 0)}, {"moved", page("ório", 1)}, {"no accent", page("orio", 0)}};
  const std::string ours = dir.File("ours.pdf");
  {
    TPdfDocument document(ours);
    page("ório", 0)(document.NewPage(100, 60));
    ASSERT_TRUE(document.Close());
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string qt = dir.File(std::string(c.name) + ".pdf");
    {
      TPdfDocument document(qt, TPdfDocument::TWriter::Qt);
      c.qt(document.NewPage(100, 60));
      ASSERT_TRUE(document.Close());
    }
    for (int dpi : {96, 150, 300}) {
      const int difference = InkDifference(Rendered(ours, 1, dpi), Rendered(qt, 1, dpi), dpi);
      if (c.name == std::string("the same")) EXPECT_LE(difference, kEdgeInk) << dpi;
      else EXPECT_GT(difference, kEdgeInk) << dpi;
    }
  }
}

// A face drawn with thousands of its glyphs is embedded whole by our writer, and reads as Qt's writer's.
TEST(PdfDocument, FacesOfManyGlyphsAreEmbedded) {
  if (!HasPoppler()) GTEST_SKIP() << "no poppler-utils";
  TempFolder dir;
  TFont many;
  many.SetName("DejaVu Sans");
  many.SetHeight(-12);
  const QRawFont raw = QRawFont::fromFont(QFont(QStringLiteral("DejaVu Sans")));
  // Letters of the face's own, left to right and without marks (Latin, Greek, Cyrillic and more), in lines of 40.
  std::vector<std::string> lines(1);
  for (char16_t c = 0x100; c < 0x2000; ++c) {
    const QChar q(c);
    if (!q.isLetter() || !raw.supportsCharacter(q)) continue;
    if (lines.back().size() >= 80) lines.emplace_back();
    lines.back() += QString(q).toStdString();
  }
  ASSERT_GT(lines.size(), 40u);
  const std::string ours = dir.File("ours.pdf"), qt = dir.File("qt.pdf");
  for (auto [file, writer] : {std::pair{ours, TPdfDocument::TWriter::Own}, std::pair{qt, TPdfDocument::TWriter::Qt}}) {
    TPdfDocument document(file, writer);
    TCanvas& canvas = document.NewPage(210, 297);
    canvas.SetFont(many);
    for (std::size_t i = 0; i < lines.size(); ++i) canvas.TextOut(10, 10 + 14 * static_cast<int>(i), lines[i]);
    EXPECT_TRUE(document.Exact());
    ASSERT_TRUE(document.Close());
  }
  ExpectSound(ours);
  ExpectSameWords(ours, qt);
  const int difference = InkDifference(Rendered(ours, 1, 150), Rendered(qt, 1, 150), 150);
  EXPECT_GE(difference, 0);
  EXPECT_LE(difference, kEdgeInk);
}

TEST(SafeFile, APdfDocumentAppearsOnlyWhenClosed) {
  TempFolder dir;
  const std::string target = dir.File("pages.pdf");
  {
    TPdfDocument abandoned(target);
    abandoned.NewPage(210, 297);
  }
  EXPECT_TRUE(dir.Names().empty()) << "a document destroyed without Close leaves nothing";
  {
    TPdfDocument document(target);
    document.NewPage(210, 297);
    EXPECT_FALSE(std::filesystem::exists(target)) << "not there while it is being written";
    ASSERT_TRUE(document.Close());
  }
  EXPECT_EQ(ReadFile(target).substr(0, 5), "%PDF-");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"pages.pdf"}));
}

TEST(PdfDocument, BookmarksNestGoToTheirPagesAndTheFileOpensOnThem) {
  if (std::system("command -v mutool >/dev/null 2>&1 && command -v pdfinfo >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "no mupdf-tools or poppler-utils";
  }
  TempFolder dir;
  const std::string target = dir.File("outline.pdf");
  TPdfDocument document(target);
  document.SetInfo({"Clientes de São Paulo", "Clientes por cidade", "Fulano de Tal"});
  for (int i = 0; i < 3; ++i) document.NewPage(210, 297);
  // Rows in canvas pixels from the top of an A4 page, 842 points high: 96 pixels are 72 points.
  document.SetOutline({{"Cidade São Paulo", 0, 0, 96},
                       {"Bairro Sé", 1, 0, 480},
                       {"Bairro Água Rasa", 1, 1, 0},
                       {"Cidade Óbidos", 0, 2, 960},
                       {"Past the last page", 0, 3, 0},
                       {"Too deep", 5, 2, 1000}});
  ASSERT_TRUE(document.Close());

  const std::string outline = Output("mutool show '" + target + "' outline");
  // mutool lists each bookmark with its page and its row from the page's top in points; "+" marks one closed on
  // its children. The item past the last page is left out; the one too deep hangs from the one before it.
  EXPECT_EQ(outline,
            "+\t\"Cidade São Paulo\"\t#page=1&zoom=nan,0,72\n"
            "|\t\t\"Bairro Sé\"\t#page=1&zoom=nan,0,360\n"
            "|\t\t\"Bairro Água Rasa\"\t#page=2&zoom=nan,0,0\n"
            "+\t\"Cidade Óbidos\"\t#page=3&zoom=nan,0,720\n"
            "|\t\t\"Too deep\"\t#page=3&zoom=nan,0,750\n");
  const std::string info = Output("pdfinfo '" + target + "'");
  EXPECT_NE(info.find("Title:           Clientes de São Paulo\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Subject:         Clientes por cidade\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Author:          Fulano de Tal\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Creator:         relclientes "), std::string::npos) << info;
  EXPECT_NE(info.find("CreationDate:"), std::string::npos) << info;
  EXPECT_NE(ReadFile(target).find("/PageMode /UseOutlines"), std::string::npos);
}

TEST(PdfDocument, WithoutBookmarksTheFileOpensOnItsPagesAndQtsWriterTakesTheTitle) {
  if (std::system("command -v pdfinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "no poppler-utils";
  TempFolder dir;
  for (const auto writer : {TPdfDocument::TWriter::Own, TPdfDocument::TWriter::Qt}) {
    const std::string target = dir.File(writer == TPdfDocument::TWriter::Own ? "own.pdf" : "qt.pdf");
    TPdfDocument document(target, writer);
    document.SetInfo({"Relação de Clientes Por Cidade", "", ""});
    document.NewPage(210, 297);
    document.SetOutline({});
    ASSERT_TRUE(document.Close());
    SCOPED_TRACE(target);
    const std::string info = Output("pdfinfo '" + target + "'");
    EXPECT_NE(info.find("Title:           Relação de Clientes Por Cidade\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Creator:         relclientes "), std::string::npos) << info;
    EXPECT_EQ(ReadFile(target).find("/Outlines"), std::string::npos);
  }
}
