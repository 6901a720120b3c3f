// PDF documents drawn through a canvas by our writer render to the very pixels of Qt's writer, with the same text;
// the faces are embedded as Qt's writer embeds them, byte for byte; whatever our writer does not reproduce makes the
// document inexact, and such a document leaves no file. Pages are rendered with poppler's pdftoppm.
#include "graphics/Bitmap.h"
#include "pdf/PdfDocument.h"
#include "pdf/PdfFile.h"
#include "pdf/PdfFontSubset.h"
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

int DifferingPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return -1;
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) count += ra[x] != rb[x];
  }
  return count;
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

// Every page of the sample drawn by both writers renders to the same pixels.
void ExpectSamePixels(const std::string& ours, const std::string& qt, std::initializer_list<int> resolutions) {
  for (int page = 1; page <= static_cast<int>(kExactPages.size()); ++page) {
    for (int dpi : resolutions) {
      SCOPED_TRACE("page " + std::to_string(page) + " at " + std::to_string(dpi) + " dpi");
      const QImage a = Rendered(ours, page, dpi), b = Rendered(qt, page, dpi);
      ASSERT_FALSE(a.isNull());
      EXPECT_EQ(DifferingPixels(a, b), 0);
    }
  }
}

// Numbers as they stand in pages of Qt's writer: nine digits after the point, fewer after a whole part, truncated.
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

TEST(PdfNumbers, QtsFormIsTruncatedToNineDigits) {
  const std::pair<double, const char*> cases[] = {
      {0.06, "0.060000000"},
      {-0.06, "-0.060000000"},
      {10.02, "10.0199999"},
      {831.98, "831.980000"},
      {12.5, "12.5000000"},
      {224 / 255.0, "0.878431372"},
      {0.19302969324253977, "0.193029693"},
      {700.1930296932426, "700.193029"},
      {0, "0"},
      {2, "2"},
  };
  for (const auto& [value, expected] : cases) {
    std::string out;
    AppendQtPdfNumber(out, value);
    EXPECT_EQ(out, expected) << value;
  }
}

TEST(PdfDocument, PagesRenderAsQtsWriterRendersThem) {
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
  ExpectSamePixels(ours, qt, {96, 150, 300});
  EXPECT_EQ(Output("pdftotext -layout '" + ours + "' -"), Output("pdftotext -layout '" + qt + "' -"));
  const std::string fonts = Output("pdffonts '" + ours + "'");
  for (const char* face :
       {"DejaVuSans ", "DejaVuSans-Bold", "LiberationSerif", "LiberationMono", "DejaVuSerif-Bold", "LiberationSans"}) {
    EXPECT_NE(fonts.find(face), std::string::npos) << face << " embedded\n" << fonts;
  }
}

// A printer's resolution, no paper painted. (Where its canvas starts is compared with Qt's printer jobs.)
TEST(PdfDocument, PagesOfAnotherLayoutRenderAsQtsWriterRendersThem) {
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
  ExpectSamePixels(ours, qt, {100, 150});
  EXPECT_EQ(Output("pdftotext -layout '" + ours + "' -"), Output("pdftotext -layout '" + qt + "' -"));
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

// A page added that our writer cannot write exactly leaves no file, as one drawn with NewPage; a page whose drawing
// fails raises the failure and leaves no file either.
TEST(PdfDocument, PagesDrawnOnThreadsThatFailLeaveNoFile) {
  const TDrawing text = [](TCanvas& c) { Write(c, 10, 40, "texto", "DejaVu Sans", 10); };
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
      for (int i = 0; i < 12; ++i) document.AddPage(100, 60, i != 5 ? text : fails ? failing : dashed);
      EXPECT_FALSE(document.Close());
    } catch (const std::runtime_error& error) {
      raised = true;
      EXPECT_STREQ(error.what(), "drawing failed");
    }
    EXPECT_EQ(raised, fails);
    EXPECT_FALSE(std::filesystem::exists(file));
  }
}

