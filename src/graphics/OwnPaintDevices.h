#pragma once

// What paint devices and engines of our own offer the canvas beyond Qt's interfaces, so that text and fonts are
// drawn on them without the canvas knowing the device.

class QGlyphRun;
class QPointF;

// A paged device that is none of Qt's paged devices (a page of our PDF writer): a canvas on it sizes its fonts by
// the device's resolution, as on a printer.
class TOwnPagedDevice {
public:
  virtual ~TOwnPagedDevice() = default;
};

// A paint engine that takes a shaped text's glyph runs as they are, instead of the text items Qt lays out again.
class TGlyphRunEngine {
public:
  // Draws the glyphs of `run` in the pen of the painter active on a device of this engine, with its clip and
  // transformation, their positions taken from `origin`.
  virtual void DrawGlyphRun(const QPointF& origin, const QGlyphRun& run) = 0;

protected:
  virtual ~TGlyphRunEngine() = default;
};
