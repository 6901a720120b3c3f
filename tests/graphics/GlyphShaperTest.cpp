// Simple texts shaped by HarfBuzz directly give the glyphs, places and widths a layout gives, and look the same
// drawn on images and in PDF files; other texts are refused and left to the layout.
#include "graphics/Canvas.h"
#include "graphics/GlyphShaper.h"
#include "graphics/ShapedText.h"
#include "graphics/TextMetrics.h"
#include "pdf/PdfDocument.h"
#include "support/PdfInk.h"
#include "support/TempFolder.h"

#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

QFont LayoutFont(const char* family, int pixels, bool bold) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

QGlyphRun LaidOut(const QString& text, const QFont& font) {
  QTextLayout layout(text, font, TFontMeasure::Device());
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  layout.setTextOption(option);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const auto runs = layout.glyphRuns();
  return runs.size() == 1 ? runs.front() : QGlyphRun();
}

const char* const kFamilies[] = {"DejaVu Sans", "DejaVu Serif", "Liberation Sans", "Liberation Serif",
                                 "DejaVu Sans Mono"};

}  // namespace

TEST(GlyphShaper, SimpleTextsGetTheGlyphsAndPlacesOfALayout) {
  // Ligatures (DejaVu's fi and ffi), accented letters, spaces at both ends, digits and signs alone.
  const char* const texts[] = {
      "Agropecuária União S.A.", "(11) 5356-0093",       "fi fl ffi office", "Oficina Filhos of staff, chef-f f",
      "  two  spaces  ",         "ÀÉÎÕÜ çñ ß ÿ Ŋ ő ~^`", "AV To Ta Wa",      "x"};
  for (const char* family : kFamilies) {
    for (int pixels : {9, 12, 17}) {
      for (bool bold : {false, true}) {
        const QFont font = LayoutFont(family, pixels, bold);
        const TShapingFace face = TShapingFace::Of(font);
        ASSERT_NE(face.shaper, nullptr) << family << " " << pixels << (bold ? " bold" : "");
        for (const char* text : texts) {
          SCOPED_TRACE(std::string(family) + " " + std::to_string(pixels) + (bold ? " bold: " : ": ") + text);
          const QString q = QString::fromUtf8(text);
          std::vector<unsigned> glyphs;
          ASSERT_TRUE(face.shaper->Shape(q, glyphs));
          const QGlyphRun expected = LaidOut(q, font);
          ASSERT_EQ(QList<quint32>(glyphs.begin(), glyphs.end()), expected.glyphIndexes());
          qreal x = expected.positions().front().x();
          const auto advances = face.face.advancesForGlyphIndexes(expected.glyphIndexes());
          for (qsizetype i = 0; i < advances.size(); ++i) {
            EXPECT_EQ(expected.positions()[i].x(), x) << "glyph " << i;
            x += advances[i].x();
          }
        }
      }
    }
  }
}

// Texts of simple characters drawn at random, most of them shaped without HarfBuzz (characters whose glyphs no rule
// starts at, or only before characters that do not follow), the others through it: the glyphs of a layout every
// time.
TEST(GlyphShaper, RandomSimpleTextsGetTheGlyphsOfALayout) {
  std::vector<char16_t> simple;
  for (char16_t c = 0x20; c < 0x180; ++c) {
    if (c <= 0x7E || (c >= 0xA1 && c != 0xAD)) simple.push_back(c);
  }
  for (const char* family : {"DejaVu Sans", "DejaVu Serif", "Liberation Sans", "Liberation Mono"}) {
    for (bool bold : {false, true}) {
      const QFont font = LayoutFont(family, 12, bold);
      const TShapingFace face = TShapingFace::Of(font);
      ASSERT_NE(face.shaper, nullptr) << family;
      unsigned seed = 12345;
      const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
      for (int i = 0; i < 1000; ++i) {
        QString text;
        for (int n = 1 + static_cast<int>(next() % 6); n > 0; --n) {
          // Some texts with an f or a space (a ligature's first component) before each character.
          if (i % 10 == 3) text += QLatin1Char('f');
          if (i % 10 == 7) text += QLatin1Char(' ');
          text += QChar(simple[next() % simple.size()]);
        }
        // Some texts of letters that ligate, or that a rule changes before a mark.
        if (i % 10 == 0) text += QStringLiteral("ffi");
        if (i % 10 == 5) text += QStringLiteral("ij fl");
        std::vector<unsigned> glyphs;
        if (!face.shaper->Shape(text, glyphs)) continue;
        EXPECT_EQ(QList<quint32>(glyphs.begin(), glyphs.end()), LaidOut(text, font).glyphIndexes())
            << family << (bold ? " bold: " : ": ") << text.toStdString();
      }
    }
  }
}