// Each face's subset is the one Qt's writer embeds for the same glyphs drawn in the same order, to the byte: the
// outlines of hinted and composite glyphs included.
TEST(PdfDocument, FacesAreEmbeddedAsQtsWriterEmbedsThem) {
  struct Case {
    const char* family;
    int pixels;
    bool bold;
    const char* text;
    // Every ninth glyph of the face too, some drawn twice.
    bool wholeFace;
  };
  const char* const sample = "Relatório ﬁnal: Ação, 0123 — Ωμέγα";
  const Case cases[] = {
      {"DejaVu Sans", 11, false, sample, true},
      {"DejaVu Sans", 15, true, sample, true},
      {"DejaVu Serif", 13, false, sample, true},
      {"Liberation Sans", 12, false, sample, true},
      {"Liberation Serif", 16, true, sample, true},
      {"Liberation Mono", 10, false, sample, true},
      // Glyphs that all start right of the origin, with and without a space, whose box is the origin's.
      {"Liberation Serif", 12, false, "VW", false},
      {"Liberation Serif", 12, false, "V W", false},
      {"DejaVu Sans", 12, false, "óp", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.family) + ": " + c.text);
    QFont font(c.family);
    font.setPixelSize(c.pixels);
    font.setBold(c.bold);
    const QRawFont raw = QRawFont::fromFont(font);
    ASSERT_TRUE(raw.isValid());
    QList<quint32> glyphs = raw.glyphIndexesForString(QString::fromUtf8(c.text));
    if (c.wholeFace) {
      const QByteArray maxp = raw.fontTable("maxp");
      ASSERT_GE(maxp.size(), 6);
      const quint32 count = (static_cast<quint8>(maxp[4]) << 8) | static_cast<quint8>(maxp[5]);
      for (quint32 g = 3; g < count; g += 9) glyphs.append(g);
      glyphs.append(glyphs.mid(0, 10));
    }
    QList<QPointF> positions;
    for (qsizetype i = 0; i < glyphs.size(); ++i) positions.append(QPointF(10 + (i % 40) * 12, 20 + (i / 40) * 20));
    QByteArray pdf;
    {
      QBuffer buffer(&pdf);
      buffer.open(QIODevice::WriteOnly);
      QPdfWriter writer(&buffer);
      writer.setResolution(96);
      QPainter painter(&writer);
      QGlyphRun run;
      run.setRawFont(raw);
      run.setGlyphIndexes(glyphs);
      run.setPositions(positions);
      painter.drawGlyphRun(QPointF(0, 0), run);
    }
    // Qt's font file: the stream whose dictionary gives its length before deflating.
    const qsizetype entry = pdf.indexOf("/Length1 ");
    ASSERT_GE(entry, 0);
    const quint32 length = static_cast<quint32>(pdf.mid(entry + 9, 12).split(' ').front().trimmed().toUInt());
    const qsizetype start = pdf.indexOf("stream\n", entry) + 7, end = pdf.indexOf("endstream", start);
    QByteArray deflated = pdf.mid(start, end - start);
    QByteArray sized(4, '\0');
    for (int i = 0; i < 4; ++i) sized[i] = static_cast<char>((length >> (24 - 8 * i)) & 0xFF);
    const QByteArray qt_file = qUncompress(sized + deflated);
    ASSERT_EQ(static_cast<quint32>(qt_file.size()), length);

    TPdfFontSubset subset(raw);
    for (quint32 g : glyphs) subset.Add(g);
    const std::string ours = subset.FontFile().value_or("");
    EXPECT_EQ(ours.size(), static_cast<std::size_t>(qt_file.size()));
    EXPECT_TRUE(ours == qt_file.toStdString()) << "the font files differ";
  }
}

