#pragma once

// How far the glyphs of a text can reach around its cell, to tell when clipping a text changes nothing.

#include <QFont>
#include <QString>

#include <array>

class QRawFont;
class TFontMeasure;

// Whether the font's style is made up by slanting or thickening another face's outlines when drawing (the face has
// no italic or bold of its own), which its outline bounds do not show; true when no face answers for the font.
bool StyleIsSynthesized(const QFont& font);
// The same for a face as a font asked for it: a raw font reports the weight and style asked for, which its tables
// tell apart from the face's own.
bool StyleIsSynthesized(const QRawFont& face);

// Where ink can lie, relative to a text's pen origin on the baseline (y grows downwards). Right is counted from the
// end of the text's advance, so that the box is origin.x + Left .. origin.x + advance + Right.
struct TInkReach {
  double Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// Outline bounds of the simple Latin characters of one font at its size, hinted and unhinted together, each rounded
// out to whole units, against their hinted advances. Immutable once made, so safe to share between threads.
class TTextInk {
public:
  explicit TTextInk(const QFont& font);

  // The reach of the text's ink; false when it cannot be told from single characters (other characters, whose
  // shaping may place marks anywhere, or underlined and struck-out fonts, whose lines are drawn apart).
  bool Reach(const QString& text, TInkReach& reach) const;

  // The entry for a font's measure, made on first use. Entries live as long as the process.
  static const TTextInk& For(const TFontMeasure& measure);

private:
  static constexpr char16_t kFirst = 0x20, kLast = 0x24F;

  struct TGlyph {
    bool known = false;
    float left = 0, overhang = 0, top = 0, bottom = 0;
  };

  bool usable_ = false;
  std::array<TGlyph, kLast - kFirst + 1> glyphs_{};
};
