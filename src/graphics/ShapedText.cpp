#include "graphics/ShapedText.h"

#include "graphics/GlyphShaper.h"
#include "graphics/OwnPaintDevices.h"
#include "graphics/QtGraphics.h"
#include "graphics/TextInk.h"
#include "graphics/TextMetrics.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

// Whether a line laid out by QTextLayout draws as a painter given the characters does: not for characters that end
// a line there or that a painter handles otherwise (control characters), nor for lines under, over or through the
// text, which a layout places by its own rounding.
bool LaysOutAsPainter(const QFont& font, const QString& text) {
  if (font.underline() || font.overline() || font.strikeOut()) return false;
  return std::none_of(text.begin(), text.end(), [](QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
  });
}

// One line of the text laid out with the font, as a painter lays out a text it is given by its characters.
std::unique_ptr<QTextLayout> LayOut(const QString& text, const QFont& font) {
  auto layout = std::make_unique<QTextLayout>(text, font, TFontMeasure::Device());
  QTextOption option;
  // As a painter's: the application's direction, one line, trailing spaces counted.
  option.setTextDirection(QGuiApplication::layoutDirection());
  option.setWrapMode(QTextOption::NoWrap);
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  layout->createLine();
  layout->endLayout();
  return layout;
}

}  // namespace

TShapingFace TShapingFace::Of(const QFont& font) {
  if (font.underline() || font.overline() || font.strikeOut() || font.kerning() || font.letterSpacing() != 0 ||
      font.wordSpacing() != 0 || font.capitalization() != QFont::MixedCase ||
      (font.stretch() != QFont::AnyStretch && font.stretch() != QFont::Unstretched) || StyleIsSynthesized(font) ||
      QGuiApplication::layoutDirection() != Qt::LeftToRight) {
    return {};
  }
  // The face a layout on this thread takes for a plain letter is the font's own, unless the font lacks letters.
  const auto runs = LayOut(QStringLiteral("x"), font)->glyphRuns();
  if (runs.size() != 1 ||
      runs.front().rawFont().familyName().compare(QFontInfo(font).family(), Qt::CaseInsensitive) != 0) {
    return {};
  }
  const QRawFont face = runs.front().rawFont();
  return {face, &TGlyphShaper::For(face)};
}

TShapedText::TShapedText(const TFontMeasure& measure, std::string_view text, const TShapingFace& face)
    : text_(ToQString(text)) {
  // The glyphs of the texts a thread shapes, one after the other: most texts are shaped once.
  thread_local std::vector<unsigned> glyphs;
  if (face.shaper && face.shaper->Shape(text_, glyphs)) {
    // Drawn at the layout's places: each glyph at the sum of the hinted advances before it. The advances are read
    // into the list of places, which each then takes the place of.
    const QList<quint32> indexes(glyphs.begin(), glyphs.end());
    QList<QPointF> positions(indexes.size());
    qreal x = 0;
    if (face.face.advancesForGlyphIndexes(indexes.constData(), positions.data(), static_cast<int>(indexes.size()))) {
      for (QPointF& place : positions) {
        const qreal advance = place.x();
        place = {x, 0};
        x += advance;
      }
    } else {
      positions.clear();
    }
    glyphs_.setRawFont(face.face);
    glyphs_.setGlyphIndexes(indexes);
    glyphs_.setPositions(positions);
    width_ = static_cast<int>(std::lround(x));
    return;
  }
  if (!LaysOutAsPainter(measure.Font(), text_)) {
    font_ = measure.Font();
    width_ = measure.Width(text);
    return;
  }
  layout_ = LayOut(text_, measure.Font());
  if (QTextLine line = layout_->lineAt(0); line.isValid()) {
    ascent_ = line.ascent();
    width_ = static_cast<int>(std::lround(line.horizontalAdvance()));
  }
}

void TShapedText::Draw(QPainter& painter, const QPointF& origin) const {
  auto* runs = dynamic_cast<TGlyphRunEngine*>(painter.paintEngine());
  if (!glyphs_.isEmpty()) {
    if (runs) runs->DrawGlyphRun(origin, glyphs_);
    else painter.drawGlyphRun(origin, glyphs_);
    return;
  }
  if (layout_ && runs) {
    // Such an engine takes the layout's glyphs as they are, each run in its face.
    for (const QGlyphRun& run : layout_->glyphRuns()) {
      runs->DrawGlyphRun(QPointF(origin.x(), origin.y() - ascent_), run);
    }
    return;
  }
  if (layout_) {
    layout_->draw(&painter, QPointF(origin.x(), origin.y() - ascent_));
    return;
  }
  painter.setFont(font_);
  painter.drawText(origin, text_);
}

const TShapedText& TShapedTexts::Get(const TFontMeasure& measure, std::string_view text) {
  if (auto it = texts_.find(KeyView{&measure, text}); it != texts_.end()) return *it->second;
  if (texts_.size() >= kMaxTexts) texts_.clear();
  auto face = faces_.find(&measure);
  if (face == faces_.end()) face = faces_.emplace(&measure, TShapingFace::Of(measure.Font())).first;
  auto shaped = std::make_unique<TShapedText>(measure, text, face->second);
  return *texts_.emplace(Key{&measure, std::string(text)}, std::move(shaped)).first->second;
}
