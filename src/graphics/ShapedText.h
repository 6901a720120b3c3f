#pragma once

// Texts shaped once and drawn from their glyphs. A painter given a text by its characters shapes it each time it
// draws it, and a text's width needs the same shaping again; a canvas keeps the texts it shaped for both.

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <QTextLayout>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class QPainter;
class QPointF;
class TFontMeasure;
class TGlyphShaper;

// A font's face as a layout on this thread uses it, with the shaper of its simple texts; none for fonts whose
// texts a layout draws otherwise than by their glyphs alone (lines under or through them, a style made up by the
// painter, kerning or spacing of their own).
struct TShapingFace {
  QRawFont face;
  const TGlyphShaper* shaper = nullptr;

  static TShapingFace Of(const QFont& font);
};

// One line of text laid out with a font as measured for 96-dpi devices, as a painter lays out a text it is given by
// its characters: same glyphs, same positions, same width.
class TShapedText {
public:
  // Shaped by `face` when it answers for the text, or else laid out.
  TShapedText(const TFontMeasure& measure, std::string_view text, const TShapingFace& face);
  TShapedText(const TShapedText&) = delete;
  TShapedText& operator=(const TShapedText&) = delete;

  const QString& Text() const { return text_; }
  // The advance, as the font's Width gives it.
  int Width() const { return width_; }
  // Draws the text in the painter's pen with its origin on the baseline at `origin`. The painter's font is not
  // used, and may be changed.
  void Draw(QPainter& painter, const QPointF& origin) const;

private:
  QString text_;
  int width_ = 0;
  // Simple texts: their glyphs, placed on the baseline.
  QGlyphRun glyphs_;
  // The other texts but those a layout draws otherwise than a painter (line breaks and other control characters,
  // underlined and struck-out fonts), which are drawn by their characters.
  std::unique_ptr<QTextLayout> layout_;
  qreal ascent_ = 0;
  QFont font_;
};

// The texts a canvas shaped lately, for each font. Belongs to one canvas, so to one thread at a time.
class TShapedTexts {
public:
  // The text shaped with the font, shaped now unless it was lately. Valid until the next call.
  const TShapedText& Get(const TFontMeasure& measure, std::string_view text);

private:
  struct KeyView {
    const TFontMeasure* measure;
    std::string_view text;
  };
  struct Key {
    const TFontMeasure* measure;
    std::string text;
    operator KeyView() const { return {measure, text}; }
  };
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(const KeyView& k) const noexcept {
      return std::hash<std::string_view>{}(k.text) ^ (std::hash<const void*>{}(k.measure) << 1);
    }
  };
  struct Equal {
    using is_transparent = void;
    bool operator()(const KeyView& a, const KeyView& b) const noexcept {
      return a.measure == b.measure && a.text == b.text;
    }
  };

  // Most texts of a report are drawn once (a client's name); those it repeats (column titles, a city, a heading)
  // come back within a few pages. Forgotten all at once at this many, so that memory stays flat.
  static constexpr std::size_t kMaxTexts = 1024;

  std::unordered_map<Key, std::unique_ptr<TShapedText>, Hash, Equal> texts_;
  // Faces are looked up once for each font, on the canvas's thread.
  std::unordered_map<const TFontMeasure*, TShapingFace> faces_;
};
