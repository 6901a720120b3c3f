#pragma once

// What the pages of a PDF file share: one file and its fonts. Pages may be drawn on several threads at once: every
// operation here is safe from any of them.

#include "pdf/PdfFile.h"
#include "pdf/PdfFonts.h"

#include <mutex>
#include <string>

class TPdfResources {
public:
  explicit TPdfResources(TPdfFile& file) : file_(file) {}

  TPdfFonts& Fonts() { return fonts_; }
  // Writes a page's operators, deflated already (TPdfFile::Deflate), as object `number` (reserved here first).
  int Reserve();
  void WriteDeflatedStream(int number, const std::string& deflated);
  void WriteObject(int number, const std::string& body);

  // Writes the fonts; the entries of the resource dictionary of every page.
  std::string Write();

private:
  std::mutex mutex_;
  TPdfFile& file_;
  TPdfFonts fonts_;
};
