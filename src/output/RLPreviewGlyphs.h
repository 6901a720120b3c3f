#pragma once

class TBitmap;

enum class TRLPreviewGlyph { Setup, First, Prior, Next, Last, ZoomDown, ZoomUp, Views, Edit, About, Outline };

// Device pixels per unit of a glyph: a glyph is 16 x 16 units, drawn on a 32 x 32 bitmap so that it stays sharp on
// a screen with twice the usual density.
constexpr int kGlyphScale = 2;

// Draws the button picture on `bitmap`, which it resizes to 16 x 16 units; what is not drawn stays transparent.
void DrawPreviewGlyph(TBitmap& bitmap, TRLPreviewGlyph glyph);
