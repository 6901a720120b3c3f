#pragma once

// A subset of a TrueType face as Qt's PDF writer embeds it, to the byte: glyphs renumbered in the order they are
// first drawn (the missing glyph first), every outline re-encoded the way Qt's writer re-encodes it (it goes through
// a painter path of cubic curves and back), and the few tables it writes. Pages drawn with such a subset render to
// the pixels of Qt's own files.

#include <QByteArray>
#include <QRawFont>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TPdfFontSubset {
public:
  // The face given by its tables (by tag); `pixelsPerEm` is the size it is first drawn at, which one entry of the
  // subset's tables depends on. Raises EFileWriteError when the tables are not a TrueType face.
  TPdfFontSubset(const std::map<std::string, QByteArray>& tables, int pixelsPerEm);
  // The face of a raw font, first drawn at its size.
  explicit TPdfFontSubset(const QRawFont& font);
  ~TPdfFontSubset();
  TPdfFontSubset(const TPdfFontSubset&) = delete;
  TPdfFontSubset& operator=(const TPdfFontSubset&) = delete;

  // The subset's number of a glyph of the face, given it on first use.
  unsigned Add(unsigned glyph);
  // The size the face is first drawn at, when another than the one it was made with.
  void SetPixelsPerEm(int pixelsPerEm) { pixels_per_em_ = std::max(1, pixelsPerEm); }
  // The face's glyphs in the subset's order.
  const std::vector<unsigned>& Glyphs() const { return glyphs_; }

  // The subset as a TrueType file; none when its glyphs take more room than the short offsets Qt's writer always
  // writes can reach (128 KB), which no file can hold to the byte as Qt's writer makes it.
  std::optional<std::string> FontFile() const;
  // The advance of each glyph of the subset, in thousandths of the em.
  std::vector<int> Widths() const;
  // The character each glyph of the subset stands for (0 for none): the lowest one of the basic plane that the
  // face's character map gives it, tabs and no-break spaces taking the space's glyph in faces without their own.
  std::vector<unsigned> Characters() const;
  // The face's PostScript name (empty when it has none).
  std::string PostScriptName() const;
  // The face's units per em, and its box in them (xMin, yMin, xMax, yMax).
  int UnitsPerEm() const { return units_per_em_; }
  const int* Box() const { return box_; }
  // The face's ascent and descent (below the baseline, negative), in its units.
  int Ascent() const;
  int Descent() const;

private:
  struct TFreeType;
  std::map<std::string, QByteArray> tables_;
  std::unique_ptr<TFreeType> freetype_;
  int pixels_per_em_;
  int units_per_em_ = 2048;
  int box_[4] = {0, 0, 0, 0};
  std::vector<unsigned> glyphs_;
  std::map<unsigned, unsigned> numbers_;
};

// One glyph outline, its points in the units of a 2048-unit em as exact fractions n / kOutlineDenominator.
struct TOutlinePoint {
  long long x, y;
  bool on;
};
using TOutline = std::vector<std::vector<TOutlinePoint>>;
// The points of a glyph as Qt's writer re-encodes them, in whole units: contours of (x, y, on-curve).
struct TEncodedPoint {
  int x, y;
  bool on;
  bool operator==(const TEncodedPoint&) const = default;
};
std::vector<std::vector<TEncodedPoint>> ReencodeOutline(const TOutline& outline, long long denominator);
// A simple glyph's record of the glyf table for those points (empty for none): no instructions, no repeated flags,
// padded to an even length.
std::string EncodeGlyph(const std::vector<std::vector<TEncodedPoint>>& contours);
