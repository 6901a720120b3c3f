#pragma once

// Conversions between the controls' input and Qt's events, for the widgets' own sources only; the conversions of
// texts, colours and fonts come with it.

#include "graphics/QtGraphics.h"
#include "widgets/Controls.h"

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
