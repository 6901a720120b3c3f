#pragma once

// Conversions between the framework's texts, colours and fonts and Qt's, for the platform rooms' own sources only.

#include "graphics/Graphics.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <string>
#include <string_view>

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string FromQString(const QString& text) { return text.toStdString(); }

inline QColor ToQColor(TColor color) {
  TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// A font for a 96-dpi device: a negative height is the character height in pixels.
QFont ToQFont(const TFont& font);

// Makes fontconfig's stand-ins the fonts that the system's definitions name.
void RegisterFontSubstitutes();
