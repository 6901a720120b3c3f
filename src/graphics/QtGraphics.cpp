#include "graphics/QtGraphics.h"

#include <QFontMetrics>

QFont ToQFont(const TFont& font) {
  QFont q(ToQString(font.Name()));
  int height = font.Height();
  if (height < 0) {
    q.setPixelSize(-height);
  } else if (height > 0) {
    // A positive height is the whole cell, internal leading included: find the character size that fills it.
    q.setPixelSize(height);
    int cell = QFontMetrics(q).height();
    if (cell > height) q.setPixelSize(std::max(1, height * height / cell));
  }
  q.setBold(font.Style().Contains(fsBold));
  q.setItalic(font.Style().Contains(fsItalic));
  q.setUnderline(font.Style().Contains(fsUnderline));
  q.setStrikeOut(font.Style().Contains(fsStrikeOut));
  if (font.Pitch() == fpFixed) q.setFixedPitch(true);
  q.setKerning(false);
  q.setHintingPreference(QFont::PreferFullHinting);
  return q;
}

void RegisterFontSubstitutes() {
  QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
  QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
  QFont::insertSubstitutions("Verdana", {"DejaVu Sans", "Liberation Sans"});
  QFont::insertSubstitutions("Tahoma", {"DejaVu Sans", "Liberation Sans"});
  QFont::insertSubstitutions("Times New Roman", {"Liberation Serif", "DejaVu Serif"});
  QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
}
