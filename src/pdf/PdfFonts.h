#pragma once

// The fonts of a PDF file: for each TrueType face drawn, a subset of it as Qt's writer embeds it (see
// PdfFontSubset.h), its widths and the map back from glyphs to characters.

#include <QRawFont>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class TPdfFile;
class TPdfFontSubset;

// Safe to use from several threads.
class TPdfFonts {
public:
  // One face of the document.
  struct TFont {
    // The resource name's number: /F<number>; 0 until Number names it.
    int number = 0;
  };

  TPdfFonts();
  ~TPdfFonts();
  TPdfFonts(const TPdfFonts&) = delete;
  TPdfFonts& operator=(const TPdfFonts&) = delete;

  // The font of a raw font's face, made on first use; null for a face without TrueType outlines, which this
  // writer does not embed.
  TFont* For(const QRawFont& font);
  // The number of the font's resource name, given on first call: faces are numbered in the order they are named,
  // and embedded as first drawn at `pixelsPerEm`, the size of the text that names them first.
  int Number(TFont* font, int pixelsPerEm);
  // The number in the font's subset of a glyph of its face.
  unsigned Glyph(TFont* font, unsigned glyph);
  // Writes every font and returns the entries of the font resource dictionary ("/F1 12 0 R ..."); none when a
  // subset cannot be written as Qt's writer writes it.
  std::optional<std::string> Write(TPdfFile& file);

private:
  struct TFace;
  std::mutex mutex_;
  // By family, style and header table.
  std::map<std::string, std::unique_ptr<TFace>> faces_;
  int numbered_ = 0;
};