// Qt's writer always writes the short offsets of the glyph table, which reach 128 KB of glyphs: a subset bigger
// than that is not written by our writer, and the document's pages go to Qt's writer.
TEST(PdfDocument, SubsetsBeyondShortOffsetsAreLeftToQtsWriter) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(12);
  const QRawFont raw = QRawFont::fromFont(font);
  ASSERT_GT(raw.fontTable("glyf").size(), 200 * 1024);
  TPdfFontSubset small(raw), large(raw);
  for (unsigned g = 1; g < 100; ++g) small.Add(g);
  for (unsigned g = 1; g < 3000; ++g) large.Add(g);
  EXPECT_TRUE(small.FontFile().has_value());
  EXPECT_FALSE(large.FontFile().has_value());

  TempFolder dir;
  TFont many;
  many.SetName("DejaVu Sans");
  many.SetHeight(-12);
  // Letters of the face's own, left to right and without marks (Latin, Greek, Cyrillic and more), in lines of 40.
  std::vector<std::string> lines(1);
  for (char16_t c = 0x100; c < 0x2000; ++c) {
    const QChar q(c);
    if (!q.isLetter() || !raw.supportsCharacter(q)) continue;
    if (lines.back().size() >= 80) lines.emplace_back();
    lines.back() += QString(q).toStdString();
  }
  {
    TPdfDocument document(dir.File("many.pdf"));
    TCanvas& canvas = document.NewPage(210, 297);
    canvas.SetFont(many);
    for (std::size_t i = 0; i < lines.size(); ++i) canvas.TextOut(10, 10 + 14 * static_cast<int>(i), lines[i]);
    EXPECT_TRUE(document.Exact());
    EXPECT_FALSE(document.Close());
  }
  EXPECT_TRUE(dir.Names().empty());
}

// The outline rule on small contours: curves keep or drop their on-curve points, points closing a contour stay only
// in contours between the first and the last, and segments that go nowhere are left out.
TEST(PdfDocument, OutlinesAreReencodedAsQtsWriterReencodesThem) {
  constexpr long long kUnit = 64;  // outlines given in 64ths of a unit
  const auto P = [](int x, int y, bool on) { return TOutlinePoint{x * kUnit, y * kUnit, on}; };
  using Points = std::vector<std::vector<TEncodedPoint>>;
  struct Case {
    const char* name;
    TOutline outline;
    Points expected;
  };
  const Case cases[] = {
      {"a square, its closing point dropped",
       {{P(0, 0, true), P(0, 100, true), P(100, 100, true), P(100, 0, true)}},
       {{{0, 0, true}, {0, 100, true}, {100, 100, true}, {100, 0, true}}}},
      {"three squares: the middle one keeps its closing point",
       {{P(0, 0, true), P(0, 10, true), P(10, 0, true)},
        {P(20, 0, true), P(20, 10, true), P(30, 0, true)},
        {P(40, 0, true), P(40, 10, true), P(50, 0, true)}},
       {{{0, 0, true}, {0, 10, true}, {10, 0, true}},
        {{20, 0, true}, {20, 10, true}, {30, 0, true}, {20, 0, true}},
        {{40, 0, true}, {40, 10, true}, {50, 0, true}}}},
      {"a repeated point and a one-point contour vanish",
       {{P(5, 5, true)}, {P(0, 0, true), P(0, 0, true), P(0, 90, true), P(90, 0, true)}},
       {{{0, 0, true}, {0, 90, true}, {90, 0, true}}}},
      {"a curve's end stays when far from the middle of the controls around it",
       {{P(0, 0, true), P(0, 100, false), P(100, 100, false), P(100, 0, true)}},
       {{{0, 0, true}, {0, 100, false}, {50, 100, true}, {99, 100, false}, {100, 0, true}}}},
      {"a short curve's end between two curves is left implied",
       {{P(0, 0, true), P(0, 4, false), P(4, 8, false), P(8, 8, true), P(20, 0, true)}},
       {{{0, 0, true}, {0, 4, false}, {3, 7, false}, {8, 8, true}, {20, 0, true}}}},
      {"a contour of control points only",
       {{P(0, 0, false), P(0, 8, false), P(8, 8, false), P(8, 0, false)}},
       {{{4, 0, true}, {-1, -1, false}, {-1, 8, false}, {8, 8, false}, {8, -1, false}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReencodeOutline(c.outline, kUnit), c.expected);
  }
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
