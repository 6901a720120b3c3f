#pragma once

// Conversions between the framework's types and Qt's, for the framework's own sources only.

#include "framework/Controls.h"
#include "framework/Graphics.h"

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

class QEvent;
class QWidget;

// The platform's modifier keys and mouse buttons as a shift state.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// The key code of a platform key, or 0 for keys the system has no code for.
int KeyCodeOf(int qtKey);
// Routes the mouse events of a control's widget to the control; `widget` is the control's own backing widget.
bool DispatchMouseEvent(TControl* control, QEvent* event);

// The frame of a group box: an etched line whose top runs through the middle of the caption's line.
inline constexpr char kGroupFrameStyle[] =
    "QGroupBox { border: 2px groove palette(mid); border-radius: 0px; margin-top: 6px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; padding: 0 2px; }";
