#pragma once

// A subset of a TrueType face for a PDF file, made by HarfBuzz's subsetter from the face's own tables: the glyphs
// drawn keep their numbers in the face (the others are left empty), so that pages name glyphs by the face's numbers
// as they are drawn, whatever is drawn later or on other threads. Outlines are the face's, unchanged.

#include <QRawFont>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct hb_face_t;
struct hb_font_t;

class TPdfFontSubset {
public:
  // The face of a raw font. Raises EFileWriteError when it is not a TrueType face.
  explicit TPdfFontSubset(const QRawFont& font);
  ~TPdfFontSubset();
  TPdfFontSubset(const TPdfFontSubset&) = delete;
  TPdfFontSubset& operator=(const TPdfFontSubset&) = delete;

  // Adds a glyph of the face to the subset.
  void Add(unsigned glyph) { glyphs_.insert(glyph); }
  // The glyphs added, in order, the missing glyph among them.
  const std::set<unsigned>& Glyphs() const { return glyphs_; }

  // The subset as a TrueType file; raises EFileWriteError when the subsetter fails.
  std::string FontFile() const;
  // The advance of a glyph, in thousandths of the em.
  int Width(unsigned glyph) const;
  // The character each glyph added stands for, by glyph: the lowest one the face's character map gives it; none
  // for glyphs no character gives.
  std::map<unsigned, unsigned> Characters() const;
  // The face's PostScript name (empty when it has none).
  std::string PostScriptName() const;
  // The face's units per em, and its box in them (xMin, yMin, xMax, yMax).
  int UnitsPerEm() const { return units_per_em_; }
  const int* Box() const { return box_; }
  // The face's ascent and descent (below the baseline, negative), in its units.
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }

private:
  struct FaceDeleter {
    void operator()(hb_face_t* face) const;
  };
  struct FontDeleter {
    void operator()(hb_font_t* font) const;
  };
  std::unique_ptr<hb_face_t, FaceDeleter> face_;
  std::unique_ptr<hb_font_t, FontDeleter> font_;
  int units_per_em_ = 2048;
  int box_[4] = {0, 0, 0, 0};
  int ascent_ = 0, descent_ = 0;
  std::set<unsigned> glyphs_{0};
};