TEST(GlyphShaper, RefusesWhatOnlyALayoutShapes) {
  const TShapingFace face = TShapingFace::Of(LayoutFont("DejaVu Sans", 12, false));
  ASSERT_NE(face.shaper, nullptr);
  const char* const texts[] = {
      "e\xCC\x81",           // a combining mark
      "Ελλάδα",              // another script
      "שלום",                // right to left
      "日本",                // characters the face lacks
      "tab\there",           // a control character
      "soft\xC2\xADhyphen",  // drawn as nothing
      "no\xC2\xA0"
      "break",             // a space of its own
      "\xF0\x9F\x98\x80",  // outside the basic plane
  };
  for (const char* text : texts) {
    std::vector<unsigned> glyphs{1, 2, 3};
    EXPECT_FALSE(face.shaper->Shape(QString::fromUtf8(text), glyphs)) << text;
    EXPECT_TRUE(glyphs.empty()) << text;
  }
  // Fonts whose texts a layout draws with more than their glyphs have no shaper.
  QFont underlined = LayoutFont("DejaVu Sans", 12, false), kerned = underlined, spaced = underlined;
  underlined.setUnderline(true);
  kerned.setKerning(true);
  spaced.setLetterSpacing(QFont::AbsoluteSpacing, 1);
  for (const QFont& font : {underlined, kerned, spaced}) EXPECT_EQ(TShapingFace::Of(font).shaper, nullptr);
}

// A canvas draws simple texts by their glyphs and the others by a layout: in a PDF file both look as a painter
// given the characters makes them look, on every page.
TEST(GlyphShaper, PdfPagesLookAsThePainterDrawsThem) {
  if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "no PDF renderer (poppler-utils)";
  const char* const texts[] = {"Agropecuária União S.A.", "fi fl ffi office", "(11) 5356-0093", "Ελλάδα e\xCC\x81",
                               "  two  spaces  "};
  TempFolder dir;
  TFont font;
  font.SetName("Verdana");
  font.SetHeight(-12);
  const TFontMeasure& measure = TFontMeasure::For(font);
  {
    TPdfDocument document(dir.File("canvas.pdf"));
    TCanvas& canvas = document.NewPage(80, 40);
    canvas.SetFont(font);
    canvas.Brush().SetStyle(bsClear);
    for (int i = 0; i < 5; ++i) canvas.TextOut(10, 10 + 20 * i, texts[i]);
    ASSERT_TRUE(document.Close());
  }
  {
    QPdfWriter writer(QString::fromStdString(dir.File("painter.pdf")));
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QSizeF(80, 40), QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    painter.scale(600 / 96.0, 600 / 96.0);
    painter.fillRect(QRectF(0, 0, 80 * 96 / 25.4 + 1, 40 * 96 / 25.4 + 1), Qt::white);
    painter.setFont(measure.Font());
    for (int i = 0; i < 5; ++i)
      painter.drawText(QPointF(10, 10 + 20 * i + measure.Ascent()), QString::fromUtf8(texts[i]));
  }
  for (const char* name : {"canvas", "painter"}) {
    const std::string command =
        "pdftoppm -r 300 -png -singlefile '" + dir.File(std::string(name) + ".pdf") + "' '" + dir.File(name) + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  const QImage canvas(QString::fromStdString(dir.File("canvas.png")));
  const QImage painter(QString::fromStdString(dir.File("painter.png")));
  ASSERT_FALSE(canvas.isNull());
  const int difference = InkDifference(canvas, painter, 300);
  EXPECT_GE(difference, 0);
  EXPECT_LE(difference, kEdgeInk);
}
