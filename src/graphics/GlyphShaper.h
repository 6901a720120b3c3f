#pragma once

// Simple texts shaped straight through HarfBuzz, the shaping engine under the platform's text layout, without the
// layout's itemizing and line breaking: the same glyphs in a fraction of the time. Only texts that a layout shapes
// as one left-to-right run of one face, without marks, take this way; the others are left to the layout.

#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class QRawFont;
struct hb_face_t;
struct hb_font_t;
struct hb_shape_plan_t;

// The shaping tables of one face. Immutable once made, so safe to share between threads.
class TGlyphShaper {
public:
  explicit TGlyphShaper(const QRawFont& face);
  ~TGlyphShaper();
  TGlyphShaper(const TGlyphShaper&) = delete;
  TGlyphShaper& operator=(const TGlyphShaper&) = delete;

  // The glyphs of the text in order, as a layout with kerning off shapes it: false, and no glyphs, for a text this
  // shaper does not answer for (other characters than the simple Latin ones, a character the face lacks, glyphs
  // that the face's positioning rules would move off their advances, a face it cannot read).
  bool Shape(const QString& text, std::vector<unsigned>& glyphs) const;

  // Whether Shape takes its glyphs straight from the character map when no rule of the face can act on the text
  // (the default), or shapes every text in full. For benchmarks, which measure what the shortcut saves.
  static void SetShortcut(bool use);

  // The entry for a face, made on first use from its tables. Entries live as long as the process.
  static const TGlyphShaper& For(const QRawFont& face);

private:
  struct FaceDeleter {
    void operator()(hb_face_t* face) const;
  };
  struct FontDeleter {
    void operator()(hb_font_t* font) const;
  };
  struct PlanDeleter {
    void operator()(hb_shape_plan_t* plan) const;
  };

  // Finds the characters of alone_.
  void FindGlyphsAlone();

  // The face's tables, read once: HarfBuzz asks for them on any thread while it shapes.
  std::map<unsigned, QByteArray> tables_;
  std::unique_ptr<hb_face_t, FaceDeleter> face_;
  std::unique_ptr<hb_font_t, FontDeleter> font_;
  // How every text is shaped (left to right, Latin, kerning off), planned once.
  std::unique_ptr<hb_shape_plan_t, PlanDeleter> plan_;
  // The simple characters are below this.
  static constexpr std::size_t kSimpleEnd = 0x180;
  // For each simple character, its glyph when no substitution or positioning rule of the face (kerning aside) can
  // start at that glyph whatever follows it; 0 for the others.
  std::array<unsigned, kSimpleEnd> alone_{};
  // For the characters of alone_ at whose glyph some rule starts before some others, 1 + the index in followers_
  // of the characters that make it start there; 0 for the others.
  std::array<std::uint16_t, kSimpleEnd> before_{};
  std::vector<std::bitset<kSimpleEnd>> followers_;
};
