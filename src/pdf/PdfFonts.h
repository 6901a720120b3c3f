#pragma once

// The fonts of a PDF file: for each TrueType face drawn, a subset of it (see PdfFontSubset.h), its widths and the
// map back from glyphs to characters.

#include <QRawFont>

#include <map>
#include <memory>
#include <mutex>
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
  // The number of the font's resource name, given on first call: faces are numbered in the order they are named.
  int Number(TFont* font);
  // Adds a glyph of the face to the font's subset.
  void Add(TFont* font, unsigned glyph);
  // Writes every font and returns the entries of the font resource dictionary ("/F1 12 0 R ...").
  std::string Write(TPdfFile& file);

private:
  struct TFace;
  std::mutex mutex_;
  // By family, style and header table.
  std::map<std::string, std::unique_ptr<TFace>> faces_;
  int numbered_ = 0;
};
